// The main window's widgets, built from the form's tables: the title block, the input column
// (section by section from the input layout), the result column and the page controls.
#include "ui/TWMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <exception>
#include <string_view>
#include <utility>

#include "ui/CollapsibleSection.h"
#include "ui/Computations.h"
#include "ui/DiagramView.h"
#include "ui/Graphs.h"
#include "ui/ImgZoom.h"
#include "ui/LoadSketches.h"
#include "ui/MainWindowParts.h"
#include "ui/NumericEdit.h"
#include "ui/PageControl.h"
#include "ui/Tables.h"
#include "ui/UserDefinedSheet.h"

using namespace tw::form;
using tw::kLoadPointCount;
using tw::kPassivePointCount;
using tw::ui::TCollapsibleSection;
using tw::ui::TNumericEdit;
using tw::ui::TPageControl;
using namespace tw::ui::parts;

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
    // The three drawings, each on its page; a click enlarges it.
    for (std::size_t i = 0; i < drawingPages_.size(); ++i) {
        auto* view =
            new tw::ui::TDiagramView(form_, static_cast<tw::drawing::TDiagramKind>(i), drawings_);
        view->setObjectName(QString::fromLatin1(kDrawingPageCaptions[i]));
        connect(view, &tw::ui::TDiagramView::clicked, this,
                [this, view](tw::drawing::TDiagramKind kind) {
                    if (!busy_)
                        tw::ui::ShowImgZoom(form_, kind, this, view->LastGoodPicture());
                });
        drawingPages_[i] = view;
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
        // A finished edit of a title text is one step of the history.
        connect(edit, &QLineEdit::editingFinished, this, [this] {
            if (!busy_) {
                form_.RememberChange();
                RefreshUndoActions();
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
            form_.RememberChange();
            setWindowModified(form_.Modified());
            RefreshUndoActions();
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
    // After the date in the Tab order (Clear only while there is a logo to clear).
    for (QPushButton* button : {logoButton_, clearLogoButton_}) {
        button->setFocusPolicy(Qt::StrongFocus);
        button->setFixedWidth(kLogoButtonWidth);
        buttons->addWidget(button);
        focusOrder_.push_back(button);
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
    // Why a key was refused shows in the window's hint window, for this box.
    edit->setRefusalTip(false);
    connect(edit, &TNumericEdit::keyRefused, this, [this, box](const QString& why) {
        form_.ShowBoxHint(box, why.toStdString());
        RefreshHint();
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
                if (label == Label::SpacingMessage) {
                    // The tie spacing message with the verdict mark of the spacing.
                    auto* line = new QHBoxLayout();
                    line->setContentsMargins(0, 0, 0, 0);
                    line->addWidget(text, 1);
                    auto* mark = new QLabel(row);
                    mark->setFixedSize(kMarkSize, kMarkSize);
                    RetainSize(mark);
                    line->addWidget(mark);
                    verdicts_[N(Verdict::TieSpacing)] = mark;
                    layout->addLayout(line);
                } else {
                    layout->addWidget(text);
                }
                labels_[N(label)] = {caption, text, row};
                rows->addWidget(row);
                break;
            }
            case InputItemKind::ViewTable: {
                auto* button = LinkButton(QStringLiteral("View Table"), body);
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
        // The links to the graphs and the node table: under the output data, and under the
        // rebar cage checks for its interaction diagram.
        if (section == Section::OutputData || section == Section::RebarChecks) {
            auto* links = new QWidget(body);
            auto* layout = RowLayout(links);
            if (section == Section::OutputData) {
                viewAllGraphs_ = LinkButton(QStringLiteral("View All Graphs"), links);
                viewOneGraph_ = LinkButton(QStringLiteral("View One Graph"), links);
                viewPlotAnalysis_ = LinkButton(QStringLiteral("View Plot Analysis"), links);
                for (QToolButton* link : {viewAllGraphs_, viewOneGraph_, viewPlotAnalysis_})
                    layout->addWidget(link);
            } else {
                viewInteraction_ = LinkButton(QStringLiteral("View Graph"), links);
                layout->addWidget(viewInteraction_);
            }
            layout->addStretch(1);
            widget->bodyLayout()->addWidget(links);
        }
        column->addWidget(widget);
    }
    column->addStretch(1);

    using tw::form::TGraphKind;
    connect(viewAllGraphs_, &QToolButton::clicked, this, [this] {
        if (!busy_)
            tw::ui::ShowGraphs(form_, TGraphKind::All, this);
    });
    connect(viewInteraction_, &QToolButton::clicked, this, [this] {
        if (!busy_)
            tw::ui::ShowGraphs(form_, TGraphKind::Interaction, this);
    });
    connect(viewPlotAnalysis_, &QToolButton::clicked, this, [this] {
        if (!busy_)
            tw::ui::ShowComputations(form_, this);
    });
    // "View One Graph": the graphs to choose from, just below the link.
    graphMenu_ = new QMenu(this);
    const struct
    {
        const char* caption;
        TGraphKind kind;
    } graphs[] = {{"&Loading", TGraphKind::Loading},
                  {"&Shear", TGraphKind::Shear},
                  {"&Moment", TGraphKind::Moment},
                  {"Sl&ope", TGraphKind::Slope},
                  {"&Deflection", TGraphKind::Deflection}};
    for (const auto& g : graphs) {
        QAction* action = graphMenu_->addAction(QString::fromLatin1(g.caption));
        const TGraphKind kind = g.kind;
        connect(action, &QAction::triggered, this, [this, kind] {
            // Opened once the menu has closed.
            QTimer::singleShot(0, this, [this, kind] { tw::ui::ShowGraphs(form_, kind, this); });
        });
    }
    connect(viewOneGraph_, &QToolButton::clicked, this, [this] {
        if (!busy_)
            graphMenu_->popup(viewOneGraph_->mapToGlobal(QPoint(0, viewOneGraph_->height())));
    });
}
