// Undo and redo of the main window: the stored project (a few KB, with the title block, the
// logo and the user-defined section) is kept after every change, and a step back or forward
// shows a kept state again.
#include <sstream>

#include "engine/UnitConversion.h"
#include "form/MainForm.h"

namespace tw::form {

namespace {

// The oldest states are dropped beyond this many.
constexpr std::size_t kMaxHistory = 500;

} // namespace

void TMainForm::SetModified(bool modified)
{
    givenUp_.reset();
    modified_ = modified;
    if (!modified)
        clean_ = current_;
}

void TMainForm::GiveUpChanges()
{
    const TGivenUp before{modified_, clean_};
    SetModified(false);
    givenUp_ = before;
}

void TMainForm::TakeBackChanges()
{
    if (!givenUp_)
        return;
    modified_ = givenUp_->modified;
    clean_ = givenUp_->clean;
    givenUp_.reset();
}

std::string TMainForm::Snapshot()
{
    ReadTitleBlock();
    std::ostringstream out;
    project_.SaveToStream(out);
    return std::move(out).str();
}

void TMainForm::ResetHistory()
{
    history_.clear();
    history_.push_back({Snapshot(), {}});
    current_ = 0;
    clean_ = 0;
    givenUp_.reset();
    unitsNoticeState_.reset();
    pendingChange_.clear();
}

void TMainForm::RememberChange()
{
    if (history_.empty())
        ResetHistory();
    std::string snapshot = Snapshot();
    if (snapshot == history_[current_].snapshot) {
        pendingChange_.clear();
        return;
    }
    // Nothing changed since the last step, yet the project did: the recalculation settled what
    // that step started (a list is left after its choice committed, and the bounds that depend
    // on the new selection apply). It belongs to that step, unless the step is the saved state.
    if (pendingChange_.empty() && current_ > 0 && current_ + 1 == history_.size() &&
        clean_ != current_) {
        history_[current_].snapshot = std::move(snapshot);
        return;
    }
    history_.resize(current_ + 1);
    if (clean_ && *clean_ > current_)
        clean_.reset();
    history_.push_back({std::move(snapshot), pendingChange_.empty() ? "Change" : pendingChange_});
    ++current_;
    givenUp_.reset();
    pendingChange_.clear();
    if (history_.size() > kMaxHistory) {
        history_.erase(history_.begin());
        --current_;
        if (unitsNoticeState_)
            unitsNoticeState_ = *unitsNoticeState_ > 0
                                    ? std::optional<std::size_t>(*unitsNoticeState_ - 1)
                                    : std::nullopt;
        if (clean_)
            clean_ = *clean_ > 0 ? std::optional<std::size_t>(*clean_ - 1) : std::nullopt;
    }
    modified_ = clean_ != current_;
}

std::string TMainForm::UndoWhat() const
{
    return CanUndo() ? history_[current_].what : "";
}

std::string TMainForm::RedoWhat() const
{
    return CanRedo() ? history_[current_ + 1].what : "";
}

TCommitResult TMainForm::Undo()
{
    if (!CanUndo())
        return {};
    --current_;
    // Back before a switch of units: its note no longer holds.
    if (unitsNoticeState_ && current_ < *unitsNoticeState_) {
        notice_.clear();
        unitsNoticeState_.reset();
    }
    return Restore(history_[current_].snapshot);
}

TCommitResult TMainForm::Redo()
{
    if (!CanRedo())
        return {};
    ++current_;
    return Restore(history_[current_].snapshot);
}

TCommitResult TMainForm::ConvertUnits(TUnitSystem to, std::vector<std::string>& notes)
{
    // The inputs as the window shows them first, then the project converted as it stands.
    // Showing it applies the rules of the new units: the values they change are told.
    RecalculateNow();
    const TUnitConversion conversion = ConvertProjectUnits(project_, to);
    notes = conversion.notes;
    for (const TAdjustedInput& adjusted : conversion.adjusted)
        notes.push_back(AdjustmentNote(adjusted));
    std::ostringstream converted;
    project_.SaveToStream(converted);
    const TCommitResult result = Restore(converted.str());
    pendingChange_ = to == TUnitSystem::usSI ? "Convert to SI Units" : "Convert to English Units";
    RememberChange();
    return result;
}

TCommitResult TMainForm::Restore(const std::string& snapshot)
{
    std::istringstream in(snapshot);
    project_.LoadFromStream(in);
    DismissHint();
    pendingChange_.clear();
    L(List::SectionSize).items.clear();
    L(List::SectionSize).index = -1;
    RefreshCatalogLists(false);
    // Shown as after Open, but the sections stay as the user arranged them.
    (void)Display(true);
    const TCommitResult result = Report(RecalculateNow());
    modified_ = clean_ != current_;
    return result;
}

} // namespace tw::form
