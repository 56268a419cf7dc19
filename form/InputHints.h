// What each input of the main window means, in a sentence or two, for its tool tip: a first-time
// user learns what "Passive Wedge Multiplier" or "Arching Factor" stands for where it is typed.
#pragma once

#include <string_view>

#include "form/FormIds.h"

namespace tw::form {

// The explanation of an input ("" for results and inputs without one).
std::string_view InputHint(Box b);
std::string_view InputHint(List l);
std::string_view InputHint(Check c);

} // namespace tw::form
