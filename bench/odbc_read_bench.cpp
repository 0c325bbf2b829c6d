// Reads every value of a table through unixODBC and our driver with the
// program's own database layer (SQLFetch, then SQLGetData(SQL_C_CHAR) per
// column into a buffer of column size + 1, long types in two calls, values
// that do not fit read on to their end), and in the same run
// times mdb-export on the same table and a bare libmdb row scan, the floor.
//
// usage: kelvara_odbc_bench [bench.mdb] [table]

// mdbtools.h includes glib inside an extern "C" block; glib first keeps its
// C++ templates out of it.
#include <glib.h>

#include <mdbtools.h>
#include <sys/resource.h>

#include "export/csv_row.hpp"
#include "platform/odbc/database.hpp"
#include "platform/odbc/db_exception.hpp"
#include "platform/odbc/recordset.hpp"

#include <algorithm>

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

struct ReadTotals {
    std::size_t rows = 0;
    std::size_t bytes = 0;
    std::size_t longestValue = 0;
};

// Reads the whole result of `statement` through the program's own database
// layer (SQLFetch, then SQLGetData(SQL_C_CHAR) per column into a buffer of
// column size + 1, long values in two calls) and composes each row line.
ReadTotals readAll(const std::string& path, const std::string& statement) {
    kelvara::odbc::CDatabase database;
    database.OpenEx("ODBC;DRIVER={MICROSOFT ACCESS DRIVER (*.mdb)};DSN='';DBQ=" + path);
    kelvara::odbc::CRecordset rows(&database);
    rows.Open(statement);
    const short count = rows.GetODBCFieldCount();
    ReadTotals totals;
    std::string value;
    std::string line;
    while (!rows.IsEOF()) {
        line.clear();
        for (short i = 0; i < count; ++i) {
            rows.GetFieldValue(i, value);
            kelvara::csv::AppendColumn(line, value, i == 0);
            totals.longestValue = std::max(totals.longestValue, value.size());
        }
        kelvara::csv::EndRow(line);
        totals.bytes += line.size();
        ++totals.rows;
        rows.MoveNext();
    }
    return totals;
}

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

int run(int argc, char** argv);

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const kelvara::odbc::CDBException& e) {
        std::fprintf(stderr, "database error: %s\n", e.m_strError.c_str());
        return 1;
    }
}

int run(int argc, char** argv) {
    const std::string path =
        argc > 1 ? argv[1] : KELVARA_SOURCE_DIR "/../shared/fixtures/bench.mdb";
    const std::string table = argc > 2 ? argv[2] : "Sales";
    // Use the driver this build made unless the caller chose a configuration.
    setenv("ODBCSYSINI", KELVARA_DRIVER_DIR, 0);

    std::printf("database: %s, table: %s\n", path.c_str(), table.c_str());
    long rssSmall = 0;
    readAll(path, "select * from Sales_10k");
    rssSmall = peakRssKiB();
    ReadTotals totals;
    double ours = 0;
    {
        const auto start = Clock::now();
        totals = readAll(path, "select * from [" + table + "]");
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
    const auto memoStart = Clock::now();
    const ReadTotals memo = readAll(memoFile, "select Notes from AllTypes");
    std::printf("longest memo in fixtures.mdb (AllTypes.Notes): %zu bytes read whole in two calls, "
                "%.4f s for the "
                "column; no fixture holds a 1,000,000-character memo\n",
                memo.longestValue, secondsSince(memoStart));
    return 0;
}
