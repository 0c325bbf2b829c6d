#include "driver/core/format.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace kelvara::driver {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Days from 1970-01-01 to Access's day zero, 1899-12-30.
constexpr std::int64_t kAccessEpochFromUnix = -25569;
constexpr std::int64_t kSecondsPerDay = 86400;
// Far beyond 9999-12-31 (2958465): values there are damage, not dates.
constexpr double kMaxDays = 1e8;

template <typename T> void appendNumber(T value, std::string& out) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

// Writes `value` with at least `width` digits at `p`; returns the end.
char* writePadded(std::uint64_t value, int width, char* p) {
    char digits[24];
    int length = 0;
    do {
        digits[length++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (int pad = length; pad < width; ++pad) {
        *p++ = '0';
    }
    while (length > 0) {
        *p++ = digits[--length];
    }
    return p;
}

// Two digits, the common case of date and time fields.
char* writeTwoDigits(std::uint64_t value, char* p) {
    *p++ = static_cast<char>('0' + value / 10);
    *p++ = static_cast<char>('0' + value % 10);
    return p;
}

struct CivilDate {
    std::int64_t year;
    unsigned month;
    unsigned day;
};

// The proleptic Gregorian date of a day counted from 1970-01-01, by whole
// 400-year eras (146097 days) so that it holds for any day.
CivilDate civilFromDays(std::int64_t days) {
    days += 719468; // shift the count to start on 0000-03-01
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<std::uint64_t>(days - era * 146097);
    const std::uint64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::uint64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::uint64_t shiftedMonth = (5 * dayOfYear + 2) / 153; // March is 0
    const auto day = static_cast<unsigned>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const auto month =
        static_cast<unsigned>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    const std::int64_t year =
        static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

void appendDateTime(double value, std::string& out) {
    if (!std::isfinite(value) || std::fabs(value) > kMaxDays) {
        return;
    }
    // The whole part counts days from 1899-12-30, backwards when negative;
    // the fraction is always the time after midnight of that day.
    const double wholeDays = std::trunc(value);
    const double fraction = std::fabs(value - wholeDays);
    auto days = static_cast<std::int64_t>(wholeDays);
    auto seconds = static_cast<std::int64_t>(std::llround(fraction * kSecondsPerDay));
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        ++days;
    }
    const CivilDate date = civilFromDays(days + kAccessEpochFromUnix);
    char buffer[40];
    char* p = buffer;
    if (date.year < 0) {
        *p++ = '-';
    }
    p = writePadded(static_cast<std::uint64_t>(date.year < 0 ? -date.year : date.year), 4, p);
    *p++ = '-';
    p = writeTwoDigits(date.month, p);
    *p++ = '-';
    p = writeTwoDigits(date.day, p);
    *p++ = ' ';
    p = writeTwoDigits(static_cast<std::uint64_t>(seconds / 3600), p);
    *p++ = ':';
    p = writeTwoDigits(static_cast<std::uint64_t>(seconds / 60 % 60), p);
    *p++ = ':';
    p = writeTwoDigits(static_cast<std::uint64_t>(seconds % 60), p);
    out.append(buffer, p);
}

void appendMoney(std::int64_t tenThousandths, std::string& out) {
    // Negated in unsigned arithmetic so that the smallest value has a magnitude.
    const std::uint64_t magnitude = tenThousandths < 0
                                        ? 0 - static_cast<std::uint64_t>(tenThousandths)
                                        : static_cast<std::uint64_t>(tenThousandths);
    char buffer[32];
    char* p = buffer;
    if (tenThousandths < 0) {
        *p++ = '-';
    }
    p = writePadded(magnitude / 10000, 1, p);
    *p++ = '.';
    p = writePadded(magnitude % 10000, 4, p);
    out.append(buffer, p);
}

__extension__ typedef unsigned __int128 Uint128;

void appendDecimal(const Decimal& value, std::string& out) {
    Uint128 magnitude = 0;
    for (std::size_t word = value.magnitude.size(); word-- > 0;) {
        magnitude = (magnitude << 32) | value.magnitude[word];
    }
    char digits[48];
    int length = 0;
    do {
        digits[length++] = static_cast<char>('0' + static_cast<int>(magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    const int scale = value.scale;
    while (length <= scale) {
        digits[length++] = '0';
    }
    const bool isZero = length == scale + 1 && [&] {
        for (int i = 0; i < length; ++i) {
            if (digits[i] != '0') {
                return false;
            }
        }
        return true;
    }();
    char buffer[64];
    char* p = buffer;
    if (value.negative && !isZero) {
        *p++ = '-';
    }
    for (int i = length; i-- > 0;) {
        *p++ = digits[i];
        if (i == scale && scale > 0) {
            *p++ = '.';
        }
    }
    out.append(buffer, p);
}

char* writeHexByte(unsigned char byte, char* p) {
    *p++ = kHexDigits[byte >> 4];
    *p++ = kHexDigits[byte & 0x0F];
    return p;
}

// Access stores the first three groups of a GUID little-endian.
void appendGuid(const std::array<std::uint8_t, 16>& bytes, std::string& out) {
    static constexpr int kOrder[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    char buffer[36];
    char* p = buffer;
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            *p++ = '-';
        }
        p = writeHexByte(bytes[static_cast<std::size_t>(kOrder[i])], p);
    }
    out.append(buffer, p);
}

void appendHex(const std::string& bytes, std::string& out) {
    const std::size_t start = out.size();
    out.resize(start + 2 * bytes.size());
    char* target = out.data() + start;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *target++ = kHexDigits[byte >> 4];
        *target++ = kHexDigits[byte & 0x0F];
    }
}

} // namespace

void appendCharacterForm(const Value& value, std::string& out) {
    switch (value.type) {
    case Value::Type::Null:
        return;
    case Value::Type::Bool:
        out.push_back(value.boolean ? '1' : '0');
        return;
    case Value::Type::Integer:
        appendNumber(value.integer, out);
        return;
    case Value::Type::Float32:
        appendNumber(value.float32, out);
        return;
    case Value::Type::Float64:
        appendNumber(value.float64, out);
        return;
    case Value::Type::Money:
        appendMoney(value.integer, out);
        return;
    case Value::Type::Decimal:
        appendDecimal(value.decimal, out);
        return;
    case Value::Type::DateTime:
        appendDateTime(value.float64, out);
        return;
    case Value::Type::Text:
        out += value.bytes;
        return;
    case Value::Type::Binary:
        appendHex(value.bytes, out);
        return;
    case Value::Type::Guid:
        appendGuid(value.guid, out);
        return;
    }
}

} // namespace kelvara::driver
