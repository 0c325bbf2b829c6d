#pragma once

#include "platform/odbc/diagnostics.hpp"

#include <sql.h>

#include <exception>
#include <string>
#include <vector>

namespace kelvara::odbc {

// A failure of the database layer. It keeps every diagnostic record that the
// driver manager gave for the failed call; m_strError is the text for the
// user, empty when the layer itself detected the failure.
class CDBException : public std::exception {
public:
    CDBException(SQLRETURN retCode, std::vector<DiagnosticRecord> records);

    const char* what() const noexcept override;

    SQLRETURN m_nRetCode;
    std::string m_strError;
    std::vector<DiagnosticRecord> m_records;
};

} // namespace kelvara::odbc
