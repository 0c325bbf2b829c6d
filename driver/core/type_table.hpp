#pragma once

#include "driver/core/database.hpp"

namespace kelvara::driver {

// How one column presents itself to ODBC. The one source for SQLDescribeCol,
// SQLColAttribute, SQLColumns and the conversions.
struct SqlTypeInfo {
    short sqlType = 0;            // SQL_BIT, SQL_VARCHAR, ...
    unsigned long columnSize = 0; // as SQLDescribeCol reports it
    short decimalDigits = 0;
    const char* typeName = ""; // Access's own name: "BIT", "VARCHAR", "DATETIME", ...
    long displaySize = 0;      // SQL_DESC_DISPLAY_SIZE
    long octetLength = 0;      // SQL_DESC_OCTET_LENGTH
    bool isUnsigned = false;
    short numPrecRadix = 0; // 10 for exact numbers, 2 for floats, 0 otherwise
    bool caseSensitive = false;
    short searchable = 0; // SQL_PRED_*
};

SqlTypeInfo describeColumn(const ColumnInfo& column);

} // namespace kelvara::driver
