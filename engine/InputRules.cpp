#include "engine/InputRules.h"

#include <array>
#include <cmath>
#include <exception>
#include <limits>

#include "engine/TWClasses.h"

namespace tw {

namespace {

// Unit labels as the window shows them beside the boxes.
struct TUnit
{
    std::string_view english, si;
};
constexpr TUnit kNoUnit{"", ""};
constexpr TUnit kLength{"ft", "m"};
constexpr TUnit kDegrees{"degrees", "degrees"};
constexpr TUnit kUnitWeight{"pcf", "kN/m^3"};
constexpr TUnit kPressure{"psf", "kPa"};
constexpr TUnit kPressurePerLength{"psf/ft", "kN/m^3"};
constexpr TUnit kForce{"k", "kN"};
constexpr TUnit kMoment{"k-ft", "kN-m"};
constexpr TUnit kSeismicThrust{"lb/ft", "kN/m"};
constexpr TUnit kStress{"ksi", "MPa"};
constexpr TUnit kSmallLength{"in", "mm"};
constexpr TUnit kLumberStress{"psi", "MPa"};
constexpr TUnit kLumberModulus{"10^6 psi", "GPa"};
constexpr TUnit kLineLoad{"plf", "kN/m"};
constexpr TUnit kPointLoad{"lbf", "kN"};
constexpr TUnit kDiagramPressure{"ksf", "kPa"};
constexpr TUnit kSubgradeModulus{"pci", "kN/m^3"};

// --- When the window reads an input ---

bool Always(const TTWData&)
{
    return true;
}
bool Coulomb(const TTWData& p)
{
    return p.SoilMethod == TSoilMethod::smCoulomb;
}
bool Fluid(const TTWData& p)
{
    return p.SoilMethod == TSoilMethod::smEquivalentFluid;
}
bool Gross(const TTWData& p)
{
    return p.AnalysisMethod == TAnalysisMethod::amGrossPressure;
}
bool UserDefined(const TTWData& p)
{
    return p.AnalysisMethod == TAnalysisMethod::amUserDefined;
}
bool Sheet(const TTWData& p)
{
    return p.PileType == TPileType::ptSheetPile;
}

// --- Bounds and derived values ---

TInputBounds NoBounds(const TTWData&)
{
    return {};
}
long double NoValue(const TTWData&)
{
    return 0;
}
std::string NoReason(const TTWData&)
{
    return {};
}

TInputBounds Upper(long double upper)
{
    return {0, static_cast<double>(upper)};
}
TInputBounds Lower(long double lower)
{
    return {static_cast<double>(lower), 0};
}
TInputBounds Between(long double lower, long double upper)
{
    return {static_cast<double>(lower), static_cast<double>(upper)};
}

std::string Reason(std::string_view text)
{
    return std::string(text);
}

TInputBounds PassiveSafetyBounds(const TTWData&)
{
    return {1.33, 2.0};
}

// Field access.
#define TW_FIELD(expr)                                                                             \
    [](const TTWData& p) -> long double { return p.expr; },                                        \
        [](TTWData& p, long double v) { p.expr = v; }

#define TW_RULE(group, input, name, caption, tag, unit, kind, applies, bounds, derived, reason,    \
                field)                                                                             \
    TInputRule                                                                                     \
    {                                                                                              \
        TInputGroup::group, input, name, caption, tag, unit.english, unit.si,                      \
            TInputRuleKind::kind, false, applies, Always, bounds, derived, reason, TW_FIELD(field) \
    }

// A rule with only the limits of its tag.
#define TW_LIMITS(group, input, name, caption, tag, unit, applies, field)                          \
    TW_RULE(group, input, name, caption, tag, unit, Limits, applies, NoBounds, NoValue, NoReason,  \
            field)

// The depth of a pressure point, between its neighbours: at least 0.01 deeper than the point
// before it, above the fixed point after it by 0.01 (by 0.02 when a point lies between). The
// window reads the points under every method; only User Defined analyses them as read.
#define TW_POINT_X(input, name, caption, points, i, before, after, reasonText)                     \
    TInputRule                                                                                     \
    {                                                                                              \
        TInputGroup::PressureData, input, name, caption, Tag::PressurePointX, kLength.english,     \
            kLength.si, TInputRuleKind::Bounds, false, Always, UserDefined,                        \
            [](const TTWData& p) {                                                                 \
                return Between(p.points[before].X + 0.01L,                                         \
                               p.points[after].X - ((after) - (i) == 1 ? 0.01L : 0.02L));          \
            },                                                                                     \
            NoValue, [](const TTWData&) { return Reason(reasonText); }, TW_FIELD(points[i].X)      \
    }

#define TW_POINT_W(input, name, caption, points, i)                                                \
    TInputRule                                                                                     \
    {                                                                                              \
        TInputGroup::PressureData, input, name, caption, Tag::PressurePointW,                      \
            kDiagramPressure.english, kDiagramPressure.si, TInputRuleKind::Limits, false, Always,  \
            UserDefined, NoBounds, NoValue, NoReason, TW_FIELD(points[i].W)                        \
    }

bool CoulombGross(const TTWData& p)
{
    return Coulomb(p) && Gross(p);
}
bool CoulombNotGross(const TTWData& p)
{
    return Coulomb(p) && !Gross(p);
}
bool FluidGross(const TTWData& p)
{
    return Fluid(p) && Gross(p);
}
bool FluidNotGross(const TTWData& p)
{
    return Fluid(p) && !Gross(p);
}
bool NotGross(const TTWData& p)
{
    return !Gross(p);
}
bool NotSheet(const TTWData& p)
{
    return !Sheet(p);
}
bool DrilledPile(const TTWData& p)
{
    return p.InstallMethod != TInstallMethod::imDriven && !Sheet(p);
}
bool Soldier(const TTWData& p)
{
    return p.PileType == TPileType::ptSoldierBeam;
}
bool Tangent(const TTWData& p)
{
    return p.PileType == TPileType::ptTangentPile;
}
bool Secant(const TTWData& p)
{
    return p.PileType == TPileType::ptSecantPile;
}
// The ignore height of the passive soils; under User Defined its own box in General Data.
bool PassiveIgnoreHeight(const TTWData& p)
{
    return (Coulomb(p) || !Gross(p)) && !UserDefined(p);
}

constexpr TInputRule kRules[] = {
    // General Data
    TW_LIMITS(GeneralData, "ShoredHeight", "ShoredHeight", "Shored Height, H", Tag::ShoredHeight,
              kLength, Always, ShoredHeight),
    TW_LIMITS(GeneralData, "PileWidth", "PileWidth", "Pile Width or Pier Diameter, B",
              Tag::PileWidth, kLength, DrilledPile, PileWidth),
    TW_LIMITS(GeneralData, "PileSpacing", "PileSpacing", "Pile Spacing, S", Tag::PileSpacing,
              kLength, Soldier, PileSpacing),
    TW_RULE(
        GeneralData, "PileSpacing", "PileSpacing", "Pile Spacing, S", Tag::PileSpacing, kLength,
        Derived, Tangent, NoBounds, [](const TTWData& p) { return 2 * p.EffectivePileWidth(); },
        [](const TTWData&) { return Reason("tangent piles: twice the pile diameter"); },
        PileSpacing),
    TW_RULE(
        GeneralData, "PileSpacing", "PileSpacing", "Pile Spacing, S", Tag::PileSpacing, kLength,
        Bounds, Secant,
        [](const TTWData& p) {
            const long double b = p.EffectivePileWidth();
            return Between(1.33L * b, 1.67L * b);
        },
        NoValue,
        [](const TTWData&) { return Reason("secant piles: 1.33 to 1.67 times the pile diameter"); },
        PileSpacing),
    TW_RULE(
        GeneralData, "PileSpacing", "PileSpacing", "Pile Spacing, S", Tag::PileSpacing, kLength,
        Derived, Sheet, NoBounds, [](const TTWData&) { return 1.0L; },
        [](const TTWData&) { return Reason("sheet piles: per unit length of wall, 1.00"); },
        PileSpacing),

    // The backfill and passive soils
    TW_LIMITS(Soils, "BackfillPhi", "BackfillPhi", "Soil Friction Angle", Tag::SoilFrictionAngle,
              kDegrees, Coulomb, BackfillPhi),
    TW_RULE(
        Soils, "BackfillDelta", "BackfillDelta", "Soil-Pile Friction Angle",
        Tag::SoilPileFrictionAngle, kDegrees, KeepingSign, Coulomb,
        [](const TTWData& p) { return Upper(0.75L * p.BackfillPhi); }, NoValue,
        [](const TTWData&) { return Reason("at most 0.75 times the friction angle"); },
        BackfillDelta),
    TW_RULE(
        Soils, "BackfillSlope", "BackfillSlope", "Backfill Slope Angle", Tag::BackfillSlopeAngle,
        kDegrees, KeepingSign, Coulomb, [](const TTWData& p) { return Upper(p.BackfillPhi); },
        NoValue, [](const TTWData&) { return Reason("at most the friction angle"); },
        BackfillSlope),
    TW_RULE(
        Soils, "BackfillSlopeEFP", "BackfillSlope", "Backfill Slope Angle", Tag::BackfillSlopeAngle,
        kDegrees, KeepingSign, Fluid, [](const TTWData&) { return Upper(45); }, NoValue,
        [](const TTWData&) { return Reason("at most 45 degrees"); }, BackfillSlope),
    TW_LIMITS(Soils, "BackfillUnitWeight", "BackfillUnitWeight", "Backfill Soil Unit Weight",
              Tag::BackfillUnitWeight, kUnitWeight, Always, BackfillUnitWeight),
    TW_LIMITS(Soils, "ActiveEFP", "ActiveEFP", "Equiv. Backfill Pressure",
              Tag::EquivBackfillPressure, kPressurePerLength, Fluid, ActiveEFP),
    TW_LIMITS(Soils, "PassiveEFP", "PassiveEFP", "Equiv. Passive Resistance",
              Tag::EquivPassiveResistance, kPressurePerLength, Fluid, PassiveEFP),
    TW_LIMITS(Soils, "MaxPassive", "MaxPassivePressure", "Max. Passive Resistance",
              Tag::MaxPassiveResistance, kPressurePerLength, Fluid, MaxPassivePressure),
    TW_LIMITS(Soils, "Surcharge", "Surcharge", "Vertical Uniform Surcharge", Tag::VerticalSurcharge,
              kPressure, Always, Surcharge),
    TW_LIMITS(Soils, "Backfill2Phi", "Backfill2Phi", "Soil Friction Angle", Tag::SoilFrictionAngle,
              kDegrees, CoulombGross, Backfill2Phi),
    TW_RULE(
        Soils, "Backfill2Delta", "Backfill2Delta", "Soil-Pile Friction Angle",
        Tag::SoilPileFrictionAngle, kDegrees, KeepingSign, CoulombGross,
        [](const TTWData& p) { return Upper(0.75L * p.Backfill2Phi); }, NoValue,
        [](const TTWData&) { return Reason("at most 0.75 times the friction angle"); },
        Backfill2Delta),
    TW_LIMITS(Soils, "Active2EFP", "Active2EFP", "Equiv. Backfill Pressure",
              Tag::EquivBackfillPressure, kPressurePerLength, FluidGross, Active2EFP),
    TW_LIMITS(Soils, "Backfill2UnitWeight", "Backfill2UnitWeight", "Backfill Soil Unit Weight",
              Tag::BackfillUnitWeight, kUnitWeight, Gross, Backfill2UnitWeight),
    TW_LIMITS(Soils, "Backfill2Surcharge", "Backfill2Surcharge", "Vertical Uniform Surcharge",
              Tag::VerticalSurcharge, kPressure, Gross, Backfill2Surcharge),
    TW_LIMITS(Soils, "PassivePhi", "PassivePhi", "Soil Friction Angle", Tag::PassiveFrictionAngle,
              kDegrees, CoulombNotGross, PassivePhi),
    TW_RULE(
        Soils, "PassiveFS", "PassiveSafetyFactor", "F.S. on Passive", Tag::PassiveSafetyFactor,
        kNoUnit, Bounds, CoulombNotGross, PassiveSafetyBounds, NoValue,
        [](const TTWData&) { return Reason("between 1.33 and 2.00"); }, PassiveSafetyFactor),
    TW_RULE(
        Soils, "PassiveFS", "PassiveSafetyFactor", "F.S. on Passive", Tag::PassiveSafetyFactor,
        kNoUnit, Derived, FluidNotGross, NoBounds, [](const TTWData&) { return 1.0L; },
        [](const TTWData&) {
            return Reason("equivalent fluid pressures: the passive resistance is used as "
                          "given, 1.00");
        },
        PassiveSafetyFactor),
    TW_LIMITS(Soils, "IgnorePassiveHeight", "IgnorePassiveHeight", "Ignore Passive Height",
              Tag::IgnorePassiveHeight, kLength, PassiveIgnoreHeight, IgnorePassiveHeight),
    TW_LIMITS(Soils, "PassiveUnitWeight", "PassiveUnitWeight", "Passive Soil Unit Weight",
              Tag::PassiveUnitWeight, kUnitWeight, NotGross, PassiveUnitWeight),
    TW_RULE(
        Soils, "PassiveDelta", "PassiveDelta", "Soil-Pile Friction Angle",
        Tag::PassiveSoilPileFrictionAngle, kDegrees, KeepingSign, Coulomb,
        [](const TTWData& p) { return Lower(-0.5L * p.GetPassivePhi()); }, NoValue,
        [](const TTWData&) { return Reason("at least -0.5 times the passive friction angle"); },
        PassiveDelta),
    TW_RULE(
        Soils, "PassiveSlope", "PassiveSlope", "Passive Slope Angle", Tag::PassiveSlopeAngle,
        kDegrees, KeepingSign, Coulomb, [](const TTWData& p) { return Lower(-p.GetPassivePhi()); },
        NoValue, [](const TTWData&) { return Reason("at least minus the passive friction angle"); },
        PassiveSlope),
    TW_RULE(
        Soils, "PassiveSlopeEFP", "PassiveSlope", "Passive Slope Angle", Tag::PassiveSlopeAngle,
        kDegrees, KeepingSign, Fluid, [](const TTWData& p) { return Lower(-p.GetPassivePhi()); },
        NoValue, [](const TTWData&) { return Reason("at least minus the passive friction angle"); },
        PassiveSlope),
    TW_LIMITS(Soils, "Cohesion", "Cohesion", "Cohesion", Tag::Cohesion, kPressure, Always,
              Cohesion),
    TW_LIMITS(Soils, "SubgradeModulus", "SubgradeModulus", "Subgrade Modulus, nh or k1",
              Tag::SubgradeModulus, kSubgradeModulus, Always, SubgradeModulus),
    TW_LIMITS(Soils, "WedgeMultiplier", "WedgeMultiplier", "Passive Wedge Multiplier",
              Tag::PassiveWedgeMultiplier, kNoUnit, NotSheet, WedgeMultiplier),
    TW_RULE(
        Soils, "WedgeMultiplier", "WedgeMultiplier", "Passive Wedge Multiplier",
        Tag::PassiveWedgeMultiplier, kNoUnit, Derived, Sheet, NoBounds,
        [](const TTWData&) { return 1.0L; },
        [](const TTWData&) { return Reason("sheet piles: no passive wedge, 1.00"); },
        WedgeMultiplier),
    TW_LIMITS(Soils, "IgnorePassiveUD", "IgnorePassiveHeight", "Ignore Passive",
              Tag::IgnorePassiveHeight, kLength, UserDefined, IgnorePassiveHeight),

    // Loads applied to the pile
    TW_LIMITS(Loads, "AxialLoad", "AxialLoad", "Axial Load", Tag::AxialLoad, kForce, Always,
              AxialLoad),
    TW_LIMITS(Loads, "LateralLoad", "LateralLoadTop", "Lateral Load @ Top", Tag::LateralLoad,
              kForce, Always, LateralLoadTop),
    TW_LIMITS(Loads, "OtherMoment", "OtherMoment", "Other Moment", Tag::Moment, kMoment, Always,
              OtherMoment),
    TW_LIMITS(Loads, "StripPressure", "StripPressure", "Strip Pressure, q", Tag::StripPressure,
              kPressure, Always, StripPressure),
    TW_RULE(
        Loads, "StripSetback", "StripSetback", "Strip Setback, a", Tag::StripGeometry, kLength,
        KeepingSign, Always, [](const TTWData& p) { return Upper(p.ShoredHeight); }, NoValue,
        [](const TTWData&) { return Reason("at most the shored height"); }, StripSetback),
    TW_LIMITS(Loads, "StripWidth", "StripWidth", "Strip Width, b", Tag::StripGeometry, kLength,
              Always, StripWidth),
    TW_RULE(
        Loads, "StripDepth", "StripDepth", "Strip Depth, d", Tag::StripGeometry, kLength,
        KeepingSign, Always, [](const TTWData& p) { return Upper(p.ShoredHeight); }, NoValue,
        [](const TTWData&) { return Reason("at most the shored height"); }, StripDepth),
    TW_LIMITS(Loads, "SeismicThrust", "SeismicThrust", "Seismic Thrust, Pseis", Tag::StripPressure,
              kSeismicThrust, Always, SeismicThrust),
    TW_RULE(
        Loads, "SeismicArm", "SeismicArm", "Loc. from Base of Excav, d", Tag::StripGeometry,
        kLength, KeepingSign, Always, [](const TTWData& p) { return Upper(p.TotalPileLength); },
        NoValue, [](const TTWData&) { return Reason("at most the total pile length"); },
        SeismicArm),

    // The user-defined pressure diagram: the depths between their neighbours, the pressures
    // as typed.
    TW_POINT_X("InLoadX2", "LoadPoints[1].X", "Loading Side 2", LoadPoints, 1, 0, 3,
               "at least 0.01 below loading point 1 and 0.02 above point 4"),
    TW_POINT_X("InLoadX3", "LoadPoints[2].X", "Loading Side 3", LoadPoints, 2, 1, 3,
               "at least 0.01 below loading point 2 and 0.01 above point 4"),
    TW_POINT_X("InLoadX6", "LoadPoints[5].X", "Loading Side 6", LoadPoints, 5, 4, 7,
               "at least 0.01 below loading point 5 and 0.02 above point 8"),
    TW_POINT_X("InLoadX7", "LoadPoints[6].X", "Loading Side 7", LoadPoints, 6, 5, 7,
               "at least 0.01 below loading point 6 and 0.01 above point 8"),
    TW_POINT_X("InPassX2", "PassivePoints[1].X", "Passive Side 2", PassivePoints, 1, 0, 3,
               "at least 0.01 below passive point 1 and 0.02 above point 4"),
    TW_POINT_X("InPassX3", "PassivePoints[2].X", "Passive Side 3", PassivePoints, 2, 1, 3,
               "at least 0.01 below passive point 2 and 0.01 above point 4"),
    TW_POINT_W("InLoadW1", "LoadPoints[0].W", "Loading Side 1", LoadPoints, 0),
    TW_POINT_W("InLoadW2", "LoadPoints[1].W", "Loading Side 2", LoadPoints, 1),
    TW_POINT_W("InLoadW3", "LoadPoints[2].W", "Loading Side 3", LoadPoints, 2),
    TW_POINT_W("InLoadW4", "LoadPoints[3].W", "Loading Side 4", LoadPoints, 3),
    TW_POINT_W("InLoadW5", "LoadPoints[4].W", "Loading Side 5", LoadPoints, 4),
    TW_POINT_W("InLoadW6", "LoadPoints[5].W", "Loading Side 6", LoadPoints, 5),
    TW_POINT_W("InLoadW7", "LoadPoints[6].W", "Loading Side 7", LoadPoints, 6),
    TW_POINT_W("InLoadW8", "LoadPoints[7].W", "Loading Side 8", LoadPoints, 7),
    TW_POINT_W("InPassW1", "PassivePoints[0].W", "Passive Side 1", PassivePoints, 0),
    TW_POINT_W("InPassW2", "PassivePoints[1].W", "Passive Side 2", PassivePoints, 1),
    TW_POINT_W("InPassW3", "PassivePoints[2].W", "Passive Side 3", PassivePoints, 2),
    TW_POINT_W("InPassW4", "PassivePoints[3].W", "Passive Side 4", PassivePoints, 3),

    // Structural data
    TW_LIMITS(StructuralData, "ElasticModulus", "ElasticModulus", "Elastic Pile Modulus",
              Tag::ElasticModulus, kStress, Always, ElasticModulus),
    TW_LIMITS(StructuralData, "YieldStrength", "YieldStrength", "Yield Strength, Fy",
              Tag::YieldStrength, kStress, Always, YieldStrength),
    TW_LIMITS(StructuralData, "AllowTopDeflection", "AllowableTopDeflection",
              "Allow. Top of Pile Defl.", Tag::AllowableTopDeflection, kSmallLength, Always,
              AllowableTopDeflection),
    TW_LIMITS(StructuralData, "ConcreteStrength", "ConcreteStrength", "Conc. Compress. Str, f'c",
              Tag::ConcreteStrength, kStress, Always, ConcreteStrength),

    // Lagging design
    TW_LIMITS(Lagging, "ArchingFactor", "ArchingFactor", "Arching Factor", Tag::ArchingFactor,
              kNoUnit, Always, ArchingFactor),
    TW_LIMITS(Lagging, "LumberFb", "LaggingFb", "Bending, Fb", Tag::LumberBending, kLumberStress,
              Always, LaggingFb),
    TW_LIMITS(Lagging, "LumberFv", "LaggingFv", "Shear Parallel to Grain, Fv", Tag::LumberShear,
              kLumberStress, Always, LaggingFv),
    TW_LIMITS(Lagging, "LumberModulus", "LaggingModulus", "Reference Modulus of El, E",
              Tag::LumberModulus, kLumberModulus, Always, LaggingModulus),

    // The rebar cage. The box shows the number of bars as stored; the value read is rounded
    // to a whole number.
    TInputRule{TInputGroup::RebarCage, "BarCount", "BarCount", "Number of Bars", Tag::NumberOfBars,
               kNoUnit.english, kNoUnit.si, TInputRuleKind::Bounds, true, Always, Always,
               [](const TTWData& p) {
                   return TInputBounds{p.TieType == TTieType::ttSpiral ? 6.0 : 4.0, 0};
               },
               NoValue,
               [](const TTWData& p) {
                   return Reason(p.TieType == TTieType::ttSpiral ? "at least 6 bars with a spiral"
                                                                 : "at least 4 bars with ties");
               },
               [](const TTWData& p) -> long double { return p.BarCount; },
               [](TTWData& p, long double v) { p.BarCount = BarCountFrom(v); }},
    TW_RULE(
        RebarCage, "ClearCover", "ClearCover", "Clear Cover", Tag::ClearCover, kSmallLength, Bounds,
        Always,
        [](const TTWData& p) {
            return Between(p.UnitValue(50, 2), p.EffectivePileWidth() / 3 * p.UnitValue(1000, 12));
        },
        NoValue,
        [](const TTWData& p) {
            return Reason(p.Units == TUnitSystem::usSI ? "50 mm to a third of the pier diameter"
                                                       : "2 in to a third of the pier diameter");
        },
        ClearCover),
    TW_LIMITS(RebarCage, "TieSpacingOverride", "TieSpacingOverride", "Override",
              Tag::TieSpacingOverride, kSmallLength, Always, TieSpacingOverride),

    // Guardrail design
    TW_LIMITS(Guardrail, "GuardrailLength", "GuardrailLength", "Length of the Guardrail",
              Tag::GuardrailLength, kLength, Always, GuardrailLength),
    TW_LIMITS(Guardrail, "GuardrailDistLoad", "GuardrailDistLoad", "Dist. Load in Any Dir.",
              Tag::GuardrailDistLoad, kLineLoad, Always, GuardrailDistLoad),
    TW_LIMITS(Guardrail, "GuardrailPointLoad", "GuardrailPointLoad", "Point Load in Any Dir.",
              Tag::GuardrailPointLoad, kPointLoad, Always, GuardrailPointLoad),
};

#undef TW_POINT_W
#undef TW_POINT_X
#undef TW_LIMITS
#undef TW_RULE
#undef TW_FIELD

// What decided the value a rule leaves.
enum class TStage
{
    None,
    NotANumber, // a value that is no finite number reads as 0
    Limits,     // the limits of the tag
    Explicit    // the rule's explicit bound or derived value
};

struct TRuled
{
    long double value;
    TStage stage;
};

TRuled Evaluate(const TInputRule& rule, const TTWData& p, long double stored)
{
    if (rule.kind == TInputRuleKind::Derived)
        return {rule.derived(p), TStage::Explicit};
    const TInputLimit limit = LimitForTag(p.Limits(), rule.tag);
    TStage stage = TStage::None;
    long double v = stored;
    // As the box shows it: "N.A." for NaN and "INF" beyond the limits of a tag without any,
    // both read as 0; a zero without its sign.
    if (std::isnan(v)) {
        v = 0;
        stage = TStage::NotANumber;
    }
    if (!rule.shownUnclamped) {
        const long double shown = ClampToLimits(limit, v);
        if (shown != v)
            stage = TStage::Limits;
        v = shown;
    }
    if (std::isinf(v)) {
        v = 0;
        stage = TStage::NotANumber;
    }
    if (v == 0)
        v = 0;
    // As the box reads it.
    const TInputBounds b = RuleBounds(rule, p);
    const long double read = ClampToInputBounds(limit, v, b.lower, b.upper);
    if (read != v)
        stage = b.lower == 0 && b.upper == 0 ? TStage::Limits : TStage::Explicit;
    v = read;
    if (rule.kind == TInputRuleKind::KeepingSign) {
        const long double kept = ClampOpenSide(limit, v, b.lower, b.upper);
        if (kept != v)
            stage = TStage::Limits;
        v = kept;
    }
    return {v, stage};
}

// A value as the window shows it with the tag's decimals, with more when that alone would
// not tell the two values of a change apart.
void ShowPair(TAdjustedInput& a, int decimals, std::string_view unit)
{
    const auto text = [&](long double v, int d) {
        return std::isnan(v) ? std::string("N.A.") : FormatFixed(v, d, 10, ".");
    };
    for (int d = decimals; d <= decimals + 8; ++d) {
        a.givenText = text(a.given, d);
        a.usedText = text(a.used, d);
        if (a.givenText != a.usedText)
            break;
    }
    if (!unit.empty()) {
        a.givenText += ' ';
        a.givenText += unit;
        a.usedText += ' ';
        a.usedText += unit;
    }
}

std::string LimitsReason(const TInputLimit& limit)
{
    std::string text = "between the limits ";
    text += FormatFixed(limit.Min, limit.Decimals, 10, ".");
    text += " and ";
    text += FormatFixed(limit.Max, limit.Decimals, 10, ".");
    return text;
}

template <class E, std::size_t N>
TAdjustedInput SelectionChange(std::string_view name, std::string_view caption, E given, E used,
                               const std::array<std::string_view, N>& items,
                               std::string_view reason)
{
    return TAdjustedInput{std::string(name),
                          std::string(caption),
                          static_cast<long double>(static_cast<int>(given)),
                          static_cast<long double>(static_cast<int>(used)),
                          std::string(reason),
                          ItemText(items, given),
                          ItemText(items, used)};
}

} // namespace

std::span<const TInputRule> InputRules()
{
    return kRules;
}

TInputBounds RuleBounds(const TInputRule& rule, const TTWData& project)
{
    if (rule.kind == TInputRuleKind::Bounds || rule.kind == TInputRuleKind::KeepingSign)
        return rule.bounds(project);
    return {};
}

long double GuardrailSpacingFor(const TTWData& project, bool twice)
{
    return twice ? 2 * project.PileSpacing : project.PileSpacing;
}

int32_t BarCountFrom(long double value)
{
    const long double rounded = std::nearbyint(value);
    return rounded >= static_cast<long double>(std::numeric_limits<int32_t>::max())
               ? std::numeric_limits<int32_t>::max()
               : static_cast<int32_t>(rounded);
}

std::vector<TAdjustedInput> ApplyInputRules(TTWData& p)
{
    std::vector<TAdjustedInput> changes;

    // The selections tied together.
    const TInstallMethod install = p.InstallMethod;
    const TReinforcement reinforcement = p.Reinforcement;
    p.ApplySelectionRules();
    if (p.InstallMethod != install)
        changes.push_back(SelectionChange("InstallMethod", "Installation Method", install,
                                          p.InstallMethod, kInstallMethodItems,
                                          "sheet piles are driven"));
    if (p.Reinforcement != reinforcement)
        changes.push_back(SelectionChange(
            "Reinforcement", "Reinforcement", reinforcement, p.Reinforcement, kReinforcementItems,
            p.PileType == TPileType::ptSheetPile ? "sheet piles have no reinforcement"
                                                 : "a rebar cage needs a drilled hole"));

    // The guardrail spacing keeps its choice (the pile spacing or twice it) of the stored
    // values.
    const bool guardrailTwice = p.GuardrailSpacing == 2 * p.PileSpacing;

    for (const TInputRule& rule : InputRules()) {
        if (!rule.applies(p))
            continue;
        const long double given = rule.get(p);
        const TRuled ruled = Evaluate(rule, p, given);
        rule.set(p, ruled.value);
        const long double used = rule.get(p);
        if (used == given || (std::isnan(used) && std::isnan(given)) || !rule.counts(p))
            continue;
        const TInputLimit limit = LimitForTag(p.Limits(), rule.tag);
        TAdjustedInput a{
            std::string(rule.name), std::string(rule.caption), given, used, {}, {}, {}};
        switch (ruled.stage) {
        case TStage::Explicit:
            a.rule = rule.reason(p);
            break;
        case TStage::Limits:
            a.rule = LimitsReason(limit);
            break;
        case TStage::NotANumber:
        case TStage::None:
            a.rule = "not a number, read as 0";
            break;
        }
        ShowPair(a, limit.Decimals, p.Units == TUnitSystem::usSI ? rule.unitSI : rule.unitEnglish);
        changes.push_back(std::move(a));
    }

    const long double spacing = p.GuardrailSpacing;
    p.GuardrailSpacing = GuardrailSpacingFor(p, guardrailTwice);
    if (p.GuardrailSpacing != spacing) {
        TAdjustedInput a{"GuardrailSpacing",
                         "Max. Spacing of Guardrail",
                         spacing,
                         p.GuardrailSpacing,
                         "the pile spacing or twice it",
                         {},
                         {}};
        ShowPair(a, LimitForTag(p.Limits(), Tag::GuardrailSpacing).Decimals,
                 p.Units == TUnitSystem::usSI ? "m" : "ft");
        changes.push_back(std::move(a));
    }
    return changes;
}

std::vector<TAdjustedInput> ApplyInputRulesOnOpen(TTWData& project)
{
    try {
        project.Analyze();
    } catch (const std::exception&) {
    }
    return ApplyInputRules(project);
}

std::string AdjustmentNote(const TAdjustedInput& a)
{
    std::string note = a.caption;
    note += ' ';
    note += a.givenText;
    note += " changed to ";
    note += a.usedText;
    note += " (";
    note += a.rule;
    note += ')';
    return note;
}

} // namespace tw
