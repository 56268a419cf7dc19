// Print and Export PDF from the main window, with the "Output Options" answered by the test.
#include <QRadioButton>
#include <QStatusBar>

#include "support/ShellFixture.h"
#include "ui/ReportOutput.h"

using namespace tw::form;
using namespace shell;

class ReportPrintTest : public QObject, public TShellFixture
{
    Q_OBJECT

    std::optional<tw::ui::TOutputChoice> outputAnswer_;
    QString pdfAnswer_;
    QPageSize::PageSizeId pageAnswer_ = QPageSize::Letter;
    QString offered_;
    QPageSize::PageSizeId offeredPage_ = QPageSize::Custom;
    int outputDialogs_ = 0;

    void Answer()
    {
        outputDialogs_ = 0;
        outputAnswer_.reset();
        pdfAnswer_.clear();
        W().chooseReportOutput = [this](const QString& offered) {
            ++outputDialogs_;
            offered_ = offered;
            return outputAnswer_;
        };
        W().choosePdfFile = [this](const QString& offered, const QPageSize& pageSize) {
            offered_ = offered;
            offeredPage_ = pageSize.id();
            std::optional<tw::ui::TOutputChoice> choice;
            if (!pdfAnswer_.isEmpty())
                choice = tw::ui::TOutputChoice{tw::ui::TReportDestination::File, pdfAnswer_,
                                               QPageSize(pageAnswer_)};
            return choice;
        };
    }
    void AnswerFile(const QString& name)
    {
        tw::ui::TOutputChoice choice;
        choice.destination = tw::ui::TReportDestination::File;
        choice.file = Path(name);
        outputAnswer_ = choice;
    }
    static bool IsPdf(const QString& path) { return ReadAll(path).startsWith("%PDF-"); }

private slots:
    void initTestCase() { InitTestCase(); }
    void init()
    {
        Init();
        Answer();
    }
    void cleanup() { Cleanup(); }

    void printWritesThePdfChosenInTheOutputOptions()
    {
        QCOMPARE(W().APrint()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
        SaveAs(QStringLiteral("wall.btw"));
        AnswerFile(QStringLiteral("wall.pdf"));
        QTest::keyClick(window_.get(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(outputDialogs_, 1);
        QCOMPARE(offered_, Path(QStringLiteral("wall.pdf")));
        QVERIFY2(Errors().isEmpty(), qPrintable(Errors().join('\n')));
        QVERIFY(IsPdf(Path(QStringLiteral("wall.pdf"))));
        // Cancelled: nothing is written.
        outputAnswer_.reset();
        W().APrintExecute();
        QCOMPARE(outputDialogs_, 2);
        QVERIFY(!QFile::exists(Path(QStringLiteral("Tarnwick Report.pdf"))));
    }

    void printCommitsTheValueBeingTyped()
    {
        AnswerFile(QStringLiteral("typed.pdf"));
        Type(Box::ShoredHeight, QStringLiteral("12"));
        W().APrintExecute();
        QCOMPARE(static_cast<double>(project_->ShoredHeight), 12.0);
        QVERIFY(IsPdf(Path(QStringLiteral("typed.pdf"))));
    }

    void noReportWhileTheAnalysisFails()
    {
        // Timber lagging with a pier wider than the spacing cannot be analysed.
        Type(Box::PileWidth, QStringLiteral("6"));
        Leave();
        Type(Box::PileSpacing, QStringLiteral("2"));
        Leave();
        QVERIFY(W().form().AnalysisFailure().has_value());
        Errors(); // the analysis's own message
        errors_.clear();
        AnswerFile(QStringLiteral("failed.pdf"));
        W().APrintExecute();
        QCOMPARE(outputDialogs_, 0);
        QCOMPARE(Errors().size(), 1);
        QVERIFY(Errors().front().contains(QStringLiteral("analysis fails")));
        pdfAnswer_ = Path(QStringLiteral("failed.pdf"));
        W().AExportPdfExecute();
        QVERIFY(!QFile::exists(Path(QStringLiteral("failed.pdf"))));
    }

    void exportPdfAndItsErrors()
    {
        pdfAnswer_ = Path(QStringLiteral("export.pdf"));
        W().AExportPdf()->trigger();
        QVERIFY(offered_.endsWith(QStringLiteral("Tarnwick Report.pdf")));
        QVERIFY(IsPdf(pdfAnswer_));
        pdfAnswer_ = Path(QStringLiteral("no/such/folder/export.pdf"));
        W().AExportPdfExecute();
        QCOMPARE(Errors().size(), 1);
        QVERIFY(Errors().front().contains(pdfAnswer_));
    }

    void thePageSizeFollowsTheUnitsUntilTheUserChoosesOne()
    {
        // Nothing chosen yet: Letter for the English example, whatever the system's locale.
        W().AExportPdfExecute();
        QCOMPARE(offeredPage_, QPageSize::Letter);
        openAnswer_ = QStringLiteral(TW_BINARY_DIR "/cli/SI UNITS EXAMPLE.btw");
        QVERIFY(W().AOpenExecute());
        W().AExportPdfExecute();
        QCOMPARE(offeredPage_, QPageSize::A4);

        // Chosen in Export PDF: the file gets it, the status bar says so, and it is offered
        // from then on, in Export PDF and in the "Output Options".
        pdfAnswer_ = Path(QStringLiteral("letter.pdf"));
        pageAnswer_ = QPageSize::Letter;
        W().AExportPdfExecute();
        QVERIFY2(Errors().isEmpty(), qPrintable(Errors().join('\n')));
        QVERIFY(ReadAll(pdfAnswer_).contains("/MediaBox [0 0 612"));
        QCOMPARE(W().statusBar()->currentMessage(),
                 QStringLiteral("Report written to ") + QDir::toNativeSeparators(pdfAnswer_));
        pdfAnswer_.clear();
        W().AExportPdfExecute();
        QCOMPARE(offeredPage_, QPageSize::Letter);
        QCOMPARE(tw::ui::OfferedPageSize(W().form()).id(), QPageSize::Letter);

        // Chosen in the "Output Options".
        AnswerFile(QStringLiteral("a4.pdf"));
        outputAnswer_->pageSize = QPageSize(QPageSize::A4);
        W().APrintExecute();
        QVERIFY(ReadAll(Path(QStringLiteral("a4.pdf"))).contains("/MediaBox [0 0 595"));
        QCOMPARE(W().statusBar()->currentMessage(),
                 QStringLiteral("Report written to ") +
                     QDir::toNativeSeparators(Path(QStringLiteral("a4.pdf"))));
        W().AExportPdfExecute();
        QCOMPARE(offeredPage_, QPageSize::A4);
    }

    void outputOptionsGiveTheChoice()
    {
        tw::ui::TfrmOutputOptions dialog(Path(QStringLiteral("offered.pdf")),
                                         QPageSize(QPageSize::Letter), window_.get());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Output Options"));
        QCOMPARE(dialog.Choice().destination, tw::ui::TReportDestination::Preview);
        QVERIFY(!dialog.fileEdit()->isEnabled());
        dialog.fileButton()->setChecked(true);
        QVERIFY(dialog.fileEdit()->isEnabled());
        dialog.pageSizeList()->setCurrentIndex(1);
        const tw::ui::TOutputChoice choice = dialog.Choice();
        QCOMPARE(choice.destination, tw::ui::TReportDestination::File);
        QCOMPARE(choice.file, Path(QStringLiteral("offered.pdf")));
        QCOMPARE(choice.pageSize.id(), QPageSize::A4);
    }
};

QTEST_MAIN(ReportPrintTest)
#include "ReportPrintTest.moc"
