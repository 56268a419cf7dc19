#include "InputNotes.h"

#include <iostream>

#include "engine/TWClasses.h"

namespace tw::cli {

std::vector<TAdjustedInput> NoteAdjustments(const TTWData& project, std::string_view file)
{
    TTWData copy = project;
    std::vector<TAdjustedInput> adjusted = ApplyInputRulesOnOpen(copy);
    for (const TAdjustedInput& a : adjusted) {
        std::cerr << "note: ";
        if (!file.empty())
            std::cerr << file << ": ";
        std::cerr << AdjustmentNote(a) << '\n';
    }
    return adjusted;
}

} // namespace tw::cli
