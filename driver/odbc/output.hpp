#pragma once

#include "driver/odbc/diagnostics.hpp"

#include <cstring>
#include <sql.h>
#include <string>
#include <string_view>

namespace kelvara::driver::odbc {

// A string the application passed in: `length` bytes, or up to the NUL for
// SQL_NTS; a null pointer is the empty string. Throws HY090 for another
// negative length.
std::string inputText(const SQLCHAR* text, SQLINTEGER length);

// Copies `text` into a character buffer the application gave, the one way
// every string leaves the driver: as much as fits with a terminating NUL
// whenever there is room for one; the full length (without NUL) is always
// reported; a cut adds 01004 to `diag`. Throws HY090 for a negative length.
void putString(Diagnostics& diag, std::string_view text, SQLPOINTER buffer, SQLLEN bufferLength,
               SQLSMALLINT* lengthOut);
void putString(Diagnostics& diag, std::string_view text, SQLPOINTER buffer, SQLLEN bufferLength,
               SQLINTEGER* lengthOut);
void putString(Diagnostics& diag, std::string_view text, SQLPOINTER buffer, SQLLEN bufferLength,
               SQLLEN* lengthOut);

// Stores a fixed-size value; a null buffer is allowed and ignored.
template <class T, class Len> void putFixed(T value, SQLPOINTER buffer, Len* lengthOut) noexcept {
    if (buffer != nullptr)
        std::memcpy(buffer, &value, sizeof value);
    if (lengthOut != nullptr)
        *lengthOut = static_cast<Len>(sizeof value);
}

} // namespace kelvara::driver::odbc
