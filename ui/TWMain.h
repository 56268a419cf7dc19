// TfrmTWMain: the main window. It is a thin binding of the form model (tw::form::TMainForm):
// the widgets are built from the form's tables, every widget event is forwarded to the form,
// and after every operation Refresh copies the form's state (texts, selections, visibility,
// read-only look, captions, unit labels, verdict marks, sections) back into the widgets. The
// window computes nothing and decides nothing about what is shown.
#pragma once

#include <QHash>
#include <QImage>
#include <QMainWindow>
#include <QPixmap>

#include <array>
#include <functional>
#include <vector>

#include "MainForm.h"
#include "ResultRows.h"

class QAbstractButton;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QRadioButton;
class QScrollArea;
class QTabWidget;
class QToolButton;
class QVBoxLayout;

namespace tw::ui {
class TCollapsibleSection;
class TNumericEdit;
} // namespace tw::ui

class TfrmTWMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit TfrmTWMain(tw::TTWData& project, QWidget* parent = nullptr);
    ~TfrmTWMain() override;

    tw::form::TMainForm& form() { return form_; }

    // Resets the project to a new one (the example project of its unit system when it is
    // installed) and shows it; a failed analysis reaches the error display.
    void NewProject();
    // Copies the whole form state into the widgets.
    void Refresh();

    // --- The parts of the window, for tests and for the windows built on this one ---
    QWidget* boxWidget(tw::form::Box box) const;
    QComboBox* listWidget(tw::form::List list) const;
    // A check box; for an option pair the button of the checked state ("Allowable Passive",
    // "Slurry on Shored Height").
    QAbstractButton* checkWidget(tw::form::Check check) const;
    // The other button of an option pair ("Ultimate Passive", "Concrete on Shored Height");
    // nullptr for a check box.
    QAbstractButton* uncheckedOptionWidget(tw::form::Check check) const;
    QWidget* sectionWidget(tw::form::Section section) const;
    QLabel* verdictWidget(tw::form::Verdict verdict) const;
    QLabel* sectionMarkWidget(tw::form::Section section) const;
    QLineEdit* titleWidget(tw::form::TitleText text) const;
    QDateEdit* dateWidget() const { return date_; }
    QLabel* logoWidget() const { return logo_; }
    QLabel* hintWindow() const { return hint_; }
    QScrollArea* inputsColumn() const { return inputsArea_; }
    QScrollArea* resultsColumn() const { return resultsArea_; }
    QTabWidget* drawingTabs() const { return drawings_; }
    // The small buttons: beside the section list (the user-defined sheet pile dialog), "View
    // Table" (the interaction table), the information button of the passive choice, and the
    // enlarged strip and seismic load sketches.
    QToolButton* userSheetButton() const { return userSheetButton_; }
    QAbstractButton* viewTableButton() const { return viewTableButton_; }
    QToolButton* passiveInfoButton() const { return passiveInfoButton_; }
    QToolButton* stripSketchButton() const { return stripSketchButton_; }
    QToolButton* seismicSketchButton() const { return seismicSketchButton_; }

    // Shows the message of a failed command (called from the event loop right after the
    // command). A message box by default; tests replace it.
    std::function<void(const QString&)> showError;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What an input widget stands for, for the event filter.
    struct TInputRef
    {
        enum class Kind
        {
            Box,
            List,
            Check,
            Title,
            Date
        } kind;
        int id;
    };
    struct TBoxWidgets
    {
        tw::ui::TNumericEdit* edit = nullptr;
        QLabel* caption = nullptr; // the row caption when the box owns its row
        QLabel* unit = nullptr;
        QWidget* row = nullptr; // the row, when the box's state decides the row
    };
    struct TListWidgets
    {
        QComboBox* combo = nullptr;
        QLabel* caption = nullptr;
        QLabel* unit = nullptr;
        QWidget* row = nullptr;
    };
    struct TCheckWidgets
    {
        QAbstractButton* button = nullptr; // the check box, or the checked option
        QRadioButton* other = nullptr;     // the unchecked option of a pair
        QWidget* row = nullptr;
    };
    struct TLabelWidgets
    {
        QLabel* caption = nullptr;
        QLabel* text = nullptr;
        QWidget* row = nullptr;
    };
    struct TResultRowWidgets
    {
        const tw::form::TResultRow* row = nullptr;
        QWidget* widget = nullptr;
        QLabel* caption = nullptr;
    };
    struct THeadWidgets
    {
        tw::form::Section section;
        QWidget* row = nullptr;
        QLabel* first = nullptr;
        QLabel* second = nullptr;
        const tw::form::TResultRow* follows = nullptr; // shown with this row, if any
    };

    void BuildWidgets();
    QWidget* BuildTitleBlock();
    void BuildInputColumn(QVBoxLayout* column);
    void BuildResultColumn(QVBoxLayout* column);
    tw::ui::TCollapsibleSection* MakeSection(tw::form::Section section);
    QWidget* BoxRow(tw::form::Box box, QWidget* parent);
    QWidget* ListRow(tw::form::List list, QWidget* parent);
    QWidget* CheckRow(tw::form::Check check, QWidget* parent);
    QWidget* OptionPairRow(tw::form::Check check, QWidget* parent);
    QWidget* PointTable(QWidget* parent);
    QWidget* ResultRow(const tw::form::TResultRow& row, QWidget* parent);
    QWidget* ResultHead(tw::form::Section section, QWidget* parent,
                        const tw::form::TResultRow* follows);
    void Watch(QWidget* widget, TInputRef ref);

    // After a commit: refresh, then show the error, if any.
    void Apply(const tw::form::TCommitResult& result);
    void Commit();
    void EnterInput(const TInputRef& ref);
    bool CommitsOnLeave(const TInputRef& ref) const;
    void RefreshLogo();
    void ScaleLogo();
    void RefreshHint();
    void ShowHint(QWidget* anchor, const QString& text);
    void SectionSettled(tw::ui::TCollapsibleSection* section, bool expanded);

    tw::form::TMainForm form_;

    std::array<TBoxWidgets, tw::form::kBoxCount> boxes_{};
    std::array<TListWidgets, tw::form::kListCount> lists_{};
    std::array<TCheckWidgets, tw::form::kCheckCount> checks_{};
    std::array<TLabelWidgets, tw::form::kLabelCount> labels_{};
    std::array<QLabel*, tw::form::kVerdictCount> verdicts_{};
    std::array<tw::ui::TCollapsibleSection*, tw::form::kSectionCount> sections_{};
    std::array<QLineEdit*, tw::form::kTitleTextCount> titles_{};
    std::vector<TResultRowWidgets> resultRows_;
    std::vector<THeadWidgets> heads_;
    std::array<QLabel*, 2> pointHeads_{};
    QHash<QObject*, TInputRef> inputs_;
    // The focus order: the title block, then the inputs column top to bottom.
    std::vector<QWidget*> focusOrder_;

    QDateEdit* date_ = nullptr;
    QLabel* logo_ = nullptr;
    std::vector<uint8_t> shownLogo_;
    QImage logoImage_;
    QLabel* hint_ = nullptr;
    QWidget* hintAnchor_ = nullptr;
    bool passiveInfoShown_ = false;
    QScrollArea* inputsArea_ = nullptr;
    QScrollArea* resultsArea_ = nullptr;
    QTabWidget* drawings_ = nullptr;
    QToolButton* userSheetButton_ = nullptr;
    QAbstractButton* viewTableButton_ = nullptr;
    QToolButton* passiveInfoButton_ = nullptr;
    QToolButton* stripSketchButton_ = nullptr;
    QToolButton* seismicSketchButton_ = nullptr;
    QPixmap passMark_, failMark_;
    // Set while the window writes into its widgets or runs a command, so that the focus
    // changes this causes are not taken for the user's.
    bool busy_ = false;
    // Sections change at once (no animation) until the window is first refreshed.
    bool animate_ = false;
};
