// The pile analysis: stiffness, the 64-node grid, the first and cut passes integrated from the
// top by the trapezoid rule, fixity at the last node, and the maxima of the cut pass. Steps of
// the analysis (Analyze.h runs them in order).
#pragma once

namespace tw {

class TTWData;

// The pier inertia, the concrete modulus, the section inertia, the stiffness above and below
// grade and the node spacing.
void ComputeStiffness(TTWData& project);
// Depth, pressure, load, shear, moment, slope and deflection of the 64 nodes, for the first
// and the cut pass. Throws TAnalysisError at the first node that cannot be computed, after
// completing the first pass up to it.
void ComputePileNodes(TTWData& project);
// The maxima of the cut pass (shear, moment above and below grade) and TopDeflection, from
// the current Nodes.
void ComputeMaxima(TTWData& project);

} // namespace tw
