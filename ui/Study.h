// "Parametric Study": one numeric input stepped over a range, a chosen result plotted against
// it with the steps where a check fails marked, the table of every step below, saved as CSV or
// as a PNG picture of the chart.
#pragma once

#include <QDialog>

#include <functional>
#include <memory>
#include <vector>

#include "engine/TWClasses.h"
#include "form/FormIds.h"
#include "form/Study.h"

class QChartView;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;
class QTableWidget;

namespace tw::form {
class TMainForm;
}

namespace tw::ui {

class TfrmStudy : public QDialog
{
    Q_OBJECT
public:
    TfrmStudy(const form::TMainForm& form, QWidget* parent);
    ~TfrmStudy() override;

    // The results a study can plot, in the order of the result list.
    using TPlot = form::TStudyResult;

    void SetInput(form::Box box, double from, double to, int steps);
    void SetPlot(TPlot plot);
    const std::vector<form::TStudyStep>& Steps() const { return steps_; }
    form::Box Input() const;

    // The files of "Save CSV..." and "Save Picture..." (empty: cancelled); file dialogs by
    // default, replaced in tests.
    std::function<QString(const QString& offered, const QString& filter)> chooseFile;
    bool SaveCsv(const QString& path, QString* error = nullptr) const;
    bool SavePicture(const QString& path, QString* error = nullptr) const;

    QComboBox* inputList() const { return input_; }
    QComboBox* plotList() const { return plot_; }
    QTableWidget* table() const { return table_; }
    QChartView* chartView() const { return chart_; }
    // Below the chart: the steps the plotted result has no value for, and why.
    QLabel* gapNote() const { return gapNote_; }

    // Studies of more steps than this draw the curve without a mark at each step.
    static constexpr std::size_t kMarkedSteps = 60;

private:
    // The chosen input's study name.
    std::string InputName() const;
    void Recompute();
    void Plot();

    std::unique_ptr<TTWData> project_;
    std::vector<form::TStudyInput> inputs_;
    std::vector<form::TStudyStep> steps_;
    QComboBox* input_ = nullptr;
    QDoubleSpinBox* from_ = nullptr;
    QDoubleSpinBox* to_ = nullptr;
    QSpinBox* count_ = nullptr;
    QComboBox* plot_ = nullptr;
    QChartView* chart_ = nullptr;
    QLabel* gapNote_ = nullptr;
    QTableWidget* table_ = nullptr;
    bool si_ = false;
    bool building_ = true;
};

} // namespace tw::ui
