#include "engine/Globals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

namespace tw {
namespace {

// Expected limits typed from the table of the input boxes: tag, English min/max/decimals,
// SI min/max/decimals.
struct ExpectedRow
{
    int tag;
    long double enMin, enMax;
    int enDecimals;
    long double siMin, siMax;
    int siDecimals;
};

const ExpectedRow kExpectedInputs[] = {
    {1, 5, 45, 1, 5, 45, 1},
    {2, 0, 33.3L, 1, 0, 33.3L, 1},
    {3, 0, 45, 1, 0, 45, 1},
    {4, 70, 110, 1, 70, 110, 1},
    {5, 90, 140, 1, 14.5L, 23, 1},
    {6, 0, 6000, 2, 0, 300, 2},
    {7, 5, 45, 1, 5, 45, 1},
    {8, -22.5L, 0, 1, -22.5L, 0, 1},
    {9, -45, 0, 1, -45, 0, 1},
    {10, 70, 110, 1, 70, 110, 1},
    {11, 1, 2, 2, 1, 2, 2},
    {12, 0, 5000, 0, 0, 250, 0},
    {14, 0, 25, 2, 0, 8, 1},
    {15, 90, 140, 1, 14.5L, 23, 1},
    {16, 1.5L, 15, 2, 0.5L, 4.5L, 2},
    {17, 3, 30, 2, 0.8L, 9, 2},
    {18, 29000, 30000, 0, 175000, 250000, 0},
    {19, 40, 150, 0, 250, 1000, 0},
    {20, 0, 4, 2, 0, 100, 2},
    {21, 0.5L, 6, 2, 0.15L, 2, 2},
    {22, 2.5L, 10, 2, 18, 75, 2},
    {23, 0, 0, 2, 0, 0, 2},
    {24, 0, 0, 2, 0, 0, 2},
    {25, 0, 0, 2, 0, 0, 2},
    {26, 0, 10000, 1, 0, 2700000, 0},
    {40, 20, 200, 1, 3, 30, 1},
    {41, 90, 1500, 1, 13.5L, 125, 1},
    {44, 400, 15000, 0, 60, 1250, 0},
    {46, 1, 3, 2, 0, 0, 2},
    {59, 0, 0, 2, 0, 0, 2},
    {75, 0, 0, 2, 0, 0, 2},
    {76, 0, 0, 3, 0, 0, 3},
    {77, 1100, 1800, 2, 7.5L, 15, 2},
    {78, 135, 300, 2, 1, 2.5L, 2},
    {79, 625, 900, 2, 4.3L, 8, 2},
    {80, 1, 1.5L, 2, 1, 1.5L, 2},
    {81, 1, 1.5L, 2, 1, 1.5L, 2},
    {86, 0.6L, 1, 1, 0.6L, 1, 1},
    {87, 4, 100, 0, 4, 100, 0},
    {88, 2, 9999, 1, 50, 99999, 1},
    {89, 0, 0, 1, 0, 0, 1},
    {90, 0, 0, 1, 0, 0, 1},
    {91, 0, 0, 2, 0, 0, 2},
    {93, 0, 100, 2, 0, 100, 2},
    {94, 0, 99999, 0, 0, 99999, 1},
    {95, 0, 10, 1, 0, 10, 1},
    {98, 3.5L, 8, 2, 1, 2.5L, 3},
    {99, 0, 0, 2, 0, 0, 3},
    {100, 0, 0, 2, 0, 0, 3},
    {101, 50, 100, 0, 0.7L, 1.5L, 2},
    {102, 200, 500, 0, 0.8L, 2.3L, 2},
    {103, 0, 0, 2, 0, 0, 2},
};

// Result rows: tag, English decimals, SI decimals (no limits).
struct ExpectedResult
{
    int tag;
    int enDecimals;
    int siDecimals;
};

const ExpectedResult kExpectedResults[] = {
    {42, 3, 3}, {43, 3, 3}, {51, 2, 2}, {52, 0, 0},  {53, 1, 1},  {54, 3, 2},
    {55, 0, 1}, {56, 0, 1}, {57, 0, 0}, {58, 0, 1},  {60, 0, 0},  {61, 0, 1},
    {62, 0, 0}, {63, 0, 0}, {64, 0, 0}, {65, 0, 1},  {66, 0, 0},  {67, 1, 1},
    {68, 0, 2}, {69, 0, 3}, {70, 0, 2}, {82, 0, 2},  {83, 3, 2},  {84, 3, 0},
    {85, 2, 2}, {92, 2, 2}, {97, 2, 2}, {104, 2, 1}, {105, 2, 2}, {106, 2, 2},
};

const TNumberFormat kEnglishFormat{".", ","};
const TNumberFormat kEuropeanFormat{",", "."};
const TNumberFormat kSpaceGroupedFormat{",", "\u00A0"}; // no-break space between groups
const TNumberFormat kArabicFormat{"\u066B", "\u066C"};  // Arabic decimal and thousands signs

// ---------------------------------------------------------------------------------------------
// Limit tables

TEST(GlobalsLimitTable, InputTagsMatchTheirLimitsInBothSystems)
{
    for (const ExpectedRow& row : kExpectedInputs) {
        SCOPED_TRACE("tag " + std::to_string(row.tag));
        const TInputLimit en = LimitForTag(EnglishInputLimits(), row.tag);
        EXPECT_EQ(en.Min, row.enMin);
        EXPECT_EQ(en.Max, row.enMax);
        EXPECT_EQ(en.Decimals, row.enDecimals);
        const TInputLimit si = LimitForTag(SIInputLimits(), row.tag);
        EXPECT_EQ(si.Min, row.siMin);
        EXPECT_EQ(si.Max, row.siMax);
        EXPECT_EQ(si.Decimals, row.siDecimals);
    }
}

TEST(GlobalsLimitTable, ResultTagsHaveNoLimitsAndTheirRowDecimals)
{
    for (const ExpectedResult& row : kExpectedResults) {
        SCOPED_TRACE("tag " + std::to_string(row.tag));
        const TInputLimit en = LimitForTag(EnglishInputLimits(), row.tag);
        const TInputLimit si = LimitForTag(SIInputLimits(), row.tag);
        EXPECT_EQ(en.Min, 0);
        EXPECT_EQ(en.Max, 0);
        EXPECT_EQ(si.Min, 0);
        EXPECT_EQ(si.Max, 0);
        EXPECT_EQ(en.Decimals, row.enDecimals);
        EXPECT_EQ(si.Decimals, row.siDecimals);
    }
}

TEST(GlobalsLimitTable, TagsUsedByNoBoxAreAllZero)
{
    std::set<int> used;
    for (const ExpectedRow& row : kExpectedInputs)
        used.insert(row.tag);
    for (const ExpectedResult& row : kExpectedResults)
        used.insert(row.tag);
    int unused = 0;
    for (int tag = 1; tag <= kInputLimitCount; ++tag) {
        if (used.count(tag) != 0)
            continue;
        ++unused;
        SCOPED_TRACE("tag " + std::to_string(tag));
        for (const InputLimitTable* table : {&EnglishInputLimits(), &SIInputLimits()}) {
            const TInputLimit limit = LimitForTag(*table, tag);
            EXPECT_EQ(limit.Min, 0);
            EXPECT_EQ(limit.Max, 0);
            EXPECT_EQ(limit.Decimals, 0);
        }
    }
    // 13, 27 to 39, 45, 47 to 50, 71 to 74 and 96.
    EXPECT_EQ(unused, 24);
}

TEST(GlobalsLimitTable, TagsOutsideTheTableHaveTwoDecimalsAndNoLimits)
{
    for (int tag : {0, -1, 107, 1000}) {
        SCOPED_TRACE("tag " + std::to_string(tag));
        const TInputLimit limit = LimitForTag(EnglishInputLimits(), tag);
        EXPECT_EQ(limit.Min, 0);
        EXPECT_EQ(limit.Max, 0);
        EXPECT_EQ(limit.Decimals, 2);
    }
    EXPECT_EQ(ShowNumber(SIInputLimits(), 0, false, 1e6L, kEnglishFormat), "1000000.00");
    EXPECT_EQ(ShowNumber(SIInputLimits(), 107, false, -3.14159L, kEnglishFormat), "-3.14");
}

TEST(GlobalsLimitTable, NamedTagsAndTableSelection)
{
    EXPECT_EQ(Tag::SoilFrictionAngle, 1);
    EXPECT_EQ(Tag::ShoredHeight, 17);
    EXPECT_EQ(Tag::PassiveWedgeMultiplier, 46);
    EXPECT_EQ(Tag::NumberOfBars, 87);
    EXPECT_EQ(Tag::ClearCover, 88);
    EXPECT_EQ(Tag::ResultMaxDeflection, 54);
    EXPECT_EQ(&InputLimitsFor(TUnitSystem::usEnglish), &EnglishInputLimits());
    EXPECT_EQ(&InputLimitsFor(TUnitSystem::usSI), &SIInputLimits());
    EXPECT_EQ(LimitForTag(InputLimitsFor(TUnitSystem::usSI), Tag::ShoredHeight).Max, 9);
}

// ---------------------------------------------------------------------------------------------
// Fixed-point formatting

TEST(GlobalsFormatFixed, PadsToTheDecimalsWithoutThousandsSeparators)
{
    EXPECT_EQ(FormatFixed(1234.5L, 2, 10, "."), "1234.50");
    EXPECT_EQ(FormatFixed(1234567.0L, 1, 10, "."), "1234567.0");
    EXPECT_EQ(FormatFixed(0, 3, 10, "."), "0.000");
    EXPECT_EQ(FormatFixed(42.4L, 0, 10, "."), "42");
    EXPECT_EQ(FormatFixed(-7, 1, 10, "."), "-7.0");
    EXPECT_EQ(FormatFixed(0.5L, 4, 10, "."), "0.5000");
    EXPECT_EQ(FormatFixed(3.14159L, 4, 3, "."), "3.1400");
}

TEST(GlobalsFormatFixed, RoundsTheExactValueHalfAwayFromZero)
{
    // Ties that are exact in binary round away from zero, not to even.
    EXPECT_EQ(FormatFixed(0.125L, 2, 10, "."), "0.13");
    EXPECT_EQ(FormatFixed(-0.125L, 2, 10, "."), "-0.13");
    EXPECT_EQ(FormatFixed(0.625L, 2, 10, "."), "0.63");
    EXPECT_EQ(FormatFixed(2.5L, 0, 10, "."), "3");
    EXPECT_EQ(FormatFixed(-2.5L, 0, 10, "."), "-3");
    EXPECT_EQ(FormatFixed(0.5L, 0, 10, "."), "1");
    EXPECT_EQ(FormatFixed(1.5L, 0, 10, "."), "2");
    // The doubles nearest 2.675 and 1.005 lie below the tie, so they round down.
    EXPECT_EQ(FormatFixed(static_cast<long double>(2.675), 2, 10, "."), "2.67");
    EXPECT_EQ(FormatFixed(static_cast<long double>(1.005), 2, 10, "."), "1.00");
    // A value just above the tie by one unit in the last place rounds up.
    EXPECT_EQ(FormatFixed(std::nextafter(0.125L, 1.0L), 2, 10, "."), "0.13");
    EXPECT_EQ(FormatFixed(std::nextafter(0.125L, 0.0L), 2, 10, "."), "0.12");
}

TEST(GlobalsFormatFixed, CarriesIntoNewDigits)
{
    EXPECT_EQ(FormatFixed(99.996L, 2, 10, "."), "100.00");
    EXPECT_EQ(FormatFixed(0.9999999999999L, 2, 10, "."), "1.00");
    EXPECT_EQ(FormatFixed(-9.96L, 1, 10, "."), "-10.0");
    EXPECT_EQ(FormatFixed(0.006L, 2, 10, "."), "0.01");
    EXPECT_EQ(FormatFixed(0.0049L, 2, 10, "."), "0.00");
}

TEST(GlobalsFormatFixed, ZeroHasNoMinusSign)
{
    EXPECT_EQ(FormatFixed(-0.001L, 2, 10, "."), "0.00");
    EXPECT_EQ(FormatFixed(-0.0L, 2, 10, "."), "0.00");
    EXPECT_EQ(FormatFixed(-0.4L, 0, 10, "."), "0");
    EXPECT_EQ(FormatFixed(-1e-300L, 3, 10, "."), "0.000");
    EXPECT_EQ(FormatFixed(std::numeric_limits<long double>::denorm_min(), 2, 10, "."), "0.00");
}

TEST(GlobalsFormatFixed, KeepsAtMostTenSignificantDigits)
{
    EXPECT_EQ(FormatFixed(123456789.123L, 2, 10, "."), "123456789.10");
    EXPECT_EQ(FormatFixed(1234567890.6L, 0, 10, "."), "1234567891");
    EXPECT_EQ(FormatFixed(1234567890.6L, 2, 10, "."), "1234567891.00");
    EXPECT_EQ(FormatFixed(0.000123456789012345L, 20, 10, "."), "0.00012345678900000000");
    EXPECT_EQ(FormatFixed(1.23456789049L, 12, 10, "."), "1.234567890000");
    EXPECT_EQ(FormatFixed(1.23456789051L, 12, 10, "."), "1.234567891000");
}

TEST(GlobalsFormatFixed, LargeIntegerPartsUseScientificNotation)
{
    EXPECT_EQ(FormatFixed(9999999999.0L, 2, 10, "."), "9999999999.00");
    EXPECT_EQ(FormatFixed(9999999999.5L, 2, 10, "."), "1E+10");
    EXPECT_EQ(FormatFixed(12345678901.0L, 2, 10, "."), "1.23456789E+10");
    EXPECT_EQ(FormatFixed(12345678951.0L, 0, 10, "."), "1.234567895E+10");
    EXPECT_EQ(FormatFixed(1e15L, 2, 10, "."), "1E+15");
    EXPECT_EQ(FormatFixed(-1.5e20L, 2, 10, ","), "-1,5E+20");
    EXPECT_EQ(FormatFixed(1e100L, 2, 10, "."), "1E+100");
    EXPECT_EQ(FormatFixed(std::numeric_limits<long double>::max(), 2, 10, "."),
              "1.189731495E+4932");
}

TEST(GlobalsFormatFixed, InfinityAndNaN)
{
    const long double inf = std::numeric_limits<long double>::infinity();
    EXPECT_EQ(FormatFixed(inf, 2, 10, "."), "INF");
    EXPECT_EQ(FormatFixed(-inf, 2, 10, "."), "-INF");
    EXPECT_EQ(FormatFixed(std::numeric_limits<long double>::quiet_NaN(), 2, 10, "."), "N.A.");
}

TEST(GlobalsFormatFixed, UsesTheGivenDecimalSeparator)
{
    EXPECT_EQ(FormatFixed(1234.5L, 2, 10, ","), "1234,50");
    EXPECT_EQ(FormatFixed(-0.25L, 3, 10, "\u066B"), "-0\u066B250");
    EXPECT_EQ(FormatFixed(7, 0, 10, ","), "7");
}

// ---------------------------------------------------------------------------------------------
// ShowNumber

TEST(GlobalsShowNumber, NaNIsShownAsNotAvailable)
{
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    EXPECT_EQ(ShowNumber(EnglishInputLimits(), Tag::ShoredHeight, false, nan, kEnglishFormat),
              "N.A.");
    EXPECT_EQ(ShowNumber(EnglishInputLimits(), Tag::ResultLength, true, nan, kEnglishFormat),
              "N.A.");
}

TEST(GlobalsShowNumber, ClampsIntoTheTagLimitsUnlessNoClamp)
{
    const auto& en = EnglishInputLimits();
    const auto& si = SIInputLimits();
    EXPECT_EQ(ShowNumber(en, Tag::ShoredHeight, false, 50, kEnglishFormat), "30.00");
    EXPECT_EQ(ShowNumber(en, Tag::ShoredHeight, false, 1, kEnglishFormat), "3.00");
    EXPECT_EQ(ShowNumber(en, Tag::ShoredHeight, false, 12.345L, kEnglishFormat), "12.35");
    EXPECT_EQ(ShowNumber(en, Tag::ShoredHeight, true, 50, kEnglishFormat), "50.00");
    EXPECT_EQ(ShowNumber(en, Tag::ShoredHeight, true, 1, kEnglishFormat), "1.00");
    // 20 ft kept as a number becomes the SI maximum of 9 m.
    EXPECT_EQ(ShowNumber(si, Tag::ShoredHeight, false, 20, kEnglishFormat), "9.00");
    // A result sharing an input's tag takes its limits: E.F.P. Active of 250 shows 200.0.
    EXPECT_EQ(ShowNumber(en, Tag::EquivBackfillPressure, false, 250, kEnglishFormat), "200.0");
    // Limits with one bound at zero still clamp on that side.
    EXPECT_EQ(ShowNumber(en, Tag::VerticalSurcharge, false, -5, kEnglishFormat), "0.00");
    EXPECT_EQ(ShowNumber(en, Tag::PassiveSoilPileFrictionAngle, false, 5, kEnglishFormat), "0.0");
    EXPECT_EQ(ShowNumber(en, Tag::PassiveSoilPileFrictionAngle, false, -30, kEnglishFormat),
              "-22.5");
    // Tags without limits never clamp.
    EXPECT_EQ(ShowNumber(en, Tag::AxialLoad, false, -1e6L, kEnglishFormat), "-1000000.00");
    EXPECT_EQ(ShowNumber(si, Tag::PassiveWedgeMultiplier, false, 5, kEnglishFormat), "5.00");
    EXPECT_EQ(ShowNumber(en, Tag::PassiveWedgeMultiplier, false, 5, kEnglishFormat), "3.00");
}

TEST(GlobalsShowNumber, InfinityClampsOrShowsAsInf)
{
    const long double inf = std::numeric_limits<long double>::infinity();
    EXPECT_EQ(ShowNumber(EnglishInputLimits(), Tag::ShoredHeight, false, inf, kEnglishFormat),
              "30.00");
    EXPECT_EQ(ShowNumber(EnglishInputLimits(), Tag::ShoredHeight, false, -inf, kEnglishFormat),
              "3.00");
    EXPECT_EQ(ShowNumber(EnglishInputLimits(), Tag::AxialLoad, false, inf, kEnglishFormat), "INF");
    EXPECT_EQ(ShowNumber(EnglishInputLimits(), Tag::ShoredHeight, true, -inf, kEnglishFormat),
              "-INF");
}

TEST(GlobalsShowNumber, DecimalsFollowTheTagAndTheUnitSystem)
{
    const auto& en = EnglishInputLimits();
    const auto& si = SIInputLimits();
    EXPECT_EQ(ShowNumber(en, Tag::ResultMaxDeflection, false, 0.12345L, kEnglishFormat), "0.123");
    EXPECT_EQ(ShowNumber(si, Tag::ResultMaxDeflection, false, 12.345L, kEnglishFormat), "12.35");
    EXPECT_EQ(ShowNumber(en, Tag::ResultKa, false, 0.33333L, kEnglishFormat), "0.333");
    EXPECT_EQ(ShowNumber(en, Tag::ResultAllowableShear, false, 85.5L, kEnglishFormat), "86");
    EXPECT_EQ(ShowNumber(si, Tag::ResultAllowableShear, false, 85.55L, kEnglishFormat), "85.6");
    EXPECT_EQ(ShowNumber(en, Tag::ClearCover, false, 3, kEnglishFormat), "3.0");
    EXPECT_EQ(ShowNumber(en, Tag::NumberOfBars, false, 8, kEnglishFormat), "8");
    EXPECT_EQ(ShowNumber(si, Tag::GuardrailLength, false, 2, kEnglishFormat), "2.000");
    EXPECT_EQ(ShowNumber(en, Tag::DialogNumber, false, 1.5L, kEnglishFormat), "1.50");
}

TEST(GlobalsShowNumber, WritesTheLocaleDecimalSeparator)
{
    const auto& si = SIInputLimits();
    EXPECT_EQ(ShowNumber(si, Tag::ShoredHeight, false, 2.5L, kEuropeanFormat), "2,50");
    EXPECT_EQ(ShowNumber(si, Tag::AxialLoad, false, 1234567.891L, kEuropeanFormat), "1234567,89");
    EXPECT_EQ(ShowNumber(si, Tag::ShoredHeight, false, 2.5L, kArabicFormat), "2\u066B50");
    EXPECT_EQ(ShowNumber(si, Tag::Cohesion, false, 12.5L, kEuropeanFormat), "13");
}

// ---------------------------------------------------------------------------------------------
// ParseNumber

TEST(GlobalsParseNumber, AcceptsPlainNumbersExactly)
{
    EXPECT_EQ(ParseNumber("12.5", kEnglishFormat), 12.5L);
    EXPECT_EQ(ParseNumber("0.1", kEnglishFormat), 0.1L); // long double, not double, precision
    EXPECT_EQ(ParseNumber(" \t12.5 ", kEnglishFormat), 12.5L);
    EXPECT_EQ(ParseNumber("+3", kEnglishFormat), 3.0L);
    EXPECT_EQ(ParseNumber("-.5", kEnglishFormat), -0.5L);
    EXPECT_EQ(ParseNumber("5.", kEnglishFormat), 5.0L);
    EXPECT_EQ(ParseNumber("1e3", kEnglishFormat), 1000.0L);
    EXPECT_EQ(ParseNumber("1.5E-2", kEnglishFormat), 0.015L);
    EXPECT_EQ(ParseNumber("-2.5e+1", kEnglishFormat), -25.0L);
    EXPECT_EQ(ParseNumber("007", kEnglishFormat), 7.0L);
    const auto negativeZero = ParseNumber("-0", kEnglishFormat);
    ASSERT_TRUE(negativeZero.has_value());
    EXPECT_EQ(*negativeZero, 0.0L);
}

TEST(GlobalsParseNumber, UsesTheGivenDecimalSeparatorOnly)
{
    EXPECT_EQ(ParseNumber("1234,5", kEuropeanFormat), 1234.5L);
    EXPECT_EQ(ParseNumber(",25", kEuropeanFormat), 0.25L);
    EXPECT_EQ(ParseNumber("2\u066B75", kArabicFormat), 2.75L);
    EXPECT_FALSE(ParseNumber("1.5", kEuropeanFormat).has_value());
    EXPECT_FALSE(ParseNumber("1,5", kEnglishFormat).has_value());
    EXPECT_FALSE(ParseNumber("1.000", kEuropeanFormat).has_value());
    // Only the first byte of a multi-byte separator is not a separator.
    EXPECT_FALSE(ParseNumber("2\xD9"
                             "75",
                             kArabicFormat)
                     .has_value());
}

TEST(GlobalsParseNumber, RejectsTextThatIsNotANumber)
{
    for (const char* text :
         {"",   "  ",  "-",   "+",   "12-",  "1.2.3", "1e",  "1e+",   "e5",  ".",
          "-.", "1 2", "abc", "3ft", "0x10", "inf",   "nan", "1,000", "--1", "1e5.0"}) {
        SCOPED_TRACE(std::string("text \"") + text + "\"");
        EXPECT_FALSE(ParseNumber(text, kEnglishFormat).has_value());
    }
}

TEST(GlobalsParseNumber, OverflowIsNotANumberUnderflowIsZero)
{
    EXPECT_FALSE(ParseNumber("1e99999", kEnglishFormat).has_value());
    EXPECT_FALSE(ParseNumber("-1e99999999999999999999", kEnglishFormat).has_value());
    EXPECT_EQ(ParseNumber("1e-99999", kEnglishFormat), 0.0L);
    EXPECT_EQ(ParseNumber("0e99999", kEnglishFormat), 0.0L);
    EXPECT_EQ(ParseNumber("1e4000", kEnglishFormat), 1e4000L);
}

// ---------------------------------------------------------------------------------------------
// ReadNumber

TEST(GlobalsReadNumber, DropsThousandsSeparators)
{
    const auto& en = EnglishInputLimits();
    const TReadResult r = ReadNumber(en, Tag::AxialLoad, "3,500", 0, 0, kEnglishFormat);
    EXPECT_EQ(r.value, 3500.0L);
    EXPECT_FALSE(r.rewrite);

    const TReadResult big = ReadNumber(en, Tag::AxialLoad, "1,234,567.25", 0, 0, kEnglishFormat);
    EXPECT_EQ(big.value, 1234567.25L);
    EXPECT_FALSE(big.rewrite);
}

TEST(GlobalsReadNumber, ReadsEuropeanAndMultiByteGrouping)
{
    const auto& si = SIInputLimits();
    const TReadResult r = ReadNumber(si, Tag::AxialLoad, "1.234,5", 0, 0, kEuropeanFormat);
    EXPECT_EQ(r.value, 1234.5L);
    EXPECT_FALSE(r.rewrite);

    const TReadResult nbsp =
        ReadNumber(si, Tag::AxialLoad, "12\u00A0345,5", 0, 0, kSpaceGroupedFormat);
    EXPECT_EQ(nbsp.value, 12345.5L);
    EXPECT_FALSE(nbsp.rewrite);

    // Grouped and then clamped: the box is rewritten with the European decimal separator.
    const TReadResult clamped =
        ReadNumber(si, Tag::ElasticModulus, "1.000.000", 0, 0, kEuropeanFormat);
    EXPECT_EQ(clamped.value, 250000.0L);
    EXPECT_TRUE(clamped.rewrite);
    EXPECT_EQ(clamped.text, "250000");

    const TReadResult height = ReadNumber(si, Tag::ShoredHeight, "12,5", 0, 0, kEuropeanFormat);
    EXPECT_EQ(height.value, 9.0L);
    EXPECT_EQ(height.text, "9,00");
}

TEST(GlobalsReadNumber, JunkReadsAsZeroAndIsClamped)
{
    const auto& en = EnglishInputLimits();
    const TReadResult letters = ReadNumber(en, Tag::ShoredHeight, "abc", 0, 0, kEnglishFormat);
    EXPECT_EQ(letters.value, 3.0L);
    EXPECT_TRUE(letters.rewrite);
    EXPECT_EQ(letters.text, "3.00");

    const TReadResult empty = ReadNumber(en, Tag::ShoredHeight, "", 0, 0, kEnglishFormat);
    EXPECT_EQ(empty.value, 3.0L);
    EXPECT_EQ(empty.text, "3.00");

    // Without limits junk reads as 0 and equals the converted 0: the box is left alone.
    const TReadResult free = ReadNumber(en, Tag::AxialLoad, "abc", 0, 0, kEnglishFormat);
    EXPECT_EQ(free.value, 0.0L);
    EXPECT_FALSE(free.rewrite);
}

TEST(GlobalsReadNumber, ClampsToTheTableOfTheUnitSystem)
{
    const TReadResult en =
        ReadNumber(EnglishInputLimits(), Tag::PassiveWedgeMultiplier, "5", 0, 0, kEnglishFormat);
    EXPECT_EQ(en.value, 3.0L);
    EXPECT_TRUE(en.rewrite);
    EXPECT_EQ(en.text, "3.00");

    const TReadResult si =
        ReadNumber(SIInputLimits(), Tag::PassiveWedgeMultiplier, "5", 0, 0, kEnglishFormat);
    EXPECT_EQ(si.value, 5.0L);
    EXPECT_FALSE(si.rewrite);

    const TReadResult low =
        ReadNumber(EnglishInputLimits(), Tag::SoilFrictionAngle, "2", 0, 0, kEnglishFormat);
    EXPECT_EQ(low.value, 5.0L);
    EXPECT_EQ(low.text, "5.0");

    const TReadResult bars =
        ReadNumber(EnglishInputLimits(), Tag::NumberOfBars, "200", 0, 0, kEnglishFormat);
    EXPECT_EQ(bars.value, 100.0L);
    EXPECT_EQ(bars.text, "100");
}

TEST(GlobalsReadNumber, InRangeValuesKeepTheirFullPrecision)
{
    const TReadResult r =
        ReadNumber(EnglishInputLimits(), Tag::ShoredHeight, "12.345", 0, 0, kEnglishFormat);
    EXPECT_EQ(r.value, 12.345L);
    EXPECT_FALSE(r.rewrite);
    EXPECT_TRUE(r.text.empty());
}

TEST(GlobalsReadNumber, ExplicitBoundsReplaceTheTableLimits)
{
    const auto& en = EnglishInputLimits();
    // Number of Bars read with a lower bound of 4 and no upper bound: 200 stays 200.
    const TReadResult bars = ReadNumber(en, Tag::NumberOfBars, "200", 4, 0, kEnglishFormat);
    EXPECT_EQ(bars.value, 200.0L);
    EXPECT_FALSE(bars.rewrite);

    // Clear Cover of 1 in with an explicit lower bound of 2 becomes 2.0.
    const TReadResult cover = ReadNumber(en, Tag::ClearCover, "1", 2, 0, kEnglishFormat);
    EXPECT_EQ(cover.value, 2.0L);
    EXPECT_TRUE(cover.rewrite);
    EXPECT_EQ(cover.text, "2.0");

    // Below the table minimum but within the explicit bounds: not clamped to the table.
    const TReadResult height = ReadNumber(en, Tag::ShoredHeight, "1", 0, 20, kEnglishFormat);
    EXPECT_EQ(height.value, 1.0L);
    EXPECT_FALSE(height.rewrite);

    const TReadResult upper = ReadNumber(en, Tag::ShoredHeight, "25", 0, 20, kEnglishFormat);
    EXPECT_EQ(upper.value, 20.0L);
    EXPECT_TRUE(upper.rewrite);
    EXPECT_EQ(upper.text, "20.00");

    // The rewritten text is written with clamping on, so it shows the table limit.
    const TReadResult beyond = ReadNumber(en, Tag::ShoredHeight, "50", 0, 40, kEnglishFormat);
    EXPECT_EQ(beyond.value, 40.0L);
    EXPECT_TRUE(beyond.rewrite);
    EXPECT_EQ(beyond.text, "30.00");
}

TEST(GlobalsReadNumber, ExplicitLowerBoundIsTestedFirst)
{
    const auto& en = EnglishInputLimits();
    // Below the lower bound: raised to it, the (smaller) upper bound is not tested.
    const TReadResult low = ReadNumber(en, Tag::AxialLoad, "5", 10, 8, kEnglishFormat);
    EXPECT_EQ(low.value, 10.0L);
    EXPECT_EQ(low.text, "10.00");
    // Not below the lower bound: the upper bound applies.
    const TReadResult high = ReadNumber(en, Tag::AxialLoad, "20", 10, 8, kEnglishFormat);
    EXPECT_EQ(high.value, 8.0L);
    EXPECT_EQ(high.text, "8.00");
    // Negative bounds are bounds too.
    const TReadResult negative = ReadNumber(en, Tag::AxialLoad, "-9", -5, 0, kEnglishFormat);
    EXPECT_EQ(negative.value, -5.0L);
}

// A thousands separator is dropped only between groups of three digits of the integer part.
// Elsewhere a comma or a point stands where the decimal separator is expected: alone, it is
// read as the separator; otherwise the text is not a number (0).
TEST(GlobalsReadNumber, SeparatorsOutsideGroupsOfThreeAreNeverDropped)
{
    const TNumberFormat kFrenchFormat{",", "\u00A0"};
    const struct
    {
        const char* text;
        const TNumberFormat& format;
        long double value;
    } cases[] = {
        {"4,5", kEnglishFormat, 4.5L},
        {"-4,5", kEnglishFormat, -4.5L},
        {",25", kEnglishFormat, 0.25L},
        {"0,500", kEnglishFormat, 0.5L}, // a group does not start with 0
        {"12,3456", kEnglishFormat, 12.3456L},
        {"4,5e2", kEnglishFormat, 450.0L},
        {"1,5,6", kEnglishFormat, 0.0L},
        {"1,234,56", kEnglishFormat, 0.0L},
        {"1,50.5", kEnglishFormat, 0.0L},
        {"1.5,5", kEnglishFormat, 0.0L},
        {"3,500", kEnglishFormat, 3500.0L},
        {"-1,234,567.5", kEnglishFormat, -1234567.5L},
        {"4.5", kEuropeanFormat, 4.5L},
        {"1.234,5", kEuropeanFormat, 1234.5L},
        {"1.2.3", kEuropeanFormat, 0.0L},
        {"4.5", kFrenchFormat, 4.5L},
        {"12\u00A034", kFrenchFormat, 0.0L},
        {"12\u00A0345,5", kFrenchFormat, 12345.5L},
        {"2.75", kArabicFormat, 2.75L},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ReadNumber(EnglishInputLimits(), Tag::AxialLoad, c.text, 0, 0, c.format).value,
                  c.value);
    }
}

// ---------------------------------------------------------------------------------------------
// Key filter

TEST(GlobalsKeyFilter, AcceptsDigitsMinusBackspaceAndSeparatorsOnly)
{
    for (char32_t key = U'0'; key <= U'9'; ++key)
        EXPECT_TRUE(NumericKeyAccepted(key, "1.5", kEnglishFormat));
    EXPECT_TRUE(NumericKeyAccepted(8, "12", kEnglishFormat));
    EXPECT_TRUE(NumericKeyAccepted(U'-', "", kEnglishFormat));
    EXPECT_TRUE(NumericKeyAccepted(U'-', "--5-", kEnglishFormat));
    for (char32_t key : {U'a', U'E', U'e', U'+', U' ', U'\t', U'\r', U'\n', char32_t{0},
                         char32_t{27}, char32_t{127}, U'\u00A0', U'\u066B', U'\U0001F600'}) {
        SCOPED_TRACE(static_cast<unsigned>(key));
        EXPECT_FALSE(NumericKeyAccepted(key, "12", kEnglishFormat));
    }
}

TEST(GlobalsKeyFilter, AcceptsOneDecimalSeparator)
{
    EXPECT_TRUE(NumericKeyAccepted(U'.', "12", kEnglishFormat));
    EXPECT_TRUE(NumericKeyAccepted(U'.', "", kEnglishFormat));
    EXPECT_FALSE(NumericKeyAccepted(U'.', "1.2", kEnglishFormat));
    EXPECT_FALSE(NumericKeyAccepted(U'.', ".", kEnglishFormat));

    EXPECT_TRUE(NumericKeyAccepted(U',', "12", kEuropeanFormat));
    EXPECT_FALSE(NumericKeyAccepted(U',', "1,2", kEuropeanFormat));

    EXPECT_TRUE(NumericKeyAccepted(U'\u066B', "12", kArabicFormat));
    EXPECT_FALSE(NumericKeyAccepted(U'\u066B', "1\u066B2", kArabicFormat));
}

TEST(GlobalsKeyFilter, MinusAfterDigitsIsTypedThenReadsAsZero)
{
    std::string box;
    for (char32_t key : {U'1', U'2', U'-'}) {
        ASSERT_TRUE(NumericKeyAccepted(key, box, kEnglishFormat));
        box += static_cast<char>(key);
    }
    EXPECT_EQ(box, "12-");

    const TReadResult free =
        ReadNumber(EnglishInputLimits(), Tag::AxialLoad, box, 0, 0, kEnglishFormat);
    EXPECT_EQ(free.value, 0.0L);
    const TReadResult height =
        ReadNumber(EnglishInputLimits(), Tag::ShoredHeight, box, 0, 0, kEnglishFormat);
    EXPECT_EQ(height.value, 3.0L);
    EXPECT_TRUE(height.rewrite);
    EXPECT_EQ(height.text, "3.00");
}

// ---------------------------------------------------------------------------------------------

// True when text is three dot-separated runs of digits (what ^\d+\.\d+\.\d+$ matches).
bool IsThreePartVersion(const std::string& text)
{
    int parts = 0;
    size_t runLength = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            ++runLength;
        } else if (c == '.' && runLength > 0 && parts < 2) {
            ++parts;
            runLength = 0;
        } else {
            return false;
        }
    }
    return parts == 2 && runLength > 0;
}

TEST(GlobalsVersion, IsMajorMinorRelease)
{
    EXPECT_FALSE(IsThreePartVersion("1.0"));
    EXPECT_FALSE(IsThreePartVersion("1..0"));
    EXPECT_FALSE(IsThreePartVersion("1.0.0.1"));
    EXPECT_TRUE(IsThreePartVersion("10.2.33"));
    EXPECT_TRUE(IsThreePartVersion(VersionString())) << VersionString();
}

} // namespace
} // namespace tw
