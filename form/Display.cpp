// The display pass: the whole project written into the form (inputs, what is shown, editable
// or read-only for the current selections, unit labels), then the results and verdict marks.
#include <algorithm>
#include <cmath>

#include "engine/Ansi.h"
#include "engine/ClassicalCheck.h"
#include "form/MainForm.h"

namespace tw::form {

namespace {

template <class E> constexpr int N(E e)
{
    return static_cast<int>(e);
}

// Project texts are Windows-1252; the form holds UTF-8.
std::string Shown(const std::string& ansi)
{
    std::string utf8 = AnsiToUtf8(ansi);
    // The engine's multi-line texts break lines with a carriage return.
    std::replace(utf8.begin(), utf8.end(), '\r', '\n');
    return utf8;
}

constexpr std::array kCoulombBoxes{
    Box::BackfillPhi,  Box::BackfillDelta,  Box::BackfillSlope,  Box::BackfillWallAngle,
    Box::Backfill2Phi, Box::Backfill2Delta, Box::Backfill2Slope, Box::Backfill2WallAngle,
    Box::PassivePhi,   Box::PassiveDelta,   Box::PassiveSlope,   Box::PassiveWallAngle};
constexpr std::array kFluidBoxes{Box::ActiveEFP,  Box::BackfillSlopeEFP, Box::Active2EFP,
                                 Box::PassiveEFP, Box::MaxPassive,       Box::PassiveSlopeEFP};
constexpr std::array kRebarBoxes{Box::BarCount, Box::ClearCover, Box::TieSpacingCalculated,
                                 Box::TieSpacingOverride, Box::ReinforcementRatio};
constexpr std::array kRebarLists{List::RebarStandard, List::VerticalBar, List::TieType,
                                 List::TieBar};
constexpr std::array kStripBoxes{Box::StripPressure, Box::StripSetback, Box::StripWidth,
                                 Box::StripDepth, Box::StripMoment};
constexpr std::array kSeismicBoxes{Box::SeismicThrust, Box::SeismicArm, Box::SeismicMoment};
constexpr std::array kGuardrailBoxes{Box::GuardrailLength,        Box::LateralBracing,
                                     Box::GuardrailDistLoad,      Box::GuardrailPointLoad,
                                     Box::GuardrailSFCompression, Box::GuardrailSFBending};

} // namespace

void TMainForm::SetCaptionsForPileType()
{
    const bool sheet = project_.PileType == TPileType::ptSheetPile;
    B(Box::PileWidth).caption = sheet ? "Sheet Pile Wdith, B" : "Pile Width or Pier Diameter, B";
    L(List::SectionSize).caption = sheet ? "Sheet Size" : "Beam Size";
    B(Box::BeamDiagonal).caption = sheet ? "Sheet Diagonal Length" : "Beam Diagonal Length";
    B(Box::ResTotalLength).caption = sheet ? "Total Sheet Pile Length" : "Total Beam Length";
    // The read-only depth box takes the place of the reinforcement list.
    L(List::Reinforcement).visible = !sheet;
    B(Box::SheetPileDepth).visible = sheet;
    B(Box::ConcreteStrength).visible = !sheet;
    B(Box::BeamDiagonal).visible = !sheet && project_.Reinforcement != TReinforcement::rfRebarCage;
}

void TMainForm::ShowPassiveValues()
{
    const TTWData& p = project_;
    Show(Box::PassivePhi, p.GetPassivePhi());
    Show(Box::PassiveFS, p.GetPassiveFS());
    Show(Box::IgnorePassiveHeight, p.IgnorePassiveHeight, true);
    Show(Box::IgnorePassiveUD, p.IgnorePassiveHeight, true);
    Show(Box::WedgeMultiplier, p.WedgeMultiplier);
    Show(Box::PassiveUnitWeight, p.GetPassiveUnitWeight());
}

void TMainForm::ShowInputVisibility()
{
    const TTWData& p = project_;
    const bool gross = p.AnalysisMethod == TAnalysisMethod::amGrossPressure;
    const bool net = p.AnalysisMethod == TAnalysisMethod::amNetPressure;
    const bool userDefined = p.AnalysisMethod == TAnalysisMethod::amUserDefined;
    const bool fluid = p.SoilMethod == TSoilMethod::smEquivalentFluid;
    const bool sheet = p.PileType == TPileType::ptSheetPile;
    const bool soldier = p.PileType == TPileType::ptSoldierBeam;
    const bool driven = p.InstallMethod == TInstallMethod::imDriven;
    const bool cage = p.Reinforcement == TReinforcement::rfRebarCage;
    const bool pipe = p.Reinforcement == TReinforcement::rfPipe;

    S(Section::BackfillSoils).caption = gross ? "Backfill Soils 1" : "Backfill Soils";
    S(Section::BackfillSoils2).visible = gross;
    S(Section::BackfillSoils).visible = !userDefined;
    S(Section::PassiveSoils).visible = !userDefined;
    S(Section::PressureInput).visible = userDefined;
    S(Section::Coulomb).visible = !userDefined && !fluid;
    S(Section::PressureResult).visible = !userDefined;
    B(Box::IgnorePassiveUD).visible = userDefined;
    Lb(Label::ImportantNotice).visible = userDefined;

    passiveChoiceVisible_ = net && fluid;
    C(Check::AllowablePassive).visible = passiveChoiceVisible_;

    for (Box b : kCoulombBoxes)
        B(b).visible = !fluid;
    for (Box b : kFluidBoxes)
        B(b).visible = fluid;
    B(Box::PassivePhi).readOnly = gross;
    B(Box::PassiveUnitWeight).readOnly = gross;
    B(Box::PassiveFS).readOnly = gross || fluid;
    B(Box::PassiveFS).visible = !(fluid && net);

    // Lagging inputs by plate type.
    const TLaggingType lagging = p.LaggingType;
    B(Box::ArchingFactor).visible = lagging != TLaggingType::ltNone;
    L(List::LaggingConcrete).visible = lagging == TLaggingType::ltConcrete;
    const bool timber = lagging == TLaggingType::ltTimber;
    B(Box::LumberFb).visible = timber;
    B(Box::LumberFv).visible = timber;
    B(Box::LumberModulus).visible = timber;
    C(Check::SouthernPine).visible = timber;
    L(List::LumberGrade).visible = timber;

    S(Section::GuardrailResult).visible = p.GuardrailOn;

    // Structural data: the rebar cage sub-panel or the I-beam one.
    rebarPanelVisible_ = cage;
    for (Box b : kRebarBoxes)
        B(b).visible = cage;
    for (List l : kRebarLists)
        L(l).visible = cage;
    C(Check::SlurryFill).visible = cage;
    Lb(Label::SpacingMessage).visible = cage;
    L(List::SteelLibrary).visible = !cage && !sheet;
    L(List::SheetLibrary).visible = sheet;
    L(List::SectionSize).visible = !cage;
    C(Check::PipeFilled).visible = pipe && !sheet;
    SetCaptionsForPileType();

    S(Section::LaggingInput).visible = soldier;
    S(Section::LaggingResult).visible = soldier && lagging != TLaggingType::ltNone;

    // A sheet pile is driven: "Drilled" is not offered.
    L(List::InstallMethod).disabled.clear();
    if (sheet)
        L(List::InstallMethod).disabled.push_back(N(TInstallMethod::imDrilled));
    B(Box::PileWidth).readOnly = driven || sheet;
    B(Box::PileSpacing).readOnly = p.PileType == TPileType::ptTangentPile || sheet;
    B(Box::WedgeMultiplier).readOnly = sheet;

    // Result sections and rows.
    const bool checks = !cage && !sheet;
    S(Section::Checks).visible = checks;
    S(Section::RebarChecks).visible = cage;
    S(Section::SectionCheck).visible = sheet;
    B(Box::ResLr).visible = checks;
    B(Box::ResLp).visible = checks;
    const bool plate = lagging == TLaggingType::ltSteelPlate;
    const bool concrete = lagging == TLaggingType::ltConcrete;
    for (Box b : {Box::ResLagShear, Box::ResLagFbAdjusted, Box::ResLagFbActual,
                  Box::ResLagFvAdjusted, Box::ResLagFvActual, Box::ResLagDeflection})
        B(b).visible = timber;
    B(Box::ResLagSreq).visible = plate;
    Lb(Label::LaggingSize).visible = timber || plate;
    Lb(Label::ConcreteLagging).visible = concrete;
    Lb(Label::LaggingMaterial).visible = concrete;
}

void TMainForm::ShowInputValues()
{
    TTWData& p = project_;
    const bool sheet = p.PileType == TPileType::ptSheetPile;
    const bool net = p.AnalysisMethod == TAnalysisMethod::amNetPressure;

    L(List::Units).index = N(p.Units);
    L(List::AnalysisMethod).index = N(p.AnalysisMethod);
    L(List::InstallMethod).index = N(p.InstallMethod);
    L(List::PileType).index = N(p.PileType);
    const auto offered = ReinforcementItemsFor(p.InstallMethod);
    if (L(List::Reinforcement).items.size() != offered.size())
        FillEnumList(List::Reinforcement, offered);
    L(List::Reinforcement).index =
        N(p.Reinforcement) < static_cast<int>(offered.size()) ? N(p.Reinforcement) : 0;
    L(List::SoilMethod).index = N(p.SoilMethod);

    Show(Box::ShoredHeight, p.ShoredHeight);
    Show(Box::PileSpacing, p.PileSpacing, sheet);
    Show(Box::PileWidth, p.EffectivePileWidth());
    if (sheet)
        Show(Box::SheetPileDepth, p.GetSection().bf / p.UnitValue(100, 12), true);

    Show(Box::BackfillPhi, p.BackfillPhi);
    Show(Box::BackfillDelta, p.BackfillDelta);
    Show(Box::BackfillSlope, p.BackfillSlope);
    Show(Box::BackfillSlopeEFP, p.BackfillSlope);
    Show(Box::BackfillWallAngle, p.BackfillWallAngle);
    Show(Box::BackfillUnitWeight, p.BackfillUnitWeight);
    Show(Box::Surcharge, p.Surcharge);
    Show(Box::Backfill2Phi, p.Backfill2Phi);
    Show(Box::Backfill2Delta, p.Backfill2Delta);
    Show(Box::Backfill2Slope, p.Backfill2Slope);
    Show(Box::Backfill2WallAngle, p.Backfill2WallAngle);
    Show(Box::Backfill2UnitWeight, p.Backfill2UnitWeight);
    Show(Box::Backfill2Surcharge, p.Backfill2Surcharge);
    ShowPassiveValues();
    Show(Box::PassiveDelta, p.PassiveDelta);
    Show(Box::PassiveSlope, p.PassiveSlope);
    Show(Box::PassiveSlopeEFP, p.PassiveSlope);
    Show(Box::PassiveWallAngle, p.PassiveWallAngle);
    Show(Box::Cohesion, p.Cohesion);
    Show(Box::SubgradeModulus, p.SubgradeModulus);

    C(Check::AllowablePassive).checked = p.AllowablePassive && net;

    Show(Box::ActiveEFP, p.ActiveEFP);
    Show(Box::Active2EFP, p.Active2EFP);
    Show(Box::PassiveEFP, p.PassiveEFP);
    Show(Box::MaxPassive, p.MaxPassivePressure);
    Show(Box::AxialLoad, p.AxialLoad);
    Show(Box::LateralLoad, p.LateralLoadTop);
    Show(Box::OtherMoment, p.OtherMoment);
    Show(Box::TotalMoment, p.TopMoment);

    C(Check::StripLoad).checked = p.StripLoadOn;
    Show(Box::StripPressure, p.StripPressure);
    Show(Box::StripSetback, p.StripSetback);
    Show(Box::StripWidth, p.StripWidth);
    Show(Box::StripDepth, p.StripDepth);
    Show(Box::StripMoment, p.StripMoment);
    for (Box b : kStripBoxes)
        B(b).enabled = p.StripLoadOn;
    C(Check::SeismicLoad).checked = p.SeismicLoadOn;
    Show(Box::SeismicThrust, p.SeismicThrust);
    Show(Box::SeismicArm, p.SeismicArm);
    Show(Box::SeismicMoment, p.SeismicMoment);
    for (Box b : kSeismicBoxes)
        B(b).enabled = p.SeismicLoadOn;

    // The user-defined pressure diagram.
    for (int i = 0; i < kLoadPointCount; ++i) {
        Show(PointBox(Box::InLoadX1, i), p.LoadPoints[i].X);
        Show(PointBox(Box::InLoadX1, 8 + i), p.LoadPoints[i].W);
    }
    for (int i = 0; i < kPassivePointCount; ++i) {
        Show(PointBox(Box::InLoadX1, 16 + i), p.PassivePoints[i].X);
        Show(PointBox(Box::InLoadX1, 20 + i), p.PassivePoints[i].W);
    }

    Show(Box::ElasticModulus, p.ElasticModulus);

    // Catalogue lists for the stored choices.
    if (ListIndex(List::SteelLibrary) != N(p.SteelLibrary)) {
        L(List::SectionSize).items.clear();
        L(List::SectionSize).index = -1;
    }
    if (ListIndex(List::RebarStandard) != N(p.RebarStandard)) {
        for (List l : {List::VerticalBar, List::TieBar}) {
            L(l).items.clear();
            L(l).index = -1;
        }
    }
    RefreshCatalogLists(true);
    L(List::SteelLibrary).index = N(p.SteelLibrary);
    L(List::RebarStandard).index = N(p.RebarStandard);
    {
        TListState& sections = L(List::SectionSize);
        const int count = static_cast<int>(sections.items.size());
        const int selected = p.SelectedSectionIndex();
        sections.index = selected == -1 ? count - 1 : (selected < count ? selected : 0);
        userSheetButtonVisible_ = selected == -1 && sheet;
    }

    Show(Box::YieldStrength, p.YieldStrength);
    Show(Box::AllowTopDeflection, p.AllowableTopDeflection);
    Show(Box::ConcreteStrength, p.ConcreteStrength);
    C(Check::PipeFilled).checked = p.PipeFilled;
    L(List::LaggingType).index = std::clamp(N(p.LaggingType), 0, 3);
    Show(Box::LumberFb, p.LaggingFb);
    Show(Box::LumberFv, p.LaggingFv);
    Show(Box::LumberModulus, p.LaggingModulus);
    Show(Box::ArchingFactor, p.ArchingFactor);
    // A stored value other than 0 or 1 shows no selection.
    L(List::LaggingConcrete).index =
        p.LaggingConcrete == 0 || p.LaggingConcrete == 1 ? p.LaggingConcrete : -1;
    C(Check::SouthernPine).checked = p.SouthernPine;
    L(List::LumberGrade).index = std::clamp(N(p.LumberGrade), 0, 2);
}

void TMainForm::SetUnits()
{
    const bool si = project_.Units == TUnitSystem::usSI;
    for (int i = 0; i < kBoxCount; ++i)
        boxes_[i].unit = std::string(UnitLabel(BoxDef(static_cast<Box>(i)).unit, si));
    const char* perLength = si ? "Pressure Data (ASD) per m Length of Wall"
                               : "Pressure Data (ASD) per ft Length of Wall";
    S(Section::PressureResult).caption = perLength;
    S(Section::PressureInput).caption = perLength;
    TListState& concrete = L(List::LaggingConcrete);
    const int kept = concrete.index;
    FillEnumList(List::LaggingConcrete, LaggingConcreteItems(project_.Units));
    concrete.index = kept;
    concrete.unit = std::string(UnitLabel(UnitKind::Stress, si));
    L(List::GuardrailSpacing).unit = std::string(UnitLabel(UnitKind::Length, si));
}

void TMainForm::ClearResults()
{
    for (int i = 0; i < kBoxCount; ++i) {
        if (BoxDef(static_cast<Box>(i)).flags & kResult)
            boxes_[i].text = "N.A.";
    }
    for (Label l :
         {Label::RoundClass, Label::LaggingSize, Label::ConcreteLagging, Label::LaggingMaterial,
          Label::ClassicalNote, Label::SpringSoil, Label::SpringNote})
        Lb(l).text.clear();
    classicalWarning_ = false;
    springWarning_ = false;
    soilSprings_ = {};
}

// The classical second opinion beside the design values it is compared with.
void TMainForm::ShowClassicalCheck()
{
    const TTWData& p = project_;
    const TClassicalCheck c = ComputeClassicalCheck(p);
    classicalWarning_ = c.Applicable && c.Warning;
    for (int i = 0; i < kBoxCount; ++i)
        if (BoxDef(static_cast<Box>(i)).section == Section::ClassicalCheck)
            boxes_[i].visible = c.Applicable;
    TLabelState& note = Lb(Label::ClassicalNote);
    note.red = classicalWarning_;
    if (!c.Applicable) {
        note.text = "N.A.: " + c.Reason;
        return;
    }
    Show(Box::ResClassicalEmbedment, c.EmbedmentDepth);
    Show(Box::ResDesignEmbedment, p.EmbedmentDepth);
    Show(Box::ResClassicalD0, c.D0);
    Show(Box::ResDesignD0, p.EquilibriumDepth);
    Show(Box::ResClassicalZeroShear, c.ZeroShearDepth);
    Show(Box::ResDesignZeroShear, p.MaxMomentBelowDepth - p.ShoredHeight);
    Show(Box::ResClassicalMoment, c.MaxMoment);
    Show(Box::ResDesignMoment, p.MaxMomentBelow);
    Show(Box::ResClassicalEmbedmentRatio, c.EmbedmentRatio);
    if (c.HasMomentRatio)
        Show(Box::ResClassicalMomentRatio, c.MomentRatio);
    else
        B(Box::ResClassicalMomentRatio).text = "N.A.";
    note.text = classicalWarning_
                    ? ClassicalWarningText(c)
                    : "Free earth, toe reaction neglected: embedment 1.2 D0 (no safety factor), "
                      "zero shear and moment with the passive unfactored.";
}

// The soil-spring analysis beside the design values; when the springs cannot hold the wall,
// the section's caption carries a warning.
void TMainForm::ShowSoilSprings()
{
    const TTWData& p = project_;
    soilSprings_ = ComputeSoilSpringAnalysis(p);
    const TSoilSpringAnalysis& a = soilSprings_;
    springWarning_ = !a.Applicable && a.Reason == kSoilSpringExhausted;
    for (int i = 0; i < kBoxCount; ++i)
        if (BoxDef(static_cast<Box>(i)).section == Section::SoilSprings)
            boxes_[i].visible = a.Applicable;
    TLabelState& soil = Lb(Label::SpringSoil);
    soil.visible = a.Applicable || springWarning_;
    soil.text = std::string(SubgradeClassName(a.SoilClass)) +
                (a.UserModulus ? ", modulus typed" : ", Terzaghi (1955)");
    TLabelState& note = Lb(Label::SpringNote);
    note.red = springWarning_;
    if (!a.Applicable) {
        note.text = springWarning_ ? "No equilibrium: the passive resistance is exhausted. The "
                                     "unfactored passive in front of and behind the pile cannot "
                                     "hold the wall over its length: review the embedment."
                                   : "N.A.: " + a.Reason;
        return;
    }
    Show(Box::ResSpringTopDeflection, a.TopDeflection);
    Show(Box::ResDesignTopDeflection, p.TopDeflection);
    const bool above = p.MaxMomentAbove > p.MaxMomentBelow;
    Show(Box::ResSpringMoment, a.MaxMoment);
    Show(Box::ResDesignMaxMoment, above ? p.MaxMomentAbove : p.MaxMomentBelow);
    Show(Box::ResSpringMomentAt, a.MaxMomentDepth);
    Show(Box::ResDesignMomentAt, above ? p.MaxMomentAboveDepth : p.MaxMomentBelowDepth);
    Show(Box::ResSpringShear, a.MaxShear);
    Show(Box::ResDesignShear, p.MaxShear);
    Show(Box::ResSpringModulus, a.Modulus, true);
    Show(Box::ResSpringPassive, 100 * a.PassiveMobilized);
    B(Box::ResSpringIterations).text = std::to_string(a.Iterations);
    note.text = "Beam on Winkler springs from at-rest to active and unfactored passive limits, " +
                std::to_string(a.Elements) + " elements; deflection toward the excavation.";
}

void TMainForm::ShowResults()
{
    const TTWData& p = project_;
    const bool si = p.Units == TUnitSystem::usSI;

    Show(Box::ResKa, p.Ka);
    // Computed values are shown as computed, beyond the limits of the input boxes that share
    // their tags.
    Show(Box::ResEFPActive, p.ActiveEFP, true);
    Show(Box::ResKp, p.Kp);
    Show(Box::ResEFPPassive, p.PassiveEFP, true);
    Show(Box::ResMaxPassive, p.MaxPassivePressure, true);
    for (int i = 0; i < kLoadPointCount; ++i) {
        Show(PointBox(Box::ResLoadX1, i), p.LoadPoints[i].X);
        Show(PointBox(Box::ResLoadX1, 8 + i), p.LoadPoints[i].W);
    }
    for (int i = 0; i < kPassivePointCount; ++i) {
        Show(PointBox(Box::ResLoadX1, 16 + i), p.PassivePoints[i].X);
        Show(PointBox(Box::ResLoadX1, 20 + i), p.PassivePoints[i].W);
    }

    const TSteelCheckResults& steel = p.SteelCheckResults;
    Show(Box::ResTotalLength, steel.TotalBeamLength);
    // The diagonal that must pass through the drilled hole, beside the section list.
    Show(Box::BeamDiagonal, steel.DiagonalLength);
    const bool round =
        p.Reinforcement == TReinforcement::rfPipe && p.PileType != TPileType::ptSheetPile;
    TBoxState& lr = B(Box::ResLr);
    TBoxState& lp = B(Box::ResLp);
    if (round) {
        const TRoundSectionClass cls = ClassifyRoundSection(p);
        lr.caption = "Ratio, D/t";
        Show(Box::ResLr, p.GetSection().k1);
        lr.unit = cls.Text;
        lr.unitRed = cls.Text.find("slender") != std::string::npos;
        lp.caption = cls.ModulusCaption;
        Show(Box::ResLp, cls.SectionModulus);
        lp.unit = std::string(UnitLabel(UnitKind::SectionModulus, si));
        Lb(Label::RoundClass).text = cls.Text;
        Lb(Label::RoundClass).red = lr.unitRed;
    } else {
        lr.caption = std::string(BoxDef(Box::ResLr).caption);
        lp.caption = std::string(BoxDef(Box::ResLp).caption);
        lr.unitRed = false;
        Show(Box::ResLr, steel.Lr);
        Show(Box::ResLp, steel.Lp);
        Lb(Label::RoundClass).text.clear();
        Lb(Label::RoundClass).red = false;
    }
    Lb(Label::RoundClass).visible = round && B(Box::ResLr).visible;
    Show(Box::ResMaxShear, p.MaxShear);
    Show(Box::ResMaxShearAt, p.MaxShearDepth);
    Show(Box::ResMaxMomentAbove, p.MaxMomentAbove);
    Show(Box::ResMaxMomentAboveAt, p.MaxMomentAboveDepth);
    Show(Box::ResMaxMomentBelow, p.MaxMomentBelow);
    Show(Box::ResMaxMomentBelowAt, p.MaxMomentBelowDepth);
    Show(Box::ResMaxDeflection, std::fabs(p.TopDeflection));
    Show(Box::ResMaxDeflectionAt, 0);

    Show(Box::ResMomentAbove, steel.AllowableMomentAbove);
    Show(Box::ResMomentBelow, steel.AllowableMomentBelow);
    Show(Box::ResMomentUtilization, steel.MomentUtilization);
    Show(Box::ResShear, steel.AllowableShear);
    Show(Box::ResShearUtilization, steel.ShearUtilization);
    Show(Box::ResAxial, steel.AllowableAxial);
    Show(Box::ResAxialUtilization, steel.AxialUtilization);
    Show(Box::ResInteraction, steel.Interaction);
    Show(Box::ResSlenderness, steel.Slenderness);

    const TRebarCageResults& cage = p.RebarCageResults;
    Show(Box::ResPu, cage.Pu);
    if (cage.AxialUtilizationNA)
        B(Box::ResPuUtilization).text = "N/A";
    else
        Show(Box::ResPuUtilization, cage.AxialUtilization);
    Show(Box::ResMu, cage.Mu);
    if (cage.MomentUtilizationNA)
        B(Box::ResMuUtilization).text = "N/A";
    else
        Show(Box::ResMuUtilization, cage.MomentUtilization);
    Show(Box::ResPhiMn, cage.PhiMnAtPu);

    Show(Box::ResSxRequired, steel.SectionModulusRequired);
    Show(Box::ResSxProvided, steel.SectionModulusProvided);

    const TLaggingResults& lag = p.LaggingResults;
    Show(Box::ResLagPressure, lag.SoilPressure);
    Show(Box::ResLagMoment, lag.Moment);
    Show(Box::ResLagShear, lag.Shear);
    Show(Box::ResLagFbAdjusted, lag.AdjustedFb);
    Show(Box::ResLagFbActual, lag.ActualFb);
    Show(Box::ResLagFvAdjusted, lag.AdjustedFv);
    Show(Box::ResLagFvActual, lag.ActualFv);
    Show(Box::ResLagDeflection, lag.Deflection);
    Show(Box::ResLagSreq, lag.RequiredSectionModulus);
    Lb(Label::LaggingSize).text = Shown(lag.SizeText);
    Lb(Label::ConcreteLagging).text = Shown(lag.ConcreteText);
    Lb(Label::LaggingMaterial).text = Shown(lag.MaterialText);

    const TGuardrailResults& gr = p.GuardrailResults;
    Show(Box::ResGrCompressionAllow, gr.AllowableCompression);
    Show(Box::ResGrCompression, gr.Compression);
    Show(Box::ResGrYieldMoment, gr.YieldMoment);
    Show(Box::ResGrBucklingMoment, gr.BucklingMoment);
    Show(Box::ResGrMomentAllow, gr.AllowableMoment);
    Show(Box::ResGrMoment, gr.Moment);
    Show(Box::ResGrWeldYAllow, gr.AllowableWeldY);
    Show(Box::ResGrWeldY, gr.WeldY);
    Show(Box::ResGrWeldXAllow, gr.AllowableWeldX);
    Show(Box::ResGrWeldX, gr.WeldX);

    ShowClassicalCheck();
    if (soilSpringsShown_)
        ShowSoilSprings();
}

void TMainForm::ShowRebarAndGuardrailInputs()
{
    const TTWData& p = project_;
    L(List::TieType).index = p.TieType == TTieType::ttSpiral ? 1 : 0;
    Show(Box::BarCount, p.BarCount, true);
    Show(Box::ClearCover, p.ClearCover);
    Show(Box::TieSpacingCalculated, p.RebarCageResults.CalculatedSpacing);
    Show(Box::TieSpacingOverride, p.TieSpacingOverride);
    Show(Box::ReinforcementRatio, p.RebarCageResults.ReinforcementRatio);
    C(Check::SlurryFill).checked = p.ShoredHeightFill == TShoredHeightFill::sfSlurry;
    Lb(Label::SpacingMessage).text = p.RebarCageResults.SpacingMessage;
    L(List::VerticalBar).index = L(List::VerticalBar).items.empty()
                                     ? -1
                                     : BarListIndex(p.VerticalBarSize, L(List::VerticalBar).items);
    L(List::TieBar).index =
        L(List::TieBar).items.empty() ? -1 : BarListIndex(p.TieBarSize, L(List::TieBar).items);

    C(Check::UseGuardrail).checked = p.GuardrailOn;
    {
        TListState& shapes = L(List::GuardrailShape);
        const int count = static_cast<int>(shapes.items.size());
        shapes.index = p.GuardrailShape >= 0 && p.GuardrailShape < count ? p.GuardrailShape
                                                                         : (count > 0 ? 0 : -1);
    }
    Show(Box::GuardrailLength, p.GuardrailLength);
    Show(Box::LateralBracing, p.GuardrailLength);
    {
        const int decimals = LimitForTag(p.Limits(), Tag::GuardrailSpacing).Decimals;
        TListState& spacing = L(List::GuardrailSpacing);
        spacing.items = {FormatFixed(p.PileSpacing, decimals, 8, format_.decimalSeparator),
                         FormatFixed(2 * p.PileSpacing, decimals, 8, format_.decimalSeparator)};
        spacing.index = p.GuardrailSpacing == 2 * p.PileSpacing ? 1 : 0;
    }
    Show(Box::GuardrailDistLoad, p.GuardrailDistLoad);
    Show(Box::GuardrailPointLoad, p.GuardrailPointLoad);
    Show(Box::GuardrailSFCompression, p.GuardrailSFCompression);
    Show(Box::GuardrailSFBending, p.GuardrailSFBending);
    for (Box b : kGuardrailBoxes)
        B(b).enabled = p.GuardrailOn;
    L(List::GuardrailShape).enabled = p.GuardrailOn;
    L(List::GuardrailSpacing).enabled = p.GuardrailOn;
}

// The engine's check behind each verdict mark of the window.
TCheckId EngineCheck(Verdict v)
{
    switch (v) {
    case Verdict::HoleFit:
        return TCheckId::HoleFit;
    case Verdict::MaxDeflection:
        return TCheckId::MaxDeflection;
    case Verdict::RoundClass:
        return TCheckId::RoundClass;
    case Verdict::Moment:
        return TCheckId::Moment;
    case Verdict::Shear:
        return TCheckId::Shear;
    case Verdict::Axial:
        return TCheckId::Axial;
    case Verdict::Interaction:
        return TCheckId::Interaction;
    case Verdict::Slenderness:
        return TCheckId::Slenderness;
    case Verdict::AxialPu:
        return TCheckId::RebarAxial;
    case Verdict::MomentMu:
        return TCheckId::RebarMoment;
    case Verdict::TieSpacing:
        return TCheckId::TieSpacing;
    case Verdict::SectionModulus:
        return TCheckId::SectionModulus;
    case Verdict::LaggingBending:
        return TCheckId::LaggingBending;
    case Verdict::LaggingShear:
        return TCheckId::LaggingShear;
    case Verdict::LaggingDeflection:
        return TCheckId::LaggingDeflection;
    case Verdict::LaggingSize:
        return TCheckId::LaggingSize;
    case Verdict::LaggingConcrete:
        return TCheckId::LaggingConcrete;
    case Verdict::GuardrailCompression:
        return TCheckId::GuardrailCompression;
    case Verdict::GuardrailMoment:
        return TCheckId::GuardrailMoment;
    case Verdict::GuardrailWeldY:
        return TCheckId::GuardrailWeldY;
    case Verdict::GuardrailWeldX:
        return TCheckId::GuardrailWeldX;
    default:
        return TCheckId::Moment;
    }
}

void TMainForm::ShowVerdicts(bool analysed)
{
    const TTWData& p = project_;
    for (TVerdictState& v : verdicts_)
        v = TVerdictState{};
    Lb(Label::SpacingMessage).red = false;
    Lb(Label::ConcreteLagging).red = false;
    if (analysed) {
        // The engine decides every verdict; the form only places it.
        const TVerdicts all = WallVerdicts(p);
        for (int i = 0; i < kVerdictCount; ++i) {
            const TVerdict& v = all[EngineCheck(static_cast<Verdict>(i))];
            verdicts_[i].visible = v.applies;
            verdicts_[i].pass = v.passes;
        }
        // A failing round-section class is told by its row's red text rather than by a mark;
        // the tie spacing and concrete lagging messages turn red beside their marks.
        V(Verdict::RoundClass).outOfView =
            V(Verdict::RoundClass).visible && !V(Verdict::RoundClass).pass;
        Lb(Label::SpacingMessage).red =
            V(Verdict::TieSpacing).visible && !V(Verdict::TieSpacing).pass;
        Lb(Label::ConcreteLagging).red =
            V(Verdict::LaggingConcrete).visible && !V(Verdict::LaggingConcrete).pass;
    }
    // Each result section's caption mark sums up the marks shown inside it.
    for (int s = N(kFirstResultSection); s < kSectionCount; ++s) {
        TSectionState& section = sections_[s];
        section.markVisible = false;
        section.markPass = true;
        for (int v = 0; v < kVerdictCount; ++v) {
            if (N(VerdictDef(static_cast<Verdict>(v)).section) != s || !verdicts_[v].visible)
                continue;
            section.markVisible = true;
            section.markPass = section.markPass && verdicts_[v].pass;
        }
    }
    // The classical check is a second opinion, not a verdict: its caption mark is a warning.
    S(Section::ClassicalCheck).markVisible = analysed && classicalWarning_;
    S(Section::ClassicalCheck).markPass = !classicalWarning_;
    S(Section::ClassicalCheck).markWarning = classicalWarning_;
    S(Section::SoilSprings).markVisible = analysed && springWarning_;
    S(Section::SoilSprings).markPass = !springWarning_;
    S(Section::SoilSprings).markWarning = springWarning_;
}

TCommitResult TMainForm::ShowProject()
{
    return Report(Display(true));
}

TCommitResult TMainForm::Display(bool analyse)
{
    TTWData& p = project_;
    p.LoadRebarTable();
    p.LoadGuardrailShapes();
    titles_[Index(TitleText::Organization)] = AnsiToUtf8(p.Organization);
    titles_[Index(TitleText::ProjectName)] = AnsiToUtf8(p.ProjectName);
    titles_[Index(TitleText::JobNumber)] = AnsiToUtf8(p.JobNumber);
    titles_[Index(TitleText::DesignedBy)] = AnsiToUtf8(p.DesignedBy);
    logo_ = p.Logo();
    date_ = p.ProjectDate;

    ShowInputVisibility();
    ShowInputValues();
    SetUnits();
    displayedUnits_ = p.Units;

    TCommitResult result;
    if (analyse) {
        try {
            p.Analyze();
        } catch (const std::exception& e) {
            result.error = e.what();
        }
    }
    if (result.ok())
        ShowResults();
    else
        ClearResults();
    failure_ = result.error;
    resultsShown_ = result.ok();
    ShowRebarAndGuardrailInputs();
    ShowVerdicts(result.ok());
    return result;
}

} // namespace tw::form
