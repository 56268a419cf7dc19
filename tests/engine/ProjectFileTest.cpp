#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/Extended80.h"
#include "engine/Jpeg.h"
#include "engine/TWClasses.h"

using namespace tw;
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kHeader = 64;
constexpr std::size_t kEmptyVariablePart = 2 + 8 + 3 * 2;
constexpr std::size_t kFixedStart = kHeader + kEmptyVariablePart;
constexpr std::size_t kUserRecordOffset = 895;

std::string Save(const TTWData& p)
{
    std::ostringstream out(std::ios::binary);
    p.SaveToStream(out);
    return out.str();
}

void Load(TTWData& p, const std::string& bytes)
{
    std::istringstream in(bytes, std::ios::binary);
    p.LoadFromStream(in);
}

TTWData Loaded(const std::string& bytes)
{
    TTWData p;
    Load(p, bytes);
    return p;
}

std::array<uint8_t, 10> ExtBytes(long double v)
{
    std::array<uint8_t, 10> b{};
    EncodeExtended(v, b);
    return b;
}

long double ExtAt(const std::string& bytes, std::size_t at)
{
    std::array<uint8_t, 10> b{};
    std::memcpy(b.data(), bytes.data() + at, b.size());
    return DecodeExtended(b);
}

int32_t Int32At(const std::string& bytes, std::size_t at)
{
    return static_cast<int32_t>(GetLE32(reinterpret_cast<const uint8_t*>(bytes.data() + at)));
}

// Bytes of a hand-made project file.
struct FileBytes
{
    std::string s;

    FileBytes& U8(int v)
    {
        s.push_back(static_cast<char>(v));
        return *this;
    }
    FileBytes& I32(int32_t v)
    {
        uint8_t b[4];
        PutLE32(b, static_cast<uint32_t>(v));
        s.append(reinterpret_cast<const char*>(b), 4);
        return *this;
    }
    FileBytes& I64(int64_t v)
    {
        uint8_t b[8];
        PutLE64(b, static_cast<uint64_t>(v));
        s.append(reinterpret_cast<const char*>(b), 8);
        return *this;
    }
    FileBytes& F64(double v)
    {
        std::array<uint8_t, 8> b{};
        EncodeDouble64(v, b);
        s.append(reinterpret_cast<const char*>(b.data()), 8);
        return *this;
    }
    FileBytes& Ext(long double v)
    {
        const auto b = ExtBytes(v);
        s.append(reinterpret_cast<const char*>(b.data()), b.size());
        return *this;
    }
    FileBytes& Exts(int count, long double v)
    {
        for (int i = 0; i < count; ++i)
            Ext(v);
        return *this;
    }
    FileBytes& Text(const std::string& t)
    {
        uint8_t b[2];
        PutLE16(b, static_cast<uint16_t>(t.size()));
        s.append(reinterpret_cast<const char*>(b), 2);
        s += t;
        return *this;
    }
    FileBytes& Raw(const std::string& t)
    {
        s += t;
        return *this;
    }
    // The 64-byte header with a product and a version string.
    FileBytes& Header(const std::string& version, const std::string& product = "Brenmoor Tarnwick")
    {
        std::string h(64, '\0');
        h[0] = static_cast<char>(product.size());
        h.replace(1, product.size(), product);
        h[51] = static_cast<char>(version.size());
        h.replace(52, version.size(), version);
        s += h;
        return *this;
    }
    // Four empty texts and no logo.
    FileBytes& EmptyVariablePart() { return Text("").I64(0).Text("").Text("").Text(""); }
};

// A file of the given version whose fixed part holds the first five items only (date,
// units and three methods), followed by `rest`.
std::string FileWithFixedStart(const std::string& version, const std::string& rest)
{
    FileBytes f;
    f.Header(version).EmptyVariablePart();
    f.F64(DateSerial(2001, 2, 3)).U8(0).I32(1).I32(0).I32(0);
    return f.s + rest;
}

// The file with its version string replaced.
std::string WithVersion(std::string bytes, const std::string& version)
{
    std::fill(bytes.begin() + 51, bytes.begin() + 64, '\0');
    bytes[51] = static_cast<char>(version.size());
    bytes.replace(52, version.size(), version);
    return bytes;
}

std::vector<uint8_t> SmallJpeg()
{
    JpegImage image;
    image.width = 16;
    image.height = 8;
    for (int i = 0; i < image.width * image.height; ++i) {
        image.rgb.push_back(static_cast<uint8_t>(i * 7));
        image.rgb.push_back(static_cast<uint8_t>(255 - i));
        image.rgb.push_back(static_cast<uint8_t>(i * 3));
    }
    return EncodeJpeg(image);
}

// A project with every persisted field away from its built-in default.
TTWData EveryFieldSet()
{
    TTWData p;
    p.SetUnitSystem(TUnitSystem::usSI);
    p.SetSteelLibrary(TSteelLibrary::slEuropean);
    p.SetPileType(TPileType::ptSecantPile);
    long double next = 1;
    const auto v = [&next] { return next++ + 1.0L / 3; }; // every significand bit in use
    p.Organization = "Org \xE9tude";
    p.ProjectName = "Project";
    p.JobNumber = "J-17";
    p.DesignedBy = "D. B.";
    p.SetLogoJpeg(SmallJpeg());
    p.ProjectDate = DateSerial(2011, 4, 5) + 0.25;
    p.AnalysisMethod = TAnalysisMethod::amUserDefined;
    p.InstallMethod = TInstallMethod::imDriven;
    p.Reinforcement = TReinforcement::rfPipe;
    p.SoilMethod = TSoilMethod::smEquivalentFluid;
    for (long double* f : {&p.ActiveEFP,
                           &p.PassiveEFP,
                           &p.MaxPassivePressure,
                           &p.Active2EFP,
                           &p.LaggingFb,
                           &p.LaggingFv,
                           &p.LaggingSizeFactor,
                           &p.LaggingFlatUseFactor,
                           &p.LaggingFcPerp,
                           &p.ArchingFactor,
                           &p.LaggingModulus,
                           &p.BackfillPhi,
                           &p.BackfillDelta,
                           &p.BackfillSlope,
                           &p.BackfillWallAngle,
                           &p.BackfillUnitWeight,
                           &p.Surcharge,
                           &p.Backfill2Phi,
                           &p.Backfill2Delta,
                           &p.Backfill2Slope,
                           &p.Backfill2WallAngle,
                           &p.Backfill2UnitWeight,
                           &p.Backfill2Surcharge,
                           &p.PassivePhi,
                           &p.PassiveDelta,
                           &p.PassiveSlope,
                           &p.PassiveWallAngle,
                           &p.PassiveUnitWeight,
                           &p.PassiveSafetyFactor,
                           &p.Cohesion,
                           &p.IgnorePassiveHeight,
                           &p.WedgeMultiplier,
                           &p.PileSpacing,
                           &p.ShoredHeight,
                           &p.ElasticModulus,
                           &p.YieldStrength,
                           &p.AllowableTopDeflection,
                           &p.PileWidth,
                           &p.ConcreteStrength,
                           &p.AxialLoad,
                           &p.LateralLoadTop,
                           &p.OtherMoment,
                           &p.StripSetback,
                           &p.StripWidth,
                           &p.StripDepth,
                           &p.StripPressure,
                           &p.SeismicThrust,
                           &p.SeismicArm,
                           &p.ClearCover,
                           &p.TieSpacingOverride,
                           &p.GuardrailLength,
                           &p.GuardrailDistLoad,
                           &p.GuardrailPointLoad,
                           &p.GuardrailSpacing})
        *f = v();
    // Values that only a faithful 80-bit codec keeps.
    p.ReservedSoilValue = -std::numeric_limits<long double>::denorm_min();
    p.Cohesion = std::numeric_limits<long double>::max();
    p.PassiveDelta = -0.0L;
    p.LaggingType = TLaggingType::ltSteelPlate;
    p.LaggingConcrete = 1;
    p.SouthernPine = true;
    p.LumberGrade = TLumberGrade::lgSelectStructural;
    p.StripLoadOn = true;
    p.SeismicLoadOn = true;
    p.BeamIndex = 7;
    p.SheetIndex = 5;
    uint8_t pad = 1;
    for (auto* points : {p.LoadPoints.data(), p.PassivePoints.data()}) {
        const int count = points == p.LoadPoints.data() ? kLoadPointCount : kPassivePointCount;
        for (int i = 0; i < count; ++i) {
            points[i].X = v();
            points[i].W = -v();
            points[i].Padding = {pad, static_cast<uint8_t>(pad + 1), 0, 0xFF};
            pad = static_cast<uint8_t>(pad + 2);
        }
    }
    p.RebarStandard = TRebarStandard::rsCanadian;
    p.VerticalBarSize = 25;
    p.BarCount = 12;
    p.TieType = TTieType::ttSpiral;
    p.TieBarSize = 10;
    p.ShoredHeightFill = TShoredHeightFill::sfSlurry;
    TSteelShape user;
    user.Name = "My section";
    user.Zx = v();
    user.Ix = v();
    user.tw = v();
    p.SetUserSection(user);
    p.PipeFilled = true;
    p.AllowablePassive = true;
    p.GuardrailOn = false;
    p.GuardrailShape = 6;
    p.LoadRebarTable();
    return p;
}

// A temporary folder removed with everything in it at the end of the test.
class TempFolder
{
public:
    TempFolder()
    {
        std::random_device rd;
        Path = fs::temp_directory_path() / ("tw_projectfile_" + std::to_string(rd()));
        fs::create_directories(Path);
    }
    ~TempFolder()
    {
        std::error_code ec;
        fs::remove_all(Path, ec);
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(Path))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path Path;
};

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// An input stream that cannot seek, like a pipe.
class PipeBuf : public std::streambuf
{
public:
    explicit PipeBuf(std::string bytes) : Bytes_(std::move(bytes))
    {
        setg(Bytes_.data(), Bytes_.data(), Bytes_.data() + Bytes_.size());
    }

private:
    std::string Bytes_;
};

void ExpectWrongFormat(const std::string& bytes)
{
    TTWData p;
    try {
        Load(p, bytes);
        ADD_FAILURE() << "the file was accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Wrong file format");
    }
}

} // namespace

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
    f.Text("Job").Text("Designer");
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
    // Date, units, three methods, then Reinforcement; the file ends there.
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
    const TTWData q = Loaded(f.s);
    EXPECT_EQ(q.SteelLibrary, TSteelLibrary::slNorthAmerican);
    EXPECT_EQ(q.ArchingFactor, 1.5L);
    EXPECT_EQ(q.WedgeMultiplier, 2.5L);
    EXPECT_EQ(q.BeamIndex, 9) << "row 5, moved down by 4";
}

// --- Logo -----------------------------------------------------------------------------

TEST(ProjectFileLogo, LogoBytesRoundTripAndLengthZeroIsNoLogo)
{
    TTWData p;
    p.SetLogoJpeg(SmallJpeg());
    EXPECT_EQ(Loaded(Save(p)).Logo(), SmallJpeg());
    FileBytes f;
    f.Header("1.21").EmptyVariablePart();
    TTWData q;
    q.SetLogoJpeg(SmallJpeg());
    Load(q, f.s);
    EXPECT_FALSE(q.HasLogo()) << "the previous logo is freed";
}

TEST(ProjectFileLogo, CorruptJpegIsAnErrorOfTheDecoder)
{
    std::vector<uint8_t> jpeg = SmallJpeg();
    jpeg.resize(jpeg.size() / 2);
    FileBytes f;
    f.Header("1.21").Text("").I64(static_cast<int64_t>(jpeg.size()));
    f.Raw(std::string(jpeg.begin(), jpeg.end())).Text("").Text("").Text("");
    TTWData q;
    EXPECT_THROW(Load(q, f.s), std::runtime_error);
    FileBytes g;
    g.Header("1.21").Text("").I64(5).Raw("hello").Text("").Text("").Text("");
    try {
        Load(q, g.s);
        ADD_FAILURE() << "not a JPEG, but accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("logo"), std::string::npos) << e.what();
    }
}

TEST(ProjectFileLogo, LengthsTheFileCannotHoldAreAWrongFormatNotAnAllocation)
{
    for (const int64_t length :
         {int64_t{-1}, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max(),
          int64_t{1} << 40, int64_t{2000}}) {
        SCOPED_TRACE(length);
        FileBytes f;
        f.Header("1.21").Text("").I64(length).Text("").Text("").Text("");
        f.Raw(std::string(1134, '\0'));
        ExpectWrongFormat(f.s);
        // The same from a stream that cannot seek: read in pieces, and it ends too soon.
        PipeBuf pipe(f.s);
        std::istream in(&pipe);
        TTWData p;
        try {
            p.LoadFromStream(in);
            ADD_FAILURE() << "the file was accepted";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "Wrong file format");
        }
    }
}

TEST(ProjectFileLogo, AStreamThatCannotSeekStillReadsTheLogo)
{
    const TTWData p = EveryFieldSet();
    const std::string b = Save(p);
    PipeBuf pipe(b);
    std::istream in(&pipe);
    TTWData q;
    q.LoadFromStream(in);
    EXPECT_EQ(q.Logo(), p.Logo());
    EXPECT_EQ(Save(q), b);
}

// --- Bad files ------------------------------------------------------------------------

TEST(ProjectFileBadFiles, WrongProductOrHeaderIsAWrongFormat)
{
    TTWData p;
    const std::string b = Save(p);
    std::string wrong = b;
    wrong[5] = 'X';
    ExpectWrongFormat(wrong);
    wrong = b;
    wrong[0] = 16;
    ExpectWrongFormat(wrong);
    ExpectWrongFormat(FileBytes().Header("1.21", "Brenmoor Tarnwick2").EmptyVariablePart().s);
    ExpectWrongFormat("");
    ExpectWrongFormat(b.substr(0, 63));
    // Bytes behind the product string in its field do not matter.
    std::string tail = b;
    tail[40] = 'Z';
    EXPECT_NO_THROW(Loaded(tail));
}

TEST(ProjectFileBadFiles, StoredTextLengthAbove255IsAWrongFormat)
{
    FileBytes f;
    f.Header("1.21").Text(std::string(256, 'a')).I64(0).Text("").Text("").Text("");
    ExpectWrongFormat(f.s);
}

TEST(ProjectFileBadFiles, TruncatedAtEveryByteEitherLoadsOrIsAWrongFormat)
{
    TTWData p = EveryFieldSet();
    const std::string b = Save(p);
    const std::size_t variableEnd = kFixedStart + p.Organization.size() + p.ProjectName.size() +
                                    p.JobNumber.size() + p.DesignedBy.size() + p.Logo().size();
    ASSERT_EQ(b.size(), variableEnd + 1134);
    for (std::size_t n = 0; n < b.size(); ++n) {
        SCOPED_TRACE(n);
        TTWData q;
        if (n < variableEnd) {
            // The header or variable part is cut short: refused.
            EXPECT_THROW(Load(q, b.substr(0, n)), std::runtime_error);
            continue;
        }
        // A fixed part cut short loads: the items that are there, the rest defaults.
        ASSERT_NO_THROW(Load(q, b.substr(0, n)));
        EXPECT_EQ(q.Logo(), p.Logo());
        EXPECT_EQ(q.ProjectDate, n >= variableEnd + 8 ? p.ProjectDate : TodaySerial());
        EXPECT_EQ(q.BeamIndex, n >= variableEnd + 559 ? p.BeamIndex : 0);
        EXPECT_EQ(q.UserSection.Name, n >= variableEnd + 1087 ? p.UserSection.Name : "");
        EXPECT_EQ(q.GuardrailSpacing, 0.0L) << "the last item is never complete";
    }
    // An item cut in the middle is not read, nor is anything after it.
    TTWData q = Loaded(b.substr(0, variableEnd + 8 + 1 + 4 + 4 + 4 + 4 + 4 + 5));
    EXPECT_EQ(q.SoilMethod, TSoilMethod::smEquivalentFluid);
    EXPECT_EQ(q.ActiveEFP, 0.0L);
    EXPECT_EQ(q.LaggingType, TLaggingType::ltNone) << "4 bytes were left, but after a cut item";
    EXPECT_EQ(q.LaggingFb, 1100.0L);
}

TEST(ProjectFileBadFiles, IndicesAndEnumerationsOutOfRangeAreSafeInTheAnalysis)
{
    TTWData p = EveryFieldSet();
    p.ShoredHeight = 12;
    p.PileSpacing = 8;
    const std::string b = Save(p);
    const std::size_t f = b.size() - 1134;
    for (const int32_t bad :
         {-7, 99, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()}) {
        SCOPED_TRACE(bad);
        std::string c = b;
        for (std::size_t at :
             {9, 13, 17, 21, 25, 69, 133, 158, 555, 559, 851, 855, 859, 863, 867, 891, 1090})
            PutLE32(reinterpret_cast<uint8_t*>(c.data()) + f + at, static_cast<uint32_t>(bad));
        c[f + 8] = static_cast<char>(bad & 0xFF);   // Units
        c[f + 554] = static_cast<char>(bad & 0xFF); // SteelLibrary
        c[f + 895] = '\xFF';                        // user section name length
        TTWData q = Loaded(c);
        EXPECT_EQ(q.BeamIndex, bad);
        (void)q.GetSection();
        (void)q.SelectedGuardrailShape();
        try {
            q.Analyze();
        } catch (const std::exception&) {
            // A failed analysis is an answer; reading outside a table would not be.
        }
    }
}

// --- Files ----------------------------------------------------------------------------

TEST(ProjectFileFiles, SaveAndLoadThroughTheFileSystem)
{
    TempFolder dir;
    const TTWData p = EveryFieldSet();
    const fs::path path = dir.Path / "wall.btw";
    p.SaveToFile(path);
    EXPECT_EQ(ReadAll(path), Save(p));
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"wall.btw"}) << "no temporary file left";
    TTWData q;
    q.ExampleFolder = "/some/folder";
    q.LoadFromFile(path);
    EXPECT_EQ(Save(q), Save(p));
    EXPECT_EQ(q.ExampleFolder, fs::path("/some/folder"));

    // Saving again replaces the file and keeps its permissions.
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    TTWData r;
    r.SaveToFile(path);
    EXPECT_EQ(ReadAll(path), Save(r));
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"wall.btw"});
}

TEST(ProjectFileFiles, AFailedLoadLeavesTheProjectAsItWas)
{
    TempFolder dir;
    TTWData p = EveryFieldSet();
    const std::string before = Save(p);

    try {
        p.LoadFromFile(dir.Path / "missing.btw");
        ADD_FAILURE() << "a missing file loaded";
    } catch (const std::runtime_error& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("missing.btw"), std::string::npos) << message;
        EXPECT_NE(message.find("No such file"), std::string::npos) << message;
    }
    EXPECT_EQ(Save(p), before);

    EXPECT_THROW(p.LoadFromFile(dir.Path), std::runtime_error) << "a folder is no project";
    EXPECT_EQ(Save(p), before);

    WriteAll(dir.Path / "newer.btw", WithVersion(Save(TTWData()), "1.22"));
    EXPECT_THROW(p.LoadFromFile(dir.Path / "newer.btw"), std::runtime_error);
    EXPECT_EQ(Save(p), before);

    FileBytes bad;
    bad.Header("1.21").Text("Org").I64(4).Raw("\xFF\xD8\xFF\xE0").Text("").Text("").Text("");
    WriteAll(dir.Path / "badlogo.btw", bad.s);
    EXPECT_THROW(p.LoadFromFile(dir.Path / "badlogo.btw"), std::runtime_error);
    EXPECT_EQ(Save(p), before);
    EXPECT_EQ(p.Organization, "Org \xE9tude");
}

TEST(ProjectFileFiles, AFailedSaveLeavesTheOldFileAndNoTemporaryFile)
{
    TempFolder dir;
    const TTWData p = EveryFieldSet();

    // The target's folder is a regular file: nothing can be created there.
    WriteAll(dir.Path / "plain", "not a folder");
    try {
        p.SaveToFile(dir.Path / "plain" / "wall.btw");
        ADD_FAILURE() << "saved inside a file";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("wall.btw"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadAll(dir.Path / "plain"), "not a folder");

    // The target is a folder with a file in it: the temporary file is written, the rename
    // fails, the folder stays as it was and the temporary file is removed.
    fs::create_directory(dir.Path / "taken.btw");
    WriteAll(dir.Path / "taken.btw" / "inside", "old");
    EXPECT_THROW(p.SaveToFile(dir.Path / "taken.btw"), std::runtime_error);
    EXPECT_EQ(ReadAll(dir.Path / "taken.btw" / "inside"), "old");
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"plain", "taken.btw"}));
}

// --- New project from the example files ----------------------------------------------

class ProjectFileExamples : public ::testing::Test
{
protected:
    // An example with texts, a logo and an old date, so that New visibly clears them.
    void WriteExample(const char* name, TUnitSystem units, long double shoredHeight)
    {
        TTWData e;
        e.NewProject(true);
        e.SetUnitSystem(units);
        e.ShoredHeight = shoredHeight;
        e.BackfillPhi = 32;
        e.StripLoadOn = true;
        e.Organization = "Example org";
        e.ProjectName = "Example";
        e.JobNumber = "E-1";
        e.DesignedBy = "Examiner";
        e.SetLogoJpeg(SmallJpeg());
        e.ProjectDate = DateSerial(2003, 3, 3);
        e.SaveToFile(Dir.Path / name);
    }

    TempFolder Dir;
};

TEST_F(ProjectFileExamples, NewStartsFromTheExampleWithoutItsTextsLogoAndDate)
{
    WriteExample("ENGLISH UNITS EXAMPLE.btw", TUnitSystem::usEnglish, 15);
    TTWData p;
    p.Organization = "old";
    p.ExampleFolder = Dir.Path;
    p.NewProject(false);
    EXPECT_EQ(p.ShoredHeight, 15.0L);
    EXPECT_EQ(p.BackfillPhi, 32.0L);
    EXPECT_TRUE(p.StripLoadOn);
    EXPECT_EQ(p.Units, TUnitSystem::usEnglish);
    EXPECT_TRUE(p.Organization.empty() && p.ProjectName.empty() && p.JobNumber.empty() &&
                p.DesignedBy.empty());
    EXPECT_FALSE(p.HasLogo());
    EXPECT_EQ(p.ProjectDate, TodaySerial());
    EXPECT_EQ(p.ExampleFolder, Dir.Path);
    // builtInOnly ignores the example.
    p.NewProject(true);
    EXPECT_EQ(p.ShoredHeight, 0.0L);
}

TEST_F(ProjectFileExamples, TheExampleOfTheUnitsInForceIsTheOneLookedFor)
{
    WriteExample("ENGLISH UNITS EXAMPLE.btw", TUnitSystem::usEnglish, 15);
    TTWData p;
    p.ExampleFolder = Dir.Path;
    p.SetUnitSystem(TUnitSystem::usSI);
    p.NewProject(false);
    EXPECT_EQ(p.Units, TUnitSystem::usEnglish) << "no SI example: the built-in defaults";
    EXPECT_EQ(p.ShoredHeight, 0.0L);

    WriteExample("SI UNITS EXAMPLE.btw", TUnitSystem::usSI, 4.5L);
    p.SetUnitSystem(TUnitSystem::usSI);
    p.NewProject(false);
    EXPECT_EQ(p.Units, TUnitSystem::usSI);
    EXPECT_EQ(p.ShoredHeight, 4.5L);
    EXPECT_EQ(&p.Limits(), &SIInputLimits());
    EXPECT_EQ(p.GuardrailShapes(), LoadGuardrailShapes(TUnitSystem::usSI));

    // From an SI project with English units chosen again, the English one.
    p.SetUnitSystem(TUnitSystem::usEnglish);
    p.NewProject(false);
    EXPECT_EQ(p.ShoredHeight, 15.0L);
}

TEST_F(ProjectFileExamples, AMissingOrBadExampleGivesTheDefaultsSilently)
{
    TTWData p;
    p.ExampleFolder = Dir.Path;
    p.ShoredHeight = 20;
    EXPECT_NO_THROW(p.NewProject(false));
    EXPECT_EQ(p.ShoredHeight, 0.0L);

    // A damaged example (cut inside its logo), and one with a logo that is no JPEG.
    TTWData e;
    e.ShoredHeight = 15;
    e.Organization = "Example org";
    e.SetLogoJpeg(SmallJpeg());
    std::string bytes = Save(e);
    WriteAll(Dir.Path / "ENGLISH UNITS EXAMPLE.btw", bytes.substr(0, 100));
    p.ShoredHeight = 20;
    EXPECT_NO_THROW(p.NewProject(false));
    EXPECT_EQ(p.ShoredHeight, 0.0L);
    EXPECT_TRUE(p.Organization.empty());
    bytes[64 + 2 + 11 + 8 + 2] = 'X'; // the JPEG's second marker byte
    WriteAll(Dir.Path / "ENGLISH UNITS EXAMPLE.btw", bytes);
    p.ShoredHeight = 20;
    EXPECT_NO_THROW(p.NewProject(false));
    EXPECT_EQ(p.ShoredHeight, 0.0L);
    EXPECT_FALSE(p.HasLogo());

    // An example that cannot be read at all.
    fs::remove(Dir.Path / "ENGLISH UNITS EXAMPLE.btw");
    fs::create_directory(Dir.Path / "ENGLISH UNITS EXAMPLE.btw");
    EXPECT_NO_THROW(p.NewProject(false));
    EXPECT_EQ(p.ShoredHeight, 0.0L);
    EXPECT_EQ(p.Units, TUnitSystem::usEnglish);
}
