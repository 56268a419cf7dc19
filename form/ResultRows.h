// The rows of the results column, in order: which boxes, text label and verdict mark each row
// shows. The Qt window builds its results column from this table and the command line prints
// it, so both show the same rows.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "form/FormIds.h"

namespace tw::form {

class TMainForm;

struct TResultRow
{
    Section section;
    std::optional<Box> first;  // the caption comes from this box, else from `second`
    std::optional<Box> second; // second column, or the depth after "at"
    bool secondIsDepth = false;
    std::optional<Label> label; // a text row: the label's text is the value
    std::optional<Verdict> verdict;
};

// Column heads of the sections that have two value columns ("" for the others).
struct TColumnHeads
{
    std::string_view first, second;
};

const std::vector<TResultRow>& ResultRows();
TColumnHeads ResultColumnHeads(Section section, bool si);
// The caption of a row as the form shows it now.
std::string RowCaption(const TMainForm& form, const TResultRow& row);
bool RowVisible(const TMainForm& form, const TResultRow& row);

// The results column as plain text: every visible section with its caption mark, every visible
// row with its values, unit labels and verdict mark.
std::string ResultsText(const TMainForm& form);

} // namespace tw::form
