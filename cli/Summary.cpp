#include "Summary.h"

#include <cmath>
#include <cstdio>
#include <string_view>

#include "engine/Ansi.h"
#include "engine/TWClasses.h"

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
        char number[64];
        if (std::isfinite(value))
            std::snprintf(number, sizeof number, "%.*Lf", decimals, value);
        else
            std::snprintf(number, sizeof number, "N.A.");
        Row(caption, std::string(number) + (unit.empty() ? "" : " ") + std::string(unit));
    }

    void Check(std::string_view caption, long double value, std::string_view unit, bool passes,
               int decimals = 2)
    {
        Value(caption, value, unit, decimals);
        Text_.pop_back();
        Text_ += passes ? "  PASS\n" : "  FAIL\n";
        AllPass_ = AllPass_ && passes;
    }

    // A text result with its verdict.
    void Verdict(std::string_view caption, std::string_view text, bool passes)
    {
        Row(caption, std::string(text) + (passes ? "  PASS" : "  FAIL"));
        AllPass_ = AllPass_ && passes;
    }

    void Row(std::string_view caption, std::string_view value)
    {
        Text_ += "  ";
        Text_.append(caption);
        Text_.append(caption.size() < 34 ? 34 - caption.size() : 1, ' ');
        Text_.append(value);
        Text_ += '\n';
    }

    bool AllPass() const { return AllPass_; }
    std::string Take() { return std::move(Text_); }

private:
    std::string Text_;
    bool AllPass_ = true;
};

std::string Texts(std::string_view ansi)
{
    std::string text = AnsiToUtf8(ansi);
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    return text;
}

// Writes every section; `lines` collects the verdicts.
void Summarize(const TTWData& p, Lines& lines)
{
    const UnitLabels& u = p.Units == TUnitSystem::usSI ? kSI : kEnglish;
    const auto item = [](auto items, auto value) {
        const auto index = static_cast<std::size_t>(value);
        return index < items.size() ? std::string(items[index]) : std::to_string(index);
    };

    lines.Heading("Project");
    if (!p.ProjectName.empty())
        lines.Row("Project Name", Texts(p.ProjectName));
    if (!p.JobNumber.empty())
        lines.Row("Job #", Texts(p.JobNumber));
    lines.Row("Units", item(kUnitsItems, p.Units));
    lines.Row("Analysis Method", item(kAnalysisMethodItems, p.AnalysisMethod));
    lines.Row("Pile Type", item(kPileTypeItems, p.PileType));
    lines.Row("Installation Method", item(kInstallMethodItems, p.InstallMethod));
    if (p.PileType != TPileType::ptSheetPile)
        lines.Row("Reinforcement", item(kReinforcementItems, p.Reinforcement));
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
    const TSteelVerdicts v = SteelCheckVerdicts(p);
    lines.Check("Top Deflection", p.TopDeflection, u.small, v.Deflection);
    lines.Value("Allow. Top of Pile Defl.", p.AllowableTopDeflection, u.small);

    const TSteelCheckResults& s = p.SteelCheckResults;
    if (v.StrengthChecksApply || v.SectionModulusApplies) {
        lines.Heading("Steel member");
        if (v.StrengthChecksApply) {
            lines.Check("Moment Utilization", s.MomentUtilization, "%", v.Moment, 1);
            lines.Check("Shear Utilization", s.ShearUtilization, "%", v.Shear, 1);
            lines.Check("Axial Utilization", s.AxialUtilization, "%", v.Axial, 1);
            lines.Check("Interaction", s.Interaction, "%", v.Interaction, 1);
            lines.Check("Slenderness, kL/r", s.Slenderness, "", v.Slenderness, 1);
        }
        if (v.HoleFitApplies)
            lines.Check("Clearance in the Hole", HoleClearance(p), u.section, v.HoleFit);
        if (v.RoundClassApplies) {
            lines.Verdict("Section Class", RoundSectionClass(p), v.RoundClass);
        }
        if (v.SectionModulusApplies)
            lines.Check("Section Modulus Required", s.SectionModulusRequired,
                        p.Units == TUnitSystem::usSI ? "cm3" : "in3", v.SectionModulus);
    }

    if (p.Reinforcement == TReinforcement::rfRebarCage) {
        const TRebarCageResults& r = p.RebarCageResults;
        lines.Heading("Rebar cage");
        lines.Value("Reinforcement Ratio", r.ReinforcementRatio, "%");
        lines.Check("Axial Utilization", r.AxialUtilization, "%", r.AxialOK, 1);
        lines.Check("Moment Utilization", r.MomentUtilization, "%", r.MomentOK, 1);
        lines.Verdict("Tie Spacing", Texts(r.SpacingMessage), r.SpacingOK);
    }

    const TLaggingResults& l = p.LaggingResults;
    if (l.Designed) {
        lines.Heading("Lagging");
        lines.Value("Soil Pressure", l.SoilPressure, u.pressure);
        if (p.LaggingType == TLaggingType::ltConcrete) {
            lines.Row("Concrete Lagging", Texts(l.ConcreteText));
        } else {
            lines.Verdict("Size", Texts(l.SizeText), l.SizeOK);
        }
        if (p.LaggingType == TLaggingType::ltTimber) {
            lines.Check("Bending, fb", l.ActualFb, p.Units == TUnitSystem::usSI ? "MPa" : "psi",
                        l.BendingOK);
            lines.Check("Shear, fv", l.ActualFv, p.Units == TUnitSystem::usSI ? "MPa" : "psi",
                        l.ShearOK);
            lines.Check("Deflection", l.Deflection, u.small, l.DeflectionOK, 3);
        }
    }

    const TGuardrailResults& g = p.GuardrailResults;
    if (g.Designed) {
        lines.Heading("Guardrail");
        lines.Row("Shape", Texts(p.SelectedGuardrailShape().Name));
        lines.Check("Compression", g.Compression, u.force, g.CompressionOK, 3);
        lines.Check("Moment", g.Moment, u.moment, g.MomentOK, 3);
        lines.Check("Weld Y", g.WeldY, u.weldStress, g.WeldYOK, 3);
        lines.Check("Weld X", g.WeldX, u.weldStress, g.WeldXOK, 3);
    }
}

} // namespace

std::string AnalysisSummary(const TTWData& project)
{
    Lines lines;
    Summarize(project, lines);
    const bool pass = lines.AllPass();
    std::string text = lines.Take();
    text += pass ? "\nAll checks pass.\n" : "\nSome checks fail.\n";
    return text;
}

bool AllChecksPass(const TTWData& project)
{
    Lines lines;
    Summarize(project, lines);
    return lines.AllPass();
}

} // namespace tw::cli
