#include "driver/sql/value_compare.hpp"

#include "driver/sql/date_literal.hpp"
#include "driver/sql/exact_number.hpp"
#include "driver/sql/text_compare.hpp"

#include <cmath>
#include <cstring>

namespace kelvara::driver::sql {
namespace {

using Type = Value::Type;

template <typename T> int threeWay(T a, T b) noexcept {
    return a < b ? -1 : (a > b ? 1 : 0);
}

bool isNumber(Type type) noexcept {
    switch (type) {
    case Type::Bool:
    case Type::Integer:
    case Type::Money:
    case Type::Decimal:
    case Type::Float32:
    case Type::Float64:
        return true;
    default:
        return false;
    }
}

bool isFloat(Type type) noexcept {
    return type == Type::Float32 || type == Type::Float64;
}

ExactNumber exactOf(const Value& v) noexcept {
    switch (v.type) {
    case Type::Bool:
        return exactFromInteger(v.boolean ? -1 : 0);
    case Type::Money:
        return exactFromInteger(v.integer, -4);
    case Type::Decimal:
        return exactFromDecimal(v.decimal);
    default:
        return exactFromInteger(v.integer);
    }
}

// Dates count as their linear day number when compared with plain numbers.
double doubleOf(const Value& v) noexcept {
    switch (v.type) {
    case Type::Float32:
        return static_cast<double>(v.float32);
    case Type::Float64:
        return v.float64;
    case Type::DateTime:
        return linearDays(v.float64);
    default:
        return exactToDouble(exactOf(v));
    }
}

int compareSameType(const Value& a, const Value& b) noexcept {
    switch (a.type) {
    case Type::Bool:
        return threeWay(b.boolean, a.boolean); // True is -1, below False's 0
    case Type::Integer:
    case Type::Money:
        return threeWay(a.integer, b.integer);
    case Type::Float32:
        return compareDoubles(static_cast<double>(a.float32), static_cast<double>(b.float32));
    case Type::Float64:
        return compareDoubles(a.float64, b.float64);
    case Type::Decimal:
        return compareExact(exactFromDecimal(a.decimal), exactFromDecimal(b.decimal));
    case Type::DateTime:
        return compareDoubles(linearDays(a.float64), linearDays(b.float64));
    case Type::Text:
        return compareText(a.bytes, b.bytes);
    case Type::Binary:
        return threeWay(a.bytes.compare(b.bytes), 0);
    case Type::Guid:
        return threeWay(std::memcmp(a.guid.data(), b.guid.data(), a.guid.size()), 0);
    case Type::Null:
        break;
    }
    return 0;
}

} // namespace

int compareDoubles(double a, double b) noexcept {
    const bool nanA = std::isnan(a);
    const bool nanB = std::isnan(b);
    if (nanA || nanB)
        return threeWay(nanA, nanB);
    return threeWay(a, b);
}

int compareValues(const Value& a, const Value& b) noexcept {
    if (a.type == b.type)
        return compareSameType(a, b);
    const bool numberOrDateA = isNumber(a.type) || a.type == Type::DateTime;
    const bool numberOrDateB = isNumber(b.type) || b.type == Type::DateTime;
    if (!numberOrDateA || !numberOrDateB)
        return kIncomparable;
    if (isFloat(a.type) || isFloat(b.type) || a.type == Type::DateTime || b.type == Type::DateTime)
        return compareDoubles(doubleOf(a), doubleOf(b));
    return compareExact(exactOf(a), exactOf(b));
}

} // namespace kelvara::driver::sql
