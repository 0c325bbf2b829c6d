// Connections: opening a database file by connection string or DSN, closing,
// and connection attributes.
#include "driver/odbc/api.hpp"
#include "driver/odbc/connection_string.hpp"
#include "driver/odbc/dispatch.hpp"
#include "driver/odbc/output.hpp"

#include <cstdio>
#include <odbcinst.h>
#include <string>

namespace kelvara::driver::odbc {

Connection::~Connection() = default;

namespace {

// A value from the data source's section of odbc.ini, or empty.
std::string profileValue(const std::string& dsn, const char* key) {
    char buffer[4096] = {};
    const int n =
        SQLGetPrivateProfileString(dsn.c_str(), key, "", buffer, sizeof buffer, "odbc.ini");
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

// Access files tell their engine version in one byte of the header page.
std::string engineVersion(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return "04.00.0000";
    unsigned char header[0x15] = {};
    const std::size_t n = std::fread(header, 1, sizeof header, file);
    std::fclose(file);
    if (n < sizeof header)
        return "04.00.0000";
    switch (header[0x14]) {
    case 0:
        return "03.50.0000";
    case 1:
        return "04.00.0000";
    case 2:
        return "12.00.0000";
    case 3:
        return "14.00.0000";
    default:
        return "16.00.0000";
    }
}

void openFile(Connection& dbc, const std::string& path, const std::string& password) {
    if (path.empty())
        throw DriverError(
            sqlstate::kUnableToConnect,
            "No database file given: the connection needs DBQ=<path of the .mdb or .accdb file>.");
    dbc.database = Database::open(path, password);
    dbc.fileVersion = engineVersion(path);
}

bool isBlankDsn(const std::string& dsn) {
    return dsn.empty() || dsn == "''" || dsn == "\"\"";
}

} // namespace

SQLRETURN connect(SQLHDBC handle, SQLCHAR* dsnText, SQLSMALLINT dsnLength, SQLCHAR* userText,
                  SQLSMALLINT userLength, SQLCHAR* passwordText,
                  SQLSMALLINT passwordLength) noexcept {
    return dispatch<Connection>(handle, [&](Connection& dbc) -> SQLRETURN {
        if (dbc.connected())
            throw DriverError(sqlstate::kConnectionInUse, "Connection name in use.");
        const std::string dsn = inputText(dsnText, dsnLength);
        std::string user = inputText(userText, userLength);
        std::string password = inputText(passwordText, passwordLength);
        if (user.empty())
            user = profileValue(dsn, "UID");
        if (password.empty())
            password = profileValue(dsn, "PWD");
        const std::string path = profileValue(dsn, "DBQ");
        if (path.empty())
            throw DriverError(sqlstate::kUnableToConnect,
                              "The data source '" + dsn + "' names no database file (DBQ).");
        openFile(dbc, path, password);
        dbc.dataSourceName = dsn;
        dbc.userName = user;
        return SQL_SUCCESS;
    });
}

SQLRETURN driverConnect(SQLHDBC handle, SQLHWND, SQLCHAR* in, SQLSMALLINT inLength, SQLCHAR* out,
                        SQLSMALLINT outMax, SQLSMALLINT* outLength,
                        SQLUSMALLINT completion) noexcept {
    return dispatch<Connection>(handle, [&](Connection& dbc) -> SQLRETURN {
        if (dbc.connected())
            throw DriverError(sqlstate::kConnectionInUse, "Connection name in use.");
        if (completion != SQL_DRIVER_NOPROMPT && completion != SQL_DRIVER_COMPLETE &&
            completion != SQL_DRIVER_PROMPT && completion != SQL_DRIVER_COMPLETE_REQUIRED)
            throw DriverError(sqlstate::kInvalidDriverCompletion, "Invalid driver completion.");
        if (in == nullptr)
            throw DriverError(sqlstate::kInvalidUseOfNullPointer, "Invalid use of null pointer.");
        const ConnectionString attributes = ConnectionString::parse(inputText(in, inLength));

        // DRIVER and DSN: the first one given decides; a DSN fills in what the
        // text leaves out.
        std::string dsn;
        if (!attributes.driverWins())
            dsn = attributes.get("DSN").value_or("");
        if (isBlankDsn(dsn))
            dsn.clear();
        auto pick = [&](const char* key) {
            if (auto v = attributes.get(key))
                return *v;
            return dsn.empty() ? std::string() : profileValue(dsn, key);
        };
        const std::string path = pick("DBQ");
        const std::string user = pick("UID");
        const std::string password = pick("PWD");
        // No window is ever shown: whatever the completion mode, the text (or
        // the DSN) must name the file.
        openFile(dbc, path, password);
        dbc.dataSourceName = dsn;
        dbc.userName = user;

        std::string completed;
        if (dsn.empty())
            ConnectionString::append(
                completed, "DRIVER",
                attributes.get("DRIVER").value_or("MICROSOFT ACCESS DRIVER (*.mdb)"));
        else
            ConnectionString::append(completed, "DSN", dsn);
        ConnectionString::append(completed, "DBQ", path);
        if (!user.empty())
            ConnectionString::append(completed, "UID", user);
        if (!password.empty())
            ConnectionString::append(completed, "PWD", password);
        putString(dbc.diag, completed, out, outMax, outLength);
        return SQL_SUCCESS;
    });
}

SQLRETURN disconnect(SQLHDBC handle) noexcept {
    return dispatch<Connection>(handle, [&](Connection& dbc) -> SQLRETURN {
        if (!dbc.connected())
            throw DriverError(sqlstate::kConnectionNotOpen, "Connection not open.");
        // Statements still allocated are freed with the connection, as ODBC
        // allows.
        dbc.statements.clear();
        dbc.database.reset();
        dbc.dataSourceName.clear();
        dbc.userName.clear();
        return SQL_SUCCESS;
    });
}

SQLRETURN setConnectAttr(SQLHDBC handle, SQLINTEGER attribute, SQLPOINTER value,
                         SQLINTEGER) noexcept {
    return dispatch<Connection>(handle, [&](Connection& dbc) -> SQLRETURN {
        const auto number = static_cast<SQLULEN>(reinterpret_cast<std::uintptr_t>(value));
        switch (attribute) {
        case SQL_ATTR_LOGIN_TIMEOUT:
            // Opening a local file never waits on a server; the time-out is
            // kept so that it reads back.
            dbc.loginTimeout = static_cast<SQLUINTEGER>(number);
            return SQL_SUCCESS;
        case SQL_ATTR_CONNECTION_TIMEOUT:
            dbc.connectionTimeout = static_cast<SQLUINTEGER>(number);
            return SQL_SUCCESS;
        case SQL_ATTR_ACCESS_MODE:
            if (number != SQL_MODE_READ_ONLY && number != SQL_MODE_READ_WRITE)
                throw DriverError(sqlstate::kInvalidAttributeValue, "Invalid attribute value.");
            // The file is opened read-only either way; read-write only means
            // that writing statements are refused one by one.
            dbc.accessMode = static_cast<SQLUINTEGER>(number);
            return SQL_SUCCESS;
        case SQL_ATTR_AUTOCOMMIT:
            if (number != SQL_AUTOCOMMIT_ON)
                throw DriverError(sqlstate::kOptionalFeatureNotImplemented,
                                  "Transactions are not supported: the database is read-only.");
            return SQL_SUCCESS;
        case SQL_ATTR_QUIET_MODE:
            dbc.quietMode = static_cast<SQLUINTEGER>(number);
            return SQL_SUCCESS;
        case SQL_ATTR_METADATA_ID:
            dbc.metadataId = static_cast<SQLUINTEGER>(number);
            return SQL_SUCCESS;
        case SQL_ATTR_ASYNC_ENABLE:
            if (number != SQL_ASYNC_ENABLE_OFF)
                throw DriverError(sqlstate::kOptionalFeatureNotImplemented,
                                  "Asynchronous execution is not supported.");
            return SQL_SUCCESS;
        case SQL_ATTR_QUERY_TIMEOUT:
            // ODBC 2 applications may set statement options on the connection.
            dbc.queryTimeoutDefault = number;
            return SQL_SUCCESS;
        case SQL_ATTR_TXN_ISOLATION:
        case SQL_ATTR_PACKET_SIZE:
        case SQL_ATTR_CURRENT_CATALOG:
        case SQL_ATTR_TRANSLATE_LIB:
        case SQL_ATTR_TRANSLATE_OPTION:
            throw DriverError(sqlstate::kOptionalFeatureNotImplemented,
                              "Optional feature not implemented.");
        default:
            throw DriverError(sqlstate::kInvalidAttributeIdentifier,
                              "Invalid attribute identifier.");
        }
    });
}

SQLRETURN getConnectAttr(SQLHDBC handle, SQLINTEGER attribute, SQLPOINTER value,
                         SQLINTEGER bufferLength, SQLINTEGER* stringLength) noexcept {
    return dispatch<Connection>(handle, [&](Connection& dbc) -> SQLRETURN {
        switch (attribute) {
        case SQL_ATTR_LOGIN_TIMEOUT:
            putFixed<SQLUINTEGER>(dbc.loginTimeout, value, stringLength);
            return SQL_SUCCESS;
        case SQL_ATTR_CONNECTION_TIMEOUT:
            putFixed<SQLUINTEGER>(dbc.connectionTimeout, value, stringLength);
            return SQL_SUCCESS;
        case SQL_ATTR_ACCESS_MODE:
            putFixed<SQLUINTEGER>(dbc.accessMode, value, stringLength);
            return SQL_SUCCESS;
        case SQL_ATTR_AUTOCOMMIT:
            putFixed<SQLUINTEGER>(SQL_AUTOCOMMIT_ON, value, stringLength);
            return SQL_SUCCESS;
        case SQL_ATTR_QUIET_MODE:
            putFixed<SQLULEN>(dbc.quietMode, value, stringLength);
            return SQL_SUCCESS;
        case SQL_ATTR_METADATA_ID:
            putFixed<SQLUINTEGER>(dbc.metadataId, value, stringLength);
            return SQL_SUCCESS;
        case SQL_ATTR_ASYNC_ENABLE:
            putFixed<SQLULEN>(SQL_ASYNC_ENABLE_OFF, value, stringLength);
            return SQL_SUCCESS;
        case SQL_ATTR_TXN_ISOLATION:
            putFixed<SQLUINTEGER>(0, value, stringLength);
            return SQL_SUCCESS;
        case SQL_ATTR_AUTO_IPD:
            putFixed<SQLUINTEGER>(SQL_FALSE, value, stringLength);
            return SQL_SUCCESS;
        case SQL_ATTR_CONNECTION_DEAD:
            putFixed<SQLUINTEGER>(dbc.connected() ? SQL_CD_FALSE : SQL_CD_TRUE, value,
                                  stringLength);
            return SQL_SUCCESS;
        case SQL_ATTR_CURRENT_CATALOG:
            if (!dbc.connected())
                throw DriverError(sqlstate::kConnectionNotOpen, "Connection not open.");
            putString(dbc.diag, dbc.database->path(), value, bufferLength, stringLength);
            return SQL_SUCCESS;
        default:
            throw DriverError(sqlstate::kInvalidAttributeIdentifier,
                              "Invalid attribute identifier.");
        }
    });
}

SQLRETURN nativeSql(SQLHDBC handle, SQLCHAR* in, SQLINTEGER inLength, SQLCHAR* out,
                    SQLINTEGER outMax, SQLINTEGER* outLength) noexcept {
    return dispatch<Connection>(handle, [&](Connection& dbc) -> SQLRETURN {
        if (in == nullptr)
            throw DriverError(sqlstate::kInvalidUseOfNullPointer, "Invalid use of null pointer.");
        // The driver runs statements as written: there are no escape
        // sequences it rewrites.
        putString(dbc.diag, inputText(in, inLength), out, outMax, outLength);
        return SQL_SUCCESS;
    });
}

SQLRETURN endTran(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT completion) noexcept {
    auto body = [&](auto&) -> SQLRETURN {
        if (completion != SQL_COMMIT && completion != SQL_ROLLBACK)
            throw DriverError(sqlstate::kInvalidTransactionOperation,
                              "Invalid transaction operation code.");
        // Every statement only reads, and auto-commit is always on: there is
        // never a transaction to end.
        return SQL_SUCCESS;
    };
    if (type == SQL_HANDLE_ENV)
        return dispatch<Environment>(handle, body);
    if (type == SQL_HANDLE_DBC)
        return dispatch<Connection>(handle, body);
    return SQL_INVALID_HANDLE;
}

} // namespace kelvara::driver::odbc
