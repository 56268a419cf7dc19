// The form into the widgets: after every operation the window copies the form's state (texts,
// selections, visibility, read-only look, captions, unit labels, marks, sections, banners,
// tool tips) into its widgets.
#include "ui/TWMain.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QDateEdit>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <exception>
#include <string_view>
#include <utility>

#include "ui/CollapsibleSection.h"
#include "ui/DiagramView.h"
#include "ui/MainWindowParts.h"
#include "ui/NumericEdit.h"
#include "ui/PageControl.h"

using namespace tw::form;
using tw::ui::TCollapsibleSection;
using namespace tw::ui::parts;

void TfrmTWMain::RefreshUndoActions()
{
    if (!aUndo_)
        return;
    const auto named = [](const char* verb, const std::string& what) {
        return what.empty()
                   ? QString::fromLatin1(verb)
                   : QString::fromLatin1(verb) + QLatin1Char(' ') + QString::fromStdString(what);
    };
    // The menu names the change; the toolbar keeps its short caption and names it in the tip.
    aUndo_->setEnabled(form_.CanUndo());
    aUndo_->setText(named("&Undo", form_.UndoWhat()));
    aUndo_->setIconText(QStringLiteral("Undo"));
    aUndo_->setToolTip(named("Undo", form_.UndoWhat()));
    aRedo_->setEnabled(form_.CanRedo());
    aRedo_->setText(named("&Redo", form_.RedoWhat()));
    aRedo_->setIconText(QStringLiteral("Redo"));
    aRedo_->setToolTip(named("Redo", form_.RedoWhat()));
    // The conversion into the system the project is in already is not offered.
    const bool si = form_.Project().Units == tw::TUnitSystem::usSI;
    if (aConvertToSI_) {
        aConvertToSI_->setEnabled(!si);
        aConvertToEnglish_->setEnabled(si);
    }
}

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
        if (auto* model = qobject_cast<QStandardItemModel*>(w.combo->model())) {
            for (int k = 0; k < model->rowCount(); ++k) {
                QStandardItem* item = model->item(k);
                if (item != nullptr && item->isEnabled() != state.ItemEnabled(k))
                    item->setEnabled(state.ItemEnabled(k));
            }
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
        if (mark == nullptr)
            continue; // told by its row's red text (the tie spacing message)
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
            section->markLabel()->setPixmap(state.markWarning ? warningMark_
                                            : state.markPass  ? passMark_
                                                              : failMark_);
            section->markLabel()->setVisible(state.markVisible);
        }
        if (section->isExpanded() != state.expanded)
            section->setExpanded(state.expanded);
    }
    // The guardrail drawing only with guardrail design.
    UpdateColumns();

    RefreshHint();
    setWindowModified(form_.Modified());
    RefreshUndoActions();
    // The drawings follow the project; each draws again when it is next shown.
    for (tw::ui::TDiagramView* view : drawingPages_)
        view->Invalidate();
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
        if (mark != nullptr)
            mark->setEnabled(!stale);
    for (int i = N(kFirstResultSection); i < kSectionCount; ++i)
        sections_[i]->markLabel()->setEnabled(!stale);
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
