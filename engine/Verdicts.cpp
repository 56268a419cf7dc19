#include "engine/Verdicts.h"

#include <cmath>
#include <limits>

#include "engine/Guardrail.h"
#include "engine/Lagging.h"
#include "engine/RebarCage.h"
#include "engine/SteelChecks.h"
#include "engine/TWClasses.h"

namespace tw {

namespace {

constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();

struct TCheckName
{
    std::string_view key, caption;
};
// Captions as the section search and the summaries name a failing check.
constexpr std::array<TCheckName, kWallCheckCount> kNames{{
    {"Moment", "Moment"},
    {"Shear", "Shear"},
    {"Axial", "Axial"},
    {"Interaction", "P-M interaction"},
    {"Slenderness", "Slenderness Ratio, kL/r"},
    {"SectionModulus", "Section Modulus"},
    {"MaxDeflection", "Max. Deflection"},
    {"HoleFit", "Beam Diagonal Length"},
    {"RoundClass", "Section class"},
    {"RebarAxial", "Factored Axial, Pu"},
    {"RebarMoment", "Factored Moment, Mu"},
    {"TieSpacing", "Tie spacing"},
    {"LaggingBending", "Lagging bending"},
    {"LaggingShear", "Lagging shear"},
    {"LaggingDeflection", "Lagging deflection"},
    {"LaggingSize", "Lagging size"},
    {"LaggingConcrete", "Concrete lagging"},
    {"GuardrailCompression", "Guardrail compression"},
    {"GuardrailMoment", "Guardrail moment"},
    {"GuardrailWeldY", "Guardrail weld, y-axis"},
    {"GuardrailWeldX", "Guardrail weld, x-axis"},
}};

// 100 demand / capacity, NaN when the capacity is zero or either is not finite.
long double Percent(long double demand, long double capacity)
{
    if (!(capacity != 0) || !std::isfinite(demand) || !std::isfinite(capacity))
        return kNaN;
    const long double ratio = 100 * std::fabs(demand / capacity);
    return std::isfinite(ratio) ? ratio : kNaN;
}

} // namespace

bool TVerdicts::AllPass() const
{
    return FirstFailure() == nullptr;
}

const TVerdict* TVerdicts::FirstFailure() const
{
    for (const TVerdict& v : items)
        if (v.applies && !v.passes)
            return &v;
    return nullptr;
}

const TVerdict* TVerdicts::Governing() const
{
    const TVerdict* governing = nullptr;
    for (const TVerdict& v : items)
        if (v.applies && std::isfinite(v.utilization) &&
            (governing == nullptr || v.utilization > governing->utilization))
            governing = &v;
    return governing;
}

TVerdicts WallVerdicts(const TTWData& p)
{
    TVerdicts out;
    for (std::size_t i = 0; i < kWallCheckCount; ++i) {
        TVerdict& v = out.items[i];
        v.id = static_cast<TCheckId>(i);
        v.key = kNames[i].key;
        v.caption = kNames[i].caption;
        v.utilization = kNaN;
    }
    auto set = [&out](TCheckId id, bool applies, bool passes, long double utilization = kNaN) {
        TVerdict& v = out.items[static_cast<std::size_t>(id)];
        v.applies = applies;
        v.passes = passes;
        v.utilization = utilization;
    };

    const TSteelVerdicts steel = SteelCheckVerdicts(p);
    const TSteelCheckResults& s = p.SteelCheckResults;
    const bool strength = steel.StrengthChecksApply;
    set(TCheckId::Moment, strength, steel.Moment, s.MomentUtilization);
    set(TCheckId::Shear, strength, steel.Shear, s.ShearUtilization);
    set(TCheckId::Axial, strength, steel.Axial, s.AxialUtilization);
    set(TCheckId::Interaction, strength, steel.Interaction, s.Interaction);
    set(TCheckId::Slenderness, strength, steel.Slenderness, Percent(s.Slenderness, 200));
    set(TCheckId::SectionModulus, steel.SectionModulusApplies, steel.SectionModulus,
        Percent(s.SectionModulusRequired, s.SectionModulusProvided));
    set(TCheckId::MaxDeflection, true, steel.Deflection,
        p.AllowableTopDeflection > 0 ? Percent(p.TopDeflection, p.AllowableTopDeflection) : kNaN);
    set(TCheckId::HoleFit, steel.HoleFitApplies, steel.HoleFit);
    set(TCheckId::RoundClass, steel.RoundClassApplies, steel.RoundClass);

    const bool cage =
        p.Reinforcement == TReinforcement::rfRebarCage && p.PileType != TPileType::ptSheetPile;
    const TRebarCageResults& r = p.RebarCageResults;
    set(TCheckId::RebarAxial, cage, r.AxialOK, r.AxialUtilizationNA ? kNaN : r.AxialUtilization);
    set(TCheckId::RebarMoment, cage, r.MomentOK,
        r.MomentUtilizationNA ? kNaN : r.MomentUtilization);
    set(TCheckId::TieSpacing, cage, r.SpacingOK);

    const TLaggingResults& l = p.LaggingResults;
    const bool lagging = p.PileType == TPileType::ptSoldierBeam && l.Designed;
    const bool timber = lagging && p.LaggingType == TLaggingType::ltTimber;
    const bool plate = lagging && p.LaggingType == TLaggingType::ltSteelPlate;
    const bool concrete = lagging && p.LaggingType == TLaggingType::ltConcrete;
    set(TCheckId::LaggingBending, timber, l.BendingOK, Percent(l.ActualFb, l.AdjustedFb));
    set(TCheckId::LaggingShear, timber, l.ShearOK, Percent(l.ActualFv, l.AdjustedFv));
    set(TCheckId::LaggingDeflection, timber, l.DeflectionOK,
        Percent(l.Deflection, l.AllowableDeflection));
    set(TCheckId::LaggingSize, timber || plate, l.SizeOK);
    set(TCheckId::LaggingConcrete, concrete, l.ConcreteOK);

    const TGuardrailResults& g = p.GuardrailResults;
    const bool guardrail = p.GuardrailOn;
    set(TCheckId::GuardrailCompression, guardrail, g.CompressionOK,
        Percent(g.Compression, g.AllowableCompression));
    set(TCheckId::GuardrailMoment, guardrail, g.MomentOK, Percent(g.Moment, g.AllowableMoment));
    set(TCheckId::GuardrailWeldY, guardrail, g.WeldYOK, Percent(g.WeldY, g.AllowableWeldY));
    set(TCheckId::GuardrailWeldX, guardrail, g.WeldXOK, Percent(g.WeldX, g.AllowableWeldX));
    return out;
}

} // namespace tw
