#include <cmath>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "engine/Jpeg.h"
#include "engine/TWClasses.h"

using namespace tw;

namespace {

constexpr long double kIn = 2.54L;

} // namespace

TEST(TWClassesDefaults, NewProjectWithoutExamplesGivesTheBuiltInDefaults)
{
    TTWData p;
    EXPECT_EQ(p.Units, TUnitSystem::usEnglish);
    EXPECT_EQ(p.SteelLibrary, TSteelLibrary::slNorthAmerican);
    EXPECT_EQ(p.AnalysisMethod, TAnalysisMethod::amNetPressure);
    EXPECT_EQ(p.InstallMethod, TInstallMethod::imDrilled);
    EXPECT_EQ(p.PileType, TPileType::ptSoldierBeam);
    EXPECT_EQ(p.Reinforcement, TReinforcement::rfIBeam);
    EXPECT_EQ(p.SoilMethod, TSoilMethod::smCoulomb);
    for (long double v :
         {p.ShoredHeight, p.PileSpacing, p.PileWidth, p.BackfillPhi, p.BackfillDelta,
          p.BackfillSlope, p.BackfillUnitWeight, p.Surcharge, p.Backfill2Phi, p.Backfill2UnitWeight,
          p.PassivePhi, p.PassiveUnitWeight, p.PassiveSafetyFactor, p.Cohesion, p.ElasticModulus,
          p.ConcreteStrength, p.TopMoment})
        EXPECT_EQ(v, 0.0L);
    EXPECT_EQ(p.BackfillWallAngle, 90.0L);
    EXPECT_EQ(p.Backfill2WallAngle, 90.0L);
    EXPECT_EQ(p.PassiveWallAngle, 90.0L);
    EXPECT_EQ(p.YieldStrength, 60.0L);
    EXPECT_EQ(p.WedgeMultiplier, 2.0L);
    EXPECT_FALSE(p.AllowablePassive);
    EXPECT_EQ(p.ClearCover, 3.0L);
    EXPECT_EQ(p.TieSpacingOverride, 3.0L);
    EXPECT_EQ(p.ArchingFactor, 1.0L);
    EXPECT_EQ(p.LaggingConcrete, 3);
    EXPECT_EQ(p.LaggingFb, 1100.0L);
    EXPECT_EQ(p.LaggingFv, 150.0L);
    EXPECT_EQ(p.LaggingFcPerp, 625.0L);
    EXPECT_EQ(p.LaggingSizeFactor, 1.0L);
    EXPECT_EQ(p.LaggingFlatUseFactor, 1.0L);
    EXPECT_EQ(p.LaggingModulus, 1.4L);
    EXPECT_EQ(p.LumberGrade, TLumberGrade::lgNo1);
    EXPECT_TRUE(p.GuardrailOn);
    EXPECT_EQ(p.GuardrailLength, 3.5L);
    EXPECT_EQ(p.GuardrailSpacing, p.PileSpacing);
    EXPECT_EQ(p.GuardrailDistLoad, 50.0L);
    EXPECT_EQ(p.GuardrailPointLoad, 200.0L);
    EXPECT_EQ(p.GuardrailSFCompression, 1.67L);
    EXPECT_EQ(p.GuardrailSFBending, 1.67L);
    EXPECT_TRUE(p.Organization.empty() && p.ProjectName.empty() && p.JobNumber.empty() &&
                p.DesignedBy.empty());
    EXPECT_FALSE(p.HasLogo());
    EXPECT_EQ(p.ProjectDate, TodaySerial());
    for (const auto& pt : p.LoadPoints)
        EXPECT_EQ(pt, TPressurePoint{});
    for (const auto& pt : p.PassivePoints)
        EXPECT_EQ(pt, TPressurePoint{});
}

TEST(TWClassesDefaults, NewProjectKeepsTheValuesItDoesNotOwn)
{
    TTWData p;
    p.StripLoadOn = true;
    p.SeismicLoadOn = true;
    p.LaggingType = TLaggingType::ltSteelPlate;
    p.PileType = TPileType::ptSheetPile;
    p.LoadCatalogues();
    p.SelectSection(4);
    const TSteelShape user = p.UserSection;
    p.Organization = "Acme";
    p.ShoredHeight = 12;
    p.NewProject(true);
    EXPECT_TRUE(p.StripLoadOn);
    EXPECT_TRUE(p.SeismicLoadOn);
    EXPECT_EQ(p.LaggingType, TLaggingType::ltSteelPlate);
    EXPECT_EQ(p.SheetIndex, 4);
    EXPECT_EQ(p.UserSection, user);
    EXPECT_EQ(p.UserSection.Name, "AZ 14-770");
    EXPECT_TRUE(p.Organization.empty());
    EXPECT_EQ(p.ShoredHeight, 0.0L);
    EXPECT_EQ(p.PileType, TPileType::ptSoldierBeam);
}

TEST(TWClassesDefaults, NewProjectFromAnSIProjectReturnsToEnglishTables)
{
    TTWData p;
    p.SetUnitSystem(TUnitSystem::usSI);
    p.SetSteelLibrary(TSteelLibrary::slBritish);
    ASSERT_EQ(p.SteelShapes().front().Name, "UB 1016x305x487");
    p.NewProject(true);
    EXPECT_EQ(p.Units, TUnitSystem::usEnglish);
    EXPECT_EQ(p.SteelShapes().front().Name, "W24X370");
    EXPECT_EQ(p.OShapes().front().Name, "HSS20X.500");
    EXPECT_EQ(p.GuardrailShapes().front().Name, "L3-1/2X3-1/2X1/2");
    EXPECT_EQ(&p.Limits(), &EnglishInputLimits());
}

TEST(TWClassesUnits, UnitSystemSwapsLimitsAndEveryCatalogue)
{
    TTWData p;
    p.SetUnitSystem(TUnitSystem::usSI);
    EXPECT_EQ(&p.Limits(), &SIInputLimits());
    EXPECT_EQ(LimitForTag(p.Limits(), Tag::ShoredHeight).Max, 9.0L);
    EXPECT_EQ(p.GuardrailShapes().front().Name, "L89X89X12.7");
    EXPECT_EQ(p.RebarTable()[0].Designation, 10);
    EXPECT_EQ(p.UnitValue(5, 2), 5.0L);
    p.SetUnitSystem(TUnitSystem::usEnglish);
    EXPECT_EQ(&p.Limits(), &EnglishInputLimits());
    EXPECT_EQ(p.RebarTable()[0].Designation, 3);
    EXPECT_EQ(p.UnitValue(5, 2), 2.0L);
}

TEST(TWClassesSections, W24X370KeepsItsIndexAcrossTheUnitSwitch)
{
    TTWData p;
    p.SelectSection(0);
    EXPECT_EQ(p.GetSection().Name, "W24X370");
    p.SetUnitSystem(TUnitSystem::usSI);
    EXPECT_EQ(p.SelectedSectionIndex(), 0);
    const TSteelShape s = p.GetSection();
    EXPECT_EQ(s.Name, "W610X551");
    EXPECT_EQ(s.Zx, 18500.0L);
    EXPECT_EQ(s.Ix, 558000.0L);
    EXPECT_EQ(s.d, 71.1L);
}

TEST(TWClassesSections, MetricLibrariesAreConvertedForEnglishUnits)
{
    TTWData p;
    p.SetSteelLibrary(TSteelLibrary::slAustralian);
    ASSERT_EQ(p.SteelShapes().size(), 41u);
    p.SelectSection(0);
    const TSteelShape s = p.GetSection();
    EXPECT_EQ(s.Name, "610 UB 125");
    EXPECT_EQ(s.d, 61.2L / kIn);
    EXPECT_EQ(s.A, 16000.0L / 100 / (kIn * kIn));
    EXPECT_NEAR(static_cast<double>(s.Zx), 3680 / (2.54 * 2.54 * 2.54), 1e-9);
    EXPECT_NEAR(static_cast<double>(s.Ix), 98600 / std::pow(2.54, 4), 1e-9);
    EXPECT_NEAR(static_cast<double>(s.ry), 49.6 / 25.4, 1e-12);

    p.SetUnitSystem(TUnitSystem::usSI);
    EXPECT_EQ(p.GetSection().d, 61.2L) << "SI keeps the metric row as published";

    p.SetSteelLibrary(TSteelLibrary::slBritish);
    EXPECT_EQ(p.SteelShapes().size(), 84u);
    p.SetSteelLibrary(TSteelLibrary::slEuropean);
    EXPECT_EQ(p.SteelShapes().size(), 67u);
    EXPECT_EQ(p.SteelShapes()[5].Name, "IPE 140");
}

TEST(TWClassesSections, RoundCatalogueFollowsTheLibrary)
{
    TTWData p;
    p.Reinforcement = TReinforcement::rfPipe;
    p.SetSteelLibrary(TSteelLibrary::slBritish);
    ASSERT_EQ(p.OShapes().size(), 829u);
    EXPECT_EQ(p.OShapes().front().Name, "CHShfb121x2");
    p.SetSteelLibrary(TSteelLibrary::slEuropean);
    ASSERT_EQ(p.OShapes().size(), 165u);
    EXPECT_EQ(p.OShapes().front().Name, "HSS20X.500");
    p.SetUnitSystem(TUnitSystem::usSI);
    EXPECT_EQ(p.OShapes().front().Name, "HSS508X12.7");
    // The round catalogue does not depend on the pile type.
    p.SetPileType(TPileType::ptSecantPile);
    EXPECT_EQ(p.OShapes().size(), 165u);
}

TEST(TWClassesSections, RoundSectionsThroughGetSection)
{
    TTWData p;
    p.Reinforcement = TReinforcement::rfPipe;
    p.SelectSection(0);
    TSteelShape s = p.GetSection();
    EXPECT_EQ(s.Name, "HSS20X.500");
    EXPECT_EQ(s.Ix, 1360.0L);
    EXPECT_EQ(s.Iy, 1360.0L);
    EXPECT_EQ(s.d, 20.0L);
    EXPECT_EQ(s.bf, 20.0L);
    EXPECT_EQ(s.tf, 0.465L);
    EXPECT_EQ(s.tw, 0.5L);
    EXPECT_EQ(s.Aw, 28.5L);
    EXPECT_EQ(s.A, 28.5L);
    EXPECT_EQ(s.k1, 43.0L);
    EXPECT_EQ(s.Zx, 177.0L);
    EXPECT_EQ(s.Sx, 136.0L);
    EXPECT_EQ(s.J, 2720.0L);

    p.SetUnitSystem(TUnitSystem::usSI);
    s = p.GetSection();
    EXPECT_EQ(s.Name, "HSS508X12.7");
    EXPECT_EQ(s.Ix, 56600.0L);
    EXPECT_EQ(s.d, 50.8L);
    EXPECT_EQ(s.tf, 11.8L / 10);
    EXPECT_EQ(s.tw, 12.7L / 10);
    EXPECT_EQ(s.A, 18400.0L);
    EXPECT_EQ(s.J, 113000.0L);
    EXPECT_EQ(s.ry, 176.0L);

    // A rebar cage reads the same round catalogue.
    p.Reinforcement = TReinforcement::rfRebarCage;
    EXPECT_EQ(p.GetSection().Name, "HSS508X12.7");
}

TEST(TWClassesSections, UserDefinedSheetStartsFromTheChosenPile)
{
    TTWData p;
    p.SetPileType(TPileType::ptSheetPile);
    ASSERT_EQ(p.SteelShapes().size(), 25u);
    p.SelectSection(0);
    const TSteelShape pz22 = p.GetSection();
    EXPECT_EQ(pz22.Name, "PZ 22");
    EXPECT_EQ(p.UserSection, pz22);
    EXPECT_EQ(p.BeamIndex, 0) << "a sheet pile choice is stored in SheetIndex";

    p.SelectSection(-1);
    EXPECT_EQ(p.SheetIndex, -1);
    EXPECT_EQ(p.GetSection(), pz22);

    // Edits stay while "User Defined" is chosen again.
    TSteelShape edited = pz22;
    edited.Name = "My pile";
    edited.Ix = 99;
    p.SetUserSection(edited);
    p.SelectSection(-1);
    EXPECT_EQ(p.GetSection(), edited);

    // Choosing a catalogue pile mirrors it into the user section once more.
    p.SelectSection(2);
    EXPECT_EQ(p.UserSection.Name, "PZ 35");
}

TEST(TWClassesSections, IndexOutsideTheCatalogueReadsTheFirstRow)
{
    TTWData p;
    p.BeamIndex = 5000;
    EXPECT_EQ(p.GetSection().Name, "W24X370");
    p.Reinforcement = TReinforcement::rfPipe;
    EXPECT_EQ(p.GetSection().Name, "HSS20X.500");
    p.Reinforcement = TReinforcement::rfIBeam;
    p.BeamIndex = 100; // valid in the North American list, beyond the Australian one
    p.SetSteelLibrary(TSteelLibrary::slAustralian);
    EXPECT_EQ(p.GetSection().Name, "610 UB 125");
    p.GuardrailShape = 17;
    EXPECT_EQ(p.SelectedGuardrailShape().Name, "L3-1/2X3-1/2X1/2");
    p.GuardrailShape = -3;
    EXPECT_EQ(p.SelectedGuardrailShape().Name, "L3-1/2X3-1/2X1/2");
    p.GuardrailShape = 16;
    EXPECT_EQ(p.SelectedGuardrailShape().Name, "L3X3X3/8");
}

TEST(TWClassesSections, DamagedSelectionNumbersReadSafely)
{
    TTWData p;
    p.SteelLibrary = static_cast<TSteelLibrary>(9);
    p.LoadCatalogues();
    EXPECT_EQ(p.SteelShapes().size(), 111u);
    p.RebarStandard = static_cast<TRebarStandard>(-4);
    p.LoadRebarTable();
    EXPECT_EQ(p.RebarTable()[0].Designation, 3);
    p.Reinforcement = static_cast<TReinforcement>(7);
    p.ApplySelectionRules();
    EXPECT_EQ(p.Reinforcement, TReinforcement::rfIBeam);
}

TEST(TWClassesWidth, EffectivePileWidthByPileType)
{
    TTWData p;
    p.PileWidth = 2.5L;
    EXPECT_EQ(p.EffectivePileWidth(), 2.5L);
    p.InstallMethod = TInstallMethod::imDriven;
    p.SelectSection(0);
    EXPECT_EQ(p.EffectivePileWidth(), 13.7L / 12);
    p.SetUnitSystem(TUnitSystem::usSI);
    EXPECT_EQ(p.EffectivePileWidth(), 34.8L / 100);
    p.SetPileType(TPileType::ptSheetPile);
    EXPECT_EQ(p.EffectivePileWidth(), 1.0L);
}

TEST(TWClassesPassive, GrossPressureTakesTheSecondBackfillOnBothSides)
{
    TTWData p;
    p.PassivePhi = 30;
    p.PassiveUnitWeight = 110;
    p.PassiveSafetyFactor = 1.5L;
    p.Backfill2Phi = 34;
    p.Backfill2UnitWeight = 125;
    for (auto method : {TAnalysisMethod::amNetPressure, TAnalysisMethod::amUserDefined}) {
        p.AnalysisMethod = method;
        EXPECT_EQ(p.GetPassivePhi(), 30.0L);
        EXPECT_EQ(p.GetPassiveUnitWeight(), 110.0L);
        EXPECT_EQ(p.GetPassiveFS(), 1.5L);
    }
    p.AnalysisMethod = TAnalysisMethod::amGrossPressure;
    EXPECT_EQ(p.GetPassivePhi(), 34.0L);
    EXPECT_EQ(p.GetPassiveUnitWeight(), 125.0L);
    EXPECT_EQ(p.GetPassiveFS(), 1.0L);
}

TEST(TWClassesSelections, SheetPileIsDrivenAndRebarCageNeedsADrilledHole)
{
    TTWData p;
    p.Reinforcement = TReinforcement::rfRebarCage;
    p.ApplySelectionRules();
    EXPECT_EQ(p.Reinforcement, TReinforcement::rfRebarCage);

    p.InstallMethod = TInstallMethod::imDriven;
    p.ApplySelectionRules();
    EXPECT_EQ(p.Reinforcement, TReinforcement::rfIBeam);

    p.InstallMethod = TInstallMethod::imDrilled;
    p.Reinforcement = TReinforcement::rfPipe;
    p.PileType = TPileType::ptSheetPile;
    p.ApplySelectionRules();
    EXPECT_EQ(p.InstallMethod, TInstallMethod::imDriven);
    EXPECT_EQ(p.Reinforcement, TReinforcement::rfIBeam);

    EXPECT_EQ(ReinforcementItemsFor(TInstallMethod::imDrilled).size(), 3u);
    EXPECT_EQ(ReinforcementItemsFor(TInstallMethod::imDriven).back(), "O-Pipe");
}

TEST(TWClassesEnumerations, StoredNumbersAndItemTexts)
{
    EXPECT_EQ(static_cast<int>(TPileType::ptSheetPile), 3);
    EXPECT_EQ(kPileTypeItems[0], "Soldier Beam (King Pile)");
    EXPECT_EQ(static_cast<int>(TReinforcement::rfRebarCage), 2);
    EXPECT_EQ(kReinforcementItems[1], "O-Pipe");
    EXPECT_EQ(kSoilMethodItems[1], "Equivalent Fluid Pressure");
    EXPECT_EQ(static_cast<int>(TSteelLibrary::slEuropean), 3);
    EXPECT_EQ(kLaggingTypeItems[3], "Conc. Lagging");
    EXPECT_EQ(kLumberGradeItems[2], "S.S.");
    EXPECT_EQ(kShoredHeightFillItems[1], "Slurry on Shored Height");
    EXPECT_EQ(kAllowablePassiveItems[1], "Allowable Passive");
    EXPECT_EQ(LaggingConcreteItems(TUnitSystem::usSI)[1], "32");
    EXPECT_EQ(LaggingConcreteItems(TUnitSystem::usEnglish)[0], "3.0");
    EXPECT_EQ(sizeof(TPileNode), 16 * sizeof(long double));
}

TEST(TWClassesLogo, OnlyAValidJpegBecomesTheLogo)
{
    TTWData p;
    std::vector<uint8_t> rgb(16 * 8 * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<uint8_t>(i * 7);
    p.SetLogoImage(16, 8, rgb);
    ASSERT_TRUE(p.HasLogo());
    const auto info = JpegDimensions(p.Logo());
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->width, 16);
    EXPECT_EQ(info->height, 8);

    const auto before = p.Logo();
    EXPECT_THROW(p.SetLogoJpeg({0xFF, 0xD8, 0xFF, 0x00, 0x12}), std::invalid_argument);
    EXPECT_EQ(p.Logo(), before) << "a rejected picture leaves the logo as it was";

    std::vector<uint8_t> truncated(before.begin(), before.begin() + before.size() / 2);
    EXPECT_THROW(p.SetLogoJpeg(truncated), std::invalid_argument);
    EXPECT_EQ(p.Logo(), before);

    p.ClearLogo();
    EXPECT_FALSE(p.HasLogo());
    p.SetLogoJpeg(before);
    EXPECT_EQ(p.Logo(), before);
}

TEST(TWClassesLogo, LoadLogoFromFile)
{
    const auto dir =
        std::filesystem::temp_directory_path() /
        ("tw_logo_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(dir);
    TTWData p;
    EXPECT_THROW(p.LoadLogoFromFile(dir / "missing.jpg"), std::runtime_error);

    {
        std::ofstream(dir / "text.jpg") << "not a picture";
    }
    EXPECT_THROW(p.LoadLogoFromFile(dir / "text.jpg"), std::runtime_error);
    EXPECT_FALSE(p.HasLogo());

    JpegImage image{4, 4, std::vector<uint8_t>(48, 200)};
    const auto jpeg = EncodeJpeg(image);
    {
        std::ofstream out(dir / "logo.jpg", std::ios::binary);
        out.write(reinterpret_cast<const char*>(jpeg.data()),
                  static_cast<std::streamsize>(jpeg.size()));
    }
    p.LoadLogoFromFile(dir / "logo.jpg");
    EXPECT_EQ(p.Logo(), jpeg);
    std::filesystem::remove_all(dir);
}
