// The soil-spring analysis: a second opinion on deflections and moments. The pile, from its top
// to its toe (the design's total length), is a string of Euler-Bernoulli beam elements with the
// design's stiffness above and below the excavation base, loaded above the base by the design's
// loading diagram on S plus the top shear and moment. Below the base the soil on each side is a
// row of elastic-perfectly-plastic springs (Winkler): from the at-rest pressure (K0 = 1 - sin
// phi), bounded by the active pressure (on b) and by the unfactored passive pressure per unit
// width on min(f b, S), the limits of the classical check. The spring stiffness per unit
// length of pile follows Terzaghi (1955): n_h z for sands, k1 (1 ft) / 1.5 for clays. The
// nonlinear equations are solved by Newton's method with a line search along the total
// potential energy, on the banded stiffness matrix. It changes none of the design values.
#pragma once

#include <string>
#include <vector>

namespace tw {

class TTWData;

// --- The general beam on nonlinear springs (also used on its own by the tests) ---

// One lumped spring: the force it puts on the pile, opposing the displacement y (positive
// toward the excavation), is clamp(A + K y, Lo, Hi); Lo <= A <= Hi, K >= 0.
struct TSpringLaw
{
    long double A = 0, K = 0, Lo = 0, Hi = 0;
};

struct TSpringBeam
{
    std::vector<long double> X;  // node depths from the pile top, increasing
    std::vector<long double> EI; // per element (X.size() - 1)
    // Distributed load per element toward the excavation (force per length) at its two ends,
    // linear between them.
    std::vector<long double> LoadTop, LoadBottom;
    long double TopForce = 0, TopMoment = 0; // at node 0; the moment in the pile's sign
    // Per node, up to two springs (the soil in front of and behind the pile), both as laws of
    // the force opposing y; a node without soil has K = A = Lo = Hi = 0. In front Hi is the
    // passive capacity; behind, the soil pushes toward the excavation, so A, Lo and Hi are the
    // negated at-rest, passive and active forces.
    std::vector<TSpringLaw> Front, Back;
};

struct TSpringBeamNode
{
    long double Deflection = 0; // toward the excavation, in the model's length unit
    long double Slope = 0;      // d(Deflection)/d(depth)
    long double Shear = 0;      // just below the node, spring force at the node included
    long double Moment = 0;     // positive where the loads toward the excavation bend it
    long double FrontForce = 0; // spring forces at the node, each positive as it resists
    long double BackForce = 0;  // positive as the soil behind pushes toward the excavation
};

struct TSpringBeamSolution
{
    bool Converged = false;
    bool Exhausted = false; // no equilibrium: the displacements ran away
    int Iterations = 0;
    long double Residual = 0;  // largest out-of-balance force, relative to the applied load
    long double ForceSum = 0;  // shear below the toe (0 in equilibrium), relative
    long double MomentSum = 0; // moment at the toe (0 in equilibrium), relative
    std::vector<TSpringBeamNode> Nodes;
};

// Solves the beam: Newton's method on the banded tangent stiffness, each step taken to where
// the potential energy stops falling along it, until the largest out-of-balance nodal force
// is below 1e-6 of the applied load (the sum of the load's and the springs' at-rest
// magnitudes). A displacement beyond the beam's length means no equilibrium (Exhausted).
TSpringBeamSolution SolveSpringBeam(const TSpringBeam& beam);

// --- The wall ---

// Terzaghi's (1955) classes of the soil below the base.
enum class TSubgradeClass
{
    LooseSand,
    MediumSand,
    DenseSand,
    SoftClay,
    StiffClay,
    VeryStiffClay,
    HardClay
};

// The class's name as shown, e.g. "Medium sand".
const char* SubgradeClassName(TSubgradeClass c);
bool IsSand(TSubgradeClass c);
// Terzaghi's value for the class: n_h (sands) or k1 of a 1 ft square plate (clays), in lb/in^3
// (English) or kN/m^3 (SI). SoftClay has no tabulated value: it is scaled from StiffClay by the
// cohesion (k1 proportional to the strength), so it takes the cohesion in ksf.
long double TerzaghiModulus(TSubgradeClass c, bool english, long double cohesionKsf = 0);

struct TSoilSpringNode
{
    long double Depth = 0;      // ft | m from the pile top
    long double Deflection = 0; // in | mm, positive toward the excavation
    long double Slope = 0;      // rad, positive where the deflection grows with depth
    long double Shear = 0;      // k | kN per pile (per ft | m of wall for sheet piles)
    long double Moment = 0;     // k-ft | kN-m per pile
    // The lateral load on the pile per unit length, k/ft | kN/m: above the base the design's
    // loading on S, below it the net soil pressure (behind minus in front), toward the
    // excavation positive as in the design's diagrams.
    long double Load = 0;
};

struct TSoilSpringAnalysis
{
    bool Applicable = false;
    std::string Reason; // why there is no answer ("no equilibrium: ...", not applicable)

    TSubgradeClass SoilClass = TSubgradeClass::MediumSand;
    bool UserModulus = false; // the modulus was typed, not taken from the table
    long double Modulus = 0;  // n_h or k1 used, lb/in^3 | kN/m^3

    long double TopDeflection = 0;  // in | mm, toward the excavation
    long double MaxMoment = 0;      // largest moment, k-ft | kN-m per pile
    long double MaxMomentDepth = 0; // ft | m from the pile top
    long double MaxShear = 0;       // largest shear magnitude (signed)
    long double MaxShearDepth = 0;
    long double PassiveMobilized = 0; // front spring forces / their passive capacity, 0..1
    int Iterations = 0;
    int Elements = 0;
    std::vector<TSoilSpringNode> Nodes;
};

// The message when the springs cannot hold the wall.
inline constexpr char kSoilSpringExhausted[] =
    "no equilibrium: the passive resistance is exhausted";

// The wall's analysis. Call it only after a successful Analyze; never throws.
TSoilSpringAnalysis ComputeSoilSpringAnalysis(const TTWData& project);

} // namespace tw
