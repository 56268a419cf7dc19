#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "engine/CheckedMath.h"

using namespace tw;

namespace {

// The message of the error an operation throws, or "" when it does not throw.
template <typename F> std::string ErrorOf(F f)
{
    try {
        f();
    } catch (const TAnalysisError& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(CheckedMath, ValidOperationsGiveTheirValues)
{
    EXPECT_EQ(CheckedDiv(7, 2, "x"), 3.5L);
    EXPECT_EQ(CheckedSqrt(2.25L, "x"), 1.5L);
    EXPECT_EQ(CheckedSqrt(0, "x"), 0.0L);
    EXPECT_EQ(CheckedPow(9, 0.5L, "x"), 3.0L);
    EXPECT_EQ(CheckedPow(-2, 3, "x"), -8.0L) << "a whole exponent of a negative base is fine";
    EXPECT_EQ(CheckedPow(0, 0.333L, "x"), 0.0L);
    EXPECT_EQ(CheckedLog(1, "x"), 0.0L);
    EXPECT_EQ(CheckedAcos(1, "x"), 0.0L);
    EXPECT_EQ(CheckedAsin(0, "x"), 0.0L);
}

TEST(CheckedMath, FailuresNameTheStepAndTheQuantity)
{
    TAnalysisStep step("Embedment depth");
    const std::string message = ErrorOf([] { CheckedDiv(1, 0, "the equilibrium depth De"); });
    EXPECT_EQ(message, "Embedment depth: division by zero in the equilibrium depth De");
    try {
        CheckedSqrt(-1, "Ka");
        FAIL() << "expected an error";
    } catch (const TAnalysisError& e) {
        EXPECT_EQ(e.Step(), "Embedment depth");
        EXPECT_EQ(e.Detail(), "square root of a negative number in Ka");
    }
    EXPECT_NE(ErrorOf([] { CheckedPow(-8, 0.333L, "Kp/Ka"); }).find("power of a negative base"),
              std::string::npos);
    EXPECT_NE(ErrorOf([] { CheckedPow(0, -1, "x"); }).find("division by zero"), std::string::npos);
    EXPECT_NE(ErrorOf([] { CheckedLog(0, "x"); }).find("logarithm of zero"), std::string::npos);
    EXPECT_NE(ErrorOf([] { CheckedLog(-3, "x"); }).find("negative"), std::string::npos);
    EXPECT_NE(ErrorOf([] { CheckedAcos(1.0000001L, "theta"); }).find("arccosine"),
              std::string::npos);
    EXPECT_NE(ErrorOf([] { CheckedAsin(-2, "x"); }).find("arcsine"), std::string::npos);
}

TEST(CheckedMath, OverflowAndUndefinedValuesAreFailures)
{
    const long double big = std::numeric_limits<long double>::max();
    EXPECT_NE(ErrorOf([&] { CheckedDiv(big, 0.5L, "x"); }).find("overflow"), std::string::npos);
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    EXPECT_NE(ErrorOf([&] { CheckedDiv(nan, 2, "x"); }).find("undefined"), std::string::npos);
    EXPECT_NE(ErrorOf([&] { CheckedSqrt(nan, "x"); }).find("undefined"), std::string::npos);
    EXPECT_NE(ErrorOf([&] { CheckedAcos(nan, "x"); }).find("arccosine"), std::string::npos);
    EXPECT_NE(ErrorOf([&] {
                  CheckedFinite(-std::numeric_limits<long double>::infinity(), "x");
              }).find("overflow"),
              std::string::npos);
}

TEST(CheckedMath, StepsNestAndEnd)
{
    EXPECT_EQ(CurrentAnalysisStep(), "");
    {
        TAnalysisStep outer("Pile analysis");
        {
            TAnalysisStep inner("Cut pass");
            EXPECT_EQ(CurrentAnalysisStep(), "Cut pass");
        }
        EXPECT_EQ(CurrentAnalysisStep(), "Pile analysis");
    }
    EXPECT_EQ(CurrentAnalysisStep(), "");
    EXPECT_EQ(ErrorOf([] { CheckedDiv(1, 0, "x"); }), "division by zero in x")
        << "outside a step the message has no step prefix";
}
