#pragma once

#include <string>
#include <string_view>

namespace kelvara::driver {

// True when two UTF-8 names are equal without regard to case, as Access
// compares table and column names ("Ünïcode Täble" matches "ÜNÏCODE TÄBLE").
bool namesEqual(std::string_view a, std::string_view b);

// The lower-case form used by namesEqual, for building lookups.
std::string foldName(std::string_view name);

} // namespace kelvara::driver
