#include "form/LightestSection.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/Verdicts.h"
#include "form/MainForm.h"

namespace tw::form {

namespace {

constexpr long double kSteelDensityEnglish = 490; // lb/ft3
constexpr long double kSteelDensitySI = 7850;     // kg/m3

} // namespace

TCheckSummary SummarizeChecks(const TMainForm& form)
{
    TCheckSummary c;
    c.utilization = std::numeric_limits<long double>::quiet_NaN();
    if (form.AnalysisFailure()) {
        // Results that are not the wall's decide nothing.
        c.passes = false;
        c.governing = "analysis failed";
        return c;
    }
    const TVerdicts verdicts = WallVerdicts(form.Project());
    if (const TVerdict* failure = verdicts.FirstFailure()) {
        c.passes = false;
        c.governing = std::string(failure->caption);
        return c;
    }
    if (const TVerdict* governing = verdicts.Governing()) {
        c.governing = std::string(governing->caption);
        c.utilization = governing->utilization;
    }
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
    const int total =
        static_cast<int>(round ? project.OShapes().size() : project.SteelShapes().size());
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
        form.SetSoilSpringsShown(false);
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
