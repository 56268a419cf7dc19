#include "engine/Pressures.h"

#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#include "engine/TWClasses.h"
#include "engine/Trig.h"

namespace tw {

namespace {

constexpr long double kDegToRad = 0.017453292519943295L;

// What each operation of the Coulomb active formula computes, for backfill soil 1 and 2.
struct TCoulombWords
{
    const char* RootWallFriction;
    const char* SlopeRatio;
    const char* RootSlopeRatio;
    const char* Coefficient;
};
constexpr TCoulombWords kActiveWords[2] = {
    {"Ka of backfill soil 1: sqrt(sin(pile inclination + soil-pile friction angle))",
     "Ka of backfill soil 1: sin(phi + delta) sin(phi - slope) / sin(pile inclination - slope)"
     " (pile inclination equals the backfill slope)",
     "Ka of backfill soil 1: sqrt(sin(phi + delta) sin(phi - slope) / sin(inclination - slope))"
     " (backfill slope steeper than the friction angle)",
     "Ka of backfill soil 1 (its denominator is 0)"},
    {"Ka2 of backfill soil 2: sqrt(sin(pile inclination + soil-pile friction angle))",
     "Ka2 of backfill soil 2: sin(phi + delta) sin(phi - slope) / sin(pile inclination - slope)"
     " (pile inclination equals the backfill slope)",
     "Ka2 of backfill soil 2: sqrt(sin(phi + delta) sin(phi - slope) / sin(inclination - slope))"
     " (backfill slope steeper than the friction angle)",
     "Ka2 of backfill soil 2 (its denominator is 0)"},
};

// Sines of the angles of one set of earth pressure coefficients. The Coulomb formulas take the
// sine of the same angle several times (with no wall friction and a level backfill, a + d and
// a - i are a itself; the passive soil often has the backfill's angles), and the sine is the
// costly part, so an argument met before, bit for bit, is answered with the earlier result.
class TSineMemo
{
public:
    long double operator()(long double x)
    {
        for (int k = 0; k < Count_; ++k)
            if (std::memcmp(&Args_[k], &x, kValueBytes) == 0)
                return Values_[k];
        const long double y = SinRad(x);
        if (Count_ < kSize) {
            Args_[Count_] = x;
            Values_[Count_] = y;
            ++Count_;
        }
        return y;
    }

private:
    static constexpr int kSize = 16;
    // The bytes of the value itself (an 80-bit extended number is followed by padding).
    static constexpr std::size_t kValueBytes =
        std::numeric_limits<long double>::digits == 64 ? 10 : sizeof(long double);
    // Only the first Count_ entries are ever read, so the arrays are left uninitialised
    // (clearing 512 bytes costs more than the lookups it would serve).
    std::array<long double, kSize> Args_;
    std::array<long double, kSize> Values_;
    int Count_ = 0;
};

// Ka (or Ka2) of the Coulomb formula for one backfill soil, the angles in degrees.
long double CoulombActiveWith(TSineMemo& sine, long double alpha, long double slope,
                              long double phi, long double delta, int soil)
{
    const TCoulombWords& words = kActiveWords[soil == 2 ? 1 : 0];
    const long double a = alpha * kDegToRad;
    const long double i = slope * kDegToRad;
    const long double f = phi * kDegToRad;
    const long double d = delta * kDegToRad;
    const long double rootWall = CheckedSqrt(sine(a + d), words.RootWallFriction);
    const long double ratio = CheckedDiv(sine(f + d) * sine(f - i), sine(a - i), words.SlopeRatio);
    const long double rootRatio = CheckedSqrt(ratio, words.RootSlopeRatio);
    const long double k =
        CheckedDiv(sine(a - f), sine(a) * (rootWall + rootRatio), words.Coefficient);
    return CheckedFinite(k * k, words.Coefficient);
}

} // namespace

long double CoulombActive(long double alpha, long double slope, long double phi, long double delta,
                          int soil)
{
    TSineMemo sine;
    return CoulombActiveWith(sine, alpha, slope, phi, delta, soil);
}

void ComputeEarthPressures(TTWData& project)
{
    const bool gross = project.AnalysisMethod == TAnalysisMethod::amGrossPressure;
    if (project.AnalysisMethod != TAnalysisMethod::amUserDefined &&
        project.SoilMethod == TSoilMethod::smCoulomb) {
        TSineMemo sine;
        project.Ka = CoulombActiveWith(sine, project.BackfillWallAngle, project.BackfillSlope,
                                       project.BackfillPhi, project.BackfillDelta, 1);

        const long double ap = project.PassiveWallAngle * kDegToRad;
        const long double ip = project.PassiveSlope * kDegToRad;
        const long double fp = project.GetPassivePhi() * kDegToRad;
        const long double dp = project.PassiveDelta * kDegToRad;
        const long double rootWall = CheckedSqrt(
            sine(ap + dp), "Kp: sqrt(sin(passive pile inclination + soil-pile friction angle))");
        const long double ratio =
            CheckedDiv(sine(fp - dp) * sine(fp + ip), sine(ap - ip),
                       "Kp: sin(phi - delta) sin(phi + slope) / sin(pile inclination - slope)"
                       " (pile inclination equals the passive slope)");
        const long double rootRatio =
            CheckedSqrt(ratio, "Kp: sqrt(sin(phi - delta) sin(phi + slope) / sin(inclination -"
                               " slope)) (passive slope steeper than the friction angle)");
        const long double k =
            CheckedDiv(sine(ap + fp), sine(ap) * (rootWall - rootRatio),
                       "Kp (its denominator is 0: the passive wedge does not close)");
        project.Kp = CheckedFinite(k * k, "Kp");

        project.ActiveEFP = project.Ka * project.BackfillUnitWeight;
        project.PassiveEFP =
            CheckedDiv(project.Kp * project.GetPassiveUnitWeight(), project.GetPassiveFS(),
                       "the passive equivalent fluid pressure (F.S. on Passive is 0)");
        project.MaxPassivePressure = project.PassiveEFP * project.UnitValue(3.5L, 10);
        if (gross) {
            project.MaxPassivePressure = project.PassiveEFP * project.UnitValue(7.5L, 24);
            project.Ka2 =
                CoulombActiveWith(sine, project.Backfill2WallAngle, project.Backfill2Slope,
                                  project.Backfill2Phi, project.Backfill2Delta, 2);
            project.Active2EFP = project.Ka2 * project.Backfill2UnitWeight;
        }
        return;
    }

    // Equivalent fluid pressures as typed (also the User Defined method).
    project.Ka =
        CheckedDiv(project.ActiveEFP, project.BackfillUnitWeight,
                   "Ka = Equiv. Backfill Pressure / Backfill Soil Unit Weight (the unit weight"
                   " is 0)");
    project.Kp =
        CheckedDiv(project.PassiveEFP, project.PassiveUnitWeight,
                   "Kp = Equiv. Passive Resistance / Passive Soil Unit Weight (the unit weight"
                   " is 0)");
    // Ka2 is read only under Gross Pressure; elsewhere an unused, empty backfill soil 2 must
    // not stop the analysis.
    if (!gross && project.Backfill2UnitWeight == 0)
        project.Ka2 = 0;
    else
        project.Ka2 =
            CheckedDiv(project.Active2EFP, project.Backfill2UnitWeight,
                       "Ka2 = Equiv. Backfill Pressure / Backfill Soil Unit Weight of backfill"
                       " soil 2 (the unit weight is 0)");
}

void ComputeStripLoad(TTWData& project)
{
    project.StripTop = project.StripSetback + project.StripDepth;
    // A strip load that cannot be evaluated (a zero setback) adds no moment. The zero setback
    // of a wall without a strip load is the usual case, so it is answered without a throw.
    if (project.StripSetback == 0) {
        project.StripLateralPressure = 0;
        project.StripMoment = 0;
        return;
    }
    try {
        long double pressure = CosRad(project.BackfillDelta * kDegToRad) * project.Ka *
                               project.StripPressure * project.StripWidth;
        pressure = CheckedDiv(pressure, 3 * project.StripSetback,
                              "the strip lateral pressure (the strip setback a is 0)");
        const bool beamOrSheet = project.PileType == TPileType::ptSoldierBeam ||
                                 project.PileType == TPileType::ptSheetPile;
        pressure *= beamOrSheet ? 1.35L : 1.7L;
        project.StripLateralPressure = pressure;
        const long double below = project.ShoredHeight - project.StripTop;
        long double moment = CheckedFinite(below * pressure * (below / 2 + project.StripTop) /
                                               project.UnitValue(1, 1000),
                                           "the strip moment");
        if (moment < 0)
            moment = 0;
        project.StripMoment = 0.8L * moment;
    } catch (const TAnalysisError&) {
        project.StripLateralPressure = 0;
        project.StripMoment = 0;
    }
}

void ComputeTopMoment(TTWData& project)
{
    ComputeStripLoad(project);
    project.SeismicMoment =
        CheckedFinite(project.SeismicArm * project.SeismicThrust / project.UnitValue(1, 1000),
                      "the seismic moment");
    long double top = project.OtherMoment;
    if (project.StripLoadOn)
        top += project.StripMoment;
    if (project.SeismicLoadOn)
        top += project.SeismicMoment;
    project.TopMoment = CheckedFinite(top, "the moment at the pile top");
}

void ComputePressureDiagrams(TTWData& project)
{
    const long double H = project.ShoredHeight;
    const long double De = project.EquilibriumDepth;
    project.LoadPoints[0].X = 0;
    project.LoadPoints[3].X = H;
    project.LoadPoints[4].X = H;
    project.LoadPoints[7].X = H + De;
    project.PassivePoints[0].X = H + project.IgnorePassiveHeight;
    project.PassivePoints[3].X = H + De;
    if (project.AnalysisMethod == TAnalysisMethod::amUserDefined)
        return;

    const bool si = project.Units == TUnitSystem::usSI;

    // Loading side.
    project.LoadPoints[1].X = 0.333L * H;
    project.LoadPoints[2].X = 0.667L * H;
    const long double x5 = project.LoadPoints[4].X;
    const long double x8 = project.LoadPoints[7].X;
    project.LoadPoints[5].X = x5 + 0.333L * (x8 - x5);
    project.LoadPoints[6].X = x5 + 0.667L * (x8 - x5);
    for (int i = 0; i < 4; ++i)
        project.LoadPoints[i].W =
            (project.ActiveEFP * project.LoadPoints[i].X + project.Ka * project.Surcharge) / 1000;
    const bool gross = project.AnalysisMethod == TAnalysisMethod::amGrossPressure;
    for (int i = 4; i < 8; ++i)
        project.LoadPoints[i].W = gross ? (project.Active2EFP * project.LoadPoints[i].X +
                                           project.Ka2 * project.Backfill2Surcharge) /
                                              1000
                                        : 0;
    for (TPressurePoint& p : project.LoadPoints) {
        if (si)
            p.W *= 1000;
        CheckedFinite(p.W, "the loading-side pressure diagram");
    }

    // Passive side, capped at the maximum passive pressure.
    const long double x1 = project.PassivePoints[0].X;
    const long double x4 = project.PassivePoints[3].X;
    project.PassivePoints[1].X = x1 + 0.333L * (x4 - x1);
    project.PassivePoints[2].X = x1 + 0.667L * (x4 - x1);
    const long double cap = -project.MaxPassivePressure / 1000;
    const long double kpOverFs =
        CheckedDiv(project.Kp, project.GetPassiveFS(),
                   "Kp / F.S. of the cohesion term (F.S. on Passive is 0)");
    const long double rootKp =
        CheckedSqrt(kpOverFs, "sqrt(Kp / F.S.) of the cohesion term (Kp / F.S. is negative)");
    long double w1 = -(2 * project.Cohesion * rootKp +
                       project.PassiveEFP * project.WedgeMultiplier * project.IgnorePassiveHeight) /
                     1000;
    if (w1 <= cap)
        w1 = cap;
    project.PassivePoints[0].W = w1;
    for (int i = 1; i < 4; ++i) {
        long double w = w1 - project.PassiveEFP * project.WedgeMultiplier *
                                 (project.PassivePoints[i].X - x1) / 1000;
        if (w <= cap)
            w = cap;
        project.PassivePoints[i].W = w;
    }
    for (TPressurePoint& p : project.PassivePoints) {
        if (si)
            p.W *= 1000;
        CheckedFinite(p.W, "the passive-side pressure diagram");
    }
}

} // namespace tw
