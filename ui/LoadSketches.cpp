#include "ui/LoadSketches.h"

#include "ui/Canvas.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include <QDialog>
#include <QDialogButtonBox>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <QWidget>

namespace tw::ui {

namespace {

// The sketches are laid out on a canvas of this size and scaled uniformly into the target.
constexpr qreal kCanvasWidth = 640;
constexpr qreal kCanvasHeight = 480;
constexpr qreal kFontSize = 15;
// Below this many device pixels a label cannot be read and is left out.
constexpr qreal kMinReadableFont = 6;

// The wall and the two ground lines, shared by both sketches.
constexpr qreal kWallLeft = 236;
constexpr qreal kWallRight = 248;
constexpr qreal kWallTop = 96;
constexpr qreal kWallTip = 450;
constexpr qreal kGround = 110;     // retained ground surface
constexpr qreal kExcavation = 330; // base of the excavation
constexpr qreal kSoilBottom = 470;
constexpr qreal kSoilLeft = 20;
constexpr qreal kSoilRight = 620;

const QColor kSoilColour(238, 226, 200);
const QColor kSoilLineColour(120, 96, 60);
const QColor kWallColour(150, 150, 156);
const QColor kStripColour(44, 129, 220);
const QColor kSeismicColour(0, 0, 255);
const QColor kDimensionColour(0, 0, 0);

// Painter set-up of one sketch: maps the canvas into the rectangle and restores the painter.
class TSketchPainter
{
public:
    TSketchPainter(QPainter& painter, const QRectF& rect)
        : p_(painter), canvas_(painter, rect, {kCanvasWidth, kCanvasHeight}, true),
          scale_(canvas_.scale())
    {
        if (!canvas_.valid())
            return;
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(static_cast<int>(kFontSize));
        p_.setFont(font);
        labels_ = kFontSize * scale_ >= kMinReadableFont;
    }
    TSketchPainter(const TSketchPainter&) = delete;
    TSketchPainter& operator=(const TSketchPainter&) = delete;

    bool valid() const { return canvas_.valid(); }
    QPainter& painter() { return p_; }

    // A pen of the given canvas width, kept at least about one device pixel wide so that
    // a thumbnail's lines stay visible.
    QPen pen(const QColor& colour, qreal width, Qt::PenStyle style = Qt::SolidLine) const
    {
        const qreal minimum = std::min(0.8 / scale_, 3 * width);
        QPen result(colour, std::max(width, minimum), style, Qt::FlatCap, Qt::MiterJoin);
        return result;
    }

    // A filled arrowhead with its tip at `tip`, pointing along `direction` (degrees, 0 = right,
    // 90 = down).
    void arrowHead(QPointF tip, qreal direction, qreal size, const QColor& colour)
    {
        const qreal a = qDegreesToRadians(direction);
        const QPointF back(std::cos(a), std::sin(a));
        const QPointF side(-back.y(), back.x());
        QPainterPath head;
        head.moveTo(tip);
        head.lineTo(tip - back * size + side * size * 0.35);
        head.lineTo(tip - back * size - side * size * 0.35);
        head.closeSubpath();
        p_.fillPath(head, colour);
    }

    // A dimension line with arrowheads at both ends.
    void dimension(QPointF from, QPointF to)
    {
        p_.setPen(pen(kDimensionColour, 1));
        p_.drawLine(from, to);
        const QPointF d = to - from;
        const qreal angle = qRadiansToDegrees(std::atan2(d.y(), d.x()));
        arrowHead(to, angle, 9, kDimensionColour);
        arrowHead(from, angle + 180, 9, kDimensionColour);
    }

    void extension(QPointF from, QPointF to)
    {
        p_.setPen(pen(kDimensionColour, 0.8));
        p_.drawLine(from, to);
    }

    // A label in the box, aligned in it and wrapped when it does not fit on one line; over
    // soil a light backing keeps it readable.
    void label(const QRectF& box, const QString& text, Qt::Alignment align, bool backing = false)
    {
        if (!labels_)
            return;
        const int flags = static_cast<int>(align) | Qt::TextWordWrap;
        if (backing) {
            const QRectF used = p_.boundingRect(box, flags, text).adjusted(-3, -1, 3, 1);
            p_.fillRect(used, QColor(255, 255, 255, 220));
        }
        p_.setPen(QPen(Qt::black));
        p_.drawText(box, flags, text);
    }

private:
    QPainter& p_;
    TCanvasMapping canvas_;
    qreal scale_ = 0;
    bool labels_ = false;
};

// Soil on both sides of the wall, the ground lines with their hatch ticks and the wall itself.
void DrawWallAndSoil(TSketchPainter& s)
{
    QPainter& p = s.painter();
    QPolygonF soil;
    soil << QPointF(kWallRight, kGround) << QPointF(kSoilRight, kGround)
         << QPointF(kSoilRight, kSoilBottom) << QPointF(kSoilLeft, kSoilBottom)
         << QPointF(kSoilLeft, kExcavation) << QPointF(kWallLeft, kExcavation);
    p.setPen(Qt::NoPen);
    p.setBrush(kSoilColour);
    p.drawPolygon(soil);

    // Ground lines, each with short ticks into the soil.
    p.setPen(s.pen(kSoilLineColour, 2));
    p.drawLine(QPointF(kWallRight, kGround), QPointF(kSoilRight, kGround));
    p.drawLine(QPointF(kSoilLeft, kExcavation), QPointF(kWallLeft, kExcavation));
    p.setPen(s.pen(kSoilLineColour, 1));
    for (qreal x = kWallRight + 14; x + 10 <= kSoilRight; x += 16)
        p.drawLine(QPointF(x, kGround), QPointF(x - 9, kGround + 9));
    for (qreal x = kSoilLeft + 14; x <= kWallLeft; x += 16)
        p.drawLine(QPointF(x, kExcavation), QPointF(x - 9, kExcavation + 9));

    // The pile, drawn over the soil down to its tip.
    p.setPen(s.pen(QColor(60, 60, 64), 1.2));
    p.setBrush(kWallColour);
    p.drawRect(QRectF(QPointF(kWallLeft, kWallTop), QPointF(kWallRight, kWallTip)));
    p.setBrush(Qt::NoBrush);
}

void DrawStrip(TSketchPainter& s)
{
    QPainter& p = s.painter();
    // The footing: near edge at setback a from the wall face, width b, base at depth d.
    constexpr qreal near = kWallRight + 112;
    constexpr qreal far = near + 132;
    constexpr qreal base = kGround + 52;
    constexpr qreal footingTop = base - 20;
    constexpr qreal loadTop = 66;
    // Where the 45 degree line from the footing's near edge meets the wall: a + d below ground.
    constexpr qreal pressureTop = base + (near - kWallRight);

    p.setPen(s.pen(kStripColour, 2));
    p.setBrush(QBrush(kStripColour, Qt::BDiagPattern));
    p.drawRect(QRectF(QPointF(near, footingTop), QPointF(far, base)));
    p.setBrush(Qt::NoBrush);

    // The strip pressure q on the footing.
    p.setPen(s.pen(kStripColour, 1.6));
    p.drawLine(QPointF(near, loadTop), QPointF(far, loadTop));
    constexpr int arrows = 7;
    for (int i = 0; i < arrows; ++i) {
        const qreal x = near + (far - near) * i / (arrows - 1);
        p.setPen(s.pen(kStripColour, 1.6));
        p.drawLine(QPointF(x, loadTop), QPointF(x, footingTop - 8));
        s.arrowHead(QPointF(x, footingTop - 1), 90, 10, kStripColour);
    }

    // The 45 degree spread from the footing to the wall, and the uniform lateral pressure it
    // puts on the wall from there down to the excavation base.
    p.setPen(s.pen(kStripColour, 1.2, Qt::DashLine));
    p.drawLine(QPointF(near, base), QPointF(kWallRight, pressureTop));
    constexpr qreal blockWidth = 34;
    QColor fill = kStripColour;
    fill.setAlpha(60);
    p.setPen(s.pen(kStripColour, 1.2));
    p.setBrush(fill);
    p.drawRect(
        QRectF(QPointF(kWallRight, pressureTop), QPointF(kWallRight + blockWidth, kExcavation)));
    p.setBrush(Qt::NoBrush);
    for (qreal y = pressureTop + 12; y < kExcavation - 4; y += 16) {
        p.setPen(s.pen(kStripColour, 1.2));
        p.drawLine(QPointF(kWallRight + blockWidth - 4, y), QPointF(kWallRight + 8, y));
        s.arrowHead(QPointF(kWallRight + 1, y), 180, 8, kStripColour);
    }

    // Setback a and width b, chained above the load.
    constexpr qreal dimY = 40;
    s.extension(QPointF(kWallRight, kWallTop - 4), QPointF(kWallRight, dimY - 6));
    s.extension(QPointF(near, loadTop - 4), QPointF(near, dimY - 6));
    s.extension(QPointF(far, loadTop - 4), QPointF(far, dimY - 6));
    s.dimension(QPointF(kWallRight, dimY), QPointF(near, dimY));
    s.dimension(QPointF(near, dimY), QPointF(far, dimY));
    s.label(QRectF(kWallRight - 20, 8, near - kWallRight + 40, dimY - 12),
            QStringLiteral("Strip Setback, a"), Qt::AlignHCenter | Qt::AlignBottom);
    s.label(QRectF(near, 8, far - near, dimY - 12), QStringLiteral("Strip Width, b"),
            Qt::AlignHCenter | Qt::AlignBottom);
    s.label(QRectF(far + 12, loadTop - 10, kCanvasWidth - far - 16, 40),
            QStringLiteral("Strip Pressure, q"), Qt::AlignLeft | Qt::AlignTop);

    // Depth d of the footing base below the ground surface.
    constexpr qreal dimX = far + 22;
    s.extension(QPointF(far + 4, base), QPointF(dimX + 6, base));
    s.dimension(QPointF(dimX, kGround), QPointF(dimX, base));
    s.label(QRectF(dimX + 8, kGround + 2, kCanvasWidth - dimX - 12, base - kGround),
            QStringLiteral("Strip Depth, d"), Qt::AlignLeft | Qt::AlignVCenter, true);

    // On the excavation side: the shored height H and the depth a + d where the strip's
    // pressure on the wall starts.
    constexpr qreal hX = 110;
    constexpr qreal adX = 200;
    s.extension(QPointF(kWallLeft - 4, kGround), QPointF(hX - 6, kGround));
    s.extension(QPointF(kWallLeft - 4, pressureTop), QPointF(adX - 6, pressureTop));
    s.dimension(QPointF(hX, kGround), QPointF(hX, kExcavation));
    s.dimension(QPointF(adX, kGround), QPointF(adX, pressureTop));
    s.label(QRectF(kSoilLeft, kGround, hX - kSoilLeft - 8, kExcavation - kGround),
            QStringLiteral("H"), Qt::AlignRight | Qt::AlignVCenter);
    s.label(QRectF(hX + 6, kGround, adX - hX - 12, pressureTop - kGround), QStringLiteral("a + d"),
            Qt::AlignRight | Qt::AlignVCenter);
}

void DrawSeismic(TSketchPainter& s)
{
    QPainter& p = s.painter();
    constexpr qreal arm = 124; // height d of the thrust above the excavation base
    constexpr qreal y = kExcavation - arm;
    constexpr qreal tail = kWallRight + 210;

    p.setPen(s.pen(kSeismicColour, 4));
    p.drawLine(QPointF(tail, y), QPointF(kWallRight + 16, y));
    s.arrowHead(QPointF(kWallRight + 1, y), 180, 20, kSeismicColour);
    s.label(QRectF(kWallRight + 12, y - 50, kCanvasWidth - kWallRight - 20, 40),
            QStringLiteral("Seismic Thrust, Pseis"), Qt::AlignLeft | Qt::AlignBottom, true);

    // Its height d above the base of the excavation, on the excavation side.
    constexpr qreal dimX = 196;
    s.extension(QPointF(kWallLeft - 4, y), QPointF(dimX - 8, y));
    s.extension(QPointF(kWallLeft - 4, kExcavation), QPointF(dimX - 8, kExcavation));
    s.dimension(QPointF(dimX, y), QPointF(dimX, kExcavation));
    // Two lines: the caption is wider than the space left of the wall.
    s.label(QRectF(kSoilLeft, y, dimX - kSoilLeft - 10, arm),
            QStringLiteral("Loc. from Base\nof Excav, d"), Qt::AlignRight | Qt::AlignVCenter);
}

QPixmap Thumbnail(int width, int height, void (*draw)(QPainter&, const QRectF&))
{
    if (width <= 0 || height <= 0)
        return {};
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    draw(painter, QRectF(0, 0, width, height));
    return pixmap;
}

// The enlarged sketch, filling the widget.
class TSketchView : public QWidget
{
public:
    TSketchView(bool seismic, QWidget* parent) : QWidget(parent), seismic_(seismic)
    {
        setMinimumSize(160, 120);
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, Qt::white);
        setPalette(pal);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QRectF area = QRectF(rect()).adjusted(4, 4, -4, -4);
        if (seismic_)
            DrawSeismicSketch(painter, area);
        else
            DrawStripLoadSketch(painter, area);
    }

private:
    bool seismic_;
};

} // namespace

void DrawStripLoadSketch(QPainter& painter, const QRectF& rect)
{
    TSketchPainter sketch(painter, rect);
    if (!sketch.valid())
        return;
    DrawWallAndSoil(sketch);
    DrawStrip(sketch);
}

void DrawSeismicSketch(QPainter& painter, const QRectF& rect)
{
    TSketchPainter sketch(painter, rect);
    if (!sketch.valid())
        return;
    DrawWallAndSoil(sketch);
    DrawSeismic(sketch);
}

QPixmap StripLoadThumbnail(int width, int height)
{
    return Thumbnail(width, height, &DrawStripLoadSketch);
}

QPixmap SeismicThumbnail(int width, int height)
{
    return Thumbnail(width, height, &DrawSeismicSketch);
}

QDialog* CreateLoadSketchDialog(bool seismic, QWidget* parent)
{
    auto* dialog = new QDialog(parent);
    dialog->setWindowTitle(seismic ? QStringLiteral("Seismic Load") : QStringLiteral("Strip Load"));
    dialog->setSizeGripEnabled(true);
    auto* view = new TSketchView(seismic, dialog);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(view, 1);
    layout->addWidget(buttons);
    dialog->resize(600, 450);
    return dialog;
}

void ShowLoadSketch(bool seismic, QWidget* parent)
{
    const std::unique_ptr<QDialog> dialog(CreateLoadSketchDialog(seismic, parent));
    dialog->exec();
}

} // namespace tw::ui
