#include "driver/odbc/conversion.hpp"

#include "driver/core/error.hpp"
#include "driver/core/format.hpp"
#include "driver/core/sqlstate.hpp"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace kelvara::driver::odbc {
namespace {

template <class T>
void appendRaw(std::string& out, T number) {
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

// The full form of the value as `cType`; text is used in place, anything
// else is formatted once per row into the piece's reused buffer.
std::string_view sourceBytes(const Value& value, const ResultColumn& column, SQLSMALLINT cType, PieceState& piece) {
    if (value.type == Value::Type::Text || (value.type == Value::Type::Binary && cType == SQL_C_BINARY))
        return value.bytes;
    if (!piece.formatted) {
        piece.text.clear();
        if (cType == SQL_C_CHAR)
            appendCharacterForm(value, piece.text);
        else
            appendBinaryForm(value, column.kind, piece.text);
        piece.formatted = true;
    }
    return piece.text;
}

SQLRETURN putPiece(Diagnostics& diag, std::string_view source, SQLSMALLINT cType, PieceState& piece,
                   SQLPOINTER target, SQLLEN bufferLength, SQLLEN* indicator) {
    if (bufferLength < 0)
        throw DriverError(sqlstate::kInvalidStringOrBufferLength, "Invalid string or buffer length.");
    if (piece.finished)
        return SQL_NO_DATA;
    const std::size_t remaining = source.size() - std::min(piece.offset, source.size());
    const bool terminated = cType == SQL_C_CHAR;
    std::size_t room = static_cast<std::size_t>(bufferLength);
    if (terminated && room > 0)
        --room;
    std::size_t n = 0;
    if (target != nullptr) {
        n = std::min(room, remaining);
        auto* out = static_cast<char*>(target);
        std::memcpy(out, source.data() + piece.offset, n);
        if (terminated && bufferLength > 0)
            out[n] = '\0';
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

} // namespace

SQLSMALLINT defaultCType(const ResultColumn& column) noexcept {
    switch (column.type.sqlType) {
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        return SQL_C_BINARY;
    default:
        return SQL_C_CHAR;
    }
}

SQLRETURN convertValue(Diagnostics& diag, const Value& value, const ResultColumn& column, SQLSMALLINT cType,
                       PieceState& piece, SQLPOINTER target, SQLLEN bufferLength, SQLLEN* indicator) {
    if (cType == SQL_C_DEFAULT)
        cType = defaultCType(column);
    if (cType != SQL_C_CHAR && cType != SQL_C_BINARY)
        throw DriverError(sqlstate::kOptionalFeatureNotImplemented,
                          "Conversion to C type " + std::to_string(cType) + " is not supported; use SQL_C_CHAR.");
    if (piece.cType != cType) {
        // A new C type starts the value afresh.
        piece.cType = cType;
        piece.offset = 0;
        piece.formatted = false;
        piece.finished = false;
    }
    if (value.isNull()) {
        if (piece.finished)
            return SQL_NO_DATA;
        if (indicator == nullptr)
            throw DriverError(sqlstate::kNullIndicatorRequired, "Indicator variable required but not supplied.");
        *indicator = SQL_NULL_DATA;
        piece.finished = true;
        return SQL_SUCCESS;
    }
    return putPiece(diag, sourceBytes(value, column, cType, piece), cType, piece, target, bufferLength, indicator);
}

} // namespace kelvara::driver::odbc
