// TTWData: the whole state of one shoring-wall project — the inputs, the selections that
// drive the analysis, the current catalogues and every value the analysis produces.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/BeamShapes.h"
#include "engine/CheckedMath.h"
#include "engine/Dates.h"
#include "engine/Enums.h"
#include "engine/Globals.h"
#include "engine/Guardrail.h"
#include "engine/Lagging.h"
#include "engine/RebarCage.h"
#include "engine/SteelChecks.h"

namespace tw {

// One point of a pressure diagram: depth from the pile top (ft | m) and the diagram
// pressure there (ksf | kPa; loading side positive, passive side negative).
struct TPressurePoint
{
    long double X = 0;
    long double W = 0;
    // The 4 bytes that follow the point in project files: carried unchanged, zero in new
    // projects.
    std::array<uint8_t, 4> Padding{};

    bool operator==(const TPressurePoint&) const = default;
};

// One of the 64 analysis nodes; the first pass integrates the full pressure, the cut pass
// only where the first-pass moment is positive.
struct TPileNode
{
    long double Depth = 0;         // ft | m
    long double Pressure = 0;      // ksf | kPa, per unit length of wall
    long double Load = 0;          // Pressure x PileSpacing, k/ft | kN/m
    long double Shear = 0;         // k | kN
    long double Moment = 0;        // k-ft | kN-m
    long double Slope = 0;         // rad, integrated from the top
    long double RelSlope = 0;      // Slope minus the slope of node 63
    long double Deflection = 0;    // ft | m
    long double DeflectionOut = 0; // in | mm, relative to node 63
    long double CutLoad = 0;
    long double CutShear = 0;
    long double CutMoment = 0;
    long double CutSlope = 0;
    long double CutRelSlope = 0;
    long double CutDeflection = 0;
    long double CutDeflectionOut = 0;
};
inline constexpr int kPileNodeCount = 64;
inline constexpr int kLoadPointCount = 8;
inline constexpr int kPassivePointCount = 4;

class TTWData
{
public:
    // A project as the program starts one: English units, then the defaults of New.
    TTWData();

    // Resets the project. builtInOnly true applies the built-in defaults only; false
    // overlays the example project of the current unit system when ExampleFolder holds it.
    void NewProject(bool builtInOnly);

    // Project files (.btw; ProjectFile.h). SaveToFile writes a temporary file beside the
    // target and renames it over the target only when everything was written. LoadFromFile
    // reads only a regular file of a sane size (SafeFile.h) into a fresh project and takes it
    // over only when the whole file was read, so a failed load leaves this project as it was.
    // Both throw std::runtime_error with a message for the user ("Wrong file format" for a
    // file that is not a project of a version this program reads).
    void SaveToFile(const std::filesystem::path& path) const;
    void LoadFromFile(const std::filesystem::path& path);
    // The same on streams; LoadFromStream replaces this project's persisted state in place.
    void SaveToStream(std::ostream& out) const;
    void LoadFromStream(std::istream& in);

    // Catalogue choice. Each setter reloads the current catalogues it depends on.
    void SetUnitSystem(TUnitSystem units);
    void SetSteelLibrary(TSteelLibrary library);
    void SetPileType(TPileType pileType);
    // Reloads the steel and round catalogues for the stored unit system, library and pile
    // type (after a project file was read).
    void LoadCatalogues();
    // The bar table of RebarStandard and the guardrail angles, in the current units.
    void LoadRebarTable();
    void LoadGuardrailShapes();

    // SheetIndex for a sheet pile, else BeamIndex; -1 is the user-defined section.
    int32_t SelectedSectionIndex() const;
    void SelectSection(int32_t index);
    // The selected section in the current units. These three are the only ways the analysis
    // reads a section.
    TSteelShape GetSection() const;
    // The same section without copying it (a copy moves each of its extended values through
    // the FPU): the catalogue row or the user section itself, or `scratch` holding a round
    // section converted to the I-section form.
    const TSteelShape& SelectedSection(std::optional<TSteelShape>& scratch) const;
    // One value of the selected section.
    long double SectionValue(long double TSteelShape::*value) const
    {
        std::optional<TSteelShape> scratch;
        return SelectedSection(scratch).*value;
    }
    void SetUserSection(const TSteelShape& shape) { UserSection = shape; }
    long double UnitValue(long double si, long double english) const
    {
        return Units == TUnitSystem::usSI ? si : english;
    }
    std::string RebarLabel(int32_t designation) const;
    // The chosen guardrail angle; an index outside the list reads the first angle.
    const TGRShape& SelectedGuardrailShape() const;

    // The pile width B the analysis uses.
    long double EffectivePileWidth() const;
    // The passive-side soil: backfill soil 2 under Gross Pressure.
    long double GetPassivePhi() const;
    long double GetPassiveUnitWeight() const;
    long double GetPassiveFS() const;

    // Ties the selections together: a sheet pile is driven and carries no reinforcement
    // choice; a rebar cage is offered only in a drilled hole.
    void ApplySelectionRules();

    // The analysis: earth pressures, top moment, embedment, pressure diagrams, the pile
    // analysis, the maxima and every design check, in that order (the steps are in
    // Pressures.h, Embedment.h, PileAnalysis.h and the check units; Analyze.h runs them). An
    // arithmetic failure throws TAnalysisError naming the step and what failed; the values
    // computed before it stay in the project.
    void Analyze();

    // The pressure of a three-segment diagram (loading points 1-4, 5-8 or passive points
    // 1-4) at depth x: linear on P3-P4 when x > X3, else on P2-P3 when x > X2, else on
    // P1-P2; no clamping beyond the ends. Throws TAnalysisError when the chosen segment has
    // zero length. The pile analysis applies the same rule to runs of nodes, through the two
    // helpers below.
    static long double PressureAt(std::span<const TPressurePoint, 4> points, long double x)
    {
        const TPressurePoint& a = points[DiagramSegment(x, points[1].X, points[2].X)];
        const TPressurePoint& b = (&a)[1];
        if (b.X == a.X)
            FailAnalysis(kZeroSegmentMessage);
        return SegmentPressure(a.W, b.W - a.W, b.X - a.X, x - a.X);
    }
    // The segment read at depth x of a diagram whose second and third points lie at x2 and
    // x3: 2 (P3-P4), 1 (P2-P3) or 0 (P1-P2).
    static int DiagramSegment(long double x, long double x2, long double x3)
    {
        return x > x3 ? 2 : (x > x2 ? 1 : 0);
    }
    // aW + rise (dx) / length on a segment starting at pressure aW. A zero numerator over the
    // length is a zero of known sign, so the 80-bit division is skipped (a segment of constant
    // pressure, or a depth at the segment's start).
    [[gnu::always_inline]] static long double SegmentPressure(long double aW, long double rise,
                                                              long double length, long double dx)
    {
        const long double q = rise * dx;
        if (q == 0 && !std::isnan(length))
            return aW + (std::signbit(length) ? -q : q);
        return aW + q / length;
    }
    static constexpr const char* kZeroSegmentMessage =
        "division by zero in the diagram pressure at a depth (two points of the diagram lie at"
        " the same depth)";

    // The maxima of the cut pass (shear, moment above and below grade) and TopDeflection,
    // from the current Nodes (PileAnalysis.h). Analyze runs it after the pile analysis.
    void ComputeMaxima();

    // The logo as JPEG bytes (empty: none). SetLogoJpeg decodes the bytes to validate them
    // and throws std::invalid_argument, leaving the logo as it was, when they are not a JPEG.
    const std::vector<uint8_t>& Logo() const { return Logo_; }
    bool HasLogo() const { return !Logo_.empty(); }
    void SetLogoJpeg(std::vector<uint8_t> jpeg);
    // Re-encodes a picture (RGB, 3 bytes a pixel, rows top to bottom) as the JPEG logo.
    void SetLogoImage(int width, int height, std::span<const uint8_t> rgb);
    void ClearLogo() { Logo_.clear(); }
    // Replaces the logo by the JPEG file at the path; throws std::runtime_error when it
    // cannot be read or is not a JPEG, leaving the logo as it was.
    void LoadLogoFromFile(const std::filesystem::path& path);

    // The current catalogues and limits, in force for the stored selections.
    const InputLimitTable& Limits() const { return *Limits_; }
    const TArrSteelShapes& SteelShapes() const { return *SteelShapes_; }
    const TArrOShapes& OShapes() const { return *OShapes_; }
    const TGRShapes& GuardrailShapes() const { return *GuardrailShapes_; }
    const TRebarTable& RebarTable() const { return *RebarTable_; }

    // Where NewProject looks for the example projects (the program's folder); empty: nowhere.
    std::filesystem::path ExampleFolder;

    // --- Project identification (8-bit texts, at most 255 characters in files) ---
    std::string Organization;
    std::string ProjectName;
    std::string JobNumber;
    std::string DesignedBy;
    double ProjectDate = 0;

    // --- Inputs ---
    TUnitSystem Units = TUnitSystem::usEnglish;
    TAnalysisMethod AnalysisMethod = TAnalysisMethod::amNetPressure;
    TInstallMethod InstallMethod = TInstallMethod::imDrilled;
    TPileType PileType = TPileType::ptSoldierBeam;
    TReinforcement Reinforcement = TReinforcement::rfIBeam;
    long double ShoredHeight = 0;
    long double PileSpacing = 0;
    long double PileWidth = 0;
    TSoilMethod SoilMethod = TSoilMethod::smCoulomb;
    long double BackfillPhi = 0;
    long double BackfillDelta = 0;
    long double BackfillSlope = 0;
    long double BackfillWallAngle = 0;
    long double BackfillUnitWeight = 0;
    long double Surcharge = 0;
    // Inputs of the Equivalent Fluid method that the analysis overwrites with its own results
    // under Coulomb (the equivalent fluid pressures it derives): ActiveEFP, Active2EFP,
    // PassiveEFP and MaxPassivePressure. A Coulomb project's stored values are last results.
    long double ActiveEFP = 0; // input under Equivalent Fluid; result under Coulomb
    long double Backfill2Phi = 0;
    long double Backfill2Delta = 0;
    long double Backfill2Slope = 0;
    long double Backfill2WallAngle = 0;
    long double Backfill2UnitWeight = 0;
    long double Backfill2Surcharge = 0;
    long double Active2EFP = 0; // input under Equivalent Fluid; result under Coulomb
    long double PassivePhi = 0;
    long double PassiveDelta = 0;
    long double PassiveSlope = 0;
    long double PassiveWallAngle = 0;
    long double PassiveUnitWeight = 0;
    long double PassiveSafetyFactor = 0;
    long double Cohesion = 0;
    long double IgnorePassiveHeight = 0;
    long double WedgeMultiplier = 0;
    bool AllowablePassive = false;
    long double PassiveEFP = 0;         // input under Equivalent Fluid; result under Coulomb
    long double MaxPassivePressure = 0; // input under Equivalent Fluid; result under Coulomb
    long double ReservedSoilValue = 0;  // kept in files, never used
    // The soil-spring analysis' n_h (sands) or k1 (clays), lb/in^3 | kN/m^3; 0 takes Terzaghi's
    // value for the soil below the base (SoilSprings.h).
    long double SubgradeModulus = 0;
    TSteelLibrary SteelLibrary = TSteelLibrary::slNorthAmerican;
    int32_t BeamIndex = 0;
    int32_t SheetIndex = 0;
    TSteelShape UserSection;
    bool PipeFilled = false;
    long double ElasticModulus = 0;
    long double YieldStrength = 0;
    long double AllowableTopDeflection = 0;
    long double ConcreteStrength = 0;
    TRebarStandard RebarStandard = TRebarStandard::rsUS;
    int32_t VerticalBarSize = 0;
    int32_t BarCount = 0;
    TTieType TieType = TTieType::ttTie;
    int32_t TieBarSize = 0;
    long double ClearCover = 0;
    long double TieSpacingOverride = 0;
    TShoredHeightFill ShoredHeightFill = TShoredHeightFill::sfConcrete;
    long double AxialLoad = 0;
    long double LateralLoadTop = 0;
    long double OtherMoment = 0;
    bool StripLoadOn = false;
    long double StripPressure = 0;
    long double StripSetback = 0;
    long double StripWidth = 0;
    long double StripDepth = 0;
    bool SeismicLoadOn = false;
    long double SeismicThrust = 0;
    long double SeismicArm = 0;
    std::array<TPressurePoint, kLoadPointCount> LoadPoints{};       // points 1 to 8
    std::array<TPressurePoint, kPassivePointCount> PassivePoints{}; // points 1 to 4
    TLaggingType LaggingType = TLaggingType::ltNone;
    long double ArchingFactor = 0;
    int32_t LaggingConcrete = 0; // 0 the lower strength; any other value the higher one
    long double LaggingFb = 0;
    long double LaggingFv = 0;
    long double LaggingFcPerp = 0;
    long double LaggingSizeFactor = 0;
    long double LaggingFlatUseFactor = 0;
    long double LaggingModulus = 0;
    bool SouthernPine = false;
    TLumberGrade LumberGrade = TLumberGrade::lgNo1;
    bool GuardrailOn = false;
    int32_t GuardrailShape = 0;
    long double GuardrailLength = 0;
    long double GuardrailSpacing = 0;
    long double GuardrailDistLoad = 0;
    long double GuardrailPointLoad = 0;
    long double GuardrailSFCompression = 0;
    long double GuardrailSFBending = 0;

    // --- Derived values and results (written by the analysis, never stored) ---
    long double PlanEdgeOffset = 0;
    long double Ka = 0, Kp = 0, Ka2 = 0;
    long double StripTop = 0, StripLateralPressure = 0, StripMoment = 0;
    long double SeismicMoment = 0;
    long double TopMoment = 0;
    long double EquilibriumDepth = 0, EmbedmentIncrease = 0, EmbedmentDepth = 0,
                TotalPileLength = 0;
    long double UnbracedLength = 0;
    long double BeamDiagonal = 0;
    long double PierInertia = 0, ConcreteModulus = 0, SectionInertia = 0, StiffnessAbove = 0,
                StiffnessBelow = 0, NodeSpacing = 0;
    std::array<TPileNode, kPileNodeCount> Nodes{};
    long double MaxShear = 0, MaxShearDepth = 0;
    int32_t MaxShearNode = 0;
    long double MaxMomentAbove = 0, MaxMomentAboveDepth = 0;
    int32_t MaxMomentAboveNode = 0;
    long double MaxMomentBelow = 0, MaxMomentBelowDepth = 0;
    int32_t MaxMomentBelowNode = 0;
    long double TopDeflection = 0;
    TSteelCheckResults SteelCheckResults;
    TFlexureCheck FlexureCheck;
    TAxialCheck AxialCheck;
    std::array<TInteractionPoint, kInteractionPointCount> InteractionPoints{};
    TRebarCageResults RebarCageResults;
    TLaggingResults LaggingResults;
    TGuardrailResults GuardrailResults;

private:
    // The project-file reader and writer carry the logo and the user section's record as
    // stored (ProjectFile.h).
    friend void WriteProjectFile(const TTWData& project, std::ostream& out);
    friend void ReadProjectFile(TTWData& project, std::istream& in);

    void ApplyBuiltInDefaults();

    std::vector<uint8_t> Logo_;
    // The user section's record as last read from a project file. It is written back while
    // UserSection still matches it, so the record's unused name and padding bytes survive.
    std::array<uint8_t, kSteelShapeRecordSize> UserSectionRecord_{};
    const InputLimitTable* Limits_ = &EnglishInputLimits();
    // The shared, immutable tables in force for the stored choices.
    const TArrSteelShapes* SteelShapes_ = nullptr;
    const TArrOShapes* OShapes_ = nullptr;
    const TGRShapes* GuardrailShapes_ = nullptr;
    const TRebarTable* RebarTable_ = nullptr;
};

} // namespace tw
