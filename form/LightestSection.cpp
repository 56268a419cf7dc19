#include "form/LightestSection.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/SteelChecks.h"
#include "form/MainForm.h"

namespace tw::form {

namespace {

constexpr long double kSteelDensityEnglish = 490; // lb/ft3
constexpr long double kSteelDensitySI = 7850;     // kg/m3

struct TCheck
{
    Verdict verdict;
    const char* name;
};
// The verdicts of the window in the order they are named when one fails.
constexpr TCheck kChecks[] = {
    {Verdict::Moment, "Moment"},
    {Verdict::Shear, "Shear"},
    {Verdict::Axial, "Axial"},
    {Verdict::Interaction, "P-M interaction"},
    {Verdict::Slenderness, "Slenderness Ratio, kL/r"},
    {Verdict::SectionModulus, "Section Modulus"},
    {Verdict::MaxDeflection, "Max. Deflection"},
    {Verdict::HoleFit, "Beam Diagonal Length"},
    {Verdict::RoundClass, "Section class"},
    {Verdict::AxialPu, "Factored Axial, Pu"},
    {Verdict::MomentMu, "Factored Moment, Mu"},
    {Verdict::LaggingBending, "Lagging bending"},
    {Verdict::LaggingShear, "Lagging shear"},
    {Verdict::LaggingDeflection, "Lagging deflection"},
    {Verdict::LaggingSize, "Lagging size"},
    {Verdict::GuardrailCompression, "Guardrail compression"},
    {Verdict::GuardrailMoment, "Guardrail moment"},
    {Verdict::GuardrailWeldY, "Guardrail weld, y-axis"},
    {Verdict::GuardrailWeldX, "Guardrail weld, x-axis"},
};

// The largest of the pile's utilizations, with its name.
void Governing(const TTWData& p, const TMainForm& form, TCheckSummary& c)
{
    const TSteelCheckResults& s = p.SteelCheckResults;
    const auto consider = [&](Verdict v, const char* name, long double percent) {
        if (form.VerdictState(v).visible && std::isfinite(static_cast<double>(percent)) &&
            (c.governing.empty() || percent > c.utilization)) {
            c.governing = name;
            c.utilization = percent;
        }
    };
    consider(Verdict::Moment, "Moment", s.MomentUtilization);
    consider(Verdict::Shear, "Shear", s.ShearUtilization);
    consider(Verdict::Axial, "Axial", s.AxialUtilization);
    consider(Verdict::Interaction, "P-M interaction", s.Interaction);
    if (s.SectionModulusProvided != 0)
        consider(Verdict::SectionModulus, "Section Modulus",
                 100 * std::fabs(s.SectionModulusRequired / s.SectionModulusProvided));
    if (p.AllowableTopDeflection > 0) {
        // The top deflection in the unit of its allowance (in | mm).
        consider(Verdict::MaxDeflection, "Max. Deflection",
                 100 * std::fabs(p.TopDeflection) / p.AllowableTopDeflection);
    }
    if (!p.RebarCageResults.MomentUtilizationNA)
        consider(Verdict::MomentMu, "Factored Moment, Mu", p.RebarCageResults.MomentUtilization);
}

} // namespace

TCheckSummary SummarizeChecks(const TMainForm& form)
{
    TCheckSummary c;
    for (const TCheck& check : kChecks) {
        const TVerdictState& v = form.VerdictState(check.verdict);
        if (v.visible && !v.pass) {
            c.passes = false;
            c.governing = check.name;
            c.utilization = std::numeric_limits<long double>::quiet_NaN();
            return c;
        }
    }
    c.utilization = std::numeric_limits<long double>::quiet_NaN();
    Governing(form.Project(), form, c);
    return c;
}

TLightestSections FindLightestSections(const TTWData& project,
                                       const std::function<bool(int, int)>& progress)
{
    TLightestSections result;
    const bool si = project.Units == TUnitSystem::usSI;
    result.weightUnit = si ? "kg/m" : "lb/ft";
    const bool sheet = project.PileType == TPileType::ptSheetPile;
    const bool round = !sheet && project.Reinforcement == TReinforcement::rfPipe;
    if (!sheet && project.Reinforcement == TReinforcement::rfRebarCage) {
        result.unavailable = "A rebar cage has no catalogue section to choose.";
        return result;
    }
    result.catalogue = sheet ? "sheet piles" : round ? "round sections" : "I-beams";
    const int total = static_cast<int>(round ? project.OShapes().size() : project.SteelShapes().size());
    for (int i = 0; i < total; ++i) {
        if (progress && !progress(i, total))
            break;
        TTWData trial = project;
        trial.SelectSection(i);
        TSectionCandidate c;
        c.index = i;
        if (round) {
            const TOShape& o = project.OShapes()[static_cast<std::size_t>(i)];
            c.name = o.Name;
            c.weight = o.Mass;
        } else {
            const TSteelShape& s = project.SteelShapes()[static_cast<std::size_t>(i)];
            c.name = s.Name;
            // Area in in2 (/144 to ft2) | mm2 (/1e6 to m2).
            if (s.A > 0)
                c.weight = si ? s.A / 1e6L * kSteelDensitySI : s.A / 144 * kSteelDensityEnglish;
        }
        TMainForm form(trial);
        const TCommitResult r = form.AfterOpen();
        if (!r.ok()) {
            c.failure = *r.error;
            result.rows.push_back(std::move(c));
            continue;
        }
        c.analysed = true;
        const TCheckSummary checks = SummarizeChecks(form);
        c.passes = checks.passes;
        c.governing = checks.governing;
        c.utilization = checks.utilization;
        result.rows.push_back(std::move(c));
    }
    const auto rank = [](const TSectionCandidate& c) { return c.passes ? 0 : c.analysed ? 1 : 2; };
    std::stable_sort(result.rows.begin(), result.rows.end(),
                     [&](const TSectionCandidate& a, const TSectionCandidate& b) {
                         if (rank(a) != rank(b))
                             return rank(a) < rank(b);
                         // Without weights (sheet piles) the catalogue order stands.
                         const auto key = [](const TSectionCandidate& c) {
                             return c.weight >= 0 ? c.weight
                                                  : std::numeric_limits<long double>::infinity();
                         };
                         return key(a) < key(b);
                     });
    return result;
}

} // namespace tw::form
