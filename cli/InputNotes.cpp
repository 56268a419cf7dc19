#include "InputNotes.h"

#include <iostream>

#include "engine/TWClasses.h"

namespace tw::cli {

std::vector<TAdjustedInput> NoteAdjustments(const TTWData& project, std::string_view file)
{
    TTWData copy = project;
    std::vector<TAdjustedInput> adjusted = ApplyInputRulesOnOpen(copy);
    PrintAdjustments(adjusted, file);
    return adjusted;
}

void PrintAdjustments(const std::vector<TAdjustedInput>& adjusted, std::string_view file)
{
    for (const TAdjustedInput& a : adjusted) {
        std::cerr << "note: ";
        if (!file.empty())
            std::cerr << file << ": ";
        std::cerr << AdjustmentNote(a) << '\n';
    }
}

} // namespace tw::cli
