#include "engine/CheckedMath.h"

#include <charconv>
#include <cmath>

namespace tw {

namespace {

// The analysis runs on the user-interface thread only; the step name is per thread so that
// tests running analyses in parallel threads would not mix their steps.
thread_local std::string_view CurrentStep;

std::string Describe(std::string_view problem, std::string_view what)
{
    return std::string(problem) + " in " + std::string(what);
}

} // namespace

TAnalysisError::TAnalysisError(std::string step, std::string detail)
    : std::runtime_error(step.empty() ? detail : step + ": " + detail), Step_(std::move(step)),
      Detail_(std::move(detail))
{
}

TAnalysisStep::TAnalysisStep(std::string_view name) : Previous_(CurrentStep)
{
    CurrentStep = name;
}

TAnalysisStep::~TAnalysisStep()
{
    CurrentStep = Previous_;
}

std::string_view CurrentAnalysisStep()
{
    return CurrentStep;
}

void FailAnalysis(std::string detail)
{
    throw TAnalysisError(std::string(CurrentStep), std::move(detail));
}

std::string MessageNumber(long double value)
{
    // to_chars, not printf: the text must not follow the process locale's decimal comma.
    char text[48];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
    return std::string(text, end.ptr);
}

namespace checked_detail {

void FailNotFinite(long double value, std::string_view what)
{
    FailAnalysis(Describe(std::isnan(value) ? "undefined value" : "overflow", what));
}

void Fail(std::string_view problem, std::string_view what)
{
    FailAnalysis(Describe(problem, what));
}

} // namespace checked_detail

} // namespace tw
