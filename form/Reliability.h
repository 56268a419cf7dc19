// A reliability study: the uncertain inputs of a wall drawn at random around their values, each
// sample read through the input rules and analysed exactly as a value typed in the window, and
// the probability that each check fails, with its confidence interval, the reliability index,
// the spread of the main results and the rank correlation of each input with each result.
// Plain C++, for the study window, the command line, the report and the tests.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/TWClasses.h"
#include "engine/Verdicts.h"
#include "form/Study.h"

namespace tw::form {

enum class TDistribution : uint8_t
{
    Normal,    // mean, coefficient of variation
    Lognormal, // mean, coefficient of variation
    Uniform    // minimum, maximum
};
inline constexpr int kDistributionCount = 3;
// "Normal", "Lognormal", "Uniform".
std::string DistributionName(TDistribution distribution);
std::optional<TDistribution> DistributionFromName(const std::string& name);

// One uncertain input. Every draw is truncated to [lowerLimit, upperLimit], the values the
// input's box accepts, so that no sample is moved by a limit.
struct TUncertainInput
{
    TStudyInput input;
    TDistribution distribution = TDistribution::Normal;
    long double mean = 0; // Normal, Lognormal
    long double cov = 0;  // Normal, Lognormal: standard deviation / mean (0.10 for 10 %)
    long double low = 0;  // Uniform
    long double high = 0; // Uniform
    long double lowerLimit = 0, upperLimit = 0;
};

struct TReliabilitySetup
{
    std::vector<TUncertainInput> inputs;
    // The passive soil's friction angle takes the same draw (the same quantile of its own
    // distribution) as the backfill's: one soil on both sides of the wall.
    bool tieFrictionAngles = false;
    int64_t samples = 10000;
    uint64_t seed = 1;
    int threads = 0; // 0: every core
};

inline constexpr int64_t kMaxReliabilitySamples = 1'000'000;

// The inputs that scatter by default on a wall, with published coefficients of variation of
// soil properties (Phoon and Kulhawy 1999): friction angles normal 10 %, unit weights normal
// 5 %, cohesion lognormal 30 %, surcharges and the strip and seismic loads lognormal 20 %. An
// input of value 0 is left out (it has no scatter around 0).
TReliabilitySetup DefaultReliabilitySetup(const TTWData& project);
// An input of the wall made uncertain: its limits filled in, a normal distribution around its
// value with the given coefficient of variation (a lognormal for cohesion, surcharges and loads).
TUncertainInput MakeUncertainInput(const TTWData& project, const TStudyInput& input,
                                   long double cov);
// What is wrong with an input's distribution ("" when it can be sampled).
std::string UncertainInputProblem(const TUncertainInput& input);

// The results a reliability study records per sample.
enum class TReliabilityResult : uint8_t
{
    Embedment,
    TotalLength,
    MaxMoment,
    MaxShear,
    TopDeflection,
    Utilization,
    ClassicalMomentRatio,
};
inline constexpr int kReliabilityResultCount = 7;
std::string ReliabilityResultName(TReliabilityResult result);
std::string ReliabilityResultUnit(TReliabilityResult result, bool si);
// "Embedment", ... as the JSON names them.
std::string ReliabilityResultKey(TReliabilityResult result);

// The samples, one row each (values NaN where a sample has none: a failed analysis, a check
// without utilization, a classical check that does not apply).
struct TReliabilitySamples
{
    int inputCount = 0;
    std::vector<long double> inputs;    // sample-major: inputs[sample * inputCount + i], as used
    std::vector<long double> results;   // results[sample * kReliabilityResultCount + r]
    std::vector<uint32_t> failedChecks; // bit per TCheckId
    // kAnalysed, or the index of the analysis' message in failureTexts.
    std::vector<uint16_t> failure;
    std::vector<std::string> failureTexts;
    // The check that governs (the first failing one, else the largest utilization), kNoCheck
    // without one.
    std::vector<uint8_t> governing;

    static constexpr uint16_t kAnalysed = 0xFFFF;
    static constexpr uint8_t kNoCheck = 0xFF;
    bool Analysed(int64_t sample) const { return failure[sample] == kAnalysed; }
    long double Result(int64_t sample, TReliabilityResult r) const
    {
        return results[sample * kReliabilityResultCount + static_cast<int>(r)];
    }
    long double Input(int64_t sample, int i) const { return inputs[sample * inputCount + i]; }
};

// An estimated probability with its 95 % Wilson interval and reliability index.
struct TProbability
{
    int64_t count = 0; // samples that fail
    long double pf = 0, low = 0, high = 0;
    // -Phi^-1(pf); infinite when pf is 0, minus infinite when 1.
    long double beta = 0;
};
TProbability EstimateProbability(int64_t failures, int64_t samples);

struct TCheckProbability
{
    TCheckId id;
    std::string key, caption;
    TProbability probability;
};

struct TResultSpread
{
    TReliabilityResult result;
    int64_t count = 0; // samples with a value
    long double p5 = 0, p50 = 0, p95 = 0, min = 0, max = 0, mean = 0;
    // kHistogramBins counts from min to max (empty without values).
    std::vector<int64_t> histogram;
};
inline constexpr int kHistogramBins = 30;

// Spearman's rank correlation of one input with each result and with failure (any check or a
// failed analysis); NaN where it is undefined (a constant column, fewer than 3 samples).
struct TInputSensitivity
{
    std::string input;
    std::array<long double, kReliabilityResultCount> results{};
    long double failure = 0;
};

struct TFailureReason
{
    std::string reason;
    int64_t count = 0;
};

struct TReliabilityStudy
{
    TReliabilitySetup setup;
    bool si = false;
    bool cancelled = false;
    std::string error; // why the study could not run ("" when it ran)
    int64_t samples = 0;
    int64_t analysisFailures = 0;
    std::vector<TFailureReason> failureReasons; // most frequent first
    std::vector<TCheckProbability> checks;      // the checks that apply, in TCheckId order
    TProbability anyCheck;                      // a check fails or the analysis fails
    std::vector<TResultSpread> spreads; // kReliabilityResultCount, in TReliabilityResult order
    std::vector<TInputSensitivity> sensitivity; // one per uncertain input
    TReliabilitySamples rows;
    double seconds = 0; // wall-clock time of the sampling
    int threads = 1;    // the threads that sampled
};

// Shared with a study running on another thread: samples done so far, and a request to stop.
struct TReliabilityProgress
{
    std::atomic<int64_t> done{0};
    std::atomic<bool> cancel{false};
};

// The value of one input in one sample: a uniform number from the seed, the sample and the
// input (the same whatever the thread that draws it), mapped through the truncated distribution.
long double DrawUncertainInput(const TUncertainInput& input, uint64_t seed, int64_t sample,
                               int stream);

// Runs the study. The project is analysed as the window opens it; its values are the samples'
// starting point. Never throws: a setup that cannot run returns with `error` set.
TReliabilityStudy RunReliabilityStudy(const TTWData& project, const TReliabilitySetup& setup,
                                      TReliabilityProgress* progress = nullptr);

// The summary as text (the study window's copyable summary and the command line's output).
std::string ReliabilitySummaryText(const TReliabilityStudy& study);
// The summary as rows of texts for the report's block: check, Pf, 95 % interval, beta.
std::vector<std::vector<std::string>> ReliabilitySummaryRows(const TReliabilityStudy& study);
// How an input scatters: "Normal, mean 32.000 degrees, COV 10.0 %", "Uniform, 1.000 to 2.000
// ft".
std::string UncertainInputText(const TUncertainInput& input, bool tiedToBackfill);
// The spread of the results as rows of texts: the result with its unit, then its 5 %, 50 % and
// 95 % values ("" without values), header first.
std::vector<std::vector<std::string>> ReliabilityPercentileRows(const TReliabilityStudy& study);
// The inputs by the strength of their rank correlation with failure, strongest first: the
// input and the correlation ("n/a" where undefined), header first.
std::vector<std::vector<std::string>> ReliabilitySensitivityRows(const TReliabilityStudy& study);
// One row per sample (header first): the sample number, each input, each result, the governing
// check and the verdict.
std::vector<std::vector<std::string>> ReliabilitySampleRows(const TReliabilityStudy& study);
// The results as JSON.
std::string ReliabilityJson(const TReliabilityStudy& study);

// Standard normal distribution and its inverse (to 1e-15 relative).
long double NormalCdf(long double x);
long double NormalQuantile(long double p);

} // namespace tw::form
