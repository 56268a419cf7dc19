// The parametric study window on the English example.
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

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
        QCOMPARE(study.chartView()->chart()->series().size(), 3);

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
};

QTEST_MAIN(StudyTest)
#include "StudyTest.moc"
