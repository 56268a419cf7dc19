// Developer tool: analyses a few hundred generated walls and prints every result of each, with
// extended values in exact hexadecimal, so that two builds of the engine can be compared bit
// for bit (build this tool at both revisions and diff the outputs). The walls vary every
// selection: units, methods, pile types, reinforcements, lagging, guardrail and the loads.
//
//   tw_golden_dump [count] > dump.txt
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "engine/ProjectJson.h"
#include "engine/TWClasses.h"
#include "support/RandomWalls.h"

using namespace tw;

namespace {

void Value(const char* name, long double v)
{
    std::printf(" %s=%La", name, v);
}
void Value(const char* name, bool v)
{
    std::printf(" %s=%d", name, v ? 1 : 0);
}
void Value(const char* name, int v)
{
    std::printf(" %s=%d", name, v);
}
void Value(const char* name, const std::string& v)
{
    std::printf(" %s=\"%s\"", name, v.c_str());
}

#define V(s, f) Value(#f, (s).f)

void DumpResults(const TTWData& p)
{
    V(p, PlanEdgeOffset);
    V(p, Ka);
    V(p, Kp);
    V(p, Ka2);
    V(p, ActiveEFP);
    V(p, PassiveEFP);
    V(p, Active2EFP);
    V(p, MaxPassivePressure);
    V(p, StripTop);
    V(p, StripLateralPressure);
    V(p, StripMoment);
    V(p, SeismicMoment);
    V(p, TopMoment);
    V(p, EquilibriumDepth);
    V(p, EmbedmentIncrease);
    V(p, EmbedmentDepth);
    V(p, TotalPileLength);
    V(p, UnbracedLength);
    V(p, BeamDiagonal);
    V(p, PierInertia);
    V(p, ConcreteModulus);
    V(p, SectionInertia);
    V(p, StiffnessAbove);
    V(p, StiffnessBelow);
    V(p, NodeSpacing);
    V(p, MaxShear);
    V(p, MaxShearDepth);
    V(p, MaxShearNode);
    V(p, MaxMomentAbove);
    V(p, MaxMomentAboveDepth);
    V(p, MaxMomentAboveNode);
    V(p, MaxMomentBelow);
    V(p, MaxMomentBelowDepth);
    V(p, MaxMomentBelowNode);
    V(p, TopDeflection);
    V(p, TieSpacingOverride);
    std::printf("\n points");
    for (const TPressurePoint& q : p.LoadPoints) {
        V(q, X);
        V(q, W);
    }
    for (const TPressurePoint& q : p.PassivePoints) {
        V(q, X);
        V(q, W);
    }
    std::printf("\n nodes");
    for (const TPileNode& n : p.Nodes) {
        V(n, Depth);
        V(n, Pressure);
        V(n, Load);
        V(n, Shear);
        V(n, Moment);
        V(n, Slope);
        V(n, RelSlope);
        V(n, Deflection);
        V(n, DeflectionOut);
        V(n, CutLoad);
        V(n, CutShear);
        V(n, CutMoment);
        V(n, CutSlope);
        V(n, CutRelSlope);
        V(n, CutDeflection);
        V(n, CutDeflectionOut);
    }
    std::printf("\n steel");
    const TSteelCheckResults& s = p.SteelCheckResults;
    V(s, TotalBeamLength);
    V(s, DiagonalLength);
    V(s, Lr);
    V(s, Lp);
    V(s, AllowableMomentAbove);
    V(s, AllowableMomentBelow);
    V(s, MomentUtilization);
    V(s, AllowableShear);
    V(s, ShearUtilization);
    V(s, AllowableAxial);
    V(s, AxialUtilization);
    V(s, Interaction);
    V(s, Slenderness);
    V(s, SectionModulusProvided);
    V(s, SectionModulusRequired);
    const TSteelVerdicts& sv = s.Verdicts;
    V(sv, Deflection);
    V(sv, Moment);
    V(sv, Shear);
    V(sv, Axial);
    V(sv, Interaction);
    V(sv, Slenderness);
    V(sv, HoleFit);
    V(sv, RoundClass);
    V(sv, SectionModulus);
    V(sv, StrengthChecksApply);
    V(sv, HoleFitApplies);
    V(sv, RoundClassApplies);
    V(sv, SectionModulusApplies);
    Value("HoleClearance", HoleClearance(p));
    Value("RoundSectionClass", RoundSectionClass(p));
    const TFlexureCheck& f = p.FlexureCheck;
    V(f, J);
    V(f, ho);
    V(f, Lp);
    V(f, rts);
    V(f, Lr);
    V(f, Lb);
    V(f, Zx);
    V(f, Sx);
    V(f, Omega);
    V(f, AllowableMomentAbove);
    const TAxialCheck& a = p.AxialCheck;
    V(a, KLr);
    V(a, A);
    V(a, Fe);
    V(a, AllowableAxial);
    std::printf("\n cage");
    for (const TInteractionPoint& q : p.InteractionPoints) {
        V(q, c);
        V(q, eps1);
        V(q, fs1);
        V(q, eps2);
        V(q, fs2);
        V(q, eps3);
        V(q, fs3);
        V(q, theta);
        V(q, a);
        V(q, Ac);
        V(q, Fc);
        V(q, yc);
        V(q, Ft);
        V(q, yt);
        V(q, phi);
        V(q, phiPn);
        V(q, phiMn);
        V(q, Defined);
    }
    const TRebarCageResults& r = p.RebarCageResults;
    V(r, ReinforcementRatio);
    V(r, CalculatedSpacing);
    V(r, Beta1);
    V(r, PhiPnMax);
    V(r, PhiPnT);
    V(r, PhiMn0);
    V(r, Pu);
    V(r, Mu);
    V(r, PhiMnAtPu);
    V(r, AxialUtilization);
    V(r, MomentUtilization);
    V(r, AxialUtilizationNA);
    V(r, MomentUtilizationNA);
    V(r, AxialOK);
    V(r, MomentOK);
    V(r, Point0Steps);
    V(r, Point0Converged);
    V(r, Defined);
    V(r, SpacingMessage);
    V(r, SpacingOK);
    std::printf("\n lagging");
    const TLaggingResults& l = p.LaggingResults;
    V(l, Designed);
    V(l, ClearSpan);
    V(l, SoilPressure);
    V(l, Moment);
    V(l, RequiredSectionModulus);
    V(l, Shear);
    V(l, AdjustedFb);
    V(l, ActualFb);
    V(l, AdjustedFv);
    V(l, ActualFv);
    V(l, Deflection);
    V(l, AllowableDeflection);
    V(l, RB);
    V(l, CL);
    V(l, TimberIndex);
    V(l, SizeText);
    V(l, ConcreteText);
    V(l, MaterialText);
    V(l, SizeOK);
    V(l, BendingOK);
    V(l, ShearOK);
    V(l, DeflectionOK);
    std::printf("\n guardrail");
    const TGuardrailResults& g = p.GuardrailResults;
    V(g, Designed);
    V(g, LateralBracing);
    V(g, Lambda);
    V(g, KLr);
    V(g, Fe);
    V(g, Fcr);
    V(g, AllowableCompression);
    V(g, Compression);
    V(g, My);
    V(g, YieldMoment);
    V(g, Me);
    V(g, BucklingMoment);
    V(g, AllowableMoment);
    V(g, Moment);
    V(g, AllowableWeldY);
    V(g, WeldY);
    V(g, AllowableWeldX);
    V(g, WeldX);
    V(g, ThetaY);
    V(g, ThetaX);
    V(g, CompressionOK);
    V(g, MomentOK);
    V(g, WeldYOK);
    V(g, WeldXOK);
    std::printf("\n");
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

int main(int argc, char* argv[])
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 600;
    const std::string examples = std::string(TW_SOURCE_DIR) + "/resources/examples/";
    const std::string english = ReadText(examples + "ENGLISH UNITS EXAMPLE.json");
    const std::string si = ReadText(examples + "SI UNITS EXAMPLE.json");
    std::mt19937 rng(20261209);
    for (int k = 0; k < count; ++k) {
        TTWData p = test::RandomWall(rng, english, si);
        std::printf("wall %d", k);
        try {
            p.Analyze();
            std::printf(" ok\n");
        } catch (const std::exception& e) {
            std::printf(" failed: %s\n", e.what());
        }
        DumpResults(p);
    }
    return 0;
}
