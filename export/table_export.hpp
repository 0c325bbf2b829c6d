#pragma once
// One export: the named table of an Access database, read through ODBC row by
// row, each row composed into a CSV row line and handed on.

#include <functional>
#include <string>

namespace kelvara::exporting {

struct ExportRequest {
    std::string databasePath;
    std::string tableName; // may carry a WHERE clause after the name
    std::string userName;
    std::string password;
};

enum class ExportOutcome {
    Completed,      // every row was handed on
    NotConnected,   // the user cancelled a prompt of the driver
    StoppedByOutput // the row sink refused a row: nothing more was read
};

// Receives one complete row line (ending in a line feed); false stops the
// export.
using RowSink = std::function<bool(const std::string& rowLine)>;

// Connects, runs "select * from " + table name, and hands every row to
// `appendRow` before fetching the next one. The result set and the connection
// are closed on every path. Database failures leave as odbc::CDBException.
ExportOutcome ExportTable(const ExportRequest& request, const RowSink& appendRow);

} // namespace kelvara::exporting
