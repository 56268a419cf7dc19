// The analysis sequence: each step reads what the earlier ones wrote, and each runs under its
// own step name so that an arithmetic failure says where it happened.
#include "engine/TWClasses.h"

namespace tw {

void TTWData::Analyze()
{
    {
        TAnalysisStep step("Plan edge offset");
        PlanEdgeOffset = PileWidth - PileSpacing / 2;
    }
    {
        TAnalysisStep step("Earth pressure coefficients");
        ComputeEarthPressures();
    }
    {
        TAnalysisStep step("Strip, seismic and top moments");
        ComputeTopMoment();
    }
    {
        TAnalysisStep step("Embedment depth");
        ComputeEmbedment();
    }
    {
        TAnalysisStep step("Pressure diagrams");
        ComputePressureDiagrams();
    }
    {
        TAnalysisStep step("Pile analysis");
        ComputeStiffness();
        ComputePileNodes();
    }
    if (PileType != TPileType::ptSheetPile) {
        TAnalysisStep step("Steel member checks");
        RunSteelChecks(*this);
    }
    {
        TAnalysisStep step("Pile length");
        ComputePileLength();
    }
    {
        TAnalysisStep step("Maximum shear, moments and deflection");
        ComputeMaxima();
    }
    {
        TAnalysisStep step("Steel capacity ratios");
        RunSteelCapacityRatios(*this);
    }
    if (PileType == TPileType::ptSoldierBeam) {
        TAnalysisStep step("Lagging design");
        DesignLagging(*this);
    }
    {
        // The cage is designed in full only for a rebar cage, where its failure is reported
        // like any other; every other wall runs the spacing rule alone.
        TAnalysisStep step("Rebar cage design");
        if (Reinforcement == TReinforcement::rfRebarCage)
            DesignRebarCage(*this);
        else
            DesignRebarCageSpacing(*this);
    }
    {
        TAnalysisStep step("Guardrail design");
        DesignGuardrail(*this);
    }
}

} // namespace tw
