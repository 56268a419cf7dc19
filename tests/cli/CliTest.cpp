// tarnwick-cli as a user runs it: each test starts the built program in a temporary folder
// and checks its exit code, its output and the files it writes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/ProjectJson.h"
#include "engine/TWClasses.h"
#include "support/RandomWalls.h"
#include "support/SmallDisk.h"

namespace fs = std::filesystem;
using tw::test::NamesIn;
using Json = nlohmann::json;

namespace {

const fs::path kExamples = fs::path(TW_SOURCE_DIR) / "resources" / "examples";
const fs::path kEnglishJson = kExamples / "ENGLISH UNITS EXAMPLE.json";
const fs::path kSIJson = kExamples / "SI UNITS EXAMPLE.json";

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string Quote(const std::string& arg)
{
    std::string quoted = "'";
    for (const char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

struct Outcome
{
    int code = -1;
    std::string out;
    std::string err;
};

class Cli : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::random_device random;
        Dir_ = fs::temp_directory_path() / ("tw_cli_test_" + std::to_string(random()));
        fs::create_directories(Dir_);
    }

    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(Dir_, ignored);
    }

    fs::path Path(const std::string& name) const { return Dir_ / name; }

    // `shell` goes before the program on the shell's command line ("umask 077; ").
    Outcome Start(std::initializer_list<std::string> args, const std::string& shell = {}) const
    {
        return Start(std::vector<std::string>(args), shell);
    }

    Outcome Start(const std::vector<std::string>& args, const std::string& shell = {}) const
    {
        std::string command = shell + Quote(TW_CLI_PATH);
        for (const std::string& arg : args)
            command += " " + Quote(arg);
        const fs::path out = Dir_ / "stdout.txt";
        const fs::path err = Dir_ / "stderr.txt";
        command += " >" + Quote(out.string()) + " 2>" + Quote(err.string());
        const int status = std::system(command.c_str());
        Outcome run;
        run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = ReadFile(out);
        run.err = ReadFile(err);
        return run;
    }

    fs::path Dir_;
};

} // namespace

TEST_F(Cli, HelpAndUsageErrors)
{
    const Outcome help = Start({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("analyze PROJECT [--json]"), std::string::npos);
    EXPECT_EQ(Start({"analyze", "--help"}).code, 0);

    const struct
    {
        std::initializer_list<std::string> args;
        const char* message;
    } cases[] = {
        {{}, "no command"},
        {{"frobnicate"}, "unknown command \"frobnicate\""},
        {{"analyze"}, "expected 1 file, got 0"},
        {{"analyze", "a.json", "b.json"}, "expected 1 file, got 2"},
        {{"analyze", "a.json", "--xml"}, "unknown option --xml"},
        {{"convert", "a.json"}, "expected 2 files, got 1"},
        {{"new"}, "expected 1 file, got 0"},
        {{"new", "--metric", "a.json"}, "unknown option --metric"},
    };
    for (const auto& c : cases) {
        const Outcome run = Start(c.args);
        EXPECT_EQ(run.code, 2) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
}

TEST_F(Cli, UnreadableOrWrongFilesExitWith2)
{
    Outcome run = Start({"analyze", Path("missing.json").string()});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("No such file or directory"), std::string::npos) << run.err;

    run = Start({"analyze", Path("missing.btw").string()});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("missing.btw"), std::string::npos) << run.err;

    run = Start({"analyze", Path("project.txt").string()});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("unknown file type"), std::string::npos) << run.err;

    WriteFile(Path("foreign.btw"), "This is not a project file, just some text.\n");
    run = Start({"analyze", Path("foreign.btw").string()});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("Wrong file format"), std::string::npos) << run.err;

    WriteFile(Path("typo.json"), R"({"ShoredHeight": 15, "PileSpacng": 8})");
    run = Start({"analyze", Path("typo.json").string()});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("\"PileSpacng\": unknown key"), std::string::npos) << run.err;

    WriteFile(Path("broken.json"), R"({"ShoredHeight": )");
    run = Start({"analyze", Path("broken.json").string()});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("JSON"), std::string::npos) << run.err;
}

TEST_F(Cli, AnalysisFailureExitsWith1)
{
    // The built-in defaults have no passive safety factor: analysed as stored, the analysis
    // divides by zero.
    WriteFile(Path("empty.json"), "{}");
    Outcome run = Start({"analyze", "--raw", Path("empty.json").string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("the analysis failed"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("division by zero"), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());

    // Through the input boxes every value is brought into its limits first, as the window
    // does after opening the file, and the same project analyses.
    run = Start({"analyze", Path("empty.json").string()});
    EXPECT_EQ(run.code, 0) << run.err;

    // Timber lagging between piles wider than their spacing has no clear span.
    WriteFile(Path("lagging.json"), R"({"PileWidth": 6, "PileSpacing": 2, "LaggingType": 1})");
    run = Start({"show", Path("lagging.json").string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("the analysis failed"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("clear span"), std::string::npos) << run.err;

    // Equal equivalent fluid pressures on both sides: no depth balances the wall.
    WriteFile(Path("equal.json"), R"({"SoilMethod": 1, "ActiveEFP": 100, "PassiveEFP": 100})");
    run = Start({"analyze", Path("equal.json").string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("Embedment depth: the passive resistance does not exceed the active "
                           "pressure (Kp / Ka = 1 <= 1"),
              std::string::npos)
        << run.err;
    EXPECT_TRUE(run.out.empty());
}

TEST_F(Cli, DrawWritesThePicture)
{
    // A PNG of the size asked for (width and height are the big-endian words at 16 and 20).
    auto pngSize = [](const std::string& bytes) {
        auto word = [&](std::size_t at) {
            return (static_cast<unsigned char>(bytes[at]) << 24) |
                   (static_cast<unsigned char>(bytes[at + 1]) << 16) |
                   (static_cast<unsigned char>(bytes[at + 2]) << 8) |
                   static_cast<unsigned char>(bytes[at + 3]);
        };
        return bytes.size() > 24 && bytes.compare(1, 3, "PNG") == 0
                   ? std::to_string(word(16)) + "x" + std::to_string(word(20))
                   : std::string("not a PNG");
    };
    const std::string project = kEnglishJson.string();
    Outcome run = Start({"draw", project, "section", Path("section.png").string()});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(pngSize(ReadFile(Path("section.png"))), "1200x900");
    run = Start({"draw", project, "guardrail", Path("rail.png").string(), "--size", "640x480"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(pngSize(ReadFile(Path("rail.png"))), "640x480");
    // The extension chooses the format, in either case.
    run = Start({"draw", project, "plan", Path("plan.SVG").string()});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(ReadFile(Path("plan.SVG")).rfind("<?xml", 0), 0u);
    run = Start({"draw", project, "section", Path("section.pdf").string()});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(ReadFile(Path("section.pdf")).rfind("%PDF-", 0), 0u);
    run = Start({"draw", project, "guardrail", Path("rail.dxf").string()});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(ReadFile(Path("rail.dxf")).find("$INSUNITS"), std::string::npos);
    // A folder that cannot be written: exit 2, no file and no temporary left.
    run = Start({"draw", project, "section", Path("no/such/dir/a.svg").string()});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("cannot write"), std::string::npos) << run.err;

    // Nothing to draw: a wall without a solution has no cross section.
    WriteFile(Path("equal.json"), R"({"SoilMethod": 1, "ActiveEFP": 100, "PassiveEFP": 100})");
    run = Start({"draw", Path("equal.json").string(), "section", Path("none.png").string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("nothing to draw"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(Path("none.png")));

    const struct
    {
        std::initializer_list<std::string> args;
        const char* message;
    } bad[] = {
        {{"draw", project, "elevation", Path("a.png").string()}, "unknown drawing"},
        {{"draw", project, "section", Path("a.jpg").string()},
         "must end in .png, .svg, .pdf or .dxf"},
        {{"draw", project, "section", Path("a").string()}, "unknown file type"},
        {{"draw", project, "section", Path("a.png").string(), "--size", "12"}, "WIDTHxHEIGHT"},
        {{"draw", project, "section"}, "expected PROJECT"},
        {{"draw", project, "section", Path("a.png").string(), "--size", "1000x21"},
         "needs at least 360x200 pixels"},
        {{"draw", Path("missing.btw").string(), "section", Path("a.png").string()}, "missing.btw"},
    };
    for (const auto& c : bad) {
        run = Start(c.args);
        EXPECT_EQ(run.code, 2) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(Path("a.jpg")));
    EXPECT_FALSE(fs::exists(Path("a")));
}

// Loads the boxes accept but no wall carries: a 7700 ft pile still gives its report within a
// 1 GB memory limit (its depth labels once grew with the length, until memory ran out), and a
// pile of 7.7e8 ft is refused by the analysis with the reason, nothing written.
TEST_F(Cli, HugeLoadsStayWithinMemoryOrAreRefused)
{
    Json wall = Json::parse(ReadFile(kEnglishJson));
    const std::string limit = "ulimit -v 1000000; ";
    wall["LateralLoadTop"] = 1e4;
    WriteFile(Path("long.json"), wall.dump());
    Outcome run = Start({"report", Path("long.json").string(), Path("long.pdf").string()}, limit);
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_GT(fs::file_size(Path("long.pdf")), 10000u);

    for (const auto& [field, value] : {std::pair{"LateralLoadTop", 1e9}, {"OtherMoment", 1e30}}) {
        Json absurd = Json::parse(ReadFile(kEnglishJson));
        absurd[field] = value;
        WriteFile(Path("absurd.json"), absurd.dump());
        run = Start({"report", Path("absurd.json").string(), Path("absurd.pdf").string()}, limit);
        EXPECT_EQ(run.code, 1) << field;
        EXPECT_NE(run.err.find("more than 1000 times the shored height"), std::string::npos)
            << run.err;
        EXPECT_FALSE(fs::exists(Path("absurd.pdf")));
    }
}

TEST_F(Cli, ReportWritesThePdf)
{
    const std::string project = kEnglishJson.string();
    Outcome run = Start({"report", project, Path("wall.pdf").string(), "--page", "a4"});
    EXPECT_EQ(run.code, 0) << run.err;
    const std::string pdf = ReadFile(Path("wall.pdf"));
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
    EXPECT_NE(pdf.find("/Title"), std::string::npos) << "the PDF names the project";

    // A wall that cannot be analysed gets no report.
    WriteFile(Path("equal.json"), R"({"SoilMethod": 1, "ActiveEFP": 100, "PassiveEFP": 100})");
    run = Start({"report", Path("equal.json").string(), Path("none.pdf").string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("no report written"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(Path("none.pdf")));

    const struct
    {
        std::initializer_list<std::string> args;
        const char* message;
    } bad[] = {
        {{"report", project, Path("a.png").string()}, "must end in .pdf"},
        {{"report", project}, "expected PROJECT and OUT.pdf"},
        {{"report", project, Path("a.pdf").string(), "--page", "legal"}, "unknown page size"},
        {{"report", Path("missing.btw").string(), Path("a.pdf").string()}, "missing.btw"},
        {{"report", project, Path("no/folder/a.pdf").string()}, "cannot write"},
    };
    for (const auto& c : bad) {
        run = Start(c.args);
        EXPECT_EQ(run.code, 2) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(Path("a.jpg")));
    EXPECT_FALSE(fs::exists(Path("a")));
}

// The page follows the project's units, not the system's locale (under the C locale every
// report used to come out on A4), unless --page gives it.
TEST_F(Cli, TheReportsPageFollowsTheUnitsUnlessGiven)
{
    const struct
    {
        fs::path project;
        std::string locale;
        std::vector<std::string> page;
        const char* mediaBox;
    } cases[] = {
        {kEnglishJson, "C", {}, "/MediaBox [0 0 612"},
        {kSIJson, "en_US.UTF-8", {}, "/MediaBox [0 0 595"},
        {kSIJson, "C", {"--page", "letter"}, "/MediaBox [0 0 612"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"report", c.project.string(), Path("page.pdf").string()};
        args.insert(args.end(), c.page.begin(), c.page.end());
        const Outcome run = Start(args, "LC_ALL=" + c.locale + " LANG=" + c.locale + " ");
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_NE(ReadFile(Path("page.pdf")).find(c.mediaBox), std::string::npos)
            << c.project.filename() << " under " << c.locale;
    }
}

TEST_F(Cli, OptimizeListsTheLightestPassingSections)
{
    Outcome run = Start({"optimize", kEnglishJson.string()});
    ASSERT_EQ(run.code, 0) << run.err;
    const std::string first = run.out.substr(run.out.find('\n') + 1, 60);
    EXPECT_EQ(first.rfind("W18X86", 0), 0u) << run.out.substr(0, 300);
    EXPECT_NE(first.find("pass"), std::string::npos);
    run = Start({"optimize", kEnglishJson.string(), "--json"});
    ASSERT_EQ(run.code, 0) << run.err;
    const Json json = Json::parse(run.out);
    EXPECT_EQ(json["Sections"].size(), 111u);
    EXPECT_EQ(json["Sections"][0]["Name"], "W18X86");
    EXPECT_EQ(json["Sections"][0]["Passes"], true);
    EXPECT_EQ(Start({"optimize"}).code, 2);
}

TEST_F(Cli, ConvertBetweenUnitSystems)
{
    Outcome run = Start({"convert", "--to-si", kEnglishJson.string(), Path("si.json").string()});
    ASSERT_EQ(run.code, 0) << run.err;
    const Json si = Json::parse(ReadFile(Path("si.json")));
    EXPECT_EQ(si["Units"], 1);
    EXPECT_NEAR(si["ShoredHeight"].get<double>(), 4.572, 1e-12);
    run = Start({"convert", "--to-english", Path("si.json").string(), Path("back.json").string()});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NEAR(Json::parse(ReadFile(Path("back.json")))["ShoredHeight"].get<double>(), 15, 1e-12);
    EXPECT_EQ(Start({"convert", "--to-si", "--to-english", kEnglishJson.string(),
                     Path("x.json").string()})
                  .code,
              2);
}

TEST_F(Cli, ConvertTellsOfTheValuesTheNewUnitsChange)
{
    // 30 ft is 9.14 m, beyond the SI maximum: told as any input the rules change.
    Json wall = Json::parse(ReadFile(kEnglishJson));
    wall["ShoredHeight"] = 30;
    WriteFile(Path("tall.json"), wall.dump());
    const Outcome run =
        Start({"convert", "--to-si", Path("tall.json").string(), Path("si.json").string()});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "note: Shored Height, H 9.14 m changed to 9.00 m (between the limits "
                       "0.80 and 9.00)\n");
}

TEST_F(Cli, SummaryOfManyProjects)
{
    WriteFile(Path("bad.btw"), "not a project");
    Outcome run =
        Start({"summary", kEnglishJson.string(), Path("bad.btw").string(), kSIJson.string()});
    EXPECT_EQ(run.code, 2) << "a file that cannot be read";
    const auto lines = [](const std::string& text) {
        return std::count(text.begin(), text.end(), '\n');
    };
    EXPECT_EQ(lines(run.out), 4) << run.out;
    EXPECT_NE(run.out.find("W18X86"), std::string::npos);
    EXPECT_NE(run.out.find("W460X128"), std::string::npos) << "the file after the bad one";
    EXPECT_NE(run.out.find("ERROR: "), std::string::npos);

    run = Start({"summary", "--csv", kEnglishJson.string(), kSIJson.string()});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out.rfind("File,Wall,Section,Embedment,Pile length,Max. moment,Governing,"
                            "Utilization,Classical moment ratio,Result\n",
                            0),
              0u);
    // The classical check's moment ratio of the example, 1.16, past the 1.10 of a warning.
    EXPECT_NE(run.out.find(",W18X86,18.81 ft,33.81 ft,284.5 k-ft,Max. Deflection,89 %,1.16 !,pass"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(Start({"summary"}).code, 2);
}

// One wall, one verdict: over generated walls of every kind, `summary` (and its exit code),
// `analyze` and the results JSON of `analyze --json` agree on whether every check passes.
TEST_F(Cli, SummaryAnalyzeAndTheJsonGiveOneVerdict)
{
    const std::string english = ReadFile(kEnglishJson);
    const std::string si = ReadFile(kSIJson);
    std::mt19937 rng(31);
    std::vector<std::string> files;
    for (int k = 0; k < 300; ++k) {
        tw::TTWData wall = tw::test::RandomWall(rng, english, si);
        // Every fourth cage with ties too far apart, a failure the summaries once missed.
        if (k % 4 == 0)
            wall.TieSpacingOverride = wall.Units == tw::TUnitSystem::usSI ? 900 : 36;
        files.push_back(Path("w" + std::to_string(k) + ".json").string());
        WriteFile(files.back(), tw::ProjectToJson(wall));
    }
    std::vector<std::string> args{"summary", "--csv"};
    args.insert(args.end(), files.begin(), files.end());
    const Outcome summary = Start(args);
    std::vector<std::string> verdicts; // "pass", "FAIL" or "" (the analysis failed)
    std::istringstream lines(summary.out);
    std::string line;
    std::getline(lines, line); // the column heads
    while (std::getline(lines, line))
        verdicts.push_back(line.ends_with(",pass")   ? "pass"
                           : line.ends_with(",FAIL") ? "FAIL"
                                                     : "");
    ASSERT_EQ(verdicts.size(), files.size()) << summary.out;
    const bool anyFails = std::count(verdicts.begin(), verdicts.end(), "FAIL") > 0;
    EXPECT_EQ(summary.code, anyFails || std::count(verdicts.begin(), verdicts.end(), "") ? 1 : 0);
    int compared = 0;
    for (std::size_t k = 0; k < files.size(); ++k) {
        const Outcome json = Start({"analyze", "--json", files[k]});
        if (verdicts[k].empty()) {
            EXPECT_EQ(json.code, 1) << files[k];
            continue;
        }
        ASSERT_EQ(json.code, 0) << files[k] << json.err;
        const bool allPass = Json::parse(json.out).at("AllChecksPass").get<bool>();
        EXPECT_EQ(allPass, verdicts[k] == "pass") << files[k];
        if (k % 3 == 0) {
            const Outcome text = Start({"analyze", files[k]});
            EXPECT_NE(text.out.find(allPass ? "All checks pass." : "Some checks fail."),
                      std::string::npos)
                << files[k];
        }
        ++compared;
    }
    EXPECT_GT(compared, 200);
    EXPECT_TRUE(anyFails);
}

TEST_F(Cli, SweepStepsOneInput)
{
    Outcome run = Start({"sweep", kEnglishJson.string(), "--input", "ShoredHeight", "--from", "10",
                         "--to", "30", "--steps", "5", "--csv"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 6);
    EXPECT_EQ(run.out.rfind("\"Shored Height, H\",Embedment (ft),", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("\n15.00,18.81,33.81,"), std::string::npos) << run.out;
    EXPECT_EQ(Start({"sweep", kEnglishJson.string(), "--input", "Nothing", "--from", "1", "--to",
                     "2", "--steps", "3"})
                  .code,
              2);
    EXPECT_EQ(Start({"sweep", kEnglishJson.string(), "--input", "ShoredHeight"}).code, 2);
    // The names of the study window, which say the soil; only inputs the wall uses (no second
    // backfill soil on a wall analysed by net pressure).
    run = Start({"sweep", kEnglishJson.string(), "--input", "passive soils: soil friction angle",
                 "--from", "28", "--to", "32", "--steps", "2", "--csv"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out.rfind("Passive Soils: Soil Friction Angle,", 0), 0u) << run.out;
    EXPECT_EQ(Start({"sweep", kEnglishJson.string(), "--input", "Backfill2Phi", "--from", "28",
                     "--to", "32", "--steps", "2"})
                  .code,
              2);
}

TEST_F(Cli, ReliabilityNamesItsInputsAsTheSweepDoes)
{
    // --only keeps one input, --cov sets its scatter; the JSON reads back with its keys.
    Outcome run = Start({"reliability", kEnglishJson.string(), "--samples", "400", "--seed", "9",
                         "--only", "passive soils: soil friction angle", "--cov", "PassivePhi=15",
                         "--threads", "2", "--json"});
    ASSERT_EQ(run.code, 0) << run.err;
    const Json json = Json::parse(run.out);
    EXPECT_EQ(json["Samples"], 400);
    ASSERT_EQ(json["Inputs"].size(), 1u);
    EXPECT_EQ(json["Inputs"][0]["COV"], 0.15);
    const double pf = json["AnyCheck"]["Pf"];
    EXPECT_LE(json["AnyCheck"]["Low"].get<double>(), pf);
    EXPECT_GE(json["AnyCheck"]["High"].get<double>(), pf);
    EXPECT_TRUE(json["Checks"][0].contains("Name"));
    EXPECT_TRUE(json["Percentiles"].contains("Embedment"));
    // --csv: a header and one row per sample, the same samples as the JSON's.
    run = Start({"reliability", kEnglishJson.string(), "--samples", "400", "--seed", "9", "--only",
                 "PassivePhi", "--cov", "PassivePhi=15%", "--csv"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 401);
    int failing = 0;
    for (std::size_t at = 0; (at = run.out.find(",FAIL\n", at)) != std::string::npos; ++at)
        ++failing;
    EXPECT_EQ(failing / 400.0, pf);
    // Inputs the wall does not use, bad numbers: usage errors.
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--only", "Backfill2Phi"},
                                                {"--cov", "BackfillPhi"},
                                                {"--cov", "BackfillPhi=-3"},
                                                {"--samples", "0"},
                                                {"--threads", "x"},
                                                {"--json", "--csv"}}) {
        std::vector<std::string> args{"reliability", kEnglishJson.string()};
        args.insert(args.end(), bad.begin(), bad.end());
        EXPECT_EQ(Start(args).code, 2) << bad[0];
    }
}

TEST_F(Cli, TablePrintsTheNodeResults)
{
    Outcome run = Start({"table", kEnglishJson.string()});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 65);
    EXPECT_NE(run.out.find("Depth, ft"), std::string::npos);
    EXPECT_NE(run.out.find("Defl, inch"), std::string::npos);
    // CSV: the header with the units, then node 0 at depth 0.
    run = Start({"table", kSIJson.string(), "--csv"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out.rfind(
                  "Node,Depth (m),Shear (kN),Moment (kN-m),Slope (rad),Deflection (mm)\n0,0,", 0),
              0u)
        << run.out.substr(0, 120);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 65);
    EXPECT_EQ(Start({"table", kEnglishJson.string(), "--tsv"}).code, 2);
    // The soil springs' nodes: from the pile top, the load column beside the design's.
    run = Start({"table", kEnglishJson.string(), "--springs", "--csv"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out.rfind("Depth (ft),Load (k/ft),Shear (k),Moment (k-ft),Slope (rad),"
                            "Deflection (in)\n0,",
                            0),
              0u)
        << run.out.substr(0, 120);
}

TEST_F(Cli, OnlyTheDrawAndReportCommandsLoadTheGraphicsLibraries)
{
    // The other commands start without Qt: tarnwick-cli itself needs no Qt library.
    const std::string program = ReadFile(TW_CLI_PATH);
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(program.find("libQt6"), std::string::npos);
}

TEST_F(Cli, ShowPrintsTheResultsColumn)
{
    const Outcome run = Start({"show", kEnglishJson.string()});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("== Output Data [PASS]"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Max. Deflection"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(" in "), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("Rebar Cage Checks"), std::string::npos) << run.out;
    EXPECT_EQ(Start({"show"}).code, 2);
}

TEST_F(Cli, AnalyzePrintsASummaryOrTheResults)
{
    Outcome run = Start({"analyze", kEnglishJson.string()});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(run.err.empty());
    EXPECT_NE(run.out.find("W18X86"), std::string::npos);
    EXPECT_NE(run.out.find("Embedment Depth"), std::string::npos);
    EXPECT_EQ(run.out.find("FAIL"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("All checks pass."), std::string::npos) << run.out;
    // The soil springs after the classical check, the design's top deflection beside theirs.
    const std::size_t springs =
        run.out.find("Soil-spring analysis (Winkler springs, Terzaghi 1955)");
    ASSERT_NE(springs, std::string::npos) << run.out;
    EXPECT_LT(run.out.find("Classical check"), springs);
    EXPECT_NE(run.out.find("Design Top Deflection             0.890 in", springs),
              std::string::npos)
        << run.out;

    run = Start({"analyze", "--json", kSIJson.string()});
    EXPECT_EQ(run.code, 0) << run.err;
    tw::TTWData expected;
    tw::ProjectFromJson(ReadFile(kSIJson), expected);
    expected.Analyze();
    EXPECT_EQ(run.out, tw::ResultsToJson(expected));
    const Json doc = Json::parse(run.out);
    EXPECT_EQ(doc.at("Units"), 1);
    EXPECT_EQ(doc.at("SteelCheckResults").at("Verdicts").at("Moment"), true);

    // A value beyond any real wall prints in exponent form, not cut to 63 digits (an axial
    // load of 5.12e68 k once showed its utilization a million times too small).
    Json axial = Json::parse(ReadFile(kEnglishJson));
    axial["AxialLoad"] = 5.12e68;
    WriteFile(Path("axial.json"), axial.dump());
    run = Start({"analyze", "--raw", Path("axial.json").string()});
    EXPECT_NE(run.out.find("Axial Utilization                 2.78125E+68 %  FAIL"),
              std::string::npos)
        << run.out;

    // Typed pressures: the soil springs give their reason instead of numbers.
    Json typed = Json::parse(ReadFile(kEnglishJson));
    typed["AnalysisMethod"] = 2;
    WriteFile(Path("typed.json"), typed.dump());
    run = Start({"analyze", Path("typed.json").string()});
    EXPECT_NE(run.out.find("Soil Springs                      N.A.: pressures typed by the user"),
              std::string::npos)
        << run.out;
}

TEST_F(Cli, ConvertRoundTrips)
{
    // JSON -> .btw -> JSON gives the same document; .btw -> JSON -> .btw the same bytes.
    const fs::path btw = Path("english.btw");
    Outcome run = Start({"convert", kEnglishJson.string(), btw.string()});
    ASSERT_EQ(run.code, 0) << run.err;
    run = Start({"convert", btw.string(), Path("back.json").string()});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(ReadFile(Path("back.json")), ReadFile(kEnglishJson));
    run = Start({"convert", Path("back.json").string(), Path("again.btw").string()});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(ReadFile(Path("again.btw")), ReadFile(btw));

    // A .btw file analyses the same as its JSON source.
    const Outcome fromBtw = Start({"analyze", "--json", btw.string()});
    const Outcome fromJson = Start({"analyze", "--json", kEnglishJson.string()});
    EXPECT_EQ(fromBtw.code, 0);
    EXPECT_EQ(fromBtw.out, fromJson.out);

    run = Start({"convert", kEnglishJson.string(), Path("out.xml").string()});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("unknown file type"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(Path("out.xml")));

    run = Start({"convert", kEnglishJson.string(), Path("no/such/folder/out.json").string()});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("Cannot write"), std::string::npos) << run.err;
}

TEST_F(Cli, NewStartsFromTheExampleBesideTheProgram)
{
    Outcome run = Start({"new", Path("new.json").string()});
    ASSERT_EQ(run.code, 0) << run.err;
    Json doc = Json::parse(ReadFile(Path("new.json")));
    EXPECT_EQ(doc.at("Units"), 0);
    // The example's inputs, with the identification cleared and today's date.
    EXPECT_EQ(doc.at("ShoredHeight"), 15);
    EXPECT_EQ(doc.at("ProjectName"), "");
    EXPECT_EQ(doc.at("ProjectDate"), tw::DateToIso(tw::TodaySerial()));

    run = Start({"new", "--si", Path("new si.btw").string()});
    ASSERT_EQ(run.code, 0) << run.err;
    run = Start({"convert", Path("new si.btw").string(), Path("new si.json").string()});
    ASSERT_EQ(run.code, 0) << run.err;
    doc = Json::parse(ReadFile(Path("new si.json")));
    EXPECT_EQ(doc.at("Units"), 1);
    EXPECT_EQ(doc.at("ShoredHeight"), 4.5);
    EXPECT_EQ(Start({"analyze", Path("new si.btw").string()}).code, 0);
}

TEST_F(Cli, AReportOntoAFullDiskExitsWith2AndKeepsTheOldPdf)
{
    const tw::test::TSmallDisk disk(Path("disk"), "64k");
    if (!disk.Mounted())
        GTEST_SKIP() << disk.Reason();
    const fs::path pdf = Path("disk") / "wall.pdf";
    WriteFile(pdf, "%PDF-1.4 the old report\n");
    const Outcome run = Start({"report", kEnglishJson.string(), pdf.string()});
    EXPECT_EQ(run.code, 2) << run.err;
    EXPECT_NE(run.err.find("cannot write " + pdf.string() + ": No space left on device"),
              std::string::npos)
        << run.err;
    EXPECT_TRUE(ReadFile(pdf) == "%PDF-1.4 the old report\n") << "the old PDF was replaced";
    EXPECT_EQ(NamesIn(Path("disk")), std::vector<std::string>{"wall.pdf"});
}

TEST_F(Cli, SavingTouchesNoOtherFileAndKeepsThePermissions)
{
    // Files at the names "X.json.tmp": one of the user's, and a link to another file.
    WriteFile(Path("kept.json.tmp"), "the user's file");
    WriteFile(Path("victim.txt"), "the file the link points to");
    fs::create_symlink(Path("victim.txt"), Path("linked.json.tmp"));
    WriteFile(Path("private.json"), "{}");
    fs::permissions(Path("private.json"), fs::perms::owner_read | fs::perms::owner_write);

    const struct
    {
        const char* name;
        const char* shell;
        int mode;
    } saves[] = {
        {"kept.json", "umask 022; ", 0644},
        {"linked.json", "umask 022; ", 0644},
        {"private.json", "umask 022; ", 0600},
        {"fresh.json", "umask 027; ", 0640},
    };
    for (const auto& s : saves) {
        const Outcome run =
            Start({"convert", kEnglishJson.string(), Path(s.name).string()}, s.shell);
        ASSERT_EQ(run.code, 0) << s.name << ": " << run.err;
        EXPECT_EQ(static_cast<int>(fs::status(Path(s.name)).permissions()), s.mode)
            << s.name << " (modes in decimal)";
    }
    EXPECT_TRUE(ReadFile(Path("kept.json.tmp")) == "the user's file") << "overwritten";
    EXPECT_TRUE(ReadFile(Path("victim.txt")) == "the file the link points to")
        << "written through the link";
    EXPECT_EQ(NamesIn(Dir_),
              (std::vector<std::string>{"fresh.json", "kept.json", "kept.json.tmp", "linked.json",
                                        "linked.json.tmp", "private.json", "stderr.txt",
                                        "stdout.txt", "victim.txt"}));
}

TEST_F(Cli, ProjectsThatAreNotRegularFilesOrTooLargeAreRefused)
{
    ASSERT_EQ(::mkfifo(Path("pipe.btw").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(Path("pipe.json").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", Path("zero.json"));
    WriteFile(Path("huge.json"), "{");
    fs::resize_file(Path("huge.json"), (std::uintmax_t{64} << 20) + 1);

    const struct
    {
        const char* name;
        const char* message;
    } cases[] = {
        {"pipe.btw", "pipe.btw: it is a named pipe, not a regular file"},
        {"pipe.json", "pipe.json: it is a named pipe, not a regular file"},
        {"zero.json", "zero.json: it is a device, not a regular file"},
        {"huge.json", "huge.json is 65 MB; project files larger than 64 MB are refused"},
    };
    for (const auto& c : cases) {
        // Bounded in time and memory, so that a file read for ever fails the test instead.
        const Outcome run =
            Start({"analyze", Path(c.name).string()}, "ulimit -v 4000000; timeout -s KILL 20 ");
        EXPECT_EQ(run.code, 2) << c.name;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
}

TEST_F(Cli, AnalyzeTellsWhichInputsTheRulesChanged)
{
    // Secant piles of 2.5 ft at 10 ft: the window holds the spacing to 1.67 B.
    Json wall = Json::parse(ReadFile(kEnglishJson));
    wall["PileType"] = 2;
    wall["PileSpacing"] = 10;
    WriteFile(Path("secant.json"), wall.dump());
    const std::string note = "note: Pile Spacing, S 10.00 ft changed to 4.17 ft (secant piles: "
                             "1.33 to 1.67 times the pile diameter)\n";
    const double corrected = static_cast<double>(1.67L * 2.5L);

    Outcome run = Start({"analyze", "--json", Path("secant.json").string()});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err.substr(0, note.size()), note);
    Json doc = Json::parse(run.out);
    EXPECT_EQ(doc.at("PileSpacing").get<double>(), corrected);
    const Json adjusted = {{"Name", "PileSpacing"},
                           {"Caption", "Pile Spacing, S"},
                           {"Given", 10},
                           {"Used", corrected},
                           {"Rule", "secant piles: 1.33 to 1.67 times the pile diameter"}};
    EXPECT_EQ(doc.at("AdjustedInputs").at(0), adjusted);

    run = Start({"analyze", "--raw", "--json", Path("secant.json").string()});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    doc = Json::parse(run.out);
    EXPECT_EQ(doc.at("PileSpacing"), 10);
    EXPECT_EQ(doc.at("AdjustedInputs"), Json::array());
}
