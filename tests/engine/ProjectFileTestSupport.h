// What the project-file suites share: the layout offsets, hand-made file bytes, a project with
// every persisted field set, a temporary folder and the stream helpers.
#pragma once

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
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
#include "engine/ProjectJson.h"
#include "engine/TWClasses.h"
#include "support/TestWalls.h"

namespace tw::test {

inline constexpr std::size_t kHeader = 64;
inline constexpr std::size_t kEmptyVariablePart = 2 + 8 + 3 * 2;
inline constexpr std::size_t kFixedStart = kHeader + kEmptyVariablePart;
inline constexpr std::size_t kUserRecordOffset = 895;

inline std::string Save(const TTWData& p)
{
    std::ostringstream out(std::ios::binary);
    p.SaveToStream(out);
    return out.str();
}

inline void Load(TTWData& p, const std::string& bytes)
{
    std::istringstream in(bytes, std::ios::binary);
    p.LoadFromStream(in);
}

inline TTWData Loaded(const std::string& bytes)
{
    TTWData p;
    Load(p, bytes);
    return p;
}

inline std::array<uint8_t, 10> ExtBytes(long double v)
{
    std::array<uint8_t, 10> b{};
    EncodeExtended(v, b);
    return b;
}

inline long double ExtAt(const std::string& bytes, std::size_t at)
{
    std::array<uint8_t, 10> b{};
    std::memcpy(b.data(), bytes.data() + at, b.size());
    return DecodeExtended(b);
}

inline int32_t Int32At(const std::string& bytes, std::size_t at)
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

// The length of the fixed part of a version, from the version history of the layout: the
// bytes each version added to it.
inline std::size_t FixedPartSize(double version)
{
    struct Added
    {
        double from;
        std::size_t bytes;
    };
    static constexpr Added kAdded[] = {
        {-1, 275}, // date, units, three methods, both soils, loads, BeamIndex
        {0.91, 60}, {0.92, 288}, {0.93, 98}, {1.01, 20}, {1.02, 1},   {1.03, 4},
        {1.04, 4},  {1.10, 40},  {1.11, 4},  {1.12, 4},  {1.14, 192}, {1.15, 72},
        {1.16, 1},  {1.17, 1},   {1.18, 25}, {1.20, 45},
    };
    std::size_t size = version == 0.93 ? 4 : 0; // 0.93 stored SoilMethod twice
    for (const Added& a : kAdded)
        if (version >= a.from)
            size += a.bytes;
    return size;
}

// The file padded with zero bytes to the whole layout of its version, for a file with empty
// texts and no logo whose version string is `version`.
inline std::string Complete(std::string bytes, const std::string& version)
{
    const std::size_t size = kFixedStart + FixedPartSize(std::stod(version));
    if (bytes.size() < size)
        bytes.resize(size, '\0');
    return bytes;
}

// A file of the given version whose fixed part starts with the first five items (date, units
// and three methods), followed by `rest` and zero bytes to the end of its layout.
inline std::string FileWithFixedStart(const std::string& version, const std::string& rest)
{
    FileBytes f;
    f.Header(version).EmptyVariablePart();
    f.F64(DateSerial(2001, 2, 3)).U8(0).I32(1).I32(0).I32(0);
    return Complete(f.s + rest, version);
}

// The file with its version string replaced.
inline std::string WithVersion(std::string bytes, const std::string& version)
{
    std::fill(bytes.begin() + 51, bytes.begin() + 64, '\0');
    bytes[51] = static_cast<char>(version.size());
    bytes.replace(52, version.size(), version);
    return bytes;
}

// The English example project as the build writes it from its JSON source.
inline std::string EnglishExampleFile()
{
    TTWData p;
    ProjectFromJson(ExampleProjectJson(false), p);
    return Save(p);
}

inline std::vector<uint8_t> SmallJpeg()
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
inline TTWData EveryFieldSet()
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
    p.SubgradeModulus = 6597 + 1.0L / 3; // kN/m^3, in the extension after the fixed part
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
        Path = std::filesystem::temp_directory_path() / ("tw_projectfile_" + std::to_string(rd()));
        std::filesystem::create_directories(Path);
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(Path, ec);
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(Path))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::filesystem::path Path;
};

inline std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::filesystem::path& path, const std::string& bytes)
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

inline void ExpectWrongFormat(const std::string& bytes)
{
    TTWData p;
    try {
        Load(p, bytes);
        ADD_FAILURE() << "the file was accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Wrong file format");
    }
}

} // namespace tw::test
