#pragma once

#include "driver/core/value.hpp"

#include <string>

namespace kelvara::driver {

// Appends the character form that SQLGetData(SQL_C_CHAR) gives for a value:
// text as UTF-8, integers in decimal, floats as the shortest text that reads
// back to the same number, Currency and Decimal exactly, dates as
// "YYYY-MM-DD HH:MM:SS", Yes/No as "1"/"0", GUIDs as 36 upper-case characters
// and binary data as two upper-case hex digits per byte. A Null appends nothing.
void appendCharacterForm(const Value& value, std::string& out);

} // namespace kelvara::driver
