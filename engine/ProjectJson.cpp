#include "engine/ProjectJson.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>
#include <set>
#include <stdexcept>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/Ansi.h"
#include "engine/Dates.h"
#include "engine/TWClasses.h"

namespace tw {

namespace {

// Floating-point numbers are parsed as long double (strtold), so extended values read back
// exactly. Writing goes through our own writer: nlohmann formats a long double with a printf
// conversion meant for double.
using Json = nlohmann::basic_json<std::map, std::vector, std::string, bool, std::int64_t,
                                  std::uint64_t, long double>;

[[noreturn]] void Fail(std::string_view key, std::string_view what)
{
    throw std::runtime_error("\"" + std::string(key) + "\": " + std::string(what));
}

// ---------------------------------------------------------------------------------------
// Base64 (RFC 4648, standard alphabet, padded)

constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64Encode(const std::vector<uint8_t>& bytes)
{
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const uint32_t v =
            (uint32_t{bytes[i]} << 16) | (uint32_t{bytes[i + 1]} << 8) | bytes[i + 2];
        out += kBase64Alphabet[(v >> 18) & 63];
        out += kBase64Alphabet[(v >> 12) & 63];
        out += kBase64Alphabet[(v >> 6) & 63];
        out += kBase64Alphabet[v & 63];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        uint32_t v = uint32_t{bytes[i]} << 16;
        if (rest == 2)
            v |= uint32_t{bytes[i + 1]} << 8;
        out += kBase64Alphabet[(v >> 18) & 63];
        out += kBase64Alphabet[(v >> 12) & 63];
        out += rest == 2 ? kBase64Alphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

// Strict decoding: the length is a multiple of 4, padding only at the end, no other characters.
bool Base64Decode(std::string_view text, std::vector<uint8_t>& out)
{
    auto value = [](char c) -> int {
        if (c >= 'A' && c <= 'Z')
            return c - 'A';
        if (c >= 'a' && c <= 'z')
            return c - 'a' + 26;
        if (c >= '0' && c <= '9')
            return c - '0' + 52;
        if (c == '+')
            return 62;
        if (c == '/')
            return 63;
        return -1;
    };
    if (text.size() % 4 != 0)
        return false;
    out.clear();
    out.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        int pad = 0;
        uint32_t v = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const char c = text[i + k];
            if (c == '=' && last && k >= 2) {
                ++pad;
                v <<= 6;
                continue;
            }
            const int d = value(c);
            if (d < 0 || pad > 0)
                return false;
            v = (v << 6) | static_cast<uint32_t>(d);
        }
        out.push_back(static_cast<uint8_t>(v >> 16));
        if (pad < 2)
            out.push_back(static_cast<uint8_t>(v >> 8));
        if (pad < 1)
            out.push_back(static_cast<uint8_t>(v));
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// Writing

// A small streaming JSON writer: objects and arrays indented two spaces a level, "inline"
// containers (pressure points) on one line.
class Writer
{
public:
    // exactExtended: long double values in their shortest exact form and non-finite ones as
    // strings (project files); otherwise as the nearest double and non-finite ones as null.
    Writer(std::string& out, bool exactExtended) : Out_(out), Exact_(exactExtended) {}

    void BeginObject(bool isInline = false) { Open('{', isInline); }
    void EndObject() { Close('}'); }
    void BeginArray(bool isInline = false) { Open('[', isInline); }
    void EndArray() { Close(']'); }

    // Keys are the program's own identifiers: nothing in them needs escaping.
    void Key(std::string_view key)
    {
        Separate();
        Out_ += '"';
        Out_.append(key);
        Out_.append("\": ", 3);
        AfterKey_ = true;
    }

    void Number(long double value)
    {
        Separate();
        if (Exact_)
            AppendExtended(value);
        else
            AppendDouble(static_cast<double>(value));
    }

    void Integer(int64_t value)
    {
        Separate();
        char buffer[24];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        Out_.append(buffer, result.ptr);
    }

    void Bool(bool value)
    {
        Separate();
        Out_ += value ? "true" : "false";
    }

    void Null()
    {
        Separate();
        Out_ += "null";
    }

    void String(std::string_view utf8)
    {
        Separate();
        AppendString(utf8);
    }

    // A project text (Windows-1252) as a UTF-8 string.
    void Text(std::string_view ansi) { String(AnsiToUtf8(ansi)); }

    void Finish() { Out_ += '\n'; }

private:
    struct Level
    {
        bool Inline;
        bool Empty;
    };

    void Open(char bracket, bool isInline)
    {
        Separate();
        Out_ += bracket;
        Levels_.push_back({isInline || InlineDepth() > 0, true});
    }

    void Close(char bracket)
    {
        const Level level = Levels_.back();
        Levels_.pop_back();
        if (!level.Empty && !level.Inline)
            NewLine();
        Out_ += bracket;
    }

    int InlineDepth() const { return !Levels_.empty() && Levels_.back().Inline ? 1 : 0; }

    void NewLine()
    {
        Out_ += '\n';
        Out_.append(2 * Levels_.size(), ' ');
    }

    // Writes what goes before a value or key: nothing after a key, else a comma when the
    // container already holds something, then a line break unless the container is inline.
    void Separate()
    {
        if (AfterKey_) {
            AfterKey_ = false;
            return;
        }
        if (Levels_.empty())
            return;
        Level& level = Levels_.back();
        if (!level.Empty)
            Out_ += level.Inline ? ", " : ",";
        level.Empty = false;
        if (!level.Inline)
            NewLine();
    }

    // The shortest text that reads back to the same long double.
    void AppendExtended(long double value)
    {
        if (!std::isfinite(value)) {
            Out_ += std::isnan(value) ? "\"NaN\"" : value > 0 ? "\"Infinity\"" : "\"-Infinity\"";
            return;
        }
        if (value == 0 && std::signbit(value)) {
            Out_ += "-0.0"; // "-0" would read back as the integer 0
            return;
        }
        char buffer[64];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        Out_.append(buffer, result.ptr);
    }

    // The shortest text of the double (null when it is not finite, also after the conversion
    // from long double). The results repeat many values (the cut pass, the diagram depths),
    // so recent texts are kept in a small direct-mapped cache.
    void AppendDouble(double value)
    {
        if (!std::isfinite(value)) {
            Out_ += "null";
            return;
        }
        const auto bits = std::bit_cast<uint64_t>(value);
        CachedNumber& slot = Cache_[(bits * 0x9E3779B97F4A7C15ull) >> (64 - kCacheBits)];
        if (slot.Length == 0 || slot.Bits != bits) {
            if (value == 0 && std::signbit(value)) {
                std::memcpy(slot.Text, "-0.0", 4);
                slot.Length = 4;
            } else {
                const auto result = std::to_chars(slot.Text, slot.Text + sizeof slot.Text, value);
                slot.Length = static_cast<uint8_t>(result.ptr - slot.Text);
            }
            slot.Bits = bits;
        }
        Out_.append(slot.Text, slot.Length);
    }

    void AppendString(std::string_view text)
    {
        Out_ += '"';
        std::size_t plain = 0; // characters since the last escaped one, appended in one go
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (c >= 0x20 && c != '"' && c != '\\' && c != 0x7F) {
                ++plain;
                continue;
            }
            Out_.append(text.substr(i - plain, plain));
            plain = 0;
            switch (c) {
            case '"':
                Out_ += "\\\"";
                break;
            case '\\':
                Out_ += "\\\\";
                break;
            case '\n':
                Out_ += "\\n";
                break;
            case '\r':
                Out_ += "\\r";
                break;
            case '\t':
                Out_ += "\\t";
                break;
            default: {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                Out_ += buffer;
            }
            }
        }
        Out_.append(text.substr(text.size() - plain, plain));
        Out_ += '"';
    }

    struct CachedNumber
    {
        uint64_t Bits = 0;
        uint8_t Length = 0; // 0: empty
        char Text[32];
    };
    static constexpr int kCacheBits = 8;

    std::string& Out_;
    bool Exact_;
    bool AfterKey_ = false;
    std::vector<Level> Levels_;
    std::array<CachedNumber, 1u << kCacheBits> Cache_{};
};

// ---------------------------------------------------------------------------------------
// The persisted fields, visited in the order of the project file. The same list drives the
// writer and the reader, so the two cannot drift apart.

template <typename Project, typename Visitor> void VisitProject(Project& p, Visitor& v)
{
    v.Text("Organization", p.Organization);
    v.Text("ProjectName", p.ProjectName);
    v.Text("JobNumber", p.JobNumber);
    v.Text("DesignedBy", p.DesignedBy);
    v.Date("ProjectDate", p.ProjectDate);
    v.Logo("Logo", p);
    v.Enum("Units", p.Units, 1);
    v.Enum("AnalysisMethod", p.AnalysisMethod, 2);
    v.Enum("InstallMethod", p.InstallMethod, 1);
    v.Enum("PileType", p.PileType, 3);
    v.Enum("Reinforcement", p.Reinforcement, 2);
    v.Enum("SoilMethod", p.SoilMethod, 1);
    v.Ext("ActiveEFP", p.ActiveEFP);
    v.Ext("PassiveEFP", p.PassiveEFP);
    v.Ext("MaxPassivePressure", p.MaxPassivePressure);
    v.Ext("Active2EFP", p.Active2EFP);
    v.Enum("LaggingType", p.LaggingType, 3);
    v.Ext("LaggingFb", p.LaggingFb);
    v.Ext("LaggingFv", p.LaggingFv);
    v.Ext("LaggingSizeFactor", p.LaggingSizeFactor);
    v.Ext("LaggingFlatUseFactor", p.LaggingFlatUseFactor);
    v.Ext("LaggingFcPerp", p.LaggingFcPerp);
    v.Ext("ArchingFactor", p.ArchingFactor);
    v.Int("LaggingConcrete", p.LaggingConcrete);
    v.Ext("LaggingModulus", p.LaggingModulus);
    v.Bool("SouthernPine", p.SouthernPine);
    v.Enum("LumberGrade", p.LumberGrade, 2);
    v.Ext("BackfillPhi", p.BackfillPhi);
    v.Ext("BackfillDelta", p.BackfillDelta);
    v.Ext("BackfillSlope", p.BackfillSlope);
    v.Ext("BackfillWallAngle", p.BackfillWallAngle);
    v.Ext("BackfillUnitWeight", p.BackfillUnitWeight);
    v.Ext("Surcharge", p.Surcharge);
    v.Ext("Backfill2Phi", p.Backfill2Phi);
    v.Ext("Backfill2Delta", p.Backfill2Delta);
    v.Ext("Backfill2Slope", p.Backfill2Slope);
    v.Ext("Backfill2WallAngle", p.Backfill2WallAngle);
    v.Ext("Backfill2UnitWeight", p.Backfill2UnitWeight);
    v.Ext("Backfill2Surcharge", p.Backfill2Surcharge);
    v.Ext("PassivePhi", p.PassivePhi);
    v.Ext("PassiveDelta", p.PassiveDelta);
    v.Ext("PassiveSlope", p.PassiveSlope);
    v.Ext("PassiveWallAngle", p.PassiveWallAngle);
    v.Ext("PassiveUnitWeight", p.PassiveUnitWeight);
    v.Ext("PassiveSafetyFactor", p.PassiveSafetyFactor);
    v.Ext("Cohesion", p.Cohesion);
    v.Ext("ReservedSoilValue", p.ReservedSoilValue);
    v.Ext("IgnorePassiveHeight", p.IgnorePassiveHeight);
    v.Ext("WedgeMultiplier", p.WedgeMultiplier);
    v.Ext("PileSpacing", p.PileSpacing);
    v.Ext("ShoredHeight", p.ShoredHeight);
    v.Ext("ElasticModulus", p.ElasticModulus);
    v.Ext("YieldStrength", p.YieldStrength);
    v.Ext("AllowableTopDeflection", p.AllowableTopDeflection);
    v.Ext("PileWidth", p.PileWidth);
    v.Ext("ConcreteStrength", p.ConcreteStrength);
    v.Ext("AxialLoad", p.AxialLoad);
    v.Ext("LateralLoadTop", p.LateralLoadTop);
    v.Ext("OtherMoment", p.OtherMoment);
    v.Bool("StripLoadOn", p.StripLoadOn);
    v.Bool("SeismicLoadOn", p.SeismicLoadOn);
    v.Ext("StripSetback", p.StripSetback);
    v.Ext("StripWidth", p.StripWidth);
    v.Ext("StripDepth", p.StripDepth);
    v.Ext("StripPressure", p.StripPressure);
    v.Ext("SeismicThrust", p.SeismicThrust);
    v.Ext("SeismicArm", p.SeismicArm);
    v.Enum("SteelLibrary", p.SteelLibrary, 3);
    v.Int("BeamIndex", p.BeamIndex);
    v.Int("SheetIndex", p.SheetIndex);
    v.Points("LoadPoints", p.LoadPoints);
    v.Points("PassivePoints", p.PassivePoints);
    v.Enum("RebarStandard", p.RebarStandard, 2);
    v.Int("VerticalBarSize", p.VerticalBarSize);
    v.Int("BarCount", p.BarCount);
    v.Enum("TieType", p.TieType, 1);
    v.Int("TieBarSize", p.TieBarSize);
    v.Ext("ClearCover", p.ClearCover);
    v.Ext("TieSpacingOverride", p.TieSpacingOverride);
    v.Enum("ShoredHeightFill", p.ShoredHeightFill, 1);
    v.Section("UserSection", p.UserSection);
    v.Bool("PipeFilled", p.PipeFilled);
    v.Bool("AllowablePassive", p.AllowablePassive);
    v.Bool("GuardrailOn", p.GuardrailOn);
    v.Int("GuardrailShape", p.GuardrailShape);
    v.Ext("GuardrailLength", p.GuardrailLength);
    v.Ext("GuardrailDistLoad", p.GuardrailDistLoad);
    v.Ext("GuardrailPointLoad", p.GuardrailPointLoad);
    v.Ext("GuardrailSpacing", p.GuardrailSpacing);
}

// The 13 values of a section in the order of its file record.
template <typename Shape, typename F> void VisitSectionValues(Shape& s, F&& f)
{
    f("Zx", s.Zx);
    f("Ix", s.Ix);
    f("Aw", s.Aw);
    f("Iy", s.Iy);
    f("tf", s.tf);
    f("d", s.d);
    f("ry", s.ry);
    f("Sx", s.Sx);
    f("A", s.A);
    f("bf", s.bf);
    f("J", s.J);
    f("k1", s.k1);
    f("tw", s.tw);
}

class ProjectWriter
{
public:
    explicit ProjectWriter(Writer& w) : W_(w) {}

    void Text(const char* key, const std::string& value)
    {
        W_.Key(key);
        W_.Text(value);
    }
    void Date(const char* key, double serial)
    {
        W_.Key(key);
        const std::string iso = DateToIso(serial);
        if (iso.empty())
            W_.Null();
        else
            W_.String(iso);
    }
    void Logo(const char* key, const TTWData& p)
    {
        W_.Key(key);
        if (p.HasLogo())
            W_.String(Base64Encode(p.Logo()));
        else
            W_.Null();
    }
    template <typename E> void Enum(const char* key, E value, int)
    {
        W_.Key(key);
        W_.Integer(static_cast<int64_t>(value));
    }
    void Int(const char* key, int32_t value)
    {
        W_.Key(key);
        W_.Integer(value);
    }
    void Bool(const char* key, bool value)
    {
        W_.Key(key);
        W_.Bool(value);
    }
    void Ext(const char* key, long double value)
    {
        W_.Key(key);
        W_.Number(value);
    }
    template <std::size_t N>
    void Points(const char* key, const std::array<TPressurePoint, N>& points)
    {
        W_.Key(key);
        W_.BeginArray();
        for (const TPressurePoint& point : points) {
            W_.BeginObject(true);
            W_.Key("X");
            W_.Number(point.X);
            W_.Key("W");
            W_.Number(point.W);
            // The padding bytes of a point in project files, written only when a file
            // carried something there, so that a .btw -> .json -> .btw round trip keeps them.
            if (point.Padding != decltype(point.Padding){}) {
                W_.Key("Padding");
                W_.BeginArray();
                for (const uint8_t byte : point.Padding)
                    W_.Integer(byte);
                W_.EndArray();
            }
            W_.EndObject();
        }
        W_.EndArray();
    }
    void Section(const char* key, const TSteelShape& shape)
    {
        W_.Key(key);
        W_.BeginObject();
        W_.Key("Name");
        W_.Text(shape.Name);
        VisitSectionValues(shape, [this](const char* name, long double value) {
            W_.Key(name);
            W_.Number(value);
        });
        W_.EndObject();
    }

private:
    Writer& W_;
};

// ---------------------------------------------------------------------------------------
// Reading

std::string TypeName(const Json& value)
{
    return value.type_name();
}

long double ReadExtended(const Json& value, std::string_view key)
{
    switch (value.type()) {
    case Json::value_t::number_float:
        return value.get<long double>();
    case Json::value_t::number_integer:
        return static_cast<long double>(value.get<int64_t>());
    case Json::value_t::number_unsigned:
        return static_cast<long double>(value.get<uint64_t>());
    case Json::value_t::string: {
        const auto& text = value.get_ref<const std::string&>();
        if (text == "NaN")
            return std::numeric_limits<long double>::quiet_NaN();
        if (text == "Infinity")
            return std::numeric_limits<long double>::infinity();
        if (text == "-Infinity")
            return -std::numeric_limits<long double>::infinity();
        Fail(key, "expected a number, found the string \"" + text + "\"");
    }
    default:
        Fail(key, "expected a number, found " + TypeName(value));
    }
}

int64_t ReadInteger(const Json& value, std::string_view key, int64_t min, int64_t max)
{
    int64_t result = 0;
    if (value.is_number_unsigned()) {
        const uint64_t u = value.get<uint64_t>();
        if (u > static_cast<uint64_t>(max))
            Fail(key, "the value " + std::to_string(u) + " is out of range " + std::to_string(min) +
                          " to " + std::to_string(max));
        result = static_cast<int64_t>(u);
    } else if (value.is_number_integer()) {
        result = value.get<int64_t>();
    } else {
        Fail(key, "expected an integer, found " + TypeName(value));
    }
    if (result < min || result > max)
        Fail(key, "the value " + std::to_string(result) + " is out of range " +
                      std::to_string(min) + " to " + std::to_string(max));
    return result;
}

// Applies the keys of one JSON object to the fields the visitor names; every key of the
// object must be one of them.
class ProjectReader
{
public:
    explicit ProjectReader(const Json& object) : Object_(object) {}

    // Throws for the first key of the object that no field claimed.
    void CheckUnknownKeys(std::initializer_list<std::string_view> extra) const
    {
        for (const auto& item : Object_.items()) {
            const std::string& key = item.key();
            bool known = Known_.count(key) > 0;
            for (std::string_view e : extra)
                known = known || key == e;
            if (!known)
                Fail(key, "unknown key");
        }
    }

    void Text(const char* key, std::string& field)
    {
        if (const Json* value = Find(key))
            field = Utf8ToAnsi(StringOf(*value, key));
    }
    void Date(const char* key, double& serial)
    {
        const Json* value = Find(key);
        if (value == nullptr || value->is_null())
            return; // the built-in default: today
        const std::string& text = StringOf(*value, key);
        if (!DateFromIso(text, serial))
            Fail(key, "\"" + text + "\" is not a date of the form YYYY-MM-DD");
    }
    void Logo(const char* key, TTWData& p)
    {
        const Json* value = Find(key);
        if (value == nullptr || value->is_null()) {
            p.ClearLogo();
            return;
        }
        std::vector<uint8_t> bytes;
        if (!Base64Decode(StringOf(*value, key), bytes))
            Fail(key, "not valid base64 text");
        if (bytes.empty()) {
            p.ClearLogo();
            return;
        }
        try {
            p.SetLogoJpeg(std::move(bytes));
        } catch (const std::exception& e) {
            Fail(key, e.what());
        }
    }
    template <typename E> void Enum(const char* key, E& field, int max)
    {
        if (const Json* value = Find(key))
            field = static_cast<E>(ReadInteger(*value, key, 0, max));
    }
    void Int(const char* key, int32_t& field)
    {
        if (const Json* value = Find(key))
            field =
                static_cast<int32_t>(ReadInteger(*value, key, std::numeric_limits<int32_t>::min(),
                                                 std::numeric_limits<int32_t>::max()));
    }
    void Bool(const char* key, bool& field)
    {
        if (const Json* value = Find(key)) {
            if (!value->is_boolean())
                Fail(key, "expected true or false, found " + TypeName(*value));
            field = value->get<bool>();
        }
    }
    void Ext(const char* key, long double& field)
    {
        if (const Json* value = Find(key))
            field = ReadExtended(*value, key);
    }
    template <std::size_t N> void Points(const char* key, std::array<TPressurePoint, N>& points)
    {
        const Json* value = Find(key);
        if (value == nullptr)
            return;
        if (!value->is_array() || value->size() != N)
            Fail(key, "expected an array of " + std::to_string(N) + " points");
        for (std::size_t i = 0; i < N; ++i) {
            const Json& item = (*value)[i];
            const std::string itemKey = std::string(key) + "[" + std::to_string(i) + "]";
            if (!item.is_object())
                Fail(itemKey, "expected an object {\"X\", \"W\"}, found " + TypeName(item));
            ProjectReader reader(item);
            reader.Ext(ItemKey(itemKey, "X").c_str(), points[i].X, "X");
            reader.Ext(ItemKey(itemKey, "W").c_str(), points[i].W, "W");
            if (const Json* padding = reader.Find("Padding")) {
                const std::string paddingKey = ItemKey(itemKey, "Padding");
                if (!padding->is_array() || padding->size() != points[i].Padding.size())
                    Fail(paddingKey, "expected an array of 4 bytes");
                for (std::size_t k = 0; k < points[i].Padding.size(); ++k)
                    points[i].Padding[k] =
                        static_cast<uint8_t>(ReadInteger((*padding)[k], paddingKey, 0, 255));
            }
            reader.CheckUnknownKeysOf(itemKey);
        }
    }
    void Section(const char* key, TSteelShape& shape)
    {
        const Json* value = Find(key);
        if (value == nullptr)
            return;
        if (!value->is_object())
            Fail(key, "expected an object, found " + TypeName(*value));
        ProjectReader reader(*value);
        const std::string prefix(key);
        if (const Json* name = reader.Find("Name"))
            shape.Name = Utf8ToAnsi(StringOf(*name, ItemKey(prefix, "Name")));
        VisitSectionValues(shape, [&](const char* name, long double& field) {
            reader.Ext(ItemKey(prefix, name).c_str(), field, name);
        });
        reader.CheckUnknownKeysOf(prefix);
    }

private:
    static std::string ItemKey(const std::string& parent, std::string_view key)
    {
        return parent + "." + std::string(key);
    }

    // A member of a nested object: `fullKey` names it in messages.
    void Ext(const char* fullKey, long double& field, const char* key)
    {
        if (const Json* value = Find(key))
            field = ReadExtended(*value, fullKey);
    }

    void CheckUnknownKeysOf(const std::string& parent) const
    {
        for (const auto& item : Object_.items())
            if (Known_.count(item.key()) == 0)
                Fail(ItemKey(parent, item.key()), "unknown key");
    }

    const Json* Find(const char* key)
    {
        Known_.insert(key);
        const auto it = Object_.find(key);
        return it == Object_.end() ? nullptr : &*it;
    }

    static const std::string& StringOf(const Json& value, std::string_view key)
    {
        if (!value.is_string())
            Fail(key, "expected a string, found " + TypeName(value));
        return value.get_ref<const std::string&>();
    }

    const Json& Object_;
    std::set<std::string, std::less<>> Known_;
};

} // namespace

std::string ProjectToJson(const TTWData& project)
{
    std::string out;
    out.reserve(8192 + project.Logo().size() * 4 / 3);
    Writer w(out, true);
    w.BeginObject();
    w.Key("format");
    w.String(kProjectJsonFormat);
    w.Key("version");
    w.Integer(kProjectJsonVersion);
    ProjectWriter fields(w);
    VisitProject(project, fields);
    w.EndObject();
    w.Finish();
    return out;
}

void ProjectFromJson(std::string_view json, TTWData& project)
{
    Json document;
    try {
        document = Json::parse(json.begin(), json.end());
    } catch (const Json::parse_error& e) {
        throw std::runtime_error(std::string("Not a valid JSON document: ") + e.what());
    }
    if (!document.is_object())
        throw std::runtime_error("A project document must be a JSON object");

    if (const auto it = document.find("format"); it != document.end()) {
        if (!it->is_string() || it->get_ref<const std::string&>() != kProjectJsonFormat)
            Fail("format", std::string("expected \"") + kProjectJsonFormat + "\"");
    }
    if (const auto it = document.find("version"); it != document.end()) {
        if (!it->is_number_integer() && !it->is_number_unsigned())
            Fail("version", "expected an integer, found " + TypeName(*it));
        const int64_t version = ReadInteger(*it, "version", 1, kProjectJsonVersion);
        (void)version;
    }

    TTWData fresh;
    fresh.ExampleFolder = project.ExampleFolder;
    fresh.NewProject(true);
    ProjectReader reader(document);
    VisitProject(fresh, reader);
    reader.CheckUnknownKeys({"format", "version"});
    // The catalogues, limits and bar table follow the unit system, library, pile type and
    // rebar standard that were read.
    fresh.SetUnitSystem(fresh.Units);
    project = std::move(fresh);
}

// ---------------------------------------------------------------------------------------
// Results

namespace {

// Keys as arrays, so their lengths are known when compiling.
template <std::size_t N> void Num(Writer& w, const char (&key)[N], long double value)
{
    w.Key(std::string_view(key, N - 1));
    w.Number(value);
}

void Flag(Writer& w, const char* key, bool value)
{
    w.Key(key);
    w.Bool(value);
}

// A verdict that the project does not show is null.
void Verdict(Writer& w, const char* key, bool applies, bool passes)
{
    w.Key(key);
    if (applies)
        w.Bool(passes);
    else
        w.Null();
}

template <std::size_t N>
void WritePoints(Writer& w, const char* key, const std::array<TPressurePoint, N>& points)
{
    w.Key(key);
    w.BeginArray();
    for (const TPressurePoint& point : points) {
        w.BeginObject(true);
        Num(w, "X", point.X);
        Num(w, "W", point.W);
        w.EndObject();
    }
    w.EndArray();
}

void WriteNodes(Writer& w, const TTWData& p)
{
    w.Key("Nodes");
    w.BeginArray();
    for (const TPileNode& n : p.Nodes) {
        w.BeginObject(true);
        Num(w, "Depth", n.Depth);
        Num(w, "Pressure", n.Pressure);
        Num(w, "Load", n.Load);
        Num(w, "Shear", n.Shear);
        Num(w, "Moment", n.Moment);
        Num(w, "Slope", n.Slope);
        Num(w, "RelSlope", n.RelSlope);
        Num(w, "Deflection", n.Deflection);
        Num(w, "DeflectionOut", n.DeflectionOut);
        Num(w, "CutLoad", n.CutLoad);
        Num(w, "CutShear", n.CutShear);
        Num(w, "CutMoment", n.CutMoment);
        Num(w, "CutSlope", n.CutSlope);
        Num(w, "CutRelSlope", n.CutRelSlope);
        Num(w, "CutDeflection", n.CutDeflection);
        Num(w, "CutDeflectionOut", n.CutDeflectionOut);
        w.EndObject();
    }
    w.EndArray();
}

void WriteSteel(Writer& w, const TTWData& p)
{
    const TSteelCheckResults& r = p.SteelCheckResults;
    const TSteelVerdicts v = SteelCheckVerdicts(p);
    w.Key("SteelCheckResults");
    w.BeginObject();
    Num(w, "TotalBeamLength", r.TotalBeamLength);
    Num(w, "DiagonalLength", r.DiagonalLength);
    Num(w, "Lp", r.Lp);
    Num(w, "Lr", r.Lr);
    Num(w, "AllowableMomentAbove", r.AllowableMomentAbove);
    Num(w, "AllowableMomentBelow", r.AllowableMomentBelow);
    Num(w, "MomentUtilization", r.MomentUtilization);
    Num(w, "AllowableShear", r.AllowableShear);
    Num(w, "ShearUtilization", r.ShearUtilization);
    Num(w, "AllowableAxial", r.AllowableAxial);
    Num(w, "AxialUtilization", r.AxialUtilization);
    Num(w, "Interaction", r.Interaction);
    Num(w, "SlendernessRatio", r.Slenderness);
    Num(w, "SheetSxRequired", r.SectionModulusRequired);
    Num(w, "SheetSxProvided", r.SectionModulusProvided);
    w.Key("RoundClass");
    if (v.RoundClassApplies)
        w.Text(RoundSectionClass(p));
    else
        w.Null();
    w.Key("HoleClearance");
    if (v.HoleFitApplies)
        w.Number(HoleClearance(p));
    else
        w.Null();
    w.Key("Verdicts");
    w.BeginObject();
    Verdict(w, "Deflection", true, v.Deflection);
    Verdict(w, "Moment", v.StrengthChecksApply, v.Moment);
    Verdict(w, "Shear", v.StrengthChecksApply, v.Shear);
    Verdict(w, "Axial", v.StrengthChecksApply, v.Axial);
    Verdict(w, "Interaction", v.StrengthChecksApply, v.Interaction);
    Verdict(w, "Slenderness", v.StrengthChecksApply, v.Slenderness);
    Verdict(w, "HoleFit", v.HoleFitApplies, v.HoleFit);
    Verdict(w, "RoundClass", v.RoundClassApplies, v.RoundClass);
    Verdict(w, "SheetSection", v.SectionModulusApplies, v.SectionModulus);
    w.EndObject();
    w.EndObject();
}

void WriteRebarCage(Writer& w, const TTWData& p)
{
    const TRebarCageResults& r = p.RebarCageResults;
    const bool cage = p.Reinforcement == TReinforcement::rfRebarCage;
    w.Key("RebarCageResults");
    w.BeginObject();
    Num(w, "ReinforcementRatio", r.ReinforcementRatio);
    Num(w, "CalculatedSpacing", r.CalculatedSpacing);
    Num(w, "TieSpacingOverride", p.TieSpacingOverride);
    w.Key("SpacingMessage");
    w.Text(r.SpacingMessage);
    Num(w, "Beta1", r.Beta1);
    Num(w, "PhiPnMax", r.PhiPnMax);
    Num(w, "PhiPnT", r.PhiPnT);
    Num(w, "PhiMn0", r.PhiMn0);
    Num(w, "Pu", r.Pu);
    Num(w, "Mu", r.Mu);
    Num(w, "PhiMnAtPu", r.PhiMnAtPu);
    Num(w, "AxialUtilization", r.AxialUtilization);
    Num(w, "MomentUtilization", r.MomentUtilization);
    w.Key("Verdicts");
    w.BeginObject();
    Verdict(w, "Axial", cage, r.AxialOK);
    Verdict(w, "Moment", cage, r.MomentOK);
    Verdict(w, "Spacing", cage, r.SpacingOK);
    w.EndObject();
    w.Key("InteractionPoints");
    w.BeginArray();
    for (const TInteractionPoint& q : p.InteractionPoints) {
        w.BeginObject(true);
        Num(w, "c", q.c);
        Num(w, "Eps1", q.eps1);
        Num(w, "Fs1", q.fs1);
        Num(w, "Eps2", q.eps2);
        Num(w, "Fs2", q.fs2);
        Num(w, "Eps3", q.eps3);
        Num(w, "Fs3", q.fs3);
        Num(w, "Theta", q.theta);
        Num(w, "a", q.a);
        Num(w, "Ac", q.Ac);
        Num(w, "Fc", q.Fc);
        Num(w, "yc", q.yc);
        Num(w, "Ft", q.Ft);
        Num(w, "yt", q.yt);
        Num(w, "Phi", q.phi);
        Num(w, "PhiPn", q.phiPn);
        Num(w, "PhiMn", q.phiMn);
        w.EndObject();
    }
    w.EndArray();
    w.EndObject();
}

void WriteLagging(Writer& w, const TTWData& p)
{
    const TLaggingResults& r = p.LaggingResults;
    w.Key("LaggingResults");
    if (!r.Designed) {
        w.Null();
        return;
    }
    const bool timber = p.LaggingType == TLaggingType::ltTimber;
    const bool sized = timber || p.LaggingType == TLaggingType::ltSteelPlate;
    w.BeginObject();
    Num(w, "SoilPressure", r.SoilPressure);
    Num(w, "Moment", r.Moment);
    Num(w, "SreqSteel", r.RequiredSectionModulus);
    w.Key("SizeText");
    w.Text(r.SizeText);
    w.Key("Timber");
    if (timber) {
        w.BeginObject();
        Num(w, "Moment", r.Moment);
        Num(w, "Shear", r.Shear);
        Num(w, "FbAdjusted", r.AdjustedFb);
        Num(w, "fbActual", r.ActualFb);
        Num(w, "FvAdjusted", r.AdjustedFv);
        Num(w, "fvActual", r.ActualFv);
        Num(w, "Deflection", r.Deflection);
        Num(w, "DeflectionLimit", r.AllowableDeflection);
        w.EndObject();
    } else {
        w.Null();
    }
    w.Key("ConcreteText");
    w.Text(r.ConcreteText);
    w.Key("MaterialText");
    w.Text(r.MaterialText);
    w.Key("Verdicts");
    w.BeginObject();
    Verdict(w, "Size", sized, r.SizeOK);
    Verdict(w, "Bending", timber, r.BendingOK);
    Verdict(w, "Shear", timber, r.ShearOK);
    Verdict(w, "Deflection", timber, r.DeflectionOK);
    w.EndObject();
    w.EndObject();
}

void WriteGuardrail(Writer& w, const TTWData& p)
{
    const TGuardrailResults& r = p.GuardrailResults;
    w.Key("GuardrailResults");
    if (!r.Designed) {
        w.Null();
        return;
    }
    w.BeginObject();
    Num(w, "CompressionAllowable", r.AllowableCompression);
    Num(w, "CompressionApplied", r.Compression);
    Num(w, "YieldMoment", r.YieldMoment);
    Num(w, "BucklingMoment", r.BucklingMoment);
    Num(w, "MomentAllowable", r.AllowableMoment);
    Num(w, "MomentApplied", r.Moment);
    Num(w, "WeldYAllowable", r.AllowableWeldY);
    Num(w, "WeldYApplied", r.WeldY);
    Num(w, "WeldXAllowable", r.AllowableWeldX);
    Num(w, "WeldXApplied", r.WeldX);
    w.Key("Verdicts");
    w.BeginObject();
    Flag(w, "Compression", r.CompressionOK);
    Flag(w, "Moment", r.MomentOK);
    Flag(w, "WeldY", r.WeldYOK);
    Flag(w, "WeldX", r.WeldXOK);
    w.EndObject();
    w.EndObject();
}

} // namespace

std::string ResultsToJson(const TTWData& p)
{
    std::string out;
    out.reserve(64 * 1024);
    Writer w(out, false);
    w.BeginObject();
    w.Key("format");
    w.String(kResultsJsonFormat);
    w.Key("version");
    w.Integer(kResultsJsonVersion);
    w.Key("Units");
    w.Integer(static_cast<int64_t>(p.Units));

    Num(w, "PlanEdgeOffset", p.PlanEdgeOffset);
    Num(w, "Ka", p.Ka);
    Num(w, "Kp", p.Kp);
    Num(w, "Ka2", p.Ka2);
    Num(w, "ActiveEFP", p.ActiveEFP);
    Num(w, "PassiveEFP", p.PassiveEFP);
    Num(w, "Active2EFP", p.Active2EFP);
    Num(w, "MaxPassivePressure", p.MaxPassivePressure);
    Num(w, "StripTop", p.StripTop);
    Num(w, "StripLateralPressure", p.StripLateralPressure);
    Num(w, "StripMoment", p.StripMoment);
    Num(w, "SeismicMoment", p.SeismicMoment);
    Num(w, "TopMoment", p.TopMoment);
    Num(w, "EquilibriumDepth", p.EquilibriumDepth);
    Num(w, "EmbedmentIncrease", p.EmbedmentIncrease);
    Num(w, "EmbedmentDepth", p.EmbedmentDepth);
    Num(w, "TotalPileLength", p.TotalPileLength);
    Num(w, "UnbracedLength", p.UnbracedLength);
    Num(w, "BeamDiagonal", p.BeamDiagonal);
    Num(w, "PierInertia", p.PierInertia);
    Num(w, "ConcreteModulus", p.ConcreteModulus);
    Num(w, "SectionInertia", p.SectionInertia);
    Num(w, "StiffnessAbove", p.StiffnessAbove);
    Num(w, "StiffnessBelow", p.StiffnessBelow);
    Num(w, "NodeSpacing", p.NodeSpacing);
    Num(w, "EffectivePileWidth", p.EffectivePileWidth());
    Num(w, "PileSpacing", p.PileSpacing);

    WritePoints(w, "LoadPoints", p.LoadPoints);
    WritePoints(w, "PassivePoints", p.PassivePoints);
    WriteNodes(w, p);

    Num(w, "MaxShear", p.MaxShear);
    Num(w, "MaxShearDepth", p.MaxShearDepth);
    w.Key("MaxShearNode");
    w.Integer(p.MaxShearNode);
    Num(w, "MaxMomentAbove", p.MaxMomentAbove);
    Num(w, "MaxMomentAboveDepth", p.MaxMomentAboveDepth);
    w.Key("MaxMomentAboveNode");
    w.Integer(p.MaxMomentAboveNode);
    Num(w, "MaxMomentBelow", p.MaxMomentBelow);
    Num(w, "MaxMomentBelowDepth", p.MaxMomentBelowDepth);
    w.Key("MaxMomentBelowNode");
    w.Integer(p.MaxMomentBelowNode);
    Num(w, "TopDeflection", p.TopDeflection);

    WriteSteel(w, p);
    WriteRebarCage(w, p);
    WriteLagging(w, p);
    WriteGuardrail(w, p);
    w.EndObject();
    w.Finish();
    return out;
}

} // namespace tw
