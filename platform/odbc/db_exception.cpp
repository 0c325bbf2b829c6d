#include "platform/odbc/db_exception.hpp"

namespace kelvara::odbc {

CDBException::CDBException(short retCode, std::vector<DiagnosticRecord> records)
    : m_nRetCode(retCode), m_strError(errorTextFrom(records)), m_records(std::move(records)) {}

const char* CDBException::what() const noexcept {
    return m_strError.empty() ? "database error" : m_strError.c_str();
}

} // namespace kelvara::odbc
