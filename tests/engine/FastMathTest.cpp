// The power, sine and cosine the analysis takes through the x87 instructions, against the C
// library over the ranges the analysis uses and at the special values.
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include <gtest/gtest.h>

#include "engine/Power.h"
#include "engine/Trig.h"

using namespace tw;

namespace {

// |a - b| in units of the last place of b (64-bit significand).
long double UlpDistance(long double a, long double b)
{
    return std::fabs(a - b) / std::ldexp(1.0L, std::ilogb(b) - 63);
}

} // namespace

// The two powers the analysis takes: (Kp / Ka)^0.333 over the ratios of real soils, and
// 0.658^(Fy / Fe) of the column formula up to its limit Fe = 0.44 Fy. The library's powl is
// within one unit of the exact value, so two units more allow for the x87 path's own error.
TEST(Power, AgreesWithTheLibraryOverTheAnalysisRanges)
{
    long double worst = 0;
    for (int i = 0; i <= 4000; ++i) {
        const long double ratio = 1 + i * 0.05L; // Kp / Ka from 1 to 201
        worst = std::max(worst, UlpDistance(Power(ratio, 0.333L), std::pow(ratio, 0.333L)));
        const long double slenderness = i * (1 / 0.44L) / 4000;
        worst =
            std::max(worst, UlpDistance(Power(0.658L, slenderness), std::pow(0.658L, slenderness)));
    }
    EXPECT_LE(worst, 3.0L);
}

TEST(Power, ExactAndSpecialCasesMatchTheLibrary)
{
    EXPECT_EQ(Power(4, 0.5L), 2.0L);
    EXPECT_EQ(Power(2, 10), 1024.0L);
    EXPECT_EQ(Power(0.125L, -1), 8.0L);
    EXPECT_EQ(Power(1, 0.333L), 1.0L);
    EXPECT_EQ(Power(37.5L, 0), 1.0L);
    EXPECT_EQ(Power(0.658L, 1), 0.658L);
    const long double inf = std::numeric_limits<long double>::infinity();
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    EXPECT_EQ(Power(0.658L, inf), 0.0L) << "Fe = 0 makes Fy / Fe infinite";
    EXPECT_EQ(Power(0, 0.333L), 0.0L);
    EXPECT_EQ(Power(0, -1), inf);
    EXPECT_EQ(Power(-2, 3), -8.0L);
    EXPECT_TRUE(std::isnan(Power(-8, 0.333L)));
    EXPECT_TRUE(std::isnan(Power(nan, 0.5L)));
    EXPECT_TRUE(std::isnan(Power(2, nan)));
    EXPECT_EQ(Power(inf, 0.5L), inf);
    // Beyond the fast range the library decides overflow and underflow.
    EXPECT_EQ(Power(10, 5000), std::pow(10.0L, 5000.0L));
    EXPECT_EQ(Power(2, 20000), inf);
    EXPECT_EQ(Power(2, -20000), 0.0L);
    EXPECT_EQ(Power(2, -16300), std::pow(2.0L, -16300.0L));
}

// Earth pressure angles and their sums (friction, wall friction, slope, wall angle: -90 to
// 180 degrees), the weld angles of the guardrail (0 to 90) and angles far beyond a turn. Both
// the library and the x87 unit are within about half a unit of the exact value here, so they
// may differ by one unit where the exact value lies near a half.
TEST(Trig, AgreesWithTheLibraryOverTheAnalysisRanges)
{
    const long double degree = std::numbers::pi_v<long double> / 180;
    long double worst = 0;
    for (int i = -9000; i <= 18000; ++i) {
        const long double x = i * 0.01L * degree;
        if (x == 0)
            continue;
        worst = std::max(worst, UlpDistance(SinRad(x), std::sin(x)));
        if (std::fabs(i) != 9000)
            worst = std::max(worst, UlpDistance(CosRad(x), std::cos(x)));
    }
    for (const long double x : {7.0L, -12.5L, 100.25L, 12345.678L}) {
        worst = std::max(worst, UlpDistance(SinRad(x), std::sin(x)));
        worst = std::max(worst, UlpDistance(CosRad(x), std::cos(x)));
    }
    EXPECT_LE(worst, 1.0L);
}

TEST(Trig, ExactAndSpecialValues)
{
    EXPECT_EQ(SinRad(0), 0.0L);
    EXPECT_TRUE(std::signbit(SinRad(-0.0L)));
    EXPECT_EQ(CosRad(0), 1.0L);
    EXPECT_EQ(CosRad(-0.0L), 1.0L);
    EXPECT_EQ(SinRad(1e-30L), 1e-30L) << "sin x is x to the last place for a tiny x";
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    const long double inf = std::numeric_limits<long double>::infinity();
    EXPECT_TRUE(std::isnan(SinRad(nan)));
    EXPECT_TRUE(std::isnan(CosRad(inf)));
    EXPECT_EQ(SinRad(1e30L), std::sin(1e30L)) << "huge arguments go to the library";
}
