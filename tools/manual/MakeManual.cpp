// Build tool: renders the user manual, "User Manual Tarnwick.pdf", from the Markdown chapters
// in docs/manual, the inputs reference generated from the window's own tables (captions, units,
// limits and explanations, so it cannot drift from the program), the command-line reference
// and the verification record, with the screenshots the build takes of the program.
//
//   tw_make_manual OUT.pdf CHAPTERS_DIR DOCS_DIR IMAGES_DIR
#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <algorithm>
#include <cstdio>

#include "engine/Globals.h"
#include "form/FormIds.h"
#include "form/InputHints.h"
#include "form/InputLayout.h"
#include "ui/Desktop.h"

using namespace tw;
using namespace tw::form;

namespace {

// The text area of a Letter page with 20 mm margins, in points: the document is laid out on
// it and printed at that scale.
constexpr double kTextWidth = 612 - 2 * 56.69;
constexpr double kTextHeight = 792 - 2 * 56.69;

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
    // The references of the command line and of the verification, as they stand in docs/.
    md += QStringLiteral("\n\n# Appendix A: The command line\n\n") +
          ReadText(docs.filePath(QStringLiteral("cli.md"))).section(QLatin1Char('\n'), 1);
    md += QStringLiteral("\n\n# Appendix B: Verification and speed\n\n") +
          ReadText(docs.filePath(QStringLiteral("verification.md"))).section(QLatin1Char('\n'), 1);

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

    document.setPageSize(QSizeF(kTextWidth, kTextHeight));
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::Letter));
        writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
        writer.setTitle(QStringLiteral("User Manual Tarnwick"));
        writer.setCreator(QStringLiteral("Tarnwick v") + QString::fromStdString(VersionString()));
        document.print(&writer);
    }
    if (const auto reason = ui::WriteWholeFile(out, pdf)) {
        std::fprintf(stderr, "tw_make_manual: cannot write %s: %s\n", argv[1],
                     reason->toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
