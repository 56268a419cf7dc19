// The recalculation: every input of the window copied into the project in a fixed order, with
// the rules that tie the selections together and the bounds that depend on other inputs, then
// the analysis and the display pass. One step per input section, in the order of the window.
#include <algorithm>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/Ansi.h"
#include "engine/InputRules.h"
#include "form/MainForm.h"

namespace tw::form {

namespace {

template <class E> constexpr int N(E e)
{
    return static_cast<int>(e);
}

} // namespace

Box RuleBox(const TInputRule& rule)
{
    static const std::vector<Box> boxes = [] {
        std::vector<Box> found;
        for (const TInputRule& r : InputRules()) {
            int i = 0;
            while (i < kBoxCount && BoxDef(static_cast<Box>(i)).name != r.input)
                ++i;
            if (i == kBoxCount)
                throw std::logic_error("no box for the input " + std::string(r.input));
            found.push_back(static_cast<Box>(i));
        }
        return found;
    }();
    return boxes.at(static_cast<std::size_t>(&rule - InputRules().data()));
}

TCommitResult TMainForm::Recalculate()
{
    return Report(RecalculateNow());
}

TCommitResult TMainForm::Report(TCommitResult result)
{
    if (result.ok()) {
        reportedFailure_.reset();
        return result;
    }
    // The same failure with other numbers in its message (the user trying other values) is
    // the same failure: it is not reported again.
    const std::string& message = *result.error;
    const auto digit = [&](std::size_t i) {
        return i < message.size() && message[i] >= '0' && message[i] <= '9';
    };
    std::string kind;
    for (std::size_t i = 0; i < message.size();) {
        const char c = message[i];
        if (digit(i) || ((c == '-' || c == '.') && digit(i + 1))) {
            // A number ("-0.947368", "1e+18") stands as "#".
            while (digit(i) || (i < message.size() && std::string_view(".eE+-").find(message[i]) !=
                                                          std::string_view::npos))
                ++i;
            kind += '#';
        } else {
            kind += c;
            ++i;
        }
    }
    result.report = kind != reportedFailure_;
    reportedFailure_ = std::move(kind);
    return result;
}

TCommitResult TMainForm::RecalculateNow()
{
    ReadTitleBlock();
    ReadSelections();
    ReadGeneralData();
    ReadSoils();
    ReadLoads();
    ReadPressureData();
    ReadStructuralData();
    ReadLagging();
    ReadRebarCage();
    ReadGuardrail();

    TTWData& p = project_;
    try {
        p.Analyze();
    } catch (const std::exception& e) {
        // The results column keeps the last results it showed; they no longer fit the inputs.
        failure_ = e.what();
        return {*failure_};
    }
    // The project was analysed just now and the display changes none of its inputs.
    return Display(false);
}

// The title block: texts, logo, date.
void TMainForm::ReadTitleBlock()
{
    TTWData& p = project_;
    p.Organization = Utf8ToAnsi(Title(TitleText::Organization));
    p.ProjectName = Utf8ToAnsi(Title(TitleText::ProjectName));
    p.JobNumber = Utf8ToAnsi(Title(TitleText::JobNumber));
    p.DesignedBy = Utf8ToAnsi(Title(TitleText::DesignedBy));
    if (logo_ != p.Logo()) {
        if (logo_.empty()) {
            p.ClearLogo();
        } else {
            try {
                p.SetLogoJpeg(logo_);
            } catch (const std::exception&) {
                logo_ = p.Logo(); // not a picture: the logo stays as it was
            }
        }
    }
    p.ProjectDate = date_;
}

// The unit system and the selections of "General Data" and the soil method, with the rules
// that tie them together; the lists and values that depend on them are shown again.
void TMainForm::ReadSelections()
{
    TTWData& p = project_;
    p.SetUnitSystem(ListIndex(List::Units) == 1 ? TUnitSystem::usSI : TUnitSystem::usEnglish);
    if (p.Units != displayedUnits_) {
        RefreshCatalogLists(false);
        (void)Display(true);
        displayedUnits_ = p.Units;
    }

    // Change detection, before any selection is copied.
    const int library = std::clamp(ListIndex(List::SteelLibrary), 0, 3);
    const int pileType = std::clamp(ListIndex(List::PileType), 0, 3);
    const int standard = std::clamp(ListIndex(List::RebarStandard), 0, 2);
    if (library != N(p.SteelLibrary) || pileType != N(p.PileType)) {
        L(List::SectionSize).items.clear();
        L(List::SectionSize).index = -1;
    }
    if (standard != N(p.RebarStandard) || ListIndex(List::Reinforcement) != N(p.Reinforcement)) {
        for (List l : {List::VerticalBar, List::TieBar}) {
            L(l).items.clear();
            L(l).index = -1;
        }
    }
    const bool methodChanged = ListIndex(List::AnalysisMethod) != N(p.AnalysisMethod);
    bool installChanged = ListIndex(List::InstallMethod) != N(p.InstallMethod);
    bool reinforcementChanged = ListIndex(List::Reinforcement) != N(p.Reinforcement);
    const bool pileChanged = pileType != N(p.PileType);

    p.SetSteelLibrary(static_cast<TSteelLibrary>(library));
    p.RebarStandard = static_cast<TRebarStandard>(standard);
    p.SetPileType(static_cast<TPileType>(pileType));
    RefreshCatalogLists(true);

    const bool sheet = p.PileType == TPileType::ptSheetPile;
    p.AnalysisMethod =
        static_cast<TAnalysisMethod>(std::clamp(ListIndex(List::AnalysisMethod), 0, 2));
    if (pileChanged && sheet) {
        p.InstallMethod = TInstallMethod::imDriven;
        installChanged = true;
    } else {
        p.InstallMethod =
            static_cast<TInstallMethod>(std::clamp(ListIndex(List::InstallMethod), 0, 1));
    }

    // The reinforcement list offers a rebar cage only in a drilled hole.
    TListState& reinforcement = L(List::Reinforcement);
    const auto offered = ReinforcementItemsFor(p.InstallMethod);
    if (reinforcement.items.size() != offered.size()) {
        const int kept = reinforcement.index;
        FillEnumList(List::Reinforcement, offered);
        reinforcement.index = kept >= 0 && kept < static_cast<int>(offered.size()) ? kept : 0;
        if (reinforcement.index != N(p.Reinforcement))
            reinforcementChanged = true;
    }
    // A sheet pile has no reinforcement list: it is an I-beam section.
    const TReinforcement before = p.Reinforcement;
    reinforcement.visible = !sheet;
    L(List::SteelLibrary).visible = !sheet;
    L(List::SheetLibrary).visible = sheet;
    p.Reinforcement = reinforcement.visible && reinforcement.enabled && reinforcement.index >= 0
                          ? static_cast<TReinforcement>(reinforcement.index)
                          : TReinforcement::rfIBeam;
    p.ApplySelectionRules();
    if (p.Reinforcement != before)
        reinforcementChanged = true;

    p.SoilMethod = static_cast<TSoilMethod>(std::clamp(ListIndex(List::SoilMethod), 0, 1));

    if (reinforcementChanged) {
        L(List::SectionSize).items.clear();
        L(List::SectionSize).index = -1;
        RefreshCatalogLists(true);
    }
    SetCaptionsForPileType();

    // Values shown again after a change of selection.
    if (methodChanged)
        ShowPassiveValues();
    if (installChanged)
        Show(Box::PileWidth, p.EffectivePileWidth());
    if (reinforcementChanged) {
        const bool cage = p.Reinforcement == TReinforcement::rfRebarCage;
        if (!cage && p.YieldStrength == 60)
            Show(Box::YieldStrength, 50);
        else if (cage && p.YieldStrength == 50)
            Show(Box::YieldStrength, 60);
    }
}

// Each numeric input of a section that applies to the selections, through its box within the
// bounds of its rule; derived values (a tangent pile's spacing) straight from the rule.
void TMainForm::ReadInputs(TInputGroup group)
{
    TTWData& p = project_;
    for (const TInputRule& rule : InputRules()) {
        if (rule.group != group || !rule.applies(p))
            continue;
        long double value;
        if (rule.kind == TInputRuleKind::Derived) {
            value = rule.derived(p);
        } else {
            const TInputBounds b = RuleBounds(rule, p);
            value = rule.kind == TInputRuleKind::KeepingSign
                        ? ReadKeepingSign(RuleBox(rule), b.lower, b.upper)
                        : Read(RuleBox(rule), b.lower, b.upper);
        }
        rule.set(p, value);
    }
}

// "General Data": the shored height, the pile width and the spacing by pile type.
void TMainForm::ReadGeneralData()
{
    ReadInputs(TInputGroup::GeneralData);
}

// The backfill and passive soils, by soil method and analysis method; the passive wedge,
// the ignore height of User Defined and the passive choice of Net Pressure.
void TMainForm::ReadSoils()
{
    TTWData& p = project_;
    ReadInputs(TInputGroup::Soils);
    if (p.AnalysisMethod == TAnalysisMethod::amNetPressure)
        p.AllowablePassive = C(Check::AllowablePassive).checked;
}

// "Loads Applied to the Pile", with the strip and seismic blocks.
void TMainForm::ReadLoads()
{
    TTWData& p = project_;
    p.StripLoadOn = C(Check::StripLoad).checked;
    p.SeismicLoadOn = C(Check::SeismicLoad).checked;
    ReadInputs(TInputGroup::Loads);
}

// The user-defined pressure diagram, bounded by the fixed depths of the last analysis (under
// the other methods the analysis computes it).
void TMainForm::ReadPressureData()
{
    ReadInputs(TInputGroup::PressureData);
}

// "Structural data": the materials and the section.
void TMainForm::ReadStructuralData()
{
    TTWData& p = project_;
    const bool sheet = p.PileType == TPileType::ptSheetPile;
    {
        const TListState& sections = L(List::SectionSize);
        int index = sections.index;
        if (sheet && index >= 0 && index == static_cast<int>(sections.items.size()) - 1)
            index = -1;
        else if (index < 0)
            index = 0;
        p.SelectSection(index);
    }
    ReadInputs(TInputGroup::StructuralData);
    p.PipeFilled = C(Check::PipeFilled).checked;
}

// "Lagging Design".
void TMainForm::ReadLagging()
{
    TTWData& p = project_;
    p.LaggingType = static_cast<TLaggingType>(std::clamp(ListIndex(List::LaggingType), 0, 3));
    ReadInputs(TInputGroup::Lagging);
    p.SouthernPine = C(Check::SouthernPine).checked;
    p.LumberGrade = static_cast<TLumberGrade>(std::clamp(ListIndex(List::LumberGrade), 0, 2));
    p.LaggingConcrete = ListIndex(List::LaggingConcrete);
}

// The rebar cage.
void TMainForm::ReadRebarCage()
{
    TTWData& p = project_;
    // The tie type first: the least number of bars depends on it.
    p.TieType = ListIndex(List::TieType) == 1 ? TTieType::ttSpiral : TTieType::ttTie;
    ReadInputs(TInputGroup::RebarCage);
    p.ShoredHeightFill =
        C(Check::SlurryFill).checked ? TShoredHeightFill::sfSlurry : TShoredHeightFill::sfConcrete;
    {
        const TListState& vertical = L(List::VerticalBar);
        const TListState& tie = L(List::TieBar);
        p.VerticalBarSize =
            BarNumberFromLabel(vertical.Selected() ? *vertical.Selected() : "", p.RebarTable());
        p.TieBarSize = BarNumberFromLabel(tie.Selected() ? *tie.Selected() : "", p.RebarTable());
    }
}

// "Guardrail Design".
void TMainForm::ReadGuardrail()
{
    TTWData& p = project_;
    p.GuardrailOn = C(Check::UseGuardrail).checked;
    p.GuardrailShape = std::max(ListIndex(List::GuardrailShape), 0);
    ReadInputs(TInputGroup::Guardrail);
    p.GuardrailSpacing = GuardrailSpacingFor(p, ListIndex(List::GuardrailSpacing) == 1);
}

} // namespace tw::form
