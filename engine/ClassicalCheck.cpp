#include "engine/ClassicalCheck.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "engine/TWClasses.h"

namespace tw {

namespace {

// One stretch of the pile over which the net load per pile (driving positive, passive
// negative) is linear: q(x) = Q + Slope (x - X0). PointForce acts at X0 (the top load, the
// seismic thrust).
struct TStretch
{
    long double X0 = 0, X1 = 0;
    long double Q = 0, Slope = 0;
    long double PointForce = 0;
};

// A linear pressure component per pile, q = A + B x, on [Lo, Hi).
struct TComponent
{
    long double Lo, Hi, A, B;
};

constexpr int kMaxStretches = 8;

struct TLoading
{
    std::array<TStretch, kMaxStretches> Stretches{};
    int Count = 0;
    long double TopMoment = 0;
};

struct TInputs
{
    long double H = 0;          // shored height
    long double PassiveTop = 0; // H + IgnorePassiveHeight
    long double End = 0;        // deepest toe sought
    long double SeismicDepth = 0;
    long double SeismicForce = 0;
    long double TopForce = 0, TopMoment = 0;
    std::array<TComponent, 5> Driving{};
    int DrivingCount = 0;
    long double PassiveWidth = 0;
};

// Builds the stretches of the net load for one passive: per unit width p0 + efp (x - H) from
// the top of the passive zone down, capped at cap.
TLoading BuildLoading(const TInputs& in, long double p0, long double efp, long double cap)
{
    std::array<TComponent, 7> comps{};
    int n = 0;
    for (int k = 0; k < in.DrivingCount; ++k)
        comps[n++] = in.Driving[k];
    const long double w = in.PassiveWidth;
    const long double inf = std::numeric_limits<long double>::infinity();
    // Where the growing passive reaches its cap (at the passive top when it starts there).
    long double capDepth = inf;
    if (p0 + efp * (in.PassiveTop - in.H) >= cap)
        capDepth = in.PassiveTop;
    else if (efp > 0)
        capDepth = in.H + (cap - p0) / efp;
    if (capDepth > in.PassiveTop)
        comps[n++] = {in.PassiveTop, capDepth, -(p0 - efp * in.H) * w, -efp * w};
    if (capDepth < inf)
        comps[n++] = {capDepth, inf, -cap * w, 0};

    std::array<long double, 16> cuts{};
    int m = 0;
    cuts[m++] = 0;
    cuts[m++] = in.End;
    for (int k = 0; k < n; ++k) {
        cuts[m++] = comps[k].Lo;
        cuts[m++] = comps[k].Hi;
    }
    cuts[m++] = in.SeismicDepth;
    std::sort(cuts.begin(), cuts.begin() + m);

    TLoading loading;
    loading.TopMoment = in.TopMoment;
    bool seismicPlaced = in.SeismicForce == 0;
    for (int i = 0; i + 1 < m && loading.Count < kMaxStretches; ++i) {
        const long double x0 = cuts[i], x1 = cuts[i + 1];
        if (!(x1 > x0) || x0 < 0 || x0 >= in.End)
            continue;
        TStretch s;
        s.X0 = x0;
        s.X1 = std::min(x1, in.End);
        const long double mid = x0 + (s.X1 - x0) / 2;
        for (int k = 0; k < n; ++k) {
            if (mid >= comps[k].Lo && mid < comps[k].Hi) {
                s.Q += comps[k].A + comps[k].B * x0;
                s.Slope += comps[k].B;
            }
        }
        if (loading.Count == 0)
            s.PointForce += in.TopForce;
        if (!seismicPlaced && in.SeismicDepth <= x0) {
            s.PointForce += in.SeismicForce;
            seismicPlaced = true;
        }
        loading.Stretches[loading.Count++] = s;
    }
    return loading;
}

// Shear and moment at the start of each stretch, the point force there included.
struct TState
{
    long double V = 0, M = 0;
};

long double ShearIn(const TStretch& s, const TState& st, long double L)
{
    return st.V + s.Q * L + s.Slope * L * L / 2;
}
long double MomentIn(const TStretch& s, const TState& st, long double L)
{
    return st.M + st.V * L + s.Q * L * L / 2 + s.Slope * L * L * L / 6;
}

// The roots of V0 + q L + slope L^2 / 2 in (0, len), in order.
int ShearRoots(const TStretch& s, long double v0, long double len, std::array<long double, 2>& out)
{
    const long double a = s.Slope / 2, b = s.Q, c = v0;
    std::array<long double, 2> r{};
    int n = 0;
    if (a == 0) {
        if (b != 0)
            r[n++] = -c / b;
    } else {
        const long double disc = b * b - 4 * a * c;
        if (disc >= 0) {
            // The numerically stable pair of roots.
            const long double qq = -(b + std::copysign(std::sqrt(disc), b)) / 2;
            if (qq != 0) {
                r[n++] = qq / a;
                r[n++] = c / qq;
            } else {
                r[n++] = 0;
            }
        }
    }
    int k = 0;
    std::sort(r.begin(), r.begin() + n);
    for (int i = 0; i < n; ++i)
        if (r[i] > 0 && r[i] < len && std::isfinite(r[i]))
            out[k++] = r[i];
    return k;
}

// The root of the moment in [lo, hi] of a stretch where it falls monotonically from > 0 to
// <= 0: Newton steps on the moment's derivative (the shear), kept inside the bracket.
long double MomentRoot(const TStretch& s, const TState& st, long double lo, long double hi)
{
    long double x = lo + (hi - lo) / 2;
    for (int it = 0; it < 200 && hi - lo > 0; ++it) {
        const long double m = MomentIn(s, st, x);
        if (m > 0)
            lo = x;
        else
            hi = x;
        const long double v = ShearIn(s, st, x);
        long double next = v != 0 ? x - m / v : lo + (hi - lo) / 2;
        if (!(next > lo && next < hi))
            next = lo + (hi - lo) / 2;
        if (next == x || next == lo || next == hi)
            break;
        x = next;
    }
    return x;
}

struct TRoot
{
    bool Found = false;
    long double Depth = 0; // from the pile top
    long double Moment = 0;
};

// Walks the stretches from the top, carrying the shear and moment, and hands each stretch at
// or below the base to `visit` with the state at its start; the first answer `visit` gives
// ends the walk.
template <class Visit> TRoot WalkBelow(const TLoading& loading, long double base, Visit visit)
{
    TState st{0, loading.TopMoment};
    for (int i = 0; i < loading.Count; ++i) {
        const TStretch& s = loading.Stretches[i];
        if (i > 0) {
            const TStretch& p = loading.Stretches[i - 1];
            const long double L = p.X1 - p.X0;
            st = {ShearIn(p, st, L), MomentIn(p, st, L)};
        }
        st.V += s.PointForce;
        if (s.X0 < base)
            continue;
        if (const std::optional<TRoot> root = visit(s, st))
            return *root;
    }
    return {};
}

// The first depth at or below the base where the shear falls to zero, and the moment there.
TRoot ZeroShear(const TLoading& loading, long double base)
{
    return WalkBelow(loading, base,
                     [](const TStretch& s, const TState& st) -> std::optional<TRoot> {
                         if (st.V <= 0)
                             return TRoot{true, s.X0, st.M};
                         // The shear is positive at the stretch's start: its first root is
                         // where it falls to 0.
                         std::array<long double, 2> roots{};
                         const long double len = s.X1 - s.X0;
                         if (ShearRoots(s, st.V, len, roots) > 0)
                             return TRoot{true, s.X0 + roots[0], MomentIn(s, st, roots[0])};
                         if (ShearIn(s, st, len) <= 0)
                             return TRoot{true, s.X1, MomentIn(s, st, len)};
                         return std::nullopt;
                     });
}

// The first depth below the base where the moment about the toe falls to zero; pushesBack
// when the moment at the base is not positive already.
TRoot MomentZero(const TLoading& loading, long double base, bool& pushesBack)
{
    pushesBack = false;
    return WalkBelow(loading, base,
                     [&](const TStretch& s, const TState& st) -> std::optional<TRoot> {
                         if (s.X0 == base && st.M <= 0) {
                             pushesBack = true;
                             return TRoot{};
                         }
                         // The moment is monotonic between the roots of the shear.
                         const long double len = s.X1 - s.X0;
                         std::array<long double, 2> roots{};
                         const int r = ShearRoots(s, st.V, len, roots);
                         long double lo = 0;
                         for (int k = 0; k <= r; ++k) {
                             const long double hi = k < r ? roots[k] : len;
                             if (MomentIn(s, st, hi) <= 0)
                                 return TRoot{true, s.X0 + MomentRoot(s, st, lo, hi), 0};
                             lo = hi;
                         }
                         return std::nullopt;
                     });
}

TClassicalCheck NotApplicable(std::string reason)
{
    TClassicalCheck c;
    c.Reason = std::move(reason);
    return c;
}

} // namespace

TClassicalCheck ComputeClassicalCheck(const TTWData& p)
{
    if (p.AnalysisMethod == TAnalysisMethod::amUserDefined)
        return NotApplicable(kClassicalUserDefinedReason);

    const bool sheet = p.PileType == TPileType::ptSheetPile;
    const bool english = p.Units != TUnitSystem::usSI;
    const long double u = english ? 0.001L : 1; // psf to ksf; SI values are in kPa already
    const long double S = sheet ? 1 : p.PileSpacing;
    const long double b = sheet ? 1 : p.EffectivePileWidth();
    const long double wp = sheet ? 1 : std::min(p.WedgeMultiplier * b, S);
    const long double H = p.ShoredHeight;

    TInputs in;
    in.H = H;
    in.PassiveTop = H + p.IgnorePassiveHeight;
    in.End = in.PassiveTop + kClassicalDepthLimit * H;
    in.PassiveWidth = wp;
    in.TopForce = p.LateralLoadTop;
    in.TopMoment = p.OtherMoment;
    const long double inf = std::numeric_limits<long double>::infinity();
    in.Driving[in.DrivingCount++] = {0, H, p.Ka * p.Surcharge * u * S, p.ActiveEFP * u * S};
    if (p.AnalysisMethod == TAnalysisMethod::amGrossPressure)
        in.Driving[in.DrivingCount++] = {H, inf, p.Ka2 * p.Backfill2Surcharge * u * b,
                                         p.Active2EFP * u * b};
    if (p.StripLoadOn && p.StripTop < H) {
        if (!std::isfinite(p.StripLateralPressure))
            return NotApplicable("the strip load's lateral pressure is not defined (setback 0)");
        in.Driving[in.DrivingCount++] = {std::max<long double>(p.StripTop, 0), H,
                                         p.StripLateralPressure * u * S, 0};
    }
    if (p.SeismicLoadOn) {
        in.SeismicForce = p.SeismicThrust * u * S;
        in.SeismicDepth = std::clamp<long double>(H - p.SeismicArm, 0, H);
    }

    // The passive as the design has it (F.S. on Passive applied), and unfactored: the Coulomb
    // method's equivalent fluid pressure and cap times F.S., the cohesion term 2c sqrt(Kp);
    // equivalent fluid values as typed.
    const long double fs = p.GetPassiveFS();
    const bool coulomb = p.SoilMethod == TSoilMethod::smCoulomb;
    const long double efp = p.PassiveEFP * u;
    const long double cap = p.MaxPassivePressure * u;
    const long double cohesion = 2 * p.Cohesion * u;
    const long double fsUnfactored = coulomb ? fs : 1;
    const TLoading design = BuildLoading(in, cohesion * std::sqrt(p.Kp / fs), efp, cap);
    const TLoading unfactored =
        BuildLoading(in, cohesion * std::sqrt(p.Kp), efp * fsUnfactored, cap * fsUnfactored);

    bool pushesBack = false;
    const TRoot d0 = MomentZero(design, H, pushesBack);
    if (pushesBack)
        return NotApplicable("the loads do not push the wall toward the excavation");
    if (!d0.Found)
        return NotApplicable("no equilibrium within 10 H below the top of the passive zone");
    const TRoot zs = ZeroShear(unfactored, H);
    if (!zs.Found)
        return NotApplicable("the shear does not vanish within 10 H below the top of the "
                             "passive zone");

    TClassicalCheck c;
    c.Applicable = true;
    c.PassiveWidth = wp;
    c.D0 = d0.Depth - H;
    c.EmbedmentDepth = kClassicalEmbedmentFactor * c.D0;
    c.ZeroShearDepth = zs.Depth - H;
    c.MaxMoment = zs.Moment;
    c.EmbedmentRatio = p.EmbedmentDepth > 0 ? c.EmbedmentDepth / p.EmbedmentDepth : 0;
    c.HasMomentRatio = p.MaxMomentBelow > 0;
    c.MomentRatio = c.HasMomentRatio ? c.MaxMoment / p.MaxMomentBelow : 0;
    c.Warning = c.EmbedmentRatio > kClassicalWarningRatio ||
                (c.HasMomentRatio ? c.MomentRatio > kClassicalWarningRatio : c.MaxMoment > 0);
    for (long double v : {c.D0, c.ZeroShearDepth, c.MaxMoment, c.EmbedmentRatio, c.MomentRatio})
        if (!std::isfinite(v))
            return NotApplicable("the check's arithmetic failed for these inputs");
    return c;
}

std::string ClassicalWarningText(const TClassicalCheck& c)
{
    const auto ratio = [](long double r) {
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", static_cast<double>(r));
        return std::string(text);
    };
    std::string what;
    if (c.HasMomentRatio && c.MomentRatio > kClassicalWarningRatio)
        what = ratio(c.MomentRatio) + " times the design moment below grade";
    else if (!c.HasMomentRatio && c.MaxMoment > 0)
        what = "a moment below grade where the design has none";
    if (c.EmbedmentRatio > kClassicalWarningRatio)
        what +=
            (what.empty() ? "" : " and ") + ratio(c.EmbedmentRatio) + " times the design embedment";
    return "The classical method gives " + what + ": review the design.";
}

} // namespace tw
