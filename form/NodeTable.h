// The node results table: for each of the 64 analysis nodes its depth and the second-pass
// shear, moment, slope and deflection, as the "Table of Test Results" window shows them, as
// tab-separated text for the clipboard and as CSV for spreadsheets and scripts; or the same for
// the nodes of the soil-spring analysis. Plain C++, so that the window, the report and the
// command line share it.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/Globals.h"
#include "engine/TWClasses.h"

namespace tw::form {

struct TNodeColumn
{
    std::string caption; // "Node #", "Depth, ft", ...
    int width;           // pixels in the window
    int decimals;        // -1: a whole number
};

inline constexpr int kNodeColumnCount = 6;
using TNodeRow = std::array<std::string, kNodeColumnCount>;

// Whose nodes: the design's 64, or the soil-spring analysis's (one a node of its beam).
enum class TNodeMethod
{
    Design,
    SoilSprings,
};
// "Design method", "Soil springs".
const char* NodeMethodName(TNodeMethod method);

// The six columns (node, depth, shear, moment, slope, deflection) in the unit system; for the
// soil springs depth, load, shear, moment, slope and deflection, the same captions and units.
// The window's list has an empty spacer column before them, which holds no text and is no
// part of the table: column 0 here is "Node #", and the report prints all six.
std::array<TNodeColumn, kNodeColumnCount>
NodeTableColumns(TUnitSystem units, TNodeMethod method = TNodeMethod::Design);
// The rows as the window shows them: fixed point with the column's decimals and at most 10
// significant digits, in the given number format. The soil springs' slope and deflection are
// in the design's sign convention (the deflection negative toward the excavation), so the two
// tables compare as they stand; without an answer from the springs there are no rows.
std::vector<TNodeRow> NodeTableRows(const TTWData& project, const TNumberFormat& format,
                                    TNodeMethod method = TNodeMethod::Design);
// Why the table has no rows: "Soil springs: " and the analysis's reason; empty when it has.
std::string NodeTableNote(const TTWData& project, TNodeMethod method);
// The table as the window shows it, tab-separated with its header, one line a row.
std::string NodeTableTabText(const TTWData& project, const TNumberFormat& format,
                             TNodeMethod method = TNodeMethod::Design);
// The table as CSV: a header naming each column with its unit, then the rows with every value
// in the shortest form that reads back to the same number; "." decimals, "," between.
std::string NodeTableCsv(const TTWData& project, TNodeMethod method = TNodeMethod::Design);

} // namespace tw::form
