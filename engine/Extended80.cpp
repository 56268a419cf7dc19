#include "engine/Extended80.h"

#include <bit>
#include <cmath>
#include <limits>

// The codec works from the value alone (frexp, ldexp and integer arithmetic), never from the
// memory layout of long double, so it gives the same bytes whatever long double is.

namespace tw {
namespace {

constexpr int kExponentBias = 16383;
constexpr int kMaxBiasedExponent = 0x7FFF;
constexpr uint16_t kSignBit = 0x8000;
constexpr uint64_t kIntegerBit = uint64_t{1} << 63;
constexpr uint64_t kQuietBit = uint64_t{1} << 62;
constexpr uint64_t kPayloadMask = kQuietBit - 1;
// A significand m with biased exponent E >= 1 stands for m * 2^(E - kExponentBias - 63); with
// E == 0 it stands for m * 2^-kDenormalShift, the same scale as E == 1.
constexpr int kDenormalShift = kExponentBias + 62;

void Store(std::span<uint8_t, 10> out, bool negative, int exponent, uint64_t significand)
{
    PutLE64(out.data(), significand);
    PutLE16(out.data() + 8,
            static_cast<uint16_t>(static_cast<unsigned>(exponent) | (negative ? kSignBit : 0u)));
}

// NaN payloads can only be read and set through the C library; glibc has the functions
// (getpayload, setpayload). Elsewhere a NaN is written and read without its payload.
#if defined(__GLIBC__)
inline double GetPayload(const double& x)
{
    return ::getpayload(&x);
}
inline long double GetPayload(const long double& x)
{
    return ::getpayloadl(&x);
}
inline int SetPayload(double& x, double payload)
{
    return ::setpayload(&x, payload);
}
inline int SetPayload(long double& x, long double payload)
{
    return ::setpayloadl(&x, payload);
}
#endif

// The payload of a NaN when it fits the 62 bits below the quiet bit, otherwise 0.
template <typename T> uint64_t PayloadOf([[maybe_unused]] T nan)
{
#if defined(__GLIBC__)
    const T payload = GetPayload(nan);
    if (payload >= T(0) && payload < std::ldexp(T(1), 62))
        return static_cast<uint64_t>(payload);
#endif
    return 0;
}

// A positive quiet NaN carrying `payload` where T has room for it.
template <typename T> T MakeNaN([[maybe_unused]] uint64_t payload)
{
#if defined(__GLIBC__)
    // An IEEE format keeps digits - 2 payload bits: its significand less the quiet bit and
    // the (implicit or explicit) integer bit.
    constexpr int kPayloadBits = std::numeric_limits<T>::digits - 2;
    bool fits = true;
    if constexpr (kPayloadBits < 64)
        fits = (payload >> kPayloadBits) == 0;
    T nan{};
    if (fits && SetPayload(nan, static_cast<T>(payload)) == 0)
        return nan;
#endif
    return std::numeric_limits<T>::quiet_NaN();
}

// Rounds a value in [0, 2^64) to the nearest integer, ties to even; *carry tells that the
// result is 2^64 (the returned word is then 0). Exact values pass through unchanged.
template <typename T> uint64_t RoundToInteger(T x, bool& carry)
{
    const T whole = std::trunc(x);
    const T fraction = x - whole;
    uint64_t result = static_cast<uint64_t>(whole);
    carry = false;
    if (fraction > T(0.5) || (fraction == T(0.5) && (result & 1) != 0)) {
        ++result;
        carry = result == 0;
    }
    return result;
}

// value >> shift rounded to nearest, ties to even; shift >= 1, possibly above 64.
uint64_t ShiftRightRounded(uint64_t value, int shift)
{
    if (shift > 64)
        return 0; // below half of the last kept place
    const uint64_t half = uint64_t{1} << (shift - 1);
    const uint64_t kept = shift == 64 ? 0 : value >> shift;
    const uint64_t rest = shift == 64 ? value : value & ((uint64_t{1} << shift) - 1);
    if (rest > half || (rest == half && (kept & 1) != 0))
        return kept + 1;
    return kept;
}

template <typename T> void EncodeAs(T value, std::span<uint8_t, 10> out)
{
    const bool negative = std::signbit(value);
    if (std::isnan(value)) {
        Store(out, negative, kMaxBiasedExponent, kIntegerBit | kQuietBit | PayloadOf(value));
        return;
    }
    if (std::isinf(value)) {
        Store(out, negative, kMaxBiasedExponent, kIntegerBit);
        return;
    }
    if (value == T(0)) {
        Store(out, negative, 0, 0);
        return;
    }

    int power = 0;
    const T fraction = std::frexp(std::fabs(value), &power); // |value| = fraction * 2^power
    int exponent = power + kExponentBias - 1;
    bool carry = false;
    uint64_t significand = 0;
    if (exponent >= 1) {
        significand = RoundToInteger(std::ldexp(fraction, 64), carry);
        if (carry) {
            significand = kIntegerBit;
            ++exponent;
        }
        if (exponent >= kMaxBiasedExponent) {
            // Rounded past the largest finite value.
            Store(out, negative, kMaxBiasedExponent, kIntegerBit);
            return;
        }
    } else {
        // Below the normal range: a denormal with exponent 0, unless rounding carries it up to
        // the smallest normal (integer bit set), which is written with exponent 1.
        significand = RoundToInteger(std::ldexp(fraction, power + kDenormalShift), carry);
        exponent = (significand & kIntegerBit) != 0 ? 1 : 0;
    }
    Store(out, negative, exponent, significand);
}

template <typename T> T DecodeAs(std::span<const uint8_t, 10> in)
{
    const uint64_t significand = GetLE64(in.data());
    const uint16_t top = GetLE16(in.data() + 8);
    const bool negative = (top & kSignBit) != 0;
    const int exponent = top & 0x7FFF;

    // A non-zero exponent with the integer bit clear (an unnormal, or a pseudo-infinity or
    // pseudo-NaN when the exponent is all ones) is an invalid operand to the x87 since the
    // 80387, which raises the invalid-operation exception on it; such bytes read as NaN.
    if (exponent != 0 && (significand & kIntegerBit) == 0)
        return std::copysign(std::numeric_limits<T>::quiet_NaN(), negative ? T(-1) : T(1));
    if (exponent == kMaxBiasedExponent) {
        if ((significand & ~kIntegerBit) == 0)
            return negative ? -std::numeric_limits<T>::infinity()
                            : std::numeric_limits<T>::infinity();
        // Quiet or signalling, a NaN reads as a quiet NaN with the same payload.
        return std::copysign(MakeNaN<T>(significand & kPayloadMask), negative ? T(-1) : T(1));
    }
    if (significand == 0)
        return negative ? -T(0) : T(0);

    // Exponent 0 with the integer bit set (a pseudo-denormal) gets the value the x87 gives it,
    // that of the same significand with exponent 1; the scale below does that by itself.
    const int scale = exponent == 0 ? -kDenormalShift : exponent - kExponentBias - 63;

    // Round the significand to the bits T has at this magnitude, then scale exactly.
    constexpr int kDigits = std::numeric_limits<T>::digits;
    constexpr int kMinExponent = std::numeric_limits<T>::min_exponent;
    const int width = std::bit_width(significand);
    const int magnitude = width + scale; // the value lies in [2^(magnitude-1), 2^magnitude)
    const int available =
        magnitude >= kMinExponent ? kDigits : kDigits - (kMinExponent - magnitude);
    uint64_t kept = significand;
    int shift = 0;
    if (available < width) {
        shift = width - available;
        kept = ShiftRightRounded(significand, shift);
    }
    // kept now fits T exactly; ldexp is exact too, or overflows to infinity as rounding to
    // nearest requires.
    const T result = std::ldexp(static_cast<T>(kept), scale + shift);
    return negative ? -result : result;
}

} // namespace

void EncodeExtended(long double value, std::span<uint8_t, 10> out)
{
    EncodeAs<long double>(value, out);
}

long double DecodeExtended(std::span<const uint8_t, 10> in)
{
    return DecodeAs<long double>(in);
}

namespace detail {

void EncodeExtendedFromDouble(double value, std::span<uint8_t, 10> out)
{
    EncodeAs<double>(value, out);
}

double DecodeExtendedToDouble(std::span<const uint8_t, 10> in)
{
    return DecodeAs<double>(in);
}

} // namespace detail
} // namespace tw
