#include "engine/SoilSprings.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <utility>

#include "engine/TWClasses.h"

namespace tw {

namespace {

constexpr long double kTolerance = 1e-6L;
constexpr int kMaxIterations = 200;
// A spring at its limit keeps this fraction of its elastic stiffness in the tangent, so the
// matrix stays positive definite; the residual always uses the true law.
constexpr long double kPlasticTangent = 1e-9L;
// A displacement beyond this many pile lengths is a mechanism, not a wall standing on its
// springs: the springs cannot hold the pile.
constexpr long double kRunaway = 1;
// A Newton step is stretched to at most this many times its length while the energy keeps
// falling along it.
constexpr long double kLongestStep = 1 << 20;

// --- The spring law and its potential ---

long double Force(const TSpringLaw& s, long double y)
{
    return std::clamp(s.A + s.K * y, s.Lo, s.Hi);
}

long double Tangent(const TSpringLaw& s, long double y)
{
    const long double f = s.A + s.K * y;
    return f > s.Lo && f < s.Hi ? s.K : kPlasticTangent * s.K;
}

// --- The symmetric banded matrix (half bandwidth 3: two unknowns per node) ---

constexpr int kBand = 4; // the diagonal and three below it

struct TBandMatrix
{
    int N = 0;
    std::vector<std::array<long double, kBand>> Rows; // Rows[i][d] = K(i, i - d)

    explicit TBandMatrix(int n) : N(n), Rows(static_cast<std::size_t>(n)) {}
    long double& At(int i, int j) { return Rows[i][i - j]; } // j <= i <= j + 3

    // Cholesky factorization in place; false when the matrix is not positive definite.
    bool Factor()
    {
        for (int i = 0; i < N; ++i) {
            for (int j = std::max(0, i - kBand + 1); j <= i; ++j) {
                long double s = At(i, j);
                for (int k = std::max(0, i - kBand + 1); k < j; ++k)
                    s -= At(i, k) * At(j, k);
                if (j < i) {
                    At(i, j) = s / At(j, j);
                } else {
                    if (!(s > 0) || !std::isfinite(s))
                        return false;
                    At(i, i) = std::sqrt(s);
                }
            }
        }
        return true;
    }

    void Solve(std::vector<long double>& b)
    {
        for (int i = 0; i < N; ++i) {
            long double s = b[i];
            for (int k = std::max(0, i - kBand + 1); k < i; ++k)
                s -= At(i, k) * b[k];
            b[i] = s / At(i, i);
        }
        for (int i = N - 1; i >= 0; --i) {
            long double s = b[i];
            for (int k = i + 1; k < std::min(N, i + kBand); ++k)
                s -= At(k, i) * b[k];
            b[i] = s / At(i, i);
        }
    }
};

// The element stiffness in (y1, theta1, y2, theta2), theta = dy/dx.
std::array<std::array<long double, 4>, 4> ElementStiffness(long double EI, long double h)
{
    const long double c = EI / (h * h * h);
    return {{{12 * c, 6 * h * c, -12 * c, 6 * h * c},
             {6 * h * c, 4 * h * h * c, -6 * h * c, 2 * h * h * c},
             {-12 * c, -6 * h * c, 12 * c, -6 * h * c},
             {6 * h * c, 2 * h * h * c, -6 * h * c, 4 * h * h * c}}};
}

struct TSystem
{
    const TSpringBeam& Beam;
    int Nodes;
    std::vector<long double> Load; // consistent nodal loads
    long double Reference = 0;     // the applied load's magnitude
    std::vector<std::array<std::array<long double, 4>, 4>> Elements;

    explicit TSystem(const TSpringBeam& beam) : Beam(beam), Nodes(static_cast<int>(beam.X.size()))
    {
        Load.assign(2 * static_cast<std::size_t>(Nodes), 0);
        Elements.reserve(static_cast<std::size_t>(Nodes));
        for (int e = 0; e + 1 < Nodes; ++e)
            Elements.push_back(ElementStiffness(beam.EI[e], beam.X[e + 1] - beam.X[e]));
        long double total = std::fabs(beam.TopForce);
        for (int e = 0; e + 1 < Nodes; ++e) {
            const long double h = beam.X[e + 1] - beam.X[e];
            const long double qa = beam.LoadTop[e], qb = beam.LoadBottom[e];
            Load[2 * e] += h * (7 * qa + 3 * qb) / 20;
            Load[2 * e + 1] += h * h * (3 * qa + 2 * qb) / 60;
            Load[2 * e + 2] += h * (3 * qa + 7 * qb) / 20;
            Load[2 * e + 3] -= h * h * (2 * qa + 3 * qb) / 60;
            total += h * (std::fabs(qa) + std::fabs(qb)) / 2;
        }
        Load[0] += beam.TopForce;
        // An external moment at the top node acts against the pile's moment sign there.
        Load[1] -= beam.TopMoment;
        const long double length = beam.X.back() - beam.X.front();
        total += std::fabs(beam.TopMoment) / length;
        for (int i = 0; i < Nodes; ++i)
            total += std::fabs(beam.Front[i].A) + std::fabs(beam.Back[i].A);
        Reference = total > 0 ? total : 1;
    }

    // The out-of-balance forces f - K u - R(y): minus the gradient of the potential energy.
    void Residual(const std::vector<long double>& u, std::vector<long double>& r) const
    {
        r = Load;
        for (int e = 0; e + 1 < Nodes; ++e) {
            const auto& k = Elements[e];
            for (int a = 0; a < 4; ++a) {
                long double s = 0;
                for (int b = 0; b < 4; ++b)
                    s += k[a][b] * u[2 * e + b];
                r[2 * e + a] -= s;
            }
        }
        for (int i = 0; i < Nodes; ++i) {
            const long double y = u[2 * i];
            r[2 * i] -= Force(Beam.Front[i], y) + Force(Beam.Back[i], y);
        }
    }

    bool Tangent(const std::vector<long double>& u, TBandMatrix& m) const
    {
        for (auto& row : m.Rows)
            row.fill(0);
        for (int e = 0; e + 1 < Nodes; ++e) {
            const auto& k = Elements[e];
            for (int a = 0; a < 4; ++a)
                for (int b = 0; b <= a; ++b)
                    m.At(2 * e + a, 2 * e + b) += k[a][b];
        }
        for (int i = 0; i < Nodes; ++i) {
            const long double y = u[2 * i];
            m.At(2 * i, 2 * i) += ::tw::Tangent(Beam.Front[i], y) + ::tw::Tangent(Beam.Back[i], y);
        }
        return m.Factor();
    }

    // The largest out-of-balance force, and moment over the pile length, relative to the load.
    long double Norm(const std::vector<long double>& r) const
    {
        const long double length = Beam.X.back() - Beam.X.front();
        long double worst = 0;
        for (int i = 0; i < Nodes; ++i)
            worst = std::max({worst, std::fabs(r[2 * i]), std::fabs(r[2 * i + 1]) / length});
        return worst / Reference;
    }
};

} // namespace

TSpringBeamSolution SolveSpringBeam(const TSpringBeam& beam)
{
    TSpringBeamSolution out;
    const int n = static_cast<int>(beam.X.size());
    if (n < 2)
        return out;
    const TSystem system(beam);
    const long double length = beam.X.back() - beam.X.front();

    std::vector<long double> u(2 * static_cast<std::size_t>(n), 0), r, trial, rTrial;
    TBandMatrix tangent(2 * n);
    system.Residual(u, r);
    // The energy along a Newton step is convex and piecewise quadratic, so its slope,
    // -r(u + a d) . d, rises with a: the step length is where that slope vanishes, found on
    // the slope alone (the energy itself, a sum of terms far larger than its change, cannot
    // tell the last steps apart). While the slope stays negative the step doubles: a wall
    // the soil cannot hold runs away at once.
    const auto slopeAt = [&](long double a, const std::vector<long double>& step) {
        trial = u;
        for (std::size_t d = 0; d < u.size(); ++d)
            trial[d] += a * step[d];
        system.Residual(trial, rTrial);
        long double g = 0;
        for (std::size_t d = 0; d < u.size(); ++d)
            g -= rTrial[d] * step[d];
        return std::isfinite(g) ? g : std::numeric_limits<long double>::infinity();
    };
    for (int it = 0; it < kMaxIterations; ++it) {
        out.Residual = system.Norm(r);
        if (out.Residual < kTolerance) {
            out.Converged = true;
            break;
        }
        if (!system.Tangent(u, tangent)) {
            out.Exhausted = true;
            break;
        }
        std::vector<long double> step = r;
        tangent.Solve(step);
        ++out.Iterations;
        long double g0 = 0;
        for (std::size_t d = 0; d < u.size(); ++d)
            g0 -= r[d] * step[d];
        if (!(g0 < 0))
            break; // no descent left at this precision
        long double lo = 0, glo = g0, hi = 1, ghi = slopeAt(1, step);
        while (ghi < 0 && hi < kLongestStep) {
            lo = hi;
            glo = ghi;
            hi *= 2;
            ghi = slopeAt(hi, step);
        }
        // trial and rTrial always hold the last point tried: the step taken.
        long double a = hi;
        if (ghi > 0) {
            // Regula falsi (Illinois) between a negative and a positive slope, to a tenth of
            // the starting slope.
            long double ga = ghi;
            int side = 0;
            for (int k = 0; k < 40 && std::fabs(ga) > 0.1L * std::fabs(g0); ++k) {
                a = (lo * ghi - hi * glo) / (ghi - glo);
                if (!(a > lo && a < hi))
                    a = lo + (hi - lo) / 2;
                ga = slopeAt(a, step);
                if (ga < 0) {
                    lo = a;
                    glo = ga;
                    if (side == -1)
                        ghi /= 2;
                    side = -1;
                } else {
                    hi = a;
                    ghi = ga;
                    if (side == 1)
                        glo /= 2;
                    side = 1;
                }
            }
        }
        u.swap(trial);
        r.swap(rTrial);
        long double largest = 0;
        for (int i = 0; i < n; ++i)
            largest = std::max(largest, std::fabs(u[2 * i]));
        if (!(largest < kRunaway * length)) {
            out.Exhausted = true;
            break;
        }
    }
    if (!out.Converged && !out.Exhausted)
        out.Residual = system.Norm(r);

    // Shear and moment by statics from the top, each spring force at its node.
    out.Nodes.resize(n);
    long double V = beam.TopForce, M = beam.TopMoment;
    for (int i = 0; i < n; ++i) {
        if (i > 0) {
            const long double h = beam.X[i] - beam.X[i - 1];
            const long double qa = beam.LoadTop[i - 1], qb = beam.LoadBottom[i - 1];
            M += V * h + h * h * (2 * qa + qb) / 6;
            V += h * (qa + qb) / 2;
        }
        TSpringBeamNode& node = out.Nodes[i];
        node.Deflection = u[2 * i];
        node.Slope = u[2 * i + 1];
        node.FrontForce = Force(beam.Front[i], node.Deflection);
        node.BackForce = -Force(beam.Back[i], node.Deflection);
        V -= node.FrontForce - node.BackForce;
        node.Shear = V;
        node.Moment = M;
    }
    out.ForceSum = V / system.Reference;
    out.MomentSum = M / (system.Reference * length);
    return out;
}

// --- The wall ---

namespace {

// Terzaghi (1955), in short tons per cubic foot: n_h of dry or moist sand, k1 of a 1 ft
// square plate on clay.
long double TerzaghiTonsPerCubicFoot(TSubgradeClass c)
{
    switch (c) {
    case TSubgradeClass::LooseSand:
        return 7;
    case TSubgradeClass::MediumSand:
        return 21;
    case TSubgradeClass::DenseSand:
        return 56;
    case TSubgradeClass::SoftClay:
    case TSubgradeClass::StiffClay:
        return 75;
    case TSubgradeClass::VeryStiffClay:
        return 150;
    case TSubgradeClass::HardClay:
        return 300;
    }
    return 0;
}

constexpr long double kPciPerTonsPerCubicFoot = 2000.0L / 1728.0L;
// 2000 lbf/ft^3 in kN/m^3: 2000 x 4.4482216152605 N / 0.3048^3 m^3.
constexpr long double kKnPerCubicMetrePerTonsPerCubicFoot =
    2000 * 4.4482216152605L / (0.3048L * 0.3048L * 0.3048L) / 1000;
constexpr long double kKsfPerKpa = 1 / 47.88025898033584L;
constexpr long double kDegToRad = std::numbers::pi_v<long double> / 180;

TSubgradeClass ClassOf(long double phiDeg, long double cohesionKsf)
{
    if (phiDeg > 0) {
        if (phiDeg < 30)
            return TSubgradeClass::LooseSand;
        return phiDeg < 36 ? TSubgradeClass::MediumSand : TSubgradeClass::DenseSand;
    }
    if (cohesionKsf < 1)
        return TSubgradeClass::SoftClay;
    if (cohesionKsf < 2)
        return TSubgradeClass::StiffClay;
    return cohesionKsf < 4 ? TSubgradeClass::VeryStiffClay : TSubgradeClass::HardClay;
}

TSoilSpringAnalysis NotApplicable(std::string reason)
{
    TSoilSpringAnalysis a;
    a.Reason = std::move(reason);
    return a;
}

// The pressure of a diagram segment, as a line, at x: the segment chosen by the design's rule
// at the element's middle, so an element never straddles a bend.
long double SegmentLine(std::span<const TPressurePoint, 4> points, long double mid, long double x)
{
    const TPressurePoint& a = points[TTWData::DiagramSegment(mid, points[1].X, points[2].X)];
    const TPressurePoint& b = (&a)[1];
    if (!(b.X != a.X))
        return a.W;
    return a.W + (b.W - a.W) * (x - a.X) / (b.X - a.X);
}

} // namespace

const char* SubgradeClassName(TSubgradeClass c)
{
    switch (c) {
    case TSubgradeClass::LooseSand:
        return "Loose sand";
    case TSubgradeClass::MediumSand:
        return "Medium dense sand";
    case TSubgradeClass::DenseSand:
        return "Dense sand";
    case TSubgradeClass::SoftClay:
        return "Soft to medium clay";
    case TSubgradeClass::StiffClay:
        return "Stiff clay";
    case TSubgradeClass::VeryStiffClay:
        return "Very stiff clay";
    case TSubgradeClass::HardClay:
        return "Hard clay";
    }
    return "";
}

bool IsSand(TSubgradeClass c)
{
    return c == TSubgradeClass::LooseSand || c == TSubgradeClass::MediumSand ||
           c == TSubgradeClass::DenseSand;
}

long double TerzaghiModulus(TSubgradeClass c, bool english, long double cohesionKsf)
{
    long double tons = TerzaghiTonsPerCubicFoot(c);
    // Terzaghi tabulates no soft clay; k1 is taken proportional to the strength, from stiff
    // clay's middle (c = 1.5 ksf).
    if (c == TSubgradeClass::SoftClay)
        tons *= std::clamp<long double>(cohesionKsf, 0, 1) / 1.5L;
    return tons * (english ? kPciPerTonsPerCubicFoot : kKnPerCubicMetrePerTonsPerCubicFoot);
}

TSoilSpringAnalysis ComputeSoilSpringAnalysis(const TTWData& p)
{
    if (p.AnalysisMethod == TAnalysisMethod::amUserDefined)
        return NotApplicable("pressures typed by the user");

    const bool english = p.Units != TUnitSystem::usSI;
    const bool sheet = p.PileType == TPileType::ptSheetPile;
    const long double u = english ? 0.001L : 1; // psf to ksf; SI values are in kPa already
    const long double foot = english ? 1 : 0.3048L;
    const long double H = p.ShoredHeight;
    const long double L = p.TotalPileLength;
    const long double S = p.PileSpacing;
    // A sheet pile wall is analysed per S of wall, as the design loads it: every width is S.
    const long double b = sheet ? S : p.EffectivePileWidth();
    const long double w = sheet ? S : std::min(p.WedgeMultiplier * b, S);
    const long double passiveTop = H + p.IgnorePassiveHeight;
    if (!(H > 0) || !(L > H) || !std::isfinite(L))
        return NotApplicable("the pile has no embedment below the base");

    // The soil class and modulus.
    const long double phi = p.GetPassivePhi();
    const long double cohesionKsf = english ? p.Cohesion / 1000 : p.Cohesion * kKsfPerKpa;
    TSoilSpringAnalysis a;
    a.SoilClass = ClassOf(phi, cohesionKsf);
    a.UserModulus = p.SubgradeModulus > 0;
    a.Modulus =
        a.UserModulus ? p.SubgradeModulus : TerzaghiModulus(a.SoilClass, english, cohesionKsf);
    if (!(a.Modulus > 0) || !std::isfinite(a.Modulus))
        return NotApplicable("the soil below the base has neither friction nor cohesion: type the"
                             " subgrade modulus");
    // n_h or k1 in the model's force per cubic length (k/ft^3 | kN/m^3).
    const long double modulus = english ? a.Modulus * 1.728L : a.Modulus;
    const bool sand = IsSand(a.SoilClass);
    // The spring per unit length of pile (per S of wall for sheet piles, taken as piles 1 ft
    // wide side by side) and per unit displacement, integrated over depths z0..z1 below the
    // side's surface: n_h z for sands (Terzaghi's k_h = n_h z / b on the width b), k1 (1 ft) /
    // 1.5 for clays.
    const long double perWall = sheet ? S / foot : 1;
    const auto springOver = [&](long double z0, long double z1) {
        if (sand)
            return modulus * (z1 * z1 - z0 * z0) / 2 * perWall;
        return modulus * foot / 1.5L * (z1 - z0) * perWall;
    };

    // Pressures per unit width (ksf | kPa) at depth x below the pile top.
    const bool gross = p.AnalysisMethod == TAnalysisMethod::amGrossPressure;
    const long double phiRad = phi * kDegToRad;
    const long double k0 = 1 - std::sin(phiRad);
    const long double kaBelow = gross ? p.Ka2 : p.Ka;
    const long double gammaBelow = p.GetPassiveUnitWeight() * u;
    const long double backAtBase = p.Surcharge * u + p.BackfillUnitWeight * u * H;
    const long double fs = p.GetPassiveFS();
    const bool coulomb = p.SoilMethod == TSoilMethod::smCoulomb;
    const long double passiveFactor = coulomb ? fs : 1; // the passive unfactored
    const long double efp = p.PassiveEFP * u * passiveFactor;
    const long double cap = p.MaxPassivePressure * u * passiveFactor;
    const long double cohesion = 2 * p.Cohesion * u * std::sqrt(std::max<long double>(p.Kp, 0));
    // In front the design's passive with its cap; behind the toe, where the cap would fall
    // below the active pressure of the deep soil, the passive is not capped.
    const auto passiveAt = [&](long double depthBelowSurface) {
        return std::min(cap, cohesion + efp * depthBelowSurface);
    };
    const auto passiveBehind = [&](long double depthBelowSurface) {
        return cohesion + efp * depthBelowSurface;
    };

    // The mesh: 40 elements over the shored height, 80 below the base growing from about
    // D/160 at the base to 3 D/160 at the toe, with nodes at the loading diagram's bends and
    // at the top of the passive zone. A bend closer to a node than a third of the spacing
    // there takes that node's place (a sliver of an element would make the matrix
    // ill-conditioned); one that close to the top, the base or the toe is left out (the
    // springs' shares and the elements' loads follow the bends within an element).
    constexpr int kAbove = 40, kBelow = 80;
    const long double D = L - H;
    struct TMeshPoint
    {
        long double X;
        int Rank; // 2: the top, the base, the toe; 1: a bend; 0: the even grid
    };
    std::vector<TMeshPoint> points;
    points.reserve(kAbove + kBelow + 8);
    for (int i = 0; i <= kAbove; ++i)
        points.push_back({H * i / kAbove, i == 0 || i == kAbove ? 2 : 0});
    for (int i = 1; i <= kBelow; ++i) {
        const long double t = static_cast<long double>(i) / kBelow;
        points.push_back({i == kBelow ? L : H + D * (t + t * t) / 2, i == kBelow ? 2 : 0});
    }
    for (int k = 0; k < 4; ++k)
        if (p.LoadPoints[k].X > 0 && p.LoadPoints[k].X < H)
            points.push_back({p.LoadPoints[k].X, 1});
    if (passiveTop > H && passiveTop < L)
        points.push_back({passiveTop, 1});
    std::sort(points.begin(), points.end(),
              [](const TMeshPoint& a, const TMeshPoint& b) { return a.X < b.X; });
    std::vector<TMeshPoint> kept;
    for (const TMeshPoint& m : points) {
        const long double near = (m.X < H ? H / kAbove : D / (2 * kBelow)) / 3;
        if (!kept.empty() && m.X - kept.back().X < near) {
            if (m.Rank > kept.back().Rank)
                kept.back() = m;
            continue;
        }
        kept.push_back(m);
    }
    std::vector<long double> X;
    X.reserve(kept.size());
    for (const TMeshPoint& m : kept)
        X.push_back(m.X);
    const int n = static_cast<int>(X.size());

    TSpringBeam beam;
    beam.X = X;
    beam.EI.resize(n - 1);
    beam.LoadTop.assign(n - 1, 0);
    beam.LoadBottom.assign(n - 1, 0);
    beam.Front.assign(n, {});
    beam.Back.assign(n, {});
    beam.TopForce = p.LateralLoadTop;
    beam.TopMoment = p.TopMoment;
    const std::span<const TPressurePoint, 4> diagram(p.LoadPoints.data(), 4);
    for (int e = 0; e + 1 < n; ++e) {
        const long double mid = (X[e] + X[e + 1]) / 2;
        const bool above = mid < H;
        // A sheet pile's section stiffness is per unit length of wall: times S, as the loads.
        beam.EI[e] = (above ? p.StiffnessAbove : p.StiffnessBelow) * (sheet ? S : 1);
        if (above) {
            beam.LoadTop[e] = SegmentLine(diagram, mid, X[e]) * S;
            beam.LoadBottom[e] = SegmentLine(diagram, mid, X[e + 1]) * S;
        }
    }

    // The stretch of pile below the base that node i's springs stand for: from the middle of
    // the element above to the middle of the element below.
    const auto shareBelowBase = [&X, n, H](int i) {
        return std::pair<long double, long double>(
            std::max(H, i > 0 ? (X[i - 1] + X[i]) / 2 : X[i]),
            i + 1 < n ? (X[i] + X[i + 1]) / 2 : X[i]);
    };
    // The springs below the base, each over its node's share of the pile.
    long double capacity = 0;
    for (int i = 0; i < n; ++i) {
        const auto [lo, hi] = shareBelowBase(i);
        if (X[i] < H || !(hi > lo))
            continue;
        const long double mid = (lo + hi) / 2, length = hi - lo;
        // Behind: at rest from the overburden, down to the active pressure, up to the
        // passive with the depth below the retained surface. Under Net Pressure the passive
        // in front is already net of the active behind, so the active is taken off every
        // pressure behind (the classical check's loads).
        {
            const long double vertical = backAtBase + gammaBelow * (mid - H);
            const long double activeFull =
                std::max<long double>(kaBelow * vertical, 0) * b * length;
            const long double net = gross ? 0 : activeFull;
            const long double active = activeFull - net;
            const long double passive = std::max(passiveBehind(mid) * w * length - net, active);
            const long double rest = std::clamp(k0 * vertical * b * length - net, active, passive);
            // The law opposes y: the soil behind pushes toward the excavation.
            beam.Back[i] = {-rest, springOver(lo, hi), -passive, -active};
        }
        // In front, below the ignored passive height.
        const long double flo = std::max(lo, passiveTop);
        if (hi > flo) {
            const long double fmid = (flo + hi) / 2, flength = hi - flo;
            const long double vertical = gammaBelow * (fmid - H);
            // Under Net Pressure the active pressures are in the net passive already.
            const long double active =
                gross ? std::max<long double>(kaBelow * vertical, 0) * b * flength : 0;
            const long double passive = passiveAt(fmid - H) * w * flength;
            const long double rest = std::clamp(k0 * vertical * b * flength, active, passive);
            beam.Front[i] = {rest, springOver(flo - H, hi - H), active, passive};
            capacity += passive;
        }
    }
    for (const std::vector<TSpringLaw>* side : {&beam.Front, &beam.Back})
        for (const TSpringLaw& s : *side)
            if (!std::isfinite(s.A + s.K + s.Lo + s.Hi))
                return NotApplicable("the soil springs' arithmetic failed for these inputs");
    if (!(p.StiffnessAbove > 0) || !(p.StiffnessBelow > 0))
        return NotApplicable("the pile has no bending stiffness");

    const TSpringBeamSolution solution = SolveSpringBeam(beam);
    a.Iterations = solution.Iterations;
    a.Elements = n - 1;
    if (solution.Exhausted || !solution.Converged) {
        TSoilSpringAnalysis failed = NotApplicable(
            solution.Exhausted ? kSoilSpringExhausted : "the iteration did not converge");
        failed.SoilClass = a.SoilClass;
        failed.UserModulus = a.UserModulus;
        failed.Modulus = a.Modulus;
        failed.Iterations = a.Iterations;
        failed.Elements = a.Elements;
        return failed;
    }

    const long double out = english ? 12 : 1000;
    a.Nodes.resize(n);
    long double mobilized = 0;
    for (int i = 0; i < n; ++i) {
        const TSpringBeamNode& s = solution.Nodes[i];
        TSoilSpringNode& node = a.Nodes[i];
        node.Depth = X[i];
        node.Deflection = s.Deflection * out;
        node.Slope = s.Slope;
        node.Shear = s.Shear;
        node.Moment = s.Moment;
        if (X[i] < H) {
            node.Load = SegmentLine(diagram, X[i], X[i]) * S;
        } else {
            const auto [lo, hi] = shareBelowBase(i);
            node.Load = hi > lo ? (s.BackForce - s.FrontForce) / (hi - lo) : 0;
        }
        mobilized += std::max<long double>(s.FrontForce, 0);
        if (i == 0 || s.Moment > a.MaxMoment) {
            a.MaxMoment = s.Moment;
            a.MaxMomentDepth = X[i];
        }
        if (i == 0 || std::fabs(s.Shear) > std::fabs(a.MaxShear)) {
            a.MaxShear = s.Shear;
            a.MaxShearDepth = X[i];
        }
    }
    a.TopDeflection = a.Nodes[0].Deflection;
    a.PassiveMobilized = capacity > 0 ? mobilized / capacity : 0;
    a.Applicable = true;
    return a;
}

} // namespace tw
