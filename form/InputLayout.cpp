#include "form/InputLayout.h"

namespace tw::form {

namespace {

template <class E> constexpr int N(E e)
{
    return static_cast<int>(e);
}
constexpr TInputItem IB(Box b)
{
    return {InputItemKind::Box, N(b)};
}
constexpr TInputItem IL(List l)
{
    return {InputItemKind::List, N(l)};
}
constexpr TInputItem IC(Check c)
{
    return {InputItemKind::Check, N(c)};
}
constexpr TInputItem IO(Check c)
{
    return {InputItemKind::Options, N(c)};
}
constexpr TInputItem IT(Label l)
{
    return {InputItemKind::Text, N(l)};
}

} // namespace

const std::vector<TSectionItems>& InputLayout()
{
    static const std::vector<TSectionItems> layout{
        {Section::GeneralData,
         {IL(List::Units), IL(List::AnalysisMethod), IL(List::InstallMethod), IL(List::PileType),
          IL(List::Reinforcement), IB(Box::SheetPileDepth), IB(Box::ShoredHeight),
          IB(Box::PileSpacing), IB(Box::PileWidth), IB(Box::IgnorePassiveUD),
          IT(Label::ImportantNotice)}},
        {Section::BackfillSoils,
         {IL(List::SoilMethod), IB(Box::BackfillPhi), IB(Box::BackfillDelta),
          IB(Box::BackfillSlope), IB(Box::BackfillWallAngle), IB(Box::ActiveEFP),
          IB(Box::BackfillSlopeEFP), IB(Box::BackfillUnitWeight), IB(Box::Surcharge)}},
        {Section::BackfillSoils2,
         {IB(Box::Backfill2Phi), IB(Box::Backfill2Delta), IB(Box::Backfill2Slope),
          IB(Box::Backfill2WallAngle), IB(Box::Active2EFP), IB(Box::Backfill2UnitWeight),
          IB(Box::Backfill2Surcharge)}},
        {Section::PassiveSoils,
         {IO(Check::AllowablePassive), IB(Box::PassivePhi), IB(Box::PassiveDelta),
          IB(Box::PassiveSlope), IB(Box::PassiveWallAngle), IB(Box::PassiveEFP),
          IB(Box::MaxPassive), IB(Box::PassiveSlopeEFP), IB(Box::PassiveFS),
          IB(Box::PassiveUnitWeight), IB(Box::Cohesion), IB(Box::IgnorePassiveHeight),
          IB(Box::WedgeMultiplier), IB(Box::SubgradeModulus)}},
        {Section::StructuralData,
         {// The I-beam rows.
          IL(List::SteelLibrary),
          IL(List::SheetLibrary),
          IL(List::SectionSize),
          IB(Box::BeamDiagonal),
          IC(Check::PipeFilled),
          // The materials.
          IB(Box::ElasticModulus),
          IB(Box::YieldStrength),
          IB(Box::AllowTopDeflection),
          IB(Box::ConcreteStrength),
          // The rebar cage rows.
          IL(List::RebarStandard),
          IL(List::VerticalBar),
          IB(Box::BarCount),
          IL(List::TieType),
          IL(List::TieBar),
          IB(Box::ClearCover),
          IB(Box::TieSpacingCalculated),
          IB(Box::TieSpacingOverride),
          IB(Box::ReinforcementRatio),
          IO(Check::SlurryFill),
          IT(Label::SpacingMessage),
          {InputItemKind::ViewTable}}},
        {Section::Loads,
         {IB(Box::AxialLoad), IB(Box::LateralLoad), IB(Box::OtherMoment), IB(Box::TotalMoment),
          IC(Check::StripLoad), IB(Box::StripPressure), IB(Box::StripSetback), IB(Box::StripWidth),
          IB(Box::StripDepth), IB(Box::StripMoment), IC(Check::SeismicLoad), IB(Box::SeismicThrust),
          IB(Box::SeismicArm), IB(Box::SeismicMoment)}},
        {Section::PressureInput, {{InputItemKind::Points}}},
        {Section::LaggingInput,
         {IL(List::LaggingType), IB(Box::ArchingFactor), IL(List::LaggingConcrete),
          IB(Box::LumberFb), IB(Box::LumberFv), IB(Box::LumberModulus), IC(Check::SouthernPine),
          IL(List::LumberGrade)}},
        {Section::GuardrailInput,
         {IC(Check::UseGuardrail), IL(List::GuardrailShape), IB(Box::GuardrailLength),
          IB(Box::LateralBracing), IL(List::GuardrailSpacing), IB(Box::GuardrailDistLoad),
          IB(Box::GuardrailPointLoad), IB(Box::GuardrailSFCompression),
          IB(Box::GuardrailSFBending)}},
    };
    return layout;
}

bool IsValueList(List list)
{
    return list == List::LaggingConcrete || list == List::GuardrailSpacing;
}

bool ReadOnlyBoxCommits(Box b)
{
    return b == Box::BackfillWallAngle || b == Box::Backfill2Slope ||
           b == Box::Backfill2WallAngle || b == Box::PassiveWallAngle;
}

} // namespace tw::form
