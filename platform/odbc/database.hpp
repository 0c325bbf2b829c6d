#pragma once

#include <sql.h>

#include <string>

namespace kelvara::odbc {

class CRecordset;

// One ODBC connection, opened from a connection text that starts with
// "ODBC;". Closing, and destruction, disconnect and free the handles; the
// process-wide environment goes with the last connection.
class CDatabase {
public:
    CDatabase() = default;
    ~CDatabase();
    CDatabase(const CDatabase&) = delete;
    CDatabase& operator=(const CDatabase&) = delete;

    // Connects with SQL_DRIVER_COMPLETE; `ownerWindow` parents any prompt of
    // the driver. Returns false without an error when the user cancelled such a
    // prompt. Throws CDBException for every other failure.
    bool OpenEx(const std::string& connectionText, SQLHWND ownerWindow = nullptr);
    void Close();
    bool IsOpen() const { return m_hdbc != SQL_NULL_HDBC; }

    // The completed connection text the driver manager returned, "ODBC;" first.
    const std::string& GetConnect() const { return m_strConnect; }
    // The driver's identifier quote character, or a blank when it has none.
    char GetIdentifierQuoteChar() const { return m_chIDQuote; }

private:
    friend class CRecordset;

    void connect(const std::string& connectText, SQLHWND ownerWindow);
    void checkConformance();
    void askCapabilities();
    void freeConnection();

    SQLHENV m_henv = SQL_NULL_HENV;
    SQLHDBC m_hdbc = SQL_NULL_HDBC;
    std::string m_strConnect;
    char m_chIDQuote = ' ';
    bool m_bQueryTimeoutSupported = true;
};

} // namespace kelvara::odbc
