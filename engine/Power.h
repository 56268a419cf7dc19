// x raised to the power y for the analysis. The C library's long double pow saves and restores
// the floating-point environment on every call, which costs about half a microsecond: more
// than the whole pile analysis. On x86 the power is taken from the x87 unit's own instructions
// instead: y log2(x) in one step (FYL2X computes the product inside with extra precision), then
// 2 to that power split into an integer part (FSCALE, exact) and a fraction within +-1/2
// (F2XM1). For the exponents of the analysis (|y log2 x| of a few units) the result is within
// two units in the last place of the library's. Every other case - a zero, negative or
// non-finite base, a non-finite exponent, a result near the ends of the range - goes to the
// library, with its special values.
#pragma once

#include <cfloat>
#include <cmath>

#include "engine/X87.h"

namespace tw {

namespace power_detail {

// Beyond this |y log2 x| the result leaves the normal range of long double (2^16383).
inline constexpr long double kFastLimit = 16000;

} // namespace power_detail

inline long double Power(long double x, long double y)
{
#ifdef TW_X87
    if (x > 0 && x <= LDBL_MAX && std::fabs(y) <= LDBL_MAX) {
        long double l;
        asm("fyl2x" : "=t"(l) : "0"(x), "u"(y) : "st(1)");
        if (std::fabs(l) <= power_detail::kFastLimit) {
            const long double whole = std::rint(l);
            const long double fraction = l - whole; // exact, within +-1/2
            long double m;
            asm("f2xm1" : "=t"(m) : "0"(fraction));
            m += 1;
            long double r;
            asm("fscale" : "=t"(r) : "0"(m), "u"(whole));
            return r;
        }
    }
#endif
    return std::pow(x, y);
}

} // namespace tw
