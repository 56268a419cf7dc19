// The corrections the desktop program makes to a project's stored values as it opens it, told
// to the user of the command line.
#pragma once

#include <string_view>
#include <vector>

#include "engine/InputRules.h"

namespace tw {
class TTWData;
}

namespace tw::cli {

// The input rules applied to a copy of the project as the window opens it (ApplyInputRulesOnOpen):
// each change is printed on standard error as "note: CAPTION GIVEN changed to USED (RULE)",
// after "FILE: " when `file` is not empty, and returned. The project itself is left as it is: it
// is opened in the form, which applies the same rules.
std::vector<TAdjustedInput> NoteAdjustments(const TTWData& project, std::string_view file = {});

// Prints each change as NoteAdjustments does.
void PrintAdjustments(const std::vector<TAdjustedInput>& adjusted, std::string_view file = {});

} // namespace tw::cli
