#pragma once

#include "driver/odbc/diagnostics.hpp"
#include "driver/odbc/result_set.hpp"
#include "driver/odbc/statement.hpp"

#include <sql.h>
#include <sqlext.h>

namespace kelvara::driver::odbc {

// Whether SQLGetData and SQLBindCol accept the C type.
bool isSupportedCType(SQLSMALLINT cType) noexcept;

// The C type SQL_C_DEFAULT stands for with a column of this SQL type.
SQLSMALLINT defaultCType(const ResultColumn& column) noexcept;

// Hands out `value` as `cType` into the application's buffer, continuing from
// where `piece` stands for character and binary data, so that a value can be
// read in pieces. Returns SQL_SUCCESS, SQL_NO_DATA once the value was handed
// out whole, or throws DriverError; a cut piece adds 01004 to `diag`.
SQLRETURN convertValue(Diagnostics& diag, const Value& value, const ResultColumn& column,
                       SQLSMALLINT cType, PieceState& piece, SQLPOINTER target, SQLLEN bufferLength,
                       SQLLEN* indicator);

} // namespace kelvara::driver::odbc
