#include "engine/UnitConversion.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "engine/BeamShapes.h"

namespace tw {

namespace {

using namespace si_factor;

// The bar of the other table with the same diameter, or the nearest one not smaller.
int32_t SameBar(int32_t designation, const TRebarTable& from, const TRebarTable& to,
                long double toFactor, const char* what, std::vector<std::string>& notes)
{
    const TRebarSize* source = nullptr;
    for (const TRebarSize& bar : from)
        if (bar.Designation != 0 && bar.Designation == designation)
            source = &bar;
    if (!source)
        return designation;
    const long double diameter = source->Diameter * toFactor;
    const TRebarSize* best = nullptr;
    for (const TRebarSize& bar : to) {
        if (bar.Designation == 0 || bar.Diameter < diameter * (1 - 1e-3L))
            continue;
        if (!best || bar.Diameter < best->Diameter)
            best = &bar;
    }
    if (!best)
        return designation;
    if (std::fabs(best->Diameter - diameter) > diameter * 2e-2L) {
        char note[160];
        std::snprintf(note, sizeof note,
                      "%s: no bar of the same diameter; the nearest larger one is used "
                      "(%.3g instead of %.3g).",
                      what, static_cast<double>(best->Diameter), static_cast<double>(diameter));
        notes.emplace_back(note);
    }
    return best->Designation;
}

} // namespace

TUnitConversion ConvertProjectUnits(TTWData& p, TUnitSystem to)
{
    TUnitConversion conversion;
    std::vector<std::string>& notes = conversion.notes;
    if (p.Units == to)
        return conversion;
    const bool toSI = to == TUnitSystem::usSI;
    // Multiplies by the factor towards SI, or divides by it towards English.
    const auto conv = [toSI](long double& value, long double factor) {
        value = toSI ? value * factor : value / factor;
    };
    for (long double* v :
         {&p.ShoredHeight, &p.PileSpacing, &p.PileWidth, &p.IgnorePassiveHeight, &p.StripSetback,
          &p.StripWidth, &p.StripDepth, &p.SeismicArm, &p.GuardrailLength, &p.GuardrailSpacing})
        conv(*v, kFoot);
    for (long double* v : {&p.BackfillUnitWeight, &p.Backfill2UnitWeight, &p.PassiveUnitWeight,
                           &p.ActiveEFP, &p.Active2EFP, &p.PassiveEFP, &p.MaxPassivePressure})
        conv(*v, kPcf);
    for (long double* v : {&p.Surcharge, &p.Backfill2Surcharge, &p.Cohesion, &p.StripPressure})
        conv(*v, kPsf);
    for (long double* v : {&p.ElasticModulus, &p.YieldStrength, &p.ConcreteStrength})
        conv(*v, kKsi);
    for (long double* v : {&p.LaggingFb, &p.LaggingFv, &p.LaggingFcPerp})
        conv(*v, kPsi);
    conv(p.LaggingModulus, kKsi);         // 10^6 psi | GPa
    conv(p.SubgradeModulus, kPcf * 1728); // pci | kN/m^3
    for (long double* v : {&p.AllowableTopDeflection, &p.ClearCover, &p.TieSpacingOverride})
        conv(*v, kInch);
    conv(p.AxialLoad, kKip);
    conv(p.LateralLoadTop, kKip);
    conv(p.OtherMoment, kKipFoot);
    conv(p.SeismicThrust, kPlf);
    conv(p.GuardrailDistLoad, kPlf);
    conv(p.GuardrailPointLoad, kPound / 1000);
    for (TPressurePoint& point : p.LoadPoints) {
        conv(point.X, kFoot);
        conv(point.W, kKsf);
    }
    for (TPressurePoint& point : p.PassivePoints) {
        conv(point.X, kFoot);
        conv(point.W, kKsf);
    }
    // The user-defined section is a sheet pile, its properties per length of wall as the
    // sheet pile tables give them: in | cm, in2/ft | mm2/m (A) or cm2/m, in3/ft | cm3/m,
    // in4/ft | cm4/m; ry in | mm.
    TSteelShape& u = p.UserSection;
    constexpr long double cm = 2.54L;
    for (long double* v : {&u.tf, &u.d, &u.bf, &u.k1, &u.tw})
        conv(*v, cm);
    conv(u.ry, kInch);
    conv(u.A, kInch * kInch / kFoot);
    conv(u.Aw, cm * cm / kFoot);
    for (long double* v : {&u.Zx, &u.Sx})
        conv(*v, cm * cm * cm / kFoot);
    for (long double* v : {&u.Ix, &u.Iy, &u.J})
        conv(*v, cm * cm * cm * cm / kFoot);

    // The same bars in the other unit system's table of the standard.
    const TRebarTable& fromBars = RebarTableFor(p.RebarStandard, p.Units);
    const TRebarTable& toBars = RebarTableFor(p.RebarStandard, to);
    const long double diameterFactor = toSI ? kInch : 1 / kInch;
    p.VerticalBarSize =
        SameBar(p.VerticalBarSize, fromBars, toBars, diameterFactor, "Verical Rebar Size", notes);
    p.TieBarSize =
        SameBar(p.TieBarSize, fromBars, toBars, diameterFactor, "Lat. Reinf. Bar Size", notes);
    if (p.LaggingType == TLaggingType::ltConcrete)
        notes.emplace_back(toSI ? "Lagging Concrete Strength: 3.0 and 4.5 ksi become the list's "
                                  "21 and 32 MPa (20.7 and 31.0 MPa exactly)."
                                : "Lagging Concrete Strength: 21 and 32 MPa become the list's 3.0 "
                                  "and 4.5 ksi (3.05 and 4.64 ksi exactly).");
    // The catalogues of both systems list the same sections and angles row for row, so the
    // selected rows stay.
    p.SetUnitSystem(to);
    // The limits of the two systems are round numbers of their own units: a converted value
    // may lie beyond them (30 ft is 9.14 m, the SI maximum is 9 m).
    TTWData opened = p;
    conversion.adjusted = ApplyInputRulesOnOpen(opened);
    return conversion;
}

} // namespace tw
