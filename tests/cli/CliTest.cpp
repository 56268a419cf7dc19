// tarnwick-cli as a user runs it: each test starts the built program in a temporary folder
// and checks its exit code, its output and the files it writes.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "engine/ProjectJson.h"
#include "engine/TWClasses.h"

namespace fs = std::filesystem;
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

    Outcome Start(std::initializer_list<std::string> args) const
    {
        std::string command = Quote(TW_CLI_PATH);
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
        {{"draw", project, "section", Path("a.jpg").string()}, "must end in .png"},
        {{"draw", project, "section", Path("a.png").string(), "--size", "12"}, "WIDTHxHEIGHT"},
        {{"draw", project, "section"}, "expected PROJECT"},
        {{"draw", Path("missing.btw").string(), "section", Path("a.png").string()}, "missing.btw"},
    };
    for (const auto& c : bad) {
        run = Start(c.args);
        EXPECT_EQ(run.code, 2) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
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

TEST_F(Cli, SummaryOfManyProjects)
{
    WriteFile(Path("bad.btw"), "not a project");
    Outcome run = Start({"summary", kEnglishJson.string(), Path("bad.btw").string(), kSIJson.string()});
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
                            "Utilization,Result\n",
                            0),
              0u);
    EXPECT_NE(run.out.find(",W18X86,18.81 ft,33.81 ft,284.5 k-ft,Max. Deflection,89 %,pass"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(Start({"summary"}).code, 2);
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

    run = Start({"analyze", "--json", kSIJson.string()});
    EXPECT_EQ(run.code, 0) << run.err;
    tw::TTWData expected;
    tw::ProjectFromJson(ReadFile(kSIJson), expected);
    expected.Analyze();
    EXPECT_EQ(run.out, tw::ResultsToJson(expected));
    const Json doc = Json::parse(run.out);
    EXPECT_EQ(doc.at("Units"), 1);
    EXPECT_EQ(doc.at("SteelCheckResults").at("Verdicts").at("Moment"), true);
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
    EXPECT_NE(run.err.find("Cannot create"), std::string::npos) << run.err;
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
