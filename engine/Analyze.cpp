#include "engine/Analyze.h"

#include "engine/CheckedMath.h"
#include "engine/Embedment.h"
#include "engine/Guardrail.h"
#include "engine/Lagging.h"
#include "engine/PileAnalysis.h"
#include "engine/Pressures.h"
#include "engine/RebarCage.h"
#include "engine/SteelChecks.h"
#include "engine/TWClasses.h"

namespace tw {

void Analyze(TTWData& project)
{
    {
        TAnalysisStep step("Plan edge offset");
        project.PlanEdgeOffset = project.PileWidth - project.PileSpacing / 2;
    }
    {
        TAnalysisStep step("Earth pressure coefficients");
        ComputeEarthPressures(project);
    }
    {
        TAnalysisStep step("Strip, seismic and top moments");
        ComputeTopMoment(project);
    }
    {
        TAnalysisStep step("Embedment depth");
        ComputeEmbedment(project);
    }
    {
        TAnalysisStep step("Pressure diagrams");
        ComputePressureDiagrams(project);
    }
    {
        TAnalysisStep step("Pile analysis");
        ComputeStiffness(project);
        ComputePileNodes(project);
    }
    if (project.PileType != TPileType::ptSheetPile) {
        TAnalysisStep step("Steel member checks");
        RunSteelChecks(project);
    }
    {
        TAnalysisStep step("Pile length");
        ComputePileLength(project);
    }
    {
        TAnalysisStep step("Maximum shear, moments and deflection");
        ComputeMaxima(project);
    }
    {
        TAnalysisStep step("Steel capacity ratios");
        RunSteelCapacityRatios(project);
    }
    if (project.PileType == TPileType::ptSoldierBeam) {
        TAnalysisStep step("Lagging design");
        DesignLagging(project);
    }
    {
        // The cage is designed in full only for a rebar cage, where its failure is reported
        // like any other; every other wall runs the spacing rule alone.
        TAnalysisStep step("Rebar cage design");
        if (project.Reinforcement == TReinforcement::rfRebarCage)
            DesignRebarCage(project);
        else
            DesignRebarCageSpacing(project);
    }
    {
        TAnalysisStep step("Guardrail design");
        DesignGuardrail(project);
    }
}

} // namespace tw
