#include "ui/TWMain.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <exception>
#include <string_view>
#include <utility>

#include "ui/About.h"
#include "ui/Artwork.h"
#include "ui/CollapsibleSection.h"
#include "ui/Desktop.h"
#include "ui/LoadSketches.h"
#include "ui/NumericEdit.h"
#include "ui/PageControl.h"
#include "ui/Settings.h"
#include "ui/Tables.h"
#include "ui/UserDefinedSheet.h"
#include "ui/VerdictMarks.h"

using namespace tw::form;
using tw::kLoadPointCount;
using tw::kPassivePointCount;
using tw::ui::TCollapsibleSection;
using tw::ui::TNumericEdit;
using tw::ui::TPageControl;

namespace {

// Fixed widths of the columns and of the parts of a row, in pixels.
constexpr int kInputsWidth = 299;
constexpr int kResultsWidth = 430;
constexpr int kRowSpacing = 3;
constexpr int kInputValueWidth = 64;
constexpr int kInputUnitWidth = 50;
constexpr int kListCaptionWidth = 96;
constexpr int kResultCaptionWidth = 148;
constexpr int kResultValueWidth = 58;
constexpr int kResultUnitWidth = 44;
constexpr int kAtWidth = 12;
constexpr int kMarkSize = 16;
constexpr int kLogoWidth = 173;
constexpr int kLogoButtonWidth = 48;
constexpr int kHintMaxWidth = 300;
constexpr int kHintGap = 4;
// The margin around the columns and the space between them.
constexpr int kOuterMargin = 4;
constexpr int kColumnSpacing = 4;
// The left edge of the results column in the window.
constexpr int kResultsLeft = kOuterMargin + kInputsWidth + kColumnSpacing;
// The smallest part of a stored window that must lie on a screen for its position to be used.
constexpr int kMinVisiblePart = 64;
// The smallest stored size taken as it is.
constexpr int kMinStoredWidth = 200;
constexpr int kMinStoredHeight = 150;

const char* const kDrawingPageCaptions[] = {"CROSS SECTION", "PLAN VIEW", "GUARDRAIL"};

// Day 0 of the serial dates of project files.
const QDate kSerialEpoch(1899, 12, 30);

template <class E> constexpr int N(E e)
{
    return static_cast<int>(e);
}

QString Q(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void SetText(QLabel* label, const QString& text)
{
    if (label != nullptr && label->text() != text)
        label->setText(text);
}

void SetRed(QLabel* label, bool red)
{
    if (label == nullptr)
        return;
    const QString sheet = red ? QStringLiteral("color: #C00000;") : QString();
    if (label->styleSheet() != sheet)
        label->setStyleSheet(sheet);
}

void RetainSize(QWidget* widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

// An event filter that hands the events it sees to a function.
class TEventHook : public QObject
{
public:
    TEventHook(std::function<bool(QObject*, QEvent*)> filter, QObject* parent)
        : QObject(parent), filter_(std::move(filter))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override { return filter_(watched, event); }

private:
    std::function<bool(QObject*, QEvent*)> filter_;
};

// Whether the focus came to an input because the user moved it there (click, Tab, a
// shortcut, Enter, the window placing it). Focus given back when the window is activated
// again, or when a menu or a drop-down closes, is not a move: the input must not expand its
// section again, which would collapse the one the user opened meanwhile.
bool UserMovedFocus(Qt::FocusReason reason)
{
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
           reason != Qt::MenuBarFocusReason;
}

// A coloured strip above the results with a wrapped one- or two-line text (child "text").
QFrame* MakeBanner(const QColor& background, const QColor& foreground, QWidget* parent)
{
    auto* banner = new QFrame(parent);
    banner->setFrameStyle(QFrame::Box | QFrame::Plain);
    banner->setAutoFillBackground(true);
    QPalette pal = banner->palette();
    pal.setColor(QPalette::Window, background);
    pal.setColor(QPalette::WindowText, foreground);
    banner->setPalette(pal);
    auto* layout = new QHBoxLayout(banner);
    layout->setContentsMargins(6, 3, 3, 3);
    auto* text = new QLabel(banner);
    text->setObjectName(QStringLiteral("text"));
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(text, 1);
    banner->hide();
    return banner;
}

QHBoxLayout* RowLayout(QWidget* row)
{
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kRowSpacing);
    return layout;
}

// An empty, fixed-width place in a row; unlike a spacing item, the row's spacing applies
// on both sides of it, so the columns of the rows line up.
QWidget* Gap(int width, QWidget* parent)
{
    auto* gap = new QWidget(parent);
    gap->setFixedSize(width, 0);
    return gap;
}

QToolButton* SmallButton(const QString& text, const QString& tip, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(tip);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(20, 20);
    return button;
}

// Runs a form operation; an exception that escapes the form becomes the error to show.
template <class F> TCommitResult Guarded(F&& operation)
{
    try {
        return operation();
    } catch (const std::exception& e) {
        return TCommitResult{std::string(e.what())};
    }
}

// Marks the window busy for the lifetime of the guard (nested guards keep it busy).
class TBusy
{
public:
    explicit TBusy(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
    ~TBusy() { flag_ = previous_; }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;

private:
    bool& flag_;
    bool previous_;
};

} // namespace

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
    programFolder = tw::ui::ProgramFolder();
    passMark_ = tw::ui::PassMark(kMarkSize);
    failMark_ = tw::ui::FailMark(kMarkSize);
    BuildWidgets();
    BuildCommands();
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

// --- Building ---

void TfrmTWMain::BuildWidgets()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(kOuterMargin, kOuterMargin, kOuterMargin, kOuterMargin);
    layout->setSpacing(kColumnSpacing);
    titleBlock_ = BuildTitleBlock();
    layout->addWidget(titleBlock_);

    columns_ = new QWidget(central);
    auto* columns = new QHBoxLayout(columns_);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(kColumnSpacing);
    auto makeColumn = [this](int width) {
        auto* area = new QScrollArea(this);
        if (width > 0)
            area->setFixedWidth(width);
        area->setWidgetResizable(true);
        area->setFocusPolicy(Qt::NoFocus); // Tab goes through the inputs, not the column
        area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        auto* inner = new QWidget(area);
        auto* column = new QVBoxLayout(inner);
        column->setContentsMargins(2, 2, 2, 2);
        column->setSpacing(6);
        area->setWidget(inner);
        return std::pair{area, column};
    };
    auto [inputs, inputColumn] = makeColumn(kInputsWidth);
    // The results column's width is its page control's.
    auto [results, resultColumn] = makeColumn(0);
    inputsArea_ = inputs;
    resultsArea_ = results;
    resultsArea_->setMinimumWidth(kResultsWidth);
    BuildInputColumn(inputColumn);
    BuildResultColumn(resultColumn);

    // The results column is the first page of a page control; the drawing pages join it
    // there when the window is too narrow for the drawings column.
    resultsPages_ = new TPageControl(columns_);
    resultsPages_->setObjectName(QStringLiteral("ResultsPages"));
    // Above the results: the banner that says why they are missing or out of date, and the
    // one-line notes of the form.
    auto* numeric = new QWidget(this);
    auto* numericLayout = new QVBoxLayout(numeric);
    numericLayout->setContentsMargins(0, 0, 0, 0);
    numericLayout->setSpacing(2);
    failureBanner_ = MakeBanner(QColor(0xFD, 0xE2, 0xE1), QColor(0x8A, 0x10, 0x10), numeric);
    noticeBanner_ = MakeBanner(QColor(0xFF, 0xF4, 0xCE), QColor(0x4A, 0x3B, 0x00), numeric);
    auto* dismiss = new QToolButton(noticeBanner_);
    dismiss->setObjectName(QStringLiteral("DismissNotice"));
    dismiss->setText(QStringLiteral("\u00D7"));
    dismiss->setToolTip(QStringLiteral("Close this note"));
    dismiss->setAutoRaise(true);
    dismiss->setFocusPolicy(Qt::NoFocus);
    noticeBanner_->layout()->addWidget(dismiss);
    connect(dismiss, &QToolButton::clicked, this, [this] {
        form_.DismissNotice();
        Refresh();
    });
    numericLayout->addWidget(failureBanner_);
    numericLayout->addWidget(noticeBanner_);
    numericLayout->addWidget(resultsArea_, 1);
    resultsPages_->addTab(numeric, QStringLiteral("NUMERIC"));
    drawings_ = new TPageControl(columns_);
    drawings_->setObjectName(QStringLiteral("DrawingsColumn"));
    // The column takes what is left; it never makes the window wider than the two columns
    // need (below its width the window switches to two columns anyway).
    drawings_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
    // The drawings come later; their pages are in place.
    for (std::size_t i = 0; i < drawingPages_.size(); ++i) {
        auto* canvas = new QWidget(drawings_);
        canvas->setObjectName(QString::fromLatin1(kDrawingPageCaptions[i]));
        canvas->setAutoFillBackground(true);
        QPalette pal = canvas->palette();
        pal.setColor(QPalette::Window, Qt::white);
        canvas->setPalette(pal);
        drawingPages_[i] = canvas;
    }
    columns->addWidget(inputsArea_);
    columns->addWidget(resultsPages_);
    columns->addWidget(drawings_, 1);
    columns_->installEventFilter(this);
    layout->addWidget(columns_, 1);
    setCentralWidget(central);
    UpdateColumns();

    // The input hint: a tooltip-style window under the focused input.
    hint_ = new QLabel(this, Qt::ToolTip | Qt::FramelessWindowHint);
    hint_->setWordWrap(true);
    hint_->setMargin(4);
    hint_->setFrameStyle(QFrame::Box | QFrame::Plain);
    hint_->setForegroundRole(QPalette::ToolTipText);
    hint_->setBackgroundRole(QPalette::ToolTipBase);
    hint_->setAutoFillBackground(true);
    hint_->setFont(font());
    hint_->hide();
    hintCloser_ = new TEventHook(
        [this](QObject* watched, QEvent* event) { return HintCloserEvent(watched, event); }, this);

    // The small buttons open their windows.
    connect(userSheetButton_, &QToolButton::clicked, this, [this] {
        if (busy_)
            return;
        // A confirmed section is the project's now, analysed with it.
        std::optional<TCommitResult> result;
        try {
            result = tw::ui::EditUserSheetPile(form_, this);
        } catch (const std::exception& e) {
            result = TCommitResult{e.what()};
        }
        if (result)
            Apply(*result);
    });
    connect(viewTableButton_, &QAbstractButton::clicked, this,
            [this] { tw::ui::TfrmTable::ShowTable(form_.Project(), this); });
    connect(stripSketchButton_, &QToolButton::clicked, this,
            [this] { tw::ui::ShowLoadSketch(false, this); });
    connect(seismicSketchButton_, &QToolButton::clicked, this,
            [this] { tw::ui::ShowLoadSketch(true, this); });

    // Tab (and Enter) go through the title block, then down the inputs column.
    for (std::size_t i = 1; i < focusOrder_.size(); ++i)
        setTabOrder(focusOrder_[i - 1], focusOrder_[i]);
}

QWidget* TfrmTWMain::BuildTitleBlock()
{
    auto* block = new QFrame(this);
    block->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    auto* grid = new QGridLayout(block);
    // The logo area at the right ends 5 pixels before the header's outer edge.
    grid->setContentsMargins(6, 4, std::max(0, 5 - block->frameWidth()), 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    const struct
    {
        TitleText text;
        int row, column;
    } places[] = {{TitleText::Organization, 0, 0},
                  {TitleText::ProjectName, 0, 2},
                  {TitleText::DesignedBy, 1, 0},
                  {TitleText::JobNumber, 1, 2}};
    for (const auto& place : places) {
        auto* caption = new QLabel(Q(TitleTextCaption(place.text)), block);
        auto* edit = new QLineEdit(block);
        edit->setMaxLength(255);
        caption->setBuddy(edit);
        grid->addWidget(caption, place.row, place.column);
        grid->addWidget(edit, place.row, place.column + 1);
        titles_[N(place.text)] = edit;
        const TitleText text = place.text;
        connect(edit, &QLineEdit::textEdited, this, [this, text](const QString& value) {
            if (!busy_) {
                form_.EditTitle(text, value.toStdString());
                setWindowModified(true);
            }
        });
        Watch(edit, {TInputRef::Kind::Title, N(text)});
    }
    // Tab order: the texts row by row, then the date.
    focusOrder_ = {titles_[N(TitleText::Organization)], titles_[N(TitleText::ProjectName)],
                   titles_[N(TitleText::DesignedBy)], titles_[N(TitleText::JobNumber)]};
    auto* dateCaption = new QLabel(QStringLiteral("Date"), block);
    date_ = new QDateEdit(block);
    date_->setCalendarPopup(true);
    date_->setMinimumDate(kSerialEpoch);
    dateCaption->setBuddy(date_);
    grid->addWidget(dateCaption, 1, 4);
    grid->addWidget(date_, 1, 5);
    connect(date_, &QDateEdit::dateChanged, this, [this](QDate date) {
        if (!busy_ && date.isValid()) {
            form_.EditDate(static_cast<double>(kSerialEpoch.daysTo(date)));
            setWindowModified(true);
        }
    });
    Watch(date_, {TInputRef::Kind::Date, 0});
    focusOrder_.push_back(date_);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    // The logo's buttons, then its 173-pixel area at the right edge (the grid's right
    // margin keeps it 5 pixels from the edge). The picture's slot is placed in the area by
    // LayoutLogo.
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(2);
    logoButton_ = new QPushButton(QStringLiteral("Logo"), block);
    logoButton_->setToolTip(QStringLiteral("Choose a JPEG picture as the logo"));
    clearLogoButton_ = new QPushButton(QStringLiteral("Clear"), block);
    clearLogoButton_->setToolTip(QStringLiteral("Remove the logo"));
    for (QPushButton* button : {logoButton_, clearLogoButton_}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedWidth(kLogoButtonWidth);
        buttons->addWidget(button);
    }
    connect(logoButton_, &QPushButton::clicked, this, [this] { ALogoExecute(); });
    connect(clearLogoButton_, &QPushButton::clicked, this, [this] { AClearLogoExecute(); });
    grid->addLayout(buttons, 0, 6, 2, 1);

    logoArea_ = new QWidget(block);
    logoArea_->setObjectName(QStringLiteral("LogoArea"));
    logoArea_->setFixedWidth(kLogoWidth);
    logoArea_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    logo_ = new QLabel(logoArea_);
    logo_->setAlignment(Qt::AlignCenter);
    logo_->setCursor(Qt::PointingHandCursor);
    logo_->setToolTip(QStringLiteral("Click to choose another logo"));
    logo_->setGeometry(kLogoWidth / 2, 0, 0, 0);
    grid->addWidget(logoArea_, 0, 7, 2, 1);
    logoArea_->installEventFilter(this);
    logo_->installEventFilter(this);
    return block;
}

TCollapsibleSection* TfrmTWMain::MakeSection(Section section)
{
    auto* widget = new TCollapsibleSection;
    widget->setObjectName(Q(SectionName(section)));
    widget->setCaption(Q(SectionDesignCaption(section)));
    sections_[N(section)] = widget;
    connect(widget, &TCollapsibleSection::captionClicked, this, [this, section] {
        if (busy_)
            return;
        form_.ToggleSection(section);
        Refresh();
    });
    connect(widget, &TCollapsibleSection::animationFinished, this,
            [this, widget](bool expanded) { SectionSettled(widget, expanded); });
    return widget;
}

void TfrmTWMain::Watch(QWidget* widget, TInputRef ref)
{
    inputs_.insert(widget, ref);
    widget->installEventFilter(this);
}

QWidget* TfrmTWMain::BoxRow(Box box, QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* layout = RowLayout(row);
    auto* caption = new QLabel(row);
    caption->setWordWrap(true);
    auto* edit = new TNumericEdit(row);
    edit->setNumberFormat(form_.NumberFormat());
    // These three boxes take any text; the recalculation reads what number it holds.
    edit->setKeyFilter(box != Box::BarCount && box != Box::ClearCover &&
                       box != Box::TieSpacingOverride);
    edit->setFixedWidth(kInputValueWidth);
    // The unit label, and the verdict mark of the one checked input beside it.
    auto* unitSlot = new QWidget(row);
    unitSlot->setFixedWidth(kInputUnitWidth);
    auto* unitLayout = RowLayout(unitSlot);
    auto* unit = new QLabel(unitSlot);
    unitLayout->addWidget(unit);
    if (box == Box::BeamDiagonal) {
        auto* mark = new QLabel(unitSlot);
        mark->setFixedSize(kMarkSize, kMarkSize);
        RetainSize(mark);
        unitLayout->addWidget(mark);
        verdicts_[N(Verdict::HoleFit)] = mark;
    }
    unitLayout->addStretch(1);
    layout->addWidget(caption, 1);
    layout->addWidget(edit);
    layout->addWidget(unitSlot);
    caption->setBuddy(edit);

    boxes_[N(box)] = {edit, caption, unit, row};
    connect(edit, &QLineEdit::textEdited, this, [this, box](const QString& text) {
        if (!busy_) {
            form_.EditBox(box, text.toStdString());
            setWindowModified(true);
        }
    });
    Watch(edit, {TInputRef::Kind::Box, N(box)});
    focusOrder_.push_back(edit);
    return row;
}

QWidget* TfrmTWMain::ListRow(List list, QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* layout = RowLayout(row);
    auto* caption = new QLabel(row);
    auto* combo = new QComboBox(row);
    combo->setFocusPolicy(Qt::StrongFocus);
    auto* unit = new QLabel(row);
    unit->setFixedWidth(kInputUnitWidth);
    if (IsValueList(list)) {
        // A list of numbers with a unit sits where the numeric boxes sit, the caption
        // taking the rest of the row, so that its left edge lines up with theirs.
        caption->setWordWrap(true);
        combo->setFixedWidth(kInputValueWidth);
        layout->addWidget(caption, 1);
        layout->addWidget(combo);
    } else {
        caption->setMinimumWidth(kListCaptionWidth);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(4);
        combo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        layout->addWidget(caption);
        layout->addWidget(combo, 1);
    }
    if (list == List::SectionSize) {
        userSheetButton_ = SmallButton(QStringLiteral("..."),
                                       QStringLiteral("User-defined sheet pile section"), row);
        layout->addWidget(userSheetButton_);
    }
    layout->addWidget(unit);
    caption->setBuddy(combo);

    lists_[N(list)] = {combo, caption, unit, row};
    connect(combo, &QComboBox::activated, this, [this, list](int index) {
        if (busy_)
            return;
        passiveInfoShown_ = false;
        Apply(Guarded([&] { return form_.ChooseListItem(list, index); }));
    });
    Watch(combo, {TInputRef::Kind::List, N(list)});
    focusOrder_.push_back(combo);
    return row;
}

QWidget* TfrmTWMain::CheckRow(Check check, QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* layout = RowLayout(row);
    auto* box = new QCheckBox(Q(CheckDef(check).caption), row);
    layout->addWidget(box);
    // The strip and seismic loads have a button for an enlarged sketch beside them.
    if (check == Check::StripLoad || check == Check::SeismicLoad) {
        auto* sketch = SmallButton(QStringLiteral("..."), QStringLiteral("Enlarged sketch"), row);
        layout->addWidget(sketch);
        (check == Check::StripLoad ? stripSketchButton_ : seismicSketchButton_) = sketch;
    }
    layout->addStretch(1);
    checks_[N(check)] = {box, nullptr, row};
    connect(box, &QCheckBox::clicked, this, [this, check](bool checked) {
        if (busy_)
            return;
        passiveInfoShown_ = false;
        Apply(Guarded([&] { return form_.SetChecked(check, checked); }));
    });
    Watch(box, {TInputRef::Kind::Check, N(check)});
    focusOrder_.push_back(box);
    return row;
}

QWidget* TfrmTWMain::OptionPairRow(Check check, QWidget* parent)
{
    const bool passive = check == Check::AllowablePassive;
    auto* row = new QWidget(parent);
    auto* grid = new QGridLayout(row);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(kRowSpacing);
    grid->setVerticalSpacing(1);
    auto* unchecked =
        new QRadioButton(Q(passive ? kUltimatePassiveCaption : kConcreteFillCaption), row);
    auto* checked = new QRadioButton(Q(CheckDef(check).caption), row);
    grid->addWidget(unchecked, 0, 0);
    grid->addWidget(checked, 1, 0);
    if (passive) {
        passiveInfoButton_ = SmallButton(QStringLiteral("i"), QString(), row);
        grid->addWidget(passiveInfoButton_, 0, 1);
        connect(passiveInfoButton_, &QToolButton::clicked, this, [this, unchecked] {
            passiveInfoShown_ = true;
            ShowHint(unchecked, Q(kPassiveInfoHint));
        });
    }
    grid->setColumnStretch(2, 1);
    checks_[N(check)] = {checked, unchecked, row};
    for (QRadioButton* button : {unchecked, checked}) {
        const bool state = button == checked;
        connect(button, &QRadioButton::clicked, this, [this, check, state] {
            if (busy_)
                return;
            passiveInfoShown_ = false;
            Apply(Guarded([&] { return form_.SetChecked(check, state); }));
        });
        Watch(button, {TInputRef::Kind::Check, N(check)});
        focusOrder_.push_back(button);
    }
    return row;
}

QWidget* TfrmTWMain::PointTable(QWidget* parent)
{
    auto* table = new QWidget(parent);
    auto* rows = new QVBoxLayout(table);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(kRowSpacing);
    auto* head = new QWidget(table);
    auto* headLayout = RowLayout(head);
    headLayout->addStretch(1);
    for (QLabel*& label : pointHeads_) {
        label = new QLabel(head);
        label->setFixedWidth(kInputValueWidth);
        label->setAlignment(Qt::AlignCenter);
        headLayout->addWidget(label);
    }
    rows->addWidget(head);
    // Loading points 1 to 8, then passive points 1 to 4: x and w of each.
    for (int i = 0; i < kLoadPointCount + kPassivePointCount; ++i) {
        const bool load = i < kLoadPointCount;
        const Box x = PointBox(Box::InLoadX1, load ? i : 16 + (i - kLoadPointCount));
        const Box w = PointBox(Box::InLoadX1, load ? 8 + i : 20 + (i - kLoadPointCount));
        auto* row = new QWidget(table);
        auto* layout = RowLayout(row);
        auto* caption = new QLabel(row);
        layout->addWidget(caption, 1);
        for (Box b : {x, w}) {
            auto* edit = new TNumericEdit(row);
            edit->setNumberFormat(form_.NumberFormat());
            edit->setFixedWidth(kInputValueWidth);
            layout->addWidget(edit);
            boxes_[N(b)] = {edit, b == x ? caption : nullptr, nullptr, b == x ? row : nullptr};
            connect(edit, &QLineEdit::textEdited, this, [this, b](const QString& text) {
                if (!busy_) {
                    form_.EditBox(b, text.toStdString());
                    setWindowModified(true);
                }
            });
            Watch(edit, {TInputRef::Kind::Box, N(b)});
            focusOrder_.push_back(edit);
        }
        rows->addWidget(row);
    }
    return table;
}

void TfrmTWMain::BuildInputColumn(QVBoxLayout* column)
{
    for (const TSectionItems& section : InputLayout()) {
        TCollapsibleSection* widget = MakeSection(section.section);
        QWidget* body = widget->body();
        QVBoxLayout* rows = widget->bodyLayout();
        for (const TInputItem& item : section.items) {
            switch (item.kind) {
            case InputItemKind::Box:
                rows->addWidget(BoxRow(static_cast<Box>(item.id), body));
                break;
            case InputItemKind::List:
                rows->addWidget(ListRow(static_cast<List>(item.id), body));
                break;
            case InputItemKind::Check:
                rows->addWidget(CheckRow(static_cast<Check>(item.id), body));
                break;
            case InputItemKind::Options:
                rows->addWidget(OptionPairRow(static_cast<Check>(item.id), body));
                break;
            case InputItemKind::Points:
                rows->addWidget(PointTable(body));
                break;
            case InputItemKind::Text: {
                const auto label = static_cast<Label>(item.id);
                auto* row = new QWidget(body);
                auto* layout = new QVBoxLayout(row);
                layout->setContentsMargins(0, 2, 0, 2);
                layout->setSpacing(2);
                QLabel* caption = nullptr;
                if (label == Label::ImportantNotice) {
                    // The heading of the notice; the notice itself is the label's text.
                    caption = new QLabel(Q(LabelDef(label).caption), row);
                    QFont bold = caption->font();
                    bold.setBold(true);
                    caption->setFont(bold);
                    layout->addWidget(caption);
                }
                auto* text = new QLabel(row);
                text->setWordWrap(true);
                layout->addWidget(text);
                labels_[N(label)] = {caption, text, row};
                rows->addWidget(row);
                break;
            }
            case InputItemKind::ViewTable: {
                auto* button = new QToolButton(body);
                button->setText(QStringLiteral("View Table"));
                button->setAutoRaise(true);
                button->setFocusPolicy(Qt::NoFocus);
                button->setCursor(Qt::PointingHandCursor);
                button->setStyleSheet(
                    QStringLiteral("QToolButton { color: #0645AD; text-decoration: underline; "
                                   "border: none; padding: 0px; }"));
                viewTableButton_ = button;
                rows->addWidget(button, 0, Qt::AlignLeft);
                break;
            }
            }
        }
        column->addWidget(widget);
    }
    column->addStretch(1);
}

QWidget* TfrmTWMain::ResultHead(Section section, QWidget* parent, const TResultRow* follows)
{
    auto* row = new QWidget(parent);
    auto* layout = RowLayout(row);
    layout->addWidget(Gap(kResultCaptionWidth, row));
    THeadWidgets head{section, row, new QLabel(row), new QLabel(row), follows};
    QFont small = head.first->font();
    small.setBold(true);
    for (QLabel* label : {head.first, head.second}) {
        label->setFixedWidth(kResultValueWidth);
        label->setAlignment(Qt::AlignCenter);
        label->setFont(small);
    }
    layout->addWidget(head.first);
    layout->addWidget(Gap(kResultUnitWidth, row));
    layout->addWidget(Gap(kAtWidth, row));
    layout->addWidget(head.second);
    layout->addStretch(1);
    heads_.push_back(head);
    return row;
}

QWidget* TfrmTWMain::ResultRow(const TResultRow& row, QWidget* parent)
{
    auto* widget = new QWidget(parent);
    auto* layout = RowLayout(widget);
    auto* caption = new QLabel(widget);
    caption->setWordWrap(true);
    caption->setFixedWidth(kResultCaptionWidth);
    layout->addWidget(caption);
    auto addBox = [&](Box box, bool expandUnit) {
        auto* edit = new TNumericEdit(widget);
        edit->setNumberFormat(form_.NumberFormat());
        edit->setFixedWidth(kResultValueWidth);
        // Results can be selected and copied but are not in the Tab order.
        edit->setFocusPolicy(Qt::ClickFocus);
        RetainSize(edit);
        auto* unit = new QLabel(widget);
        RetainSize(unit);
        layout->addWidget(edit);
        if (expandUnit) {
            // The only column: the unit label may hold a longer text (a section class).
            unit->setMinimumWidth(kResultUnitWidth);
            unit->setWordWrap(true);
            layout->addWidget(unit, 1);
        } else {
            unit->setFixedWidth(kResultUnitWidth);
            layout->addWidget(unit);
        }
        boxes_[N(box)] = {edit, nullptr, unit, nullptr};
    };
    if (row.label) {
        auto* text = new QLabel(widget);
        text->setWordWrap(true);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(text, 1);
        labels_[N(*row.label)] = {nullptr, text, widget};
    } else {
        if (row.first)
            addBox(*row.first, !row.second);
        else
            layout->addWidget(Gap(kResultValueWidth + kRowSpacing + kResultUnitWidth, widget));
        if (row.second) {
            auto* at = new QLabel(row.secondIsDepth ? QStringLiteral("at") : QString(), widget);
            at->setFixedWidth(kAtWidth);
            layout->addWidget(at);
            addBox(*row.second, false);
            layout->addStretch(1);
        }
    }
    auto* mark = new QLabel(widget);
    mark->setFixedSize(kMarkSize, kMarkSize);
    RetainSize(mark);
    layout->addWidget(mark);
    if (row.verdict)
        verdicts_[N(*row.verdict)] = mark;
    resultRows_.push_back({&row, widget, caption});
    return widget;
}

void TfrmTWMain::BuildResultColumn(QVBoxLayout* column)
{
    const std::vector<TResultRow>& rows = ResultRows();
    for (int s = N(kFirstResultSection); s < kSectionCount; ++s) {
        const auto section = static_cast<Section>(s);
        TCollapsibleSection* widget = MakeSection(section);
        QWidget* body = widget->body();
        const bool hasHeads = !ResultColumnHeads(section, false).first.empty();
        // The lagging heads ("Adjusted", "Actual") stand over the stress rows only.
        bool headPlaced = !hasHeads;
        if (hasHeads && section != Section::LaggingResult) {
            widget->bodyLayout()->addWidget(ResultHead(section, body, nullptr));
            headPlaced = true;
        }
        for (const TResultRow& row : rows) {
            if (row.section != section)
                continue;
            if (!headPlaced && row.second && !row.secondIsDepth) {
                widget->bodyLayout()->addWidget(ResultHead(section, body, &row));
                headPlaced = true;
            }
            widget->bodyLayout()->addWidget(ResultRow(row, body));
        }
        column->addWidget(widget);
    }
    column->addStretch(1);
}

// --- Accessors ---

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

// --- Commands and events ---

void TfrmTWMain::NewProject()
{
    TBusy busy(busy_);
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

// --- The shell ---

void TfrmTWMain::BuildCommands()
{
    auto makeAction = [this](const char* caption, const char* hint, QKeySequence shortcut,
                             QStyle::StandardPixmap icon, const char* themeIcon) {
        auto* action = new QAction(QString::fromLatin1(caption), this);
        action->setToolTip(QString::fromLatin1(hint));
        action->setStatusTip(QString::fromLatin1(hint));
        if (!shortcut.isEmpty())
            action->setShortcut(shortcut);
        action->setIcon(
            QIcon::fromTheme(QString::fromLatin1(themeIcon), style()->standardIcon(icon)));
        return action;
    };
    aNew_ = makeAction("&New", "New project", QKeySequence(Qt::CTRL | Qt::Key_N),
                       QStyle::SP_FileIcon, "document-new");
    aOpen_ = makeAction("&Open", "Open saved project", QKeySequence(Qt::CTRL | Qt::Key_O),
                        QStyle::SP_DialogOpenButton, "document-open");
    aSave_ = makeAction("&Save", "Save project", QKeySequence(Qt::CTRL | Qt::Key_S),
                        QStyle::SP_DialogSaveButton, "document-save");
    // Save As: the platform's own shortcut; Ctrl+Shift+S where it has none (as on Windows).
    const QList<QKeySequence> saveAsKeys = QKeySequence::keyBindings(QKeySequence::SaveAs);
    aSaveAs_ = makeAction("Save &As...", "Save project as",
                          saveAsKeys.isEmpty() ? QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)
                                               : saveAsKeys.constFirst(),
                          QStyle::SP_DialogSaveButton, "document-save-as");
    aExit_ = makeAction("E&xit", "Exit application", QKeySequence(), QStyle::SP_DialogCloseButton,
                        "application-exit");
    aHelp_ = makeAction("&User's Manual", "User's Manual", QKeySequence(Qt::Key_F1),
                        QStyle::SP_DialogHelpButton, "help-contents");
    aAbout_ = makeAction("&About", "About program", QKeySequence(),
                         QStyle::SP_MessageBoxInformation, "help-about");
    aWeb_ = makeAction("&Website", "Go to website", QKeySequence(), QStyle::SP_DriveNetIcon,
                       "internet-web-browser");
    aSaveAs_->setIconVisibleInMenu(false);
    connect(aNew_, &QAction::triggered, this, [this] { ANewExecute(); });
    connect(aOpen_, &QAction::triggered, this, [this] { AOpenExecute(); });
    connect(aSave_, &QAction::triggered, this, [this] { ASaveExecute(); });
    connect(aSaveAs_, &QAction::triggered, this, [this] { ASaveAsExecute(); });
    connect(aExit_, &QAction::triggered, this, [this] { AExitExecute(); });
    connect(aHelp_, &QAction::triggered, this, [this] { AHelpExecute(); });
    connect(aAbout_, &QAction::triggered, this, [this] { AAboutExecute(); });
    connect(aWeb_, &QAction::triggered, this, [this] { AWebExecute(); });

    // File: New, Open, Save, Save As..., the recent files, Exit.
    fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu_->addAction(aNew_);
    fileMenu_->addAction(aOpen_);
    fileMenu_->addAction(aSave_);
    fileMenu_->addAction(aSaveAs_);
    fileMenu_->addSeparator();
    for (int i = 0; i < tw::ui::kMaxRecentFiles; ++i) {
        auto* recent = new QAction(this);
        recent->setVisible(false);
        connect(recent, &QAction::triggered, this, [this, recent] {
            const QString path = recent->data().toString();
            // Opened once the menu has closed.
            QTimer::singleShot(0, this, [this, path] { OpenRecentFile(path); });
        });
        fileMenu_->addAction(recent);
        recentActions_.push_back(recent);
    }
    recentSeparator_ = fileMenu_->addSeparator();
    fileMenu_->addAction(aExit_);

    // Help: User's Manual, About, Website.
    helpMenu_ = menuBar()->addMenu(QStringLiteral("&Help"));
    helpMenu_->addAction(aHelp_);
    helpMenu_->addAction(aAbout_);
    helpMenu_->addAction(aWeb_);

    // The toolbar, with captions: New, Open, Save, Website, User's Manual.
    toolBar_ = addToolBar(QStringLiteral("Commands"));
    toolBar_->setObjectName(QStringLiteral("ToolBar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar_->setIconSize(QSize(24, 24));
    toolBar_->addAction(aNew_);
    toolBar_->addAction(aOpen_);
    toolBar_->addAction(aSave_);
    toolBar_->addSeparator();
    toolBar_->addAction(aWeb_);
    toolBar_->addAction(aHelp_);
    // Toolbar buttons do not take the focus from the input being edited.
    for (QToolButton* button : toolBar_->findChildren<QToolButton*>())
        button->setFocusPolicy(Qt::NoFocus);

    RefreshRecentFiles();
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

void TfrmTWMain::StartUp(const QString& documentsFolder)
{
    // The designed size, within the screen, centred on it.
    QSize size(kDesignedWidth, kDesignedHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        size = size.boundedTo(available.size() - QSize(16, 48));
        resize(size);
        move(available.center() - QPoint(size.width() / 2, size.height() / 2));
    } else {
        resize(size);
    }
    keepsSettings_ = true;
    RestorePlacement();
    {
        const std::unique_ptr<QSettings> settings = tw::ui::OpenSettings();
        recentFiles_ = tw::ui::ReadRecentFiles(*settings);
    }
    RefreshRecentFiles();
    // The dialogs open in the documents folder; when it cannot be made they open wherever
    // the desktop chooses.
    documentsFolder_ = tw::ui::MakeFolder(documentsFolder) ? documentsFolder : QString();
    NewProject();
}

void TfrmTWMain::RestorePlacement()
{
    const std::unique_ptr<QSettings> settings = tw::ui::OpenSettings();
    const tw::ui::TWindowPlacement stored = tw::ui::ReadWindowPlacement(*settings);
    // Each value applies on its own; sizes stay within what the window and a screen allow.
    if (stored.width || stored.height) {
        // Qt keeps the window within its layout's minimum when it is shown.
        resize(std::clamp(stored.width.value_or(width()), kMinStoredWidth, QWIDGETSIZE_MAX / 2),
               std::clamp(stored.height.value_or(height()), kMinStoredHeight, QWIDGETSIZE_MAX / 2));
    }
    if (stored.left || stored.top) {
        const QPoint place(stored.left.value_or(x()), stored.top.value_or(y()));
        // A position off every screen (a screen since removed) keeps the designed place.
        const QRect window(place, size());
        for (const QScreen* screen : QGuiApplication::screens()) {
            const QRect visible = window.intersected(screen->availableGeometry());
            if (visible.width() >= kMinVisiblePart && visible.height() >= kMinVisiblePart) {
                move(place);
                break;
            }
        }
    }
    if (stored.state == tw::ui::kWinStateMaximized)
        setWindowState(Qt::WindowMaximized);
    else if (stored.state == tw::ui::kWinStateMinimized)
        setWindowState(Qt::WindowMinimized);
}

void TfrmTWMain::StorePlacement()
{
    // The state always; the position and size only of a normal window, so that a window
    // closed maximized comes back maximized over its last normal place.
    tw::ui::TWindowPlacement placement;
    const Qt::WindowStates state = windowState();
    if (state & Qt::WindowMinimized)
        placement.state = tw::ui::kWinStateMinimized;
    else if (state & (Qt::WindowMaximized | Qt::WindowFullScreen))
        placement.state = tw::ui::kWinStateMaximized;
    else
        placement.state = tw::ui::kWinStateNormal;
    if (placement.state == tw::ui::kWinStateNormal) {
        placement.left = x();
        placement.top = y();
        placement.width = width();
        placement.height = height();
    }
    const std::unique_ptr<QSettings> settings = tw::ui::OpenSettings();
    tw::ui::WriteWindowPlacement(*settings, placement);
}

void TfrmTWMain::UpdateTitle()
{
    QString title = QString::fromLatin1(tw::ui::kApplicationTitle);
    if (!fileName_.isEmpty())
        title += QStringLiteral(" - ") + QFileInfo(fileName_).fileName();
    // The desktop's unsaved-changes mark ("*") follows the name while the project is modified.
    setWindowTitle(title + QStringLiteral("[*]"));
    setWindowModified(form_.Modified());
}

bool TfrmTWMain::CheckSaved()
{
    if (!form_.Modified())
        return true;
    switch (askSaveChanges ? askSaveChanges() : QMessageBox::Cancel) {
    case QMessageBox::Yes:
        ASaveExecute();
        break;
    case QMessageBox::No:
        form_.SetModified(false);
        break;
    default:
        break;
    }
    return !form_.Modified();
}

void TfrmTWMain::ANewExecute()
{
    if (CheckSaved())
        NewProject();
}

bool TfrmTWMain::AOpenExecute()
{
    if (!CheckSaved())
        return false;
    const QString path = chooseOpenFile ? chooseOpenFile(documentsFolder_, fileName_) : QString();
    if (path.isEmpty())
        return false;
    return LoadProjectFile(path);
}

bool TfrmTWMain::OpenFile(const QString& path)
{
    if (path.isEmpty() || !CheckSaved())
        return false;
    return LoadProjectFile(path);
}

bool TfrmTWMain::OpenRecentFile(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        ForgetRecentFile(path);
        showError(QStringLiteral("The file %1 no longer exists. It has been removed from the "
                                 "list of recent files.")
                      .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    return OpenFile(path);
}

bool TfrmTWMain::LoadProjectFile(const QString& path)
{
    TBusy busy(busy_);
    passiveInfoShown_ = false;
    fileName_ = path;
    try {
        form_.Project().LoadFromFile(tw::ui::ToPath(path));
    } catch (const std::exception& e) {
        // The loader left the project as it was; the window still shows it, now without a
        // file.
        fileName_.clear();
        FocusFirstInput();
        UpdateTitle();
        showError(QString::fromStdString(e.what()));
        return false;
    }
    Apply(Guarded([this] { return form_.AfterOpen(); }));
    RememberRecentFile(path);
    FocusFirstInput();
    UpdateTitle();
    return true;
}

void TfrmTWMain::CommitFocusedInput()
{
    if (busy_)
        return;
    // The input that has the focus, or whose part has it (the date picker's text).
    for (QWidget* widget = QApplication::focusWidget(); widget != nullptr && widget != this;
         widget = widget->parentWidget()) {
        const auto found = inputs_.constFind(widget);
        if (found == inputs_.constEnd())
            continue;
        if (CommitsOnLeave(found.value()))
            Commit();
        return;
    }
}

bool TfrmTWMain::ASaveExecute()
{
    CommitFocusedInput();
    if (fileName_.isEmpty())
        return ASaveAsExecute();
    return SaveProjectTo(fileName_);
}

bool TfrmTWMain::ASaveAsExecute()
{
    const QString path = chooseSaveFile ? chooseSaveFile(documentsFolder_, fileName_) : QString();
    if (path.isEmpty())
        return false;
    CommitFocusedInput();
    const bool saved = SaveProjectTo(path);
    // A failed save keeps the file the project came from.
    if (saved)
        fileName_ = path;
    UpdateTitle();
    return saved;
}

bool TfrmTWMain::SaveProjectTo(const QString& path)
{
    try {
        form_.Project().SaveToFile(tw::ui::ToPath(path));
    } catch (const std::exception& e) {
        showError(QString::fromStdString(e.what()));
        return false;
    }
    form_.SetModified(false);
    RememberRecentFile(path);
    Refresh();
    return true;
}

void TfrmTWMain::AExitExecute()
{
    close();
}

void TfrmTWMain::AHelpExecute()
{
    const QString manual =
        QDir(programFolder).filePath(QString::fromLatin1(tw::ui::kManualFileName));
    if (programFolder.isEmpty() || !QFileInfo(manual).isFile()) {
        showError(QStringLiteral("The user's manual \"%1\" is not installed in %2.")
                      .arg(QString::fromLatin1(tw::ui::kManualFileName),
                           QDir::toNativeSeparators(programFolder.isEmpty()
                                                        ? QStringLiteral("the program's folder")
                                                        : programFolder)));
        return;
    }
    if (openWithDesktop && !openWithDesktop(QUrl::fromLocalFile(manual)))
        showError(QStringLiteral("The user's manual %1 could not be opened: no program to show "
                                 "PDF files was found.")
                      .arg(QDir::toNativeSeparators(manual)));
}

void TfrmTWMain::AAboutExecute()
{
    tw::ui::TfrmAbout about(this);
    about.exec();
}

void TfrmTWMain::AWebExecute()
{
    if (openWithDesktop)
        openWithDesktop(QUrl(QString::fromLatin1(tw::ui::kWebsiteAddress)));
}

void TfrmTWMain::ALogoExecute()
{
    if (busy_ || !chooseLogoFile)
        return;
    const QString path = chooseLogoFile(documentsFolder_);
    if (!path.isEmpty())
        LoadLogo(path);
}

bool TfrmTWMain::LoadLogo(const QString& path)
{
    tw::TTWData& project = form_.Project();
    try {
        project.LoadLogoFromFile(tw::ui::ToPath(path));
    } catch (const std::exception& e) {
        showError(QString::fromStdString(e.what()));
        return false;
    }
    form_.SetLogo(project.Logo());
    Refresh();
    return true;
}

void TfrmTWMain::AClearLogoExecute()
{
    if (busy_)
        return;
    form_.Project().ClearLogo();
    form_.SetLogo({});
    Refresh();
}

void TfrmTWMain::RememberRecentFile(const QString& path)
{
    recentFiles_ = tw::ui::WithRecentFile(recentFiles_, QFileInfo(path).absoluteFilePath());
    if (keepsSettings_) {
        const std::unique_ptr<QSettings> settings = tw::ui::OpenSettings();
        tw::ui::WriteRecentFiles(*settings, recentFiles_);
    }
    RefreshRecentFiles();
}

void TfrmTWMain::ForgetRecentFile(const QString& path)
{
    recentFiles_.removeAll(path);
    if (keepsSettings_) {
        const std::unique_ptr<QSettings> settings = tw::ui::OpenSettings();
        tw::ui::WriteRecentFiles(*settings, recentFiles_);
    }
    RefreshRecentFiles();
}

void TfrmTWMain::RefreshRecentFiles()
{
    const QFontMetrics metrics(fileMenu_->font());
    for (std::size_t i = 0; i < recentActions_.size(); ++i) {
        QAction* action = recentActions_[i];
        const bool shown = static_cast<qsizetype>(i) < recentFiles_.size();
        action->setVisible(shown);
        if (!shown)
            continue;
        const QString path = recentFiles_.at(static_cast<qsizetype>(i));
        const QString native = QDir::toNativeSeparators(path);
        QString label = metrics.elidedText(native, Qt::ElideMiddle, 420);
        label.replace(QLatin1Char('&'), QStringLiteral("&&"));
        action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(label));
        action->setData(path);
        action->setToolTip(native);
        action->setStatusTip(native);
    }
    recentSeparator_->setVisible(!recentFiles_.isEmpty());
}

QString TfrmTWMain::DroppedFile(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls())
        return QString();
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
            return url.toLocalFile();
    return QString();
}

void TfrmTWMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TfrmTWMain::dropEvent(QDropEvent* event)
{
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // Opened after the drop has finished, so that the question and the messages are not
    // shown in the middle of it.
    QTimer::singleShot(0, this, [this, path] { OpenFile(path); });
}

void TfrmTWMain::closeEvent(QCloseEvent* event)
{
    if (!CheckSaved()) {
        event->ignore();
        return;
    }
    hint_->hide();
    event->accept();
}

void TfrmTWMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    UpdateColumns();
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
        const bool onAnchor = hintAnchor_ != nullptr &&
                              (widget == hintAnchor_ || hintAnchor_->isAncestorOf(widget));
        if (!onHint && !onAnchor)
            CloseHint();
    }
    return false;
}

void TfrmTWMain::RefreshHint()
{
    if (!form_.HintText().empty() && form_.HintBox()) {
        passiveInfoShown_ = false;
        ShowHint(boxWidget(*form_.HintBox()), QString::fromStdString(form_.HintText()));
    } else if (!passiveInfoShown_) {
        ShowHint(nullptr, QString());
    }
}

void TfrmTWMain::RefreshLogo()
{
    const std::vector<uint8_t>& logo = form_.Logo();
    if (logo == shownLogo_)
        return;
    shownLogo_ = logo;
    logoImage_ = QImage();
    if (!logo.empty() &&
        !logoImage_.loadFromData(logo.data(), static_cast<int>(logo.size()), "JPEG"))
        logoImage_ = QImage(); // not a picture: the slot stays empty
    LayoutLogo();
}

void TfrmTWMain::LayoutLogo()
{
    // The slot is as high as the area; its width is the picture's at that height, at most
    // 173 pixels, and 0 without a picture. It is centred in the area.
    const int height = logoArea_->height();
    int width = 0;
    if (!logoImage_.isNull() && height > 0)
        width = std::min<int>(kLogoWidth,
                              static_cast<int>(std::lround(static_cast<double>(logoImage_.width()) *
                                                           height / logoImage_.height())));
    logo_->setGeometry((kLogoWidth - width) / 2, 0, width, height);
    if (width <= 0) {
        logo_->clear();
        return;
    }
    logo_->setPixmap(QPixmap::fromImage(
        logoImage_.scaled(width, height, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

// --- The form into the widgets ---

void TfrmTWMain::Refresh()
{
    TBusy busy(busy_);
    const bool si = form_.Project().Units == tw::TUnitSystem::usSI;

    for (int i = 0; i < kBoxCount; ++i) {
        const TBoxState& state = form_.BoxState(static_cast<Box>(i));
        const TBoxWidgets& w = boxes_[i];
        const QString text = QString::fromStdString(state.text);
        if (w.edit->text() != text) {
            const QSignalBlocker blocker(w.edit);
            w.edit->setText(text);
            w.edit->setCursorPosition(0);
        }
        if (w.edit->readOnlyLook() != state.readOnly)
            w.edit->setReadOnlyLook(state.readOnly);
        SetText(w.caption, QString::fromStdString(state.caption));
        SetText(w.unit, QString::fromStdString(state.unit));
        SetRed(w.unit, state.unitRed);
        if (w.row != nullptr) {
            w.row->setVisible(state.visible);
            w.row->setEnabled(state.enabled);
        } else {
            w.edit->setVisible(state.visible);
            w.edit->setEnabled(state.enabled);
            if (w.unit != nullptr)
                w.unit->setVisible(state.visible);
        }
    }

    for (int i = 0; i < kListCount; ++i) {
        const TListState& state = form_.ListState(static_cast<List>(i));
        const TListWidgets& w = lists_[i];
        const QSignalBlocker blocker(w.combo);
        bool same = w.combo->count() == static_cast<int>(state.items.size());
        for (int k = 0; same && k < w.combo->count(); ++k)
            same = w.combo->itemText(k).toStdString() == state.items[k];
        if (!same) {
            w.combo->clear();
            QFontMetrics metrics(w.combo->font());
            int widest = 0;
            for (const std::string& item : state.items) {
                const QString text = QString::fromStdString(item);
                w.combo->addItem(text);
                widest = std::max(widest, metrics.horizontalAdvance(text));
            }
            // The drop-down is as wide as its longest entry, the box may be narrower.
            w.combo->view()->setMinimumWidth(widest + 30);
        }
        if (w.combo->currentIndex() != state.index)
            w.combo->setCurrentIndex(state.index);
        SetText(w.caption, QString::fromStdString(state.caption));
        SetText(w.unit, QString::fromStdString(state.unit));
        w.unit->setVisible(!state.unit.empty());
        w.row->setVisible(state.visible);
        w.row->setEnabled(state.enabled);
    }
    userSheetButton_->setVisible(form_.UserSheetButtonVisible());

    for (int i = 0; i < kCheckCount; ++i) {
        const TCheckState& state = form_.CheckState(static_cast<Check>(i));
        const TCheckWidgets& w = checks_[i];
        const QSignalBlocker blocker(w.button);
        w.button->setChecked(state.checked);
        if (w.other != nullptr) {
            const QSignalBlocker otherBlocker(w.other);
            w.other->setChecked(!state.checked);
        }
        w.row->setVisible(state.visible);
        w.row->setEnabled(state.enabled);
    }
    passiveInfoButton_->setVisible(form_.PassiveChoiceVisible());
    viewTableButton_->setVisible(form_.RebarCagePanelVisible());

    for (int i = 0; i < kLabelCount; ++i) {
        const TLabelWidgets& w = labels_[i];
        if (w.text == nullptr)
            continue; // the round-section class shows in the unit label of its row
        const TLabelState& state = form_.LabelState(static_cast<Label>(i));
        SetText(w.text, QString::fromStdString(state.text));
        if (w.caption != nullptr)
            SetRed(w.caption, state.red); // the notice's heading
        else
            SetRed(w.text, state.red);
        w.text->setEnabled(state.enabled);
        w.row->setVisible(state.visible);
    }

    for (int i = 0; i < kVerdictCount; ++i) {
        const TVerdictState& state = form_.VerdictState(static_cast<Verdict>(i));
        QLabel* mark = verdicts_[i];
        mark->setPixmap(state.pass ? passMark_ : failMark_);
        mark->setVisible(state.visible && !state.outOfView);
    }

    for (const TResultRowWidgets& w : resultRows_) {
        w.widget->setVisible(RowVisible(form_, *w.row));
        SetText(w.caption, QString::fromStdString(RowCaption(form_, *w.row)));
    }
    for (const THeadWidgets& head : heads_) {
        const TColumnHeads texts = ResultColumnHeads(head.section, si);
        SetText(head.first, Q(texts.first));
        SetText(head.second, Q(texts.second));
        if (head.follows != nullptr)
            head.row->setVisible(RowVisible(form_, *head.follows));
    }
    SetText(pointHeads_[0], Q(PointColumnHead(false, si)));
    SetText(pointHeads_[1], Q(PointColumnHead(true, si)));
    RefreshAnalysisStatus();

    // Title block.
    for (int i = 0; i < kTitleTextCount; ++i) {
        const QString text = QString::fromStdString(form_.Title(static_cast<TitleText>(i)));
        if (titles_[i]->text() != text) {
            const QSignalBlocker blocker(titles_[i]);
            titles_[i]->setText(text);
        }
    }
    {
        const QDate date = kSerialEpoch.addDays(static_cast<qint64>(std::floor(form_.Date())));
        const QSignalBlocker blocker(date_);
        if (date_->date() != date)
            date_->setDate(date);
    }
    RefreshLogo();
    clearLogoButton_->setEnabled(!logoImage_.isNull());

    // Sections last, so that they fit the rows as now shown.
    for (int i = 0; i < kSectionCount; ++i) {
        const TSectionState& state = form_.SectionState(static_cast<Section>(i));
        TCollapsibleSection* section = sections_[i];
        section->setCaption(QString::fromStdString(state.caption));
        section->setVisible(state.visible);
        if (IsResultSection(static_cast<Section>(i))) {
            section->markLabel()->setPixmap(state.markPass ? passMark_ : failMark_);
            section->markLabel()->setVisible(state.markVisible);
        }
        if (section->isExpanded() != state.expanded)
            section->setExpanded(state.expanded);
    }
    // The guardrail drawing only with guardrail design.
    UpdateColumns();

    RefreshHint();
    setWindowModified(form_.Modified());
    if (!toolTipUnits_ || *toolTipUnits_ != form_.Project().Units)
        RefreshToolTips();
}

void TfrmTWMain::RefreshToolTips()
{
    // What each input means, and the limits of the boxes in the current unit system.
    toolTipUnits_ = form_.Project().Units;
    for (int i = 0; i < kBoxCount; ++i)
        boxes_[i].edit->setToolTip(Q(form_.ToolTip(static_cast<Box>(i))));
    for (int i = 0; i < kListCount; ++i)
        lists_[i].combo->setToolTip(Q(form_.ToolTip(static_cast<List>(i))));
    for (int i = 0; i < kCheckCount; ++i) {
        const QString tip = Q(form_.ToolTip(static_cast<Check>(i)));
        checks_[i].button->setToolTip(tip);
        if (checks_[i].other != nullptr)
            checks_[i].other->setToolTip(tip);
    }
    passiveInfoButton_->setToolTip(Q(kPassiveInfoHint));
}

void TfrmTWMain::RefreshAnalysisStatus()
{
    const auto& failure = form_.AnalysisFailure();
    auto* failureText = failureBanner_->findChild<QLabel*>(QStringLiteral("text"));
    if (failure) {
        QString text = QStringLiteral("The analysis failed: ") + QString::fromStdString(*failure);
        text += form_.ResultsStale()
                    ? QStringLiteral("\nThe results below are from the last successful analysis.")
                    : QStringLiteral("\nNo results until the inputs allow an analysis.");
        SetText(failureText, text);
    }
    failureBanner_->setVisible(failure.has_value());
    const QString notice = QString::fromStdString(form_.Notice());
    SetText(noticeBanner_->findChild<QLabel*>(QStringLiteral("text")), notice);
    noticeBanner_->setVisible(!notice.isEmpty());

    // Results left from an earlier analysis are greyed, marks and all, so that nobody reads
    // them as the results of the inputs shown.
    const bool stale = form_.ResultsStale();
    for (int i = 0; i < kBoxCount; ++i) {
        if (!(BoxDef(static_cast<Box>(i)).flags & kResult))
            continue;
        const TBoxWidgets& w = boxes_[i];
        const bool enabled = w.row != nullptr || form_.BoxState(static_cast<Box>(i)).enabled;
        w.edit->setEnabled(enabled && !stale);
    }
    for (QLabel* mark : verdicts_)
        mark->setEnabled(!stale);
    for (int i = N(kFirstResultSection); i < kSectionCount; ++i)
        sections_[i]->markLabel()->setEnabled(!stale);
}
