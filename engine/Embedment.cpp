#include "engine/Embedment.h"

#include <cmath>

#include "engine/TWClasses.h"

namespace tw {

void ComputeEmbedment(TTWData& project)
{
    const long double H = project.ShoredHeight;
    project.UnbracedLength = H;

    long double De = 0;
    if (project.AnalysisMethod == TAnalysisMethod::amUserDefined) {
        De = 1.1L * H + project.IgnorePassiveHeight;
    } else {
        // Closed form: the moments of the active triangle over H + De and the passive
        // triangle over De balance about the toe; the further terms lengthen the pile for
        // the top load, the top moment (as a force over H) and the surcharge. The exponent
        // is the constant 0.333. R is the passive resistance per unit depth of one pile, on
        // the width the pile analysis loads (1 for a sheet pile, the flange of a driven
        // section), never on a stored diameter the window no longer shows.
        const long double u = project.UnitValue(1, 0.001L);
        const long double B = project.EffectivePileWidth();
        const long double R = u * B * project.WedgeMultiplier * project.PassiveEFP;
        if (project.Ka == 0)
            FailAnalysis("division by zero in the equilibrium depth De (Ka is 0, so Kp / Ka is"
                         " undefined)");
        const long double ratio =
            CheckedDiv(project.Kp, project.Ka, "the ratio Kp / Ka of the equilibrium depth");
        // With Kp / Ka at or below 1 the passive side never balances the active side: the
        // formula gives no depth (a division by zero at 1) or a negative one.
        if (!(ratio > 1))
            FailAnalysis("the passive resistance does not exceed the active pressure (Kp / Ka = " +
                         MessageNumber(ratio) + " <= 1, Kp = " + MessageNumber(project.Kp) +
                         ", Ka = " + MessageNumber(project.Ka) + ")");
        const long double denominator =
            CheckedPow(ratio, 0.333L, "(Kp / Ka)^0.333 of the equilibrium depth") - 1;
        if (denominator == 0)
            FailAnalysis("division by zero in the equilibrium depth De ((Kp / Ka)^0.333 - 1 is"
                         " 0)");
        if (R == 0)
            FailAnalysis("division by zero in the equilibrium depth De (passive resistance"
                         " R = B x WedgeMultiplier x PassiveEFP is 0, with the effective pile"
                         " width B = " +
                         MessageNumber(B) +
                         ", WedgeMultiplier = " + MessageNumber(project.WedgeMultiplier) +
                         ", PassiveEFP = " + MessageNumber(project.PassiveEFP) + ")");
        if (H == 0)
            FailAnalysis("division by zero in the equilibrium depth De (the shored height H is"
                         " 0)");
        De = H / denominator + project.IgnorePassiveHeight + project.LateralLoadTop / R +
             (project.TopMoment / H) / R + u * project.Surcharge * project.Ka * H / R;
    }
    CheckedFinite(De, "the equilibrium depth De");
    // A pile that needs no embedment, or a negative one, is not a design: the loads at the top
    // (a negative top load or moment) outweigh the earth pressures.
    if (!(De > 0))
        FailAnalysis("the equilibrium depth De = " + MessageNumber(De) +
                     " is not positive: the passive resistance does not balance the loading");
    project.EquilibriumDepth = De;
    project.EmbedmentIncrease =
        project.AnalysisMethod == TAnalysisMethod::amNetPressure && project.AllowablePassive
            ? 0.05L * H
            : 0.4L * H;
    project.EmbedmentDepth = project.EquilibriumDepth + project.EmbedmentIncrease;
    // A pile more than a thousand times as long as the height it shores is no design: the loads
    // are far beyond anything the wall carries, and its results could not be drawn or printed.
    const long double length = H + project.EmbedmentDepth;
    if (!(length <= kMaxPileLengthToHeight * H)) {
        const char* unit = project.Units == TUnitSystem::usSI ? " m" : " ft";
        FailAnalysis("the pile length H + D = " + MessageNumber(length) + unit + " is more than " +
                     MessageNumber(kMaxPileLengthToHeight) +
                     " times the shored height H = " + MessageNumber(H) + unit +
                     ": the loads are far larger than this wall can carry (check the top load, "
                     "the moments and the surcharges)");
    }
}

void ComputePileLength(TTWData& project)
{
    project.TotalPileLength = project.ShoredHeight + project.EmbedmentDepth;
    std::optional<TSteelShape> scratch;
    const TSteelShape& section = project.SelectedSection(scratch);
    project.BeamDiagonal = project.Reinforcement == TReinforcement::rfIBeam
                               ? std::sqrt(section.d * section.d + section.bf * section.bf)
                               : section.d;
}

} // namespace tw
