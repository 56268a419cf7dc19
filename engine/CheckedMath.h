// Arithmetic that reports its failures. The analysis runs its formulas through these so that
// a division by zero, the root or logarithm of a negative number, the power of a negative
// base or an overflow ends the analysis with a message that says what failed and where,
// instead of passing NaN or infinity on into results a user reads as numbers.
#pragma once

#include <cmath>
#include <stdexcept>
#include <string>
#include <string_view>

#include "engine/Power.h"

namespace tw {

// The error that ends an analysis. Step() names the analysis step, Detail() what failed.
class TAnalysisError : public std::runtime_error
{
public:
    TAnalysisError(std::string step, std::string detail);
    const std::string& Step() const { return Step_; }
    const std::string& Detail() const { return Detail_; }

private:
    std::string Step_;
    std::string Detail_;
};

// Names the analysis step that the checked operations below report, for as long as it
// lives; steps nest (the innermost one is reported).
class TAnalysisStep
{
public:
    explicit TAnalysisStep(std::string_view name);
    ~TAnalysisStep();
    TAnalysisStep(const TAnalysisStep&) = delete;
    TAnalysisStep& operator=(const TAnalysisStep&) = delete;

private:
    std::string_view Previous_;
};

// The step currently running ("" outside an analysis).
std::string_view CurrentAnalysisStep();

// Throws TAnalysisError for the current step with the given detail.
[[noreturn]] void FailAnalysis(std::string detail);

// A value as a failure message names it: six significant digits, e.g. "0.333333", "-37.8".
std::string MessageNumber(long double value);

namespace checked_detail {
// The failure paths, out of line so that the checks cost a comparison where nothing fails.
[[noreturn]] void FailNotFinite(long double value, std::string_view what);
[[noreturn]] void Fail(std::string_view problem, std::string_view what);
} // namespace checked_detail

// Each operation names the quantity it computes in `what`, e.g. "the equilibrium depth De".

// The value itself when finite; otherwise the analysis fails (overflow or an undefined value).
inline long double CheckedFinite(long double value, std::string_view what)
{
    if (!std::isfinite(value)) [[unlikely]]
        checked_detail::FailNotFinite(value, what);
    return value;
}

inline long double CheckedDiv(long double a, long double b, std::string_view what)
{
    if (b == 0) [[unlikely]]
        checked_detail::Fail("division by zero", what);
    return CheckedFinite(a / b, what);
}

inline long double CheckedSqrt(long double x, std::string_view what)
{
    if (x < 0) [[unlikely]]
        checked_detail::Fail("square root of a negative number", what);
    return CheckedFinite(std::sqrt(x), what);
}

inline long double CheckedPow(long double base, long double exponent, std::string_view what)
{
    if (base < 0 && exponent != std::trunc(exponent)) [[unlikely]]
        checked_detail::Fail("power of a negative base", what);
    if (base == 0 && exponent < 0) [[unlikely]]
        checked_detail::Fail("division by zero", what);
    return CheckedFinite(Power(base, exponent), what);
}

inline long double CheckedLog(long double x, std::string_view what)
{
    if (x <= 0) [[unlikely]]
        checked_detail::Fail(x == 0 ? "logarithm of zero" : "logarithm of a negative number", what);
    return CheckedFinite(std::log(x), what);
}

inline long double CheckedAcos(long double x, std::string_view what)
{
    if (!(x >= -1 && x <= 1)) [[unlikely]]
        checked_detail::Fail("arccosine of a number outside -1 to 1", what);
    return std::acos(x);
}

inline long double CheckedAsin(long double x, std::string_view what)
{
    if (!(x >= -1 && x <= 1)) [[unlikely]]
        checked_detail::Fail("arcsine of a number outside -1 to 1", what);
    return std::asin(x);
}

} // namespace tw
