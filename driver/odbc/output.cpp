#include "driver/odbc/output.hpp"

#include "driver/core/error.hpp"
#include "driver/core/sqlstate.hpp"

#include <algorithm>
#include <limits>

namespace kelvara::driver::odbc {

std::string inputText(const SQLCHAR* text, SQLINTEGER length) {
    if (text == nullptr)
        return {};
    const char* chars = reinterpret_cast<const char*>(text);
    if (length == SQL_NTS)
        return std::string(chars);
    if (length < 0)
        throw DriverError(sqlstate::kInvalidStringOrBufferLength,
                          "Invalid string or buffer length.");
    return std::string(chars, static_cast<std::size_t>(length));
}
namespace {

// Returns the full length of `text`.
std::size_t copyOut(Diagnostics& diag, std::string_view text, SQLPOINTER buffer,
                    SQLLEN bufferLength) {
    if (bufferLength < 0)
        throw DriverError(sqlstate::kInvalidStringOrBufferLength,
                          "Invalid string or buffer length.");
    if (buffer != nullptr && bufferLength > 0) {
        const auto room = static_cast<std::size_t>(bufferLength) - 1;
        const std::size_t n = std::min(room, text.size());
        auto* out = static_cast<char*>(buffer);
        std::memcpy(out, text.data(), n);
        out[n] = '\0';
    }
    if (buffer != nullptr && text.size() >= static_cast<std::size_t>(bufferLength))
        diag.add(sqlstate::kStringTruncated, "String data, right truncated.");
    return text.size();
}

template <class Len> void report(std::size_t length, Len* lengthOut) {
    if (lengthOut != nullptr)
        *lengthOut =
            static_cast<Len>(std::min<std::size_t>(length, std::numeric_limits<Len>::max()));
}

} // namespace

void putString(Diagnostics& diag, std::string_view text, SQLPOINTER buffer, SQLLEN bufferLength,
               SQLSMALLINT* lengthOut) {
    report(copyOut(diag, text, buffer, bufferLength), lengthOut);
}

void putString(Diagnostics& diag, std::string_view text, SQLPOINTER buffer, SQLLEN bufferLength,
               SQLINTEGER* lengthOut) {
    report(copyOut(diag, text, buffer, bufferLength), lengthOut);
}

void putString(Diagnostics& diag, std::string_view text, SQLPOINTER buffer, SQLLEN bufferLength,
               SQLLEN* lengthOut) {
    report(copyOut(diag, text, buffer, bufferLength), lengthOut);
}

} // namespace kelvara::driver::odbc
