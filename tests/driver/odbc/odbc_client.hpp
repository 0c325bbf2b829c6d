#pragma once

// A small ODBC client that talks to the driver through the real unixODBC
// driver manager with exactly the calls the export program's database layer
// makes: ODBC 2 style allocation, SQLDriverConnect with SQL_DRIVER_COMPLETE,
// the SQLGetInfo questions, SQLPrepare/SQLExecute, SQLDescribeCol, and every
// value read with SQLGetData(SQL_C_CHAR) into buffers sized from the column
// description, with the error text built from SQLError.

#include <optional>
#include <sql.h>
#include <sqlext.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace kelvara::test {

// A failure the way the program sees it: the error text built from the
// diagnostic records (tags removed, one line each) and their SQLSTATEs.
struct DbError : std::runtime_error {
    DbError(std::string text_, std::vector<std::string> states_)
        : std::runtime_error(text_), text(std::move(text_)), states(std::move(states_)) {}
    std::string text;
    std::vector<std::string> states;
    bool has(const std::string& state) const;
};

struct ColumnDescription {
    std::string name;
    SQLSMALLINT sqlType = 0;
    SQLULEN size = 0;
    SQLSMALLINT decimalDigits = 0;
    SQLSMALLINT nullable = 0;
};

using Row = std::vector<std::optional<std::string>>; // nullopt: SQL_NULL_DATA

struct ConnectAnswers {
    SQLSMALLINT apiConformance = -1;
    SQLSMALLINT sqlConformance = -1;
    SQLUINTEGER scrollConcurrency = 0, scrollOptions = 0, bookmarkPersistence = 0,
                getDataExtensions = 0;
    SQLUSMALLINT txnCapable = 99, cursorCommit = 99, cursorRollback = 99;
    std::string readOnly;
    char quoteChar = 0;
    std::string completedConnection;
};

// Text of the path to the driver's fixtures.
std::string fixture(const std::string& name);
// "DRIVER={MICROSOFT ACCESS DRIVER (*.mdb)};DSN='';DBQ=<path>", as the program builds it.
std::string connectionText(const std::string& path);

class ExportClient {
public:
    ExportClient();
    ~ExportClient();
    ExportClient(const ExportClient&) = delete;
    ExportClient& operator=(const ExportClient&) = delete;

    // Connects as the database layer does; throws DbError.
    ConnectAnswers open(const std::string& connectText);
    // "select * from " + table, rewritten and executed; reads every row.
    std::vector<Row> exportTable(const std::string& table);
    // Runs any statement text (after the bracket rewriting) and reads it all.
    std::vector<Row> query(const std::string& statementText);

    const std::vector<ColumnDescription>& columns() const { return columns_; }

    // Reads a short value that does not fit its buffer on to its end with
    // further SQLGetData calls, as the program does, instead of keeping the
    // first piece as the database layer of the original platform did.
    void setReadOn(bool readOn) { readOn_ = readOn; }
    // What the database layer keeps of a value's full character form: short
    // types are cut to their buffer of column size + 1 (+2 for decimals).
    static std::string asKept(const std::string& full, const ColumnDescription& column);
    SQLHDBC connection() const { return dbc_; }
    SQLHENV environment() const { return env_; }

private:
    std::optional<std::string> readValue(SQLHSTMT stmt, SQLUSMALLINT index);
    [[noreturn]] void fail(SQLRETURN rc, SQLHSTMT stmt);

    SQLHENV env_ = SQL_NULL_HENV;
    SQLHDBC dbc_ = SQL_NULL_HDBC;
    bool connected_ = false;
    char quote_ = ' ';
    bool readOn_ = false;
    std::vector<ColumnDescription> columns_;
};

// The SQLSTATEs and text of every record on a handle.
DbError diagnosticsOf(SQLSMALLINT type, SQLHANDLE handle);

} // namespace kelvara::test
