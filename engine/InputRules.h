// The input rules: the limits and bounds every numeric input is read within, and the values
// that follow from the selections, defined once. The window's recalculation reads each box
// through its rule; ApplyInputRules applies the same rules to a project's stored values and
// says what it changed, so that the command line can tell the user.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Globals.h"

namespace tw {

class TTWData;

// The step of the window's recalculation that reads an input (one per input section).
enum class TInputGroup : uint8_t
{
    GeneralData,
    Soils,
    Loads,
    PressureData,
    StructuralData,
    Lagging,
    RebarCage,
    Guardrail
};

// How a rule bounds its input.
enum class TInputRuleKind : uint8_t
{
    Limits,      // the limits of its tag
    Bounds,      // explicit bounds, which replace the limits of its tag
    KeepingSign, // an explicit bound on one side, the limit of its tag on the other
    Derived      // no value of its own: it follows from other inputs
};

// Explicit bounds as ReadNumber takes them: 0 means none on that side.
struct TInputBounds
{
    double lower = 0;
    double upper = 0;
};

// One rule. Several rules may write the same project field under different selections (the
// pile spacing of each pile type); at most one of them applies to a project.
struct TInputRule
{
    TInputGroup group;
    std::string_view input;   // the window's box it is typed in (its identifier there)
    std::string_view name;    // the project field as the JSON documents name it
    std::string_view caption; // the caption of its input in the window
    int tag;                  // its entry of the input limit table
    std::string_view unitEnglish;
    std::string_view unitSI;
    TInputRuleKind kind;
    // The box shows the stored value as it is, not within the limits of its tag.
    bool shownUnclamped;
    // Whether the window reads the input under the project's selections.
    bool (*applies)(const TTWData&);
    // Whether a change of the value counts: the pressure points of Net and Gross Pressure are
    // read as well, but the analysis computes them again.
    bool (*counts)(const TTWData&);
    // Bounds and KeepingSign: the explicit bounds; Derived: unused.
    TInputBounds (*bounds)(const TTWData&);
    // Derived: the value.
    long double (*derived)(const TTWData&);
    // Why an explicit bound (or a derived value) applies, in plain words.
    std::string (*reason)(const TTWData&);
    long double (*get)(const TTWData&);
    void (*set)(TTWData&, long double);
};

// Every rule in the order of the window's recalculation.
std::span<const TInputRule> InputRules();

// The rule's explicit bounds for the project (none for Limits and Derived).
TInputBounds RuleBounds(const TInputRule& rule, const TTWData& project);

// The maximum of spacing of the guardrail posts: the pile spacing or twice it.
long double GuardrailSpacingFor(const TTWData& project, bool twice);

// The number of bars from the value read: the nearest whole number, a half to the even
// neighbour; beyond the 32-bit range the largest.
int32_t BarCountFrom(long double value);

// One input the rules changed.
struct TAdjustedInput
{
    std::string name;    // the project field ("PileSpacing", "LoadPoints[1].X")
    std::string caption; // as the window shows it ("Pile Spacing, S")
    long double given;   // the stored value (a selection: its stored number)
    long double used;    // the value after the rules
    std::string rule;    // why, in plain words
    // The values as the window shows them, with the unit label ("10.00 ft", "Driven").
    std::string givenText;
    std::string usedText;
};

// Applies every rule to the project's stored values, in the order of the window's
// recalculation, and returns what changed (where the change counts). First the rules that tie
// the selections together (TTWData::ApplySelectionRules), then each numeric rule that applies:
// the stored value as its box shows it (within the limits of its tag; a value that is not a
// finite number reads as 0), read as the box reads it. The bounds that depend on the analysis
// (the seismic arm by the total pile length, the user-defined pressure points by the fixed
// depths) take the values of the project's last analysis, as the window's do.
std::vector<TAdjustedInput> ApplyInputRules(TTWData& project);

// The rules as the window applies them to a project it opens: the stored values analysed first
// (a failure is ignored, as the window ignores it before its recalculation) so that the bounds
// that depend on the analysis have their values, then ApplyInputRules.
std::vector<TAdjustedInput> ApplyInputRulesOnOpen(TTWData& project);

// "Pile Spacing, S 10.00 ft changed to 4.17 ft (secant piles: 1.33 to 1.67 times the pile
// diameter)".
std::string AdjustmentNote(const TAdjustedInput& adjusted);

} // namespace tw
