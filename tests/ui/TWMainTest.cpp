// The main window's own behaviour on top of the form model: typing, leaving, choosing, focus
// and Enter, the animated sections, the hint window, the option pairs, the title block and the
// error display. The form's decisions themselves are tested on the form model.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QBuffer>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <memory>

#include "support/WindowActions.h"
#include "ui/CollapsibleSection.h"
#include "ui/NumericEdit.h"
#include "ui/TWMain.h"
#include "ui/UserDefinedSheet.h"

using namespace tw::form;
using tw::ui::TCollapsibleSection;
using tw::ui::TNumericEdit;

namespace {

QString Text(const QWidget* box)
{
    return static_cast<const QLineEdit*>(box)->text();
}

} // namespace

class TWMainTest : public QObject, public TWindowActions
{
    Q_OBJECT

private:
    std::unique_ptr<tw::TTWData> project_;
    std::unique_ptr<TfrmTWMain> window_;
    QStringList errors_;

    TfrmTWMain& W() override { return *window_; }
    // The messages shown so far (the window shows them from the event loop).
    const QStringList& Errors()
    {
        QCoreApplication::processEvents();
        return errors_;
    }
    TCollapsibleSection* Sec(Section s)
    {
        return qobject_cast<TCollapsibleSection*>(W().sectionWidget(s));
    }
    // The section has come to rest expanded (its rows all shown) or collapsed.
    bool Expanded(Section s)
    {
        TCollapsibleSection* section = Sec(s);
        return !section->isAnimating() && section->bodyHeight() > 0 &&
               section->bodyHeight() == section->expandedBodyHeight();
    }
    bool Collapsed(Section s) { return !Sec(s)->isAnimating() && Sec(s)->bodyHeight() == 0; }
    static QRect GlobalRect(const QWidget* widget)
    {
        return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    }
    // The hint shows to the right of the inputs column, level with its control, covering no
    // input.
    bool HintBeside(const QWidget* control)
    {
        const QRect hint = W().hintWindow()->geometry();
        return W().hintWindow()->isVisible() &&
               hint.left() >= GlobalRect(W().inputsColumn()).right() &&
               hint.top() == control->mapToGlobal(QPoint(0, 0)).y();
    }

    // Chooses a list entry as the user does: open the list, pick the entry, press Enter.
    void Choose(List list, const QString& item)
    {
        QComboBox* combo = W().listWidget(list);
        const int index = combo->findText(item);
        QVERIFY2(index >= 0, qPrintable(item));
        Focus(combo);
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        QTRY_VERIFY(view->isVisible());
        view->setCurrentIndex(view->model()->index(index, 0));
        QTest::keyClick(view, Qt::Key_Return);
        QTRY_VERIFY(!view->isVisible());
        // The offscreen platform reports the closed drop-down as the active window a moment
        // later; a desktop gives the activation back to the main window, here the test does.
        QTest::qWait(30);
        W().activateWindow();
        QTRY_VERIFY(QApplication::activeWindow() == &W());
        QVERIFY(combo->hasFocus());
        QCOMPARE(combo->currentText(), item);
        QCOMPARE(W().form().ListState(list).index, index);
    }

private slots:
    void init()
    {
        project_ = std::make_unique<tw::TTWData>();
        project_->ExampleFolder = TW_BINARY_DIR "/cli";
        window_ = std::make_unique<TfrmTWMain>(*project_);
        window_->runUpdateCheck = {}; // no network in tests
        errors_.clear();
        W().showError = [this](const QString& message) { errors_ << message; };
        W().resize(1600, 900);
        W().show();
        QApplication::setActiveWindow(window_.get());
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        W().NewProject();
        QVERIFY2(Errors().isEmpty(), qPrintable(Errors().join('\n')));
        // The English example: a soldier beam with timber lagging and a guardrail.
        QCOMPARE(W().listWidget(List::PileType)->currentText(),
                 QString("Soldier Beam (King Pile)"));
        QTRY_VERIFY(Expanded(Section::GeneralData));
    }

    void cleanup()
    {
        window_.reset();
        project_.reset();
    }

    void everyPartHasItsWidgetInItsSection()
    {
        for (int i = 0; i < kBoxCount; ++i) {
            const auto box = static_cast<Box>(i);
            QWidget* widget = W().boxWidget(box);
            QVERIFY2(widget != nullptr, BoxDef(box).name.data());
            QVERIFY2(W().sectionWidget(BoxDef(box).section)->isAncestorOf(widget),
                     BoxDef(box).name.data());
            QVERIFY(qobject_cast<TNumericEdit*>(widget) != nullptr);
        }
        for (int i = 0; i < kListCount; ++i) {
            const auto list = static_cast<List>(i);
            QVERIFY2(W().listWidget(list) != nullptr, ListDef(list).name.data());
            QVERIFY(W().sectionWidget(ListDef(list).section)->isAncestorOf(W().listWidget(list)));
        }
        for (int i = 0; i < kCheckCount; ++i) {
            const auto check = static_cast<Check>(i);
            QAbstractButton* button = W().checkWidget(check);
            QVERIFY2(button != nullptr, CheckDef(check).name.data());
            QVERIFY(W().sectionWidget(CheckDef(check).section)->isAncestorOf(button));
            QCOMPARE(button->text(), QString::fromUtf8(CheckDef(check).caption.data()));
        }
        for (int i = 0; i < kVerdictCount; ++i) {
            const auto verdict = static_cast<Verdict>(i);
            QVERIFY2(W().verdictWidget(verdict) != nullptr, VerdictDef(verdict).name.data());
            QVERIFY(W().sectionWidget(VerdictDef(verdict).section)
                        ->isAncestorOf(W().verdictWidget(verdict)));
        }
        // Each column holds its own sections.
        for (int i = 0; i < kSectionCount; ++i) {
            const auto section = static_cast<Section>(i);
            QScrollArea* column =
                IsResultSection(section) ? W().resultsColumn() : W().inputsColumn();
            QVERIFY(column->widget()->isAncestorOf(W().sectionWidget(section)));
        }
        QCOMPARE(W().inputsColumn()->width(), 299);
        QCOMPARE(W().resultsColumn()->width(), 430);
        QCOMPARE(Caption(), QString("Brenmoor Tarnwick"));
    }

    void typingFiltersAndLeavingCommits()
    {
        const QString lengthBefore = Text(W().boxWidget(Box::ResTotalLength));
        const QString momentBefore = Text(W().boxWidget(Box::ResMaxMomentBelow));
        Type(Box::ShoredHeight, "1x2a");
        // Letters are discarded while typing; nothing is recalculated yet.
        QCOMPARE(Text(W().boxWidget(Box::ShoredHeight)), QString("12"));
        QCOMPARE(Text(W().boxWidget(Box::ResTotalLength)), lengthBefore);
        QVERIFY(W().form().Modified());
        Leave();
        QCOMPARE(static_cast<double>(project_->ShoredHeight), 12.0);
        QCOMPARE(Text(W().boxWidget(Box::ShoredHeight)), QString("12.00"));
        QVERIFY(Text(W().boxWidget(Box::ResTotalLength)) != lengthBefore);
        QVERIFY(Text(W().boxWidget(Box::ResMaxMomentBelow)) != momentBefore);

        // Out of its limits, a value is brought into them when the box is left.
        Type(Box::ShoredHeight, "99");
        Leave();
        QCOMPARE(Text(W().boxWidget(Box::ShoredHeight)), QString("30.00"));

        // A comma where the decimal point belongs reads as the point; an exponent is refused
        // and the box's hint says why.
        Type(Box::ShoredHeight, "12,5");
        Leave();
        QCOMPARE(Text(W().boxWidget(Box::ShoredHeight)), QString("12.50"));
        Type(Box::ShoredHeight, "1e");
        QCOMPARE(Text(W().boxWidget(Box::ShoredHeight)), QString("1"));
        QVERIFY(HintBeside(W().boxWidget(Box::ShoredHeight)));
        QVERIFY2(W().hintWindow()->text().contains("exponent"),
                 qPrintable(W().hintWindow()->text()));
        QVERIFY(Errors().isEmpty());
    }

    void barCountTakesAnyTextAndReadsItsNumber()
    {
        QVERIFY(W().form().Project().Reinforcement != tw::TReinforcement::rfRebarCage);
        Choose(List::Reinforcement, "Rebar Cage");
        // "Number of Bars" has no key filter: the text is read as a number on leaving.
        Type(Box::BarCount, "1o");
        QCOMPARE(Text(W().boxWidget(Box::BarCount)), QString("1o"));
        Leave();
        QCOMPARE(project_->BarCount, 4); // not a number: 0, bounded below by 4 for ties
        QCOMPARE(Text(W().boxWidget(Box::BarCount)), QString("4"));
        QVERIFY(Errors().isEmpty());
    }

    void leavingWithoutTypingRecalculatesToo()
    {
        // The project changed behind the window: leaving any box recalculates.
        project_->ShoredHeight = 20;
        Focus(W().boxWidget(Box::PileSpacing));
        Leave();
        QCOMPARE(static_cast<double>(project_->ShoredHeight), 15.0); // the box is the truth
        QCOMPARE(Text(W().boxWidget(Box::ShoredHeight)), QString("15.00"));
    }

    void listChoiceTakesEffectAtOnce()
    {
        QVERIFY(!Sec(Section::Checks)->isHidden());
        QVERIFY(Sec(Section::SectionCheck)->isHidden());
        auto* spacing = qobject_cast<TNumericEdit*>(W().boxWidget(Box::PileSpacing));
        QVERIFY(!spacing->readOnlyLook());
        Choose(List::PileType, "Sheet Pile");
        // No need to leave the list: the window shows the sheet pile wall already.
        QVERIFY(W().listWidget(List::PileType)->hasFocus());
        QVERIFY(Sec(Section::Checks)->isHidden());
        QVERIFY(!Sec(Section::SectionCheck)->isHidden());
        QVERIFY(spacing->readOnlyLook());
        QCOMPARE(spacing->palette().color(QPalette::Base),
                 QColor::fromRgb(tw::ui::kReadOnlyColour));
        QCOMPARE(spacing->text(), QString("1.00"));
        // One beam type list makes room for the other; the depth box for the reinforcement.
        QVERIFY(!W().listWidget(List::SteelLibrary)->isVisibleTo(Sec(Section::StructuralData)));
        QVERIFY(W().listWidget(List::SheetLibrary)->isVisibleTo(Sec(Section::StructuralData)));
        QVERIFY(W().boxWidget(Box::SheetPileDepth)->isVisibleTo(Sec(Section::GeneralData)));
        QVERIFY(!W().listWidget(List::Reinforcement)->isVisibleTo(Sec(Section::GeneralData)));
        QVERIFY(!Sec(Section::LaggingInput)->isVisibleTo(&W()));
        // A sheet pile is driven: "Drilled" is offered greyed, it cannot be chosen.
        QComboBox* install = W().listWidget(List::InstallMethod);
        const QModelIndex drilled = install->model()->index(install->findText("Drilled"), 0);
        QVERIFY(!(install->model()->flags(drilled) & Qt::ItemIsEnabled));
        QVERIFY(Errors().isEmpty());
    }

    void enterMovesTheFocusOn()
    {
        Type(Box::ShoredHeight, "14");
        QTest::keyClick(W().boxWidget(Box::ShoredHeight), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), W().boxWidget(Box::PileSpacing));
        // Leaving by Enter commits like leaving by Tab.
        QCOMPARE(static_cast<double>(project_->ShoredHeight), 14.0);
        QTest::keyClick(W().boxWidget(Box::PileSpacing), Qt::Key_Enter);
        QCOMPARE(QApplication::focusWidget(), W().boxWidget(Box::PileWidth));

        // In a list Enter moves on as well and does not open it.
        Focus(W().listWidget(List::Units));
        QTest::keyClick(W().listWidget(List::Units), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), W().listWidget(List::AnalysisMethod));
        QCOMPARE(W().listWidget(List::Units)->currentText(), QString("English"));
    }

    // Tab goes through what can be typed or pressed: read-only boxes are left out, the Logo
    // button is in, between the date and the inputs column.
    void tabChainSkipsReadOnlyBoxesAndReachesTheLogoButton()
    {
        QWidget* units = W().listWidget(List::Units);
        Focus(units);
        QTest::keyClick(units, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), W().logoButton());
        QTest::keyClick(W().logoButton(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), units);

        // Down the whole inputs column (each section opens as the focus reaches it).
        QStringList readOnlyStops;
        bool passedTheInclination = false;
        for (int i = 0; i < 300 && !readOnlyStops.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focus = QApplication::focusWidget();
            if (!W().inputsColumn()->isAncestorOf(focus))
                break;
            if (auto* edit = qobject_cast<TNumericEdit*>(focus); edit && edit->isReadOnly())
                readOnlyStops << edit->parentWidget()->findChild<QLabel*>()->text();
            if (focus == W().boxWidget(Box::BackfillUnitWeight))
                passedTheInclination = true;
        }
        QVERIFY2(readOnlyStops.isEmpty(), qPrintable(readOnlyStops.join(", ")));
        QVERIFY(passedTheInclination);
    }

    // The window cannot be made so small that the first rows of the inputs are out of view.
    void theWindowKeepsRoomForTheInputs()
    {
        W().resize(100, 100);
        QCoreApplication::processEvents();
        QWidget* pileType = W().listWidget(List::PileType);
        const QRect row(pileType->mapTo(W().inputsColumn()->viewport(), QPoint(0, 0)),
                        pileType->size());
        QVERIFY(W().inputsColumn()->viewport()->rect().contains(row));
    }

    void focusInACollapsedSectionExpandsIt()
    {
        QVERIFY(Collapsed(Section::BackfillSoils));
        // Tab from the last box of "General Data" into "Backfill Soils".
        Focus(W().boxWidget(Box::PileWidth));
        Leave();
        QCOMPARE(QApplication::focusWidget(), W().listWidget(List::SoilMethod));
        // The heights move in steps...
        QVERIFY(Sec(Section::BackfillSoils)->isAnimating());
        QVERIFY(Sec(Section::GeneralData)->isAnimating());
        // ...and end exactly at the rows' height and at the caption bar.
        QTRY_VERIFY(Expanded(Section::BackfillSoils));
        QTRY_VERIFY(Collapsed(Section::GeneralData));
        QVERIFY(W().form().SectionState(Section::BackfillSoils).expanded);
        QVERIFY(!W().form().SectionState(Section::GeneralData).expanded);

        // A box deep down in a collapsed section: expanded and scrolled into view.
        W().resize(1400, 500);
        QWidget* deep = W().boxWidget(Box::GuardrailSFBending);
        Focus(deep);
        QTRY_VERIFY(Expanded(Section::GuardrailInput));
        QTRY_VERIFY(Collapsed(Section::BackfillSoils));
        const QRect visible(QPoint(0, 0), W().inputsColumn()->viewport()->size());
        QTRY_VERIFY(visible.contains(
            QRect(deep->mapTo(W().inputsColumn()->viewport(), QPoint(0, 0)), deep->size())));
        // The results column keeps its own expanded section.
        QTRY_VERIFY(Expanded(Section::Coulomb));
    }

    void captionClickToggles()
    {
        TCollapsibleSection* passive = Sec(Section::PassiveSoils);
        QTest::mouseClick(passive->captionBar(), Qt::LeftButton);
        QTRY_VERIFY(Expanded(Section::PassiveSoils));
        QTRY_VERIFY(Collapsed(Section::GeneralData));
        // A click on the caption text counts as a click on the bar.
        QTest::mouseClick(passive->captionLabel(), Qt::LeftButton);
        QTRY_VERIFY(Collapsed(Section::PassiveSoils));
        QVERIFY(!W().form().SectionState(Section::PassiveSoils).expanded);

        // Result sections, with the caption's verdict mark.
        QTest::mouseClick(Sec(Section::Checks)->captionBar(), Qt::LeftButton);
        QTRY_VERIFY(Expanded(Section::Checks));
        QTRY_VERIFY(Collapsed(Section::Coulomb));
        QVERIFY(W().sectionMarkWidget(Section::Checks)->isVisibleTo(&W()));
        QVERIFY(!W().sectionMarkWidget(Section::Coulomb)->isVisibleTo(&W()));
        QVERIFY(W().verdictWidget(Verdict::Moment)->isVisibleTo(&W()));
    }

    void rowsFollowTheirState()
    {
        // A section that is expanded follows its rows at once when some come or go.
        Focus(W().listWidget(List::LaggingType));
        QTRY_VERIFY(Expanded(Section::LaggingInput));
        const int timber = Sec(Section::LaggingInput)->bodyHeight();
        Choose(List::LaggingType, "None");
        QVERIFY(!W().boxWidget(Box::ArchingFactor)->isVisibleTo(&W()));
        QTRY_VERIFY(Expanded(Section::LaggingInput));
        QVERIFY(Sec(Section::LaggingInput)->bodyHeight() < timber);
        QVERIFY(Sec(Section::LaggingResult)->isHidden());

        // Disabled rows: the strip load values until "Strip Load" is checked.
        QVERIFY(!W().boxWidget(Box::StripPressure)->isEnabled());
        QTest::mouseClick(W().checkWidget(Check::StripLoad), Qt::LeftButton);
        QVERIFY(W().form().CheckState(Check::StripLoad).checked);
        QVERIFY(project_->StripLoadOn);
        QVERIFY(W().boxWidget(Box::StripPressure)->isEnabled());
    }

    void hintShowsUnderOverrideUntilCommit()
    {
        Choose(List::PileType, "Tangent Pile");
        Choose(List::Reinforcement, "Rebar Cage");
        QVERIFY(!W().hintWindow()->isVisible());
        QWidget* override = W().boxWidget(Box::TieSpacingOverride);
        Focus(override);
        QVERIFY(W().hintWindow()->isVisible());
        QVERIFY(W().hintWindow()->text().startsWith("Per ACI 9.7.6.4.3"));
        QVERIFY(W().hintWindow()->width() <= 300);
        // Beside the inputs column, level with the box, also once the section has opened.
        QTRY_VERIFY(Expanded(Section::StructuralData));
        QTRY_VERIFY(HintBeside(override));
        // Leaving the box commits it, and the commit hides the hint.
        Leave();
        QVERIFY(!W().hintWindow()->isVisible());
        QVERIFY(Errors().isEmpty());
    }

    void optionPairsAndTheInformationButton()
    {
        QVERIFY(!W().checkWidget(Check::AllowablePassive)->isVisibleTo(&W()));
        Choose(List::SoilMethod, "Equivalent Fluid Pressure");
        QAbstractButton* allowable = W().checkWidget(Check::AllowablePassive);
        QAbstractButton* ultimate = W().uncheckedOptionWidget(Check::AllowablePassive);
        QVERIFY(allowable->isVisibleTo(&W()));
        QCOMPARE(ultimate->text(), QString("Ultimate Passive"));
        QVERIFY(ultimate->isChecked());
        QVERIFY(!allowable->isChecked());

        Focus(W().boxWidget(Box::PassiveEFP));
        QTRY_VERIFY(Expanded(Section::PassiveSoils));
        QTest::mouseClick(allowable, Qt::LeftButton);
        QVERIFY(allowable->isChecked());
        QVERIFY(!ultimate->isChecked());
        QVERIFY(project_->AllowablePassive);
        QTest::mouseClick(ultimate, Qt::LeftButton);
        QVERIFY(!project_->AllowablePassive);

        // The information button shows its text under the option buttons.
        QToolButton* info = W().passiveInfoButton();
        QVERIFY(info->isVisibleTo(&W()));
        QTest::mouseClick(info, Qt::LeftButton);
        QVERIFY(W().hintWindow()->isVisible());
        QCOMPARE(W().hintWindow()->text(),
                 QString::fromUtf8(kPassiveInfoHint.data(), kPassiveInfoHint.size()));
        // Beside the column: both option buttons stay clear to click.
        QVERIFY(HintBeside(ultimate));
        for (QWidget* button : {static_cast<QWidget*>(ultimate), static_cast<QWidget*>(allowable)})
            QVERIFY(!W().hintWindow()->geometry().intersects(GlobalRect(button)));
        QVERIFY(W().hintWindow()->width() <= 300);
        // Esc closes it, and so does a click elsewhere.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!W().hintWindow()->isVisible());
        QTest::mouseClick(info, Qt::LeftButton);
        QVERIFY(W().hintWindow()->isVisible());
        QTest::mouseClick(W().boxWidget(Box::ResKa), Qt::LeftButton);
        QVERIFY(!W().hintWindow()->isVisible());
        // The next commit hides it.
        QTest::mouseClick(info, Qt::LeftButton);
        QVERIFY(W().hintWindow()->isVisible());
        Type(Box::Cohesion, "10");
        Leave();
        QVERIFY(!W().hintWindow()->isVisible());

        // Back to the Coulomb method: the pair and its button go.
        Choose(List::SoilMethod, "Coulomb Method");
        QVERIFY(!allowable->isVisibleTo(&W()));
        QVERIFY(!info->isVisibleTo(&W()));
    }

    void analysisErrorKeepsTheResults()
    {
        // Timber lagging with a pier wider than the spacing cannot be analysed.
        QCOMPARE(W().listWidget(List::LaggingType)->currentText(), QString("Timber Lagging"));
        Type(Box::PileWidth, "6");
        Leave();
        QVERIFY2(Errors().isEmpty(), qPrintable(Errors().join('\n')));
        QVERIFY(!W().failureBanner()->isVisible());
        const Box kept[] = {Box::ResKa, Box::ResTotalLength, Box::ResMaxMomentBelow,
                            Box::ResMomentUtilization, Box::ResLagPressure};
        QStringList before;
        for (Box b : kept)
            before << Text(W().boxWidget(b));
        Type(Box::PileSpacing, "2");
        Leave();
        QVERIFY2(Errors().size() == 1, qPrintable(Errors().join("|")));
        QVERIFY(!Errors().front().isEmpty());
        // The results stay, greyed, under a banner that names the failure.
        for (std::size_t i = 0; i < std::size(kept); ++i) {
            QCOMPARE(Text(W().boxWidget(kept[i])), before[static_cast<int>(i)]);
            QVERIFY(!W().boxWidget(kept[i])->isEnabled());
        }
        QVERIFY(!W().verdictWidget(Verdict::Moment)->isEnabled());
        QVERIFY(W().failureBanner()->isVisible());
        const QString banner = W().failureBanner()->findChild<QLabel*>("text")->text();
        QVERIFY2(banner.contains(Errors().front()), qPrintable(banner));
        QVERIFY(banner.contains("from the last successful analysis"));
        // The box keeps what was typed. Going back to the box and leaving it analyses again;
        // the same failure is not shown in a message again.
        QCOMPARE(Text(W().boxWidget(Box::PileSpacing)), QString("2"));
        Focus(W().boxWidget(Box::PileSpacing));
        Leave();
        Type(Box::ShoredHeight, "16");
        Leave();
        QCOMPARE(Errors().size(), 1);
        QVERIFY(W().failureBanner()->isVisible());
        // Mended: the banner goes and the results are current again.
        Type(Box::PileSpacing, "8");
        Leave();
        QCOMPARE(Errors().size(), 1);
        QCOMPARE(static_cast<double>(project_->PileSpacing), 8.0);
        QVERIFY(!W().failureBanner()->isVisible());
        QVERIFY(W().boxWidget(Box::ResLagPressure)->isEnabled());
        QVERIFY(W().verdictWidget(Verdict::Moment)->isEnabled());
        // The same failure after a success is news again.
        Type(Box::PileSpacing, "2");
        Leave();
        QCOMPARE(Errors().size(), 2);
    }

    void focusGivenBackKeepsTheOpenSection()
    {
        // The box in "General Data" keeps the focus while the user opens another section.
        QWidget* height = W().boxWidget(Box::ShoredHeight);
        Focus(height);
        QTest::mouseClick(Sec(Section::LaggingInput)->captionBar(), Qt::LeftButton);
        QTRY_VERIFY(Expanded(Section::LaggingInput));
        QTRY_VERIFY(Collapsed(Section::GeneralData));
        QVERIFY(height->hasFocus());
        // The focus coming back when the window is activated again, or a menu or drop-down
        // closes, is not the user moving to the box.
        for (const Qt::FocusReason reason :
             {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason, Qt::MenuBarFocusReason}) {
            QFocusEvent focusIn(QEvent::FocusIn, reason);
            QApplication::sendEvent(height, &focusIn);
            QTest::qWait(50);
            QVERIFY2(Expanded(Section::LaggingInput), qPrintable(QString::number(reason)));
            QVERIFY(Collapsed(Section::GeneralData));
        }
        // The user moving there does expand its section.
        QFocusEvent byTab(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(height, &byTab);
        QTRY_VERIFY(Expanded(Section::GeneralData));
    }

    void unitSwitchNoteTellsWhatChangedAndGoesWithUndo()
    {
        QVERIFY(!W().noticeBanner()->isVisible());
        Choose(List::Units, "SI");
        QVERIFY(W().noticeBanner()->isVisible());
        const QString text = W().noticeBanner()->findChild<QLabel*>("text")->text();
        QVERIFY2(text.contains("not converted") && text.contains("Shored Height, H 15.00 m to "
                                                                 "9.00 m"),
                 qPrintable(text));
        W().noticeBanner()->findChild<QToolButton*>("DismissNotice")->click();
        QVERIFY(!W().noticeBanner()->isVisible());
        // Switched again, and the switch undone.
        Choose(List::Units, "English");
        QVERIFY(W().noticeBanner()->isVisible());
        W().AUndo()->trigger();
        QVERIFY(!W().noticeBanner()->isVisible());
    }

    void wheelOverAListScrollsTheColumn()
    {
        W().resize(1400, 400);
        QTRY_VERIFY(W().inputsColumn()->verticalScrollBar()->maximum() > 0);
        QScrollBar* bar = W().inputsColumn()->verticalScrollBar();
        bar->setValue(0);
        QComboBox* analysis = W().listWidget(List::AnalysisMethod);
        QVERIFY(!analysis->hasFocus());
        const QPointF at(analysis->rect().center());
        QWheelEvent wheel(at, analysis->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&wheel); // as from the mouse
        QApplication::sendEvent(analysis, &wheel);
        QCOMPARE(analysis->currentIndex(), 0);
        QCOMPARE(W().form().ListState(List::AnalysisMethod).index, 0);
        QVERIFY(bar->value() > 0);
        // With the focus, the list takes the wheel.
        bar->setValue(0);
        Focus(analysis);
        QWheelEvent focused(at, analysis->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                            Qt::NoModifier, Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&focused);
        QApplication::sendEvent(analysis, &focused);
        QCOMPARE(analysis->currentIndex(), 1);
        QCOMPARE(bar->value(), 0);
    }

    void userSheetButtonEditsTheSectionAndRecalculates()
    {
        Choose(List::PileType, "Sheet Pile");
        QToolButton* button = W().userSheetButton();
        QVERIFY(!button->isVisibleTo(&W()));
        Choose(List::SectionSize, "User Defined");
        QVERIFY(button->isVisibleTo(&W()));
        const QString before = Text(W().boxWidget(Box::ResSxProvided));
        // The dialog is modal: answer it from the event loop once it is up.
        bool answered = false;
        QTimer timer;
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, [&] {
            auto* dialog =
                qobject_cast<tw::ui::TfrmUserDefinedSheet*>(QApplication::activeModalWidget());
            if (dialog == nullptr)
                return;
            timer.stop();
            answered = true;
            dialog->edit(tw::ui::TfrmUserDefinedSheet::fSx)->setText("123");
            dialog->okButton()->click();
        });
        timer.start();
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(answered);
        QCOMPARE(static_cast<double>(project_->GetSection().Sx), 123.0);
        QVERIFY(Text(W().boxWidget(Box::ResSxProvided)) != before);
        QVERIFY(W().form().Modified());
        QVERIFY(Errors().isEmpty());
    }

    void titleBlock()
    {
        QLineEdit* organization = W().titleWidget(TitleText::Organization);
        QCOMPARE(organization->maxLength(), 255);
        QCOMPARE(W().titleWidget(TitleText::JobNumber)->text(), QString());
        Focus(organization);
        QTest::keyClicks(organization, "Z");
        QTest::sendKeyEvent(QTest::Click, organization, Qt::Key_Udiaeresis, QString(QChar(0xFC)),
                            Qt::NoModifier);
        QTest::keyClicks(organization, "rich Shoring");
        QCOMPARE(organization->text(), QString::fromUtf8("Z\u00fcrich Shoring"));
        Leave();
        QCOMPARE(project_->Organization, std::string("Z\xFCrich Shoring")); // Windows-1252

        // The date picker holds serial days since 30 December 1899.
        W().dateWidget()->setDate(QDate(2024, 3, 1));
        Focus(W().dateWidget());
        Leave();
        QCOMPARE(project_->ProjectDate, 45352.0);

        // The logo: fitted into 173 pixels, gone when cleared.
        QImage wide(800, 200, QImage::Format_RGB32);
        wide.fill(Qt::darkGreen);
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(wide.save(&buffer, "JPEG"));
        W().form().SetLogo(std::vector<uint8_t>(jpeg.begin(), jpeg.end()));
        W().Refresh();
        const QPixmap logo = W().logoWidget()->pixmap();
        QVERIFY(!logo.isNull());
        QCOMPARE(logo.width(), 173);
        QVERIFY(logo.height() <= W().logoWidget()->height());
        W().form().SetLogo({});
        W().Refresh();
        QVERIFY(W().logoWidget()->pixmap().isNull());
        // Bytes that are not a picture show nothing and do not fail.
        W().form().SetLogo({1, 2, 3});
        W().Refresh();
        QVERIFY(W().logoWidget()->pixmap().isNull());
    }

    void siProjectShowsSiUnits()
    {
        Choose(List::Units, "SI");
        const auto labels =
            W().boxWidget(Box::ShoredHeight)->parentWidget()->findChildren<QLabel*>();
        QStringList texts;
        for (QLabel* label : labels)
            texts << label->text();
        QVERIFY(texts.contains("m"));
        QCOMPARE(Text(W().boxWidget(Box::ShoredHeight)), QString("9.00"));
        QCOMPARE(Sec(Section::PressureResult)->captionLabel()->text(),
                 QString("Pressure Data (ASD) per m Length of Wall"));
        QVERIFY(Errors().isEmpty());
    }
};

QTEST_MAIN(TWMainTest)
#include "TWMainTest.moc"
