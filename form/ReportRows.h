// The rows of the printed report's panel blocks: each input and result section of the main
// window as the report prints it, in the window's order, with the same captions, values, unit
// labels and failing rows. The form hands the rows over directly; the report only places them.
#pragma once

#include <string>
#include <vector>

#include "form/FormIds.h"

namespace tw::form {

class TMainForm;

// The tab stops a row's cells go into. The report holds their positions.
enum class TReportTabs
{
    None,         // a text on its own line: a heading, a note, an option button
    Generic,      // caption, value, unit
    PressureHead, // "Loading Side", "Passive Side"
    PressureRow,  // number (or empty), depth, pressure, depth, pressure
    OutputData,   // caption, value, unit, "@", depth, unit
    ChecksHead,   // empty, first column head, second column head
    ChecksRow,    // caption, value, unit, value, unit
    LaggingRow,   // caption, first value, second value, unit
    LaggingText,  // caption, the lagging size text
    GuardrailRow, // caption, allowable, applied, unit
};

struct TReportRow
{
    TReportTabs tabs = TReportTabs::Generic;
    // The texts in tab order, the caption first where the row has one; a None row has its
    // text alone.
    std::vector<std::string> cells;
    bool bold = false;
    bool failing = false;  // printed in red: the row's verdict mark shows a failed check
    bool indented = false; // None rows: right-aligned at the caption's end, not at the left
    // None rows: the text shown beside the caption on the window, printed right-aligned, one
    // entry per line.
    std::vector<std::string> noteLines;
    // Counts toward the panel's number of row captions (a heading line of column heads does
    // not).
    bool isCaption = true;
};

struct TReportPanel
{
    Section section;
    std::string title;
    std::vector<TReportRow> rows;
    int CaptionCount() const;
};

// The input panels the report prints, top to bottom: every shown input section except
// "Guardrail Design"; "Lagging Design" only when the project has lagging.
std::vector<TReportPanel> ReportInputPanels(const TMainForm& form);
// The result panels the report prints: every shown result section except "Guardrail Design
// Results".
std::vector<TReportPanel> ReportResultPanels(const TMainForm& form);
// One section as the report prints it (guardrail sections included).
TReportPanel ReportPanel(const TMainForm& form, Section section);

// What follows the caption "Beam Diagonal Length": the pier width against the beam's diagonal
// with the clearance it needs, e.g. " (<24 in - 4 in, O.K.)".
std::string BeamDiagonalSuffix(const TMainForm& form);

} // namespace tw::form
