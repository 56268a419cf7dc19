// tarnwick-cli: the command-line front end on the engine, for batch work and scripted checks.
//
//   tarnwick-cli analyze PROJECT [--json] [--raw]   analyse a .btw or .json project
//   tarnwick-cli show PROJECT               the results column as the window shows it
//   tarnwick-cli convert [--to-si|--to-english] IN OUT   .btw <-> .json, and between unit systems
//   tarnwick-cli new [--si] OUT             a new project
//   tarnwick-cli table PROJECT [--csv] [--springs]   the node results (depth, shear, ...)
//   tarnwick-cli optimize PROJECT [--json]  the lightest passing sections of the catalogue
//   tarnwick-cli summary PROJECT... [--csv] one line per project
//   tarnwick-cli sweep PROJECT --input NAME --from A --to B --steps N [--csv]   a study
//   tarnwick-cli reliability PROJECT [--samples N] [--seed S] [--cov NAME=PERCENT ...]
//                [--only NAME,...] [--tie] [--threads N] [--json|--csv]   a reliability study
//   tarnwick-cli draw PROJECT section|plan|guardrail OUT.png|.svg|.pdf|.dxf [--size WxH]
//                                           a drawing as a picture (tarnwick-cli-draw)
//   tarnwick-cli report PROJECT OUT.pdf     the printed report as PDF (tarnwick-cli-report)
//   tarnwick-cli check-update [--url URL] [--download DIR] [--allow-http]
//                                           the update check (tarnwick-cli-update)
//
// Exit codes: 0 success, 1 the analysis failed, 2 a usage error or a file that cannot be read,
// written or is not a project.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "InputNotes.h"
#include "ProjectIo.h"
#include "Summary.h"
#include "engine/CheckedMath.h"
#include "engine/ClassicalCheck.h"
#include "engine/JsonWriter.h"
#include "engine/ProjectJson.h"
#include "engine/TWClasses.h"
#include "engine/UnitConversion.h"
#include "form/LightestSection.h"
#include "form/MainForm.h"
#include "form/NodeTable.h"
#include "form/Reliability.h"
#include "form/ResultRows.h"
#include "form/Study.h"

namespace fs = std::filesystem;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitAnalysisFailed = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "Usage: tarnwick-cli COMMAND ...\n"
    "\n"
    "Commands:\n"
    "  analyze PROJECT [--json] [--raw]\n"
    "                            Load PROJECT (.btw or .json), analyse it as the desktop\n"
    "                            program does after opening it (every value through its\n"
    "                            input box, limits and bounds) and print a summary, or the\n"
    "                            results as JSON with --json. --raw analyses the stored\n"
    "                            values as they stand. Each value the limits and bounds\n"
    "                            change is told on stderr (\"note: ...\"); --raw changes none.\n"
    "  show PROJECT              Print the results column as the desktop program shows it:\n"
    "                            sections, rows, values, unit labels and pass/fail marks.\n"
    "  convert [--to-si|--to-english] IN OUT\n"
    "                            Convert a project between .btw and .json (by the extensions);\n"
    "                            with --to-si or --to-english also into the other unit system,\n"
    "                            every value through its exact factor, the same sections and\n"
    "                            bars kept.\n"
    "  new [--si] OUT            Write a new project (from the example project of the unit\n"
    "                            system when it is installed beside the program) to OUT.\n"
    "  table PROJECT [--csv] [--springs]\n"
    "                            Print the results at the 64 analysis nodes (depth, shear,\n"
    "                            moment, slope, deflection) as the node table shows them, or\n"
    "                            as CSV with every value in full (--csv). --springs: the nodes\n"
    "                            of the soil-spring analysis (depth, load, shear, moment,\n"
    "                            slope, deflection), or why it has no answer (exit status 1).\n"
    "  optimize PROJECT [--json]  Try every row of the wall's catalogue and list the sections\n"
    "                            that pass every check, lightest first, with the governing\n"
    "                            check, then the failing ones.\n"
    "  summary PROJECT... [--csv] One line per project: wall, section, embedment, pile length,\n"
    "                            maximum moment, governing check and utilization, pass or\n"
    "                            FAIL, and the classical check's moment ratio (\"!\" above\n"
    "                            1.10); a file that cannot be read gets an ERROR line. Exit\n"
    "                            status 1 when a wall fails, 2 when a file cannot be read.\n"
    "  sweep PROJECT --input NAME --from A --to B --steps N [--csv]\n"
    "                            Step one numeric input (its identifier or caption, e.g.\n"
    "                            ShoredHeight) from A to B in N values, analyse the wall at\n"
    "                            each as the desktop program does and print the embedment,\n"
    "                            pile length, maxima, governing check and pass or FAIL.\n"
    "  reliability PROJECT [--samples N] [--seed S] [--cov NAME=PERCENT ...]\n"
    "              [--only NAME,...] [--tie] [--threads N] [--json|--csv]\n"
    "                            Scatter the soil and loads at random (friction angles\n"
    "                            normal COV 10 %, unit weights normal 5 %, cohesion lognormal\n"
    "                            30 %, surcharges and loads lognormal 20 %), analyse each\n"
    "                            sample (default 10000, seed 1) as the desktop program does\n"
    "                            and print the probability that each check fails with its\n"
    "                            95 % interval and reliability index, the 5/50/95 %\n"
    "                            values of the results and the rank correlation of each\n"
    "                            input with failure. --cov sets an input's coefficient of\n"
    "                            variation in percent (0 fixes it; an input not scattered\n"
    "                            by default is added), --only keeps every other input fixed,\n"
    "                            --tie draws the passive friction angle with the backfill's.\n"
    "                            --csv: one row per sample; --json: the results as JSON.\n"
    "  draw PROJECT section|plan|guardrail OUT [--size WIDTHxHEIGHT]\n"
    "                            Draw the cross section, the plan view or the guardrail\n"
    "                            detail of PROJECT as the desktop program draws it and write\n"
    "                            it as the extension of OUT says: .png a picture, .svg or\n"
    "                            .pdf a vector file (default size 1200x900 pixels, one SVG\n"
    "                            unit or PDF point each), .dxf a CAD drawing at true scale\n"
    "                            (1 unit = 1 ft or 1 m, on layers STRUCTURE, SOIL, LOADS,\n"
    "                            DIMENSIONS, TEXT; drawn on 4000x3000 pixels). Exit status 1\n"
    "                            when there is nothing to draw, 2 for another extension.\n"
    "  report PROJECT OUT.pdf [--page letter|a4]\n"
    "                            Write the printed report of PROJECT as a PDF file, on\n"
    "                            Letter pages for English units and A4 for SI unless\n"
    "                            given. Exit status 1, and nothing written, when the\n"
    "                            analysis fails.\n"
    "  check-update [--url URL] [--download DIR] [--allow-http]\n"
    "                            Read the maker's announcement page (or URL) and print the\n"
    "                            announced product, version and date and whether it is newer\n"
    "                            than this program; with --download, download the release\n"
    "                            (and extract a ZIP) into DIR and print the installer's\n"
    "                            path, without starting it. Exit status 1 when the page or\n"
    "                            the download failed. Only HTTPS is used, unless\n"
    "                            --allow-http allows plain HTTP (a local test server).\n"
    "  --help                    Show this help.\n"
    "\n"
    "Exit status: 0 success, 1 the analysis failed (draw: nothing to draw), 2 usage error or\n"
    "unreadable, unwritable or wrong file.\n";

class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The program's folder, where the example projects are installed.
fs::path ProgramFolder(const char* argv0)
{
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && !self.empty())
        return self.parent_path();
    if (argv0 != nullptr && *argv0 != '\0') {
        const fs::path path = fs::absolute(argv0, ec);
        if (!ec)
            return path.parent_path();
    }
    return fs::current_path(ec);
}

// Splits the arguments after the command into options (starting with "--") and operands.
struct Arguments
{
    std::vector<std::string> options;
    std::vector<std::string> operands;
};

Arguments Split(const std::vector<std::string>& args)
{
    Arguments result;
    bool operandsOnly = false;
    for (const std::string& arg : args) {
        if (!operandsOnly && arg == "--")
            operandsOnly = true;
        else if (!operandsOnly && arg.size() > 1 && arg[0] == '-')
            result.options.push_back(arg);
        else
            result.operands.push_back(arg);
    }
    return result;
}

void ExpectOperands(const Arguments& args, std::size_t count, const char* command)
{
    if (args.operands.size() != count)
        throw UsageError(std::string(command) + ": expected " + std::to_string(count) +
                         (count == 1 ? " file" : " files") + ", got " +
                         std::to_string(args.operands.size()));
}

bool TakeOption(Arguments& args, std::string_view option)
{
    for (auto it = args.options.begin(); it != args.options.end(); ++it)
        if (*it == option) {
            args.options.erase(it);
            return true;
        }
    return false;
}

void NoOtherOptions(const Arguments& args, const char* command)
{
    if (!args.options.empty())
        throw UsageError(std::string(command) + ": unknown option " + args.options.front());
}

// Opens the project in the form model as the desktop program does: every value passes
// through its input box, the rules and bounds apply, then it is analysed and shown.
bool OpenInForm(tw::form::TMainForm& form)
{
    const tw::form::TCommitResult result = form.AfterOpen();
    if (!result.ok())
        std::cerr << "tarnwick-cli: the analysis failed: " << *result.error << '\n';
    return result.ok();
}

// The project of a command's one operand, opened in the form as the desktop program opens it.
struct TOpenProject
{
    std::unique_ptr<tw::TTWData> project = std::make_unique<tw::TTWData>();
    std::unique_ptr<tw::form::TMainForm> form;
    bool analysed = false; // false: the analysis failed, its message printed
};

TOpenProject OpenProject(const Arguments& args, const fs::path& programFolder)
{
    TOpenProject open;
    open.project->ExampleFolder = programFolder;
    tw::cli::LoadProject(args.operands[0], *open.project);
    tw::cli::NoteAdjustments(*open.project);
    open.form = std::make_unique<tw::form::TMainForm>(*open.project);
    open.analysed = OpenInForm(*open.form);
    return open;
}

int Analyze(Arguments args, const fs::path& programFolder)
{
    const bool json = TakeOption(args, "--json");
    const bool raw = TakeOption(args, "--raw");
    NoOtherOptions(args, "analyze");
    ExpectOperands(args, 1, "analyze");
    tw::TTWData project;
    project.ExampleFolder = programFolder;
    tw::cli::LoadProject(args.operands[0], project);
    std::vector<tw::TAdjustedInput> adjusted;
    if (raw) {
        try {
            project.Analyze();
        } catch (const tw::TAnalysisError& e) {
            std::cerr << "tarnwick-cli: the analysis failed: " << e.what() << '\n';
            return kExitAnalysisFailed;
        }
    } else {
        adjusted = tw::cli::NoteAdjustments(project);
        tw::form::TMainForm form(project);
        if (!OpenInForm(form))
            return kExitAnalysisFailed;
    }
    const std::string text =
        json ? tw::ResultsToJson(project, adjusted) : tw::cli::AnalysisSummary(project);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kExitOk;
}

int Show(Arguments args, const fs::path& programFolder)
{
    NoOtherOptions(args, "show");
    ExpectOperands(args, 1, "show");
    const TOpenProject open = OpenProject(args, programFolder);
    if (!open.analysed)
        return kExitAnalysisFailed;
    const std::string text = tw::form::ResultsText(*open.form);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kExitOk;
}

// The rows of the wall's catalogue that pass every check, lightest first, then the others.
int Optimize(Arguments args, const fs::path& programFolder)
{
    const bool json = TakeOption(args, "--json");
    NoOtherOptions(args, "optimize");
    ExpectOperands(args, 1, "optimize");
    const TOpenProject open = OpenProject(args, programFolder);
    if (!open.analysed)
        return kExitAnalysisFailed;
    const tw::form::TLightestSections found = tw::form::FindLightestSections(*open.project);
    if (!found.unavailable.empty()) {
        std::cerr << "tarnwick-cli: " << found.unavailable << '\n';
        return kExitAnalysisFailed;
    }
    std::string out;
    if (json) {
        tw::JsonWriter w(out, false);
        w.BeginObject();
        w.Key("Catalogue");
        w.String(found.catalogue);
        w.Key("WeightUnit");
        w.String(found.weightUnit);
        w.Key("Sections");
        w.BeginArray();
        for (const auto& c : found.rows) {
            w.BeginObject(true);
            w.Key("Name");
            w.Text(c.name);
            w.Key("Weight");
            if (c.weight >= 0)
                w.Number(c.weight);
            else
                w.Null();
            w.Key("Passes");
            w.Bool(c.passes);
            w.Key("Governing");
            w.String(c.governing);
            w.Key("Utilization");
            if (c.passes && c.utilization == c.utilization)
                w.Number(c.utilization);
            else
                w.Null();
            if (!c.analysed) {
                w.Key("Failure");
                w.String(c.failure);
            }
            w.EndObject();
        }
        w.EndArray();
        w.EndObject();
        w.Finish();
    } else {
        char line[512];
        std::snprintf(line, sizeof line, "%-20s %12s  %-6s %s\n", "Section",
                      ("Weight " + found.weightUnit).c_str(), "Checks", "Governing");
        out += line;
        for (const auto& c : found.rows) {
            const std::string weight =
                c.weight >= 0 ? tw::FormatFixed(c.weight, 1, 10, ".") : std::string("-");
            std::string governing = c.governing;
            if (c.passes && c.utilization == c.utilization)
                governing += " " + tw::FormatFixed(c.utilization, 0, 10, ".") + " %";
            if (!c.analysed)
                governing = "analysis failed: " + c.failure;
            std::snprintf(line, sizeof line, "%-20s %12s  %-6s %s\n", c.name.c_str(),
                          weight.c_str(), c.passes ? "pass" : "FAIL", governing.c_str());
            out += line;
        }
    }
    std::fputs(out.c_str(), stdout);
    return kExitOk;
}

// Rows as CSV (fields with a comma, quote or line break quoted) or as text in left-aligned
// columns.
std::string RowsText(const std::vector<std::vector<std::string>>& rows, bool csv)
{
    if (csv)
        return tw::form::CsvText(rows);
    std::string out;
    std::vector<std::size_t> widths(rows.empty() ? 0 : rows.front().size(), 0);
    for (const auto& row : rows)
        for (std::size_t c = 0; c + 1 < row.size() && c < widths.size(); ++c)
            widths[c] = std::max(widths[c], row[c].size());
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size() && c < widths.size())
                line += std::string(widths[c] - row[c].size() + 2, ' ');
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out += line + '\n';
    }
    return out;
}

// The classical check's moment ratio for the summary, "!" marking a warning ("1.53 !"), or
// "N.A." when the check does not apply.
std::string ClassicalRatioText(const tw::TTWData& project)
{
    const tw::TClassicalCheck c = tw::ComputeClassicalCheck(project);
    if (!c.Applicable)
        return "N.A.";
    std::string text = c.HasMomentRatio ? tw::FormatFixed(c.MomentRatio, 2, 10, ".") : "-";
    return c.Warning ? text + " !" : text;
}

// One line per project, for checking a whole job's walls at once; a file that cannot be read
// or analysed gets its own line and the others go on.
int SummaryOfFiles(Arguments args, const fs::path& programFolder)
{
    const bool csv = TakeOption(args, "--csv");
    NoOtherOptions(args, "summary");
    if (args.operands.empty())
        throw UsageError("summary: expected one or more project files");
    const auto number = [](long double v, int decimals) {
        return tw::FormatFixed(v, decimals, 10, ".");
    };
    int exitCode = kExitOk;
    std::vector<std::vector<std::string>> rows;
    rows.push_back({"File", "Wall", "Section", "Embedment", "Pile length", "Max. moment",
                    "Governing", "Utilization", "Classical moment ratio", "Result"});
    for (const std::string& file : args.operands) {
        tw::TTWData project;
        project.ExampleFolder = programFolder;
        try {
            tw::cli::LoadProject(file, project);
        } catch (const std::exception& e) {
            rows.push_back(
                {file, "", "", "", "", "", "", "", "", std::string("ERROR: ") + e.what()});
            exitCode = kExitUsage;
            continue;
        }
        tw::cli::NoteAdjustments(project, file);
        tw::form::TMainForm form(project);
        const tw::form::TCommitResult r = form.AfterOpen();
        const bool si = project.Units == tw::TUnitSystem::usSI;
        std::string wall = tw::ItemText(tw::kPileTypeItems, project.PileType);
        if (project.PileType != tw::TPileType::ptSheetPile)
            wall += ", " + tw::ItemText(tw::kReinforcementItems, project.Reinforcement);
        std::string section =
            form.ListState(tw::form::List::SectionSize).SelectedText().value_or("");
        if (project.PileType != tw::TPileType::ptSheetPile &&
            project.Reinforcement == tw::TReinforcement::rfRebarCage)
            section = std::to_string(project.BarCount) + " x " +
                      form.ListState(tw::form::List::VerticalBar).SelectedText().value_or("?");
        if (!r.ok()) {
            rows.push_back({file, wall, section, "", "", "", "", "", "",
                            "ERROR: the analysis failed: " + *r.error});
            exitCode = std::max(exitCode, kExitAnalysisFailed);
            continue;
        }
        const tw::form::TCheckSummary checks = tw::form::SummarizeChecks(form);
        const std::string length = si ? " m" : " ft";
        const long double moment =
            std::max(std::fabs(project.MaxMomentAbove), std::fabs(project.MaxMomentBelow));
        rows.push_back({file, wall, section, number(project.EmbedmentDepth, 2) + length,
                        number(project.TotalPileLength, 2) + length,
                        number(moment, 1) + (si ? " kN-m" : " k-ft"), checks.governing,
                        checks.utilization == checks.utilization
                            ? number(checks.utilization, 0) + " %"
                            : std::string(),
                        ClassicalRatioText(project), checks.passes ? "pass" : "FAIL"});
        if (!checks.passes)
            exitCode = std::max(exitCode, kExitAnalysisFailed);
    }
    const std::string out = RowsText(rows, csv);
    std::fputs(out.c_str(), stdout);
    return exitCode;
}

// One input stepped over a range, the wall analysed at each value as the window does.
int Sweep(const std::vector<std::string>& raw, const fs::path& programFolder)
{
    // Options with values: --input NAME --from A --to B --steps N; --csv.
    std::vector<std::string> rest;
    std::string input, from, to, steps;
    bool csv = false;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const std::string& arg = raw[i];
        std::string* value = arg == "--input"   ? &input
                             : arg == "--from"  ? &from
                             : arg == "--to"    ? &to
                             : arg == "--steps" ? &steps
                                                : nullptr;
        if (value) {
            if (i + 1 >= raw.size())
                throw UsageError("sweep: " + arg + " needs a value");
            *value = raw[++i];
        } else if (arg == "--csv") {
            csv = true;
        } else {
            rest.push_back(arg);
        }
    }
    Arguments args = Split(rest);
    NoOtherOptions(args, "sweep");
    ExpectOperands(args, 1, "sweep");
    if (input.empty() || from.empty() || to.empty() || steps.empty())
        throw UsageError("sweep: --input, --from, --to and --steps are needed");
    const std::optional<tw::form::Box> box = tw::form::FindStudyInput(input);
    if (!box)
        throw UsageError("sweep: \"" + input +
                         "\" is not a numeric input (e.g. ShoredHeight or "
                         "\"Shored Height, H\")");
    const std::optional<long double> a = tw::ParseNumber(from, {});
    const std::optional<long double> b = tw::ParseNumber(to, {});
    const std::optional<long double> n = tw::ParseNumber(steps, {});
    if (!a || !b || !n || *n < 2 || *n > 10000 || *n != std::floor(*n))
        throw UsageError("sweep: --from and --to need numbers, --steps a whole number from 2 to "
                         "10000");
    const TOpenProject open = OpenProject(args, programFolder);
    if (!open.analysed)
        return kExitAnalysisFailed;
    // The inputs this wall uses, named as the study window names them.
    const std::optional<tw::form::TStudyInput> used =
        tw::form::FindStudyInput(tw::form::StudyInputs(*open.project), input);
    if (!used)
        throw UsageError("sweep: \"" + input +
                         "\" is not an input this wall uses (the main window does not show it)");
    const std::vector<tw::form::TStudyStep> study =
        tw::form::RunStudy(*open.project, used->box, *a, *b, static_cast<int>(*n));
    const auto rows =
        tw::form::StudyRows(study, used->name, open.project->Units == tw::TUnitSystem::usSI);
    const std::string out = RowsText(rows, csv);
    std::fputs(out.c_str(), stdout);
    return kExitOk;
}

// Splits "a,b,c" at the commas.
std::vector<std::string> CommaList(const std::string& text)
{
    std::vector<std::string> items;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        items.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos)
            return items;
        start = comma + 1;
    }
}

// The soil and loads scattered at random, each sample analysed as the window analyses it.
int Reliability(const std::vector<std::string>& raw, const fs::path& programFolder)
{
    namespace tf = tw::form;
    std::vector<std::string> rest, covs;
    std::string samples, seed, only, threads;
    bool json = false, csv = false, tie = false;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const std::string& arg = raw[i];
        std::string* value = arg == "--samples"   ? &samples
                             : arg == "--seed"    ? &seed
                             : arg == "--only"    ? &only
                             : arg == "--threads" ? &threads
                                                  : nullptr;
        if (value || arg == "--cov") {
            if (i + 1 >= raw.size())
                throw UsageError("reliability: " + arg + " needs a value");
            if (value)
                *value = raw[++i];
            else
                covs.push_back(raw[++i]);
        } else if (arg == "--json") {
            json = true;
        } else if (arg == "--csv") {
            csv = true;
        } else if (arg == "--tie") {
            tie = true;
        } else {
            rest.push_back(arg);
        }
    }
    Arguments args = Split(rest);
    NoOtherOptions(args, "reliability");
    ExpectOperands(args, 1, "reliability");
    if (json && csv)
        throw UsageError("reliability: choose --json or --csv, not both");
    const auto whole = [](const std::string& text, long double lo, long double hi,
                          const std::string& what) {
        const std::optional<long double> v = tw::ParseNumber(text, {});
        if (!v || *v < lo || *v > hi || *v != std::floor(*v))
            throw UsageError("reliability: " + what);
        return *v;
    };
    const TOpenProject open = OpenProject(args, programFolder);
    const tw::TTWData& project = *open.project;
    tf::TReliabilitySetup setup = tf::DefaultReliabilitySetup(project);
    if (!samples.empty())
        setup.samples = static_cast<int64_t>(
            whole(samples, 1, static_cast<long double>(tf::kMaxReliabilitySamples),
                  "--samples needs a whole number from 1 to " +
                      std::to_string(tf::kMaxReliabilitySamples)));
    if (!seed.empty())
        setup.seed = static_cast<uint64_t>(
            whole(seed, 0, 9007199254740992.0L, "--seed needs a whole number from 0 to 2^53"));
    if (!threads.empty())
        setup.threads = static_cast<int>(whole(threads, 1, 64, "--threads needs 1 to 64"));
    setup.tieFrictionAngles = tie;
    const std::vector<tf::TStudyInput> inputs = tf::StudyInputs(project);
    const auto find = [&](const std::string& name) {
        const std::optional<tf::TStudyInput> input = tf::FindStudyInput(inputs, name);
        if (!input)
            throw UsageError("reliability: \"" + name +
                             "\" is not an input this wall uses (the main window does not "
                             "show it)");
        return *input;
    };
    const auto entry = [&](const tf::TStudyInput& input) -> tf::TUncertainInput* {
        for (tf::TUncertainInput& u : setup.inputs)
            if (u.input.box == input.box)
                return &u;
        return nullptr;
    };
    for (const std::string& cov : covs) {
        const std::size_t eq = cov.rfind('=');
        if (eq == std::string::npos)
            throw UsageError("reliability: --cov needs NAME=PERCENT, e.g. BackfillPhi=15");
        std::string percent = cov.substr(eq + 1);
        if (!percent.empty() && percent.back() == '%')
            percent.pop_back();
        const std::optional<long double> v = tw::ParseNumber(percent, {});
        if (!v || *v < 0 || *v > 1000)
            throw UsageError("reliability: --cov " + cov + ": the percentage must be 0 to 1000");
        const tf::TStudyInput input = find(cov.substr(0, eq));
        if (tf::TUncertainInput* u = entry(input))
            u->cov = *v / 100;
        else
            setup.inputs.push_back(tf::MakeUncertainInput(project, input, *v / 100));
    }
    if (!only.empty()) {
        std::vector<tf::TUncertainInput> kept;
        for (const std::string& name : CommaList(only)) {
            const tf::TStudyInput input = find(name);
            const tf::TUncertainInput* u = entry(input);
            kept.push_back(u ? *u : tf::MakeUncertainInput(project, input, 0.10L));
        }
        setup.inputs = std::move(kept);
    }
    const tf::TReliabilityStudy study = tf::RunReliabilityStudy(project, setup);
    if (!study.error.empty())
        throw UsageError("reliability: " + study.error);
    const std::string out = json  ? tf::ReliabilityJson(study)
                            : csv ? tf::CsvText(tf::ReliabilitySampleRows(study))
                                  : tf::ReliabilitySummaryText(study);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kExitOk;
}

int Table(Arguments args, const fs::path& programFolder)
{
    const bool csv = TakeOption(args, "--csv");
    const tw::form::TNodeMethod method = TakeOption(args, "--springs")
                                             ? tw::form::TNodeMethod::SoilSprings
                                             : tw::form::TNodeMethod::Design;
    NoOtherOptions(args, "table");
    ExpectOperands(args, 1, "table");
    const TOpenProject open = OpenProject(args, programFolder);
    if (!open.analysed)
        return kExitAnalysisFailed;
    const tw::TTWData& project = *open.project;
    if (const std::string note = tw::form::NodeTableNote(project, method); !note.empty()) {
        std::cerr << "tarnwick-cli: " << note << '\n';
        return kExitAnalysisFailed;
    }
    std::string text;
    if (csv) {
        text = tw::form::NodeTableCsv(project, method);
    } else {
        // The table as the window shows it, in columns wide enough for header and values.
        const auto columns = tw::form::NodeTableColumns(project.Units, method);
        const auto rows = tw::form::NodeTableRows(project, {}, method);
        std::array<std::size_t, tw::form::kNodeColumnCount> widths{};
        for (std::size_t c = 0; c < widths.size(); ++c) {
            widths[c] = columns[c].caption.size();
            for (const auto& row : rows)
                widths[c] = std::max(widths[c], row[c].size());
        }
        auto line = [&](auto cell) {
            for (std::size_t c = 0; c < widths.size(); ++c) {
                const std::string value = cell(c);
                text += std::string(widths[c] - value.size() + (c > 0 ? 2 : 0), ' ') + value;
            }
            text += '\n';
        };
        line([&](std::size_t c) { return columns[c].caption; });
        for (const auto& row : rows)
            line([&](std::size_t c) { return row[c]; });
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kExitOk;
}

int Convert(Arguments args, const fs::path& programFolder)
{
    const bool toSI = TakeOption(args, "--to-si");
    const bool toEnglish = TakeOption(args, "--to-english");
    NoOtherOptions(args, "convert");
    ExpectOperands(args, 2, "convert");
    if (toSI && toEnglish)
        throw UsageError("convert: --to-si and --to-english exclude each other");
    const fs::path in = args.operands[0];
    const fs::path out = args.operands[1];
    tw::cli::FormatOf(out); // refuse an unknown output type before reading anything
    tw::TTWData project;
    project.ExampleFolder = programFolder;
    tw::cli::LoadProject(in, project);
    if (toSI || toEnglish) {
        // Every value through its exact factor; what could not be kept exactly is said, and
        // the converted values the rules of the new units change, as for any project opened.
        const tw::TUnitConversion conversion = tw::ConvertProjectUnits(
            project, toSI ? tw::TUnitSystem::usSI : tw::TUnitSystem::usEnglish);
        for (const std::string& note : conversion.notes)
            std::cerr << "tarnwick-cli: note: " << note << '\n';
        tw::cli::PrintAdjustments(conversion.adjusted);
    }
    tw::cli::SaveProject(project, out);
    return kExitOk;
}

int New(Arguments args, const fs::path& programFolder)
{
    const bool si = TakeOption(args, "--si");
    NoOtherOptions(args, "new");
    ExpectOperands(args, 1, "new");
    const fs::path out = args.operands[0];
    tw::cli::FormatOf(out);
    tw::TTWData project;
    project.ExampleFolder = programFolder;
    const tw::TUnitSystem units = si ? tw::TUnitSystem::usSI : tw::TUnitSystem::usEnglish;
    project.SetUnitSystem(units);
    project.NewProject(false);
    // Without the example of the unit system the built-in defaults apply, which are English:
    // the requested unit system still holds for the new project.
    if (project.Units != units)
        project.SetUnitSystem(units);
    tw::cli::SaveProject(project, out);
    return kExitOk;
}

// "draw" and "report" run tarnwick-cli-draw and tarnwick-cli-report from the same folder in
// this process's place: only those programs load the graphics libraries, so the other commands
// start without them.
int HandOver(const std::string& command, int argc, char** argv, const fs::path& programFolder)
{
    const fs::path helper = programFolder / ("tarnwick-cli-" + command);
    std::error_code ec;
    if (!fs::is_regular_file(helper, ec))
        throw tw::cli::FileError(command + ": " + helper.string() +
                                 " is not installed beside tarnwick-cli");
    const std::string program = helper.string();
    std::vector<char*> args{const_cast<char*>(program.c_str())};
    for (int i = 2; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);
    std::fflush(stdout);
    execv(program.c_str(), args.data());
    throw tw::cli::FileError(command + ": cannot start " + program + ": " + std::strerror(errno));
}

int Run(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        throw UsageError("no command given");
    const std::string command = args.front();
    args.erase(args.begin());
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    for (const std::string& arg : args)
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return kExitOk;
        }
    const fs::path folder = ProgramFolder(argv[0]);
    if (command == "analyze")
        return Analyze(Split(args), folder);
    if (command == "show")
        return Show(Split(args), folder);
    if (command == "convert")
        return Convert(Split(args), folder);
    if (command == "table")
        return Table(Split(args), folder);
    if (command == "optimize")
        return Optimize(Split(args), folder);
    if (command == "summary")
        return SummaryOfFiles(Split(args), folder);
    if (command == "sweep")
        return Sweep(args, folder);
    if (command == "reliability")
        return Reliability(args, folder);
    if (command == "new")
        return New(Split(args), folder);
    if (command == "draw" || command == "report")
        return HandOver(command, argc, argv, folder);
    if (command == "check-update")
        return HandOver("update", argc, argv, folder);
    throw UsageError("unknown command \"" + command + "\"");
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return Run(argc, argv);
    } catch (const UsageError& e) {
        std::cerr << "tarnwick-cli: " << e.what() << "\nTry 'tarnwick-cli --help'.\n";
        return kExitUsage;
    } catch (const tw::cli::FileError& e) {
        std::cerr << "tarnwick-cli: " << e.what() << '\n';
        return kExitUsage;
    } catch (const std::exception& e) {
        // Anything else that went wrong before the analysis concerns the input.
        std::cerr << "tarnwick-cli: " << e.what() << '\n';
        return kExitUsage;
    }
}
