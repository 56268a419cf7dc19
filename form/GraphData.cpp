#include "form/GraphData.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "engine/SoilSprings.h"
#include "form/FormIds.h"

namespace tw::form {

namespace {

constexpr uint32_t kBlue = 0xFF0000;
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kAxisOrange = 0x4080FF;
constexpr uint32_t kGreen = 0x008000;
constexpr uint32_t kFuchsia = 0xFF00FF;
constexpr uint32_t kNavy = 0x800000;
constexpr uint32_t kTensionGreen = 0x40FF00;
constexpr uint32_t kSpringGreen = 0x009600;

// The six series as the chart holds them before a graph is filled.
std::array<TGraphSeries, 6> DesignSeries()
{
    std::array<TGraphSeries, 6> s;
    s[0] = {true, kBlue, 2, TPointMark::Diamond, 3, 0, {}, {}};
    s[1] = {true, kRed, 1, TPointMark::Diamond, 2, 0, {}, {}};
    s[2] = {true, kAxisOrange, 1, TPointMark::None, 0, 0, {}, {}};
    s[3] = {false, kGreen, 0, TPointMark::Cross, 10, kRed, {}, {}};
    s[4] = {false, kTensionGreen, 1, TPointMark::Triangle, 2, 0, {}, {}};
    s[kSoilSpringSeries] = {false, kSpringGreen, 2, TPointMark::None, 0, 0, {}, {}};
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
    for (const std::size_t i :
         {std::size_t{0}, std::size_t{1}, std::size_t{2}, kSoilSpringSeries}) {
        const TGraphSeries& s = g.series[i];
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

// The soil-spring curve beside the design's on the moment or deflection graph. The springs'
// deflection is positive toward the excavation, the design's negative: it is plotted negated
// so that the two curves overlay. Without an answer, the reason instead.
void AddSoilSpringCurve(TGraphPlot& g, const TSoilSpringAnalysis& a)
{
    if (!a.Applicable) {
        g.note = std::string(kSoilSpringCurveName) + ": " +
                 (a.Reason.empty() ? std::string("no answer") : a.Reason);
        return;
    }
    TGraphSeries& s = g.series[kSoilSpringSeries];
    s.active = true;
    s.name = kSoilSpringCurveName;
    for (const TSoilSpringNode& node : a.Nodes)
        Add(s, node.Depth, g.kind == TGraphKind::Moment ? node.Moment : -node.Deflection);
    g.series[0].name = kDesignCurveName;
    g.readoutSeries.push_back(static_cast<int>(kSoilSpringSeries));
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

// The extreme a graph marks and its text. Shear, moment and deflection mark what the results
// column reports, read from the same results and written with the decimals of its row: the
// largest shear (largest magnitude, with its sign), the larger of the moments above and below
// grade, the deflection at the top with its sign. The loading graph marks its largest pressure,
// the slope graph the slope of the largest magnitude.
void SetMark(TGraphPlot& g, const TTWData& p, const TNumberFormat& format)
{
    const auto asRow = [&](Box row, long double value) {
        g.markValue = static_cast<double>(value);
        g.markText = ShowNumber(p.Limits(), BoxDef(row).tag, false, value, format);
    };
    switch (g.kind) {
    case TGraphKind::Loading:
        asRow(PointBox(Box::ResLoadX1, 8), MaxY(g.series[0]));
        break;
    case TGraphKind::Shear:
        asRow(Box::ResMaxShear, p.MaxShear);
        break;
    case TGraphKind::Moment:
        if (std::fabs(p.MaxMomentBelow) >= std::fabs(p.MaxMomentAbove))
            asRow(Box::ResMaxMomentBelow, p.MaxMomentBelow);
        else
            asRow(Box::ResMaxMomentAbove, p.MaxMomentAbove);
        break;
    case TGraphKind::Deflection:
        asRow(Box::ResMaxDeflection, p.Nodes[0].CutDeflectionOut);
        break;
    case TGraphKind::Slope: {
        const double largest = MaxY(g.series[0]);
        const double smallest = MinY(g.series[0]);
        g.markValue = largest >= -smallest ? largest : smallest;
        // Radians need five decimals to show at all.
        g.markText = Fixed(g.markValue, 5, format);
        break;
    }
    default:
        break;
    }
}

} // namespace

namespace {

// The power of ten of a round step and its mantissa (1, 2, 2.5 or 5); mantissa 0 when the
// step is not a round one.
std::pair<int, double> RoundStepParts(double step)
{
    if (!(step > 0) || !std::isfinite(step))
        return {0, 0};
    int power = static_cast<int>(std::floor(std::log10(step)));
    double mantissa = step / std::pow(10.0, power);
    if (mantissa >= 10 - 1e-9) {
        ++power;
        mantissa /= 10;
    }
    for (const double m : {1.0, 2.0, 2.5, 5.0})
        if (std::abs(mantissa - m) < 1e-9 * m)
            return {power, m};
    return {power, 0};
}

} // namespace

double AxisIncrementForSpan(double span)
{
    if (!(span > 0) || !std::isfinite(span))
        return 0;
    // The largest round step that is at most a fifth of the span.
    const double fifth = span / 5;
    const int power = static_cast<int>(std::floor(std::log10(fifth)));
    const double scale = std::pow(10.0, power);
    const double mantissa = fifth / scale * (1 + 1e-12);
    double chosen = 1;
    for (const double m : {2.0, 2.5, 5.0, 10.0})
        if (m <= mantissa)
            chosen = m;
    const double step = chosen * scale;
    return step > 0 && std::isfinite(step) ? step : 0;
}

double NextRoundStep(double step)
{
    const auto [power, mantissa] = RoundStepParts(step);
    if (mantissa == 0)
        return step * 2;
    const double next = mantissa == 1 ? 2 : mantissa == 2 ? 2.5 : mantissa == 2.5 ? 5 : 10;
    return next * std::pow(10.0, power);
}

int StepDecimals(double step)
{
    const auto [power, mantissa] = RoundStepParts(step);
    if (mantissa == 0) {
        // Not a round step: as many decimals as write it exactly, at most 9.
        for (int d = 0; d < 9; ++d) {
            const double scaled = step * std::pow(10.0, d);
            if (std::abs(scaled - std::nearbyint(scaled)) < 1e-6 * std::max(1.0, scaled))
                return d;
        }
        return 9;
    }
    return std::max(0, (mantissa == 2.5 ? 1 : 0) - power);
}

std::vector<TAxisLabel> AxisLabels(double lo, double hi, double increment, int maxLabels,
                                   const TNumberFormat& format)
{
    std::vector<TAxisLabel> labels;
    if (!std::isfinite(lo) || !std::isfinite(hi))
        return labels;
    if (hi < lo)
        std::swap(lo, hi);
    // Multiples of the step inside the range (with a little slack for rounding).
    const auto count = [&](double step, double& first) {
        const double slack = 1e-9;
        first = std::ceil(lo / step - slack);
        return std::floor(hi / step + slack) - first + 1;
    };
    double first = 0;
    double step = increment;
    if (!(RoundStepParts(step).second > 0) || !(count(step, first) >= 2) ||
        count(step, first) > 1000)
        step = AxisIncrementForSpan(hi - lo);
    if (!(step > 0) || !(count(step, first) >= 2) || count(step, first) > 1000) {
        // A range too narrow for its position (or of no width): its two ends, with the
        // decimals that tell them apart.
        const double span = hi - lo > 0 ? hi - lo : std::max(std::abs(hi), 1.0);
        const int decimals = std::clamp(1 - static_cast<int>(std::floor(std::log10(span))), 0, 9);
        labels.push_back({lo, Fixed(lo, decimals, format)});
        labels.push_back({hi, Fixed(hi, decimals, format)});
        if (labels[0].text == labels[1].text)
            labels.pop_back();
        return labels;
    }
    maxLabels = std::max(2, maxLabels);
    while (count(step, first) > maxLabels) {
        double nextFirst = 0;
        const double next = NextRoundStep(step);
        if (!(count(next, nextFirst) >= 2))
            break;
        step = next;
    }
    const int decimals = StepDecimals(step);
    const int n = static_cast<int>(count(step, first));
    for (int i = 0; i < n; ++i) {
        const double value = (first + i) * step;
        std::string text = Fixed(value, decimals, format);
        // Past the precision of a double the texts of neighbours may agree: one label each.
        if (!labels.empty() && labels.back().text == text)
            continue;
        labels.push_back({value, std::move(text)});
    }
    return labels;
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

std::string ReadoutText(TGraphKind kind, double y, double x, bool si, const TNumberFormat& format)
{
    const auto text = [&](const char* name, int decimals, const char* unit, const char* along,
                          int alongDecimals, const char* alongUnit) {
        std::string t = "  ";
        t += name;
        t += ": " + Fixed(y, decimals, format) + " " + unit + "    " + along + ": ";
        t += Fixed(x, alongDecimals, format) + " " + alongUnit;
        return t;
    };
    const char* depth = si ? "m" : "ft";
    switch (kind) {
    case TGraphKind::Loading:
        return text("Loading", 2, si ? "kPa" : "ksf", "Distance", 2, depth);
    case TGraphKind::Shear:
        return text("Shear", 2, si ? "kN" : "kip", "Distance", 2, depth);
    case TGraphKind::Moment:
        return text("Moment", 4, si ? "kN-m" : "k-ft", "Distance", 2, depth);
    case TGraphKind::Slope:
        return text("Slope", 5, "rad", "Distance", 2, depth);
    case TGraphKind::Deflection:
        // Millimetres with two decimals, inches with three, as the node table writes them.
        return text("Deflection", si ? 2 : 3, si ? "mm" : "in", "Distance", 3, depth);
    case TGraphKind::Interaction:
        return text("Moment", 2, si ? "kN-m" : "k-ft", "Axial Load", 2, si ? "kN" : "kip");
    default:
        return {};
    }
}

std::vector<TGraphPlot> BuildGraphs(const TTWData& p, TGraphKind which, const TNumberFormat& format,
                                    bool soilSprings)
{
    const bool si = p.Units == TUnitSystem::usSI;
    const std::string depthTitle = si ? "Distance x, m" : "Distance x, ft";
    std::vector<TGraphPlot> graphs;
    bool markLargest = false;
    bool markSmallest = false;
    std::optional<TSoilSpringAnalysis> springs; // computed when first needed
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
        if (soilSprings && (kind == TGraphKind::Moment || kind == TGraphKind::Deflection)) {
            if (!springs)
                springs = ComputeSoilSpringAnalysis(p);
            AddSoilSpringCurve(g, *springs);
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
        if (!g.series[0].points.empty())
            SetMark(g, p, format);
        if (kind != TGraphKind::Interaction)
            g.depthTicks = DepthTicks(MaxX(g.series[2]));
        graphs.push_back(std::move(g));
    }
    return graphs;
}

} // namespace tw::form
