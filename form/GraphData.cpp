#include "form/GraphData.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tw::form {

namespace {

constexpr uint32_t kBlue = 0xFF0000;
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kAxisOrange = 0x4080FF;
constexpr uint32_t kGreen = 0x008000;
constexpr uint32_t kFuchsia = 0xFF00FF;
constexpr uint32_t kNavy = 0x800000;
constexpr uint32_t kTensionGreen = 0x40FF00;

// The five series as the chart holds them before a graph is filled.
std::array<TGraphSeries, 5> DesignSeries()
{
    std::array<TGraphSeries, 5> s;
    s[0] = {true, kBlue, 2, TPointMark::Diamond, 3, 0, {}};
    s[1] = {true, kRed, 1, TPointMark::Diamond, 2, 0, {}};
    s[2] = {true, kAxisOrange, 1, TPointMark::None, 0, 0, {}};
    s[3] = {false, kGreen, 0, TPointMark::Cross, 10, kRed, {}};
    s[4] = {false, kTensionGreen, 1, TPointMark::Triangle, 2, 0, {}};
    return s;
}

void Add(TGraphSeries& series, long double x, long double y)
{
    series.points.push_back({static_cast<double>(x), static_cast<double>(y)});
}

// The chart keeps a series' points in ascending order of x, whatever the order added.
void Sort(TGraphSeries& series)
{
    std::stable_sort(series.points.begin(), series.points.end(),
                     [](const TGraphPoint& a, const TGraphPoint& b) { return a.x < b.x; });
}

double MaxY(const TGraphSeries& s)
{
    double m = -std::numeric_limits<double>::infinity();
    for (const TGraphPoint& p : s.points)
        m = std::max(m, p.y);
    return m;
}

double MinY(const TGraphSeries& s)
{
    double m = std::numeric_limits<double>::infinity();
    for (const TGraphPoint& p : s.points)
        m = std::min(m, p.y);
    return m;
}

double MaxX(const TGraphSeries& s)
{
    double m = 0;
    for (const TGraphPoint& p : s.points)
        m = std::max(m, p.x);
    return m;
}

// Fixed point with the decimals given, in the number format of the window.
std::string Fixed(double value, int decimals, const TNumberFormat& format)
{
    return FormatFixed(value, decimals, 20, format.decimalSeparator);
}

// The increments of both axes (the depth axis labels only its ends; its inner labels are the
// depth ticks) and the fitted value axis.
void SetAxisIncrements(TGraphPlot& g)
{
    g.depthIncrement = MaxX(g.series[2]);
    double span = 0;
    double largest = -std::numeric_limits<double>::infinity();
    for (int i = 0; i < 3; ++i) {
        const TGraphSeries& s = g.series[static_cast<std::size_t>(i)];
        if (s.points.empty())
            continue;
        span = std::max(span, MaxY(s) - MinY(s));
        largest = std::max(largest, MaxY(s));
    }
    g.valueIncrement = AxisIncrementForSpan(span);
    if (!(g.valueIncrement > 0) && std::isfinite(largest))
        g.valueIncrement = std::nearbyint(largest * 100) / 100;
    g.valueMinimum.reset();
}

// A graph of node values against depth: the second-pass curve and the pile axis.
TGraphPlot NodeGraph(const TTWData& p, TGraphKind kind, const char* title,
                     long double TPileNode::*value)
{
    TGraphPlot g;
    g.kind = kind;
    g.series = DesignSeries();
    g.series[0].colour = kFuchsia;
    g.series[1].active = false;
    g.valueTitle = title;
    for (const TPileNode& node : p.Nodes) {
        Add(g.series[0], node.Depth, node.*value);
        Add(g.series[2], node.Depth, 0);
    }
    Add(g.series[2], p.TotalPileLength, 0);
    g.readoutSeries = {0};
    return g;
}

TGraphPlot LoadingGraph(const TTWData& p, bool si)
{
    TGraphPlot g;
    g.kind = TGraphKind::Loading;
    g.series = DesignSeries();
    g.valueTitle = si ? "Loading, kPa" : "Loading, ksf";
    for (const TPressurePoint& point : p.LoadPoints)
        Add(g.series[0], point.X, point.W);
    Add(g.series[0], p.LoadPoints[kLoadPointCount - 1].X, 0);
    Add(g.series[1], p.PassivePoints[0].X, 0);
    for (const TPressurePoint& point : p.PassivePoints)
        Add(g.series[1], point.X, point.W);
    Add(g.series[1], p.PassivePoints[kPassivePointCount - 1].X, 0);
    for (const TPressurePoint& point : p.LoadPoints)
        Add(g.series[2], point.X, 0);
    Add(g.series[2], p.Nodes[kPileNodeCount - 1].Depth, 0);
    Add(g.series[2], p.TotalPileLength, 0);
    g.readoutSeries = {0, 1};
    return g;
}

TGraphPlot InteractionGraph(const TTWData& p, bool si)
{
    TGraphPlot g;
    g.kind = TGraphKind::Interaction;
    g.series = DesignSeries();
    for (TGraphSeries& s : g.series)
        s.points.clear();
    g.valueTitle = si ? "Design Moment, KN.m" : "Design Moment, k-ft";
    g.depthTitle = si ? "Design Axial Load, KN" : "Design Axial Load, kip";
    g.series[0].colour = kNavy;
    for (const TInteractionPoint& point : p.InteractionPoints)
        if (point.Defined)
            Add(g.series[0], point.phiPn, point.phiMn);
    const TRebarCageResults& r = p.RebarCageResults;
    const TInteractionPoint& last = p.InteractionPoints[kInteractionPointCount - 1];
    Add(g.series[1], r.PhiPnMax, 0);
    Add(g.series[1], r.PhiPnMax, last.Defined ? last.phiMn : 0);
    g.series[1].colour = kRed;
    g.series[1].mark = TPointMark::Diamond;
    g.series[3].active = true;
    g.series[3].markFill = kRed;
    // The factored loads as the cage design took them.
    Add(g.series[3], r.Pu, r.Mu);
    g.series[4].active = true;
    g.series[4].mark = TPointMark::Diamond;
    if (std::isfinite(static_cast<double>(r.PhiMn0)))
        Add(g.series[4], 0, r.PhiMn0);
    Add(g.series[4], r.PhiPnT, 0);
    // The axial axis runs upward after the picture is turned; both axes are fitted to the
    // points (also when the diagram follows the other graphs, whose minimum of 0 would hide
    // the tension region).
    g.depthInverted = false;
    g.depthMinimum.reset();
    g.readoutSeries = {0, 1, 4};
    return g;
}

} // namespace

double AxisIncrementForSpan(double span)
{
    if (!(span > 0) || !std::isfinite(span))
        return 0;
    double r = span;
    int k = 0;
    while (r < 10) {
        r *= 10;
        --k;
    }
    while (r > 100) {
        r /= 10;
        ++k;
    }
    return std::nearbyint(r / 5 / 5) * 5 * std::pow(10.0, k);
}

std::vector<double> DepthTicks(double length)
{
    std::vector<double> ticks;
    if (!std::isfinite(length))
        return ticks;
    // Every 5 units; on a pile too long for that, every 10, 25, 50, 100, 250, ... so the
    // labels stay few and readable whatever the length.
    double step = 5;
    for (int i = 0; length / step > kMaxDepthTicks + 1; ++i)
        step *= i % 3 == 1 ? 2.5 : 2;
    const double last = length - 0.4 * step;
    for (double q = step; q < last && ticks.size() < kMaxDepthTicks; q += step)
        ticks.push_back(q);
    return ticks;
}

std::string ReadoutText(TGraphKind kind, double y, double x, const TNumberFormat& format)
{
    switch (kind) {
    case TGraphKind::Loading:
        return "  Loading: " + Fixed(y, 2, format) + "    Distance: " + Fixed(x, 2, format);
    case TGraphKind::Shear:
        return "  Shear: " + Fixed(y, 2, format) + "    Distance: " + Fixed(x, 2, format);
    case TGraphKind::Moment:
        return "  Moment: " + Fixed(y, 4, format) + "    Distance: " + Fixed(x, 2, format);
    case TGraphKind::Slope:
        return "  Slope: " + Fixed(y, 5, format) + "    Distance: " + Fixed(x, 2, format);
    case TGraphKind::Deflection:
        return "  Deflection: " + Fixed(y, 3, format) + "    Distance: " + Fixed(x, 3, format);
    case TGraphKind::Interaction:
        return "  Moment: " + Fixed(y, 2, format) + "    Axial Load: " + Fixed(x, 2, format);
    default:
        return {};
    }
}

std::vector<TGraphPlot> BuildGraphs(const TTWData& p, TGraphKind which, const TNumberFormat& format)
{
    const bool si = p.Units == TUnitSystem::usSI;
    const std::string depthTitle = si ? "Distance x, m" : "Distance x, ft";
    std::vector<TGraphPlot> graphs;
    bool markLargest = false;
    bool markSmallest = false;
    for (int k = 1; k <= 6; ++k) {
        const auto kind = static_cast<TGraphKind>(k);
        if (which != TGraphKind::All && which != kind)
            continue;
        TGraphPlot g;
        switch (kind) {
        case TGraphKind::Loading:
            g = LoadingGraph(p, si);
            break;
        case TGraphKind::Shear:
            g = NodeGraph(p, kind, si ? "Shear, kN" : "Shear, kip", &TPileNode::CutShear);
            break;
        case TGraphKind::Moment:
            g = NodeGraph(p, kind, si ? "Moment, kN-m" : "Moment, k-ft", &TPileNode::CutMoment);
            break;
        case TGraphKind::Slope:
            g = NodeGraph(p, kind, "Slope, radians", &TPileNode::CutRelSlope);
            break;
        case TGraphKind::Deflection:
            g = NodeGraph(p, kind, si ? "Deflection, mm" : "Deflection, in",
                          &TPileNode::CutDeflectionOut);
            break;
        default:
            if (p.Reinforcement != TReinforcement::rfRebarCage)
                continue;
            g = InteractionGraph(p, si);
            break;
        }
        if (kind != TGraphKind::Interaction) {
            g.depthTitle = depthTitle;
            g.depthMinimum = 0;
            g.valueMinimum = 0;
        }
        // The extreme-value marks; the slope graph keeps those of the graph before it.
        if (kind == TGraphKind::Loading || kind == TGraphKind::Shear ||
            kind == TGraphKind::Moment) {
            markLargest = true;
            markSmallest = false;
        } else if (kind == TGraphKind::Deflection) {
            markLargest = false;
            markSmallest = true;
        } else if (kind == TGraphKind::Interaction) {
            markLargest = markSmallest = false;
        }
        g.markLargest = markLargest;
        g.markSmallest = markSmallest;
        for (TGraphSeries& s : g.series)
            Sort(s);
        SetAxisIncrements(g);
        if (kind == TGraphKind::Interaction)
            g.depthIncrement = 0;
        if (!g.series[0].points.empty()) {
            g.markValue = markLargest ? MaxY(g.series[0]) : MinY(g.series[0]);
            // Three decimals (two in SI); a slope in radians needs five to show at all.
            const int decimals = kind == TGraphKind::Slope ? 5 : (si ? 2 : 3);
            g.markText = Fixed(g.markValue, decimals, format);
        }
        if (kind != TGraphKind::Interaction)
            g.depthTicks = DepthTicks(MaxX(g.series[2]));
        graphs.push_back(std::move(g));
    }
    return graphs;
}

} // namespace tw::form
