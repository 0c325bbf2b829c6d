// The character form of each kind of value, as SQLGetData(SQL_C_CHAR) gives it.
#include "driver/core/format.hpp"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>

namespace kelvara::driver {
namespace {

std::string form(const Value& value) {
    std::string out = "prefix:";
    appendCharacterForm(value, out);
    return out.substr(7);
}

Value dateTime(double days) {
    return Value::ofDateTime(days);
}

Value money(std::int64_t tenThousandths) {
    return Value::ofMoney(tenThousandths);
}

Value decimal(std::array<std::uint32_t, 4> magnitude, bool negative, std::uint8_t scale) {
    Value value;
    value.type = Value::Type::Decimal;
    value.decimal.magnitude = magnitude;
    value.decimal.negative = negative;
    value.decimal.scale = scale;
    return value;
}

Value float64(double number) {
    return Value::ofFloat64(number);
}

Value float32(float number) {
    return Value::ofFloat32(number);
}

struct Case {
    const char* what;
    Value value;
    const char* expected;
};

class CharacterForm : public ::testing::TestWithParam<Case> {};

TEST_P(CharacterForm, IsExact) {
    EXPECT_EQ(form(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    DateTime, CharacterForm,
    ::testing::Values(
        Case{"day zero", dateTime(0.0), "1899-12-30 00:00:00"},
        Case{"negative: days before, time after midnight", dateTime(-1.25), "1899-12-29 06:00:00"},
        Case{"negative fraction only", dateTime(-0.5), "1899-12-30 12:00:00"},
        Case{"earliest Access date", dateTime(-657434.0), "0100-01-01 00:00:00"},
        Case{"latest Access date", dateTime(2958465.999988426), "9999-12-31 23:59:59"},
        Case{"leap day of a 400th year", dateTime(-109512.25), "1600-02-29 06:00:00"},
        Case{"no leap day in a 100th year", dateTime(-72987.0), "1700-03-01 00:00:00"},
        Case{"rounds to the nearest second", dateTime(1.0 + 0.4 / 86400), "1899-12-31 00:00:00"},
        Case{"half a second rounds up", dateTime(1.0 + 0.5 / 86400), "1899-12-31 00:00:01"},
        Case{"never 60 seconds: carries into the next day", dateTime(1.9999999),
             "1900-01-01 00:00:00"},
        Case{"carry on a negative date", dateTime(-1.9999999), "1899-12-30 00:00:00"},
        Case{"leap day", dateTime(45351.57299768518), "2024-02-29 13:45:07"}));

INSTANTIATE_TEST_SUITE_P(
    Money, CharacterForm,
    ::testing::Values(Case{"zero keeps four decimals", money(0), "0.0000"},
                      Case{"ordinary", money(12345678), "1234.5678"},
                      Case{"smallest negative step", money(-1), "-0.0001"},
                      Case{"largest", money(std::numeric_limits<std::int64_t>::max()),
                           "922337203685477.5807"},
                      Case{"smallest", money(std::numeric_limits<std::int64_t>::min()),
                           "-922337203685477.5808"}));

INSTANTIATE_TEST_SUITE_P(
    Decimal, CharacterForm,
    ::testing::Values(
        Case{"scale puts the point", decimal({123456789, 0, 0, 0}, false, 4), "12345.6789"},
        Case{"leading zero before the point", decimal({1, 0, 0, 0}, true, 4), "-0.0001"},
        Case{"negative zero has no sign", decimal({0, 0, 0, 0}, true, 2), "0.00"},
        Case{"no point at scale zero", decimal({42, 0, 0, 0}, false, 0), "42"},
        Case{"all 96 bits", decimal({0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0}, false, 0),
             "79228162514264337593543950335"},
        Case{"scale 28", decimal({1, 0, 0, 0}, false, 28), "0.0000000000000000000000000001"},
        Case{"fixture value", decimal({0x8C0DF339, 0x1343, 0, 0}, false, 4), "2118083346.1049"}));

INSTANTIATE_TEST_SUITE_P(
    Floats, CharacterForm,
    ::testing::Values(Case{"shortest float", float32(0.1f), "0.1"},
                      Case{"float keeps its own digits", float32(3.4e38f), "3.4e+38"},
                      Case{"small float", float32(1e-7f), "1e-07"},
                      Case{"shortest double", float64(0.1), "0.1"},
                      Case{"pi", float64(3.141592653589793), "3.141592653589793"},
                      Case{"large exponent", float64(1e300), "1e+300"},
                      Case{"negative zero", float64(-0.0), "-0"},
                      Case{"integral double", float64(-2.5), "-2.5"}));

Value boolean(bool flag) {
    return Value::ofBool(flag);
}

Value integer(std::int64_t number) {
    return Value::ofInteger(number);
}

Value bytes(Value::Type type, std::string content) {
    Value value;
    value.type = type;
    value.bytes = std::move(content);
    return value;
}

Value guid() {
    Value value;
    value.type = Value::Type::Guid;
    value.guid = {0xE0, 0x04, 0x25, 0x3F, 0x89, 0x4F, 0xD3, 0x11,
                  0x9A, 0x0C, 0x03, 0x05, 0xE8, 0x2C, 0x33, 0x01};
    return value;
}

INSTANTIATE_TEST_SUITE_P(
    Others, CharacterForm,
    ::testing::Values(Case{"null appends nothing", Value{}, ""}, Case{"yes", boolean(true), "1"},
                      Case{"no", boolean(false), "0"},
                      Case{"integer", integer(-2147483648LL), "-2147483648"},
                      Case{"text as is",
                           bytes(Value::Type::Text, "Gr\xC3\xBC\xC3\x9F"
                                                    "e"),
                           "Gr\xC3\xBC\xC3\x9F"
                           "e"},
                      Case{"binary in upper-case hex",
                           bytes(Value::Type::Binary, std::string("\x00\x01\x7F\x80\xFF", 5)),
                           "00017F80FF"},
                      Case{"empty binary", bytes(Value::Type::Binary, ""), ""},
                      Case{"GUID: first three groups little-endian", guid(),
                           "3F2504E0-4F89-11D3-9A0C-0305E82C3301"}));

} // namespace
} // namespace kelvara::driver
