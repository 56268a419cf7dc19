#include "drawing/VectorSink.h"

#include <QFontMetrics>
#include <QPen>
#include <QString>

#include <algorithm>
#include <cmath>

#include "drawing/Canvas.h"

namespace tw::drawing {

TPainterSink::TPainterSink(QPainter& painter) : p_(painter)
{
    p_.setRenderHint(QPainter::Antialiasing, true);
    p_.setBrush(Qt::NoBrush);
    p_.setBackgroundMode(Qt::TransparentMode);
}

QPen TPainterSink::Pen(const TStroke& stroke) const
{
    QPen pen(ToQColor(stroke.colour));
    // A cosmetic pen of one device pixel is a hairline on paper: one raster pixel instead.
    pen.setWidthF(std::max(1, stroke.width));
    pen.setCapStyle(stroke.flat ? Qt::FlatCap : Qt::RoundCap);
    pen.setJoinStyle(stroke.flat ? Qt::MiterJoin : Qt::RoundJoin);
    return pen;
}

void TPainterSink::Start(QSize size)
{
    p_.fillRect(QRect(QPoint(0, 0), size), Qt::white);
}

void TPainterSink::Line(QPoint from, QPoint to, const TStroke& pen)
{
    p_.setPen(Pen(pen));
    p_.drawLine(from, to);
}

void TPainterSink::Polyline(std::span<const QPoint> points, const TStroke& pen)
{
    p_.setPen(Pen(pen));
    p_.drawPolyline(points.data(), static_cast<int>(points.size()));
}

void TPainterSink::Shape(const QPainterPath& shape, const TFill& fill, const TStroke* outline)
{
    if (fill.style == TBrushStyle::Solid) {
        p_.fillPath(shape, ToQColor(fill.colour));
    } else if (fill.style != TBrushStyle::Clear) {
        if (fill.background != clNone)
            p_.fillPath(shape, ToQColor(fill.background));
        // The raster's hatch patterns repeat every 8 pixels along each axis: lines clipped to
        // the shape (a pattern brush would be a bitmap).
        p_.save();
        p_.setClipPath(shape, Qt::IntersectClip);
        p_.setPen(QPen(ToQColor(fill.colour), 1));
        const QRectF box = shape.boundingRect();
        const double step = 8;
        const double from = std::floor((box.left() - box.bottom()) / step) * step;
        for (double x = from; x <= box.right() + box.height(); x += step) {
            if (fill.style == TBrushStyle::BDiagonal)
                p_.drawLine(QPointF(x, box.bottom()), QPointF(x + box.height(), box.top()));
            else
                p_.drawLine(QPointF(x, box.top()), QPointF(x + box.height(), box.bottom()));
        }
        p_.restore();
    }
    if (outline)
        p_.strokePath(shape, Pen(*outline));
}

void TPainterSink::Ellipse(const QRectF& box, const TFill& fill, const TStroke* outline)
{
    QPainterPath shape;
    shape.addEllipse(box);
    Shape(shape, fill, outline);
}

void TPainterSink::Arc(const QRectF& box, double startDegrees, double spanDegrees,
                       const TStroke& pen)
{
    p_.setPen(Pen(pen));
    p_.drawArc(box, static_cast<int>(startDegrees * 16), static_cast<int>(spanDegrees * 16));
}

void TPainterSink::Text(int x, int y, std::string_view utf8, const QFont& font, bool rotated,
                        TColor colour, TColor background)
{
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    const QFontMetrics metrics(font);
    p_.save();
    p_.setFont(font);
    p_.translate(x, y);
    if (rotated)
        p_.rotate(-90);
    if (background != clNone)
        p_.fillRect(QRect(0, 0, metrics.horizontalAdvance(text), metrics.height()),
                    ToQColor(background));
    p_.setPen(ToQColor(colour));
    p_.drawText(QPoint(0, metrics.ascent()), text);
    p_.restore();
}

void TPainterSink::FilledArea(const QPainterPath& area, TColor colour)
{
    p_.fillPath(area, ToQColor(colour));
}

} // namespace tw::drawing
