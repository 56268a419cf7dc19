// The main window without widgets: the text of every numeric box, the items and selection of
// every list, the check boxes and option buttons, which inputs and result rows are shown,
// editable or read-only, the unit labels, the sections of both columns and the verdict marks,
// and the recalculation that copies the window into the project, analyses it and shows it
// again. The Qt window, the command line and the tests all drive this one model, so they show
// the same numbers.
#pragma once

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/InputRules.h"
#include "engine/SoilSprings.h"
#include "engine/TWClasses.h"
#include "engine/Verdicts.h"
#include "form/FormIds.h"

namespace tw::form {

struct TBoxState
{
    std::string text;
    std::string caption;
    std::string unit;      // unit label beside the box ("" none)
    bool unitRed = false;  // the unit label shows a warning text (a slender round section)
    bool visible = true;   // the row: caption, box and unit label
    bool readOnly = false; // read-only look, no editing
    bool enabled = true;
};

struct TListState
{
    std::vector<std::string> items;
    int index = -1; // -1 nothing selected
    // Items that cannot be chosen now (shown greyed), by position.
    std::vector<int> disabled;
    std::string caption;
    std::string unit;
    bool visible = true;
    bool enabled = true;

    bool ItemEnabled(int i) const
    {
        return std::find(disabled.begin(), disabled.end(), i) == disabled.end();
    }
    const std::string* Selected() const
    {
        return index >= 0 && index < static_cast<int>(items.size()) ? &items[index] : nullptr;
    }
    std::optional<std::string> SelectedText() const
    {
        return Selected() ? std::optional<std::string>(*Selected()) : std::nullopt;
    }
    // The position of the item with this text, -1 when there is none.
    int Find(const std::optional<std::string>& text) const
    {
        if (text)
            for (std::size_t i = 0; i < items.size(); ++i)
                if (items[i] == *text)
                    return static_cast<int>(i);
        return -1;
    }
};

struct TCheckState
{
    bool checked = false;
    bool visible = true;
    bool enabled = true;
};

struct TLabelState
{
    std::string text;
    bool visible = true;
    bool red = false;
    bool enabled = true;
};

// The engine's check behind a verdict mark of the window.
TCheckId EngineCheck(Verdict v);

struct TVerdictState
{
    bool visible = false; // shown (counts for the caption mark of its section)
    bool pass = true;
    bool outOfView = false; // shown but drawn nowhere: the row's red text says it instead
};

struct TSectionState
{
    std::string caption;
    bool visible = true;
    bool expanded = false;
    // Result sections: the caption's verdict mark.
    bool markVisible = false;
    bool markPass = true;
    // The mark is a warning (a second opinion differs), not a failed verdict.
    bool markWarning = false;
};

// The outcome of a commit: the message of an arithmetic failure of the analysis, or none.
// `report` is set when the failure is news to the user: the window shows it in a message box
// then, and not again while the same failure repeats (the results column's banner shows it
// all the while, AnalysisFailure).
struct TCommitResult
{
    std::optional<std::string> error;
    bool report = false;
    bool ok() const { return !error.has_value(); }
};

class TMainForm
{
public:
    // The form shows the given project, which it reads and writes but does not own.
    explicit TMainForm(TTWData& project, TNumberFormat format = {});

    TTWData& Project() { return project_; }
    const TTWData& Project() const { return project_; }
    // The soil-spring analysis of the results shown (not applicable, without a reason, before
    // the first analysis and after a failed one).
    const TSoilSpringAnalysis& SoilSprings() const { return soilSprings_; }
    // Whether each recalculation also solves the soil-spring analysis (on by default). The
    // studies and the section search, which read only the design's results, turn it off: it
    // is the costliest part of a recalculation.
    void SetSoilSpringsShown(bool shown) { soilSpringsShown_ = shown; }
    const TNumberFormat& NumberFormat() const { return format_; }

    // --- State, as the window shows it ---
    const TBoxState& BoxState(Box b) const { return boxes_[Index(b)]; }
    const TListState& ListState(List l) const { return lists_[Index(l)]; }
    const TCheckState& CheckState(Check c) const { return checks_[Index(c)]; }
    const TLabelState& LabelState(Label l) const { return labels_[Index(l)]; }
    const TVerdictState& VerdictState(Verdict v) const { return verdicts_[Index(v)]; }
    const TSectionState& SectionState(Section s) const { return sections_[Index(s)]; }
    const std::string& Title(TitleText t) const { return titles_[Index(t)]; }
    double Date() const { return date_; }
    const std::vector<uint8_t>& Logo() const { return logo_; }
    // "Ultimate Passive"/"Allowable Passive" and the information button beside them.
    bool PassiveChoiceVisible() const { return passiveChoiceVisible_; }
    // The rebar cage sub-panel of "Structural data" (the I-beam sub-panel shows otherwise).
    bool RebarCagePanelVisible() const { return rebarPanelVisible_; }
    // The button beside the sheet pile list that opens the user-defined section.
    bool UserSheetButtonVisible() const { return userSheetButtonVisible_; }
    // The input hint window: its text ("" hidden) and the box it shows under.
    const std::string& HintText() const { return hintText_; }
    std::optional<Box> HintBox() const { return hintBox_; }
    // Closes the hint window (Esc, a click elsewhere) until an input shows it again.
    void DismissHint();
    // Says in the hint window, under the box, why it refused a key; the next commit hides it.
    void ShowBoxHint(Box b, std::string text);
    bool Modified() const { return modified_; }
    // Unmodified also makes the current state the saved one of the history.
    void SetModified(bool modified);
    // The No answer to the save question: unmodified as SetModified(false), but the unsaved
    // changes can be taken back (TakeBackChanges) until the project is saved, opened, new or
    // changed again: the command that asked did not go on after all (an Open that failed).
    void GiveUpChanges();
    void TakeBackChanges();

    // --- Undo and redo: snapshots of the stored project after each change ---
    bool CanUndo() const { return current_ > 0; }
    bool CanRedo() const { return current_ + 1 < history_.size(); }
    // What an undo or redo would take back or do again: the caption of the input changed
    // ("Shored Height, H"), empty when there is nothing.
    std::string UndoWhat() const;
    std::string RedoWhat() const;
    // Puts the project back as it was before the last change (after the next one), shows it
    // and recalculates; the project is unmodified when that is the saved state.
    TCommitResult Undo();
    TCommitResult Redo();
    // Records the project as a new state of the history when it differs from the current one
    // (after the title block, the date or the logo changed; commits record themselves).
    void RememberChange();
    // Converts the whole project into the unit system, every value through its exact factor
    // (unlike the Units list, which keeps the numbers), shows it and recalculates; one step of
    // the history. The notes say what could not be kept exactly.
    TCommitResult ConvertUnits(TUnitSystem to, std::vector<std::string>& notes);
    std::size_t HistorySize() const { return history_.size(); }

    // The message of the failure of the last analysis, until an analysis succeeds.
    const std::optional<std::string>& AnalysisFailure() const { return failure_; }
    // The results column still shows the results of an earlier analysis: the last one failed
    // after the inputs changed.
    bool ResultsStale() const { return failure_.has_value() && resultsShown_; }
    // A one-line note for the results column's banner ("" none), e.g. on a switch of the unit
    // system (the first in a session, or one that changed inputs: it names them); it stays
    // until dismissed, the switch is undone or the next New or Open.
    const std::string& Notice() const { return notice_; }
    void DismissNotice() { notice_.clear(); }
    // The tool tip of an input: what it means, and the limits of a numeric box in the current
    // unit system. Empty for results and for inputs without one.
    std::string ToolTip(Box b) const;
    std::string ToolTip(List l) const;
    std::string ToolTip(Check c) const;

    // --- What the user does (the window forwards its events) ---
    // The user-defined sheet pile section confirmed in its dialog: it becomes the project's
    // user section, the project is modified and recalculated.
    TCommitResult SetUserSection(const TSteelShape& section);
    // A box's text changed (typing, paste): marks the project modified; nothing else until
    // the box is left.
    void EditBox(Box b, std::string text);
    // Leaving an input commits it: hides the hint and recalculates.
    TCommitResult Commit();
    // A list choice, a check box click or an option button click takes effect at once.
    TCommitResult ChooseListItem(List l, int index);
    TCommitResult SetChecked(Check c, bool checked);
    void EditTitle(TitleText t, std::string utf8);
    void EditDate(double serialDate);
    // The logo picture (JPEG bytes, validated by the project when committed; empty: none).
    void SetLogo(std::vector<uint8_t> jpeg);
    // An input gained the focus: expands its collapsed section and shows its hint.
    void EnterBox(Box b);
    void EnterList(List l);
    void EnterCheck(Check c);
    // A click on a section's caption bar toggles it.
    void ToggleSection(Section s);
    // Expanding a section collapses the other expanded section of its column.
    void SetSectionExpanded(Section s, bool expand);

    // --- The window's operations ---
    // Copies every input into the project with its rules and bounds, analyses and shows the
    // project again. An arithmetic failure stops it: the results keep their previous values
    // and the message is returned.
    TCommitResult Recalculate();
    // Writes the whole project into the form (inputs, visibility, unit labels, the analysis,
    // results, verdicts). When its analysis fails the results show "N.A." and their marks are
    // hidden, and the message is returned.
    TCommitResult ShowProject();
    // Refills the section, bar and guardrail angle lists (all, or only the empty ones),
    // keeping the user's choice where the new items allow.
    void RefreshCatalogLists(bool onlyIfEmpty);
    // Writes the unit labels and the captions and lists that depend on the unit system.
    void SetUnits();
    // The window after the project was reset by NewProject: lists refilled, title block
    // cleared, every box at its lower limit, then the project shown and recalculated; the
    // project is unmodified.
    TCommitResult AfterNew();
    // The window after the project was read from a file: lists refilled, shown, recalculated,
    // unmodified.
    TCommitResult AfterOpen();

private:
    template <class E> static constexpr std::size_t Index(E e)
    {
        return static_cast<std::size_t>(e);
    }
    TBoxState& B(Box b) { return boxes_[Index(b)]; }
    TListState& L(List l) { return lists_[Index(l)]; }
    TCheckState& C(Check c) { return checks_[Index(c)]; }
    TLabelState& Lb(Label l) { return labels_[Index(l)]; }
    TVerdictState& V(Verdict v) { return verdicts_[Index(v)]; }
    TSectionState& S(Section s) { return sections_[Index(s)]; }

    // ShowNumber into a box.
    void Show(Box b, long double value, bool noClamp = false);
    // ReadNumber from a box with explicit bounds (0: none); rewrites a bounded box.
    long double Read(Box b, double lower = 0, double upper = 0);
    // A read with an explicit bound on one side that keeps the box's fixed limit on the
    // other side (ClampOpenSide: angles whose sign the analysis relies on, lengths that cannot
    // be negative).
    long double ReadKeepingSign(Box b, double lower, double upper);
    void FillList(List l, std::vector<std::string> items);
    void FillEnumList(List l, std::span<const std::string_view> items);
    int ListIndex(List l) const { return lists_[Index(l)].index; }

    // The display pass; without `analyse` it shows the results of the analysis just made.
    TCommitResult Display(bool analyse);
    // Recalculate without deciding whether its failure is reported.
    TCommitResult RecalculateNow();
    // The numeric inputs of one step through their rules (engine/InputRules.h).
    void ReadInputs(TInputGroup group);
    // Its steps, one per input section, in the window's order.
    void ReadTitleBlock();
    void ReadSelections();
    void ReadGeneralData();
    void ReadSoils();
    void ReadLoads();
    void ReadPressureData();
    void ReadStructuralData();
    void ReadLagging();
    void ReadRebarCage();
    void ReadGuardrail();
    // The stored project with the title block as the form shows it.
    std::string Snapshot();
    // A fresh history whose only state is the project now (after New and Open).
    void ResetHistory();
    // Shows a state of the history.
    TCommitResult Restore(const std::string& snapshot);
    // Decides whether a failure is news (differs from the last one reported) and remembers it.
    TCommitResult Report(TCommitResult result);
    // Shows the project, then recalculates it, as after New and Open; unmodified after.
    TCommitResult ShowAndRecalculate();
    static void SelectAfterRefill(TListState& list, bool wasEmpty,
                                  const std::optional<std::string>& remembered, int stored);
    void ShowInputVisibility();
    void ShowInputValues();
    void ShowResults();
    void ShowClassicalCheck();
    void ShowSoilSprings();
    void ClearResults();
    void ShowRebarAndGuardrailInputs();
    void ShowVerdicts(bool analysed);
    void SetCaptionsForPileType();
    void ShowPassiveValues();
    void RefreshSectionList(bool onlyIfEmpty);
    void RefreshBarList(List l, bool onlyIfEmpty);
    void RefreshShapeList(bool onlyIfEmpty);
    void ExpandFirstSections();

    TTWData& project_;
    TNumberFormat format_;
    std::array<TBoxState, kBoxCount> boxes_{};
    std::array<TListState, kListCount> lists_{};
    std::array<TCheckState, kCheckCount> checks_{};
    std::array<TLabelState, kLabelCount> labels_{};
    std::array<TVerdictState, kVerdictCount> verdicts_{};
    std::array<TSectionState, kSectionCount> sections_{};
    std::array<std::string, kTitleTextCount> titles_{};
    double date_ = 0;
    std::vector<uint8_t> logo_;
    bool passiveChoiceVisible_ = false;
    bool rebarPanelVisible_ = false;
    bool userSheetButtonVisible_ = false;
    std::string hintText_;
    std::optional<Box> hintBox_;
    bool modified_ = false;
    // What GiveUpChanges cleared: the flag and the saved state of the history.
    struct TGivenUp
    {
        bool modified;
        std::optional<std::size_t> clean;
    };
    std::optional<TGivenUp> givenUp_;
    std::optional<std::string> failure_;
    // The results column shows the results of an analysis (not the "N.A." of a failed display).
    bool resultsShown_ = false;
    // The classical check differs from the design by more than its threshold.
    bool classicalWarning_ = false;
    // The soil springs of the results shown; they find no equilibrium.
    TSoilSpringAnalysis soilSprings_;
    bool soilSpringsShown_ = true;
    bool springWarning_ = false;
    // What the last reported failure was, without its numbers; none after a success.
    std::optional<std::string> reportedFailure_;
    std::string notice_;
    bool unitsNoticeGiven_ = false;
    // The state of the history the switch of units that the notice tells of led to.
    std::optional<std::size_t> unitsNoticeState_;
    struct THistoryState
    {
        std::string snapshot;
        std::string what; // the change that led to this state
    };
    std::vector<THistoryState> history_;
    std::size_t current_ = 0;
    std::optional<std::size_t> clean_ = 0; // the saved state, none when it was dropped
    std::string pendingChange_;            // what the next recorded state changed
    TUnitSystem displayedUnits_ = TUnitSystem::usEnglish;
    // The bar standard and units the bar lists were last filled for.
    TRebarStandard barListsStandard_ = TRebarStandard::rsUS;
    TUnitSystem barListsUnits_ = TUnitSystem::usEnglish;
};

// The box the window reads an input rule's value from.
Box RuleBox(const TInputRule& rule);

// The hint of tie spacing "Override".
inline constexpr std::string_view kOverrideHint = "Per ACI 9.7.6.4.3, 23.6.3.1, 25.7.2.1\n\n";
// The hint of the information button beside "Ultimate Passive".
extern const std::string_view kPassiveInfoHint;
// The start of the note of a unit switch.
extern const std::string_view kUnitsNotConvertedNotice;
// The notice of the User Defined method in "General Data".
extern const std::string_view kUserDefinedNotice;

} // namespace tw::form
