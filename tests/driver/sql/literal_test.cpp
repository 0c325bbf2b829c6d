#include "driver/sql/date_literal.hpp"
#include "driver/sql/exact_number.hpp"
#include "driver/sql/guid_literal.hpp"
#include "driver/sql/like_pattern.hpp"
#include "driver/sql/text_compare.hpp"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>

namespace kelvara::driver::sql {
namespace {

ExactNumber number(const char* text, bool negative = false) {
    ExactNumber value = parseExactNumber(text).value();
    value.negative = negative;
    return value;
}

TEST(ExactNumber, ParsesAndComparesWithoutRounding) {
    EXPECT_EQ(compareExact(number("1234.5678"), exactFromInteger(12345678, -4)), 0);
    EXPECT_EQ(compareExact(number("0.1"), number("1e-1")), 0);
    EXPECT_EQ(compareExact(number(".50"), number("0.5")), 0);
    EXPECT_EQ(
        compareExact(number("1e400"), exactFromInteger(std::numeric_limits<std::int64_t>::max())),
        1);
    EXPECT_EQ(compareExact(number("1e-400"), number("0")), 1);
    EXPECT_EQ(compareExact(number("0.30000000000000000000000000001"), number("0.3")), 1);
    EXPECT_EQ(compareExact(number("2", true), number("1", true)), -1);
    EXPECT_EQ(compareExact(number("0", true), number("0")), 0);
    EXPECT_FALSE(parseExactNumber("1e"));
    EXPECT_FALSE(parseExactNumber("."));
    EXPECT_FALSE(parseExactNumber("1.2.3"));
}

TEST(ExactNumber, DecimalWithAll96Bits) {
    Decimal max; // 79228162514264337593543950335, Access's largest Decimal
    max.magnitude = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0};
    EXPECT_EQ(compareExact(exactFromDecimal(max), number("79228162514264337593543950335")), 0);
    max.scale = 28;
    max.negative = true;
    EXPECT_EQ(compareExact(exactFromDecimal(max), number("7.9228162514264337593543950335", true)),
              0);
}

TEST(IntegerThreshold, PlacesTheLiteralAmongIntegers) {
    using Kind = IntegerThreshold::Kind;
    struct Case {
        ExactNumber value;
        int scale;
        Kind kind;
        std::int64_t floor;
    };
    const Case cases[] = {
        {number("5"), 0, Kind::Exact, 5},
        {number("5.5"), 0, Kind::Fractional, 5},
        {number("5.5", true), 0, Kind::Fractional, -6},
        {number("1234.5678"), 4, Kind::Exact, 12345678},
        {number("1234.56785"), 4, Kind::Fractional, 12345678},
        {number("9223372036854775807"), 0, Kind::Exact, std::numeric_limits<std::int64_t>::max()},
        {number("9223372036854775808"), 0, Kind::AboveAll, 0},
        {number("9223372036854775808", true), 0, Kind::Exact,
         std::numeric_limits<std::int64_t>::min()},
        {number("9223372036854775808.5", true), 0, Kind::BelowAll, 0},
        {number("922337203685477.5808", true), 4, Kind::Exact,
         std::numeric_limits<std::int64_t>::min()},
        {number("1e-50"), 0, Kind::Fractional, 0},
        {number("1e-50", true), 0, Kind::Fractional, -1},
    };
    for (const Case& c : cases) {
        const IntegerThreshold t = integerThreshold(c.value, c.scale);
        EXPECT_EQ(t.kind, c.kind);
        EXPECT_EQ(t.floor, c.floor);
    }
    const IntegerThreshold half = integerThreshold(number("5.5", true), 0);
    EXPECT_EQ(half.compare(-6), -1);
    EXPECT_EQ(half.compare(-5), 1);
}

TEST(DateLiteral, AccessDayNumbers) {
    struct Case {
        const char* text;
        double days;
    };
    const Case cases[] = {
        {"1899-12-30", 0.0},
        {"1899-12-29 06:00", -1.25},
        {"12/29/1899 6:00 PM", -1.75},
        {"1900/01/01 12:00:00 AM", 2.0},
        {"2000-02-29 23:59:59", 36585.0 + 86399.0 / 86400.0},
        {"0100-01-01", -657434.0},
        {"9999-12-31", 2958465.0},
        {"1/1/30", 10959.0},
        {"12:00 PM", 0.5},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(parseAccessDate(c.text).value(), c.days) << c.text;
    for (const char* bad : {"1900-02-29", "99-01-01", "2000-13-01", "2000-01-01 24:00",
                            "1/1/2000 13:00 PM", "2000-01-01x", "10000-01-01", ""})
        EXPECT_FALSE(parseAccessDate(bad)) << bad;
}

TEST(DateLiteral, LinearFormIsInTimeOrder) {
    EXPECT_DOUBLE_EQ(linearDays(-1.25), -0.75);
    EXPECT_DOUBLE_EQ(linearDays(-1.75), -0.25);
    EXPECT_LT(linearSeconds(*parseAccessDate("1899-12-29 06:00")),
              linearSeconds(*parseAccessDate("1899-12-29 18:00")));
    EXPECT_EQ(linearSeconds(36526.5), 36526 * 86400LL + 43200);
}

TEST(GuidLiteral, StoredByteOrder) {
    const auto guid = parseGuid("{00112233-4455-6677-8899-AaBbCcDdEeFf}");
    ASSERT_TRUE(guid);
    const std::array<std::uint8_t, 16> expected = {0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66,
                                                   0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    EXPECT_EQ(*guid, expected);
    EXPECT_FALSE(parseGuid("00112233-4455-6677-8899-AABBCCDDEEF"));
    EXPECT_FALSE(parseGuid("{00112233-4455-6677-8899-AABBCCDDEEFG}"));
}

TEST(TextCompare, IgnoresCaseAcrossScripts) {
    EXPECT_EQ(compareText("Straße", "STRASSE"), 1); // ß has no single-letter capital: no match
    EXPECT_EQ(compareText("ÀÉÎÕÜ", "àéîõü"), 0);
    EXPECT_EQ(compareText("ŁÓDŹ", "łódź"), 0);
    EXPECT_EQ(compareText("ΑΘΗΝΑ", "αθηνα"), 0);
    EXPECT_EQ(compareText("МОСКВА Ё", "москва ё"), 0);
    EXPECT_EQ(compareText("a", "B"), -1);
    EXPECT_EQ(compareText("ab", "A"), 1);
    EXPECT_EQ(compareText("😀", "😀"), 0);
    EXPECT_EQ(compareText("\xFF", "\xFE"), 1); // damaged bytes compare, never crash
    EXPECT_EQ(countCodePoints("Ünï😀"), 4U);
}

TEST(TextCompare, AccentedLettersSortWithTheirBaseLetter) {
    EXPECT_EQ(compareText("Émile", "emile"), 1);
    EXPECT_EQ(compareText("Émile", "F"), -1);
    EXPECT_EQ(compareText("Émile", "Emilf"), -1);
    EXPECT_EQ(compareText("Zoë", "ZOE"), 1);
    EXPECT_EQ(compareText("Zoë", "zoef"), -1);
    EXPECT_EQ(compareText("Łódź", "lodz"), 1);
    EXPECT_EQ(compareText("Łódź", "lodzz"), -1);
    EXPECT_EQ(compareText("æ", "b"), 1); // a letter of its own
}

TEST(LikePattern, MatchesAsAccessDoes) {
    struct Case {
        const char* pattern;
        const char* text;
        bool matches;
    };
    const Case cases[] = {
        {"", "", true},
        {"", "a", false},
        {"*", "", true},
        {"a**b", "ab", true},
        {"*a*a*b", "aaaaaaaaaab", true},
        {"*a*a*b", "aaaaaaaaaa", false},
        {"?", "ü", true}, // one character, not one byte
        {"??", "ü", false},
        {"_x%", "üx", true},
        {"#", "7", true},
        {"#", "x", false},
        {"[a-c]x", "Bx", true},
        {"[a-]", "-", true}, // a "-" at the end is itself
        {"[!a-c]", "d", true},
        {"[!a-c]", "C", false},
        {"[!]", "!", true}, // "!" alone is itself
        {"[z-a]", "m", false},
        {"a[]b", "ab", true},
        {"[é-ë]", "Ê", true},
        {"[*]*", "*x", true},
        {"[?]", "x", false},
        {"[#]", "#", true},
        {"Ω*", "ωmega", true},
        {"*😀", "smile 😀", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LikePattern(c.pattern).matches(c.text), c.matches)
            << c.pattern << " ~ " << c.text;
}

} // namespace
} // namespace kelvara::driver::sql
