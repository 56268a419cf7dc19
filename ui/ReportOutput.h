// Where the printed report goes: the "Output Options" dialog (printer, preview or PDF file),
// the "Report Status" window that counts the pages while they are generated, and the runs to
// the printer, to the "Report Preview" window and to a PDF file.
#pragma once

#include <QDialog>
#include <QPageSize>
#include <QString>

#include <optional>

class QCheckBox;
class QComboBox;
class QPrinter;
class QPrintPreviewDialog;
class QLineEdit;
class QRadioButton;

namespace tw::form {
class TMainForm;
struct TReliabilityStudy;
} // namespace tw::form

namespace tw::ui {

enum class TReportDestination
{
    Printer,
    Preview,
    File,
};

struct TOutputChoice
{
    TReportDestination destination = TReportDestination::Preview;
    QString file; // the PDF file of TReportDestination::File
    QPageSize pageSize{QPageSize::Letter};
    // The reliability study printed after the results (none: not printed).
    const form::TReliabilityStudy* reliability = nullptr;
};

class TfrmOutputOptions : public QDialog
{
    Q_OBJECT
public:
    // Offers the file name for a PDF and the page size the PDF gets; with a reliability study
    // run on the project, a choice to print it (checked); without one, the choice is disabled
    // and says why (`noReliability`).
    TfrmOutputOptions(const QString& offeredPdf, const QPageSize& pageSize, QWidget* parent,
                      const form::TReliabilityStudy* reliability = nullptr,
                      const QString& noReliability = {});
    TOutputChoice Choice() const;

    QRadioButton* printerButton() const { return printer_; }
    QRadioButton* previewButton() const { return preview_; }
    QRadioButton* fileButton() const { return file_; }
    QLineEdit* fileEdit() const { return fileEdit_; }
    QComboBox* pageSizeList() const { return pageSize_; }
    QCheckBox* reliabilityCheck() const { return reliabilityCheck_; }

private:
    QRadioButton* printer_ = nullptr;
    QRadioButton* preview_ = nullptr;
    QRadioButton* file_ = nullptr;
    QLineEdit* fileEdit_ = nullptr;
    QComboBox* pageSize_ = nullptr;
    QCheckBox* reliabilityCheck_ = nullptr;
    const form::TReliabilityStudy* reliability_ = nullptr;
};

// The "Report Preview" window on the printer (maximized, at 100 %, printing allowed), which
// generates the report when it shows it. The caller owns it and shows it modally.
QPrintPreviewDialog* MakeReportPreview(QWidget* parent, const form::TMainForm& form,
                                       QPrinter& printer,
                                       const form::TReliabilityStudy* reliability = nullptr);

// Generates the report to the chosen destination, showing the "Report Status" window while it
// runs. Returns the reason when the report could not be made ("" when it was, or when the
// user cancelled the printer dialog). The page size of a preview or a PDF file is remembered
// in the settings as the user's choice.
QString RunReport(QWidget* parent, const form::TMainForm& form, const TOutputChoice& choice);

// The page size the report is offered on: the one the user chose last, else Letter for a
// project in English units and A4 for one in SI units.
QPageSize OfferedPageSize(const form::TMainForm& form);

// The save dialog of Export PDF: the file, and the page size as the file's type ("PDF, Letter
// pages" or "PDF, A4 pages"), starting from `pageSize`. None when cancelled.
std::optional<TOutputChoice> ChoosePdfFile(QWidget* parent, const QString& offered,
                                           const QPageSize& pageSize);

// What the status bar says when the report has been written to a file.
QString ReportWrittenMessage(const QString& file);

} // namespace tw::ui
