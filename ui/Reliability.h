// "Reliability Study": the wall's inputs that scatter, each with its distribution, sampled on a
// worker thread while the window stays responsive; the summary of the probabilities of failure,
// the spread of a chosen result as a histogram and the rank correlation of each input with a
// chosen result or with failure as a tornado chart, saved as CSV (one line a sample) or as a
// PNG picture of the two charts.
#pragma once

#include <QDialog>
#include <QString>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "engine/Globals.h"
#include "engine/TWClasses.h"
#include "form/Reliability.h"
#include "form/Study.h"

class QChartView;
class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTimer;

namespace tw::form {
class TMainForm;
}

namespace tw::ui {

class TfrmReliability : public QDialog
{
    Q_OBJECT
public:
    TfrmReliability(const form::TMainForm& form, QWidget* parent);
    // A running study is cancelled and its thread joined.
    ~TfrmReliability() override;

    // The columns of the input table.
    enum TColumn
    {
        colUncertain,
        colInput,
        colDistribution,
        colFirst,  // mean, or minimum of a uniform distribution
        colSecond, // coefficient of variation in %, or maximum
        colUnit,
        kColumnCount
    };

    // The setup as the window stands: the checked rows (whatever their cells hold), the tie,
    // the samples and the seed.
    form::TReliabilitySetup Setup() const;
    // Starts a study of the setup on a worker thread (nothing while one runs or while a row is
    // invalid).
    void Run();
    // Asks the running study to stop; the window shows "Cancelled" once it has.
    void Cancel();
    bool Running() const { return worker_.joinable(); }
    // Processes events until the study has finished (true) or the time is up (false).
    bool WaitForFinish(int ms);
    // The last finished study; nullptr before one, while one runs and after a cancel.
    const form::TReliabilityStudy* Study() const { return study_.get(); }
    // The copy of the project the window studies.
    const TTWData& Project() const { return *project_; }

    // Called after a study completes (not when it is cancelled or cannot run).
    std::function<void(std::shared_ptr<const form::TReliabilityStudy>)> studyFinished;

    // The files of "Save CSV..." and "Save Picture..." (empty: cancelled); file dialogs by
    // default, replaced in tests.
    std::function<QString(const QString& offered, const QString& filter)> chooseFile;
    bool SaveCsv(const QString& path, QString* error = nullptr) const;
    bool SavePicture(const QString& path, QString* error = nullptr) const;

    // The histogram's result, and the tornado's: a result or failure.
    void ShowResult(form::TReliabilityResult result);
    void ShowSensitivity(std::optional<form::TReliabilityResult> result);

    QTableWidget* table() const { return table_; }
    QCheckBox* tieBox() const { return tie_; }
    QSpinBox* samplesBox() const { return samples_; }
    QSpinBox* seedBox() const { return seed_; }
    QPushButton* runButton() const { return run_; }
    QPushButton* cancelButton() const { return cancel_; }
    QProgressBar* progressBar() const { return progress_; }
    QLabel* statusLabel() const { return status_; }
    QPlainTextEdit* summaryBox() const { return summary_; }
    QPushButton* copyButton() const { return copy_; }
    QPushButton* csvButton() const { return csv_; }
    QPushButton* pictureButton() const { return picture_; }
    QComboBox* resultList() const { return result_; }
    QComboBox* sensitivityList() const { return against_; }
    QChartView* histogramView() const { return histogram_; }
    QChartView* tornadoView() const { return tornado_; }

protected:
    // Closing the window stops a running study first.
    void done(int result) override;

private:
    // What a worker shares with the window: the progress, and the study once it returns.
    struct TRunState
    {
        form::TReliabilityProgress progress;
        form::TReliabilityStudy study;
        std::atomic<bool> finished{false};
        int64_t samples = 0;
    };

    void FillTable();
    void SetRowValues(int row, const form::TUncertainInput& input);
    // The row's distribution as its cells hold it; `problem` tells what is wrong ("" fine)
    // and `column` which numeric cell (-1: the pair, or none).
    form::TUncertainInput RowInput(int row, std::string* problem, int* column) const;
    bool RowChecked(int row) const;
    // Marks the invalid cells of checked rows and enables Run and the tie.
    void Validate();
    // A distribution chosen for a row: the cells keep the row's mean and spread.
    void ChangeDistribution(int row, form::TDistribution to);
    void Poll();
    void Finish();
    // Stops a running study and waits for its thread.
    void StopAndJoin();
    void SetRunning(bool running);
    void ShowStudy();
    void PlotHistogram();
    void PlotTornado();
    QString Text(long double value) const;

    std::unique_ptr<TTWData> project_;
    std::vector<form::TUncertainInput> rows_;
    // A row's last switch between a mean-based and a uniform distribution: the numbers it
    // left and those it wrote, so that switching back unedited restores them exactly.
    struct TSwitch
    {
        std::array<QString, 2> left, wrote;
    };
    std::vector<TSwitch> switches_;
    TNumberFormat format_;
    bool si_ = false;
    bool filling_ = true;

    std::shared_ptr<TRunState> state_;
    std::thread worker_;
    std::shared_ptr<const form::TReliabilityStudy> study_;

    QTableWidget* table_ = nullptr;
    QCheckBox* tie_ = nullptr;
    QSpinBox* samples_ = nullptr;
    QSpinBox* seed_ = nullptr;
    QPushButton* run_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QPlainTextEdit* summary_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* csv_ = nullptr;
    QPushButton* picture_ = nullptr;
    QComboBox* result_ = nullptr;
    QComboBox* against_ = nullptr;
    QChartView* histogram_ = nullptr;
    QChartView* tornado_ = nullptr;
    QTimer* timer_ = nullptr;
    int tiedRows_[2] = {-1, -1}; // the rows of the two friction angles the tie joins
};

} // namespace tw::ui
