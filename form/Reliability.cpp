#include "form/Reliability.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <deque>
#include <limits>
#include <mutex>
#include <numeric>
#include <thread>

#include "engine/CheckedMath.h"
#include "engine/ClassicalCheck.h"
#include "engine/Globals.h"
#include "engine/InputRules.h"
#include "engine/JsonWriter.h"
#include "form/FormIds.h"

namespace tw::form {

namespace {

constexpr long double kInf = std::numeric_limits<long double>::infinity();
constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();

bool Finite(long double v)
{
    return std::isfinite(static_cast<double>(v)) && std::fabs(v) <= 1e300L;
}

// The rule that reads a box's value on this wall.
const TInputRule* RuleOf(const TTWData& project, Box box)
{
    const std::string_view name = BoxDef(box).name;
    for (const TInputRule& rule : InputRules())
        if (rule.input == name && rule.kind != TInputRuleKind::Derived && rule.applies(project))
            return &rule;
    return nullptr;
}

enum class TInputKind
{
    FrictionAngle,
    UnitWeight,
    Cohesion,
    Load,
    Other
};

TInputKind KindOf(Box box)
{
    switch (box) {
    case Box::BackfillPhi:
    case Box::Backfill2Phi:
    case Box::PassivePhi:
        return TInputKind::FrictionAngle;
    case Box::BackfillUnitWeight:
    case Box::Backfill2UnitWeight:
    case Box::PassiveUnitWeight:
        return TInputKind::UnitWeight;
    case Box::Cohesion:
        return TInputKind::Cohesion;
    case Box::Surcharge:
    case Box::Backfill2Surcharge:
    case Box::StripPressure:
    case Box::SeismicThrust:
        return TInputKind::Load;
    default:
        return TInputKind::Other;
    }
}

// 64-bit mixing (splitmix64's finaliser): the uniform numbers are a function of the seed, the
// sample and the input alone.
uint64_t Mix(uint64_t z)
{
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// In (0, 1), never 0 or 1.
long double Uniform01(uint64_t seed, int64_t sample, int stream)
{
    const uint64_t h = Mix(Mix(seed) ^ Mix(static_cast<uint64_t>(sample) * 0xD1342543DE82EF95ull +
                                           static_cast<uint64_t>(stream)));
    return (static_cast<long double>(h >> 11) + 0.5L) * 0x1p-53L;
}

// A standard normal variable truncated to [za, zb], at the quantile u of the truncated
// distribution. The upper tail is taken from the complement so that a range far above the
// mean keeps its precision.
long double TruncatedNormal(long double za, long double zb, long double u)
{
    const auto cdf = [](long double z) {
        return 0.5L * std::erfc(-static_cast<double>(z) / std::sqrt(2.0));
    };
    if (za > 0) {
        const long double qa = cdf(-za), qb = cdf(-zb);
        return -NormalQuantile(qa - u * (qa - qb));
    }
    const long double fa = cdf(za), fb = cdf(zb);
    return NormalQuantile(fa + u * (fb - fa));
}

std::string Percent(long double fraction)
{
    return FormatFixed(fraction * 100, 1, 10, ".");
}

// A probability as a percentage with three significant digits ("1.23 %", "0.0450 %", "0 %").
std::string ProbabilityText(long double p)
{
    if (p <= 0)
        return "0 %";
    const long double pct = p * 100;
    int decimals = 2;
    for (long double v = pct; v < 1 && decimals < 8; v *= 10)
        ++decimals;
    if (pct >= 10)
        decimals = 1;
    if (pct >= 100)
        decimals = 0;
    return FormatFixed(pct, decimals, 12, ".") + " %";
}

std::string BetaText(const TProbability& p)
{
    if (p.count == 0)
        return "> " + FormatFixed(-NormalQuantile(p.high), 2, 10, ".");
    if (!Finite(p.beta)) // every sample fails
        return "< " + FormatFixed(-NormalQuantile(p.low), 2, 10, ".");
    return FormatFixed(p.beta, 2, 10, ".");
}

// Average ranks (1-based) of the values, ties sharing their mean rank. Ranked as doubles:
// a rank correlation needs the order, not the last digits.
std::vector<double> Ranks(const std::vector<long double>& values)
{
    const std::size_t n = values.size();
    std::vector<std::pair<double, uint32_t>> order(n);
    for (std::size_t i = 0; i < n; ++i)
        order[i] = {static_cast<double>(values[i]), static_cast<uint32_t>(i)};
    std::sort(order.begin(), order.end());
    std::vector<double> rank(n);
    for (std::size_t i = 0; i < n;) {
        std::size_t j = i + 1;
        while (j < n && order[j].first == order[i].first)
            ++j;
        const double r = (static_cast<double>(i) + static_cast<double>(j) + 1) / 2;
        for (std::size_t k = i; k < j; ++k)
            rank[order[k].second] = r;
        i = j;
    }
    return rank;
}

long double Pearson(const std::vector<double>& a, const std::vector<double>& b)
{
    const std::size_t n = a.size();
    if (n < 3)
        return kNaN;
    long double ma = 0, mb = 0;
    for (std::size_t i = 0; i < n; ++i) {
        ma += a[i];
        mb += b[i];
    }
    ma /= n;
    mb /= n;
    long double sab = 0, saa = 0, sbb = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const long double da = a[i] - ma, db = b[i] - mb;
        sab += da * db;
        saa += da * da;
        sbb += db * db;
    }
    if (saa <= 0 || sbb <= 0)
        return kNaN;
    return sab / std::sqrt(saa * sbb);
}

// Linear interpolation between order statistics (the usual sample quantile).
// Partially reorders the values (a selection, not a sort: linear time).
long double Quantile(std::vector<long double>& values, long double q)
{
    const long double pos = q * static_cast<long double>(values.size() - 1);
    const auto lo = static_cast<std::size_t>(pos);
    std::nth_element(values.begin(), values.begin() + lo, values.end());
    const long double below = values[lo];
    const long double above =
        lo + 1 < values.size() ? *std::min_element(values.begin() + lo + 1, values.end()) : below;
    return below + (pos - static_cast<long double>(lo)) * (above - below);
}

// Runs job(0) .. job(count - 1) on up to `threads` threads.
template <class Job> void ParallelFor(int count, int threads, const Job& job)
{
    std::atomic<int> next{0};
    const auto work = [&] {
        for (int i; (i = next.fetch_add(1)) < count;)
            job(i);
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < std::min(threads, count); ++t)
        pool.emplace_back(work);
    work();
    for (std::thread& th : pool)
        th.join();
}

std::string Number(long double v, int decimals)
{
    return Finite(v) ? FormatFixed(v, decimals, 12, ".") : std::string();
}

int ResultDecimals(TReliabilityResult r, bool si)
{
    switch (r) {
    case TReliabilityResult::Embedment:
    case TReliabilityResult::TotalLength:
    case TReliabilityResult::ClassicalMomentRatio:
        return 2;
    case TReliabilityResult::MaxMoment:
    case TReliabilityResult::MaxShear:
        return 1;
    case TReliabilityResult::TopDeflection:
        return si ? 1 : 3;
    case TReliabilityResult::Utilization:
        return 0;
    }
    return 2;
}

// Every check with its key and caption (the verdicts of any wall name them all).
const TVerdicts& CheckNames()
{
    static const TVerdicts names = WallVerdicts(TTWData());
    return names;
}

std::string WithUnit(const std::string& name, const std::string& unit)
{
    return unit.empty() ? name : name + " (" + unit + ")";
}

} // namespace

std::string DistributionName(TDistribution distribution)
{
    switch (distribution) {
    case TDistribution::Normal:
        return "Normal";
    case TDistribution::Lognormal:
        return "Lognormal";
    case TDistribution::Uniform:
        return "Uniform";
    }
    return {};
}

std::optional<TDistribution> DistributionFromName(const std::string& name)
{
    for (int i = 0; i < kDistributionCount; ++i) {
        const auto d = static_cast<TDistribution>(i);
        std::string a = DistributionName(d), b = name;
        std::transform(a.begin(), a.end(), a.begin(), ::tolower);
        std::transform(b.begin(), b.end(), b.begin(), ::tolower);
        if (a == b)
            return d;
    }
    return std::nullopt;
}

TUncertainInput MakeUncertainInput(const TTWData& project, const TStudyInput& input,
                                   long double cov)
{
    TUncertainInput u;
    u.input = input;
    const TInputKind kind = KindOf(input.box);
    u.distribution = kind == TInputKind::Cohesion || kind == TInputKind::Load
                         ? TDistribution::Lognormal
                         : TDistribution::Normal;
    u.lowerLimit = -kInf;
    u.upperLimit = kInf;
    const TInputRule* rule = RuleOf(project, input.box);
    if (rule) {
        u.mean = rule->get(project);
        const TInputLimit limit = LimitForTag(project.Limits(), rule->tag);
        if (limit.Min != 0 || limit.Max != 0) {
            u.lowerLimit = limit.Min;
            u.upperLimit = limit.Max;
        }
        if (rule->kind != TInputRuleKind::Limits) {
            const TInputBounds b = RuleBounds(*rule, project);
            if (b.lower != 0)
                u.lowerLimit = std::max<long double>(u.lowerLimit, b.lower);
            if (b.upper != 0)
                u.upperLimit = std::min<long double>(u.upperLimit, b.upper);
        }
    }
    u.cov = cov;
    const long double spread = std::fabs(u.mean) * cov * 2;
    u.low = std::max(u.lowerLimit, u.mean - spread);
    u.high = std::min(u.upperLimit, u.mean + spread);
    return u;
}

TReliabilitySetup DefaultReliabilitySetup(const TTWData& project)
{
    TTWData copy = project;
    ApplyInputRulesOnOpen(copy);
    TReliabilitySetup setup;
    for (const TStudyInput& input : StudyInputs(copy)) {
        long double cov = 0;
        switch (KindOf(input.box)) {
        case TInputKind::FrictionAngle:
            cov = 0.10L;
            break;
        case TInputKind::UnitWeight:
            cov = 0.05L;
            break;
        case TInputKind::Cohesion:
            cov = 0.30L;
            break;
        case TInputKind::Load:
            cov = 0.20L;
            break;
        case TInputKind::Other:
            continue;
        }
        TUncertainInput u = MakeUncertainInput(copy, input, cov);
        if (u.mean != 0)
            setup.inputs.push_back(std::move(u));
    }
    return setup;
}

std::string UncertainInputProblem(const TUncertainInput& u)
{
    const auto finite = [](long double v) { return Finite(v); };
    switch (u.distribution) {
    case TDistribution::Normal:
    case TDistribution::Lognormal:
        if (!finite(u.mean) || !finite(u.cov))
            return "the mean and the coefficient of variation must be numbers";
        if (u.cov < 0)
            return "the coefficient of variation cannot be negative";
        if (u.cov > 10)
            return "the coefficient of variation is above 1000 %";
        if (u.distribution == TDistribution::Lognormal && u.mean <= 0 && u.cov > 0)
            return "a lognormal input needs a mean above 0";
        if (u.cov > 0 && (u.mean < u.lowerLimit || u.mean > u.upperLimit))
            return "the mean is outside the input's limits";
        break;
    case TDistribution::Uniform:
        if (!finite(u.low) || !finite(u.high))
            return "the minimum and the maximum must be numbers";
        if (u.high < u.low)
            return "the maximum is below the minimum";
        if (u.high < u.lowerLimit || u.low > u.upperLimit)
            return "the range is outside the input's limits";
        break;
    }
    return {};
}

long double NormalCdf(long double x)
{
    return 0.5L * std::erfc(-x / std::sqrt(2.0L));
}

long double NormalQuantile(long double probability)
{
    if (!(probability > 0))
        return -kInf;
    if (!(probability < 1))
        return kInf;
    // Acklam's rational approximation (relative error 1.15e-9), then Halley steps on the exact
    // distribution function. In double: a draw needs no more, and it is the sampling's inner
    // loop.
    static constexpr double a[] = {-3.969683028665376e+01, 2.209460984245205e+02,
                                   -2.759285104469687e+02, 1.383577518672690e+02,
                                   -3.066479806614716e+01, 2.506628277459239e+00};
    static constexpr double b[] = {-5.447609879822406e+01, 1.615858368580409e+02,
                                   -1.556989798598866e+02, 6.680131188771972e+01,
                                   -1.328068155288572e+01};
    static constexpr double c[] = {-7.784894002430293e-03, -3.223964580411365e-01,
                                   -2.400758277161838e+00, -2.549732539343734e+00,
                                   4.374664141464968e+00,  2.938163982698783e+00};
    static constexpr double d[] = {7.784695709041462e-03, 3.224671290700398e-01,
                                   2.445134137142996e+00, 3.754408661907416e+00};
    const double p = static_cast<double>(probability);
    // The upper tail as its own small number, so that p near 1 keeps its digits.
    const double upper = static_cast<double>(1 - probability);
    const double plow = 0.02425;
    double x;
    if (p < plow) {
        const double q = std::sqrt(-2 * std::log(p));
        x = (((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
            ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
    } else if (upper >= plow) {
        const double q = p - 0.5, r = q * q;
        x = (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q /
            (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1);
    } else {
        const double q = std::sqrt(-2 * std::log(upper));
        x = -(((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
            ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
    }
    const double root2pi = 2.5066282746310002;
    for (int i = 0; i < 2; ++i) {
        const double e = x <= 0 ? 0.5 * std::erfc(-x / std::sqrt(2.0)) - p
                                : upper - 0.5 * std::erfc(x / std::sqrt(2.0));
        const double u = e * root2pi * std::exp(x * x / 2);
        x = x - u / (1 + x * u / 2);
    }
    return x;
}

long double DrawUncertainInput(const TUncertainInput& in, uint64_t seed, int64_t sample, int stream)
{
    const long double u = Uniform01(seed, sample, stream);
    switch (in.distribution) {
    case TDistribution::Normal: {
        const long double sd = std::fabs(in.mean) * in.cov;
        if (!(sd > 0))
            return in.mean;
        const long double z =
            TruncatedNormal((in.lowerLimit - in.mean) / sd, (in.upperLimit - in.mean) / sd, u);
        return std::clamp(in.mean + sd * z, in.lowerLimit, in.upperLimit);
    }
    case TDistribution::Lognormal: {
        if (!(in.cov > 0) || !(in.mean > 0))
            return in.mean;
        const long double s2 = std::log1p(in.cov * in.cov);
        const long double s = std::sqrt(s2), mu = std::log(in.mean) - s2 / 2;
        const long double za = in.lowerLimit > 0 ? (std::log(in.lowerLimit) - mu) / s : -kInf;
        const long double zb = Finite(in.upperLimit) ? (std::log(in.upperLimit) - mu) / s : kInf;
        return std::clamp<long double>(
            std::exp(static_cast<double>(mu + s * TruncatedNormal(za, zb, u))), in.lowerLimit,
            in.upperLimit);
    }
    case TDistribution::Uniform: {
        const long double lo = std::max(in.low, in.lowerLimit);
        const long double hi = std::min(in.high, in.upperLimit);
        if (!(hi > lo))
            return lo;
        return lo + u * (hi - lo);
    }
    }
    return in.mean;
}

TProbability EstimateProbability(int64_t failures, int64_t samples)
{
    TProbability p;
    p.count = failures;
    if (samples <= 0)
        return p;
    const long double n = static_cast<long double>(samples);
    const long double z = 1.959963984540054L; // the 97.5 % quantile
    const long double ph = failures / n, z2 = z * z;
    const long double centre = (ph + z2 / (2 * n)) / (1 + z2 / n);
    const long double half = z / (1 + z2 / n) * std::sqrt(ph * (1 - ph) / n + z2 / (4 * n * n));
    p.pf = ph;
    p.low = failures == 0 ? 0 : std::max<long double>(0, centre - half);
    p.high = failures == samples ? 1 : std::min<long double>(1, centre + half);
    p.beta = -NormalQuantile(ph);
    return p;
}

// The first results are the parametric study's, in its order: their names and units are its.
static_assert(static_cast<int>(TReliabilityResult::Utilization) ==
                  static_cast<int>(TStudyResult::Utilization) &&
              kStudyResultCount == static_cast<int>(TReliabilityResult::ClassicalMomentRatio));

std::string ReliabilityResultName(TReliabilityResult result)
{
    if (result == TReliabilityResult::ClassicalMomentRatio)
        return "Classical Moment Ratio";
    return StudyResultName(static_cast<TStudyResult>(result));
}

std::string ReliabilityResultUnit(TReliabilityResult result, bool si)
{
    if (result == TReliabilityResult::ClassicalMomentRatio)
        return {};
    return StudyResultUnit(static_cast<TStudyResult>(result), si);
}

std::string ReliabilityResultKey(TReliabilityResult result)
{
    static constexpr const char* keys[] = {
        "Embedment",     "TotalPileLength", "MaxMoment",           "MaxShear",
        "TopDeflection", "Utilization",     "ClassicalMomentRatio"};
    return keys[static_cast<int>(result)];
}

namespace {

struct TPreparedInput
{
    const TInputRule* rule;
    int stream;
};

// Draws, reads and analyses one sample into row `s` of the samples.
class TSampler
{
public:
    TSampler(const TTWData& base, const TReliabilitySetup& setup,
             const std::vector<TPreparedInput>& prepared, TReliabilitySamples& rows,
             std::mutex& reasonsLock)
        : Base_(base), Setup_(setup), Prepared_(prepared), Rows_(rows), ReasonsLock_(reasonsLock)
    {
    }

    uint32_t applies = 0; // bit per check that applies in a sample this sampler analysed

    void Run(int64_t s)
    {
        TTWData p = Base_;
        const int k = static_cast<int>(Prepared_.size());
        for (int i = 0; i < k; ++i)
            Prepared_[i].rule->set(
                p, DrawUncertainInput(Setup_.inputs[i], Setup_.seed, s, Prepared_[i].stream));
        ApplyInputRules(p);
        for (int i = 0; i < k; ++i)
            Rows_.inputs[s * k + i] = Prepared_[i].rule->get(p);
        long double* results = &Rows_.results[s * kReliabilityResultCount];
        std::fill(results, results + kReliabilityResultCount, kNaN);
        std::string failure;
        try {
            p.Analyze();
        } catch (const std::exception& e) {
            failure = e.what();
            if (failure.empty())
                failure = "the analysis failed";
        }
        if (!failure.empty()) {
            // Counted by what failed: the values a message ends with, in brackets, differ
            // from sample to sample.
            if (failure.back() == ')')
                if (const std::size_t open = failure.rfind(" ("); open != std::string::npos)
                    failure.erase(open);
            const std::lock_guard lock(ReasonsLock_);
            auto& texts = Rows_.failureTexts;
            auto it = std::find(texts.begin(), texts.end(), failure);
            if (it == texts.end() && texts.size() < TReliabilitySamples::kAnalysed - 1)
                it = texts.insert(texts.end(), failure);
            Rows_.failure[s] = static_cast<uint16_t>(
                it == texts.end() ? TReliabilitySamples::kAnalysed - 1 : it - texts.begin());
            return;
        }
        const TVerdicts verdicts = WallVerdicts(p);
        uint32_t failed = 0;
        for (const TVerdict& v : verdicts.items) {
            if (!v.applies)
                continue;
            applies |= 1u << static_cast<int>(v.id);
            if (!v.passes)
                failed |= 1u << static_cast<int>(v.id);
        }
        Rows_.failedChecks[s] = failed;
        const TVerdict* governing = failed ? verdicts.FirstFailure() : verdicts.Governing();
        Rows_.governing[s] =
            governing ? static_cast<uint8_t>(governing->id) : TReliabilitySamples::kNoCheck;
        results[0] = p.EmbedmentDepth;
        results[1] = p.TotalPileLength;
        results[2] = std::max(std::fabs(p.MaxMomentAbove), std::fabs(p.MaxMomentBelow));
        results[3] = std::fabs(p.MaxShear);
        results[4] = p.TopDeflection;
        results[5] = governing ? governing->utilization : kNaN;
        const TClassicalCheck classical = ComputeClassicalCheck(p);
        results[6] =
            classical.Applicable && classical.HasMomentRatio ? classical.MomentRatio : kNaN;
        for (int r = 0; r < kReliabilityResultCount; ++r)
            if (!Finite(results[r]))
                results[r] = kNaN;
    }

private:
    const TTWData& Base_;
    const TReliabilitySetup& Setup_;
    const std::vector<TPreparedInput>& Prepared_;
    TReliabilitySamples& Rows_;
    std::mutex& ReasonsLock_;
};

void Summarize(TReliabilityStudy& study, uint32_t applies)
{
    const TReliabilitySamples& rows = study.rows;
    const int64_t n = study.samples;
    // Failed analyses, by reason.
    std::vector<int64_t> byReason(rows.failureTexts.size() + 1, 0);
    int64_t any = 0;
    std::array<int64_t, kWallCheckCount> byCheck{};
    for (int64_t s = 0; s < n; ++s) {
        if (!rows.Analysed(s)) {
            ++study.analysisFailures;
            ++byReason[std::min<std::size_t>(rows.failure[s], rows.failureTexts.size())];
            ++any;
            continue;
        }
        if (rows.failedChecks[s])
            ++any;
        for (std::size_t c = 0; c < kWallCheckCount; ++c)
            if (rows.failedChecks[s] & (1u << c))
                ++byCheck[c];
    }
    for (std::size_t i = 0; i < byReason.size(); ++i)
        if (byReason[i] > 0)
            study.failureReasons.push_back(
                {i < rows.failureTexts.size() ? rows.failureTexts[i] : "other failures",
                 byReason[i]});
    std::sort(study.failureReasons.begin(), study.failureReasons.end(),
              [](const TFailureReason& a, const TFailureReason& b) {
                  return a.count != b.count ? a.count > b.count : a.reason < b.reason;
              });
    // The captions of the checks: an analysed wall's verdicts name every check.
    const TVerdicts& names = CheckNames();
    for (std::size_t c = 0; c < kWallCheckCount; ++c)
        if (applies & (1u << c))
            study.checks.push_back({names.items[c].id, std::string(names.items[c].key),
                                    std::string(names.items[c].caption),
                                    EstimateProbability(byCheck[c], n)});
    study.anyCheck = EstimateProbability(any, n);

    // Spread of each result over the samples that have it.
    std::array<std::vector<int64_t>, kReliabilityResultCount> members;
    for (int r = 0; r < kReliabilityResultCount; ++r) {
        const auto result = static_cast<TReliabilityResult>(r);
        TResultSpread spread;
        spread.result = result;
        std::vector<long double> values;
        for (int64_t s = 0; s < n; ++s) {
            const long double v = rows.Result(s, result);
            if (v == v) {
                values.push_back(v);
                members[r].push_back(s);
            }
        }
        spread.count = static_cast<int64_t>(values.size());
        if (!values.empty()) {
            long double sum = 0;
            for (long double v : values)
                sum += v;
            spread.mean = sum / values.size();
            const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
            spread.min = *lo;
            spread.max = *hi;
            spread.p5 = Quantile(values, 0.05L);
            spread.p50 = Quantile(values, 0.50L);
            spread.p95 = Quantile(values, 0.95L);
            spread.histogram.assign(kHistogramBins, 0);
            const long double width = (spread.max - spread.min) / kHistogramBins;
            for (long double v : values) {
                int bin = width > 0 ? static_cast<int>((v - spread.min) / width) : 0;
                ++spread.histogram[std::clamp(bin, 0, kHistogramBins - 1)];
            }
        }
        study.spreads.push_back(std::move(spread));
    }

    // Rank correlations over the samples that have the result. Most results have the same
    // set of samples (the analysed ones, or all when none failed); the inputs are ranked once
    // per distinct set. Every column is ranked on its own thread.
    const int k = rows.inputCount;
    std::vector<int64_t> all(n);
    std::iota(all.begin(), all.end(), int64_t{0});
    std::vector<const std::vector<int64_t>*> sets; // distinct sets of samples
    std::array<int, kReliabilityResultCount + 1> setOf{};
    for (int r = 0; r <= kReliabilityResultCount; ++r) {
        const std::vector<int64_t>& set = r < kReliabilityResultCount ? members[r] : all;
        int found = -1;
        for (std::size_t i = 0; i < sets.size() && found < 0; ++i)
            if (*sets[i] == set)
                found = static_cast<int>(i);
        if (found < 0) {
            found = static_cast<int>(sets.size());
            sets.push_back(&set);
        }
        setOf[r] = found;
    }
    // Columns: each input over each set, then each result and failure over its set.
    const int inputColumns = k * static_cast<int>(sets.size());
    std::vector<std::vector<double>> ranks(inputColumns + kReliabilityResultCount + 1);
    ParallelFor(static_cast<int>(ranks.size()), study.threads, [&](int c) {
        std::vector<long double> column;
        if (c < inputColumns) {
            const std::vector<int64_t>& set = *sets[c / std::max(k, 1)];
            const int i = c % k;
            for (int64_t s : set)
                column.push_back(rows.Input(s, i));
        } else if (const int r = c - inputColumns; r < kReliabilityResultCount) {
            for (int64_t s : members[r])
                column.push_back(rows.Result(s, static_cast<TReliabilityResult>(r)));
        } else {
            for (int64_t s = 0; s < n; ++s)
                column.push_back(!rows.Analysed(s) || rows.failedChecks[s] != 0 ? 1 : 0);
        }
        ranks[c] = Ranks(column);
    });
    study.sensitivity.resize(k);
    for (int i = 0; i < k; ++i) {
        TInputSensitivity& sens = study.sensitivity[i];
        sens.input = study.setup.inputs[i].input.name;
        for (int r = 0; r <= kReliabilityResultCount; ++r) {
            const long double rho = Pearson(ranks[setOf[r] * k + i], ranks[inputColumns + r]);
            (r < kReliabilityResultCount ? sens.results[r] : sens.failure) = rho;
        }
    }
}

} // namespace

TReliabilityStudy RunReliabilityStudy(const TTWData& project, const TReliabilitySetup& setup,
                                      TReliabilityProgress* progress)
{
    TReliabilityStudy study;
    study.setup = setup;
    study.si = project.Units == TUnitSystem::usSI;
    if (setup.samples < 1 || setup.samples > kMaxReliabilitySamples) {
        study.error =
            "the number of samples must be from 1 to " + std::to_string(kMaxReliabilitySamples);
        return study;
    }
    if (progress && progress->cancel.load()) {
        study.cancelled = true;
        return study;
    }
    TTWData base = project;
    ApplyInputRulesOnOpen(base);
    try {
        base.Analyze();
    } catch (const std::exception&) {
        // The samples are analysed each on their own; the wall as it stands may fail.
    }
    std::vector<TPreparedInput> prepared;
    int backfillStream = -1;
    for (const TUncertainInput& in : setup.inputs)
        if (in.input.box == Box::BackfillPhi)
            backfillStream = static_cast<int>(Box::BackfillPhi);
    const std::vector<TStudyInput> used = StudyInputs(base);
    for (const TUncertainInput& in : setup.inputs) {
        const TInputRule* rule = RuleOf(base, in.input.box);
        const bool shown = std::any_of(used.begin(), used.end(),
                                       [&](const TStudyInput& u) { return u.box == in.input.box; });
        if (!rule || !shown) {
            study.error = "\"" + in.input.name + "\" is not an input of this wall";
            return study;
        }
        if (const std::string problem = UncertainInputProblem(in); !problem.empty()) {
            study.error = "\"" + in.input.name + "\": " + problem;
            return study;
        }
        for (const TPreparedInput& other : prepared)
            if (other.rule == rule) {
                study.error = "\"" + in.input.name + "\" is given twice";
                return study;
            }
        int stream = static_cast<int>(in.input.box);
        if (setup.tieFrictionAngles && in.input.box == Box::PassivePhi && backfillStream >= 0)
            stream = backfillStream;
        prepared.push_back({rule, stream});
    }

    const auto cancelled = [&] {
        if (!progress || !progress->cancel.load())
            return false;
        study.cancelled = true;
        study.rows = {};
        return true;
    };
    if (cancelled())
        return study;
    const int64_t n = setup.samples;
    const int k = static_cast<int>(prepared.size());
    TReliabilitySamples& rows = study.rows;
    rows.inputCount = k;
    rows.inputs.assign(static_cast<std::size_t>(n * k), 0);
    rows.results.assign(static_cast<std::size_t>(n * kReliabilityResultCount), kNaN);
    rows.failedChecks.assign(n, 0);
    rows.failure.assign(n, TReliabilitySamples::kAnalysed);
    rows.governing.assign(n, TReliabilitySamples::kNoCheck);
    if (cancelled())
        return study;

    int threads =
        setup.threads > 0 ? setup.threads : static_cast<int>(std::thread::hardware_concurrency());
    threads = static_cast<int>(std::clamp<int64_t>(threads, 1, std::max<int64_t>(1, n / 64)));
    threads = std::min(threads, 64);
    std::atomic<int64_t> next{0};
    std::atomic<bool> stopped{false};
    std::mutex reasonsLock;
    std::vector<uint32_t> applies(threads, 0);
    constexpr int64_t kChunk = 64;
    const auto start = std::chrono::steady_clock::now();
    const auto work = [&](int t) {
        TSampler sampler(base, study.setup, prepared, rows, reasonsLock);
        for (;;) {
            const int64_t from = next.fetch_add(kChunk);
            if (from >= n)
                break;
            const int64_t to = std::min(n, from + kChunk);
            for (int64_t s = from; s < to; ++s) {
                if (stopped.load(std::memory_order_relaxed) ||
                    (progress && progress->cancel.load(std::memory_order_relaxed))) {
                    stopped = true;
                    break;
                }
                sampler.Run(s);
            }
            if (progress)
                progress->done.fetch_add(to - from, std::memory_order_relaxed);
            if (stopped)
                break;
        }
        applies[t] = sampler.applies;
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(work, t);
    work(0);
    for (std::thread& th : pool)
        th.join();
    study.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (stopped) {
        study.cancelled = true;
        study.rows = {};
        return study;
    }
    study.samples = n;
    uint32_t applied = 0;
    for (uint32_t a : applies)
        applied |= a;
    study.threads = threads;
    Summarize(study, applied);
    return study;
}

std::string ReliabilitySummaryText(const TReliabilityStudy& study)
{
    if (!study.error.empty())
        return "The reliability study could not run: " + study.error + ".\n";
    if (study.cancelled)
        return "The reliability study was cancelled.\n";
    std::string t;
    const auto pad = [](std::string s, std::size_t w) {
        if (s.size() < w)
            s.append(w - s.size(), ' ');
        return s;
    };
    const auto lpad = [](std::string s, std::size_t w) {
        if (s.size() < w)
            s.insert(0, w - s.size(), ' ');
        return s;
    };
    t += "Reliability study: " + std::to_string(study.samples) + " samples, seed " +
         std::to_string(study.setup.seed) + "\n\nUncertain inputs\n";
    for (const TUncertainInput& in : study.setup.inputs)
        t += "  " + pad(in.input.name, 44) + UncertainInputText(in, study.setup.tieFrictionAngles) +
             "\n";
    t += "\nProbability of failure (95 % interval) and reliability index\n";
    const auto probabilityRow = [&](const std::string& name, const TProbability& p) {
        t += "  " + pad(name, 34) + lpad(ProbabilityText(p.pf), 12) + "  (" +
             ProbabilityText(p.low) + " to " + ProbabilityText(p.high) + ")  beta " + BetaText(p) +
             "\n";
    };
    for (const TCheckProbability& c : study.checks)
        probabilityRow(c.caption, c.probability);
    probabilityRow("Any check or the analysis", study.anyCheck);
    t += "\nAnalyses that failed: " + std::to_string(study.analysisFailures) + "\n";
    for (const TFailureReason& r : study.failureReasons)
        t += "  " + lpad(std::to_string(r.count), 8) + "  " + r.reason + "\n";
    t += "\nResults (5 %, 50 %, 95 %)\n";
    const auto spreads = ReliabilityPercentileRows(study);
    for (std::size_t i = 1; i < spreads.size(); ++i) {
        const auto& row = spreads[i];
        t += "  " + pad(row[0], 34);
        t += row[1].empty() ? "no values\n"
                            : lpad(row[1], 10) + lpad(row[2], 10) + lpad(row[3], 10) + "\n";
    }
    t += "\nRank correlation (Spearman) with failure\n";
    const auto sensitivity = ReliabilitySensitivityRows(study);
    for (std::size_t i = 1; i < sensitivity.size(); ++i)
        t += "  " + pad(sensitivity[i][0], 44) + lpad(sensitivity[i][1], 6) + "\n";
    return t;
}

std::vector<std::vector<std::string>> ReliabilitySummaryRows(const TReliabilityStudy& study)
{
    std::vector<std::vector<std::string>> rows{{"Check", "Pf", "95 % interval", "Beta"}};
    const auto row = [&](const std::string& name, const TProbability& p) {
        rows.push_back({name, ProbabilityText(p.pf),
                        ProbabilityText(p.low) + " to " + ProbabilityText(p.high), BetaText(p)});
    };
    for (const TCheckProbability& c : study.checks)
        row(c.caption, c.probability);
    row("Any check or the analysis", study.anyCheck);
    return rows;
}

std::vector<std::vector<std::string>> ReliabilitySensitivityRows(const TReliabilityStudy& study)
{
    std::vector<const TInputSensitivity*> order;
    for (const TInputSensitivity& s : study.sensitivity)
        order.push_back(&s);
    const auto strength = [](const TInputSensitivity* s) {
        return s->failure == s->failure ? std::fabs(s->failure) : -1.0L;
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](const auto* a, const auto* b) { return strength(a) > strength(b); });
    std::vector<std::vector<std::string>> rows{{"Input", "Rank correlation with failure"}};
    for (const TInputSensitivity* s : order)
        rows.push_back(
            {s->input, Finite(s->failure) ? FormatFixed(s->failure, 2, 10, ".") : "n/a"});
    return rows;
}

std::string UncertainInputText(const TUncertainInput& in, bool tiedToBackfill)
{
    const std::string unit = in.input.unit.empty() ? "" : " " + in.input.unit;
    std::string what = DistributionName(in.distribution);
    if (in.distribution == TDistribution::Uniform)
        what += ", " + Number(in.low, 3) + " to " + Number(in.high, 3) + unit;
    else
        what += ", mean " + Number(in.mean, 3) + unit + ", COV " + Percent(in.cov) + " %";
    if (tiedToBackfill && in.input.box == Box::PassivePhi)
        what += ", drawn with the backfill's";
    return what;
}

std::vector<std::vector<std::string>> ReliabilityPercentileRows(const TReliabilityStudy& study)
{
    std::vector<std::vector<std::string>> rows{{"Result", "5 %", "50 %", "95 %"}};
    for (const TResultSpread& s : study.spreads) {
        const int dec = ResultDecimals(s.result, study.si);
        const std::string name =
            WithUnit(ReliabilityResultName(s.result), ReliabilityResultUnit(s.result, study.si));
        if (s.count == 0)
            rows.push_back({name, "", "", ""});
        else
            rows.push_back({name, Number(s.p5, dec), Number(s.p50, dec), Number(s.p95, dec)});
    }
    return rows;
}

std::vector<std::vector<std::string>> ReliabilitySampleRows(const TReliabilityStudy& study)
{
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> head{"Sample"};
    for (const TUncertainInput& in : study.setup.inputs)
        head.push_back(WithUnit(in.input.name, in.input.unit));
    for (int r = 0; r < kReliabilityResultCount; ++r) {
        const auto result = static_cast<TReliabilityResult>(r);
        head.push_back(
            WithUnit(ReliabilityResultName(result), ReliabilityResultUnit(result, study.si)));
    }
    head.push_back("Governing");
    head.push_back("Result");
    rows.push_back(std::move(head));
    const TReliabilitySamples& s = study.rows;
    const TVerdicts& names = CheckNames();
    for (int64_t i = 0; i < study.samples; ++i) {
        std::vector<std::string> row{std::to_string(i + 1)};
        for (int j = 0; j < s.inputCount; ++j)
            row.push_back(FormatFixed(s.Input(i, j), 6, 15, "."));
        for (int r = 0; r < kReliabilityResultCount; ++r) {
            const auto result = static_cast<TReliabilityResult>(r);
            row.push_back(Number(s.Result(i, result), ResultDecimals(result, study.si) + 2));
        }
        if (!s.Analysed(i)) {
            row.push_back("");
            row.push_back("ERROR: " + (s.failure[i] < s.failureTexts.size()
                                           ? s.failureTexts[s.failure[i]]
                                           : std::string("the analysis failed")));
        } else {
            row.push_back(s.governing[i] == TReliabilitySamples::kNoCheck
                              ? std::string()
                              : std::string(names.items[s.governing[i]].caption));
            row.push_back(s.failedChecks[i] ? "FAIL" : "pass");
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string ReliabilityJson(const TReliabilityStudy& study)
{
    std::string out;
    JsonWriter w(out, false);
    const auto probability = [&](const TProbability& p, bool withBeta) {
        w.Key("Failures");
        w.Integer(p.count);
        w.Key("Pf");
        w.Number(p.pf);
        w.Key("Low");
        w.Number(p.low);
        w.Key("High");
        w.Number(p.high);
        if (withBeta) {
            w.Key("Beta");
            w.Number(p.beta); // null when infinite
            w.Key("BetaLow");
            w.Number(-NormalQuantile(p.high));
        }
    };
    w.BeginObject();
    w.Key("Samples");
    w.Integer(study.samples);
    w.Key("Seed");
    w.Integer(static_cast<int64_t>(study.setup.seed));
    w.Key("Units");
    w.String(study.si ? "SI" : "English");
    w.Key("Inputs");
    w.BeginArray();
    for (const TUncertainInput& in : study.setup.inputs) {
        w.BeginObject();
        w.Key("Name");
        w.String(in.input.name);
        w.Key("Box");
        w.String(BoxDef(in.input.box).name);
        w.Key("Unit");
        w.String(in.input.unit);
        w.Key("Distribution");
        w.String(DistributionName(in.distribution));
        if (in.distribution == TDistribution::Uniform) {
            w.Key("Min");
            w.Number(in.low);
            w.Key("Max");
            w.Number(in.high);
        } else {
            w.Key("Mean");
            w.Number(in.mean);
            w.Key("COV");
            w.Number(in.cov);
        }
        w.EndObject();
    }
    w.EndArray();
    w.Key("TieFrictionAngles");
    w.Bool(study.setup.tieFrictionAngles);
    w.Key("AnalysisFailures");
    w.Integer(study.analysisFailures);
    w.Key("FailureReasons");
    w.BeginArray();
    for (const TFailureReason& r : study.failureReasons) {
        w.BeginObject(true);
        w.Key("Reason");
        w.String(r.reason);
        w.Key("Count");
        w.Integer(r.count);
        w.EndObject();
    }
    w.EndArray();
    w.Key("Checks");
    w.BeginArray();
    for (const TCheckProbability& c : study.checks) {
        w.BeginObject();
        w.Key("Name");
        w.String(c.key);
        w.Key("Caption");
        w.String(c.caption);
        probability(c.probability, true);
        w.EndObject();
    }
    w.EndArray();
    w.Key("AnyCheck");
    w.BeginObject();
    probability(study.anyCheck, true);
    w.EndObject();
    w.Key("Percentiles");
    w.BeginObject();
    for (const TResultSpread& s : study.spreads) {
        w.Key(ReliabilityResultKey(s.result));
        w.BeginObject(true);
        w.Key("Count");
        w.Integer(s.count);
        for (const auto& [key, value] : {std::pair{"P5", s.p5}, std::pair{"P50", s.p50},
                                         std::pair{"P95", s.p95}, std::pair{"Mean", s.mean}}) {
            w.Key(key);
            if (s.count > 0)
                w.Number(value);
            else
                w.Null();
        }
        w.EndObject();
    }
    w.EndObject();
    w.Key("Histograms");
    w.BeginObject();
    for (const TResultSpread& s : study.spreads) {
        w.Key(ReliabilityResultKey(s.result));
        w.BeginObject(true);
        w.Key("Min");
        w.Number(s.count > 0 ? s.min : kNaN);
        w.Key("Max");
        w.Number(s.count > 0 ? s.max : kNaN);
        w.Key("Counts");
        w.BeginArray(true);
        for (int64_t c : s.histogram)
            w.Integer(c);
        w.EndArray();
        w.EndObject();
    }
    w.EndObject();
    w.Key("Sensitivity");
    w.BeginArray();
    for (const TInputSensitivity& s : study.sensitivity) {
        w.BeginObject(true);
        w.Key("Input");
        w.String(s.input);
        for (int r = 0; r < kReliabilityResultCount; ++r) {
            w.Key(ReliabilityResultKey(static_cast<TReliabilityResult>(r)));
            w.Number(s.results[r]);
        }
        w.Key("Failure");
        w.Number(s.failure);
        w.EndObject();
    }
    w.EndArray();
    w.EndObject();
    w.Finish();
    return out;
}

} // namespace tw::form
