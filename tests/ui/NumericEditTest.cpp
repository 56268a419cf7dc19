#include <QTest>

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

    void decimalCommaLocale()
    {
        TNumericEdit edit;
        edit.setNumberFormat({",", "."});
        QTest::keyClicks(&edit, "3.4,5,6");
        QCOMPARE(edit.text(), QString("34,56"));
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
