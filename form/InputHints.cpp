#include "form/InputHints.h"

#include "form/MainForm.h"

namespace tw::form {

namespace {

constexpr std::string_view kIgnorePassive =
    "Depth below the excavation base over which the passive resistance is ignored: soil that "
    "may be disturbed, softened or dug out later (utility trenches, over-excavation).";
constexpr std::string_view kSoilPileFriction =
    "Friction angle between the retained soil and the pile (delta), at most 0.75 times the "
    "soil friction angle. It lowers the active pressure.";
constexpr std::string_view kWallAngle =
    "Angle of the pile face with the horizontal; 90 degrees is a vertical wall. Fixed.";
constexpr std::string_view kPassiveSlope =
    "Slope of the ground in front of the wall below horizontal: 0 for level ground, negative "
    "where it falls away from the wall (at least minus the friction angle). It lowers the "
    "passive resistance.";
constexpr std::string_view kPointDepth =
    "Depth of a point of the pressure diagram, from the top of the pile. The first and last "
    "depths of each side are fixed by the shored height and the equilibrium depth.";
constexpr std::string_view kLoadingPressure =
    "Pressure of the loading diagram at this point, per unit length of wall (ksf | kPa), "
    "positive toward the excavation.";
constexpr std::string_view kPassivePressure =
    "Passive resistance at this point, per unit length of wall (ksf | kPa), negative.";

bool IsLoadingDepth(Box b)
{
    const int i = static_cast<int>(b) - static_cast<int>(Box::InLoadX1);
    return i >= 0 && i < 8;
}
bool IsLoadingPressure(Box b)
{
    const int i = static_cast<int>(b) - static_cast<int>(Box::InLoadW1);
    return i >= 0 && i < 8;
}
bool IsPassiveDepth(Box b)
{
    const int i = static_cast<int>(b) - static_cast<int>(Box::InPassX1);
    return i >= 0 && i < 4;
}
bool IsPassivePressure(Box b)
{
    const int i = static_cast<int>(b) - static_cast<int>(Box::InPassW1);
    return i >= 0 && i < 4;
}

} // namespace

std::string_view InputHint(Box b)
{
    if (IsLoadingDepth(b) || IsPassiveDepth(b))
        return kPointDepth;
    if (IsLoadingPressure(b))
        return kLoadingPressure;
    if (IsPassivePressure(b))
        return kPassivePressure;
    switch (b) {
    case Box::ShoredHeight:
        return "Height of the retained soil, from the top of the pile (the ground behind the "
               "wall) down to the excavation base.";
    case Box::PileSpacing:
        return "Centre-to-centre spacing of the piles along the wall. Tangent piles: twice B; "
               "secant piles: 1.33 B to 1.67 B; sheet piles: 1 (the wall is designed per unit "
               "length).";
    case Box::PileWidth:
        return "Width of the pile that the passive soil bears on: the diameter of the drilled "
               "hole. For a driven pile the flange width of the section is used, for a sheet "
               "pile 1 (per unit length of wall).";
    case Box::SheetPileDepth:
        return "Depth of the selected sheet pile profile.";
    case Box::IgnorePassiveUD:
    case Box::IgnorePassiveHeight:
        return kIgnorePassive;
    case Box::BackfillPhi:
        return "Angle of internal friction (phi) of the retained soil, from the soils report.";
    case Box::BackfillDelta:
    case Box::Backfill2Delta:
        return kSoilPileFriction;
    case Box::BackfillSlope:
    case Box::BackfillSlopeEFP:
        return "Slope of the ground behind the wall above horizontal (at most the friction "
               "angle). A rising backfill raises the active pressure.";
    case Box::Backfill2Slope:
        return "Slope of the ground of backfill soil 2: always level, below the excavation "
               "base.";
    case Box::BackfillWallAngle:
    case Box::Backfill2WallAngle:
    case Box::PassiveWallAngle:
        return kWallAngle;
    case Box::ActiveEFP:
        return "Active pressure of the retained soil as an equivalent fluid: the lateral "
               "pressure gained per unit depth, from the soils report.";
    case Box::BackfillUnitWeight:
        return "Total unit weight (gamma) of the retained soil.";
    case Box::Surcharge:
        return "Uniform vertical load on the ground behind the wall (traffic, equipment, "
               "stockpiles); it adds a uniform lateral pressure Ka times the surcharge.";
    case Box::Backfill2Phi:
        return "Angle of internal friction (phi) of the soil below the excavation base, used "
               "on both sides of the pile under Gross Pressure.";
    case Box::Active2EFP:
        return "Active pressure of the soil below the excavation base as an equivalent fluid "
               "(Gross Pressure).";
    case Box::Backfill2UnitWeight:
        return "Total unit weight (gamma) of the soil below the excavation base (Gross "
               "Pressure).";
    case Box::Backfill2Surcharge:
        return "Vertical surcharge used for the active pressure of the soil below the "
               "excavation base (Gross Pressure).";
    case Box::PassivePhi:
        return "Angle of internal friction (phi) of the soil in front of the wall, below the "
               "excavation base.";
    case Box::PassiveDelta:
        return "Friction angle between the passive soil and the pile: 0 or negative, at least "
               "minus half the friction angle. It raises the passive resistance.";
    case Box::PassiveSlope:
    case Box::PassiveSlopeEFP:
        return kPassiveSlope;
    case Box::PassiveEFP:
        return "Passive resistance of the soil in front of the wall as an equivalent fluid: "
               "the passive pressure gained per unit depth, from the soils report.";
    case Box::MaxPassive:
        return "Largest passive pressure the soils report allows; the passive pressure grows "
               "with depth up to this value and no further.";
    case Box::PassiveFS:
        return "Factor of safety on the passive resistance: the passive coefficient is divided "
               "by it (1.33 to 2.0 under Net Pressure; 1 under Gross Pressure and for "
               "equivalent fluid pressures).";
    case Box::PassiveUnitWeight:
        return "Total unit weight (gamma) of the soil in front of the wall.";
    case Box::Cohesion:
        return "Cohesion of the passive soil; it adds 2 c sqrt(Kp / F.S.) to the passive "
               "pressure over the whole passive zone.";
    case Box::SubgradeModulus:
        return "Soil springs of the second analysis: nh of a sand (the spring grows with depth) "
               "or k1 of a clay for a 1 ft plate (constant). 0 takes Terzaghi's (1955) value "
               "for the soil below the base.";
    case Box::WedgeMultiplier:
        return "Passive Wedge Multiplier: an isolated pile mobilises a passive wedge wider "
               "than itself, so the passive pressure on one pile is multiplied by this factor "
               "(commonly 2 to 3 for soldier piles in firm soil; 1 for a continuous sheet "
               "pile wall).";
    case Box::BeamDiagonal:
        return "Diagonal of the beam section (the outside diameter of a round section): it "
               "must fit the drilled hole with room for the concrete.";
    case Box::ElasticModulus:
        return "Modulus of elasticity of the pile steel, for the deflection.";
    case Box::YieldStrength:
        return "Yield strength of the steel section, or of the reinforcing bars of a rebar "
               "cage.";
    case Box::AllowTopDeflection:
        return "Largest deflection allowed at the top of the pile; the computed top "
               "deflection is checked against it.";
    case Box::ConcreteStrength:
        return "Specified compressive strength of the concrete of the drilled pier (its "
               "stiffness and the rebar cage design).";
    case Box::BarCount:
        return "Number of vertical bars of the rebar cage: at least 4 with ties, 6 with "
               "spirals.";
    case Box::ClearCover:
        return "Concrete cover over the ties or spiral, from 2 in | 50 mm up to a third of "
               "the pier diameter.";
    case Box::TieSpacingCalculated:
        return "Tie or spiral spacing computed from the code limits.";
    case Box::TieSpacingOverride:
        return "Tie or spiral spacing to use instead of the calculated one (Per ACI "
               "9.7.6.4.3, 23.6.3.1, 25.7.2.1).";
    case Box::ReinforcementRatio:
        return "Area of the vertical bars as a percentage of the pier's area.";
    case Box::AxialLoad:
        return "Vertical load on one pile (decking, bracing, equipment); used in the steel and "
               "rebar cage checks.";
    case Box::LateralLoad:
        return "Horizontal load applied at the top of one pile, toward the excavation.";
    case Box::OtherMoment:
        return "Moment applied at the top of one pile, in addition to the strip and seismic "
               "moments.";
    case Box::TotalMoment:
        return "Moment at the top of the pile: the other moment plus the strip and seismic "
               "moments that are switched on.";
    case Box::StripPressure:
        return "Pressure under a strip footing or load parallel to the wall.";
    case Box::StripSetback:
        return "Distance from the wall to the near edge of the strip load.";
    case Box::StripWidth:
        return "Width of the strip load, perpendicular to the wall.";
    case Box::StripDepth:
        return "Depth of the base of the strip load below the top of the wall.";
    case Box::StripMoment:
        return "Moment at the pile top due to the strip load.";
    case Box::SeismicThrust:
        return "Seismic thrust per unit length of wall, from the soils report.";
    case Box::SeismicArm:
        return "Height of the seismic thrust above the excavation base.";
    case Box::SeismicMoment:
        return "Moment at the pile top due to the seismic thrust.";
    case Box::ArchingFactor:
        return "Reduction of the soil pressure on the lagging for the soil arching between "
               "the piles: 0.6 to 1 (1 takes the full pressure).";
    case Box::LumberFb:
        return "Reference allowable bending stress of the lagging lumber.";
    case Box::LumberFv:
        return "Reference allowable shear stress parallel to grain of the lagging lumber.";
    case Box::LumberModulus:
        return "Reference modulus of elasticity of the lagging lumber.";
    case Box::GuardrailLength:
        return "Height of the guardrail post (its length).";
    case Box::LateralBracing:
        return "Unbraced length of the guardrail post (its length).";
    case Box::GuardrailDistLoad:
        return "Distributed load on the guardrail, in any direction.";
    case Box::GuardrailPointLoad:
        return "Concentrated load at the top of the guardrail post, in any direction.";
    case Box::GuardrailSFCompression:
    case Box::GuardrailSFBending:
        return "Allowable stress design safety factor of the guardrail post.";
    default:
        return {};
    }
}

std::string_view InputHint(List l)
{
    switch (l) {
    case List::Units:
        return "English (ft, in, kip, psf, ksi) or SI (m, mm, kN, kPa, MPa). The numbers are "
               "kept as they are, not converted, when the unit system changes.";
    case List::AnalysisMethod:
        return "Net Pressure: no active pressure below the excavation base, the passive "
               "resistance is net. Gross Pressure: active and passive pressures of backfill "
               "soil 2 below the base. User Defined: type the pressure diagrams yourself.";
    case List::InstallMethod:
        return "Drilled: the beam is set in a drilled hole filled with concrete (B is the hole "
               "diameter). Driven: the beam is driven, B is its flange width.";
    case List::PileType:
        return "Soldier beams with lagging, tangent or secant drilled piles, or a steel sheet "
               "pile wall.";
    case List::Reinforcement:
        return "What carries the bending in the pile: a steel beam, a steel pipe, or a rebar "
               "cage in a concrete pier (drilled piles only).";
    case List::SoilMethod:
        return "Coulomb Method: pressure coefficients from the friction angles and slopes. "
               "Equivalent Fluid Pressure: the pressures per unit depth from the soils "
               "report.";
    case List::SteelLibrary:
        return "Catalogue of steel sections to choose the beam from.";
    case List::SheetLibrary:
        return "Sheet pile sections.";
    case List::SectionSize:
        return "The steel section or sheet pile profile of the pile.";
    case List::RebarStandard:
        return "Standard of the reinforcing bar sizes.";
    case List::VerticalBar:
        return "Size of the vertical bars of the rebar cage.";
    case List::TieType:
        return "Lateral reinforcement of the cage: separate ties or a continuous spiral.";
    case List::TieBar:
        return "Size of the ties or spiral.";
    case List::LaggingType:
        return "Lagging between the soldier beams: none, timber boards, a steel plate or "
               "concrete.";
    case List::LaggingConcrete:
        return "Compressive strength of the concrete lagging.";
    case List::LumberGrade:
        return "Grade of the lagging lumber.";
    case List::GuardrailShape:
        return "Steel angle of the guardrail post.";
    case List::GuardrailSpacing:
        return "Spacing of the guardrail posts: at every pile (x1) or every other pile (x2).";
    default:
        return {};
    }
}

std::string_view InputHint(Check c)
{
    switch (c) {
    case Check::PipeFilled:
        return "The pipe is filled with concrete: above the excavation base the pile is as "
               "stiff as the concrete pier.";
    case Check::StripLoad:
        return "Include a strip load parallel to the wall; it acts on the pile as a moment at "
               "its top.";
    case Check::SeismicLoad:
        return "Include a seismic thrust; it acts on the pile as a moment at its top.";
    case Check::SouthernPine:
        return "The lagging lumber is Southern Pine (kept with the project; it does not change "
               "the design).";
    case Check::UseGuardrail:
        return "Design a guardrail post on top of the pile.";
    case Check::AllowablePassive:
        return kPassiveInfoHint;
    case Check::SlurryFill:
        return "What fills the hole over the shored height; it sets the stiffness of the pile "
               "above the excavation base.";
    default:
        return {};
    }
}

} // namespace tw::form
