// The results document: the derived values and results of the last analysis, for scripts.
// The format is described in docs/json-format.md.
#pragma once

#include <span>
#include <string>

#include "engine/InputRules.h"

namespace tw {

class TTWData;

// The "format" and "version" values of the document.
inline constexpr const char* kResultsJsonFormat = "tarnwick-results";
inline constexpr int kResultsJsonVersion = 1;

// The derived values and results of the last analysis, in the project's display units.
// Numbers are written as the nearest double (shortest form); NaN and infinities as null.
// "AdjustedInputs" lists the inputs the rules changed before the analysis (none: empty).
std::string ResultsToJson(const TTWData& project, std::span<const TAdjustedInput> adjusted = {});

} // namespace tw
