// The lightest passing section: every row of the wall's catalogue (I-beams, round sections or
// sheet piles) put in place and analysed as the window analyses it, with the verdict of every
// check the window marks. Plain C++, so the window, the command line and the tests share it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/TWClasses.h"

namespace tw::form {

struct TSectionCandidate
{
    int index = 0; // row of the catalogue
    std::string name;
    // Steel weight per length of pile (lb/ft | kg/m) from the catalogue's area and steel's
    // density (490 lb/ft3, 7850 kg/m3), or its published mass for round sections; negative
    // when the catalogue gives neither (the sheet pile tables).
    long double weight = -1;
    bool analysed = false;       // the analysis ran through
    bool passes = false;         // every check the window marks passes
    std::string governing;       // the check that governs (or the first that fails)
    long double utilization = 0; // its utilization in percent (NaN when it has none)
    std::string failure;         // why the analysis failed
};

struct TLightestSections
{
    std::string catalogue;  // "I-beams", "round sections", "sheet piles"
    std::string weightUnit; // "lb/ft" | "kg/m"
    // Passing rows lightest first, then failing rows lightest first, then the rows whose
    // analysis failed.
    std::vector<TSectionCandidate> rows;
    std::string unavailable; // why no catalogue applies (a rebar cage), else empty
};

// The verdicts of an analysed wall as the window marks them: whether every check passes, and
// the check that governs (the largest utilization when all pass, else the first that fails)
// with its utilization in percent (NaN when a failing check has none).
struct TCheckSummary
{
    bool passes = true;
    std::string governing;
    long double utilization = 0;
};
class TMainForm;
TCheckSummary SummarizeChecks(const TMainForm& form);

// Tries every row of the project's current catalogue on a copy of the project. `progress`
// (rows done, rows in all) may return false to cancel.
TLightestSections
FindLightestSections(const TTWData& project,
                     const std::function<bool(int done, int total)>& progress = {});

} // namespace tw::form
