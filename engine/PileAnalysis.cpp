#include "engine/PileAnalysis.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "engine/TWClasses.h"

namespace tw {

namespace {

constexpr int kLastNode = kPileNodeCount - 1;
constexpr int kBaseNode = 30;   // last node above the excavation base
constexpr int kPassiveTop = 32; // top of the passive zone, H + IP
constexpr int kLastLoaded = 55; // nodes below have no pressure

using TNodes = std::array<TPileNode, kPileNodeCount>;

// Loading or storing an 80-bit value through the x87 unit costs several times an addition, so
// the passes below are split into loops whose running values fit the unit's eight registers
// (spilled values cost a store and a load each), and a value known to equal one already in
// memory - a zero, the constant tail of the cut pass - is copied as bytes instead.
constexpr long double kZero = 0;

inline void CopyValue(long double& to, const long double& from)
{
    std::memcpy(&to, &from, sizeof(long double));
}

// Depths and diagram abscissas up to this size keep every difference between them finite.
constexpr long double kFiniteLimit = 1e4000L;

// The pressures of a three-segment diagram at nodes first..last by the rule of PressureAt: the
// segment each node reads is chosen first, then each run of nodes on one segment is evaluated
// with the segment's constants held in registers. store(i, p) receives each pressure in node
// order. Returns the first node whose segment has zero length (nothing is stored for it or
// after it), or last + 1. finiteDepths: every node depth is within kFiniteLimit.
template <typename TStore>
int DiagramPressures(const TNodes& nodes, std::span<const TPressurePoint, 4> points, int first,
                     int last, bool finiteDepths, TStore store)
{
    std::array<uint8_t, kPileNodeCount> segment;
    {
        const long double x2 = points[1].X;
        const long double x3 = points[2].X;
        for (int i = first; i <= last; ++i)
            segment[i] = static_cast<uint8_t>(TTWData::DiagramSegment(nodes[i].Depth, x2, x3));
    }
    for (int i = first; i <= last;) {
        const int s = segment[i];
        const TPressurePoint& a = points[s];
        const TPressurePoint& b = points[s + 1];
        if (b.X == a.X)
            return i;
        const long double aX = a.X;
        const long double aW = a.W;
        const long double rise = b.W - a.W;
        const long double length = b.X - a.X;
        if (rise == 0 && !std::isnan(length) && finiteDepths && std::fabs(aX) <= kFiniteLimit &&
            !(aW == 0 && std::signbit(aW))) {
            // A constant segment (the unused lower diagram of a net pressure wall, a capped
            // passive diagram): the numerator is a zero and aW plus a zero is aW itself.
            do
                store(i, aW);
            while (++i <= last && segment[i] == s);
            continue;
        }
        do
            store(i, TTWData::SegmentPressure(aW, rise, length, nodes[i].Depth - aX));
        while (++i <= last && segment[i] == s);
    }
    return last + 1;
}

// Slope and deflection re-referenced to the last node, taken as fixed; `out` is ft to in
// (or m to mm). The nodes after `tailFrom` have the slope of node tailFrom bit for bit (the
// cut pass below its cut), so their relative slope and deflection change are exactly zero:
// they are copied rather than computed.
template <long double TPileNode::*Slope, long double TPileNode::*RelSlope,
          long double TPileNode::*Deflection, long double TPileNode::*DeflectionOut>
void FixAtLastNode(TNodes& nodes, int tailFrom, long double out, const char* what)
{
    const long double lastSlope = nodes[kLastNode].*Slope;
    long double relSlope = nodes[0].*Slope - lastSlope;
    long double deflection = 0;
    long double depth = nodes[0].Depth;
    nodes[0].*RelSlope = relSlope;
    nodes[0].*Deflection = 0;
    for (int i = 1; i <= tailFrom; ++i) {
        TPileNode& n = nodes[i];
        const long double nDepth = n.Depth;
        const long double nRelSlope = n.*Slope - lastSlope;
        deflection = deflection + (nRelSlope + relSlope) / 2 * (nDepth - depth);
        n.*RelSlope = nRelSlope;
        n.*Deflection = deflection;
        relSlope = nRelSlope;
        depth = nDepth;
    }
    for (int i = tailFrom + 1; i < kPileNodeCount; ++i) {
        CopyValue(nodes[i].*RelSlope, kZero);
        CopyValue(nodes[i].*Deflection, nodes[tailFrom].*Deflection);
    }
    const long double lastDeflection = CheckedFinite(deflection, what);
    for (int i = 0; i < tailFrom; ++i)
        nodes[i].*DeflectionOut = (nodes[i].*Deflection - lastDeflection) * out;
    for (int i = tailFrom; i < kPileNodeCount; ++i)
        CopyValue(nodes[i].*DeflectionOut, kZero);
}

} // namespace

void ComputeStiffness(TTWData& project)
{
    const long double B = project.EffectivePileWidth();
    const long double pi = std::numbers::pi_v<long double>;
    if (project.Units == TUnitSystem::usSI) {
        project.PierInertia = 100.0L * 100.0L * 100.0L * 100.0L * pi * B * B * B * B / 64;
        project.ConcreteModulus =
            4700 * CheckedSqrt(project.ConcreteStrength, "the concrete modulus (f'c is"
                                                         " negative)");
    } else {
        project.PierInertia = B * 12 * 12 * 12 * (pi * B * B * B / 32) * 6;
        project.ConcreteModulus =
            57000 *
            CheckedSqrt(1000 * project.ConcreteStrength, "the concrete modulus (f'c is negative)") /
            1000;
    }
    project.SectionInertia = project.SectionValue(&TSteelShape::Ix);
    const long double k = project.UnitValue(100000, 144);
    project.StiffnessAbove = project.ElasticModulus * project.SectionInertia / k;
    project.NodeSpacing = project.ShoredHeight / 30;
    if (project.PileType != TPileType::ptSheetPile) {
        project.StiffnessBelow = project.PierInertia * project.ConcreteModulus / k;
        const bool concreteAbove =
            (project.Reinforcement == TReinforcement::rfRebarCage &&
             project.ShoredHeightFill == TShoredHeightFill::sfSlurry) ||
            (project.Reinforcement == TReinforcement::rfPipe && project.PipeFilled);
        if (concreteAbove)
            project.StiffnessAbove = project.StiffnessBelow;
    } else {
        project.StiffnessBelow = project.StiffnessAbove;
    }
    CheckedFinite(project.StiffnessAbove, "the pile stiffness above grade");
    CheckedFinite(project.StiffnessBelow, "the pile stiffness below grade");
}

void ComputePileNodes(TTWData& project)
{
    const long double H = project.ShoredHeight;
    const long double IP = project.IgnorePassiveHeight;
    const long double S = project.PileSpacing;

    // The grid: 30 steps over the shored height, the jump at the base (30/31), the ignored
    // passive height (31/32), then 10 steps of 0.04 H, 12 of H/24 and 8 of 0.0375 H.
    for (int i = 0; i <= kBaseNode; ++i)
        project.Nodes[i].Depth = static_cast<long double>(i) * H / 30;
    project.Nodes[31].Depth = H;
    project.Nodes[32].Depth = H + IP;
    for (int i = 33; i <= 43; ++i)
        project.Nodes[i].Depth =
            project.Nodes[32].Depth + static_cast<long double>(i - 33) * 0.04L * H;
    for (int i = 44; i <= 55; ++i)
        project.Nodes[i].Depth =
            project.Nodes[43].Depth + static_cast<long double>(i - 43) * H / 24;
    for (int i = 56; i <= kLastNode; ++i)
        project.Nodes[i].Depth =
            project.Nodes[55].Depth + static_cast<long double>(i - 55) * 0.0375L * H;

    TPileNode& top = project.Nodes[0];
    top.Pressure = project.LoadPoints[0].W;
    top.Load = top.Pressure * S;
    top.Shear = project.LateralLoadTop;
    top.Moment = project.TopMoment;
    top.Slope = 0;
    CopyValue(top.CutLoad, top.Load);
    top.CutShear = project.LateralLoadTop;
    top.CutMoment = project.TopMoment;
    top.CutSlope = 0;

    // Pressures and loads, node by node, as far as the first node where the analysis fails: a
    // zero stiffness above grade fails at node 1 before anything is computed, a zero-length
    // diagram segment at the first node that reads it, a zero stiffness below grade at node
    // 31. The first pass is completed up to that node before the failure is reported.
    const char* failure = nullptr;
    int end = kPileNodeCount;
    const bool finiteGrid = std::fabs(H) <= kFiniteLimit && std::fabs(IP) <= kFiniteLimit;
    const auto storeLoad = [&project, S](int i, long double pressure) {
        project.Nodes[i].Pressure = pressure;
        project.Nodes[i].Load = pressure * S;
    };
    const std::span<const TPressurePoint, 4> above(project.LoadPoints.data(), 4);
    const std::span<const TPressurePoint, 4> below(project.LoadPoints.data() + 4, 4);
    if (project.StiffnessAbove == 0) {
        failure = "division by zero in the pile slope (the stiffness above grade is 0: check the"
                  " elastic pile modulus and the section)";
        end = 1;
    } else if (const int f =
                   DiagramPressures(project.Nodes, above, 1, kBaseNode, finiteGrid, storeLoad);
               f <= kBaseNode) {
        failure = TTWData::kZeroSegmentMessage;
        end = f;
    } else if (project.StiffnessBelow == 0) {
        failure = "division by zero in the pile slope (the stiffness below grade is 0: check the"
                  " pile width B and f'c)";
        end = kBaseNode + 1;
    } else {
        storeLoad(31, project.LoadPoints[4].W);
        // The loading diagram below the base plus the passive diagram; the sum is stored only
        // for the nodes where both could be read.
        std::array<long double, kPileNodeCount> loading;
        const int f = DiagramPressures(project.Nodes, below, kPassiveTop, kLastLoaded, finiteGrid,
                                       [&loading](int i, long double p) { loading[i] = p; });
        const int fp = f <= kPassiveTop
                           ? f
                           : DiagramPressures(project.Nodes, project.PassivePoints, kPassiveTop + 1,
                                              f - 1, finiteGrid, [&](int i, long double p) {
                                                  storeLoad(i, loading[i] + p);
                                              });
        if (f > kPassiveTop)
            storeLoad(kPassiveTop, loading[kPassiveTop] + project.PassivePoints[0].W);
        if (fp <= kLastLoaded) { // fp is at most f: the first node that could not be read
            failure = TTWData::kZeroSegmentMessage;
            end = fp;
        } else {
            // No pressure below the diagrams' reach.
            CopyValue(project.Nodes[kLastLoaded + 1].Pressure, kZero);
            project.Nodes[kLastLoaded + 1].Load = 0 * S;
            for (int i = kLastLoaded + 2; i <= kLastNode; ++i) {
                CopyValue(project.Nodes[i].Pressure, kZero);
                CopyValue(project.Nodes[i].Load, project.Nodes[kLastLoaded + 1].Load);
            }
        }
    }

    // The first pass. The cut pass starts from the same top values and runs the same
    // operations for as long as the first-pass moment stays positive, so over that leading
    // run its values are the first pass's, bit for bit.
    int cutStart = 1; // first node the cut pass still has to compute
    long double slope = 0;
    {
        long double load = top.Load, shear = top.Shear, moment = top.Moment, depth = 0;
        long double EI = project.StiffnessAbove;
        bool shared = true;
        for (int i = 1; i < end; ++i) {
            if (i == kBaseNode + 1)
                EI = project.StiffnessBelow;
            TPileNode& n = project.Nodes[i];
            const long double nDepth = n.Depth;
            const long double nLoad = n.Load;
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
    }
    if (failure)
        FailAnalysis(failure);

    // The cut pass drops the pile wherever the first-pass moment is not positive; a node where
    // it is positive again restarts from zero shear and moment.
    for (int i = 1; i < cutStart; ++i) {
        TPileNode& n = project.Nodes[i];
        CopyValue(n.CutLoad, n.Load);
        CopyValue(n.CutShear, n.Shear);
        CopyValue(n.CutMoment, n.Moment);
        CopyValue(n.CutSlope, n.Slope);
    }
    std::array<bool, kPileNodeCount> dropped{}; // cut load, shear and moment are +0
    {
        const TPileNode& last = project.Nodes[cutStart - 1];
        long double cutLoad = last.CutLoad, cutShear = last.CutShear, cutMoment = last.CutMoment;
        for (int i = cutStart; i < kPileNodeCount; ++i) {
            TPileNode& n = project.Nodes[i];
            if (n.Moment > 0) {
                const long double nCutLoad = n.Load;
                const long double delta = n.Depth - (i == 1 ? 0 : project.Nodes[i - 1].Depth);
                const long double nCutShear = cutShear + (nCutLoad + cutLoad) / 2 * delta;
                const long double nCutMoment = cutMoment + (nCutShear + cutShear) / 2 * delta;
                CopyValue(n.CutLoad, n.Load);
                n.CutShear = nCutShear;
                n.CutMoment = nCutMoment;
                cutLoad = nCutLoad;
                cutShear = nCutShear;
                cutMoment = nCutMoment;
            } else {
                CopyValue(n.CutLoad, kZero);
                CopyValue(n.CutShear, kZero);
                CopyValue(n.CutMoment, kZero);
                dropped[i] = true;
                cutLoad = 0;
                cutShear = 0;
                cutMoment = 0;
            }
        }
    }
    // The cut slope. Between two dropped nodes the step adds (0 + 0) / 2 x delta / EI, a zero
    // (EI is finite and non-zero, checked with the stiffness; the depths are finite when
    // finiteGrid holds), and
    // subtracting a zero from a non-zero slope leaves it as it is: such a node copies the
    // slope of the one above. tailFrom ends as the last node whose slope was computed.
    long double cutSlope = project.Nodes[cutStart - 1].CutSlope;
    int tailFrom = cutStart - 1;
    {
        long double cutMoment = project.Nodes[cutStart - 1].CutMoment;
        long double depth = cutStart == 1 ? 0 : project.Nodes[cutStart - 1].Depth;
        for (int i = cutStart; i < kPileNodeCount; ++i) {
            TPileNode& n = project.Nodes[i];
            if (dropped[i] && dropped[i - 1] && cutSlope != 0 && finiteGrid) {
                CopyValue(n.CutSlope, project.Nodes[i - 1].CutSlope);
                continue;
            }
            const long double EI = i <= kBaseNode ? project.StiffnessAbove : project.StiffnessBelow;
            if (tailFrom != i - 1) // the node above was copied: its depth is not at hand
                depth = project.Nodes[i - 1].Depth;
            const long double nDepth = n.Depth;
            const long double nCutMoment = dropped[i] ? 0 : n.CutMoment;
            cutSlope = cutSlope - (nCutMoment + cutMoment) / 2 * (nDepth - depth) / EI;
            n.CutSlope = cutSlope;
            cutMoment = nCutMoment;
            depth = nDepth;
            tailFrom = i;
        }
    }
    // A non-finite value (an overflow) carries on into the slopes of every later node.
    CheckedFinite(slope, "the pile slope of the first pass");
    CheckedFinite(cutSlope, "the pile slope of the cut pass");

    const long double out = project.UnitValue(1000, 12);
    FixAtLastNode<&TPileNode::Slope, &TPileNode::RelSlope, &TPileNode::Deflection,
                  &TPileNode::DeflectionOut>(project.Nodes, kLastNode, out,
                                             "the pile deflection of the first pass");
    FixAtLastNode<&TPileNode::CutSlope, &TPileNode::CutRelSlope, &TPileNode::CutDeflection,
                  &TPileNode::CutDeflectionOut>(project.Nodes, tailFrom, out,
                                                "the pile deflection of the cut pass");
}

void ComputeMaxima(TTWData& project)
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
        const TPileNode& n = project.Nodes[i];
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
        project.MaxShear = largest;
        project.MaxShearNode = largestNode;
    } else {
        project.MaxShear = smallest;
        project.MaxShearNode = smallestNode;
    }
    project.MaxShearDepth = project.Nodes[project.MaxShearNode].Depth;
    project.MaxMomentAbove = momentAbove;
    project.MaxMomentAboveNode = momentAboveNode;
    project.MaxMomentAboveDepth = project.Nodes[project.MaxMomentAboveNode].Depth;
    project.MaxMomentBelow = momentBelow;
    project.MaxMomentBelowNode = momentBelowNode;
    project.MaxMomentBelowDepth = project.Nodes[project.MaxMomentBelowNode].Depth;

    project.TopDeflection = std::fabs(project.Nodes[0].CutDeflectionOut);
}

} // namespace tw
