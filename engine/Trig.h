// Sine and cosine of angles in radians for the analysis. The C library's long double sine
// reduces every argument beyond pi/4 with its multiple-precision routine, which costs more
// than the rest of an earth pressure coefficient; the angles here are small, so they are
// reduced by pi/2 in three parts (Cody and Waite) and passed on within +-pi/4. There the x87
// unit's FSIN and FCOS are as accurate as the library (half a unit in the last place; their
// known errors come from their own reduction of large arguments, which never runs here) and
// several times faster than its polynomials.
#pragma once

#include <cmath>

#include "engine/X87.h"

namespace tw {

namespace trig_detail {

// pi/2 = kPio2Hi + kPio2Mid + kPio2Lo; the first two parts hold 32 bits each, so that k times
// them is exact for any quadrant number k below 2^31.
inline constexpr long double kPio2Hi = 0x6487ed51p-30L;
inline constexpr long double kPio2Mid = 0x85a308d3p-65L;
inline constexpr long double kPio2Lo = 0x98cc51701b839a25p-132L;
inline constexpr long double kTwoOverPi = 0.636619772367581343075535053490057448L;
inline constexpr long double kPio4 = 0.785398163397448309615660845819875721L;
inline constexpr long double kReduceLimit = 1.0e6L;

// The quadrant and the remainder of x modulo pi/2.
inline long double Reduce(long double x, long& quadrant)
{
    // The quadrant is rounded to the nearest integer in the current rounding mode (as rint
    // and nearbyint round; the library's nearbyint saves and restores the floating-point
    // environment, which costs more than the sine itself). Taking it as an integer first also
    // avoids a truncating conversion, which switches the x87 control word twice. |x| is below
    // kReduceLimit, so the quadrant fits a long.
    quadrant = std::lrint(x * kTwoOverPi);
    const long double k = static_cast<long double>(quadrant);
    return ((x - k * kPio2Hi) - k * kPio2Mid) - k * kPio2Lo;
}

// Sine and cosine of an argument within about +-pi/4.
inline long double KernelSin(long double r)
{
#ifdef TW_X87
    long double y;
    asm("fsin" : "=t"(y) : "0"(r));
    return y;
#else
    return std::sin(r);
#endif
}

inline long double KernelCos(long double r)
{
#ifdef TW_X87
    long double y;
    asm("fcos" : "=t"(y) : "0"(r));
    return y;
#else
    return std::cos(r);
#endif
}

// sin(r + quadrant pi/2) for r within about +-pi/4.
inline long double QuadrantSine(long double r, long quadrant)
{
    switch (quadrant & 3) {
    case 0:
        return KernelSin(r);
    case 1:
        return KernelCos(r);
    case 2:
        return -KernelSin(r);
    default:
        return -KernelCos(r);
    }
}

} // namespace trig_detail

inline long double SinRad(long double x)
{
    using namespace trig_detail;
    const long double ax = std::fabs(x);
    if (ax <= kPio4)
        return KernelSin(x);
    if (!(ax < kReduceLimit))
        return std::sin(x); // huge or NaN: the library as it is
    long quadrant = 0;
    const long double r = Reduce(x, quadrant);
    return QuadrantSine(r, quadrant);
}

// cos x = sin(x + pi/2): one quadrant further on.
inline long double CosRad(long double x)
{
    using namespace trig_detail;
    const long double ax = std::fabs(x);
    if (ax <= kPio4)
        return KernelCos(x);
    if (!(ax < kReduceLimit))
        return std::cos(x);
    long quadrant = 0;
    const long double r = Reduce(x, quadrant);
    return QuadrantSine(r, quadrant + 1);
}

} // namespace tw
