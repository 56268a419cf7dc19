#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "engine/Ansi.h"
#include "engine/CheckedMath.h"
#include "engine/TWClasses.h"

using namespace tw;

namespace {

// Exact unit conversions for building the SI twin of an English project.
constexpr long double kFt = 0.3048L;                    // m per ft
constexpr long double kLbf = 4.4482216152605L;          // N per lbf
constexpr long double kPsf = kLbf / (kFt * kFt) / 1000; // kPa per psf
constexpr long double kPsfPerFt = kPsf / kFt;           // kN/m3 per psf/ft
constexpr long double kPlf = kLbf / kFt / 1000;         // kN/m per plf
constexpr long double kLbFtPerFt = kLbf / 1000;         // kN-m/m per lb-ft/ft
constexpr long double kPsiPerMPa = 145.0377L;

// The hand-checked wall: soldier beams at S = 8 ft in 2 ft drilled holes (L = 6 ft),
// E.F.P. 30 psf/ft, surcharge 100 psf, arching factor 0.8, #1 lumber with Fb 1100 psi,
// Fv 150 psi, E 1.4e6 psi, Fy 36 ksi, no strip or seismic moment.
TTWData EnglishWall(TLaggingType type)
{
    TTWData p;
    p.PileType = TPileType::ptSoldierBeam;
    p.InstallMethod = TInstallMethod::imDrilled;
    p.LaggingType = type;
    p.PileSpacing = 8;
    p.PileWidth = 2;
    p.ActiveEFP = 30;
    p.Surcharge = 100;
    p.ArchingFactor = 0.8L;
    p.LaggingFb = 1100;
    p.LaggingFv = 150;
    p.LaggingModulus = 1.4L;
    p.LumberGrade = TLumberGrade::lgNo1;
    p.YieldStrength = 36;
    p.LaggingConcrete = 0;
    p.StripLoadOn = false;
    p.SeismicLoadOn = false;
    p.StripMoment = 0;
    p.SeismicMoment = 0;
    return p;
}

// The same wall in SI units. The lagging pressure L (EFPa + 0.35 q) adds a pressure to a
// pressure per length and is taken as written in each unit system, so only walls without
// surcharge give the same pressure in both; the agreement tests set q = 0 on both sides.
TTWData SIWall(TLaggingType type)
{
    TTWData p = EnglishWall(type);
    p.SetUnitSystem(TUnitSystem::usSI);
    p.PileSpacing = 8 * kFt;
    p.PileWidth = 2 * kFt;
    p.ActiveEFP = 30 * kPsfPerFt;
    p.Surcharge = 100 * kPsf;
    p.LaggingFb = 1100 / kPsiPerMPa;
    p.LaggingFv = 150 / kPsiPerMPa;
    p.LaggingModulus = 1.4L * 6.894757L;
    p.YieldStrength = 36 * 6.894757L;
    return p;
}

void ExpectRelNear(long double actual, long double expected, long double rel = 1e-6L)
{
    EXPECT_NEAR(static_cast<double>(actual), static_cast<double>(expected),
                static_cast<double>(std::fabs(expected) * rel));
}

} // namespace

// Hand check, English timber:
//   L = 8 - 2 = 6 ft; p = 6 (30 + 0.35 * 100) 0.8 = 312 psf.
//   M = 312 * 36 / 8 = 1404 lb-ft/ft; V = 0.5 * 312 * 6 = 936 plf; L' = 72 in, le = 148.32 in.
//   2x12: S = 11.25 * 1.5^2 / 6 = 4.21875 in3, fb = 1404 * 11.25 / 4.21875 = 3744 psi > 1320.
//   3x12: S = 11.71875 in3, fb = 1347.84 psi > Fb' = 1100 * CL(0.99971) * 1.2 = 1319.6 psi.
//   4x12: CF 1.1, Fb CF = 1210 > 1150 so CM = 0.85, Cfu 1.1; RB = sqrt(148.32 * 3.5) / 11.25
//         = 2.0253, Emin' = 1.4e6 * 0.58875 * 1.03 / 1.66 * 0.9, CL = 0.99962,
//         Fb' = 1100 * 0.85 * 0.99962 * 1.1 * 1.1 = 1130.91 psi; S = 22.96875 in3,
//         fb = 687.67 psi; Fv' = 150 * 0.97 = 145.5 psi, fv = 1.5 * 936 / (12 * 3.5)
//         = 33.43 psi; I = 11.25 * 3.5^3 / 12 = 40.195 in4, E' = 1.26,
//         delta = 5 * 312 * 11.25 * 6^4 / (384 * 1.26 * 40.195) * 144e-6 = 0.16841 in <= 0.4 in.
TEST(LaggingTimber, HandCheckedWallPicksFourByTwelve)
{
    TTWData p = EnglishWall(TLaggingType::ltTimber);
    DesignLagging(p);
    const TLaggingResults& r = p.LaggingResults;
    EXPECT_TRUE(r.Designed);
    EXPECT_NEAR(static_cast<double>(r.ClearSpan), 6.0, 1e-12);
    EXPECT_NEAR(static_cast<double>(r.SoilPressure), 312.0, 1e-9);
    EXPECT_EQ(r.TimberIndex, 2);
    EXPECT_EQ(r.SizeText, "4x12 timber");
    EXPECT_NEAR(static_cast<double>(r.Moment), 1404.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(r.Shear), 936.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(r.RB), 2.0252627, 1e-6);
    EXPECT_NEAR(static_cast<double>(r.CL), 0.99961548, 1e-7);
    EXPECT_NEAR(static_cast<double>(r.AdjustedFb), 1130.91497, 1e-4);
    EXPECT_NEAR(static_cast<double>(r.ActualFb), 687.673469, 1e-5);
    EXPECT_NEAR(static_cast<double>(r.AdjustedFv), 145.5, 1e-9);
    EXPECT_NEAR(static_cast<double>(r.ActualFv), 33.4285714, 1e-6);
    EXPECT_NEAR(static_cast<double>(r.Deflection), 0.16840983, 1e-7);
    EXPECT_NEAR(static_cast<double>(r.AllowableDeflection), 0.4, 1e-12);
    EXPECT_TRUE(r.SizeOK);
    EXPECT_TRUE(r.BendingOK);
    EXPECT_TRUE(r.ShearOK);
    EXPECT_TRUE(r.DeflectionOK);
}

TEST(LaggingTimber, ThinnerTrialsFailOnTheirOwnChecks)
{
    TTWData p = EnglishWall(TLaggingType::ltTimber);
    DesignLagging(p);
    // 2x12 and 3x12 fail in bending, the 3x12 narrowly (hand check above).
    EXPECT_FALSE(DesignTimberSize(p, 0));
    EXPECT_NEAR(static_cast<double>(p.LaggingResults.ActualFb), 3744.0, 1e-9);
    EXPECT_FALSE(p.LaggingResults.BendingOK);
    EXPECT_FALSE(DesignTimberSize(p, 1));
    EXPECT_NEAR(static_cast<double>(p.LaggingResults.ActualFb), 1347.84, 1e-9);
    EXPECT_NEAR(static_cast<double>(p.LaggingResults.AdjustedFb), 1319.61288, 1e-4);
    EXPECT_FALSE(p.LaggingResults.BendingOK);
    EXPECT_TRUE(p.LaggingResults.ShearOK);
    // 2x12 deflects 2.139 in, beyond L'/180 = 0.4 in.
    EXPECT_FALSE(DesignTimberSize(p, 0));
    EXPECT_NEAR(static_cast<double>(p.LaggingResults.Deflection), 2.1394286, 1e-6);
    EXPECT_FALSE(p.LaggingResults.DeflectionOK);
}

TEST(LaggingTimber, SlenderBoardHasNoBendingCapacityAndSearchEndsWithNone)
{
    // A clear span of 9000 ft gives RB above 50 for every board: CL = 0 and Fb' = 0.
    TTWData p = EnglishWall(TLaggingType::ltTimber);
    p.PileSpacing = 9002;
    p.ArchingFactor = 0.8L;
    DesignLagging(p);
    const TLaggingResults& r = p.LaggingResults;
    EXPECT_EQ(r.SizeText, "None");
    EXPECT_FALSE(r.SizeOK);
    EXPECT_EQ(r.TimberIndex, -1);
    // The results shown are those of the last trial, the 12 in board.
    EXPECT_NEAR(static_cast<double>(r.RB), std::sqrt(2.06 * 9000 * 12 * 11.25 / (11.25 * 11.25)),
                1e-9);
    EXPECT_EQ(r.CL, 0);
    EXPECT_EQ(r.AdjustedFb, 0);
    EXPECT_FALSE(r.BendingOK);

    // 2x12 alone: RB = sqrt(2.06 * 108000 * 1.5) / 11.25 = 51.35 > 50, inadequate.
    EXPECT_FALSE(DesignTimberSize(p, 0));
    EXPECT_GT(p.LaggingResults.RB, 50);
    EXPECT_EQ(p.LaggingResults.CL, 0);
    // RB just under 50 keeps a beam stability factor.
    p.LaggingResults.ClearSpan = 8000; // RB = 48.4 for the 2x12
    DesignTimberSize(p, 0);
    EXPECT_LT(p.LaggingResults.RB, 50);
    EXPECT_GT(p.LaggingResults.CL, 0);
}

TEST(LaggingTimber, WetServiceFactorForBendingAt1150Psi)
{
    // 2x12 (CF 1.0, Cfu 1.2): the factor is 0.85 only when Fb * CF exceeds 1150 psi.
    auto wetFactor = [](TTWData p, long double fb) {
        p.LaggingFb = fb;
        DesignLagging(p);
        DesignTimberSize(p, 0);
        const TLaggingResults& r = p.LaggingResults;
        return static_cast<double>(r.AdjustedFb / (fb * r.CL * 1.2L));
    };
    const TTWData english = EnglishWall(TLaggingType::ltTimber);
    EXPECT_NEAR(wetFactor(english, 1150), 1.0, 1e-12);
    EXPECT_NEAR(wetFactor(english, 1151), 0.85, 1e-12);
    // In SI the same test is made in psi: 1149 and 1151 psi given in MPa.
    const TTWData si = SIWall(TLaggingType::ltTimber);
    EXPECT_NEAR(wetFactor(si, 1149 / kPsiPerMPa), 1.0, 1e-12);
    EXPECT_NEAR(wetFactor(si, 1151 / kPsiPerMPa), 0.85, 1e-12);
}

TEST(LaggingTimber, FlatUseFactorsOfThickBoardsFollowTheGrade)
{
    // 6x12 and thicker: no wet service or size factor; Cfu by grade, E flat use 0.9 for #1.
    auto factors = [](TLumberGrade grade) {
        TTWData p = EnglishWall(TLaggingType::ltTimber);
        p.LumberGrade = grade;
        DesignLagging(p);
        DesignTimberSize(p, 3);
        const TLaggingResults& r = p.LaggingResults;
        return std::pair{static_cast<double>(r.AdjustedFb / (1100 * r.CL)),
                         static_cast<double>(r.Deflection)};
    };
    const auto [cfu1, d1] = factors(TLumberGrade::lgNo1);
    const auto [cfu2, d2] = factors(TLumberGrade::lgNo2);
    const auto [cfuSS, dSS] = factors(TLumberGrade::lgSelectStructural);
    EXPECT_NEAR(cfu1, 0.74, 1e-12);
    EXPECT_NEAR(cfu2, 1.00, 1e-12);
    EXPECT_NEAR(cfuSS, 0.86, 1e-12);
    EXPECT_NEAR(d1 / d2, 1 / 0.9, 1e-12);
    EXPECT_NEAR(dSS / d2, 1.0, 1e-12);
    // 6x12 (t = 5.5 in): delta = 5 * 312 * 11.25 * 1296 / (384 * 1.4 * 155.98) * 144e-6.
    EXPECT_NEAR(d2, 5.0 * 312 * 11.25 * 1296 / (384 * 1.4 * (11.25 * 166.375 / 12)) * 144e-6,
                1e-12);
}

TEST(LaggingTimber, StripAndSeismicMomentsAddWhenSwitchedOn)
{
    TTWData p = EnglishWall(TLaggingType::ltTimber);
    p.StripMoment = 0.5L;
    p.SeismicMoment = 0.25L;
    p.StripLoadOn = true;
    DesignLagging(p);
    DesignTimberSize(p, 2);
    EXPECT_NEAR(static_cast<double>(p.LaggingResults.Moment), 1404.0 + 500.0, 1e-9);
    p.SeismicLoadOn = true;
    DesignLagging(p);
    DesignTimberSize(p, 2);
    EXPECT_NEAR(static_cast<double>(p.LaggingResults.Moment), 1404.0 + 750.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(p.LaggingResults.ActualFb), 2154.0 * 11.25 / 22.96875, 1e-9);
}

TEST(LaggingPressure, SurchargeTermIsTakenAsWrittenInEachUnitSystem)
{
    // English: 6 ft (30 + 35) 0.8 = 312 psf. SI: 1.8288 m (4.7126 + 0.35 * 4.7880) 0.8.
    TTWData e = EnglishWall(TLaggingType::ltSteelPlate);
    TTWData s = SIWall(TLaggingType::ltSteelPlate);
    DesignLagging(e);
    DesignLagging(s);
    EXPECT_NEAR(static_cast<double>(e.LaggingResults.SoilPressure), 312.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(s.LaggingResults.SoilPressure),
                static_cast<double>(6 * kFt * (30 * kPsfPerFt + 0.35L * 100 * kPsf) * 0.8L), 1e-12);
    EXPECT_NEAR(static_cast<double>(s.LaggingResults.SoilPressure), 9.34653, 1e-5);
    // Without surcharge both systems give the same pressure.
    e.Surcharge = s.Surcharge = 0;
    DesignLagging(e);
    DesignLagging(s);
    ExpectRelNear(s.LaggingResults.SoilPressure, e.LaggingResults.SoilPressure * kPsf);
}

TEST(LaggingTimber, SIRunAgreesWithEnglish)
{
    TTWData e = EnglishWall(TLaggingType::ltTimber);
    TTWData s = SIWall(TLaggingType::ltTimber);
    e.Surcharge = s.Surcharge = 0;
    e.ActiveEFP = 65; // p = 6 * 65 * 0.8 = 312 psf as in the hand check
    s.ActiveEFP = 65 * kPsfPerFt;
    e.StripLoadOn = s.StripLoadOn = true;
    e.StripMoment = 0.1L;
    s.StripMoment = 100 * kLbFtPerFt; // 0.1 k-ft/ft in kN-m/m
    DesignLagging(e);
    DesignLagging(s);
    const TLaggingResults& re = e.LaggingResults;
    const TLaggingResults& rs = s.LaggingResults;
    EXPECT_EQ(re.SizeText, "4x12 timber");
    EXPECT_EQ(rs.SizeText, "100mm timber");
    ExpectRelNear(rs.SoilPressure, re.SoilPressure * kPsf);
    ExpectRelNear(rs.Moment, re.Moment * kLbFtPerFt);
    ExpectRelNear(rs.Shear, re.Shear * kPlf);
    ExpectRelNear(rs.AdjustedFb, re.AdjustedFb / kPsiPerMPa);
    ExpectRelNear(rs.ActualFb, re.ActualFb / kPsiPerMPa);
    ExpectRelNear(rs.AdjustedFv, re.AdjustedFv / kPsiPerMPa);
    ExpectRelNear(rs.ActualFv, re.ActualFv / kPsiPerMPa);
    // The millimetre deflection needs the factor 1e6; without it this would be 1e-6 of it.
    ExpectRelNear(rs.Deflection, re.Deflection * 25.4L);
    ExpectRelNear(rs.AllowableDeflection, re.AllowableDeflection * 25.4L);
    EXPECT_EQ(rs.BendingOK, re.BendingOK);
    EXPECT_EQ(rs.DeflectionOK, re.DeflectionOK);

    // Every trial agrees, including the failing ones.
    for (int i = 0; i < kTimberSizeCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(DesignTimberSize(s, i), DesignTimberSize(e, i));
        ExpectRelNear(s.LaggingResults.Deflection, e.LaggingResults.Deflection * 25.4L);
        ExpectRelNear(s.LaggingResults.AdjustedFb, e.LaggingResults.AdjustedFb / kPsiPerMPa);
    }
}

TEST(LaggingTimber, SizeTextsOfEverySize)
{
    // A shrinking pressure walks the search down to each size; the texts follow the table.
    TTWData e = EnglishWall(TLaggingType::ltTimber);
    TTWData s = SIWall(TLaggingType::ltTimber);
    e.Surcharge = s.Surcharge = 0;
    e.PileSpacing = 14; // L = 12 ft
    s.PileSpacing = 14 * kFt;
    const char* english[] = {"2x12 timber", "3x12 timber",  "4x12 timber", "6x12 timber",
                             "8x12 timber", "10x12 timber", "12x12 timber"};
    const char* si[] = {"50mm timber",  "75mm timber",  "100mm timber", "150mm timber",
                        "200mm timber", "250mm timber", "300mm timber"};
    int seen = 0;
    for (long double arching = 0.01L; arching < 40; arching *= 1.05L) {
        e.ArchingFactor = s.ArchingFactor = arching;
        DesignLagging(e);
        DesignLagging(s);
        ASSERT_EQ(e.LaggingResults.TimberIndex, s.LaggingResults.TimberIndex) << arching;
        const int i = e.LaggingResults.TimberIndex;
        if (i < 0) {
            EXPECT_EQ(e.LaggingResults.SizeText, "None");
            EXPECT_EQ(s.LaggingResults.SizeText, "None");
            continue;
        }
        EXPECT_EQ(e.LaggingResults.SizeText, english[i]);
        EXPECT_EQ(s.LaggingResults.SizeText, si[i]);
        seen |= 1 << i;
    }
    EXPECT_EQ(seen, 0x7f) << "every size was chosen at some pressure";
}

// Hand check, English steel plate: p = 312 psf, L = 6 ft, Be = 2 ft,
//   M = 312 * 6 / 3 * (0.3125 * 6 + 2 / 2) = 1794 lb-ft/ft,
//   Sreq = 1794 * 12 / (0.6 * 36 * 1000) = 0.99667 in3 <= 1.125 -> "3/4 inch steel plate".
TEST(LaggingSteelPlate, HandCheckedWall)
{
    TTWData p = EnglishWall(TLaggingType::ltSteelPlate);
    DesignLagging(p);
    const TLaggingResults& r = p.LaggingResults;
    EXPECT_NEAR(static_cast<double>(r.Moment), 1794.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(r.RequiredSectionModulus), 0.9966667, 1e-7);
    EXPECT_EQ(r.SizeText, "3/4 inch steel plate");
    EXPECT_TRUE(r.SizeOK);
    EXPECT_EQ(r.TimberIndex, -1);

    // Strip (0.2 k-ft/ft) and seismic (0.1 k-ft/ft) moments enter in lb-ft/ft when on.
    p.StripMoment = 0.2L;
    p.SeismicMoment = 0.1L;
    p.StripLoadOn = true;
    DesignLagging(p);
    EXPECT_NEAR(static_cast<double>(p.LaggingResults.Moment), 1994.0, 1e-9);
    p.SeismicLoadOn = true;
    DesignLagging(p);
    EXPECT_NEAR(static_cast<double>(p.LaggingResults.Moment), 2094.0, 1e-9);
}

TEST(LaggingSteelPlate, SIMomentAndModulus)
{
    // SI: M = 0.7 p L^2 / 8 kN-m/m and Sreq = M 1e6 / Fy mm3 per m.
    TTWData p = SIWall(TLaggingType::ltSteelPlate);
    p.PileSpacing = 2.5L;
    p.PileWidth = 0.5L; // L = 2 m
    p.ActiveEFP = 5;
    p.Surcharge = 10;
    p.ArchingFactor = 1;
    p.YieldStrength = 250;
    p.StripMoment = 0.3L;
    p.StripLoadOn = true;
    DesignLagging(p);
    const TLaggingResults& r = p.LaggingResults;
    // p = 2 (5 + 3.5) = 17 kPa; M = 0.7 * 17 * 4 / 8 + 0.3 = 6.25 kN-m/m; Sreq = 25000 mm3.
    EXPECT_NEAR(static_cast<double>(r.SoilPressure), 17.0, 1e-12);
    EXPECT_NEAR(static_cast<double>(r.Moment), 6.25, 1e-12);
    EXPECT_NEAR(static_cast<double>(r.RequiredSectionModulus), 25000.0, 1e-8);
    EXPECT_EQ(r.SizeText, "26 mm steel plate");
}

TEST(LaggingSteelPlate, TableThresholds)
{
    const auto en = TUnitSystem::usEnglish;
    const auto si = TUnitSystem::usSI;
    EXPECT_EQ(SteelPlateText(0, en), "5/8 inch steel plate");
    EXPECT_EQ(SteelPlateText(0.781L, en), "5/8 inch steel plate");
    EXPECT_EQ(SteelPlateText(0.782L, en), "3/4 inch steel plate");
    EXPECT_EQ(SteelPlateText(1.125L, en), "3/4 inch steel plate");
    EXPECT_EQ(SteelPlateText(2.0L, en), "1.0 inch steel plate");
    EXPECT_EQ(SteelPlateText(2.53L, en), "1.25 inch steel plate");
    EXPECT_EQ(SteelPlateText(2.54L, en), "1.50 inch steel plate");
    EXPECT_EQ(SteelPlateText(3.0L, en), "1.50 inch steel plate");
    EXPECT_EQ(SteelPlateText(4.5L, en), "1.50 inch steel plate");
    EXPECT_EQ(SteelPlateText(8.0L, en), "2.0 inch steel plate");
    EXPECT_EQ(SteelPlateText(8.001L, en), "None");

    EXPECT_EQ(SteelPlateText(12798, si), "16 mm steel plate");
    EXPECT_EQ(SteelPlateText(12799, si), "19 mm steel plate");
    EXPECT_EQ(SteelPlateText(18435, si), "19 mm steel plate");
    EXPECT_EQ(SteelPlateText(32774, si), "26 mm steel plate");
    EXPECT_EQ(SteelPlateText(41459, si), "32 mm steel plate");
    EXPECT_EQ(SteelPlateText(41460, si), "38 mm steel plate");
    EXPECT_EQ(SteelPlateText(73741, si), "38 mm steel plate");
    EXPECT_EQ(SteelPlateText(131097, si), "51 mm steel plate");
    EXPECT_EQ(SteelPlateText(131098, si), "None");
}

TEST(LaggingSteelPlate, NoPlateIsAFailingVerdict)
{
    TTWData p = EnglishWall(TLaggingType::ltSteelPlate);
    p.YieldStrength = 1; // Sreq = 21528 / 600 = 35.9 in3
    DesignLagging(p);
    EXPECT_EQ(p.LaggingResults.SizeText, "None");
    EXPECT_FALSE(p.LaggingResults.SizeOK);
    // A run through the full design gives 3.0 in3 -> 1.50 inch plate.
    p.YieldStrength = 1794.0L * 12 / (0.6L * 1000 * 3.0L);
    DesignLagging(p);
    EXPECT_NEAR(static_cast<double>(p.LaggingResults.RequiredSectionModulus), 3.0, 1e-12);
    EXPECT_EQ(p.LaggingResults.SizeText, "1.50 inch steel plate");
    EXPECT_TRUE(p.LaggingResults.SizeOK);
}

TEST(LaggingConcrete, EnglishTableRowsAndBars)
{
    TTWData p = EnglishWall(TLaggingType::ltConcrete);
    auto text = [&p](long double pressure, int strength) {
        p.LaggingConcrete = strength;
        p.LaggingResults.SoilPressure = pressure;
        return ConcreteLaggingText(p);
    };
    EXPECT_EQ(text(0, 0), "3.0 in PCC with\r#4 bars at 12 in O.C.");
    EXPECT_EQ(text(280, 0), "3.0 in PCC with\r#4 bars at 12 in O.C.");
    EXPECT_EQ(text(281, 0), "4.0 in PCC with\r#4 bars at 12 in O.C.");
    EXPECT_EQ(text(370, 0), "5.0 in PCC with\r#4 bars at 12 in O.C.");
    EXPECT_EQ(text(371, 0), "6.0 in PCC with\r#5 bars at 12 in O.C.");
    EXPECT_EQ(text(535, 0), "10.0 in PCC with\r#5 bars at 12 in O.C.");
    EXPECT_EQ(text(535.01L, 0), "SPECIAL DESIGN");
    // 4.5 ksi: any list value other than 0 selects it.
    EXPECT_EQ(text(350, 1), "3.0 in PCC with\r#4 bars at 12 in O.C.");
    EXPECT_EQ(text(450, 1), "5.0 in PCC with\r#4 bars at 12 in O.C.");
    EXPECT_EQ(text(451, 1), "6.0 in PCC with\r#5 bars at 12 in O.C.");
    EXPECT_EQ(text(640, 7), "10.0 in PCC with\r#5 bars at 12 in O.C.");
    EXPECT_EQ(text(641, 1), "SPECIAL DESIGN");
}

TEST(LaggingConcrete, SITableRowsAndBars)
{
    TTWData p = SIWall(TLaggingType::ltConcrete);
    auto text = [&p](long double pressure, int strength) {
        p.LaggingConcrete = strength;
        p.LaggingResults.SoilPressure = pressure;
        return ConcreteLaggingText(p);
    };
    EXPECT_EQ(text(13.4L, 0), "75 mm CONC with\r12 mm bars at 250 mm O.C.");
    EXPECT_EQ(text(13.5L, 0), "100 mm CONC with\r12 mm bars at 250 mm O.C.");
    EXPECT_EQ(text(17.7L, 0), "125 mm CONC with\r12 mm bars at 250 mm O.C.");
    EXPECT_EQ(text(17.8L, 0), "150 mm CONC with\r14 mm bars at 250 mm O.C.");
    EXPECT_EQ(text(25.6L, 0), "250 mm CONC with\r14 mm bars at 250 mm O.C.");
    EXPECT_EQ(text(25.7L, 0), "SPECIAL DESIGN");
    EXPECT_EQ(text(16.7L, 1), "75 mm CONC with\r12 mm bars at 250 mm O.C.");
    EXPECT_EQ(text(21.6L, 1), "150 mm CONC with\r14 mm bars at 250 mm O.C.");
    EXPECT_EQ(text(30.6L, 1), "250 mm CONC with\r14 mm bars at 250 mm O.C.");
    EXPECT_EQ(text(30.7L, 1), "SPECIAL DESIGN");
}

TEST(LaggingConcrete, MaterialTextsUseTheRightQuotationMark)
{
    TTWData p = EnglishWall(TLaggingType::ltConcrete);
    EXPECT_EQ(LaggingMaterialText(p), "f\x92"
                                      "c = 3 ksi, fy = 60 ksi\rModulus of Rupture = 0.49 ksi");
    EXPECT_EQ(AnsiToUtf8(LaggingMaterialText(p)),
              "f\u2019c = 3 ksi, fy = 60 ksi\rModulus of Rupture = 0.49 ksi");
    p.LaggingConcrete = 1;
    EXPECT_EQ(AnsiToUtf8(LaggingMaterialText(p)),
              "f\u2019c = 4.5 ksi, fy = 60 ksi\rModulus of Rupture = 0.60 ksi");
    TTWData s = SIWall(TLaggingType::ltConcrete);
    EXPECT_EQ(AnsiToUtf8(LaggingMaterialText(s)),
              "f\u2019c = 21 MPa, fy = 410 MPa\rModulus of Rupture = 3.4 MPa");
    s.LaggingConcrete = 1;
    EXPECT_EQ(AnsiToUtf8(LaggingMaterialText(s)),
              "f\u2019c = 32 MPa, fy = 410 MPa\rModulus of Rupture = 4.1 MPa");
}

TEST(LaggingConcrete, FullDesignFillsBothTextsAndNoSizeVerdict)
{
    // p = 312 psf: 3.0 ksi gives the 330 psf row (4.0 in), 4.5 ksi the 350 psf row (3.0 in).
    TTWData p = EnglishWall(TLaggingType::ltConcrete);
    DesignLagging(p);
    EXPECT_EQ(p.LaggingResults.ConcreteText, "4.0 in PCC with\r#4 bars at 12 in O.C.");
    EXPECT_EQ(AnsiToUtf8(p.LaggingResults.MaterialText),
              "f\u2019c = 3 ksi, fy = 60 ksi\rModulus of Rupture = 0.49 ksi");
    EXPECT_NEAR(static_cast<double>(p.LaggingResults.Moment), 1794.0, 1e-9);
    EXPECT_TRUE(p.LaggingResults.SizeText.empty());
    p.LaggingConcrete = 1;
    DesignLagging(p);
    EXPECT_EQ(p.LaggingResults.ConcreteText, "3.0 in PCC with\r#4 bars at 12 in O.C.");

    // The SI twin without surcharge lands in the same rows (312 psf = 14.94 kPa).
    TTWData s = SIWall(TLaggingType::ltConcrete);
    s.Surcharge = 0;
    s.ActiveEFP = 65 * kPsfPerFt;
    DesignLagging(s);
    EXPECT_NEAR(static_cast<double>(s.LaggingResults.SoilPressure), static_cast<double>(312 * kPsf),
                1e-9);
    EXPECT_EQ(s.LaggingResults.ConcreteText, "100 mm CONC with\r12 mm bars at 250 mm O.C.");
    s.LaggingConcrete = 1;
    DesignLagging(s);
    EXPECT_EQ(s.LaggingResults.ConcreteText, "75 mm CONC with\r12 mm bars at 250 mm O.C.");
}

TEST(LaggingScope, NothingIsDesignedWithoutLaggingOrForOtherPiles)
{
    TTWData p = EnglishWall(TLaggingType::ltTimber);
    DesignLagging(p);
    ASSERT_TRUE(p.LaggingResults.Designed);

    p.LaggingType = TLaggingType::ltNone;
    DesignLagging(p);
    EXPECT_FALSE(p.LaggingResults.Designed);
    EXPECT_EQ(p.LaggingResults.SoilPressure, 0);
    EXPECT_TRUE(p.LaggingResults.SizeText.empty());

    for (TPileType type :
         {TPileType::ptTangentPile, TPileType::ptSecantPile, TPileType::ptSheetPile}) {
        TTWData q = EnglishWall(TLaggingType::ltSteelPlate);
        DesignLagging(q);
        ASSERT_TRUE(q.LaggingResults.Designed);
        q.PileType = type;
        DesignLagging(q);
        EXPECT_FALSE(q.LaggingResults.Designed);
        EXPECT_EQ(q.LaggingResults.Moment, 0);
    }
}

TEST(LaggingScope, DrivenPileSpansBetweenFlanges)
{
    TTWData p = EnglishWall(TLaggingType::ltSteelPlate);
    p.InstallMethod = TInstallMethod::imDriven;
    const long double bf = p.GetSection().bf;
    ASSERT_GT(bf, 0);
    DesignLagging(p);
    EXPECT_NEAR(static_cast<double>(p.LaggingResults.ClearSpan), static_cast<double>(8 - bf / 12),
                1e-12);
    EXPECT_NEAR(static_cast<double>(p.LaggingResults.SoilPressure),
                static_cast<double>((8 - bf / 12) * 65 * 0.8L), 1e-9);
    p.InstallMethod = TInstallMethod::imDrilled;
    DesignLagging(p);
    EXPECT_NEAR(static_cast<double>(p.LaggingResults.ClearSpan), 6.0, 1e-12);
}

TEST(LaggingScope, NoClearSpanIsAnAnalysisError)
{
    TTWData p = EnglishWall(TLaggingType::ltTimber);
    p.PileWidth = 8;
    try {
        DesignLagging(p);
        FAIL() << "expected an analysis error";
    } catch (const TAnalysisError& e) {
        EXPECT_EQ(e.Step(), "lagging design");
        EXPECT_NE(e.Detail().find("clear span"), std::string::npos) << e.Detail();
    }
}
