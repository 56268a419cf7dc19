// A parametric study: one numeric input of the input column stepped over a range, the wall
// analysed at each value exactly as the window analyses it (the value typed into the box and
// committed, through its limits and bounds), and the main results and the checks recorded.
// Plain C++, for the study window, the command line and the tests.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/TWClasses.h"
#include "form/FormIds.h"
#include "form/LightestSection.h"

namespace tw::form {

struct TStudyStep
{
    std::string input;     // the box's text after the commit (the value the analysis used)
    long double value = 0; // the value asked for
    bool analysed = false;
    std::string failure;
    long double embedment = 0, totalLength = 0, maxMoment = 0, maxShear = 0, topDeflection = 0;
    TCheckSummary checks;
};

// The numeric input boxes a study can step (editable boxes of the input column).
bool StudyInput(Box box);
// The box of an identifier ("ShoredHeight"), a caption ("Shored Height, H", the first box with
// it) or a study name ("Passive Soils: Soil Friction Angle"), either case, on any wall.
std::optional<Box> FindStudyInput(const std::string& name);

class TMainForm;

// An input a study can step on a wall as it stands, and the name it goes by in the study window,
// its table and the command line: the box's caption, after its group ("Passive Soils: Soil
// Friction Angle") where other groups have a box of the same caption.
struct TStudyInput
{
    Box box;
    std::string name;
    std::string unit; // "ft", "degrees"; "" for a number without unit
};
// The inputs the wall uses, in the order of the input column: the editable boxes the main
// window shows for it (the box and its section shown, not read-only, not disabled).
std::vector<TStudyInput> StudyInputs(const TMainForm& form);
// The same for a project, as the main window would show it.
std::vector<TStudyInput> StudyInputs(const TTWData& project);
// Among the inputs of a wall, the one of a study name, caption or identifier, either case.
std::optional<TStudyInput> FindStudyInput(const std::vector<TStudyInput>& inputs,
                                          const std::string& name);

// `steps` values from `from` to `to` (at least 2), each analysed on a copy of the project. A
// step where a check fails is governed by the first failing check, with its utilization (NaN
// when it has none).
std::vector<TStudyStep> RunStudy(const TTWData& project, Box input, long double from,
                                 long double to, int steps);

// The results a study plots, in the order of the study window's list.
enum class TStudyResult
{
    Embedment,
    TotalLength,
    MaxMoment,
    MaxShear,
    TopDeflection,
    Utilization,
};
inline constexpr int kStudyResultCount = 6;
// "Maximum Moment", ...
std::string StudyResultName(TStudyResult result);
// "k-ft" | "kN-m", ..., "%".
std::string StudyResultUnit(TStudyResult result, bool si);
// What a step gives for a result: the value, or none and why (the analysis failed; the failing
// check has no utilization).
struct TStudyValue
{
    std::optional<long double> value;
    std::string reason;
};
TStudyValue StudyValue(const TStudyStep& step, TStudyResult result);

// The study as rows of texts: a header (the input's study name, then the results with their
// units in the unit system) and one row per step, as the study window's table and the command
// line show them.
std::vector<std::vector<std::string>> StudyRows(const std::vector<TStudyStep>& study,
                                                const std::string& inputName, bool si);

// Rows of texts as CSV: fields with a comma, a double quote or a line break quoted, one line a
// row.
std::string CsvText(const std::vector<std::vector<std::string>>& rows);

} // namespace tw::form
