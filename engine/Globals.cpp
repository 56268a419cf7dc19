#include "engine/Globals.h"

#include "engine/Ansi.h"

#include "engine/Version.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <system_error>
#include <vector>

namespace tw {

namespace {

// One input row of the limit tables: English limits and decimals, then SI ones.
struct TLimitRow
{
    int tag;
    long double enMin, enMax;
    int32_t enDecimals;
    long double siMin, siMax;
    int32_t siDecimals;
};

constexpr long double kNone = 0.0L; // min and max both 0: no limits

// Input boxes. Tags that appear in neither list are not used by any box and stay all zero.
constexpr TLimitRow kInputRows[] = {
    // tag  English                      SI
    {1, 5.0L, 45.0L, 1, 5.0L, 45.0L, 1},
    {2, 0.0L, 33.3L, 1, 0.0L, 33.3L, 1},
    {3, 0.0L, 45.0L, 1, 0.0L, 45.0L, 1},
    {4, 70.0L, 110.0L, 1, 70.0L, 110.0L, 1},
    {5, 90.0L, 140.0L, 1, 14.5L, 23.0L, 1},
    {6, 0.0L, 6000.0L, 2, 0.0L, 300.0L, 2},
    {7, 5.0L, 45.0L, 1, 5.0L, 45.0L, 1},
    {8, -22.5L, 0.0L, 1, -22.5L, 0.0L, 1},
    {9, -45.0L, 0.0L, 1, -45.0L, 0.0L, 1},
    {10, 70.0L, 110.0L, 1, 70.0L, 110.0L, 1},
    {11, 1.0L, 2.0L, 2, 1.0L, 2.0L, 2},
    {12, 0.0L, 5000.0L, 0, 0.0L, 250.0L, 0},
    {14, 0.0L, 25.0L, 2, 0.0L, 8.0L, 1},
    {15, 90.0L, 140.0L, 1, 14.5L, 23.0L, 1},
    {16, 1.5L, 15.0L, 2, 0.5L, 4.5L, 2},
    {17, 3.0L, 30.0L, 2, 0.8L, 9.0L, 2},
    {18, 29000.0L, 30000.0L, 0, 175000.0L, 250000.0L, 0},
    {19, 40.0L, 150.0L, 0, 250.0L, 1000.0L, 0},
    {20, 0.0L, 4.0L, 2, 0.0L, 100.0L, 2},
    {21, 0.5L, 6.0L, 2, 0.15L, 2.0L, 2},
    {22, 2.5L, 10.0L, 2, 18.0L, 75.0L, 2},
    {23, kNone, kNone, 2, kNone, kNone, 2},
    {24, kNone, kNone, 2, kNone, kNone, 2},
    {25, kNone, kNone, 2, kNone, kNone, 2},
    {26, 0.0L, 10000.0L, 1, 0.0L, 2700000.0L, 0}, // subgrade modulus, pci | kN/m^3
    {40, 20.0L, 200.0L, 1, 3.0L, 30.0L, 1},
    {41, 90.0L, 1500.0L, 1, 13.5L, 125.0L, 1},
    {44, 400.0L, 15000.0L, 0, 60.0L, 1250.0L, 0},
    {46, 1.0L, 3.0L, 2, kNone, kNone, 2},
    {59, kNone, kNone, 2, kNone, kNone, 2},
    {75, kNone, kNone, 2, kNone, kNone, 2},
    {76, kNone, kNone, 3, kNone, kNone, 3},
    {77, 1100.0L, 1800.0L, 2, 7.5L, 15.0L, 2},
    {78, 135.0L, 300.0L, 2, 1.0L, 2.5L, 2},
    {79, 625.0L, 900.0L, 2, 4.3L, 8.0L, 2},
    {80, 1.0L, 1.5L, 2, 1.0L, 1.5L, 2},
    {81, 1.0L, 1.5L, 2, 1.0L, 1.5L, 2},
    {86, 0.6L, 1.0L, 1, 0.6L, 1.0L, 1},
    {87, 4.0L, 100.0L, 0, 4.0L, 100.0L, 0},
    {88, 2.0L, 9999.0L, 1, 50.0L, 99999.0L, 1},
    {89, kNone, kNone, 1, kNone, kNone, 1},
    {90, kNone, kNone, 1, kNone, kNone, 1},
    {91, kNone, kNone, 2, kNone, kNone, 2},
    {93, 0.0L, 100.0L, 2, 0.0L, 100.0L, 2},
    {94, 0.0L, 99999.0L, 0, 0.0L, 99999.0L, 1},
    {95, 0.0L, 10.0L, 1, 0.0L, 10.0L, 1},
    {98, 3.5L, 8.0L, 2, 1.0L, 2.5L, 3},
    {99, kNone, kNone, 2, kNone, kNone, 3},
    {100, kNone, kNone, 2, kNone, kNone, 3},
    {101, 50.0L, 100.0L, 0, 0.7L, 1.5L, 2},
    {102, 200.0L, 500.0L, 0, 0.8L, 2.3L, 2},
    {103, kNone, kNone, 2, kNone, kNone, 2},
};

// Result boxes: no limits, only the decimals (English, SI) with which each result row of the
// window is written. Results that share an input's tag (E.F.P. Active and Passive, Max. Passive
// Thrust, pressure points) take that input's entry above instead.
struct TResultRow
{
    int tag;
    int32_t enDecimals;
    int32_t siDecimals;
};

constexpr TResultRow kResultRows[] = {
    {Tag::ResultKa, 3, 3},
    {Tag::ResultKp, 3, 3},
    {Tag::ResultLength, 2, 2},
    {Tag::ResultMaxShear, 0, 0},
    {Tag::ResultMaxMoment, 1, 1},
    {Tag::ResultMaxDeflection, 3, 2},
    {Tag::ResultAllowableMomentAbove, 0, 1},
    {Tag::ResultAllowableMomentBelow, 0, 1},
    {Tag::ResultMomentUtilization, 0, 0},
    {Tag::ResultAllowableShear, 0, 1},
    {Tag::ResultShearUtilization, 0, 0},
    {Tag::ResultAllowableAxial, 0, 1},
    {Tag::ResultAxialUtilization, 0, 0},
    {Tag::ResultInteraction, 0, 0},
    {Tag::ResultSlenderness, 0, 0},
    {Tag::ResultRebarForce, 0, 1},
    {Tag::ResultRebarUtilization, 0, 0},
    {Tag::ResultSectionModulus, 1, 1},
    {Tag::ResultLaggingPressure, 0, 2},
    {Tag::ResultLaggingMoment, 0, 3},
    {Tag::ResultLaggingShear, 0, 2},
    {Tag::ResultLaggingStress, 0, 2},
    {Tag::ResultLaggingDeflection, 3, 2},
    {Tag::ResultLaggingSectionModulus, 3, 0},
    {Tag::ResultRoundSectionModulus, 2, 2},
    {Tag::ResultGuardrailForce, 2, 2},
    {Tag::ResultGuardrailMoment, 2, 2},
    {Tag::ResultWeldStress, 2, 1},
    {Tag::ResultSpare1, 2, 2},
    {Tag::ResultSpare2, 2, 2},
};

constexpr InputLimitTable BuildTable(TUnitSystem system)
{
    InputLimitTable table{};
    const bool si = system == TUnitSystem::usSI;
    for (const TLimitRow& row : kInputRows) {
        table[static_cast<size_t>(row.tag - 1)] =
            si ? TInputLimit{row.siMin, row.siMax, row.siDecimals}
               : TInputLimit{row.enMin, row.enMax, row.enDecimals};
    }
    for (const TResultRow& row : kResultRows) {
        table[static_cast<size_t>(row.tag - 1)] =
            TInputLimit{0.0L, 0.0L, si ? row.siDecimals : row.enDecimals};
    }
    return table;
}

constexpr InputLimitTable kEnglishLimits = BuildTable(TUnitSystem::usEnglish);
constexpr InputLimitTable kSILimits = BuildTable(TUnitSystem::usSI);

// Most significant digits FormatFixed rounds to.
constexpr int kMaxSignificant = 40;

bool AllZero(const std::string& digits)
{
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0'; });
}

// Adds one unit in the last place of a decimal digit string.
void IncrementDigits(std::string& digits)
{
    for (size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
}

// First code point of a UTF-8 string; 0 for an empty string, U+FFFD for a malformed one.
char32_t FirstCodePoint(std::string_view s)
{
    std::size_t i = 0;
    return s.empty() ? 0 : DecodeUtf8At(s, i).value_or(0xFFFD);
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

const InputLimitTable& EnglishInputLimits()
{
    return kEnglishLimits;
}

const InputLimitTable& SIInputLimits()
{
    return kSILimits;
}

const InputLimitTable& InputLimitsFor(TUnitSystem system)
{
    return system == TUnitSystem::usSI ? kSILimits : kEnglishLimits;
}

TInputLimit LimitForTag(const InputLimitTable& table, int tag)
{
    if (tag < 1 || tag > kInputLimitCount)
        return TInputLimit{0.0L, 0.0L, 2};
    return table[static_cast<size_t>(tag - 1)];
}

std::string FormatFixed(long double value, int decimals, int significant,
                        const std::string& decimalSeparator)
{
    if (std::isnan(value))
        return "N.A.";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    decimals = std::max(decimals, 0);
    significant = std::clamp(significant, 1, kMaxSignificant);
    const bool negative = std::signbit(value);

    // Exact decimal digits of |value|: digits[0] stands at 10^exponent. The binary expansion ends
    // at 2^lowBit, so the decimal one ends at 10^lowBit (or at 10^0 for an integer); asking the C
    // library for that many digits gives the exact value and the half-away decision below is taken
    // on it, not on an already rounded text.
    const long double magnitude = std::fabs(value);
    std::string digits = "0";
    int exponent = 0;
    bool roundsToZero = magnitude == 0;
    if (!roundsToZero) {
        using Lim = std::numeric_limits<long double>;
        const int lowBit =
            std::max(std::ilogb(magnitude) - (Lim::digits - 1), Lim::min_exponent - Lim::digits);
        const auto approxExponent = static_cast<long long>(std::floor(std::log10(magnitude)));
        // The true exponent is approxExponent or one off it; below half a unit of the last decimal
        // the value is zero, whatever its digits.
        roundsToZero = approxExponent + 2 + decimals < 0;
        if (!roundsToZero) {
            const long long precision =
                std::max<long long>(approxExponent + 1 + std::max(0, -lowBit), kMaxSignificant + 1);
            std::vector<char> buf(static_cast<size_t>(precision) + 16);
            std::snprintf(buf.data(), buf.size(), "%.*Le", static_cast<int>(precision), magnitude);
            digits.assign(1, buf[0]);
            digits.append(buf.data() + 2, static_cast<size_t>(precision));
            exponent = std::atoi(buf.data() + 3 + precision);
        }
    }

    // Keep the digits down to 10^-decimals, but no more than `significant` of them; round the
    // rest half away from zero. The result is kept[] * 10^scale.
    const long long toDecimals = static_cast<long long>(exponent) + 1 + decimals;
    std::string kept;
    int scale = -decimals;
    if (!roundsToZero && toDecimals >= 0) {
        const int keep = static_cast<int>(std::min<long long>(significant, toDecimals));
        kept = digits.substr(0, static_cast<size_t>(keep));
        scale = exponent + 1 - keep;
        if (digits[static_cast<size_t>(keep)] >= '5')
            IncrementDigits(kept);
    }
    if (kept.empty())
        kept.assign(1, '0');
    const bool zero = AllZero(kept);
    const std::string sign = negative && !zero ? "-" : "";

    if (!zero) {
        kept.erase(0, kept.find_first_not_of('0'));
        const long long intDigits = static_cast<long long>(kept.size()) + scale;
        if (intDigits > significant) {
            // Too large for fixed point: d.dddE+NN with trailing zeros removed.
            const long long exp10 = intDigits - 1;
            kept.erase(kept.find_last_not_of('0') + 1);
            std::string text = sign + kept.substr(0, 1);
            if (kept.size() > 1)
                text += decimalSeparator + kept.substr(1);
            char expBuf[32];
            std::snprintf(expBuf, sizeof expBuf, "E%+03lld", exp10);
            return text + expBuf;
        }
    }

    std::string intPart;
    std::string fraction;
    if (scale >= 0) {
        intPart = kept + std::string(static_cast<size_t>(scale), '0');
    } else {
        const auto fracDigits = static_cast<size_t>(-scale);
        if (kept.size() <= fracDigits)
            kept.insert(0, fracDigits - kept.size() + 1, '0');
        intPart = kept.substr(0, kept.size() - fracDigits);
        fraction = kept.substr(kept.size() - fracDigits);
    }
    const size_t firstNonZero = intPart.find_first_not_of('0');
    intPart = firstNonZero == std::string::npos ? "0" : intPart.substr(firstNonZero);
    fraction.append(static_cast<size_t>(decimals) - fraction.size(), '0');

    std::string text = sign + intPart;
    if (decimals > 0)
        text += decimalSeparator + fraction;
    return text;
}

std::string ShowNumber(const InputLimitTable& table, int tag, bool noClamp, long double value,
                       const TNumberFormat& fmt)
{
    if (std::isnan(value))
        return "N.A.";
    const TInputLimit limit = LimitForTag(table, tag);
    if (!noClamp)
        value = ClampToLimits(limit, value);
    return FormatFixed(value, limit.Decimals, 10, fmt.decimalSeparator);
}

long double ClampToLimits(const TInputLimit& limit, long double value)
{
    if (limit.Min != 0 || limit.Max != 0) {
        if (value < limit.Min)
            value = limit.Min;
        else if (value > limit.Max)
            value = limit.Max;
    }
    return value;
}

long double ClampToInputBounds(const TInputLimit& limit, long double value, double lower,
                               double upper)
{
    if (lower == 0 && upper == 0)
        value = ClampToLimits(limit, value);
    if (lower != 0 && value < lower)
        value = lower;
    else if (upper != 0 && value > upper)
        value = upper;
    return value;
}

long double ClampOpenSide(const TInputLimit& limit, long double value, double lower, double upper)
{
    if (limit.Min == 0 && limit.Max == 0)
        return value;
    if (lower == 0 && value < limit.Min)
        value = limit.Min;
    else if (upper == 0 && value > limit.Max)
        value = limit.Max;
    return value;
}

std::optional<long double> ParseNumber(std::string_view text, const TNumberFormat& fmt)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);

    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const size_t intStart = pos;
    while (pos < text.size() && IsDigit(text[pos]))
        ++pos;
    const std::string_view intDigits = text.substr(intStart, pos - intStart);
    std::string_view fracDigits;
    const std::string_view sep = fmt.decimalSeparator;
    if (!sep.empty() && text.substr(pos).starts_with(sep)) {
        pos += sep.size();
        const size_t fracStart = pos;
        while (pos < text.size() && IsDigit(text[pos]))
            ++pos;
        fracDigits = text.substr(fracStart, pos - fracStart);
    }
    if (intDigits.empty() && fracDigits.empty())
        return std::nullopt;

    bool expNegative = false;
    std::string_view expDigits;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            expNegative = text[pos] == '-';
            ++pos;
        }
        const size_t expStart = pos;
        while (pos < text.size() && IsDigit(text[pos]))
            ++pos;
        expDigits = text.substr(expStart, pos - expStart);
        if (expDigits.empty())
            return std::nullopt;
    }
    if (pos != text.size())
        return std::nullopt;

    // Rewrite in the C notation and convert; std::from_chars ignores the process locale.
    std::string c;
    c.reserve(text.size() + 4);
    if (negative)
        c += '-';
    c += intDigits.empty() ? std::string_view("0") : intDigits;
    if (!fracDigits.empty()) {
        c += '.';
        c += fracDigits;
    }
    if (!expDigits.empty()) {
        c += 'e';
        if (expNegative)
            c += '-';
        c += expDigits;
    }

    long double value = 0.0L;
    const auto [end, ec] = std::from_chars(c.data(), c.data() + c.size(), value);
    if (ec == std::errc() && end == c.data() + c.size())
        return value;
    if (ec != std::errc::result_out_of_range)
        return std::nullopt;

    // Out of range: an underflow reads as (signed) zero, an overflow is not a number. Decide by
    // the decimal position of the first significant digit.
    long long magnitude = 0;
    const size_t firstInt = intDigits.find_first_not_of('0');
    if (firstInt != std::string_view::npos) {
        magnitude = static_cast<long long>(intDigits.size() - firstInt);
    } else {
        const size_t firstFrac = fracDigits.find_first_not_of('0');
        magnitude = firstFrac == std::string_view::npos ? 0 : -static_cast<long long>(firstFrac);
    }
    long long expValue = 0;
    for (char d : expDigits) {
        expValue = std::min(expValue * 10 + (d - '0'), 1000000000LL);
    }
    magnitude += expNegative ? -expValue : expValue;
    if (magnitude < 0)
        return negative ? -0.0L : 0.0L;
    return std::nullopt;
}

namespace {

bool Holds(std::string_view text, std::string_view part)
{
    return !part.empty() && text.find(part) != std::string_view::npos;
}

std::size_t CountOf(std::string_view text, std::string_view part)
{
    std::size_t count = 0;
    if (!part.empty())
        for (std::size_t at = text.find(part); at != std::string_view::npos;
             at = text.find(part, at + part.size()))
            ++count;
    return count;
}

// The marks a user may type for the decimal separator: "." and ",", except the separator
// itself.
std::array<std::string_view, 2> DecimalMarks(const TNumberFormat& fmt)
{
    return {fmt.decimalSeparator == "." ? std::string_view() : std::string_view("."),
            fmt.decimalSeparator == "," ? std::string_view() : std::string_view(",")};
}

// Whether every thousands separator of the number (blanks trimmed, no exponent) stands
// between digit groups of its integer part: 1 to 3 digits, not starting with 0, before the
// first, exactly 3 after each.
bool GroupedInThrees(std::string_view number, std::string_view thousands, std::string_view decimal)
{
    if (!number.empty() && (number.front() == '+' || number.front() == '-'))
        number.remove_prefix(1);
    const std::size_t decimalAt = decimal.empty() ? std::string_view::npos : number.find(decimal);
    std::string_view integer = number.substr(0, decimalAt);
    if (decimalAt != std::string_view::npos && Holds(number.substr(decimalAt), thousands))
        return false;
    bool first = true;
    while (true) {
        const std::size_t at = integer.find(thousands);
        const std::string_view group = integer.substr(0, at);
        if (!std::all_of(group.begin(), group.end(), IsDigit))
            return false;
        if (first ? group.empty() || group.size() > 3 || group.front() == '0' : group.size() != 3)
            return false;
        if (at == std::string_view::npos)
            return !first;
        integer.remove_prefix(at + thousands.size());
        first = false;
    }
}

// The box text with only the decimal separator left: thousands separators between groups of
// three dropped, and a single "." or "," where the decimal separator is expected turned into
// it. Other separators stay, so that the text does not read as a number.
std::string WithDecimalSeparatorOnly(std::string_view text, const TNumberFormat& fmt)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    const std::size_t exponentAt = text.find_first_of("eE");
    std::string number(text.substr(0, exponentAt));
    const std::string_view exponent =
        exponentAt == std::string_view::npos ? std::string_view() : text.substr(exponentAt);

    const std::string& thousands = fmt.thousandsSeparator;
    const std::string& decimal = fmt.decimalSeparator;
    if (Holds(number, thousands) && GroupedInThrees(number, thousands, decimal)) {
        for (std::size_t at = number.find(thousands); at != std::string::npos;
             at = number.find(thousands, at))
            number.erase(at, thousands.size());
    }
    if (!Holds(number, decimal)) {
        const auto marks = DecimalMarks(fmt);
        if (CountOf(number, marks[0]) + CountOf(number, marks[1]) == 1) {
            for (std::string_view mark : marks)
                if (const std::size_t at = number.find(mark);
                    !mark.empty() && at != std::string::npos)
                    number.replace(at, mark.size(), decimal);
        }
    }
    number += exponent;
    return number;
}

} // namespace

TReadResult ReadNumber(const InputLimitTable& table, int tag, std::string_view text, double lower,
                       double upper, const TNumberFormat& fmt)
{
    const long double converted =
        ParseNumber(WithDecimalSeparatorOnly(text, fmt), fmt).value_or(0.0L);

    const long double value = ClampToInputBounds(LimitForTag(table, tag), converted, lower, upper);

    TReadResult result{value, false, {}};
    if (value != converted) {
        result.rewrite = true;
        result.text = ShowNumber(table, tag, false, value, fmt);
    }
    return result;
}

TKeyVerdict FilterNumericKey(char32_t key, std::string_view boxText, const TNumberFormat& fmt)
{
    if (key == 8 || key == U'-' || (key >= U'0' && key <= U'9'))
        return {true, {}};
    const std::string& sep = fmt.decimalSeparator;
    if ((!sep.empty() && key == FirstCodePoint(sep)) || key == U'.' || key == U',') {
        if (!Holds(boxText, sep))
            return {true, {}};
        std::string why = "The number has its decimal separator (\"";
        why += sep;
        why += "\") already.";
        return {false, std::move(why)};
    }
    if (key == U'e' || key == U'E')
        return {false, kExponentRefusal};
    return {false, {}};
}

bool NumericKeyAccepted(char32_t key, std::string_view boxText, const TNumberFormat& fmt)
{
    return FilterNumericKey(key, boxText, fmt).accepted;
}

std::string VersionString()
{
    return std::to_string(TW_VERSION_MAJOR) + "." + std::to_string(TW_VERSION_MINOR) + "." +
           std::to_string(TW_VERSION_PATCH);
}

} // namespace tw
