// The report written as PDF and read back as a reviewer reads it: the words of each page with
// their places (pdftotext -bbox), the pictures on each page (pdfimages -list) and the colour of
// the printed text (a page rendered by pdftoppm).
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "drawing/DiagramDraw.h"
#include "engine/Globals.h"
#include "form/Reliability.h"
#include "report/Report.h"
#include "support/OpenWall.h"

using namespace tw;
using tw::test::OpenWallAs;

namespace {

struct TWord
{
    int page;
    double x0, y0, x1, y1; // points from the page's top left corner
    QString text;
};

QString Run(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A report written to a temporary PDF and read back.
class TReportPdf
{
public:
    TReportPdf(const form::TMainForm& form, QPageSize::PageSizeId size = QPageSize::Letter,
               const form::TReliabilityStudy* reliability = nullptr)
    {
        path_ = dir_.filePath(QStringLiteral("report.pdf"));
        report::TReportOptions options;
        options.date = QStringLiteral("12/09/2026");
        options.reliability = reliability;
        error_ = report::WriteReportPdf(form, path_, QPageSize(size), options);
        if (error_)
            return;
        const QString html =
            Run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path_, QStringLiteral("-")});
        static const QRegularExpression token(
            QStringLiteral("<page width=\"([0-9.]+)\"|<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" "
                           "xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
        for (auto it = token.globalMatch(html); it.hasNext();) {
            const auto m = it.next();
            if (!m.captured(1).isEmpty()) {
                ++pages_;
                pageWidth_ = m.captured(1).toDouble();
                continue;
            }
            QString text = m.captured(6);
            text.replace(QStringLiteral("&amp;"), QStringLiteral("&"))
                .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
                .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
                .replace(QStringLiteral("&quot;"), QStringLiteral("\""));
            words_.push_back({pages_, m.captured(2).toDouble(), m.captured(3).toDouble(),
                              m.captured(4).toDouble(), m.captured(5).toDouble(), text});
        }
    }

    bool ok() const { return !error_ && pages_ > 0; }
    int Pages() const { return pages_; }
    double PageWidth() const { return pageWidth_; }

    // The text of the page (or of one half of it: -1 left, 1 right), line by line from the
    // top, words joined by blanks.
    QString Text(int page, int half = 0) const
    {
        std::vector<TWord> ws;
        for (const TWord& w : words_)
            if (w.page == page && (half == 0 || (half < 0) == (w.x0 < pageWidth_ / 2)))
                ws.push_back(w);
        std::stable_sort(ws.begin(), ws.end(), [](const TWord& a, const TWord& b) {
            return std::abs(a.y0 - b.y0) > 2 ? a.y0 < b.y0 : a.x0 < b.x0;
        });
        QString text;
        for (std::size_t i = 0; i < ws.size(); ++i) {
            if (i > 0)
                text += std::abs(ws[i].y0 - ws[i - 1].y0) > 2 ? QStringLiteral("\n")
                                                              : QStringLiteral(" ");
            text += ws[i].text;
        }
        return text;
    }
    QString AllText() const
    {
        QString all;
        for (int p = 1; p <= pages_; ++p)
            all += Text(p) + QStringLiteral("\n");
        return all;
    }
    // The first page whose text holds this (0 when none does).
    int PageWith(const QString& text) const
    {
        for (int p = 1; p <= pages_; ++p)
            if (Text(p).contains(text))
                return p;
        return 0;
    }
    // The first word with this text on the page at or below y and right of x (points).
    const TWord* Find(int page, const QString& text, double below = 0, double right = 0) const
    {
        for (const TWord& w : words_)
            if (w.page == page && w.text == text && w.y0 >= below && w.x0 >= right)
                return &w;
        return nullptr;
    }
    // The pictures of the file in order (pdfimages -list): their page, number and encoding;
    // masks not counted.
    struct TPicture
    {
        int page;
        int number;
        QString encoding; // "jpeg", "image" (Flate or uncompressed), ...
    };
    std::vector<TPicture> Pictures() const
    {
        std::vector<TPicture> pictures;
        const QStringList lines =
            Run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path_}).split('\n');
        for (const QString& line : lines) {
            const QStringList f = line.simplified().split(' ');
            if (f.size() > 8 && f[2] == QStringLiteral("image"))
                pictures.push_back({f[0].toInt(), f[1].toInt(), f[8]});
        }
        return pictures;
    }
    std::map<int, int> ImagesPerPage() const
    {
        std::map<int, int> count;
        for (const TPicture& p : Pictures())
            ++count[p.page];
        return count;
    }
    // A picture as stored in the file, its mask left aside (pdfimages -png).
    QImage Extract(int number) const
    {
        const QString base = dir_.filePath(QStringLiteral("picture"));
        if (!QFile::exists(base + QStringLiteral("-000.png")))
            Run(QStringLiteral("pdfimages"), {QStringLiteral("-png"), path_, base});
        return QImage(base + QStringLiteral("-%1.png").arg(number, 3, 10, QLatin1Char('0')))
            .convertToFormat(QImage::Format_RGB32);
    }
    // The words of the page line by line from the top, each line from the left.
    std::vector<std::vector<TWord>> Lines(int page) const
    {
        std::vector<TWord> ws;
        for (const TWord& w : words_)
            if (w.page == page)
                ws.push_back(w);
        std::stable_sort(ws.begin(), ws.end(), [](const TWord& a, const TWord& b) {
            return std::abs(a.y0 - b.y0) > 2 ? a.y0 < b.y0 : a.x0 < b.x0;
        });
        std::vector<std::vector<TWord>> lines;
        for (const TWord& w : ws) {
            if (lines.empty() || std::abs(w.y0 - lines.back().front().y0) > 2)
                lines.emplace_back();
            lines.back().push_back(w);
        }
        return lines;
    }
    // The page rendered at 72 dots per inch: one pixel a point.
    QImage Render(int page) const
    {
        const QString base = dir_.filePath(QStringLiteral("page"));
        Run(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-f"),
             QString::number(page), QStringLiteral("-l"), QString::number(page),
             QStringLiteral("-singlefile"), QStringLiteral("-png"), path_, base});
        return QImage(base + QStringLiteral(".png"));
    }
    const QString& Path() const { return path_; }

private:
    QTemporaryDir dir_;
    QString path_;
    std::optional<std::string> error_;
    int pages_ = 0;
    double pageWidth_ = 0;
    std::vector<TWord> words_;
};

// True when the lines appear in the text in this order (each as part of a line).
::testing::AssertionResult InOrder(const QString& text, const QStringList& expected)
{
    qsizetype from = 0;
    for (const QString& e : expected) {
        const qsizetype at = text.indexOf(e, from);
        if (at < 0)
            return ::testing::AssertionFailure()
                   << '"' << e.toStdString() << "\" missing or out of order in:\n"
                   << text.toStdString();
        from = at + e.size();
    }
    return ::testing::AssertionSuccess();
}

int RedPixels(const QImage& page, const TWord& word)
{
    int red = 0;
    for (int y = int(word.y0); y <= int(word.y1) + 1; ++y)
        for (int x = int(word.x0); x <= int(word.x1) + 1; ++x) {
            const QColor c = page.pixelColor(x, y);
            red += c.red() > 180 && c.green() < 110 && c.blue() < 110;
        }
    return red;
}

const QString kVersionLine = QStringLiteral("Tarnwick v") + QString::fromStdString(VersionString());

} // namespace

TEST(Report, EnglishExamplePageByPage)
{
    const auto wall = OpenWallAs(false);
    const TReportPdf pdf(*wall.form);
    ASSERT_TRUE(pdf.ok());
    ASSERT_EQ(pdf.Pages(), 7);
    EXPECT_TRUE(InOrder(pdf.Text(1), {"Tarnwick Analysis",
                                      "Organization:", "Project Name: 15 ft soldier beam wall",
                                      "Design by:", "Job #:", "Date: 12/09/2026",
                                      "www.tarnwick.example " + kVersionLine + " 1"}));
    // Inputs: the soils in the first column, "Structural data" opens the second.
    EXPECT_TRUE(
        InOrder(pdf.Text(2, -1),
                {"General Data", "Shored Height, H 15.00 ft", "Backfill Soils", "Passive Soils",
                 "Coulomb Method", "Pressure Data (ASD) per ft Length of Wall",
                 "Loading Side Passive Side", "1 0.00", "Output Data", "Max. Shear", "@"}));
    EXPECT_TRUE(InOrder(pdf.Text(2, 1),
                        {"Structural data", "Beam Diagonal Length (<30 in - 4 in, O.K.) 21.49 in",
                         "Loads Applied to the Pile", "Lagging Design", "Checks",
                         "Capacity Utilization", "Moment Below Grade", "Lagging Design",
                         "Adjusted Actual", "Bending Stress", "Wood Lagging Size 3x12 timber"}));
    EXPECT_TRUE(InOrder(pdf.Text(2), {"Inputs", "Results"}));
    EXPECT_TRUE(InOrder(pdf.Text(3), {"Guardrail Design", "Compression in the Post"}))
        << "the results end below mid-page: the guardrail design starts a new page";
    // The classical second opinion after the results, on a page of its own after the guardrail.
    EXPECT_TRUE(InOrder(pdf.Text(4),
                        {"Classical Check (second opinion, not part of the design)",
                         "Classical Check", "Classical Design", "Embedment Depth 18.23 ft 18.81 ft",
                         "Moment Ratio 1.16", "The classical method gives 1.16 times"}));
    // The soil springs below it on the same page, the design's values beside theirs.
    EXPECT_TRUE(InOrder(pdf.Text(4),
                        {"The classical method gives 1.16 times",
                         "Soil-Spring Analysis (second opinion, not part of the design)",
                         "Springs Design", "Medium dense sand, Terzaghi (1955)", "Top Deflection",
                         "0.890 in", "Max. Moment at", "19.20 ft", "Passive Mobilized",
                         "Newton Iterations", "Beam on Winkler springs"}));
    // The node table: captions split after their commas, the node number first.
    EXPECT_TRUE(
        InOrder(pdf.Text(5), {"Table of Test Results", "Node # Depth, Shear, Moment, Slope, Defl,",
                              "ft k k-ft rad. inch", "0 0.00 0.00 0.00", "63 33.00"}));
    EXPECT_TRUE(InOrder(pdf.Text(6), {"Charts"}));
    EXPECT_TRUE(InOrder(
        pdf.Text(7),
        {"References:", "1. EM 1110-2-2502", "2. Foundation Design, Wayne C. Teng, 1962",
         "3. Foundation Engineering, R. B. Peck, W. E. Hanson & T. H. Thornburn, 2nd Ed., 1987",
         "4. Foundation Analysis & Design, Joseph E. Bowles, 5th Ed., 1996",
         "11. Lateral Pressure on Sheet Pile Walls due to Strip Load, M. Georgiadis & C. "
         "Anagnostopoulos, ASCE, 1998",
         "12. Brenmoor Software: " + kVersionLine, kVersionLine + " 7"}));
    // Pictures: the two drawings, the guardrail detail, four charts, the fifth chart.
    EXPECT_EQ(pdf.ImagesPerPage(), (std::map<int, int>{{1, 2}, {3, 1}, {6, 4}, {7, 1}}));
}

TEST(Report, AReliabilityStudyPrintsItsBlockAfterTheSecondOpinions)
{
    const auto wall = OpenWallAs(false);
    form::TReliabilitySetup setup = form::DefaultReliabilitySetup(*wall.project);
    setup.samples = 2000;
    const form::TReliabilityStudy study = form::RunReliabilityStudy(*wall.project, setup);
    const TReportPdf pdf(*wall.form, QPageSize::Letter, &study);
    ASSERT_TRUE(pdf.ok());
    const int page = pdf.PageWith(QStringLiteral("Reliability Study (scatter of the inputs"));
    ASSERT_GT(page, 0);
    EXPECT_GE(page, pdf.PageWith(QStringLiteral("Soil-Spring Analysis (second opinion")));
    EXPECT_LT(page, pdf.PageWith(QStringLiteral("Table of Test Results")));
    // The rows as the study window's summary gives them, each on its line.
    const auto rows = form::ReliabilitySummaryRows(study);
    QStringList lines{QStringLiteral("Reliability Study"), QStringLiteral("2000 samples (seed 1)")};
    for (const std::string& name : {std::string("Moment"), std::string("Max. Deflection"),
                                    std::string("Any check or the analysis")})
        for (const auto& row : rows)
            if (row[0] == name)
                lines.push_back(
                    QString::fromStdString(row[0] + " " + row[1] + " " + row[2] + " " + row[3]));
    lines.push_back(QStringLiteral("Embedment Depth (ft)"));
    ASSERT_EQ(lines.size(), 6);
    EXPECT_TRUE(InOrder(pdf.Text(page), lines)) << pdf.Text(page).toStdString();
    // Without the study the report has no such block.
    EXPECT_EQ(TReportPdf(*wall.form).PageWith(QStringLiteral("Reliability Study")), 0);
}

TEST(Report, VariantsOfTheWall)
{
    struct Case
    {
        const char* name;
        bool si;
        std::function<void(TTWData&)> edit;
        QPageSize::PageSizeId page;
        int pages;
        QStringList leftColumnOfInputs, rightColumnOfInputs; // page 2
        QStringList anywhere;
        QStringList nowhere;
    };
    const std::vector<Case> cases{
        {"SI on A4",
         true,
         {},
         QPageSize::A4,
         7,
         {"General Data", "Passive Soils"},
         {"Structural data", "Beam Diagonal Length (<75 cm - 10 cm, O.K.) 54.55 cm"},
         {"Pressure Data (ASD) per m Length of Wall", "Depth, Shear,"},
         {}},
        {"User Defined",
         false,
         [](TTWData& p) { p.AnalysisMethod = TAnalysisMethod::amUserDefined; },
         QPageSize::Letter,
         7,
         {"General Data", "IMPORTANT", "User Defined method is", "Structural data",
          "Loads Applied to the Pile"},
         {"Pressure Data (ASD) per ft Length of Wall", "Loading Side Passive Side",
          "Lagging Design", "Checks"},
         {},
         {"Backfill Soils", "Coulomb Method"}},
        {"no guardrail, no lagging",
         false,
         [](TTWData& p) {
             p.GuardrailOn = false;
             p.LaggingType = TLaggingType::ltNone;
         },
         QPageSize::Letter,
         6,
         {"General Data"},
         {"Structural data", "Loads Applied to the Pile"},
         {},
         {"Guardrail Design", "Lagging Design", "Arching Factor"}},
        {"rebar cage",
         false,
         [](TTWData& p) { p.Reinforcement = TReinforcement::rfRebarCage; },
         QPageSize::Letter,
         7,
         {"General Data"},
         {"Structural data", "Number of Bars"},
         {"Rebar Cage Checks", "Factored Moment, Mu"},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto wall = OpenWallAs(c.si, c.edit);
        ASSERT_FALSE(wall.form->AnalysisFailure().has_value());
        const TReportPdf pdf(*wall.form, c.page);
        ASSERT_TRUE(pdf.ok());
        EXPECT_EQ(pdf.Pages(), c.pages);
        EXPECT_TRUE(InOrder(pdf.Text(2, -1), c.leftColumnOfInputs));
        EXPECT_TRUE(InOrder(pdf.Text(2, 1), c.rightColumnOfInputs));
        const QString all = pdf.AllText();
        for (const QString& text : c.anywhere)
            EXPECT_TRUE(all.contains(text)) << text.toStdString();
        for (const QString& text : c.nowhere)
            EXPECT_FALSE(all.contains(text)) << text.toStdString();
    }
}

TEST(Report, TheUserDefinedChecksOpenTheResultsSecondColumn)
{
    const auto wall =
        OpenWallAs(false, [](TTWData& p) { p.AnalysisMethod = TAnalysisMethod::amUserDefined; });
    const TReportPdf pdf(*wall.form);
    ASSERT_TRUE(pdf.ok());
    const TWord* results = pdf.Find(2, QStringLiteral("Results"));
    ASSERT_NE(results, nullptr);
    const TWord* output = pdf.Find(2, QStringLiteral("Output"), results->y1);
    const TWord* checks = pdf.Find(2, QStringLiteral("Checks"), results->y1);
    ASSERT_TRUE(output && checks);
    EXPECT_LT(output->x0, pdf.PageWidth() / 2);
    EXPECT_GT(checks->x0, pdf.PageWidth() / 2);
    EXPECT_NEAR(checks->y0, output->y0, 1) << "both columns start under the heading";
}

TEST(Report, FailingRowsPrintInRed)
{
    // A 30 ft cut overstresses the example's beam in bending; the axial check still passes.
    const auto wall = OpenWallAs(false, [](TTWData& p) { p.ShoredHeight = 30; });
    const TReportPdf pdf(*wall.form);
    ASSERT_TRUE(pdf.ok());
    const TWord* results = pdf.Find(2, QStringLiteral("Results"));
    ASSERT_NE(results, nullptr);
    // The checks are the second column of the results.
    const double half = pdf.PageWidth() / 2;
    const TWord* below = pdf.Find(2, QStringLiteral("Below"), results->y1, half);
    const TWord* axial = pdf.Find(2, QStringLiteral("Axial"), results->y1, half);
    ASSERT_TRUE(below && axial);
    const QImage page = pdf.Render(2);
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(RedPixels(page, *below), 5);
    EXPECT_EQ(RedPixels(page, *axial), 0);
}

TEST(Report, TheLogoStandsBesideTheJobRows)
{
    const auto plain = OpenWallAs(false);
    const TReportPdf without(*plain.form);
    ASSERT_TRUE(without.ok());
    EXPECT_EQ(without.ImagesPerPage().at(1), 2) << "the two drawings only";

    const auto logo = OpenWallAs(false, [](TTWData& p) {
        const std::vector<uint8_t> rgb(64 * 32 * 3, 90);
        p.SetLogoImage(64, 32, rgb);
    });
    const TReportPdf with(*logo.form);
    ASSERT_TRUE(with.ok());
    EXPECT_EQ(with.ImagesPerPage().at(1), 3);
}

TEST(Report, DrawingsFitTheirRoom)
{
    // 6.5 in of text width: a 4:3 drawing fits under 2 in; a tall one is shrunk and centred.
    const QRectF fits = report::DrawingRect(QSize(1300, 975), 1, 6.5, 2, 9);
    EXPECT_DOUBLE_EQ(fits.width(), 6.5);
    EXPECT_DOUBLE_EQ(fits.height(), 4.875);
    const QRectF tall = report::DrawingRect(QSize(500, 1300), 1, 6.5, 2, 9);
    EXPECT_DOUBLE_EQ(tall.bottom(), 9);
    EXPECT_NEAR(tall.width(), 7 * 500.0 / 1300, 1e-12);
    EXPECT_NEAR(tall.center().x(), 1 + 6.5 / 2, 1e-12);
}

TEST(Report, AFileThatCannotBeWrittenIsReported)
{
    const auto wall = OpenWallAs(false);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/folder/report.pdf"));
    const auto error = report::WriteReportPdf(*wall.form, path, QPageSize(QPageSize::Letter));
    EXPECT_TRUE(error.has_value());
    EXPECT_FALSE(QFile::exists(path));
}

TEST(Report, DrawingsKeepTheirColours)
{
    // The retained soil of the cross section is hatched in yellow lines a pixel wide: stored as
    // JPEG they blur to grey-beige; the paper round the drawing is transparent, and stored black
    // under its mask it shows wherever the mask is not honoured.
    const auto wall = OpenWallAs(false);
    const TReportPdf pdf(*wall.form);
    ASSERT_TRUE(pdf.ok());
    const auto pictures = pdf.Pictures();
    ASSERT_FALSE(pictures.empty());
    for (const auto& picture : pictures)
        EXPECT_NE(picture.encoding.toStdString(), "jpeg")
            << "picture " << picture.number << " on page " << picture.page;
    const QImage stored = pdf.Extract(pictures.front().number); // the cross section
    ASSERT_FALSE(stored.isNull());
    const QImage drawn =
        drawing::RenderDiagram(*wall.form, drawing::TDiagramKind::dkCrossSection, stored.size())
            .convertToFormat(QImage::Format_RGB32);
    int yellow = 0, changed = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb d = drawn.pixel(x, y);
            if (qRed(d) < 200 || qGreen(d) < 150 || qBlue(d) > 80)
                continue;
            ++yellow;
            const QRgb p = stored.pixel(x, y);
            changed += std::max({std::abs(qRed(p) - qRed(d)), std::abs(qGreen(p) - qGreen(d)),
                                 std::abs(qBlue(p) - qBlue(d))}) > 6;
        }
    ASSERT_GT(yellow, 1000) << "the soil hatching";
    EXPECT_EQ(changed, 0) << "of " << yellow << " yellow pixels";
    EXPECT_EQ(stored.pixel(0, 0), qRgb(255, 255, 255)) << "the transparent paper";
}

TEST(Report, TheNodeTablePrintsItsSixColumnsInTheSixTabStops)
{
    const auto wall = OpenWallAs(false);
    const TReportPdf pdf(*wall.form);
    ASSERT_TRUE(pdf.ok());
    // The stops in points: 0.8 in wide from 1.5 in, then five 1 in wide.
    const double edges[] = {108, 165.6, 237.6, 309.6, 381.6, 453.6, 525.6};
    // Each line of the table as the texts of its six stops ("?" for a word across two).
    std::vector<QStringList> table;
    for (const auto& line : pdf.Lines(pdf.PageWith(QStringLiteral("Table of Test Results")))) {
        if (line.front().x0 < edges[0] - 1)
            continue; // the title and the footer
        QStringList cells(6);
        for (const TWord& w : line) {
            int stop = -1;
            for (int i = 0; i < 6; ++i)
                if (w.x0 >= edges[i] - 0.5 && w.x1 <= edges[i + 1] + 0.5)
                    stop = i;
            if (stop < 0)
                cells[0] = QStringLiteral("?");
            else
                cells[stop] += (cells[stop].isEmpty() ? QString() : QStringLiteral(" ")) + w.text;
        }
        table.push_back(cells);
    }
    ASSERT_EQ(table.size(), 2u + 64u);
    EXPECT_EQ(table[0].join('|').toStdString(), "Node #|Depth,|Shear,|Moment,|Slope,|Defl,");
    EXPECT_EQ(table[1].join('|').toStdString(), "|ft|k|k-ft|rad.|inch");
    for (int node = 0; node < 64; ++node) {
        const QStringList& row = table[2 + node];
        EXPECT_EQ(row[0].toStdString(), std::to_string(node));
        EXPECT_FALSE(row.contains(QString())) << row.join('|').toStdString();
    }
}

TEST(Report, TheChartsAreUnderTheirHeadingAndUncut)
{
    const auto wall = OpenWallAs(false);
    const TReportPdf pdf(*wall.form);
    ASSERT_TRUE(pdf.ok());
    // Beside the heading, across the page, nothing is printed: the charts start below it.
    const int charts = pdf.PageWith(QStringLiteral("Charts"));
    const TWord* heading = pdf.Find(charts, QStringLiteral("Charts"));
    ASSERT_NE(heading, nullptr);
    const QImage page = pdf.Render(charts);
    int beside = 0;
    for (int y = int(heading->y0); y <= int(heading->y1); ++y)
        for (int x = 0; x < page.width(); ++x)
            beside += (x < heading->x0 - 2 || x > heading->x1 + 2) && qGray(page.pixel(x, y)) < 160;
    EXPECT_EQ(beside, 0);
    // A value label centred on the last tick of its axis fits in the picture: nothing is
    // drawn along the picture's right edge.
    for (const auto& picture : pdf.Pictures()) {
        if (picture.page < charts)
            continue;
        const QImage chart = pdf.Extract(picture.number);
        int edge = 0;
        for (int y = 0; y < chart.height(); ++y)
            for (int x = chart.width() - 2; x < chart.width(); ++x)
                edge += qGray(chart.pixel(x, y)) < 160;
        EXPECT_EQ(edge, 0) << "chart " << picture.number << " on page " << picture.page;
    }
}

TEST(Report, LongJobTextsWrapWithinTheirTabClearOfTheLogo)
{
    const QString words = QStringLiteral(
        "Replacement of the north abutment shoring at the Riverside Station interchange, "
        "stage two of four, with the temporary access ramp and the utility corridor below "
        "the existing retaining wall, 2026 revision C");
    const QString token = QString(QStringLiteral("RiversideStation")).repeated(13).left(200);
    for (const QString& name : {words, token}) {
        SCOPED_TRACE(name.left(20).toStdString());
        ASSERT_GE(name.size(), 200);
        const auto wall = OpenWallAs(false, [&](TTWData& p) {
            p.ProjectName = name.toStdString();
            const std::vector<uint8_t> rgb(64 * 32 * 3, 90);
            p.SetLogoImage(64, 32, rgb);
        });
        const TReportPdf pdf(*wall.form);
        ASSERT_TRUE(pdf.ok());
        // The logo: the first column of the page that is grey from top to bottom of the rows.
        const QImage page = pdf.Render(1);
        int logoLeft = page.width();
        for (int x = 0; x < page.width() && logoLeft == page.width(); ++x) {
            int run = 0;
            for (int y = 0; y < 200 && run < 30; ++y) {
                const QRgb c = page.pixel(x, y);
                const bool grey = std::abs(qRed(c) - 90) < 15 && std::abs(qGreen(c) - 90) < 15 &&
                                  std::abs(qBlue(c) - 90) < 15;
                run = grey ? run + 1 : 0;
            }
            if (run >= 30)
                logoLeft = x;
        }
        ASSERT_LT(logoLeft, page.width()) << "the logo is printed";
        const TWord* caption = pdf.Find(1, QStringLiteral("Name:"));
        const TWord* next = pdf.Find(1, QStringLiteral("Design"));
        ASSERT_TRUE(caption && next);
        QString printed;
        for (const auto& line : pdf.Lines(1))
            for (const TWord& w : line) {
                if (w.y0 < caption->y0 - 1 || w.y0 > next->y0 - 1 || w.x0 < caption->x1)
                    continue;
                printed += w.text;
                EXPECT_LE(w.x1, logoLeft) << w.text.toStdString();
                EXPECT_LE(w.x1, pdf.PageWidth() - 72) << w.text.toStdString();
            }
        EXPECT_EQ(printed.toStdString(), QString(name).remove(' ').toStdString());
    }
}

TEST(Report, ALongTieSpacingMessageWrapsWithinItsColumn)
{
    // A tie spacing above the largest allowed one: the message under it names the limits, too
    // long for the three quarters of an A4 column it is right-aligned in.
    const auto wall = OpenWallAs(true, [](TTWData& p) {
        p.Reinforcement = TReinforcement::rfRebarCage;
        p.TieSpacingOverride = 1000;
    });
    const std::string& message = wall.project->RebarCageResults.SpacingMessage;
    ASSERT_EQ(message.rfind("Must be", 0), 0u) << message;
    const TReportPdf pdf(*wall.form, QPageSize::A4);
    ASSERT_TRUE(pdf.ok());
    // The inputs' second column (points), where "Structural data" is printed.
    const double columnWidth = (pdf.PageWidth() - 72 - 0.2 * 72) / 2;
    const double left = 36 + columnWidth + 0.2 * 72, right = left + columnWidth;
    const TWord* first = pdf.Find(2, QStringLiteral("Must"), 0, pdf.PageWidth() / 2 - 36);
    ASSERT_NE(first, nullptr);
    // The message's words in reading order from its first one, those of the first column
    // left out.
    QString printed;
    bool started = false;
    for (const auto& line : pdf.Lines(2))
        for (const TWord& w : line) {
            started = started || (w.x0 == first->x0 && w.y0 == first->y0);
            if (!started || w.x1 < left - 10 || printed.size() >= qsizetype(message.size()))
                continue;
            printed += (printed.isEmpty() ? QString() : QStringLiteral(" ")) + w.text;
            EXPECT_GE(w.x0, left) << w.text.toStdString();
            EXPECT_LE(w.x1, right) << w.text.toStdString();
        }
    EXPECT_EQ(printed.toStdString(), message);
}
