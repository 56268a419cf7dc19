#include "form/MainForm.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

#include "engine/Ansi.h"
#include "form/InputHints.h"

namespace tw::form {

const std::string_view kPassiveInfoHint =
    "If the Soils Report specifies \"Allowable Passive\", the embedment depth will be the "
    "equilibrium depth + 0.05h, if however, the Soils Report specifies \"Ultimate Passive\", "
    "the embedment depth will be the equilibrium depth + 0.4h.";

const std::string_view kUnitsNotConvertedNotice =
    "Switching units keeps the numbers as typed: they are not converted (20 ft becomes 20 m).";

const std::string_view kUserDefinedNotice =
    "User Defined method is for experienced shoring design engineers only. That is those who "
    "can develop earth pressure loading diagram independently. The program can not verify the "
    "suitability of the loading pressure since soils parameters are not required. This method "
    "is suitable when you have complex surcharges, seismic load, pore pressures, slope creep, "
    "etc.";

namespace {

template <class E> constexpr int N(E e) { return static_cast<int>(e); }

bool InputColumn(Section s) { return !IsResultSection(s); }

std::vector<std::string> ToStrings(std::span<const std::string_view> items)
{
    return {items.begin(), items.end()};
}

// Project texts are Windows-1252; the form holds UTF-8.
std::string Shown(const std::string& ansi)
{
    std::string utf8 = AnsiToUtf8(ansi);
    // The engine's multi-line texts break lines with a carriage return.
    std::replace(utf8.begin(), utf8.end(), '\r', '\n');
    return utf8;
}

constexpr std::array kCoulombBoxes{Box::BackfillPhi,  Box::BackfillDelta,     Box::BackfillSlope,
                                   Box::BackfillWallAngle, Box::Backfill2Phi, Box::Backfill2Delta,
                                   Box::Backfill2Slope, Box::Backfill2WallAngle, Box::PassivePhi,
                                   Box::PassiveDelta, Box::PassiveSlope,      Box::PassiveWallAngle};
constexpr std::array kFluidBoxes{Box::ActiveEFP,  Box::BackfillSlopeEFP, Box::Active2EFP,
                                 Box::PassiveEFP, Box::MaxPassive,       Box::PassiveSlopeEFP};
constexpr std::array kRebarBoxes{Box::BarCount, Box::ClearCover, Box::TieSpacingCalculated,
                                 Box::TieSpacingOverride, Box::ReinforcementRatio};
constexpr std::array kRebarLists{List::RebarStandard, List::VerticalBar, List::TieType,
                                 List::TieBar};
constexpr std::array kStripBoxes{Box::StripPressure, Box::StripSetback, Box::StripWidth,
                                 Box::StripDepth, Box::StripMoment};
constexpr std::array kSeismicBoxes{Box::SeismicThrust, Box::SeismicArm, Box::SeismicMoment};
constexpr std::array kGuardrailBoxes{Box::GuardrailLength,    Box::LateralBracing,
                                     Box::GuardrailDistLoad,  Box::GuardrailPointLoad,
                                     Box::GuardrailSFCompression, Box::GuardrailSFBending};

} // namespace

TMainForm::TMainForm(TTWData& project, TNumberFormat format)
    : project_(project), format_(std::move(format))
{
    for (int i = 0; i < kBoxCount; ++i) {
        const TBoxDef& def = BoxDef(static_cast<Box>(i));
        boxes_[i].caption = std::string(def.caption);
        boxes_[i].readOnly = (def.flags & (kAlwaysReadOnly | kResult)) != 0;
    }
    for (int i = 0; i < kListCount; ++i)
        lists_[i].caption = std::string(ListDef(static_cast<List>(i)).caption);
    for (int i = 0; i < kSectionCount; ++i)
        sections_[i].caption = std::string(SectionDesignCaption(static_cast<Section>(i)));
    lists_[N(List::Units)].items = ToStrings(kUnitsItems);
    lists_[N(List::AnalysisMethod)].items = ToStrings(kAnalysisMethodItems);
    lists_[N(List::InstallMethod)].items = ToStrings(kInstallMethodItems);
    lists_[N(List::PileType)].items = ToStrings(kPileTypeItems);
    lists_[N(List::Reinforcement)].items = ToStrings(kReinforcementItems);
    lists_[N(List::SoilMethod)].items = ToStrings(kSoilMethodItems);
    lists_[N(List::SteelLibrary)].items = ToStrings(kSteelLibraryItems);
    lists_[N(List::SheetLibrary)].items = {"Sheet Pile"};
    lists_[N(List::SheetLibrary)].index = 0;
    lists_[N(List::RebarStandard)].items = ToStrings(kRebarStandardItems);
    lists_[N(List::TieType)].items = ToStrings(kTieTypeItems);
    lists_[N(List::LaggingType)].items = ToStrings(kLaggingTypeItems);
    lists_[N(List::LaggingConcrete)].items = ToStrings(LaggingConcreteItems(project.Units));
    lists_[N(List::LumberGrade)].items = ToStrings(kLumberGradeItems);
    labels_[N(Label::ImportantNotice)].text = std::string(kUserDefinedNotice);
    labels_[N(Label::ImportantNotice)].red = true;
    displayedUnits_ = project.Units;
    barListsStandard_ = project.RebarStandard;
    barListsUnits_ = project.Units;
    date_ = project.ProjectDate;
    logo_ = project.Logo();
}

// --- Number boxes ---

void TMainForm::Show(Box b, long double value, bool noClamp)
{
    B(b).text = ShowNumber(project_.Limits(), BoxDef(b).tag, noClamp, value, format_);
}

long double TMainForm::Read(Box b, double lower, double upper)
{
    TReadResult r = ReadNumber(project_.Limits(), BoxDef(b).tag, B(b).text, lower, upper, format_);
    if (r.rewrite)
        B(b).text = std::move(r.text);
    return r.value;
}

long double TMainForm::ReadKeepingSign(Box b, double lower, double upper)
{
    long double value = Read(b, lower, upper);
    const TInputLimit limit = LimitForTag(project_.Limits(), BoxDef(b).tag);
    if (limit.Min == 0 && limit.Max == 0)
        return value;
    bool bounded = false;
    if (lower == 0 && value < limit.Min) {
        value = limit.Min;
        bounded = true;
    } else if (upper == 0 && value > limit.Max) {
        value = limit.Max;
        bounded = true;
    }
    if (bounded)
        Show(b, value);
    return value;
}

// --- Lists ---

void TMainForm::FillList(List l, std::vector<std::string> items)
{
    L(l).items = std::move(items);
}

void TMainForm::FillEnumList(List l, std::span<const std::string_view> items)
{
    FillList(l, ToStrings(items));
}

void TMainForm::RefreshCatalogLists(bool onlyIfEmpty)
{
    project_.LoadRebarTable();
    project_.LoadGuardrailShapes();
    RefreshSectionList(onlyIfEmpty);
    RefreshBarList(List::VerticalBar, onlyIfEmpty);
    RefreshBarList(List::TieBar, onlyIfEmpty);
    RefreshShapeList(onlyIfEmpty);
}

// The selection of a refilled list: the first entry when it was empty before, else the entry
// with the remembered text, else the stored position (the first entry when that is outside).
void TMainForm::SelectAfterRefill(TListState& list, bool wasEmpty,
                                  const std::optional<std::string>& remembered, int stored)
{
    const int count = static_cast<int>(list.items.size());
    const int found = list.Find(remembered);
    if (count == 0)
        list.index = -1;
    else if (wasEmpty)
        list.index = 0;
    else if (found >= 0)
        list.index = found;
    else
        list.index = stored >= 0 && stored < count ? stored : 0;
}

void TMainForm::RefreshSectionList(bool onlyIfEmpty)
{
    TListState& list = L(List::SectionSize);
    if (onlyIfEmpty && !list.items.empty())
        return;
    const bool wasEmpty = list.items.empty();
    const std::optional<std::string> remembered = list.SelectedText();

    list.items.clear();
    if (project_.Reinforcement == TReinforcement::rfIBeam) {
        for (const TSteelShape& shape : project_.SteelShapes())
            list.items.push_back(AnsiToUtf8(shape.Name));
        if (project_.PileType == TPileType::ptSheetPile)
            list.items.emplace_back("User Defined");
    } else {
        for (const TOShape& shape : project_.OShapes())
            list.items.push_back(AnsiToUtf8(shape.Name));
    }
    const int selected = project_.SelectedSectionIndex();
    SelectAfterRefill(list, wasEmpty, remembered,
                      selected == -1 ? static_cast<int>(list.items.size()) - 1 : selected);
}

void TMainForm::RefreshBarList(List l, bool onlyIfEmpty)
{
    TListState& list = L(l);
    if (onlyIfEmpty && !list.items.empty())
        return;
    const std::optional<std::string> remembered = list.SelectedText();
    list.items = RebarLabels(project_.RebarTable(), project_.RebarStandard, project_.Units);
    const int found = list.Find(remembered);
    if (list.items.empty())
        list.index = -1;
    else if (found >= 0)
        list.index = found;
    else if (!remembered && barListsStandard_ == project_.RebarStandard &&
             barListsUnits_ == project_.Units)
        // Lists emptied for a change of reinforcement keep the stored bar of the same
        // standard; after a change of standard the first bar is chosen.
        list.index = BarListIndex(
            l == List::VerticalBar ? project_.VerticalBarSize : project_.TieBarSize, list.items);
    else
        list.index = 0;
    barListsStandard_ = project_.RebarStandard;
    barListsUnits_ = project_.Units;
}

void TMainForm::RefreshShapeList(bool onlyIfEmpty)
{
    TListState& list = L(List::GuardrailShape);
    if (onlyIfEmpty && !list.items.empty())
        return;
    const bool wasEmpty = list.items.empty();
    const std::optional<std::string> remembered = list.SelectedText();
    list.items.clear();
    for (const TGRShape& shape : project_.GuardrailShapes())
        list.items.push_back(AnsiToUtf8(shape.Name));
    SelectAfterRefill(list, wasEmpty, remembered, project_.GuardrailShape);
}

// --- What the user does ---

void TMainForm::EditBox(Box b, std::string text)
{
    B(b).text = std::move(text);
    modified_ = true;
}

TCommitResult TMainForm::Commit()
{
    DismissHint();
    return Report(RecalculateNow());
}

std::string TMainForm::ToolTip(Box b) const
{
    const TBoxDef& def = BoxDef(b);
    if (def.flags & kResult)
        return {};
    std::string tip(InputHint(b));
    // The fixed limits of the box in the current unit system, as the box writes numbers.
    const TInputLimit limit = LimitForTag(project_.Limits(), def.tag);
    if (!(def.flags & kAlwaysReadOnly) && (limit.Min != 0 || limit.Max != 0)) {
        const auto shown = [&](long double v) {
            return FormatFixed(v, limit.Decimals, 10, format_.decimalSeparator);
        };
        if (!tip.empty())
            tip += "\n";
        tip += "Limits: " + shown(limit.Min) + " to " + shown(limit.Max);
        const std::string& unit = boxes_[Index(b)].unit;
        if (!unit.empty())
            tip += " " + unit;
    }
    return tip;
}

std::string TMainForm::ToolTip(List l) const { return std::string(InputHint(l)); }

std::string TMainForm::ToolTip(Check c) const { return std::string(InputHint(c)); }

void TMainForm::DismissHint()
{
    hintText_.clear();
    hintBox_.reset();
}

TCommitResult TMainForm::ChooseListItem(List l, int index)
{
    TListState& list = L(l);
    const int before = list.index;
    list.index = index >= 0 && index < static_cast<int>(list.items.size()) ? index : -1;
    modified_ = true;
    // The numbers stay as typed when the unit system changes; the first time, say so.
    if (l == List::Units && list.index != before && !unitsNoticeGiven_) {
        unitsNoticeGiven_ = true;
        notice_ = std::string(kUnitsNotConvertedNotice);
    }
    return Commit();
}

TCommitResult TMainForm::SetChecked(Check c, bool checked)
{
    C(c).checked = checked;
    modified_ = true;
    return Commit();
}

void TMainForm::EditTitle(TitleText t, std::string utf8)
{
    titles_[Index(t)] = std::move(utf8);
    modified_ = true;
}

void TMainForm::EditDate(double serialDate)
{
    date_ = std::floor(serialDate);
    modified_ = true;
}

void TMainForm::SetLogo(std::vector<uint8_t> jpeg)
{
    logo_ = std::move(jpeg);
    modified_ = true;
}

void TMainForm::EnterBox(Box b)
{
    if (b == Box::TieSpacingCalculated || b == Box::ReinforcementRatio)
        return;
    const Section s = BoxDef(b).section;
    if (!S(s).expanded)
        SetSectionExpanded(s, true);
    if (b == Box::TieSpacingOverride) {
        hintText_ = std::string(kOverrideHint);
        hintBox_ = b;
    }
}

void TMainForm::EnterList(List l)
{
    if (l == List::RebarStandard || l == List::VerticalBar || l == List::TieType ||
        l == List::TieBar)
        return;
    const Section s = ListDef(l).section;
    if (!S(s).expanded)
        SetSectionExpanded(s, true);
}

void TMainForm::EnterCheck(Check c)
{
    if (c == Check::SlurryFill)
        return;
    const Section s = CheckDef(c).section;
    if (!S(s).expanded)
        SetSectionExpanded(s, true);
}

void TMainForm::ToggleSection(Section s) { SetSectionExpanded(s, !S(s).expanded); }

void TMainForm::SetSectionExpanded(Section s, bool expand)
{
    if (expand) {
        for (int i = 0; i < kSectionCount; ++i) {
            const auto other = static_cast<Section>(i);
            if (other != s && InputColumn(other) == InputColumn(s))
                sections_[i].expanded = false;
        }
    }
    S(s).expanded = expand;
}

void TMainForm::ExpandFirstSections()
{
    SetSectionExpanded(Section::GeneralData, true);
    for (int i = N(kFirstResultSection); i < kSectionCount; ++i) {
        if (sections_[i].visible) {
            SetSectionExpanded(static_cast<Section>(i), true);
            break;
        }
    }
}

// --- Recalculation ---

TCommitResult TMainForm::Recalculate() { return Report(RecalculateNow()); }

TCommitResult TMainForm::Report(TCommitResult result)
{
    if (result.ok()) {
        reportedFailure_.reset();
        return result;
    }
    // The same failure with other numbers in its message (the user trying other values) is
    // the same failure: it is not reported again.
    const std::string& message = *result.error;
    const auto digit = [&](std::size_t i) {
        return i < message.size() && message[i] >= '0' && message[i] <= '9';
    };
    std::string kind;
    for (std::size_t i = 0; i < message.size();) {
        const char c = message[i];
        if (digit(i) || ((c == '-' || c == '.') && digit(i + 1))) {
            // A number ("-0.947368", "1e+18") stands as "#".
            while (digit(i) || (i < message.size() && std::string_view(".eE+-").find(
                                                          message[i]) != std::string_view::npos))
                ++i;
            kind += '#';
        } else {
            kind += c;
            ++i;
        }
    }
    result.report = kind != reportedFailure_;
    reportedFailure_ = std::move(kind);
    return result;
}

TCommitResult TMainForm::RecalculateNow()
{
    TTWData& p = project_;

    // Title block.
    p.Organization = Utf8ToAnsi(Title(TitleText::Organization));
    p.ProjectName = Utf8ToAnsi(Title(TitleText::ProjectName));
    p.JobNumber = Utf8ToAnsi(Title(TitleText::JobNumber));
    p.DesignedBy = Utf8ToAnsi(Title(TitleText::DesignedBy));
    if (logo_ != p.Logo()) {
        if (logo_.empty()) {
            p.ClearLogo();
        } else {
            try {
                p.SetLogoJpeg(logo_);
            } catch (const std::exception&) {
                logo_ = p.Logo(); // not a picture: the logo stays as it was
            }
        }
    }
    p.ProjectDate = date_;

    // Unit system: a change shows the project in the new system's limits first.
    p.SetUnitSystem(ListIndex(List::Units) == 1 ? TUnitSystem::usSI : TUnitSystem::usEnglish);
    if (p.Units != displayedUnits_) {
        RefreshCatalogLists(false);
        (void)Display(true);
        displayedUnits_ = p.Units;
    }

    // Change detection, before any selection is copied.
    const int library = std::clamp(ListIndex(List::SteelLibrary), 0, 3);
    const int pileType = std::clamp(ListIndex(List::PileType), 0, 3);
    const int standard = std::clamp(ListIndex(List::RebarStandard), 0, 2);
    if (library != N(p.SteelLibrary) || pileType != N(p.PileType)) {
        L(List::SectionSize).items.clear();
        L(List::SectionSize).index = -1;
    }
    if (standard != N(p.RebarStandard) || ListIndex(List::Reinforcement) != N(p.Reinforcement)) {
        for (List l : {List::VerticalBar, List::TieBar}) {
            L(l).items.clear();
            L(l).index = -1;
        }
    }
    const bool methodChanged = ListIndex(List::AnalysisMethod) != N(p.AnalysisMethod);
    bool installChanged = ListIndex(List::InstallMethod) != N(p.InstallMethod);
    bool reinforcementChanged = ListIndex(List::Reinforcement) != N(p.Reinforcement);
    const bool pileChanged = pileType != N(p.PileType);

    p.SetSteelLibrary(static_cast<TSteelLibrary>(library));
    p.RebarStandard = static_cast<TRebarStandard>(standard);
    p.SetPileType(static_cast<TPileType>(pileType));
    RefreshCatalogLists(true);

    const bool sheet = p.PileType == TPileType::ptSheetPile;
    p.AnalysisMethod =
        static_cast<TAnalysisMethod>(std::clamp(ListIndex(List::AnalysisMethod), 0, 2));
    if (pileChanged && sheet) {
        p.InstallMethod = TInstallMethod::imDriven;
        installChanged = true;
    } else {
        p.InstallMethod =
            static_cast<TInstallMethod>(std::clamp(ListIndex(List::InstallMethod), 0, 1));
    }

    // The reinforcement list offers a rebar cage only in a drilled hole.
    TListState& reinforcement = L(List::Reinforcement);
    const auto offered = ReinforcementItemsFor(p.InstallMethod);
    if (reinforcement.items.size() != offered.size()) {
        const int kept = reinforcement.index;
        FillEnumList(List::Reinforcement, offered);
        reinforcement.index = kept >= 0 && kept < static_cast<int>(offered.size()) ? kept : 0;
        if (reinforcement.index != N(p.Reinforcement))
            reinforcementChanged = true;
    }
    // A sheet pile has no reinforcement list: it is an I-beam section.
    const TReinforcement before = p.Reinforcement;
    reinforcement.visible = !sheet;
    L(List::SteelLibrary).visible = !sheet;
    L(List::SheetLibrary).visible = sheet;
    p.Reinforcement = reinforcement.visible && reinforcement.enabled && reinforcement.index >= 0
                          ? static_cast<TReinforcement>(reinforcement.index)
                          : TReinforcement::rfIBeam;
    p.ApplySelectionRules();
    if (p.Reinforcement != before)
        reinforcementChanged = true;

    p.SoilMethod = static_cast<TSoilMethod>(std::clamp(ListIndex(List::SoilMethod), 0, 1));

    if (reinforcementChanged) {
        L(List::SectionSize).items.clear();
        L(List::SectionSize).index = -1;
        RefreshCatalogLists(true);
    }
    SetCaptionsForPileType();

    // Values shown again after a change of selection.
    if (methodChanged)
        ShowPassiveValues();
    if (installChanged)
        Show(Box::PileWidth, p.EffectivePileWidth());
    if (reinforcementChanged) {
        const bool cage = p.Reinforcement == TReinforcement::rfRebarCage;
        if (!cage && p.YieldStrength == 60)
            Show(Box::YieldStrength, 50);
        else if (cage && p.YieldStrength == 50)
            Show(Box::YieldStrength, 60);
    }

    // Geometry.
    p.ShoredHeight = Read(Box::ShoredHeight);
    if (p.InstallMethod != TInstallMethod::imDriven && !sheet)
        p.PileWidth = Read(Box::PileWidth);
    const long double b = p.EffectivePileWidth();
    switch (p.PileType) {
    case TPileType::ptSoldierBeam:
        p.PileSpacing = Read(Box::PileSpacing);
        break;
    case TPileType::ptTangentPile:
        p.PileSpacing = 2 * b;
        break;
    case TPileType::ptSecantPile:
        p.PileSpacing = Read(Box::PileSpacing, static_cast<double>(1.33L * b),
                             static_cast<double>(1.67L * b));
        break;
    case TPileType::ptSheetPile:
        p.PileSpacing = 1.0L;
        break;
    }

    // Soils.
    const bool gross = p.AnalysisMethod == TAnalysisMethod::amGrossPressure;
    if (p.SoilMethod == TSoilMethod::smCoulomb) {
        p.BackfillPhi = Read(Box::BackfillPhi);
        p.BackfillDelta =
            ReadKeepingSign(Box::BackfillDelta, 0, static_cast<double>(0.75L * p.BackfillPhi));
        p.BackfillSlope = ReadKeepingSign(Box::BackfillSlope, 0, static_cast<double>(p.BackfillPhi));
        p.BackfillUnitWeight = Read(Box::BackfillUnitWeight);
        p.Surcharge = Read(Box::Surcharge);
        if (gross) {
            p.Backfill2Phi = Read(Box::Backfill2Phi);
            p.Backfill2Delta = ReadKeepingSign(Box::Backfill2Delta, 0,
                                               static_cast<double>(0.75L * p.Backfill2Phi));
            p.Backfill2UnitWeight = Read(Box::Backfill2UnitWeight);
            p.Backfill2Surcharge = Read(Box::Backfill2Surcharge);
            p.IgnorePassiveHeight = Read(Box::IgnorePassiveHeight);
        } else {
            p.PassivePhi = Read(Box::PassivePhi);
            p.PassiveSafetyFactor = Read(Box::PassiveFS, 1.33, 2.0);
            p.IgnorePassiveHeight = Read(Box::IgnorePassiveHeight);
            p.PassiveUnitWeight = Read(Box::PassiveUnitWeight);
        }
        p.PassiveDelta =
            ReadKeepingSign(Box::PassiveDelta, static_cast<double>(-0.5L * p.GetPassivePhi()), 0);
        p.PassiveSlope =
            ReadKeepingSign(Box::PassiveSlope, static_cast<double>(-p.GetPassivePhi()), 0);
        p.Cohesion = Read(Box::Cohesion);
    } else {
        p.BackfillSlope = ReadKeepingSign(Box::BackfillSlopeEFP, 0, 45);
        p.BackfillUnitWeight = Read(Box::BackfillUnitWeight);
        p.ActiveEFP = Read(Box::ActiveEFP);
        p.PassiveEFP = Read(Box::PassiveEFP);
        p.MaxPassivePressure = Read(Box::MaxPassive);
        p.Surcharge = Read(Box::Surcharge);
        if (gross) {
            p.Active2EFP = Read(Box::Active2EFP);
            p.Backfill2UnitWeight = Read(Box::Backfill2UnitWeight);
            p.Backfill2Surcharge = Read(Box::Backfill2Surcharge);
        } else {
            p.PassiveSafetyFactor = 1.0L;
            p.IgnorePassiveHeight = Read(Box::IgnorePassiveHeight);
            p.PassiveUnitWeight = Read(Box::PassiveUnitWeight);
        }
        p.PassiveSlope =
            ReadKeepingSign(Box::PassiveSlopeEFP, static_cast<double>(-p.GetPassivePhi()), 0);
        p.Cohesion = Read(Box::Cohesion);
    }
    p.WedgeMultiplier = sheet ? 1.0L : Read(Box::WedgeMultiplier);
    if (p.AnalysisMethod == TAnalysisMethod::amUserDefined)
        p.IgnorePassiveHeight = Read(Box::IgnorePassiveUD);
    if (p.AnalysisMethod == TAnalysisMethod::amNetPressure)
        p.AllowablePassive = C(Check::AllowablePassive).checked;

    // Loads.
    p.AxialLoad = Read(Box::AxialLoad);
    p.LateralLoadTop = Read(Box::LateralLoad);
    p.OtherMoment = Read(Box::OtherMoment);
    p.StripLoadOn = C(Check::StripLoad).checked;
    p.StripPressure = Read(Box::StripPressure);
    p.StripSetback = ReadKeepingSign(Box::StripSetback, 0, static_cast<double>(p.ShoredHeight));
    p.StripWidth = Read(Box::StripWidth);
    p.StripDepth = ReadKeepingSign(Box::StripDepth, 0, static_cast<double>(p.ShoredHeight));
    p.SeismicLoadOn = C(Check::SeismicLoad).checked;
    p.SeismicThrust = Read(Box::SeismicThrust);
    p.SeismicArm = ReadKeepingSign(Box::SeismicArm, 0, static_cast<double>(p.TotalPileLength));

    // The user-defined pressure diagram, bounded by the fixed depths of the last analysis.
    {
        auto load = p.LoadPoints;
        auto passive = p.PassivePoints;
        auto bounded = [this](Box box, long double lo, long double hi) {
            return Read(box, static_cast<double>(lo), static_cast<double>(hi));
        };
        load[1].X = bounded(Box::InLoadX2, load[0].X + 0.01L, load[3].X - 0.02L);
        load[2].X = bounded(Box::InLoadX3, load[1].X + 0.01L, load[3].X - 0.01L);
        load[5].X = bounded(Box::InLoadX6, load[4].X + 0.01L, load[7].X - 0.02L);
        load[6].X = bounded(Box::InLoadX7, load[5].X + 0.01L, load[7].X - 0.01L);
        passive[1].X = bounded(Box::InPassX2, passive[0].X + 0.01L, passive[3].X - 0.02L);
        passive[2].X = bounded(Box::InPassX3, passive[1].X + 0.01L, passive[3].X - 0.01L);
        for (int i = 0; i < kLoadPointCount; ++i)
            load[i].W = Read(PointBox(Box::InLoadX1, 8 + i));
        for (int i = 0; i < kPassivePointCount; ++i)
            passive[i].W = Read(PointBox(Box::InLoadX1, 20 + i));
        p.LoadPoints = load;
        p.PassivePoints = passive;
    }

    // Materials and section.
    p.ElasticModulus = Read(Box::ElasticModulus);
    {
        const TListState& sections = L(List::SectionSize);
        int index = sections.index;
        if (sheet && index >= 0 && index == static_cast<int>(sections.items.size()) - 1)
            index = -1;
        else if (index < 0)
            index = 0;
        p.SelectSection(index);
    }
    p.YieldStrength = Read(Box::YieldStrength);
    p.AllowableTopDeflection = Read(Box::AllowTopDeflection);
    p.ConcreteStrength = Read(Box::ConcreteStrength);
    p.PipeFilled = C(Check::PipeFilled).checked;
    p.LaggingType = static_cast<TLaggingType>(std::clamp(ListIndex(List::LaggingType), 0, 3));
    p.ArchingFactor = Read(Box::ArchingFactor);
    p.LaggingFb = Read(Box::LumberFb);
    p.LaggingFv = Read(Box::LumberFv);
    p.LaggingModulus = Read(Box::LumberModulus);
    p.SouthernPine = C(Check::SouthernPine).checked;
    p.LumberGrade = static_cast<TLumberGrade>(std::clamp(ListIndex(List::LumberGrade), 0, 2));
    p.LaggingConcrete = ListIndex(List::LaggingConcrete);

    // Rebar cage.
    p.TieType = ListIndex(List::TieType) == 1 ? TTieType::ttSpiral : TTieType::ttTie;
    {
        const long double bars =
            Read(Box::BarCount, p.TieType == TTieType::ttSpiral ? 6.0 : 4.0, 0);
        // Nearest integer, a half to the even neighbour; beyond the 32-bit range the largest.
        const long double rounded = std::nearbyint(bars);
        p.BarCount = rounded >= static_cast<long double>(std::numeric_limits<int32_t>::max())
                         ? std::numeric_limits<int32_t>::max()
                         : static_cast<int32_t>(rounded);
    }
    p.ClearCover = Read(Box::ClearCover, static_cast<double>(p.UnitValue(50, 2)),
                        static_cast<double>(p.EffectivePileWidth() / 3 * p.UnitValue(1000, 12)));
    p.TieSpacingOverride = Read(Box::TieSpacingOverride);
    p.ShoredHeightFill =
        C(Check::SlurryFill).checked ? TShoredHeightFill::sfSlurry : TShoredHeightFill::sfConcrete;
    {
        const TListState& vertical = L(List::VerticalBar);
        const TListState& tie = L(List::TieBar);
        p.VerticalBarSize = BarNumberFromLabel(vertical.Selected() ? *vertical.Selected() : "",
                                               p.RebarTable());
        p.TieBarSize = BarNumberFromLabel(tie.Selected() ? *tie.Selected() : "", p.RebarTable());
    }

    // Guardrail.
    p.GuardrailOn = C(Check::UseGuardrail).checked;
    p.GuardrailShape = std::max(ListIndex(List::GuardrailShape), 0);
    p.GuardrailLength = Read(Box::GuardrailLength);
    p.GuardrailDistLoad = Read(Box::GuardrailDistLoad);
    p.GuardrailPointLoad = Read(Box::GuardrailPointLoad);
    p.GuardrailSpacing =
        ListIndex(List::GuardrailSpacing) == 1 ? 2 * p.PileSpacing : p.PileSpacing;

    try {
        p.Analyze();
    } catch (const std::exception& e) {
        // The results column keeps the last results it showed; they no longer fit the inputs.
        failure_ = e.what();
        stale_ = resultsShown_;
        return {*failure_};
    }
    // The project was analysed just now and the display changes none of its inputs.
    return Display(false);
}

// --- Display ---

void TMainForm::SetCaptionsForPileType()
{
    const bool sheet = project_.PileType == TPileType::ptSheetPile;
    B(Box::PileWidth).caption = sheet ? "Sheet Pile Wdith, B" : "Pile Width or Pier Diameter, B";
    L(List::SectionSize).caption = sheet ? "Sheet Size" : "Beam Size";
    B(Box::BeamDiagonal).caption = sheet ? "Sheet Diagonal Length" : "Beam Diagonal Length";
    B(Box::ResTotalLength).caption = sheet ? "Total Sheet Pile Length" : "Total Beam Length";
    // The read-only depth box takes the place of the reinforcement list.
    L(List::Reinforcement).visible = !sheet;
    B(Box::SheetPileDepth).visible = sheet;
    B(Box::ConcreteStrength).visible = !sheet;
    B(Box::BeamDiagonal).visible = !sheet && project_.Reinforcement != TReinforcement::rfRebarCage;
}

void TMainForm::ShowPassiveValues()
{
    const TTWData& p = project_;
    Show(Box::PassivePhi, p.GetPassivePhi());
    Show(Box::PassiveFS, p.GetPassiveFS());
    Show(Box::IgnorePassiveHeight, p.IgnorePassiveHeight, true);
    Show(Box::IgnorePassiveUD, p.IgnorePassiveHeight, true);
    Show(Box::WedgeMultiplier, p.WedgeMultiplier);
    Show(Box::PassiveUnitWeight, p.GetPassiveUnitWeight());
}

void TMainForm::ShowInputVisibility()
{
    const TTWData& p = project_;
    const bool gross = p.AnalysisMethod == TAnalysisMethod::amGrossPressure;
    const bool net = p.AnalysisMethod == TAnalysisMethod::amNetPressure;
    const bool userDefined = p.AnalysisMethod == TAnalysisMethod::amUserDefined;
    const bool fluid = p.SoilMethod == TSoilMethod::smEquivalentFluid;
    const bool sheet = p.PileType == TPileType::ptSheetPile;
    const bool soldier = p.PileType == TPileType::ptSoldierBeam;
    const bool driven = p.InstallMethod == TInstallMethod::imDriven;
    const bool cage = p.Reinforcement == TReinforcement::rfRebarCage;
    const bool pipe = p.Reinforcement == TReinforcement::rfPipe;

    S(Section::BackfillSoils).caption = gross ? "Backfill Soils 1" : "Backfill Soils";
    S(Section::BackfillSoils2).visible = gross;
    S(Section::BackfillSoils).visible = !userDefined;
    S(Section::PassiveSoils).visible = !userDefined;
    S(Section::PressureInput).visible = userDefined;
    S(Section::Coulomb).visible = !userDefined && !fluid;
    S(Section::PressureResult).visible = !userDefined;
    B(Box::IgnorePassiveUD).visible = userDefined;
    Lb(Label::ImportantNotice).visible = userDefined;

    passiveChoiceVisible_ = net && fluid;
    C(Check::AllowablePassive).visible = passiveChoiceVisible_;

    for (Box b : kCoulombBoxes)
        B(b).visible = !fluid;
    for (Box b : kFluidBoxes)
        B(b).visible = fluid;
    B(Box::PassivePhi).readOnly = gross;
    B(Box::PassiveUnitWeight).readOnly = gross;
    B(Box::PassiveFS).readOnly = gross || fluid;
    B(Box::PassiveFS).visible = !(fluid && net);

    // Lagging inputs by plate type.
    const TLaggingType lagging = p.LaggingType;
    B(Box::ArchingFactor).visible = lagging != TLaggingType::ltNone;
    L(List::LaggingConcrete).visible = lagging == TLaggingType::ltConcrete;
    const bool timber = lagging == TLaggingType::ltTimber;
    B(Box::LumberFb).visible = timber;
    B(Box::LumberFv).visible = timber;
    B(Box::LumberModulus).visible = timber;
    C(Check::SouthernPine).visible = timber;
    L(List::LumberGrade).visible = timber;

    S(Section::GuardrailResult).visible = p.GuardrailOn;

    // Structural data: the rebar cage sub-panel or the I-beam one.
    rebarPanelVisible_ = cage;
    for (Box b : kRebarBoxes)
        B(b).visible = cage;
    for (List l : kRebarLists)
        L(l).visible = cage;
    C(Check::SlurryFill).visible = cage;
    Lb(Label::SpacingMessage).visible = cage;
    L(List::SteelLibrary).visible = !cage && !sheet;
    L(List::SheetLibrary).visible = sheet;
    L(List::SectionSize).visible = !cage;
    C(Check::PipeFilled).visible = pipe && !sheet;
    SetCaptionsForPileType();

    S(Section::LaggingInput).visible = soldier;
    S(Section::LaggingResult).visible = soldier && lagging != TLaggingType::ltNone;

    B(Box::PileWidth).readOnly = driven || sheet;
    B(Box::PileSpacing).readOnly = p.PileType == TPileType::ptTangentPile || sheet;
    B(Box::WedgeMultiplier).readOnly = sheet;

    // Result sections and rows.
    const bool checks = !cage && !sheet;
    S(Section::Checks).visible = checks;
    S(Section::RebarChecks).visible = cage;
    S(Section::SectionCheck).visible = sheet;
    B(Box::ResLr).visible = checks;
    B(Box::ResLp).visible = checks;
    const bool plate = lagging == TLaggingType::ltSteelPlate;
    const bool concrete = lagging == TLaggingType::ltConcrete;
    for (Box b : {Box::ResLagShear, Box::ResLagFbAdjusted, Box::ResLagFbActual,
                  Box::ResLagFvAdjusted, Box::ResLagFvActual, Box::ResLagDeflection})
        B(b).visible = timber;
    B(Box::ResLagSreq).visible = plate;
    Lb(Label::LaggingSize).visible = timber || plate;
    Lb(Label::ConcreteLagging).visible = concrete;
    Lb(Label::LaggingMaterial).visible = concrete;
}

void TMainForm::ShowInputValues()
{
    TTWData& p = project_;
    const bool sheet = p.PileType == TPileType::ptSheetPile;
    const bool net = p.AnalysisMethod == TAnalysisMethod::amNetPressure;

    L(List::Units).index = N(p.Units);
    L(List::AnalysisMethod).index = N(p.AnalysisMethod);
    L(List::InstallMethod).index = N(p.InstallMethod);
    L(List::PileType).index = N(p.PileType);
    const auto offered = ReinforcementItemsFor(p.InstallMethod);
    if (L(List::Reinforcement).items.size() != offered.size())
        FillEnumList(List::Reinforcement, offered);
    L(List::Reinforcement).index =
        N(p.Reinforcement) < static_cast<int>(offered.size()) ? N(p.Reinforcement) : 0;
    L(List::SoilMethod).index = N(p.SoilMethod);

    Show(Box::ShoredHeight, p.ShoredHeight);
    Show(Box::PileSpacing, p.PileSpacing, sheet);
    Show(Box::PileWidth, p.EffectivePileWidth());
    if (sheet)
        Show(Box::SheetPileDepth, p.GetSection().bf / p.UnitValue(100, 12), true);

    Show(Box::BackfillPhi, p.BackfillPhi);
    Show(Box::BackfillDelta, p.BackfillDelta);
    Show(Box::BackfillSlope, p.BackfillSlope);
    Show(Box::BackfillSlopeEFP, p.BackfillSlope);
    Show(Box::BackfillWallAngle, p.BackfillWallAngle);
    Show(Box::BackfillUnitWeight, p.BackfillUnitWeight);
    Show(Box::Surcharge, p.Surcharge);
    Show(Box::Backfill2Phi, p.Backfill2Phi);
    Show(Box::Backfill2Delta, p.Backfill2Delta);
    Show(Box::Backfill2Slope, p.Backfill2Slope);
    Show(Box::Backfill2WallAngle, p.Backfill2WallAngle);
    Show(Box::Backfill2UnitWeight, p.Backfill2UnitWeight);
    Show(Box::Backfill2Surcharge, p.Backfill2Surcharge);
    ShowPassiveValues();
    Show(Box::PassiveDelta, p.PassiveDelta);
    Show(Box::PassiveSlope, p.PassiveSlope);
    Show(Box::PassiveSlopeEFP, p.PassiveSlope);
    Show(Box::PassiveWallAngle, p.PassiveWallAngle);
    Show(Box::Cohesion, p.Cohesion);

    C(Check::AllowablePassive).checked = p.AllowablePassive && net;

    Show(Box::ActiveEFP, p.ActiveEFP);
    Show(Box::Active2EFP, p.Active2EFP);
    Show(Box::PassiveEFP, p.PassiveEFP);
    Show(Box::MaxPassive, p.MaxPassivePressure);
    Show(Box::AxialLoad, p.AxialLoad);
    Show(Box::LateralLoad, p.LateralLoadTop);
    Show(Box::OtherMoment, p.OtherMoment);
    Show(Box::TotalMoment, p.TopMoment);

    C(Check::StripLoad).checked = p.StripLoadOn;
    Show(Box::StripPressure, p.StripPressure);
    Show(Box::StripSetback, p.StripSetback);
    Show(Box::StripWidth, p.StripWidth);
    Show(Box::StripDepth, p.StripDepth);
    Show(Box::StripMoment, p.StripMoment);
    for (Box b : kStripBoxes)
        B(b).enabled = p.StripLoadOn;
    C(Check::SeismicLoad).checked = p.SeismicLoadOn;
    Show(Box::SeismicThrust, p.SeismicThrust);
    Show(Box::SeismicArm, p.SeismicArm);
    Show(Box::SeismicMoment, p.SeismicMoment);
    for (Box b : kSeismicBoxes)
        B(b).enabled = p.SeismicLoadOn;

    // The user-defined pressure diagram.
    for (int i = 0; i < kLoadPointCount; ++i) {
        Show(PointBox(Box::InLoadX1, i), p.LoadPoints[i].X);
        Show(PointBox(Box::InLoadX1, 8 + i), p.LoadPoints[i].W);
    }
    for (int i = 0; i < kPassivePointCount; ++i) {
        Show(PointBox(Box::InLoadX1, 16 + i), p.PassivePoints[i].X);
        Show(PointBox(Box::InLoadX1, 20 + i), p.PassivePoints[i].W);
    }

    Show(Box::ElasticModulus, p.ElasticModulus);

    // Catalogue lists for the stored choices.
    if (ListIndex(List::SteelLibrary) != N(p.SteelLibrary)) {
        L(List::SectionSize).items.clear();
        L(List::SectionSize).index = -1;
    }
    if (ListIndex(List::RebarStandard) != N(p.RebarStandard)) {
        for (List l : {List::VerticalBar, List::TieBar}) {
            L(l).items.clear();
            L(l).index = -1;
        }
    }
    RefreshCatalogLists(true);
    L(List::SteelLibrary).index = N(p.SteelLibrary);
    L(List::RebarStandard).index = N(p.RebarStandard);
    {
        TListState& sections = L(List::SectionSize);
        const int count = static_cast<int>(sections.items.size());
        const int selected = p.SelectedSectionIndex();
        sections.index = selected == -1 ? count - 1 : (selected < count ? selected : 0);
        userSheetButtonVisible_ = selected == -1 && sheet;
    }

    Show(Box::YieldStrength, p.YieldStrength);
    Show(Box::AllowTopDeflection, p.AllowableTopDeflection);
    Show(Box::ConcreteStrength, p.ConcreteStrength);
    C(Check::PipeFilled).checked = p.PipeFilled;
    L(List::LaggingType).index = std::clamp(N(p.LaggingType), 0, 3);
    Show(Box::LumberFb, p.LaggingFb);
    Show(Box::LumberFv, p.LaggingFv);
    Show(Box::LumberModulus, p.LaggingModulus);
    Show(Box::ArchingFactor, p.ArchingFactor);
    // A stored value other than 0 or 1 shows no selection.
    L(List::LaggingConcrete).index =
        p.LaggingConcrete == 0 || p.LaggingConcrete == 1 ? p.LaggingConcrete : -1;
    C(Check::SouthernPine).checked = p.SouthernPine;
    L(List::LumberGrade).index = std::clamp(N(p.LumberGrade), 0, 2);
}

void TMainForm::SetUnits()
{
    const bool si = project_.Units == TUnitSystem::usSI;
    for (int i = 0; i < kBoxCount; ++i)
        boxes_[i].unit = std::string(UnitLabel(BoxDef(static_cast<Box>(i)).unit, si));
    const char* perLength = si ? "Pressure Data (ASD) per m Length of Wall"
                               : "Pressure Data (ASD) per ft Length of Wall";
    S(Section::PressureResult).caption = perLength;
    S(Section::PressureInput).caption = perLength;
    TListState& concrete = L(List::LaggingConcrete);
    const int kept = concrete.index;
    FillEnumList(List::LaggingConcrete, LaggingConcreteItems(project_.Units));
    concrete.index = kept;
    concrete.unit = std::string(UnitLabel(UnitKind::Stress, si));
    L(List::GuardrailSpacing).unit = std::string(UnitLabel(UnitKind::Length, si));
}

void TMainForm::ClearResults()
{
    for (int i = 0; i < kBoxCount; ++i) {
        if (BoxDef(static_cast<Box>(i)).flags & kResult)
            boxes_[i].text = "N.A.";
    }
    for (Label l : {Label::RoundClass, Label::LaggingSize, Label::ConcreteLagging,
                    Label::LaggingMaterial})
        Lb(l).text.clear();
}

void TMainForm::ShowResults()
{
    const TTWData& p = project_;
    const bool si = p.Units == TUnitSystem::usSI;

    Show(Box::ResKa, p.Ka);
    // Computed values are shown as computed, beyond the limits of the input boxes that share
    // their tags.
    Show(Box::ResEFPActive, p.ActiveEFP, true);
    Show(Box::ResKp, p.Kp);
    Show(Box::ResEFPPassive, p.PassiveEFP, true);
    Show(Box::ResMaxPassive, p.MaxPassivePressure, true);
    for (int i = 0; i < kLoadPointCount; ++i) {
        Show(PointBox(Box::ResLoadX1, i), p.LoadPoints[i].X);
        Show(PointBox(Box::ResLoadX1, 8 + i), p.LoadPoints[i].W);
    }
    for (int i = 0; i < kPassivePointCount; ++i) {
        Show(PointBox(Box::ResLoadX1, 16 + i), p.PassivePoints[i].X);
        Show(PointBox(Box::ResLoadX1, 20 + i), p.PassivePoints[i].W);
    }

    const TSteelCheckResults& steel = p.SteelCheckResults;
    Show(Box::ResTotalLength, steel.TotalBeamLength);
    // The diagonal that must pass through the drilled hole, beside the section list.
    Show(Box::BeamDiagonal, steel.DiagonalLength);
    const bool round = p.Reinforcement == TReinforcement::rfPipe &&
                       p.PileType != TPileType::ptSheetPile;
    TBoxState& lr = B(Box::ResLr);
    TBoxState& lp = B(Box::ResLp);
    if (round) {
        const TRoundSectionClass cls = ClassifyRoundSection(p);
        lr.caption = "Ratio, D/t";
        Show(Box::ResLr, p.GetSection().k1);
        lr.unit = cls.Text;
        lr.unitRed = cls.Text.find("slender") != std::string::npos;
        lp.caption = cls.ModulusCaption;
        Show(Box::ResLp, cls.SectionModulus);
        lp.unit = std::string(UnitLabel(UnitKind::SectionModulus, si));
        Lb(Label::RoundClass).text = cls.Text;
        Lb(Label::RoundClass).red = lr.unitRed;
    } else {
        lr.caption = std::string(BoxDef(Box::ResLr).caption);
        lp.caption = std::string(BoxDef(Box::ResLp).caption);
        lr.unitRed = false;
        Show(Box::ResLr, steel.Lr);
        Show(Box::ResLp, steel.Lp);
        Lb(Label::RoundClass).text.clear();
        Lb(Label::RoundClass).red = false;
    }
    Lb(Label::RoundClass).visible = round && B(Box::ResLr).visible;
    Show(Box::ResMaxShear, p.MaxShear);
    Show(Box::ResMaxShearAt, p.MaxShearDepth);
    Show(Box::ResMaxMomentAbove, p.MaxMomentAbove);
    Show(Box::ResMaxMomentAboveAt, p.MaxMomentAboveDepth);
    Show(Box::ResMaxMomentBelow, p.MaxMomentBelow);
    Show(Box::ResMaxMomentBelowAt, p.MaxMomentBelowDepth);
    Show(Box::ResMaxDeflection, std::fabs(p.TopDeflection));
    Show(Box::ResMaxDeflectionAt, 0);

    Show(Box::ResMomentAbove, steel.AllowableMomentAbove);
    Show(Box::ResMomentBelow, steel.AllowableMomentBelow);
    Show(Box::ResMomentUtilization, steel.MomentUtilization);
    Show(Box::ResShear, steel.AllowableShear);
    Show(Box::ResShearUtilization, steel.ShearUtilization);
    Show(Box::ResAxial, steel.AllowableAxial);
    Show(Box::ResAxialUtilization, steel.AxialUtilization);
    Show(Box::ResInteraction, steel.Interaction);
    Show(Box::ResSlenderness, steel.Slenderness);

    const TRebarCageResults& cage = p.RebarCageResults;
    Show(Box::ResPu, cage.Pu);
    if (cage.AxialUtilizationNA)
        B(Box::ResPuUtilization).text = "N/A";
    else
        Show(Box::ResPuUtilization, cage.AxialUtilization);
    Show(Box::ResMu, cage.Mu);
    if (cage.MomentUtilizationNA)
        B(Box::ResMuUtilization).text = "N/A";
    else
        Show(Box::ResMuUtilization, cage.MomentUtilization);
    Show(Box::ResPhiMn, cage.PhiMnAtPu);

    Show(Box::ResSxRequired, steel.SectionModulusRequired);
    Show(Box::ResSxProvided, steel.SectionModulusProvided);

    const TLaggingResults& lag = p.LaggingResults;
    Show(Box::ResLagPressure, lag.SoilPressure);
    Show(Box::ResLagMoment, lag.Moment);
    Show(Box::ResLagShear, lag.Shear);
    Show(Box::ResLagFbAdjusted, lag.AdjustedFb);
    Show(Box::ResLagFbActual, lag.ActualFb);
    Show(Box::ResLagFvAdjusted, lag.AdjustedFv);
    Show(Box::ResLagFvActual, lag.ActualFv);
    Show(Box::ResLagDeflection, lag.Deflection);
    Show(Box::ResLagSreq, lag.RequiredSectionModulus);
    Lb(Label::LaggingSize).text = Shown(lag.SizeText);
    Lb(Label::ConcreteLagging).text = Shown(lag.ConcreteText);
    Lb(Label::LaggingMaterial).text = Shown(lag.MaterialText);

    const TGuardrailResults& gr = p.GuardrailResults;
    Show(Box::ResGrCompressionAllow, gr.AllowableCompression);
    Show(Box::ResGrCompression, gr.Compression);
    Show(Box::ResGrYieldMoment, gr.YieldMoment);
    Show(Box::ResGrBucklingMoment, gr.BucklingMoment);
    Show(Box::ResGrMomentAllow, gr.AllowableMoment);
    Show(Box::ResGrMoment, gr.Moment);
    Show(Box::ResGrWeldYAllow, gr.AllowableWeldY);
    Show(Box::ResGrWeldY, gr.WeldY);
    Show(Box::ResGrWeldXAllow, gr.AllowableWeldX);
    Show(Box::ResGrWeldX, gr.WeldX);
}

void TMainForm::ShowRebarAndGuardrailInputs()
{
    const TTWData& p = project_;
    L(List::TieType).index = p.TieType == TTieType::ttSpiral ? 1 : 0;
    Show(Box::BarCount, p.BarCount, true);
    Show(Box::ClearCover, p.ClearCover);
    Show(Box::TieSpacingCalculated, p.RebarCageResults.CalculatedSpacing);
    Show(Box::TieSpacingOverride, p.TieSpacingOverride);
    Show(Box::ReinforcementRatio, p.RebarCageResults.ReinforcementRatio);
    C(Check::SlurryFill).checked = p.ShoredHeightFill == TShoredHeightFill::sfSlurry;
    Lb(Label::SpacingMessage).text = p.RebarCageResults.SpacingMessage;
    L(List::VerticalBar).index = L(List::VerticalBar).items.empty()
                                     ? -1
                                     : BarListIndex(p.VerticalBarSize, L(List::VerticalBar).items);
    L(List::TieBar).index =
        L(List::TieBar).items.empty() ? -1 : BarListIndex(p.TieBarSize, L(List::TieBar).items);

    C(Check::UseGuardrail).checked = p.GuardrailOn;
    {
        TListState& shapes = L(List::GuardrailShape);
        const int count = static_cast<int>(shapes.items.size());
        shapes.index = p.GuardrailShape >= 0 && p.GuardrailShape < count ? p.GuardrailShape
                                                                          : (count > 0 ? 0 : -1);
    }
    Show(Box::GuardrailLength, p.GuardrailLength);
    Show(Box::LateralBracing, p.GuardrailLength);
    {
        const int decimals = LimitForTag(p.Limits(), Tag::GuardrailSpacing).Decimals;
        TListState& spacing = L(List::GuardrailSpacing);
        spacing.items = {FormatFixed(p.PileSpacing, decimals, 8, format_.decimalSeparator),
                         FormatFixed(2 * p.PileSpacing, decimals, 8, format_.decimalSeparator)};
        spacing.index = p.GuardrailSpacing == 2 * p.PileSpacing ? 1 : 0;
    }
    Show(Box::GuardrailDistLoad, p.GuardrailDistLoad);
    Show(Box::GuardrailPointLoad, p.GuardrailPointLoad);
    Show(Box::GuardrailSFCompression, p.GuardrailSFCompression);
    Show(Box::GuardrailSFBending, p.GuardrailSFBending);
    for (Box b : kGuardrailBoxes)
        B(b).enabled = p.GuardrailOn;
    L(List::GuardrailShape).enabled = p.GuardrailOn;
    L(List::GuardrailSpacing).enabled = p.GuardrailOn;
}

void TMainForm::ShowVerdicts(bool analysed)
{
    const TTWData& p = project_;
    for (TVerdictState& v : verdicts_)
        v = TVerdictState{};
    if (analysed) {
        const TSteelVerdicts& steel = p.SteelCheckResults.Verdicts;
        const bool cage = p.Reinforcement == TReinforcement::rfRebarCage;
        const bool checks = S(Section::Checks).visible;
        auto set = [this](Verdict v, bool visible, bool pass) {
            V(v).visible = visible;
            V(v).pass = pass;
        };
        set(Verdict::HoleFit, steel.HoleFitApplies && !cage, steel.HoleFit);
        set(Verdict::MaxDeflection, true, steel.Deflection);
        const bool round = checks && p.Reinforcement == TReinforcement::rfPipe;
        set(Verdict::RoundClass, round, steel.RoundClass);
        V(Verdict::RoundClass).outOfView = round && !steel.RoundClass;
        set(Verdict::Moment, checks, steel.Moment);
        set(Verdict::Shear, checks, steel.Shear);
        set(Verdict::Axial, checks, steel.Axial);
        set(Verdict::Interaction, checks, steel.Interaction);
        set(Verdict::Slenderness, checks, steel.Slenderness);
        set(Verdict::AxialPu, cage, p.RebarCageResults.AxialOK);
        set(Verdict::MomentMu, cage, p.RebarCageResults.MomentOK);
        set(Verdict::SectionModulus, S(Section::SectionCheck).visible, steel.SectionModulus);
        const TLaggingResults& lag = p.LaggingResults;
        const bool lagging = S(Section::LaggingResult).visible;
        const bool timber = lagging && p.LaggingType == TLaggingType::ltTimber;
        const bool plate = lagging && p.LaggingType == TLaggingType::ltSteelPlate;
        set(Verdict::LaggingBending, timber, lag.BendingOK);
        set(Verdict::LaggingShear, timber, lag.ShearOK);
        set(Verdict::LaggingDeflection, timber, lag.DeflectionOK);
        set(Verdict::LaggingSize, timber || plate, lag.SizeOK);
        const TGuardrailResults& gr = p.GuardrailResults;
        const bool guardrail = p.GuardrailOn;
        set(Verdict::GuardrailCompression, guardrail, gr.CompressionOK);
        set(Verdict::GuardrailMoment, guardrail, gr.MomentOK);
        set(Verdict::GuardrailWeldY, guardrail, gr.WeldYOK);
        set(Verdict::GuardrailWeldX, guardrail, gr.WeldXOK);
    }
    // Each result section's caption mark sums up the marks shown inside it.
    for (int s = N(kFirstResultSection); s < kSectionCount; ++s) {
        TSectionState& section = sections_[s];
        section.markVisible = false;
        section.markPass = true;
        for (int v = 0; v < kVerdictCount; ++v) {
            if (N(VerdictDef(static_cast<Verdict>(v)).section) != s || !verdicts_[v].visible)
                continue;
            section.markVisible = true;
            section.markPass = section.markPass && verdicts_[v].pass;
        }
    }
}

TCommitResult TMainForm::ShowProject() { return Report(Display(true)); }

TCommitResult TMainForm::Display(bool analyse)
{
    TTWData& p = project_;
    p.LoadRebarTable();
    p.LoadGuardrailShapes();
    titles_[Index(TitleText::Organization)] = AnsiToUtf8(p.Organization);
    titles_[Index(TitleText::ProjectName)] = AnsiToUtf8(p.ProjectName);
    titles_[Index(TitleText::JobNumber)] = AnsiToUtf8(p.JobNumber);
    titles_[Index(TitleText::DesignedBy)] = AnsiToUtf8(p.DesignedBy);
    logo_ = p.Logo();
    date_ = p.ProjectDate;

    ShowInputVisibility();
    ShowInputValues();
    SetUnits();
    displayedUnits_ = p.Units;

    TCommitResult result;
    if (analyse) {
        try {
            p.Analyze();
        } catch (const std::exception& e) {
            result.error = e.what();
        }
    }
    if (result.ok())
        ShowResults();
    else
        ClearResults();
    failure_ = result.error;
    stale_ = false;
    resultsShown_ = result.ok();
    ShowRebarAndGuardrailInputs();
    ShowVerdicts(result.ok());
    return result;
}

TCommitResult TMainForm::AfterNew()
{
    reportedFailure_.reset();
    notice_.clear();
    RefreshCatalogLists(false);
    for (std::string& title : titles_)
        title.clear();
    logo_.clear();
    L(List::Units).index = 0;
    for (int i = 0; i < kBoxCount; ++i) {
        const int tag = BoxDef(static_cast<Box>(i)).tag;
        boxes_[i].text = ShowNumber(project_.Limits(), tag, false,
                                    LimitForTag(project_.Limits(), tag).Min, format_);
    }
    L(List::SectionSize).items.clear();
    L(List::SectionSize).index = -1;
    return Report(ShowAndRecalculate());
}

TCommitResult TMainForm::AfterOpen()
{
    reportedFailure_.reset();
    notice_.clear();
    L(List::SectionSize).items.clear();
    L(List::SectionSize).index = -1;
    RefreshCatalogLists(false);
    return Report(ShowAndRecalculate());
}

TCommitResult TMainForm::ShowAndRecalculate()
{
    // The display's own analysis may fail on values that the recalculation then brings into
    // their limits; what counts is the recalculation.
    (void)Display(true);
    ExpandFirstSections();
    TCommitResult result = RecalculateNow();
    modified_ = false;
    return result;
}

} // namespace tw::form
