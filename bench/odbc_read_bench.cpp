// Reads every value of a table through unixODBC and our driver the way the
// export program reads (SQLFetch, then SQLGetData(SQL_C_CHAR) per column into
// a buffer of column size + 1, long types in two calls), and in the same run
// times mdb-export on the same table and a bare libmdb row scan, the floor.
//
// usage: kelvara_odbc_bench [bench.mdb] [table]

// mdbtools.h includes glib inside an extern "C" block; glib first keeps its
// C++ templates out of it.
#include <glib.h>

#include <mdbtools.h>
#include <sql.h>
#include <sqlext.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long peakRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

[[noreturn]] void die(const char* what, SQLSMALLINT type, SQLHANDLE handle) {
    SQLCHAR state[6] = {}, message[1024] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    SQLGetDiagRec(type, handle, 1, state, &native, message, sizeof message, &length);
    std::fprintf(stderr, "%s failed: [%s] %s\n", what, state, message);
    std::exit(1);
}

struct ReadTotals {
    std::size_t rows = 0;
    std::size_t bytes = 0;
    std::size_t longestValue = 0;
};

class Connection {
public:
    explicit Connection(const std::string& path) {
        SQLAllocEnv(&env_);
        SQLAllocConnect(env_, &dbc_);
        SQLSetConnectOption(dbc_, SQL_LOGIN_TIMEOUT, 15);
        std::string text = "DRIVER={MICROSOFT ACCESS DRIVER (*.mdb)};DSN='';DBQ=" + path;
        SQLCHAR out[512];
        SQLSMALLINT outLength = 0;
        if (!SQL_SUCCEEDED(SQLDriverConnect(dbc_, nullptr, reinterpret_cast<SQLCHAR*>(text.data()),
                                            SQL_NTS, out, sizeof out, &outLength,
                                            SQL_DRIVER_COMPLETE)))
            die("SQLDriverConnect", SQL_HANDLE_DBC, dbc_);
    }
    ~Connection() {
        SQLDisconnect(dbc_);
        SQLFreeConnect(dbc_);
        SQLFreeEnv(env_);
    }

    // Reads the whole result of `statement` as the export program does.
    ReadTotals readAll(const std::string& statement) {
        SQLHSTMT stmt;
        SQLAllocStmt(dbc_, &stmt);
        SQLSetStmtOption(stmt, SQL_QUERY_TIMEOUT, 15);
        std::string text = statement;
        if (!SQL_SUCCEEDED(SQLPrepare(stmt, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS)))
            die("SQLPrepare", SQL_HANDLE_STMT, stmt);
        if (!SQL_SUCCEEDED(SQLExecute(stmt)))
            die("SQLExecute", SQL_HANDLE_STMT, stmt);
        SQLSMALLINT count = 0;
        SQLNumResultCols(stmt, &count);
        std::vector<SQLSMALLINT> types(static_cast<std::size_t>(count));
        std::vector<SQLULEN> sizes(static_cast<std::size_t>(count));
        for (SQLSMALLINT i = 0; i < count; ++i) {
            SQLCHAR name[256];
            SQLSMALLINT nameLength = 0, digits = 0, nullable = 0;
            SQLDescribeCol(stmt, static_cast<SQLUSMALLINT>(i + 1), name, sizeof name, &nameLength,
                           &types[static_cast<std::size_t>(i)], &sizes[static_cast<std::size_t>(i)],
                           &digits, &nullable);
        }
        ReadTotals totals;
        std::string value;
        std::string row;
        while (SQLFetch(stmt) != SQL_NO_DATA) {
            row.clear();
            for (SQLSMALLINT i = 0; i < count; ++i) {
                const auto c = static_cast<std::size_t>(i);
                readValue(stmt, static_cast<SQLUSMALLINT>(i + 1), types[c], sizes[c], value);
                row += i == 0 ? "\"" : ",\"";
                row += value;
                row += '"';
                totals.longestValue = std::max(totals.longestValue, value.size());
            }
            row += '\n';
            totals.bytes += row.size();
            ++totals.rows;
        }
        SQLFreeStmt(stmt, SQL_DROP);
        return totals;
    }

private:
    static void readValue(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT type, SQLULEN size,
                          std::string& value) {
        const bool isLong = type == SQL_LONGVARCHAR || type == SQL_LONGVARBINARY;
        SQLLEN b = isLong ? 1 : static_cast<SQLLEN>(size) + 1;
        if (type == SQL_NUMERIC || type == SQL_DECIMAL)
            b += 2;
        // The program allocates its buffer per value; so do we.
        std::vector<char> buffer(static_cast<std::size_t>(b));
        SQLLEN indicator = 0;
        if (!SQL_SUCCEEDED(SQLGetData(stmt, column, SQL_C_CHAR, buffer.data(), b, &indicator)))
            die("SQLGetData", SQL_HANDLE_STMT, stmt);
        if (indicator == SQL_NULL_DATA) {
            value.clear();
            return;
        }
        if (indicator < b) {
            value.assign(buffer.data(), static_cast<std::size_t>(indicator));
            return;
        }
        value.assign(buffer.data(), static_cast<std::size_t>(b - 1));
        if (!isLong)
            return;
        std::vector<char> rest(static_cast<std::size_t>(indicator - b + 2));
        SQLLEN second = 0;
        if (!SQL_SUCCEEDED(SQLGetData(stmt, column, SQL_C_CHAR, rest.data(),
                                      static_cast<SQLLEN>(rest.size()), &second)))
            die("SQLGetData", SQL_HANDLE_STMT, stmt);
        value.append(rest.data(), static_cast<std::size_t>(second));
    }

    SQLHENV env_ = SQL_NULL_HENV;
    SQLHDBC dbc_ = SQL_NULL_HDBC;
};

double timeMdbExport(const std::string& path, const std::string& table) {
    const std::string command = "mdb-export '" + path + "' '" + table + "' > /dev/null";
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "mdb-export failed\n");
    return secondsSince(start);
}

std::size_t bareScan(const std::string& path, const std::string& table) {
    MdbHandle* mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
    if (mdb == nullptr)
        return 0;
    std::size_t rows = 0;
    if (MdbTableDef* def =
            mdb_read_table_by_name(mdb, const_cast<char*>(table.c_str()), MDB_TABLE)) {
        mdb_read_columns(def);
        mdb_rewind_table(def);
        while (mdb_fetch_row(def))
            ++rows;
        mdb_free_tabledef(def);
    }
    mdb_close(mdb);
    return rows;
}

} // namespace

int main(int argc, char** argv) {
    const std::string path =
        argc > 1 ? argv[1] : KELVARA_SOURCE_DIR "/../shared/fixtures/bench.mdb";
    const std::string table = argc > 2 ? argv[2] : "Sales";
    // Use the driver this build made unless the caller chose a configuration.
    setenv("ODBCSYSINI", KELVARA_DRIVER_DIR, 0);

    std::printf("database: %s, table: %s\n", path.c_str(), table.c_str());
    long rssSmall = 0;
    {
        Connection connection(path);
        connection.readAll("select * from Sales_10k");
        rssSmall = peakRssKiB();
    }
    ReadTotals totals;
    double ours = 0;
    {
        Connection connection(path);
        const auto start = Clock::now();
        totals = connection.readAll("select * from `" + table + "`");
        ours = secondsSince(start);
    }
    const long rssAfterOdbc = peakRssKiB();
    const double mdbExport = timeMdbExport(path, table);
    const auto scanStart = Clock::now();
    const std::size_t scanned = bareScan(path, table);
    const double scan = secondsSince(scanStart);

    std::printf(
        "ODBC read loop (SQLFetch + SQLGetData): %8.3f s  (%zu rows, %zu bytes of row lines)\n",
        ours, totals.rows, totals.bytes);
    std::printf("mdb-export to /dev/null:                %8.3f s\n", mdbExport);
    std::printf("bare libmdb row scan (mdb_fetch_row):   %8.3f s  (%zu rows)\n", scan, scanned);
    std::printf("ratio ours / mdb-export:                %8.3f  (target <= 0.4)\n",
                ours / mdbExport);
    std::printf("peak RSS after 10,000 rows:             %8ld KiB\n", rssSmall);
    std::printf("peak RSS after the whole table:         %8ld KiB\n", rssAfterOdbc);

    // The longest memo the fixtures hold, read whole in two calls.
    const std::string memoFile = KELVARA_SOURCE_DIR "/tests/fixtures/fixtures.mdb";
    Connection memoConnection(memoFile);
    const auto memoStart = Clock::now();
    const ReadTotals memo = memoConnection.readAll("select Notes from AllTypes");
    std::printf("longest memo in fixtures.mdb (AllTypes.Notes): %zu bytes read whole in two calls, "
                "%.4f s for the "
                "column; no fixture holds a 1,000,000-character memo\n",
                memo.longestValue, secondsSince(memoStart));
    return 0;
}
