// TfrmComputations, "Table of Test Results": the depth and the second-pass shear, moment, slope
// and deflection at each of the 64 analysis nodes, as the project was when the window opened.
// The rows can be copied as tab-separated text (Ctrl+C or "Copy") and saved as CSV. A choice
// above the table shows instead the nodes of the soil-spring analysis (or why it has none).
#pragma once

#include <QDialog>

#include <functional>

#include "form/MainForm.h"
#include "form/NodeTable.h"

class QLabel;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace tw::ui {

class TfrmComputations : public QDialog
{
    Q_OBJECT

public:
    TfrmComputations(const form::TMainForm& form, QWidget* parent = nullptr);

    QTableWidget* table() const { return table_; }
    QPushButton* copyButton() const { return copy_; }
    QPushButton* saveButton() const { return save_; }
    // "Design method" and "Soil springs": whose nodes the table lists.
    QRadioButton* methodButton(form::TNodeMethod method) const;
    // Why the soil springs have no rows; shown in the table's place.
    QLabel* note() const { return note_; }
    form::TNodeMethod method() const { return method_; }
    void SetMethod(form::TNodeMethod method);

    // Copies the whole table (or the selected rows) as tab-separated text with its header.
    void CopyRows();
    // Writes the table as CSV (through a temporary file); false with the message on failure.
    bool SaveCsv(const QString& path, QString* error) const;

    // Where "Save CSV..." asks for the file and how a failure is shown; replaceable in tests.
    std::function<QString(const QString& offered)> chooseCsvFile;
    std::function<void(const QString& message)> showError;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Fills the table with the rows of the method chosen.
    void Fill();

    const form::TMainForm& form_;
    form::TNodeMethod method_ = form::TNodeMethod::Design;
    QRadioButton* design_ = nullptr;
    QRadioButton* springs_ = nullptr;
    QLabel* note_ = nullptr;
    QTableWidget* table_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* save_ = nullptr;
};

void ShowComputations(const form::TMainForm& form, QWidget* parent);

} // namespace tw::ui
