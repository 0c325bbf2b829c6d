#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kelvara::driver::sql {

// "{12345678-9ABC-DEF0-1234-56789ABCDEF0}", braces optional, any case, as the
// 16 bytes Access stores: the first three groups little-endian, the last
// eight bytes in order.
std::optional<std::array<std::uint8_t, 16>> parseGuid(std::string_view text) noexcept;

} // namespace kelvara::driver::sql
