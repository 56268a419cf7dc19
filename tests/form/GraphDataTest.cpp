// The result graphs' data and the node table without a chart or a window: axis increments,
// depth labels, the marks of each graph, the interaction diagram's series, the readout texts,
// the 64 rows with their decimals, and CSV that reads back to the same numbers.
#include <algorithm>
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "engine/ProjectJson.h"
#include "engine/SoilSprings.h"
#include "form/GraphData.h"
#include "form/MainForm.h"
#include "form/NodeTable.h"
#include "support/OpenWall.h"
#include "support/TestWalls.h"

using namespace tw;
using namespace tw::form;

namespace {

TTWData Example(bool si, void (*edit)(TTWData&) = nullptr)
{
    TTWData p;
    ProjectFromJson(test::ExampleProjectJson(si), p);
    if (edit)
        edit(p);
    p.LoadCatalogues();
    p.Analyze();
    return p;
}

const TGraphPlot* Find(const std::vector<TGraphPlot>& graphs, TGraphKind kind)
{
    for (const TGraphPlot& g : graphs)
        if (g.kind == kind)
            return &g;
    return nullptr;
}

} // namespace

TEST(GraphAxes, IncrementsAndDepthLabels)
{
    const struct
    {
        double span, increment;
    } spans[] = {{37, 5}, {250, 50}, {620, 100}, {0, 0}};
    for (const auto& c : spans)
        EXPECT_DOUBLE_EQ(AxisIncrementForSpan(c.span), c.increment) << c.span;
    // A 20 ft pile labels 5, 10, 15 (a label needs a depth below 18); 7 or less none.
    EXPECT_EQ(DepthTicks(20), (std::vector<double>{5, 10, 15}));
    EXPECT_EQ(DepthTicks(17.5), (std::vector<double>{5, 10, 15}));
    EXPECT_EQ(DepthTicks(17), (std::vector<double>{5, 10}));
    EXPECT_TRUE(DepthTicks(7).empty());
}

// Every axis gets a scale: at least two distinct labels, at the multiples of a round step (1,
// 2, 2.5 or 5 times a power of ten) inside the range, each written with just the decimals the
// step needs. The first rows are ranges that once got no label or a single "0.000": the axial
// loads of an SI rebar cage of 0.9 m, and top deflections of 1.00 to 1.25 in and 100 to 125 mm.
TEST(GraphAxes, EveryAxisGetsARoundScale)
{
    struct TRange
    {
        double lo, hi;
        int room; // the most labels there is room for
    };
    std::vector<TRange> ranges = {
        {-2390, 9660, 8},     {-1.00, 0.003, 8},  {-1.25, 0.004, 8}, {-1.12, 0.0, 8},
        {-100, 0.2, 8},       {-125, 0.31, 8},    {-112.5, 0, 8},    {0, 0.012, 8},
        {0, 8.4, 8},          {-96.67, 35.09, 5}, {0, 0.00475, 8},   {1000, 1000.3, 8},
        {-3.5e-6, 1.2e-6, 8}, {0, 4.6e6, 3},      {0, 1, 2},         {5, 5.5, 8},
    };
    // And a spread of spans over many decades, a little off zero.
    for (int e = -6; e <= 7; ++e)
        for (const double m : {1.0, 1.25, 1.7, 2.2, 3.1, 4.9, 6.3, 9.9})
            ranges.push_back({-0.07 * m * std::pow(10.0, e), m * std::pow(10.0, e), 7});
    for (const TRange& r : ranges) {
        const std::vector<TAxisLabel> labels =
            AxisLabels(r.lo, r.hi, AxisIncrementForSpan(r.hi - r.lo), r.room);
        std::ostringstream texts;
        for (const TAxisLabel& l : labels)
            texts << " " << l.text;
        SCOPED_TRACE(::testing::Message() << r.lo << " to " << r.hi << ":" << texts.str());
        ASSERT_GE(labels.size(), 2u);
        EXPECT_LE(labels.size(), static_cast<std::size_t>(std::max(2, r.room)));
        const double step = labels[1].value - labels[0].value;
        const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
        EXPECT_TRUE(std::abs(mantissa - 1) < 1e-6 || std::abs(mantissa - 2) < 1e-6 ||
                    std::abs(mantissa - 2.5) < 1e-6 || std::abs(mantissa - 5) < 1e-6)
            << step;
        bool lastDecimalNeeded = false;
        for (std::size_t i = 0; i < labels.size(); ++i) {
            const TAxisLabel& l = labels[i];
            EXPECT_NEAR(l.value, labels[0].value + static_cast<double>(i) * step, 1e-6 * step);
            EXPECT_GE(l.value, r.lo - 1e-9 * step);
            EXPECT_LE(l.value, r.hi + 1e-9 * step);
            // The text is the value: enough decimals, and no trailing zero every label has.
            EXPECT_NEAR(std::stod(l.text), l.value, 1e-6 * step) << l.text;
            lastDecimalNeeded =
                lastDecimalNeeded || l.text.find('.') == std::string::npos || l.text.back() != '0';
            if (i > 0) {
                EXPECT_NE(l.text, labels[i - 1].text);
            }
        }
        EXPECT_TRUE(lastDecimalNeeded);
    }
}

// However long the pile, its depth labels are few, rising and inside it (a pile of 7.7e8 ft
// once asked for 150 million labels, and an int counter overflowed past 2^31).
TEST(GraphAxes, DepthLabelsStayFewOnAnyLength)
{
    for (const double length : {200.0, 203.0, 450.0, 1.0e4, 7.7e8, 3.0e12, 1.0e300}) {
        const std::vector<double> ticks = DepthTicks(length);
        ASSERT_FALSE(ticks.empty()) << length;
        EXPECT_LE(ticks.size(), kMaxDepthTicks) << length;
        EXPECT_GE(ticks.size(), kMaxDepthTicks / 3) << length;
        EXPECT_TRUE(std::is_sorted(ticks.begin(), ticks.end())) << length;
        EXPECT_LT(ticks.back(), length) << length;
    }
}

TEST(GraphMarks, SlopeKeepsTheMarkOfTheGraphBeforeIt)
{
    const TTWData p = Example(false);
    const auto all = BuildGraphs(p, TGraphKind::All);
    ASSERT_EQ(all.size(), 5u); // an I-beam: no interaction diagram
    EXPECT_TRUE(Find(all, TGraphKind::Moment)->markLargest);
    EXPECT_TRUE(Find(all, TGraphKind::Slope)->markLargest);       // after the moment graph
    EXPECT_EQ(Find(all, TGraphKind::Slope)->markText, "0.00475"); // radians need five decimals
    EXPECT_TRUE(Find(all, TGraphKind::Deflection)->markSmallest);
    EXPECT_FALSE(Find(all, TGraphKind::Deflection)->markLargest);
    const auto slope = BuildGraphs(p, TGraphKind::Slope);
    ASSERT_EQ(slope.size(), 1u);
    EXPECT_FALSE(slope[0].markLargest);
    EXPECT_FALSE(slope[0].markSmallest);
    // The deflection mark is at the curve's smallest value, written with 3 decimals.
    const TGraphPlot& d = *Find(all, TGraphKind::Deflection);
    double smallest = 1e300;
    for (const TGraphPoint& q : d.series[0].points)
        smallest = std::min(smallest, q.y);
    EXPECT_DOUBLE_EQ(d.markValue, smallest);
    EXPECT_EQ(d.markText.size() - d.markText.find('.'), 4u);
}

// The shear, moment and deflection graphs mark the extreme the results column reports: the
// largest magnitude with its sign, written as the result row writes it. (The English example's
// shear curve peaks at +35.09 k above the base but reaches -96.67 k below it.)
TEST(GraphMarks, TheExtremeOfTheResultsColumn)
{
    for (const bool si : {false, true}) {
        const auto wall = test::OpenWallAs(si);
        const TTWData& p = *wall.project;
        const TMainForm& form = *wall.form;
        const auto all = BuildGraphs(p, TGraphKind::All, form.NumberFormat());
        const long double moment = std::fabs(p.MaxMomentBelow) >= std::fabs(p.MaxMomentAbove)
                                       ? p.MaxMomentBelow
                                       : p.MaxMomentAbove;
        const struct
        {
            TGraphKind kind;
            long double value;
            Box row;
        } marks[] = {
            {TGraphKind::Shear, p.MaxShear, Box::ResMaxShear},
            {TGraphKind::Moment, moment,
             moment == p.MaxMomentBelow ? Box::ResMaxMomentBelow : Box::ResMaxMomentAbove},
            {TGraphKind::Deflection, p.Nodes[0].CutDeflectionOut, Box::ResMaxDeflection},
        };
        for (const auto& m : marks) {
            const TGraphPlot& g = *Find(all, m.kind);
            SCOPED_TRACE(g.valueTitle);
            EXPECT_DOUBLE_EQ(g.markValue, static_cast<double>(m.value));
            // As the row writes it, with the sign (the deflection row shows the magnitude).
            std::string row = form.BoxState(m.row).text;
            if (row.rfind('-', 0) == 0)
                row.erase(0, 1);
            EXPECT_EQ(g.markText, (m.value < 0 ? "-" : "") + row);
        }
    }
}

TEST(GraphSeries, NodeGraphsAndTheLoadingDiagram)
{
    const TTWData p = Example(false);
    const auto momentGraphs = BuildGraphs(p, TGraphKind::Moment);
    const TGraphPlot& moment = momentGraphs.at(0);
    ASSERT_EQ(moment.series[0].points.size(), 64u);
    EXPECT_FALSE(moment.series[1].active);
    // The pile axis reaches the tip; depth labels follow its length.
    EXPECT_DOUBLE_EQ(moment.series[2].points.back().x, static_cast<double>(p.TotalPileLength));
    EXPECT_DOUBLE_EQ(moment.depthIncrement, static_cast<double>(p.TotalPileLength));
    EXPECT_EQ(moment.depthTicks, DepthTicks(static_cast<double>(p.TotalPileLength)));
    EXPECT_EQ(moment.valueTitle, "Moment, k-ft");
    // Points in ascending order of depth.
    for (std::size_t i = 1; i < moment.series[0].points.size(); ++i)
        EXPECT_LE(moment.series[0].points[i - 1].x, moment.series[0].points[i].x);
    const auto loadingGraphs = BuildGraphs(p, TGraphKind::Loading);
    const TGraphPlot& loading = loadingGraphs.at(0);
    EXPECT_EQ(loading.series[0].points.size(), 9u); // eight points and the closing one
    EXPECT_EQ(loading.series[1].points.size(), 6u); // the passive diagram, closed
    EXPECT_EQ(loading.readoutSeries, (std::vector<int>{0, 1}));
    EXPECT_EQ(BuildGraphs(Example(true), TGraphKind::Loading).at(0).valueTitle, "Loading, kPa");
}

TEST(GraphSeries, InteractionDiagramOfARebarCage)
{
    const TTWData p = Example(false, [](TTWData& w) {
        w.SetPileType(TPileType::ptTangentPile);
        w.Reinforcement = TReinforcement::rfRebarCage;
        w.YieldStrength = 60;
        w.BarCount = 12;
    });
    const auto all = BuildGraphs(p, TGraphKind::All);
    ASSERT_EQ(all.size(), 6u);
    const TGraphPlot& g = all.back();
    ASSERT_EQ(g.kind, TGraphKind::Interaction);
    EXPECT_EQ(g.series[0].points.size(), 9u);
    // The cap at the maximum design axial strength, the design point, the tension line.
    const TRebarCageResults& r = p.RebarCageResults;
    ASSERT_EQ(g.series[1].points.size(), 2u);
    EXPECT_DOUBLE_EQ(g.series[1].points[0].x, static_cast<double>(r.PhiPnMax));
    ASSERT_EQ(g.series[3].points.size(), 1u);
    EXPECT_DOUBLE_EQ(g.series[3].points[0].x, static_cast<double>(1.2L * p.AxialLoad));
    EXPECT_DOUBLE_EQ(g.series[3].points[0].y, static_cast<double>(1.6L * p.MaxMomentBelow));
    ASSERT_EQ(g.series[4].points.size(), 2u);
    EXPECT_DOUBLE_EQ(g.series[4].points[0].x,
                     static_cast<double>(r.PhiPnT)); // sorted: tension first
    EXPECT_FALSE(g.depthInverted);
    EXPECT_FALSE(g.depthMinimum.has_value()); // the tension region stays in view
    EXPECT_FALSE(g.markLargest || g.markSmallest);
    EXPECT_EQ(g.depthTitle, "Design Axial Load, kip");
}

// The soil-spring curve on the moment and deflection graphs: one point a spring node, in the
// design's sign convention (the top deflection toward the excavation negative, as the
// design's), both curves named for the legend; only when asked for; without an answer from
// the springs the reason instead of a curve.
TEST(GraphSeries, SoilSpringCurveBesideTheDesigns)
{
    for (const bool si : {false, true}) {
        const TTWData p = Example(si);
        const TSoilSpringAnalysis a = ComputeSoilSpringAnalysis(p);
        ASSERT_TRUE(a.Applicable) << a.Reason;
        const auto all = BuildGraphs(p, TGraphKind::All, {}, true);
        const TGraphPlot* deflection = Find(all, TGraphKind::Deflection);
        const TGraphPlot* moment = Find(all, TGraphKind::Moment);
        ASSERT_TRUE(deflection && moment);
        const auto& curve = deflection->series[kSoilSpringSeries].points;
        ASSERT_EQ(curve.size(), a.Nodes.size());
        EXPECT_DOUBLE_EQ(curve.front().y, -static_cast<double>(a.TopDeflection));
        EXPECT_LT(deflection->series[0].points.front().y, 0); // the design's top, same side
        double largest = 0;
        for (const TGraphPoint& q : moment->series[kSoilSpringSeries].points)
            largest = std::max(largest, q.y);
        EXPECT_DOUBLE_EQ(largest, static_cast<double>(a.MaxMoment));
        EXPECT_EQ(moment->series[0].name, kDesignCurveName);
        EXPECT_EQ(moment->series[kSoilSpringSeries].name, kSoilSpringCurveName);
        EXPECT_TRUE(Find(all, TGraphKind::Shear)->series[kSoilSpringSeries].points.empty());
        EXPECT_TRUE(
            BuildGraphs(p, TGraphKind::Moment).at(0).series[kSoilSpringSeries].points.empty());
    }
    TTWData typed = Example(false);
    typed.AnalysisMethod = TAnalysisMethod::amUserDefined;
    const TGraphPlot g = BuildGraphs(typed, TGraphKind::Deflection, {}, true).at(0);
    EXPECT_TRUE(g.series[kSoilSpringSeries].points.empty());
    EXPECT_EQ(g.note, "Soil springs: pressures typed by the user");
}

// The readout names the unit of each value: the graph's own and the depth's.
TEST(GraphReadout, TextsOfEachGraphWithTheirUnits)
{
    const struct
    {
        TGraphKind kind;
        bool si;
        const char* text;
    } cases[] = {
        {TGraphKind::Loading, false, "  Loading: 1.23 ksf    Distance: 4.50 ft"},
        {TGraphKind::Shear, false, "  Shear: 1.23 kip    Distance: 4.50 ft"},
        {TGraphKind::Moment, false, "  Moment: 1.2346 k-ft    Distance: 4.50 ft"},
        {TGraphKind::Slope, false, "  Slope: 1.23457 rad    Distance: 4.50 ft"},
        {TGraphKind::Deflection, false, "  Deflection: 1.235 in    Distance: 4.500 ft"},
        {TGraphKind::Interaction, false, "  Moment: 1.23 k-ft    Axial Load: 4.50 kip"},
        {TGraphKind::Loading, true, "  Loading: 1.23 kPa    Distance: 4.50 m"},
        {TGraphKind::Shear, true, "  Shear: 1.23 kN    Distance: 4.50 m"},
        {TGraphKind::Moment, true, "  Moment: 1.2346 kN-m    Distance: 4.50 m"},
        {TGraphKind::Deflection, true, "  Deflection: 1.23 mm    Distance: 4.500 m"},
        {TGraphKind::Interaction, true, "  Moment: 1.23 kN-m    Axial Load: 4.50 kN"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadoutText(c.kind, 1.234567, 4.5, c.si, {}), c.text);
    EXPECT_EQ(ReadoutText(TGraphKind::Shear, 1.5, 2, false, {",", "."}),
              "  Shear: 1,50 kip    Distance: 2,00 ft");
}

// The soil springs' table: a row a spring node with the design's captions and sign convention
// (the top deflection as the graphs plot it), the same rows as CSV; without an answer no rows
// and the reason.
TEST(NodeTable, SoilSpringRows)
{
    const TTWData p = Example(false);
    const TSoilSpringAnalysis a = ComputeSoilSpringAnalysis(p);
    ASSERT_TRUE(a.Applicable) << a.Reason;
    const auto rows = NodeTableRows(p, {}, TNodeMethod::SoilSprings);
    ASSERT_EQ(rows.size(), a.Nodes.size());
    EXPECT_EQ(rows.back()[0], FormatFixed(p.TotalPileLength, 2, 10, "."));
    EXPECT_EQ(rows.front()[5], FormatFixed(-a.TopDeflection, 3, 10, "."));
    const auto columns = NodeTableColumns(p.Units, TNodeMethod::SoilSprings);
    EXPECT_EQ(columns[1].caption, "Load, k/ft");
    EXPECT_EQ(columns[5].caption, NodeTableColumns(p.Units)[5].caption);
    const std::string csv = NodeTableCsv(p, TNodeMethod::SoilSprings);
    EXPECT_EQ(static_cast<std::size_t>(std::count(csv.begin(), csv.end(), '\n')),
              a.Nodes.size() + 1);
    EXPECT_TRUE(NodeTableNote(p, TNodeMethod::SoilSprings).empty());

    TTWData typed = p;
    typed.AnalysisMethod = TAnalysisMethod::amUserDefined;
    EXPECT_TRUE(NodeTableRows(typed, {}, TNodeMethod::SoilSprings).empty());
    EXPECT_EQ(NodeTableNote(typed, TNodeMethod::SoilSprings),
              "Soil springs: pressures typed by the user");
}

TEST(NodeTable, RowsDecimalsAndCsv)
{
    for (const bool si : {false, true}) {
        const TTWData p = Example(si);
        const auto rows = NodeTableRows(p, {});
        ASSERT_EQ(rows.size(), 64u);
        EXPECT_EQ(rows.front()[0], "0");
        EXPECT_EQ(rows.back()[0], "63");
        // Deflection: 3 decimals in inches, 2 in millimetres; slope always 5.
        const std::string& defl = rows[10][5];
        EXPECT_EQ(defl.size() - defl.find('.') - 1, si ? 2u : 3u) << defl;
        EXPECT_EQ(rows[10][4].size() - rows[10][4].find('.') - 1, 5u);
        EXPECT_EQ(NodeTableColumns(p.Units)[5].caption, si ? "Defl, mm" : "Defl, inch");

        // The CSV reads back to the node values.
        std::istringstream csv(NodeTableCsv(p));
        std::string line;
        std::getline(csv, line);
        EXPECT_EQ(line.rfind("Node,Depth (", 0), 0u);
        for (int i = 0; i < 64; ++i) {
            ASSERT_TRUE(std::getline(csv, line));
            std::istringstream fields(line);
            std::string field;
            std::getline(fields, field, ',');
            EXPECT_EQ(std::stoi(field), i);
            const TPileNode& n = p.Nodes[static_cast<std::size_t>(i)];
            for (const long double value :
                 {n.Depth, n.CutShear, n.CutMoment, n.CutRelSlope, n.CutDeflectionOut}) {
                std::getline(fields, field, ',');
                EXPECT_EQ(std::stod(field), static_cast<double>(value)) << line;
            }
        }
        EXPECT_FALSE(std::getline(csv, line));
    }
    // Tab-separated text for the clipboard: the header and 64 rows of six cells.
    const std::string tabs = NodeTableTabText(Example(false), {});
    EXPECT_EQ(std::count(tabs.begin(), tabs.end(), '\n'), 65);
    EXPECT_EQ(std::count(tabs.begin(), tabs.end(), '\t'), 65 * 5);
}
