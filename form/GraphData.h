// The result graphs without a chart: for each graph its series (points, colours, marks), axis
// titles, inversion, minima and increments, the extreme-value and depth marks, and the texts of
// the readout. The window's charts and the report's pictures are made from these, so both show
// the same graphs. Plain C++.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/Globals.h"
#include "engine/TWClasses.h"

namespace tw::form {

// Which graphs: all of them, or one (the numbers of the "View One Graph" menu).
enum class TGraphKind : int
{
    All = 0,
    Loading = 1,
    Shear = 2,
    Moment = 3,
    Slope = 4,
    Deflection = 5,
    Interaction = 6,
};

enum class TPointMark : uint8_t
{
    None,
    Diamond,
    Triangle,
    Cross,
};

// One point: X along the depth axis (the axial load of the interaction diagram), Y the value.
struct TGraphPoint
{
    double x = 0;
    double y = 0;
};

struct TGraphSeries
{
    bool active = false;
    uint32_t colour = 0; // $00BBGGRR
    int lineWidth = 1;   // 0: points only
    TPointMark mark = TPointMark::None;
    int markSize = 0;
    uint32_t markFill = 0;           // fill of cross marks
    std::vector<TGraphPoint> points; // in ascending order of x
};

struct TGraphPlot
{
    TGraphKind kind = TGraphKind::Loading;
    std::string valueTitle; // "Moment, k-ft", ...
    std::string depthTitle; // "Distance x, ft", ...
    // Series1 to Series5: the curve, the passive diagram or cap line, the pile axis, the design
    // point, the tension line.
    std::array<TGraphSeries, 5> series;
    bool depthInverted = true;
    bool valueInverted = true;
    // Axis minima; none: fitted to the points.
    std::optional<double> depthMinimum;
    std::optional<double> valueMinimum;
    double depthIncrement = 5;
    double valueIncrement = 5;
    // The extreme-value mark on the value axis, at Series1's largest or smallest value.
    bool markLargest = false;
    bool markSmallest = false;
    double markValue = 0;
    std::string markText; // "%.3f" English, "%.2f" SI
    // Depth ticks labelled between the chart's own end labels: 5, 10, 15, ...
    std::vector<double> depthTicks;
    // The series whose points the readout finds, in the order searched.
    std::vector<int> readoutSeries;
};

// The graphs of `which` in the order they are built (loading, shear, moment, slope,
// deflection, interaction); the interaction diagram only for a rebar cage. The slope graph
// keeps the marks of the graph built before it: the largest value after the moment graph, none
// when it is built alone.
std::vector<TGraphPlot> BuildGraphs(const TTWData& project, TGraphKind which,
                                    const TNumberFormat& format = {});

// The value axis increment for a span: brought into 10 to 100, a fifth of it rounded to a
// multiple of 5, scaled back; 0 when that rounds to nothing (the caller then takes the largest
// value).
double AxisIncrementForSpan(double span);
// The most depth labels a graph gets between its end labels.
inline constexpr std::size_t kMaxDepthTicks = 40;
// Depth labels of a pile of the given length: 5, 10, ... while below length - 2; on piles
// longer than 40 steps of 5 the step grows (10, 25, 50, 100, ...) so there are at most
// kMaxDepthTicks.
std::vector<double> DepthTicks(double length);
// The readout text of a point of a graph ("  Moment: 12.3456    Distance: 7.50").
std::string ReadoutText(TGraphKind kind, double y, double x, const TNumberFormat& format);

} // namespace tw::form
