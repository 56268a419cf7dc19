// Guardrail post design on top of the wall: a steel angle checked as a column and a
// cantilever, and the two fillet welds that attach it to the pile.
#pragma once

#include <array>
#include <string>

namespace tw {

class TTWData;

// Results in the units of the current system: forces k | kN, moments k-ft | kN-m, weld
// stresses ksi | MPa, LateralBracing ft | m.
struct TGuardrailResults
{
    bool Designed = false;           // "Use Guardrail Design" was checked
    long double LateralBracing = 0;  // shown even when the design is off: the post length L
    long double Lambda = 0, KLr = 0; // L'/r and the effective slenderness of a single angle
    long double Fe = 0, Fcr = 0;     // ksi | MPa
    long double AllowableCompression = 0, Compression = 0; // Pn / 1.67 and P
    long double My = 0;                                    // Fy S
    long double YieldMoment = 0;                           // 1.5 My
    long double Me = 0;                          // elastic lateral-torsional buckling moment
    long double BucklingMoment = 0;              // Mn from lateral-torsional buckling
    long double AllowableMoment = 0, Moment = 0; // min(Mn, 1.5 My) / 1.67 and M = P L
    long double AllowableWeldY = 0, WeldY = 0, AllowableWeldX = 0, WeldX = 0;
    long double ThetaY = 0, ThetaX = 0; // load angles of the weld checks, rad

    // Verdicts: allowable >= applied.
    bool CompressionOK = false;
    bool MomentOK = false;
    bool WeldYOK = false;
    bool WeldXOK = false;
};

// Effective slenderness of a single angle from lambda = L/r: 72 + 0.75 lambda up to 80,
// 32 + 1.25 lambda above.
long double SingleAngleKLr(long double lambda);

// The guardrail design (last step of the analysis). With "Use Guardrail Design" unchecked
// it only sets the shown constants: LateralBracing = L and the two safety factors 1.67.
void DesignGuardrail(TTWData& project);

} // namespace tw
