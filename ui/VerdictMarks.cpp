#include "ui/VerdictMarks.h"

#include <QPainter>
#include <QPainterPath>

namespace tw::ui {

namespace {

QPixmap Disc(int size, const QColor& fill, bool tick)
{
    const qreal ratio = 2.0; // drawn at twice the size so it stays sharp on high-DPI screens
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
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

} // namespace tw::ui
