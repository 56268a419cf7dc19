// Project files: the layout of what is written, the round trip of every persisted field and
// the reading of every older version.
#include <array>
#include <cstring>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "ProjectFileTestSupport.h"
#include "engine/ProjectFile.h"
#include "engine/TWClasses.h"

using namespace tw;
using namespace tw::test;

// --- Layout ---------------------------------------------------------------------------

TEST(ProjectFileLayout, EmptyProjectIs1214BytesWithTheHeaderAsItStands)
{
    TTWData p;
    p.NewProject(true);
    const std::string bytes = Save(p);
    ASSERT_EQ(bytes.size(), 1214u);
    std::string header(64, '\0');
    header[0] = 17;
    header.replace(1, 17, "Brenmoor Tarnwick");
    header[51] = 4;
    header.replace(52, 4, "1.21");
    EXPECT_EQ(bytes.substr(0, 64), header);
    // Four empty texts and eight zero bytes for the missing logo.
    EXPECT_EQ(bytes.substr(64, kEmptyVariablePart), std::string(kEmptyVariablePart, '\0'));
}

TEST(ProjectFileLayout, ItemsLieAtTheirOffsetsInTheFixedPart)
{
    TTWData p = EveryFieldSet();
    p.ClearLogo();
    p.Organization.clear();
    p.ProjectName.clear();
    p.JobNumber.clear();
    p.DesignedBy.clear();
    p.SubgradeModulus = 0; // no extension: the fixed part ends the file
    const std::string b = Save(p);
    ASSERT_EQ(b.size(), 1214u);
    const std::size_t f = kFixedStart;
    double date = 0;
    std::memcpy(&date, b.data() + f, 8);
    EXPECT_EQ(date, p.ProjectDate);
    EXPECT_EQ(b[f + 8], 1); // SI
    EXPECT_EQ(Int32At(b, f + 9), 2);
    EXPECT_EQ(Int32At(b, f + 13), 1);
    EXPECT_EQ(Int32At(b, f + 17), 2);
    EXPECT_EQ(Int32At(b, f + 21), 1);
    EXPECT_EQ(Int32At(b, f + 25), 1);
    EXPECT_EQ(ExtAt(b, f + 29), p.ActiveEFP);
    EXPECT_EQ(Int32At(b, f + 69), 2);
    EXPECT_EQ(ExtAt(b, f + 113), p.LaggingFcPerp);
    EXPECT_EQ(Int32At(b, f + 133), 1);
    EXPECT_EQ(ExtAt(b, f + 137), p.LaggingModulus);
    EXPECT_EQ(b.substr(f + 147, 10), std::string(10, '\0')) << "reserved bytes are zero";
    EXPECT_EQ(b[f + 157], 1);
    EXPECT_EQ(Int32At(b, f + 158), 2);
    EXPECT_EQ(ExtAt(b, f + 162), p.BackfillPhi);
    EXPECT_EQ(ExtAt(b, f + 222), p.Backfill2Phi);
    EXPECT_EQ(ExtAt(b, f + 282), p.PassivePhi);
    EXPECT_EQ(ExtAt(b, f + 352), p.ReservedSoilValue);
    EXPECT_EQ(ExtAt(b, f + 372), p.WedgeMultiplier);
    EXPECT_EQ(ExtAt(b, f + 382), p.PileSpacing);
    EXPECT_EQ(ExtAt(b, f + 472), p.OtherMoment);
    EXPECT_EQ(b.substr(f + 484, 10), b.substr(f + 472, 10)) << "OtherMoment is written twice";
    EXPECT_EQ(b[f + 482], 1);
    EXPECT_EQ(ExtAt(b, f + 544), p.SeismicArm);
    EXPECT_EQ(b[f + 554], 3);
    EXPECT_EQ(Int32At(b, f + 555), 7);
    EXPECT_EQ(Int32At(b, f + 559), 5);
    EXPECT_EQ(ExtAt(b, f + 563), p.LoadPoints[0].X);
    EXPECT_EQ(ExtAt(b, f + 573), p.LoadPoints[0].W);
    EXPECT_EQ(b.substr(f + 583, 4), std::string("\x01\x02\x00\xFF", 4));
    EXPECT_EQ(ExtAt(b, f + 563 + 7 * 24), p.LoadPoints[7].X);
    EXPECT_EQ(ExtAt(b, f + 755), p.PassivePoints[0].X);
    EXPECT_EQ(Int32At(b, f + 851), 2);
    EXPECT_EQ(Int32At(b, f + 855), 25);
    EXPECT_EQ(ExtAt(b, f + 881), p.TieSpacingOverride);
    EXPECT_EQ(Int32At(b, f + 891), 1);
    EXPECT_EQ(b[f + 895], 10);
    EXPECT_EQ(b.substr(f + 896, 10), "My section");
    EXPECT_EQ(b[f + 1087], 1);
    EXPECT_EQ(b[f + 1088], 1);
    EXPECT_EQ(b[f + 1089], 0);
    EXPECT_EQ(Int32At(b, f + 1090), 6);
    EXPECT_EQ(ExtAt(b, f + 1094), p.GuardrailLength);
    EXPECT_EQ(ExtAt(b, f + 1124), p.GuardrailSpacing);
}

TEST(ProjectFileLayout, NoLogoIsEightZeroBytesAndALogoIsItsLengthAndBytes)
{
    TTWData p;
    p.Organization = "ab";
    std::string b = Save(p);
    EXPECT_EQ(b.substr(64 + 4, 8), std::string(8, '\0'));
    const std::vector<uint8_t> jpeg = SmallJpeg();
    p.SetLogoJpeg(jpeg);
    b = Save(p);
    EXPECT_EQ(GetLE64(reinterpret_cast<const uint8_t*>(b.data()) + 68), jpeg.size());
    EXPECT_EQ(b.substr(76, jpeg.size()), std::string(jpeg.begin(), jpeg.end()));
    EXPECT_EQ(b.size(), 1214u + 2 + jpeg.size());
}

// --- Round trip -----------------------------------------------------------------------

TEST(ProjectFileRoundTrip, EveryFieldComesBackBitForBit)
{
    const TTWData p = EveryFieldSet();
    const std::string first = Save(p);
    const TTWData q = Loaded(first);
    // Every field differs from its default, so a field the reader dropped or misplaced would
    // change the second file.
    EXPECT_EQ(Save(q), first);
    EXPECT_EQ(ExtBytes(q.ReservedSoilValue), ExtBytes(p.ReservedSoilValue));
    EXPECT_EQ(ExtBytes(q.PassiveDelta), ExtBytes(-0.0L));
    EXPECT_EQ(ExtBytes(q.SubgradeModulus), ExtBytes(p.SubgradeModulus));
    EXPECT_EQ(q.Cohesion, std::numeric_limits<long double>::max());
    EXPECT_EQ(q.LoadPoints, p.LoadPoints);
    EXPECT_EQ(q.PassivePoints, p.PassivePoints);
    EXPECT_EQ(q.LoadPoints[3].Padding, p.LoadPoints[3].Padding);
    EXPECT_EQ(q.UserSection, p.UserSection);
    EXPECT_EQ(q.Logo(), p.Logo());
    EXPECT_EQ(q.Organization, "Org \xE9tude");
    EXPECT_EQ(q.ProjectDate, p.ProjectDate);
    EXPECT_EQ(q.OtherMoment, p.OtherMoment);
    EXPECT_EQ(q.SteelLibrary, TSteelLibrary::slEuropean);
    EXPECT_EQ(q.BeamIndex, 7);
    EXPECT_FALSE(q.GuardrailOn);
    EXPECT_TRUE(q.StripLoadOn && q.SeismicLoadOn && q.PipeFilled && q.AllowablePassive);
}

TEST(ProjectFileRoundTrip, LoadedUnitsBringTheirLimitsAndCatalogues)
{
    const TTWData q = Loaded(Save(EveryFieldSet()));
    EXPECT_EQ(q.Units, TUnitSystem::usSI);
    EXPECT_EQ(&q.Limits(), &SIInputLimits());
    EXPECT_EQ(q.SteelShapes(), LoadSteelShapes(TUnitSystem::usSI, TSteelLibrary::slEuropean,
                                               TPileType::ptSecantPile));
    EXPECT_EQ(q.RebarTable(), LoadRebarTable(TRebarStandard::rsCanadian, TUnitSystem::usSI));
    EXPECT_EQ(q.GuardrailShapes(), LoadGuardrailShapes(TUnitSystem::usSI));

    // And back: an English file loaded into an SI project.
    TTWData si = Loaded(Save(EveryFieldSet()));
    TTWData english;
    english.NewProject(true);
    Load(si, Save(english));
    EXPECT_EQ(si.Units, TUnitSystem::usEnglish);
    EXPECT_EQ(&si.Limits(), &EnglishInputLimits());
    EXPECT_EQ(si.RebarTable(), LoadRebarTable(TRebarStandard::rsUS, TUnitSystem::usEnglish));

    // English with one other selection each.
    english.RebarStandard = TRebarStandard::rsEuropean;
    EXPECT_EQ(Loaded(Save(english)).RebarTable(),
              LoadRebarTable(TRebarStandard::rsEuropean, TUnitSystem::usEnglish));
    english.RebarStandard = TRebarStandard::rsUS;
    english.SetSteelLibrary(TSteelLibrary::slAustralian);
    EXPECT_EQ(Loaded(Save(english)).SteelShapes(),
              LoadSteelShapes(TUnitSystem::usEnglish, TSteelLibrary::slAustralian,
                              TPileType::ptSoldierBeam));
    english.SetSteelLibrary(TSteelLibrary::slNorthAmerican);
    english.SetPileType(TPileType::ptSheetPile);
    EXPECT_EQ(Loaded(Save(english)).SteelShapes(),
              LoadSteelShapes(TUnitSystem::usEnglish, TSteelLibrary::slNorthAmerican,
                              TPileType::ptSheetPile));
}

TEST(ProjectFileRoundTrip, UserSectionRecordKeepsItsUnusedBytesUntilTheSectionChanges)
{
    TTWData p = EveryFieldSet();
    std::string b = Save(p);
    const std::size_t rec = kFixedStart + p.Organization.size() + p.ProjectName.size() +
                            p.JobNumber.size() + p.DesignedBy.size() + p.Logo().size() +
                            kUserRecordOffset;
    ASSERT_EQ(b.substr(rec + 1, 10), "My section");
    // Garbage behind the name and in both padding areas: not significant, but carried.
    for (std::size_t i = 11; i < 56; ++i)
        b[rec + i] = static_cast<char>(0xA0 + i % 16);
    for (std::size_t i = 186; i < 192; ++i)
        b[rec + i] = '\x5A';
    TTWData q = Loaded(b);
    EXPECT_EQ(q.UserSection, p.UserSection);
    EXPECT_EQ(Save(q), b);
    // Once the section is edited the record is written afresh, unused bytes zero.
    TSteelShape edited = q.UserSection;
    edited.Zx = 42;
    q.SetUserSection(edited);
    const std::string c = Save(q);
    EXPECT_EQ(c.substr(rec + 11, 45), std::string(45, '\0'));
    EXPECT_EQ(c.substr(rec + 186, 6), std::string(6, '\0'));
    EXPECT_EQ(ExtAt(c, rec + 56), 42.0L);
}

TEST(ProjectFileRoundTrip, TextsOf255CharactersSurviveAndLongerOnesAreCut)
{
    TTWData p;
    p.Organization = std::string(255, 'O');
    p.ProjectName = std::string(300, 'P');
    p.JobNumber = std::string(255, '\xFF');
    p.DesignedBy = "x";
    const std::string b = Save(p);
    EXPECT_EQ(b.size(), 1214u + 255 + 255 + 255 + 1);
    const TTWData q = Loaded(b);
    EXPECT_EQ(q.Organization, p.Organization);
    EXPECT_EQ(q.ProjectName, std::string(255, 'P'));
    EXPECT_EQ(q.JobNumber, p.JobNumber);
    EXPECT_EQ(q.DesignedBy, "x");
}

TEST(ProjectFileRoundTrip, AZeroCharacterCutsATextOnLoading)
{
    FileBytes f;
    f.Header("1.21").Text(std::string("AB\0CD", 5)).I64(0).Text(std::string("\0xyz", 4));
    f.Text("Job").Text("Designer").Raw(std::string(1134, '\0'));
    const TTWData q = Loaded(f.s);
    EXPECT_EQ(q.Organization, "AB");
    EXPECT_EQ(q.ProjectName, "");
    EXPECT_EQ(q.JobNumber, "Job");
    EXPECT_EQ(q.DesignedBy, "Designer");
}

// --- Versions -------------------------------------------------------------------------

TEST(ProjectFileVersions, NewerThan121IsRefusedAnd121Or12Or120AreTheSameLayout)
{
    const TTWData p = EveryFieldSet();
    const std::string b = Save(p);
    ExpectWrongFormat(WithVersion(b, "1.22"));
    ExpectWrongFormat(WithVersion(b, "2"));
    ExpectWrongFormat(WithVersion(b, "1.2100001"));
    for (const char* v : {"1.21", "1.2", "1.20", "1.210", " 1.2 ", "+1.2", "12e-1"}) {
        SCOPED_TRACE(v);
        TTWData q = Loaded(WithVersion(b, v));
        EXPECT_EQ(Save(q), b);
    }
}

namespace {

// A file of version 0.9: only the items of every version, then bytes that a reader of later
// items would take for values.
std::string Version09File(const std::string& version)
{
    FileBytes f;
    f.Header(version).EmptyVariablePart();
    f.F64(DateSerial(1999, 9, 9)).U8(0).I32(1).I32(1).I32(0);
    f.Ext(30).Ext(20).Ext(5).Ext(85).Ext(0.12L).Ext(0.3L); // backfill soil
    f.Ext(35).Ext(10).Ext(-5).Ext(95).Ext(0.13L).Ext(1.5L).Ext(0.2L).Ext(77).Ext(1.25L);
    f.Ext(8).Ext(15).Ext(29000).Ext(50).Ext(0.5L).Ext(2.5L).Ext(4).Ext(10).Ext(1).Ext(6);
    f.I32(10); // BeamIndex
    f.Raw(std::string(400, '\x77'));
    return f.s;
}

} // namespace

TEST(ProjectFileVersions, AVersionThatDoesNotConvertIs0)
{
    // Read with "." as the decimal point whatever the locale; a version 0 file has the
    // layout of 0.9.
    const TTWData v09 = Loaded(Version09File("0.9"));
    for (const char* v : {"", "0", "1,21", "abc", "1.2.1", "1e999", "nan", "inf", "0x1"}) {
        SCOPED_TRACE(v);
        const TTWData q = Loaded(Version09File(v));
        EXPECT_EQ(Save(q), Save(v09));
        EXPECT_EQ(q.BeamIndex, 14);
        EXPECT_EQ(q.WedgeMultiplier, 2.0L);
    }
}

TEST(ProjectFileVersions, Version09ReadsOnlyTheItemsOfEveryVersion)
{
    const TTWData q = Loaded(Version09File("0.9"));
    EXPECT_EQ(q.ProjectDate, DateSerial(1999, 9, 9));
    EXPECT_EQ(q.AnalysisMethod, TAnalysisMethod::amGrossPressure);
    EXPECT_EQ(q.InstallMethod, TInstallMethod::imDriven);
    EXPECT_EQ(q.BackfillPhi, 30.0L);
    EXPECT_EQ(q.Surcharge, 0.3L);
    EXPECT_EQ(q.PassivePhi, 35.0L);
    EXPECT_EQ(q.ReservedSoilValue, 77.0L);
    EXPECT_EQ(q.IgnorePassiveHeight, 1.25L);
    EXPECT_EQ(q.PileSpacing, 8.0L);
    EXPECT_EQ(q.ShoredHeight, 15.0L);
    EXPECT_EQ(q.OtherMoment, 6.0L);
    EXPECT_EQ(q.BeamIndex, 14) << "North American I-beam rows moved down by 4 in 1.19";
    // Nothing from 0.91 on was read: the built-in defaults stay.
    EXPECT_EQ(q.Reinforcement, TReinforcement::rfIBeam);
    EXPECT_EQ(q.SoilMethod, TSoilMethod::smCoulomb);
    EXPECT_EQ(q.Backfill2Phi, 0.0L);
    EXPECT_EQ(q.Backfill2WallAngle, 90.0L);
    EXPECT_EQ(q.WedgeMultiplier, 2.0L);
    EXPECT_EQ(q.LaggingFb, 1100.0L);
    EXPECT_EQ(q.SteelLibrary, TSteelLibrary::slNorthAmerican);
    EXPECT_EQ(q.LoadPoints[0], TPressurePoint{});
    EXPECT_EQ(q.ClearCover, 3.0L);
    EXPECT_TRUE(q.GuardrailOn);
    EXPECT_EQ(q.GuardrailLength, 3.5L);
}

TEST(ProjectFileVersions, Before116ReinforcementOneIsTheRebarCage)
{
    // Date, units, three methods, then Reinforcement; zeros after it.
    TTWData q = Loaded(FileWithFixedStart("1.15", FileBytes().I32(1).s));
    EXPECT_EQ(q.Reinforcement, TReinforcement::rfRebarCage);
    EXPECT_EQ(q.AnalysisMethod, TAnalysisMethod::amGrossPressure);
    q = Loaded(FileWithFixedStart("1.16", FileBytes().I32(1).s));
    EXPECT_EQ(q.Reinforcement, TReinforcement::rfPipe);
    q = Loaded(FileWithFixedStart("1.15", FileBytes().I32(0).s));
    EXPECT_EQ(q.Reinforcement, TReinforcement::rfIBeam);
    // Before 1.04 there is no Reinforcement: the int32 that follows is SoilMethod.
    q = Loaded(FileWithFixedStart("1.03", FileBytes().I32(1).s));
    EXPECT_EQ(q.Reinforcement, TReinforcement::rfIBeam);
    EXPECT_EQ(q.SoilMethod, TSoilMethod::smEquivalentFluid);
}

TEST(ProjectFileVersions, Version093StoresSoilMethodTwiceAndTheSecondCounts)
{
    const std::string rest = FileBytes().I32(0).I32(1).Ext(35).Ext(40).s;
    TTWData q = Loaded(FileWithFixedStart("0.93", rest));
    EXPECT_EQ(q.SoilMethod, TSoilMethod::smEquivalentFluid);
    EXPECT_EQ(q.ActiveEFP, 35.0L);
    EXPECT_EQ(q.PassiveEFP, 40.0L);
    // 0.94 holds one: the second int32 and the first value are then read as one value each.
    q = Loaded(FileWithFixedStart("0.94", FileBytes().I32(1).Ext(35).s));
    EXPECT_EQ(q.SoilMethod, TSoilMethod::smEquivalentFluid);
    EXPECT_EQ(q.ActiveEFP, 35.0L);
    // 0.92 holds none: the bytes belong to later items.
    q = Loaded(FileWithFixedStart("0.92", FileBytes().Ext(33).s));
    EXPECT_EQ(q.SoilMethod, TSoilMethod::smCoulomb);
    EXPECT_EQ(q.ActiveEFP, 0.0L);
    EXPECT_EQ(q.BackfillPhi, 33.0L);
}

TEST(ProjectFileVersions, Version118TimberLaggingWasNumbered4)
{
    const auto lagging = [](const std::string& version, int32_t type) {
        const std::string rest = FileBytes().I32(0).I32(0).Exts(4, 1).I32(type).Exts(5, 2).s;
        return Loaded(FileWithFixedStart(version, rest)).LaggingType;
    };
    EXPECT_EQ(lagging("1.18", 4), TLaggingType::ltTimber);
    EXPECT_EQ(lagging("1.18", 2), TLaggingType::ltSteelPlate);
    EXPECT_EQ(static_cast<int32_t>(lagging("1.17", 4)), 4) << "only 1.18 used the number 4";
    EXPECT_EQ(static_cast<int32_t>(lagging("1.19", 4)), 4);
}

TEST(ProjectFileVersions, Before119NorthAmericanIBeamRowsMoveDownBy4)
{
    TTWData p;
    p.NewProject(true);
    p.BeamIndex = 10;
    p.GuardrailOn = false;
    p.GuardrailLength = 9;
    const std::string b = Save(p);
    TTWData q = Loaded(WithVersion(b, "1.18"));
    EXPECT_EQ(q.BeamIndex, 14);
    // Items from 1.20 on are not read from a 1.18 file.
    EXPECT_TRUE(q.GuardrailOn);
    EXPECT_EQ(q.GuardrailLength, 3.5L);
    EXPECT_EQ(Loaded(WithVersion(b, "1.19")).BeamIndex, 10);

    p.Reinforcement = TReinforcement::rfRebarCage;
    EXPECT_EQ(Loaded(WithVersion(Save(p), "1.18")).BeamIndex, 10) << "round rows did not move";
    p.Reinforcement = TReinforcement::rfIBeam;
    p.SetSteelLibrary(TSteelLibrary::slBritish);
    EXPECT_EQ(Loaded(WithVersion(Save(p), "1.18")).BeamIndex, 10) << "other libraries did not";
    p.SetSteelLibrary(TSteelLibrary::slNorthAmerican);
    p.BeamIndex = -1;
    EXPECT_EQ(Loaded(WithVersion(Save(p), "1.18")).BeamIndex, -1) << "the user section stays";
    p.BeamIndex = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(Loaded(WithVersion(Save(p), "1.18")).BeamIndex,
              std::numeric_limits<int32_t>::min() + 3);
}

TEST(ProjectFileVersions, AnOlderFileIsWholeWhereItsVersionEnds)
{
    // The example stamped with each older version opens when it ends with that version's
    // last item, and is damaged one byte before.
    const std::string example = EnglishExampleFile();
    const std::size_t fixedStart = example.size() - FixedPartSize(1.21);
    for (const char* version :
         {"0.9", "0.91", "0.92", "0.93", "1.01", "1.02", "1.03", "1.04", "1.1", "1.11", "1.12",
          "1.14", "1.15", "1.16", "1.17", "1.18", "1.19", "1.2"}) {
        SCOPED_TRACE(version);
        const std::size_t end = fixedStart + FixedPartSize(std::stod(version));
        const std::string file = WithVersion(example, version);
        EXPECT_NO_THROW(Loaded(file.substr(0, end)));
        try {
            Loaded(file.substr(0, end - 1));
            ADD_FAILURE() << "a file one byte short was accepted";
        } catch (const TDamagedProjectFile& e) {
            EXPECT_EQ(e.Detail(), "it ends after " + std::to_string(end - 1) + " of " +
                                      std::to_string(end) + " bytes");
        }
    }
}

TEST(ProjectFileVersions, Before102ThereIsNoSteelLibrary)
{
    TTWData p;
    p.NewProject(true);
    p.SetSteelLibrary(TSteelLibrary::slAustralian);
    p.BeamIndex = 2;
    const std::string b = Save(p);
    // Version 1.21 reads it; a 1.01 file has no library byte, so the byte at its place and
    // the three after it are read as BeamIndex.
    EXPECT_EQ(Loaded(b).SteelLibrary, TSteelLibrary::slAustralian);
    // A 1.01 file: BeamIndex follows OtherMoment directly.
    FileBytes f;
    f.Header("1.01").EmptyVariablePart().F64(1).U8(0).I32(0).I32(0).I32(0);
    f.I32(0).Exts(4, 0).I32(0).Exts(5, 0).Ext(1.5L); // SoilMethod to ArchingFactor
    f.Exts(6, 0).Exts(6, 0).Exts(9, 0).Ext(2.5L).Exts(10, 0).I32(5);
    const TTWData q = Loaded(Complete(f.s, "1.01"));
    EXPECT_EQ(q.SteelLibrary, TSteelLibrary::slNorthAmerican);
    EXPECT_EQ(q.ArchingFactor, 1.5L);
    EXPECT_EQ(q.WedgeMultiplier, 2.5L);
    EXPECT_EQ(q.BeamIndex, 9) << "row 5, moved down by 4";
}

TEST(ProjectFileExtension, OnlyThisProgramsTaggedExtensionIsRead)
{
    // The subgrade modulus rides after the fixed part, tagged; a file whose tail is cut or
    // holds a value out of the limits is damaged; bytes of another program are left alone.
    TTWData p = HandCheckedWall();
    p.SubgradeModulus = 90;
    const std::string file = Save(p);
    const std::size_t extension = file.size() - 18;
    ASSERT_EQ(file.substr(extension, 4), "TWX1");
    EXPECT_EQ(Loaded(file).SubgradeModulus, 90);

    const auto withValue = [&](long double v) {
        std::string damaged = file;
        const auto bytes = ExtBytes(v);
        std::copy(bytes.begin(), bytes.end(), damaged.begin() + extension + 8);
        return damaged;
    };
    std::string longer = file + '\0'; // a length of 11 with 11 bytes behind it
    longer[extension + 4] = 11;
    std::string foreign = file;
    foreign.replace(extension, 4, "ABCD");
    for (const std::string& damaged :
         {file.substr(0, file.size() - 3), longer, withValue(1e9L), withValue(-1),
          withValue(std::numeric_limits<long double>::quiet_NaN()),
          withValue(std::numeric_limits<long double>::infinity())})
        EXPECT_THROW(Loaded(damaged), TDamagedProjectFile);
    EXPECT_EQ(Loaded(foreign).SubgradeModulus, 0);
}
