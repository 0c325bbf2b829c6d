#include "driver/sql/exact_number.hpp"

#include <charconv>
#include <cstdlib>
#include <limits>

namespace kelvara::driver::sql {
namespace {

constexpr int kMaxDigits = 38;         // 10^38 still fits 128 bits
constexpr int kExponentLimit = 100000; // far beyond any double, small enough for int

bool isDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}

// magnitude × 10; false on overflow.
bool timesTen(UInt128& magnitude) noexcept {
    constexpr UInt128 kLimit = ~UInt128{0} / 10;
    if (magnitude > kLimit)
        return false;
    magnitude *= 10;
    return true;
}

UInt128 powerOfTen(int exponent) noexcept {
    UInt128 result = 1;
    for (int i = 0; i < exponent; ++i)
        result *= 10;
    return result;
}

// Magnitudes only: -1, 0 or 1.
int compareMagnitudes(const ExactNumber& a, const ExactNumber& b) noexcept {
    if (a.isZero() || b.isZero())
        return a.isZero() ? (b.isZero() ? 0 : -1) : 1;
    UInt128 left = a.magnitude;
    UInt128 right = b.magnitude;
    // Bring the one with the larger exponent down to the other's; a
    // magnitude that outgrows 128 bits on the way is the larger one.
    for (int e = a.exponent; e > b.exponent; --e) {
        if (!timesTen(left))
            return 1;
    }
    for (int e = b.exponent; e > a.exponent; --e) {
        if (!timesTen(right))
            return -1;
    }
    return left < right ? -1 : (left > right ? 1 : 0);
}

} // namespace

std::optional<ExactNumber> parseExactNumber(std::string_view text) {
    ExactNumber number;
    std::size_t i = 0;
    int significant = 0;
    bool anyDigit = false;
    bool afterPoint = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !afterPoint) {
            afterPoint = true;
            continue;
        }
        if (!isDigit(c))
            break;
        anyDigit = true;
        if (significant == 0 && c == '0') {
            if (afterPoint)
                --number.exponent;
            continue;
        }
        if (significant < kMaxDigits) {
            number.magnitude = number.magnitude * 10 + static_cast<unsigned>(c - '0');
            ++significant;
            if (afterPoint)
                --number.exponent;
        } else if (!afterPoint) {
            ++number.exponent; // a dropped digit before the point still counts
        }
    }
    if (!anyDigit)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            negativeExponent = text[i++] == '-';
        if (i == text.size() || !isDigit(text[i]))
            return std::nullopt;
        int exponent = 0;
        for (; i < text.size() && isDigit(text[i]); ++i) {
            if (exponent < kExponentLimit)
                exponent = exponent * 10 + (text[i] - '0');
        }
        number.exponent += negativeExponent ? -exponent : exponent;
    }
    if (i != text.size())
        return std::nullopt;
    if (number.isZero()) {
        number.exponent = 0;
        return number;
    }
    while (number.magnitude % 10 == 0) {
        number.magnitude /= 10;
        ++number.exponent;
    }
    return number;
}

ExactNumber exactFromInteger(std::int64_t value, int exponent) noexcept {
    ExactNumber number;
    number.negative = value < 0;
    // Negating in unsigned arithmetic keeps INT64_MIN exact.
    const auto bits = static_cast<std::uint64_t>(value);
    number.magnitude = number.negative ? (~bits + 1) : bits;
    number.exponent = exponent;
    return number;
}

ExactNumber exactFromDecimal(const Decimal& value) noexcept {
    ExactNumber number;
    for (std::size_t i = value.magnitude.size(); i-- > 0;)
        number.magnitude = (number.magnitude << 32) | value.magnitude[i];
    number.exponent = -static_cast<int>(value.scale);
    number.negative = value.negative && !number.isZero();
    return number;
}

int compareExact(const ExactNumber& a, const ExactNumber& b) noexcept {
    const int signA = a.isZero() ? 0 : (a.negative ? -1 : 1);
    const int signB = b.isZero() ? 0 : (b.negative ? -1 : 1);
    if (signA != signB)
        return signA < signB ? -1 : 1;
    const int magnitudes = compareMagnitudes(a, b);
    return signA < 0 ? -magnitudes : magnitudes;
}

// "[-]digitsEexponent" in `buffer`, null-terminated, for strtod and strtof,
// which round correctly where scaling by powers of ten would not. No
// allocation: this runs per row when a Decimal meets a float.
void scientificText(const ExactNumber& value, char (&buffer)[64]) noexcept {
    char* out = buffer;
    if (value.negative)
        *out++ = '-';
    char digits[40];
    std::size_t count = 0;
    UInt128 magnitude = value.magnitude;
    do {
        digits[count++] = static_cast<char>('0' + static_cast<int>(magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    while (count > 0)
        *out++ = digits[--count];
    *out++ = 'e';
    out = std::to_chars(out, buffer + sizeof buffer - 1, value.exponent).ptr;
    *out = '\0';
}

double exactToDouble(const ExactNumber& value) noexcept {
    char buffer[64];
    scientificText(value, buffer);
    return std::strtod(buffer, nullptr);
}

float exactToFloat(const ExactNumber& value) noexcept {
    char buffer[64];
    scientificText(value, buffer);
    return std::strtof(buffer, nullptr);
}

IntegerThreshold integerThreshold(const ExactNumber& value, int scale) noexcept {
    using Kind = IntegerThreshold::Kind;
    constexpr UInt128 kMaxPositive = std::numeric_limits<std::int64_t>::max();
    constexpr UInt128 kMaxNegative = kMaxPositive + 1;
    const Kind outside = value.negative ? Kind::BelowAll : Kind::AboveAll;

    UInt128 whole = value.magnitude;
    bool fraction = false;
    const int exponent = value.exponent + scale;
    if (exponent >= 0) {
        for (int e = 0; e < exponent && whole != 0; ++e) {
            if (!timesTen(whole))
                return {outside, 0};
        }
    } else if (-exponent > kMaxDigits) {
        fraction = whole != 0;
        whole = 0;
    } else {
        const UInt128 divisor = powerOfTen(-exponent);
        fraction = whole % divisor != 0;
        whole /= divisor;
    }

    if (!value.negative) {
        if (whole > kMaxPositive)
            return {outside, 0};
        return {fraction ? Kind::Fractional : Kind::Exact, static_cast<std::int64_t>(whole)};
    }
    // -(whole + fraction): its floor is -whole, or one below with a fraction.
    const UInt128 floorMagnitude = whole + (fraction ? 1 : 0);
    if (floorMagnitude > kMaxNegative)
        return {outside, 0};
    const auto floorBits = ~static_cast<std::uint64_t>(floorMagnitude) + 1;
    return {fraction ? Kind::Fractional : Kind::Exact, static_cast<std::int64_t>(floorBits)};
}

} // namespace kelvara::driver::sql
