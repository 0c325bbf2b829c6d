#include "platform/odbc/database.hpp"

#include "platform/odbc/odbc_call.hpp"

#include <sqlext.h>

#include <array>
#include <mutex>
#include <new>
#include <strings.h>

namespace kelvara::odbc {
namespace {

constexpr char kConnectPrefix[] = "ODBC;";
constexpr std::size_t kConnectPrefixLength = sizeof(kConnectPrefix) - 1;
constexpr SQLULEN kLoginTimeoutSeconds = 15;
constexpr SQLSMALLINT kConnectOutSize = 512;

// The environment is shared by every connection of the process: allocated
// with the first, freed with the last.
std::mutex environmentMutex;
SQLHENV sharedEnvironment = SQL_NULL_HENV;
int connectionCount = 0;

SQLHENV acquireEnvironment() {
    std::lock_guard lock(environmentMutex);
    if (sharedEnvironment == SQL_NULL_HENV) {
        if (!succeeded(SQLAllocEnv(&sharedEnvironment))) {
            sharedEnvironment = SQL_NULL_HENV;
            throw std::bad_alloc();
        }
    }
    ++connectionCount;
    return sharedEnvironment;
}

void releaseEnvironment() {
    std::lock_guard lock(environmentMutex);
    if (--connectionCount == 0 && sharedEnvironment != SQL_NULL_HENV) {
        SQLFreeEnv(sharedEnvironment);
        sharedEnvironment = SQL_NULL_HENV;
    }
}

bool hasConnectPrefix(const std::string& connect) {
    return connect.size() >= kConnectPrefixLength &&
           strncasecmp(connect.c_str(), kConnectPrefix, kConnectPrefixLength) == 0;
}

} // namespace

CDatabase::~CDatabase() { Close(); }

bool CDatabase::OpenEx(const std::string& connectionText, SQLHWND ownerWindow) {
    if (!hasConnectPrefix(connectionText)) {
        throwLayerError();
    }
    Close();
    m_henv = acquireEnvironment();
    try {
        connect(connectionText.substr(kConnectPrefixLength), ownerWindow);
        if (!IsOpen()) {
            releaseEnvironment();
            m_henv = SQL_NULL_HENV;
            return false;
        }
        checkConformance();
        askCapabilities();
    } catch (...) {
        Close();
        throw;
    }
    return true;
}

void CDatabase::connect(const std::string& connectText, SQLHWND ownerWindow) {
    SQLHDBC hdbc = SQL_NULL_HDBC;
    const SQLRETURN allocated = SQLAllocConnect(m_henv, &hdbc);
    if (!succeeded(allocated)) {
        throwDatabaseError(allocated, {m_henv, SQL_NULL_HDBC, SQL_NULL_HSTMT});
    }
    m_hdbc = hdbc;
    callOdbc([&] { return SQLSetConnectOption(m_hdbc, SQL_LOGIN_TIMEOUT, kLoginTimeoutSeconds); });
#ifdef _WIN32
    // Windows' cursor library gives forward-only drivers the behaviour the
    // layer was built for. unixODBC's cursor library refuses to fetch from a
    // statement without bound columns (SL009), and a connection that asks
    // for it fails outright where it is not installed, so it is not asked for
    // there.
    callOdbc([&] { return SQLSetConnectOption(m_hdbc, SQL_ODBC_CURSORS, SQL_CUR_USE_ODBC); });
#endif
    std::array<SQLCHAR, kConnectOutSize> completed{};
    SQLSMALLINT completedLength = 0;
    std::string text = connectText;
    const SQLRETURN rc = callOdbc([&] {
        return SQLDriverConnect(m_hdbc, ownerWindow, reinterpret_cast<SQLCHAR*>(text.data()),
                                SQL_NTS, completed.data(), kConnectOutSize, &completedLength,
                                SQL_DRIVER_COMPLETE);
    });
    if (rc == SQL_NO_DATA) {
        freeConnection();
        return;
    }
    if (!succeeded(rc)) {
        throwDatabaseError(rc, {m_henv, m_hdbc, SQL_NULL_HSTMT});
    }
    m_strConnect = kConnectPrefix;
    m_strConnect += reinterpret_cast<const char*>(completed.data());
}

void CDatabase::checkConformance() {
    const HandleSet handles{m_henv, m_hdbc, SQL_NULL_HSTMT};
    SQLUSMALLINT apiLevel = 0;
    checkedCall(handles, [&] {
        return SQLGetInfo(m_hdbc, SQL_ODBC_API_CONFORMANCE, &apiLevel, sizeof apiLevel, nullptr);
    });
    if (apiLevel < SQL_OAC_LEVEL1) {
        throwLayerError();
    }
    SQLUSMALLINT sqlLevel = 0;
    checkedCall(handles, [&] {
        return SQLGetInfo(m_hdbc, SQL_ODBC_SQL_CONFORMANCE, &sqlLevel, sizeof sqlLevel, nullptr);
    });
}

void CDatabase::askCapabilities() {
    // These answers tune a layer for updatable and scrollable result sets; a
    // forward-only, read-only reader only asks them, and ignores failures.
    SQLUINTEGER mask = 0;
    SQLUSMALLINT small = 0;
    std::array<SQLCHAR, 8> flag{};
    callOdbc([&] { return SQLGetInfo(m_hdbc, SQL_SCROLL_CONCURRENCY, &mask, sizeof mask, nullptr); });
    callOdbc([&] { return SQLGetInfo(m_hdbc, SQL_SCROLL_OPTIONS, &mask, sizeof mask, nullptr); });
    callOdbc([&] { return SQLGetInfo(m_hdbc, SQL_TXN_CAPABLE, &small, sizeof small, nullptr); });
    callOdbc([&] {
        return SQLGetInfo(m_hdbc, SQL_CURSOR_COMMIT_BEHAVIOR, &small, sizeof small, nullptr);
    });
    callOdbc([&] {
        return SQLGetInfo(m_hdbc, SQL_CURSOR_ROLLBACK_BEHAVIOR, &small, sizeof small, nullptr);
    });
    callOdbc(
        [&] { return SQLGetInfo(m_hdbc, SQL_BOOKMARK_PERSISTENCE, &mask, sizeof mask, nullptr); });
    callOdbc([&] { return SQLGetInfo(m_hdbc, SQL_GETDATA_EXTENSIONS, &mask, sizeof mask, nullptr); });
    callOdbc([&] {
        return SQLGetInfo(m_hdbc, SQL_DATA_SOURCE_READ_ONLY, flag.data(),
                          static_cast<SQLSMALLINT>(flag.size()), nullptr);
    });

    std::array<SQLCHAR, 2> quote{};
    SQLSMALLINT quoteLength = 0;
    const SQLRETURN rc = callOdbc([&] {
        return SQLGetInfo(m_hdbc, SQL_IDENTIFIER_QUOTE_CHAR, quote.data(),
                          static_cast<SQLSMALLINT>(quote.size()), &quoteLength);
    });
    m_chIDQuote = (succeeded(rc) && quoteLength == 1) ? static_cast<char>(quote[0]) : ' ';
}

void CDatabase::freeConnection() {
    if (m_hdbc != SQL_NULL_HDBC) {
        SQLFreeConnect(m_hdbc);
        m_hdbc = SQL_NULL_HDBC;
    }
}

void CDatabase::Close() {
    if (m_hdbc != SQL_NULL_HDBC) {
        if (!m_strConnect.empty()) {
            callOdbc([&] { return SQLDisconnect(m_hdbc); });
        }
        freeConnection();
    }
    m_strConnect.clear();
    if (m_henv != SQL_NULL_HENV) {
        releaseEnvironment();
        m_henv = SQL_NULL_HENV;
    }
}

} // namespace kelvara::odbc
