#include "engine/Lagging.h"

#include <cmath>
#include <cstdio>

#include "engine/CheckedMath.h"
#include "engine/TWClasses.h"

namespace tw {

namespace {

// Nominal thicknesses of the timber sizes and the dressed thickness (in) of each.
constexpr std::array<const char*, kTimberSizeCount> kTimberNominalEnglish{"2", "3",  "4", "6",
                                                                          "8", "10", "12"};
constexpr std::array<const char*, kTimberSizeCount> kTimberNominalSI{"50",  "75",  "100", "150",
                                                                     "200", "250", "300"};
constexpr std::array<long double, kTimberSizeCount> kTimberDressed{1.5L,  2.5L,  3.5L,  5.5L,
                                                                   7.25L, 9.25L, 11.25L};
constexpr long double kBoardWidth = 11.25L; // dressed width of a 12 in board, in
constexpr long double kMmPerInch = 25.4L;
constexpr long double kPsiPerMPa = 145.0377L;
constexpr int kFourInch = 2; // index of the 4 in nominal size

// Steel plates: limit of the required section modulus and the thickness text.
struct TPlateRow
{
    long double English;
    const char* EnglishText;
    long double SI;
    const char* SIText;
};
constexpr std::array<TPlateRow, 6> kPlates{{
    {0.781L, "5/8", 12798.0L, "16"},
    {1.125L, "3/4", 18435.0L, "19"},
    {2.0L, "1.0", 32774.0L, "26"},
    {2.53L, "1.25", 41459.0L, "32"},
    {4.5L, "1.50", 73741.0L, "38"},
    {8.0L, "2.0", 131097.0L, "51"},
}};

// Concrete lagging: pressure limits of the lower and the higher strength, and thickness.
struct TConcreteRow
{
    long double Low, High, Thickness;
};
constexpr std::array<TConcreteRow, 7> kConcreteEnglish{{
    {280, 350, 3.0L},
    {330, 400, 4.0L},
    {370, 450, 5.0L},
    {400, 495, 6.0L},
    {435, 535, 7.0L},
    {465, 575, 8.0L},
    {535, 640, 10.0L},
}};
constexpr std::array<TConcreteRow, 7> kConcreteSI{{
    {13.4L, 16.7L, 75},
    {15.8L, 19.1L, 100},
    {17.7L, 21.5L, 125},
    {19.1L, 23.7L, 150},
    {20.8L, 25.6L, 175},
    {22.2L, 27.5L, 200},
    {25.6L, 30.6L, 250},
}};

bool IsSI(const TTWData& project)
{
    return project.Units == TUnitSystem::usSI;
}

// Strip and seismic moments that are switched on, k-ft/ft | kN-m/m.
long double AddedMoment(const TTWData& project)
{
    long double m = 0;
    if (project.StripLoadOn)
        m += project.StripMoment;
    if (project.SeismicLoadOn)
        m += project.SeismicMoment;
    return m;
}

// Flat use factor for bending of 6 in and thicker boards, by grade.
long double FlatUseBending(TLumberGrade grade)
{
    switch (grade) {
    case TLumberGrade::lgSelectStructural:
        return 0.86L;
    case TLumberGrade::lgNo2:
        return 1.00L;
    default:
        return 0.74L;
    }
}

// Flat use factor for the modulus of elasticity of 6 in and thicker boards, by grade.
long double FlatUseModulus(TLumberGrade grade)
{
    switch (grade) {
    case TLumberGrade::lgSelectStructural:
    case TLumberGrade::lgNo2:
        return 1.00L;
    default:
        return 0.90L;
    }
}

} // namespace

bool DesignTimberSize(TTWData& project, int index)
{
    TAnalysisStep step("lagging design, timber");
    TLaggingResults& r = project.LaggingResults;
    const bool si = IsSI(project);
    const auto i = static_cast<std::size_t>(index);
    const long double unit = si ? kMmPerInch : 1.0L;
    const long double t = kTimberDressed[i] * unit;
    const long double w = kBoardWidth * unit;
    const long double L = r.ClearSpan;
    const long double Lp = L * project.UnitValue(1000, 12); // in | mm
    const long double p = r.SoilPressure;

    // Adjustment factors. Load duration, temperature, incising, repetitive member and
    // buckling stiffness factors are 1.0.
    const long double CD = 1.0L;
    const long double CF = index == kFourInch ? 1.1L : 1.0L;
    const bool thin = index <= kFourInch; // 4 in nominal and thinner
    long double Cfu = FlatUseBending(project.LumberGrade);
    if (index < kFourInch)
        Cfu = 1.2L;
    else if (index == kFourInch)
        Cfu = 1.1L;
    // The wet service test compares Fb * CF in psi; SI inputs are MPa.
    const long double FbCFpsi = project.LaggingFb * CF * (si ? kPsiPerMPa : 1.0L);
    const long double CMb = thin && FbCFpsi > 1150.0L ? 0.85L : 1.0L;
    const long double CMv = thin ? 0.97L : 1.0L;
    const long double CME = thin ? 0.90L : 1.0L;
    const long double CfuE = thin ? 1.0L : FlatUseModulus(project.LumberGrade);

    const long double le = 2.06L * Lp;
    const long double E = project.LaggingModulus * project.UnitValue(1000, 1e6L); // MPa | psi
    const long double Emin = E * (1 - 1.645L * 0.25L) * 1.03L / 1.66L;
    const long double EminAdj = Emin * CME * CfuE;

    r.RB = std::sqrt(le * t / (w * w));
    const long double FbE = CheckedDiv(1.2L * EminAdj, r.RB * r.RB, "FbE (1.2 Emin' / RB^2)");
    const long double FbStar = project.LaggingFb * CD * CMb * CF;
    r.CL = 0;
    if (r.RB <= 50) {
        const long double ratio = CheckedDiv(FbE, FbStar, "FbE / Fb* (lumber Fb is zero)");
        const long double a = (1 + ratio) / 1.9L;
        r.CL = a - CheckedSqrt(a * a - ratio / 0.95L, "the beam stability factor CL");
    }
    r.AdjustedFb = project.LaggingFb * CD * CMb * r.CL * CF * Cfu;

    // One board bending about its thickness.
    const long double S = w * t * t / 6;
    const long double Q = w * t * t / 8;
    const long double I = w * t * t * t / 12;

    // Moment per unit wall height: lb-ft/ft | N-m/m.
    const long double M = p * L * L / 8 * project.UnitValue(1000, 1) + 1000 * AddedMoment(project);
    r.Moment = M / project.UnitValue(1000, 1); // shown in kN-m/m in SI
    r.ActualFb = M * w / S;

    r.Shear = 0.5L * p * L;
    r.AdjustedFv = project.LaggingFv * CD * CMv;
    r.ActualFv = r.Shear * Q / I / project.UnitValue(1, 12);

    // Deflection: in from psf, in, ft, 10^6 psi, in4; mm from kPa, mm, m, GPa, mm4.
    const long double EAdj = project.LaggingModulus * CME * CfuE;
    r.Deflection = CheckedDiv(5 * p * w * L * L * L * L, 384 * EAdj * I,
                              "the lagging deflection (lumber E is zero)") *
                   project.UnitValue(1e6L, 144.0L / 1e6L);
    r.AllowableDeflection = Lp / 180;

    r.BendingOK = r.AdjustedFb > 0 && r.ActualFb / r.AdjustedFb <= 1;
    r.ShearOK = r.AdjustedFv > 0 && r.ActualFv / r.AdjustedFv <= 1;
    r.DeflectionOK = r.Deflection <= r.AllowableDeflection;
    return r.BendingOK && r.ShearOK && r.DeflectionOK;
}

std::string SteelPlateText(long double requiredModulus, TUnitSystem units)
{
    const bool si = units == TUnitSystem::usSI;
    for (const TPlateRow& row : kPlates)
        if (requiredModulus <= (si ? row.SI : row.English))
            return std::string(si ? row.SIText : row.EnglishText) +
                   (si ? " mm steel plate" : " inch steel plate");
    return "None";
}

std::string ConcreteLaggingText(const TTWData& project)
{
    const bool si = IsSI(project);
    const bool high = project.LaggingConcrete != 0;
    const long double p = project.LaggingResults.SoilPressure;
    const auto& table = si ? kConcreteSI : kConcreteEnglish;
    for (const TConcreteRow& row : table) {
        if (!(p <= (high ? row.High : row.Low)))
            continue;
        char text[80];
        if (si) {
            const double bar = p > (high ? 21.5L : 17.7L) ? 14 : 12;
            std::snprintf(text, sizeof text, "%.0f mm CONC with\r%.0f mm bars at 250 mm O.C.",
                          static_cast<double>(row.Thickness), bar);
        } else {
            const double bar = p > (high ? 450 : 370) ? 5 : 4;
            std::snprintf(text, sizeof text, "%.1f in PCC with\r#%.0f bars at 12 in O.C.",
                          static_cast<double>(row.Thickness), bar);
        }
        return text;
    }
    return kConcreteSpecialDesign;
}

std::string LaggingMaterialText(const TTWData& project)
{
    const bool high = project.LaggingConcrete != 0;
    // "\x92" is the right single quotation mark in Windows-1252.
    if (IsSI(project))
        return std::string("f\x92") + "c = " + (high ? "32" : "21") +
               " MPa, fy = 410 MPa\rModulus of Rupture = " + (high ? "4.1" : "3.4") + " MPa";
    return std::string("f\x92") + "c = " + (high ? "4.5" : "3") +
           " ksi, fy = 60 ksi\rModulus of Rupture = " + (high ? "0.60" : "0.49") + " ksi";
}

void DesignLagging(TTWData& project)
{
    project.LaggingResults = TLaggingResults{};
    if (project.PileType != TPileType::ptSoldierBeam || project.LaggingType == TLaggingType::ltNone)
        return;

    TAnalysisStep step("lagging design");
    TLaggingResults& r = project.LaggingResults;
    r.Designed = true;
    const bool si = IsSI(project);
    const long double Be = project.EffectivePileWidth();
    r.ClearSpan = project.PileSpacing - Be;
    if (!(r.ClearSpan > 0))
        FailAnalysis("the clear span of the lagging S - Be is not positive (pile spacing " +
                     std::to_string(static_cast<double>(project.PileSpacing)) + ", pile width " +
                     std::to_string(static_cast<double>(Be)) + ")");
    const long double L = r.ClearSpan;
    r.SoilPressure =
        CheckedFinite(L * (project.ActiveEFP + 0.35L * project.Surcharge) * project.ArchingFactor,
                      "the soil pressure on the lagging");

    if (project.LaggingType == TLaggingType::ltTimber) {
        bool adequate = false;
        for (int i = 0; i < kTimberSizeCount && !adequate; ++i) {
            adequate = DesignTimberSize(project, i);
            if (adequate)
                r.TimberIndex = i;
        }
        r.SizeText = adequate ? std::string(si ? kTimberNominalSI[r.TimberIndex]
                                               : kTimberNominalEnglish[r.TimberIndex]) +
                                    (si ? "mm timber" : "x12 timber")
                              : "None";
        r.SizeOK = adequate;
        return;
    }

    // Steel plate and concrete lagging: lb-ft/ft | kN-m/m.
    const long double p = r.SoilPressure;
    r.Moment = si ? 0.7L * p * L * L / 8 : p * L / 3 * (0.3125L * L + Be / 2);
    r.Moment += AddedMoment(project) * project.UnitValue(1, 1000);
    const long double Fy = project.YieldStrength;
    r.RequiredSectionModulus =
        si ? CheckedDiv(r.Moment * 1e6L, Fy, "the required section modulus (Fy is zero)")
           : CheckedDiv(r.Moment * 12, 0.6L * Fy * 1000,
                        "the required section modulus (Fy is zero)");

    if (project.LaggingType == TLaggingType::ltSteelPlate) {
        r.SizeText = SteelPlateText(r.RequiredSectionModulus, project.Units);
        r.SizeOK = r.SizeText != "None";
    } else {
        r.ConcreteText = ConcreteLaggingText(project);
        r.ConcreteOK = r.ConcreteText != kConcreteSpecialDesign;
        r.MaterialText = LaggingMaterialText(project);
    }
}

} // namespace tw
