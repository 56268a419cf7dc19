// The pile analysis: stiffness, the 64-node grid, the first and cut passes integrated from the
// top by the trapezoid rule, fixity at the last node, and the maxima of the cut pass.
#include <cmath>
#include <cstring>
#include <numbers>

#include "TWClasses.h"

namespace tw {

namespace {

constexpr int kLastNode = kPileNodeCount - 1;
constexpr int kBaseNode = 30; // last node above the excavation base

// Slope and deflection re-referenced to the last node, taken as fixed; `out` is ft to in
// (or m to mm).
template <long double TPileNode::*Slope, long double TPileNode::*RelSlope,
          long double TPileNode::*Deflection, long double TPileNode::*DeflectionOut>
void FixAtLastNode(std::array<TPileNode, kPileNodeCount>& nodes, long double out, const char* what)
{
    const long double lastSlope = nodes[kLastNode].*Slope;
    long double relSlope = nodes[0].*Slope - lastSlope;
    long double deflection = 0;
    nodes[0].*RelSlope = relSlope;
    nodes[0].*Deflection = 0;
    for (int i = 1; i < kPileNodeCount; ++i) {
        TPileNode& n = nodes[i];
        const long double nRelSlope = n.*Slope - lastSlope;
        deflection = deflection + (nRelSlope + relSlope) / 2 * (n.Depth - nodes[i - 1].Depth);
        n.*RelSlope = nRelSlope;
        n.*Deflection = deflection;
        relSlope = nRelSlope;
    }
    const long double lastDeflection = CheckedFinite(deflection, what);
    for (TPileNode& n : nodes)
        n.*DeflectionOut = (n.*Deflection - lastDeflection) * out;
}

} // namespace

void TTWData::ComputeStiffness()
{
    const long double B = EffectivePileWidth();
    const long double pi = std::numbers::pi_v<long double>;
    if (Units == TUnitSystem::usSI) {
        PierInertia = 100.0L * 100.0L * 100.0L * 100.0L * pi * B * B * B * B / 64;
        ConcreteModulus = 4700 * CheckedSqrt(ConcreteStrength, "the concrete modulus (f'c is"
                                                               " negative)");
    } else {
        PierInertia = B * 12 * 12 * 12 * (pi * B * B * B / 32) * 6;
        ConcreteModulus =
            57000 * CheckedSqrt(1000 * ConcreteStrength, "the concrete modulus (f'c is negative)") /
            1000;
    }
    SectionInertia = GetSection().Ix;
    const long double k = UnitValue(100000, 144);
    StiffnessAbove = ElasticModulus * SectionInertia / k;
    NodeSpacing = ShoredHeight / 30;
    if (PileType != TPileType::ptSheetPile) {
        StiffnessBelow = PierInertia * ConcreteModulus / k;
        const bool concreteAbove = (Reinforcement == TReinforcement::rfRebarCage &&
                                    ShoredHeightFill == TShoredHeightFill::sfSlurry) ||
                                   (Reinforcement == TReinforcement::rfPipe && PipeFilled);
        if (concreteAbove)
            StiffnessAbove = StiffnessBelow;
    } else {
        StiffnessBelow = StiffnessAbove;
    }
    CheckedFinite(StiffnessAbove, "the pile stiffness above grade");
    CheckedFinite(StiffnessBelow, "the pile stiffness below grade");
}

void TTWData::ComputePileNodes()
{
    const long double H = ShoredHeight;
    const long double IP = IgnorePassiveHeight;
    const long double S = PileSpacing;

    // The grid: 30 steps over the shored height, the jump at the base (30/31), the ignored
    // passive height (31/32), then 10 steps of 0.04 H, 12 of H/24 and 8 of 0.0375 H.
    for (int i = 0; i <= kBaseNode; ++i)
        Nodes[i].Depth = static_cast<long double>(i) * H / 30;
    Nodes[31].Depth = H;
    Nodes[32].Depth = H + IP;
    for (int i = 33; i <= 43; ++i)
        Nodes[i].Depth = Nodes[32].Depth + static_cast<long double>(i - 33) * 0.04L * H;
    for (int i = 44; i <= 55; ++i)
        Nodes[i].Depth = Nodes[43].Depth + static_cast<long double>(i - 43) * H / 24;
    for (int i = 56; i <= kLastNode; ++i)
        Nodes[i].Depth = Nodes[55].Depth + static_cast<long double>(i - 55) * 0.0375L * H;

    const std::span<const TPressurePoint, 4> above(LoadPoints.data(), 4);
    const std::span<const TPressurePoint, 4> below(LoadPoints.data() + 4, 4);
    const std::span<const TPressurePoint, 4> passive(PassivePoints);

    TPileNode& top = Nodes[0];
    top.Pressure = LoadPoints[0].W;
    top.Load = top.Pressure * S;
    top.Shear = LateralLoadTop;
    top.Moment = TopMoment;
    top.Slope = 0;
    top.CutLoad = top.Load;
    top.CutShear = LateralLoadTop;
    top.CutMoment = TopMoment;
    top.CutSlope = 0;

    // The first pass. The running values stay in locals so that every node is written once
    // (80-bit loads and stores are costly). The cut pass starts from the same top values and
    // runs the same operations for as long as the first-pass moment stays positive, so over
    // that leading run its values are the first pass's, bit for bit: they are copied as bytes
    // once this pass is complete, and the cut pass proper starts at the first node where the
    // moment is not positive.
    long double load = top.Load, shear = top.Shear, moment = top.Moment, slope = 0;
    long double depth = 0;
    long double EI = StiffnessAbove;
    int cutStart = 1; // first node the cut pass still has to compute
    bool shared = true;
    for (int i = 1; i < kPileNodeCount; ++i) {
        if (i == 1 && StiffnessAbove == 0)
            FailAnalysis("division by zero in the pile slope (the stiffness above grade is 0:"
                         " check the elastic pile modulus and the section)");
        if (i == kBaseNode + 1) {
            EI = StiffnessBelow;
            if (EI == 0)
                FailAnalysis("division by zero in the pile slope (the stiffness below grade is"
                             " 0: check the pile width B and f'c)");
        }
        TPileNode& n = Nodes[i];
        const long double nDepth = n.Depth;
        long double pressure = 0;
        if (i <= kBaseNode)
            pressure = PressureAt(above, nDepth);
        else if (i == 31)
            pressure = LoadPoints[4].W;
        else if (i == 32)
            pressure = PressureAt(below, nDepth) + PassivePoints[0].W;
        else if (i <= 55)
            pressure = PressureAt(below, nDepth) + PressureAt(passive, nDepth);
        n.Pressure = pressure;
        const long double nLoad = pressure * S;
        n.Load = nLoad;

        const long double delta = nDepth - depth;
        const long double nShear = shear + (nLoad + load) / 2 * delta;
        const long double nMoment = moment + (nShear + shear) / 2 * delta;
        slope = slope - (nMoment + moment) / 2 * delta / EI;
        n.Shear = nShear;
        n.Moment = nMoment;
        n.Slope = slope;
        if (shared && nMoment > 0)
            cutStart = i + 1;
        else
            shared = false;
        load = nLoad;
        shear = nShear;
        moment = nMoment;
        depth = nDepth;
    }

    // The cut pass drops the pile wherever the first-pass moment is not positive; a node where
    // it is positive again restarts from zero shear and moment.
    for (int i = 1; i < cutStart; ++i) {
        TPileNode& n = Nodes[i];
        std::memcpy(&n.CutLoad, &n.Load, sizeof(long double));
        std::memcpy(&n.CutShear, &n.Shear, sizeof(long double));
        std::memcpy(&n.CutMoment, &n.Moment, sizeof(long double));
        std::memcpy(&n.CutSlope, &n.Slope, sizeof(long double));
    }
    const TPileNode& last = Nodes[cutStart - 1];
    long double cutLoad = last.CutLoad, cutShear = last.CutShear, cutMoment = last.CutMoment,
                cutSlope = last.CutSlope;
    depth = cutStart == 1 ? 0 : last.Depth;
    for (int i = cutStart; i < kPileNodeCount; ++i) {
        EI = i <= kBaseNode ? StiffnessAbove : StiffnessBelow;
        TPileNode& n = Nodes[i];
        const long double nDepth = n.Depth;
        const long double delta = nDepth - depth;
        long double nCutLoad = 0, nCutShear = 0, nCutMoment = 0;
        if (n.Moment > 0) {
            nCutLoad = n.Load;
            nCutShear = cutShear + (nCutLoad + cutLoad) / 2 * delta;
            nCutMoment = cutMoment + (nCutShear + cutShear) / 2 * delta;
            n.CutLoad = nCutLoad;
            n.CutShear = nCutShear;
            n.CutMoment = nCutMoment;
        } else {
            // Zeros (all bits clear) are copied rather than stored through the FPU.
            static constexpr long double zero = 0;
            std::memcpy(&n.CutLoad, &zero, sizeof zero);
            std::memcpy(&n.CutShear, &zero, sizeof zero);
            std::memcpy(&n.CutMoment, &zero, sizeof zero);
        }
        cutSlope = cutSlope - (nCutMoment + cutMoment) / 2 * delta / EI;
        n.CutSlope = cutSlope;
        cutLoad = nCutLoad;
        cutShear = nCutShear;
        cutMoment = nCutMoment;
        depth = nDepth;
    }
    // A non-finite value (an overflow) carries on into the slopes of every later node.
    CheckedFinite(slope, "the pile slope of the first pass");
    CheckedFinite(cutSlope, "the pile slope of the cut pass");

    const long double out = UnitValue(1000, 12);
    FixAtLastNode<&TPileNode::Slope, &TPileNode::RelSlope, &TPileNode::Deflection,
                  &TPileNode::DeflectionOut>(Nodes, out, "the pile deflection of the first pass");
    FixAtLastNode<&TPileNode::CutSlope, &TPileNode::CutRelSlope, &TPileNode::CutDeflection,
                  &TPileNode::CutDeflectionOut>(Nodes, out, "the pile deflection of the cut pass");
}

void TTWData::ComputeMaxima()
{
    // Largest and smallest cut shear; a node is taken only when strictly beyond the value so
    // far, so the first of equal values wins. The larger magnitude is the result, the positive
    // one on a tie. The largest cut moments above and below grade are found in the same sweep.
    long double largest = -2147483647.0L;
    long double smallest = 2147483647.0L;
    int largestNode = 0;
    int smallestNode = 0;
    long double momentAbove = -2147483647.0L;
    long double momentBelow = -2147483647.0L;
    int momentAboveNode = 0;
    int momentBelowNode = kBaseNode + 1;
    for (int i = 0; i < kPileNodeCount; ++i) {
        const TPileNode& n = Nodes[i];
        const long double shear = n.CutShear;
        if (shear > largest) {
            largest = shear;
            largestNode = i;
        }
        if (shear < smallest) {
            smallest = shear;
            smallestNode = i;
        }
        const long double moment = n.CutMoment;
        if (i <= kBaseNode) {
            if (moment > momentAbove) {
                momentAbove = moment;
                momentAboveNode = i;
            }
        } else if (moment > momentBelow) {
            momentBelow = moment;
            momentBelowNode = i;
        }
    }
    if (largest >= std::fabs(smallest)) {
        MaxShear = largest;
        MaxShearNode = largestNode;
    } else {
        MaxShear = smallest;
        MaxShearNode = smallestNode;
    }
    MaxShearDepth = Nodes[MaxShearNode].Depth;
    MaxMomentAbove = momentAbove;
    MaxMomentAboveNode = momentAboveNode;
    MaxMomentAboveDepth = Nodes[MaxMomentAboveNode].Depth;
    MaxMomentBelow = momentBelow;
    MaxMomentBelowNode = momentBelowNode;
    MaxMomentBelowDepth = Nodes[MaxMomentBelowNode].Depth;

    TopDeflection = std::fabs(Nodes[0].CutDeflectionOut);
}

} // namespace tw
