#include "driver/sql/date_literal.hpp"

#include <cmath>

namespace kelvara::driver::sql {
namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr std::int64_t kAccessEpochFromUnixEpoch = -25569; // 1899-12-30

// Days since 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's
// civil-days algorithm).
std::int64_t daysFromCivil(int year, int month, int day) noexcept {
    const std::int64_t y = year - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t monthIndex = month > 2 ? month - 3 : month + 9;
    const std::int64_t dayOfYear = (153 * monthIndex + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

bool isLeapYear(int year) noexcept {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) noexcept {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// A little cursor over the literal's characters.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool atEnd() const noexcept { return pos_ == text_.size(); }
    char peek() const noexcept { return atEnd() ? '\0' : text_[pos_]; }
    bool accept(char c) noexcept {
        if (peek() != c)
            return false;
        ++pos_;
        return true;
    }
    void skipBlanks() noexcept {
        while (peek() == ' ' || peek() == '\t')
            ++pos_;
    }
    // An unsigned number of at most `maxDigits` digits; `digits` gets its length.
    std::optional<int> number(int maxDigits, int& digits) noexcept {
        int value = 0;
        digits = 0;
        while (peek() >= '0' && peek() <= '9' && digits < maxDigits) {
            value = value * 10 + (text_[pos_++] - '0');
            ++digits;
        }
        if (digits == 0)
            return std::nullopt;
        return value;
    }
    // "AM" or "PM" in any case: 0 for none, 1 AM, 2 PM.
    int meridiem() noexcept {
        if (text_.size() - pos_ < 2)
            return 0;
        const char first = static_cast<char>(text_[pos_] | 0x20);
        const char second = static_cast<char>(text_[pos_ + 1] | 0x20);
        if ((first != 'a' && first != 'p') || second != 'm')
            return 0;
        pos_ += 2;
        return first == 'a' ? 1 : 2;
    }
    std::string_view rest() const noexcept { return text_.substr(pos_); }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// h:mm[:ss[.fff]] [AM|PM] as seconds of the day.
std::optional<double> readTime(Reader& in, bool allowMeridiem) noexcept {
    int digits = 0;
    const auto hour = in.number(2, digits);
    if (!hour || !in.accept(':'))
        return std::nullopt;
    const auto minute = in.number(2, digits);
    if (!minute || digits != 2)
        return std::nullopt;
    double second = 0.0;
    if (in.accept(':')) {
        const auto whole = in.number(2, digits);
        if (!whole || digits != 2)
            return std::nullopt;
        second = *whole;
        if (in.accept('.')) {
            double scale = 0.1;
            while (in.peek() >= '0' && in.peek() <= '9') {
                second += scale * (in.peek() - '0');
                scale /= 10;
                in.accept(in.peek());
            }
        }
    }
    int h = *hour;
    in.skipBlanks();
    const int meridiem = allowMeridiem ? in.meridiem() : 0;
    if (meridiem != 0) {
        if (h < 1 || h > 12)
            return std::nullopt;
        h = (h % 12) + (meridiem == 2 ? 12 : 0);
    }
    if (h > 23 || *minute > 59 || second >= 60.0)
        return std::nullopt;
    return h * 3600.0 + *minute * 60.0 + second;
}

struct CalendarDate {
    int year = 1899;
    int month = 12;
    int day = 30;
};

// yyyy-mm-dd, yyyy/mm/dd, m/d/yyyy, m-d-yyyy, m/d/yy.
std::optional<CalendarDate> readDate(Reader& in) noexcept {
    int firstDigits = 0;
    int secondDigits = 0;
    int thirdDigits = 0;
    const auto first = in.number(4, firstDigits);
    const char separator = in.peek();
    if (!first || (separator != '-' && separator != '/') || !in.accept(separator))
        return std::nullopt;
    const auto second = in.number(2, secondDigits);
    if (!second || !in.accept(separator))
        return std::nullopt;
    const auto third = in.number(4, thirdDigits);
    if (!third)
        return std::nullopt;
    if (firstDigits > 2)
        return CalendarDate{*first, *second, *third};
    int year = *third;
    if (thirdDigits <= 2)
        year += year < 30 ? 2000 : 1900;
    else if (thirdDigits != 4)
        return std::nullopt;
    return CalendarDate{year, *first, *second};
}

bool looksLikeTimeOnly(std::string_view text) noexcept {
    for (char c : text) {
        if (c == ':')
            return true;
        if (c == '-' || c == '/')
            return false;
    }
    return false;
}

} // namespace

double linearDays(double accessDays) noexcept {
    if (accessDays >= 0.0)
        return accessDays;
    const double whole = std::trunc(accessDays);
    return whole + (whole - accessDays);
}

std::int64_t linearSeconds(double accessDays) noexcept {
    return std::llround(linearDays(accessDays) * kSecondsPerDay);
}

std::optional<double> accessDays(int year, int month, int day, double secondsOfDay) noexcept {
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > daysInMonth(year, month) || secondsOfDay < 0.0 || secondsOfDay >= kSecondsPerDay)
        return std::nullopt;
    const auto whole =
        static_cast<double>(daysFromCivil(year, month, day) - kAccessEpochFromUnixEpoch);
    const double fraction = secondsOfDay / kSecondsPerDay;
    return whole < 0.0 ? whole - fraction : whole + fraction;
}

std::optional<double> parseAccessDate(std::string_view text) noexcept {
    Reader in(text);
    in.skipBlanks();
    CalendarDate date;
    double seconds = 0.0;
    if (!looksLikeTimeOnly(in.rest())) {
        const auto read = readDate(in);
        if (!read)
            return std::nullopt;
        date = *read;
        in.skipBlanks();
    }
    if (!in.atEnd()) {
        const auto time = readTime(in, true);
        if (!time)
            return std::nullopt;
        seconds = *time;
        in.skipBlanks();
    }
    if (!in.atEnd())
        return std::nullopt;
    return accessDays(date.year, date.month, date.day, seconds);
}

std::optional<double> parseOdbcDateTime(std::string_view kind, std::string_view text) noexcept {
    Reader in(text);
    CalendarDate date;
    double seconds = 0.0;
    if (kind != "t") {
        int digits = 0;
        const auto year = in.number(4, digits);
        if (!year || digits != 4 || !in.accept('-'))
            return std::nullopt;
        const auto month = in.number(2, digits);
        if (!month || !in.accept('-'))
            return std::nullopt;
        const auto day = in.number(2, digits);
        if (!day)
            return std::nullopt;
        date = CalendarDate{*year, *month, *day};
    }
    if (kind == "ts" || kind == "t") {
        if (kind == "ts" && !in.accept(' '))
            return std::nullopt;
        const auto time = readTime(in, false);
        if (!time)
            return std::nullopt;
        seconds = *time;
    }
    if (!in.atEnd())
        return std::nullopt;
    return accessDays(date.year, date.month, date.day, seconds);
}

} // namespace kelvara::driver::sql
