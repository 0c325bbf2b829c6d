#include "export/table_export.hpp"

#include "export/connection_text.hpp"
#include "export/csv_row.hpp"
#include "platform/odbc/database.hpp"
#include "platform/odbc/recordset.hpp"

namespace kelvara::exporting {
namespace {

constexpr char kStatementStart[] = "select * from ";

// Reads the result forward; each row line reaches the sink before the next
// fetch, so a row reported read is never lost or half-written.
bool HandOnRows(odbc::CRecordset& rows, const RowSink& appendRow) {
    const short columns = rows.GetODBCFieldCount();
    std::string rowLine;
    std::string value;
    while (!rows.IsEOF()) {
        rowLine.clear();
        for (short i = 0; i < columns; ++i) {
            rows.GetFieldValue(i, value);
            csv::AppendColumn(rowLine, value, i == 0);
        }
        csv::EndRow(rowLine);
        if (!appendRow(rowLine)) {
            return false;
        }
        rows.MoveNext();
    }
    return true;
}

} // namespace

ExportOutcome ExportTable(const ExportRequest& request, const RowSink& appendRow) {
    odbc::CDatabase database;
    // Driver prompts would need a native window of the driver manager's
    // platform; none is passed, so the driver works from the text alone.
    if (!database.OpenEx(
            buildConnectionText(request.databasePath, request.userName, request.password))) {
        return ExportOutcome::NotConnected;
    }
    bool completed = false;
    {
        odbc::CRecordset rows(&database);
        rows.Open(kStatementStart + request.tableName);
        completed = HandOnRows(rows, appendRow);
        rows.Close();
    }
    database.Close();
    return completed ? ExportOutcome::Completed : ExportOutcome::StoppedByOutput;
}

} // namespace kelvara::exporting
