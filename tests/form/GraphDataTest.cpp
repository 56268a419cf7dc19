// The result graphs' data and the node table without a chart or a window: axis increments,
// depth labels, the marks of each graph, the interaction diagram's series, the readout texts,
// the 64 rows with their decimals, and CSV that reads back to the same numbers.
#include <algorithm>
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "engine/ProjectJson.h"
#include "form/GraphData.h"
#include "form/MainForm.h"
#include "form/NodeTable.h"
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
    } spans[] = {{37, 5}, {250, 50}, {620, 100}, {0.012, 0}, {8.4, 1.5}, {0, 0}};
    for (const auto& c : spans)
        EXPECT_DOUBLE_EQ(AxisIncrementForSpan(c.span), c.increment) << c.span;
    // A 20 ft pile labels 5, 10, 15 (a label needs a depth below 18); 7 or less none.
    EXPECT_EQ(DepthTicks(20), (std::vector<double>{5, 10, 15}));
    EXPECT_EQ(DepthTicks(17.5), (std::vector<double>{5, 10, 15}));
    EXPECT_EQ(DepthTicks(17), (std::vector<double>{5, 10}));
    EXPECT_TRUE(DepthTicks(7).empty());
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

TEST(GraphReadout, TextsOfEachGraph)
{
    const struct
    {
        TGraphKind kind;
        const char* text;
    } cases[] = {
        {TGraphKind::Loading, "  Loading: 1.23    Distance: 4.50"},
        {TGraphKind::Moment, "  Moment: 1.2346    Distance: 4.50"},
        {TGraphKind::Slope, "  Slope: 1.23457    Distance: 4.50"},
        {TGraphKind::Deflection, "  Deflection: 1.235    Distance: 4.500"},
        {TGraphKind::Interaction, "  Moment: 1.23    Axial Load: 4.50"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadoutText(c.kind, 1.234567, 4.5, {}), c.text);
    EXPECT_EQ(ReadoutText(TGraphKind::Shear, 1.5, 2, {",", "."}),
              "  Shear: 1,50    Distance: 2,00");
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
