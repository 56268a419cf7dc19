// Lateral pressure loading: earth pressure coefficients, equivalent fluid values, the strip,
// seismic and top moments, and the loading and passive pressure diagrams.
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

long double TTWData::CoulombActive(long double alpha, long double slope, long double phi,
                                   long double delta, int soil) const
{
    TSineMemo sine;
    return CoulombActiveWith(sine, alpha, slope, phi, delta, soil);
}

void TTWData::ComputeEarthPressures()
{
    const bool gross = AnalysisMethod == TAnalysisMethod::amGrossPressure;
    if (AnalysisMethod != TAnalysisMethod::amUserDefined && SoilMethod == TSoilMethod::smCoulomb) {
        TSineMemo sine;
        Ka = CoulombActiveWith(sine, BackfillWallAngle, BackfillSlope, BackfillPhi, BackfillDelta,
                               1);

        const long double ap = PassiveWallAngle * kDegToRad;
        const long double ip = PassiveSlope * kDegToRad;
        const long double fp = GetPassivePhi() * kDegToRad;
        const long double dp = PassiveDelta * kDegToRad;
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
        Kp = CheckedFinite(k * k, "Kp");

        ActiveEFP = Ka * BackfillUnitWeight;
        PassiveEFP = CheckedDiv(Kp * GetPassiveUnitWeight(), GetPassiveFS(),
                                "the passive equivalent fluid pressure (F.S. on Passive is 0)");
        MaxPassivePressure = PassiveEFP * UnitValue(3.5L, 10);
        if (gross) {
            MaxPassivePressure = PassiveEFP * UnitValue(7.5L, 24);
            Ka2 = CoulombActiveWith(sine, Backfill2WallAngle, Backfill2Slope, Backfill2Phi,
                                    Backfill2Delta, 2);
            Active2EFP = Ka2 * Backfill2UnitWeight;
        }
        return;
    }

    // Equivalent fluid pressures as typed (also the User Defined method).
    Ka = CheckedDiv(ActiveEFP, BackfillUnitWeight,
                    "Ka = Equiv. Backfill Pressure / Backfill Soil Unit Weight (the unit weight"
                    " is 0)");
    Kp = CheckedDiv(PassiveEFP, PassiveUnitWeight,
                    "Kp = Equiv. Passive Resistance / Passive Soil Unit Weight (the unit weight"
                    " is 0)");
    // Ka2 is read only under Gross Pressure; elsewhere an unused, empty backfill soil 2 must
    // not stop the analysis.
    if (!gross && Backfill2UnitWeight == 0)
        Ka2 = 0;
    else
        Ka2 = CheckedDiv(Active2EFP, Backfill2UnitWeight,
                         "Ka2 = Equiv. Backfill Pressure / Backfill Soil Unit Weight of backfill"
                         " soil 2 (the unit weight is 0)");
}

void TTWData::ComputeStripLoad()
{
    StripTop = StripSetback + StripDepth;
    // A strip load that cannot be evaluated (a zero setback) adds no moment. The zero setback
    // of a wall without a strip load is the usual case, so it is answered without a throw.
    if (StripSetback == 0) {
        StripLateralPressure = 0;
        StripMoment = 0;
        return;
    }
    try {
        long double pressure = CosRad(BackfillDelta * kDegToRad) * Ka * StripPressure * StripWidth;
        pressure = CheckedDiv(pressure, 3 * StripSetback,
                              "the strip lateral pressure (the strip setback a is 0)");
        const bool beamOrSheet =
            PileType == TPileType::ptSoldierBeam || PileType == TPileType::ptSheetPile;
        pressure *= beamOrSheet ? 1.35L : 1.7L;
        StripLateralPressure = pressure;
        const long double below = ShoredHeight - StripTop;
        long double moment = CheckedFinite(
            below * pressure * (below / 2 + StripTop) / UnitValue(1, 1000), "the strip moment");
        if (moment < 0)
            moment = 0;
        StripMoment = 0.8L * moment;
    } catch (const TAnalysisError&) {
        StripLateralPressure = 0;
        StripMoment = 0;
    }
}

void TTWData::ComputeTopMoment()
{
    ComputeStripLoad();
    SeismicMoment =
        CheckedFinite(SeismicArm * SeismicThrust / UnitValue(1, 1000), "the seismic moment");
    long double top = OtherMoment;
    if (StripLoadOn)
        top += StripMoment;
    if (SeismicLoadOn)
        top += SeismicMoment;
    TopMoment = CheckedFinite(top, "the moment at the pile top");
}

void TTWData::ComputePressureDiagrams()
{
    const long double H = ShoredHeight;
    const long double De = EquilibriumDepth;
    LoadPoints[0].X = 0;
    LoadPoints[3].X = H;
    LoadPoints[4].X = H;
    LoadPoints[7].X = H + De;
    PassivePoints[0].X = H + IgnorePassiveHeight;
    PassivePoints[3].X = H + De;
    if (AnalysisMethod == TAnalysisMethod::amUserDefined)
        return;

    const bool si = Units == TUnitSystem::usSI;

    // Loading side.
    LoadPoints[1].X = 0.333L * H;
    LoadPoints[2].X = 0.667L * H;
    const long double x5 = LoadPoints[4].X;
    const long double x8 = LoadPoints[7].X;
    LoadPoints[5].X = x5 + 0.333L * (x8 - x5);
    LoadPoints[6].X = x5 + 0.667L * (x8 - x5);
    for (int i = 0; i < 4; ++i)
        LoadPoints[i].W = (ActiveEFP * LoadPoints[i].X + Ka * Surcharge) / 1000;
    const bool gross = AnalysisMethod == TAnalysisMethod::amGrossPressure;
    for (int i = 4; i < 8; ++i)
        LoadPoints[i].W =
            gross ? (Active2EFP * LoadPoints[i].X + Ka2 * Backfill2Surcharge) / 1000 : 0;
    for (TPressurePoint& p : LoadPoints) {
        if (si)
            p.W *= 1000;
        CheckedFinite(p.W, "the loading-side pressure diagram");
    }

    // Passive side, capped at the maximum passive pressure.
    const long double x1 = PassivePoints[0].X;
    const long double x4 = PassivePoints[3].X;
    PassivePoints[1].X = x1 + 0.333L * (x4 - x1);
    PassivePoints[2].X = x1 + 0.667L * (x4 - x1);
    const long double cap = -MaxPassivePressure / 1000;
    const long double kpOverFs =
        CheckedDiv(Kp, GetPassiveFS(), "Kp / F.S. of the cohesion term (F.S. on Passive is 0)");
    const long double rootKp =
        CheckedSqrt(kpOverFs, "sqrt(Kp / F.S.) of the cohesion term (Kp / F.S. is negative)");
    long double w1 =
        -(2 * Cohesion * rootKp + PassiveEFP * WedgeMultiplier * IgnorePassiveHeight) / 1000;
    if (w1 <= cap)
        w1 = cap;
    PassivePoints[0].W = w1;
    for (int i = 1; i < 4; ++i) {
        long double w = w1 - PassiveEFP * WedgeMultiplier * (PassivePoints[i].X - x1) / 1000;
        if (w <= cap)
            w = cap;
        PassivePoints[i].W = w;
    }
    for (TPressurePoint& p : PassivePoints) {
        if (si)
            p.W *= 1000;
        CheckedFinite(p.W, "the passive-side pressure diagram");
    }
}

} // namespace tw
