#include <array>
#include <cmath>

#include <gtest/gtest.h>

#include "engine/BeamShapes.h"
#include "engine/Extended80.h"

using namespace tw;

namespace {

TSteelShape SampleShape()
{
    return TSteelShape{"W24X370", 1130, 13400, 42.56L, 1160, 2.72L, 28,
                       3.27L,     957,  109,   13.7L,  201,  2,     1.52L};
}

long double FieldAt(const std::array<uint8_t, kSteelShapeRecordSize>& bytes, std::size_t offset)
{
    return DecodeExtended(std::span<const uint8_t, 10>(bytes.data() + offset, 10));
}

} // namespace

TEST(BeamShapesRecord, LayoutOfTheStoredSection)
{
    std::array<uint8_t, kSteelShapeRecordSize> bytes{};
    bytes.fill(0xAA);
    WriteSteelShape(SampleShape(), bytes);
    EXPECT_EQ(bytes[0], 7);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[1]), 7), "W24X370");
    for (std::size_t i = 8; i < 56; ++i)
        EXPECT_EQ(bytes[i], 0) << "unused name and padding byte " << i;
    EXPECT_EQ(FieldAt(bytes, 56), 1130.0L);  // Zx
    EXPECT_EQ(FieldAt(bytes, 66), 13400.0L); // Ix
    EXPECT_EQ(FieldAt(bytes, 76), 42.56L);   // Aw
    EXPECT_EQ(FieldAt(bytes, 86), 1160.0L);  // Iy
    EXPECT_EQ(FieldAt(bytes, 96), 2.72L);    // tf
    EXPECT_EQ(FieldAt(bytes, 106), 28.0L);   // d
    EXPECT_EQ(FieldAt(bytes, 116), 3.27L);   // ry
    EXPECT_EQ(FieldAt(bytes, 126), 957.0L);  // Sx
    EXPECT_EQ(FieldAt(bytes, 136), 109.0L);  // A
    EXPECT_EQ(FieldAt(bytes, 146), 13.7L);   // bf
    EXPECT_EQ(FieldAt(bytes, 156), 201.0L);  // J
    EXPECT_EQ(FieldAt(bytes, 166), 2.0L);    // k1
    EXPECT_EQ(FieldAt(bytes, 176), 1.52L);   // tw
    for (std::size_t i = 186; i < 192; ++i)
        EXPECT_EQ(bytes[i], 0) << "tail padding byte " << i;
    EXPECT_EQ(ReadSteelShape(bytes), SampleShape());
}

TEST(BeamShapesRecord, LongAndDamagedNames)
{
    TSteelShape shape = SampleShape();
    shape.Name = std::string(60, 'x');
    std::array<uint8_t, kSteelShapeRecordSize> bytes{};
    WriteSteelShape(shape, bytes);
    EXPECT_EQ(bytes[0], 50);
    EXPECT_EQ(ReadSteelShape(bytes).Name, std::string(50, 'x'));

    bytes[0] = 255; // a damaged length never reads into the values
    EXPECT_EQ(ReadSteelShape(bytes).Name.size(), 50u);
    EXPECT_EQ(ReadSteelShape(bytes).Zx, 1130.0L);
}

TEST(BeamShapesConversion, MetricRowIntoInches)
{
    const TSteelShape metric{"X",   3680, 98600, 72.83L, 3930, 1.96L, 61.2L,
                             49.6L, 3230, 16000, 22.9L,  156,  1.4L,  1.19L};
    const TSteelShape e = MetricShapeToEnglish(metric);
    EXPECT_EQ(e.Name, "X");
    const double in = 2.54;
    EXPECT_NEAR(double(e.Zx), 3680 / std::pow(in, 3), 1e-9);
    EXPECT_NEAR(double(e.Sx), 3230 / std::pow(in, 3), 1e-9);
    EXPECT_NEAR(double(e.Ix), 98600 / std::pow(in, 4), 1e-9);
    EXPECT_NEAR(double(e.Iy), 3930 / std::pow(in, 4), 1e-9);
    EXPECT_NEAR(double(e.J), 156 / std::pow(in, 4), 1e-12);
    EXPECT_NEAR(double(e.Aw), 72.83 / (in * in), 1e-12);
    EXPECT_NEAR(double(e.tf), 1.96 / in, 1e-12);
    EXPECT_NEAR(double(e.d), 61.2 / in, 1e-12);
    EXPECT_NEAR(double(e.bf), 22.9 / in, 1e-12);
    EXPECT_NEAR(double(e.k1), 1.4 / in, 1e-12);
    EXPECT_NEAR(double(e.tw), 1.19 / in, 1e-12);
    EXPECT_NEAR(double(e.ry), 49.6 / 25.4, 1e-12);
    EXPECT_NEAR(double(e.A), 16000 / 100.0 / (in * in), 1e-12);
}

TEST(BeamShapesConversion, RoundRowIntoTheSteelLayout)
{
    const TOShape si{"HSS508X12.7", 155,  18400, 508, 12.7L,  11.8L, 43,
                     566,           2900, 2230,  176, 1130000};
    const TSteelShape s = OShapeToSteelShape(si, true);
    EXPECT_EQ(s.Name, "HSS508X12.7");
    EXPECT_EQ(s.Ix, 56600.0L);
    EXPECT_EQ(s.Iy, 56600.0L);
    EXPECT_EQ(s.J, 113000.0L);
    EXPECT_EQ(s.d, 50.8L);
    EXPECT_EQ(s.bf, 50.8L);
    EXPECT_EQ(s.tf, 11.8L / 10);
    EXPECT_EQ(s.tw, 12.7L / 10);
    EXPECT_EQ(s.A, 18400.0L);
    EXPECT_EQ(s.Aw, 18400.0L);
    EXPECT_EQ(s.Zx, 2900.0L);
    EXPECT_EQ(s.Sx, 2230.0L);
    EXPECT_EQ(s.ry, 176.0L);
    EXPECT_EQ(s.k1, 43.0L);

    TOShape longName = si;
    longName.Name = std::string(70, 'n');
    EXPECT_EQ(OShapeToSteelShape(longName, false).Name.size(), 50u);
    EXPECT_EQ(OShapeToSteelShape(si, false).d, 508.0L) << "English rows are taken as they are";
}

TEST(BeamShapesRebar, UsBarsInSIUseTheMetricDesignations)
{
    const TRebarTable t = LoadRebarTable(TRebarStandard::rsUS, TUnitSystem::usSI);
    const auto labels = RebarLabels(t, TRebarStandard::rsUS, TUnitSystem::usSI);
    const std::vector<std::string> expected{"10M", "13M", "16M", "19M", "22M", "25M",
                                            "29M", "32M", "36M", "43M", "57M"};
    EXPECT_EQ(labels, expected);
    EXPECT_DOUBLE_EQ(t[0].Diameter, 0.375 * 25.4);
    EXPECT_DOUBLE_EQ(t[10].Area, 4 * 25.4 * 25.4);
    EXPECT_EQ(t[11], TRebarSize{}) << "unused entries stay zero";

    const TRebarTable e = LoadRebarTable(TRebarStandard::rsUS, TUnitSystem::usEnglish);
    EXPECT_EQ(RebarLabels(e, TRebarStandard::rsUS, TUnitSystem::usEnglish).front(), "#3");
    EXPECT_EQ(e[5].Designation, 8);
    EXPECT_EQ(e[5].MetricDesignation, 25);
    EXPECT_EQ(e[5].Diameter, 1.0);
    EXPECT_EQ(e[5].Area, 0.79);
}

TEST(BeamShapesRebar, MetricBarsInEnglishUnits)
{
    const TRebarTable eu = LoadRebarTable(TRebarStandard::rsEuropean, TUnitSystem::usEnglish);
    const auto labels = RebarLabels(eu, TRebarStandard::rsEuropean, TUnitSystem::usEnglish);
    ASSERT_EQ(labels.size(), 12u);
    EXPECT_EQ(labels.front(), "6M");
    EXPECT_EQ(labels.back(), "50M");
    EXPECT_DOUBLE_EQ(eu[0].Diameter, 6 / 25.4);
    EXPECT_DOUBLE_EQ(eu[11].Area, 1963 / (25.4 * 25.4));

    const TRebarTable ca = LoadRebarTable(TRebarStandard::rsCanadian, TUnitSystem::usSI);
    const auto caLabels = RebarLabels(ca, TRebarStandard::rsCanadian, TUnitSystem::usSI);
    const std::vector<std::string> expected{"10M", "15M", "20M", "25M", "30M", "35M", "45M", "55M"};
    EXPECT_EQ(caLabels, expected);
    EXPECT_EQ(ca[0].Diameter, 11.3);
    EXPECT_EQ(ca[7].Area, 2500.0);
}

TEST(BeamShapesRebar, BarListRules)
{
    const TRebarTable us = LoadRebarTable(TRebarStandard::rsUS, TUnitSystem::usEnglish);
    EXPECT_EQ(RebarLabel(9, TRebarStandard::rsUS, TUnitSystem::usEnglish), "#9");
    EXPECT_EQ(RebarLabel(29, TRebarStandard::rsUS, TUnitSystem::usSI), "29M");
    EXPECT_EQ(RebarLabel(20, TRebarStandard::rsEuropean, TUnitSystem::usEnglish), "20M");

    EXPECT_EQ(BarNumberFromLabel("#5", us), 5);
    EXPECT_EQ(BarNumberFromLabel("16M", us), 16);
    EXPECT_EQ(BarNumberFromLabel(" 8 ", us), 8);
    EXPECT_EQ(BarNumberFromLabel("", us), 3) << "empty reads as the first bar";
    EXPECT_EQ(BarNumberFromLabel("abc", us), 3);
    EXPECT_EQ(BarNumberFromLabel("#0", us), 3);
    EXPECT_EQ(BarNumberFromLabel("1 2", us), 3);

    const auto labels = RebarLabels(us, TRebarStandard::rsUS, TUnitSystem::usEnglish);
    EXPECT_EQ(BarListIndex(5, labels), 2);
    EXPECT_EQ(BarListIndex(18, labels), 10);
    EXPECT_EQ(BarListIndex(7, labels), 4);
    EXPECT_EQ(BarListIndex(12, labels), 0) << "an unknown bar selects the first entry";
    const std::vector<std::string> metric{"10M", "15M", "20M"};
    EXPECT_EQ(BarListIndex(20, metric), 2);
    EXPECT_EQ(BarListIndex(3, metric), 0);
}

TEST(BeamShapesCatalogues, DuplicatedChsNameIsFoundFirst)
{
    const TArrOShapes chs = LoadOShapes(TSteelLibrary::slBritish, true);
    const int first = FindByName(chs, "CHShfc176x6");
    ASSERT_GE(first, 0);
    EXPECT_EQ(chs[first].D, 76.1L);
    EXPECT_EQ(chs[first].t, 6.0L);
    EXPECT_EQ(chs[first + 1].Name, "CHShfc176x6");
    EXPECT_EQ(chs[first + 1].t, 6.3L);
    EXPECT_EQ(FindByName(chs, "nothing"), -1);
}

TEST(BeamShapesCatalogues, SheetPilesIgnoreTheLibrary)
{
    for (auto lib : {TSteelLibrary::slNorthAmerican, TSteelLibrary::slBritish}) {
        const auto piles = LoadSteelShapes(TUnitSystem::usSI, lib, TPileType::ptSheetPile);
        ASSERT_EQ(piles.size(), 25u);
        EXPECT_EQ(piles.front().Name, "PZ 22");
        EXPECT_EQ(piles.front().Ix, 11500.0L);
        EXPECT_EQ(piles.back().Name, "PZC 28");
    }
    const auto english =
        LoadSteelShapes(TUnitSystem::usEnglish, TSteelLibrary::slEuropean, TPileType::ptSheetPile);
    EXPECT_EQ(english.front().Sx, 18.1L) << "English sheet piles come from their own table";
    EXPECT_EQ(english.front().d, 22.0L);
}
