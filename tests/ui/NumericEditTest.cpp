#include <QTest>
#include <QToolTip>

#include "ui/NumericEdit.h"

using tw::ui::TNumericEdit;

class NumericEditTest : public QObject
{
    Q_OBJECT

private slots:
    void filtersKeys()
    {
        TNumericEdit edit;
        edit.setNumberFormat({".", ","});
        QTest::keyClicks(&edit, "12a.5.x-");
        // Letters and the second separator are discarded; a minus is accepted anywhere.
        QCOMPARE(edit.text(), QString("12.5-"));
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.text(), QString("12.5"));
    }

    // A comma or point typed for the decimal separator stays in the box (the reading decides
    // whether it groups thousands or separates decimals); it is refused, with the box's hint
    // saying why, once the box has its decimal separator. So is an exponent.
    void separatorsAndExponentAreKeptOrRefusedWithAHint_data()
    {
        QTest::addColumn<QString>("decimal");
        QTest::addColumn<QString>("thousands");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hint");
        const auto row = [](const char* name, const char* decimal, const char* thousands,
                            const char* typed, const char* text, const char* hint) {
            QTest::newRow(name) << QString(decimal) << QString(thousands) << QString(typed)
                                << QString(text) << QString(hint);
        };
        row("comma for the point", ".", ",", "4,5", "4,5", "");
        row("grouped thousands", ".", ",", "1,234.5", "1,234.5", "");
        row("comma after the point", ".", ",", "4.5,2", "4.52", "decimal separator");
        row("exponent", ".", ",", "1e3", "13", "exponent");
        row("capital exponent", ".", ",", "2E-1", "2-1", "exponent");
        row("point for the comma", ",", ".", "4.5", "4.5", "");
        row("point after the comma", ",", ".", "3.4,5,6", "3.4,56", "decimal separator");
    }
    void separatorsAndExponentAreKeptOrRefusedWithAHint()
    {
        QFETCH(QString, decimal);
        QFETCH(QString, thousands);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(QString, hint);
        TNumericEdit edit;
        edit.setNumberFormat({decimal.toStdString(), thousands.toStdString()});
        edit.show();
        QToolTip::hideText();
        QTest::keyClicks(&edit, typed);
        QCOMPARE(edit.text(), text);
        if (hint.isEmpty())
            QVERIFY(!QToolTip::isVisible());
        else
            QVERIFY2(QToolTip::isVisible() && QToolTip::text().contains(hint),
                     qPrintable(QToolTip::text()));
    }

    void keyFilterCanBeOff()
    {
        TNumericEdit edit;
        edit.setNumberFormat({".", ","});
        edit.setKeyFilter(false);
        QTest::keyClicks(&edit, "1a.5.");
        QCOMPARE(edit.text(), QString("1a.5."));
    }

    void readOnlyLook()
    {
        TNumericEdit edit;
        edit.setReadOnlyLook(true);
        QVERIFY(edit.isReadOnly());
        QCOMPARE(edit.palette().color(QPalette::Base), QColor::fromRgb(tw::ui::kReadOnlyColour));
        edit.setReadOnlyLook(false);
        QVERIFY(!edit.isReadOnly());
        QVERIFY(edit.palette().color(QPalette::Base) != QColor::fromRgb(tw::ui::kReadOnlyColour));
        QCOMPARE(edit.alignment() & Qt::AlignRight, Qt::AlignRight);
    }
};

QTEST_MAIN(NumericEditTest)
#include "NumericEditTest.moc"
