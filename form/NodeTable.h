// The node results table: for each of the 64 analysis nodes its depth and the second-pass
// shear, moment, slope and deflection, as the "Table of Test Results" window shows them, as
// tab-separated text for the clipboard and as CSV for spreadsheets and scripts. Plain C++, so
// that the window, the report and the command line share it.
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

// The six columns (node, depth, shear, moment, slope, deflection) in the unit system. The
// window's list has an empty spacer column before them, which holds no text and is no part of
// the table: column 0 here is "Node #", and the report prints all six.
std::array<TNodeColumn, kNodeColumnCount> NodeTableColumns(TUnitSystem units);
// The 64 rows as the window shows them: fixed point with the column's decimals and at most
// 10 significant digits, in the given number format.
std::vector<TNodeRow> NodeTableRows(const TTWData& project, const TNumberFormat& format);
// The table as the window shows it, tab-separated with its header, one line a row.
std::string NodeTableTabText(const TTWData& project, const TNumberFormat& format);
// The table as CSV: a header naming each column with its unit, then the 64 rows with every
// value in the shortest form that reads back to the same number; "." decimals, "," between.
std::string NodeTableCsv(const TTWData& project);

} // namespace tw::form
