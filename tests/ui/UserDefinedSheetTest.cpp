#include <functional>

#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "ui/NumericEdit.h"
#include "ui/UserDefinedSheet.h"

using tw::TSteelShape;
using tw::TTWData;
using tw::TUnitSystem;
using tw::ui::TfrmUserDefinedSheet;
using tw::ui::TNumericEdit;

namespace {

using Field = TfrmUserDefinedSheet::Field;
constexpr Field kFields[] = {TfrmUserDefinedSheet::fWidth, TfrmUserDefinedSheet::fHeight,
                             TfrmUserDefinedSheet::fThickness, TfrmUserDefinedSheet::fIx,
                             TfrmUserDefinedSheet::fSx};

// A sheet pile project in which "User Defined" was chosen right after "PZ 22".
TTWData UserDefinedAfterPZ22(TUnitSystem units)
{
    TTWData project;
    project.SetUnitSystem(units);
    project.SetPileType(tw::TPileType::ptSheetPile);
    project.ApplySelectionRules();
    int index = -1;
    for (std::size_t i = 0; i < project.SteelShapes().size(); ++i)
        if (project.SteelShapes()[i].Name == "PZ 22")
            index = static_cast<int>(i);
    if (index < 0)
        qFatal("PZ 22 is not in the sheet pile catalogue");
    project.SelectSection(index);
    project.SelectSection(-1);
    return project;
}

QStringList Texts(const TfrmUserDefinedSheet& dialog)
{
    QStringList texts;
    for (const Field f : kFields)
        texts << dialog.edit(f)->text();
    return texts;
}

QStringList Units(const TfrmUserDefinedSheet& dialog)
{
    QStringList units;
    for (const Field f : kFields)
        units << dialog.unitLabel(f)->text();
    return units;
}

void Retype(TNumericEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// Runs EditUserSheetPile, calling `act` on the dialog once it is shown. A dialog still open
// after five seconds is closed so a failing test cannot hang.
bool RunEditor(TTWData& project, const std::function<void(TfrmUserDefinedSheet*)>& act)
{
    QTimer::singleShot(0, [act] {
        if (auto* dialog = qobject_cast<TfrmUserDefinedSheet*>(QApplication::activeModalWidget()))
            act(dialog);
    });
    QTimer::singleShot(5000, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    // The dialog edits the project through the form of a window that shows it.
    tw::form::TMainForm form(project);
    form.AfterOpen();
    return tw::ui::EditUserSheetPile(form, nullptr).has_value();
}

} // namespace

class UserDefinedSheetTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void windowLayout()
    {
        TfrmUserDefinedSheet dialog;
        dialog.load(TSteelShape{}, false);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.windowTitle(), QString("User Defined Sheet Pile"));
        QVERIFY(dialog.isModal());
        // The designed client height, and wide enough for the caption in the window frame.
        QCOMPARE(dialog.height(), 186);
        QVERIFY(dialog.width() >= 214);
        QVERIFY(dialog.width() >=
                QFontMetrics(QApplication::font()).horizontalAdvance(dialog.windowTitle()) + 100);
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QCOMPARE(dialog.okButton()->text(), QString("OK"));
        QCOMPARE(dialog.cancelButton()->text(), QString("Cancel"));

        // Buttons at the bottom right, OK first, below the last row.
        const QRect ok = dialog.okButton()->geometry();
        const QRect cancel = dialog.cancelButton()->geometry();
        QVERIFY(ok.right() < cancel.left());
        QVERIFY(dialog.width() - cancel.right() < 20);
        QVERIFY(dialog.height() - cancel.bottom() < 20);
        const TNumericEdit* lastEdit = dialog.edit(TfrmUserDefinedSheet::fSx);
        QVERIFY(ok.top() > lastEdit->mapTo(&dialog, QPoint(0, lastEdit->height())).y());

        // Every control lies wholly inside the client area, edits right-aligned and each row
        // in caption - edit - unit order.
        for (QWidget* child : dialog.findChildren<QWidget*>()) {
            if (!child->isVisible())
                continue;
            const QRect area(child->mapTo(&dialog, QPoint(0, 0)), child->size());
            QVERIFY2(dialog.rect().contains(area), qPrintable(child->metaObject()->className()));
        }
        for (const Field f : kFields) {
            TNumericEdit* edit = dialog.edit(f);
            QCOMPARE(edit->alignment() & Qt::AlignRight, Qt::AlignRight);
            const QLabel* unit = dialog.unitLabel(f);
            QVERIFY(edit->mapTo(&dialog, QPoint(edit->width(), 0)).x() <=
                    unit->mapTo(&dialog, QPoint(0, 0)).x());
            // The unit label is wide enough for its text.
            QVERIFY(unit->width() >= unit->fontMetrics().horizontalAdvance("cm^4"));
        }
    }

    void showsTheLastCataloguePileInEnglish()
    {
        const TTWData project = UserDefinedAfterPZ22(TUnitSystem::usEnglish);
        TfrmUserDefinedSheet dialog;
        dialog.load(project.GetSection(), false);
        QCOMPARE(Texts(dialog), QStringList({"22.00", "9.00", "0.38", "84.38", "18.10"}));
        QCOMPARE(Units(dialog), QStringList({"in", "in", "in", "in^4", "in^3"}));
    }

    void siRelabelsTheUnits()
    {
        const TTWData project = UserDefinedAfterPZ22(TUnitSystem::usSI);
        TfrmUserDefinedSheet dialog;
        dialog.load(project.GetSection(), true);
        QCOMPARE(Units(dialog), QStringList({"cm", "cm", "cm", "cm^4", "cm^3"}));
        // The SI catalogue row of PZ 22.
        QCOMPARE(Texts(dialog), QStringList({"55.90", "22.00", "0.95", "11500.00", "973.00"}));
        // The captions have no "in" to replace.
        QStringList captions;
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            if (label->buddy() != nullptr)
                captions << label->text();
        QCOMPARE(captions, QStringList({"Width", "Height", "Thickness", "Ix", "Sx"}));

        // Loading again in English puts the English labels back.
        dialog.load(project.GetSection(), false);
        QCOMPARE(Units(dialog), QStringList({"in", "in", "in", "in^4", "in^3"}));
    }

    void cancelLeavesTheProjectUntouched()
    {
        TTWData project = UserDefinedAfterPZ22(TUnitSystem::usEnglish);
        const TSteelShape before = project.UserSection;
        const bool confirmed = RunEditor(project, [](TfrmUserDefinedSheet* dialog) {
            Retype(dialog->edit(TfrmUserDefinedSheet::fWidth), "99");
            Retype(dialog->edit(TfrmUserDefinedSheet::fIx), "1.5");
            dialog->cancelButton()->click();
        });
        QVERIFY(!confirmed);
        QCOMPARE(project.UserSection, before);

        // Escape cancels too.
        const bool escaped = RunEditor(project, [](TfrmUserDefinedSheet* dialog) {
            Retype(dialog->edit(TfrmUserDefinedSheet::fSx), "7");
            QTest::keyClick(dialog->edit(TfrmUserDefinedSheet::fSx), Qt::Key_Escape);
        });
        QVERIFY(!escaped);
        QCOMPARE(project.UserSection, before);
    }

    void okStoresTheTypedValues()
    {
        TTWData project = UserDefinedAfterPZ22(TUnitSystem::usEnglish);
        const TSteelShape before = project.UserSection;
        const bool confirmed = RunEditor(project, [](TfrmUserDefinedSheet* dialog) {
            // Pasted text is not filtered: the thousands separator is dropped on reading.
            dialog->edit(TfrmUserDefinedSheet::fWidth)->selectAll();
            dialog->edit(TfrmUserDefinedSheet::fWidth)->insert("1,234.5");
            Retype(dialog->edit(TfrmUserDefinedSheet::fHeight), "12.25");
            Retype(dialog->edit(TfrmUserDefinedSheet::fThickness), "-0.5");
            Retype(dialog->edit(TfrmUserDefinedSheet::fIx), "0");
            dialog->edit(TfrmUserDefinedSheet::fSx)->setText("abc");
            dialog->okButton()->click();
        });
        QVERIFY(confirmed);
        const TSteelShape& s = project.UserSection;
        QCOMPARE(static_cast<double>(s.d), 1234.5);
        QCOMPARE(static_cast<double>(s.bf), 12.25);
        QCOMPARE(static_cast<double>(s.tw), -0.5);
        QCOMPARE(static_cast<double>(s.Ix), 0.0);
        // Text that is not a number reads as 0.
        QCOMPARE(static_cast<double>(s.Sx), 0.0);
        // The fields the dialog does not show keep their values.
        QCOMPARE(s.Name, before.Name);
        QCOMPARE(s.Zx, before.Zx);
        QCOMPARE(s.A, before.A);
        QCOMPARE(s.k1, before.k1);
        // The section the analysis reads is the edited one.
        QCOMPARE(project.GetSection(), s);
    }

    void okWithoutChangesKeepsTheValues()
    {
        TTWData project = UserDefinedAfterPZ22(TUnitSystem::usSI);
        const TSteelShape before = project.UserSection;
        QVERIFY(
            RunEditor(project, [](TfrmUserDefinedSheet* dialog) { dialog->okButton()->click(); }));
        // Values with more decimals than shown come back as shown.
        QCOMPARE(static_cast<double>(project.UserSection.d), 55.9);
        QCOMPARE(static_cast<double>(project.UserSection.Ix), 11500.0);
        QCOMPARE(project.UserSection.Name, before.Name);
    }

    void leavingAnEditReformatsIt()
    {
        TfrmUserDefinedSheet dialog;
        dialog.load(TSteelShape{}, false);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        TNumericEdit* width = dialog.edit(TfrmUserDefinedSheet::fWidth);
        TNumericEdit* height = dialog.edit(TfrmUserDefinedSheet::fHeight);
        width->setFocus();
        width->setText("1,234.5");
        QTest::keyClick(width, Qt::Key_Tab);
        QCOMPARE(width->text(), QString("1234.50"));
        QVERIFY(height->hasFocus());

        Retype(height, "abc-");
        QTest::keyClick(height, Qt::Key_Backtab);
        QCOMPARE(height->text(), QString("0.00"));
        QVERIFY(width->hasFocus());
    }

    void enterMovesToTheNextControl()
    {
        TfrmUserDefinedSheet dialog;
        dialog.load(TSteelShape{}, false);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.edit(TfrmUserDefinedSheet::fWidth)->setFocus();
        for (int i = 1; i < 5; ++i) {
            Retype(dialog.edit(kFields[i - 1]), "7.125");
            QTest::keyClick(dialog.edit(kFields[i - 1]), Qt::Key_Return);
            QVERIFY(dialog.isVisible());
            QVERIFY(dialog.edit(kFields[i])->hasFocus());
            QCOMPARE(dialog.edit(kFields[i - 1])->text(), QString("7.13"));
        }
        // From the last edit Enter goes on to OK, and there it confirms.
        QTest::keyClick(dialog.edit(TfrmUserDefinedSheet::fSx), Qt::Key_Enter);
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.okButton()->hasFocus());
        QTest::keyClick(dialog.okButton(), Qt::Key_Return);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        // Leaving an edit rounded it to the two decimals shown.
        QCOMPARE(static_cast<double>(dialog.section().Ix), 7.13);
    }

    void enterOnCancelCancels()
    {
        TfrmUserDefinedSheet dialog;
        dialog.load(TSteelShape{}, false);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.cancelButton()->setFocus();
        QTest::keyClick(dialog.cancelButton(), Qt::Key_Return);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void decimalCommaLocale()
    {
        TfrmUserDefinedSheet dialog;
        TNumericEdit* width = dialog.edit(TfrmUserDefinedSheet::fWidth);
        width->setNumberFormat({",", "."});
        TSteelShape shape;
        shape.d = 1234.5L;
        dialog.load(shape, false);
        QCOMPARE(width->text(), QString("1234,50"));
        width->setText("2.345,75");
        QCOMPARE(static_cast<double>(dialog.section().d), 2345.75);
    }
};

QTEST_MAIN(UserDefinedSheetTest)
#include "UserDefinedSheetTest.moc"
