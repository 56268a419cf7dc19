#include "drawing/Canvas.h"

#include <QFontMetrics>
#include <QPen>
#include <QPolygon>
#include <QRegion>

#include <QString>
#include <algorithm>
#include <cmath>

#include <vector>

namespace tw::drawing {

namespace {

// The structure colours: grey, black, silver, the hatching of the retained soil and the
// hatching of the passive and lower retained soil.
constexpr TColor kStructureColors[] = {clGray, clBlack, clSilver, 0x02CBE8, 0x5EA3FF};

QString Text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace

QColor ToQColor(TColor c)
{
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

TColor FromQRgb(QRgb rgb)
{
    return static_cast<TColor>(qRed(rgb)) | static_cast<TColor>(qGreen(rgb)) << 8 |
           static_cast<TColor>(qBlue(rgb)) << 16;
}

TColor ContrastColor(TColor c)
{
    const unsigned sum = (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF);
    return sum <= 384 ? clWhite : clBlack;
}

bool IsStructureColor(TColor c)
{
    for (const TColor s : kStructureColors)
        if (c == s)
            return true;
    return false;
}

TCanvas::TCanvas(QImage& image) : image_(image)
{
    painter_.begin(&image_);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
    // The drawing font: Liberation Sans (metrically Arial), installed with the program's
    // dependencies, so that a drawing is the same picture on every machine.
    font_.setFamily(QStringLiteral("Liberation Sans"));
    font_.setStyleHint(QFont::SansSerif);
    font_.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferMatch));
    ApplyPen();
    ApplyBrush();
    ApplyFont();
    SetTransparent(false);
}

TCanvas::~TCanvas()
{
    painter_.end();
}

void TCanvas::SetVectorSink(TVectorSink* sink)
{
    sink_ = sink;
    if (sink_)
        sink_->SetLayer(layer_);
}

void TCanvas::SetLayer(TLayer layer)
{
    layer_ = layer;
    if (sink_)
        sink_->SetLayer(layer);
}

TStroke TCanvas::Stroke() const
{
    return {penColor_, std::max(1, penWidth_), penFlat_, strokeOutside_};
}

TFill TCanvas::Fill() const
{
    return {brushColor_, brushStyle_, transparent_ ? clNone : backgroundColor_};
}

void TCanvas::ApplyPen()
{
    if (!penVisible_) {
        painter_.setPen(Qt::NoPen);
        return;
    }
    QPen pen(ToQColor(penColor_));
    pen.setWidth(penWidth_ <= 1 ? 0 : penWidth_);
    pen.setCapStyle(penFlat_ ? Qt::FlatCap : Qt::RoundCap);
    pen.setJoinStyle(penFlat_ ? Qt::MiterJoin : Qt::RoundJoin);
    painter_.setPen(pen);
}

void TCanvas::ApplyBrush()
{
    Qt::BrushStyle style = Qt::SolidPattern;
    switch (brushStyle_) {
    case TBrushStyle::Solid:
        style = Qt::SolidPattern;
        break;
    case TBrushStyle::Clear:
        style = Qt::NoBrush;
        break;
    case TBrushStyle::FDiagonal:
        style = Qt::FDiagPattern;
        break;
    case TBrushStyle::BDiagonal:
        style = Qt::BDiagPattern;
        break;
    }
    painter_.setBrush(QBrush(ToQColor(brushColor_), style));
}

void TCanvas::ApplyFont()
{
    font_.setPixelSize(std::max(1, fontHeight_));
    font_.setBold(bold_);
    painter_.setFont(font_);
}

void TCanvas::SetPenColor(TColor color)
{
    penColor_ = color;
    ApplyPen();
}

void TCanvas::SetPenWidth(int width)
{
    penWidth_ = width;
    ApplyPen();
}

void TCanvas::SetPenVisible(bool visible)
{
    penVisible_ = visible;
    ApplyPen();
}

void TCanvas::SetPenFlat(bool flat)
{
    penFlat_ = flat;
    ApplyPen();
}

void TCanvas::SetBrush(TColor color, TBrushStyle style)
{
    brushColor_ = color;
    brushStyle_ = style;
    ApplyBrush();
}

void TCanvas::SetBrushStyle(TBrushStyle style)
{
    brushStyle_ = style;
    ApplyBrush();
}

void TCanvas::SetFontHeight(int pixels)
{
    fontHeight_ = pixels;
    ApplyFont();
}

void TCanvas::SetBold(bool bold)
{
    bold_ = bold;
    ApplyFont();
}

void TCanvas::SetTransparent(bool transparent)
{
    transparent_ = transparent;
    painter_.setBackgroundMode(transparent ? Qt::TransparentMode : Qt::OpaqueMode);
}

void TCanvas::SetBackgroundColor(TColor color)
{
    backgroundColor_ = color;
    painter_.setBackground(ToQColor(color));
}

int TCanvas::TextWidth(std::string_view utf8) const
{
    return QFontMetrics(font_).horizontalAdvance(Text(utf8));
}

int TCanvas::TextHeight(std::string_view) const
{
    return QFontMetrics(font_).height();
}

void TCanvas::TextOut(int x, int y, std::string_view utf8)
{
    const QString text = Text(utf8);
    const QFontMetrics metrics(font_);
    const QPen pen = painter_.pen();
    painter_.setPen(ToQColor(fontColor_));
    const int w = metrics.horizontalAdvance(text);
    const int h = metrics.height();
    texts_.push_back(
        {std::string(utf8), rotated_ ? QRect(x, y - w, h, w) : QRect(x, y, w, h), fontColor_});
    painter_.save();
    painter_.translate(x, y);
    if (rotated_)
        painter_.rotate(-90);
    if (!transparent_)
        painter_.fillRect(QRect(0, 0, w, h), ToQColor(backgroundColor_));
    painter_.setBackgroundMode(Qt::TransparentMode);
    painter_.drawText(QPoint(0, metrics.ascent()), text);
    painter_.restore();
    painter_.setPen(pen);
    if (sink_)
        sink_->Text(x, y, utf8, font_, rotated_, fontColor_,
                    transparent_ ? clNone : backgroundColor_);
}

void TCanvas::VectorNote(int x, int y, std::string_view utf8)
{
    if (sink_)
        sink_->Note(x, y, utf8, font_);
}

void TCanvas::FillRect(const QRect& rect)
{
    if (brushStyle_ == TBrushStyle::Clear)
        return;
    painter_.fillRect(rect, painter_.brush());
    if (sink_) {
        QPainterPath shape;
        shape.addRect(rect);
        sink_->Shape(shape, Fill(), nullptr);
    }
}

void TCanvas::Rectangle(int left, int top, int right, int bottom)
{
    const QRect rect(left, top, right - left - 1, bottom - top - 1);
    painter_.drawRect(rect);
    if (sink_) {
        QPainterPath shape;
        shape.addRect(rect);
        const TStroke pen = Stroke();
        sink_->Shape(shape, Fill(), penVisible_ ? &pen : nullptr);
    }
}

void TCanvas::Ellipse(int left, int top, int right, int bottom)
{
    const QRect rect(left, top, right - left - 1, bottom - top - 1);
    painter_.drawEllipse(rect);
    if (sink_) {
        const TStroke pen = Stroke();
        sink_->Ellipse(QRectF(rect), Fill(), penVisible_ ? &pen : nullptr);
    }
}

void TCanvas::Arc(int left, int top, int right, int bottom, double startDegrees, double spanDegrees)
{
    const QRect rect(left, top, right - left - 1, bottom - top - 1);
    painter_.drawArc(rect, static_cast<int>(startDegrees * 16), static_cast<int>(spanDegrees * 16));
    if (sink_ && penVisible_)
        sink_->Arc(QRectF(rect), startDegrees, spanDegrees, Stroke());
}

void TCanvas::Polygon(std::span<const QPoint> points)
{
    painter_.drawPolygon(points.data(), static_cast<int>(points.size()));
    if (sink_) {
        QPainterPath shape;
        shape.addPolygon(QPolygonF(QPolygon(QList<QPoint>(points.begin(), points.end()))));
        shape.closeSubpath();
        const TStroke pen = Stroke();
        sink_->Shape(shape, Fill(), penVisible_ ? &pen : nullptr);
    }
}

void TCanvas::Polyline(std::span<const QPoint> points)
{
    painter_.drawPolyline(points.data(), static_cast<int>(points.size()));
    if (sink_ && penVisible_)
        sink_->Polyline(points, Stroke());
    if (!points.empty())
        penPos_ = points.back();
}

void TCanvas::LineTo(int x, int y)
{
    if (penVisible_) {
        painter_.drawLine(penPos_, QPoint(x, y));
        if (sink_)
            sink_->Line(penPos_, QPoint(x, y), Stroke());
    }
    penPos_ = {x, y};
}

TColor TCanvas::Pixel(int x, int y) const
{
    if (!image_.rect().contains(x, y))
        return clWhite;
    return FromQRgb(image_.pixel(x, y));
}

void TCanvas::FloodFill(int x, int y)
{
    if (!image_.rect().contains(x, y))
        return;
    const QRgb target = image_.pixel(x, y) | 0xFF000000u;
    const QRgb fill = ToQColor(brushColor_).rgb();
    if (target == fill)
        return;
    // Scanline fill of the 4-connected area of the target colour.
    const int width = image_.width();
    const int height = image_.height();
    auto at = [&](int px, int py) -> QRgb& {
        return reinterpret_cast<QRgb*>(image_.scanLine(py))[px];
    };
    std::vector<QPoint> stack{{x, y}};
    std::vector<QRect> spans; // for the sink: the runs filled, one pixel high
    while (!stack.empty()) {
        const QPoint p = stack.back();
        stack.pop_back();
        int lx = p.x();
        if ((at(lx, p.y()) | 0xFF000000u) != target)
            continue;
        while (lx > 0 && (at(lx - 1, p.y()) | 0xFF000000u) == target)
            --lx;
        int rx = p.x();
        while (rx + 1 < width && (at(rx + 1, p.y()) | 0xFF000000u) == target)
            ++rx;
        for (int px = lx; px <= rx; ++px)
            at(px, p.y()) = fill;
        if (sink_)
            spans.emplace_back(lx, p.y(), rx - lx + 1, 1);
        for (const int ny : {p.y() - 1, p.y() + 1}) {
            if (ny < 0 || ny >= height)
                continue;
            bool run = false;
            for (int px = lx; px <= rx; ++px) {
                const bool same = (at(px, ny) | 0xFF000000u) == target;
                if (same && !run)
                    stack.emplace_back(px, ny);
                run = same;
            }
        }
    }
    if (sink_ && !spans.empty()) {
        // The filled area as one outline: the runs sorted into rows for the region, which
        // joins them, then merged into the polygons of its boundary.
        std::sort(spans.begin(), spans.end(), [](const QRect& a, const QRect& b) {
            return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
        });
        QRegion region;
        region.setRects(spans.data(), static_cast<int>(spans.size()));
        QPainterPath shape;
        shape.addRegion(region);
        sink_->FilledArea(shape.simplified(), brushColor_);
    }
}

} // namespace tw::drawing
