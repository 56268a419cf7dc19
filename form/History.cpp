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
    modified_ = modified;
    if (!modified)
        clean_ = current_;
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
    history_.resize(current_ + 1);
    if (clean_ && *clean_ > current_)
        clean_.reset();
    history_.push_back({std::move(snapshot), pendingChange_.empty() ? "Change" : pendingChange_});
    ++current_;
    pendingChange_.clear();
    if (history_.size() > kMaxHistory) {
        history_.erase(history_.begin());
        --current_;
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
    RecalculateNow();
    notes = ConvertProjectUnits(project_, to);
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
