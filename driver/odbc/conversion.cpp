#include "driver/odbc/conversion.hpp"

#include "driver/core/error.hpp"
#include "driver/core/format.hpp"
#include "driver/core/sqlstate.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

namespace kelvara::driver::odbc {
namespace {

template <class T> void appendRaw(std::string& out, T number) {
    char bytes[sizeof number];
    std::memcpy(bytes, &number, sizeof number);
    out.append(bytes, sizeof number);
}

// The bytes SQL_C_BINARY gives: binary and text data as stored, numbers in
// their machine form of the column's width, GUIDs as their 16 bytes.
void appendBinaryForm(const Value& value, ColumnKind kind, std::string& out) {
    switch (value.type) {
    case Value::Type::Bool:
        out += static_cast<char>(value.boolean ? 1 : 0);
        break;
    case Value::Type::Integer:
        if (kind == ColumnKind::Byte)
            appendRaw(out, static_cast<std::uint8_t>(value.integer));
        else if (kind == ColumnKind::Int16)
            appendRaw(out, static_cast<std::int16_t>(value.integer));
        else if (kind == ColumnKind::Int32)
            appendRaw(out, static_cast<std::int32_t>(value.integer));
        else
            appendRaw(out, value.integer);
        break;
    case Value::Type::Money:
        appendRaw(out, value.integer);
        break;
    case Value::Type::Float32:
        appendRaw(out, value.float32);
        break;
    case Value::Type::Float64:
    case Value::Type::DateTime:
        appendRaw(out, value.float64);
        break;
    case Value::Type::Guid:
        out.append(reinterpret_cast<const char*>(value.guid.data()), value.guid.size());
        break;
    case Value::Type::Decimal:
        appendCharacterForm(value, out);
        break;
    case Value::Type::Text:
    case Value::Type::Binary:
        out += value.bytes;
        break;
    case Value::Type::Null:
        break;
    }
}

// UTF-8 to UTF-16 in the machine's byte order, as SQLWCHAR holds it.
void appendUtf16(std::string_view utf8, std::string& out) {
    auto put = [&out](std::uint16_t unit) { appendRaw(out, unit); };
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (i + length > utf8.size())
            length = utf8.size() - i;
        std::uint32_t code = length == 1   ? lead
                             : length == 2 ? (lead & 0x1FU)
                             : length == 3 ? (lead & 0x0FU)
                                           : (lead & 0x07U);
        for (std::size_t k = 1; k < length; ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3FU);
        i += length;
        if (code >= 0x10000) {
            code -= 0x10000;
            put(static_cast<std::uint16_t>(0xD800 + (code >> 10)));
            put(static_cast<std::uint16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            put(static_cast<std::uint16_t>(code));
        }
    }
}

bool isCharacterCType(SQLSMALLINT cType) {
    return cType == SQL_C_CHAR || cType == SQL_C_WCHAR;
}

// The full form of the value as a character or binary C type; text is used
// in place, anything else is formatted once per row into the piece's buffer.
std::string_view sourceBytes(const Value& value, const ResultColumn& column, SQLSMALLINT cType,
                             PieceState& piece) {
    if ((value.type == Value::Type::Text && cType != SQL_C_WCHAR) ||
        (value.type == Value::Type::Binary && cType == SQL_C_BINARY))
        return value.bytes;
    if (!piece.formatted) {
        piece.text.clear();
        if (cType == SQL_C_CHAR) {
            appendCharacterForm(value, piece.text);
        } else if (cType == SQL_C_WCHAR) {
            if (value.type == Value::Type::Text) {
                appendUtf16(value.bytes, piece.text);
            } else {
                std::string narrow;
                appendCharacterForm(value, narrow);
                appendUtf16(narrow, piece.text);
            }
        } else {
            appendBinaryForm(value, column.kind, piece.text);
        }
        piece.formatted = true;
    }
    return piece.text;
}

SQLRETURN putPiece(Diagnostics& diag, std::string_view source, SQLSMALLINT cType, PieceState& piece,
                   SQLPOINTER target, SQLLEN bufferLength, SQLLEN* indicator) {
    if (bufferLength < 0)
        throw DriverError(sqlstate::kInvalidStringOrBufferLength,
                          "Invalid string or buffer length.");
    if (piece.finished)
        return SQL_NO_DATA;
    const std::size_t remaining = source.size() - std::min(piece.offset, source.size());
    // Character data ends with a terminating null of one character; wide
    // characters are never split.
    const std::size_t terminator = cType == SQL_C_CHAR ? 1 : cType == SQL_C_WCHAR ? 2 : 0;
    std::size_t room = static_cast<std::size_t>(bufferLength);
    room = room >= terminator ? room - terminator : 0;
    if (cType == SQL_C_WCHAR)
        room &= ~std::size_t{1};
    std::size_t n = 0;
    if (target != nullptr) {
        n = std::min(room, remaining);
        auto* out = static_cast<char*>(target);
        std::memcpy(out, source.data() + piece.offset, n);
        if (terminator > 0 && static_cast<std::size_t>(bufferLength) >= terminator)
            std::memset(out + n, 0, terminator);
    }
    if (indicator != nullptr)
        *indicator = static_cast<SQLLEN>(remaining);
    piece.offset += n;
    if (n < remaining) {
        diag.add(sqlstate::kStringTruncated, "String data, right truncated.");
        return SQL_SUCCESS;
    }
    piece.finished = true;
    return SQL_SUCCESS;
}

[[noreturn]] void restricted(SQLSMALLINT cType) {
    throw DriverError(
        sqlstate::kRestrictedDataType,
        "Restricted data type attribute violation: the value cannot be converted to C type " +
            std::to_string(cType) + ".");
}

[[noreturn]] void outOfRange() {
    throw DriverError(sqlstate::kNumericOutOfRange, "Numeric value out of range.");
}

[[noreturn]] void invalidCharacterValue() {
    throw DriverError(sqlstate::kInvalidCastValue,
                      "The character value cannot be converted to the requested type.");
}

// A whole number and whether a fraction was dropped to get it.
struct Whole {
    std::int64_t value = 0;
    bool truncated = false;
};

Whole wholeFromText(std::string_view text, SQLSMALLINT cType) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    double real = 0;
    const auto end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, real);
    if (ec == std::errc::result_out_of_range)
        outOfRange();
    if (ec != std::errc() || ptr != end)
        invalidCharacterValue();
    (void)cType;
    // Integers exactly when the text is one; otherwise through the double.
    Whole whole;
    auto [intPtr, intEc] = std::from_chars(text.data(), end, whole.value);
    if (intEc == std::errc() && intPtr == end)
        return whole;
    if (!(real > -9.3e18 && real < 9.3e18))
        outOfRange();
    whole.value = static_cast<std::int64_t>(std::trunc(real));
    whole.truncated = std::trunc(real) != real;
    return whole;
}

Whole wholeOf(const Value& value, SQLSMALLINT cType) {
    switch (value.type) {
    case Value::Type::Bool:
        return {value.boolean ? 1 : 0, false};
    case Value::Type::Integer:
        return {value.integer, false};
    case Value::Type::Money:
        return {value.integer / 10000, value.integer % 10000 != 0};
    case Value::Type::Float32:
    case Value::Type::Float64: {
        const double real =
            value.type == Value::Type::Float32 ? static_cast<double>(value.float32) : value.float64;
        if (!(real > -9.3e18 && real < 9.3e18))
            outOfRange();
        return {static_cast<std::int64_t>(std::trunc(real)), std::trunc(real) != real};
    }
    case Value::Type::Decimal: {
        std::string text;
        appendCharacterForm(value, text);
        return wholeFromText(text, cType);
    }
    case Value::Type::Text:
        return wholeFromText(value.bytes, cType);
    default:
        restricted(cType);
    }
}

double realOf(const Value& value, SQLSMALLINT cType) {
    switch (value.type) {
    case Value::Type::Bool:
        return value.boolean ? 1.0 : 0.0;
    case Value::Type::Integer:
        return static_cast<double>(value.integer);
    case Value::Type::Money:
        return static_cast<double>(value.integer) / 10000.0;
    case Value::Type::Float32:
        return static_cast<double>(value.float32);
    case Value::Type::Float64:
        return value.float64;
    case Value::Type::Decimal:
    case Value::Type::Text: {
        std::string text;
        if (value.type == Value::Type::Decimal)
            appendCharacterForm(value, text);
        else
            text = value.bytes;
        double real = 0;
        auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), real);
        if (ec == std::errc::result_out_of_range)
            outOfRange();
        if (ec != std::errc() || ptr != text.data() + text.size())
            invalidCharacterValue();
        return real;
    }
    default:
        restricted(cType);
    }
}

template <class T>
void putInteger(Diagnostics& diag, const Value& value, SQLSMALLINT cType, SQLPOINTER target,
                SQLLEN* indicator) {
    const Whole whole = wholeOf(value, cType);
    if (whole.value < static_cast<std::int64_t>(std::numeric_limits<T>::min()) ||
        (whole.value > 0 &&
         static_cast<std::uint64_t>(whole.value) > std::numeric_limits<T>::max()))
        outOfRange();
    const auto number = static_cast<T>(whole.value);
    std::memcpy(target, &number, sizeof number);
    if (indicator != nullptr)
        *indicator = sizeof number;
    if (whole.truncated)
        diag.add(sqlstate::kFractionalTruncation, "Fractional truncation.");
}

void putBit(Diagnostics& diag, const Value& value, SQLSMALLINT cType, SQLPOINTER target,
            SQLLEN* indicator) {
    const double real = realOf(value, cType);
    if (real < 0 || real >= 2)
        outOfRange();
    const auto bit = static_cast<unsigned char>(real >= 1 ? 1 : 0);
    *static_cast<unsigned char*>(target) = bit;
    if (indicator != nullptr)
        *indicator = 1;
    if (real != 0 && real != 1)
        diag.add(sqlstate::kFractionalTruncation, "Fractional truncation.");
}

// Date and time fields from "YYYY-MM-DD HH:MM:SS".
SQL_TIMESTAMP_STRUCT timestampOf(const Value& value, SQLSMALLINT cType) {
    std::string text;
    if (value.type == Value::Type::DateTime)
        appendCharacterForm(value, text);
    else if (value.type == Value::Type::Text)
        text = value.bytes;
    else
        restricted(cType);
    SQL_TIMESTAMP_STRUCT ts{};
    int fields[6] = {};
    std::size_t pos = 0;
    for (int i = 0; i < 6; ++i) {
        const char* begin = text.data() + pos;
        auto [ptr, ec] = std::from_chars(begin, text.data() + text.size(), fields[i]);
        if (ec != std::errc() || ptr == begin) {
            if (i == 3) // a date alone is midnight
                break;
            invalidCharacterValue();
        }
        pos = static_cast<std::size_t>(ptr - text.data()) + 1;
    }
    ts.year = static_cast<SQLSMALLINT>(fields[0]);
    ts.month = static_cast<SQLUSMALLINT>(fields[1]);
    ts.day = static_cast<SQLUSMALLINT>(fields[2]);
    ts.hour = static_cast<SQLUSMALLINT>(fields[3]);
    ts.minute = static_cast<SQLUSMALLINT>(fields[4]);
    ts.second = static_cast<SQLUSMALLINT>(fields[5]);
    return ts;
}

template <class T> void putStruct(const T& value, SQLPOINTER target, SQLLEN* indicator) {
    std::memcpy(target, &value, sizeof value);
    if (indicator != nullptr)
        *indicator = sizeof value;
}

// Converts to a fixed-size C type; false when `cType` is none the driver knows.
bool putFixed(Diagnostics& diag, const Value& value, SQLSMALLINT cType, SQLPOINTER target,
              SQLLEN* indicator) {
    switch (cType) {
    case SQL_C_BIT:
        putBit(diag, value, cType, target, indicator);
        return true;
    case SQL_C_STINYINT:
    case SQL_C_TINYINT:
        putInteger<signed char>(diag, value, cType, target, indicator);
        return true;
    case SQL_C_UTINYINT:
        putInteger<unsigned char>(diag, value, cType, target, indicator);
        return true;
    case SQL_C_SSHORT:
    case SQL_C_SHORT:
        putInteger<SQLSMALLINT>(diag, value, cType, target, indicator);
        return true;
    case SQL_C_USHORT:
        putInteger<SQLUSMALLINT>(diag, value, cType, target, indicator);
        return true;
    case SQL_C_SLONG:
    case SQL_C_LONG:
        putInteger<SQLINTEGER>(diag, value, cType, target, indicator);
        return true;
    case SQL_C_ULONG:
        putInteger<SQLUINTEGER>(diag, value, cType, target, indicator);
        return true;
    case SQL_C_SBIGINT:
        putInteger<SQLBIGINT>(diag, value, cType, target, indicator);
        return true;
    case SQL_C_UBIGINT:
        putInteger<SQLUBIGINT>(diag, value, cType, target, indicator);
        return true;
    case SQL_C_DOUBLE:
        putStruct(realOf(value, cType), target, indicator);
        return true;
    case SQL_C_FLOAT: {
        const double real = realOf(value, cType);
        if (std::isfinite(real) &&
            std::fabs(real) > static_cast<double>(std::numeric_limits<float>::max()))
            outOfRange();
        putStruct(static_cast<float>(real), target, indicator);
        return true;
    }
    case SQL_C_TYPE_TIMESTAMP:
    case SQL_C_TIMESTAMP:
        putStruct(timestampOf(value, cType), target, indicator);
        return true;
    case SQL_C_TYPE_DATE:
    case SQL_C_DATE: {
        const SQL_TIMESTAMP_STRUCT ts = timestampOf(value, cType);
        putStruct(SQL_DATE_STRUCT{ts.year, ts.month, ts.day}, target, indicator);
        if (ts.hour != 0 || ts.minute != 0 || ts.second != 0)
            diag.add(sqlstate::kFractionalTruncation,
                     "Fractional truncation: the time of day was dropped.");
        return true;
    }
    case SQL_C_TYPE_TIME:
    case SQL_C_TIME: {
        const SQL_TIMESTAMP_STRUCT ts = timestampOf(value, cType);
        putStruct(SQL_TIME_STRUCT{ts.hour, ts.minute, ts.second}, target, indicator);
        return true;
    }
    case SQL_C_GUID:
        if (value.type != Value::Type::Guid)
            restricted(cType);
        // Stored as Access writes it: Data1..Data3 little-endian, as SQLGUID is here.
        std::memcpy(target, value.guid.data(), value.guid.size());
        if (indicator != nullptr)
            *indicator = static_cast<SQLLEN>(value.guid.size());
        return true;
    default:
        return false;
    }
}

} // namespace

bool isSupportedCType(SQLSMALLINT cType) noexcept {
    switch (cType) {
    case SQL_C_DEFAULT:
    case SQL_C_CHAR:
    case SQL_C_WCHAR:
    case SQL_C_BINARY:
    case SQL_C_BIT:
    case SQL_C_STINYINT:
    case SQL_C_TINYINT:
    case SQL_C_UTINYINT:
    case SQL_C_SSHORT:
    case SQL_C_SHORT:
    case SQL_C_USHORT:
    case SQL_C_SLONG:
    case SQL_C_LONG:
    case SQL_C_ULONG:
    case SQL_C_SBIGINT:
    case SQL_C_UBIGINT:
    case SQL_C_DOUBLE:
    case SQL_C_FLOAT:
    case SQL_C_TYPE_TIMESTAMP:
    case SQL_C_TIMESTAMP:
    case SQL_C_TYPE_DATE:
    case SQL_C_DATE:
    case SQL_C_TYPE_TIME:
    case SQL_C_TIME:
    case SQL_C_GUID:
        return true;
    default:
        return false;
    }
}

SQLSMALLINT defaultCType(const ResultColumn& column) noexcept {
    switch (column.type.sqlType) {
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        return SQL_C_BINARY;
    case SQL_BIT:
        return SQL_C_BIT;
    case SQL_TINYINT:
        return column.type.isUnsigned ? SQL_C_UTINYINT : SQL_C_STINYINT;
    case SQL_SMALLINT:
        return SQL_C_SSHORT;
    case SQL_INTEGER:
        return SQL_C_SLONG;
    case SQL_REAL:
        return SQL_C_FLOAT;
    case SQL_DOUBLE:
    case SQL_FLOAT:
        return SQL_C_DOUBLE;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return SQL_C_TIMESTAMP;
    case SQL_GUID:
        return SQL_C_GUID;
    default:
        return SQL_C_CHAR; // text, and exact decimals
    }
}

SQLRETURN convertValue(Diagnostics& diag, const Value& value, const ResultColumn& column,
                       SQLSMALLINT cType, PieceState& piece, SQLPOINTER target, SQLLEN bufferLength,
                       SQLLEN* indicator) {
    if (cType == SQL_C_DEFAULT)
        cType = defaultCType(column);
    if (!isSupportedCType(cType))
        throw DriverError(sqlstate::kOptionalFeatureNotImplemented,
                          "Conversion to C type " + std::to_string(cType) + " is not supported.");
    if (piece.cType != cType) {
        // A new C type starts the value afresh.
        piece.cType = cType;
        piece.offset = 0;
        piece.formatted = false;
        piece.finished = false;
    }
    if (piece.finished)
        return SQL_NO_DATA;
    if (value.isNull()) {
        if (indicator == nullptr)
            throw DriverError(sqlstate::kNullIndicatorRequired,
                              "Indicator variable required but not supplied.");
        *indicator = SQL_NULL_DATA;
        piece.finished = true;
        return SQL_SUCCESS;
    }
    if (isCharacterCType(cType) || cType == SQL_C_BINARY)
        return putPiece(diag, sourceBytes(value, column, cType, piece), cType, piece, target,
                        bufferLength, indicator);
    // Fixed-size types come whole, in one call.
    putFixed(diag, value, cType, target, indicator);
    piece.finished = true;
    return SQL_SUCCESS;
}

} // namespace kelvara::driver::odbc
