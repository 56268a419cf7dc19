#include "form/MainForm.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

#include "engine/Ansi.h"
#include "form/InputHints.h"

namespace tw::form {

const std::string_view kPassiveInfoHint =
    "If the Soils Report specifies \"Allowable Passive\", the embedment depth will be the "
    "equilibrium depth + 0.05h, if however, the Soils Report specifies \"Ultimate Passive\", "
    "the embedment depth will be the equilibrium depth + 0.4h.";

const std::string_view kUnitsNotConvertedNotice =
    "Switching units keeps the numbers as typed: they are not converted";

const std::string_view kUserDefinedNotice =
    "User Defined method is for experienced shoring design engineers only. That is those who "
    "can develop earth pressure loading diagram independently. The program can not verify the "
    "suitability of the loading pressure since soils parameters are not required. This method "
    "is suitable when you have complex surcharges, seismic load, pore pressures, slope creep, "
    "etc.";

namespace {

template <class E> constexpr int N(E e)
{
    return static_cast<int>(e);
}

bool InputColumn(Section s)
{
    return !IsResultSection(s);
}

// The note of a switch of the unit system to `to`, naming the inputs the rules of the new
// units changed (the first few, then their count).
std::string UnitsSwitchNotice(TUnitSystem to, const std::vector<TAdjustedInput>& changed)
{
    constexpr std::size_t kNamed = 3;
    const bool si = to == TUnitSystem::usSI;
    std::string text(kUnitsNotConvertedNotice);
    text += si ? " (5 ft becomes 5 m)." : " (5 m becomes 5 ft).";
    if (!changed.empty()) {
        text += ' ';
        text += std::to_string(changed.size());
        text += changed.size() == 1 ? " input did" : " inputs did";
        text += si ? " not fit SI units and changed: " : " not fit English units and changed: ";
        for (std::size_t i = 0; i < changed.size() && i < kNamed; ++i) {
            if (i > 0)
                text += "; ";
            text += changed[i].caption;
            text += ' ';
            text += changed[i].givenText;
            text += " to ";
            text += changed[i].usedText;
        }
        if (changed.size() > kNamed) {
            text += "; and ";
            text += std::to_string(changed.size() - kNamed);
            text += " more";
        }
        text += '.';
    }
    text += si ? " Undo takes the switch back; Tools > Convert Project to SI Units converts "
                 "the numbers."
               : " Undo takes the switch back; Tools > Convert Project to English Units "
                 "converts the numbers.";
    return text;
}

std::vector<std::string> ToStrings(std::span<const std::string_view> items)
{
    return {items.begin(), items.end()};
}

} // namespace

TMainForm::TMainForm(TTWData& project, TNumberFormat format)
    : project_(project), format_(std::move(format))
{
    for (int i = 0; i < kBoxCount; ++i) {
        const TBoxDef& def = BoxDef(static_cast<Box>(i));
        boxes_[i].caption = std::string(def.caption);
        boxes_[i].readOnly = (def.flags & (kAlwaysReadOnly | kResult)) != 0;
    }
    for (int i = 0; i < kListCount; ++i)
        lists_[i].caption = std::string(ListDef(static_cast<List>(i)).caption);
    for (int i = 0; i < kSectionCount; ++i)
        sections_[i].caption = std::string(SectionDesignCaption(static_cast<Section>(i)));
    lists_[N(List::Units)].items = ToStrings(kUnitsItems);
    lists_[N(List::AnalysisMethod)].items = ToStrings(kAnalysisMethodItems);
    lists_[N(List::InstallMethod)].items = ToStrings(kInstallMethodItems);
    lists_[N(List::PileType)].items = ToStrings(kPileTypeItems);
    lists_[N(List::Reinforcement)].items = ToStrings(kReinforcementItems);
    lists_[N(List::SoilMethod)].items = ToStrings(kSoilMethodItems);
    lists_[N(List::SteelLibrary)].items = ToStrings(kSteelLibraryItems);
    lists_[N(List::SheetLibrary)].items = {"Sheet Pile"};
    lists_[N(List::SheetLibrary)].index = 0;
    lists_[N(List::RebarStandard)].items = ToStrings(kRebarStandardItems);
    lists_[N(List::TieType)].items = ToStrings(kTieTypeItems);
    lists_[N(List::LaggingType)].items = ToStrings(kLaggingTypeItems);
    lists_[N(List::LaggingConcrete)].items = ToStrings(LaggingConcreteItems(project.Units));
    lists_[N(List::LumberGrade)].items = ToStrings(kLumberGradeItems);
    labels_[N(Label::ImportantNotice)].text = std::string(kUserDefinedNotice);
    labels_[N(Label::ImportantNotice)].red = true;
    displayedUnits_ = project.Units;
    barListsStandard_ = project.RebarStandard;
    barListsUnits_ = project.Units;
    date_ = project.ProjectDate;
    logo_ = project.Logo();
}

// --- Number boxes ---

void TMainForm::Show(Box b, long double value, bool noClamp)
{
    B(b).text = ShowNumber(project_.Limits(), BoxDef(b).tag, noClamp, value, format_);
}

long double TMainForm::Read(Box b, double lower, double upper)
{
    TReadResult r = ReadNumber(project_.Limits(), BoxDef(b).tag, B(b).text, lower, upper, format_);
    if (r.rewrite)
        B(b).text = std::move(r.text);
    return r.value;
}

long double TMainForm::ReadKeepingSign(Box b, double lower, double upper)
{
    const long double value = Read(b, lower, upper);
    const long double kept =
        ClampOpenSide(LimitForTag(project_.Limits(), BoxDef(b).tag), value, lower, upper);
    if (kept != value)
        Show(b, kept);
    return kept;
}

// --- Lists ---

void TMainForm::FillList(List l, std::vector<std::string> items)
{
    L(l).items = std::move(items);
}

void TMainForm::FillEnumList(List l, std::span<const std::string_view> items)
{
    FillList(l, ToStrings(items));
}

void TMainForm::RefreshCatalogLists(bool onlyIfEmpty)
{
    project_.LoadRebarTable();
    project_.LoadGuardrailShapes();
    RefreshSectionList(onlyIfEmpty);
    RefreshBarList(List::VerticalBar, onlyIfEmpty);
    RefreshBarList(List::TieBar, onlyIfEmpty);
    RefreshShapeList(onlyIfEmpty);
}

// The selection of a refilled list: the first entry when it was empty before, else the entry
// with the remembered text, else the stored position (the first entry when that is outside).
void TMainForm::SelectAfterRefill(TListState& list, bool wasEmpty,
                                  const std::optional<std::string>& remembered, int stored)
{
    const int count = static_cast<int>(list.items.size());
    const int found = list.Find(remembered);
    if (count == 0)
        list.index = -1;
    else if (wasEmpty)
        list.index = 0;
    else if (found >= 0)
        list.index = found;
    else
        list.index = stored >= 0 && stored < count ? stored : 0;
}

void TMainForm::RefreshSectionList(bool onlyIfEmpty)
{
    TListState& list = L(List::SectionSize);
    if (onlyIfEmpty && !list.items.empty())
        return;
    const bool wasEmpty = list.items.empty();
    const std::optional<std::string> remembered = list.SelectedText();

    list.items.clear();
    if (project_.Reinforcement == TReinforcement::rfIBeam) {
        for (const TSteelShape& shape : project_.SteelShapes())
            list.items.push_back(AnsiToUtf8(shape.Name));
        if (project_.PileType == TPileType::ptSheetPile)
            list.items.emplace_back("User Defined");
    } else {
        for (const TOShape& shape : project_.OShapes())
            list.items.push_back(AnsiToUtf8(shape.Name));
    }
    const int selected = project_.SelectedSectionIndex();
    SelectAfterRefill(list, wasEmpty, remembered,
                      selected == -1 ? static_cast<int>(list.items.size()) - 1 : selected);
}

void TMainForm::RefreshBarList(List l, bool onlyIfEmpty)
{
    TListState& list = L(l);
    if (onlyIfEmpty && !list.items.empty())
        return;
    const std::optional<std::string> remembered = list.SelectedText();
    list.items = RebarLabels(project_.RebarTable(), project_.RebarStandard, project_.Units);
    const int found = list.Find(remembered);
    if (list.items.empty())
        list.index = -1;
    else if (found >= 0)
        list.index = found;
    else if (!remembered && barListsStandard_ == project_.RebarStandard &&
             barListsUnits_ == project_.Units)
        // Lists emptied for a change of reinforcement keep the stored bar of the same
        // standard; after a change of standard the first bar is chosen.
        list.index = BarListIndex(
            l == List::VerticalBar ? project_.VerticalBarSize : project_.TieBarSize, list.items);
    else
        list.index = 0;
    barListsStandard_ = project_.RebarStandard;
    barListsUnits_ = project_.Units;
}

void TMainForm::RefreshShapeList(bool onlyIfEmpty)
{
    TListState& list = L(List::GuardrailShape);
    if (onlyIfEmpty && !list.items.empty())
        return;
    const bool wasEmpty = list.items.empty();
    const std::optional<std::string> remembered = list.SelectedText();
    list.items.clear();
    for (const TGRShape& shape : project_.GuardrailShapes())
        list.items.push_back(AnsiToUtf8(shape.Name));
    SelectAfterRefill(list, wasEmpty, remembered, project_.GuardrailShape);
}

// --- What the user does ---

void TMainForm::EditBox(Box b, std::string text)
{
    B(b).text = std::move(text);
    modified_ = true;
    pendingChange_ = B(b).caption;
}

TCommitResult TMainForm::Commit()
{
    DismissHint();
    const TCommitResult result = Report(RecalculateNow());
    RememberChange();
    return result;
}

std::string TMainForm::ToolTip(Box b) const
{
    const TBoxDef& def = BoxDef(b);
    if (def.flags & kResult)
        return {};
    std::string tip(InputHint(b));
    // The fixed limits of the box in the current unit system, as the box writes numbers.
    const TInputLimit limit = LimitForTag(project_.Limits(), def.tag);
    if (!(def.flags & kAlwaysReadOnly) && (limit.Min != 0 || limit.Max != 0)) {
        const auto shown = [&](long double v) {
            return FormatFixed(v, limit.Decimals, 10, format_.decimalSeparator);
        };
        if (!tip.empty())
            tip += "\n";
        tip += "Limits: " + shown(limit.Min) + " to " + shown(limit.Max);
        const std::string& unit = boxes_[Index(b)].unit;
        if (!unit.empty())
            tip += " " + unit;
    }
    return tip;
}

std::string TMainForm::ToolTip(List l) const
{
    return std::string(InputHint(l));
}

std::string TMainForm::ToolTip(Check c) const
{
    return std::string(InputHint(c));
}

void TMainForm::DismissHint()
{
    hintText_.clear();
    hintBox_.reset();
}

void TMainForm::ShowBoxHint(Box b, std::string text)
{
    hintText_ = std::move(text);
    hintBox_ = b;
}

TCommitResult TMainForm::ChooseListItem(List l, int index)
{
    TListState& list = L(l);
    if (!list.ItemEnabled(index))
        return {}; // greyed out: it cannot be chosen now
    const int before = list.index;
    list.index = index >= 0 && index < static_cast<int>(list.items.size()) ? index : -1;
    modified_ = true;
    pendingChange_ = list.caption;
    // The numbers stay as typed when the unit system changes, but the limits of the new units
    // apply to them: say so the first time, and whenever they change an input. The rules
    // decide on a copy what the recalculation will change.
    const bool unitsSwitched = l == List::Units && list.index != before;
    std::vector<TAdjustedInput> changed;
    const TUnitSystem to = list.index == 1 ? TUnitSystem::usSI : TUnitSystem::usEnglish;
    if (unitsSwitched) {
        TTWData switched = project_;
        switched.SetUnitSystem(to);
        changed = ApplyInputRulesOnOpen(switched);
    }
    const TCommitResult result = Commit();
    if (unitsSwitched && (!unitsNoticeGiven_ || !changed.empty())) {
        unitsNoticeGiven_ = true;
        notice_ = UnitsSwitchNotice(to, changed);
        // Undoing the switch takes the note away with it.
        unitsNoticeState_ = current_;
    }
    return result;
}

TCommitResult TMainForm::SetUserSection(const TSteelShape& section)
{
    project_.SetUserSection(section);
    modified_ = true;
    pendingChange_ = "User-Defined Sheet Pile";
    const TCommitResult result = Report(RecalculateNow());
    RememberChange();
    return result;
}

TCommitResult TMainForm::SetChecked(Check c, bool checked)
{
    C(c).checked = checked;
    modified_ = true;
    pendingChange_ = CheckDef(c).caption;
    return Commit();
}

void TMainForm::EditTitle(TitleText t, std::string utf8)
{
    titles_[Index(t)] = std::move(utf8);
    modified_ = true;
    pendingChange_ = TitleTextCaption(t);
}

void TMainForm::EditDate(double serialDate)
{
    date_ = std::floor(serialDate);
    modified_ = true;
    pendingChange_ = "Date";
}

void TMainForm::SetLogo(std::vector<uint8_t> jpeg)
{
    logo_ = std::move(jpeg);
    modified_ = true;
    pendingChange_ = "Logo";
}

void TMainForm::EnterBox(Box b)
{
    if (b == Box::TieSpacingCalculated || b == Box::ReinforcementRatio)
        return;
    const Section s = BoxDef(b).section;
    if (!S(s).expanded)
        SetSectionExpanded(s, true);
    if (b == Box::TieSpacingOverride) {
        hintText_ = std::string(kOverrideHint);
        hintBox_ = b;
    }
}

void TMainForm::EnterList(List l)
{
    if (l == List::RebarStandard || l == List::VerticalBar || l == List::TieType ||
        l == List::TieBar)
        return;
    const Section s = ListDef(l).section;
    if (!S(s).expanded)
        SetSectionExpanded(s, true);
}

void TMainForm::EnterCheck(Check c)
{
    if (c == Check::SlurryFill)
        return;
    const Section s = CheckDef(c).section;
    if (!S(s).expanded)
        SetSectionExpanded(s, true);
}

void TMainForm::ToggleSection(Section s)
{
    SetSectionExpanded(s, !S(s).expanded);
}

void TMainForm::SetSectionExpanded(Section s, bool expand)
{
    if (expand) {
        for (int i = 0; i < kSectionCount; ++i) {
            const auto other = static_cast<Section>(i);
            if (other != s && InputColumn(other) == InputColumn(s))
                sections_[i].expanded = false;
        }
    }
    S(s).expanded = expand;
}

void TMainForm::ExpandFirstSections()
{
    SetSectionExpanded(Section::GeneralData, true);
    for (int i = N(kFirstResultSection); i < kSectionCount; ++i) {
        if (sections_[i].visible) {
            SetSectionExpanded(static_cast<Section>(i), true);
            break;
        }
    }
}

TCommitResult TMainForm::AfterNew()
{
    reportedFailure_.reset();
    notice_.clear();
    RefreshCatalogLists(false);
    for (std::string& title : titles_)
        title.clear();
    logo_.clear();
    L(List::Units).index = 0;
    for (int i = 0; i < kBoxCount; ++i) {
        const int tag = BoxDef(static_cast<Box>(i)).tag;
        boxes_[i].text = ShowNumber(project_.Limits(), tag, false,
                                    LimitForTag(project_.Limits(), tag).Min, format_);
    }
    L(List::SectionSize).items.clear();
    L(List::SectionSize).index = -1;
    return Report(ShowAndRecalculate());
}

TCommitResult TMainForm::AfterOpen()
{
    reportedFailure_.reset();
    notice_.clear();
    L(List::SectionSize).items.clear();
    L(List::SectionSize).index = -1;
    RefreshCatalogLists(false);
    return Report(ShowAndRecalculate());
}

TCommitResult TMainForm::ShowAndRecalculate()
{
    // The display's own analysis may fail on values that the recalculation then brings into
    // their limits; what counts is the recalculation.
    (void)Display(true);
    ExpandFirstSections();
    TCommitResult result = RecalculateNow();
    modified_ = false;
    ResetHistory();
    return result;
}

} // namespace tw::form
