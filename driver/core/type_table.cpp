#include "driver/core/type_table.hpp"

#include <sqlext.h>

namespace kelvara::driver {
namespace {

// Memo and OLE values may hold up to 2^30 - 1 bytes.
constexpr unsigned long kLongSize = 1073741823;

SqlTypeInfo exactNumber(short sqlType, unsigned long digits, const char* name, long display,
                        long octets) {
    SqlTypeInfo info;
    info.sqlType = sqlType;
    info.columnSize = digits;
    info.typeName = name;
    info.displaySize = display;
    info.octetLength = octets;
    info.numPrecRadix = 10;
    info.searchable = SQL_PRED_SEARCHABLE;
    return info;
}

SqlTypeInfo approximateNumber(short sqlType, unsigned long digits, const char* name, long display,
                              long octets) {
    SqlTypeInfo info = exactNumber(sqlType, digits, name, display, octets);
    info.numPrecRadix = 2;
    return info;
}

SqlTypeInfo other(short sqlType, unsigned long size, const char* name, long display, long octets,
                  short searchable) {
    SqlTypeInfo info;
    info.sqlType = sqlType;
    info.columnSize = size;
    info.typeName = name;
    info.displaySize = display;
    info.octetLength = octets;
    info.isUnsigned = true;
    info.searchable = searchable;
    return info;
}

SqlTypeInfo decimalNumber(unsigned long precision, short scale, const char* name) {
    // Room for a sign and a decimal point.
    const auto width = static_cast<long>(precision) + 2;
    SqlTypeInfo info = exactNumber(SQL_NUMERIC, precision, name, width, width);
    info.decimalDigits = scale;
    return info;
}

} // namespace

SqlTypeInfo describeColumn(const ColumnInfo& column) {
    switch (column.kind) {
    case ColumnKind::Bool:
        return other(SQL_BIT, 1, "BIT", 1, 1, SQL_PRED_BASIC);
    case ColumnKind::Byte: {
        SqlTypeInfo info = exactNumber(SQL_TINYINT, 3, "BYTE", 3, 1);
        info.isUnsigned = true;
        return info;
    }
    case ColumnKind::Int16:
        return exactNumber(SQL_SMALLINT, 5, "SMALLINT", 6, 2);
    case ColumnKind::Int32:
        return exactNumber(SQL_INTEGER, 10, "INTEGER", 11, 4);
    case ColumnKind::Float32:
        return approximateNumber(SQL_REAL, 7, "REAL", 14, 4);
    case ColumnKind::Float64:
        return approximateNumber(SQL_DOUBLE, 15, "DOUBLE", 24, 8);
    case ColumnKind::Money:
        return decimalNumber(19, 4, "CURRENCY");
    case ColumnKind::Numeric:
        return decimalNumber(column.precision, column.scale, "DECIMAL");
    case ColumnKind::DateTime:
        return other(SQL_TYPE_TIMESTAMP, 19, "DATETIME", 19, sizeof(SQL_TIMESTAMP_STRUCT),
                     SQL_PRED_SEARCHABLE);
    case ColumnKind::Guid:
        return other(SQL_GUID, 36, "GUID", 36, 16, SQL_PRED_SEARCHABLE);
    case ColumnKind::Binary:
        return other(SQL_VARBINARY, column.maxLength, "VARBINARY",
                     2 * static_cast<long>(column.maxLength), static_cast<long>(column.maxLength),
                     SQL_PRED_SEARCHABLE);
    case ColumnKind::Ole:
        return other(SQL_LONGVARBINARY, kLongSize, "LONGBINARY", 2 * static_cast<long>(kLongSize),
                     static_cast<long>(kLongSize), SQL_PRED_NONE);
    case ColumnKind::Memo:
        return other(SQL_LONGVARCHAR, kLongSize, "LONGCHAR", static_cast<long>(kLongSize),
                     static_cast<long>(kLongSize), SQL_PRED_CHAR);
    case ColumnKind::Text:
        // Characters count UTF-16 units; each becomes at most three UTF-8 bytes.
        return other(SQL_VARCHAR, column.maxLength, "VARCHAR", static_cast<long>(column.maxLength),
                     3 * static_cast<long>(column.maxLength), SQL_PRED_SEARCHABLE);
    case ColumnKind::Unsupported:
        break;
    }
    // Columns of kinds we cannot decode read as NULL text.
    return other(SQL_VARCHAR, 255, "VARCHAR", 255, 765, SQL_PRED_NONE);
}

} // namespace kelvara::driver
