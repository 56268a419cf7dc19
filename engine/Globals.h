// Input limits of the numeric boxes, number formatting and parsing, program version.
//
// Every number typed into or shown by the main window goes through a numeric box. A box carries an
// integer tag; tags 1 to 106 select an entry of the current input limit table (minimum, maximum
// and decimals), any other tag means no limits and 2 decimals. There is one built-in table per
// unit system. The functions here are pure: the window layer calls them with the box's tag and
// text and writes back what they return.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

enum class TUnitSystem : uint8_t
{
    usEnglish = 0,
    usSI = 1
};

// One entry of the input limit table. Min and Max both 0 means "no limits".
struct TInputLimit
{
    long double Min;
    long double Max;
    int32_t Decimals;
};

inline constexpr int kInputLimitCount = 106;
using InputLimitTable = std::array<TInputLimit, kInputLimitCount>; // index = tag - 1

const InputLimitTable& EnglishInputLimits();
const InputLimitTable& SIInputLimits();
const InputLimitTable& InputLimitsFor(TUnitSystem system);

// Limits and decimals of a tag; a tag outside 1..106 has no limits and 2 decimals.
TInputLimit LimitForTag(const InputLimitTable& table, int tag);

// Tags of the numeric boxes. Several boxes may share a tag; the comment names the others.
namespace Tag {
// Inputs
constexpr int SoilFrictionAngle = 1;     // backfill soils
constexpr int SoilPileFrictionAngle = 2; // backfill soils
constexpr int BackfillSlopeAngle = 3;    // all three slope boxes
constexpr int PileInclinationAngle = 4;  // backfill soils
constexpr int BackfillUnitWeight = 5;
constexpr int VerticalSurcharge = 6; // also the beam diagonal length
constexpr int PassiveFrictionAngle = 7;
constexpr int PassiveSoilPileFrictionAngle = 8;
constexpr int PassiveSlopeAngle = 9;
constexpr int PassivePileInclinationAngle = 10;
constexpr int PassiveSafetyFactor = 11;
constexpr int Cohesion = 12;
constexpr int IgnorePassiveHeight = 14; // also "Ignore Passive"
constexpr int PassiveUnitWeight = 15;
constexpr int PileSpacing = 16; // also the sheet pile depth D
constexpr int ShoredHeight = 17;
constexpr int ElasticModulus = 18;
constexpr int YieldStrength = 19;
constexpr int AllowableTopDeflection = 20;
constexpr int PileWidth = 21; // pile width or pier diameter B
constexpr int ConcreteStrength = 22;
constexpr int AxialLoad = 23;
constexpr int LateralLoad = 24;
constexpr int Moment = 25;                 // other, total, strip and seismic moments
constexpr int SubgradeModulus = 26;        // the soil springs' n_h or k1
constexpr int EquivBackfillPressure = 40;  // also the result "E.F.P. Active"
constexpr int EquivPassiveResistance = 41; // also the result "E.F.P. Passive"
constexpr int MaxPassiveResistance = 44;   // also the result "Max. Passive Thrust, Pp"
constexpr int PassiveWedgeMultiplier = 46;
constexpr int DialogNumber = 59;   // free number of a dialog: no limits, 2 decimals
constexpr int PressurePointX = 75; // pressure point tables, inputs and results
constexpr int PressurePointW = 76;
constexpr int LumberBending = 77;
constexpr int LumberShear = 78;
constexpr int LumberCompression = 79;
constexpr int LaggingSizeFactor = 80;
constexpr int LaggingFlatUseFactor = 81;
constexpr int ArchingFactor = 86;
constexpr int NumberOfBars = 87;
constexpr int ClearCover = 88;
constexpr int TieSpacingOverride = 89;
constexpr int TieSpacingCalculated = 90;
constexpr int ReinforcementRatio = 91;
constexpr int StripGeometry = 93; // strip setback, width, depth, location
constexpr int StripPressure = 94; // also the seismic thrust
constexpr int LumberModulus = 95;
constexpr int GuardrailLength = 98;
constexpr int LateralBracing = 99;
constexpr int GuardrailSpacing = 100;
constexpr int GuardrailDistLoad = 101;
constexpr int GuardrailPointLoad = 102;
constexpr int AsdSafetyFactor = 103;

// Results (no limits)
constexpr int ResultKa = 42;
constexpr int ResultKp = 43;
constexpr int ResultLength = 51; // beam length, Lr, Lp, "at" depths, D/t
constexpr int ResultMaxShear = 52;
constexpr int ResultMaxMoment = 53;
constexpr int ResultMaxDeflection = 54;
constexpr int ResultAllowableMomentAbove = 55;
constexpr int ResultAllowableMomentBelow = 56;
constexpr int ResultMomentUtilization = 57;
constexpr int ResultAllowableShear = 58;
constexpr int ResultShearUtilization = 60;
constexpr int ResultAllowableAxial = 61;
constexpr int ResultAxialUtilization = 62;
constexpr int ResultInteraction = 63;
constexpr int ResultSlenderness = 64;
constexpr int ResultRebarForce = 65; // Pu, Mu, PhiMn
constexpr int ResultRebarUtilization = 66;
constexpr int ResultSectionModulus = 67;
constexpr int ResultLaggingPressure = 68;
constexpr int ResultLaggingMoment = 69;
constexpr int ResultLaggingShear = 70;
constexpr int ResultLaggingStress = 82;
constexpr int ResultLaggingDeflection = 83;
constexpr int ResultLaggingSectionModulus = 84;
constexpr int ResultRoundSectionModulus = 85;
constexpr int ResultGuardrailForce = 92;
constexpr int ResultGuardrailMoment = 97;
constexpr int ResultWeldStress = 104;
constexpr int ResultSpare1 = 105;
constexpr int ResultSpare2 = 106;
} // namespace Tag

// Separators of the user's locale, UTF-8 (may be multi-byte, e.g. a no-break space).
struct TNumberFormat
{
    std::string decimalSeparator = ".";
    std::string thousandsSeparator = ",";
};

// The text a numeric box with this tag shows for the value: "N.A." for NaN; otherwise the value,
// clamped into the tag's limits unless noClamp, in fixed point with the tag's decimals and at most
// 10 significant digits (see FormatFixed).
std::string ShowNumber(const InputLimitTable& table, int tag, bool noClamp, long double value,
                       const TNumberFormat& fmt);

// Fixed-point text of the value with at most `significant` significant digits and `decimals`
// decimals, padded with zeros to exactly `decimals` decimals. The exact value is rounded half away
// from zero; a result that rounds to zero has no minus sign; no thousands separators. When the
// rounded integer part has more digits than `significant`, the text is scientific instead:
// mantissa rounded to `significant` digits without trailing zeros, "E", exponent sign and at least
// two exponent digits ("1.234567891E+12", "1E+15"). Infinities give "INF" and "-INF", NaN "N.A.".
std::string FormatFixed(long double value, int decimals, int significant,
                        const std::string& decimalSeparator);

struct TReadResult
{
    long double value;
    bool rewrite;     // the box must be rewritten with `text`
    std::string text; // what the box must show when rewrite is true
};

// The value of a box text. Thousands separators are dropped where they stand between groups of
// three digits of the integer part; a single "." or "," elsewhere, in a text without the
// decimal separator, stands where the decimal separator is expected and reads as it ("4,5" is
// 4.5 with a decimal point, "3,500" is 3500); any other separator leaves the text unreadable.
// Text that is not a number reads as 0. Without explicit bounds (lower and upper both 0) the value
// is clamped to the tag's limits; with explicit bounds only those apply (a non-zero lower bound is
// tested first and, when it applies, the upper bound is not tested). When the result differs from
// the number in the text, rewrite is set and text holds the clamped value as ShowNumber writes it.
TReadResult ReadNumber(const InputLimitTable& table, int tag, std::string_view text, double lower,
                       double upper, const TNumberFormat& fmt);

// The limits of a tag applied to a value, as ShowNumber applies them (none when Min and Max are
// both 0).
long double ClampToLimits(const TInputLimit& limit, long double value);

// The numeric clamp of ReadNumber: without explicit bounds (lower and upper both 0) the limits;
// with explicit bounds only those, a non-zero lower bound tested first (when it applies, the
// upper bound is not tested).
long double ClampToInputBounds(const TInputLimit& limit, long double value, double lower,
                               double upper);

// After ClampToInputBounds, for an input whose explicit bound covers one side only: the limit
// on the side without an explicit bound (0), so that an angle keeps its sign and a length
// cannot turn negative.
long double ClampOpenSide(const TInputLimit& limit, long double value, double lower, double upper);

// Parses a number written with the given decimal separator (no thousands separators): blanks
// around it, optional sign, digits with at most one decimal separator, optional exponent. Does not
// depend on the process locale. nullopt when the text is not a number or overflows.
std::optional<long double> ParseNumber(std::string_view text, const TNumberFormat& fmt);

// What the key filter of numeric boxes does with a typed key (a Unicode code point, 8 =
// backspace), given the box text the key goes into. Digits, '-' and backspace are accepted; the
// decimal separator, and "." or "," typed for it, only while the text holds no decimal separator
// (ReadNumber tells a thousands separator from a decimal one). A refused key that a user may
// have meant as part of a number (a second decimal separator, an exponent) comes with the
// reason, for the box's hint; other characters are refused without one.
struct TKeyVerdict
{
    bool accepted = false;
    std::string refusal; // why the key is refused ("" none to tell)
};
TKeyVerdict FilterNumericKey(char32_t key, std::string_view boxText, const TNumberFormat& fmt);
inline constexpr char kExponentRefusal[] =
    "An exponent cannot be typed: write the number in full (1500, not 1.5e3).";

// Whether the key filter accepts the key (FilterNumericKey).
bool NumericKeyAccepted(char32_t key, std::string_view boxText, const TNumberFormat& fmt);

// Program version "major.minor.release".
std::string VersionString();

// The maker's web site: its address, and its host as the report's footer shows it.
inline constexpr char kWebsiteAddress[] = "https://www.tarnwick.example/";
inline constexpr char kWebsiteHost[] = "www.tarnwick.example";

} // namespace tw
