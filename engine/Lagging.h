// Lagging design between soldier beams: timber, steel plate or concrete.
#pragma once

#include <array>
#include <string>

#include "engine/Globals.h" // TUnitSystem

namespace tw {

class TTWData;

// Results of the lagging design, in the units of the current system. Texts are
// Windows-1252 bytes like every project text (the material text holds the right single
// quotation mark as the byte 0x92); convert with AnsiToUtf8 for a window.
struct TLaggingResults
{
    bool Designed = false;        // a soldier beam wall with a lagging type other than None
    long double ClearSpan = 0;    // L = S - Be, ft | m
    long double SoilPressure = 0; // p, psf | kPa
    long double Moment = 0;       // lb-ft/ft | kN-m/m (timber: per unit wall height)
    long double RequiredSectionModulus = 0;   // steel plate and concrete: in3 per ft | mm3 per m
    long double Shear = 0;                    // timber: plf | kN/m
    long double AdjustedFb = 0, ActualFb = 0; // timber: psi | MPa
    long double AdjustedFv = 0, ActualFv = 0; // timber: psi | MPa
    long double Deflection = 0;               // timber: in | mm
    long double AllowableDeflection = 0;      // timber: L'/180, in | mm
    long double RB = 0, CL = 0;               // timber: slenderness ratio and beam stability factor
    int TimberIndex = -1;                     // the adequate timber size (0 to 6), -1 when none
    std::string SizeText; // timber or plate size, "None" when nothing is adequate
    std::string ConcreteText, MaterialText;

    // Verdicts. SizeOK applies to timber and steel plate; the other three to timber only.
    bool SizeOK = false;       // the size text is not "None"
    bool ConcreteOK = false;   // concrete: a row of the table carries the pressure
    bool BendingOK = false;    // fb / Fb' <= 1
    bool ShearOK = false;      // fv / Fv' <= 1
    bool DeflectionOK = false; // deflection <= L'/180
};

inline constexpr int kTimberSizeCount = 7;

// The lagging design of the project (after the steel checks). Computes nothing and clears
// the results unless the pile is a soldier beam and the lagging type is not None. A clear
// span S - Be that is not positive ends the analysis with a TAnalysisError.
void DesignLagging(TTWData& project);

// One timber trial for size index 0 to 6, from LaggingResults.ClearSpan and SoilPressure;
// writes the trial's values into LaggingResults and returns whether the size is adequate.
bool DesignTimberSize(TTWData& project, int index);

// The steel plate text for a required section modulus (in3 per ft | mm3 per m), e.g.
// "5/8 inch steel plate" or "16 mm steel plate"; "None" beyond the thickest plate.
std::string SteelPlateText(long double requiredModulus, TUnitSystem units);

// The concrete lagging text when the pressure is beyond the table.
inline constexpr char kConcreteSpecialDesign[] = "SPECIAL DESIGN";
// The minimum concrete lagging for LaggingResults.SoilPressure and the chosen concrete
// strength, e.g. "3.0 in PCC with\r#4 bars at 12 in O.C."; "SPECIAL DESIGN" beyond the table.
std::string ConcreteLaggingText(const TTWData& project);

// The concrete and bar properties the concrete lagging requires (Windows-1252 text).
std::string LaggingMaterialText(const TTWData& project);

} // namespace tw
