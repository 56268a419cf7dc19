// TCanvas: the raster surface the drawings draw on, with the drawing state of a classic
// canvas (pen, brush, font, pen position, text background) over a QPainter on a QImage.
// Nothing is anti-aliased, so that colours read back from the raster are the colours drawn:
// the drawings sample the raster to choose text colours and flood-fill areas by colour.
// A vector sink (an SVG or PDF page, a DXF file) can be given: it receives every primitive as
// vectors, while the raster stays what the drawings read back from.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPoint>
#include <QRect>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/VectorSink.h"

namespace tw::drawing {

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clMaroon = 0x000080;

QColor ToQColor(TColor c);
TColor FromQRgb(QRgb rgb);

// White for a dark colour (r + g + b at most 384), black for a light one.
TColor ContrastColor(TColor c);
// Colours of the drawn structure (the pier, the soils' hatching) rather than the background.
bool IsStructureColor(TColor c);

// A text as written on the raster: its characters, the rectangle they take (for turned text,
// the turned rectangle as seen on the raster) and their colour.
struct TPlacedText
{
    std::string text;
    QRect rect;
    TColor colour = clBlack;
};

class TCanvas
{
public:
    // Draws on the image, which must stay alive and unresized while the canvas lives.
    explicit TCanvas(QImage& image);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    QImage& Image() { return image_; }

    // From now on every primitive also goes to this sink, in the raster's coordinates, as
    // vectors: lines, shapes and texts as they are, a flood fill as the outline of the area it
    // filled on the raster. nullptr: the raster alone.
    void SetVectorSink(TVectorSink* sink);
    // What the following primitives show (the sink's layer; the raster has none).
    void SetLayer(TLayer layer);
    TLayer Layer() const { return layer_; }
    // A text only the sink receives (a note of a true-scale file), in the current font.
    void VectorNote(int x, int y, std::string_view utf8);
    QRect ClipRect() const { return image_.rect(); }

    // Pen: colour, width (0 draws one pixel wide), visible or clear, flat or round line ends.
    void SetPenColor(TColor color);
    void SetPenWidth(int width);
    void SetPenVisible(bool visible);
    void SetPenFlat(bool flat);
    // The next outlines are drawn this many pixels outside the shapes' true edges (for the
    // vector sink; the raster is drawn as given).
    void SetStrokeOutside(int pixels) { strokeOutside_ = pixels; }
    TColor PenColor() const { return penColor_; }
    int PenWidth() const { return penWidth_; }

    void SetBrush(TColor color, TBrushStyle style = TBrushStyle::Solid);
    void SetBrushStyle(TBrushStyle style);
    TColor BrushColor() const { return brushColor_; }

    // Font: character height in pixels (without internal leading), bold, colour, and whether
    // text runs upward (turned by 90 degrees).
    void SetFontHeight(int pixels);
    int FontHeight() const { return fontHeight_; }
    void SetBold(bool bold);
    bool Bold() const { return bold_; }
    void SetFontColor(TColor color) { fontColor_ = color; }
    void SetFontRotated(bool rotated) { rotated_ = rotated; }
    bool FontRotated() const { return rotated_; }

    // Text background: transparent, or opaque in the background colour (which also fills the
    // gaps of hatched brushes).
    void SetTransparent(bool transparent);
    void SetBackgroundColor(TColor color);

    int TextWidth(std::string_view utf8) const;
    int TextHeight(std::string_view utf8) const;
    // Text with its top-left corner at (x, y); turned, its bottom-left corner as seen on the
    // raster is at (x, y) and it reads upward.
    void TextOut(int x, int y, std::string_view utf8);
    // Every text written so far, in order.
    const std::vector<TPlacedText>& Texts() const { return texts_; }

    void FillRect(const QRect& rect);
    // Outlined with the pen and filled with the brush; right and bottom are outside.
    void Rectangle(int left, int top, int right, int bottom);
    void Ellipse(int left, int top, int right, int bottom);
    // Part of the ellipse in the box, from startDegrees counterclockwise over spanDegrees
    // (0 degrees at 3 o'clock).
    void Arc(int left, int top, int right, int bottom, double startDegrees, double spanDegrees);
    void Polygon(std::span<const QPoint> points);
    void Polyline(std::span<const QPoint> points);
    void MoveTo(int x, int y) { penPos_ = {x, y}; }
    void LineTo(int x, int y);
    QPoint PenPos() const { return penPos_; }

    // The colour of one pixel; outside the raster, white.
    TColor Pixel(int x, int y) const;
    // Fills the connected area of the colour found at (x, y) with the brush colour.
    void FloodFill(int x, int y);

private:
    // The sink's pen and fill: the canvas's.
    TStroke Stroke() const;
    int strokeOutside_ = 0;
    TFill Fill() const;
    void ApplyPen();
    void ApplyBrush();
    void ApplyFont();

    QImage& image_;
    QPainter painter_;
    TVectorSink* sink_ = nullptr;
    TLayer layer_ = TLayer::Structure;
    QFont font_;
    TColor penColor_ = clBlack;
    int penWidth_ = 1;
    bool penVisible_ = true;
    bool penFlat_ = false;
    TColor brushColor_ = clWhite;
    TBrushStyle brushStyle_ = TBrushStyle::Solid;
    int fontHeight_ = 12;
    bool bold_ = false;
    bool rotated_ = false;
    TColor fontColor_ = clBlack;
    bool transparent_ = false;
    TColor backgroundColor_ = clWhite;
    QPoint penPos_;
    std::vector<TPlacedText> texts_;
};

} // namespace tw::drawing
