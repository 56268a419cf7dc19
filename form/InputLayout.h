// The rows of the main window's input column, section by section, top to bottom: which box,
// list, check box or other part stands in which place. The window builds its widgets from this
// table; the form itself decides what of it is shown.
#pragma once

#include <vector>

#include "form/FormIds.h"

namespace tw::form {

enum class InputItemKind
{
    Box,
    List,
    Check,
    Options,   // a pair of option buttons
    Points,    // the table of the user-defined pressure points
    Text,      // a text label
    ViewTable, // the link to the rebar cage's table of interaction points
};

struct TInputItem
{
    InputItemKind kind;
    int id = 0; // the Box, List, Check or Label, by kind
};

struct TSectionItems
{
    Section section;
    std::vector<TInputItem> items;
};

// Each input section's rows in design order. Rows that share a place (the reinforcement list and
// the sheet pile depth, the two beam type lists, the Coulomb and the equivalent-fluid groups)
// follow each other; the form shows one of them.
const std::vector<TSectionItems>& InputLayout();

// The lists whose entries are numbers with a unit ("3.0" ksi, "8.00" ft), placed as the
// numeric boxes are.
bool IsValueList(List list);

// Read-only boxes that still recalculate when they are left.
bool ReadOnlyBoxCommits(Box b);

} // namespace tw::form
