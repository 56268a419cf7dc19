// TVectorSink: what receives a drawing as vectors beside its raster, in the raster's pixel
// coordinates: lines, shapes with their fill, arcs, texts and the areas a flood fill filled.
// TPainterSink plays them on a QPainter (an SVG or PDF page); the DXF sink (Dxf.h) keeps them
// for a file at true scale.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPoint>
#include <QRectF>

#include <cstdint>
#include <span>
#include <string_view>

namespace tw::drawing {

// A colour as $00BBGGRR: blue in the high byte, red in the low byte.
using TColor = uint32_t;
inline constexpr TColor clNone = 0x1FFFFFFF; // no fill

enum class TBrushStyle
{
    Solid,
    Clear,
    FDiagonal, // forward diagonal hatching, "\"
    BDiagonal, // backward diagonal hatching, "/"
};

// What a part of a drawing shows; a DXF file puts each on a layer of its own.
enum class TLayer : uint8_t
{
    Structure,
    Soil,
    Loads,
    Dimensions,
    Text,
};

// A pen: its colour, its width in raster pixels (at least 1) and whether its ends are flat.
struct TStroke
{
    TColor colour = 0;
    int width = 1;
    bool flat = false;
    // How far the outline was drawn outside the shape's true edge so that the stroke lies
    // outside it (a circle round a hole): a true-scale file draws the edge itself.
    int outside = 0;
};

// A fill: the brush's colour and style, and the colour behind a hatched brush's lines
// (clNone: transparent).
struct TFill
{
    TColor colour = 0;
    TBrushStyle style = TBrushStyle::Solid;
    TColor background = clNone;
};

class TVectorSink
{
public:
    virtual ~TVectorSink() = default;
    // The white page of the given size the drawing starts on.
    virtual void Start(QSize size) = 0;
    virtual void SetLayer(TLayer layer) = 0;
    virtual void Line(QPoint from, QPoint to, const TStroke& pen) = 0;
    virtual void Polyline(std::span<const QPoint> points, const TStroke& pen) = 0;
    // A closed shape filled (a Clear brush: not) and outlined when `outline` is given.
    virtual void Shape(const QPainterPath& shape, const TFill& fill, const TStroke* outline) = 0;
    // The ellipse in the box, filled and outlined as a shape.
    virtual void Ellipse(const QRectF& box, const TFill& fill, const TStroke* outline) = 0;
    // Part of the ellipse in the box, counterclockwise from startDegrees over spanDegrees.
    virtual void Arc(const QRectF& box, double startDegrees, double spanDegrees,
                     const TStroke& pen) = 0;
    // A text with its top-left corner at (x, y) in the font; turned, its bottom-left corner
    // as seen on the raster is at (x, y) and it reads upward. An opaque text has its box filled
    // in `background` first.
    virtual void Text(int x, int y, std::string_view utf8, const QFont& font, bool rotated,
                      TColor colour, TColor background) = 0;
    // The area a flood fill filled, as its outline.
    virtual void FilledArea(const QPainterPath& area, TColor colour) = 0;
    // A note only a true-scale file carries (the scale of an enlarged detail), at the text's
    // top-left corner.
    virtual void Note(int, int, std::string_view, const QFont&) {}
};

// The sink on a QPainter, one raster pixel one unit of the painter.
class TPainterSink final : public TVectorSink
{
public:
    explicit TPainterSink(QPainter& painter);
    void Start(QSize size) override;
    void SetLayer(TLayer) override {}
    void Line(QPoint from, QPoint to, const TStroke& pen) override;
    void Polyline(std::span<const QPoint> points, const TStroke& pen) override;
    void Shape(const QPainterPath& shape, const TFill& fill, const TStroke* outline) override;
    void Ellipse(const QRectF& box, const TFill& fill, const TStroke* outline) override;
    void Arc(const QRectF& box, double startDegrees, double spanDegrees,
             const TStroke& pen) override;
    void Text(int x, int y, std::string_view utf8, const QFont& font, bool rotated, TColor colour,
              TColor background) override;
    void FilledArea(const QPainterPath& area, TColor colour) override;

private:
    QPen Pen(const TStroke& stroke) const;

    QPainter& p_;
};

} // namespace tw::drawing
