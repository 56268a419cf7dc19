#include "engine/ProjectJson.h"

#include <array>
#include <cstdint>
#include <limits>
#include <map>
#include <set>
#include <stdexcept>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/Ansi.h"
#include "engine/Base64.h"
#include "engine/Dates.h"
#include "engine/JsonWriter.h"
#include "engine/TWClasses.h"

namespace tw {

namespace {

// Floating-point numbers are parsed as long double (strtold), so extended values read back
// exactly. Writing goes through our own writer (JsonWriter.h): nlohmann formats a long double
// with a printf conversion meant for double.
using Json = nlohmann::basic_json<std::map, std::vector, std::string, bool, std::int64_t,
                                  std::uint64_t, long double>;

[[noreturn]] void Fail(std::string_view key, std::string_view what)
{
    throw std::runtime_error("\"" + std::string(key) + "\": " + std::string(what));
}

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
    v.Ext("SubgradeModulus", p.SubgradeModulus);
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
    explicit ProjectWriter(JsonWriter& w) : W_(w) {}

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
    JsonWriter& W_;
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
    JsonWriter w(out, true);
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

} // namespace tw
