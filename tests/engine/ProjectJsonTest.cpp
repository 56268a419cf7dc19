// The project and results JSON documents: every persisted field survives a round trip (extended
// values bit for bit, non-ASCII texts, the logo, the date), missing keys take the built-in
// defaults, bad documents are refused with the key named, and the results document holds the
// analysis under its documented names with null for undefined values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/Jpeg.h"
#include "engine/ProjectJson.h"
#include "engine/TWClasses.h"

using namespace tw;

namespace {

using Json = nlohmann::json;

bool SameBits(long double a, long double b)
{
    // The 80-bit value occupies the first 10 bytes; the rest is padding.
    return std::memcmp(&a, &b, 10) == 0;
}

struct ExtField
{
    const char* name;
    long double TTWData::*member;
};

// Every persisted extended field with its document key.
const std::vector<ExtField>& ExtFields()
{
    static const std::vector<ExtField> fields = {
        {"ActiveEFP", &TTWData::ActiveEFP},
        {"PassiveEFP", &TTWData::PassiveEFP},
        {"MaxPassivePressure", &TTWData::MaxPassivePressure},
        {"Active2EFP", &TTWData::Active2EFP},
        {"LaggingFb", &TTWData::LaggingFb},
        {"LaggingFv", &TTWData::LaggingFv},
        {"LaggingSizeFactor", &TTWData::LaggingSizeFactor},
        {"LaggingFlatUseFactor", &TTWData::LaggingFlatUseFactor},
        {"LaggingFcPerp", &TTWData::LaggingFcPerp},
        {"ArchingFactor", &TTWData::ArchingFactor},
        {"LaggingModulus", &TTWData::LaggingModulus},
        {"BackfillPhi", &TTWData::BackfillPhi},
        {"BackfillDelta", &TTWData::BackfillDelta},
        {"BackfillSlope", &TTWData::BackfillSlope},
        {"BackfillWallAngle", &TTWData::BackfillWallAngle},
        {"BackfillUnitWeight", &TTWData::BackfillUnitWeight},
        {"Surcharge", &TTWData::Surcharge},
        {"Backfill2Phi", &TTWData::Backfill2Phi},
        {"Backfill2Delta", &TTWData::Backfill2Delta},
        {"Backfill2Slope", &TTWData::Backfill2Slope},
        {"Backfill2WallAngle", &TTWData::Backfill2WallAngle},
        {"Backfill2UnitWeight", &TTWData::Backfill2UnitWeight},
        {"Backfill2Surcharge", &TTWData::Backfill2Surcharge},
        {"PassivePhi", &TTWData::PassivePhi},
        {"PassiveDelta", &TTWData::PassiveDelta},
        {"PassiveSlope", &TTWData::PassiveSlope},
        {"PassiveWallAngle", &TTWData::PassiveWallAngle},
        {"PassiveUnitWeight", &TTWData::PassiveUnitWeight},
        {"PassiveSafetyFactor", &TTWData::PassiveSafetyFactor},
        {"Cohesion", &TTWData::Cohesion},
        {"ReservedSoilValue", &TTWData::ReservedSoilValue},
        {"SubgradeModulus", &TTWData::SubgradeModulus},
        {"IgnorePassiveHeight", &TTWData::IgnorePassiveHeight},
        {"WedgeMultiplier", &TTWData::WedgeMultiplier},
        {"PileSpacing", &TTWData::PileSpacing},
        {"ShoredHeight", &TTWData::ShoredHeight},
        {"ElasticModulus", &TTWData::ElasticModulus},
        {"YieldStrength", &TTWData::YieldStrength},
        {"AllowableTopDeflection", &TTWData::AllowableTopDeflection},
        {"PileWidth", &TTWData::PileWidth},
        {"ConcreteStrength", &TTWData::ConcreteStrength},
        {"AxialLoad", &TTWData::AxialLoad},
        {"LateralLoadTop", &TTWData::LateralLoadTop},
        {"OtherMoment", &TTWData::OtherMoment},
        {"StripSetback", &TTWData::StripSetback},
        {"StripWidth", &TTWData::StripWidth},
        {"StripDepth", &TTWData::StripDepth},
        {"StripPressure", &TTWData::StripPressure},
        {"SeismicThrust", &TTWData::SeismicThrust},
        {"SeismicArm", &TTWData::SeismicArm},
        {"ClearCover", &TTWData::ClearCover},
        {"TieSpacingOverride", &TTWData::TieSpacingOverride},
        {"GuardrailLength", &TTWData::GuardrailLength},
        {"GuardrailDistLoad", &TTWData::GuardrailDistLoad},
        {"GuardrailPointLoad", &TTWData::GuardrailPointLoad},
        {"GuardrailSpacing", &TTWData::GuardrailSpacing},
    };
    return fields;
}

std::vector<uint8_t> SmallJpeg()
{
    JpegImage image;
    image.width = 8;
    image.height = 4;
    image.rgb.resize(8 * 4 * 3);
    for (std::size_t i = 0; i < image.rgb.size(); ++i)
        image.rgb[i] = static_cast<uint8_t>(i * 7);
    return EncodeJpeg(image);
}

// A project in which every persisted field differs from its built-in default.
TTWData EveryFieldSet()
{
    TTWData p;
    p.NewProject(true);
    p.SetUnitSystem(TUnitSystem::usSI);
    p.Organization = "Sch\xF6n & S\xF8n \x80 \x92quoted\x92";
    p.ProjectName = "Caf\xE9 \"wall\" \\ line\r\nnext\ttab";
    p.JobNumber = "J-\xBD\xB0";
    p.DesignedBy = std::string(255, 'x');
    p.ProjectDate = DateSerial(2024, 2, 29);
    p.SetLogoJpeg(SmallJpeg());
    p.AnalysisMethod = TAnalysisMethod::amUserDefined;
    p.InstallMethod = TInstallMethod::imDriven;
    p.PileType = TPileType::ptSecantPile;
    p.Reinforcement = TReinforcement::rfPipe;
    p.SoilMethod = TSoilMethod::smEquivalentFluid;
    p.LaggingType = TLaggingType::ltConcrete;
    p.LaggingConcrete = -1;
    p.SouthernPine = true;
    p.LumberGrade = TLumberGrade::lgSelectStructural;
    p.StripLoadOn = true;
    p.SeismicLoadOn = true;
    p.SteelLibrary = TSteelLibrary::slEuropean;
    p.BeamIndex = 17;
    p.SheetIndex = -1;
    p.RebarStandard = TRebarStandard::rsCanadian;
    p.VerticalBarSize = 25;
    p.BarCount = 12;
    p.TieType = TTieType::ttSpiral;
    p.TieBarSize = 10;
    p.ShoredHeightFill = TShoredHeightFill::sfSlurry;
    p.PipeFilled = true;
    p.AllowablePassive = true;
    p.GuardrailOn = false;
    p.GuardrailShape = 16;
    for (std::size_t i = 0; i < p.LoadPoints.size(); ++i)
        p.LoadPoints[i] = {
            static_cast<long double>(i) / 3.0L, -static_cast<long double>(i) / 7.0L, {}};
    for (std::size_t i = 0; i < p.PassivePoints.size(); ++i)
        p.PassivePoints[i] = {0.1L * static_cast<long double>(i + 1), -1e-9L * (i + 2), {}};
    // Padding bytes that a project file carried.
    p.LoadPoints[6].Padding = {1, 2, 254, 255};
    TSteelShape user;
    user.Name = "My \xA7 section";
    user.Zx = 1.0L / 3.0L;
    user.Ix = 2.0L / 3.0L;
    user.Aw = 1.1L;
    user.Iy = 1.2L;
    user.tf = 1.3L;
    user.d = 1.4L;
    user.ry = 1.5L;
    user.Sx = 1.6L;
    user.A = 1.7L;
    user.bf = 1.8L;
    user.J = 1.9L;
    user.k1 = 2.1L;
    user.tw = 2.2L;
    p.SetUserSection(user);
    int i = 0;
    for (const ExtField& f : ExtFields())
        p.*f.member = (i++ + 1) / 7.0L + 1000.0L;
    p.LoadCatalogues();
    p.LoadRebarTable();
    return p;
}

TTWData RoundTrip(const TTWData& p)
{
    TTWData back;
    ProjectFromJson(ProjectToJson(p), back);
    return back;
}

std::string ExpectThrowMessage(const std::string& json)
{
    TTWData p;
    try {
        ProjectFromJson(json, p);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    ADD_FAILURE() << "no error for " << json;
    return {};
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TTWData EnglishExample()
{
    TTWData p;
    ProjectFromJson(
        ReadFile(std::string(TW_SOURCE_DIR) + "/resources/examples/ENGLISH UNITS EXAMPLE.json"), p);
    return p;
}

} // namespace

// ---------------------------------------------------------------------------------------

TEST(ProjectJsonRoundTrip, EveryFieldSurvives)
{
    const TTWData p = EveryFieldSet();
    const TTWData q = RoundTrip(p);

    EXPECT_EQ(q.Organization, p.Organization);
    EXPECT_EQ(q.ProjectName, p.ProjectName);
    EXPECT_EQ(q.JobNumber, p.JobNumber);
    EXPECT_EQ(q.DesignedBy, p.DesignedBy);
    EXPECT_EQ(q.ProjectDate, p.ProjectDate);
    EXPECT_EQ(q.Logo(), p.Logo());
    EXPECT_EQ(q.Units, TUnitSystem::usSI);
    EXPECT_EQ(q.AnalysisMethod, p.AnalysisMethod);
    EXPECT_EQ(q.InstallMethod, p.InstallMethod);
    EXPECT_EQ(q.PileType, p.PileType);
    EXPECT_EQ(q.Reinforcement, p.Reinforcement);
    EXPECT_EQ(q.SoilMethod, p.SoilMethod);
    EXPECT_EQ(q.LaggingType, p.LaggingType);
    EXPECT_EQ(q.LaggingConcrete, p.LaggingConcrete);
    EXPECT_EQ(q.SouthernPine, p.SouthernPine);
    EXPECT_EQ(q.LumberGrade, p.LumberGrade);
    EXPECT_EQ(q.StripLoadOn, p.StripLoadOn);
    EXPECT_EQ(q.SeismicLoadOn, p.SeismicLoadOn);
    EXPECT_EQ(q.SteelLibrary, p.SteelLibrary);
    EXPECT_EQ(q.BeamIndex, p.BeamIndex);
    EXPECT_EQ(q.SheetIndex, p.SheetIndex);
    EXPECT_EQ(q.RebarStandard, p.RebarStandard);
    EXPECT_EQ(q.VerticalBarSize, p.VerticalBarSize);
    EXPECT_EQ(q.BarCount, p.BarCount);
    EXPECT_EQ(q.TieType, p.TieType);
    EXPECT_EQ(q.TieBarSize, p.TieBarSize);
    EXPECT_EQ(q.ShoredHeightFill, p.ShoredHeightFill);
    EXPECT_EQ(q.PipeFilled, p.PipeFilled);
    EXPECT_EQ(q.AllowablePassive, p.AllowablePassive);
    EXPECT_EQ(q.GuardrailOn, p.GuardrailOn);
    EXPECT_EQ(q.GuardrailShape, p.GuardrailShape);
    EXPECT_EQ(q.LoadPoints, p.LoadPoints);
    EXPECT_EQ(q.PassivePoints, p.PassivePoints);
    EXPECT_EQ(q.UserSection, p.UserSection);
    for (const ExtField& f : ExtFields())
        EXPECT_TRUE(SameBits(q.*f.member, p.*f.member)) << f.name;

    // The catalogues follow what was read: the SI European I-shapes, the Canadian bars.
    EXPECT_EQ(q.SteelShapes(), LoadSteelShapes(TUnitSystem::usSI, TSteelLibrary::slEuropean,
                                               TPileType::ptSecantPile));
    EXPECT_EQ(q.RebarTable(), LoadRebarTable(TRebarStandard::rsCanadian, TUnitSystem::usSI));
    EXPECT_EQ(&q.Limits(), &SIInputLimits());

    // Writing the read project again gives the same document.
    EXPECT_EQ(ProjectToJson(q), ProjectToJson(p));
}

TEST(ProjectJsonRoundTrip, ThroughTheProjectFile)
{
    // JSON -> .btw -> JSON keeps the document; .btw -> JSON -> .btw keeps the bytes.
    const std::string json = ProjectToJson(EveryFieldSet());
    TTWData p;
    ProjectFromJson(json, p);
    std::stringstream file;
    p.SaveToStream(file);
    const std::string bytes = file.str();
    TTWData q;
    q.LoadFromStream(file);
    EXPECT_EQ(ProjectToJson(q), json);

    TTWData r;
    ProjectFromJson(ProjectToJson(q), r);
    std::ostringstream again;
    r.SaveToStream(again);
    EXPECT_EQ(again.str(), bytes);
}

TEST(ProjectJsonRoundTrip, DocumentNamesEveryFieldByItsDataModelName)
{
    const Json doc = Json::parse(ProjectToJson(EveryFieldSet()));
    EXPECT_EQ(doc.at("format"), "tarnwick-project");
    EXPECT_EQ(doc.at("version"), 1);
    for (const ExtField& f : ExtFields()) {
        ASSERT_TRUE(doc.contains(f.name)) << f.name;
        EXPECT_TRUE(doc.at(f.name).is_number()) << f.name;
    }
    const char* others[] = {"Organization",    "ProjectName",      "JobNumber",
                            "DesignedBy",      "ProjectDate",      "Logo",
                            "Units",           "AnalysisMethod",   "InstallMethod",
                            "PileType",        "Reinforcement",    "SoilMethod",
                            "LaggingType",     "LaggingConcrete",  "SouthernPine",
                            "LumberGrade",     "StripLoadOn",      "SeismicLoadOn",
                            "SteelLibrary",    "BeamIndex",        "SheetIndex",
                            "LoadPoints",      "PassivePoints",    "RebarStandard",
                            "VerticalBarSize", "BarCount",         "TieType",
                            "TieBarSize",      "ShoredHeightFill", "UserSection",
                            "PipeFilled",      "AllowablePassive", "GuardrailOn",
                            "GuardrailShape"};
    for (const char* key : others)
        EXPECT_TRUE(doc.contains(key)) << key;
    // Nothing else besides "format" and "version".
    EXPECT_EQ(doc.size(), ExtFields().size() + std::size(others) + 2);

    // Enumerations as integers, switches as booleans, texts as UTF-8, the date as ISO text.
    EXPECT_EQ(doc.at("AnalysisMethod"), 2);
    EXPECT_EQ(doc.at("Units"), 1);
    EXPECT_EQ(doc.at("SteelLibrary"), 3);
    EXPECT_EQ(doc.at("PipeFilled"), true);
    EXPECT_EQ(doc.at("GuardrailOn"), false);
    EXPECT_EQ(doc.at("JobNumber"), "J-\u00BD\u00B0");
    EXPECT_EQ(doc.at("Organization"), "Sch\u00F6n & S\u00F8n \u20AC \u2019quoted\u2019");
    EXPECT_EQ(doc.at("ProjectDate"), "2024-02-29");
    EXPECT_EQ(doc.at("LoadPoints").size(), 8u);
    EXPECT_EQ(doc.at("PassivePoints").size(), 4u);
    EXPECT_EQ(doc.at("LoadPoints")[3].size(), 2u); // {"X", "W"}
    EXPECT_EQ(doc.at("LoadPoints")[6].at("Padding"), Json::parse("[1, 2, 254, 255]"));
    EXPECT_EQ(doc.at("UserSection").size(), 14u);
    EXPECT_EQ(doc.at("UserSection").at("Name"), "My \u00A7 section");
    EXPECT_TRUE(doc.at("Logo").is_string());
}

TEST(ProjectJsonRoundTrip, ExtendedValuesBitForBit)
{
    std::vector<long double> values = {
        0.1L,
        1.0L / 3.0L,
        -2.0L / 3.0L,
        std::nextafter(1.0L, 2.0L),
        std::numeric_limits<long double>::min(),
        std::numeric_limits<long double>::denorm_min(),
        std::numeric_limits<long double>::max(),
        -std::numeric_limits<long double>::max(),
        -0.0L,
        1e4000L,
        18446744073709551617.0L, // beyond unsigned 64-bit integers, exactly representable
        12345678901234567890.0L,
        -9223372036854775808.0L,
        1e-4000L,
    };
    std::mt19937_64 random(42);
    for (int i = 0; i < 500; ++i) {
        // Random significands and exponents over the whole finite range.
        const uint64_t significand = random() | (uint64_t{1} << 63);
        const int exponent = static_cast<int>(random() % 32000) - 16000;
        const long double v = std::ldexp(static_cast<long double>(significand), exponent - 63);
        values.push_back(random() % 2 ? v : -v);
    }
    TTWData p;
    for (const long double v : values) {
        p.ShoredHeight = v;
        p.LoadPoints[5].W = -v;
        const TTWData q = RoundTrip(p);
        ASSERT_TRUE(SameBits(q.ShoredHeight, v)) << static_cast<double>(v);
        ASSERT_TRUE(SameBits(q.LoadPoints[5].W, -v)) << static_cast<double>(v);
    }
}

TEST(ProjectJsonRoundTrip, NonFiniteInputsAsStrings)
{
    TTWData p;
    p.Cohesion = std::numeric_limits<long double>::infinity();
    p.Surcharge = -std::numeric_limits<long double>::infinity();
    p.UserSection.Zx = std::numeric_limits<long double>::quiet_NaN();
    const std::string text = ProjectToJson(p);
    const Json doc = Json::parse(text);
    EXPECT_EQ(doc.at("Cohesion"), "Infinity");
    EXPECT_EQ(doc.at("Surcharge"), "-Infinity");
    EXPECT_EQ(doc.at("UserSection").at("Zx"), "NaN");
    const TTWData q = RoundTrip(p);
    EXPECT_EQ(q.Cohesion, std::numeric_limits<long double>::infinity());
    EXPECT_EQ(q.Surcharge, -std::numeric_limits<long double>::infinity());
    EXPECT_TRUE(std::isnan(q.UserSection.Zx));
}

TEST(ProjectJsonRoundTrip, NoLogoIsNullAndAbsentOrNullReadsAsNone)
{
    TTWData p;
    p.SetLogoJpeg(SmallJpeg());
    ProjectFromJson(R"({"Logo": null})", p);
    EXPECT_FALSE(p.HasLogo());
    p.SetLogoJpeg(SmallJpeg());
    ProjectFromJson("{}", p);
    EXPECT_FALSE(p.HasLogo());
    EXPECT_TRUE(Json::parse(ProjectToJson(p)).at("Logo").is_null());
}

TEST(ProjectJsonRoundTrip, TextsAreWindows1252InTheProject)
{
    TTWData p;
    // A character the code page cannot hold becomes "?".
    ProjectFromJson(R"({"ProjectName": "\u00e9t\u00e9 \u20ac \u4e2d", "DesignedBy": "A\u0000B"})",
                    p);
    EXPECT_EQ(p.ProjectName, "\xE9t\xE9 \x80 ?");
    EXPECT_EQ(p.DesignedBy, std::string("A\0B", 3));
    // A control character is escaped so the document stays valid JSON.
    EXPECT_NE(ProjectToJson(p).find(R"("A\u0000B")"), std::string::npos);
    EXPECT_EQ(RoundTrip(p).DesignedBy, p.DesignedBy);
}

// ---------------------------------------------------------------------------------------

TEST(ProjectJsonDefaults, EmptyDocumentGivesTheBuiltInDefaults)
{
    TTWData defaults;
    defaults.NewProject(true);
    TTWData p = EveryFieldSet();
    ProjectFromJson("{}", p);
    EXPECT_EQ(ProjectToJson(p), ProjectToJson(defaults));
    EXPECT_EQ(p.ProjectDate, TodaySerial());
}

TEST(ProjectJsonDefaults, MissingKeysTakeDefaultsOthersAreRead)
{
    TTWData p = EveryFieldSet();
    ProjectFromJson(R"({"format": "tarnwick-project", "version": 1, "ShoredHeight": 12.5,
                        "Units": 1, "LoadPoints": [{"X": 1}, {}, {}, {}, {}, {}, {}, {"W": 2}]})",
                    p);
    EXPECT_EQ(p.ShoredHeight, 12.5L);
    EXPECT_EQ(p.Units, TUnitSystem::usSI);
    EXPECT_EQ(&p.Limits(), &SIInputLimits());
    EXPECT_EQ(p.WedgeMultiplier, 2.0L);
    EXPECT_EQ(p.YieldStrength, 60);
    EXPECT_EQ(p.BackfillWallAngle, 90);
    EXPECT_EQ(p.GuardrailOn, true);
    EXPECT_EQ(p.LaggingConcrete, 3);
    EXPECT_TRUE(p.Organization.empty());
    EXPECT_FALSE(p.HasLogo());
    EXPECT_EQ(p.LoadPoints[0].X, 1);
    EXPECT_EQ(p.LoadPoints[0].W, 0);
    EXPECT_EQ(p.LoadPoints[7].W, 2);
}

TEST(ProjectJsonDefaults, ExampleFolderIsKept)
{
    TTWData p;
    p.ExampleFolder = "/some/folder";
    ProjectFromJson("{}", p);
    EXPECT_EQ(p.ExampleFolder, "/some/folder");
}

// ---------------------------------------------------------------------------------------

TEST(ProjectJsonErrors, UnknownKeysAreNamed)
{
    EXPECT_NE(ExpectThrowMessage(R"({"ShoredHight": 3})").find("\"ShoredHight\""),
              std::string::npos);
    EXPECT_NE(ExpectThrowMessage(R"({"UserSection": {"Zy": 3}})").find("UserSection.Zy"),
              std::string::npos);
    EXPECT_NE(ExpectThrowMessage(R"({"PassivePoints": [{}, {"X": 1, "Y": 2}, {}, {}]})")
                  .find("PassivePoints[1].Y"),
              std::string::npos);
    // Derived values are not inputs.
    EXPECT_NE(ExpectThrowMessage(R"({"EmbedmentDepth": 3})").find("EmbedmentDepth"),
              std::string::npos);
}

TEST(ProjectJsonErrors, WrongTypesAreNamed)
{
    const std::map<std::string, std::string> cases = {
        {R"({"ShoredHeight": "15"})", "\"ShoredHeight\""},
        {R"({"ShoredHeight": null})", "\"ShoredHeight\""},
        {R"({"ShoredHeight": [15]})", "\"ShoredHeight\""},
        {R"({"GuardrailOn": 1})", "\"GuardrailOn\""},
        {R"({"Units": true})", "\"Units\""},
        {R"({"Units": 2})", "\"Units\""},
        {R"({"AnalysisMethod": -1})", "\"AnalysisMethod\""},
        {R"({"BeamIndex": 1.5})", "\"BeamIndex\""},
        {R"({"BeamIndex": 2147483648})", "\"BeamIndex\""},
        {R"({"SteelLibrary": 4})", "\"SteelLibrary\""},
        {R"({"ProjectName": 7})", "\"ProjectName\""},
        {R"({"ProjectDate": "2023-02-29"})", "\"ProjectDate\""},
        {R"({"ProjectDate": "2023-2-3"})", "\"ProjectDate\""},
        {R"({"ProjectDate": 45000})", "\"ProjectDate\""},
        {R"({"Logo": "not base64!"})", "\"Logo\""},
        {R"({"Logo": "AAECAwQF"})", "\"Logo\""}, // base64 of bytes that are no JPEG
        {R"({"Logo": 3})", "\"Logo\""},
        {R"({"LoadPoints": [{}, {}, {}]})", "\"LoadPoints\""},
        {R"({"LoadPoints": {}})", "\"LoadPoints\""},
        {R"({"LoadPoints": [1, 2, 3, 4, 5, 6, 7, 8]})", "\"LoadPoints[0]\""},
        {R"({"PassivePoints": [{}, {}, {"W": "x"}, {}]})", "\"PassivePoints[2].W\""},
        {R"({"PassivePoints": [{}, {}, {}, {"Padding": [0, 0, 0, 256]}]})",
         "\"PassivePoints[3].Padding\""},
        {R"({"PassivePoints": [{}, {}, {}, {"Padding": [0, 0, 0]}]})",
         "\"PassivePoints[3].Padding\""},
        {R"({"UserSection": []})", "\"UserSection\""},
        {R"({"UserSection": {"Name": 1}})", "\"UserSection.Name\""},
        {R"({"UserSection": {"tw": false}})", "\"UserSection.tw\""},
        {R"({"format": "something-else"})", "\"format\""},
        {R"({"version": 2})", "\"version\""},
        {R"({"version": "1"})", "\"version\""},
    };
    for (const auto& [json, key] : cases)
        EXPECT_NE(ExpectThrowMessage(json).find(key), std::string::npos) << json;
}

TEST(ProjectJsonErrors, NotAJsonObject)
{
    EXPECT_NE(ExpectThrowMessage("{\"ShoredHeight\": 1,").find("JSON"), std::string::npos);
    EXPECT_NE(ExpectThrowMessage("[1, 2]").find("object"), std::string::npos);
    EXPECT_NE(ExpectThrowMessage("").find("JSON"), std::string::npos);
}

TEST(ProjectJsonErrors, FailedReadLeavesTheProjectAsItWas)
{
    TTWData p = EveryFieldSet();
    const std::string before = ProjectToJson(p);
    EXPECT_THROW(ProjectFromJson(R"({"ShoredHeight": 3, "Units": 0, "Nope": 1})", p),
                 std::runtime_error);
    EXPECT_THROW(ProjectFromJson(R"({"Units": 0, "Logo": "AAAA"})", p), std::runtime_error);
    EXPECT_EQ(ProjectToJson(p), before);
    EXPECT_EQ(p.Units, TUnitSystem::usSI);
    EXPECT_EQ(&p.Limits(), &SIInputLimits());
}

// ---------------------------------------------------------------------------------------

TEST(ProjectJsonDates, OutOfRangeDateWritesNullAndReadsAsToday)
{
    TTWData p;
    p.ProjectDate = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(Json::parse(ProjectToJson(p)).at("ProjectDate").is_null());
    EXPECT_EQ(RoundTrip(p).ProjectDate, TodaySerial());
}

// ---------------------------------------------------------------------------------------

TEST(ProjectJsonResults, EveryDocumentedKeyWithTheProjectsValues)
{
    TTWData p = EnglishExample();
    p.Analyze();
    const Json doc = Json::parse(ResultsToJson(p));
    EXPECT_EQ(doc.at("format"), "tarnwick-results");
    for (const char* key : {"PlanEdgeOffset",
                            "Ka",
                            "Kp",
                            "Ka2",
                            "ActiveEFP",
                            "PassiveEFP",
                            "Active2EFP",
                            "MaxPassivePressure",
                            "StripTop",
                            "StripLateralPressure",
                            "StripMoment",
                            "SeismicMoment",
                            "TopMoment",
                            "EquilibriumDepth",
                            "EmbedmentIncrease",
                            "EmbedmentDepth",
                            "TotalPileLength",
                            "UnbracedLength",
                            "BeamDiagonal",
                            "PierInertia",
                            "ConcreteModulus",
                            "SectionInertia",
                            "StiffnessAbove",
                            "StiffnessBelow",
                            "NodeSpacing",
                            "EffectivePileWidth",
                            "PileSpacing",
                            "MaxShear",
                            "MaxShearDepth",
                            "MaxMomentAbove",
                            "MaxMomentAboveDepth",
                            "MaxMomentBelow",
                            "MaxMomentBelowDepth",
                            "TopDeflection"})
        EXPECT_TRUE(doc.at(key).is_number()) << key;
    EXPECT_EQ(doc.at("EmbedmentDepth").get<double>(), static_cast<double>(p.EmbedmentDepth));
    EXPECT_EQ(doc.at("Kp").get<double>(), static_cast<double>(p.Kp));
    EXPECT_EQ(doc.at("MaxMomentBelowNode"), p.MaxMomentBelowNode);
    EXPECT_EQ(doc.at("MaxShearNode"), p.MaxShearNode);

    ASSERT_EQ(doc.at("Nodes").size(), 64u);
    const Json& node = doc.at("Nodes")[40];
    EXPECT_EQ(node.size(), 16u);
    EXPECT_EQ(node.at("CutMoment").get<double>(), static_cast<double>(p.Nodes[40].CutMoment));
    EXPECT_EQ(node.at("DeflectionOut").get<double>(),
              static_cast<double>(p.Nodes[40].DeflectionOut));
    ASSERT_EQ(doc.at("LoadPoints").size(), 8u);
    EXPECT_EQ(doc.at("LoadPoints")[3].at("X").get<double>(), 15.0);
    ASSERT_EQ(doc.at("PassivePoints").size(), 4u);

    const Json& steel = doc.at("SteelCheckResults");
    for (const char* key :
         {"TotalBeamLength", "DiagonalLength", "Lp", "Lr", "AllowableMomentAbove",
          "AllowableMomentBelow", "MomentUtilization", "AllowableShear", "ShearUtilization",
          "AllowableAxial", "AxialUtilization", "Interaction", "SlendernessRatio", "HoleClearance"})
        EXPECT_TRUE(steel.at(key).is_number()) << key;
    // The sheet pile values are undefined for a soldier beam.
    EXPECT_TRUE(steel.at("SheetSxRequired").is_null());
    EXPECT_TRUE(steel.at("SheetSxProvided").is_null());
    EXPECT_EQ(steel.at("MomentUtilization").get<double>(),
              static_cast<double>(p.SteelCheckResults.MomentUtilization));
    EXPECT_TRUE(steel.at("RoundClass").is_null()); // an I-beam
    const Json& sv = steel.at("Verdicts");
    for (const char* key :
         {"Deflection", "Moment", "Shear", "Axial", "Interaction", "Slenderness", "HoleFit"})
        EXPECT_EQ(sv.at(key), true) << key;
    EXPECT_TRUE(sv.at("RoundClass").is_null());
    EXPECT_TRUE(sv.at("SheetSection").is_null());

    const Json& cage = doc.at("RebarCageResults");
    for (const char* key : {"ReinforcementRatio", "CalculatedSpacing", "TieSpacingOverride",
                            "SpacingMessage", "Beta1", "PhiPnMax", "PhiPnT", "PhiMn0", "Pu", "Mu",
                            "PhiMnAtPu", "AxialUtilization", "MomentUtilization", "Verdicts"})
        EXPECT_TRUE(cage.contains(key)) << key;
    ASSERT_EQ(cage.at("InteractionPoints").size(), 9u);
    EXPECT_EQ(cage.at("InteractionPoints")[0].size(), 17u);
    EXPECT_TRUE(cage.at("Verdicts").at("Axial").is_null()); // no cage in this wall

    const Json& lagging = doc.at("LaggingResults");
    EXPECT_EQ(lagging.at("SizeText"), "3x12 timber");
    EXPECT_EQ(lagging.at("Timber").at("fbActual").get<double>(),
              static_cast<double>(p.LaggingResults.ActualFb));
    for (const char* key : {"Moment", "Shear", "FbAdjusted", "FvAdjusted", "fvActual", "Deflection",
                            "DeflectionLimit"})
        EXPECT_TRUE(lagging.at("Timber").at(key).is_number()) << key;
    for (const char* key : {"SoilPressure", "Moment", "SreqSteel"})
        EXPECT_TRUE(lagging.contains(key)) << key;
    EXPECT_EQ(lagging.at("Verdicts").at("Bending"), true);

    const Json& rail = doc.at("GuardrailResults");
    EXPECT_EQ(rail.at("YieldMoment").get<double>(),
              static_cast<double>(p.GuardrailResults.YieldMoment));
    for (const char* key :
         {"CompressionAllowable", "CompressionApplied", "BucklingMoment", "MomentAllowable",
          "MomentApplied", "WeldYAllowable", "WeldYApplied", "WeldXAllowable", "WeldXApplied"})
        EXPECT_TRUE(rail.at(key).is_number()) << key;
    EXPECT_EQ(rail.at("Verdicts").at("WeldX"), p.GuardrailResults.WeldXOK);
}

TEST(ProjectJsonResults, EveryNodeValueIsTheNearestDouble)
{
    TTWData p = EnglishExample();
    p.Analyze();
    const Json nodes = Json::parse(ResultsToJson(p)).at("Nodes");
    const std::pair<const char*, long double TPileNode::*> fields[] = {
        {"Depth", &TPileNode::Depth},
        {"Pressure", &TPileNode::Pressure},
        {"Load", &TPileNode::Load},
        {"Shear", &TPileNode::Shear},
        {"Moment", &TPileNode::Moment},
        {"Slope", &TPileNode::Slope},
        {"RelSlope", &TPileNode::RelSlope},
        {"Deflection", &TPileNode::Deflection},
        {"DeflectionOut", &TPileNode::DeflectionOut},
        {"CutLoad", &TPileNode::CutLoad},
        {"CutShear", &TPileNode::CutShear},
        {"CutMoment", &TPileNode::CutMoment},
        {"CutSlope", &TPileNode::CutSlope},
        {"CutRelSlope", &TPileNode::CutRelSlope},
        {"CutDeflection", &TPileNode::CutDeflection},
        {"CutDeflectionOut", &TPileNode::CutDeflectionOut},
    };
    ASSERT_EQ(nodes.size(), static_cast<std::size_t>(kPileNodeCount));
    for (int i = 0; i < kPileNodeCount; ++i)
        for (const auto& [name, member] : fields)
            ASSERT_EQ(nodes[i].at(name).get<double>(), static_cast<double>(p.Nodes[i].*member))
                << "node " << i << " " << name;
}

TEST(ProjectJsonResults, UndefinedValuesAndRecordsAreNull)
{
    TTWData p = EnglishExample();
    p.LaggingType = TLaggingType::ltNone;
    p.GuardrailOn = false;
    p.Analyze();
    p.Ka = std::numeric_limits<long double>::quiet_NaN();
    p.Nodes[3].Slope = std::numeric_limits<long double>::infinity();
    p.Kp = 1e400L;    // finite as long double, beyond double
    p.Ka2 = -1e-400L; // rounds to -0 as double
    const std::string text = ResultsToJson(p);
    const Json doc = Json::parse(text);
    EXPECT_TRUE(doc.at("Ka").is_null());
    EXPECT_TRUE(doc.at("Nodes")[3].at("Slope").is_null());
    EXPECT_TRUE(doc.at("Kp").is_null());
    EXPECT_EQ(doc.at("Ka2").get<double>(), 0.0);
    EXPECT_TRUE(std::signbit(doc.at("Ka2").get<double>()));
    EXPECT_TRUE(doc.at("LaggingResults").is_null());
    EXPECT_TRUE(doc.at("GuardrailResults").is_null());
    // The rebar cage diagram of a wall without a cage is undefined.
    EXPECT_TRUE(doc.at("RebarCageResults").at("PhiMn0").is_null());
    EXPECT_EQ(text.find(": nan"), std::string::npos);
    EXPECT_EQ(text.find(": inf"), std::string::npos);
    EXPECT_EQ(text.find(": -inf"), std::string::npos);
}

TEST(ProjectJsonResults, PipeHasARoundClassAndNoHoleForADrivenPile)
{
    TTWData p = EnglishExample();
    p.Reinforcement = TReinforcement::rfPipe;
    p.InstallMethod = TInstallMethod::imDriven;
    p.SelectSection(0);
    try {
        p.Analyze();
    } catch (const TAnalysisError&) {
        // The record is written from whatever the analysis reached.
    }
    const Json steel = Json::parse(ResultsToJson(p)).at("SteelCheckResults");
    EXPECT_EQ(steel.at("RoundClass"), RoundSectionClass(p));
    EXPECT_TRUE(steel.at("HoleClearance").is_null());
    EXPECT_TRUE(steel.at("Verdicts").at("HoleFit").is_null());
    EXPECT_TRUE(steel.at("Verdicts").at("RoundClass").is_boolean());
}
