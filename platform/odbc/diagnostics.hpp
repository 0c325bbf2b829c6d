#pragma once

#include "platform/odbc/db_exception.hpp"

#include <sql.h>

#include <string>
#include <vector>

namespace kelvara::odbc {

// The handles whose diagnostics describe a failure; any may be null.
struct HandleSet {
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLHSTMT stmt = SQL_NULL_HSTMT;
};

// Drains every pending record through SQLError, most specific handle first,
// as the ODBC 2 interface defines it.
std::vector<DiagnosticRecord> takeDiagnostics(const HandleSet& handles);

} // namespace kelvara::odbc
