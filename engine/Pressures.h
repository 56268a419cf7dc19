// Lateral pressure loading: earth pressure coefficients, equivalent fluid values, the strip,
// seismic and top moments, and the loading and passive pressure diagrams. Steps of the
// analysis (Analyze.h runs them in order); each reads the project's inputs and what the
// earlier steps wrote, writes its results into the project and throws TAnalysisError when its
// arithmetic fails.
#pragma once

namespace tw {

class TTWData;

// Ka, Kp and Ka2 by the Coulomb formulas with the equivalent fluid pressures and the maximum
// passive pressure that follow from them; or, with equivalent fluid pressures as typed (also
// the User Defined method), the coefficients that follow from those.
void ComputeEarthPressures(TTWData& project);
// The strip load's lateral pressure and moment; a strip load that cannot be evaluated adds
// no moment.
void ComputeStripLoad(TTWData& project);
// The strip load, the seismic moment and the moment at the pile top from them and the other
// moment.
void ComputeTopMoment(TTWData& project);
// The loading points 1-8 and the passive points 1-4. Under the User Defined method only the
// depths of the end points are set; the other depths and the pressures are typed.
void ComputePressureDiagrams(TTWData& project);

// Ka (soil 1) or Ka2 (soil 2) of the Coulomb formula for one backfill soil, the angles in
// degrees.
long double CoulombActive(long double alpha, long double slope, long double phi, long double delta,
                          int soil);

} // namespace tw
