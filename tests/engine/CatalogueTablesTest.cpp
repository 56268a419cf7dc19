// Checks the compiled-in section tables against the published rows: counts, names, the first
// and last rows of every catalogue, and the computed circular hollow sections.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "engine/catalogues/CatalogueData.h"

namespace tw::catalogue {
namespace {

void ExpectSteelRow(const SteelRow& actual, const SteelRow& expected)
{
    SCOPED_TRACE(expected.name);
    EXPECT_EQ(std::string(actual.name), std::string(expected.name));
    EXPECT_EQ(actual.Zx, expected.Zx);
    EXPECT_EQ(actual.Ix, expected.Ix);
    EXPECT_EQ(actual.Aw, expected.Aw);
    EXPECT_EQ(actual.Iy, expected.Iy);
    EXPECT_EQ(actual.tf, expected.tf);
    EXPECT_EQ(actual.d, expected.d);
    EXPECT_EQ(actual.ry, expected.ry);
    EXPECT_EQ(actual.Sx, expected.Sx);
    EXPECT_EQ(actual.A, expected.A);
    EXPECT_EQ(actual.bf, expected.bf);
    EXPECT_EQ(actual.J, expected.J);
    EXPECT_EQ(actual.k1, expected.k1);
    EXPECT_EQ(actual.tw, expected.tw);
}

void ExpectRoundRow(const RoundRow& actual, const RoundRow& expected)
{
    SCOPED_TRACE(expected.name);
    EXPECT_EQ(std::string(actual.name), std::string(expected.name));
    EXPECT_EQ(actual.mass, expected.mass);
    EXPECT_EQ(actual.A, expected.A);
    EXPECT_EQ(actual.D, expected.D);
    EXPECT_EQ(actual.t, expected.t);
    EXPECT_EQ(actual.tdes, expected.tdes);
    EXPECT_EQ(actual.Dt, expected.Dt);
    EXPECT_EQ(actual.I, expected.I);
    EXPECT_EQ(actual.Z, expected.Z);
    EXPECT_EQ(actual.S, expected.S);
    EXPECT_EQ(actual.r, expected.r);
    EXPECT_EQ(actual.J, expected.J);
}

void ExpectAngleRow(const AngleRow& actual, const AngleRow& expected)
{
    SCOPED_TRACE(expected.name);
    EXPECT_EQ(std::string(actual.name), std::string(expected.name));
    EXPECT_EQ(actual.mass, expected.mass);
    EXPECT_EQ(actual.area, expected.area);
    EXPECT_EQ(actual.shortLeg, expected.shortLeg);
    EXPECT_EQ(actual.longLeg, expected.longLeg);
    EXPECT_EQ(actual.t, expected.t);
    EXPECT_EQ(actual.S, expected.S);
    EXPECT_EQ(actual.r, expected.r);
}

// Compares the first three and the last two rows of a table with the published ones.
template <typename Row, typename Check>
void ExpectFirstAndLastRows(std::span<const Row> table, const std::vector<Row>& expected,
                            Check check)
{
    ASSERT_EQ(expected.size(), 5u);
    ASSERT_GE(table.size(), 5u);
    for (std::size_t i = 0; i < 3; ++i)
        check(table[i], expected[i]);
    check(table[table.size() - 2], expected[3]);
    check(table[table.size() - 1], expected[4]);
}

// True when two values agree within the relative tolerance.
bool Near(long double a, long double b, long double relative)
{
    return std::fabs(a - b) <= relative * std::fabs(b);
}

// Half a unit in the third significant figure of a value.
long double HalfThirdFigure(long double value)
{
    const long double exponent = std::floor(std::log10(std::fabs(value)));
    return 0.5L * std::pow(10.0L, exponent - 2.0L);
}

// A value rounded to three significant figures keeps its rounded third digit:
// |stored - exact| is at most half a unit in that place.
void ExpectThreeFigures(long double stored, long double exact, const char* field)
{
    SCOPED_TRACE(field);
    EXPECT_LE(std::fabs(stored - exact), HalfThirdFigure(exact) * (1.0L + 1e-9L))
        << "stored " << static_cast<double>(stored) << ", exact " << static_cast<double>(exact);
    const long double digits = stored / (2.0L * HalfThirdFigure(stored));
    EXPECT_NEAR(static_cast<double>(digits), std::round(static_cast<double>(digits)), 1e-9)
        << "more than three significant figures: " << static_cast<double>(stored);
}

constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr long double kInch = 25.4L; // mm
constexpr long double kKgPerMPerLbPerFt = 1.48816394357L;

// Name ends in D and t rounded half up to whole millimetres.
std::string ChsNameSuffix(long double D, long double t)
{
    const auto whole = [](long double v) { return std::to_string(std::llround(v)); };
    return whole(D) + "x" + whole(t);
}

bool EndsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

TEST(CatalogueTablesCounts, EveryTableHasItsRows)
{
    EXPECT_EQ(NorthAmericanEnglish().size(), 111u);
    EXPECT_EQ(NorthAmericanSI().size(), 111u);
    EXPECT_EQ(Australian().size(), 41u);
    EXPECT_EQ(British().size(), 84u);
    EXPECT_EQ(European().size(), 67u);
    EXPECT_EQ(SheetPilesEnglish().size(), 25u);
    EXPECT_EQ(SheetPilesSI().size(), 25u);
    EXPECT_EQ(HssPipeEnglish().size(), 165u);
    EXPECT_EQ(HssPipeSI().size(), 165u);
    EXPECT_EQ(ChsEnglish().size(), 829u);
    EXPECT_EQ(ChsSI().size(), 829u);
    EXPECT_EQ(GuardrailAnglesEnglish().size(), 17u);
    EXPECT_EQ(GuardrailAnglesSI().size(), 17u);
}

TEST(CatalogueTablesCounts, RebarTablesHoldTheirBarsFirstAndZerosAfter)
{
    const auto countBars = [](std::span<const BarRow, kRebarTableSize> table) {
        std::size_t used = 0;
        while (used < table.size() && table[used].designation != 0)
            ++used;
        for (std::size_t i = used; i < table.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(table[i].designation, 0);
            EXPECT_EQ(table[i].metricDesignation, 0);
            EXPECT_EQ(table[i].diameter, 0.0);
            EXPECT_EQ(table[i].area, 0.0);
        }
        return used;
    };
    EXPECT_EQ(countBars(RebarUS()), 11u);
    EXPECT_EQ(countBars(RebarEuropean()), 12u);
    EXPECT_EQ(countBars(RebarCanadian()), 8u);
}

TEST(CatalogueTablesCounts, NamesAreNeverEmpty)
{
    const auto check = [](auto table) {
        for (const auto& row : table)
            EXPECT_FALSE(std::string(row.name).empty());
    };
    check(NorthAmericanEnglish());
    check(NorthAmericanSI());
    check(Australian());
    check(British());
    check(European());
    check(SheetPilesEnglish());
    check(SheetPilesSI());
    check(HssPipeEnglish());
    check(HssPipeSI());
    check(ChsEnglish());
    check(ChsSI());
    check(GuardrailAnglesEnglish());
    check(GuardrailAnglesSI());
}

TEST(CatalogueTablesNorthAmerican, FirstAndLastEnglishRows)
{
    const std::vector<SteelRow> expected = {
        {"W24X370", 1130.0L, 13400.0L, 42.56L, 1160.0L, 2.72L, 28.0L, 3.27L, 957.0L, 109.0L, 13.7L,
         201.0L, 2.0L, 1.52L},
        {"W24X335", 1020.0L, 11900.0L, 37.95L, 1030.0L, 2.48L, 27.5L, 3.23L, 864.0L, 98.3L, 13.5L,
         152.0L, 1.875L, 1.38L},
        {"W24X306", 922.0L, 10700.0L, 34.146L, 919.0L, 2.28L, 27.1L, 3.2L, 789.0L, 89.7L, 13.4L,
         117.0L, 1.8125L, 1.26L},
        {"W8X13", 11.4L, 39.6L, 1.8377L, 2.73L, 0.255L, 7.99L, 0.843L, 9.91L, 3.84L, 4.0L, 0.0871L,
         0.5625L, 0.23L},
        {"W8X10", 8.87L, 30.8L, 1.3413L, 2.09L, 0.205L, 7.89L, 0.841L, 7.81L, 2.96L, 3.94L, 0.0426L,
         0.5L, 0.17L},
    };
    ExpectFirstAndLastRows(NorthAmericanEnglish(), expected, ExpectSteelRow);
}

TEST(CatalogueTablesNorthAmerican, FirstAndLastSIRows)
{
    const std::vector<SteelRow> expected = {
        {"W610X551", 18500.0L, 558000.0L, 274.446L, 48300.0L, 6.91L, 71.1L, 83.1L, 15700.0L,
         70300.0L, 34.8L, 8370.0L, 5.08L, 3.86L},
        {"W610X498", 16700.0L, 495000.0L, 245.349L, 42900.0L, 6.3L, 69.9L, 82.0L, 14200.0L,
         63400.0L, 34.3L, 6330.0L, 4.7625L, 3.51L},
        {"W610X455", 15100.0L, 445000.0L, 220.16L, 38300.0L, 5.79L, 68.8L, 81.3L, 12900.0L,
         57900.0L, 34.0L, 4870.0L, 4.60375L, 3.2L},
        {"W200X19.3", 187.0L, 1650.0L, 11.8552L, 114.0L, 0.648L, 20.3L, 21.4L, 162.0L, 2480.0L,
         10.2L, 3.63L, 1.42875L, 0.584L},
        {"W200X15", 145.0L, 1280.0L, 8.64L, 87.0L, 0.521L, 20.0L, 21.4L, 128.0L, 1910.0L, 10.0L,
         1.77L, 1.27L, 0.432L},
    };
    ExpectFirstAndLastRows(NorthAmericanSI(), expected, ExpectSteelRow);
}

TEST(CatalogueTablesNorthAmerican, EnglishAndSITablesNameTheSameSections)
{
    const auto english = NorthAmericanEnglish();
    const auto si = NorthAmericanSI();
    ASSERT_EQ(english.size(), si.size());
    const std::vector<std::pair<std::size_t, std::pair<std::string, std::string>>> pairs = {
        {0, {"W24X370", "W610X551"}},    {25, {"W18x211", "W460X315"}},
        {87, {"HP14X117", "HP360X174"}}, {98, {"W8X67", "W200X100"}},
        {110, {"W8X10", "W200X15"}},
    };
    for (const auto& [index, names] : pairs) {
        EXPECT_EQ(std::string(english[index].name), names.first);
        EXPECT_EQ(std::string(si[index].name), names.second);
    }
    // Row for row the same shape: the dimensions and properties agree after unit conversion
    // within the rounding of the published figures.
    for (std::size_t i = 0; i < english.size(); ++i) {
        SCOPED_TRACE(english[i].name);
        EXPECT_TRUE(Near(english[i].d * 2.54L, si[i].d, 0.01L));
        EXPECT_TRUE(Near(english[i].bf * 2.54L, si[i].bf, 0.01L));
        EXPECT_TRUE(Near(english[i].tf * 2.54L, si[i].tf, 0.01L));
        EXPECT_TRUE(Near(english[i].tw * 2.54L, si[i].tw, 0.01L));
        EXPECT_TRUE(Near(english[i].A * 645.16L, si[i].A, 0.01L));
        EXPECT_TRUE(Near(english[i].Ix * std::pow(2.54L, 4), si[i].Ix, 0.01L));
        EXPECT_TRUE(Near(english[i].Iy * std::pow(2.54L, 4), si[i].Iy, 0.01L));
        EXPECT_TRUE(Near(english[i].Zx * std::pow(2.54L, 3), si[i].Zx, 0.01L));
        EXPECT_TRUE(Near(english[i].Sx * std::pow(2.54L, 3), si[i].Sx, 0.01L));
        EXPECT_TRUE(Near(english[i].ry * 25.4L, si[i].ry, 0.01L));
        EXPECT_TRUE(Near(english[i].J * std::pow(2.54L, 4), si[i].J, 0.01L));
        // The metric k1 is the inch value times 2.54 exactly.
        EXPECT_TRUE(Near(english[i].k1 * 2.54L, si[i].k1, 1e-15L));
    }
}

TEST(CatalogueTablesMetric, FirstAndLastAustralianRows)
{
    const std::vector<SteelRow> expected = {
        {"610 UB 125", 3680.0L, 98600.0L, 72.83L, 3930.0L, 1.96L, 61.2L, 49.6L, 3230.0L, 16000.0L,
         22.9L, 156.0L, 1.4L, 1.19L},
        {"610 UB 113", 3290.0L, 87500.0L, 67.98L, 3430.0L, 1.73L, 60.7L, 48.7L, 2880.0L, 14500.0L,
         22.8L, 114.0L, 1.4L, 1.12L},
        {"610 UB 101", 2900.0L, 76100.0L, 63.81L, 2930.0L, 1.48L, 60.2L, 47.5L, 2530.0L, 13000.0L,
         22.8L, 79.0L, 1.4L, 1.06L},
        {"150 UC 23.4", 184.0L, 1260.0L, 9.27L, 398.0L, 0.68L, 15.2L, 36.6L, 166.0L, 2980.0L, 15.2L,
         5.02L, 0.89L, 0.61L},
        {"100 UC 14.8", 74.4L, 318.0L, 4.85L, 114.0L, 0.7L, 9.7L, 24.5L, 65.6L, 1890.0L, 9.9L,
         3.49L, 1.0L, 0.5L},
    };
    ExpectFirstAndLastRows(Australian(), expected, ExpectSteelRow);
}

TEST(CatalogueTablesMetric, FirstAndLastBritishRows)
{
    // The first two are legacy BS 4-1 sizes; all five hold the listed values.
    const std::vector<SteelRow> expected = {
        {"UB 1016x305x487", 23208.0L, 1021884.0L, 310.8L, 26721.0L, 5.41L, 103.6L, 65.7L, 19722.0L,
         62000.0L, 30.85L, 4299.0L, 3.0L, 3.0L},
        {"UB 1016x305x437", 20769.0L, 910322.0L, 275.994L, 23447.0L, 4.9L, 102.6L, 64.9L, 17743.0L,
         55700.0L, 30.54L, 3185.0L, 3.0L, 2.69L},
        {"UB 1016x305x393", 18538.0L, 807503.0L, 247.904L, 20496.0L, 4.39L, 101.6L, 64.0L, 15897.0L,
         50000.0L, 30.3L, 2330.0L, 3.0L, 2.44L},
        {"UB 254x146x43", 566.0L, 6544.0L, 18.6912L, 677.0L, 1.27L, 25.96L, 35.2L, 504.0L, 5480.0L,
         14.73L, 23.9L, 0.76L, 0.72L},
        {"UB 254x146x37", 483.0L, 5537.0L, 16.128L, 571.0L, 1.09L, 25.6L, 34.8L, 433.0L, 4720.0L,
         14.64L, 15.3L, 0.76L, 0.63L},
    };
    ExpectFirstAndLastRows(British(), expected, ExpectSteelRow);
}

TEST(CatalogueTablesMetric, FirstAndLastEuropeanRows)
{
    // IPE 100 A, IPE 100 and IPE 120 A carry the listed values (e.g. IPE 100 A J = 0.71 cm4),
    // which differ slightly from the current ArcelorMittal catalogue.
    const std::vector<SteelRow> expected = {
        {"IPE 100 A", 32.94L, 141.0L, 3.53L, 13.1L, 0.47L, 9.8L, 12.2L, 28.8L, 878.0L, 5.5L, 0.71L,
         0.7L, 0.36L},
        {"IPE 100", 39.33L, 171.0L, 4.1L, 15.9L, 0.57L, 10.0L, 12.4L, 34.2L, 1030.0L, 5.5L, 1.17L,
         0.7L, 0.41L},
        {"IPE 120 A", 49.95L, 257.0L, 4.47L, 22.4L, 0.51L, 11.76L, 14.3L, 43.7L, 1100.0L, 6.4L,
         1.0L, 0.7L, 0.38L},
        {"IPE 600 R", 4175.0L, 110300.0L, 85.12L, 3993.0L, 2.3L, 60.8L, 46.6L, 3628.3L, 18400.0L,
         21.8L, 271.01L, 2.4L, 1.4L},
        {"IPE 600 V", 5324.0L, 141600.0L, 111.24L, 5570.0L, 2.8L, 61.8L, 48.8L, 4582.5L, 23400.0L,
         22.8L, 506.01L, 2.4L, 1.8L},
    };
    ExpectFirstAndLastRows(European(), expected, ExpectSteelRow);
}

TEST(CatalogueTablesMetric, EuropeanNamesKeepTheirTrailingBlanks)
{
    const auto european = European();
    const auto find = [&](const std::string& name) {
        std::size_t hits = 0;
        for (const auto& row : european)
            hits += std::string(row.name) == name ? 1 : 0;
        return hits;
    };
    for (const char* name : {"IPE 270 ", "IPE 300 ", "IPE 600 ", "IPE 330  ", "IPE 500  ",
                             "IPE 360   ", "IPE 400   ", "IPE 450   ", "IPE 550   "}) {
        SCOPED_TRACE(std::string("'") + name + "'");
        EXPECT_EQ(find(name), 1u);
    }
    for (const char* name : {"IPE 270", "IPE 330", "IPE 360", "IPE 330 ", "IPE 360  "})
        EXPECT_EQ(find(name), 0u) << "'" << name << "'";
    EXPECT_EQ(std::string(european[27].name), "IPE 270 ");
    EXPECT_EQ(std::string(european[35].name), "IPE 330  ");
    EXPECT_EQ(std::string(european[39].name), "IPE 360   ");
}

TEST(CatalogueTablesSheetPiles, EveryPileInBothUnits)
{
    struct Pile
    {
        const char* name;
        long double ixEn, widthEn, sxEn, heightEn, thicknessEn;
        long double ixSi, widthSi, sxSi, heightSi, thicknessSi;
    };
    const std::vector<Pile> piles = {
        {"PZ 22", 84.38L, 22.0L, 18.1L, 9.0L, 0.375L, 11500.0L, 55.9L, 973.0L, 22.0L, 0.95L},
        {"PZ 27", 184.2L, 18.0L, 30.2L, 12.0L, 0.375L, 25200.0L, 45.7L, 1620.0L, 30.5L, 0.95L},
        {"PZ 35", 361.22L, 22.6L, 48.5L, 14.9L, 0.6L, 49300.0L, 57.5L, 2608.0L, 37.8L, 1.267L},
        {"PZ 40", 490.85L, 19.7L, 60.7L, 16.1L, 0.6L, 67000.0L, 50.0L, 3263.0L, 40.9L, 1.267L},
        {"AZ 14-770", 170.6L, 30.31L, 25.2L, 13.56L, 0.375L, 23300.0L, 77.0L, 1355.0L, 34.5L,
         0.95L},
        {"AZ 17-700", 265.3L, 27.56L, 32.2L, 16.52L, 0.335L, 36230.0L, 70.0L, 1730.0L, 42.0L,
         0.85L},
        {"AZ 19-700", 288.4L, 27.56L, 34.8L, 16.56L, 0.375L, 39380.0L, 70.0L, 1870.0L, 42.1L,
         0.95L},
        {"AZ 22-800", 357.3L, 31.5L, 40.3L, 17.76L, 0.413L, 48790.0L, 80.0L, 2165.0L, 45.1L, 1.05L},
        {"AZ 25-800", 435.1L, 31.5L, 46.5L, 18.7L, 0.394L, 59410.0L, 80.0L, 2500.0L, 47.5L, 1.0L},
        {"AZ 28-750", 523.9L, 29.53L, 52.3L, 20.04L, 0.394L, 71540.0L, 75.0L, 2810.0L, 50.9L, 1.0L},
        {"AZ 32-750", 599.0L, 29.53L, 59.5L, 20.12L, 0.472L, 81800.0L, 75.0L, 3200.0L, 51.1L, 1.2L},
        {"AZ 38-700N", 694.5L, 27.56L, 70.6L, 19.69L, 0.48L, 94840.0L, 70.0L, 3795.0L, 50.0L,
         1.22L},
        {"AZ 40-700N", 732.9L, 27.56L, 74.3L, 19.72L, 0.52L, 100080.0L, 70.0L, 3995.0L, 50.1L,
         1.32L},
        {"AZ 44-700N", 806.6L, 27.56L, 81.9L, 19.69L, 0.591L, 110150.0L, 70.0L, 4405.0L, 50.0L,
         1.5L},
        {"AZ 46", 808.8L, 22.83L, 85.5L, 18.94L, 0.551L, 110450.0L, 58.0L, 4595.0L, 48.1L, 1.4L},
        {"AZ 48", 847.0L, 22.83L, 89.3L, 18.98L, 0.591L, 115670.0L, 58.0L, 4800.0L, 48.2L, 1.5L},
        {"AZ 50", 886.5L, 22.83L, 93.3L, 19.02L, 0.63L, 121060.0L, 58.0L, 5015.0L, 48.3L, 1.6L},
        {"AZ 52-700", 953.0L, 27.56L, 95.9L, 19.88L, 0.669L, 130140.0L, 70.0L, 5155.0L, 50.0L,
         1.7L},
        {"PZC 13", 152.0L, 27.88L, 24.2L, 12.56L, 0.375L, 20760.0L, 70.8L, 1300.0L, 31.9L, 0.95L},
        {"PZC 14", 164.3L, 27.88L, 26.0L, 12.6L, 0.42L, 22440.0L, 70.8L, 1400.0L, 32.0L, 1.07L},
        {"PZC 18", 255.5L, 25.0L, 33.5L, 15.25L, 0.375L, 34890.0L, 63.5L, 1800.0L, 38.7L, 0.95L},
        {"PZC 19", 276.6L, 25.0L, 36.1L, 15.3L, 0.42L, 37780.0L, 63.5L, 1945.0L, 38.8L, 1.07L},
        {"PZC 25", 404.1L, 27.88L, 45.7L, 17.66L, 0.56L, 55190.0L, 70.8L, 2455.0L, 44.9L, 1.23L},
        {"PZC 26", 428.1L, 27.88L, 48.4L, 17.7L, 0.6L, 58460.0L, 70.8L, 2600.0L, 45.0L, 1.33L},
        {"PZC 28", 455.1L, 27.88L, 51.3L, 17.75L, 0.645L, 62150.0L, 70.8L, 2755.0L, 45.1L, 1.45L},
    };
    const auto english = SheetPilesEnglish();
    const auto si = SheetPilesSI();
    ASSERT_EQ(english.size(), piles.size());
    ASSERT_EQ(si.size(), piles.size());
    for (std::size_t i = 0; i < piles.size(); ++i) {
        const Pile& p = piles[i];
        ExpectSteelRow(english[i], SteelRow{p.name, 0.0L, p.ixEn, 0.0L, 0.0L, 0.0L, p.widthEn, 0.0L,
                                            p.sxEn, 0.0L, p.heightEn, 0.0L, 0.0L, p.thicknessEn});
        ExpectSteelRow(si[i], SteelRow{p.name, 0.0L, p.ixSi, 0.0L, 0.0L, 0.0L, p.widthSi, 0.0L,
                                       p.sxSi, 0.0L, p.heightSi, 0.0L, 0.0L, p.thicknessSi});
    }
}

TEST(CatalogueTablesSheetPiles, EnglishAndSIAgreePerUnitLengthOfWall)
{
    const auto english = SheetPilesEnglish();
    const auto si = SheetPilesSI();
    ASSERT_EQ(english.size(), si.size());
    // in4/ft -> cm4/m and in3/ft -> cm3/m.
    const long double inertia = std::pow(2.54L, 4) / 0.3048L;
    const long double modulus = std::pow(2.54L, 3) / 0.3048L;
    for (std::size_t i = 0; i < english.size(); ++i) {
        SCOPED_TRACE(english[i].name);
        EXPECT_EQ(std::string(english[i].name), std::string(si[i].name));
        EXPECT_TRUE(Near(english[i].Ix * inertia, si[i].Ix, 0.005L));
        EXPECT_TRUE(Near(english[i].Sx * modulus, si[i].Sx, 0.005L));
        EXPECT_TRUE(Near(english[i].d * 2.54L, si[i].d, 0.005L));
    }
}

TEST(CatalogueTablesRound, FirstAndLastHssAndPipeRows)
{
    const std::vector<RoundRow> english = {
        {"HSS20X.500", 104.0L, 28.5L, 20.0L, 0.5L, 0.465L, 43.0L, 1360.0L, 177.0L, 136.0L, 6.91L,
         2720.0L},
        {"HSS20X.375", 78.67L, 21.5L, 20.0L, 0.375L, 0.349L, 57.3L, 1040.0L, 135.0L, 104.0L, 6.95L,
         2080.0L},
        {"HSS18X.500", 93.54L, 25.6L, 18.0L, 0.5L, 0.465L, 38.7L, 985.0L, 143.0L, 109.0L, 6.2L,
         1970.0L},
        {"Pipe2-1/2XXS", 13.7L, 3.83L, 2.88L, 0.552L, 0.514L, 5.59L, 2.78L, 2.91L, 1.94L, 0.854L,
         5.56L},
        {"Pipe2XXS", 9.04L, 2.51L, 2.38L, 0.436L, 0.406L, 5.85L, 1.27L, 1.6L, 1.07L, 0.711L, 2.54L},
    };
    const std::vector<RoundRow> si = {
        {"HSS508X12.7", 155.0L, 18400.0L, 508.0L, 12.7L, 11.8L, 43.0L, 566.0L, 2900.0L, 2230.0L,
         176.0L, 1130000.0L},
        {"HSS508X9.5", 117.0L, 13900.0L, 508.0L, 9.53L, 8.86L, 57.3L, 433.0L, 2210.0L, 1700.0L,
         177.0L, 866000.0L},
        {"HSS457.2X12.7", 139.0L, 16500.0L, 457.0L, 12.7L, 11.8L, 38.7L, 410.0L, 2340.0L, 1790.0L,
         157.0L, 820000.0L},
        {"Pipe64XXS", 20.4L, 2470.0L, 73.2L, 14.0L, 13.1L, 5.59L, 1.16L, 47.7L, 31.8L, 21.7L,
         2310.0L},
        {"Pipe51XXS", 13.4L, 1620.0L, 60.5L, 11.1L, 10.3L, 5.85L, 0.529L, 26.2L, 17.5L, 18.1L,
         1060.0L},
    };
    ExpectFirstAndLastRows(HssPipeEnglish(), english, ExpectRoundRow);
    ExpectFirstAndLastRows(HssPipeSI(), si, ExpectRoundRow);
}

TEST(CatalogueTablesRound, EnglishAndSITablesNameTheSameSections)
{
    const auto english = HssPipeEnglish();
    const auto si = HssPipeSI();
    ASSERT_EQ(english.size(), si.size());
    const std::vector<std::pair<std::size_t, std::pair<std::string, std::string>>> pairs = {
        {0, {"HSS20X.500", "HSS508X12.7"}}, {127, {"HSS1.66X.140", "HSS42.2X3.6"}},
        {128, {"Pipe12STD", "Pipe305STD"}}, {143, {"Pipe12XS", "Pipe305XS"}},
        {164, {"Pipe2XXS", "Pipe51XXS"}},
    };
    for (const auto& [index, names] : pairs) {
        EXPECT_EQ(std::string(english[index].name), names.first);
        EXPECT_EQ(std::string(si[index].name), names.second);
    }
    for (std::size_t i = 0; i < english.size(); ++i) {
        SCOPED_TRACE(english[i].name);
        EXPECT_EQ(std::string(english[i].name).substr(0, 3), std::string(si[i].name).substr(0, 3));
        EXPECT_TRUE(Near(english[i].D * kInch, si[i].D, 0.01L));
        EXPECT_TRUE(Near(english[i].A * kInch * kInch, si[i].A, 0.01L));
        EXPECT_TRUE(Near(english[i].I * std::pow(kInch, 4) / 1e6L, si[i].I, 0.01L));
        EXPECT_TRUE(Near(english[i].Z * std::pow(kInch, 3) / 1e3L, si[i].Z, 0.01L));
        EXPECT_TRUE(Near(english[i].r * kInch, si[i].r, 0.01L));
        EXPECT_TRUE(Near(english[i].mass * kKgPerMPerLbPerFt, si[i].mass, 0.01L));
        EXPECT_EQ(english[i].Dt, si[i].Dt);
    }
}

TEST(CatalogueTablesChs, NamesRunHotFinishedThenColdFormed)
{
    const auto si = ChsSI();
    const auto english = ChsEnglish();
    ASSERT_EQ(si.size(), 829u);
    ASSERT_EQ(english.size(), 829u);
    EXPECT_EQ(std::string(si[0].name), "CHShfb121x2");
    EXPECT_EQ(std::string(si[273].name), "CHShf1219x25");
    EXPECT_EQ(std::string(si[274].name), "CHScf21x2");
    EXPECT_EQ(std::string(si[828].name), "CHScf2134x22");
    for (std::size_t i = 0; i < si.size(); ++i) {
        const std::string name = si[i].name;
        SCOPED_TRACE(name);
        EXPECT_EQ(name.rfind(i < 274 ? "CHSh" : "CHScf", 0), 0u);
        EXPECT_EQ(name, std::string(english[i].name));
        // Each name pairs with its own diameter and wall thickness.
        EXPECT_TRUE(EndsWith(name, ChsNameSuffix(si[i].D, si[i].t)))
            << "D " << static_cast<double>(si[i].D) << ", t " << static_cast<double>(si[i].t);
    }
}

TEST(CatalogueTablesChs, RowsRunByDiameterThenThickness)
{
    const auto si = ChsSI();
    for (const auto& [first, last] : {std::pair<std::size_t, std::size_t>{0, 274}, {274, 829}}) {
        EXPECT_EQ(si[first].D, 21.3L);
        for (std::size_t i = first + 1; i < last; ++i) {
            SCOPED_TRACE(si[i].name);
            EXPECT_TRUE(si[i].D > si[i - 1].D || (si[i].D == si[i - 1].D && si[i].t > si[i - 1].t));
        }
    }
}

TEST(CatalogueTablesChs, DuplicateNameFindsTheFirstRow)
{
    const auto si = ChsSI();
    std::vector<std::size_t> hits;
    for (std::size_t i = 0; i < si.size(); ++i)
        if (std::string(si[i].name) == "CHShfc176x6")
            hits.push_back(i);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(si[hits[0]].D, 76.1L);
    EXPECT_EQ(si[hits[0]].t, 6.0L);
    EXPECT_EQ(si[hits[1]].D, 76.1L);
    EXPECT_EQ(si[hits[1]].t, 6.3L);
}

const RoundRow& ChsRow(std::span<const RoundRow> table, long double D, long double t)
{
    for (const auto& row : table)
        if (row.D == D && row.t == t)
            return row;
    ADD_FAILURE() << "no CHS row " << static_cast<double>(D) << " x " << static_cast<double>(t);
    return table.front();
}

TEST(CatalogueTablesChs, HandCalculatedRows)
{
    // 21.3 x 2.3: bore 16.7 mm; A = pi (21.3^2 - 16.7^2) / 4 = 137.288 mm2,
    // I = pi (21.3^4 - 16.7^4) / 64 = 6285.88 mm4, Z = (21.3^3 - 16.7^3) / 6 = 834.356 mm3,
    // S = 2 I / D = 590.224 mm3, r = 6.7666 mm, J = 12571.8 mm4, mass 1.07771 kg/m.
    ExpectRoundRow(ChsSI()[0], RoundRow{"CHShfb121x2", 1.08L, 137.0L, 21.3L, 2.3L, 2.3L, 9.26L,
                                        0.00629L, 0.834L, 0.590L, 6.77L, 12.6L});
    // The same row in English units, converted from the three-figure SI values:
    // 1.08 / 1.48816 = 0.72573 lb/ft, 137 / 645.16 = 0.21235 in2, 21.3 / 25.4 = 0.83858 in,
    // 2.3 / 25.4 = 0.090551 in, 6290 / 25.4^4 = 0.015112 in4, 834 / 25.4^3 = 0.050894 in3,
    // 590 / 25.4^3 = 0.036004 in3, 6.77 / 25.4 = 0.26654 in, 12600 / 25.4^4 = 0.030272 in4.
    ExpectRoundRow(ChsEnglish()[0],
                   RoundRow{"CHShfb121x2", 0.726L, 0.212L, 0.839L, 0.0906L, 0.0906L, 9.26L, 0.0151L,
                            0.0509L, 0.0360L, 0.267L, 0.0303L});
    // 2134 x 22.2, the last cold-formed row: A = 147284 mm2, I = 82114.4e6 mm4,
    // Z = 99009.0e3 mm3, S = 76958.2e3 mm3, r = 746.675 mm, J = 164228.8e6 mm4,
    // mass 1156.18 kg/m, D/t 96.126.
    ExpectRoundRow(ChsSI()[828],
                   RoundRow{"CHScf2134x22", 1160.0L, 147000.0L, 2134.0L, 22.2L, 22.2L, 96.1L,
                            82100.0L, 99000.0L, 77000.0L, 747.0L, 164000000.0L});
    // English: 779.48 lb/ft, 227.85 in2, 84.016 in, 0.87402 in, 197247 in4, 6041.3 in3,
    // 4698.8 in3, 29.409 in, 394011 in4.
    ExpectRoundRow(ChsEnglish()[828],
                   RoundRow{"CHScf2134x22", 779.0L, 228.0L, 84.0L, 0.874L, 0.874L, 96.1L, 197000.0L,
                            6040.0L, 4700.0L, 29.4L, 394000.0L});
    // 76.1 x 2 cold-formed: D/t = 38.05 exactly, rounded half up to 38.1; A = 465.584 mm2,
    // I = 319787 mm4, Z = 10984.3 mm3, S = 8404.39 mm3, r = 26.2078 mm, J = 639574 mm4,
    // mass 3.65483 kg/m.
    const RoundRow& tie = ChsRow(ChsSI().subspan(274), 76.1L, 2.0L);
    ExpectRoundRow(tie, RoundRow{"CHScf76x2", 3.65L, 466.0L, 76.1L, 2.0L, 2.0L, 38.1L, 0.320L,
                                 11.0L, 8.40L, 26.2L, 640.0L});
}

TEST(CatalogueTablesChs, EverySIRowIsTheTubeGeometryAtThreeFigures)
{
    for (const RoundRow& row : ChsSI()) {
        SCOPED_TRACE(row.name);
        const long double D = row.D;
        const long double t = row.t;
        const long double bore = D - 2.0L * t;
        const long double area = kPi * (D * D - bore * bore) / 4.0L;
        const long double inertia = kPi * (std::pow(D, 4) - std::pow(bore, 4)) / 64.0L;
        ASSERT_GT(t, 0.0L);
        ASSERT_GT(bore, 0.0L);
        EXPECT_EQ(row.tdes, row.t);
        ExpectThreeFigures(row.A, area, "A");
        ExpectThreeFigures(row.mass, area * 7850.0e-6L, "mass");
        ExpectThreeFigures(row.Dt, D / t, "D/t");
        ExpectThreeFigures(row.I, inertia / 1e6L, "I");
        ExpectThreeFigures(row.Z, (std::pow(D, 3) - std::pow(bore, 3)) / 6.0L / 1e3L, "Z");
        ExpectThreeFigures(row.S, 2.0L * inertia / D / 1e3L, "S");
        ExpectThreeFigures(row.r, std::sqrt(inertia / area), "r");
        ExpectThreeFigures(row.J, 2.0L * inertia / 1e3L, "J");
    }
}

TEST(CatalogueTablesChs, EnglishRowsAreTheSIRowsConverted)
{
    const auto si = ChsSI();
    const auto english = ChsEnglish();
    ASSERT_EQ(si.size(), english.size());
    const long double in2 = kInch * kInch;
    const long double in3 = std::pow(kInch, 3);
    const long double in4 = std::pow(kInch, 4);
    for (std::size_t i = 0; i < si.size(); ++i) {
        SCOPED_TRACE(si[i].name);
        ExpectThreeFigures(english[i].mass, si[i].mass / kKgPerMPerLbPerFt, "mass");
        ExpectThreeFigures(english[i].A, si[i].A / in2, "A");
        ExpectThreeFigures(english[i].D, si[i].D / kInch, "D");
        ExpectThreeFigures(english[i].t, si[i].t / kInch, "t");
        ExpectThreeFigures(english[i].tdes, si[i].tdes / kInch, "tdes");
        EXPECT_EQ(english[i].Dt, si[i].Dt);
        ExpectThreeFigures(english[i].I, si[i].I * 1e6L / in4, "I");
        ExpectThreeFigures(english[i].Z, si[i].Z * 1e3L / in3, "Z");
        ExpectThreeFigures(english[i].S, si[i].S * 1e3L / in3, "S");
        ExpectThreeFigures(english[i].r, si[i].r / kInch, "r");
        ExpectThreeFigures(english[i].J, si[i].J * 1e3L / in4, "J");
    }
}

TEST(CatalogueTablesAngles, EveryAngleInBothUnits)
{
    struct Pair
    {
        AngleRow english;
        AngleRow si;
    };
    const std::vector<Pair> angles = {
        {{"L3-1/2X3-1/2X1/2", 11.1L, 3.25L, 3.5L, 3.5L, 0.5L, 1.48L, 1.05L},
         {"L89X89X12.7", 16.5L, 2100.0L, 88.9L, 88.9L, 12.7L, 24.3L, 26.7L}},
        {{"L3-1/2X3-1/2X7/16", 9.8L, 2.89L, 3.5L, 3.5L, 0.438L, 1.32L, 1.06L},
         {"L89X89X11.1", 14.6L, 1860.0L, 88.9L, 88.9L, 11.1L, 21.6L, 26.9L}},
        {{"L3-1/2X3-1/2X3/8", 8.5L, 2.5L, 3.5L, 3.5L, 0.375L, 1.15L, 1.07L},
         {"L89X89X9.5", 12.6L, 1610.0L, 88.9L, 88.9L, 9.53L, 18.8L, 27.2L}},
        {{"L3-1/2X3-1/2X5/16", 7.2L, 2.1L, 3.5L, 3.5L, 0.313L, 0.969L, 1.08L},
         {"L89X89X7.9", 10.7L, 1350.0L, 88.9L, 88.9L, 7.94L, 15.9L, 27.4L}},
        {{"L3-1/2X3-1/2X1/4", 5.8L, 1.7L, 3.5L, 3.5L, 0.25L, 0.787L, 1.09L},
         {"L89X89X6.4", 8.6L, 1100.0L, 88.9L, 88.9L, 6.35L, 12.9L, 27.7L}},
        {{"L3-1/2X3X1/2", 10.2L, 3.02L, 3.0L, 3.5L, 0.5L, 1.45L, 1.07L},
         {"L89X76X12.7", 15.1L, 1950.0L, 76.2L, 88.9L, 12.7L, 23.8L, 27.2L}},
        {{"L3-1/2X3X7/16", 9.1L, 2.67L, 3.0L, 3.5L, 0.438L, 1.29L, 1.08L},
         {"L89X76X11.1", 13.5L, 1720.0L, 76.2L, 88.9L, 11.1L, 21.1L, 27.4L}},
        {{"L3-1/2X3X3/8", 7.9L, 2.32L, 3.0L, 3.5L, 0.375L, 1.12L, 1.09L},
         {"L89X76X9.5", 11.7L, 1500.0L, 76.2L, 88.9L, 9.53L, 18.4L, 27.7L}},
        {{"L3-1/2X3X5/16", 6.6L, 1.95L, 3.0L, 3.5L, 0.313L, 0.951L, 1.09L},
         {"L89X76X7.9", 9.8L, 1260.0L, 76.2L, 88.9L, 7.94L, 15.6L, 27.7L}},
        {{"L3-1/2X3X1/4", 5.4L, 1.58L, 3.0L, 3.5L, 0.25L, 0.773L, 1.1L},
         {"L89X76X6.4", 8.0L, 1020.0L, 76.2L, 88.9L, 6.35L, 12.7L, 27.9L}},
        {{"L3-1/2X2-1/2X1/2", 9.4L, 2.77L, 2.5L, 3.5L, 0.5L, 1.41L, 1.08L},
         {"L89X64X12.7", 13.9L, 1790.0L, 63.5L, 88.9L, 12.7L, 23.1L, 27.4L}},
        {{"L3-1/2X2-1/2X3/8", 7.2L, 2.12L, 2.5L, 3.5L, 0.375L, 1.09L, 1.1L},
         {"L89X64X9.5", 10.7L, 1370.0L, 63.5L, 88.9L, 9.53L, 17.9L, 27.9L}},
        {{"L3-1/2X2-1/2X5/16", 6.1L, 1.79L, 2.5L, 3.5L, 0.313L, 0.925L, 1.11L},
         {"L89X64X7.9", 9.0L, 1150.0L, 63.5L, 88.9L, 7.94L, 15.2L, 28.2L}},
        {{"L3-1/2X2-1/2X1/4", 4.9L, 1.45L, 2.5L, 3.5L, 0.25L, 0.753L, 1.12L},
         {"L89X64X6.4", 7.3L, 935.0L, 63.5L, 88.9L, 6.35L, 12.3L, 28.4L}},
        {{"L3X3X1/2", 9.4L, 2.76L, 3.0L, 3.0L, 0.5L, 1.06L, 0.895L},
         {"L76X76X12.7", 14.0L, 1780.0L, 76.2L, 76.2L, 12.7L, 17.4L, 22.7L}},
        {{"L3X3X7/16", 8.3L, 2.43L, 3.0L, 3.0L, 0.438L, 0.946L, 0.903L},
         {"L76X76X11.1", 12.4L, 1570.0L, 76.2L, 76.2L, 11.1L, 15.5L, 22.9L}},
        {{"L3X3X3/8", 7.2L, 2.11L, 3.0L, 3.0L, 0.375L, 0.825L, 0.91L},
         {"L76X76X9.5", 10.7L, 1360.0L, 76.2L, 76.2L, 9.53L, 13.5L, 23.1L}},
    };
    const auto english = GuardrailAnglesEnglish();
    const auto si = GuardrailAnglesSI();
    ASSERT_EQ(english.size(), angles.size());
    ASSERT_EQ(si.size(), angles.size());
    for (std::size_t i = 0; i < angles.size(); ++i) {
        ExpectAngleRow(english[i], angles[i].english);
        ExpectAngleRow(si[i], angles[i].si);
    }
}

TEST(CatalogueTablesAngles, EnglishAndSIAreTheSameAngles)
{
    const auto english = GuardrailAnglesEnglish();
    const auto si = GuardrailAnglesSI();
    ASSERT_EQ(english.size(), si.size());
    for (std::size_t i = 0; i < english.size(); ++i) {
        SCOPED_TRACE(english[i].name);
        EXPECT_TRUE(Near(english[i].mass * kKgPerMPerLbPerFt, si[i].mass, 0.01L));
        EXPECT_TRUE(Near(english[i].area * kInch * kInch, si[i].area, 0.01L));
        EXPECT_TRUE(Near(english[i].shortLeg * kInch, si[i].shortLeg, 0.01L));
        EXPECT_TRUE(Near(english[i].longLeg * kInch, si[i].longLeg, 0.01L));
        EXPECT_TRUE(Near(english[i].t * kInch, si[i].t, 0.01L));
        EXPECT_TRUE(Near(english[i].S * std::pow(kInch, 3) / 1e3L, si[i].S, 0.01L));
        EXPECT_TRUE(Near(english[i].r * kInch, si[i].r, 0.01L));
        EXPECT_LE(english[i].shortLeg, english[i].longLeg);
    }
}

void ExpectBars(std::span<const BarRow, kRebarTableSize> table, const std::vector<BarRow>& bars)
{
    ASSERT_LE(bars.size(), table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE(i);
        const BarRow expected = i < bars.size() ? bars[i] : BarRow{0, 0, 0.0, 0.0};
        EXPECT_EQ(table[i].designation, expected.designation);
        EXPECT_EQ(table[i].metricDesignation, expected.metricDesignation);
        EXPECT_EQ(table[i].diameter, expected.diameter);
        EXPECT_EQ(table[i].area, expected.area);
    }
}

TEST(CatalogueTablesRebar, UsBars)
{
    ExpectBars(RebarUS(), {{3, 10, 0.375, 0.11},
                           {4, 13, 0.5, 0.2},
                           {5, 16, 0.625, 0.31},
                           {6, 19, 0.75, 0.44},
                           {7, 22, 0.875, 0.6},
                           {8, 25, 1.0, 0.79},
                           {9, 29, 1.128, 1.0},
                           {10, 32, 1.27, 1.27},
                           {11, 36, 1.41, 1.56},
                           {14, 43, 1.693, 2.25},
                           {18, 57, 2.257, 4.0}});
}

TEST(CatalogueTablesRebar, EuropeanBars)
{
    ExpectBars(RebarEuropean(), {{6, 0, 6.0, 28.3},
                                 {8, 0, 8.0, 50.3},
                                 {10, 0, 10.0, 78.5},
                                 {12, 0, 12.0, 113.0},
                                 {14, 0, 14.0, 154.0},
                                 {16, 0, 16.0, 201.0},
                                 {20, 0, 20.0, 314.0},
                                 {25, 0, 25.0, 491.0},
                                 {28, 0, 28.0, 616.0},
                                 {32, 0, 32.0, 804.0},
                                 {40, 0, 40.0, 1257.0},
                                 {50, 0, 50.0, 1963.0}});
}

TEST(CatalogueTablesRebar, CanadianBars)
{
    ExpectBars(RebarCanadian(), {{10, 0, 11.3, 100.0},
                                 {15, 0, 16.0, 200.0},
                                 {20, 0, 19.5, 300.0},
                                 {25, 0, 25.2, 500.0},
                                 {30, 0, 29.9, 700.0},
                                 {35, 0, 35.7, 1000.0},
                                 {45, 0, 43.7, 1500.0},
                                 {55, 0, 56.4, 2500.0}});
}

} // namespace
} // namespace tw::catalogue
