#pragma once

#include "driver/core/error.hpp"

#include <string>

namespace kelvara::driver::detail {

// The file cannot be opened as an Access database (SQLSTATE 08001); `reason`
// completes "Cannot open the database file '<path>': ".
[[noreturn]] void throwCannotOpen(const std::string& path, const std::string& reason);

// The file opened but a structure read later is damaged (SQLSTATE HY000).
[[noreturn]] void throwDamaged(const std::string& path, const std::string& detail);

} // namespace kelvara::driver::detail
