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
    std::string name;                // in the legend; a graph shows one when two are named
};

// The curve of the soil-spring analysis on the moment and deflection graphs, and the names
// the legend gives the two curves.
inline constexpr std::size_t kSoilSpringSeries = 5;
inline constexpr char kDesignCurveName[] = "Design method";
inline constexpr char kSoilSpringCurveName[] = "Soil springs";

struct TGraphPlot
{
    TGraphKind kind = TGraphKind::Loading;
    std::string valueTitle; // "Moment, k-ft", ...
    std::string depthTitle; // "Distance x, ft", ...
    // Series1 to Series5: the curve, the passive diagram or cap line, the pile axis, the design
    // point, the tension line; then the soil-spring curve (kSoilSpringSeries).
    std::array<TGraphSeries, 6> series;
    bool depthInverted = true;
    bool valueInverted = true;
    // Axis minima; none: fitted to the points.
    std::optional<double> depthMinimum;
    std::optional<double> valueMinimum;
    double depthIncrement = 5;
    double valueIncrement = 5;
    // The extreme-value mark on the value axis (its text above the line for a largest-value
    // mark, level with it for a smallest-value one): for shear, moment and deflection the
    // extreme the results column reports, as its row writes it.
    bool markLargest = false;
    bool markSmallest = false;
    double markValue = 0;
    std::string markText;
    // Depth ticks labelled between the chart's own end labels: 5, 10, 15, ...
    std::vector<double> depthTicks;
    // The series whose points the readout finds, in the order searched.
    std::vector<int> readoutSeries;
    // Why a graph asked for the soil-spring curve has none ("Soil springs: no equilibrium:
    // ..."); empty otherwise.
    std::string note;
};

// The graphs of `which` in the order they are built (loading, shear, moment, slope,
// deflection, interaction); the interaction diagram only for a rebar cage. The slope graph
// keeps the marks of the graph built before it: the largest value after the moment graph, none
// when it is built alone. With `soilSprings` the moment and deflection graphs also get the
// soil-spring analysis's curve in the design's sign convention, and a legend naming the two,
// or without an answer from it the reason in `note`.
std::vector<TGraphPlot> BuildGraphs(const TTWData& project, TGraphKind which,
                                    const TNumberFormat& format = {}, bool soilSprings = false);

// A round axis step for a span: 1, 2, 2.5 or 5 times a power of ten, the largest that
// divides the span into at least 5 parts (so 5 to 10 of them); 0 for a span that is not
// positive and finite.
double AxisIncrementForSpan(double span);
// The next coarser round step (1 -> 2 -> 2.5 -> 5 -> 10, times the power of ten).
double NextRoundStep(double step);
// The decimals that write every multiple of a round step exactly (0.25: 2, 0.5: 1, 50: 0).
int StepDecimals(double step);

// A label of an axis: where it stands and its text.
struct TAxisLabel
{
    double value = 0;
    std::string text;
};
// The labels of an axis that shows lo to hi: the multiples of a round step inside the range,
// written with the decimals the step needs. The step is `increment` when that is a round step
// giving two labels or more, else the one for the span; while there are more labels than
// `maxLabels` (the room the axis has) the step grows to the next round one, but never so far
// that fewer than two labels are left. Empty only for a range that is not finite.
std::vector<TAxisLabel> AxisLabels(double lo, double hi, double increment, int maxLabels,
                                   const TNumberFormat& format = {});

// The most depth labels a graph gets between its end labels.
inline constexpr std::size_t kMaxDepthTicks = 40;
// Depth labels of a pile of the given length: 5, 10, ... while below length - 2; on piles
// longer than 40 steps of 5 the step grows (10, 25, 50, 100, ...) so there are at most
// kMaxDepthTicks.
std::vector<double> DepthTicks(double length);
// The readout text of a point of a graph with the units of the unit system
// ("  Moment: 12.3456 k-ft    Distance: 7.50 ft").
std::string ReadoutText(TGraphKind kind, double y, double x, bool si, const TNumberFormat& format);

} // namespace tw::form
