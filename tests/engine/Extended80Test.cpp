#include "engine/Extended80.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Bytes = std::array<uint8_t, 10>;

constexpr bool kLongDoubleIs80Bit = std::numeric_limits<long double>::digits == 64;
#if defined(__x86_64__) || defined(__i386__)
// Only here is it known that long double is the x87 format, so that its first ten bytes in
// memory are exactly the file encoding.
constexpr bool kX87LongDouble = kLongDoubleIs80Bit;
#else
constexpr bool kX87LongDouble = false;
#endif

Bytes Encode(long double value)
{
    Bytes out{};
    tw::EncodeExtended(value, out);
    return out;
}

long double Decode(const Bytes& bytes)
{
    return tw::DecodeExtended(bytes);
}

Bytes EncodeD(double value)
{
    Bytes out{};
    tw::detail::EncodeExtendedFromDouble(value, out);
    return out;
}

double DecodeD(const Bytes& bytes)
{
    return tw::detail::DecodeExtendedToDouble(bytes);
}

Bytes Make(uint64_t significand, uint16_t signAndExponent)
{
    Bytes bytes{};
    tw::PutLE64(bytes.data(), significand);
    tw::PutLE16(bytes.data() + 8, signAndExponent);
    return bytes;
}

// The in-memory bytes of an x87 long double, and the value with the given bytes.
Bytes RawBytes(long double value)
{
    Bytes bytes{};
    std::memcpy(bytes.data(), &value, bytes.size());
    return bytes;
}

long double FromRaw(const Bytes& bytes)
{
    long double value = 0.0L; // the padding past byte 10 stays zero
    std::memcpy(&value, bytes.data(), bytes.size());
    return value;
}

uint64_t Bits(double value)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

TEST(Extended80Known, ExactValuesHaveTheirFileBytes)
{
    struct Case
    {
        long double value;
        Bytes bytes;
    };
    const std::vector<Case> cases = {
        {1.0L, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0xFF, 0x3F}},
        {-2.0L, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x00, 0xC0}},
        {0.75L, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0xFE, 0x3F}},
        {1000.0L, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFA, 0x08, 0x40}},
        {0.0L, {0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x00}},
        {-0.0L, {0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x80}},
        {std::numeric_limits<long double>::infinity(),
         {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0xFF, 0x7F}},
        {-std::numeric_limits<long double>::infinity(),
         {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0xFF, 0xFF}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Encode(c.value), c.bytes) << static_cast<double>(c.value);
        const long double back = Decode(c.bytes);
        EXPECT_EQ(back, c.value);
        EXPECT_EQ(std::signbit(back), std::signbit(c.value));
    }
}

TEST(Extended80Known, ExtendedOnlyValues)
{
    if (!kLongDoubleIs80Bit)
        GTEST_SKIP() << "long double is not the 80-bit format here";
    struct Case
    {
        long double value;
        Bytes bytes;
    };
    const std::vector<Case> cases = {
        // 0.1 rounded to 64 significant bits: 0.CCCC...CD (hex) x 2^-3.
        {0.1L, {0xCD, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0x3F}},
        {-0.1L, {0xCD, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0xBF}},
        // Smallest denormal, 2^-16445.
        {std::numeric_limits<long double>::denorm_min(),
         {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
        // Largest denormal.
        {std::numeric_limits<long double>::min() - std::numeric_limits<long double>::denorm_min(),
         {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x00}},
        // Smallest normal, 2^-16382.
        {std::numeric_limits<long double>::min(),
         {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x01, 0x00}},
        // Largest finite value and its negative.
        {std::numeric_limits<long double>::max(),
         {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x7F}},
        {std::numeric_limits<long double>::lowest(),
         {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF}},
        // 1 + 2^-63, the step above 1 that binary64 cannot hold.
        {1.0L + std::ldexp(1.0L, -63),
         {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0xFF, 0x3F}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Encode(c.value), c.bytes) << static_cast<double>(c.value);
        EXPECT_EQ(Decode(c.bytes), c.value);
    }
}

TEST(Extended80RoundTrip, MatchesTheX87MemoryLayoutBitForBit)
{
    if (!kX87LongDouble)
        GTEST_SKIP() << "long double is not the x87 format here";

    std::vector<Bytes> patterns;
    std::mt19937_64 random(20240611);
    for (int i = 0; i < 20000; ++i) {
        // Normal: any exponent but 0 and all ones, integer bit set.
        const auto exponent = static_cast<uint16_t>(1 + random() % 0x7FFE);
        const auto sign = static_cast<uint16_t>((random() & 1) << 15);
        patterns.push_back(Make(random() | (uint64_t{1} << 63), sign | exponent));
        // Denormal: exponent 0, integer bit clear, significands of every length.
        const uint64_t small = (random() >> 1) >> (random() % 63);
        patterns.push_back(Make(small == 0 ? 1 : small, sign));
    }
    for (const uint16_t sign : {uint16_t{0}, uint16_t{0x8000}}) {
        patterns.push_back(Make(0, sign));                          // zero
        patterns.push_back(Make(uint64_t{1} << 63, sign | 0x7FFF)); // infinity
        patterns.push_back(Make(uint64_t{3} << 62, sign | 0x7FFF)); // default quiet NaN
        patterns.push_back(Make(~uint64_t{0}, sign | 0x7FFE));      // largest finite
        patterns.push_back(Make(uint64_t{1} << 63, sign | 0x0001)); // smallest normal
        patterns.push_back(Make(1, sign));                          // smallest denormal
        patterns.push_back(Make((uint64_t{1} << 63) - 1, sign));    // largest denormal
        patterns.push_back(Make(uint64_t{1} << 63, sign | 0x3FFF)); // one
#if defined(__GLIBC__)
        // Quiet NaNs with payloads; they can only be read where the C library offers it.
        patterns.push_back(Make((uint64_t{3} << 62) | 1, sign | 0x7FFF));
        patterns.push_back(Make(~uint64_t{0}, sign | 0x7FFF));
        for (int i = 0; i < 100; ++i)
            patterns.push_back(Make((uint64_t{3} << 62) | (random() >> 2), sign | 0x7FFF));
#endif
    }

    for (const Bytes& pattern : patterns) {
        const long double value = FromRaw(pattern);
        ASSERT_EQ(Encode(value), pattern);
        ASSERT_EQ(RawBytes(Decode(pattern)), pattern);
    }
    // And through the value: decode(encode(x)) is the same bits as x.
    for (const Bytes& pattern : patterns) {
        const long double value = FromRaw(pattern);
        ASSERT_EQ(RawBytes(Decode(Encode(value))), RawBytes(value));
    }
}

TEST(Extended80RoundTrip, LibraryLimitsMatchTheX87Layout)
{
    if (!kX87LongDouble)
        GTEST_SKIP() << "long double is not the x87 format here";
    using L = std::numeric_limits<long double>;
    for (const long double value :
         {L::min(), L::max(), L::lowest(), L::denorm_min(), L::epsilon(), L::quiet_NaN(),
          -L::quiet_NaN(), L::infinity(), 0.1L, -1.0L / 3.0L}) {
        EXPECT_EQ(Encode(value), RawBytes(value));
    }
}

TEST(Extended80Denormals, ReadAndWrite)
{
    // 2^-16445 * 3 and 2^-16400, both below the smallest normal 2^-16382.
    const Bytes three = Make(3, 0x0000);
    const Bytes power = Make(uint64_t{1} << 45, 0x8000);
    if (kLongDoubleIs80Bit) {
        EXPECT_EQ(Decode(three), 3.0L * std::numeric_limits<long double>::denorm_min());
        EXPECT_EQ(Decode(power), -std::ldexp(1.0L, -16400));
        EXPECT_EQ(Encode(std::ldexp(1.0L, -16400)), Make(uint64_t{1} << 45, 0x0000));
        EXPECT_EQ(Encode(-std::ldexp(1.0L, -16400)), power);
    } else {
        // Far below any binary64 value: they round to zero, keeping the sign.
        EXPECT_EQ(Decode(three), 0.0L);
        EXPECT_FALSE(std::signbit(Decode(three)));
        EXPECT_TRUE(std::signbit(Decode(power)));
    }
    // A denormal read as binary64 is far below its range and goes to a signed zero.
    EXPECT_EQ(Bits(DecodeD(three)), Bits(0.0));
    EXPECT_EQ(Bits(DecodeD(power)), Bits(-0.0));
}

TEST(Extended80Denormals, PseudoDenormalReadsAsTheX87Does)
{
    // Exponent 0 with the integer bit set: the x87 takes it as exponent 1.
    const uint64_t significand = (uint64_t{1} << 63) | 0x123456789ABCDEFull;
    const long double pseudo = Decode(Make(significand, 0x8000));
    const long double normal = Decode(Make(significand, 0x8001));
    EXPECT_EQ(pseudo, normal);
    if (kLongDoubleIs80Bit) {
        EXPECT_LT(pseudo, 0.0L);
    }
    // Written back it takes the canonical form.
    EXPECT_EQ(Encode(pseudo), Make(significand, 0x8001));

    if (kX87LongDouble) {
        // The hardware agrees: adding zero normalises the pseudo-denormal.
        volatile long double zero = 0.0L;
        volatile long double raw = FromRaw(Make(significand, 0x8000));
        const long double sum = raw + zero;
        EXPECT_EQ(RawBytes(sum), Make(significand, 0x8001));
    }
}

TEST(Extended80Invalid, NaNsReadAsNaN)
{
    const std::vector<Bytes> nans = {
        Make(uint64_t{3} << 62, 0x7FFF),       // default quiet NaN
        Make(uint64_t{3} << 62, 0xFFFF),       // x87 "indefinite"
        Make((uint64_t{1} << 63) | 1, 0x7FFF), // signalling NaN
        Make(~uint64_t{0}, 0xFFFF),            // all ones
    };
    for (const Bytes& bytes : nans) {
        EXPECT_TRUE(std::isnan(Decode(bytes)));
        EXPECT_TRUE(std::isnan(DecodeD(bytes)));
        EXPECT_EQ(std::signbit(Decode(bytes)), (bytes[9] & 0x80) != 0);
    }
    // Whatever NaN comes in, a quiet NaN goes out, with the sign kept.
    for (const Bytes& bytes : nans) {
        const Bytes again = Encode(Decode(bytes));
        EXPECT_EQ(again[9], bytes[9]);
        EXPECT_EQ(again[8], 0xFF);
        EXPECT_EQ(again[7] & 0xC0, 0xC0);
    }
#if defined(__GLIBC__)
    // A signalling NaN becomes quiet but keeps its payload.
    EXPECT_EQ(Encode(Decode(Make((uint64_t{1} << 63) | 0x1234, 0x7FFF))),
              Make((uint64_t{3} << 62) | 0x1234, 0x7FFF));
    // binary64 keeps payloads up to 51 bits and drops larger ones.
    EXPECT_EQ(Bits(DecodeD(Make((uint64_t{3} << 62) | 0x1234, 0x7FFF))),
              0x7FF8000000000000ull | 0x1234);
    EXPECT_EQ(Bits(DecodeD(Make((uint64_t{3} << 62) | (uint64_t{1} << 51), 0x7FFF))),
              0x7FF8000000000000ull);
    EXPECT_EQ(EncodeD(std::bit_cast<double>(0xFFF8000000000000ull | 0xABCDEF)),
              Make((uint64_t{3} << 62) | 0xABCDEF, 0xFFFF));
#endif
}

TEST(Extended80Invalid, UnnormalsAndPseudoSpecialsReadAsNaN)
{
    const std::vector<Bytes> invalid = {
        Make(uint64_t{1} << 62, 0x3FFF),     // unnormal: would be 0.5 x 2^0
        Make(0x123456789ull, 0x0001),        // unnormal at the smallest exponent
        Make(0, 0x4000),                     // pseudo-zero
        Make(0, 0x7FFF),                     // pseudo-infinity
        Make(0, 0xFFFF),                     // negative pseudo-infinity
        Make(uint64_t{1} << 62, 0x7FFF),     // pseudo-NaN
        Make(0x7FFFFFFFFFFFFFFFull, 0x7FFE), // largest exponent, integer bit clear
    };
    for (const Bytes& bytes : invalid) {
        EXPECT_TRUE(std::isnan(Decode(bytes)));
        EXPECT_TRUE(std::isnan(DecodeD(bytes)));
    }
    if (kX87LongDouble) {
        // The hardware refuses them too: any arithmetic on one gives NaN.
        volatile long double zero = 0.0L;
        for (const Bytes& bytes : invalid) {
            volatile long double raw = FromRaw(bytes);
            const long double sum = raw + zero;
            EXPECT_TRUE(std::isnan(sum));
        }
    }
}

TEST(Extended80ToDouble, RoundsToNearestEven)
{
    const uint16_t one = 0x3FFF; // exponent of [1, 2)
    // 1 + 2^-53 is half way between 1 and the next double: ties go to the even 1.
    EXPECT_EQ(DecodeD(Make(0x8000000000000400ull, one)), 1.0);
    EXPECT_EQ(DecodeD(Make(0x80000000000003FFull, one)), 1.0);
    EXPECT_EQ(DecodeD(Make(0x8000000000000401ull, one)), 1.0 + 0x1p-52);
    // 1 + 3 x 2^-53 is half way between odd and even neighbours: up to the even one.
    EXPECT_EQ(DecodeD(Make(0x8000000000000C00ull, one)), 1.0 + 0x1p-51);
    // Just below 2 carries into the next binade.
    EXPECT_EQ(DecodeD(Make(~uint64_t{0}, one)), 2.0);
    EXPECT_EQ(DecodeD(Make(~uint64_t{0}, 0x8000 | one)), -2.0);
}

TEST(Extended80ToDouble, OverflowAndUnderflow)
{
    const double max = std::numeric_limits<double>::max();
    const double tiny = std::numeric_limits<double>::denorm_min();
    const uint16_t maxExponent = 1023 + 16383;
    EXPECT_EQ(DecodeD(Make(0xFFFFFFFFFFFFF800ull, maxExponent)), max);
    EXPECT_EQ(DecodeD(Make(0xFFFFFFFFFFFFFBFFull, maxExponent)), max);
    EXPECT_EQ(DecodeD(Make(0xFFFFFFFFFFFFFC00ull, maxExponent)),
              std::numeric_limits<double>::infinity());
    EXPECT_EQ(DecodeD(Make(~uint64_t{0}, 0xFFFE)), -std::numeric_limits<double>::infinity());

    const uint16_t tinyExponent = 16383 - 1074; // 2^-1074
    EXPECT_EQ(DecodeD(Make(uint64_t{1} << 63, tinyExponent)), tiny);
    // Half of the smallest subnormal ties to zero; anything above it rounds up.
    EXPECT_EQ(Bits(DecodeD(Make(uint64_t{1} << 63, tinyExponent - 1))), Bits(0.0));
    EXPECT_EQ(DecodeD(Make((uint64_t{1} << 63) | 1, tinyExponent - 1)), tiny);
    // 1.5 and 2.5 units of the last subnormal place go to 2 units.
    EXPECT_EQ(DecodeD(Make(uint64_t{3} << 62, tinyExponent)), 2 * tiny);
    EXPECT_EQ(DecodeD(Make(uint64_t{5} << 61, tinyExponent + 1)), 2 * tiny);
    // A subnormal double comes back exactly.
    EXPECT_EQ(DecodeD(EncodeD(12345 * tiny)), 12345 * tiny);
}

TEST(Extended80ToDouble, AgreesWithTheHardwareConversion)
{
    if (!kX87LongDouble)
        GTEST_SKIP() << "long double is not the x87 format here";
    // The x87 value converted to double rounds once, to nearest: the codec must match it,
    // across the normal range and where doubles turn subnormal or overflow.
    std::mt19937_64 random(77);
    for (int i = 0; i < 50000; ++i) {
        uint16_t exponent = 0;
        switch (i % 3) {
        case 0:
            exponent = static_cast<uint16_t>(16383 - 1100 + random() % 90);
            break;
        case 1:
            exponent = static_cast<uint16_t>(16383 + 1000 + random() % 40);
            break;
        default:
            exponent = static_cast<uint16_t>(16383 - 1030 + random() % 2060);
            break;
        }
        // Mostly random low bits, sometimes exact ties.
        uint64_t significand = random() | (uint64_t{1} << 63);
        if (random() % 4 == 0)
            significand &= ~uint64_t{0} << (random() % 64);
        const auto sign = static_cast<uint16_t>((random() & 1) << 15);
        const Bytes bytes = Make(significand, sign | exponent);
        const double hardware = static_cast<double>(FromRaw(bytes));
        ASSERT_EQ(Bits(DecodeD(bytes)), Bits(hardware));
    }
}

TEST(Extended80FromDouble, EveryDoubleRoundTripsAndMatchesLongDouble)
{
    std::mt19937_64 random(5);
    std::vector<double> values = {0.0,
                                  -0.0,
                                  1.0,
                                  -1.0,
                                  0.1,
                                  std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity()};
    for (int i = 0; i < 20000; ++i)
        values.push_back(std::bit_cast<double>(random()));
    for (const double value : values) {
        if (std::isnan(value))
            continue;
        const Bytes bytes = EncodeD(value);
        ASSERT_EQ(Bits(DecodeD(bytes)), Bits(value));
        // A double is exact in long double, so both ways of writing it agree.
        ASSERT_EQ(Encode(static_cast<long double>(value)), bytes);
        ASSERT_EQ(Bits(static_cast<double>(Decode(bytes))), Bits(value));
    }
}

TEST(Extended80LittleEndian, IntegersAndBinary64)
{
    uint8_t buffer[8] = {};
    tw::PutLE16(buffer, 0xBEEF);
    EXPECT_EQ(buffer[0], 0xEF);
    EXPECT_EQ(buffer[1], 0xBE);
    EXPECT_EQ(tw::GetLE16(buffer), 0xBEEF);

    tw::PutLE32(buffer, 0x12345678u);
    EXPECT_EQ((std::array<uint8_t, 4>{buffer[0], buffer[1], buffer[2], buffer[3]}),
              (std::array<uint8_t, 4>{0x78, 0x56, 0x34, 0x12}));
    EXPECT_EQ(tw::GetLE32(buffer), 0x12345678u);

    tw::PutLE64(buffer, 0x0102030405060708ull);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(buffer[i], 8 - i);
    EXPECT_EQ(tw::GetLE64(buffer), 0x0102030405060708ull);
    const uint8_t high[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(tw::GetLE64(high), ~uint64_t{0});
    EXPECT_EQ(tw::GetLE32(high), 0xFFFFFFFFu);
    EXPECT_EQ(tw::GetLE16(high), 0xFFFF);

    std::array<uint8_t, 8> d{};
    tw::EncodeDouble64(1.0, d);
    EXPECT_EQ(d, (std::array<uint8_t, 8>{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
    tw::EncodeDouble64(-2.5, d);
    EXPECT_EQ(d, (std::array<uint8_t, 8>{0, 0, 0, 0, 0, 0, 0x04, 0xC0}));
    EXPECT_EQ(tw::DecodeDouble64(d), -2.5);
    const double payloadNaN = std::bit_cast<double>(0x7FF8000000000123ull);
    tw::EncodeDouble64(payloadNaN, d);
    EXPECT_EQ(Bits(tw::DecodeDouble64(d)), 0x7FF8000000000123ull);
}

} // namespace
