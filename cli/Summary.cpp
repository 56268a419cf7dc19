#include "Summary.h"

#include <cmath>
#include <cstdio>
#include <string_view>

#include "engine/Ansi.h"
#include "engine/ClassicalCheck.h"
#include "engine/Globals.h"
#include "engine/SoilSprings.h"
#include "engine/TWClasses.h"
#include "engine/Verdicts.h"

namespace tw::cli {

namespace {

struct UnitLabels
{
    const char* length;     // ft | m
    const char* small;      // in | mm
    const char* section;    // in | cm (section dimensions)
    const char* force;      // k | kN
    const char* moment;     // k-ft | kN-m
    const char* pressure;   // psf | kPa
    const char* weldStress; // ksi | MPa
};

constexpr UnitLabels kEnglish{"ft", "in", "in", "k", "k-ft", "psf", "ksi"};
constexpr UnitLabels kSI{"m", "mm", "cm", "kN", "kN-m", "kPa", "MPa"};

class Lines
{
public:
    void Heading(std::string_view text)
    {
        if (!Text_.empty())
            Text_ += '\n';
        Text_.append(text);
        Text_ += '\n';
    }

    void Value(std::string_view caption, long double value, std::string_view unit, int decimals = 2)
    {
        // Fixed point as the window writes it; from 1e15 on (no real wall's value) in exponent
        // form with six digits, never cut.
        const int significant = std::fabs(value) < 1e15L ? 20 : 6;
        const std::string number = std::isfinite(value)
                                       ? FormatFixed(value, decimals, significant, ".")
                                       : std::string("N.A.");
        Row(caption, number + (unit.empty() ? "" : " ") + std::string(unit));
    }

    void Check(std::string_view caption, long double value, std::string_view unit, bool passes,
               int decimals = 2)
    {
        Value(caption, value, unit, decimals);
        Text_.pop_back();
        Text_ += passes ? "  PASS\n" : "  FAIL\n";
    }

    // A text result with its verdict.
    void Verdict(std::string_view caption, std::string_view text, bool passes)
    {
        Row(caption, std::string(text) + (passes ? "  PASS" : "  FAIL"));
    }

    void Row(std::string_view caption, std::string_view value)
    {
        Text_ += "  ";
        Text_.append(caption);
        Text_.append(caption.size() < 34 ? 34 - caption.size() : 1, ' ');
        Text_.append(value);
        Text_ += '\n';
    }

    std::string Take() { return std::move(Text_); }

private:
    std::string Text_;
};

std::string Texts(std::string_view ansi)
{
    std::string text = AnsiToUtf8(ansi);
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    return text;
}

// Writes every section, each check with its verdict.
void Summarize(const TTWData& p, Lines& lines)
{
    const UnitLabels& u = p.Units == TUnitSystem::usSI ? kSI : kEnglish;

    lines.Heading("Project");
    if (!p.ProjectName.empty())
        lines.Row("Project Name", Texts(p.ProjectName));
    if (!p.JobNumber.empty())
        lines.Row("Job #", Texts(p.JobNumber));
    lines.Row("Units", ItemText(kUnitsItems, p.Units));
    lines.Row("Analysis Method", ItemText(kAnalysisMethodItems, p.AnalysisMethod));
    lines.Row("Pile Type", ItemText(kPileTypeItems, p.PileType));
    lines.Row("Installation Method", ItemText(kInstallMethodItems, p.InstallMethod));
    if (p.PileType != TPileType::ptSheetPile)
        lines.Row("Reinforcement", ItemText(kReinforcementItems, p.Reinforcement));
    if (p.Reinforcement != TReinforcement::rfRebarCage)
        lines.Row("Section", Texts(p.GetSection().Name));
    lines.Value("Shored Height, H", p.ShoredHeight, u.length);
    lines.Value("Pile Spacing, S", p.PileSpacing, u.length);

    lines.Heading("Embedment");
    lines.Value("Equilibrium Depth", p.EquilibriumDepth, u.length);
    lines.Value("Embedment Depth", p.EmbedmentDepth, u.length);
    lines.Value("Total Pile Length", p.TotalPileLength, u.length);

    lines.Heading("Pile analysis");
    lines.Value("Max. Shear", p.MaxShear, u.force);
    lines.Value("Max. Moment above Grade", p.MaxMomentAbove, u.moment);
    lines.Value("Max. Moment below Grade", p.MaxMomentBelow, u.moment);
    // Every verdict comes from the engine's one list, as the window's marks do.
    const TVerdicts verdicts = WallVerdicts(p);
    const auto passes = [&verdicts](TCheckId id) { return verdicts[id].passes; };
    const auto applies = [&verdicts](TCheckId id) { return verdicts[id].applies; };
    lines.Check("Top Deflection", p.TopDeflection, u.small, passes(TCheckId::MaxDeflection));
    lines.Value("Allow. Top of Pile Defl.", p.AllowableTopDeflection, u.small);

    const TSteelCheckResults& s = p.SteelCheckResults;
    if (applies(TCheckId::Moment) || applies(TCheckId::SectionModulus)) {
        lines.Heading("Steel member");
        if (applies(TCheckId::Moment)) {
            lines.Check("Moment Utilization", s.MomentUtilization, "%", passes(TCheckId::Moment),
                        1);
            lines.Check("Shear Utilization", s.ShearUtilization, "%", passes(TCheckId::Shear), 1);
            lines.Check("Axial Utilization", s.AxialUtilization, "%", passes(TCheckId::Axial), 1);
            lines.Check("Interaction", s.Interaction, "%", passes(TCheckId::Interaction), 1);
            lines.Check("Slenderness, kL/r", s.Slenderness, "", passes(TCheckId::Slenderness), 1);
        }
        if (applies(TCheckId::HoleFit))
            lines.Check("Clearance in the Hole", HoleClearance(p), u.section,
                        passes(TCheckId::HoleFit));
        if (applies(TCheckId::RoundClass)) {
            lines.Verdict("Section Class", RoundSectionClass(p), passes(TCheckId::RoundClass));
        }
        if (applies(TCheckId::SectionModulus))
            lines.Check("Section Modulus Required", s.SectionModulusRequired,
                        p.Units == TUnitSystem::usSI ? "cm3" : "in3",
                        passes(TCheckId::SectionModulus));
    }

    if (p.Reinforcement == TReinforcement::rfRebarCage) {
        const TRebarCageResults& r = p.RebarCageResults;
        lines.Heading("Rebar cage");
        lines.Value("Reinforcement Ratio", r.ReinforcementRatio, "%");
        lines.Check("Axial Utilization", r.AxialUtilization, "%", passes(TCheckId::RebarAxial), 1);
        lines.Check("Moment Utilization", r.MomentUtilization, "%", passes(TCheckId::RebarMoment),
                    1);
        lines.Verdict("Tie Spacing", Texts(r.SpacingMessage), passes(TCheckId::TieSpacing));
    }

    const TLaggingResults& l = p.LaggingResults;
    if (l.Designed) {
        lines.Heading("Lagging");
        lines.Value("Soil Pressure", l.SoilPressure, u.pressure);
        if (p.LaggingType == TLaggingType::ltConcrete) {
            lines.Verdict("Concrete Lagging", Texts(l.ConcreteText),
                          passes(TCheckId::LaggingConcrete));
        } else {
            lines.Verdict("Size", Texts(l.SizeText), passes(TCheckId::LaggingSize));
        }
        if (p.LaggingType == TLaggingType::ltTimber) {
            lines.Check("Bending, fb", l.ActualFb, p.Units == TUnitSystem::usSI ? "MPa" : "psi",
                        passes(TCheckId::LaggingBending));
            lines.Check("Shear, fv", l.ActualFv, p.Units == TUnitSystem::usSI ? "MPa" : "psi",
                        passes(TCheckId::LaggingShear));
            lines.Check("Deflection", l.Deflection, u.small, passes(TCheckId::LaggingDeflection),
                        3);
        }
    }

    const TGuardrailResults& g = p.GuardrailResults;
    if (g.Designed) {
        lines.Heading("Guardrail");
        lines.Row("Shape", Texts(p.SelectedGuardrailShape().Name));
        lines.Check("Compression", g.Compression, u.force, passes(TCheckId::GuardrailCompression),
                    3);
        lines.Check("Moment", g.Moment, u.moment, passes(TCheckId::GuardrailMoment), 3);
        lines.Check("Weld Y", g.WeldY, u.weldStress, passes(TCheckId::GuardrailWeldY), 3);
        lines.Check("Weld X", g.WeldX, u.weldStress, passes(TCheckId::GuardrailWeldX), 3);
    }

    // The classical second opinion, beside the design values (not a check of the design).
    const TClassicalCheck c = ComputeClassicalCheck(p);
    lines.Heading("Classical check (free earth, toe reaction neglected)");
    if (!c.Applicable) {
        lines.Row("Classical Check", "N.A.: " + c.Reason);
    } else {
        lines.Value("D0 below the Base", c.D0, u.length);
        lines.Value("Embedment Depth (1.2 D0)", c.EmbedmentDepth, u.length);
        lines.Value("Ratio to Design Embedment", c.EmbedmentRatio, "", 2);
        lines.Value("Zero Shear below the Base", c.ZeroShearDepth, u.length);
        lines.Value("Max. Moment (FS 1.0)", c.MaxMoment, u.moment);
        if (c.HasMomentRatio)
            lines.Value("Ratio to Design Moment", c.MomentRatio, "", 2);
        if (c.Warning)
            lines.Row("Warning", ClassicalWarningText(c));
    }

    // The soil-spring second opinion (Winkler springs, Terzaghi's moduli).
    const TSoilSpringAnalysis a = ComputeSoilSpringAnalysis(p);
    lines.Heading("Soil-spring analysis (Winkler springs, Terzaghi 1955)");
    if (!a.Applicable) {
        lines.Row("Soil Springs", a.Reason == kSoilSpringExhausted ? "No equilibrium: the passive "
                                                                     "resistance is exhausted"
                                                                   : "N.A.: " + a.Reason);
        return;
    }
    const bool si = p.Units == TUnitSystem::usSI;
    lines.Row("Soil below the Base", SubgradeClassName(a.SoilClass));
    lines.Value(a.UserModulus ? "Subgrade Modulus (typed)" : "Subgrade Modulus (table)", a.Modulus,
                si ? "kN/m^3" : "pci", si ? 0 : 1);
    lines.Value("Top Deflection", a.TopDeflection, u.small, si ? 2 : 3);
    lines.Value("Design Top Deflection", p.TopDeflection, u.small, si ? 2 : 3);
    lines.Value("Max. Moment", a.MaxMoment, u.moment);
    lines.Value("Max. Moment at", a.MaxMomentDepth, u.length);
    lines.Value("Max. Shear", a.MaxShear, u.force);
    lines.Value("Passive Mobilized", 100 * a.PassiveMobilized, "%", 0);
    lines.Row("Newton Iterations", std::to_string(a.Iterations));
}

} // namespace

std::string AnalysisSummary(const TTWData& project)
{
    Lines lines;
    Summarize(project, lines);
    const bool pass = WallVerdicts(project).AllPass();
    std::string text = lines.Take();
    text += pass ? "\nAll checks pass.\n" : "\nSome checks fail.\n";
    return text;
}

bool AllChecksPass(const TTWData& project)
{
    return WallVerdicts(project).AllPass();
}

} // namespace tw::cli
