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
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <cmath>

#include "engine/Globals.h"
#include "form/InputLayout.h"
#include "form/MainForm.h"
#include "ui/Desktop.h"
#include "ui/DiagramView.h"

namespace tw::ui {

namespace {

QString Q(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const char* const kPlotNames[] = {"Embedment Depth", "Total Pile Length", "Maximum Moment",
                                  "Maximum Shear",   "Top Deflection",    "Governing Utilization"};

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
    // The numeric inputs the window shows now, in the order of the input column.
    for (const form::TSectionItems& section : form::InputLayout())
        for (const form::TInputItem& item : section.items) {
            if (item.kind != form::InputItemKind::Box)
                continue;
            const auto box = static_cast<form::Box>(item.id);
            const form::TBoxState& state = form.BoxState(box);
            if (form::StudyInput(box) && state.visible && state.enabled)
                input_->addItem(Q(state.caption) + (state.unit.empty()
                                                        ? QString()
                                                        : QStringLiteral(", ") + Q(state.unit)),
                                item.id);
        }
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
    for (const char* name : kPlotNames)
        plot_->addItem(QString::fromLatin1(name));
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
    chart_ = new QChartView(new QChart, splitter);
    chart_->setRenderHint(QPainter::Antialiasing);
    chart_->setMinimumHeight(280);
    table_ = new QTableWidget(splitter);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    splitter->addWidget(chart_);
    splitter->addWidget(table_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
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
    const auto rows = form::StudyRows(steps_, Input(), si_);
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
    for (QAbstractAxis* axis : chart->axes())
        chart->removeAxis(axis);
    const auto plot = static_cast<TPlot>(std::max(0, plot_->currentIndex()));
    auto* line = new QLineSeries;
    auto* passing = new QScatterSeries;
    auto* failing = new QScatterSeries;
    line->setName(QString::fromLatin1(kPlotNames[static_cast<int>(plot)]));
    passing->setName(QStringLiteral("all checks pass"));
    failing->setName(QStringLiteral("a check fails"));
    passing->setColor(QColor(0, 140, 0));
    failing->setColor(QColor(220, 0, 0));
    for (QScatterSeries* s : {passing, failing})
        s->setMarkerSize(8);
    double lowY = 0, highY = 0;
    bool any = false;
    for (const form::TStudyStep& st : steps_) {
        if (!st.analysed)
            continue;
        const auto x = ParseNumber(st.input, {});
        long double y = 0;
        switch (plot) {
        case TPlot::Embedment:
            y = st.embedment;
            break;
        case TPlot::TotalLength:
            y = st.totalLength;
            break;
        case TPlot::MaxMoment:
            y = st.maxMoment;
            break;
        case TPlot::MaxShear:
            y = st.maxShear;
            break;
        case TPlot::TopDeflection:
            y = st.topDeflection;
            break;
        case TPlot::Utilization:
            y = st.checks.utilization;
            break;
        }
        if (!x || !std::isfinite(static_cast<double>(y)))
            continue;
        const QPointF point(static_cast<double>(*x), static_cast<double>(y));
        line->append(point);
        (st.checks.passes ? passing : failing)->append(point);
        lowY = any ? std::min(lowY, point.y()) : point.y();
        highY = any ? std::max(highY, point.y()) : point.y();
        any = true;
    }
    for (QAbstractSeries* s : std::initializer_list<QAbstractSeries*>{line, passing, failing})
        chart->addSeries(s);
    auto* axisX = new QValueAxis;
    auto* axisY = new QValueAxis;
    axisX->setTitleText(input_->currentText());
    axisY->setTitleText(line->name());
    axisX->setRange(std::min(from_->value(), to_->value()), std::max(from_->value(), to_->value()));
    if (any)
        axisY->setRange(std::min(0.0, lowY), highY > lowY ? highY * 1.05 : lowY + 1);
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    for (QAbstractSeries* s : chart->series()) {
        s->attachAxis(axisX);
        s->attachAxis(axisY);
    }
    chart->setTitle(line->name() + QStringLiteral(" against ") + input_->currentText());
}

bool TfrmStudy::SaveCsv(const QString& path, QString* error) const
{
    const std::string text = form::CsvText(form::StudyRows(steps_, Input(), si_));
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
