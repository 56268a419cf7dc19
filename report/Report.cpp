#include "report/Report.h"

#include <QBuffer>
#include <QByteArray>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "charts/GraphChart.h"
#include "drawing/DiagramDraw.h"
#include "engine/Globals.h"
#include "engine/SafeFile.h"
#include "form/NodeTable.h"
#include "form/ReportRows.h"
#include "report/PrintSurface.h"

namespace tw::report {

namespace {

using form::Section;
using form::TReportPanel;
using form::TReportRow;
using form::TReportTabs;

const QString kArial = QStringLiteral("Arial");
constexpr double kColumnGap = 0.2;
const QColor kTitleShade(166, 202, 240);
const QColor kFailRed(255, 0, 0);

QString Q(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

struct TTabFraction
{
    TJustify justify;
    double left, width; // fractions of the column width
};

std::vector<TTabFraction> TabFractions(TReportTabs tabs)
{
    using enum TJustify;
    switch (tabs) {
    case TReportTabs::None:
        return {};
    case TReportTabs::Generic:
        return {{Left, 0, 0.85}, {Right, 0.4, 0.44}, {Left, 0.85, 0.15}};
    case TReportTabs::PressureHead:
        return {{Centre, 0.1, 0.4}, {Centre, 0.5, 0.4}};
    case TReportTabs::PressureRow:
        return {{Centre, 0, 0.1},
                {Centre, 0.1, 0.2},
                {Centre, 0.3, 0.2},
                {Centre, 0.5, 0.2},
                {Centre, 0.7, 0.2}};
    case TReportTabs::OutputData:
        return {{Left, 0, 0.85},      {Right, 0.43, 0.15}, {Left, 0.59, 0.1},
                {Centre, 0.69, 0.05}, {Right, 0.69, 0.15}, {Left, 0.85, 0.15}};
    case TReportTabs::ChecksHead:
        return {{Left, 0, 0.85}, {Right, 0.43, 0.25}, {Centre, 0.69, 0.25}};
    case TReportTabs::ChecksRow:
        return {{Left, 0, 0.85},
                {Right, 0.43, 0.15},
                {Left, 0.59, 0.1},
                {Right, 0.69, 0.15},
                {Left, 0.85, 0.15}};
    case TReportTabs::LaggingRow:
        return {{Left, 0, 0.85}, {Right, 0.53, 0.15}, {Right, 0.69, 0.15}, {Left, 0.85, 0.15}};
    case TReportTabs::LaggingText:
        return {{Left, 0, 0.85}, {Right, 0.4, 0.44}};
    case TReportTabs::GuardrailRow:
        return {{Left, 0, 0.85}, {Right, 0.53, 0.16}, {Right, 0.7, 0.16}, {Left, 0.87, 0.15}};
    }
    return {};
}

void SetTabs(TPrintSurface& s, TReportTabs tabs)
{
    s.ClearTabs();
    const double left = s.ColumnLeft(), width = s.ColumnWidth();
    for (const TTabFraction& f : TabFractions(tabs))
        s.AddTab({left + f.left * width, f.width * width, f.justify});
}

// The words of a text in lines that fit the width; a word longer than a whole line is broken
// where the line is full.
std::vector<QString> Wrap(const TPrintSurface& s, const QString& text, double width)
{
    std::vector<QString> lines;
    QString line;
    for (QString word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString tried = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (s.TextWidthOf(tried) <= width) {
            line = tried;
            continue;
        }
        if (!line.isEmpty())
            lines.push_back(line);
        while (word.size() > 1 && s.TextWidthOf(word) > width) {
            qsizetype fit = 1;
            while (fit + 1 < word.size() && s.TextWidthOf(word.left(fit + 1)) <= width)
                ++fit;
            lines.push_back(word.left(fit));
            word = word.mid(fit);
        }
        line = word;
    }
    if (!line.isEmpty() || lines.empty())
        lines.push_back(line);
    return lines;
}

// A text on its own line: a heading, a note or an option button. A text that does not fit is
// wrapped: an indented one (right-aligned at 0.85 of the column) within that part of the
// column, the others within the column. Then the note lines, right-aligned at the column's
// right edge and wrapped within the column; the first one beside the text when there is room.
void PrintTextRow(TPrintSurface& s, const TReportRow& row)
{
    constexpr double kGap = 0.06;
    s.ClearTabs();
    const QString text = Q(row.cells.empty() ? std::string() : row.cells.front());
    const double left = s.ColumnLeft(), width = s.ColumnWidth();
    const double indent = left + 0.85 * width;
    const std::vector<QString> lines =
        Wrap(s, text, row.indented ? indent - left - kCellPadding : width - 2 * kCellPadding);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            s.NewLine();
        if (row.indented)
            s.PrintRight(lines[i], indent);
        else
            s.PrintLeft(lines[i], left + kCellPadding);
    }
    double textRight = lines.back().isEmpty() ? left
                       : row.indented         ? indent
                                              : left + kCellPadding + s.TextWidthOf(lines.back());
    for (const std::string& note : row.noteLines)
        for (const QString& line : Wrap(s, Q(note), width - 2 * kCellPadding)) {
            const double at = s.ColumnRight() - kCellPadding;
            if (at - s.TextWidthOf(line) < textRight + kGap)
                s.NewLine();
            textRight = s.ColumnRight();
            s.PrintRight(line, at);
        }
    SetTabs(s, TReportTabs::Generic);
    s.NewLine();
}

// A caption that would run into the row's first value is printed condensed to end a little
// before it (a long caption with its suffix, a narrow page).
int CaptionStretch(const TPrintSurface& s, const TReportRow& row)
{
    constexpr double kGap = 0.06;
    if (row.cells.empty() || row.cells.front().empty() || s.Tabs().empty() ||
        s.Tabs().front().justify != TJustify::Left)
        return 100;
    const QString caption = Q(row.cells.front());
    const double left = s.TabTextLeft(0, caption);
    for (std::size_t i = 1; i < row.cells.size() && i < s.Tabs().size(); ++i) {
        if (row.cells[i].empty())
            continue;
        const double room = s.TabTextLeft(i, Q(row.cells[i])) - kGap - left;
        const double width = s.TextWidthOf(caption);
        if (width <= room)
            return 100;
        return std::clamp(static_cast<int>(std::floor(100 * room / width)), 60, 99);
    }
    return 100;
}

void PrintRow(TPrintSurface& s, const TReportRow& row)
{
    s.SetBold(row.bold);
    if (row.failing)
        s.SetTextColour(kFailRed);
    if (row.tabs == TReportTabs::None) {
        PrintTextRow(s, row);
    } else {
        SetTabs(s, row.tabs);
        for (std::size_t i = 0; i < row.cells.size(); ++i) {
            const QString text = Q(row.cells[i]);
            const int stretch = i == 0 ? CaptionStretch(s, row) : 100;
            s.SetStretch(stretch);
            s.Tab(text);
            s.SetStretch(100);
        }
        s.NewLine();
    }
    s.SetTextColour(Qt::black);
    s.SetBold(false);
}

// One panel block: the shaded title, the rows, a blank line.
void PrintPanel(TPrintSurface& s, const TReportPanel& panel)
{
    s.SetFont(kArial, 9);
    if (s.LinesLeft() < panel.CaptionCount() + 3)
        s.NextColumn();
    s.ClearTabs();
    s.AddTab({s.ColumnLeft(), s.ColumnWidth(), TJustify::Left, 50, kTitleShade});
    s.SetBold(true);
    s.Tab(Q(panel.title));
    s.SetBold(false);
    s.ClearTabs();
    s.NewLine();
    for (const TReportRow& row : panel.rows)
        PrintRow(s, row);
    s.ClearTabs();
    s.NewLine();
}

// Places a drawing by DrawingRect; returns its bottom.
double PlaceAcross(TPrintSurface& s, const QImage& drawing, double top, double limit)
{
    if (drawing.isNull())
        return top;
    const QRectF r = DrawingRect(drawing.size(), s.Margins().left, s.TextWidth(), top, limit);
    // The drawing's background (the colour of its corner) lets the paper show through.
    s.PrintImage(r.left(), r.top(), r.right(), r.bottom(),
                 TPrintSurface::CornerTransparent(drawing));
    return r.bottom();
}

int Pixels(double inches, int perInch)
{
    return static_cast<int>(std::lround(inches * perInch));
}

QString DateText(const form::TMainForm& form, const TReportOptions& options)
{
    if (!options.date.isEmpty())
        return options.date;
    const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(form.Date())));
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

// 1-2. The title and the job rows; 3. the logo; 4-5. the two drawings.
void CoverPage(TPrintSurface& s, const form::TMainForm& form, const TReportOptions& options)
{
    s.SetMargins({1, 1, 1, 1});
    s.GotoXY(1, 1);
    s.SetFont(kArial, 14);
    s.SetBold(true);
    s.PrintCentre(QStringLiteral("Tarnwick Analysis"), s.PageWidth() / 2);
    s.NewLine();
    const double headerTop = s.Y();
    s.NewLine();
    s.ClearTabs();

    s.SetFont(kArial, 9);
    s.SetBold(false);
    // The logo stands at the right of the rows, as tall as a header of single rows: a text
    // that wraps makes the header longer, not the logo larger. A very wide logo is narrowed to
    // leave the texts room.
    constexpr double kLogoGap = 0.15, kLeastTextWidth = 2;
    const double textLeft = 2, right = s.PageWidth() - s.Margins().left;
    const std::vector<uint8_t>& logo = form.Project().Logo();
    const QImage logoImage =
        logo.empty() ? QImage()
                     : QImage::fromData(logo.data(), static_cast<int>(logo.size()), "JPG");
    QRectF logoRect;
    if (!logoImage.isNull()) {
        double height = s.Y() + (form::kTitleTextCount + 1) * s.LineHeight() - headerTop;
        double width = height * logoImage.width() / std::max(1, logoImage.height());
        const double widest = right - textLeft - kLeastTextWidth - kLogoGap;
        if (width > widest) {
            height *= widest / width;
            width = widest;
        }
        logoRect = QRectF(right - width, headerTop, width, height);
    }
    // Each field's text wraps within its tab, which ends at the right margin or before the logo.
    const double textRight =
        logoRect.isNull() ? s.PageWidth() - s.Margins().right
                          : std::min(s.PageWidth() - s.Margins().right, logoRect.left() - kLogoGap);
    s.AddTab({1, 1, TJustify::Left});
    s.AddTab({textLeft, textRight - textLeft, TJustify::Left});
    const auto jobRow = [&](std::string_view caption, const QString& text) {
        s.SetBold(false);
        s.Tab(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())) +
              QStringLiteral(": "));
        s.SetBold(true);
        const std::vector<QString> lines = Wrap(s, text, textRight - textLeft - 2 * kCellPadding);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i > 0) {
                s.NewLine();
                s.Tab(QString());
            }
            s.Tab(lines[i]);
        }
        s.SetBold(false);
        s.NewLine();
    };
    for (int t = 0; t < form::kTitleTextCount; ++t) {
        const auto text = static_cast<form::TitleText>(t);
        jobRow(form::TitleTextCaption(text), Q(form.Title(text)));
    }
    jobRow("Date", DateText(form, options));
    s.NewLine();
    s.ClearTabs();
    if (!logoRect.isNull())
        s.PrintImageStream(logoRect.left(), logoRect.top(), logoRect.right(), logoRect.bottom(),
                           logo, "JPG");

    const double w0 = s.TextWidth();
    const int sectionWidth = Pixels(w0, 200);
    const QImage section = drawing::RenderDiagram(form, drawing::TDiagramKind::dkCrossSection,
                                                  QSize(sectionWidth, sectionWidth * 13 / 16));
    const double limit = s.PageHeight() - s.Margins().top - s.Margins().bottom;
    const double sectionBottom = PlaceAcross(s, section, s.Y() + 0.2, limit);

    s.GotoXY(s.Margins().left, sectionBottom);
    const double room = s.PageHeight() - s.Margins().bottom - s.Y();
    if (room > 0.5) {
        const int planWidth = Pixels(w0, 300);
        const int planHeight = static_cast<int>(std::lround(planWidth * room / w0));
        const QImage plan = drawing::RenderDiagram(form, drawing::TDiagramKind::dkPlanView,
                                                   QSize(planWidth, planHeight));
        PlaceAcross(s, plan, s.Y(), s.PageHeight() - s.Margins().bottom);
    }
}

// Prints panels in two columns with the column rules of the inputs and the results. Returns
// the lowest Y reached on the last page.
double PrintPanels(TPrintSurface& s, const std::vector<TReportPanel>& panels,
                   const form::TMainForm& form, bool results)
{
    const bool userDefined = form.Project().AnalysisMethod == TAnalysisMethod::amUserDefined;
    double lowest = s.Y();
    int countdown = 0;
    for (std::size_t i = 0; i < panels.size(); ++i) {
        const TReportPanel& panel = panels[i];
        const int remaining = static_cast<int>(panels.size() - i);
        s.SetFont(kArial, 9);
        const int before = countdown--;
        if (before == 1) {
            s.NextColumn();
        } else if (remaining == 2 && s.LinesLeft() < 15) {
            s.NextColumn();
        } else if (!results && !userDefined && panel.section == Section::StructuralData) {
            s.NextColumn();
        } else if (!results && userDefined && panel.section == Section::PressureInput) {
            s.NextColumn();
        } else if (results && userDefined && panel.section == Section::Checks) {
            s.NextColumn();
        }
        const int page = s.PageNumber();
        PrintPanel(s, panel);
        if (s.PageNumber() != page) {
            countdown = remaining / 2;
            if (results)
                countdown = std::min(countdown, 3);
            lowest = s.Margins().top;
        }
        lowest = std::max(lowest, s.Y());
    }
    return lowest;
}

// A centred heading in bold.
void Heading(TPrintSurface& s, const QString& text, double points)
{
    s.SetFont(kArial, points);
    s.SetBold(true);
    s.PrintCentre(text, s.PageWidth() / 2);
    s.SetBold(false);
}

double Inputs(TPrintSurface& s, const form::TMainForm& form)
{
    s.SetMargins({0.5, 0.5, 0.5, 0.5});
    s.NewPage();
    s.SetColumns(2, kColumnGap);
    Heading(s, QStringLiteral("Inputs"), 12);
    s.SetFont(kArial, 9);
    s.NewLine();
    s.NewLine();
    s.SetColumnTop(s.Y());
    return PrintPanels(s, form::ReportInputPanels(form), form, false);
}

// Returns the lowest Y reached on the last page.
double Results(TPrintSurface& s, const form::TMainForm& form, double inputsBottom)
{
    s.ClearTabs();
    s.ClearColumns();
    s.GotoXY(s.Margins().left, inputsBottom);
    s.SetColumns(2, kColumnGap);
    s.SetFont(kArial, 12);
    // A heading with no room for a panel under it starts the next page.
    if (s.LinesLeft() < 8)
        s.NewPage();
    s.NewLine();
    s.NewLine();
    Heading(s, QStringLiteral("Results"), 12);
    s.SetFont(kArial, 9);
    s.NewLine();
    s.NewLine();
    s.SetColumnTop(s.Y());
    const double lowest = PrintPanels(s, form::ReportResultPanels(form), form, true);
    s.ClearTabs();
    s.ClearColumns();
    return lowest;
}

// Starts under the lowest line of the results, whichever column it is in.
void Guardrail(TPrintSurface& s, const form::TMainForm& form, double resultsBottom)
{
    s.GotoXY(s.Margins().left, resultsBottom);
    if (s.Y() > s.PageHeight() / 2)
        s.NewPage();
    Heading(s, QStringLiteral("Guardrail Design"), 12);
    s.SetFont(kArial, 8);
    s.NewLine();
    s.NewLine();
    s.SetColumns(2, kColumnGap);
    const int page = s.PageNumber();
    PrintPanel(s, form::ReportPanel(form, Section::GuardrailInput));
    double bottom = s.Y();
    if (s.Column() == 0 && s.PageNumber() == page)
        s.NextColumn();
    PrintPanel(s, form::ReportPanel(form, Section::GuardrailResult));
    bottom = s.PageNumber() == page ? std::max(bottom, s.Y()) : s.Y();
    s.ClearTabs();
    s.ClearColumns();
    s.GotoXY(s.Margins().left, bottom);

    const double w0 = s.TextWidth();
    const double h = std::min(s.PageHeight() / 2, s.PageHeight() - s.Margins().bottom - s.Y());
    if (h < 0.5)
        return;
    const int width = Pixels(w0, 300);
    const QImage detail =
        drawing::RenderDiagram(form, drawing::TDiagramKind::dkGuardrail,
                               QSize(width, static_cast<int>(std::lround(width * h / w0))));
    PlaceAcross(s, detail, s.Y() + 0.2, s.PageHeight() - s.Margins().bottom);
}

// A second opinion's block: its title says it is not part of the design; it starts a new
// page when asked or when the whole block (title, panel caption, rows and notes) does not fit
// on this one.
void SecondOpinion(TPrintSurface& s, const form::TMainForm& form, Section section,
                   const QString& title, bool newPage)
{
    s.ClearTabs();
    s.ClearColumns();
    s.SetFont(kArial, 9);
    const form::TReportPanel panel = form::ReportPanel(form, section);
    int lines = 6; // the blank line, the title (two lines' height), two blank lines, the caption
    for (const form::TReportRow& row : panel.rows)
        lines += 1 + static_cast<int>(row.noteLines.size());
    if (newPage || s.LinesLeft() < lines)
        s.NewPage();
    s.NewLine();
    Heading(s, title, 12);
    s.SetFont(kArial, 9);
    s.NewLine();
    s.NewLine();
    s.SetColumns(2, kColumnGap);
    PrintPanel(s, panel);
    s.ClearTabs();
    s.ClearColumns();
}

// The classical check after the results (and after the guardrail block, on a page of its own
// then), the soil springs after it.
void SecondOpinions(TPrintSurface& s, const form::TMainForm& form, double resultsBottom)
{
    s.ClearColumns();
    s.GotoXY(s.Margins().left, resultsBottom);
    SecondOpinion(s, form, Section::ClassicalCheck,
                  QStringLiteral("Classical Check (second opinion, not part of the design)"),
                  form.Project().GuardrailOn);
    s.GotoXY(s.Margins().left, s.Y());
    SecondOpinion(s, form, Section::SoilSprings,
                  QStringLiteral("Soil-Spring Analysis (second opinion, not part of the design)"),
                  false);
}

// The reliability study the user ran and chose to print: how the inputs scatter, the
// probability that each check fails and the spread of the main results. The whole block is
// on one page.
void ReliabilityBlock(TPrintSurface& s, const form::TReliabilityStudy& study)
{
    s.ClearTabs();
    s.ClearColumns();
    s.SetFont(kArial, 9);
    const auto checks = form::ReliabilitySummaryRows(study);
    const auto spreads = form::ReliabilityPercentileRows(study);
    const int lines = 13 + static_cast<int>(2 * study.setup.inputs.size() + checks.size() +
                                            spreads.size() + study.failureReasons.size());
    if (s.LinesLeft() < lines)
        s.NewPage();
    s.NewLine();
    Heading(s, QStringLiteral("Reliability Study (scatter of the inputs, not part of the design)"),
            12);
    s.SetFont(kArial, 9);
    s.NewLine();
    s.NewLine();
    const double left = s.Margins().left;
    s.PrintLeft(QStringLiteral("%1 samples (seed %2), each analysed as typed; %3 analyses failed.")
                    .arg(study.samples)
                    .arg(study.setup.seed)
                    .arg(study.analysisFailures),
                left);
    s.NewLine();
    for (const form::TFailureReason& reason : study.failureReasons) {
        s.PrintLeft(QStringLiteral("%1 x %2").arg(reason.count).arg(Q(reason.reason)), left + 0.3);
        s.NewLine();
    }
    for (const form::TUncertainInput& in : study.setup.inputs) {
        s.PrintLeft(Q(in.input.name), left + 0.3);
        s.PrintLeft(Q(form::UncertainInputText(in, study.setup.tieFrictionAngles)), left + 3.3);
        s.NewLine();
    }
    // A table: its first column from the left, the others centred in their stops.
    const auto table = [&](const std::vector<std::vector<std::string>>& rows,
                           std::initializer_list<double> widths) {
        s.NewLine();
        s.ClearTabs();
        double x = left + 0.3 + 2.7;
        for (double w : widths) {
            s.AddTab({x, w, TJustify::Centre});
            x += w;
        }
        for (std::size_t r = 0; r < rows.size(); ++r) {
            s.SetBold(r == 0);
            s.PrintLeft(Q(rows[r][0]), left + 0.3);
            for (std::size_t c = 1; c < rows[r].size(); ++c)
                s.Tab(Q(rows[r][c]));
            s.NewLine();
        }
        s.SetBold(false);
        s.ClearTabs();
    };
    table(checks, {1.0, 2.0, 0.9});
    table(spreads, {1.0, 1.0, 1.0});
    table(form::ReliabilitySensitivityRows(study), {2.0});
    s.NewLine();
    s.SetFont(kArial, 8);
    s.PrintLeft(QStringLiteral("Pf: the share of samples in which the check fails, with its 95 % "
                               "(Wilson) interval; Beta = -inverse normal of Pf. The scatter of "
                               "the inputs only, not of the method."),
                left);
    s.NewLine();
    s.SetFont(kArial, 9);
}

// The caption of a node table column on two lines: split after a comma.
std::pair<QString, QString> SplitCaption(const std::string& caption)
{
    const auto comma = caption.find(',');
    if (comma == std::string::npos)
        return {Q(caption), QString()};
    std::string rest = caption.substr(comma + 1);
    if (!rest.empty() && rest.front() == ' ')
        rest.erase(0, 1);
    return {Q(caption.substr(0, comma + 1)), Q(rest)};
}

void NodeTable(TPrintSurface& s, const form::TMainForm& form)
{
    s.NewPage();
    s.SetFont(kArial, 12);
    s.SetBold(true);
    s.PrintLeft(QStringLiteral("Table of Test Results"), s.Margins().left);
    s.SetFont(kArial, 8);
    s.SetBold(false);
    s.NewLine();
    s.NewLine();
    s.ClearTabs();
    double left = 1.5;
    for (int i = 0; i < 6; ++i) {
        const double width = i == 0 ? 0.8 : 1.0;
        s.AddTab({left, width, TJustify::Centre});
        left += width;
    }
    // The six columns of the table, "Node #" first, one in each tab stop.
    const TTWData& project = form.Project();
    const auto columns = form::NodeTableColumns(project.Units);
    std::vector<std::pair<QString, QString>> heads;
    for (int c = 0; c < form::kNodeColumnCount; ++c)
        heads.push_back(SplitCaption(columns[c].caption));
    s.SetBold(true);
    for (const auto& head : heads)
        s.Tab(head.first);
    s.NewLine();
    for (const auto& head : heads)
        s.Tab(head.second);
    s.SetBold(false);
    s.NewLine();
    for (const form::TNodeRow& row : form::NodeTableRows(project, form.NumberFormat())) {
        for (int c = 0; c < form::kNodeColumnCount; ++c)
            s.Tab(Q(row[c]));
        s.NewLine();
    }
    s.ClearTabs();
}

// A chart picture with a white strip 2 pixels wide (of the 600-pixel picture) down its left
// edge.
QImage PrintableChart(const QImage& chart, int detail)
{
    QImage copy = chart.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < copy.height(); ++y)
        for (int x = 0; x < std::min(2 * detail, copy.width()); ++x)
            copy.setPixel(x, y, qRgb(255, 255, 255));
    return copy;
}

void Charts(TPrintSurface& s, const form::TMainForm& form)
{
    s.NewPage();
    s.SetMargins({1, 1, 1, 1});
    // Drawn at twice the pixels of the 600 x 900 chart pictures, for sharp print.
    constexpr int kDetail = charts::kReportDetail;
    const std::vector<QImage> charts =
        charts::GraphPrintPictures(form.Project(), form.NumberFormat(), kDetail, true);
    const double w = s.PageWidth(), h = s.PageHeight();
    const auto zOf = [h](const QImage& chart) {
        return (h - 1.6) / 2 * chart.width() / std::max(1, chart.height());
    };
    const auto place = [&](std::size_t i, bool right, double top, double bottom) {
        if (i >= charts.size())
            return;
        const double z = zOf(charts[i]);
        const double x = right ? w - z - 0.5 : 0.5;
        s.PrintImage(x, top, x + z, bottom, PrintableChart(charts[i], kDetail));
    };
    // The heading first, at the top of the page; the first row of charts starts under it, as
    // tall as the second row, so that all four keep their proportions.
    s.GotoXY(s.Margins().left, 0.5);
    Heading(s, QStringLiteral("Charts"), 12);
    const double firstTop = std::max(0.8, 0.5 + s.LineHeight() + 0.05);
    s.SetFont(kArial, 10);
    place(0, false, firstTop, h / 2);
    place(1, true, firstTop, h / 2);
    place(2, false, h / 2, h - 0.8);
    place(3, true, h / 2, h - 0.8);
    s.NewPage();
    place(4, false, 0.5, h / 2);
    place(5, true, 0.5, h / 2);
}

void References(TPrintSurface& s)
{
    s.GotoXY(s.Margins().left, s.PageHeight() / 2 + 0.3);
    s.SetFont(kArial, 12);
    s.SetBold(true);
    s.PrintLeft(QStringLiteral("References:"), s.X());
    s.SetFont(kArial, 10);
    s.NewLine();
    s.SetBold(false);
    const QString lines[] = {
        QStringLiteral("1. EM 1110-2-2502, Retaining Walls, Corps of Engineers, 1961"),
        QStringLiteral("2. Foundation Design, Wayne C. Teng, 1962"),
        QStringLiteral("3. Foundation Engineering, R. B. Peck, W. E. Hanson & T. H. Thornburn, "
                       "2nd Ed., 1987"),
        QStringLiteral("4. Foundation Analysis & Design, Joseph E. Bowles, 5th Ed., 1996"),
        QStringLiteral("5. 2024 IBC, International Code Council"),
        QStringLiteral("6. Recommendations on Excavations, DGGT, 3rd Ed., 2014"),
        QStringLiteral("7. AISC Steel Construction Manual, 14th Ed., 2010"),
        QStringLiteral("8. Hot Rolled & Structural Steel Products - 7th Ed, OneSteel "
                       "Manufacturing, Australia, 2014"),
        QStringLiteral("9. Guide to Design of Slabs on Ground - ACI 360R-10, American Concrete "
                       "Institute, 2010"),
        QStringLiteral("10. Practical Design of Sheet Pile Bulkheads, Arbed, 1991"),
        QStringLiteral("11. Lateral Pressure on Sheet Pile Walls due to Strip Load, M. Georgiadis "
                       "& C. Anagnostopoulos, ASCE, 1998"),
        QStringLiteral("12. Brenmoor Software: Tarnwick v") + Q(VersionString()),
    };
    for (const QString& line : lines) {
        s.PrintLeft(line, s.X());
        s.NewLine();
    }
}

void Footer(TPrintSurface& s, int page)
{
    s.SetFont(kArial, 9);
    s.SetBold(false);
    s.SetTextColour(Qt::black);
    const double bottom = s.Margins().bottom;
    s.SetBottomMargin(0.4);
    const double y = s.PageHeight() - 0.4 - s.LineHeight();
    s.MoveTo(s.Margins().left, y);
    s.LineTo(s.PageWidth() - s.Margins().right, y);
    s.PrintFooter(QStringLiteral("  ") + QString::fromLatin1(kWebsiteHost), TJustify::Left);
    s.PrintFooter(QString::number(page) + QStringLiteral("  "), TJustify::Right);
    s.SetBold(true);
    s.PrintFooter(QStringLiteral("Tarnwick v") + Q(VersionString()), TJustify::Centre);
    s.SetBold(false);
    s.SetBottomMargin(bottom);
}

} // namespace

void GenerateReport(const form::TMainForm& form, QPagedPaintDevice& device,
                    const TReportOptions& options)
{
    TPrintSurface s(device);
    s.onEndPage = Footer;
    s.onStartPage = options.progress;
    CoverPage(s, form, options);
    const double resultsBottom = Results(s, form, Inputs(s, form));
    if (form.Project().GuardrailOn)
        Guardrail(s, form, resultsBottom);
    SecondOpinions(s, form, resultsBottom);
    if (options.reliability && options.reliability->samples > 0)
        ReliabilityBlock(s, *options.reliability);
    NodeTable(s, form);
    Charts(s, form);
    References(s);
    s.Finish();
}

std::optional<std::string> WriteReportPdf(const form::TMainForm& form, const QString& path,
                                          const QPageSize& pageSize, const TReportOptions& options)
{
    // The PDF is made in memory (a report is about a megabyte) and handed to the one atomic
    // writer, which checks every write: a full disk leaves the old file, not a cut one.
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(pageSize);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(1200);
        const std::string& name = form.Title(form::TitleText::ProjectName);
        writer.setTitle(name.empty() ? QString::fromLatin1(kPrintJobTitle)
                                     : QString::fromLatin1(kPrintJobTitle) + QStringLiteral(" - ") +
                                           Q(name));
        writer.setCreator(QStringLiteral("Tarnwick v") + Q(VersionString()));
        GenerateReport(form, writer, options);
    }
    try {
        WriteFileAtomically(
            std::filesystem::path(QFile::encodeName(path).toStdString()),
            std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
    } catch (const TFileError& e) {
        return e.Reason();
    }
    return std::nullopt;
}

QRectF DrawingRect(QSize picture, double left, double width, double top, double limit)
{
    if (picture.isEmpty())
        return QRectF(left, top, 0, 0);
    const double height = width * picture.height() / picture.width();
    if (top + height <= limit)
        return QRectF(left, top, width, height);
    const double shrunkHeight = std::max(0.0, limit - top);
    const double shrunkWidth = shrunkHeight * picture.width() / picture.height();
    return QRectF(left + (width - shrunkWidth) / 2, top, shrunkWidth, shrunkHeight);
}

QPageSize DefaultReportPageSize(TUnitSystem units)
{
    return QPageSize(units == TUnitSystem::usSI ? QPageSize::A4 : QPageSize::Letter);
}

} // namespace tw::report
