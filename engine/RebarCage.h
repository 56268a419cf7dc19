// Rebar cage design of a drilled pier and its P-M interaction diagram.
//
// The pier is a circular reinforced concrete section. Its bars are lumped into three layers of
// a third of the steel each (at R - e, R and R + e from the compression face, e = rs cos 30°)
// and the diagram is found by strain compatibility with an equivalent stress block.
// Lengths are in in | mm, stresses in ksi | MPa, forces in kip | kN, moments in k-ft | kN-m.
#pragma once

#include <array>
#include <string>

namespace tw {

class TTWData;

// One point of the pier's P-M interaction diagram. An undefined point (the zero-axial-load
// search that did not converge, and the points placed from it) has Defined false and every
// value NaN.
struct TInteractionPoint
{
    long double c = 0;             // in | mm, neutral axis depth from the compression face
    long double eps1 = 0, fs1 = 0; // -, ksi | MPa; compression positive
    long double eps2 = 0, fs2 = 0;
    long double eps3 = 0, fs3 = 0;
    long double theta = 0;      // rad, half-angle of the compressed segment
    long double a = 0;          // in | mm, depth of the stress block
    long double Ac = 0;         // in2 | mm2, net concrete area in compression
    long double Fc = 0, yc = 0; // kip | kN, in | mm (lever arm from the centre)
    long double Ft = 0, yt = 0; // tension resultant (negative) and its lever arm
    long double phi = 0;
    long double phiPn = 0; // kip | kN
    long double phiMn = 0; // k-ft | kN-m
    bool Defined = true;
};
inline constexpr int kInteractionPointCount = 9;
// Steps the zero-axial-load search may take before point 0 is given up as undefined. From
// the start at D/3 the 0.5 % steps reach any neutral axis depth between D/3000 and 20 D in
// fewer steps; an ordinary section converges within a few hundred.
inline constexpr int kPoint0StepLimit = 2000;

struct TRebarCageResults
{
    long double ReinforcementRatio = 0; // %
    long double CalculatedSpacing = 0;  // in | mm
    long double Beta1 = 0;
    long double PhiPnMax = 0;  // kip | kN
    long double PhiPnT = 0;    // kip | kN, tension capacity (negative)
    long double PhiMn0 = 0;    // k-ft | kN-m, at zero axial load; NaN when point 0 is undefined
    long double Pu = 0;        // kip | kN
    long double Mu = 0;        // k-ft | kN-m
    long double PhiMnAtPu = 0; // k-ft | kN-m; +infinity outside the diagram
    // Utilizations in %. A utilization whose capacity is 0 or infinite is not applicable
    // (shown "N/A"): its NA flag is set and its value is NaN. A NaN capacity (undefined
    // point 0) gives a NaN utilization with the flag clear (shown "N.A.").
    long double AxialUtilization = 0;
    long double MomentUtilization = 0;
    bool AxialUtilizationNA = false;
    bool MomentUtilizationNA = false;
    // Verdicts: |Pu| <= |PhiPnMax| and |Mu| <= |PhiMnAtPu| (a NaN capacity fails).
    bool AxialOK = false;
    bool MomentOK = false;
    // The zero-axial-load search: steps taken and whether it met its tolerance.
    int Point0Steps = 0;
    bool Point0Converged = false;
    // False when an arithmetic failure ended the design (every result after the spacing
    // rule is then NaN and both verdicts fail).
    bool Defined = false;
    // Tie or spiral spacing: the message of the spacing label and its verdict.
    std::string SpacingMessage;
    bool SpacingOK = false;
};

// beta1 of the stress block for f'c in MPa: 0.85 - 0.05 (f'c - 28) / 7 within [0.65, 0.85].
long double RebarBeta1(long double fcMPa);
// The lateral reinforcement spacing the design calls for (in | mm): ties min(16 db, 48 dt, D),
// spirals 3.0 in | 75 mm.
long double CalculatedTieSpacing(const TTWData& project);
// The clear distance the vertical bars keep between them (in | mm): the larger of 1.5 bar
// diameters and 1.5 in | 40 mm.
long double MinimumBarClearSpacing(const TTWData& project);
// The most vertical bars that fit round the cage's bar circle at the minimum clear spacing
// (0 when not even two fit, or the bar circle has no radius).
int MaxBarsAroundCage(const TTWData& project);
// Fills every field of the point from its c, for the project's pier. Throws TAnalysisError on
// an arithmetic failure.
void ComputeInteractionPoint(const TTWData& project, TInteractionPoint& point);
// phiMn (k-ft | kN-m) at the factored axial load pu (kip | kN), by linear interpolation on the
// nine points of the project; +infinity outside the diagram, NaN where the diagram there is
// undefined.
long double MomentCapacityAt(const TTWData& project, long double pu);
// The whole design: spacing (updating TieSpacingOverride when it follows the calculation), the
// nine points and the checks of the factored loads. On an arithmetic failure the results are
// left undefined and the TAnalysisError propagates.
void DesignRebarCage(TTWData& project);
// The spacing rule alone (calculated spacing, the override that follows it, the message); the
// diagram and the checks are left undefined. The analysis runs this for a wall without a cage:
// the stored override keeps following the calculation, and a cage nobody sees can neither fail
// the analysis nor cost the time of its diagram.
void DesignRebarCageSpacing(TTWData& project);

} // namespace tw
