#include "engine/SteelChecks.h"

#include <cmath>
#include <limits>

#include "engine/Power.h"
#include "engine/TWClasses.h"

namespace tw {

namespace {

constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();
constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr long double kOmegaFlexure = 1.67L;
constexpr long double kOmegaCompression = 1.67L;
constexpr long double kOmegaShear = 1.50L;

// The formulas work in consistent units: kip and inch (English), newton and millimetre (SI).
// These factors bring project and section values into them and results back out.
struct TUnits
{
    long double SectionLength; // in | cm -> in | mm
    long double WebArea;       // Aw: in2 | cm2 -> in2 | mm2
    long double Modulus;       // Zx, Sx: in3 | cm3 -> in3 | mm3
    long double Inertia;       // Iy, J: in4 | cm4 -> in4 | mm4
    long double PileLength;    // ft | m -> in | mm
    long double Force;         // k | kN -> kip | N
    long double Moment;        // k-ft | kN-m -> kip-in | N-mm
};

TUnits UnitsOf(const TTWData& p)
{
    return {.SectionLength = p.UnitValue(10, 1),
            .WebArea = p.UnitValue(100, 1),
            .Modulus = p.UnitValue(1000, 1),
            .Inertia = p.UnitValue(1e4L, 1),
            .PileLength = p.UnitValue(1000, 12),
            .Force = p.UnitValue(1000, 1),
            .Moment = p.UnitValue(1e6L, 12)};
}

bool IsSheetPile(const TTWData& p)
{
    return p.PileType == TPileType::ptSheetPile;
}
bool IsRound(const TTWData& p)
{
    return !IsSheetPile(p) && p.Reinforcement == TReinforcement::rfPipe;
}

// I-section: the corner-to-corner size that must pass through the hole; otherwise the depth.
long double DiagonalOf(const TTWData& p, const TSteelShape& s)
{
    if (!IsSheetPile(p) && p.Reinforcement == TReinforcement::rfIBeam)
        return std::sqrt(s.bf * s.bf + s.d * s.d);
    return s.d;
}

// max() that keeps an undefined operand undefined.
long double MaxOrNaN(long double a, long double b)
{
    if (std::isnan(a) || std::isnan(b))
        return kNaN;
    return a >= b ? a : b;
}

void ClearStrengthResults(TTWData& p)
{
    TSteelCheckResults& r = p.SteelCheckResults;
    r.Lr = r.Lp = kNaN;
    r.AllowableMomentAbove = r.AllowableMomentBelow = kNaN;
    r.MomentUtilization = r.AllowableShear = r.ShearUtilization = kNaN;
    r.AllowableAxial = r.AxialUtilization = r.Interaction = r.Slenderness = kNaN;
    p.FlexureCheck =
        TFlexureCheck{kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kOmegaFlexure, kNaN};
    p.AxialCheck = TAxialCheck{kNaN, kNaN, kNaN, kNaN};
}

void ClearSheetPileResults(TTWData& p)
{
    p.SteelCheckResults.SectionModulusProvided = kNaN;
    p.SteelCheckResults.SectionModulusRequired = kNaN;
}

} // namespace

bool UtilizationOK(long double percent)
{
    return percent <= 99.9L;
}

bool TSteelVerdicts::AllPass() const
{
    bool ok = Deflection;
    if (StrengthChecksApply)
        ok = ok && Moment && Shear && Axial && Interaction && Slenderness;
    if (HoleFitApplies)
        ok = ok && HoleFit;
    if (RoundClassApplies)
        ok = ok && RoundClass;
    if (SectionModulusApplies)
        ok = ok && SectionModulus;
    return ok;
}

void RunSteelChecks(TTWData& p)
{
    std::optional<TSteelShape> scratch;
    const TSteelShape& s = p.SelectedSection(scratch);
    const TUnits u = UnitsOf(p);
    TSteelCheckResults& r = p.SteelCheckResults;

    // 1. Total length and diagonal.
    r.TotalBeamLength = p.ShoredHeight + p.EmbedmentDepth;
    r.DiagonalLength = DiagonalOf(p, s);

    ClearStrengthResults(p);
    ClearSheetPileResults(p);
    r.Verdicts = TSteelVerdicts{};
    if (IsSheetPile(p))
        return; // a sheet pile has only the section modulus check

    const bool round = IsRound(p);
    const long double E = p.ElasticModulus;
    const long double Fy = p.YieldStrength;
    const long double H = p.ShoredHeight;
    const long double Lb = H * u.PileLength;
    const long double ry = s.ry;
    const long double A = s.A;
    const long double Aw = s.Aw * u.WebArea;
    const long double Zx = s.Zx * u.Modulus;
    const long double Sx = s.Sx * u.Modulus;
    const long double Iy = s.Iy * u.Inertia;
    const long double J = s.J * u.Inertia;
    const long double d = s.d * u.SectionLength;
    const long double tf = s.tf * u.SectionLength;

    TFlexureCheck& f = p.FlexureCheck;
    f.J = s.J;
    f.Lb = H;
    f.Zx = s.Zx;
    f.Sx = s.Sx;
    f.Omega = kOmegaFlexure;

    if (round) {
        // 3. Round section: no lateral-torsional buckling; 0.78 includes the safety factor.
        r.Lp = r.Lr = kNaN;
        const long double allowable = 0.78L * Fy * Sx / u.Moment;
        r.AllowableMomentAbove = allowable;
        r.AllowableMomentBelow = allowable;
    } else {
        // 2. I-section, unbraced over the shored height, Cb = 1.
        const long double c = 1;
        const long double Lp = 1.76L * ry * std::sqrt(E / Fy);
        const long double ho = d - tf;
        const long double rts = std::sqrt(Iy * ho / (2 * Sx));
        const long double jc = J * c / (Sx * ho);
        const long double t = 0.7L * Fy * Sx * ho / (E * J * c);
        const long double Lr = 1.95L * rts * (E / (0.7L * Fy)) * std::sqrt(jc) *
                               std::sqrt(1 + std::sqrt(1 + 6.76L * t * t));
        const long double Mp = Fy * Zx;
        r.Lp = Lp / u.PileLength;
        r.Lr = Lr / u.PileLength;

        // The ranges are decided on H against Lp and Lr in the pile's length unit.
        long double Mn;
        if (H <= r.Lp) {
            Mn = Mp;
        } else if (H <= r.Lr) {
            Mn = Mp - (Mp - 0.7L * Fy * Sx) * (Lb - Lp) / (Lr - Lp);
        } else {
            const long double slender = Lb / rts;
            const long double Fcr = kPi * kPi * E / (slender * slender) *
                                    std::sqrt(1 + 0.078L * jc * slender * slender);
            Mn = Fcr * Sx;
        }
        r.AllowableMomentAbove = Mn / kOmegaFlexure / u.Moment;
        r.AllowableMomentBelow = Fy * Zx / kOmegaFlexure / u.Moment; // braced by the soil

        f.ho = ho / u.SectionLength;
        f.Lp = r.Lp;
        f.rts = rts / u.SectionLength;
        f.Lr = r.Lr;
    }
    f.AllowableMomentAbove = r.AllowableMomentAbove;

    // 4. Compression, effective length 2.1 H.
    long double klr = 2.1L * Lb / ry;
    if (klr < 0.1L)
        klr = 0.1L;
    const long double Fe = kPi * kPi * E / (klr * klr);
    const long double Fcr = Fe >= 0.44L * Fy ? Power(0.658L, Fy / Fe) * Fy : 0.877L * Fe;
    r.Slenderness = klr;
    r.AllowableAxial = Fcr * A / kOmegaCompression / u.Force;
    p.AxialCheck = TAxialCheck{klr, s.A, Fe, r.AllowableAxial};

    // 5. Shear capacity (the utilization follows once the maximum shear is known).
    r.AllowableShear = (round ? 0.18L * Fy * A : 0.6L * Fy * Aw / kOmegaShear) / u.Force;
}

void RunSteelCapacityRatios(TTWData& p)
{
    TSteelCheckResults& r = p.SteelCheckResults;
    if (IsSheetPile(p)) {
        // Step 7 of the analysis does not run for a sheet pile: set its lengths here and
        // leave no strength value of an earlier configuration behind.
        r.TotalBeamLength = p.ShoredHeight + p.EmbedmentDepth;
        std::optional<TSteelShape> scratch;
        r.DiagonalLength = DiagonalOf(p, p.SelectedSection(scratch));
        ClearStrengthResults(p);

        // 11. Section modulus per unit length of wall: in3 from k-in / ksi, or cm3 from
        // N-mm / MPa (mm3) over 1000.
        const long double Mb = p.MaxMomentBelow * p.UnitValue(1e6L, 12);
        r.SectionModulusProvided = p.SectionValue(&TSteelShape::Sx);
        r.SectionModulusRequired = Mb / (0.6L * p.YieldStrength) / p.UnitValue(1000, 1);
        r.Verdicts = SteelCheckVerdicts(p);
        return;
    }
    ClearSheetPileResults(p);

    // 5. Shear utilization.
    r.ShearUtilization = std::fabs(p.MaxShear / r.AllowableShear) * 100;

    // 6. Moment with the second-order term of the axial load over the deflections, which
    // are converted from in | mm to the moment's ft | m.
    const long double toPile = p.UnitValue(1000, 12);
    const long double P = p.AxialLoad;
    const long double top = p.TopDeflection / toPile;
    const int node = p.MaxMomentAboveNode;
    const long double atMa = node >= 0 && node < kPileNodeCount
                                 ? p.Nodes[static_cast<std::size_t>(node)].DeflectionOut / toPile
                                 : kNaN;
    const long double above = (p.MaxMomentAbove + P * (top - atMa)) / r.AllowableMomentAbove;
    const long double below = (p.MaxMomentBelow + P * top) / r.AllowableMomentBelow;
    r.MomentUtilization = 100 * MaxOrNaN(above, below);

    // 7. Axial.
    r.AxialUtilization = 100 * P / r.AllowableAxial;

    // 8. Interaction on the percentages.
    if (r.AxialUtilization >= 20)
        r.Interaction = r.AxialUtilization + (8.0L / 9.0L) * r.MomentUtilization;
    else
        r.Interaction = r.AxialUtilization / 2 + r.MomentUtilization;

    r.Verdicts = SteelCheckVerdicts(p);
}

long double HoleClearance(const TTWData& p)
{
    // B from ft | m to in | cm, the unit of the diagonal.
    const long double B = p.PileWidth * p.UnitValue(100, 12);
    std::optional<TSteelShape> scratch;
    return (B - DiagonalOf(p, p.SelectedSection(scratch))) / 2;
}

bool HoleClearanceOK(const TTWData& p)
{
    if (p.InstallMethod == TInstallMethod::imDriven)
        return true;
    return HoleClearance(p) >= p.UnitValue(5, 2);
}

TRoundSectionClass ClassifyRoundSection(const TTWData& p)
{
    std::optional<TSteelShape> scratch;
    const TSteelShape& s = p.SelectedSection(scratch);
    const long double dt = s.k1;
    const long double ratio = p.ElasticModulus / p.YieldStrength;
    TRoundSectionClass c;
    // Written as "not at most" so that an undefined D/t or E/Fy is classed too slender.
    if (!(dt <= 0.11L * ratio))
        c.Text = kRoundTooSlender;
    else if (!(dt <= 0.07L * ratio))
        c.Text = kRoundNoncompact;
    else
        c.Text = kRoundCompact;
    const bool compact = c.Text == kRoundCompact;
    c.ModulusCaption = compact ? "Section Modulus, Zx" : "Section Modulus, Sx";
    c.SectionModulus = compact ? s.Zx : s.Sx;
    c.Passes = c.Text.find("slender") == std::string::npos;
    return c;
}

std::string RoundSectionClass(const TTWData& p)
{
    return ClassifyRoundSection(p).Text;
}

TSteelVerdicts SteelCheckVerdicts(const TTWData& p)
{
    const TSteelCheckResults& r = p.SteelCheckResults;
    const bool sheet = IsSheetPile(p);
    const bool cage = p.Reinforcement == TReinforcement::rfRebarCage;
    TSteelVerdicts v;
    v.Deflection = p.TopDeflection <= p.AllowableTopDeflection;
    v.Moment = UtilizationOK(r.MomentUtilization);
    v.Shear = UtilizationOK(r.ShearUtilization);
    v.Axial = UtilizationOK(r.AxialUtilization);
    v.Interaction = UtilizationOK(r.Interaction);
    v.Slenderness = r.Slenderness <= 200;
    v.HoleFit = HoleClearanceOK(p);
    v.RoundClass = IsRound(p) && ClassifyRoundSection(p).Passes;
    v.SectionModulus =
        sheet && std::fabs(r.SectionModulusRequired) <= std::fabs(r.SectionModulusProvided);

    v.StrengthChecksApply = !sheet && !cage;
    // A rebar cage carries no steel section through the hole.
    v.HoleFitApplies = !sheet && !cage && p.InstallMethod == TInstallMethod::imDrilled;
    v.RoundClassApplies = IsRound(p);
    v.SectionModulusApplies = sheet;
    return v;
}

} // namespace tw
