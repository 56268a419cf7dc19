// The main window: its creation, the accessors of its parts, and the events of its inputs
// (focus, leaving, Enter, the wheel, drops, hints) forwarded to the form.
#include "ui/TWMain.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <exception>
#include <string_view>
#include <utility>

#include "ui/Artwork.h"
#include "ui/CollapsibleSection.h"
#include "ui/Desktop.h"
#include "ui/DiagramView.h"
#include "ui/MainWindowParts.h"
#include "ui/NumericEdit.h"
#include "ui/PageControl.h"
#include "ui/VerdictMarks.h"

using namespace tw::form;
using tw::ui::TCollapsibleSection;
using tw::ui::TNumericEdit;
using tw::ui::TPageControl;
using namespace tw::ui::parts;

TfrmTWMain::TfrmTWMain(tw::TTWData& project, QWidget* parent)
    : QMainWindow(parent), form_(project, tw::ui::LocaleNumberFormat())
{
    setWindowTitle(QStringLiteral("Brenmoor Tarnwick"));
    // The columns have fixed widths; their rows are laid out for this font ("Arial" is
    // Liberation Sans where Arial itself is not installed).
    setFont(QFont(QStringLiteral("Arial"), 8));
    setObjectName(QStringLiteral("frmTWMain"));
    setWindowIcon(tw::ui::ProgramIcon());
    setAcceptDrops(true);
    showError = [this](const QString& message) {
        QMessageBox::critical(this, QStringLiteral("Tarnwick"), message);
    };
    askSaveChanges = [this] { return tw::ui::AskSaveChanges(this); };
    chooseOpenFile = [this](const QString& folder, const QString& offered) {
        return tw::ui::AskOpenProjectFile(this, folder, offered);
    };
    chooseSaveFile = [this](const QString& folder, const QString& offered) {
        return tw::ui::AskSaveProjectFile(this, folder, offered);
    };
    chooseLogoFile = [this](const QString& folder) { return tw::ui::AskLogoFile(this, folder); };
    openWithDesktop = [](const QUrl& address) { return tw::ui::OpenWithDesktop(address); };
    runUpdateCheck = [this](bool silent) { RunUpdateCheck(silent); };
    programFolder = tw::ui::ProgramFolder();
    passMark_ = tw::ui::PassMark(kMarkSize);
    failMark_ = tw::ui::FailMark(kMarkSize);
    warningMark_ = tw::ui::WarningMark(kMarkSize);
    BuildWidgets();
    BuildCommands();
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    Refresh();
    UpdateTitle();
}

TfrmTWMain::~TfrmTWMain()
{
    if (keepsSettings_)
        StorePlacement();
    // The inputs lose the focus while they are destroyed; that is not the user leaving them.
    busy_ = true;
    for (auto it = inputs_.cbegin(); it != inputs_.cend(); ++it)
        it.key()->removeEventFilter(this);
    logo_->removeEventFilter(this);
    logoArea_->removeEventFilter(this);
    columns_->removeEventFilter(this);
}

QWidget* TfrmTWMain::boxWidget(Box box) const
{
    return boxes_.at(N(box)).edit;
}

QComboBox* TfrmTWMain::listWidget(List list) const
{
    return lists_.at(N(list)).combo;
}

QAbstractButton* TfrmTWMain::checkWidget(Check check) const
{
    return checks_.at(N(check)).button;
}

QAbstractButton* TfrmTWMain::uncheckedOptionWidget(Check check) const
{
    return checks_.at(N(check)).other;
}

QWidget* TfrmTWMain::sectionWidget(Section section) const
{
    return sections_.at(N(section));
}

QLabel* TfrmTWMain::verdictWidget(Verdict verdict) const
{
    return verdicts_.at(N(verdict));
}

QLabel* TfrmTWMain::sectionMarkWidget(Section section) const
{
    return sections_.at(N(section))->markLabel();
}

QLineEdit* TfrmTWMain::titleWidget(TitleText text) const
{
    return titles_.at(N(text));
}

QList<QAction*> TfrmTWMain::recentFileActions() const
{
    return QList<QAction*>(recentActions_.begin(), recentActions_.end());
}

QTabWidget* TfrmTWMain::resultsPages() const
{
    return resultsPages_;
}

QTabWidget* TfrmTWMain::drawingTabs() const
{
    return drawings_;
}

void TfrmTWMain::NewProject()
{
    TBusy busy(busy_);
    ForgetReliabilityStudy();
    passiveInfoShown_ = false;
    Apply(Guarded([this] {
        form_.Project().NewProject(false);
        return form_.AfterNew();
    }));
    fileName_.clear();
    FocusFirstInput();
    UpdateTitle();
}

void TfrmTWMain::FocusFirstInput()
{
    // Ready for typing: the focus on the units list, or the first numeric box when the list
    // cannot take it.
    if (!isVisible())
        return;
    QWidget* units = lists_[N(List::Units)].combo;
    if (units->isVisibleTo(this) && units->isEnabled()) {
        units->setFocus(Qt::OtherFocusReason);
        return;
    }
    for (QWidget* widget : focusOrder_) {
        if (qobject_cast<TNumericEdit*>(widget) && widget->isVisibleTo(this) &&
            widget->isEnabled()) {
            widget->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void TfrmTWMain::UpdateColumns()
{
    if (columns_ == nullptr || drawings_ == nullptr)
        return;
    // The drawings get a column when the window has room for the results column and a
    // drawing 0.9 times as wide as it is high; the pictures fill the pages below the tabs.
    // A window not shown yet has no heights to go by; it starts with two columns.
    const int diagramHeight = std::max(0, columns_->height() - drawings_->tabRowHeight());
    const bool wide =
        isVisible() && width() >= kResultsLeft + kResultsWidth +
                                      static_cast<int>(std::lround(0.9 * diagramHeight));
    const bool guardrail = form_.CheckState(Check::UseGuardrail).checked;

    if (wide != wideLayout_ || !columnsPlaced_) {
        columnsPlaced_ = true;
        wideLayout_ = wide;
        TPageControl* from = wide ? resultsPages_ : drawings_;
        TPageControl* to = wide ? drawings_ : resultsPages_;
        for (std::size_t i = 0; i < drawingPages_.size(); ++i) {
            const int index = from->indexOf(drawingPages_[i]);
            if (index >= 0)
                from->removeTab(index);
            to->addTab(drawingPages_[i], QString::fromLatin1(kDrawingPageCaptions[i]));
        }
        auto* columns = static_cast<QHBoxLayout*>(columns_->layout());
        if (wide) {
            resultsPages_->setFixedWidth(kResultsWidth);
            columns->setStretchFactor(resultsPages_, 0);
            drawings_->setCurrentIndex(0);
            drawings_->show();
        } else {
            drawings_->hide();
            resultsPages_->setMinimumWidth(kResultsWidth);
            resultsPages_->setMaximumWidth(QWIDGETSIZE_MAX);
            columns->setStretchFactor(resultsPages_, 1);
            resultsPages_->setCurrentIndex(0);
        }
        inputsArea_->setFixedWidth(kInputsWidth);
    }
    // The guardrail page only with guardrail design.
    TPageControl* pages = wide ? drawings_ : resultsPages_;
    const int guardrailIndex = pages->indexOf(drawingPages_[N(DrawingPage::Guardrail)]);
    if (guardrailIndex >= 0 && pages->isTabVisible(guardrailIndex) != guardrail)
        pages->setTabVisible(guardrailIndex, guardrail);
}

void TfrmTWMain::Apply(const TCommitResult& result)
{
    Refresh();
    // A failure shows in the banner above the results for as long as it lasts; the message
    // box comes once, not again while the same failure repeats (each click meant to mend
    // the value commits again).
    if (result.ok() || !result.report)
        return;
    // Shown once the event that committed (often a focus change) has been handled, so the
    // message box does not open in the middle of it.
    QTimer::singleShot(0, this, [this, message = QString::fromStdString(*result.error)] {
        TBusy busy(busy_);
        showError(message);
    });
}

void TfrmTWMain::Commit()
{
    passiveInfoShown_ = false;
    Apply(Guarded([this] { return form_.Commit(); }));
}

bool TfrmTWMain::CommitsOnLeave(const TInputRef& ref) const
{
    switch (ref.kind) {
    case TInputRef::Kind::Box: {
        const auto box = static_cast<Box>(ref.id);
        return !form_.BoxState(box).readOnly || ReadOnlyBoxCommits(box);
    }
    case TInputRef::Kind::Check:
        // Check boxes commit when clicked; option buttons also when they are left.
        return checks_[ref.id].other != nullptr;
    case TInputRef::Kind::List:
    case TInputRef::Kind::Title:
    case TInputRef::Kind::Date:
        return true;
    }
    return false;
}

void TfrmTWMain::EnterInput(const TInputRef& ref)
{
    switch (ref.kind) {
    case TInputRef::Kind::Box:
        form_.EnterBox(static_cast<Box>(ref.id));
        break;
    case TInputRef::Kind::List:
        form_.EnterList(static_cast<List>(ref.id));
        break;
    case TInputRef::Kind::Check:
        form_.EnterCheck(static_cast<Check>(ref.id));
        break;
    case TInputRef::Kind::Title:
    case TInputRef::Kind::Date:
        return;
    }
    Refresh();
}

bool TfrmTWMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == logoArea_ && event->type() == QEvent::Resize)
        LayoutLogo();
    if (watched == columns_ && event->type() == QEvent::Resize)
        UpdateColumns();
    if (watched == logo_ && event->type() == QEvent::MouseButtonRelease && !busy_ &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        logo_->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
        // Clicking the picture chooses another one, as the "Logo" button does.
        QTimer::singleShot(0, this, [this] { ALogoExecute(); });
        return true;
    }
    const auto found = inputs_.constFind(watched);
    if (found == inputs_.constEnd())
        return QMainWindow::eventFilter(watched, event);
    const TInputRef ref = found.value();
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        // A project file dropped on an input opens it, as anywhere on the window; the input
        // does not take its name as text.
        if (!DroppedFile(static_cast<QDropEvent*>(event)->mimeData()).isEmpty()) {
            if (event->type() == QEvent::Drop)
                dropEvent(static_cast<QDropEvent*>(event));
            else
                static_cast<QDropEvent*>(event)->acceptProposedAction();
            return true;
        }
        break;
    case QEvent::Wheel: {
        // Over a list or the date picker without the focus, the wheel scrolls the column
        // under the pointer (nothing outside the columns) instead of changing the choice.
        auto* widget = static_cast<QWidget*>(watched);
        if (!widget->hasFocus() &&
            (qobject_cast<QComboBox*>(widget) || qobject_cast<QAbstractSpinBox*>(widget))) {
            for (QScrollArea* area : {inputsArea_, resultsArea_}) {
                if (area->widget()->isAncestorOf(widget))
                    QCoreApplication::sendEvent(area->verticalScrollBar(), event);
            }
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const bool editor = ref.kind != TInputRef::Kind::Check;
        if (enter && editor && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            // Enter moves on like Tab; leaving the input commits it.
            focusNextChild();
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
        if (!busy_ && UserMovedFocus(static_cast<QFocusEvent*>(event)->reason()))
            EnterInput(ref);
        break;
    case QEvent::FocusOut: {
        // A popup (the list's drop-down, a menu) or another window taking the focus does not
        // leave the input.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (!busy_ && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
            CommitsOnLeave(ref))
            Commit();
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmTWMain::SectionSettled(TCollapsibleSection* section, bool expanded)
{
    QScrollArea* area = resultsArea_->widget()->isAncestorOf(section) ? resultsArea_ : inputsArea_;
    // The section and the column take their new heights now, not at the next layout pass:
    // the scrolling and the hint below need the final places.
    section->layout()->activate();
    if (QLayout* layout = area->widget()->layout())
        layout->activate();
    if (expanded && section->isVisible()) {
        // Scroll the expanded section into view, as much of it as fits, caption first; the
        // focused input in it stays in view.
        const int top = section->mapTo(area->widget(), QPoint(0, 0)).y();
        const int bottom = top + section->height();
        QScrollBar* bar = area->verticalScrollBar();
        const int view = area->viewport()->height();
        int value = bar->value();
        if (bottom > value + view)
            value = bottom - view;
        if (top < value)
            value = top;
        bar->setValue(value);
        QWidget* focus = QApplication::focusWidget();
        if (focus != nullptr && section->isAncestorOf(focus))
            area->ensureWidgetVisible(focus);
    }
    if (hint_->isVisible() && hintAnchor_ != nullptr)
        ShowHint(hintAnchor_, hint_->text());
}

void TfrmTWMain::ShowHint(QWidget* anchor, const QString& text)
{
    if (text.isEmpty() || anchor == nullptr) {
        hint_->hide();
        hintAnchor_ = nullptr;
        qApp->removeEventFilter(hintCloser_);
        return;
    }
    hintAnchor_ = anchor;
    if (hint_->text() != text)
        hint_->setText(text);
    // As wide as the longest line needs, at most 300 pixels, and as tall as the text then is.
    const int chrome = 2 * (hint_->margin() + hint_->frameWidth());
    int width = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        width = std::max(width, hint_->fontMetrics().horizontalAdvance(line));
    width = std::min(width + chrome + 2, kHintMaxWidth);
    const int height = hint_->heightForWidth(width);
    hint_->resize(width, height);
    // Beside the inputs column, level with the control, so that it covers no input (below the
    // control it would hide the next one, which the user then cannot click). Where the screen
    // has no room on the right, it goes to the left of the column.
    const QPoint top = anchor->mapToGlobal(QPoint(0, 0));
    QWidget* column = inputsArea_->isAncestorOf(anchor) ? inputsArea_ : anchor;
    int x = column->mapToGlobal(QPoint(column->width(), 0)).x() + kHintGap;
    if (const QScreen* screen = anchor->screen()) {
        const QRect room = screen->availableGeometry();
        if (x + width > room.right())
            x = std::max(room.left(), column->mapToGlobal(QPoint(0, 0)).x() - kHintGap - width);
    }
    hint_->move(x, top.y());
    hint_->show();
    hint_->raise();
    // Esc, or a click anywhere but on the hint or its control, closes it.
    qApp->installEventFilter(hintCloser_);
}

void TfrmTWMain::CloseHint()
{
    form_.DismissHint();
    passiveInfoShown_ = false;
    ShowHint(nullptr, QString());
}

bool TfrmTWMain::HintCloserEvent(QObject* watched, QEvent* event)
{
    if (!hint_->isVisible()) {
        qApp->removeEventFilter(hintCloser_);
        return false;
    }
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        CloseHint();
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        const bool onHint = widget == hint_ || hint_->isAncestorOf(widget);
        const bool onAnchor =
            hintAnchor_ != nullptr && (widget == hintAnchor_ || hintAnchor_->isAncestorOf(widget));
        if (!onHint && !onAnchor)
            CloseHint();
    }
    return false;
}
