#include "odbc_client.hpp"

#include "platform/odbc/diagnostics.hpp"
#include "platform/odbc/statement_text.hpp"

#include <algorithm>

namespace kelvara::test {

bool DbError::has(const std::string& state) const {
    return std::find(states.begin(), states.end(), state) != states.end();
}

std::string fixture(const std::string& name) {
    return std::string(KELVARA_FIXTURES_DIR) + "/" + name;
}

std::string connectionText(const std::string& path) {
    return "DRIVER={MICROSOFT ACCESS DRIVER (*.mdb)};DSN='';DBQ=" + path;
}

ExportClient::ExportClient() {
    if (SQLAllocEnv(&env_) != SQL_SUCCESS)
        throw std::runtime_error("SQLAllocEnv failed");
}

ExportClient::~ExportClient() {
    if (connected_)
        SQLDisconnect(dbc_);
    if (dbc_ != SQL_NULL_HDBC)
        SQLFreeConnect(dbc_);
    SQLFreeEnv(env_);
}

void ExportClient::fail(SQLRETURN rc, SQLHSTMT stmt) {
    if (rc != SQL_ERROR)
        throw DbError("", {});
    // The program's own diagnostics reader: SQLError over the environment,
    // the connection and the statement, tags removed, one line each.
    const auto records = kelvara::odbc::takeDiagnostics({env_, dbc_, stmt});
    std::vector<std::string> states;
    for (const auto& record : records)
        states.push_back(record.sqlState);
    throw DbError(kelvara::odbc::errorTextFrom(records), states);
}

ConnectAnswers ExportClient::open(const std::string& connectText) {
    ConnectAnswers answers;
    if (SQLAllocConnect(env_, &dbc_) != SQL_SUCCESS)
        fail(SQL_ERROR, SQL_NULL_HSTMT);
    SQLSetConnectOption(dbc_, SQL_LOGIN_TIMEOUT, 15);
    SQLCHAR out[512] = {};
    SQLSMALLINT outLength = 0;
    std::string in = connectText;
    const SQLRETURN rc =
        SQLDriverConnect(dbc_, nullptr, reinterpret_cast<SQLCHAR*>(in.data()), SQL_NTS, out,
                         sizeof out, &outLength, SQL_DRIVER_COMPLETE);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
        fail(rc, SQL_NULL_HSTMT);
    connected_ = true;
    answers.completedConnection = reinterpret_cast<char*>(out);

    SQLRETURN r = SQLGetInfo(dbc_, SQL_ODBC_API_CONFORMANCE, &answers.apiConformance,
                             sizeof(SQLSMALLINT), nullptr);
    if (r != SQL_SUCCESS && r != SQL_SUCCESS_WITH_INFO)
        fail(r, SQL_NULL_HSTMT);
    if (answers.apiConformance < SQL_OAC_LEVEL1)
        throw DbError("", {});
    r = SQLGetInfo(dbc_, SQL_ODBC_SQL_CONFORMANCE, &answers.sqlConformance, sizeof(SQLSMALLINT),
                   nullptr);
    if (r != SQL_SUCCESS && r != SQL_SUCCESS_WITH_INFO)
        fail(r, SQL_NULL_HSTMT);
    // The questions whose failures the layer ignores.
    SQLGetInfo(dbc_, SQL_SCROLL_CONCURRENCY, &answers.scrollConcurrency, sizeof(SQLUINTEGER),
               nullptr);
    SQLGetInfo(dbc_, SQL_SCROLL_OPTIONS, &answers.scrollOptions, sizeof(SQLUINTEGER), nullptr);
    SQLGetInfo(dbc_, SQL_TXN_CAPABLE, &answers.txnCapable, sizeof(SQLUSMALLINT), nullptr);
    SQLGetInfo(dbc_, SQL_CURSOR_COMMIT_BEHAVIOR, &answers.cursorCommit, sizeof(SQLUSMALLINT),
               nullptr);
    SQLGetInfo(dbc_, SQL_CURSOR_ROLLBACK_BEHAVIOR, &answers.cursorRollback, sizeof(SQLUSMALLINT),
               nullptr);
    SQLGetInfo(dbc_, SQL_BOOKMARK_PERSISTENCE, &answers.bookmarkPersistence, sizeof(SQLUINTEGER),
               nullptr);
    SQLGetInfo(dbc_, SQL_GETDATA_EXTENSIONS, &answers.getDataExtensions, sizeof(SQLUINTEGER),
               nullptr);
    char readOnly[8] = {};
    SQLSMALLINT length = 0;
    SQLGetInfo(dbc_, SQL_DATA_SOURCE_READ_ONLY, readOnly, sizeof readOnly, &length);
    answers.readOnly = readOnly;
    char quote[2] = {};
    r = SQLGetInfo(dbc_, SQL_IDENTIFIER_QUOTE_CHAR, quote, sizeof quote, &length);
    quote_ = (SQL_SUCCEEDED(r) && length == 1) ? quote[0] : ' ';
    answers.quoteChar = quote_;
    return answers;
}

std::vector<Row> ExportClient::exportTable(const std::string& table) {
    return query("select * from " + table);
}

std::vector<Row> ExportClient::query(const std::string& statementText) {
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    if (SQLAllocStmt(dbc_, &stmt) != SQL_SUCCESS)
        throw DbError("", {});
    struct Drop {
        SQLHSTMT s;
        ~Drop() { SQLFreeStmt(s, SQL_DROP); }
    } drop{stmt};
    SQLSetStmtOption(stmt, SQL_QUERY_TIMEOUT, 15);
    std::string text = kelvara::odbc::rewriteBrackets(statementText, quote_);
    SQLRETURN rc = SQLPrepare(stmt, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS);
    if (!SQL_SUCCEEDED(rc))
        fail(rc, stmt);
    rc = SQLExecute(stmt);
    if (!SQL_SUCCEEDED(rc))
        fail(rc, stmt);
    SQLSMALLINT count = 0;
    SQLNumResultCols(stmt, &count);
    columns_.assign(static_cast<std::size_t>(count), {});
    for (SQLUSMALLINT i = 0; i < static_cast<SQLUSMALLINT>(count); ++i) {
        ColumnDescription& d = columns_[i];
        SQLCHAR name[256] = {};
        SQLSMALLINT nameLength = 0;
        rc = SQLDescribeCol(stmt, static_cast<SQLUSMALLINT>(i + 1), name, sizeof name, &nameLength,
                            &d.sqlType, &d.size, &d.decimalDigits, &d.nullable);
        if (!SQL_SUCCEEDED(rc))
            fail(rc, stmt);
        d.name = reinterpret_cast<char*>(name);
    }
    std::vector<Row> rows;
    auto fetch = [&] {
        const SQLRETURN r = SQLFetch(stmt);
        if (r == SQL_NO_DATA)
            return false;
        if (r == SQL_SUCCESS_WITH_INFO) {
            const DbError info = diagnosticsOf(SQL_HANDLE_STMT, stmt);
            if (info.has("01004") || info.has("01S01"))
                throw DbError("", {});
            return true;
        }
        if (r != SQL_SUCCESS)
            fail(r, stmt);
        return true;
    };
    while (fetch()) {
        Row row;
        for (SQLUSMALLINT i = 0; i < static_cast<SQLUSMALLINT>(count); ++i)
            row.push_back(readValue(stmt, i));
        rows.push_back(std::move(row));
    }
    return rows;
}

namespace {

bool isLongType(const ColumnDescription& d) {
    return d.sqlType == SQL_LONGVARCHAR || d.sqlType == SQL_LONGVARBINARY;
}

// Buffer size B of the database layer for one column.
SQLLEN bufferSize(const ColumnDescription& d) {
    if (isLongType(d))
        return 1;
    SQLLEN b = static_cast<SQLLEN>(d.size) + 1;
    if (d.sqlType == SQL_NUMERIC || d.sqlType == SQL_DECIMAL)
        b += 2;
    return b;
}

} // namespace

std::string ExportClient::asKept(const std::string& full, const ColumnDescription& column) {
    const SQLLEN b = bufferSize(column);
    if (isLongType(column) || static_cast<SQLLEN>(full.size()) < b)
        return full;
    return full.substr(0, static_cast<std::size_t>(b - 1));
}

std::optional<std::string> ExportClient::readValue(SQLHSTMT stmt, SQLUSMALLINT index) {
    const ColumnDescription& d = columns_[index];
    const bool isLong = isLongType(d);
    const SQLLEN b = bufferSize(d);
    std::string buffer(static_cast<std::size_t>(b), '\0');
    SQLLEN indicator = 0;
    const SQLUSMALLINT column = static_cast<SQLUSMALLINT>(index + 1);
    SQLRETURN rc = SQLGetData(stmt, column, SQL_C_CHAR, buffer.data(), b, &indicator);
    if (rc == SQL_ERROR)
        fail(rc, stmt);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
        throw DbError("", {});
    if (indicator == SQL_NULL_DATA)
        return std::nullopt;
    if (indicator < b)
        return buffer.substr(0, static_cast<std::size_t>(indicator));
    if (!isLong && !readOn_)
        return buffer.substr(0, static_cast<std::size_t>(b - 1));
    if (!isLong) {
        // Further calls with the same buffer, each continuing the last.
        std::string value = buffer.substr(0, static_cast<std::size_t>(b - 1));
        while (rc == SQL_SUCCESS_WITH_INFO) {
            rc = SQLGetData(stmt, column, SQL_C_CHAR, buffer.data(), b, &indicator);
            if (rc == SQL_ERROR)
                fail(rc, stmt);
            if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
                throw DbError("", {});
            value.append(buffer.data(), static_cast<std::size_t>(std::min(indicator, b - 1)));
        }
        return value;
    }
    // The second call reads the rest, sized exactly from the first answer.
    std::string value = buffer.substr(0, static_cast<std::size_t>(b - 1));
    const SQLLEN second = indicator - b + 2;
    std::string rest(static_cast<std::size_t>(second), '\0');
    SQLLEN secondIndicator = 0;
    rc = SQLGetData(stmt, column, SQL_C_CHAR, rest.data(), second, &secondIndicator);
    if (rc == SQL_ERROR)
        fail(rc, stmt);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
        throw DbError("", {});
    value += rest.substr(0, static_cast<std::size_t>(std::max<SQLLEN>(secondIndicator, 0)));
    return value;
}

DbError diagnosticsOf(SQLSMALLINT type, SQLHANDLE handle) {
    std::string text;
    std::vector<std::string> states;
    for (SQLSMALLINT i = 1;; ++i) {
        SQLCHAR state[6] = {};
        SQLCHAR message[1024] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        if (!SQL_SUCCEEDED(
                SQLGetDiagRec(type, handle, i, state, &native, message, sizeof message, &length)))
            break;
        text += reinterpret_cast<char*>(message);
        text += "\n";
        states.emplace_back(reinterpret_cast<char*>(state));
    }
    return DbError(text, states);
}

} // namespace kelvara::test
