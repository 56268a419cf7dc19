#include "ui/Graphs.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QVBoxLayout>

#include "ui/DiagramView.h"
#include "ui/Settings.h"

namespace tw::ui {

namespace {

QString GraphFileName(form::TGraphKind kind)
{
    switch (kind) {
    case form::TGraphKind::Loading:
        return QStringLiteral("Loading.png");
    case form::TGraphKind::Shear:
        return QStringLiteral("Shear.png");
    case form::TGraphKind::Moment:
        return QStringLiteral("Moment.png");
    case form::TGraphKind::Slope:
        return QStringLiteral("Slope.png");
    case form::TGraphKind::Deflection:
        return QStringLiteral("Deflection.png");
    default:
        return QStringLiteral("Interaction Diagram.png");
    }
}

} // namespace

TfrmGraphs::TfrmGraphs(const form::TMainForm& form, form::TGraphKind which, QWidget* parent)
    : QDialog(parent), form_(form), which_(which)
{
    setWindowTitle(QStringLiteral("Graphs"));
    setModal(true);
    const bool one = which != form::TGraphKind::All;
    const QSize cell =
        one ? QSize(2 * kCellWidth, 2 * kCellHeight) : QSize(kCellWidth, kCellHeight);

    auto* grid = new QGridLayout;
    grid->setSpacing(1);
    grid->setContentsMargins(1, 1, 1, 1);
    bool springGraph = false;
    for (const form::TGraphPlot& plot :
         form::BuildGraphs(form.Project(), which, form.NumberFormat())) {
        TGraph graph;
        graph.kind = plot.kind;
        springGraph = springGraph || plot.kind == form::TGraphKind::Moment ||
                      plot.kind == form::TGraphKind::Deflection;
        graph.label = new QLabel(this);
        graph.label->setFixedSize(cell);
        graph.label->setMouseTracking(true);
        graph.label->installEventFilter(this);
        graph.label->setToolTip(QStringLiteral("Right-click to copy or save the graph"));
        // Loading, shear and moment on top, slope, deflection and interaction below; a sixth
        // cell without a rebar cage stays empty.
        const int index = static_cast<int>(plot.kind) - 1;
        grid->addWidget(graph.label, one ? 0 : index / 3, one ? 0 : index % 3);
        graphs_.push_back(std::move(graph));
    }
    if (!one) {
        // Keep the grid's six places even when the sixth is empty.
        for (int c = 0; c < 3; ++c)
            grid->setColumnMinimumWidth(c, kCellWidth);
        for (int r = 0; r < 2; ++r)
            grid->setRowMinimumHeight(r, kCellHeight);
    }

    springs_ = new QCheckBox(QStringLiteral("Show soil-spring curve"), this);
    springs_->setChecked(ReadGraphsSoilSprings(*OpenSettings()));
    springs_->setVisible(springGraph);
    auto* springRow = new QHBoxLayout;
    springRow->setContentsMargins(6, 4, 6, 4);
    springRow->addWidget(springs_);

    status_ = new QStatusBar(this);
    status_->setSizeGripEnabled(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(grid);
    layout->addLayout(springRow);
    layout->addWidget(status_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Render();
    connect(springs_, &QCheckBox::toggled, this, [this](bool on) {
        WriteGraphsSoilSprings(*OpenSettings(), on);
        Render();
    });

    choosePictureFile = PictureFileDialog(this);
    showError = ErrorBox(this);
    adjustSize();
    CentreOnParent(this);
}

void TfrmGraphs::Render()
{
    const bool one = which_ != form::TGraphKind::All;
    const QSize cell =
        one ? QSize(2 * kCellWidth, 2 * kCellHeight) : QSize(kCellWidth, kCellHeight);
    const qreal ratio =
        parentWidget() != nullptr ? parentWidget()->devicePixelRatioF() : qApp->devicePixelRatio();
    const bool springs = !springs_->isHidden() && springs_->isChecked();
    const std::vector<form::TGraphPlot> plots =
        form::BuildGraphs(form_.Project(), which_, form_.NumberFormat(), springs);
    // Side by side, every picture keeps the room of the legend when one has it, so that the
    // depths stay level across the grid.
    bool legendRoom = false;
    for (const form::TGraphPlot& plot : plots)
        legendRoom = legendRoom || !plot.note.empty() ||
                     !plot.series[form::kSoilSpringSeries].points.empty();
    for (const form::TGraphPlot& plot : plots) {
        TGraph* graph = nullptr;
        for (TGraph& g : graphs_)
            if (g.kind == plot.kind)
                graph = &g;
        if (graph == nullptr)
            continue;
        graph->plot = plot;
        graph->printPicture = QImage();
        graph->points.clear();
        // Drawn in the screen's pixels for a sharp picture; the readout works in the label's.
        const QSize pixels(qRound(cell.width() * ratio), qRound(cell.height() * ratio));
        charts::TGraphPicture picture = charts::RenderGraph(
            plot, pixels, {palette().window().color(), ratio, legendRoom && !one});
        graph->picture = picture.image;
        graph->picture.setDevicePixelRatio(ratio);
        for (charts::TPlottedPoint point : picture.points) {
            point.x = qRound(point.x / ratio);
            point.y = qRound(point.y / ratio);
            graph->points.push_back(point);
        }
        graph->label->setPixmap(QPixmap::fromImage(graph->picture));
    }
    status_->clearMessage();
}

QLabel* TfrmGraphs::image(form::TGraphKind kind) const
{
    const TGraph* graph = GraphOf(kind);
    return graph != nullptr ? graph->label : nullptr;
}

const QImage& TfrmGraphs::picture(form::TGraphKind kind) const
{
    static const QImage none;
    const TGraph* graph = GraphOf(kind);
    return graph != nullptr ? graph->picture : none;
}

QImage TfrmGraphs::PrintPicture(form::TGraphKind kind) const
{
    const TGraph* graph = GraphOf(kind);
    if (graph == nullptr)
        return {};
    if (graph->printPicture.isNull())
        graph->printPicture = charts::GraphPrintPicture(graph->plot);
    return graph->printPicture;
}

TfrmGraphs::TGraph* TfrmGraphs::GraphOf(QObject* label)
{
    for (TGraph& graph : graphs_)
        if (graph.label == label)
            return &graph;
    return nullptr;
}

const TfrmGraphs::TGraph* TfrmGraphs::GraphOf(form::TGraphKind kind) const
{
    for (const TGraph& graph : graphs_)
        if (graph.kind == kind)
            return &graph;
    return nullptr;
}

const form::TGraphPlot* TfrmGraphs::plot(form::TGraphKind kind) const
{
    const TGraph* graph = GraphOf(kind);
    return graph != nullptr ? &graph->plot : nullptr;
}

QString TfrmGraphs::ReadoutAt(form::TGraphKind kind, QPoint position) const
{
    const TGraph* graph = GraphOf(kind);
    if (graph == nullptr)
        return {};
    const charts::TPlottedPoint* point = charts::PointNear(graph->points, position);
    if (point == nullptr)
        return {};
    QString text = QString::fromStdString(
        form::ReadoutText(kind, point->valueY, point->valueX,
                          form_.Project().Units == TUnitSystem::usSI, form_.NumberFormat()));
    if (point->series == static_cast<int>(form::kSoilSpringSeries))
        text += QStringLiteral("    (") + QString::fromLatin1(form::kSoilSpringCurveName) +
                QStringLiteral(")");
    return text;
}

bool TfrmGraphs::eventFilter(QObject* watched, QEvent* event)
{
    TGraph* graph = GraphOf(watched);
    if (graph == nullptr)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::MouseMove) {
        const QString text =
            ReadoutAt(graph->kind, static_cast<QMouseEvent*>(event)->position().toPoint());
        if (text.isEmpty())
            status_->clearMessage();
        else
            status_->showMessage(text);
    } else if (event->type() == QEvent::Leave) {
        status_->clearMessage();
    } else if (event->type() == QEvent::ContextMenu) {
        PictureMenu(this, static_cast<QContextMenuEvent*>(event)->globalPos(),
                    PrintPicture(graph->kind), GraphFileName(graph->kind), choosePictureFile,
                    showError);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmGraphs::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Keep the whole window on the screen: moved left or up when it runs past the right or
    // bottom edge, then never past the left or top.
    const QScreen* screen = this->screen();
    if (screen == nullptr)
        return;
    const QRect area = screen->availableGeometry();
    QRect frame = frameGeometry();
    if (frame.right() > area.right())
        frame.moveRight(area.right());
    if (frame.bottom() > area.bottom())
        frame.moveBottom(area.bottom());
    if (frame.left() < area.left())
        frame.moveLeft(area.left());
    if (frame.top() < area.top())
        frame.moveTop(area.top());
    if (frame.topLeft() != frameGeometry().topLeft())
        move(frame.topLeft());
}

void ShowGraphs(const form::TMainForm& form, form::TGraphKind which, QWidget* parent)
{
    TfrmGraphs graphs(form, which, parent);
    graphs.exec();
}

} // namespace tw::ui
