#include "ui/Reliability.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

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

// "name, unit", or the name alone for a number without unit.
QString WithUnit(const QString& name, const std::string& unit)
{
    return unit.empty() ? name : name + QStringLiteral(", ") + Q(unit);
}

// The engine's messages start in lower case to be quoted; a tool tip starts a sentence.
QString Sentence(const std::string& text)
{
    QString s = Q(text);
    if (!s.isEmpty())
        s[0] = s[0].toUpper();
    return s;
}

// A chart value with about four significant digits.
QString Short(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("n/a");
    const double magnitude = value == 0 ? 0 : std::floor(std::log10(std::abs(value)));
    const int decimals = std::clamp(3 - static_cast<int>(magnitude), 0, 4);
    return Q(FormatFixed(value, decimals, 10, "."));
}

// An axis from lo to hi with ticks at the multiples of a round step (about `room` of them);
// with `widen` the range grows to the steps on either side.
void ScaleAxis(QValueAxis* axis, double lo, double hi, int room, bool widen)
{
    const std::vector<form::TAxisLabel> labels = form::AxisLabels(lo, hi, 0, room);
    const double step = labels.size() >= 2 ? labels[1].value - labels[0].value : hi - lo;
    if (widen && step > 0) {
        lo = std::floor(lo / step + 1e-9) * step;
        hi = std::ceil(hi / step - 1e-9) * step;
    }
    axis->setRange(lo, hi);
    if (step > 0) {
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0);
        axis->setTickInterval(step);
        axis->setLabelFormat(QStringLiteral("%.%1f").arg(form::StepDecimals(step)));
    }
    axis->setTruncateLabels(false);
}

void ClearChart(QChart* chart)
{
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    chart->setTitle(QString());
}

// A computed number to four significant digits: the cells show what was chosen, not noise.
long double Rounded(long double value)
{
    if (!std::isfinite(static_cast<double>(value)) || value == 0)
        return value;
    const double scale =
        std::pow(10.0, 3 - std::floor(std::log10(std::abs(static_cast<double>(value)))));
    return std::round(static_cast<double>(value) * scale) / scale;
}

bool UsesMean(form::TDistribution d)
{
    return d != form::TDistribution::Uniform;
}

const QColor kInvalidBack(255, 215, 215);
const QColor kInvalidText(190, 0, 0);

} // namespace

TfrmReliability::TfrmReliability(const form::TMainForm& form, QWidget* parent)
    : QDialog(parent), project_(std::make_unique<TTWData>(form.Project())),
      format_(form.NumberFormat())
{
    setWindowTitle(QStringLiteral("Reliability Study"));
    resize(1100, 750);
    si_ = project_->Units == TUnitSystem::usSI;

    // Left: the inputs and the run above the summary; right: the two charts.
    auto* layout = new QVBoxLayout(this);
    auto* columns = new QSplitter(Qt::Horizontal, this);
    auto* left = new QSplitter(Qt::Vertical, columns);
    auto* right = new QSplitter(Qt::Vertical, columns);

    auto* inputsBox = new QGroupBox(QStringLiteral("Uncertain inputs"), left);
    auto* inputs = new QVBoxLayout(inputsBox);
    table_ = new QTableWidget(inputsBox);
    table_->setColumnCount(kColumnCount);
    table_->setHorizontalHeaderLabels({QStringLiteral("Uncertain"), QStringLiteral("Input"),
                                       QStringLiteral("Distribution"),
                                       QStringLiteral("Mean\nor Min"),
                                       QStringLiteral("COV (%)\nor Max"), QStringLiteral("Unit")});
    table_->horizontalHeaderItem(colFirst)->setToolTip(
        QStringLiteral("The mean of a normal or lognormal input, the minimum of a uniform one"));
    table_->horizontalHeaderItem(colSecond)->setToolTip(
        QStringLiteral("The coefficient of variation (standard deviation / mean) in percent, or "
                       "the maximum of a uniform input"));
    table_->verticalHeader()->hide();
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    inputs->addWidget(table_, 1);
    tie_ = new QCheckBox(QStringLiteral("Tie backfill and passive friction angles"), inputsBox);
    tie_->setToolTip(QStringLiteral("One soil on both sides of the wall: the passive friction "
                                    "angle takes the same draw as the backfill's"));
    inputs->addWidget(tie_);
    auto* runRow = new QHBoxLayout;
    samples_ = new QSpinBox(inputsBox);
    samples_->setRange(100, static_cast<int>(form::kMaxReliabilitySamples));
    samples_->setSingleStep(1000);
    samples_->setValue(10000);
    samples_->setGroupSeparatorShown(true);
    seed_ = new QSpinBox(inputsBox);
    seed_->setRange(0, std::numeric_limits<int>::max());
    seed_->setValue(1);
    seed_->setToolTip(QStringLiteral("The same seed draws the same samples"));
    run_ = new QPushButton(QStringLiteral("&Run"), inputsBox);
    run_->setDefault(true);
    runRow->addWidget(new QLabel(QStringLiteral("Samples:"), inputsBox));
    runRow->addWidget(samples_);
    runRow->addWidget(new QLabel(QStringLiteral("Seed:"), inputsBox));
    runRow->addWidget(seed_);
    status_ = new QLabel(inputsBox);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    runRow->addSpacing(12);
    runRow->addWidget(status_, 1);
    runRow->addWidget(run_);
    inputs->addLayout(runRow);
    // Shown while a study runs.
    auto* progressRow = new QHBoxLayout;
    progress_ = new QProgressBar(inputsBox);
    progress_->setFormat(QStringLiteral("%p %"));
    cancel_ = new QPushButton(QStringLiteral("Cancel"), inputsBox);
    progressRow->addWidget(progress_, 1);
    progressRow->addWidget(cancel_);
    inputs->addLayout(progressRow);

    auto* summaryBox = new QGroupBox(QStringLiteral("Summary"), left);
    auto* summaryLayout = new QVBoxLayout(summaryBox);
    summary_ = new QPlainTextEdit(summaryBox);
    summary_->setReadOnly(true);
    summary_->setLineWrapMode(QPlainTextEdit::NoWrap);
    summary_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    summary_->setPlaceholderText(QStringLiteral("Run a study to see how likely each check is to "
                                                "fail."));
    summaryLayout->addWidget(summary_, 1);
    auto* copyRow = new QHBoxLayout;
    copy_ = new QPushButton(QStringLiteral("C&opy Summary"), summaryBox);
    copyRow->addStretch(1);
    copyRow->addWidget(copy_);
    summaryLayout->addLayout(copyRow);
    left->addWidget(inputsBox);
    left->addWidget(summaryBox);
    left->setStretchFactor(0, 3);
    left->setStretchFactor(1, 2);
    left->setSizes({420, 240});

    const auto chartBox = [right](const QString& title, const QString& label, QComboBox*& list,
                                  QChartView*& view) {
        auto* box = new QGroupBox(title, right);
        auto* boxLayout = new QVBoxLayout(box);
        auto* row = new QHBoxLayout;
        list = new QComboBox(box);
        row->addWidget(new QLabel(label, box));
        row->addWidget(list, 1);
        boxLayout->addLayout(row);
        view = new QChartView(new QChart, box);
        view->setRenderHint(QPainter::Antialiasing);
        view->setMinimumSize(320, 240);
        view->chart()->setMargins(QMargins(4, 4, 4, 4));
        boxLayout->addWidget(view, 1);
        right->addWidget(box);
    };
    chartBox(QStringLiteral("Spread"), QStringLiteral("Result:"), result_, histogram_);
    chartBox(QStringLiteral("Sensitivity"), QStringLiteral("Rank correlation with:"), against_,
             tornado_);
    for (int r = 0; r < form::kReliabilityResultCount; ++r)
        result_->addItem(Q(form::ReliabilityResultName(static_cast<form::TReliabilityResult>(r))));
    result_->setCurrentIndex(static_cast<int>(form::TReliabilityResult::MaxMoment));
    against_->addItem(QStringLiteral("Failure"), -1);
    for (int r = 0; r < form::kReliabilityResultCount; ++r)
        against_->addItem(Q(form::ReliabilityResultName(static_cast<form::TReliabilityResult>(r))),
                          r);
    histogram_->chart()->legend()->setAlignment(Qt::AlignBottom);
    tornado_->chart()->legend()->hide();

    columns->addWidget(left);
    columns->addWidget(right);
    columns->setStretchFactor(0, 1);
    columns->setStretchFactor(1, 1);
    columns->setSizes({600, 480});
    columns->setChildrenCollapsible(false);
    layout->addWidget(columns, 1);

    auto* buttons = new QHBoxLayout;
    csv_ = new QPushButton(QStringLiteral("Save &CSV..."), this);
    picture_ = new QPushButton(QStringLiteral("Save &Picture..."), this);
    auto* close = new QPushButton(QStringLiteral("C&lose"), this);
    close->setAutoDefault(false);
    buttons->addWidget(csv_);
    buttons->addWidget(picture_);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    timer_ = new QTimer(this);
    timer_->setInterval(50);
    connect(timer_, &QTimer::timeout, this, [this] { Poll(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(run_, &QPushButton::clicked, this, [this] { Run(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { Cancel(); });
    connect(copy_, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(summary_->toPlainText()); });
    chooseFile = [this](const QString& offered, const QString& filter) {
        return QFileDialog::getSaveFileName(this, windowTitle(), offered, filter);
    };
    const auto save = [this](bool picture) {
        const QString path = chooseFile(
            picture ? QStringLiteral("reliability.png") : QStringLiteral("reliability.csv"),
            picture ? QStringLiteral("PNG pictures (*.png)") : QStringLiteral("CSV files (*.csv)"));
        if (path.isEmpty())
            return;
        QString error;
        if (!(picture ? SavePicture(path, &error) : SaveCsv(path, &error)))
            ErrorBox(this)(error);
    };
    connect(csv_, &QPushButton::clicked, this, [save] { save(false); });
    connect(picture_, &QPushButton::clicked, this, [save] { save(true); });
    connect(result_, &QComboBox::currentIndexChanged, this, [this] { PlotHistogram(); });
    connect(against_, &QComboBox::currentIndexChanged, this, [this] { PlotTornado(); });
    connect(table_, &QTableWidget::itemChanged, this, [this] {
        if (!filling_)
            Validate();
    });

    FillTable();
    filling_ = false;
    SetRunning(false);
    ShowStudy();
}

TfrmReliability::~TfrmReliability()
{
    // The worker reads the project and writes its state: it stops before either goes.
    if (worker_.joinable()) {
        state_->progress.cancel = true;
        worker_.join();
    }
}

void TfrmReliability::FillTable()
{
    const std::vector<form::TStudyInput> inputs = form::StudyInputs(*project_);
    const form::TReliabilitySetup defaults = form::DefaultReliabilitySetup(*project_);
    table_->setRowCount(static_cast<int>(inputs.size()));
    rows_.clear();
    switches_.clear();
    for (const form::TStudyInput& input : inputs) {
        const int row = static_cast<int>(rows_.size());
        const auto preset =
            std::find_if(defaults.inputs.begin(), defaults.inputs.end(),
                         [&](const form::TUncertainInput& u) { return u.input.box == input.box; });
        const bool uncertain = preset != defaults.inputs.end();
        rows_.push_back(uncertain ? *preset : form::MakeUncertainInput(*project_, input, 0.10L));
        switches_.emplace_back();
        if (input.box == form::Box::BackfillPhi)
            tiedRows_[0] = row;
        if (input.box == form::Box::PassivePhi)
            tiedRows_[1] = row;

        auto* check = new QTableWidgetItem;
        check->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        check->setCheckState(uncertain ? Qt::Checked : Qt::Unchecked);
        table_->setItem(row, colUncertain, check);
        auto* name = new QTableWidgetItem(Q(input.name));
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        name->setToolTip(Q(input.name));
        table_->setItem(row, colInput, name);
        for (const int c : {int(colFirst), int(colSecond)}) {
            auto* cell = new QTableWidgetItem;
            cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(row, c, cell);
        }
        auto* unit = new QTableWidgetItem(Q(input.unit));
        unit->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        table_->setItem(row, colUnit, unit);
        auto* distribution = new QComboBox(table_);
        distribution->setFrame(false);
        for (int d = 0; d < form::kDistributionCount; ++d)
            distribution->addItem(Q(form::DistributionName(static_cast<form::TDistribution>(d))));
        distribution->setCurrentIndex(static_cast<int>(rows_.back().distribution));
        connect(distribution, &QComboBox::currentIndexChanged, this, [this, row](int index) {
            ChangeDistribution(row, static_cast<form::TDistribution>(index));
        });
        table_->setCellWidget(row, colDistribution, distribution);
        SetRowValues(row, rows_.back());
    }
    tie_->setChecked(defaults.tieFrictionAngles);
    // The names take what the other columns leave, on two lines where they need it.
    table_->resizeColumnsToContents();
    QHeaderView* header = table_->horizontalHeader();
    header->setSectionResizeMode(colInput, QHeaderView::Stretch);
    header->setSectionResizeMode(colUnit, QHeaderView::Fixed);
    table_->setColumnWidth(colFirst, fontMetrics().horizontalAdvance(QStringLiteral("000000.00")));
    table_->setColumnWidth(colSecond, table_->columnWidth(colFirst));
    table_->setWordWrap(true);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->verticalHeader()->setDefaultSectionSize(2 * fontMetrics().lineSpacing() + 6);
    Validate();
}

QString TfrmReliability::Text(long double value) const
{
    std::string text = FormatFixed(value, 6, 10, format_.decimalSeparator);
    // Trailing zeros say nothing here; a scientific text keeps its form.
    if (text.find('E') == std::string::npos &&
        text.find(format_.decimalSeparator) != std::string::npos) {
        while (!text.empty() && text.back() == '0')
            text.pop_back();
        if (text.size() >= format_.decimalSeparator.size() &&
            text.compare(text.size() - format_.decimalSeparator.size(), std::string::npos,
                         format_.decimalSeparator) == 0)
            text.erase(text.size() - format_.decimalSeparator.size());
    }
    return Q(text);
}

void TfrmReliability::SetRowValues(int row, const form::TUncertainInput& input)
{
    const bool filling = filling_;
    filling_ = true;
    const bool mean = UsesMean(input.distribution);
    table_->item(row, colFirst)->setText(Text(mean ? input.mean : input.low));
    table_->item(row, colSecond)->setText(Text(mean ? input.cov * 100 : input.high));
    filling_ = filling;
}

bool TfrmReliability::RowChecked(int row) const
{
    return row >= 0 && row < table_->rowCount() &&
           table_->item(row, colUncertain)->checkState() == Qt::Checked;
}

form::TUncertainInput TfrmReliability::RowInput(int row, std::string* problem, int* column) const
{
    form::TUncertainInput u = rows_[static_cast<std::size_t>(row)];
    if (const auto* combo = qobject_cast<QComboBox*>(table_->cellWidget(row, colDistribution)))
        u.distribution = static_cast<form::TDistribution>(combo->currentIndex());
    std::string why;
    int where = -1;
    long double values[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        const int c = i == 0 ? colFirst : colSecond;
        const auto value = ParseNumber(table_->item(row, c)->text().toStdString(), format_);
        if (value)
            values[i] = *value;
        else if (why.empty()) {
            why = "not a number";
            where = c;
        }
    }
    if (UsesMean(u.distribution)) {
        u.mean = values[0];
        u.cov = values[1] / 100;
    } else {
        u.low = values[0];
        u.high = values[1];
    }
    if (why.empty())
        why = form::UncertainInputProblem(u);
    if (problem)
        *problem = why;
    if (column)
        *column = where;
    return u;
}

form::TReliabilitySetup TfrmReliability::Setup() const
{
    form::TReliabilitySetup setup;
    for (int row = 0; row < table_->rowCount(); ++row)
        if (RowChecked(row))
            setup.inputs.push_back(RowInput(row, nullptr, nullptr));
    setup.tieFrictionAngles =
        tie_->isChecked() && RowChecked(tiedRows_[0]) && RowChecked(tiedRows_[1]);
    setup.samples = samples_->value();
    setup.seed = static_cast<uint64_t>(seed_->value());
    setup.threads = 0;
    return setup;
}

void TfrmReliability::Validate()
{
    const bool filling = filling_;
    filling_ = true;
    int checked = 0;
    bool valid = true;
    const QColor grey = palette().color(QPalette::Disabled, QPalette::Text);
    for (int row = 0; row < table_->rowCount(); ++row) {
        const bool on = RowChecked(row);
        std::string problem;
        int column = -1;
        const form::TUncertainInput u = RowInput(row, &problem, &column);
        checked += on ? 1 : 0;
        valid = valid && (!on || problem.empty());
        const bool mean = UsesMean(u.distribution);
        const std::string& unit = u.input.unit;
        for (const int c : {int(colFirst), int(colSecond)}) {
            QTableWidgetItem* item = table_->item(row, c);
            const bool bad = on && !problem.empty() && (column < 0 || column == c);
            item->setBackground(bad ? QBrush(kInvalidBack) : QBrush());
            item->setForeground(bad ? QBrush(kInvalidText) : on ? QBrush() : QBrush(grey));
            QString tip =
                c == colFirst
                    ? WithUnit(mean ? QStringLiteral("Mean") : QStringLiteral("Minimum"), unit)
                    : (mean ? QStringLiteral("Coefficient of variation, %")
                            : WithUnit(QStringLiteral("Maximum"), unit));
            item->setToolTip(bad ? Sentence(problem) : tip);
        }
        for (const int c : {int(colInput), int(colUnit)})
            table_->item(row, c)->setForeground(on ? QBrush() : QBrush(grey));
    }
    filling_ = filling;
    const bool tieable = RowChecked(tiedRows_[0]) && RowChecked(tiedRows_[1]);
    tie_->setEnabled(!Running() && tieable);
    run_->setEnabled(!Running() && valid && checked > 0);
    run_->setToolTip(checked == 0 ? QStringLiteral("Check at least one input as uncertain")
                     : !valid     ? QStringLiteral("Correct the values marked in red")
                                  : QStringLiteral("Sample the uncertain inputs and analyse "
                                                       "each sample"));
}

void TfrmReliability::ChangeDistribution(int row, form::TDistribution to)
{
    if (filling_)
        return;
    form::TUncertainInput& stored = rows_[static_cast<std::size_t>(row)];
    const form::TDistribution from = stored.distribution;
    stored.distribution = to;
    if (UsesMean(from) != UsesMean(to)) {
        QTableWidgetItem* cells[2] = {table_->item(row, colFirst), table_->item(row, colSecond)};
        const std::array<QString, 2> now = {cells[0]->text(), cells[1]->text()};
        TSwitch& last = switches_[static_cast<std::size_t>(row)];
        std::array<QString, 2> next;
        if (now == last.wrote) {
            // Switched back without an edit: the numbers as they were, not recomputed.
            next = last.left;
        } else {
            // The new distribution keeps the mean and the standard deviation (a uniform
            // distribution is sqrt(12) standard deviations wide).
            const auto cell = [&](int i, long double fallback) {
                return ParseNumber(now[static_cast<std::size_t>(i)].toStdString(), format_)
                    .value_or(fallback);
            };
            form::TUncertainInput changed = stored;
            if (UsesMean(from)) {
                const long double mean = cell(0, stored.mean);
                const long double half =
                    std::sqrt(3.0L) * std::abs(mean) * cell(1, stored.cov * 100) / 100;
                changed.low = mean - half;
                changed.high = mean + half;
            } else {
                const long double low = cell(0, stored.low);
                const long double high = cell(1, stored.high);
                changed.mean = (low + high) / 2;
                const long double sd = std::abs(high - low) / std::sqrt(12.0L);
                changed.cov = changed.mean != 0 ? sd / std::abs(changed.mean) : stored.cov;
            }
            const bool mean = UsesMean(to);
            next = {Text(Rounded(mean ? changed.mean : changed.low)),
                    Text(Rounded(mean ? changed.cov * 100 : changed.high))};
        }
        last = {now, next};
        const bool filling = filling_;
        filling_ = true;
        cells[0]->setText(next[0]);
        cells[1]->setText(next[1]);
        filling_ = filling;
    }
    Validate();
}

void TfrmReliability::SetRunning(bool running)
{
    for (QWidget* w : {static_cast<QWidget*>(table_), static_cast<QWidget*>(samples_),
                       static_cast<QWidget*>(seed_)})
        w->setEnabled(!running);
    progress_->setVisible(running);
    cancel_->setVisible(running);
    cancel_->setEnabled(running);
    if (running) {
        progress_->setRange(0, static_cast<int>(std::max<int64_t>(1, state_->samples)));
        progress_->setValue(0);
        status_->setStyleSheet(QString());
        status_->setText(QStringLiteral("Sampling..."));
    }
    Validate();
}

void TfrmReliability::Run()
{
    if (Running())
        return;
    Validate();
    if (!run_->isEnabled())
        return;
    const form::TReliabilitySetup setup = Setup();
    study_.reset();
    ShowStudy();
    auto state = std::make_shared<TRunState>();
    state->samples = setup.samples;
    const TTWData* project = project_.get();
    try {
        worker_ = std::thread([state, project, setup] {
            try {
                state->study = form::RunReliabilityStudy(*project, setup, &state->progress);
            } catch (const std::exception& e) {
                state->study = form::TReliabilityStudy();
                state->study.error = e.what();
            } catch (...) {
                state->study = form::TReliabilityStudy();
                state->study.error = "the study stopped on an unexpected error";
            }
            state->finished.store(true, std::memory_order_release);
        });
    } catch (const std::exception& e) {
        status_->setStyleSheet(QStringLiteral("color: rgb(190, 0, 0)"));
        status_->setText(QStringLiteral("The study could not start: %1").arg(Q(e.what())));
        return;
    }
    state_ = std::move(state);
    SetRunning(true);
    timer_->start();
}

void TfrmReliability::Cancel()
{
    if (!Running())
        return;
    state_->progress.cancel = true;
    cancel_->setEnabled(false);
    status_->setText(QStringLiteral("Cancelling..."));
}

void TfrmReliability::Poll()
{
    if (!state_)
        return;
    progress_->setValue(static_cast<int>(std::min(state_->progress.done.load(), state_->samples)));
    if (state_->finished.load(std::memory_order_acquire))
        Finish();
}

void TfrmReliability::Finish()
{
    if (!worker_.joinable())
        return;
    worker_.join();
    timer_->stop();
    const std::shared_ptr<TRunState> state = std::move(state_);
    state_.reset();
    SetRunning(false);
    form::TReliabilityStudy& study = state->study;
    status_->setStyleSheet(QString());
    if (study.cancelled || state->progress.cancel) {
        status_->setText(QStringLiteral("Cancelled"));
        ShowStudy();
        return;
    }
    if (!study.error.empty()) {
        status_->setStyleSheet(QStringLiteral("color: rgb(190, 0, 0)"));
        status_->setText(QStringLiteral("The study could not run: %1").arg(Q(study.error)));
        ShowStudy();
        return;
    }
    status_->setText(QStringLiteral("%L1 samples in %2 s")
                         .arg(study.samples)
                         .arg(study.seconds, 0, 'f',
                              study.seconds < 1    ? 2
                              : study.seconds < 10 ? 1
                                                   : 0));
    study_ = std::make_shared<const form::TReliabilityStudy>(std::move(study));
    ShowStudy();
    if (studyFinished)
        studyFinished(study_);
}

bool TfrmReliability::WaitForFinish(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (Running()) {
        Poll();
        if (!Running())
            break;
        if (clock.elapsed() >= ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

void TfrmReliability::done(int result)
{
    if (Running()) {
        Cancel();
        Finish();
    }
    QDialog::done(result);
}

void TfrmReliability::ShowStudy()
{
    const bool has = study_ != nullptr;
    summary_->setPlainText(has ? Q(form::ReliabilitySummaryText(*study_)) : QString());
    for (QWidget* w : {static_cast<QWidget*>(copy_), static_cast<QWidget*>(csv_),
                       static_cast<QWidget*>(picture_)})
        w->setEnabled(has);
    if (has) {
        // Rank correlation with failure says nothing when every sample passes (or fails): the
        // chosen result's then.
        const bool mixed = study_->anyCheck.count > 0 && study_->anyCheck.count < study_->samples;
        const QSignalBlocker block(against_);
        against_->setCurrentIndex(mixed ? 0 : result_->currentIndex() + 1);
    }
    PlotHistogram();
    PlotTornado();
}

void TfrmReliability::ShowResult(form::TReliabilityResult result)
{
    result_->setCurrentIndex(static_cast<int>(result));
}

void TfrmReliability::ShowSensitivity(std::optional<form::TReliabilityResult> result)
{
    against_->setCurrentIndex(result ? static_cast<int>(*result) + 1 : 0);
}

void TfrmReliability::PlotHistogram()
{
    QChart* chart = histogram_->chart();
    ClearChart(chart);
    if (!study_)
        return;
    const auto result = static_cast<form::TReliabilityResult>(
        std::clamp(result_->currentIndex(), 0, form::kReliabilityResultCount - 1));
    const auto spread =
        std::find_if(study_->spreads.begin(), study_->spreads.end(),
                     [&](const form::TResultSpread& s) { return s.result == result; });
    const QString name = Q(form::ReliabilityResultName(result));
    const std::string unit = form::ReliabilityResultUnit(result, study_->si);
    if (spread == study_->spreads.end() || spread->count == 0 || spread->histogram.empty()) {
        chart->setTitle(name + QStringLiteral(": no sample has a value"));
        return;
    }
    double lo = static_cast<double>(spread->min);
    double hi = static_cast<double>(spread->max);
    const auto bins = static_cast<int>(spread->histogram.size());
    double width = (hi - lo) / bins;
    if (!(hi > lo)) {
        // Every sample the same: one bar at the value.
        const double pad = lo == 0 ? 1 : std::abs(lo) * 0.05;
        width = 2 * pad / bins;
        lo -= pad;
        hi += pad;
    }
    // The bins as a filled staircase over a value axis from the least to the largest value.
    auto* area = new QAreaSeries;
    auto* outline = new QLineSeries(area);
    const double start =
        spread->max > spread->min ? lo : static_cast<double>(spread->min) - width / 2;
    int64_t tallest = 0;
    outline->append(start, 0);
    for (int i = 0; i < bins; ++i) {
        const auto count = static_cast<double>(spread->histogram[static_cast<std::size_t>(i)]);
        tallest = std::max(tallest, spread->histogram[static_cast<std::size_t>(i)]);
        outline->append(start + i * width, count);
        outline->append(start + (i + 1) * width, count);
        if (!(spread->max > spread->min))
            break;
    }
    outline->append(outline->points().back().x(), 0);
    area->setUpperSeries(outline);
    area->setName(QStringLiteral("samples"));
    area->setColor(QColor(90, 150, 215, 190));
    area->setBorderColor(QColor(30, 90, 160));
    chart->addSeries(area);

    auto* axisX = new QValueAxis;
    auto* axisY = new QValueAxis;
    axisX->setTitleText(WithUnit(name, unit));
    axisY->setTitleText(QStringLiteral("Samples"));
    ScaleAxis(axisX, lo, hi, 6, false);
    ScaleAxis(axisY, 0, std::max<double>(1, static_cast<double>(tallest) * 1.08), 6, true);
    axisY->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);

    const struct
    {
        const char* label;
        long double value;
        QColor color;
        Qt::PenStyle style;
    } marks[] = {{"p5", spread->p5, QColor(200, 110, 0), Qt::DashLine},
                 {"p50", spread->p50, QColor(20, 20, 20), Qt::SolidLine},
                 {"p95", spread->p95, QColor(200, 0, 0), Qt::DashLine}};
    for (const auto& mark : marks) {
        auto* line = new QLineSeries;
        const auto x = static_cast<double>(mark.value);
        line->append(x, 0);
        line->append(x, axisY->max());
        line->setPen(QPen(mark.color, 1.5, mark.style));
        line->setName(QStringLiteral("%1 = %2").arg(QLatin1String(mark.label), Short(x)));
        chart->addSeries(line);
    }
    for (QAbstractSeries* s : chart->series()) {
        s->attachAxis(axisX);
        s->attachAxis(axisY);
    }
    chart->setTitle(QStringLiteral("%1 (%L2 samples)").arg(name).arg(spread->count));
}

void TfrmReliability::PlotTornado()
{
    QChart* chart = tornado_->chart();
    ClearChart(chart);
    if (!study_ || study_->sensitivity.empty())
        return;
    const int against = against_->currentData().toInt();
    const QString of =
        against < 0
            ? QStringLiteral("failure")
            : Q(form::ReliabilityResultName(static_cast<form::TReliabilityResult>(against)));
    struct TBar
    {
        QString label;
        double rho;
    };
    std::vector<TBar> bars;
    for (const form::TInputSensitivity& s : study_->sensitivity) {
        const long double rho =
            against < 0 ? s.failure : s.results[static_cast<std::size_t>(against)];
        const bool known = std::isfinite(static_cast<double>(rho));
        // A group's name on a line of its own, so that the labels leave room for the bars.
        QString label =
            Q(s.input).toHtmlEscaped().replace(QStringLiteral(": "), QStringLiteral(":<br>"));
        bars.push_back({label + (known ? QString() : QStringLiteral(" (n/a)")),
                        known ? static_cast<double>(rho) : 0.0});
    }
    // The axis lists its categories upwards: the largest |rho| last, at the top.
    std::stable_sort(bars.begin(), bars.end(), [](const TBar& a, const TBar& b) {
        return std::abs(a.rho) < std::abs(b.rho);
    });
    auto* set = new QBarSet(QStringLiteral("Spearman's rho"));
    set->setColor(QColor(40, 110, 190));
    set->setBorderColor(QColor(40, 110, 190));
    // Negative correlations in a second colour, through the set's selected bars.
    set->setSelectedColor(QColor(215, 110, 20));
    set->setLabelColor(Qt::black);
    QStringList categories;
    for (std::size_t i = 0; i < bars.size(); ++i) {
        set->append(bars[i].rho);
        categories << bars[i].label;
        if (bars[i].rho < 0)
            set->setBarSelected(static_cast<int>(i), true);
    }
    auto* series = new QHorizontalBarSeries;
    series->append(set);
    series->setBarWidth(0.7);
    series->setLabelsVisible(true);
    series->setLabelsFormat(QStringLiteral("@value"));
    series->setLabelsPrecision(2);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    chart->addSeries(series);
    auto* axisY = new QBarCategoryAxis;
    axisY->append(categories);
    axisY->setTruncateLabels(false);
    auto* axisX = new QValueAxis;
    axisX->setRange(-1, 1);
    axisX->setTickCount(5);
    axisX->setLabelFormat(QStringLiteral("%.1f"));
    axisX->setTitleText(QStringLiteral("Spearman's rank correlation"));
    chart->addAxis(axisY, Qt::AlignLeft);
    chart->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisY);
    series->attachAxis(axisX);
    chart->setTitle(QStringLiteral("Rank correlation of each input with %1").arg(of));
}

bool TfrmReliability::SaveCsv(const QString& path, QString* error) const
{
    if (!study_) {
        if (error)
            *error = QStringLiteral("There are no results to save: run a study first.");
        return false;
    }
    const std::string text = form::CsvText(form::ReliabilitySampleRows(*study_));
    if (const auto reason =
            WriteWholeFile(path, QByteArray(text.data(), static_cast<qsizetype>(text.size())))) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(path, *reason);
        return false;
    }
    return true;
}

bool TfrmReliability::SavePicture(const QString& path, QString* error) const
{
    if (!study_) {
        if (error)
            *error = QStringLiteral("There are no results to save: run a study first.");
        return false;
    }
    // The two charts side by side, each at the size it is shown.
    QImage first = histogram_->grab().toImage();
    QImage second = tornado_->grab().toImage();
    first.setDevicePixelRatio(1);
    second.setDevicePixelRatio(1);
    QImage picture(first.width() + second.width(), std::max(first.height(), second.height()),
                   QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        painter.drawImage(0, 0, first);
        painter.drawImage(first.width(), 0, second);
    }
    return tw::ui::SavePicture(picture, path, error);
}

} // namespace tw::ui
