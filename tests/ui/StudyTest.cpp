// The parametric study window on the English example.
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QXYSeries>

#include "support/OpenWall.h"
#include "ui/Study.h"

class StudyTest : public QObject
{
    Q_OBJECT

private slots:
    void stepsTableChartAndFiles()
    {
        const auto wall = tw::test::OpenWallAs(false);
        tw::ui::TfrmStudy study(*wall.form, nullptr);
        QCOMPARE(study.windowTitle(), QStringLiteral("Parametric Study"));
        QCOMPARE(study.Input(), tw::form::Box::ShoredHeight);
        QVERIFY(study.inputList()->count() > 20);
        study.SetInput(tw::form::Box::ShoredHeight, 10, 30, 11);
        QCOMPARE(study.table()->rowCount(), 11);
        QCOMPARE(study.table()->item(5, 0)->text(), QStringLiteral("20.00"));
        // The steps past the beam's strength are marked failing, in the table and the chart.
        QCOMPARE(study.table()->item(10, 8)->text(), QStringLiteral("FAIL"));
        QCOMPARE(study.table()->item(0, 8)->text(), QStringLiteral("pass"));
        int failing = 0;
        for (int r = 0; r < study.table()->rowCount(); ++r)
            failing += study.table()->item(r, 8)->text() == QStringLiteral("FAIL") ? 1 : 0;
        QCOMPARE(Points(study, QStringLiteral("a check fails")), failing);

        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("study.csv"));
        QVERIFY(study.SaveCsv(csv));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.startsWith("\"Shored Height, H\",Embedment (ft),"));
        QCOMPARE(text.count('\n'), 12);
        QVERIFY(study.SavePicture(dir.filePath(QStringLiteral("study.png"))));
        QVERIFY(!QImage(dir.filePath(QStringLiteral("study.png"))).isNull());
        QString error;
        QVERIFY(!study.SaveCsv(dir.filePath(QStringLiteral("no/such/study.csv")), &error));
        QVERIFY(!error.isEmpty());
    }

    void inputsTheWallUsesNamedWithTheirSoil()
    {
        // Net pressure: the second backfill soil is not used; every name is one input's.
        const auto net = tw::test::OpenWallAs(false);
        tw::ui::TfrmStudy study(*net.form, nullptr);
        QStringList names;
        for (int i = 0; i < study.inputList()->count(); ++i)
            names << study.inputList()->itemText(i);
        QCOMPARE(names.removeDuplicates(), 0);
        QCOMPARE(study.inputList()->findData(static_cast<int>(tw::form::Box::Backfill2Phi)), -1);
        QVERIFY(!names.filter(QStringLiteral("Passive Soils: Soil Friction Angle")).isEmpty());
        // Gross pressure: it is, named with its soil.
        const auto gross = tw::test::OpenWallAs(
            false, [](tw::TTWData& p) { p.AnalysisMethod = tw::TAnalysisMethod::amGrossPressure; });
        tw::ui::TfrmStudy second(*gross.form, nullptr);
        const int at = second.inputList()->findData(static_cast<int>(tw::form::Box::Backfill2Phi));
        QVERIFY(at >= 0);
        QVERIFY(second.inputList()->itemText(at).startsWith(
            QStringLiteral("Backfill Soils 2: Soil Friction Angle")));
    }

    void everyStepIsPlottedOrMarkedWithItsReason()
    {
        const auto wall = tw::test::OpenWallAs(false);
        tw::ui::TfrmStudy study(*wall.form, nullptr);
        // Past 15 ft the moment check fails: those steps keep their utilization on the plot.
        study.SetInput(tw::form::Box::ShoredHeight, 10, 30, 11);
        study.SetPlot(tw::ui::TfrmStudy::TPlot::Utilization);
        QCOMPARE(Points(study, QStringLiteral("Governing Utilization")), 11);
        // Piles too close for the lagging: those analyses fail, and their steps are marked
        // with the reason beside the chart.
        study.SetInput(tw::form::Box::PileSpacing, 1, 10, 10);
        int failed = 0;
        for (int r = 0; r < study.table()->rowCount(); ++r)
            failed += study.table()->item(r, 8)->text().startsWith(QStringLiteral("ERROR")) ? 1 : 0;
        QVERIFY(failed > 0);
        QCOMPARE(Points(study, QStringLiteral("Governing Utilization")), 10 - failed);
        bool told = false;
        for (const QLabel* label : study.findChildren<QLabel*>())
            told = told || (label->isVisibleTo(&study) &&
                            label->text().contains(QStringLiteral("clear span of the lagging")));
        QVERIFY(told);
    }

private:
    // The points of the chart's series of a name (a curve may be drawn in pieces).
    static int Points(const tw::ui::TfrmStudy& study, const QString& name)
    {
        int n = 0;
        for (QAbstractSeries* series : study.chartView()->chart()->series())
            if (series->name() == name)
                if (const auto* points = qobject_cast<QXYSeries*>(series))
                    n += static_cast<int>(points->count());
        return n;
    }
};

QTEST_MAIN(StudyTest)
#include "StudyTest.moc"
