#pragma once

#include <sql.h>

#include <string>
#include <vector>

namespace kelvara::odbc {

// One diagnostic record as the driver manager hands it out.
struct DiagnosticRecord {
    std::string sqlState;
    SQLINTEGER nativeError = 0;
    std::string message;
};

// The handles whose diagnostics describe a failure; any may be null.
struct HandleSet {
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLHSTMT stmt = SQL_NULL_HSTMT;
};

// Drains every pending record through SQLError, most specific handle first,
// as the ODBC 2 interface defines it.
std::vector<DiagnosticRecord> takeDiagnostics(const HandleSet& handles);

// Removes the leading origin tags ("[vendor][component]") that ODBC
// components put in front of their messages, and one blank after them.
std::string stripOriginTags(std::string message);

// The text shown to the user: one line per record, tags removed, each line
// ended by a line feed. Empty when there are no records.
std::string errorTextFrom(const std::vector<DiagnosticRecord>& records);

} // namespace kelvara::odbc
