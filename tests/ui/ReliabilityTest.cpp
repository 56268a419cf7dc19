// The reliability study window on the English example: its rows, a run against the engine's,
// cancelling, the CSV file, invalid cells and the main window's menu entry.
#include <QAction>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <set>

#include "form/Reliability.h"
#include "support/OpenWall.h"
#include "ui/Reliability.h"
#include "ui/ReportOutput.h"
#include "ui/TWMain.h"

using tw::form::Box;
using tw::ui::TfrmReliability;

namespace {

// The row of an input of the wall (the rows are the study inputs in order).
int RowOf(const tw::TTWData& project, Box box)
{
    const auto inputs = tw::form::StudyInputs(project);
    for (std::size_t i = 0; i < inputs.size(); ++i)
        if (inputs[i].box == box)
            return static_cast<int>(i);
    return -1;
}

void SetCell(TfrmReliability& window, int row, int column, const QString& text)
{
    window.table()->item(row, column)->setText(text);
}

} // namespace

class ReliabilityTest : public QObject
{
    Q_OBJECT

private slots:
    void defaultRowsAreCheckedAndOthersNot()
    {
        const auto wall = tw::test::OpenWallAs(false);
        TfrmReliability window(*wall.form, nullptr);
        QCOMPARE(window.windowTitle(), QStringLiteral("Reliability Study"));
        std::set<std::string> expected, checked;
        for (const auto& u : tw::form::DefaultReliabilitySetup(*wall.project).inputs)
            expected.insert(u.input.name);
        for (int row = 0; row < window.table()->rowCount(); ++row)
            if (window.table()->item(row, TfrmReliability::colUncertain)->checkState() ==
                Qt::Checked)
                checked.insert(
                    window.table()->item(row, TfrmReliability::colInput)->text().toStdString());
        QVERIFY(!expected.empty());
        QVERIFY(window.table()->rowCount() > static_cast<int>(expected.size()));
        QCOMPARE(checked, expected);
    }

    void runGivesTheEngineResultOfTheSetupAsEdited()
    {
        const auto wall = tw::test::OpenWallAs(false);
        TfrmReliability window(*wall.form, nullptr);
        const int phi = RowOf(*wall.project, Box::BackfillPhi);
        const int weight = RowOf(*wall.project, Box::BackfillUnitWeight);
        QVERIFY(phi >= 0 && weight >= 0);
        // The setup the engine is to get: the defaults with a wider friction angle, a uniform
        // unit weight, the angles tied, 400 samples from seed 7.
        tw::form::TReliabilitySetup setup = tw::form::DefaultReliabilitySetup(*wall.project);
        for (auto& u : setup.inputs) {
            if (u.input.box == Box::BackfillPhi)
                u.cov = 0.15L;
            if (u.input.box == Box::BackfillUnitWeight) {
                u.distribution = tw::form::TDistribution::Uniform;
                u.low = 110;
                u.high = 125;
            }
        }
        setup.tieFrictionAngles = true;
        setup.samples = 400;
        setup.seed = 7;
        SetCell(window, phi, TfrmReliability::colSecond, QStringLiteral("15"));
        qobject_cast<QComboBox*>(
            window.table()->cellWidget(weight, TfrmReliability::colDistribution))
            ->setCurrentIndex(static_cast<int>(tw::form::TDistribution::Uniform));
        SetCell(window, weight, TfrmReliability::colFirst, QStringLiteral("110"));
        SetCell(window, weight, TfrmReliability::colSecond, QStringLiteral("125"));
        window.tieBox()->setChecked(true);
        window.samplesBox()->setValue(400);
        window.seedBox()->setValue(7);

        std::shared_ptr<const tw::form::TReliabilityStudy> told;
        window.studyFinished = [&](auto study) { told = std::move(study); };
        window.Run();
        QVERIFY(window.WaitForFinish(120000));
        QVERIFY(window.Study() != nullptr);
        QCOMPARE(told.get(), window.Study());
        const std::string engine =
            tw::form::ReliabilitySummaryText(tw::form::RunReliabilityStudy(*wall.project, setup));
        QCOMPARE(window.summaryBox()->toPlainText().toStdString(), engine);
        QVERIFY(window.csvButton()->isEnabled());
    }

    void aDistributionChangeKeepsTheMean()
    {
        const auto wall = tw::test::OpenWallAs(false);
        TfrmReliability window(*wall.form, nullptr);
        const int phi = RowOf(*wall.project, Box::BackfillPhi);
        auto* combo = qobject_cast<QComboBox*>(
            window.table()->cellWidget(phi, TfrmReliability::colDistribution));
        const double mean = window.table()->item(phi, TfrmReliability::colFirst)->text().toDouble();
        combo->setCurrentIndex(static_cast<int>(tw::form::TDistribution::Uniform));
        const double low = window.table()->item(phi, TfrmReliability::colFirst)->text().toDouble();
        const double high =
            window.table()->item(phi, TfrmReliability::colSecond)->text().toDouble();
        // 10 % of 32 degrees as a uniform spread, to four digits: 32 -+ sqrt(3) * 3.2.
        QCOMPARE(low, 26.46);
        QCOMPARE(high, 37.54);
        QCOMPARE(mean, 32.0);
        combo->setCurrentIndex(static_cast<int>(tw::form::TDistribution::Normal));
        QCOMPARE(window.table()->item(phi, TfrmReliability::colFirst)->text().toDouble(), mean);
        QCOMPARE(window.table()->item(phi, TfrmReliability::colSecond)->text(),
                 QStringLiteral("10"));
        // An edited range: its middle and its standard deviation, (34 - 30) / sqrt(12).
        combo->setCurrentIndex(static_cast<int>(tw::form::TDistribution::Uniform));
        SetCell(window, phi, TfrmReliability::colFirst, QStringLiteral("30"));
        SetCell(window, phi, TfrmReliability::colSecond, QStringLiteral("34"));
        combo->setCurrentIndex(static_cast<int>(tw::form::TDistribution::Lognormal));
        QCOMPARE(window.table()->item(phi, TfrmReliability::colFirst)->text(),
                 QStringLiteral("32"));
        QCOMPARE(window.table()->item(phi, TfrmReliability::colSecond)->text(),
                 QStringLiteral("3.608"));
    }

    void invalidCellsOfCheckedRowsDisableRun_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("uncertain");
        QTest::addColumn<bool>("runs");
        QTest::newRow("not a number") << int(TfrmReliability::colFirst) << "abc" << true << false;
        QTest::newRow("negative COV") << int(TfrmReliability::colSecond) << "-5" << true << false;
        QTest::newRow("mean past the limits")
            << int(TfrmReliability::colFirst) << "500" << true << false;
        QTest::newRow("unchecked row") << int(TfrmReliability::colFirst) << "abc" << false << true;
        QTest::newRow("valid") << int(TfrmReliability::colSecond) << "12.5" << true << true;
    }
    void invalidCellsOfCheckedRowsDisableRun()
    {
        QFETCH(int, column);
        QFETCH(QString, text);
        QFETCH(bool, uncertain);
        QFETCH(bool, runs);
        const auto wall = tw::test::OpenWallAs(false);
        TfrmReliability window(*wall.form, nullptr);
        const int phi = RowOf(*wall.project, Box::BackfillPhi);
        window.table()
            ->item(phi, TfrmReliability::colUncertain)
            ->setCheckState(uncertain ? Qt::Checked : Qt::Unchecked);
        QVERIFY(window.runButton()->isEnabled());
        SetCell(window, phi, column, text);
        const QTableWidgetItem* cell = window.table()->item(phi, column);
        QCOMPARE(window.runButton()->isEnabled(), runs);
        // A cell that stops the run is red and says why.
        QCOMPARE(cell->background().style() != Qt::NoBrush, !runs);
        QCOMPARE(cell->toolTip().startsWith(QStringLiteral("Mean")) ||
                     cell->toolTip().startsWith(QStringLiteral("Coefficient")),
                 runs);
        window.Run();
        QCOMPARE(window.Running(), runs);
        window.Cancel();
        QVERIFY(window.WaitForFinish(5000));
    }

    void cancelStopsABigRunAndKeepsNothing()
    {
        const auto wall = tw::test::OpenWallAs(false);
        TfrmReliability window(*wall.form, nullptr);
        bool told = false;
        window.studyFinished = [&](auto) { told = true; };
        window.samplesBox()->setValue(1'000'000);
        window.Run();
        QVERIFY(window.Running());
        QVERIFY(window.cancelButton()->isVisibleTo(&window));
        // Timed from the first samples (the engine prepares the rows of a million samples
        // before it samples).
        QTRY_VERIFY_WITH_TIMEOUT(window.progressBar()->value() > 0, 20000);
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(window.cancelButton(), Qt::LeftButton);
        QVERIFY(window.WaitForFinish(5000));
        const qint64 ms = clock.elapsed();
        QVERIFY2(ms < 200, qPrintable(QStringLiteral("cancelled after %1 ms").arg(ms)));
        QCOMPARE(window.statusLabel()->text(), QStringLiteral("Cancelled"));
        QVERIFY(window.Study() == nullptr);
        QVERIFY(!told);
        QVERIFY(!window.csvButton()->isEnabled());
        QVERIFY(window.summaryBox()->toPlainText().isEmpty());
        QVERIFY(window.runButton()->isEnabled());
    }

    void closingWhileRunningStopsTheStudy()
    {
        const auto wall = tw::test::OpenWallAs(false);
        auto* window = new TfrmReliability(*wall.form, nullptr);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->samplesBox()->setValue(1'000'000);
        window->show();
        window->Run();
        QTest::qWait(100);
        QElapsedTimer clock;
        clock.start();
        QPointer<TfrmReliability> alive(window);
        window->close();
        QTest::qWait(0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(alive.isNull());
        QVERIFY(clock.elapsed() < 2000);
    }

    void csvHasAHeaderAndALinePerSample()
    {
        const auto wall = tw::test::OpenWallAs(false);
        TfrmReliability window(*wall.form, nullptr);
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("reliability.csv"));
        QVERIFY(!window.SaveCsv(csv));
        window.samplesBox()->setValue(250);
        window.Run();
        QVERIFY(window.WaitForFinish(120000));
        QVERIFY(window.SaveCsv(csv));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QCOMPARE(text.count('\n'), 251);
        QVERIFY(window.SavePicture(dir.filePath(QStringLiteral("reliability.png"))));
        const QImage picture(dir.filePath(QStringLiteral("reliability.png")));
        QCOMPARE(picture.width(), window.histogramView()->width() + window.tornadoView()->width());
    }

    void mainWindowKeepsTheStudyOfItsProject()
    {
        tw::TTWData project;
        project.ExampleFolder = TW_BINARY_DIR "/cli";
        TfrmTWMain main(project);
        main.showError = [](const QString&) {};
        main.runUpdateCheck = {};
        main.askSaveChanges = [] { return QMessageBox::No; };
        main.NewProject();
        const QList<QAction*> tools = main.toolsMenu()->actions();
        QCOMPARE(tools.indexOf(main.AReliability()), tools.indexOf(main.AStudy()) + 1);
        main.AReliability()->trigger();
        auto* window = main.findChild<TfrmReliability*>();
        QVERIFY(window != nullptr);
        window->samplesBox()->setValue(100);
        window->Run();
        QVERIFY(window->WaitForFinish(120000));
        QVERIFY(main.LastReliabilityStudy() != nullptr);
        QCOMPARE(main.LastReliabilityStudy().get(), window->Study());
        // Output Options offer it, checked, while the project is the one studied.
        QString whyNot;
        const tw::form::TReliabilityStudy* current = main.CurrentReliabilityStudy(&whyNot);
        QCOMPARE(current, window->Study());
        tw::ui::TfrmOutputOptions options(QStringLiteral("a.pdf"), QPageSize(QPageSize::A4), &main,
                                          current, whyNot);
        QVERIFY(options.reliabilityCheck()->isChecked());
        QCOMPARE(options.Choice().reliability, current);
        options.reliabilityCheck()->setChecked(false);
        QVERIFY(options.Choice().reliability == nullptr);
        // An edit makes it stale: the report no longer offers it, and says why.
        main.form().EditBox(Box::ShoredHeight, "16");
        QVERIFY(main.form().Commit().ok());
        QVERIFY(main.CurrentReliabilityStudy(&whyNot) == nullptr);
        QVERIFY(whyNot.contains(QStringLiteral("changed")));
        tw::ui::TfrmOutputOptions stale(QStringLiteral("a.pdf"), QPageSize(QPageSize::A4), &main,
                                        nullptr, whyNot);
        QVERIFY(!stale.reliabilityCheck()->isEnabled());
        QCOMPARE(stale.reliabilityCheck()->toolTip(), whyNot);
        main.ANewExecute();
        QVERIFY(main.LastReliabilityStudy() == nullptr);
        // A study of the earlier project that finishes now is not kept for the new one.
        window->Run();
        QVERIFY(window->WaitForFinish(120000));
        QVERIFY(window->Study() != nullptr);
        QVERIFY(main.LastReliabilityStudy() == nullptr);
    }
};

QTEST_MAIN(ReliabilityTest)
#include "ReliabilityTest.moc"
