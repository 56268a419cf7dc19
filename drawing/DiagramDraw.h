// TDiagramDraw: the renderer of the three scaled drawings of a project (the cross section
// with its loads, the plan view with the pile detail, the guardrail detail) on a raster of any
// size, with the sizes and primitives the drawings share. A renderer lives for one drawing:
// made, sized, drawn once, read out.
//
// The drawings read the project and, for the cross section's column of soil parameters, the
// main window's form (captions, box texts and unit labels as the input column shows them).
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/Canvas.h"
#include "engine/TWClasses.h"
#include "form/MainForm.h"

namespace tw::drawing {

enum class TDiagramKind : uint8_t
{
    dkCrossSection = 0,
    dkPlanView = 1,
    dkGuardrail = 2,
};

// Draws one drawing into the target image, at the target's size, reusing its memory, and cuts
// the image to the width the drawing used: a drawing whose guard fails (nothing to draw) leaves
// a null image. Returns whether something was drawn.
bool DrawDiagramOnImage(QImage& target, const form::TMainForm& form, TDiagramKind kind);
// The drawing at the given size (a null image when there is nothing to draw).
QImage RenderDiagram(const form::TMainForm& form, TDiagramKind kind, QSize size);

// The vector files a drawing is written as.
enum class TVectorFormat : uint8_t
{
    Svg,
    Pdf,
    Dxf,
};
// The drawing at the given size (in raster pixels, one SVG unit or PDF point each) as an SVG
// document or a one-page PDF, drawn by the same code as the raster and of vectors only: no
// bitmap of the drawing. As DXF, at true scale (one unit a foot or a metre) on named layers,
// drawn on a raster of the given size (DxfRasterSize: the larger, the less rounding to
// pixels). Empty when there is nothing to draw.
QByteArray RenderDiagramVector(const form::TMainForm& form, TDiagramKind kind, QSize size,
                               TVectorFormat format);
// The raster a DXF file is drawn on: 4000 x 3000 pixels.
QSize DxfRasterSize();
// The smallest raster a drawing is made on; a smaller one stays blank and gives no picture.
QSize MinimumDrawingSize(TDiagramKind kind);

// Alignment of TextBox.
inline constexpr int kAlignLeft = 0;
inline constexpr int kAlignRight = 1;
inline constexpr int kAlignCenter = 2;

class TDiagramDraw
{
public:
    explicit TDiagramDraw(const form::TMainForm& form);
    ~TDiagramDraw();

    // Draws the kind into a raster of the given size; the picture is Bitmap() cut to
    // UsedWidth() (0 when the drawing's guard failed). A raster handed in is drawn on in
    // place when it has the size and format (no new memory), else replaced.
    void Draw(TDiagramKind kind, int width, int height, QImage raster = {});
    // The sink that receives the drawing as vectors as well (nullptr: none); set before Draw.
    void SetVectorSink(TVectorSink* sink) { sink_ = sink; }
    const QImage& Bitmap() const { return bitmap_; }
    // The finished picture: the raster itself, cut to UsedWidth (null when nothing was drawn).
    QImage TakePicture();
    // The raster as drawn, uncut, for drawing on again (null while a drawing holds it).
    QImage TakeRaster()
    {
        canvas_.reset();
        return std::move(bitmap_);
    }
    int UsedWidth() const { return usedWidth_; }
    double Scale() const { return scale_; }
    // Pixels per ft | m of the drawing at its true scale: Scale(), except on the plan view,
    // whose detail is enlarged: there the strip of piles below it.
    double TrueScale() const { return trueScale_ > 0 ? trueScale_ : scale_; }
    // The texts of the last drawing as written on the raster, in order.
    const std::vector<TPlacedText>& Texts() const { return texts_; }

    void DrawCrossSection();
    void DrawPlanView();
    void DrawGuardrail();

    // A white raster of the given size with its sizes captured, for drawing primitives on
    // their own (the drawings above start the same way); FinishRaster ends the drawing.
    void StartRaster(TDiagramKind kind, int width, int height);
    void FinishRaster() { canvas_.reset(); }

    // --- Sizes, from the raster size ---
    int StrokeUnit() const;
    int DoubleStroke() const { return 2 * StrokeUnit(); }
    int ArrowSize() const { return 10 * StrokeUnit(); }
    // Character height of the drawing font (the plan view's is half as large again, and on a
    // raster taller than wide follows its width).
    int FontPixels() const;
    // 1.5 times the height of "X" in the current font.
    int LineSpacing() const;
    int GridX(double x) const;
    int GridY(double y) const;

    // --- Primitives ---
    // One line of text in a box: the font height follows the box; the text colour contrasts
    // with the colour under the text. Align: kAlignLeft, kAlignRight, kAlignCenter.
    void TextBox(int left, int top, int right, int bottom, std::string_view text, int align,
                 bool framed, TColor fill);
    // The number with at most 8 significant digits and `digits` decimals, trailing zeros of
    // the decimals dropped, then the unit (a foot or inch mark directly, others after a blank).
    // FormatLength with the form's decimal separator.
    std::string FormatLength(long double value, int digits, std::string_view unit) const;
    // An open arrowhead at (x, y) pointing along `angle` (radians from the downward vertical
    // toward +x).
    void ArrowHead(int x, int y, double angle, int size);
    void ArrowLine(int x1, int y1, int x2, int y2, int size, bool atStart, bool atEnd);
    // A vertical (x1 = x2, y1 above y2) or horizontal (y1 = y2, x1 left of x2) dimension.
    // labelPos: 0 on the line, 1 beyond the first end, 2 beyond the second, 3 left or above,
    // 4 right or below.
    void DimensionLine(int x1, int y1, int x2, int y2, std::string text, int labelPos,
                       bool arrowsOutside, bool transparentLabel);
    // The rectangle DimensionLine's text would take on the raster.
    QRect DimensionLabelRect(int x1, int y1, int x2, int y2, std::string text, int labelPos,
                             bool arrowsOutside);
    // The label position that keeps the dimension's text inside the raster: the one asked for
    // when its text lies inside, else the first of 1, 2, 4, 3 that does (else the one asked).
    int LabelPosInside(int x1, int y1, int x2, int y2, const std::string& text, int labelPos,
                       bool arrowsOutside);
    void Circle(int x, int y, int r);
    // From the pen position to (x, y) in `count` dashes and gaps (0: 8), with a dot in each
    // gap when withDots.
    void DashedLineTo(int x, int y, bool withDots, int count);
    // Text in which "^" raises the character after it.
    void SuperscriptTextOut(int x, std::string_view text, int y);

    TCanvas& Canvas() { return *canvas_; }

private:
    // Where a dimension's label goes, measured with the current font: its size, the point it
    // is written at (top left, or bottom left for turned text) and whether the line is drawn
    // between the ends (else two leaders outside them).
    struct TDimensionLayout
    {
        bool vertical = false;
        bool lineInside = true;
        int w = 0, h = 0, mx = 0, my = 0;
    };
    TDimensionLayout LayOutDimension(int x1, int y1, int x2, int y2, const std::string& label,
                                     int labelPos, bool arrowsOutside);
    // The raster to draw on (the one handed in when it fits) and its canvas.
    void OpenRaster(TDiagramKind kind, int width, int height, QImage raster);
    void Begin(int width, int height);
    // The texts of the parameter column and the load labels.
    std::string Row(form::Box box, bool withUnit = true) const;
    const std::string& UnitOf(form::Box box) const;

    const form::TMainForm& form_;
    const TTWData& data_;
    int width_ = 600;
    int height_ = 600;
    QImage bitmap_;
    std::unique_ptr<TCanvas> canvas_;
    TVectorSink* sink_ = nullptr;
    double scale_ = 0;
    double trueScale_ = 0;
    int usedWidth_ = 0;
    std::vector<TPlacedText> texts_;
    TDiagramKind kind_ = TDiagramKind::dkCrossSection;
};

// The text of FormatLength with a given decimal separator.
std::string FormatLengthText(long double value, int digits, std::string_view unit,
                             std::string_view decimalSeparator = ".");

// Rounds to the nearest integer, halves to the even neighbour.
int RoundEven(double value);

} // namespace tw::drawing
