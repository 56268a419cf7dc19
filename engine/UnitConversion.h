// Converting a whole project to the other unit system: every stored value through its exact
// factor (1 ft = 0.3048 m, 1 lbf = 4.4482216152605 N, ...), the same physical sections, bars
// and guardrail angle kept, so that the wall is the same wall in the other units. Unlike the
// Units list of the window, which keeps the numbers as they are.
#pragma once

#include <string>
#include <vector>

#include "engine/InputRules.h"
#include "engine/TWClasses.h"

namespace tw {

// What a conversion could not keep exactly.
struct TUnitConversion
{
    // A bar replaced by the nearest one not smaller, a concrete strength that is a list choice.
    std::vector<std::string> notes;
    // The converted values that the input rules change as the project is opened in its new
    // units (ApplyInputRulesOnOpen), mostly values beyond the limits of that unit system. The
    // window and every command use the changed value.
    std::vector<TAdjustedInput> adjusted;

    bool empty() const { return notes.empty() && adjusted.empty(); }
};

// Converts the project's inputs into the unit system (nothing when it is in it already) and
// loads the catalogues of that system. The stored values are the converted ones; what the
// rules will make of them is returned with the notes.
TUnitConversion ConvertProjectUnits(TTWData& project, TUnitSystem to);

// The factors from English to SI units.
namespace si_factor {
inline constexpr long double kFoot = 0.3048L;                                // m
inline constexpr long double kInch = 25.4L;                                  // mm
inline constexpr long double kPound = 4.4482216152605L;                      // N
inline constexpr long double kKip = kPound;                                  // kN
inline constexpr long double kPcf = kPound / 1000 / (kFoot * kFoot * kFoot); // kN/m3
inline constexpr long double kPsf = kPound / 1000 / (kFoot * kFoot);         // kPa
inline constexpr long double kKsf = kKip / (kFoot * kFoot);                  // kPa
inline constexpr long double kKsi = kKip / (0.0254L * 0.0254L) / 1000;       // MPa
inline constexpr long double kPsi = kKsi / 1000;                             // MPa
inline constexpr long double kKipFoot = kKip * kFoot;                        // kN-m
inline constexpr long double kPlf = kPound / 1000 / kFoot;                   // kN/m
} // namespace si_factor

} // namespace tw
