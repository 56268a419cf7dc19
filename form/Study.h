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
// The box of an identifier ("ShoredHeight") or a caption ("Shored Height, H"), either case.
std::optional<Box> FindStudyInput(const std::string& name);

// `steps` values from `from` to `to` (at least 2), each analysed on a copy of the project.
std::vector<TStudyStep> RunStudy(const TTWData& project, Box input, long double from,
                                 long double to, int steps);

// The study as rows of texts: a header (the input's caption, then the results with their units
// in the unit system) and one row per step, as the study window's table and the command line
// show them.
std::vector<std::vector<std::string>> StudyRows(const std::vector<TStudyStep>& study, Box input,
                                                bool si);

// Rows of texts as CSV: fields with a comma, a double quote or a line break quoted, one line a
// row.
std::string CsvText(const std::vector<std::vector<std::string>>& rows);

} // namespace tw::form
