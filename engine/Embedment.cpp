// Embedment: the equilibrium depth, the design margin and the pile length.
#include <cmath>

#include "engine/TWClasses.h"

namespace tw {

void TTWData::ComputeEmbedment()
{
    const long double H = ShoredHeight;
    UnbracedLength = H;

    long double De = 0;
    if (AnalysisMethod == TAnalysisMethod::amUserDefined) {
        De = 1.1L * H + IgnorePassiveHeight;
    } else {
        // Closed form: the moments of the active triangle over H + De and the passive
        // triangle over De balance about the toe; the further terms lengthen the pile for
        // the top load, the top moment (as a force over H) and the surcharge. The exponent
        // is the constant 0.333. R is the passive resistance per unit depth of one pile, on
        // the width the pile analysis loads (1 for a sheet pile, the flange of a driven
        // section), never on a stored diameter the window no longer shows.
        const long double u = UnitValue(1, 0.001L);
        const long double B = EffectivePileWidth();
        const long double R = u * B * WedgeMultiplier * PassiveEFP;
        if (Ka == 0)
            FailAnalysis("division by zero in the equilibrium depth De (Ka is 0, so Kp / Ka is"
                         " undefined)");
        const long double ratio = CheckedDiv(Kp, Ka, "the ratio Kp / Ka of the equilibrium depth");
        // With Kp / Ka at or below 1 the passive side never balances the active side: the
        // formula gives no depth (a division by zero at 1) or a negative one.
        if (!(ratio > 1))
            FailAnalysis("the passive resistance does not exceed the active pressure (Kp / Ka = " +
                         MessageNumber(ratio) + " <= 1, Kp = " + MessageNumber(Kp) + ", Ka = " + MessageNumber(Ka) +
                         ")");
        const long double denominator =
            CheckedPow(ratio, 0.333L, "(Kp / Ka)^0.333 of the equilibrium depth") - 1;
        if (denominator == 0)
            FailAnalysis("division by zero in the equilibrium depth De ((Kp / Ka)^0.333 - 1 is"
                         " 0)");
        if (R == 0)
            FailAnalysis("division by zero in the equilibrium depth De (passive resistance"
                         " R = B x WedgeMultiplier x PassiveEFP is 0, with the effective pile"
                         " width B = " +
                         MessageNumber(B) + ", WedgeMultiplier = " + MessageNumber(WedgeMultiplier) +
                         ", PassiveEFP = " + MessageNumber(PassiveEFP) + ")");
        if (H == 0)
            FailAnalysis("division by zero in the equilibrium depth De (the shored height H is"
                         " 0)");
        De = H / denominator + IgnorePassiveHeight + LateralLoadTop / R + (TopMoment / H) / R +
             u * Surcharge * Ka * H / R;
    }
    CheckedFinite(De, "the equilibrium depth De");
    // A pile that needs no embedment, or a negative one, is not a design: the loads at the top
    // (a negative top load or moment) outweigh the earth pressures.
    if (!(De > 0))
        FailAnalysis("the equilibrium depth De = " + MessageNumber(De) +
                     " is not positive: the passive resistance does not balance the loading");
    EquilibriumDepth = De;
    EmbedmentIncrease =
        AnalysisMethod == TAnalysisMethod::amNetPressure && AllowablePassive ? 0.05L * H : 0.4L * H;
    EmbedmentDepth = EquilibriumDepth + EmbedmentIncrease;
}

void TTWData::ComputePileLength()
{
    TotalPileLength = ShoredHeight + EmbedmentDepth;
    std::optional<TSteelShape> scratch;
    const TSteelShape& section = SelectedSection(scratch);
    BeamDiagonal = Reinforcement == TReinforcement::rfIBeam
                       ? std::sqrt(section.d * section.d + section.bf * section.bf)
                       : section.d;
}

} // namespace tw
