#include "ui/Artwork.h"

#include "ui/Canvas.h"

#include <QCoreApplication>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>
#include <cmath>

namespace tw::ui {

namespace {

// The canvases the pictures are laid out on; they are scaled uniformly into the target.
constexpr qreal kIconCanvas = 256;
constexpr qreal kPictureWidth = 470;
constexpr qreal kPictureHeight = 344;

const QColor kTileTop(46, 117, 182);
const QColor kTileBottom(25, 70, 120);
const QColor kSoil(206, 168, 106);
const QColor kSoilDark(150, 112, 60);
const QColor kSteel(58, 60, 66);
const QColor kSteelLight(140, 146, 156);
const QColor kTimber(176, 122, 64);
const QColor kPressure(220, 60, 40);
const QColor kPassive(40, 110, 200);
const QColor kBand(28, 58, 98);

// A horizontal arrow from x1 to x2 (the head at x2).
void Arrow(QPainter& p, qreal x1, qreal x2, qreal y, qreal head)
{
    p.drawLine(QPointF(x1, y), QPointF(x2, y));
    const qreal dir = x2 > x1 ? -1 : 1;
    QPainterPath tip;
    tip.moveTo(x2, y);
    tip.lineTo(x2 + dir * head, y - head / 2);
    tip.lineTo(x2 + dir * head, y + head / 2);
    tip.closeSubpath();
    p.fillPath(tip, p.pen().color());
}

void DownArrow(QPainter& p, qreal x, qreal y1, qreal y2, qreal head)
{
    p.drawLine(QPointF(x, y1), QPointF(x, y2));
    QPainterPath tip;
    tip.moveTo(x, y2);
    tip.lineTo(x - head / 2, y2 - head);
    tip.lineTo(x + head / 2, y2 - head);
    tip.closeSubpath();
    p.fillPath(tip, p.pen().color());
}

QFont NameFont(qreal pixelSize, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Liberation Sans")});
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelSize))));
    font.setBold(bold);
    return font;
}

} // namespace

void DrawProgramIcon(QPainter& painter, const QRectF& rect)
{
    const TCanvasMapping canvas(painter, rect, {kIconCanvas, kIconCanvas}, false);
    if (!canvas.valid())
        return;
    QPainter& p = painter;

    // The tile.
    QLinearGradient sky(0, 0, 0, kIconCanvas);
    sky.setColorAt(0, kTileTop);
    sky.setColorAt(1, kTileBottom);
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 36, 36);

    // Clip the scene to the tile.
    QPainterPath tile;
    tile.addRoundedRect(QRectF(8, 8, 240, 240), 36, 36);
    p.setClipPath(tile);

    // The retained soil (left, high) and the soil in front of the wall (right, low).
    p.setBrush(kSoil);
    p.drawRect(QRectF(0, 104, 122, 160));
    p.drawRect(QRectF(138, 172, 130, 100));
    p.setPen(QPen(kSoilDark, 6));
    p.drawLine(QPointF(0, 104), QPointF(122, 104));
    p.drawLine(QPointF(138, 172), QPointF(256, 172));

    // The earth pressure on the wall.
    p.setPen(Qt::NoPen);
    p.setBrush(kPressure);
    QPainterPath pressure;
    pressure.moveTo(120, 104);
    pressure.lineTo(120, 172);
    pressure.lineTo(62, 172);
    pressure.closeSubpath();
    p.drawPath(pressure);

    // The wall: a soldier pile with a guardrail post above the ground.
    p.setBrush(kSteel);
    p.drawRect(QRectF(118, 52, 22, 210));
    p.setBrush(kSteelLight);
    p.drawRect(QRectF(118, 52, 6, 210));
    // The pile's cap.
    p.setBrush(kSteel);
    p.drawRect(QRectF(108, 44, 42, 12));
}

QImage ProgramIconImage(int size)
{
    if (size < 1)
        return QImage();
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    DrawProgramIcon(painter, QRectF(0, 0, size, size));
    painter.end();
    return image;
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : kIconSizes)
        icon.addPixmap(QPixmap::fromImage(ProgramIconImage(size)));
    return icon;
}

void DrawProductPicture(QPainter& painter, const QRectF& rect)
{
    const TCanvasMapping canvas(painter, rect, {kPictureWidth, kPictureHeight}, false);
    if (!canvas.valid())
        return;
    QPainter& p = painter;
    constexpr qreal kBandTop = 248;
    constexpr qreal kGround = 96;      // the retained ground surface
    constexpr qreal kExcavation = 184; // the base of the excavation
    constexpr qreal kWallLeft = 250;
    constexpr qreal kWallRight = 262;

    // Sky.
    QLinearGradient sky(0, 0, 0, kBandTop);
    sky.setColorAt(0, QColor(205, 226, 245));
    sky.setColorAt(1, QColor(250, 252, 255));
    p.fillRect(QRectF(0, 0, kPictureWidth, kBandTop), sky);

    // The soils, with a dotted texture.
    // Behind the lagging down to the excavation, then up to the pile below it.
    const QRectF retained(0, kGround, kWallLeft - 12, kBandTop - kGround);
    const QRectF below(kWallLeft - 12, kExcavation, 12, kBandTop - kExcavation);
    const QRectF front(kWallRight, kExcavation, kPictureWidth - kWallRight, kBandTop - kExcavation);
    for (const QRectF& soil : {retained, below, front}) {
        p.fillRect(soil, kSoil);
        p.fillRect(soil, QBrush(kSoilDark, Qt::Dense6Pattern));
    }
    p.setPen(QPen(kSoilDark, 3));
    p.drawLine(QPointF(0, kGround), QPointF(kWallLeft - 12, kGround));
    p.drawLine(QPointF(kWallRight, kExcavation), QPointF(kPictureWidth, kExcavation));

    // Timber lagging between the retained soil and the pile, board by board.
    p.setPen(QPen(kSoilDark.darker(130), 1));
    for (qreal y = kGround; y < kExcavation; y += 11)
        p.fillRect(QRectF(kWallLeft - 12, y, 12, 10), kTimber);

    // The earth pressure on the wall, loading side and passive side.
    QColor load = kPressure;
    load.setAlpha(70);
    QPainterPath active;
    active.moveTo(kWallLeft - 12, kGround);
    active.lineTo(kWallLeft - 12, kExcavation);
    active.lineTo(kWallLeft - 100, kExcavation);
    active.closeSubpath();
    p.fillPath(active, load);
    p.setPen(QPen(kPressure, 2));
    p.drawPath(active);
    for (qreal y = kGround + 26; y < kExcavation; y += 22) {
        const qreal reach = 88 * (y - kGround) / (kExcavation - kGround);
        Arrow(p, kWallLeft - 12 - reach, kWallLeft - 14, y, 7);
    }
    QColor resist = kPassive;
    resist.setAlpha(70);
    QPainterPath passive;
    passive.moveTo(kWallRight, kExcavation);
    passive.lineTo(kWallRight, kBandTop);
    passive.lineTo(kWallRight + 70, kBandTop);
    passive.closeSubpath();
    p.fillPath(passive, resist);
    p.setPen(QPen(kPassive, 2));
    p.drawLine(QPointF(kWallRight + 70, kBandTop), QPointF(kWallRight, kExcavation));
    for (qreal y = kExcavation + 22; y < kBandTop; y += 20) {
        const qreal reach = 70 * (y - kExcavation) / (kBandTop - kExcavation);
        Arrow(p, kWallRight + reach, kWallRight + 2, y, 7);
    }

    // A surcharge on the retained ground.
    p.setPen(QPen(QColor(90, 90, 90), 2));
    p.drawLine(QPointF(40, 62), QPointF(190, 62));
    for (qreal x = 40; x <= 190; x += 25)
        DownArrow(p, x, 62, kGround - 2, 8);

    // The soldier pile and the guardrail on top of it.
    p.setPen(Qt::NoPen);
    constexpr qreal kPileTop = 84;
    p.fillRect(QRectF(kWallLeft, kPileTop, kWallRight - kWallLeft, kBandTop - kPileTop), kSteel);
    p.fillRect(QRectF(kWallLeft, kPileTop, 3, kBandTop - kPileTop), kSteelLight);
    // The guardrail: a post on the pile with its top rail and mid rail.
    p.fillRect(QRectF(kWallLeft + 3, 40, 6, kPileTop - 40), kSteel);
    p.setPen(QPen(kSteel, 4, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(kWallLeft - 34, 42), QPointF(kWallRight + 34, 42));
    p.setPen(QPen(kSteel, 3, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(kWallLeft - 34, 62), QPointF(kWallRight + 34, 62));

    // The name band.
    QLinearGradient band(0, kBandTop, 0, kPictureHeight);
    band.setColorAt(0, kBand.lighter(125));
    band.setColorAt(1, kBand);
    p.fillRect(QRectF(0, kBandTop, kPictureWidth, kPictureHeight - kBandTop), band);
    p.setPen(QColor(190, 210, 235));
    p.setFont(NameFont(13, false));
    p.drawText(QRectF(24, kBandTop + 8, 300, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Brenmoor"));
    p.setPen(Qt::white);
    p.setFont(NameFont(44, true));
    p.drawText(QRectF(20, kBandTop + 22, 430, 50), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Tarnwick"));
    p.setPen(QColor(190, 210, 235));
    p.setFont(NameFont(12, false));
    p.drawText(QRectF(24, kBandTop + 72, 430, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Cantilevered excavation shoring walls"));

    // A thin frame, since the window has none.
    p.setPen(QPen(kBand, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, kPictureWidth - 1, kPictureHeight - 1));
}

} // namespace tw::ui
