// Steel member checks of the soldier beam, pipe or sheet pile (allowable stress design).
#pragma once

#include <string>

namespace tw {

class TTWData;

// Intermediate flexural values of the I-section check. Lengths along the pile (Lp, Lr, Lb)
// in ft | m; section values in the units of the section row (ho, rts in | cm; J in4 | cm4;
// Zx, Sx in3 | cm3); the allowable moment in k-ft | kN-m. NaN where a value is undefined
// (Lp, Lr, ho, rts of a round section).
struct TFlexureCheck
{
    long double J = 0, ho = 0, Lp = 0, rts = 0, Lr = 0, Lb = 0, Zx = 0, Sx = 0;
    long double Omega = 1.67L;
    long double AllowableMomentAbove = 0;
};

// Intermediate values of the compression check: kL/r (-), A (in2 | mm2, as in the row),
// Fe (ksi | MPa) and the allowable axial load (k | kN).
struct TAxialCheck
{
    long double KLr = 0, A = 0, Fe = 0, AllowableAxial = 0;
};

// Pass (true) or fail of each check. A check whose value is NaN or infinite fails. The
// "Applies" flags say which verdicts the project shows; the deflection verdict always applies.
struct TSteelVerdicts
{
    bool Deflection = false;     // top deflection <= allowable top deflection
    bool Moment = false;         // moment utilization <= 99.9 %
    bool Shear = false;          // shear utilization <= 99.9 %
    bool Axial = false;          // axial utilization <= 99.9 %
    bool Interaction = false;    // P-M interaction <= 99.9 %
    bool Slenderness = false;    // kL/r <= 200
    bool HoleFit = false;        // HoleClearanceOK
    bool RoundClass = false;     // the round-section class is not "too slender"
    bool SectionModulus = false; // sheet pile: |required| <= |provided|

    bool StrengthChecksApply = false;   // I-beam or pipe, not a sheet pile
    bool HoleFitApplies = false;        // drilled I-beam or pipe, not a sheet pile
    bool RoundClassApplies = false;     // pipe
    bool SectionModulusApplies = false; // sheet pile

    // Every verdict that applies passes.
    bool AllPass() const;
};

// Steel member check results, in display units; an undefined value is NaN.
struct TSteelCheckResults
{
    long double TotalBeamLength = 0;      // ft | m
    long double DiagonalLength = 0;       // in | cm
    long double Lr = 0, Lp = 0;           // ft | m; NaN for a round section
    long double AllowableMomentAbove = 0; // k-ft | kN-m
    long double AllowableMomentBelow = 0;
    long double MomentUtilization = 0; // %
    long double AllowableShear = 0;    // k | kN
    long double ShearUtilization = 0;
    long double AllowableAxial = 0;
    long double AxialUtilization = 0;
    long double Interaction = 0;                                        // %
    long double Slenderness = 0;                                        // kL/r
    long double SectionModulusProvided = 0, SectionModulusRequired = 0; // in3 | cm3
    TSteelVerdicts Verdicts;
};

// The class of a round section by its D/t, with the section modulus shown beside it.
struct TRoundSectionClass
{
    std::string Text;           // "Compact", "Noncompact" or "too slender, choose another section"
    std::string ModulusCaption; // "Section Modulus, Zx" (compact) or "Section Modulus, Sx"
    long double SectionModulus = 0; // Zx or Sx of the row, in3 | cm3
    bool Passes = false;            // the text does not contain "slender"
};

inline constexpr const char* kRoundCompact = "Compact";
inline constexpr const char* kRoundNoncompact = "Noncompact";
inline constexpr const char* kRoundTooSlender = "too slender, choose another section";

// The capacities of the selected section (total length, diagonal, flexure, compression,
// shear); writes SteelCheckResults, FlexureCheck and AxialCheck. Raises nothing: an
// undefined value is NaN. For a sheet pile only the lengths are computed.
void RunSteelChecks(TTWData& project);
// The utilizations against the analysis maxima (shear, moment with the second-order term of
// the axial load, axial, interaction), for a sheet pile the section modulus check, and the
// verdicts; runs after the maxima are known.
void RunSteelCapacityRatios(TTWData& project);
// Whether the beam fits the drilled hole: always for a driven pile; for a drilled one the
// clearance (B - diagonal) / 2 on each side is at least 2 in | 5 cm.
bool HoleClearanceOK(const TTWData& project);
// The clearance on each side of the beam in its hole, in | cm.
long double HoleClearance(const TTWData& project);

// Classification of the selected round section by D/t against 0.07 E/Fy and 0.11 E/Fy.
TRoundSectionClass ClassifyRoundSection(const TTWData& project);
std::string RoundSectionClass(const TTWData& project);

// The verdicts of the current results and inputs.
TSteelVerdicts SteelCheckVerdicts(const TTWData& project);
// A utilization in percent passes at or below 99.9; NaN and infinity fail.
bool UtilizationOK(long double percent);

} // namespace tw
