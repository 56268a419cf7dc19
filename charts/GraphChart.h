// One result graph as a picture: the chart laid out with depth across and the value down,
// rendered, marked (extreme value, depth labels, point marks) and turned a quarter turn
// counterclockwise, so that depth runs down the left side and the values across the top. The
// positions of the plotted points on the picture come with it, for the readout.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QSize>

#include <vector>

#include "form/GraphData.h"

namespace tw::charts {

// A plotted point: where it lies on the picture, and its values.
struct TPlottedPoint
{
    int x = 0;
    int y = 0;
    double valueX = 0; // depth (axial load for the interaction diagram)
    double valueY = 0;
    int series = 0; // the index of its series in the graph
};

struct TChartStyle
{
    QColor background = QColor(240, 240, 240);
    // For printing: fonts and lines twice as large.
    double scale = 1;
    // The room of the legend (or of the note) below the plot, also on a graph without one,
    // so that pictures side by side keep their depths level.
    bool legendRoom = false;
};

struct TGraphPicture
{
    QImage image;
    // The points of the readout series, in the order the readout searches them.
    std::vector<TPlottedPoint> points;
};

// Renders the graph into a picture of the given size (needs a QApplication).
TGraphPicture RenderGraph(const form::TGraphPlot& graph, QSize size, const TChartStyle& style = {});

// How many times the printed report multiplies the pixels of its 600 x 900 graph pictures.
inline constexpr int kReportDetail = 2;

// One graph as the report prints it: white, fonts and lines twice as large, 600 x 900 pixels.
// `detail` multiplies the pixels (and the fonts and lines with them) for sharper print: the
// same picture at a higher resolution.
QImage GraphPrintPicture(const form::TGraphPlot& graph, int detail = kReportDetail);

// The pictures of the graphs as the report prints them (GraphPrintPicture), in the order
// loading to interaction (no interaction diagram without a rebar cage); with `soilSprings`
// the moment and deflection graphs with the soil-spring curve and the legend.
std::vector<QImage> GraphPrintPictures(const TTWData& project, const TNumberFormat& format = {},
                                       int detail = 1, bool soilSprings = false);

// The first point within `tolerance` pixels of the position in both directions, or none.
const TPlottedPoint* PointNear(const std::vector<TPlottedPoint>& points, QPoint position,
                               int tolerance = 5);

} // namespace tw::charts
