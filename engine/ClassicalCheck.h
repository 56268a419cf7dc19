// The classical second opinion: the simplified free-earth method of the Caltrans Trenching
// and Shoring Manual, the USS Steel Sheet Piling Design Manual and Das, run beside the
// design values of every wall. It changes none of the design values.
//
// The wall is taken per pile (per unit length of wall for sheet piles, where every width is
// 1). The loading diagram's pressure acts on the spacing S above the excavation base and on
// the pile width b below it; the strip load acts uniformly from its top down to the base and
// the seismic thrust as a force at its arm above the base, both on S. The passive pressure
// per unit width, 2c sqrt(Kp/FS) + PassiveEFP (x - H) from the top of the passive zone down,
// capped at MaxPassivePressure, acts on min(f b, S) without the wedge factor. D0 is the depth
// below the base at which the net moment about the toe vanishes (passive as the design has
// it); the embedment is 1.2 D0. The zero-shear depth and the maximum moment use the passive
// unfactored (FS 1), as Caltrans does.
#pragma once

#include <string>

namespace tw {

class TTWData;

struct TClassicalCheck
{
    bool Applicable = false;
    std::string Reason; // why not, when not applicable

    long double D0 = 0;             // ft | m below the excavation base
    long double EmbedmentDepth = 0; // EmbedmentFactor x D0
    long double ZeroShearDepth = 0; // ft | m below the excavation base
    long double MaxMoment = 0;      // k-ft | kN-m per pile (per unit length for sheets)
    long double EmbedmentRatio = 0; // classical / design embedment
    long double MomentRatio = 0;    // classical / design maximum moment below grade
    bool HasMomentRatio = false;    // false when the design moment below grade is <= 0
    bool Warning = false;           // either ratio above kClassicalWarningRatio
    long double PassiveWidth = 0;   // min(f b, S), ft | m (1 for sheet piles)
};

// Classical embedment is D0 times this factor (Caltrans: D = 1.2 D0, no safety factor).
inline constexpr long double kClassicalEmbedmentFactor = 1.2L;
// A ratio of classical to design value above this marks the wall for the engineer's attention.
inline constexpr long double kClassicalWarningRatio = 1.10L;
// The roots are sought down to this many shored heights below the top of the passive zone.
inline constexpr long double kClassicalDepthLimit = 10;

// The reason shown for User Defined pressures.
inline constexpr char kClassicalUserDefinedReason[] = "pressures typed by the user";

// Computes the check from the project's inputs and the analysis' coefficients (Ka, Ka2,
// equivalent fluid pressures, strip and seismic values) and compares it with the design
// values. Never throws; a case it cannot answer is not applicable, with the reason.
// Call it only after a successful Analyze.
TClassicalCheck ComputeClassicalCheck(const TTWData& project);

// The one-line explanation shown beside a warning, e.g. "The classical method gives 1.53 times
// the design moment below grade: check the design."
std::string ClassicalWarningText(const TClassicalCheck& check);

} // namespace tw
