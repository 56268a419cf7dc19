#include "drawing/DiagramDraw.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QPicture>
#include <QSvgGenerator>

#include "drawing/Dxf.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/Globals.h"

namespace tw::drawing {

int RoundEven(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

bool DrawDiagramOnImage(QImage& target, const form::TMainForm& form, TDiagramKind kind)
{
    const QSize size = target.size();
    if (size.width() <= 0 || size.height() <= 0) {
        target = QImage();
        return false;
    }
    TDiagramDraw draw(form);
    draw.Draw(kind, size.width(), size.height(), std::move(target));
    target = draw.TakePicture();
    return !target.isNull();
}

QImage RenderDiagram(const form::TMainForm& form, TDiagramKind kind, QSize size)
{
    QImage picture(size.expandedTo(QSize(0, 0)), QImage::Format_RGB32);
    DrawDiagramOnImage(picture, form, kind);
    return picture;
}

QByteArray RenderDiagramVector(const form::TMainForm& form, TDiagramKind kind, QSize size,
                               TVectorFormat format)
{
    if (size.width() <= 0 || size.height() <= 0)
        return {};
    TDiagramDraw draw(form);
    if (format == TVectorFormat::Dxf) {
        // The large raster is kept for the thread's next file: making and first touching its
        // memory takes longer than drawing on it.
        static thread_local QImage raster;
        TDxfSink dxf;
        draw.SetVectorSink(&dxf);
        draw.Draw(kind, size.width(), size.height(), std::move(raster));
        raster = draw.TakeRaster();
        if (draw.UsedWidth() <= 0 || !(draw.TrueScale() > 0))
            return {};
        return dxf.Write(draw.TrueScale(), form.Project().Units == TUnitSystem::usSI);
    }
    // Recorded once beside the raster, then played onto the file's page cut to the width the
    // drawing used (known only at its end).
    QPicture recording;
    {
        QPainter mirror(&recording);
        TPainterSink sink(mirror);
        draw.SetVectorSink(&sink);
        draw.Draw(kind, size.width(), size.height());
        mirror.end();
    }
    const int width = draw.UsedWidth();
    if (width <= 0)
        return {};
    const QRect page(0, 0, width, size.height());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const auto play = [&](QPaintDevice& device) {
        QPainter painter(&device);
        painter.setClipRect(page);
        // A picture plays scaled by the ratio of the device's resolution to its own: undone,
        // so that one raster pixel is one unit of the page.
        painter.scale(static_cast<double>(recording.logicalDpiX()) / device.logicalDpiX(),
                      static_cast<double>(recording.logicalDpiY()) / device.logicalDpiY());
        painter.drawPicture(0, 0, recording);
    };
    if (format == TVectorFormat::Svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(page.size());
        svg.setViewBox(page);
        svg.setResolution(96);
        svg.setTitle(QStringLiteral("Tarnwick"));
        play(svg);
    } else {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(72);
        pdf.setPageSize(QPageSize(QSizeF(page.size()), QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setCreator(QStringLiteral("Tarnwick"));
        play(pdf);
    }
    return bytes;
}

TDiagramDraw::TDiagramDraw(const form::TMainForm& form) : form_(form), data_(form.Project()) {}

TDiagramDraw::~TDiagramDraw() = default;

QSize DxfRasterSize()
{
    return {4000, 3000};
}

QSize MinimumDrawingSize(TDiagramKind kind)
{
    // The drawing font is 0.9 / 38 of the height (half as large again on the plan view), so
    // these heights give texts of about 5 pixels, the least that can be read; narrower rasters
    // leave no room beside the cross section's column of texts.
    switch (kind) {
    case TDiagramKind::dkCrossSection:
        return {360, 200};
    case TDiagramKind::dkPlanView:
        return {200, 140};
    default:
        return {120, 200};
    }
}

void TDiagramDraw::Draw(TDiagramKind kind, int width, int height, QImage raster)
{
    OpenRaster(kind, width, height, std::move(raster));
    const QSize least = MinimumDrawingSize(kind);
    if (width < least.width() || height < least.height()) {
        // Too small to be read: blank, and no picture to show or save.
        bitmap_.fill(Qt::white);
        canvas_.reset();
        return;
    }
    switch (kind) {
    case TDiagramKind::dkCrossSection:
        DrawCrossSection();
        break;
    case TDiagramKind::dkPlanView:
        DrawPlanView();
        break;
    default:
        DrawGuardrail();
        break;
    }
    texts_ = canvas_->Texts();
    canvas_.reset();
}

void TDiagramDraw::OpenRaster(TDiagramKind kind, int width, int height, QImage raster)
{
    kind_ = kind;
    usedWidth_ = 0;
    trueScale_ = 0;
    texts_.clear();
    // Each drawing starts by painting the whole raster white, so its old content does not
    // matter.
    if (raster.size() == QSize(width, height) && raster.format() == QImage::Format_RGB32)
        bitmap_ = std::move(raster);
    else
        bitmap_ = QImage(width, height, QImage::Format_RGB32);
    canvas_ = std::make_unique<TCanvas>(bitmap_);
    if (sink_) {
        // The raster starts white (filled when the drawing starts); so does the sink.
        sink_->Start(QSize(width, height));
        canvas_->SetVectorSink(sink_);
    }
}

QImage TDiagramDraw::TakePicture()
{
    canvas_.reset();
    if (usedWidth_ <= 0)
        return {};
    if (usedWidth_ == bitmap_.width())
        return std::move(bitmap_);
    return bitmap_.copy(0, 0, usedWidth_, bitmap_.height());
}

void TDiagramDraw::StartRaster(TDiagramKind kind, int width, int height)
{
    OpenRaster(kind, width, height, {});
    bitmap_.fill(Qt::white);
    Begin(width, height);
}

void TDiagramDraw::Begin(int width, int height)
{
    width_ = width;
    height_ = height;
    usedWidth_ = width;
    canvas_->SetFontHeight(FontPixels());
}

// --- Sizes ---

int TDiagramDraw::StrokeUnit() const
{
    return std::max(1, RoundEven(std::min(width_, height_) / 600.0));
}

int TDiagramDraw::FontPixels() const
{
    if (kind_ == TDiagramKind::dkCrossSection)
        // At most a 44th of the width: the cross section's column of texts then leaves more
        // than half of a narrow raster to the wall and its dimensions.
        return RoundEven(std::min(height_ * 0.9 / 38, width_ / 44.0));
    if (kind_ != TDiagramKind::dkPlanView)
        return RoundEven(height_ * 0.9 / 38);
    // The plan view's detail spreads across the raster with its dimensions beside it: on a
    // raster taller than wide its texts follow the width, so that they fit beside the section.
    return RoundEven(RoundEven(std::min(width_, height_) * 0.9 / 38) * 1.5);
}

int TDiagramDraw::LineSpacing() const
{
    return RoundEven(1.5 * canvas_->TextHeight("X"));
}

int TDiagramDraw::GridX(double x) const
{
    return RoundEven(x / 11 * width_);
}

int TDiagramDraw::GridY(double y) const
{
    return RoundEven(y / 38 * height_);
}

// --- Texts ---

std::string FormatLengthText(long double value, int digits, std::string_view unit,
                             std::string_view decimalSeparator)
{
    std::string text = FormatFixed(value, digits, 8, std::string(decimalSeparator));
    if (!decimalSeparator.empty()) {
        while (!text.empty() && text.find(decimalSeparator) != std::string::npos &&
               (text.back() == '0' || text.ends_with(decimalSeparator)))
            text.resize(text.ends_with(decimalSeparator) ? text.size() - decimalSeparator.size()
                                                         : text.size() - 1);
    }
    if (!unit.empty()) {
        if (unit != "'" && unit != "\"")
            text += ' ';
        const auto first = unit.find_first_not_of(' ');
        const auto last = unit.find_last_not_of(' ');
        if (first != std::string_view::npos)
            text += unit.substr(first, last - first + 1);
    }
    return text;
}

std::string TDiagramDraw::FormatLength(long double value, int digits, std::string_view unit) const
{
    return FormatLengthText(value, digits, unit, form_.NumberFormat().decimalSeparator);
}

void TDiagramDraw::SuperscriptTextOut(int x, std::string_view text, int y)
{
    TCanvas& c = *canvas_;
    if (c.FontRotated()) {
        c.TextOut(x, y, text);
        return;
    }
    const int raise = RoundEven(c.TextHeight("X") / 4.0);
    while (!text.empty()) {
        const auto caret = text.find('^');
        const std::string_view plain = text.substr(0, caret);
        if (!plain.empty()) {
            c.TextOut(x, y, plain);
            x += c.TextWidth(plain);
        }
        if (caret == std::string_view::npos)
            break;
        text.remove_prefix(caret + 1);
        if (text.empty())
            break; // a "^" at the end raises nothing
        // One character (a whole UTF-8 sequence) raised.
        std::size_t length = 1;
        while (length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            ++length;
        const std::string_view raised = text.substr(0, length);
        c.TextOut(x, y - raise, raised);
        x += c.TextWidth(raised);
        text.remove_prefix(length);
    }
}

void TDiagramDraw::TextBox(int left, int top, int right, int bottom, std::string_view text,
                           int align, bool framed, TColor fill)
{
    TCanvas& c = *canvas_;
    // A text box, its ground and its frame are the drawing's texts.
    const TLayer layer = c.Layer();
    c.SetLayer(TLayer::Text);
    c.SetFontHeight(bottom - top - 2);
    if (fill != clNone) {
        c.SetBrush(fill, TBrushStyle::Solid);
        c.FillRect(QRect(left, top, right - left, bottom - top));
    }
    const int textWidth = c.TextWidth(text);
    if (framed) {
        if (textWidth + 10 > right - left)
            right = left + textWidth + 10;
        c.Rectangle(left, top, right + c.PenWidth(), bottom);
    }
    int offset = 0;
    switch (align) {
    case kAlignLeft:
        offset = 1;
        break;
    case kAlignRight:
        offset = (right - left) - textWidth - 1;
        break;
    case kAlignCenter:
        offset = ((right - left) - textWidth) / 2 + 1;
        break;
    default:
        break;
    }
    // A text wider than its box may run past the raster's edge: it is moved back inside, so
    // that nothing of it is cut off (a right-aligned label left of a narrow drawing, a long row
    // of the parameter column).
    if (left + offset + textWidth > width_)
        offset = width_ - textWidth - left;
    if (left + offset < 0)
        offset = -left;
    c.SetTransparent(true);
    const int sx = left + offset;
    const int sy = top + c.TextHeight(text) / 2;
    TColor under = c.Pixel(sx, sy);
    if (IsStructureColor(under)) {
        under = c.Pixel(sx - 1, sy - 1);
        if (IsStructureColor(under))
            under = c.Pixel(sx - 1, sy + 1);
    }
    c.SetFontColor(ContrastColor(under));
    SuperscriptTextOut(left + offset, text, top);
    c.SetLayer(layer);
}

// --- Arrows and dimensions ---

void TDiagramDraw::ArrowHead(int x, int y, double angle, int size)
{
    TCanvas& c = *canvas_;
    constexpr double pi = std::numbers::pi;
    for (const double a : {angle + pi + pi / 14, angle + pi - pi / 14}) {
        c.MoveTo(x, y);
        c.LineTo(x + RoundEven(size * std::sin(a)), y + RoundEven(size * std::cos(a)));
    }
}

void TDiagramDraw::ArrowLine(int x1, int y1, int x2, int y2, int size, bool atStart, bool atEnd)
{
    TCanvas& c = *canvas_;
    constexpr double pi = std::numbers::pi;
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
    double theta = y2 != y1 ? std::atan(static_cast<double>(x2 - x1) / (y2 - y1)) : pi / 2;
    if (theta > -pi / 2 && theta < 0)
        theta += pi;
    if (atStart)
        ArrowHead(x1, y1, theta + pi, size);
    if (atEnd)
        ArrowHead(x2, y2, theta, size);
}

TDiagramDraw::TDimensionLayout TDiagramDraw::LayOutDimension(int x1, int y1, int x2, int y2,
                                                             const std::string& label, int labelPos,
                                                             bool arrowsOutside)
{
    TCanvas& c = *canvas_;
    TDimensionLayout d;
    d.vertical = x1 == x2;
    d.mx = x1 + (x2 - x1) / 2;
    d.my = y1 + (y2 - y1) / 2;
    const bool savedRotated = c.FontRotated();
    c.SetFontRotated(d.vertical);
    d.w = c.TextWidth(label);
    d.h = c.TextHeight(label);
    c.SetFontRotated(savedRotated);
    int room = 0;
    if (d.vertical) {
        d.mx -= d.h / 2;
        d.my += d.w / 2;
        room = y2 - y1;
    } else {
        d.mx -= d.w / 2;
        d.my -= d.h / 2;
        room = x2 - x1;
    }
    if (arrowsOutside)
        room = 0;
    const int a = ArrowSize();
    d.lineInside = d.w < room - a || labelPos > 2;
    if (d.lineInside) {
        if (d.w >= room - 2 * a) {
            const int shift = labelPos == 3 ? -d.h : labelPos == 4 ? d.h : 0;
            if (d.vertical)
                d.mx += shift;
            else
                d.my += shift;
        }
    } else if (d.vertical) {
        if (labelPos == 1)
            d.my = y2 + a + d.w;
        else if (labelPos == 2)
            d.my = y1 - a;
        d.mx -= d.h;
    } else {
        if (labelPos == 1)
            d.mx = x1 - a - d.w;
        else if (labelPos == 2)
            d.mx = x2 + a;
        d.my -= d.h;
    }
    return d;
}

QRect TDiagramDraw::DimensionLabelRect(int x1, int y1, int x2, int y2, std::string text,
                                       int labelPos, bool arrowsOutside)
{
    TCanvas& c = *canvas_;
    if (!text.empty())
        text = " " + text + " ";
    const int savedHeight = c.FontHeight();
    c.SetFontHeight(FontPixels());
    const TDimensionLayout d = LayOutDimension(x1, y1, x2, y2, text, labelPos, arrowsOutside);
    c.SetFontHeight(savedHeight);
    return d.vertical ? QRect(d.mx, d.my - d.w, d.h, d.w) : QRect(d.mx, d.my, d.w, d.h);
}

int TDiagramDraw::LabelPosInside(int x1, int y1, int x2, int y2, const std::string& text,
                                 int labelPos, bool arrowsOutside)
{
    const QRect raster(0, 0, width_, height_);
    for (const int pos : {labelPos, 1, 2, 4, 3})
        if (raster.contains(DimensionLabelRect(x1, y1, x2, y2, text, pos, arrowsOutside)))
            return pos;
    return labelPos;
}

void TDiagramDraw::DimensionLine(int x1, int y1, int x2, int y2, std::string text, int labelPos,
                                 bool arrowsOutside, bool transparentLabel)
{
    TCanvas& c = *canvas_;
    if (!text.empty())
        text = " " + text + " ";
    const int savedHeight = c.FontHeight();
    const bool savedRotated = c.FontRotated();
    const TLayer savedLayer = c.Layer();
    c.SetLayer(TLayer::Dimensions);
    c.SetFontHeight(FontPixels());
    const TDimensionLayout d = LayOutDimension(x1, y1, x2, y2, text, labelPos, arrowsOutside);
    const bool vertical = d.vertical;
    const int w = d.w, h = d.h, mx = d.mx, my = d.my;
    c.SetFontRotated(vertical);
    const int a = ArrowSize();
    if (d.lineInside) {
        ArrowLine(x1, y1, x2, y2, a, true, true);
    } else if (vertical) {
        ArrowLine(x1, y1 - 2 * a, x2, y1, a, false, true);
        ArrowLine(x1, y2, x2, y2 + 2 * a, a, true, false);
    } else {
        ArrowLine(x1 - 2 * a, y1, x1, y2, a, false, true);
        ArrowLine(x2, y1, x2 + 2 * a, y2, a, true, false);
    }
    // The label's background: the colour at its centre, looked for again around it while it
    // is part of the structure.
    const int cx = vertical ? mx + h / 2 : mx + w / 2;
    const int cy = vertical ? my - w / 2 : my + h / 2;
    const int step = DoubleStroke();
    TColor back = c.Pixel(cx, cy);
    const QPoint around[] = {{0, -step}, {0, step}, {-step, 0}, {step, 0}};
    for (const QPoint& off : around) {
        if (!IsStructureColor(back))
            break;
        back = c.Pixel(cx + off.x(), cy + off.y());
    }
    if (back == clBlack)
        back = clWhite;
    c.SetTransparent(transparentLabel);
    c.SetBackgroundColor(back);
    c.SetFontColor(ContrastColor(back));
    if (!text.empty())
        SuperscriptTextOut(mx, text, my);
    c.SetFontRotated(savedRotated);
    c.SetFontHeight(savedHeight);
    c.SetLayer(savedLayer);
}

// --- Shapes ---

void TDiagramDraw::Circle(int x, int y, int r)
{
    const int p = canvas_->PenWidth() / 2;
    canvas_->SetStrokeOutside(p);
    canvas_->Ellipse(x - r - p, y - r - p, x + r + p, y + r + p);
    canvas_->SetStrokeOutside(0);
}

void TDiagramDraw::DashedLineTo(int x, int y, bool withDots, int count)
{
    TCanvas& c = *canvas_;
    if (count == 0)
        count = 8;
    const QPoint p0 = c.PenPos();
    const double dx = static_cast<double>(x - p0.x()) / (count + 1);
    const double dy = static_cast<double>(y - p0.y()) / (count + 1);
    auto at = [&](double k) {
        return QPoint(p0.x() + RoundEven(k * dx), p0.y() + RoundEven(k * dy));
    };
    for (int i = 1; i <= count; ++i) {
        if (i % 2 == 1) {
            const QPoint end = at(i);
            c.LineTo(end.x(), end.y());
        } else {
            if (withDots) {
                const QPoint a = at(i - 0.5 - 1.0 / 15);
                const QPoint b = at(i - 0.5 + 1.0 / 15);
                c.MoveTo(a.x(), a.y());
                c.LineTo(b.x(), b.y());
            }
            const QPoint end = at(i);
            c.MoveTo(end.x(), end.y());
        }
    }
    c.LineTo(x, y);
}

// --- The form's texts ---

std::string TDiagramDraw::Row(form::Box box, bool withUnit) const
{
    const form::TBoxState& state = form_.BoxState(box);
    std::string row = state.caption + ": " + state.text;
    if (withUnit)
        row += " " + state.unit;
    return row;
}

const std::string& TDiagramDraw::UnitOf(form::Box box) const
{
    return form_.BoxState(box).unit;
}

} // namespace tw::drawing
