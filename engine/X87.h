// TW_X87 is defined where long double is the x87 80-bit type and the x87 instructions can be
// written inline (GCC and Clang on x86). Elsewhere the engine uses the C library alone.
#pragma once

#include <cfloat>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__) && LDBL_MANT_DIG == 64
#define TW_X87 1
#endif
