#include "engine/Dates.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <system_error>

namespace tw {

namespace {

// The civil date of a day count from 1970-01-01.
void CivilFromDays(int64_t days1970, int64_t& year, unsigned& month, unsigned& day)
{
    const int64_t z = days1970 + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = doy - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int64_t>(yoe) + era * 400 + (month <= 2 ? 1 : 0);
}

} // namespace

double DateSerial(int year, int month, int day)
{
    // Days from the civil date to 1970-01-01 (proleptic Gregorian), then shifted to the
    // 30 December 1899 epoch (25569 days before 1970-01-01).
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int mp = (month + 9) % 12;
    const int doy = (153 * mp + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long days1970 = static_cast<long>(era) * 146097 + doe - 719468;
    return static_cast<double>(days1970 + 25569);
}

double TodaySerial()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return DateSerial(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

std::string DateToIso(double serial)
{
    // 1 January 0001 and 31 December 9999 as serials.
    constexpr double kFirst = -693593, kLast = 2958465;
    if (!std::isfinite(serial) || serial <= kFirst - 1 || serial >= kLast + 1)
        return {};
    // The date part of a serial is its integer part (the time of day is the fraction).
    const auto days = static_cast<int64_t>(std::trunc(serial));
    int64_t year = 0;
    unsigned month = 0, day = 0;
    CivilFromDays(days - 25569, year, month, day);
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u", static_cast<int>(year), month, day);
    return buffer;
}

bool DateFromIso(std::string_view text, double& serial)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    auto number = [&](std::size_t from, std::size_t count, int& value) {
        const char* first = text.data() + from;
        const auto result = std::from_chars(first, first + count, value);
        return result.ec == std::errc{} && result.ptr == first + count && first[0] != '-' &&
               first[0] != '+';
    };
    int year = 0, month = 0, day = 0;
    if (!number(0, 4, year) || !number(5, 2, month) || !number(8, 2, day))
        return false;
    if (year < 1 || month < 1 || month > 12 || day < 1)
        return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (day > kDays[month - 1] + (month == 2 && leap ? 1 : 0))
        return false;
    serial = DateSerial(year, month, day);
    return true;
}

} // namespace tw
