// Identifiers of everything the main window shows: numeric boxes, lists, check boxes, text
// labels, verdict marks and the collapsible sections of both columns, with the fixed facts
// about each (tag, section, caption, unit kind). The form model and every front end refer to
// the window's parts by these identifiers.
#pragma once

#include <cstdint>
#include <string_view>

namespace tw::form {

// The collapsible sections, input column first, each column in its design order.
#define TW_FORM_SECTIONS(X)                                                                        \
    X(GeneralData, "General Data")                                                                 \
    X(BackfillSoils, "Backfill Soils")                                                             \
    X(BackfillSoils2, "Backfill Soils 2")                                                          \
    X(PassiveSoils, "Passive Soils")                                                               \
    X(StructuralData, "Structural data")                                                           \
    X(Loads, "Loads Applied to the Pile")                                                          \
    X(PressureInput, "Pressure Data (ASD) per ft Length of Wall")                                  \
    X(LaggingInput, "Lagging Design")                                                              \
    X(GuardrailInput, "Guardrail Design")                                                          \
    X(Coulomb, "Coulomb Method")                                                                   \
    X(PressureResult, "Pressure Data (ASD) per ft Length of Wall")                                 \
    X(OutputData, "Output Data")                                                                   \
    X(Checks, "Checks")                                                                            \
    X(RebarChecks, "Rebar Cage Checks")                                                            \
    X(SectionCheck, "Section Check")                                                               \
    X(LaggingResult, "Lagging Design")                                                             \
    X(GuardrailResult, "Guardrail Design Results")                                                 \
    X(ClassicalCheck, "Classical Check")                                                           \
    X(SoilSprings, "Soil-Spring Analysis")

enum class Section : int
{
#define X(id, caption) id,
    TW_FORM_SECTIONS(X)
#undef X
        Count
};
inline constexpr int kSectionCount = static_cast<int>(Section::Count);
inline constexpr Section kFirstResultSection = Section::Coulomb;
inline bool IsResultSection(Section s)
{
    return static_cast<int>(s) >= static_cast<int>(kFirstResultSection);
}

// What a unit label shows; the texts per unit system are in UnitLabel.
enum class UnitKind : uint8_t
{
    None,
    Length,            // ft | m
    UnitWeight,        // pcf | kN/m^3
    Pressure,          // psf | kPa
    PressurePerLength, // psf/ft | kN/m^3
    Force,             // k | kN
    Moment,            // k-ft | kN-m
    MomentPerLength,   // k-ft/ft | kN-m/m
    SeismicThrust,     // lb/ft | kN/m
    Stress,            // ksi | MPa
    SmallLength,       // in | mm
    DiagonalLength,    // in | cm
    LumberStress,      // psi | MPa
    LumberModulus,     // 10^6 psi | GPa
    LaggingMoment,     // lb-ft/ft | kN-m/m
    LineLoad,          // plf | kN/m
    PointLoad,         // lbf | kN
    Area,              // in^2 | mm^2
    LaggingModulus,    // in^3 | mm^3
    SectionModulus,    // in^3 | cm^3
    Degrees,           // degrees
    Percent,           // %
    SubgradeModulus,   // pci | kN/m^3
};
std::string_view UnitLabel(UnitKind kind, bool si);

// Box flags.
inline constexpr uint8_t kAlwaysReadOnly = 1; // carries the read-only look from the start
inline constexpr uint8_t kResult = 2;         // a result box of the results column

// The numeric boxes: identifier, section, tag, caption, unit kind, flags.
#define TW_FORM_BOXES(X)                                                                           \
    X(ShoredHeight, GeneralData, 17, "Shored Height, H", Length, 0)                                \
    X(PileSpacing, GeneralData, 16, "Pile Spacing, S", Length, 0)                                  \
    X(PileWidth, GeneralData, 21, "Pile Width or Pier Diameter, B", Length, 0)                     \
    X(SheetPileDepth, GeneralData, 16, "Sheet Pile Depth, D", Length, kAlwaysReadOnly)             \
    X(IgnorePassiveUD, GeneralData, 14, "Ignore Passive", Length, 0)                               \
    X(BackfillPhi, BackfillSoils, 1, "Soil Friction Angle", Degrees, 0)                            \
    X(BackfillDelta, BackfillSoils, 2, "Soil-Pile Friction Angle", Degrees, 0)                     \
    X(BackfillSlope, BackfillSoils, 3, "Backfill Slope Angle", Degrees, 0)                         \
    X(BackfillWallAngle, BackfillSoils, 4, "Pile Inclination Angle", Degrees, kAlwaysReadOnly)     \
    X(ActiveEFP, BackfillSoils, 40, "Equiv. Backfill Pressure", PressurePerLength, 0)              \
    X(BackfillSlopeEFP, BackfillSoils, 3, "Backfill Slope Angle", Degrees, 0)                      \
    X(BackfillUnitWeight, BackfillSoils, 5, "Backfill Soil Unit Weight", UnitWeight, 0)            \
    X(Surcharge, BackfillSoils, 6, "Vertical Uniform Surcharge", Pressure, 0)                      \
    X(Backfill2Phi, BackfillSoils2, 1, "Soil Friction Angle", Degrees, 0)                          \
    X(Backfill2Delta, BackfillSoils2, 2, "Soil-Pile Friction Angle", Degrees, 0)                   \
    X(Backfill2Slope, BackfillSoils2, 3, "Backfill Slope Angle", Degrees, kAlwaysReadOnly)         \
    X(Backfill2WallAngle, BackfillSoils2, 4, "Pile Inclination Angle", Degrees, kAlwaysReadOnly)   \
    X(Active2EFP, BackfillSoils2, 40, "Equiv. Backfill Pressure", PressurePerLength, 0)            \
    X(Backfill2UnitWeight, BackfillSoils2, 5, "Backfill Soil Unit Weight", UnitWeight, 0)          \
    X(Backfill2Surcharge, BackfillSoils2, 6, "Vertical Uniform Surcharge", Pressure, 0)            \
    X(PassivePhi, PassiveSoils, 7, "Soil Friction Angle", Degrees, 0)                              \
    X(PassiveDelta, PassiveSoils, 8, "Soil-Pile Friction Angle", Degrees, 0)                       \
    X(PassiveSlope, PassiveSoils, 9, "Passive Slope Angle", Degrees, 0)                            \
    X(PassiveWallAngle, PassiveSoils, 10, "Pile Inclination Angle", Degrees, kAlwaysReadOnly)      \
    X(PassiveEFP, PassiveSoils, 41, "Equiv. Passive Resistance", PressurePerLength, 0)             \
    X(MaxPassive, PassiveSoils, 44, "Max. Passive Resistance", PressurePerLength, 0)               \
    X(PassiveSlopeEFP, PassiveSoils, 9, "Passive Slope Angle", Degrees, 0)                         \
    X(PassiveFS, PassiveSoils, 11, "F.S. on Passive", None, 0)                                     \
    X(PassiveUnitWeight, PassiveSoils, 15, "Passive Soil Unit Weight", UnitWeight, 0)              \
    X(Cohesion, PassiveSoils, 12, "Cohesion", Pressure, 0)                                         \
    X(IgnorePassiveHeight, PassiveSoils, 14, "Ignore Passive Height", Length, 0)                   \
    X(WedgeMultiplier, PassiveSoils, 46, "Passive Wedge Multiplier", None, 0)                      \
    X(SubgradeModulus, PassiveSoils, 26, "Subgrade Modulus, nh or k1", SubgradeModulus, 0)         \
    X(BeamDiagonal, StructuralData, 6, "Beam Diagonal Length", DiagonalLength, kAlwaysReadOnly)    \
    X(ElasticModulus, StructuralData, 18, "Elastic Pile Modulus", Stress, 0)                       \
    X(YieldStrength, StructuralData, 19, "Yield Strength, Fy", Stress, 0)                          \
    X(AllowTopDeflection, StructuralData, 20, "Allow. Top of Pile Defl.", SmallLength, 0)          \
    X(ConcreteStrength, StructuralData, 22, "Conc. Compress. Str, f'c", Stress, 0)                 \
    X(BarCount, StructuralData, 87, "Number of Bars", None, 0)                                     \
    X(ClearCover, StructuralData, 88, "Clear Cover", SmallLength, 0)                               \
    X(TieSpacingCalculated, StructuralData, 90, "Calculated", SmallLength, kAlwaysReadOnly)        \
    X(TieSpacingOverride, StructuralData, 89, "Override", SmallLength, 0)                          \
    X(ReinforcementRatio, StructuralData, 91, "Reinforcement", Percent, kAlwaysReadOnly)           \
    X(AxialLoad, Loads, 23, "Axial Load", Force, 0)                                                \
    X(LateralLoad, Loads, 24, "Lateral Load @ Top", Force, 0)                                      \
    X(OtherMoment, Loads, 25, "Other Moment", Moment, 0)                                           \
    X(TotalMoment, Loads, 25, "Total Moment", Moment, kAlwaysReadOnly)                             \
    X(StripPressure, Loads, 94, "Strip Pressure, q", Pressure, 0)                                  \
    X(StripSetback, Loads, 93, "Strip Setback, a", Length, 0)                                      \
    X(StripWidth, Loads, 93, "Strip Width, b", Length, 0)                                          \
    X(StripDepth, Loads, 93, "Strip Depth, d", Length, 0)                                          \
    X(StripMoment, Loads, 25, "Mom. due to Strip,  Mstrip", MomentPerLength, kAlwaysReadOnly)      \
    X(SeismicThrust, Loads, 94, "Seismic Thrust, Pseis", SeismicThrust, 0)                         \
    X(SeismicArm, Loads, 93, "Loc. from Base of Excav, d", Length, 0)                              \
    X(SeismicMoment, Loads, 25, "Mom. due to Seismic, Mseis", MomentPerLength, kAlwaysReadOnly)    \
    TW_FORM_POINT_BOXES(X, In, PressureInput, 0)                                                   \
    X(ArchingFactor, LaggingInput, 86, "Arching Factor", None, 0)                                  \
    X(LumberFb, LaggingInput, 77, "Bending, Fb", LumberStress, 0)                                  \
    X(LumberFv, LaggingInput, 78, "Shear Parallel to Grain, Fv", LumberStress, 0)                  \
    X(LumberModulus, LaggingInput, 95, "Reference Modulus of El, E", LumberModulus, 0)             \
    X(GuardrailLength, GuardrailInput, 98, "Length of the Guardrail", Length, 0)                   \
    X(LateralBracing, GuardrailInput, 99, "Lateral Bracing", Length, kAlwaysReadOnly)              \
    X(GuardrailDistLoad, GuardrailInput, 101, "Dist. Load in Any Dir.", LineLoad, 0)               \
    X(GuardrailPointLoad, GuardrailInput, 102, "Point Load in Any Dir.", PointLoad, 0)             \
    X(GuardrailSFCompression, GuardrailInput, 103, "ASD Safety Factor of Comp.", None,             \
      kAlwaysReadOnly)                                                                             \
    X(GuardrailSFBending, GuardrailInput, 103, "ASD Safety Factor of Bend.", None,                 \
      kAlwaysReadOnly)                                                                             \
    X(ResKa, Coulomb, 42, "Act. Earth Press. Coef, Ka", None, kResult)                             \
    X(ResEFPActive, Coulomb, 40, "E.F.P. Active", PressurePerLength, kResult)                      \
    X(ResKp, Coulomb, 43, "Pass. Earth Press. Coef, Kp", None, kResult)                            \
    X(ResEFPPassive, Coulomb, 41, "E.F.P. Passive", PressurePerLength, kResult)                    \
    X(ResMaxPassive, Coulomb, 44, "Max. Passive Thrust, Pp", PressurePerLength, kResult)           \
    TW_FORM_POINT_BOXES(X, Res, PressureResult, kResult)                                           \
    X(ResTotalLength, OutputData, 51, "Total Beam Length", Length, kResult)                        \
    X(ResLr, OutputData, 51, "Unbraced Length, Lr", Length, kResult)                               \
    X(ResLp, OutputData, 51, "Unbraced Length, Lp", Length, kResult)                               \
    X(ResMaxShear, OutputData, 52, "Max. Shear", Force, kResult)                                   \
    X(ResMaxShearAt, OutputData, 51, "at", Length, kResult)                                        \
    X(ResMaxMomentAbove, OutputData, 53, "Max. Moment Above Grade", Moment, kResult)               \
    X(ResMaxMomentAboveAt, OutputData, 51, "at", Length, kResult)                                  \
    X(ResMaxMomentBelow, OutputData, 53, "Max. Moment Below Grade", Moment, kResult)               \
    X(ResMaxMomentBelowAt, OutputData, 51, "at", Length, kResult)                                  \
    X(ResMaxDeflection, OutputData, 54, "Max. Deflection", SmallLength, kResult)                   \
    X(ResMaxDeflectionAt, OutputData, 51, "at", Length, kResult)                                   \
    X(ResMomentAbove, Checks, 55, "Moment Above Grade", Moment, kResult)                           \
    X(ResMomentBelow, Checks, 56, "Moment Below Grade", Moment, kResult)                           \
    X(ResMomentUtilization, Checks, 57, "Moment Below Grade", Percent, kResult)                    \
    X(ResShear, Checks, 58, "Shear", Force, kResult)                                               \
    X(ResShearUtilization, Checks, 60, "Shear", Percent, kResult)                                  \
    X(ResAxial, Checks, 61, "Axial", Force, kResult)                                               \
    X(ResAxialUtilization, Checks, 62, "Axial", Percent, kResult)                                  \
    X(ResInteraction, Checks, 63, "P-M interaction", Percent, kResult)                             \
    X(ResSlenderness, Checks, 64, "Slenderness Ratio, kL/r", None, kResult)                        \
    X(ResPu, RebarChecks, 65, "Factored Axial, Pu", Force, kResult)                                \
    X(ResPuUtilization, RebarChecks, 66, "Factored Axial, Pu", Percent, kResult)                   \
    X(ResMu, RebarChecks, 65, "Factored Moment, Mu", Moment, kResult)                              \
    X(ResMuUtilization, RebarChecks, 66, "Factored Moment, Mu", Percent, kResult)                  \
    X(ResPhiMn, RebarChecks, 65, "Moment Capacity, PhiMn", Moment, kResult)                        \
    X(ResSxRequired, SectionCheck, 67, "Section Modulus, Sx", SectionModulus, kResult)             \
    X(ResSxProvided, SectionCheck, 67, "Section Modulus, Sx", SectionModulus, kResult)             \
    X(ResLagPressure, LaggingResult, 68, "Soil Pressure", Pressure, kResult)                       \
    X(ResLagMoment, LaggingResult, 69, "Max Bending Moment", LaggingMoment, kResult)               \
    X(ResLagShear, LaggingResult, 70, "Shear", LineLoad, kResult)                                  \
    X(ResLagFbAdjusted, LaggingResult, 82, "Bending Stress", LumberStress, kResult)                \
    X(ResLagFbActual, LaggingResult, 82, "Bending Stress", LumberStress, kResult)                  \
    X(ResLagFvAdjusted, LaggingResult, 82, "Shear Parallel to Grain", LumberStress, kResult)       \
    X(ResLagFvActual, LaggingResult, 82, "Shear Parallel to Grain", LumberStress, kResult)         \
    X(ResLagDeflection, LaggingResult, 83, "Deflection", SmallLength, kResult)                     \
    X(ResLagSreq, LaggingResult, 84, "Req. Section Modulus of Lagging", LaggingModulus, kResult)   \
    X(ResGrCompressionAllow, GuardrailResult, 92, "Compression in the Post", Force, kResult)       \
    X(ResGrCompression, GuardrailResult, 92, "Compression in the Post", Force, kResult)            \
    X(ResGrYieldMoment, GuardrailResult, 97, "Yield Mom. Axis of Bending", Moment, kResult)        \
    X(ResGrBucklingMoment, GuardrailResult, 97, "Elastic lat-tors. Buckling Mom.", Moment,         \
      kResult)                                                                                     \
    X(ResGrMomentAllow, GuardrailResult, 97, "Bending moment in the post", Moment, kResult)        \
    X(ResGrMoment, GuardrailResult, 97, "Bending moment in the post", Moment, kResult)             \
    X(ResGrWeldYAllow, GuardrailResult, 104, "Welding Stress, y-axis", Stress, kResult)            \
    X(ResGrWeldY, GuardrailResult, 104, "Welding Stress, y-axis", Stress, kResult)                 \
    X(ResGrWeldXAllow, GuardrailResult, 104, "Welding Stress, x-axis", Stress, kResult)            \
    X(ResGrWeldX, GuardrailResult, 104, "Welding Stress, x-axis", Stress, kResult)                 \
    X(ResClassicalEmbedment, ClassicalCheck, 51, "Embedment Depth", Length, kResult)               \
    X(ResDesignEmbedment, ClassicalCheck, 51, "Embedment Depth", Length, kResult)                  \
    X(ResClassicalD0, ClassicalCheck, 51, "Equilibrium Depth, D0", Length, kResult)                \
    X(ResDesignD0, ClassicalCheck, 51, "Equilibrium Depth, D0", Length, kResult)                   \
    X(ResClassicalZeroShear, ClassicalCheck, 51, "Zero Shear below Base", Length, kResult)         \
    X(ResDesignZeroShear, ClassicalCheck, 51, "Zero Shear below Base", Length, kResult)            \
    X(ResClassicalMoment, ClassicalCheck, 53, "Max. Moment Below Grade", Moment, kResult)          \
    X(ResDesignMoment, ClassicalCheck, 53, "Max. Moment Below Grade", Moment, kResult)             \
    X(ResClassicalEmbedmentRatio, ClassicalCheck, 0, "Embedment Ratio", None, kResult)             \
    X(ResClassicalMomentRatio, ClassicalCheck, 0, "Moment Ratio", None, kResult)                   \
    X(ResSpringTopDeflection, SoilSprings, 54, "Top Deflection", SmallLength, kResult)             \
    X(ResDesignTopDeflection, SoilSprings, 54, "Top Deflection", SmallLength, kResult)             \
    X(ResSpringMoment, SoilSprings, 53, "Max. Moment", Moment, kResult)                            \
    X(ResDesignMaxMoment, SoilSprings, 53, "Max. Moment", Moment, kResult)                         \
    X(ResSpringMomentAt, SoilSprings, 51, "Max. Moment at", Length, kResult)                       \
    X(ResDesignMomentAt, SoilSprings, 51, "Max. Moment at", Length, kResult)                       \
    X(ResSpringShear, SoilSprings, 52, "Max. Shear", Force, kResult)                               \
    X(ResDesignShear, SoilSprings, 52, "Max. Shear", Force, kResult)                               \
    X(ResSpringModulus, SoilSprings, 26, "Subgrade Modulus, nh or k1", SubgradeModulus, kResult)   \
    X(ResSpringPassive, SoilSprings, 57, "Passive Mobilized", Percent, kResult)                    \
    X(ResSpringIterations, SoilSprings, 87, "Newton Iterations", None, kResult)

// The pressure point tables (inputs and results): x and w of loading points 1-8 and passive
// points 1-4. Loading points 1, 4, 5, 8 and passive points 1, 4 have fixed depths.
#define TW_FORM_POINT_BOXES(X, P, S, F)                                                            \
    X(P##LoadX1, S, 75, "Loading Side 1", None, F | kAlwaysReadOnly)                               \
    X(P##LoadX2, S, 75, "Loading Side 2", None, F)                                                 \
    X(P##LoadX3, S, 75, "Loading Side 3", None, F)                                                 \
    X(P##LoadX4, S, 75, "Loading Side 4", None, F | kAlwaysReadOnly)                               \
    X(P##LoadX5, S, 75, "Loading Side 5", None, F | kAlwaysReadOnly)                               \
    X(P##LoadX6, S, 75, "Loading Side 6", None, F)                                                 \
    X(P##LoadX7, S, 75, "Loading Side 7", None, F)                                                 \
    X(P##LoadX8, S, 75, "Loading Side 8", None, F | kAlwaysReadOnly)                               \
    X(P##LoadW1, S, 76, "Loading Side 1", None, F)                                                 \
    X(P##LoadW2, S, 76, "Loading Side 2", None, F)                                                 \
    X(P##LoadW3, S, 76, "Loading Side 3", None, F)                                                 \
    X(P##LoadW4, S, 76, "Loading Side 4", None, F)                                                 \
    X(P##LoadW5, S, 76, "Loading Side 5", None, F)                                                 \
    X(P##LoadW6, S, 76, "Loading Side 6", None, F)                                                 \
    X(P##LoadW7, S, 76, "Loading Side 7", None, F)                                                 \
    X(P##LoadW8, S, 76, "Loading Side 8", None, F)                                                 \
    X(P##PassX1, S, 75, "Passive Side 1", None, F | kAlwaysReadOnly)                               \
    X(P##PassX2, S, 75, "Passive Side 2", None, F)                                                 \
    X(P##PassX3, S, 75, "Passive Side 3", None, F)                                                 \
    X(P##PassX4, S, 75, "Passive Side 4", None, F | kAlwaysReadOnly)                               \
    X(P##PassW1, S, 76, "Passive Side 1", None, F)                                                 \
    X(P##PassW2, S, 76, "Passive Side 2", None, F)                                                 \
    X(P##PassW3, S, 76, "Passive Side 3", None, F)                                                 \
    X(P##PassW4, S, 76, "Passive Side 4", None, F)

enum class Box : int
{
#define X(id, section, tag, caption, unit, flags) id,
    TW_FORM_BOXES(X)
#undef X
        Count
};
inline constexpr int kBoxCount = static_cast<int>(Box::Count);

// The first box of each pressure point table; the x and w of point i (0-based) of the
// loading side are at offsets i and 8 + i, of the passive side at 16 + i and 20 + i.
inline Box PointBox(Box first, int offset)
{
    return static_cast<Box>(static_cast<int>(first) + offset);
}

// The lists (drop-down choices): identifier, section, caption.
#define TW_FORM_LISTS(X)                                                                           \
    X(Units, GeneralData, "Units")                                                                 \
    X(AnalysisMethod, GeneralData, "Analysis Method")                                              \
    X(InstallMethod, GeneralData, "Installation Method")                                           \
    X(PileType, GeneralData, "Pile Type")                                                          \
    X(Reinforcement, GeneralData, "Reinforcement")                                                 \
    X(SoilMethod, BackfillSoils, "Method")                                                         \
    X(SteelLibrary, StructuralData, "Beam Type")                                                   \
    X(SheetLibrary, StructuralData, "Beam Type")                                                   \
    X(SectionSize, StructuralData, "Beam Size")                                                    \
    X(RebarStandard, StructuralData, "Rebar Size")                                                 \
    X(VerticalBar, StructuralData, "Verical Rebar Size")                                           \
    X(TieType, StructuralData, "Tie or Spiral")                                                    \
    X(TieBar, StructuralData, "Lat. Reinf. Bar Size")                                              \
    X(LaggingType, LaggingInput, "Plate Type")                                                     \
    X(LaggingConcrete, LaggingInput, "Lagging Concrete Strength")                                  \
    X(LumberGrade, LaggingInput, "Lumber Grade")                                                   \
    X(GuardrailShape, GuardrailInput, "Shape")                                                     \
    X(GuardrailSpacing, GuardrailInput, "Max. Spacing of Guardrail")

enum class List : int
{
#define X(id, section, caption) id,
    TW_FORM_LISTS(X)
#undef X
        Count
};
inline constexpr int kListCount = static_cast<int>(List::Count);

// Check boxes and the two pairs of option buttons (each pair is one choice: the second
// button checked or not).
#define TW_FORM_CHECKS(X)                                                                          \
    X(PipeFilled, StructuralData, "Pipe Filled with Concrete")                                     \
    X(StripLoad, Loads, "Strip Load")                                                              \
    X(SeismicLoad, Loads, "Seismic Load")                                                          \
    X(SouthernPine, LaggingInput, "Lumber is Southern Pine")                                       \
    X(UseGuardrail, GuardrailInput, "Use Guardrail Design")                                        \
    X(AllowablePassive, PassiveSoils, "Allowable Passive")                                         \
    X(SlurryFill, StructuralData, "Slurry on Shored Height")

enum class Check : int
{
#define X(id, section, caption) id,
    TW_FORM_CHECKS(X)
#undef X
        Count
};
inline constexpr int kCheckCount = static_cast<int>(Check::Count);
inline constexpr std::string_view kUltimatePassiveCaption = "Ultimate Passive";
inline constexpr std::string_view kConcreteFillCaption = "Concrete on Shored Height";

// Text labels whose text or colour the form decides.
#define TW_FORM_LABELS(X)                                                                          \
    X(SpacingMessage, StructuralData, "Spacing........")                                           \
    X(RoundClass, OutputData, "")                                                                  \
    X(LaggingSize, LaggingResult, "Wood Lagging Size")                                             \
    X(ConcreteLagging, LaggingResult, "Min. Conc. Lagging")                                        \
    X(LaggingMaterial, LaggingResult, "Req. Material Properties")                                  \
    X(ImportantNotice, GeneralData, "IMPORTANT")                                                   \
    X(ClassicalNote, ClassicalCheck, "Note")                                                       \
    X(SpringSoil, SoilSprings, "Soil below the Base")                                              \
    X(SpringNote, SoilSprings, "Note")

enum class Label : int
{
#define X(id, section, caption) id,
    TW_FORM_LABELS(X)
#undef X
        Count
};
inline constexpr int kLabelCount = static_cast<int>(Label::Count);

// The verdict marks of the checked rows, with the section whose caption mark collects them.
#define TW_FORM_VERDICTS(X)                                                                        \
    X(HoleFit, StructuralData)                                                                     \
    X(MaxDeflection, OutputData)                                                                   \
    X(RoundClass, OutputData)                                                                      \
    X(Moment, Checks)                                                                              \
    X(Shear, Checks)                                                                               \
    X(Axial, Checks)                                                                               \
    X(Interaction, Checks)                                                                         \
    X(Slenderness, Checks)                                                                         \
    X(AxialPu, RebarChecks)                                                                        \
    X(MomentMu, RebarChecks)                                                                       \
    X(TieSpacing, StructuralData)                                                                  \
    X(SectionModulus, SectionCheck)                                                                \
    X(LaggingBending, LaggingResult)                                                               \
    X(LaggingShear, LaggingResult)                                                                 \
    X(LaggingDeflection, LaggingResult)                                                            \
    X(LaggingSize, LaggingResult)                                                                  \
    X(LaggingConcrete, LaggingResult)                                                              \
    X(GuardrailCompression, GuardrailResult)                                                       \
    X(GuardrailMoment, GuardrailResult)                                                            \
    X(GuardrailWeldY, GuardrailResult)                                                             \
    X(GuardrailWeldX, GuardrailResult)

enum class Verdict : int
{
#define X(id, section) id,
    TW_FORM_VERDICTS(X)
#undef X
        Count
};
inline constexpr int kVerdictCount = static_cast<int>(Verdict::Count);

// Title block texts.
enum class TitleText : int
{
    Organization,
    ProjectName,
    DesignedBy,
    JobNumber,
    Count
};
inline constexpr int kTitleTextCount = static_cast<int>(TitleText::Count);

// The fixed facts of each part.
struct TBoxDef
{
    std::string_view name; // identifier, e.g. "ShoredHeight"
    Section section;
    int tag;
    std::string_view caption;
    UnitKind unit;
    uint8_t flags;
};
struct TListDef
{
    std::string_view name;
    Section section;
    std::string_view caption;
};
struct TCheckDef
{
    std::string_view name;
    Section section;
    std::string_view caption;
};
struct TVerdictDef
{
    std::string_view name;
    Section section;
};

const TBoxDef& BoxDef(Box box);
const TListDef& ListDef(List list);
const TCheckDef& CheckDef(Check check);
const TCheckDef& LabelDef(Label label);
const TVerdictDef& VerdictDef(Verdict verdict);
std::string_view SectionName(Section section);
// The caption a section has in the design (before the captions that change are set).
std::string_view SectionDesignCaption(Section section);
std::string_view TitleTextCaption(TitleText text);
// Column heads of the pressure point tables: "x, ft" and "w, ksf" ("x, m", "w, kPa" in SI).
std::string_view PointColumnHead(bool pressure, bool si);

} // namespace tw::form
