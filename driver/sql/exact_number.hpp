#pragma once

#include "driver/core/value.hpp"

#include <cstdint>
#include <optional>
#include <string_view>

namespace kelvara::driver::sql {

__extension__ typedef unsigned __int128 UInt128;

// An exact number: magnitude × 10^exponent, sign apart. Wide enough for every
// Access number (28-digit Decimal, Currency, Long) and for literals of up to
// 38 significant digits, so comparisons never go through a double.
struct ExactNumber {
    UInt128 magnitude = 0;
    int exponent = 0;
    bool negative = false;

    bool isZero() const noexcept { return magnitude == 0; }
};

// Reads an unsigned SQL number ("12", "0.5", ".5", "1e-3", "2.5E+10").
// Digits beyond the 38th significant one are dropped. Empty when the text is
// not a number.
std::optional<ExactNumber> parseExactNumber(std::string_view text);

ExactNumber exactFromInteger(std::int64_t value, int exponent = 0) noexcept;
ExactNumber exactFromDecimal(const Decimal& value) noexcept;

// -1, 0 or 1.
int compareExact(const ExactNumber& a, const ExactNumber& b) noexcept;

// Nearest double, and nearest float (rounded once, straight from the exact value).
double exactToDouble(const ExactNumber& value) noexcept;
float exactToFloat(const ExactNumber& value) noexcept;

// Where an exact number falls among the integers k × 10^-scale: the
// comparison of any such integer with the number, prepared once so that it
// costs one or two integer comparisons per row.
struct IntegerThreshold {
    enum class Kind : std::uint8_t {
        Exact,      // number == floor
        Fractional, // floor < number < floor + 1
        AboveAll,   // number > INT64_MAX
        BelowAll,   // number < INT64_MIN
    };
    Kind kind = Kind::Exact;
    std::int64_t floor = 0;

    // -1, 0 or 1 for `units` against the number.
    int compare(std::int64_t units) const noexcept {
        switch (kind) {
        case Kind::Exact:
            return units < floor ? -1 : (units > floor ? 1 : 0);
        case Kind::Fractional:
            return units <= floor ? -1 : 1;
        case Kind::AboveAll:
            return -1;
        case Kind::BelowAll:
            return 1;
        }
        return 0;
    }
};

IntegerThreshold integerThreshold(const ExactNumber& value, int scale) noexcept;

} // namespace kelvara::driver::sql
