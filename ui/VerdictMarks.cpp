#include "ui/VerdictMarks.h"

#include <QPainter>
#include <QPainterPath>

namespace tw::ui {

namespace {

// A transparent square mark, drawn at twice the size so it stays sharp on high-DPI screens.
QPixmap Blank(int size)
{
    const qreal ratio = 2.0;
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPixmap Disc(int size, const QColor& fill, bool tick)
{
    QPixmap pixmap = Blank(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    painter.setPen(QPen(fill.darker(140), s / 16.0));
    painter.setBrush(fill);
    painter.drawEllipse(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88));
    QPen mark(Qt::white, s * 0.14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(mark);
    painter.setBrush(Qt::NoBrush);
    if (tick) {
        QPainterPath path;
        path.moveTo(s * 0.28, s * 0.52);
        path.lineTo(s * 0.44, s * 0.68);
        path.lineTo(s * 0.73, s * 0.34);
        painter.drawPath(path);
    } else {
        painter.drawLine(QPointF(s * 0.33, s * 0.33), QPointF(s * 0.67, s * 0.67));
        painter.drawLine(QPointF(s * 0.67, s * 0.33), QPointF(s * 0.33, s * 0.67));
    }
    return pixmap;
}

} // namespace

QPixmap PassMark(int size)
{
    return Disc(size, QColor(0x2E, 0x9D, 0x3A), true);
}
QPixmap FailMark(int size)
{
    return Disc(size, QColor(0xD3, 0x2F, 0x2F), false);
}

QPixmap WarningMark(int size)
{
    QPixmap pixmap = Blank(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const QColor amber(0xF2, 0xA9, 0x00);
    painter.setPen(QPen(amber.darker(140), s / 16.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(amber);
    QPainterPath triangle;
    triangle.moveTo(s * 0.5, s * 0.06);
    triangle.lineTo(s * 0.95, s * 0.9);
    triangle.lineTo(s * 0.05, s * 0.9);
    triangle.closeSubpath();
    painter.drawPath(triangle);
    painter.setPen(QPen(Qt::black, s * 0.12, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(s * 0.5, s * 0.34), QPointF(s * 0.5, s * 0.6));
    painter.drawPoint(QPointF(s * 0.5, s * 0.76));
    return pixmap;
}

} // namespace tw::ui
