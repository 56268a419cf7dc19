#include "engine/TWClasses.h"

#include <sstream>
#include <stdexcept>
#include <system_error>

#include "engine/Analyze.h"
#include "engine/Jpeg.h"
#include "engine/PileAnalysis.h"
#include "engine/ProjectFile.h"
#include "engine/SafeFile.h"

namespace tw {

TTWData::TTWData()
{
    SetUnitSystem(TUnitSystem::usEnglish);
    NewProject(false);
}

void TTWData::ApplyBuiltInDefaults()
{
    Organization.clear();
    ProjectName.clear();
    JobNumber.clear();
    DesignedBy.clear();
    Logo_.clear();
    ProjectDate = TodaySerial();

    // The catalogues and limits always follow the unit system, so the English defaults
    // load the English tables even when an SI project was open.
    SetUnitSystem(TUnitSystem::usEnglish);
    AnalysisMethod = TAnalysisMethod::amNetPressure;
    InstallMethod = TInstallMethod::imDrilled;
    SetPileType(TPileType::ptSoldierBeam);
    Reinforcement = TReinforcement::rfIBeam;
    SoilMethod = TSoilMethod::smCoulomb;

    ShoredHeight = 0;
    PileSpacing = 0;
    PileWidth = 0;
    BackfillPhi = 0;
    BackfillDelta = 0;
    BackfillSlope = 0;
    BackfillWallAngle = 90;
    BackfillUnitWeight = 0;
    Surcharge = 0;
    ActiveEFP = 0;
    Backfill2Phi = 0;
    Backfill2Delta = 0;
    Backfill2Slope = 0;
    Backfill2WallAngle = 90;
    Backfill2UnitWeight = 0;
    Backfill2Surcharge = 0;
    Active2EFP = 0;
    PassivePhi = 0;
    PassiveDelta = 0;
    PassiveSlope = 0;
    PassiveWallAngle = 90;
    PassiveUnitWeight = 0;
    PassiveSafetyFactor = 0;
    Cohesion = 0;
    IgnorePassiveHeight = 0;
    WedgeMultiplier = 2.0L;
    AllowablePassive = false;
    PassiveEFP = 0;
    MaxPassivePressure = 0;
    ReservedSoilValue = 0;
    SubgradeModulus = 0;
    BeamIndex = 0;
    PipeFilled = false;
    ElasticModulus = 0;
    YieldStrength = 60;
    AllowableTopDeflection = 0;
    ConcreteStrength = 0;
    RebarStandard = TRebarStandard::rsUS;
    VerticalBarSize = 0;
    BarCount = 0;
    TieType = TTieType::ttTie;
    TieBarSize = 0;
    ClearCover = 3.0L;
    TieSpacingOverride = 3.0L;
    ShoredHeightFill = TShoredHeightFill::sfConcrete;
    AxialLoad = 0;
    LateralLoadTop = 0;
    OtherMoment = 0;
    StripPressure = 0;
    StripSetback = 0;
    StripWidth = 0;
    StripDepth = 0;
    SeismicThrust = 0;
    SeismicArm = 0;
    LoadPoints.fill(TPressurePoint{});
    PassivePoints.fill(TPressurePoint{});
    ArchingFactor = 1.0L;
    // 3 is neither 0 nor 1: the lagging design reads it as the higher strength, and the
    // window's two-item list shows no selection for it.
    LaggingConcrete = 3;
    LaggingFb = 1100;
    LaggingFv = 150;
    LaggingFcPerp = 625;
    LaggingSizeFactor = 1.0L;
    LaggingFlatUseFactor = 1.0L;
    LaggingModulus = 1.4L;
    SouthernPine = false;
    LumberGrade = TLumberGrade::lgNo1;
    GuardrailOn = true;
    GuardrailShape = 0;
    GuardrailLength = 3.5L;
    GuardrailSpacing = PileSpacing;
    GuardrailDistLoad = 50;
    GuardrailPointLoad = 200;
    GuardrailSFCompression = 1.67L;
    GuardrailSFBending = 1.67L;
    TopMoment = 0;
    // StripLoadOn, SeismicLoadOn, SheetIndex, LaggingType and UserSection keep their values.
    SetSteelLibrary(TSteelLibrary::slNorthAmerican);
    LoadRebarTable();
}

void TTWData::NewProject(bool builtInOnly)
{
    // The example of the unit system in force before the defaults reset it.
    const bool si = Units == TUnitSystem::usSI;
    ApplyBuiltInDefaults();
    if (builtInOnly || ExampleFolder.empty())
        return;
    const std::filesystem::path example =
        ExampleFolder / (si ? "SI UNITS EXAMPLE.btw" : "ENGLISH UNITS EXAMPLE.btw");
    std::error_code ec;
    if (!std::filesystem::exists(example, ec))
        return;
    // A missing, unreadable or damaged example is not an error: the defaults stay.
    try {
        std::istringstream in(ReadRegularFile(example, kMaxProjectFileBytes, "project files"),
                              std::ios::binary);
        TTWData loaded(*this);
        loaded.LoadFromStream(in);
        loaded.Organization.clear();
        loaded.ProjectName.clear();
        loaded.JobNumber.clear();
        loaded.DesignedBy.clear();
        loaded.ClearLogo();
        loaded.ProjectDate = TodaySerial();
        *this = std::move(loaded);
    } catch (const std::exception&) {
    }
}

void TTWData::SaveToFile(const std::filesystem::path& path) const
{
    SaveProjectFile(*this, path);
}

void TTWData::LoadFromFile(const std::filesystem::path& path)
{
    LoadProjectFile(*this, path);
}

void TTWData::SaveToStream(std::ostream& out) const
{
    WriteProjectFile(*this, out);
}

void TTWData::LoadFromStream(std::istream& in)
{
    ReadProjectFile(*this, in);
}

void TTWData::SetUnitSystem(TUnitSystem units)
{
    Units = units;
    Limits_ = &InputLimitsFor(units);
    LoadCatalogues();
    LoadGuardrailShapes();
    LoadRebarTable();
}

void TTWData::SetSteelLibrary(TSteelLibrary library)
{
    if (library == SteelLibrary)
        return;
    SteelLibrary = library;
    LoadCatalogues();
}

void TTWData::SetPileType(TPileType pileType)
{
    if (pileType == PileType)
        return;
    PileType = pileType;
    LoadCatalogues();
}

void TTWData::LoadCatalogues()
{
    SteelShapes_ = &SteelShapesFor(Units, SteelLibrary, PileType);
    OShapes_ = &OShapesFor(SteelLibrary, Units == TUnitSystem::usSI);
}

void TTWData::LoadRebarTable()
{
    RebarTable_ = &RebarTableFor(RebarStandard, Units);
}

void TTWData::LoadGuardrailShapes()
{
    GuardrailShapes_ = &GuardrailShapesFor(Units);
}

int32_t TTWData::SelectedSectionIndex() const
{
    return PileType == TPileType::ptSheetPile ? SheetIndex : BeamIndex;
}

void TTWData::SelectSection(int32_t index)
{
    // A newly chosen user-defined section starts from the catalogue section chosen before.
    if (SelectedSectionIndex() >= 0 && index == -1)
        UserSection = GetSection();
    if (PileType == TPileType::ptSheetPile)
        SheetIndex = index;
    else
        BeamIndex = index;
    // The user-defined section mirrors the last catalogue section until the user edits it.
    if (index >= 0)
        UserSection = GetSection();
}

TSteelShape TTWData::GetSection() const
{
    std::optional<TSteelShape> scratch;
    return SelectedSection(scratch);
}

const TSteelShape& TTWData::SelectedSection(std::optional<TSteelShape>& scratch) const
{
    const int32_t index = SelectedSectionIndex();
    if (index < 0)
        return UserSection;
    // An index beyond the current catalogue (a damaged project file, or a library switch
    // to a shorter list) falls back to the first row rather than reading outside it.
    if (Reinforcement != TReinforcement::rfIBeam) {
        if (OShapes().empty())
            return UserSection;
        const std::size_t row = static_cast<std::size_t>(index) < OShapes().size()
                                    ? static_cast<std::size_t>(index)
                                    : 0;
        return scratch.emplace(OShapeToSteelShape(OShapes()[row], Units == TUnitSystem::usSI));
    }
    if (SteelShapes().empty())
        return UserSection;
    const std::size_t row = static_cast<std::size_t>(index) < SteelShapes().size()
                                ? static_cast<std::size_t>(index)
                                : 0;
    return SteelShapes()[row];
}

std::string TTWData::RebarLabel(int32_t designation) const
{
    return tw::RebarLabel(designation, RebarStandard, Units);
}

const TGRShape& TTWData::SelectedGuardrailShape() const
{
    const auto index = static_cast<std::size_t>(GuardrailShape);
    return GuardrailShape >= 0 && index < GuardrailShapes().size() ? GuardrailShapes()[index]
                                                                   : GuardrailShapes()[0];
}

long double TTWData::EffectivePileWidth() const
{
    if (PileType == TPileType::ptSheetPile)
        return 1.0L;
    if (InstallMethod == TInstallMethod::imDriven)
        return SectionValue(&TSteelShape::bf) / UnitValue(100, 12); // cm to m, in to ft
    return PileWidth;
}

long double TTWData::GetPassivePhi() const
{
    return AnalysisMethod == TAnalysisMethod::amGrossPressure ? Backfill2Phi : PassivePhi;
}

long double TTWData::GetPassiveUnitWeight() const
{
    return AnalysisMethod == TAnalysisMethod::amGrossPressure ? Backfill2UnitWeight
                                                              : PassiveUnitWeight;
}

long double TTWData::GetPassiveFS() const
{
    return AnalysisMethod == TAnalysisMethod::amGrossPressure ? 1.0L : PassiveSafetyFactor;
}

void TTWData::ApplySelectionRules()
{
    if (PileType == TPileType::ptSheetPile) {
        InstallMethod = TInstallMethod::imDriven;
        Reinforcement = TReinforcement::rfIBeam;
    }
    const auto offered = ReinforcementItemsFor(InstallMethod);
    const auto chosen = static_cast<std::size_t>(Reinforcement);
    if (static_cast<int32_t>(Reinforcement) < 0 || chosen >= offered.size())
        Reinforcement = TReinforcement::rfIBeam;
}

void TTWData::Analyze()
{
    tw::Analyze(*this);
}

void TTWData::ComputeMaxima()
{
    tw::ComputeMaxima(*this);
}

void TTWData::SetLogoJpeg(std::vector<uint8_t> jpeg)
{
    std::string error;
    if (!IsValidJpeg(jpeg, &error))
        throw std::invalid_argument("The logo is not a valid JPEG image: " + error);
    Logo_ = std::move(jpeg);
}

void TTWData::SetLogoImage(int width, int height, std::span<const uint8_t> rgb)
{
    JpegImage image;
    image.width = width;
    image.height = height;
    image.rgb.assign(rgb.begin(), rgb.end());
    Logo_ = EncodeJpeg(image);
}

void TTWData::LoadLogoFromFile(const std::filesystem::path& path)
{
    // A logo is a small picture; anything that could not sensibly be one is not read.
    std::string read = ReadRegularFile(path, kMaxLogoFileBytes, "logo pictures");
    std::vector<uint8_t> bytes(read.begin(), read.end());
    try {
        SetLogoJpeg(std::move(bytes));
    } catch (const std::invalid_argument& e) {
        throw std::runtime_error(path.string() + ": " + e.what());
    }
}

} // namespace tw
