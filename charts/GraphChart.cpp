#include "charts/GraphChart.h"

#include <QCategoryAxis>
#include <QChart>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLineSeries>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <limits>

#include "drawing/Canvas.h"

namespace tw::charts {

namespace {

// The range an axis shows: from its minimum (or the points' smallest value) to the points'
// largest value, widened when the two are equal.
std::pair<double, double> Range(const form::TGraphPlot& g, bool depth,
                                std::optional<double> minimum)
{
    double lo = std::numeric_limits<double>::infinity();
    double hi = -lo;
    for (const form::TGraphSeries& s : g.series) {
        if (!s.active)
            continue;
        for (const form::TGraphPoint& p : s.points) {
            const double v = depth ? p.x : p.y;
            if (!std::isfinite(v))
                continue;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    }
    if (!std::isfinite(lo))
        lo = hi = 0;
    if (minimum)
        lo = *minimum;
    if (hi <= lo)
        hi = lo + (lo == 0 ? 1 : std::abs(lo) * 0.1);
    return {lo, hi};
}

// The labels of an axis: the round steps of the form's axis scale, as many as fit beside each
// other along the axis's length.
std::vector<form::TAxisLabel> FittingLabels(double lo, double hi, double increment, double length,
                                            double spacing, const QFontMetrics& metrics)
{
    // Measured on the finest scale first, then thinned to what has room.
    const std::vector<form::TAxisLabel> all = form::AxisLabels(lo, hi, increment, 1000);
    int widest = 0;
    for (const form::TAxisLabel& label : all)
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(label.text)));
    const double each = std::max(1.0, spacing > 0 ? spacing : widest + metrics.height());
    const int room = 1 + static_cast<int>(std::clamp(length / each, 0.0, 1000.0));
    return form::AxisLabels(lo, hi, increment, room);
}

void SetLabels(QCategoryAxis* axis, double lo, double hi, double increment, double length,
               const QFontMetrics& metrics)
{
    axis->setRange(lo, hi);
    axis->setStartValue(lo);
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    for (const form::TAxisLabel& label : FittingLabels(lo, hi, increment, length, 0, metrics))
        // (Just inside the range: a label exactly at its end may be left out.)
        axis->append(QString::fromStdString(label.text),
                     std::clamp(label.value, lo + (hi - lo) * 1e-6, hi - (hi - lo) * 1e-6));
}

void DrawMark(QPainter& painter, form::TPointMark mark, QPointF at, double size, QColor colour,
              QColor fill)
{
    painter.save();
    painter.setPen(QPen(colour, 1));
    painter.setBrush(colour);
    switch (mark) {
    case form::TPointMark::Diamond: {
        const QPointF d[] = {at + QPointF(0, -size), at + QPointF(size, 0), at + QPointF(0, size),
                             at + QPointF(-size, 0)};
        painter.drawPolygon(d, 4);
        break;
    }
    case form::TPointMark::Triangle: {
        const QPointF t[] = {at + QPointF(0, -size), at + QPointF(size, size),
                             at + QPointF(-size, size)};
        painter.drawPolygon(t, 3);
        break;
    }
    case form::TPointMark::Cross:
        painter.setPen(QPen(fill, 2));
        painter.drawLine(at + QPointF(-size / 2, -size / 2), at + QPointF(size / 2, size / 2));
        painter.drawLine(at + QPointF(-size / 2, size / 2), at + QPointF(size / 2, -size / 2));
        break;
    default:
        break;
    }
    painter.restore();
}

// The named active series, which the legend lists when there are two or more.
std::vector<std::size_t> LegendSeries(const form::TGraphPlot& g)
{
    std::vector<std::size_t> named;
    for (std::size_t i = 0; i < g.series.size(); ++i)
        if (g.series[i].active && !g.series[i].name.empty())
            named.push_back(i);
    if (named.size() < 2)
        named.clear();
    return named;
}

} // namespace

TGraphPicture RenderGraph(const form::TGraphPlot& g, QSize size, const TChartStyle& style)
{
    TGraphPicture picture;
    if (size.width() <= 0 || size.height() <= 0)
        return picture;
    // The chart is laid out on its side: depth across, as wide as the picture is high.
    const int w = size.height();
    const int h = size.width();
    const double k = style.scale;

    QFont labelsFont(QStringLiteral("Liberation Sans"));
    labelsFont.setPixelSize(static_cast<int>(std::lround(11 * k)));
    QFont titleFont = labelsFont;
    titleFont.setBold(true);
    const QFontMetrics metrics(labelsFont);
    const QFontMetrics titleMetrics(titleFont);
    const int fh = metrics.height();
    const std::vector<std::size_t> legend = LegendSeries(g);

    QChart chart;
    chart.legend()->hide();
    chart.setBackgroundRoundness(0);
    chart.setBackgroundBrush(style.background);
    chart.setBackgroundPen(Qt::NoPen);
    chart.setDropShadowEnabled(false);
    // Room, on the turned picture, for the depth title on the left (the chart's top), and for
    // the value title and the extreme-value mark above the value labels (the chart's right).
    const int margin = static_cast<int>(std::lround(4 * k));
    const int depthLabelRoom = metrics.horizontalAdvance(QStringLiteral("00.00")) + 8 * k;
    // Below the plot (the chart's left), two lines for the legend or the note.
    const bool legendRoom = style.legendRoom || !legend.empty() || !g.note.empty();
    const int legendHeight = legendRoom ? 2 * fh + 2 * margin : 0;
    chart.setMargins(QMargins(margin + legendHeight,
                              titleMetrics.height() + depthLabelRoom + 2 * margin,
                              titleMetrics.height() + 2 * fh + 3 * margin, margin));

    auto* depth = new QCategoryAxis;
    auto* value = new QCategoryAxis;
    for (QCategoryAxis* axis : {depth, value}) {
        axis->setLabelsFont(labelsFont);
        // Turned with the picture, the labels read across.
        axis->setLabelsAngle(90);
        axis->setGridLineColor(QColor(220, 220, 220));
        axis->setLinePen(QPen(Qt::black, k));
        // The labels are chosen to fit (FittingLabels): shown whole, never cut to "0.00...".
        axis->setTruncateLabels(false);
    }
    depth->setReverse(g.depthInverted);
    value->setReverse(g.valueInverted);
    // The depth labels are drawn onto the turned picture (below), so that the pile's top and
    // tip are labelled whatever room the chart would give them.
    depth->setLabelsVisible(false);
    const auto [dLo, dHi] = Range(g, true, g.depthMinimum);
    const auto [vLo, vHi] = Range(g, false, g.valueMinimum);
    // The depth axis is labelled at its ends (the depth ticks add the inner labels); the
    // plotted lengths are about the picture's height and width less the titles and labels.
    depth->setRange(dLo, dHi);
    SetLabels(value, vLo, vHi, g.valueIncrement, 0.75 * h, metrics);
    chart.addAxis(depth, Qt::AlignTop);
    chart.addAxis(value, Qt::AlignRight);

    std::vector<QLineSeries*> lines(g.series.size(), nullptr);
    for (std::size_t i = 0; i < g.series.size(); ++i) {
        const form::TGraphSeries& s = g.series[i];
        auto* line = new QLineSeries;
        for (const form::TGraphPoint& p : s.points)
            line->append(p.x, p.y);
        QPen pen(drawing::ToQColor(s.colour), s.lineWidth * k);
        if (!s.active || s.lineWidth <= 0)
            pen = QPen(Qt::NoPen);
        line->setPen(pen);
        chart.addSeries(line);
        line->attachAxis(depth);
        line->attachAxis(value);
        lines[i] = line;
    }

    QGraphicsScene scene;
    scene.addItem(&chart);
    chart.setGeometry(0, 0, w, h);
    scene.setSceneRect(0, 0, w, h);
    chart.layout()->activate();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    // Laid out once, the plot area tells how much room the labels really have: the labels
    // are chosen again for it.
    for (int pass = 0; pass < 2; ++pass) {
        // A value label is centred on its tick: the margin past the axis's far end (the
        // picture's right side) holds half the widest label, so that the last one is not cut.
        int endRoom = margin;
        for (const QString& label : value->categoriesLabels())
            endRoom = std::max(endRoom, metrics.horizontalAdvance(label) / 2 + margin);
        if (endRoom != chart.margins().bottom()) {
            QMargins margins = chart.margins();
            margins.setBottom(endRoom);
            chart.setMargins(margins);
            chart.layout()->invalidate();
            chart.layout()->activate();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        }
        const QRectF area = chart.plotArea();
        for (const QString& label : value->categoriesLabels())
            value->remove(label);
        SetLabels(value, vLo, vHi, g.valueIncrement, area.height(), metrics);
        chart.layout()->invalidate();
        chart.layout()->activate();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }

    QImage laid(w, h, QImage::Format_RGB32);
    laid.fill(style.background);
    {
        QPainter painter(&laid);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        scene.render(&painter, QRectF(0, 0, w, h), QRectF(0, 0, w, h));
        for (std::size_t i = 0; i < g.series.size(); ++i) {
            const form::TGraphSeries& s = g.series[i];
            if (!s.active || s.mark == form::TPointMark::None)
                continue;
            for (const form::TGraphPoint& p : s.points)
                DrawMark(painter, s.mark, chart.mapToPosition(QPointF(p.x, p.y), lines[i]),
                         s.markSize * k, drawing::ToQColor(s.colour),
                         drawing::ToQColor(s.markFill));
        }
    }

    // A quarter turn counterclockwise: depth down the left side, values across the top. A
    // chart position (x, y) lies at (y, height - x) on the picture.
    picture.image = laid.transformed(QTransform().rotate(-90));
    const int H = size.height();
    auto turned = [&](QPointF at) { return QPointF(at.y(), H - at.x()); };
    auto place = [&](double x, double y, std::size_t series) {
        return turned(chart.mapToPosition(QPointF(x, y), lines[series]));
    };
    const QRectF plot = chart.plotArea();
    const double plotLeft = plot.top();      // the depth axis
    const double plotTop = H - plot.right(); // the value axis
    {
        QPainter painter(&picture.image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(labelsFont);

        // The depth labels: the pile's top and tip and every 5 units between (the axial loads
        // of the interaction diagram at their increments), each with a tick out from the axis.
        std::vector<std::pair<double, QString>> labels;
        if (g.kind == form::TGraphKind::Interaction) {
            // Stacked down the side: each label one and a half lines apart at least.
            for (const form::TAxisLabel& label :
                 FittingLabels(dLo, dHi, 0, plot.width(), 1.5 * fh, metrics))
                labels.emplace_back(label.value, QString::fromStdString(label.text));
        } else {
            labels.emplace_back(dLo, QString::number(dLo, 'g', 4));
            for (const double q : g.depthTicks)
                labels.emplace_back(q, QString::number(q, 'g', 12));
            labels.emplace_back(dHi, QString::number(dHi, 'g', 4));
        }
        const double tick = 5 * k;
        painter.setPen(QPen(Qt::black, k));
        for (const auto& [at, text] : labels) {
            const double y = place(at, vLo, 2).y();
            painter.drawLine(QPointF(plotLeft - 1, y), QPointF(plotLeft - tick, y));
            // Centred on its tick, kept inside the picture.
            const double top = std::clamp(y - metrics.height() / 2.0, 0.0,
                                          picture.image.height() - metrics.height() - 1.0);
            painter.drawText(QRectF(0, top, plotLeft - tick - 2 * k, metrics.height()),
                             Qt::AlignRight | Qt::AlignVCenter, text);
        }

        // The extreme value: a line from the value axis out past its labels, and the value at
        // its end.
        if ((g.markLargest || g.markSmallest) && std::isfinite(g.markValue)) {
            const double x = place(dLo, g.markValue, 2).x();
            const double end = plotTop - fh - 1.3 * fh;
            painter.setPen(QPen(Qt::red, k));
            painter.drawLine(QPointF(x, plotTop), QPointF(x, end));
            const QString text = QString::fromStdString(g.markText);
            const double width = metrics.horizontalAdvance(text);
            // Beside the line's end, on the side with room.
            const double tx =
                x + 3 * k + width <= picture.image.width() ? x + 3 * k : x - 3 * k - width;
            painter.drawText(QPointF(tx, end + metrics.ascent()), text);
        }

        // The legend, one curve a line (a piece of it and its name) from the depth axis across,
        // or the note.
        const double legendTop = picture.image.height() - margin - 2.0 * fh;
        const double legendWidth = picture.image.width() - plotLeft - margin;
        if (!legend.empty()) {
            const double sample = 16 * k;
            double y = legendTop;
            for (const std::size_t i : legend) {
                const form::TGraphSeries& s = g.series[i];
                const QColor colour = drawing::ToQColor(s.colour);
                const QPointF mid(plotLeft + sample / 2, y + fh / 2.0);
                painter.setPen(QPen(colour, std::max(1, s.lineWidth) * k));
                painter.drawLine(QPointF(plotLeft, mid.y()), QPointF(plotLeft + sample, mid.y()));
                DrawMark(painter, s.mark, mid, s.markSize * k, colour,
                         drawing::ToQColor(s.markFill));
                painter.setPen(Qt::black);
                painter.drawText(QRectF(plotLeft + sample + 4 * k, y, legendWidth - sample, fh),
                                 Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(s.name));
                y += fh;
            }
        } else if (!g.note.empty()) {
            // From the picture's left edge: the widest room there is below the plot.
            painter.setPen(QColor(64, 64, 64));
            painter.drawText(
                QRectF(margin, legendTop, picture.image.width() - 2 * margin, 2.0 * fh),
                Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, QString::fromStdString(g.note));
        }

        // The titles: the value's across the top, the depth's up the left side.
        painter.setPen(Qt::black);
        painter.setFont(titleFont);
        const QString valueTitle = QString::fromStdString(g.valueTitle);
        painter.drawText(QRectF(0, margin, picture.image.width(), titleMetrics.height()),
                         Qt::AlignHCenter | Qt::AlignTop, valueTitle);
        painter.save();
        painter.translate(margin, picture.image.height() / 2.0);
        painter.rotate(-90);
        painter.drawText(
            QRectF(-picture.image.height() / 2.0, 0, picture.image.height(), titleMetrics.height()),
            Qt::AlignHCenter | Qt::AlignTop, QString::fromStdString(g.depthTitle));
        painter.restore();
    }

    for (const int index : g.readoutSeries) {
        const std::size_t i = static_cast<std::size_t>(index);
        for (const form::TGraphPoint& p : g.series[i].points) {
            const QPointF at = place(p.x, p.y, i);
            picture.points.push_back({static_cast<int>(std::lround(at.x())),
                                      static_cast<int>(std::lround(at.y())), p.x, p.y, index});
        }
    }
    scene.removeItem(&chart);
    return picture;
}

QImage GraphPrintPicture(const form::TGraphPlot& graph, int detail)
{
    detail = std::clamp(detail, 1, 4);
    const TChartStyle print{Qt::white, 2.0 * detail};
    return RenderGraph(graph, QSize(600 * detail, 900 * detail), print).image;
}

std::vector<QImage> GraphPrintPictures(const TTWData& project, const TNumberFormat& format,
                                       int detail, bool soilSprings)
{
    std::vector<QImage> pictures;
    for (const form::TGraphPlot& graph :
         form::BuildGraphs(project, form::TGraphKind::All, format, soilSprings))
        pictures.push_back(GraphPrintPicture(graph, detail));
    return pictures;
}

const TPlottedPoint* PointNear(const std::vector<TPlottedPoint>& points, QPoint position,
                               int tolerance)
{
    for (const TPlottedPoint& p : points)
        if (std::abs(position.x() - p.x) <= tolerance && std::abs(position.y() - p.y) <= tolerance)
            return &p;
    return nullptr;
}

} // namespace tw::charts
