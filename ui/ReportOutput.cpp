#include "ui/ReportOutput.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QVBoxLayout>

#include <memory>

#include "form/MainForm.h"
#include "report/Report.h"
#include "ui/DiagramView.h"
#include "ui/Settings.h"

namespace tw::ui {

TfrmOutputOptions::TfrmOutputOptions(const QString& offeredPdf, const QPageSize& pageSize,
                                     QWidget* parent, const form::TReliabilityStudy* reliability,
                                     const QString& noReliability)
    : QDialog(parent), reliability_(reliability)
{
    setWindowTitle(QStringLiteral("Output Options"));
    auto* layout = new QGridLayout(this);
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    printer_ = new QRadioButton(QStringLiteral("&Printer"), this);
    auto* printerName = new QLabel(
        printer.isNull() ? QStringLiteral("(no printer installed)") : printer.printerName(), this);
    printerName->setEnabled(!printer.isNull());
    printer_->setEnabled(!QPrinterInfo::availablePrinters().isEmpty());
    preview_ = new QRadioButton(QStringLiteral("Pre&view"), this);
    file_ = new QRadioButton(QStringLiteral("PDF &File"), this);
    fileEdit_ = new QLineEdit(offeredPdf, this);
    fileEdit_->setMinimumWidth(320);
    auto* browse = new QPushButton(QStringLiteral("&Browse..."), this);
    pageSize_ = new QComboBox(this);
    pageSize_->addItem(QStringLiteral("Letter"), static_cast<int>(QPageSize::Letter));
    pageSize_->addItem(QStringLiteral("A4"), static_cast<int>(QPageSize::A4));
    pageSize_->setCurrentIndex(pageSize.id() == QPageSize::A4 ? 1 : 0);
    auto* pageCaption = new QLabel(QStringLiteral("Page si&ze:"), this);
    pageCaption->setBuddy(pageSize_);
    preview_->setChecked(true);

    layout->addWidget(printer_, 0, 0);
    layout->addWidget(printerName, 0, 1, 1, 2);
    layout->addWidget(preview_, 1, 0);
    layout->addWidget(file_, 2, 0);
    layout->addWidget(fileEdit_, 2, 1);
    layout->addWidget(browse, 2, 2);
    layout->addWidget(pageCaption, 3, 0);
    layout->addWidget(pageSize_, 3, 1, Qt::AlignLeft);
    reliabilityCheck_ = new QCheckBox(QStringLiteral("Include the &reliability study"), this);
    reliabilityCheck_->setChecked(reliability != nullptr);
    reliabilityCheck_->setEnabled(reliability != nullptr);
    reliabilityCheck_->setToolTip(reliability ? QString() : noReliability);
    layout->addWidget(reliabilityCheck_, 4, 0, 1, 3);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons, 5, 0, 1, 3);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // The file's parts only count for the file; the page size is the printer's own there.
    const auto refresh = [this, browse, pageCaption] {
        const bool file = file_->isChecked();
        fileEdit_->setEnabled(file);
        browse->setEnabled(file);
        pageSize_->setEnabled(!printer_->isChecked());
        pageCaption->setEnabled(!printer_->isChecked());
    };
    for (QRadioButton* b : {printer_, preview_, file_})
        connect(b, &QRadioButton::toggled, this, refresh);
    refresh();
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString path =
            QFileDialog::getSaveFileName(this, QStringLiteral("Export PDF"), fileEdit_->text(),
                                         QStringLiteral("PDF files (*.pdf)"));
        if (!path.isEmpty())
            fileEdit_->setText(path);
    });
}

TOutputChoice TfrmOutputOptions::Choice() const
{
    TOutputChoice choice;
    choice.destination = printer_->isChecked() ? TReportDestination::Printer
                         : file_->isChecked()  ? TReportDestination::File
                                               : TReportDestination::Preview;
    choice.file = fileEdit_->text().trimmed();
    choice.pageSize =
        QPageSize(static_cast<QPageSize::PageSizeId>(pageSize_->currentData().toInt()));
    choice.reliability = reliabilityCheck_->isChecked() ? reliability_ : nullptr;
    return choice;
}

namespace {

// The "Report Status" window: the page being generated or printed.
class TReportStatus
{
public:
    TReportStatus(QWidget* parent, const QString& format)
        : dialog_(QString(), QString(), 0, 0, parent), format_(format)
    {
        dialog_.setWindowTitle(QStringLiteral("Report Status"));
        dialog_.setCancelButton(nullptr);
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(0);
        dialog_.setAutoClose(false);
        dialog_.setMinimumWidth(260);
    }
    std::function<void(int)> Progress()
    {
        return [this](int page) {
            dialog_.setLabelText(
                QString(format_).replace(QStringLiteral("%p"), QString::number(page)));
            if (!dialog_.isVisible())
                dialog_.show();
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        };
    }

private:
    QProgressDialog dialog_;
    QString format_;
};

void PreparePrinter(QPrinter& printer)
{
    printer.setFullPage(true);
    printer.setDocName(QString::fromLatin1(report::kPrintJobTitle));
    printer.setCreator(QStringLiteral("Tarnwick"));
}

} // namespace

QPrintPreviewDialog* MakeReportPreview(QWidget* parent, const form::TMainForm& form,
                                       QPrinter& printer,
                                       const form::TReliabilityStudy* reliability)
{
    PreparePrinter(printer);
    auto* preview = new QPrintPreviewDialog(&printer, parent);
    preview->setWindowTitle(QStringLiteral("Report Preview"));
    QObject::connect(preview, &QPrintPreviewDialog::paintRequested, preview,
                     [&form, parent, reliability](QPrinter* target) {
                         target->setFullPage(true);
                         TReportStatus status(parent, QStringLiteral("Generating page %p"));
                         report::TReportOptions options;
                         options.progress = status.Progress();
                         options.reliability = reliability;
                         report::GenerateReport(form, *target, options);
                     });
    // At 100 %, whatever zoom the preview chose for itself.
    if (auto* widget = preview->findChild<QPrintPreviewWidget*>()) {
        QObject::connect(widget, &QPrintPreviewWidget::previewChanged, widget, [widget] {
            if (widget->zoomMode() != QPrintPreviewWidget::CustomZoom ||
                widget->zoomFactor() != 1.0) {
                widget->setZoomMode(QPrintPreviewWidget::CustomZoom);
                widget->setZoomFactor(1.0);
            }
        });
    }
    preview->setWindowState(preview->windowState() | Qt::WindowMaximized);
    return preview;
}

QString RunReport(QWidget* parent, const form::TMainForm& form, const TOutputChoice& choice)
{
    // The printer's page comes from its own dialog; the other destinations use the choice.
    if (choice.destination != TReportDestination::Printer)
        WriteReportPageSize(*OpenSettings(), choice.pageSize.id());
    switch (choice.destination) {
    case TReportDestination::File: {
        if (choice.file.isEmpty())
            return QStringLiteral("No PDF file was given.");
        TReportStatus status(parent, QStringLiteral("Generating page %p"));
        report::TReportOptions options;
        options.progress = status.Progress();
        options.reliability = choice.reliability;
        if (const auto error = report::WriteReportPdf(form, choice.file, choice.pageSize, options))
            return QStringLiteral("The report could not be written to %1: %2")
                .arg(choice.file, QString::fromStdString(*error));
        return {};
    }
    case TReportDestination::Printer: {
        QPrinter printer(QPrinter::HighResolution);
        PreparePrinter(printer);
        QPrintDialog dialog(&printer, parent);
        if (dialog.exec() != QDialog::Accepted)
            return {};
        printer.setFullPage(true);
        TReportStatus status(parent, QStringLiteral("Printing page %p"));
        report::TReportOptions options;
        options.progress = status.Progress();
        options.reliability = choice.reliability;
        // Printing to a PDF file writes it as the PDF destination does, so that a failed write
        // leaves the old file and is reported.
        if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
            const QString file = printer.outputFileName();
            if (const auto error =
                    report::WriteReportPdf(form, file, printer.pageLayout().pageSize(), options))
                return QStringLiteral("The report could not be written to %1: %2")
                    .arg(file, QString::fromStdString(*error));
            return {};
        }
        report::GenerateReport(form, printer, options);
        if (printer.printerState() == QPrinter::Error)
            return QStringLiteral("The report could not be printed on %1.")
                .arg(printer.printerName());
        return {};
    }
    case TReportDestination::Preview: {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageSize(choice.pageSize);
        std::unique_ptr<QPrintPreviewDialog> preview(
            MakeReportPreview(parent, form, printer, choice.reliability));
        preview->exec();
        return {};
    }
    }
    return {};
}

QPageSize OfferedPageSize(const form::TMainForm& form)
{
    if (const auto chosen = ReadReportPageSize(*OpenSettings()))
        return QPageSize(*chosen);
    return report::DefaultReportPageSize(form.Project().Units);
}

std::optional<TOutputChoice> ChoosePdfFile(QWidget* parent, const QString& offered,
                                           const QPageSize& pageSize)
{
    const QString letter = QStringLiteral("PDF, Letter pages (*.pdf)");
    const QString a4 = QStringLiteral("PDF, A4 pages (*.pdf)");
    QString type = pageSize.id() == QPageSize::A4 ? a4 : letter;
    const QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Export PDF"), offered,
                                                      letter + QStringLiteral(";;") + a4, &type);
    if (path.isEmpty())
        return std::nullopt;
    TOutputChoice choice;
    choice.destination = TReportDestination::File;
    choice.file = path;
    choice.pageSize = QPageSize(type == a4 ? QPageSize::A4 : QPageSize::Letter);
    return choice;
}

QString ReportWrittenMessage(const QString& file)
{
    return QStringLiteral("Report written to %1").arg(QDir::toNativeSeparators(file));
}

} // namespace tw::ui
