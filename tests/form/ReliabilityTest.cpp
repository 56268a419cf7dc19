#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <thread>

#include "engine/InputRules.h"
#include "engine/ProjectJson.h"
#include "form/Reliability.h"
#include "form/Study.h"
#include "support/TestWalls.h"

using namespace tw;
using namespace tw::form;

namespace {

TTWData Example(bool si)
{
    TTWData p;
    ProjectFromJson(tw::test::ExampleProjectJson(si), p);
    return p;
}

TUncertainInput Uncertain(const TTWData& p, const std::string& name, long double cov)
{
    const auto input = FindStudyInput(StudyInputs(p), name);
    EXPECT_TRUE(input) << name;
    return MakeUncertainInput(p, *input, cov);
}

bool SameBits(long double a, long double b)
{
    return std::memcmp(&a, &b, 10) == 0;
}

} // namespace

TEST(Reliability, ZeroScatterGivesTheSingleAnalysisBitForBit)
{
    for (bool si : {false, true}) {
        const TTWData project = Example(si);
        TReliabilitySetup setup = DefaultReliabilitySetup(project);
        ASSERT_GE(setup.inputs.size(), 4u);
        for (TUncertainInput& in : setup.inputs)
            in.cov = 0;
        // A uniform input of no width is its value too.
        setup.inputs.back().distribution = TDistribution::Uniform;
        setup.inputs.back().low = setup.inputs.back().high = setup.inputs.back().mean;
        setup.samples = 40;
        setup.threads = 2;
        const TReliabilityStudy study = RunReliabilityStudy(project, setup);
        ASSERT_TRUE(study.error.empty()) << study.error;

        TTWData single = project;
        ApplyInputRulesOnOpen(single);
        single.Analyze();
        const TVerdicts verdicts = WallVerdicts(single);
        const long double expected[] = {
            single.EmbedmentDepth, single.TotalPileLength,
            std::max(std::fabs(single.MaxMomentAbove), std::fabs(single.MaxMomentBelow)),
            std::fabs(single.MaxShear), single.TopDeflection};
        for (int64_t s = 0; s < study.samples; ++s) {
            ASSERT_TRUE(study.rows.Analysed(s));
            for (int r = 0; r < 5; ++r)
                ASSERT_TRUE(
                    SameBits(study.rows.Result(s, static_cast<TReliabilityResult>(r)), expected[r]))
                    << "sample " << s << " result " << r;
            ASSERT_EQ(study.rows.failedChecks[s] != 0, !verdicts.AllPass());
        }
        EXPECT_EQ(study.anyCheck.pf, verdicts.AllPass() ? 0 : 1);
    }
}

TEST(Reliability, TheSeedAloneDecidesTheSamples)
{
    const TTWData project = Example(false);
    TReliabilitySetup setup = DefaultReliabilitySetup(project);
    setup.samples = 700;
    setup.seed = 42;
    const auto run = [&](int threads, uint64_t seed) {
        TReliabilitySetup s = setup;
        s.threads = threads;
        s.seed = seed;
        return RunReliabilityStudy(project, s);
    };
    const TReliabilityStudy one = run(1, 42), three = run(3, 42), other = run(2, 43);
    ASSERT_EQ(one.rows.inputs.size(), three.rows.inputs.size());
    for (std::size_t i = 0; i < one.rows.inputs.size(); ++i)
        ASSERT_TRUE(SameBits(one.rows.inputs[i], three.rows.inputs[i]));
    for (std::size_t i = 0; i < one.rows.results.size(); ++i)
        ASSERT_TRUE(SameBits(one.rows.results[i], three.rows.results[i]) ||
                    (std::isnan(one.rows.results[i]) && std::isnan(three.rows.results[i])));
    EXPECT_EQ(ReliabilityJson(one), ReliabilityJson(three));
    EXPECT_NE(one.rows.inputs, other.rows.inputs);
}

// Only the backfill's friction angle scatters and the wall fails below one angle: the
// probability of failure is the (truncated) normal distribution at that angle, found by
// bisection with the parametric study.
TEST(Reliability, OneScatteringInputFailsWithTheProbabilityOfItsThreshold)
{
    const TTWData project = Example(false);
    const TUncertainInput phi = Uncertain(project, "BackfillPhi", 0.10L);
    const auto passes = [&](long double value) {
        const std::vector<TStudyStep> step = RunStudy(project, Box::BackfillPhi, value, value, 2);
        return step[0].analysed && step[0].checks.passes;
    };
    long double failing = 20, passing = 40;
    ASSERT_FALSE(passes(failing));
    ASSERT_TRUE(passes(passing));
    for (int i = 0; i < 40; ++i) {
        const long double mid = (failing + passing) / 2;
        (passes(mid) ? passing : failing) = mid;
    }
    const long double sd = phi.mean * phi.cov;
    const auto cdf = [&](long double x) { return NormalCdf((x - phi.mean) / sd); };
    const long double exact =
        (cdf(passing) - cdf(phi.lowerLimit)) / (cdf(phi.upperLimit) - cdf(phi.lowerLimit));

    TReliabilitySetup setup;
    setup.inputs = {phi};
    setup.samples = 20000;
    setup.seed = 2026;
    const TReliabilityStudy study = RunReliabilityStudy(project, setup);
    EXPECT_GE(exact, study.anyCheck.low);
    EXPECT_LE(exact, study.anyCheck.high);
    // Every failing sample lies below the threshold, every passing one above it.
    for (int64_t s = 0; s < study.samples; ++s)
        ASSERT_EQ(study.rows.failedChecks[s] != 0, study.rows.Input(s, 0) < passing)
            << study.rows.Input(s, 0);
}

TEST(Reliability, RankCorrelationsPointTheKnownWay)
{
    const TTWData project = Example(false);
    TReliabilitySetup setup = DefaultReliabilitySetup(project);
    setup.samples = 3000;
    const TReliabilityStudy study = RunReliabilityStudy(project, setup);
    const auto rho = [&](const std::string& input, TReliabilityResult r) {
        for (const TInputSensitivity& s : study.sensitivity)
            if (s.input == input)
                return s.results[static_cast<int>(r)];
        ADD_FAILURE() << input;
        return 0.0L;
    };
    using R = TReliabilityResult;
    struct Case
    {
        const char* input;
        R result;
        int sign;
    } cases[] = {
        {"Backfill Soils: Soil Friction Angle", R::Embedment, -1},
        {"Backfill Soils: Soil Friction Angle", R::MaxMoment, -1},
        {"Backfill Soils: Backfill Soil Unit Weight", R::MaxMoment, +1},
        {"Backfill Soils: Vertical Uniform Surcharge", R::MaxShear, +1},
        {"Passive Soils: Soil Friction Angle", R::Embedment, -1},
    };
    for (const Case& c : cases)
        EXPECT_GT(c.sign * rho(c.input, c.result), 0.05L) << c.input;
    // And with failure: a stronger backfill fails less often.
    EXPECT_LT(study.sensitivity.front().failure, -0.3L);
}

TEST(Reliability, ProbabilitiesIntervalsAndTheNormalQuantile)
{
    // Wilson intervals against published values (Newcombe 1998, table I, and the zero case).
    struct Case
    {
        int64_t k, n;
        long double low, high;
    } cases[] = {{81, 263, 0.2553L, 0.3662L},
                 {15, 148, 0.0624L, 0.1605L},
                 {0, 20, 0, 0.1611L},
                 {1, 29, 0.0061L, 0.1718L}};
    for (const Case& c : cases) {
        const TProbability p = EstimateProbability(c.k, c.n);
        EXPECT_NEAR(p.low, c.low, 5e-5L) << c.k << "/" << c.n;
        EXPECT_NEAR(p.high, c.high, 5e-5L) << c.k << "/" << c.n;
    }
    // beta = 3 is Pf = 0.00134990; the quantile inverts the distribution function far into
    // both tails.
    EXPECT_NEAR(EstimateProbability(134990, 100000000).beta, 3.0L, 1e-4L);
    for (long double p : {1e-300L, 1e-12L, 1e-5L, 0.02L, 0.3L, 0.5L, 0.9L, 1 - 1e-9L}) {
        const long double x = NormalQuantile(p);
        EXPECT_NEAR(NormalCdf(x) / p, 1, 1e-12L) << static_cast<double>(p);
    }
}

TEST(Reliability, DrawsFollowTheirDistributionWithinTheLimits)
{
    TUncertainInput in;
    struct Case
    {
        TDistribution d;
        long double mean, cov, low, high, lowerLimit, upperLimit, expectMean, expectSd;
    } cases[] = {
        {TDistribution::Normal, 100, 0.2L, 0, 0, 0, 1000, 100, 20},
        {TDistribution::Lognormal, 100, 0.3L, 0, 0, 0, 1000, 100, 30},
        {TDistribution::Uniform, 0, 0, 40, 100, 0, 1000, 70, 60 / std::sqrt(12.0L)},
        // Truncated: the draws stay within the limits.
        {TDistribution::Normal, 20, 1.0L, 0, 0, 10, 200, -1, -1},
        {TDistribution::Lognormal, 150, 1.0L, 0, 0, 10, 200, -1, -1},
    };
    for (const Case& c : cases) {
        in.lowerLimit = c.lowerLimit;
        in.upperLimit = c.upperLimit;
        in.distribution = c.d;
        in.mean = c.mean;
        in.cov = c.cov;
        in.low = c.low;
        in.high = c.high;
        const int n = 200000;
        long double sum = 0, sum2 = 0, lo = 1e9L, hi = -1e9L;
        for (int s = 0; s < n; ++s) {
            const long double v = DrawUncertainInput(in, 5, s, 3);
            sum += v;
            sum2 += v * v;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        const long double mean = sum / n, sd = std::sqrt(sum2 / n - mean * mean);
        EXPECT_GE(lo, in.lowerLimit);
        EXPECT_LE(hi, in.upperLimit);
        if (c.expectMean >= 0) {
            EXPECT_NEAR(mean, c.expectMean, c.expectSd * 0.01L) << DistributionName(c.d);
            EXPECT_NEAR(sd, c.expectSd, c.expectSd * 0.01L) << DistributionName(c.d);
        }
    }
}

TEST(Reliability, FailedAnalysesAreCountedByReasonAndFailTheWall)
{
    TTWData project = Example(false);
    // Piles closer than their width leave the lagging no span.
    TReliabilitySetup setup;
    setup.inputs = {Uncertain(project, "PileSpacing", 0.8L)};
    setup.samples = 500;
    const TReliabilityStudy study = RunReliabilityStudy(project, setup);
    ASSERT_TRUE(study.error.empty()) << study.error;
    ASSERT_GT(study.analysisFailures, 0);
    ASSERT_LT(study.analysisFailures, study.samples);
    int64_t counted = 0;
    ASSERT_EQ(study.failureReasons.size(), 1u);
    for (const TFailureReason& r : study.failureReasons)
        counted += r.count;
    EXPECT_EQ(study.failureReasons[0].reason,
              "lagging design: the clear span of the lagging S - Be is not positive");
    EXPECT_EQ(counted, study.analysisFailures);
    EXPECT_GE(study.anyCheck.count, study.analysisFailures);
    // Percentiles are of the analysed samples only.
    EXPECT_EQ(study.spreads[0].count, study.samples - study.analysisFailures);
}

TEST(Reliability, SetupsThatCannotRunSayWhy)
{
    const TTWData project = Example(false);
    const TUncertainInput phi = Uncertain(project, "BackfillPhi", 0.1L);
    TUncertainInput lognormalAtZero = phi;
    lognormalAtZero.distribution = TDistribution::Lognormal;
    lognormalAtZero.mean = 0;
    TUncertainInput upsideDown = phi;
    upsideDown.distribution = TDistribution::Uniform;
    upsideDown.low = 40;
    upsideDown.high = 30;
    TUncertainInput notOnTheWall = phi;
    notOnTheWall.input.box = Box::StripPressure;
    notOnTheWall.input.name = "Strip Pressure, q";
    for (const std::vector<TUncertainInput>& inputs :
         {std::vector{lognormalAtZero}, std::vector{upsideDown}, std::vector{notOnTheWall},
          std::vector{phi, phi}}) {
        TReliabilitySetup setup;
        setup.inputs = inputs;
        setup.samples = 10;
        const TReliabilityStudy study = RunReliabilityStudy(project, setup);
        EXPECT_FALSE(study.error.empty());
        EXPECT_EQ(study.samples, 0);
    }
}

TEST(Reliability, CancelStopsTheSamplingAndKeepsNoResults)
{
    const TTWData project = Example(false);
    TReliabilitySetup setup = DefaultReliabilitySetup(project);
    setup.samples = kMaxReliabilitySamples;
    TReliabilityProgress progress;
    std::thread cancel([&] {
        while (progress.done.load() < 1000)
            std::this_thread::yield();
        progress.cancel = true;
    });
    const TReliabilityStudy study = RunReliabilityStudy(project, setup, &progress);
    cancel.join();
    EXPECT_TRUE(study.cancelled);
    EXPECT_LT(progress.done.load(), kMaxReliabilitySamples);
    EXPECT_TRUE(study.rows.inputs.empty());
}

TEST(Reliability, OutputsCarryEverySampleAndTheDocumentedKeys)
{
    const TTWData project = Example(true);
    TReliabilitySetup setup = DefaultReliabilitySetup(project);
    setup.samples = 25;
    const TReliabilityStudy study = RunReliabilityStudy(project, setup);
    const auto rows = ReliabilitySampleRows(study);
    ASSERT_EQ(rows.size(), 26u);
    EXPECT_EQ(rows[0].size(), 1 + setup.inputs.size() + kReliabilityResultCount + 2);
    EXPECT_EQ(rows[0][6 + setup.inputs.size() - 5], "Embedment Depth (m)");
    const std::string json = ReliabilityJson(study);
    for (const char* key : {"\"Samples\": 25", "\"AnalysisFailures\": 0", "\"Checks\"",
                            "\"AnyCheck\"", "\"Beta\"", "\"Percentiles\"", "\"Sensitivity\""})
        EXPECT_NE(json.find(key), std::string::npos) << key;
}
