#include "engine/RebarCage.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <numbers>
#include <type_traits>

#include "engine/TWClasses.h"

namespace tw {

namespace {

constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();
constexpr long double kInfinity = std::numeric_limits<long double>::infinity();
constexpr long double kMPaPerKsi = 6.894757L;
constexpr long double kCrushingStrain = 0.003L;
constexpr long double kCos30 = 0.866025403784438646763723170752936183L; // sqrt(3)/2

// The bar of the current table with this bar number; the first bar when none has it.
const TRebarSize& FindBar(const TRebarTable& table, int32_t designation)
{
    for (const TRebarSize& bar : table)
        if (bar.Designation != 0 && bar.Designation == designation)
            return bar;
    return table[0];
}

// Pier diameter in in | mm.
long double PierDiameter(const TTWData& project)
{
    return project.PileWidth * project.UnitValue(1000.0L, 12.0L);
}

// The radius of the circle through the bar centres, in in | mm.
long double BarCircleRadius(const TTWData& project, const TRebarSize& bar, const TRebarSize& tie)
{
    return PierDiameter(project) / 2 - project.ClearCover - tie.Diameter - bar.Diameter / 2;
}

// The pier, its three bar layers and its materials, in in | mm and ksi | MPa.
struct TCage
{
    long double D = 0, R = 0, Ag = 0;
    long double Ast = 0, LayerArea = 0;
    long double e = 0;
    std::array<long double, 3> Depth{}; // from the compression face
    std::array<long double, 3> Arm{};   // from the centre, positive towards compression
    long double fc = 0, fy = 0, Es = 0, Beta1 = 0;
    bool Spiral = false;
    long double ForceFactor = 1;  // ksi in2 -> kip | MPa mm2 (N) -> kN
    long double MomentFactor = 1; // kip in -> k-ft | kN mm -> kN-m
};

TCage BuildCage(const TTWData& project)
{
    TCage g;
    g.D = CheckedFinite(PierDiameter(project), "the pier diameter D");
    if (g.D <= 0)
        FailAnalysis("the pier diameter D is zero or negative");
    const TRebarSize& bar = FindBar(project.RebarTable(), project.VerticalBarSize);
    const TRebarSize& tie = FindBar(project.RebarTable(), project.TieBarSize);
    const long double db = bar.Diameter;
    const long double dt = tie.Diameter;

    g.R = g.D / 2;
    g.Ag = std::numbers::pi_v<long double> * g.R * g.R;
    g.Ast = project.BarCount * static_cast<long double>(bar.Area);
    g.LayerArea = g.Ast / 3;
    const long double rs = g.R - project.ClearCover - dt - db / 2;
    g.e = rs * kCos30;
    g.Depth = {g.R - g.e, g.R, g.R + g.e};
    g.Arm = {g.e, 0, -g.e};

    g.fc = project.ConcreteStrength;
    g.fy = project.YieldStrength;
    g.Es = project.ElasticModulus;
    g.Beta1 = RebarBeta1(g.fc * project.UnitValue(1.0L, kMPaPerKsi));
    g.Spiral = project.TieType == TTieType::ttSpiral;
    g.ForceFactor = project.UnitValue(0.001L, 1.0L);
    g.MomentFactor = project.UnitValue(0.001L, 1.0L / 12.0L);
    return g;
}

// The strains, stresses and compressed area of the section for one neutral axis depth, with
// the steel forces and their moments about the centre before unit conversion (kip, kip-in |
// N, N-mm).
struct TSection
{
    std::array<long double, 3> eps{}, fs{};
    long double a = 0, theta = 0, sinT = 0, Ac = 0;
    long double SteelCompression = 0, SteelTension = 0;
    long double CompressionMoment = 0, TensionMoment = 0;
};

// Inlined into ComputePoint, so that the section's values go straight into the point instead
// of through a returned copy (every 80-bit store is slow).
[[gnu::always_inline]] inline TSection ComputeSection(const TCage& g, long double c)
{
    // Strains vary linearly from 0.003 at the compression face to 0 at depth c.
    const long double slope =
        CheckedDiv(kCrushingStrain, c, "the bar layer strains (neutral axis depth c)");
    TSection s;
    for (int i = 0; i < 3; ++i) {
        s.eps[i] = slope * (c - g.Depth[i]);
        s.fs[i] = g.Es * s.eps[i];
        if (s.eps[i] > 0 && s.fs[i] > g.fy)
            s.fs[i] = g.fy;
        else if (s.eps[i] < 0 && s.fs[i] < -g.fy)
            s.fs[i] = -g.fy;
    }

    // The segment's half-angle; its sine and cosine follow from the chord geometry
    // (cos = (R - a)/R, sin = sqrt(a (D - a))/R) without evaluating them from theta.
    s.a = std::min(g.Beta1 * c, g.D);
    s.theta = std::numbers::pi_v<long double>;
    long double cosT = -1;
    if (s.a < g.D) {
        cosT = (g.R - s.a) / g.R;
        s.theta = CheckedAcos(cosT, "the compressed segment angle theta");
        s.sinT = std::sqrt(s.a * (g.D - s.a)) / g.R;
    }
    s.Ac = (s.theta - s.sinT * cosT) * g.D * g.D / 4;

    for (int i = 0; i < 3; ++i) {
        const long double force = g.LayerArea * s.fs[i];
        if (s.eps[i] > 0) {
            s.Ac -= g.LayerArea;
            s.SteelCompression += force;
            s.CompressionMoment += force * g.Arm[i];
        } else if (s.eps[i] < 0) {
            s.SteelTension += force;
            s.TensionMoment += force * g.Arm[i];
        }
    }
    return s;
}

// One step of the zero-axial-load search: whether the compressed concrete area meets the
// area that balances the steel forces (within 0.5 %), and whether it is at least that area.
struct TSearchDecision
{
    bool Converged = false;
    bool AreaAtLeastRequired = false;
};

// The decisions from the exact section (the arccosine in long double).
TSearchDecision ExactSearchDecision(long double Ac, long double required)
{
    TSearchDecision d;
    d.Converged = required != 0 &&
                  std::fabs(CheckedDiv(Ac, required, "the concrete area ratio") - 1) < 0.005L;
    d.AreaAtLeastRequired = Ac >= required;
    return d;
}

// The step computes the strains, forces and areas with the operations of ComputeSection, in
// the same order, so its decisions are those of the full section. The search reads the
// segment angle theta only through these two comparisons; the long double arccosine is the
// slowest part of a step, so the comparisons are first made with the double arccosine and
// the long double one is evaluated only when that cannot settle both of them: the double
// angle differs from the long double one by less than 1e-12 rad while |cos theta| <= 0.999
// (the rounding of cos theta to double, 2^-53, over sin theta >= 0.0447, plus one double
// ulp), so the two areas differ by less than 1e-12 D^2 / 4 plus roundings, far inside the
// margin below. Nearer the bounds, or with values out of the ordinary, the exact path runs.
TSearchDecision SearchStep(const TCage& g, long double c, long double fc85)
{
    const long double slope =
        CheckedDiv(kCrushingStrain, c, "the bar layer strains (neutral axis depth c)");
    std::array<long double, 3> eps{}, fs{};
    for (int i = 0; i < 3; ++i) {
        eps[i] = slope * (c - g.Depth[i]);
        fs[i] = g.Es * eps[i];
        if (eps[i] > 0 && fs[i] > g.fy)
            fs[i] = g.fy;
        else if (eps[i] < 0 && fs[i] < -g.fy)
            fs[i] = -g.fy;
    }

    const long double a = std::min(g.Beta1 * c, g.D);
    long double cosT = -1, sinT = 0;
    if (a < g.D) {
        cosT = (g.R - a) / g.R;
        sinT = std::sqrt(a * (g.D - a)) / g.R;
    }
    // The steel: the concrete area lost to compressed bars, and the forces.
    int compressedLayers = 0;
    long double steelCompression = 0, steelTension = 0;
    for (int i = 0; i < 3; ++i) {
        const long double force = g.LayerArea * fs[i];
        if (eps[i] > 0) {
            ++compressedLayers;
            steelCompression += force;
        } else if (eps[i] < 0) {
            steelTension += force;
        }
    }
    const auto area = [&](long double theta) {
        long double Ac = (theta - sinT * cosT) * g.D * g.D / 4;
        for (int i = 0; i < compressedLayers; ++i)
            Ac -= g.LayerArea;
        return Ac;
    };
    // The exact section would fail on an arccosine out of range before the required area.
    if (a < g.D && !(cosT >= -1 && cosT <= 1))
        CheckedAcos(cosT, "the compressed segment angle theta");
    const long double required = CheckedDiv(std::fabs(steelTension) - steelCompression, fc85,
                                            "the concrete area for zero axial force (f'c)");

    if (a < g.D && std::fabs(cosT) <= 0.999L && std::isfinite(required)) {
        const long double approx =
            area(static_cast<long double>(std::acos(static_cast<double>(cosT))));
        const long double margin = 1e-9L * (g.D * g.D + 3 * std::fabs(g.LayerArea));
        const long double absRequired = std::fabs(required);
        if (std::isfinite(approx) && std::isfinite(margin) && std::fabs(approx) < 1e100L &&
            (required == 0 || (absRequired > 1e-100L && absRequired < 1e100L))) {
            const bool sideSettled = std::fabs(approx - required) > margin;
            bool convergedSettled = required == 0;
            if (!convergedSettled) {
                const long double offset = std::fabs(approx / required - 1);
                convergedSettled = std::fabs(offset - 0.005L) > 2 * margin / absRequired + 1e-15L;
            }
            if (sideSettled && convergedSettled)
                return ExactSearchDecision(approx, required);
        }
    }
    const long double theta = a < g.D ? CheckedAcos(cosT, "the compressed segment angle theta")
                                      : std::numbers::pi_v<long double>;
    return ExactSearchDecision(area(theta), required);
}

void ComputePoint(const TCage& g, TInteractionPoint& p)
{
    const TSection s = ComputeSection(g, p.c);
    const long double Fc = 0.85L * g.fc * s.Ac + s.SteelCompression;
    long double compressionMoment = s.CompressionMoment;
    if (s.a < g.D)
        compressionMoment += 0.85L * g.fc * g.D * g.D * g.D * s.sinT * s.sinT * s.sinT / 12;
    const long double yc = CheckedDiv(compressionMoment, Fc, "the lever arm yc of Fc");
    const long double Ft = s.SteelTension;
    const long double yt = Ft == 0 ? 0 : CheckedDiv(s.TensionMoment, Ft, "the lever arm yt of Ft");

    const long double eps3 = s.eps[2];
    long double phi = 0.9L;
    if (!(eps3 < -0.005L))
        phi = g.Spiral ? std::max(0.75L, 0.57L - 67 * eps3) : std::max(0.65L, 0.48L - 83 * eps3);

    p.eps1 = s.eps[0];
    p.fs1 = s.fs[0];
    p.eps2 = s.eps[1];
    p.fs2 = s.fs[1];
    p.eps3 = s.eps[2];
    p.fs3 = s.fs[2];
    p.theta = s.theta;
    p.a = s.a;
    p.Ac = s.Ac;
    p.Fc = Fc * g.ForceFactor;
    p.yc = yc;
    p.Ft = Ft * g.ForceFactor;
    p.yt = yt;
    p.phi = phi;
    p.phiPn = CheckedFinite(phi * (p.Fc + p.Ft), "the axial capacity phiPn");
    p.phiMn = CheckedFinite(phi * (std::fabs(p.Ft * p.yt) + p.Fc * p.yc) * g.MomentFactor,
                            "the moment capacity phiMn");
    p.Defined = true;
}

TInteractionPoint UndefinedPoint()
{
    TInteractionPoint p;
    p.c = p.eps1 = p.fs1 = p.eps2 = p.fs2 = p.eps3 = p.fs3 = kNaN;
    p.theta = p.a = p.Ac = p.Fc = p.yc = p.Ft = p.yt = p.phi = p.phiPn = p.phiMn = kNaN;
    p.Defined = false;
    return p;
}

// Every result after the spacing rule undefined, both verdicts failing.
void MarkUndefined(TTWData& project)
{
    // Copied as bytes from one prepared diagram: filling the points value by value costs a
    // slow 80-bit store per value.
    static const auto undefined = [] {
        std::array<TInteractionPoint, kInteractionPointCount> points;
        points.fill(UndefinedPoint());
        return points;
    }();
    static_assert(std::is_trivially_copyable_v<TInteractionPoint>);
    std::memcpy(project.InteractionPoints.data(), undefined.data(), sizeof undefined);
    TRebarCageResults& r = project.RebarCageResults;
    r.ReinforcementRatio = r.Beta1 = r.PhiPnMax = r.PhiPnT = r.PhiMn0 = kNaN;
    r.Pu = r.Mu = r.PhiMnAtPu = r.AxialUtilization = r.MomentUtilization = kNaN;
    r.AxialUtilizationNA = r.MomentUtilizationNA = false;
    r.AxialOK = r.MomentOK = false;
    r.Point0Steps = 0;
    r.Point0Converged = false;
    r.Defined = false;
}

// The lateral reinforcement: the calculated spacing, the override that follows it and the
// message of the spacing label.
void DesignSpacing(TTWData& project, long double previousCalculated)
{
    TRebarCageResults& r = project.RebarCageResults;
    const long double calculated = CalculatedTieSpacing(project);
    r.CalculatedSpacing = calculated;

    long double& s = project.TieSpacingOverride;
    if (s == 0 || std::round(s * 10) == std::round(previousCalculated * 10))
        s = calculated;

    const bool si = project.Units == TUnitSystem::usSI;
    if (project.TieType == TTieType::ttSpiral) {
        const long double low = project.UnitValue(25.0L, 1.0L);
        const long double high = project.UnitValue(75.0L, 3.0L);
        r.SpacingOK = !(s < low || s > high);
        r.SpacingMessage = r.SpacingOK ? "Spacing Good"
                           : si        ? "Must be between 25 and 75 mm"
                                       : "Must be between 1 and 3 in";
    } else {
        // Compared at the tenth the boxes show: a spacing equal to the calculated one as
        // shown passes, whatever the last bits of the two long doubles.
        r.SpacingOK = !(std::round(s * 10) > std::round(calculated * 10));
        if (r.SpacingOK) {
            r.SpacingMessage = "Spacing Good";
        } else {
            char diameter[64];
            std::snprintf(diameter, sizeof diameter, "%.0Lf", PierDiameter(project));
            r.SpacingMessage = std::string("Must be less than 16db, 48dl and Pier Diameter (") +
                               diameter + (si ? "mm)" : "in)");
        }
    }
}

// Refuses a cage whose bars cannot stand round the pier at their clear spacing: such a count
// is a typing slip, and every result after it (and the plan view's bars) would be meaningless.
void CheckBarsFit(const TTWData& project)
{
    const int most = MaxBarsAroundCage(project);
    if (project.BarCount <= most)
        return;
    const TRebarSize& bar = FindBar(project.RebarTable(), project.VerticalBarSize);
    const bool si = project.Units == TUnitSystem::usSI;
    const std::string small = si ? " mm" : " in";
    FailAnalysis(std::to_string(project.BarCount) + " vertical bars of " +
                 MessageNumber(bar.Diameter) + small + " do not fit round the pier: " +
                 (most > 0 ? "at most " + std::to_string(most) : std::string("none")) +
                 " fit on the bar circle of " +
                 MessageNumber(2 * std::max(0.0L, BarCircleRadius(project, bar,
                                                                  FindBar(project.RebarTable(),
                                                                          project.TieBarSize)))) +
                 small + " diameter at the clear spacing of " +
                 MessageNumber(MinimumBarClearSpacing(project)) + small +
                 " (1.5 bar diameters, at least " + (si ? "40 mm" : "1.5 in") + ")");
}

void DesignDiagram(TTWData& project)
{
    TRebarCageResults& r = project.RebarCageResults;
    auto& points = project.InteractionPoints;
    CheckBarsFit(project);
    const TCage g = BuildCage(project);

    r.ReinforcementRatio = 100 * CheckedDiv(g.Ast, g.Ag, "the reinforcement ratio (area Ag)");
    r.Beta1 = g.Beta1;
    const long double nominal = 0.85L * g.fc * (g.Ag - g.Ast) + g.fy * g.Ast;
    r.PhiPnMax = CheckedFinite((g.Spiral ? 0.6375L : 0.52L) * nominal * g.ForceFactor,
                               "the axial capacity phiPn,max");
    r.PhiPnT = CheckedFinite(-0.9L * g.Ast * g.fy * g.ForceFactor, "the tension capacity phiPn,t");

    // Point 0: the neutral axis depth at which the concrete balances the steel, by 0.5 %
    // steps of c. Bounded: a section that never meets the tolerance (for example with no
    // steel force, where the required area stays 0) leaves the point undefined.
    // Only the areas and steel forces are needed while searching; the point's other values
    // are computed once the depth is found.
    long double c = g.D / 3;
    bool converged = false;
    int steps = 0;
    const long double fc85 = 0.85L * g.fc;
    for (;;) {
        const TSearchDecision d = SearchStep(g, c, fc85);
        ++steps;
        if (d.Converged) {
            converged = true;
            break;
        }
        if (steps >= kPoint0StepLimit)
            break;
        c = d.AreaAtLeastRequired ? c - 0.005L * c : c + 0.005L * c;
    }
    r.Point0Converged = converged;
    r.Point0Steps = steps;
    if (r.Point0Converged) {
        points[0] = TInteractionPoint{};
        points[0].c = c;
        ComputePoint(g, points[0]);
    } else {
        points[0] = UndefinedPoint();
    }

    // Point 8: the depth at which phiPn reaches phiPn,max, by bisection.
    TInteractionPoint p8;
    c = g.D;
    long double step = g.D / 2;
    for (;;) {
        p8.c = c;
        ComputePoint(g, p8);
        if (step < g.D / 100)
            break;
        if (r.PhiPnMax <= p8.phiPn)
            c -= step;
        else
            c += step;
        step /= 2;
    }
    points[8] = p8;

    // Point 3: balanced strain, the outer layer yielding as the concrete crushes.
    points[3].c = CheckedDiv(kCrushingStrain * g.Depth[2],
                             CheckedDiv(g.fy, g.Es, "the yield strain fy/Es") + kCrushingStrain,
                             "the balanced neutral axis depth");
    ComputePoint(g, points[3]);

    const long double c0 = points[0].c, c3 = points[3].c, c8 = points[8].c;
    for (int i = 1; i <= 2; ++i) {
        if (!points[0].Defined) {
            points[i] = UndefinedPoint();
            continue;
        }
        points[i] = TInteractionPoint{};
        points[i].c = c0 + (c3 - c0) * i / 3;
        ComputePoint(g, points[i]);
    }
    for (int i = 4; i <= 7; ++i) {
        points[i] = TInteractionPoint{};
        points[i].c = c3 + (c8 - c3) * (i - 3) / 5;
        ComputePoint(g, points[i]);
    }
    r.PhiMn0 = points[0].phiMn;

    // The factored loads against the diagram.
    r.Pu = 1.2L * project.AxialLoad;
    r.Mu = 1.6L * project.MaxMomentBelow;
    r.PhiMnAtPu = MomentCapacityAt(project, r.Pu);

    r.AxialUtilizationNA = r.PhiPnMax == 0 || std::isinf(r.PhiPnMax);
    r.AxialUtilization = r.AxialUtilizationNA ? kNaN : 100 * r.Pu / r.PhiPnMax;
    r.MomentUtilizationNA = r.PhiMnAtPu == 0 || std::isinf(r.PhiMnAtPu);
    r.MomentUtilization = r.MomentUtilizationNA ? kNaN : 100 * r.Mu / r.PhiMnAtPu;
    r.AxialOK = std::fabs(r.Pu) <= std::fabs(r.PhiPnMax);
    r.MomentOK = std::fabs(r.Mu) <= std::fabs(r.PhiMnAtPu);
    r.Defined = true;
}

} // namespace

long double RebarBeta1(long double fcMPa)
{
    const long double beta1 = 0.85L - 0.05L * (fcMPa - 28) / 7;
    return std::clamp(beta1, 0.65L, 0.85L);
}

long double CalculatedTieSpacing(const TTWData& project)
{
    if (project.TieType == TTieType::ttSpiral)
        return project.UnitValue(75.0L, 3.0L);
    const long double db = FindBar(project.RebarTable(), project.VerticalBarSize).Diameter;
    const long double dt = FindBar(project.RebarTable(), project.TieBarSize).Diameter;
    return std::min({16 * db, 48 * dt, PierDiameter(project)});
}

void ComputeInteractionPoint(const TTWData& project, TInteractionPoint& point)
{
    TAnalysisStep step("Rebar cage interaction point");
    ComputePoint(BuildCage(project), point);
}

long double MomentCapacityAt(const TTWData& project, long double pu)
{
    const auto& p = project.InteractionPoints;
    const long double pt = project.RebarCageResults.PhiPnT;
    if (std::isnan(pt) || !p[3].Defined)
        return kNaN; // no diagram (the design failed)
    const bool lowerDefined = p[0].Defined && p[1].Defined && p[2].Defined && pt != 0;
    if (!lowerDefined) {
        // The diagram between the tension capacity and the balanced point is unknown.
        if (pt <= pu && pu < p[3].phiPn)
            return kNaN;
    } else if (pt <= pu && pu < p[0].phiPn) {
        return p[0].phiMn * (pt - pu) / pt;
    }
    for (int i = 0; i < kInteractionPointCount - 1; ++i) {
        if (!p[i].Defined || !p[i + 1].Defined)
            continue;
        if (p[i].phiPn <= pu && pu < p[i + 1].phiPn)
            return p[i].phiMn + (p[i + 1].phiMn - p[i].phiMn) * (pu - p[i].phiPn) /
                                    (p[i + 1].phiPn - p[i].phiPn);
    }
    return kInfinity;
}

long double MinimumBarClearSpacing(const TTWData& project)
{
    const TRebarSize& bar = FindBar(project.RebarTable(), project.VerticalBarSize);
    return std::max(1.5L * bar.Diameter, project.UnitValue(40.0L, 1.5L));
}

int MaxBarsAroundCage(const TTWData& project)
{
    const TRebarSize& bar = FindBar(project.RebarTable(), project.VerticalBarSize);
    const TRebarSize& tie = FindBar(project.RebarTable(), project.TieBarSize);
    const long double rs = BarCircleRadius(project, bar, tie);
    const long double pitch = bar.Diameter + MinimumBarClearSpacing(project);
    if (!(rs > 0) || !(pitch > 0) || !std::isfinite(rs) || pitch > 2 * rs)
        return 0;
    // n bars on the circle stand 2 rs sin(pi / n) apart, centre to centre; the estimate is
    // refined on that chord so that a cage exactly at the limit is accepted.
    const long double pi = std::numbers::pi_v<long double>;
    const long double estimate = std::floor(pi / std::asin(pitch / (2 * rs)));
    if (!(estimate < 1e6L))
        return 1000000;
    auto fits = [&](long double n) { return 2 * rs * std::sin(pi / n) >= pitch * (1 - 1e-12L); };
    long double n = std::max(2.0L, estimate);
    while (fits(n + 1))
        ++n;
    while (n > 2 && !fits(n))
        --n;
    return static_cast<int>(n);
}

void DesignRebarCageSpacing(TTWData& project)
{
    const long double previousCalculated = project.RebarCageResults.CalculatedSpacing;
    MarkUndefined(project);
    DesignSpacing(project, previousCalculated);
}

void DesignRebarCage(TTWData& project)
{
    TAnalysisStep step("Rebar cage design");
    DesignRebarCageSpacing(project);
    try {
        DesignDiagram(project);
    } catch (const TAnalysisError&) {
        MarkUndefined(project);
        throw;
    }
}

} // namespace tw
