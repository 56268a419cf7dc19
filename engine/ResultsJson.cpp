#include "engine/ResultsJson.h"

#include <array>
#include <cstdint>
#include <limits>
#include <string>

#include "engine/ClassicalCheck.h"
#include "engine/JsonWriter.h"
#include "engine/SoilSprings.h"
#include "engine/SteelChecks.h"
#include "engine/TWClasses.h"
#include "engine/Verdicts.h"

namespace tw {

namespace {

// Keys as arrays, so their lengths are known when compiling.
template <std::size_t N> void Num(JsonWriter& w, const char (&key)[N], long double value)
{
    w.Key(std::string_view(key, N - 1));
    w.Number(value);
}

void Flag(JsonWriter& w, const char* key, bool value)
{
    w.Key(key);
    w.Bool(value);
}

// A verdict that the project does not show is null.
void Verdict(JsonWriter& w, const char* key, bool applies, bool passes)
{
    w.Key(key);
    if (applies)
        w.Bool(passes);
    else
        w.Null();
}

template <std::size_t N>
void WritePoints(JsonWriter& w, const char* key, const std::array<TPressurePoint, N>& points)
{
    w.Key(key);
    w.BeginArray();
    for (const TPressurePoint& point : points) {
        w.BeginObject(true);
        Num(w, "X", point.X);
        Num(w, "W", point.W);
        w.EndObject();
    }
    w.EndArray();
}

void WriteNodes(JsonWriter& w, const TTWData& p)
{
    w.Key("Nodes");
    w.BeginArray();
    for (const TPileNode& n : p.Nodes) {
        w.BeginObject(true);
        Num(w, "Depth", n.Depth);
        Num(w, "Pressure", n.Pressure);
        Num(w, "Load", n.Load);
        Num(w, "Shear", n.Shear);
        Num(w, "Moment", n.Moment);
        Num(w, "Slope", n.Slope);
        Num(w, "RelSlope", n.RelSlope);
        Num(w, "Deflection", n.Deflection);
        Num(w, "DeflectionOut", n.DeflectionOut);
        Num(w, "CutLoad", n.CutLoad);
        Num(w, "CutShear", n.CutShear);
        Num(w, "CutMoment", n.CutMoment);
        Num(w, "CutSlope", n.CutSlope);
        Num(w, "CutRelSlope", n.CutRelSlope);
        Num(w, "CutDeflection", n.CutDeflection);
        Num(w, "CutDeflectionOut", n.CutDeflectionOut);
        w.EndObject();
    }
    w.EndArray();
}

void WriteSteel(JsonWriter& w, const TTWData& p)
{
    const TSteelCheckResults& r = p.SteelCheckResults;
    const TSteelVerdicts v = SteelCheckVerdicts(p);
    w.Key("SteelCheckResults");
    w.BeginObject();
    Num(w, "TotalBeamLength", r.TotalBeamLength);
    Num(w, "DiagonalLength", r.DiagonalLength);
    Num(w, "Lp", r.Lp);
    Num(w, "Lr", r.Lr);
    Num(w, "AllowableMomentAbove", r.AllowableMomentAbove);
    Num(w, "AllowableMomentBelow", r.AllowableMomentBelow);
    Num(w, "MomentUtilization", r.MomentUtilization);
    Num(w, "AllowableShear", r.AllowableShear);
    Num(w, "ShearUtilization", r.ShearUtilization);
    Num(w, "AllowableAxial", r.AllowableAxial);
    Num(w, "AxialUtilization", r.AxialUtilization);
    Num(w, "Interaction", r.Interaction);
    Num(w, "SlendernessRatio", r.Slenderness);
    Num(w, "SheetSxRequired", r.SectionModulusRequired);
    Num(w, "SheetSxProvided", r.SectionModulusProvided);
    w.Key("RoundClass");
    if (v.RoundClassApplies)
        w.Text(RoundSectionClass(p));
    else
        w.Null();
    w.Key("HoleClearance");
    if (v.HoleFitApplies)
        w.Number(HoleClearance(p));
    else
        w.Null();
    w.Key("Verdicts");
    w.BeginObject();
    Verdict(w, "Deflection", true, v.Deflection);
    Verdict(w, "Moment", v.StrengthChecksApply, v.Moment);
    Verdict(w, "Shear", v.StrengthChecksApply, v.Shear);
    Verdict(w, "Axial", v.StrengthChecksApply, v.Axial);
    Verdict(w, "Interaction", v.StrengthChecksApply, v.Interaction);
    Verdict(w, "Slenderness", v.StrengthChecksApply, v.Slenderness);
    Verdict(w, "HoleFit", v.HoleFitApplies, v.HoleFit);
    Verdict(w, "RoundClass", v.RoundClassApplies, v.RoundClass);
    Verdict(w, "SheetSection", v.SectionModulusApplies, v.SectionModulus);
    w.EndObject();
    w.EndObject();
}

void WriteRebarCage(JsonWriter& w, const TTWData& p)
{
    const TRebarCageResults& r = p.RebarCageResults;
    const bool cage = p.Reinforcement == TReinforcement::rfRebarCage;
    w.Key("RebarCageResults");
    w.BeginObject();
    Num(w, "ReinforcementRatio", r.ReinforcementRatio);
    Num(w, "CalculatedSpacing", r.CalculatedSpacing);
    Num(w, "TieSpacingOverride", p.TieSpacingOverride);
    w.Key("SpacingMessage");
    w.Text(r.SpacingMessage);
    Num(w, "Beta1", r.Beta1);
    Num(w, "PhiPnMax", r.PhiPnMax);
    Num(w, "PhiPnT", r.PhiPnT);
    Num(w, "PhiMn0", r.PhiMn0);
    Num(w, "Pu", r.Pu);
    Num(w, "Mu", r.Mu);
    Num(w, "PhiMnAtPu", r.PhiMnAtPu);
    Num(w, "AxialUtilization", r.AxialUtilization);
    Num(w, "MomentUtilization", r.MomentUtilization);
    w.Key("Verdicts");
    w.BeginObject();
    Verdict(w, "Axial", cage, r.AxialOK);
    Verdict(w, "Moment", cage, r.MomentOK);
    Verdict(w, "Spacing", cage, r.SpacingOK);
    w.EndObject();
    w.Key("InteractionPoints");
    w.BeginArray();
    for (const TInteractionPoint& q : p.InteractionPoints) {
        w.BeginObject(true);
        Num(w, "c", q.c);
        Num(w, "Eps1", q.eps1);
        Num(w, "Fs1", q.fs1);
        Num(w, "Eps2", q.eps2);
        Num(w, "Fs2", q.fs2);
        Num(w, "Eps3", q.eps3);
        Num(w, "Fs3", q.fs3);
        Num(w, "Theta", q.theta);
        Num(w, "a", q.a);
        Num(w, "Ac", q.Ac);
        Num(w, "Fc", q.Fc);
        Num(w, "yc", q.yc);
        Num(w, "Ft", q.Ft);
        Num(w, "yt", q.yt);
        Num(w, "Phi", q.phi);
        Num(w, "PhiPn", q.phiPn);
        Num(w, "PhiMn", q.phiMn);
        w.EndObject();
    }
    w.EndArray();
    w.EndObject();
}

void WriteLagging(JsonWriter& w, const TTWData& p)
{
    const TLaggingResults& r = p.LaggingResults;
    w.Key("LaggingResults");
    if (!r.Designed) {
        w.Null();
        return;
    }
    const bool timber = p.LaggingType == TLaggingType::ltTimber;
    const bool sized = timber || p.LaggingType == TLaggingType::ltSteelPlate;
    w.BeginObject();
    Num(w, "SoilPressure", r.SoilPressure);
    Num(w, "Moment", r.Moment);
    Num(w, "SreqSteel", r.RequiredSectionModulus);
    w.Key("SizeText");
    w.Text(r.SizeText);
    w.Key("Timber");
    if (timber) {
        w.BeginObject();
        Num(w, "Moment", r.Moment);
        Num(w, "Shear", r.Shear);
        Num(w, "FbAdjusted", r.AdjustedFb);
        Num(w, "fbActual", r.ActualFb);
        Num(w, "FvAdjusted", r.AdjustedFv);
        Num(w, "fvActual", r.ActualFv);
        Num(w, "Deflection", r.Deflection);
        Num(w, "DeflectionLimit", r.AllowableDeflection);
        w.EndObject();
    } else {
        w.Null();
    }
    w.Key("ConcreteText");
    w.Text(r.ConcreteText);
    w.Key("MaterialText");
    w.Text(r.MaterialText);
    w.Key("Verdicts");
    w.BeginObject();
    Verdict(w, "Size", sized, r.SizeOK);
    Verdict(w, "Bending", timber, r.BendingOK);
    Verdict(w, "Shear", timber, r.ShearOK);
    Verdict(w, "Deflection", timber, r.DeflectionOK);
    Verdict(w, "Concrete", p.LaggingType == TLaggingType::ltConcrete, r.ConcreteOK);
    w.EndObject();
    w.EndObject();
}

// The one list of verdicts: every check that applies to the wall, and whether all pass.
void WriteChecks(JsonWriter& w, const TTWData& p)
{
    const TVerdicts verdicts = WallVerdicts(p);
    w.Key("Checks");
    w.BeginArray();
    for (const TVerdict& v : verdicts.items) {
        if (!v.applies)
            continue;
        w.BeginObject();
        w.Key("Check");
        w.String(v.key);
        w.Key("Caption");
        w.String(v.caption);
        w.Key("Passes");
        w.Bool(v.passes);
        Num(w, "Utilization", v.utilization);
        w.EndObject();
    }
    w.EndArray();
    w.Key("AllChecksPass");
    w.Bool(verdicts.AllPass());
}

// The classical second opinion beside the design values (ClassicalCheck.h).
void WriteClassicalCheck(JsonWriter& w, const TTWData& p)
{
    const TClassicalCheck c = ComputeClassicalCheck(p);
    w.Key("ClassicalCheck");
    w.BeginObject();
    w.Key("Applicable");
    w.Bool(c.Applicable);
    if (!c.Applicable) {
        w.Key("Reason");
        w.String(c.Reason);
    } else {
        Num(w, "D0", c.D0);
        Num(w, "EmbedmentDepth", c.EmbedmentDepth);
        Num(w, "EmbedmentFactor", kClassicalEmbedmentFactor);
        Num(w, "ZeroShearDepth", c.ZeroShearDepth);
        Num(w, "MaxMoment", c.MaxMoment);
        Num(w, "PassiveWidth", c.PassiveWidth);
        Num(w, "EmbedmentRatio", c.EmbedmentRatio);
        // null when the design has no moment below grade to compare with
        Num(w, "MomentRatio",
            c.HasMomentRatio ? c.MomentRatio : std::numeric_limits<long double>::quiet_NaN());
        w.Key("Warning");
        w.Bool(c.Warning);
    }
    w.EndObject();
}

// The soil-spring second opinion beside the design values (SoilSprings.h).
void WriteSoilSprings(JsonWriter& w, const TTWData& p)
{
    const TSoilSpringAnalysis a = ComputeSoilSpringAnalysis(p);
    w.Key("SoilSpringAnalysis");
    w.BeginObject();
    w.Key("Applicable");
    w.Bool(a.Applicable);
    if (!a.Applicable) {
        w.Key("Reason");
        w.String(a.Reason);
        w.EndObject();
        return;
    }
    w.Key("SoilClass");
    w.String(SubgradeClassName(a.SoilClass));
    w.Key("ModulusSource");
    w.String(a.UserModulus ? "user" : "Terzaghi (1955)");
    Num(w, "Modulus", a.Modulus);
    Num(w, "TopDeflection", a.TopDeflection);
    Num(w, "MaxMoment", a.MaxMoment);
    Num(w, "MaxMomentDepth", a.MaxMomentDepth);
    Num(w, "MaxShear", a.MaxShear);
    Num(w, "MaxShearDepth", a.MaxShearDepth);
    Num(w, "PassiveMobilized", a.PassiveMobilized);
    w.Key("Iterations");
    w.Integer(a.Iterations);
    w.Key("Elements");
    w.Integer(a.Elements);
    w.Key("Nodes");
    w.BeginArray();
    for (const TSoilSpringNode& n : a.Nodes) {
        w.BeginObject(true);
        Num(w, "Depth", n.Depth);
        Num(w, "Deflection", n.Deflection);
        Num(w, "Slope", n.Slope);
        Num(w, "Shear", n.Shear);
        Num(w, "Moment", n.Moment);
        Num(w, "Load", n.Load);
        w.EndObject();
    }
    w.EndArray();
    w.EndObject();
}

void WriteGuardrail(JsonWriter& w, const TTWData& p)
{
    const TGuardrailResults& r = p.GuardrailResults;
    w.Key("GuardrailResults");
    if (!r.Designed) {
        w.Null();
        return;
    }
    w.BeginObject();
    Num(w, "CompressionAllowable", r.AllowableCompression);
    Num(w, "CompressionApplied", r.Compression);
    Num(w, "YieldMoment", r.YieldMoment);
    Num(w, "BucklingMoment", r.BucklingMoment);
    Num(w, "MomentAllowable", r.AllowableMoment);
    Num(w, "MomentApplied", r.Moment);
    Num(w, "WeldYAllowable", r.AllowableWeldY);
    Num(w, "WeldYApplied", r.WeldY);
    Num(w, "WeldXAllowable", r.AllowableWeldX);
    Num(w, "WeldXApplied", r.WeldX);
    w.Key("Verdicts");
    w.BeginObject();
    Flag(w, "Compression", r.CompressionOK);
    Flag(w, "Moment", r.MomentOK);
    Flag(w, "WeldY", r.WeldYOK);
    Flag(w, "WeldX", r.WeldXOK);
    w.EndObject();
    w.EndObject();
}

} // namespace

std::string ResultsToJson(const TTWData& p, std::span<const TAdjustedInput> adjusted)
{
    std::string out;
    out.reserve(64 * 1024);
    JsonWriter w(out, false);
    w.BeginObject();
    w.Key("format");
    w.String(kResultsJsonFormat);
    w.Key("version");
    w.Integer(kResultsJsonVersion);
    w.Key("Units");
    w.Integer(static_cast<int64_t>(p.Units));
    w.Key("AdjustedInputs");
    w.BeginArray();
    for (const TAdjustedInput& a : adjusted) {
        w.BeginObject(true);
        w.Key("Name");
        w.String(a.name);
        w.Key("Caption");
        w.String(a.caption);
        Num(w, "Given", a.given);
        Num(w, "Used", a.used);
        w.Key("Rule");
        w.String(a.rule);
        w.EndObject();
    }
    w.EndArray();

    Num(w, "PlanEdgeOffset", p.PlanEdgeOffset);
    Num(w, "Ka", p.Ka);
    Num(w, "Kp", p.Kp);
    Num(w, "Ka2", p.Ka2);
    Num(w, "ActiveEFP", p.ActiveEFP);
    Num(w, "PassiveEFP", p.PassiveEFP);
    Num(w, "Active2EFP", p.Active2EFP);
    Num(w, "MaxPassivePressure", p.MaxPassivePressure);
    Num(w, "StripTop", p.StripTop);
    Num(w, "StripLateralPressure", p.StripLateralPressure);
    Num(w, "StripMoment", p.StripMoment);
    Num(w, "SeismicMoment", p.SeismicMoment);
    Num(w, "TopMoment", p.TopMoment);
    Num(w, "EquilibriumDepth", p.EquilibriumDepth);
    Num(w, "EmbedmentIncrease", p.EmbedmentIncrease);
    Num(w, "EmbedmentDepth", p.EmbedmentDepth);
    Num(w, "TotalPileLength", p.TotalPileLength);
    Num(w, "UnbracedLength", p.UnbracedLength);
    Num(w, "BeamDiagonal", p.BeamDiagonal);
    Num(w, "PierInertia", p.PierInertia);
    Num(w, "ConcreteModulus", p.ConcreteModulus);
    Num(w, "SectionInertia", p.SectionInertia);
    Num(w, "StiffnessAbove", p.StiffnessAbove);
    Num(w, "StiffnessBelow", p.StiffnessBelow);
    Num(w, "NodeSpacing", p.NodeSpacing);
    Num(w, "EffectivePileWidth", p.EffectivePileWidth());
    Num(w, "PileSpacing", p.PileSpacing);

    WritePoints(w, "LoadPoints", p.LoadPoints);
    WritePoints(w, "PassivePoints", p.PassivePoints);
    WriteNodes(w, p);

    Num(w, "MaxShear", p.MaxShear);
    Num(w, "MaxShearDepth", p.MaxShearDepth);
    w.Key("MaxShearNode");
    w.Integer(p.MaxShearNode);
    Num(w, "MaxMomentAbove", p.MaxMomentAbove);
    Num(w, "MaxMomentAboveDepth", p.MaxMomentAboveDepth);
    w.Key("MaxMomentAboveNode");
    w.Integer(p.MaxMomentAboveNode);
    Num(w, "MaxMomentBelow", p.MaxMomentBelow);
    Num(w, "MaxMomentBelowDepth", p.MaxMomentBelowDepth);
    w.Key("MaxMomentBelowNode");
    w.Integer(p.MaxMomentBelowNode);
    Num(w, "TopDeflection", p.TopDeflection);

    WriteSteel(w, p);
    WriteRebarCage(w, p);
    WriteLagging(w, p);
    WriteGuardrail(w, p);
    WriteChecks(w, p);
    WriteClassicalCheck(w, p);
    WriteSoilSprings(w, p);
    w.EndObject();
    w.Finish();
    return out;
}

} // namespace tw
