// Dates as project files hold them: whole days since 30 December 1899 (the fraction is the
// time of day), and their "YYYY-MM-DD" text in project JSON. Civil dates are proleptic
// Gregorian.
#pragma once

#include <string>
#include <string_view>

namespace tw {

// A date as whole days since 30 December 1899, the form stored in project files.
double DateSerial(int year, int month, int day);
// Today's local date in that form.
double TodaySerial();

// "YYYY-MM-DD" of a day serial (days since 30 December 1899; the time of day is dropped), and
// back. DateFromIso returns false for text that is not a valid date of the years 1-9999.
std::string DateToIso(double serial);
bool DateFromIso(std::string_view text, double& serial);

} // namespace tw
