// Build tool: renders the user manual, "User Manual Tarnwick.pdf", from the Markdown chapters
// in docs/manual, the inputs reference generated from the window's own tables (captions, units,
// limits and explanations, so it cannot drift from the program) and the command-line
// reference, with the screenshots the build takes of the program; with a table of contents
// and numbered pages.
//
//   tw_make_manual OUT.pdf CHAPTERS_DIR DOCS_DIR IMAGES_DIR
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "engine/Globals.h"
#include "form/FormIds.h"
#include "form/InputHints.h"
#include "form/InputLayout.h"
#include "ui/Desktop.h"

using namespace tw;
using namespace tw::form;

namespace {

// The text area of a Letter page with 20 mm margins, in points: the document is laid out on
// it, less the footer's room at the bottom of each page, and printed at that scale.
constexpr double kTextWidth = 612 - 2 * 56.69;
constexpr double kTextHeight = 792 - 2 * 56.69;
constexpr double kFooterHeight = 24;
constexpr double kBodyHeight = kTextHeight - kFooterHeight;

QString ReadText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString Cell(std::string_view text)
{
    QString cell = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    cell.replace(QLatin1Char('|'), QStringLiteral("\\|"))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
    return cell;
}

QString Limits(const TInputLimit& limit, std::string_view unit)
{
    if (limit.Min == 0 && limit.Max == 0)
        return QStringLiteral("-");
    const auto shown = [&](long double v) {
        return QString::fromStdString(FormatFixed(v, limit.Decimals, 10, "."));
    };
    return shown(limit.Min) + QStringLiteral(" to ") + shown(limit.Max) +
           (unit.empty() ? QString() : QLatin1Char(' ') + Cell(unit));
}

// Every numeric box of the input column, section by section, with its units and limits in
// both systems and its explanation.
QString InputsReference()
{
    QString md = QStringLiteral("\n\n## Reference of the numeric inputs\n\n"
                                "Made from the program's own tables when the manual is built. "
                                "A value typed outside its limits is brought to the nearer "
                                "limit when the box is left.\n");
    const InputLimitTable& english = InputLimitsFor(TUnitSystem::usEnglish);
    const InputLimitTable& si = InputLimitsFor(TUnitSystem::usSI);
    for (const TSectionItems& section : InputLayout()) {
        QString rows;
        for (const TInputItem& item : section.items) {
            if (item.kind != InputItemKind::Box)
                continue;
            const auto box = static_cast<Box>(item.id);
            const TBoxDef& def = BoxDef(box);
            const bool readOnly = def.flags & kAlwaysReadOnly;
            rows += QStringLiteral("| %1 | %2 | %3 | %4 |\n")
                        .arg(Cell(def.caption),
                             readOnly ? QStringLiteral("computed")
                                      : Limits(LimitForTag(english, def.tag),
                                               UnitLabel(def.unit, false)),
                             readOnly ? QStringLiteral("computed")
                                      : Limits(LimitForTag(si, def.tag), UnitLabel(def.unit, true)),
                             Cell(InputHint(box)));
        }
        if (rows.isEmpty())
            continue;
        md += QStringLiteral(
                  "\n### %1\n\n| Input | English units | SI units | Meaning |\n|---|---|---|---|\n")
                  .arg(Cell(SectionDesignCaption(section.section))) +
              rows;
    }
    return md;
}

// The Markdown without its section of this title ("## title" to the next heading of its level
// or above).
QString WithoutSection(const QString& md, const QString& title)
{
    const QString heading = QStringLiteral("\n## ") + title + QLatin1Char('\n');
    const qsizetype start = md.indexOf(heading);
    if (start < 0)
        return md;
    static const QRegularExpression next(QStringLiteral("\n#{1,2} "));
    const qsizetype end = md.indexOf(next, start + heading.size() - 1);
    return md.left(start + 1) + (end < 0 ? QString() : md.mid(end + 1));
}

// One line of the contents and the heading it stands for.
struct TContentsEntry
{
    QTextBlock entry;
    QTextBlock heading;
};

// The contents, on the page after the introduction: every chapter (bold) and its sections,
// each with a tab to its page number at the right edge. Each chapter starts a page. The
// numbers are written once the document is laid out (NumberContents).
std::vector<TContentsEntry> InsertContents(QTextDocument& document)
{
    std::vector<QTextBlock> headings;
    bool title = true;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        const int level = b.blockFormat().headingLevel();
        if (level == 1 && title)
            title = false; // the manual's own title
        else if (level == 1 || level == 2)
            headings.push_back(b);
    }
    if (headings.empty() || !headings.front().previous().isValid())
        return {};
    for (const QTextBlock& heading : headings) {
        if (heading.blockFormat().headingLevel() != 1)
            continue;
        QTextBlockFormat format = heading.blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(heading).setBlockFormat(format);
    }
    QTextCursor cursor(headings.front().previous());
    cursor.movePosition(QTextCursor::EndOfBlock);
    QTextBlockFormat captionFormat;
    captionFormat.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    captionFormat.setBottomMargin(4);
    QTextCharFormat captionChars;
    captionChars.setFontWeight(QFont::Bold);
    captionChars.setFontPointSize(14);
    cursor.insertBlock(captionFormat, captionChars);
    cursor.insertText(QStringLiteral("Contents"));
    std::vector<TContentsEntry> entries;
    for (const QTextBlock& heading : headings) {
        const bool chapter = heading.blockFormat().headingLevel() == 1;
        const double indent = chapter ? 0 : 16;
        QTextBlockFormat format;
        format.setLeftMargin(indent);
        format.setTopMargin(chapter ? 3 : 0);
        format.setTabPositions({QTextOption::Tab(
            kTextWidth - 2 * document.documentMargin() - indent - 2, QTextOption::RightTab)});
        QTextCharFormat chars;
        chars.setFontWeight(chapter ? QFont::Bold : QFont::Normal);
        chars.setFontPointSize(chapter ? 10 : 9);
        cursor.insertBlock(format, chars);
        cursor.insertText(heading.text() + QLatin1Char('\t'));
        entries.push_back({cursor.block(), heading});
    }
    return entries;
}

// The page (from 1) on which the block's first line is laid out.
int PageOf(const QTextDocument& document, const QTextBlock& block)
{
    const QRectF rect = document.documentLayout()->blockBoundingRect(block);
    const QTextLayout* layout = block.layout();
    const double y = rect.top() + (layout && layout->lineCount() > 0 ? layout->lineAt(0).y() : 0);
    return static_cast<int>(y / kBodyHeight) + 1;
}

// Writes the page numbers into the contents. A number stands at a right tab, so writing it
// moves nothing else.
void NumberContents(QTextDocument& document, const std::vector<TContentsEntry>& entries)
{
    std::vector<int> pages;
    for (const TContentsEntry& e : entries)
        pages.push_back(PageOf(document, e.heading));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        QTextCursor cursor(entries[i].entry);
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.insertText(QString::number(pages[i]));
    }
}

// Prints the laid-out pages, each with a footer under a rule: the manual's title at the left,
// the page number at the right.
void PrintPages(const QTextDocument& document, QPdfWriter& writer)
{
    QPainter painter(&writer);
    const double scale = writer.width() / kTextWidth;
    painter.scale(scale, scale);
    // In the document's units, as its text is laid out (10 points are 13.3 units there).
    QFont footerFont = document.defaultFont();
    footerFont.setPixelSize(11);
    const QString title =
        QStringLiteral("User Manual Tarnwick v") + QString::fromStdString(VersionString());
    const int pages = document.pageCount();
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            writer.newPage();
        painter.save();
        painter.setClipRect(QRectF(0, 0, kTextWidth, kBodyHeight));
        painter.translate(0, -page * kBodyHeight);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, page * kBodyHeight, kTextWidth, kBodyHeight);
        context.palette.setColor(QPalette::Text, Qt::black);
        document.documentLayout()->draw(&painter, context);
        painter.restore();

        const QRectF footer(document.documentMargin(), kTextHeight - 14,
                            kTextWidth - 2 * document.documentMargin(), 14);
        painter.setPen(QPen(Qt::black, 0.5));
        painter.drawLine(footer.topLeft() - QPointF(0, 2), footer.topRight() - QPointF(0, 2));
        painter.setFont(footerFont);
        painter.drawText(footer, Qt::AlignLeft | Qt::AlignBottom, title);
        painter.drawText(footer, Qt::AlignRight | Qt::AlignBottom,
                         QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages));
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: tw_make_manual OUT.pdf CHAPTERS_DIR DOCS_DIR IMAGES_DIR\n");
        return 2;
    }
    QApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QDir chapters(QString::fromLocal8Bit(argv[2]));
    const QDir docs(QString::fromLocal8Bit(argv[3]));
    const QString images = QString::fromLocal8Bit(argv[4]);

    QString md;
    for (const QString& name :
         chapters.entryList({QStringLiteral("*.md")}, QDir::Files, QDir::Name)) {
        QString chapter = ReadText(chapters.filePath(name));
        chapter.replace(QStringLiteral("@VERSION@"), QString::fromStdString(VersionString()));
        md += chapter + QStringLiteral("\n\n");
        if (name.startsWith(QStringLiteral("02")))
            md += InputsReference() + QStringLiteral("\n\n");
    }
    // The reference of the command line as it stands in docs/, for those who script their
    // walls; its measurements of speed are for the program's developers and stay there, as
    // does the verification record (docs/verification.md).
    md += QStringLiteral("\n\n# Appendix A: The command line\n\n") +
          WithoutSection(ReadText(docs.filePath(QStringLiteral("cli.md"))).section('\n', 1),
                         QStringLiteral("Speed"));

    QTextDocument document;
    document.setMetaInformation(QTextDocument::DocumentTitle,
                                QStringLiteral("User Manual Tarnwick"));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(10);
    document.setDefaultFont(font);
    document.setMarkdown(md);
    // The screenshots under the names the chapters use (after the Markdown, which clears the
    // document's resources).
    QHash<QString, QSize> sizes;
    for (const QString& name : QDir(images).entryList({QStringLiteral("*.png")}, QDir::Files)) {
        const QImage picture(QDir(images).filePath(name));
        document.addResource(QTextDocument::ImageResource, QUrl(name), picture);
        sizes[name] = picture.size();
    }
    // Each picture drawn at most across the text width, and at 0.6 point a pixel (120 dots an
    // inch) at most, so that it prints sharp.
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            const QSize size = sizes.value(image.name());
            if (size.isEmpty())
                continue;
            const double width = std::min(kTextWidth, 0.6 * size.width());
            image.setWidth(width);
            image.setHeight(width * size.height() / size.width());
            QTextCursor cursor(&document);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(image);
        }
    // Code lines wrap at the text width instead of running off the page.
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        QTextBlockFormat format = b.blockFormat();
        if (!format.nonBreakableLines())
            continue;
        format.setNonBreakableLines(false);
        QTextCursor cursor(b);
        cursor.setBlockFormat(format);
    }
    // Tables across the text width, the explanation taking the most room.
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table)
            continue;
        QTextTableFormat format = table->format();
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        format.setCellPadding(2);
        format.setCellSpacing(0);
        format.setBorder(0.5);
        if (table->columns() == 4)
            format.setColumnWidthConstraints({QTextLength(QTextLength::PercentageLength, 24),
                                              QTextLength(QTextLength::PercentageLength, 18),
                                              QTextLength(QTextLength::PercentageLength, 18),
                                              QTextLength(QTextLength::PercentageLength, 40)});
        table->setFormat(format);
    }

    document.setPageSize(QSizeF(kTextWidth, kBodyHeight));
    const std::vector<TContentsEntry> contents = InsertContents(document);
    NumberContents(document, contents);
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::Letter));
        writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
        writer.setTitle(QStringLiteral("User Manual Tarnwick"));
        writer.setCreator(QStringLiteral("Tarnwick v") + QString::fromStdString(VersionString()));
        PrintPages(document, writer);
    }
    if (const auto reason = ui::WriteWholeFile(out, pdf)) {
        std::fprintf(stderr, "tw_make_manual: cannot write %s: %s\n", argv[1],
                     reason->toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
