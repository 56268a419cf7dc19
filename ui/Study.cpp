#include "ui/Study.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

#include "engine/Globals.h"
#include "form/GraphData.h"
#include "form/MainForm.h"
#include "ui/Desktop.h"
#include "ui/DiagramView.h"

namespace tw::ui {

namespace {

QString Q(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// An axis from lo to hi with ticks and labels at the multiples of a round step (about `room`
// of them), written with the decimals the step needs; with `widen` the range grows to the
// steps on either side.
void ScaleAxis(QValueAxis* axis, double lo, double hi, int room, bool widen)
{
    if (!(hi > lo)) {
        const double pad = lo == 0 ? 1 : std::abs(lo) * 0.1;
        lo -= pad;
        hi += pad;
    }
    const std::vector<form::TAxisLabel> labels = form::AxisLabels(lo, hi, 0, room);
    const double step = labels.size() >= 2 ? labels[1].value - labels[0].value : hi - lo;
    if (widen) {
        lo = std::floor(lo / step + 1e-9) * step;
        hi = std::ceil(hi / step - 1e-9) * step;
    }
    axis->setRange(lo, hi);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
    axis->setLabelFormat(QStringLiteral("%.%1f").arg(form::StepDecimals(step)));
    axis->setTruncateLabels(false);
}

// "name, unit", or the name alone for a number without unit.
QString WithUnit(const std::string& name, const std::string& unit)
{
    return Q(name) + (unit.empty() ? QString() : QStringLiteral(", ") + Q(unit));
}

} // namespace

TfrmStudy::TfrmStudy(const form::TMainForm& form, QWidget* parent)
    : QDialog(parent), project_(std::make_unique<TTWData>(form.Project()))
{
    setWindowTitle(QStringLiteral("Parametric Study"));
    resize(980, 760);
    si_ = project_->Units == TUnitSystem::usSI;
    auto* layout = new QVBoxLayout(this);
    auto* controls = new QHBoxLayout;
    layout->addLayout(controls);
    input_ = new QComboBox(this);
    // The numeric inputs this wall uses, as the main window shows them, in the order of the
    // input column; a caption several soils share named with its soil.
    inputs_ = form::StudyInputs(form);
    for (const form::TStudyInput& input : inputs_)
        input_->addItem(WithUnit(input.name, input.unit), static_cast<int>(input.box));
    from_ = new QDoubleSpinBox(this);
    to_ = new QDoubleSpinBox(this);
    for (QDoubleSpinBox* box : {from_, to_}) {
        box->setRange(-1e6, 1e6);
        box->setDecimals(3);
    }
    count_ = new QSpinBox(this);
    count_->setRange(2, 1000);
    count_->setValue(21);
    plot_ = new QComboBox(this);
    for (int i = 0; i < form::kStudyResultCount; ++i)
        plot_->addItem(Q(form::StudyResultName(static_cast<form::TStudyResult>(i))));
    controls->addWidget(new QLabel(QStringLiteral("Input:"), this));
    controls->addWidget(input_, 1);
    controls->addWidget(new QLabel(QStringLiteral("from"), this));
    controls->addWidget(from_);
    controls->addWidget(new QLabel(QStringLiteral("to"), this));
    controls->addWidget(to_);
    controls->addWidget(new QLabel(QStringLiteral("steps"), this));
    controls->addWidget(count_);
    controls->addWidget(new QLabel(QStringLiteral("Plot:"), this));
    controls->addWidget(plot_);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    auto* plotArea = new QWidget(splitter);
    auto* plotLayout = new QVBoxLayout(plotArea);
    plotLayout->setContentsMargins(0, 0, 0, 0);
    chart_ = new QChartView(new QChart, plotArea);
    chart_->setRenderHint(QPainter::Antialiasing);
    // Tall enough for the value axis's title written along it.
    chart_->setMinimumHeight(360);
    chart_->chart()->legend()->setAlignment(Qt::AlignBottom);
    gapNote_ = new QLabel(plotArea);
    gapNote_->setWordWrap(true);
    gapNote_->setStyleSheet(QStringLiteral("color: rgb(200, 0, 0)"));
    gapNote_->hide();
    plotLayout->addWidget(chart_, 1);
    plotLayout->addWidget(gapNote_);
    table_ = new QTableWidget(splitter);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    splitter->addWidget(plotArea);
    splitter->addWidget(table_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setSizes({460, 220});
    layout->addWidget(splitter, 1);

    auto* buttons = new QHBoxLayout;
    auto* csv = new QPushButton(QStringLiteral("Save &CSV..."), this);
    auto* png = new QPushButton(QStringLiteral("Save &Picture..."), this);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    buttons->addWidget(csv);
    buttons->addWidget(png);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    chooseFile = [this](const QString& offered, const QString& filter) {
        return QFileDialog::getSaveFileName(this, windowTitle(), offered, filter);
    };
    const auto save = [this](bool picture) {
        const QString path = chooseFile(
            picture ? QStringLiteral("study.png") : QStringLiteral("study.csv"),
            picture ? QStringLiteral("PNG pictures (*.png)") : QStringLiteral("CSV files (*.csv)"));
        if (path.isEmpty())
            return;
        QString error;
        if (!(picture ? SavePicture(path, &error) : SaveCsv(path, &error)))
            ErrorBox(this)(error);
    };
    connect(csv, &QPushButton::clicked, this, [save] { save(false); });
    connect(png, &QPushButton::clicked, this, [save] { save(true); });

    connect(input_, &QComboBox::currentIndexChanged, this, [this, &form] {
        if (building_)
            return;
        // A new input starts from half to one and a half times its value.
        const auto box = Input();
        const auto value = ParseNumber(form.BoxState(box).text, form.NumberFormat());
        const double v = value ? static_cast<double>(*value) : 0;
        building_ = true;
        from_->setValue(v == 0 ? 0 : v * 0.5);
        to_->setValue(v == 0 ? 10 : v * 1.5);
        building_ = false;
        Recompute();
    });
    for (QDoubleSpinBox* box : {from_, to_})
        connect(box, &QDoubleSpinBox::valueChanged, this, [this] {
            if (!building_)
                Recompute();
        });
    connect(count_, &QSpinBox::valueChanged, this, [this] {
        if (!building_)
            Recompute();
    });
    connect(plot_, &QComboBox::currentIndexChanged, this, [this] { Plot(); });

    building_ = false;
    const int shored = input_->findData(static_cast<int>(form::Box::ShoredHeight));
    input_->setCurrentIndex(-1);
    input_->setCurrentIndex(shored >= 0 ? shored : 0);
}

TfrmStudy::~TfrmStudy() = default;

form::Box TfrmStudy::Input() const
{
    return static_cast<form::Box>(input_->currentData().toInt());
}

std::string TfrmStudy::InputName() const
{
    const int index = input_->currentIndex();
    return index >= 0 && index < static_cast<int>(inputs_.size())
               ? inputs_[static_cast<std::size_t>(index)].name
               : std::string();
}

void TfrmStudy::SetInput(form::Box box, double from, double to, int steps)
{
    building_ = true;
    input_->setCurrentIndex(input_->findData(static_cast<int>(box)));
    from_->setValue(from);
    to_->setValue(to);
    count_->setValue(steps);
    building_ = false;
    Recompute();
}

void TfrmStudy::SetPlot(TPlot plot)
{
    plot_->setCurrentIndex(static_cast<int>(plot));
}

void TfrmStudy::Recompute()
{
    if (input_->currentIndex() < 0)
        return;
    steps_ = form::RunStudy(*project_, Input(), from_->value(), to_->value(), count_->value());
    const auto rows = form::StudyRows(steps_, InputName(), si_);
    table_->clear();
    table_->setColumnCount(static_cast<int>(rows.front().size()));
    table_->setRowCount(static_cast<int>(rows.size()) - 1);
    QStringList heads;
    for (const std::string& head : rows.front())
        heads << QString::fromStdString(head);
    table_->setHorizontalHeaderLabels(heads);
    for (std::size_t r = 1; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(rows[r][c]));
            if (c < 6)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (rows[r].back() != "pass")
                item->setForeground(QColor(200, 0, 0));
            table_->setItem(static_cast<int>(r) - 1, static_cast<int>(c), item);
        }
    table_->resizeColumnsToContents();
    Plot();
}

void TfrmStudy::Plot()
{
    QChart* chart = chart_->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    const auto result = static_cast<form::TStudyResult>(
        std::clamp(plot_->currentIndex(), 0, form::kStudyResultCount - 1));
    const std::string name = form::StudyResultName(result);
    const std::string unit = form::StudyResultUnit(result, si_);
    // A few steps: a mark at each, green where every check passes, red where one fails. Many:
    // the curve alone, the failing steps drawn over it in small red marks.
    const bool marked = steps_.size() <= kMarkedSteps;
    auto* passing = new QScatterSeries;
    auto* failing = new QScatterSeries;
    auto* gaps = new QScatterSeries;
    passing->setName(QStringLiteral("all checks pass"));
    failing->setName(QStringLiteral("a check fails"));
    gaps->setName(QStringLiteral("no value (see below)"));
    passing->setColor(QColor(0, 140, 0));
    failing->setColor(QColor(220, 0, 0));
    gaps->setColor(QColor(230, 120, 0));
    gaps->setMarkerShape(QScatterSeries::MarkerShapeTriangle);
    for (QScatterSeries* s : {passing, failing, gaps}) {
        s->setMarkerSize(marked ? 8 : 4);
        s->setPen(Qt::NoPen);
    }
    gaps->setMarkerSize(marked ? 11 : 8);
    // The curve, broken where a step has no value.
    std::vector<QLineSeries*> runs;
    QLineSeries* run = nullptr;
    std::vector<double> gapsAt;                               // where a step has no value
    std::vector<std::pair<std::string, std::string>> missing; // its input text and why
    double lowY = 0, highY = 0;
    bool any = false;
    for (const form::TStudyStep& st : steps_) {
        const double x = static_cast<double>(ParseNumber(st.input, {}).value_or(st.value));
        const form::TStudyValue v = form::StudyValue(st, result);
        if (!v.value) {
            run = nullptr;
            gapsAt.push_back(x);
            missing.emplace_back(st.input, v.reason);
            continue;
        }
        const double y = static_cast<double>(*v.value);
        if (run == nullptr) {
            run = new QLineSeries;
            run->setPen(QPen(QColor(32, 120, 200), 2));
            runs.push_back(run);
        }
        run->append(x, y);
        if (!st.checks.passes)
            failing->append(x, y);
        else if (marked)
            passing->append(x, y);
        lowY = any ? std::min(lowY, y) : y;
        highY = any ? std::max(highY, y) : y;
        any = true;
    }

    auto* axisX = new QValueAxis;
    auto* axisY = new QValueAxis;
    const int index = input_->currentIndex();
    axisX->setTitleText(WithUnit(InputName(), index >= 0 && index < static_cast<int>(inputs_.size())
                                                  ? inputs_[static_cast<std::size_t>(index)].unit
                                                  : std::string()));
    axisY->setTitleText(WithUnit(name, unit));
    ScaleAxis(axisX, std::min(from_->value(), to_->value()), std::max(from_->value(), to_->value()),
              10, false);
    // From zero (or below it) to the largest value; a utilization up to its limit at least.
    double top = any ? highY : 1;
    if (result == form::TStudyResult::Utilization)
        top = std::max(top, 100.0);
    ScaleAxis(axisY, std::min(0.0, any ? lowY : 0.0), top, 8, true);
    // Steps without a value sit on the horizontal axis.
    for (const double at : gapsAt)
        gaps->append(at, axisY->min());

    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        runs[i]->setName(Q(name));
        chart->addSeries(runs[i]);
    }
    QLineSeries* limit = nullptr;
    if (result == form::TStudyResult::Utilization) {
        limit = new QLineSeries;
        limit->setName(QStringLiteral("limit 100 %"));
        limit->setPen(QPen(QColor(120, 120, 120), 1, Qt::DashLine));
        limit->append(axisX->min(), 100);
        limit->append(axisX->max(), 100);
        chart->addSeries(limit);
    }
    for (QScatterSeries* s : {passing, failing, gaps})
        chart->addSeries(s);
    for (QAbstractSeries* s : chart->series()) {
        s->attachAxis(axisX);
        s->attachAxis(axisY);
    }
    // One legend entry for the curve however often it is broken; none for an empty series.
    for (QLegendMarker* marker : chart->legend()->markers()) {
        QAbstractSeries* s = marker->series();
        const bool first = !runs.empty() && s == runs.front();
        const bool run = std::find(runs.begin(), runs.end(), s) != runs.end();
        const auto* points = qobject_cast<QXYSeries*>(s);
        marker->setVisible(run ? first : points != nullptr && points->count() > 0);
    }
    chart->setTitle(Q(name) + QStringLiteral(" against ") + Q(InputName()));

    // The steps without a value and why, the steps of one reason together; the first few
    // reasons only (every step's is in the table).
    std::vector<std::pair<std::string, QStringList>> reasons;
    for (const auto& [at, reason] : missing) {
        auto found = std::find_if(reasons.begin(), reasons.end(),
                                  [&](const auto& r) { return r.first == reason; });
        if (found == reasons.end()) {
            reasons.emplace_back(reason, QStringList());
            found = std::prev(reasons.end());
        }
        found->second << Q(at);
    }
    constexpr std::size_t kReasonsShown = 3;
    QStringList lines;
    qsizetype more = 0;
    for (std::size_t i = 0; i < reasons.size(); ++i) {
        const QStringList& at = reasons[i].second;
        if (i >= kReasonsShown) {
            more += at.size();
            continue;
        }
        const QStringList shown = at.size() > 6 ? at.mid(0, 5) << QStringLiteral("...") : at;
        lines << QStringLiteral("No %1 at %2: %3")
                     .arg(Q(name), shown.join(QStringLiteral(", ")), Q(reasons[i].first));
    }
    if (more > 0)
        lines << QStringLiteral("No %1 at %2 more steps (the table tells why).")
                     .arg(Q(name))
                     .arg(more);
    if (!lines.isEmpty())
        lines.front().prepend(QStringLiteral("Marked on the horizontal axis. "));
    const QString note = lines.join(QLatin1Char('\n'));
    gapNote_->setText(note);
    gapNote_->setVisible(!note.isEmpty());
}

bool TfrmStudy::SaveCsv(const QString& path, QString* error) const
{
    const std::string text = form::CsvText(form::StudyRows(steps_, InputName(), si_));
    if (const auto reason =
            WriteWholeFile(path, QByteArray(text.data(), static_cast<qsizetype>(text.size())))) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(path, *reason);
        return false;
    }
    return true;
}

bool TfrmStudy::SavePicture(const QString& path, QString* error) const
{
    return tw::ui::SavePicture(chart_->grab().toImage(), path, error);
}

} // namespace tw::ui
