#include "driver/sql/guid_literal.hpp"

namespace kelvara::driver::sql {
namespace {

int hexValue(char c) noexcept {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<std::array<std::uint8_t, 16>> parseGuid(std::string_view text) noexcept {
    if (text.size() == 38 && text.front() == '{' && text.back() == '}')
        text = text.substr(1, 36);
    if (text.size() != 36)
        return std::nullopt;
    // Byte i of the stored form comes from the hex pair at kSource[i]: the
    // first three groups are stored least significant byte first.
    static constexpr std::size_t kSource[16] = {6,  4,  2,  0,  11, 9,  16, 14,
                                                19, 21, 24, 26, 28, 30, 32, 34};
    for (std::size_t hyphen : {8U, 13U, 18U, 23U}) {
        if (text[hyphen] != '-')
            return std::nullopt;
    }
    std::array<std::uint8_t, 16> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int high = hexValue(text[kSource[i]]);
        const int low = hexValue(text[kSource[i] + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return bytes;
}

} // namespace kelvara::driver::sql
