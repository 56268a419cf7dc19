// Byte-level codecs used by the project file: the 10-byte 80-bit extended-precision format
// that stores engineering values, IEEE binary64, and little-endian integers.
#pragma once

#include <bit>
#include <cstdint>
#include <limits>
#include <span>

namespace tw {

// Writes `value` in the 80-bit extended format: bytes 0-7 hold the 64-bit significand with
// its explicit integer bit, bytes 8-9 the 15-bit exponent (bias 16383) and the sign in bit
// 15, both little-endian. Where long double is wider than 64 significand bits the value is
// rounded to nearest (ties to even). A NaN is written as a quiet NaN that keeps its sign and,
// where the platform can report it, its payload.
void EncodeExtended(long double value, std::span<uint8_t, 10> out);

// Reads an 80-bit extended value, rounding to nearest where long double is narrower. Encodings
// the x87 refuses as operands (pseudo-NaN, pseudo-infinity, unnormals) read as NaN.
long double DecodeExtended(std::span<const uint8_t, 10> in);

namespace detail {
// The same codec for binary64; the project file does not use it, but it runs the rounding
// paths that a long double narrower than 80 bits takes, so they can be tested on any machine.
void EncodeExtendedFromDouble(double value, std::span<uint8_t, 10> out);
double DecodeExtendedToDouble(std::span<const uint8_t, 10> in);
} // namespace detail

inline void PutLE16(uint8_t* p, uint16_t value)
{
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

inline void PutLE32(uint8_t* p, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(value >> (8 * i));
}

inline void PutLE64(uint8_t* p, uint64_t value)
{
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<uint8_t>(value >> (8 * i));
}

inline uint16_t GetLE16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t GetLE32(const uint8_t* p)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | p[i];
    return value;
}

inline uint64_t GetLE64(const uint8_t* p)
{
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | p[i];
    return value;
}

static_assert(std::numeric_limits<double>::is_iec559 && sizeof(double) == 8,
              "double must be IEEE binary64");

// IEEE binary64, little-endian. The bit pattern is kept as is, NaN payloads included.
inline void EncodeDouble64(double value, std::span<uint8_t, 8> out)
{
    PutLE64(out.data(), std::bit_cast<uint64_t>(value));
}

inline double DecodeDouble64(std::span<const uint8_t, 8> in)
{
    return std::bit_cast<double>(GetLE64(in.data()));
}

} // namespace tw
