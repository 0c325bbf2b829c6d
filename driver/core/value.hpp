#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kelvara::driver {

// The kinds of column an Access table can hold.
enum class ColumnKind : std::uint8_t {
    Bool,     // Yes/No
    Byte,     // unsigned 0..255
    Int16,    // Integer
    Int32,    // Long Integer
    Money,    // Currency: int64 in ten-thousandths
    Float32,  // Single
    Float64,  // Double
    DateTime, // double: days since 1899-12-30, fraction is the time of day
    Binary,   // short binary
    Text,     // Text(n)
    Ole,      // OLE Object (long binary)
    Memo,     // Memo (long text)
    Guid,     // Replication ID
    Numeric,  // Decimal(p, s)
    Unsupported,
};

// An exact decimal number: magnitude / 10^scale, sign apart.
struct Decimal {
    // 96 significant bits are enough for Access's 28 digits; the fourth word
    // keeps arithmetic simple. Least significant word first.
    std::array<std::uint32_t, 4> magnitude{};
    bool negative = false;
    std::uint8_t scale = 0;
};

// One decoded value. A plain tagged struct rather than a variant so that a row
// of Values can be refilled without giving back the storage of its strings.
struct Value {
    enum class Type : std::uint8_t {
        Null,
        Bool,     // boolean
        Integer,  // integer (Byte, Integer, Long Integer)
        Float32,  // float32
        Float64,  // float64
        Money,    // integer, in ten-thousandths
        Decimal,  // decimal
        DateTime, // float64, days since 1899-12-30 as Access stores it
        Text,     // bytes, UTF-8
        Binary,   // bytes, as stored
        Guid,     // guid, the 16 bytes as stored
    };

    Type type = Type::Null;
    bool boolean = false;
    std::int64_t integer = 0;
    float float32 = 0.0f;
    double float64 = 0.0;
    kelvara::driver::Decimal decimal{};
    std::array<std::uint8_t, 16> guid{};
    std::string bytes;

    bool isNull() const noexcept { return type == Type::Null; }

    // Ready-made values, for the places that build one rather than refill a
    // row (catalog result sets, literals, tests).
    static Value ofBool(bool flag) { return with(Type::Bool, [&](Value& v) { v.boolean = flag; }); }
    static Value ofInteger(std::int64_t number) {
        return with(Type::Integer, [&](Value& v) { v.integer = number; });
    }
    static Value ofMoney(std::int64_t tenThousandths) {
        return with(Type::Money, [&](Value& v) { v.integer = tenThousandths; });
    }
    static Value ofFloat32(float number) {
        return with(Type::Float32, [&](Value& v) { v.float32 = number; });
    }
    static Value ofFloat64(double number) {
        return with(Type::Float64, [&](Value& v) { v.float64 = number; });
    }
    static Value ofDateTime(double days) {
        return with(Type::DateTime, [&](Value& v) { v.float64 = days; });
    }
    static Value ofText(std::string utf8) {
        return with(Type::Text, [&](Value& v) { v.bytes = std::move(utf8); });
    }
    static Value ofBinary(std::string stored) {
        return with(Type::Binary, [&](Value& v) { v.bytes = std::move(stored); });
    }

private:
    template <typename Fill> static Value with(Type type, Fill&& fill) {
        Value value;
        value.type = type;
        fill(value);
        return value;
    }
};

} // namespace kelvara::driver
