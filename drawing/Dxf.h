// TDxfSink: a drawing as a DXF file at true scale, written with dxflib. It keeps the
// primitives in raster pixels while the drawing is drawn (its scale is known only at the end),
// then writes them turned into feet or metres, y upward: lines, polylines, circles, arcs and
// ellipses, fills and flood-filled areas as solid hatches, the soils' hatching as ANSI31
// hatches, texts as TEXT, each on the layer of what it shows (STRUCTURE, SOIL, LOADS,
// DIMENSIONS, TEXT) in the nearest AutoCAD colour.
#pragma once

#include <QByteArray>
#include <QPointF>
#include <QRectF>
#include <QSize>

#include <string>
#include <vector>

#include "drawing/VectorSink.h"

namespace tw::drawing {

// The AutoCAD Colour Index nearest to the colour by RGB distance (1-255; black is 7, which
// CAD programs draw black on a light ground and white on a dark one).
int NearestAci(TColor colour);
// The layer's name in a DXF file.
const char* LayerName(TLayer layer);

class TDxfSink final : public TVectorSink
{
public:
    void Start(QSize size) override;
    void SetLayer(TLayer layer) override { layer_ = layer; }
    void Line(QPoint from, QPoint to, const TStroke& pen) override;
    void Polyline(std::span<const QPoint> points, const TStroke& pen) override;
    void Shape(const QPainterPath& shape, const TFill& fill, const TStroke* outline) override;
    void Ellipse(const QRectF& box, const TFill& fill, const TStroke* outline) override;
    void Arc(const QRectF& box, double startDegrees, double spanDegrees,
             const TStroke& pen) override;
    void Text(int x, int y, std::string_view utf8, const QFont& font, bool rotated, TColor colour,
              TColor background) override;
    void FilledArea(const QPainterPath& area, TColor colour) override;
    void Note(int x, int y, std::string_view utf8, const QFont& font) override;

    // The DXF file: one unit per `pixelsPerUnit` raster pixels, in metres or feet. Empty when
    // it cannot be written.
    QByteArray Write(double pixelsPerUnit, bool metres) const;

private:
    enum class TKind
    {
        Line,
        Polyline,
        Ellipse, // a circle when its axes are equal
        Arc,
        Hatch,
        Text,
    };
    // One entity, in raster pixels.
    struct TEntity
    {
        TKind kind = TKind::Line;
        TLayer layer = TLayer::Structure;
        TColor colour = 0;
        int width = 1;
        std::vector<QPointF> points; // line, polyline; text: the baseline's start
        bool closed = false;
        QRectF box; // ellipse, arc: the true edge (the raster's box, its right and bottom
                    // outside, less the stroke drawn outside it)
        double start = 0, span = 360;
        std::vector<std::vector<QPointF>> loops; // hatch
        TBrushStyle style = TBrushStyle::Solid;
        std::string text;
        double height = 0;
        bool rotated = false;
    };
    TEntity Make(TKind kind, TColor colour, int width) const;
    void Hatch(const QPainterPath& shape, TColor colour, TBrushStyle style);
    void Outline(const QPainterPath& shape, const TStroke& pen);

    QSize page_;
    TLayer layer_ = TLayer::Structure;
    std::vector<TEntity> entities_;
};

} // namespace tw::drawing
