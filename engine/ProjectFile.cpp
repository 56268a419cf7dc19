#include "engine/ProjectFile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <istream>
#include <limits>
#include <optional>
#include <ostream>
#include <span>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <vector>

#include "engine/Extended80.h"
#include "engine/SafeFile.h"
#include "engine/TWClasses.h"

namespace tw {

namespace {

constexpr std::string_view kProduct = "Brenmoor Tarnwick";
constexpr std::string_view kVersionText = "1.21";
constexpr double kNewestVersion = 1.21;

constexpr std::size_t kHeaderSize = 64;
constexpr std::size_t kProductFieldSize = 51; // length byte + 50 characters
constexpr std::size_t kVersionFieldSize = 13; // length byte + 12 characters
constexpr std::size_t kMaxTextLength = 255;
constexpr std::size_t kExtSize = 10;
constexpr std::size_t kPointSize = 24; // X, W, 4 bytes of padding
// The fixed part of a version-1.21 file; a 0.93 file holds 4 bytes more (two SoilMethods).
constexpr std::size_t kFixedPartSize = 1134;
constexpr std::size_t kLongestFixedPart = kFixedPartSize + 4;
// Logo bytes are read in pieces of this size where the stream cannot tell what is left, so
// memory grows only with bytes that are really there.
constexpr std::size_t kLogoChunk = std::size_t{1} << 20;

// An item present in files of every version.
constexpr double kAll = -std::numeric_limits<double>::infinity();

[[noreturn]] void WrongFormat()
{
    throw std::runtime_error("Wrong file format");
}

[[noreturn]] void ReadFailure()
{
    throw std::runtime_error("The project file could not be read");
}

// The version string as a number, read with "." as the decimal point whatever the locale:
// optional blanks, an optional sign, digits with at most one point, an optional exponent.
// Anything else converts to 0.
double ParseVersion(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    const bool plain = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
    });
    if (!plain)
        return 0;
    double value = 0;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return 0;
    return value;
}

// --- Fixed part -------------------------------------------------------------------------

// Builds the fixed part of the newest layout; the "present from" versions do not matter.
class FixedPartWriter
{
public:
    static constexpr bool kReading = false;

    explicit FixedPartWriter(const std::array<uint8_t, kSteelShapeRecordSize>& userRecord)
        : UserRecord_(userRecord)
    {
        Bytes.reserve(kFixedPartSize);
    }

    double Version() const { return kNewestVersion; }

    void Float64(const double& value, double)
    {
        std::array<uint8_t, 8> b{};
        EncodeDouble64(value, b);
        Put(b);
    }
    void Switch(const bool& value, double) { Bytes.push_back(value ? 1 : 0); }
    template <typename E> void Enum8(const E& value, double)
    {
        static_assert(sizeof(E) == 1);
        Bytes.push_back(static_cast<uint8_t>(value));
    }
    template <typename T> void Int32(const T& value, double)
    {
        static_assert(sizeof(T) == 4);
        std::array<uint8_t, 4> b{};
        PutLE32(b.data(), static_cast<uint32_t>(static_cast<int32_t>(value)));
        Put(b);
    }
    void Ext(const long double& value, double)
    {
        std::array<uint8_t, kExtSize> b{};
        EncodeExtended(value, b);
        Put(b);
    }
    void Reserved(std::size_t count, double) { Bytes.insert(Bytes.end(), count, uint8_t{0}); }
    template <std::size_t N> void Points(const std::array<TPressurePoint, N>& points, double)
    {
        for (const TPressurePoint& p : points) {
            Ext(p.X, kAll);
            Ext(p.W, kAll);
            Put(p.Padding);
        }
    }
    // The record read from the file goes back out as it was while the section still is what
    // it holds; otherwise the section's own record, unused bytes zero.
    void Shape(const TSteelShape& shape, double)
    {
        std::array<uint8_t, kSteelShapeRecordSize> fresh{};
        WriteSteelShape(shape, fresh);
        std::array<uint8_t, kSteelShapeRecordSize> stored{};
        WriteSteelShape(ReadSteelShape(UserRecord_), stored);
        Put(fresh == stored ? UserRecord_ : fresh);
    }

    std::vector<uint8_t> Bytes;

private:
    template <std::size_t N> void Put(const std::array<uint8_t, N>& b)
    {
        Bytes.insert(Bytes.end(), b.begin(), b.end());
    }

    const std::array<uint8_t, kSteelShapeRecordSize>& UserRecord_;
};

// Reads the fixed part from the bytes that follow the variable part. An item is read when
// the file's version holds it and all its bytes are there; after the first item that is cut
// short nothing more is read, but the bytes the version holds are still counted, so that the
// caller can refuse the file and say how long it should be.
class FixedPartReader
{
public:
    static constexpr bool kReading = true;

    FixedPartReader(std::span<const uint8_t> data, double version) : Data_(data), Version_(version)
    {
    }

    double Version() const { return Version_; }

    void Float64(double& value, double from)
    {
        if (const uint8_t* p = Take(8, from))
            value = DecodeDouble64(std::span<const uint8_t, 8>(p, 8));
    }
    void Switch(bool& value, double from)
    {
        if (const uint8_t* p = Take(1, from))
            value = *p != 0;
    }
    template <typename E> void Enum8(E& value, double from)
    {
        static_assert(sizeof(E) == 1);
        if (const uint8_t* p = Take(1, from))
            value = static_cast<E>(*p);
    }
    template <typename T> void Int32(T& value, double from)
    {
        static_assert(sizeof(T) == 4);
        if (const uint8_t* p = Take(4, from))
            value = static_cast<T>(static_cast<int32_t>(GetLE32(p)));
    }
    void Ext(long double& value, double from)
    {
        if (const uint8_t* p = Take(kExtSize, from))
            value = DecodeExtended(std::span<const uint8_t, kExtSize>(p, kExtSize));
    }
    void Reserved(std::size_t count, double from) { Take(count, from); }
    template <std::size_t N> void Points(std::array<TPressurePoint, N>& points, double from)
    {
        const uint8_t* p = Take(N * kPointSize, from);
        if (p == nullptr)
            return;
        for (TPressurePoint& point : points) {
            point.X = DecodeExtended(std::span<const uint8_t, kExtSize>(p, kExtSize));
            point.W = DecodeExtended(std::span<const uint8_t, kExtSize>(p + kExtSize, kExtSize));
            std::copy_n(p + 2 * kExtSize, point.Padding.size(), point.Padding.begin());
            p += kPointSize;
        }
    }
    void Shape(TSteelShape& shape, double from)
    {
        if (const uint8_t* p = Take(kSteelShapeRecordSize, from)) {
            UserRecord.emplace();
            std::copy_n(p, kSteelShapeRecordSize, UserRecord->begin());
            shape = ReadSteelShape(*UserRecord);
        }
    }

    // The user section's record when the file held one.
    std::optional<std::array<uint8_t, kSteelShapeRecordSize>> UserRecord;

    // The bytes ended before every item of the version was read.
    bool Ended() const { return Ended_; }
    // The length of the fixed part of the file's version.
    std::size_t Needed() const { return Needed_; }

private:
    const uint8_t* Take(std::size_t count, double from)
    {
        if (!(Version_ >= from))
            return nullptr;
        Needed_ += count;
        if (Ended_)
            return nullptr;
        if (Data_.size() - Position_ < count) {
            Ended_ = true;
            return nullptr;
        }
        const uint8_t* p = Data_.data() + Position_;
        Position_ += count;
        return p;
    }

    std::span<const uint8_t> Data_;
    double Version_;
    std::size_t Position_ = 0;
    std::size_t Needed_ = 0;
    bool Ended_ = false;
};

// The fixed part in file order, for reading (Data = TTWData) and writing (const TTWData).
// The second argument of each item is the first version that holds it.
template <typename Io, typename Data> void ExchangeFixedPart(Io& io, Data& d)
{
    io.Float64(d.ProjectDate, kAll);
    io.Enum8(d.Units, kAll);
    io.Int32(d.AnalysisMethod, kAll);
    io.Int32(d.InstallMethod, kAll);
    io.Int32(d.PileType, kAll);
    io.Int32(d.Reinforcement, 1.04);
    if constexpr (Io::kReading) {
        // "O-Pipe" was inserted at 1 in version 1.16; 1 meant "Rebar Cage" before.
        if (io.Version() < 1.16 && d.Reinforcement == TReinforcement::rfPipe)
            d.Reinforcement = TReinforcement::rfRebarCage;
        // Version 0.93 stored the soil method twice; the second is the value.
        if (io.Version() == 0.93)
            io.Reserved(4, 0.93);
    }
    io.Int32(d.SoilMethod, 0.93);
    io.Ext(d.ActiveEFP, 0.93);
    io.Ext(d.PassiveEFP, 0.93);
    io.Ext(d.MaxPassivePressure, 0.93);
    io.Ext(d.Active2EFP, 0.93);
    io.Int32(d.LaggingType, 0.93);
    io.Ext(d.LaggingFb, 0.93);
    io.Ext(d.LaggingFv, 0.93);
    io.Ext(d.LaggingSizeFactor, 0.93);
    io.Ext(d.LaggingFlatUseFactor, 0.93);
    io.Ext(d.LaggingFcPerp, 0.93);
    if constexpr (Io::kReading) {
        // Version 1.18 numbered timber lagging 4.
        if (io.Version() == 1.18 && static_cast<int32_t>(d.LaggingType) == 4)
            d.LaggingType = TLaggingType::ltTimber;
    }
    io.Ext(d.ArchingFactor, 1.01);
    io.Int32(d.LaggingConcrete, 1.03);
    io.Ext(d.LaggingModulus, 1.18);
    io.Reserved(10, 1.18);
    io.Switch(d.SouthernPine, 1.18);
    io.Int32(d.LumberGrade, 1.18);
    io.Ext(d.BackfillPhi, kAll);
    io.Ext(d.BackfillDelta, kAll);
    io.Ext(d.BackfillSlope, kAll);
    io.Ext(d.BackfillWallAngle, kAll);
    io.Ext(d.BackfillUnitWeight, kAll);
    io.Ext(d.Surcharge, kAll);
    io.Ext(d.Backfill2Phi, 0.91);
    io.Ext(d.Backfill2Delta, 0.91);
    io.Ext(d.Backfill2Slope, 0.91);
    io.Ext(d.Backfill2WallAngle, 0.91);
    io.Ext(d.Backfill2UnitWeight, 0.91);
    io.Ext(d.Backfill2Surcharge, 0.91);
    io.Ext(d.PassivePhi, kAll);
    io.Ext(d.PassiveDelta, kAll);
    io.Ext(d.PassiveSlope, kAll);
    io.Ext(d.PassiveWallAngle, kAll);
    io.Ext(d.PassiveUnitWeight, kAll);
    io.Ext(d.PassiveSafetyFactor, kAll);
    io.Ext(d.Cohesion, kAll);
    io.Ext(d.ReservedSoilValue, kAll);
    io.Ext(d.IgnorePassiveHeight, kAll);
    io.Ext(d.WedgeMultiplier, 1.01);
    io.Ext(d.PileSpacing, kAll);
    io.Ext(d.ShoredHeight, kAll);
    io.Ext(d.ElasticModulus, kAll);
    io.Ext(d.YieldStrength, kAll);
    io.Ext(d.AllowableTopDeflection, kAll);
    io.Ext(d.PileWidth, kAll);
    io.Ext(d.ConcreteStrength, kAll);
    io.Ext(d.AxialLoad, kAll);
    io.Ext(d.LateralLoadTop, kAll);
    io.Ext(d.OtherMoment, kAll);
    io.Switch(d.StripLoadOn, 1.15);
    io.Switch(d.SeismicLoadOn, 1.15);
    io.Ext(d.OtherMoment, 1.15); // the second copy; a reader keeps this one
    io.Ext(d.StripSetback, 1.15);
    io.Ext(d.StripWidth, 1.15);
    io.Ext(d.StripDepth, 1.15);
    io.Ext(d.StripPressure, 1.15);
    io.Ext(d.SeismicThrust, 1.15);
    io.Ext(d.SeismicArm, 1.15);
    if constexpr (Io::kReading) {
        if (io.Version() < 1.02)
            d.SteelLibrary = TSteelLibrary::slNorthAmerican;
    }
    io.Enum8(d.SteelLibrary, 1.02);
    io.Int32(d.BeamIndex, kAll);
    io.Int32(d.SheetIndex, 1.12);
    if constexpr (Io::kReading) {
        // Four rows were added at the head of the North American catalogue in 1.19. A
        // negative index is the user-defined section and names no row, so it stays.
        if (io.Version() < 1.19 && d.Reinforcement == TReinforcement::rfIBeam &&
            d.SteelLibrary == TSteelLibrary::slNorthAmerican && d.BeamIndex >= 0)
            d.BeamIndex = static_cast<int32_t>(static_cast<uint32_t>(d.BeamIndex) + 4u);
    }
    io.Points(d.LoadPoints, 0.92);
    io.Points(d.PassivePoints, 0.92);
    io.Int32(d.RebarStandard, 1.10);
    io.Int32(d.VerticalBarSize, 1.10);
    io.Int32(d.BarCount, 1.10);
    io.Int32(d.TieType, 1.10);
    io.Int32(d.TieBarSize, 1.10);
    io.Ext(d.ClearCover, 1.10);
    io.Ext(d.TieSpacingOverride, 1.10);
    io.Int32(d.ShoredHeightFill, 1.11);
    io.Shape(d.UserSection, 1.14);
    io.Switch(d.PipeFilled, 1.16);
    io.Switch(d.AllowablePassive, 1.17);
    io.Switch(d.GuardrailOn, 1.20);
    io.Int32(d.GuardrailShape, 1.20);
    io.Ext(d.GuardrailLength, 1.20);
    io.Ext(d.GuardrailDistLoad, 1.20);
    io.Ext(d.GuardrailPointLoad, 1.20);
    io.Ext(d.GuardrailSpacing, 1.20);
}

// --- Variable part ----------------------------------------------------------------------

void WriteBytes(std::ostream& out, const void* data, std::size_t size)
{
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// A text of at most 255 characters; a longer one is cut to 255.
void WriteText(std::ostream& out, const std::string& text)
{
    const std::size_t n = std::min(text.size(), kMaxTextLength);
    std::array<uint8_t, 2> length{};
    PutLE16(length.data(), static_cast<uint16_t>(n));
    WriteBytes(out, length.data(), length.size());
    WriteBytes(out, text.data(), n);
}

// The texts and the logo, read in order; counts the bytes taken so far, so that a file that
// ends among them can say where.
class VariablePartReader
{
public:
    VariablePartReader(std::istream& in, uint64_t consumed) : In(in), Consumed(consumed) {}

    // Reads exactly `size` bytes of `item`; a stream that ends first is a damaged file.
    void Read(void* data, std::size_t size, std::string_view item)
    {
        if (size == 0)
            return;
        In.read(static_cast<char*>(data), static_cast<std::streamsize>(size));
        if (In.bad())
            ReadFailure();
        Consumed += static_cast<uint64_t>(In.gcount());
        if (static_cast<std::size_t>(In.gcount()) != size)
            EndsIn(item, Consumed);
    }

    // The file ends after `size` bytes, within `item`; what follows it is missing.
    [[noreturn]] static void EndsIn(std::string_view item, uint64_t size)
    {
        throw TDamagedProjectFile("it ends after " + std::to_string(size) + " bytes, in " +
                                  std::string(item) + ", and holds none of the inputs");
    }

    std::istream& In;
    uint64_t Consumed;
};

// A text: the stored length, then the characters, cut at the first zero character. Our
// writer never stores more than 255 characters, so a longer length marks a damaged file.
std::string ReadText(VariablePartReader& in, std::string_view item)
{
    std::array<uint8_t, 2> length{};
    in.Read(length.data(), length.size(), item);
    const std::size_t n = GetLE16(length.data());
    if (n > kMaxTextLength)
        WrongFormat();
    std::string text(n, '\0');
    in.Read(text.data(), n, item);
    if (const std::size_t zero = text.find('\0'); zero != std::string::npos)
        text.resize(zero);
    return text;
}

// The number of bytes left in the stream, where it can seek; nullopt where it cannot.
std::optional<uint64_t> BytesLeft(std::istream& in)
{
    const std::istream::pos_type here = in.tellg();
    if (here == std::istream::pos_type(-1)) {
        in.clear();
        return std::nullopt;
    }
    in.seekg(0, std::ios::end);
    const std::istream::pos_type end = in.tellg();
    in.clear();
    in.seekg(here);
    if (!in)
        ReadFailure();
    if (end == std::istream::pos_type(-1))
        return std::nullopt;
    return end > here ? static_cast<uint64_t>(end - here) : 0;
}

// The logo: a signed 64-bit length, then that many bytes of a JPEG file. The length is
// trusted only as far as the stream really holds bytes.
std::vector<uint8_t> ReadLogoBytes(VariablePartReader& in)
{
    constexpr std::string_view kItem = "the logo";
    std::array<uint8_t, 8> length{};
    in.Read(length.data(), length.size(), kItem);
    const auto stored = static_cast<int64_t>(GetLE64(length.data()));
    if (stored < 0)
        WrongFormat();
    const auto size = static_cast<uint64_t>(stored);
    std::vector<uint8_t> bytes;
    if (size == 0)
        return bytes;
    if (const std::optional<uint64_t> left = BytesLeft(in.In)) {
        if (size > *left || size > std::numeric_limits<std::size_t>::max())
            VariablePartReader::EndsIn(kItem, in.Consumed + *left);
        bytes.resize(static_cast<std::size_t>(size));
        in.Read(bytes.data(), bytes.size(), kItem);
        return bytes;
    }
    uint64_t remaining = size;
    while (remaining > 0) {
        const std::size_t piece =
            static_cast<std::size_t>(std::min<uint64_t>(remaining, kLogoChunk));
        const std::size_t at = bytes.size();
        bytes.resize(at + piece);
        in.Read(bytes.data() + at, piece, kItem);
        remaining -= piece;
    }
    return bytes;
}

} // namespace

namespace {

// After the fixed part, files of this program may carry a tagged extension that other
// programs and older copies of this one never read: "TWX1", a 32-bit length, then the soil
// springs' subgrade modulus (10 bytes). It is written only when the modulus is not 0.
constexpr std::string_view kExtensionTag = "TWX1";
constexpr std::size_t kExtensionHeader = 8;
constexpr std::size_t kExtensionPayload = kExtSize;

std::vector<uint8_t> ExtensionBytes(const TTWData& project)
{
    std::vector<uint8_t> bytes;
    if (project.SubgradeModulus == 0)
        return bytes;
    bytes.resize(kExtensionHeader + kExtensionPayload);
    std::copy(kExtensionTag.begin(), kExtensionTag.end(), bytes.begin());
    PutLE32(bytes.data() + kExtensionTag.size(), kExtensionPayload);
    EncodeExtended(
        project.SubgradeModulus,
        std::span<uint8_t, kExtensionPayload>(bytes.data() + kExtensionHeader, kExtensionPayload));
    return bytes;
}

// Reads the extension from the bytes after the fixed part; bytes that do not start with the
// tag are another program's and are left alone.
void ReadExtension(TTWData& project, std::span<const uint8_t> tail)
{
    if (tail.size() < kExtensionTag.size() ||
        !std::equal(kExtensionTag.begin(), kExtensionTag.end(), tail.begin()))
        return;
    if (tail.size() < kExtensionHeader + kExtensionPayload ||
        GetLE32(tail.data() + kExtensionTag.size()) != kExtensionPayload)
        throw TDamagedProjectFile("its soil-spring settings are cut off or of the wrong size");
    const long double modulus = DecodeExtended(std::span<const uint8_t, kExtensionPayload>(
        tail.data() + kExtensionHeader, kExtensionPayload));
    const TInputLimit limit = LimitForTag(project.Limits(), Tag::SubgradeModulus);
    if (!std::isfinite(modulus) || modulus < limit.Min || modulus > limit.Max)
        throw TDamagedProjectFile("its subgrade modulus is not a number between " +
                                  MessageNumber(limit.Min) + " and " + MessageNumber(limit.Max));
    project.SubgradeModulus = modulus;
}

} // namespace

void WriteProjectFile(const TTWData& project, std::ostream& out)
{
    std::array<uint8_t, kHeaderSize> header{};
    header[0] = static_cast<uint8_t>(kProduct.size());
    std::copy(kProduct.begin(), kProduct.end(), header.begin() + 1);
    header[kProductFieldSize] = static_cast<uint8_t>(kVersionText.size());
    std::copy(kVersionText.begin(), kVersionText.end(), header.begin() + kProductFieldSize + 1);
    static_assert(kProductFieldSize + kVersionFieldSize == kHeaderSize);

    FixedPartWriter fixed(project.UserSectionRecord_);
    ExchangeFixedPart(fixed, project);
    if (fixed.Bytes.size() != kFixedPartSize)
        throw std::logic_error("project file: fixed part of the wrong size");

    WriteBytes(out, header.data(), header.size());
    WriteText(out, project.Organization);
    std::array<uint8_t, 8> logoLength{};
    PutLE64(logoLength.data(), static_cast<uint64_t>(project.Logo_.size()));
    WriteBytes(out, logoLength.data(), logoLength.size());
    WriteBytes(out, project.Logo_.data(), project.Logo_.size());
    WriteText(out, project.ProjectName);
    WriteText(out, project.JobNumber);
    WriteText(out, project.DesignedBy);
    WriteBytes(out, fixed.Bytes.data(), fixed.Bytes.size());
    const std::vector<uint8_t> extension = ExtensionBytes(project);
    WriteBytes(out, extension.data(), extension.size());
    if (!out)
        throw std::runtime_error("The project could not be written");
}

void ReadProjectFile(TTWData& project, std::istream& in)
{
    project.NewProject(true);
    // The catalogues NewProject left are current for these selections.
    const auto selections = [&project] {
        return std::tuple(project.Units, project.SteelLibrary, project.PileType,
                          project.RebarStandard);
    };
    const auto defaultSelections = selections();

    // A header cut short cannot be told from another program's file.
    std::array<uint8_t, kHeaderSize> header{};
    in.read(reinterpret_cast<char*>(header.data()), header.size());
    if (in.bad())
        ReadFailure();
    if (static_cast<std::size_t>(in.gcount()) != header.size())
        WrongFormat();
    const std::string_view product(reinterpret_cast<const char*>(header.data()) + 1, header[0]);
    if (header[0] != kProduct.size() || product != kProduct)
        WrongFormat();
    // The version field holds at most 12 characters whatever its length byte says.
    const std::size_t versionLength =
        std::min<std::size_t>(header[kProductFieldSize], kVersionFieldSize - 1);
    const double version = ParseVersion(std::string_view(
        reinterpret_cast<const char*>(header.data()) + kProductFieldSize + 1, versionLength));
    if (version > kNewestVersion)
        WrongFormat();

    VariablePartReader variable(in, kHeaderSize);
    project.Organization = ReadText(variable, "the organization");
    project.Logo_.clear();
    if (std::vector<uint8_t> logo = ReadLogoBytes(variable); !logo.empty()) {
        try {
            project.SetLogoJpeg(std::move(logo));
        } catch (const std::invalid_argument& e) {
            throw std::runtime_error(std::string("The logo in the project file cannot be read. ") +
                                     e.what());
        }
    }
    project.ProjectName = ReadText(variable, "the project name");
    project.JobNumber = ReadText(variable, "the job number");
    project.DesignedBy = ReadText(variable, "the designer's name");

    std::array<uint8_t, kLongestFixedPart> fixedBytes{};
    in.read(reinterpret_cast<char*>(fixedBytes.data()), fixedBytes.size());
    if (in.bad())
        ReadFailure();
    const auto available = static_cast<std::size_t>(in.gcount());
    FixedPartReader fixed(std::span<const uint8_t>(fixedBytes.data(), available), version);
    ExchangeFixedPart(fixed, project);
    // Every version's items are all there in a file it wrote: one that ends sooner was cut off,
    // and the defaults in place of its last items would make another wall.
    if (fixed.Ended())
        throw TDamagedProjectFile("it ends after " + std::to_string(variable.Consumed + available) +
                                  " of " + std::to_string(variable.Consumed + fixed.Needed()) +
                                  " bytes");
    if (fixed.UserRecord)
        project.UserSectionRecord_ = *fixed.UserRecord;

    // The limits and every catalogue follow the loaded unit system, library, pile type and
    // rebar standard; they are reloaded only when one of them differs from the defaults.
    if (selections() != defaultSelections)
        project.SetUnitSystem(project.Units);

    std::vector<uint8_t> tail(fixedBytes.begin() + std::min(fixed.Needed(), available),
                              fixedBytes.begin() + available);
    std::array<char, kExtensionHeader + kExtensionPayload> more{};
    in.read(more.data(), more.size());
    if (in.bad())
        ReadFailure();
    tail.insert(tail.end(), more.begin(), more.begin() + in.gcount());
    ReadExtension(project, tail);
}

void SaveProjectFile(const TTWData& project, const std::filesystem::path& path)
{
    try {
        WriteFileAtomically(path,
                            [&project](std::ostream& out) { WriteProjectFile(project, out); });
    } catch (const TFileError& e) {
        throw TFileError("Cannot save the project to " + path.string() + ": " + e.Reason(),
                         e.Reason());
    }
}

void LoadProjectFile(TTWData& project, const std::filesystem::path& path)
{
    std::istringstream in(ReadRegularFile(path, kMaxProjectFileBytes, "project files"),
                          std::ios::binary);
    TTWData loaded;
    loaded.ExampleFolder = project.ExampleFolder;
    // The file is named in every message: the user may have tried several.
    try {
        ReadProjectFile(loaded, in);
    } catch (const TDamagedProjectFile& e) {
        throw TFileError(path.string() + " is damaged: " + e.Detail(), e.Detail());
    } catch (const std::runtime_error& e) {
        throw TFileError(path.string() + ": " + e.what(), e.what());
    }
    project = std::move(loaded);
}

} // namespace tw
