#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kelvara::driver::sql {

// Access stores a date as days since 1899-12-30 with the time of day as a
// fraction. Before that day the whole part counts backwards but the fraction
// still counts forwards: -1.25 is 1899-12-29 06:00, so the stored numbers are
// not in time order there. Comparisons go through these linear forms.

// Days on a straight time line (1899-12-29 06:00 is -0.75).
double linearDays(double accessDays) noexcept;

// Linear days to the nearest second, the precision Access shows dates in.
std::int64_t linearSeconds(double accessDays) noexcept;

// The stored form of a calendar date and time. Empty for an invalid date or
// one outside Access's range, 100-01-01 to 9999-12-31.
std::optional<double> accessDays(int year, int month, int day, double secondsOfDay) noexcept;

// The text between #...#: "yyyy-mm-dd", "yyyy/mm/dd", the US form "m/d/yyyy"
// (or "m/d/yy": 00-29 are 2000s, 30-99 1900s), each with an optional time
// "h:mm[:ss]" with optional AM/PM, or a time alone (on 1899-12-30).
std::optional<double> parseAccessDate(std::string_view text) noexcept;

// ODBC escape contents: {d 'yyyy-mm-dd'}, {t 'hh:mm:ss'} and
// {ts 'yyyy-mm-dd hh:mm:ss[.fff]'}; `kind` is "d", "t" or "ts".
std::optional<double> parseOdbcDateTime(std::string_view kind, std::string_view text) noexcept;

} // namespace kelvara::driver::sql
