#pragma once

// Kept free of the ODBC headers: they define macros (BOOL among them) that
// clash with the user-interface code which catches this exception.

#include <exception>
#include <string>
#include <vector>

namespace kelvara::odbc {

// One diagnostic record as the driver manager hands it out.
struct DiagnosticRecord {
    std::string sqlState;
    long nativeError = 0;
    std::string message;
};

// Removes the leading origin tags ("[vendor][component]") that ODBC
// components put in front of their messages, and one blank after them.
std::string stripOriginTags(std::string message);

// The text shown to the user: one line per record, tags removed, each line
// ended by a line feed. Empty when there are no records.
std::string errorTextFrom(const std::vector<DiagnosticRecord>& records);

// A failure of the database layer. It keeps every diagnostic record that the
// driver manager gave for the failed call; m_strError is the text for the
// user, empty when the layer itself detected the failure.
class CDBException : public std::exception {
public:
    CDBException(short retCode, std::vector<DiagnosticRecord> records);

    const char* what() const noexcept override;

    short m_nRetCode; // the ODBC return code of the failed call
    std::string m_strError;
    std::vector<DiagnosticRecord> m_records;
};

} // namespace kelvara::odbc
