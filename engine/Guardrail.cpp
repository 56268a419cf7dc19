#include "engine/Guardrail.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <type_traits>

#include "engine/CheckedMath.h"
#include "engine/TWClasses.h"
#include "engine/Trig.h"

namespace tw {

namespace {

constexpr long double kSafetyFactor = 1.67L; // ASD, compression and bending
constexpr long double kCb = 1.5L;
constexpr long double kWeldOmega = 2.0L;
constexpr long double kMinWeldShear = 0.001L;

// Allowable stress of a fillet weld loaded at angle theta to its axis.
long double WeldAllowable(long double fexx, long double theta)
{
    const long double s = SinRad(theta);
    return 0.6L * fexx * (1 + 0.5L * s * s) / kWeldOmega;
}

} // namespace

long double SingleAngleKLr(long double lambda)
{
    return lambda <= 80 ? 72 + 0.75L * lambda : 32 + 1.25L * lambda;
}

void DesignGuardrail(TTWData& project)
{
    // Cleared by copying the bytes of a cleared value: assigning a fresh value would store
    // each 80-bit zero through the FPU, which is slow.
    static_assert(std::is_trivially_copyable_v<TGuardrailResults>);
    static const TGuardrailResults cleared{};
    std::memcpy(&project.GuardrailResults, &cleared, sizeof cleared);
    TGuardrailResults& r = project.GuardrailResults;
    r.LateralBracing = project.GuardrailLength;
    project.GuardrailSFCompression = kSafetyFactor;
    project.GuardrailSFBending = kSafetyFactor;
    if (!project.GuardrailOn)
        return;

    TAnalysisStep step("guardrail design");
    r.Designed = true;
    const bool si = project.Units == TUnitSystem::usSI;
    const TGRShape& angle = project.SelectedGuardrailShape();
    const long double Fy = project.UnitValue(248.2L, 36);
    const long double E = project.UnitValue(199948, 29000);
    const long double FEXX = project.UnitValue(482.633L, 70);
    const long double ws = project.UnitValue(4.762L, 0.1875L);
    const long double weldLength = project.UnitValue(152.4L, 6.0L);
    // Section in in, in2, in3 | mm, mm2, mm3 (the SI list holds S in 10^3 mm3).
    const long double A = angle.Area;
    const long double b = angle.LongLeg;
    const long double t = angle.t;
    const long double S = angle.S * (si ? 1000 : 1);
    // Forces from stress times area: ksi in2 = k; MPa mm2 = N. Moments: k-in | N-mm.
    const long double force = si ? 1000 : 1;   // N per kN | k per k
    const long double moment = si ? 1e6L : 12; // N-mm per kN-m | k-in per k-ft

    const long double L = project.GuardrailLength;
    const long double Lp = L * project.UnitValue(1000, 12); // in | mm

    // Compression of a single angle.
    r.Lambda = CheckedDiv(Lp, angle.r, "the slenderness L/r (radius of gyration is zero)");
    r.KLr = SingleAngleKLr(r.Lambda);
    r.Fe = std::numbers::pi_v<long double> * std::numbers::pi_v<long double> * E / (r.KLr * r.KLr);
    r.Fcr = r.KLr > 4.71L * std::sqrt(E / Fy) ? 0.877L * r.Fe : Power(0.658L, Fy / r.Fe) * Fy;
    r.AllowableCompression = r.Fcr * A / force / kSafetyFactor;

    // Load in any direction at the top of the post: axial load and cantilever moment.
    r.Compression =
        std::max(project.GuardrailDistLoad * project.GuardrailSpacing, project.GuardrailPointLoad) /
        project.UnitValue(1, 1000);
    r.Moment = r.Compression * L;

    // Flexure of the angle.
    r.My = Fy * S / moment;
    r.YieldMoment = 1.5L * r.My;
    const long double slender = Lp * t / (b * b);
    r.Me = CheckedDiv(1.25L * 0.66L * E * b * b * b * b * t * kCb, Lp * Lp,
                      "the elastic buckling moment Me (guardrail length is zero)") *
           (std::sqrt(1 + 0.78L * slender * slender) - 1) / moment;
    r.BucklingMoment = r.Me <= r.My ? (0.92L - 0.17L * CheckedDiv(r.Me, r.My, "Me / My")) * r.Me
                                    : (1.92L - 1.17L * std::sqrt(r.My / r.Me)) * r.My;
    r.AllowableMoment = std::min(r.BucklingMoment, r.YieldMoment) / kSafetyFactor;

    // Two fillet welds; forces in k | N, the moment in k-in | N-mm, stresses ksi | MPa. In SI
    // the load must be in N and N-mm (not kN and kN-mm) for the stresses to come out in MPa
    // like FEXX; in kN they would be a thousandth of the truth and every weld would pass.
    const long double P = r.Compression * force;
    const long double M = r.Moment * moment;
    const long double te = ws / std::sqrt(2.0L);
    const long double Aw = 2 * weldLength * te;
    const long double Sw = 2 * te * weldLength * weldLength / 6;
    const long double Sb = b * te * weldLength;

    const long double fvY = P / Aw;
    const long double fnY = M / Sw + P / Aw;
    r.ThetaY = std::atan(fnY / (fvY <= kMinWeldShear ? kMinWeldShear : fvY));
    r.WeldY = std::sqrt(fvY * fvY + fnY * fnY);
    r.AllowableWeldY = WeldAllowable(FEXX, r.ThetaY);

    long double fvX = M / Sb;
    if (!(fvX > kMinWeldShear))
        fvX = kMinWeldShear;
    const long double fnX = M / Sw + M / Sb + P / Aw;
    r.ThetaX = std::atan(fnX / fvX);
    r.WeldX = std::sqrt(fvX * fvX + fnX * fnX);
    r.AllowableWeldX = WeldAllowable(FEXX, r.ThetaX);

    r.CompressionOK = r.AllowableCompression >= r.Compression;
    r.MomentOK = r.AllowableMoment >= r.Moment;
    r.WeldYOK = r.AllowableWeldY >= r.WeldY;
    r.WeldXOK = r.AllowableWeldX >= r.WeldX;
}

} // namespace tw
