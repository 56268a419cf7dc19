// The recalculation: every input of the window copied into the project in a fixed order, with
// the rules that tie the selections together and the bounds that depend on other inputs, then
// the analysis and the display pass. One step per input section, in the order of the window.
#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

#include "engine/Ansi.h"
#include "form/MainForm.h"

namespace tw::form {

namespace {

template <class E> constexpr int N(E e)
{
    return static_cast<int>(e);
}

} // namespace

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

// "General Data": the shored height, the pile width and the spacing by pile type.
void TMainForm::ReadGeneralData()
{
    TTWData& p = project_;
    const bool sheet = p.PileType == TPileType::ptSheetPile;
    p.ShoredHeight = Read(Box::ShoredHeight);
    if (p.InstallMethod != TInstallMethod::imDriven && !sheet)
        p.PileWidth = Read(Box::PileWidth);
    const long double b = p.EffectivePileWidth();
    switch (p.PileType) {
    case TPileType::ptSoldierBeam:
        p.PileSpacing = Read(Box::PileSpacing);
        break;
    case TPileType::ptTangentPile:
        p.PileSpacing = 2 * b;
        break;
    case TPileType::ptSecantPile:
        p.PileSpacing =
            Read(Box::PileSpacing, static_cast<double>(1.33L * b), static_cast<double>(1.67L * b));
        break;
    case TPileType::ptSheetPile:
        p.PileSpacing = 1.0L;
        break;
    }
}

// The backfill and passive soils, by soil method and analysis method; the passive wedge,
// the ignore height of User Defined and the passive choice of Net Pressure.
void TMainForm::ReadSoils()
{
    TTWData& p = project_;
    const bool sheet = p.PileType == TPileType::ptSheetPile;
    const bool gross = p.AnalysisMethod == TAnalysisMethod::amGrossPressure;
    if (p.SoilMethod == TSoilMethod::smCoulomb) {
        p.BackfillPhi = Read(Box::BackfillPhi);
        p.BackfillDelta =
            ReadKeepingSign(Box::BackfillDelta, 0, static_cast<double>(0.75L * p.BackfillPhi));
        p.BackfillSlope =
            ReadKeepingSign(Box::BackfillSlope, 0, static_cast<double>(p.BackfillPhi));
        p.BackfillUnitWeight = Read(Box::BackfillUnitWeight);
        p.Surcharge = Read(Box::Surcharge);
        if (gross) {
            p.Backfill2Phi = Read(Box::Backfill2Phi);
            p.Backfill2Delta = ReadKeepingSign(Box::Backfill2Delta, 0,
                                               static_cast<double>(0.75L * p.Backfill2Phi));
            p.Backfill2UnitWeight = Read(Box::Backfill2UnitWeight);
            p.Backfill2Surcharge = Read(Box::Backfill2Surcharge);
            p.IgnorePassiveHeight = Read(Box::IgnorePassiveHeight);
        } else {
            p.PassivePhi = Read(Box::PassivePhi);
            p.PassiveSafetyFactor = Read(Box::PassiveFS, 1.33, 2.0);
            p.IgnorePassiveHeight = Read(Box::IgnorePassiveHeight);
            p.PassiveUnitWeight = Read(Box::PassiveUnitWeight);
        }
        p.PassiveDelta =
            ReadKeepingSign(Box::PassiveDelta, static_cast<double>(-0.5L * p.GetPassivePhi()), 0);
        p.PassiveSlope =
            ReadKeepingSign(Box::PassiveSlope, static_cast<double>(-p.GetPassivePhi()), 0);
        p.Cohesion = Read(Box::Cohesion);
    } else {
        p.BackfillSlope = ReadKeepingSign(Box::BackfillSlopeEFP, 0, 45);
        p.BackfillUnitWeight = Read(Box::BackfillUnitWeight);
        p.ActiveEFP = Read(Box::ActiveEFP);
        p.PassiveEFP = Read(Box::PassiveEFP);
        p.MaxPassivePressure = Read(Box::MaxPassive);
        p.Surcharge = Read(Box::Surcharge);
        if (gross) {
            p.Active2EFP = Read(Box::Active2EFP);
            p.Backfill2UnitWeight = Read(Box::Backfill2UnitWeight);
            p.Backfill2Surcharge = Read(Box::Backfill2Surcharge);
        } else {
            p.PassiveSafetyFactor = 1.0L;
            p.IgnorePassiveHeight = Read(Box::IgnorePassiveHeight);
            p.PassiveUnitWeight = Read(Box::PassiveUnitWeight);
        }
        p.PassiveSlope =
            ReadKeepingSign(Box::PassiveSlopeEFP, static_cast<double>(-p.GetPassivePhi()), 0);
        p.Cohesion = Read(Box::Cohesion);
    }
    p.WedgeMultiplier = sheet ? 1.0L : Read(Box::WedgeMultiplier);
    if (p.AnalysisMethod == TAnalysisMethod::amUserDefined)
        p.IgnorePassiveHeight = Read(Box::IgnorePassiveUD);
    if (p.AnalysisMethod == TAnalysisMethod::amNetPressure)
        p.AllowablePassive = C(Check::AllowablePassive).checked;
}

// "Loads Applied to the Pile", with the strip and seismic blocks.
void TMainForm::ReadLoads()
{
    TTWData& p = project_;
    p.AxialLoad = Read(Box::AxialLoad);
    p.LateralLoadTop = Read(Box::LateralLoad);
    p.OtherMoment = Read(Box::OtherMoment);
    p.StripLoadOn = C(Check::StripLoad).checked;
    p.StripPressure = Read(Box::StripPressure);
    p.StripSetback = ReadKeepingSign(Box::StripSetback, 0, static_cast<double>(p.ShoredHeight));
    p.StripWidth = Read(Box::StripWidth);
    p.StripDepth = ReadKeepingSign(Box::StripDepth, 0, static_cast<double>(p.ShoredHeight));
    p.SeismicLoadOn = C(Check::SeismicLoad).checked;
    p.SeismicThrust = Read(Box::SeismicThrust);
    p.SeismicArm = ReadKeepingSign(Box::SeismicArm, 0, static_cast<double>(p.TotalPileLength));
}

// The user-defined pressure diagram, bounded by the fixed depths of the last analysis.
void TMainForm::ReadPressureData()
{
    TTWData& p = project_;
    {
        auto load = p.LoadPoints;
        auto passive = p.PassivePoints;
        auto bounded = [this](Box box, long double lo, long double hi) {
            return Read(box, static_cast<double>(lo), static_cast<double>(hi));
        };
        load[1].X = bounded(Box::InLoadX2, load[0].X + 0.01L, load[3].X - 0.02L);
        load[2].X = bounded(Box::InLoadX3, load[1].X + 0.01L, load[3].X - 0.01L);
        load[5].X = bounded(Box::InLoadX6, load[4].X + 0.01L, load[7].X - 0.02L);
        load[6].X = bounded(Box::InLoadX7, load[5].X + 0.01L, load[7].X - 0.01L);
        passive[1].X = bounded(Box::InPassX2, passive[0].X + 0.01L, passive[3].X - 0.02L);
        passive[2].X = bounded(Box::InPassX3, passive[1].X + 0.01L, passive[3].X - 0.01L);
        for (int i = 0; i < kLoadPointCount; ++i)
            load[i].W = Read(PointBox(Box::InLoadX1, 8 + i));
        for (int i = 0; i < kPassivePointCount; ++i)
            passive[i].W = Read(PointBox(Box::InLoadX1, 20 + i));
        p.LoadPoints = load;
        p.PassivePoints = passive;
    }
}

// "Structural data": the materials and the section.
void TMainForm::ReadStructuralData()
{
    TTWData& p = project_;
    const bool sheet = p.PileType == TPileType::ptSheetPile;
    p.ElasticModulus = Read(Box::ElasticModulus);
    {
        const TListState& sections = L(List::SectionSize);
        int index = sections.index;
        if (sheet && index >= 0 && index == static_cast<int>(sections.items.size()) - 1)
            index = -1;
        else if (index < 0)
            index = 0;
        p.SelectSection(index);
    }
    p.YieldStrength = Read(Box::YieldStrength);
    p.AllowableTopDeflection = Read(Box::AllowTopDeflection);
    p.ConcreteStrength = Read(Box::ConcreteStrength);
    p.PipeFilled = C(Check::PipeFilled).checked;
}

// "Lagging Design".
void TMainForm::ReadLagging()
{
    TTWData& p = project_;
    p.LaggingType = static_cast<TLaggingType>(std::clamp(ListIndex(List::LaggingType), 0, 3));
    p.ArchingFactor = Read(Box::ArchingFactor);
    p.LaggingFb = Read(Box::LumberFb);
    p.LaggingFv = Read(Box::LumberFv);
    p.LaggingModulus = Read(Box::LumberModulus);
    p.SouthernPine = C(Check::SouthernPine).checked;
    p.LumberGrade = static_cast<TLumberGrade>(std::clamp(ListIndex(List::LumberGrade), 0, 2));
    p.LaggingConcrete = ListIndex(List::LaggingConcrete);
}

// The rebar cage.
void TMainForm::ReadRebarCage()
{
    TTWData& p = project_;
    p.TieType = ListIndex(List::TieType) == 1 ? TTieType::ttSpiral : TTieType::ttTie;
    {
        const long double bars =
            Read(Box::BarCount, p.TieType == TTieType::ttSpiral ? 6.0 : 4.0, 0);
        // Nearest integer, a half to the even neighbour; beyond the 32-bit range the largest.
        const long double rounded = std::nearbyint(bars);
        p.BarCount = rounded >= static_cast<long double>(std::numeric_limits<int32_t>::max())
                         ? std::numeric_limits<int32_t>::max()
                         : static_cast<int32_t>(rounded);
    }
    p.ClearCover = Read(Box::ClearCover, static_cast<double>(p.UnitValue(50, 2)),
                        static_cast<double>(p.EffectivePileWidth() / 3 * p.UnitValue(1000, 12)));
    p.TieSpacingOverride = Read(Box::TieSpacingOverride);
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
    p.GuardrailLength = Read(Box::GuardrailLength);
    p.GuardrailDistLoad = Read(Box::GuardrailDistLoad);
    p.GuardrailPointLoad = Read(Box::GuardrailPointLoad);
    p.GuardrailSpacing = ListIndex(List::GuardrailSpacing) == 1 ? 2 * p.PileSpacing : p.PileSpacing;
}

} // namespace tw::form
