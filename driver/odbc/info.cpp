// SQLGetInfo and SQLGetFunctions: what the driver tells clients about itself.
#include "driver/odbc/info.hpp"

#include "driver/odbc/api.hpp"
#include "driver/odbc/dispatch.hpp"
#include "driver/odbc/output.hpp"

#include <string>

namespace kelvara::driver::odbc {
namespace {

inline constexpr char kDriverName[] = "libkelvaraodbc.so";
inline constexpr char kDriverVersion[] = "01.00.0001";
inline constexpr char kDriverOdbcVersion[] = "03.51";

enum class InfoKind { Text, Small, Mask };

struct InfoEntry {
    SQLUSMALLINT type;
    InfoKind kind;
    const char* text;
    SQLUINTEGER number;
};

constexpr InfoEntry text(SQLUSMALLINT type, const char* value) {
    return {type, InfoKind::Text, value, 0};
}
constexpr InfoEntry small(SQLUSMALLINT type, SQLUINTEGER value) {
    return {type, InfoKind::Small, nullptr, value};
}
constexpr InfoEntry mask(SQLUSMALLINT type, SQLUINTEGER value) {
    return {type, InfoKind::Mask, nullptr, value};
}

// Fixed answers. A read-only, forward-only driver over one file: no
// transactions, no catalogs or schemas, no scalar functions, SELECT only.
constexpr InfoEntry kFixedInfo[] = {
    // Driver and data source.
    text(SQL_DRIVER_NAME, kDriverName),
    text(SQL_DRIVER_VER, kDriverVersion),
    text(SQL_DRIVER_ODBC_VER, kDriverOdbcVersion),
    text(SQL_DBMS_NAME, "ACCESS"),
    text(SQL_SERVER_NAME, "ACCESS"),
    text(SQL_DATA_SOURCE_READ_ONLY, "Y"),
    text(SQL_ACCESSIBLE_TABLES, "Y"),
    text(SQL_ACCESSIBLE_PROCEDURES, "N"),
    text(SQL_PROCEDURES, "N"),
    text(SQL_ROW_UPDATES, "N"),
    text(SQL_MULT_RESULT_SETS, "N"),
    text(SQL_MULTIPLE_ACTIVE_TXN, "Y"),
    text(SQL_NEED_LONG_DATA_LEN, "N"),
    text(SQL_ORDER_BY_COLUMNS_IN_SELECT, "N"),
    text(SQL_EXPRESSIONS_IN_ORDERBY, "N"),
    text(SQL_OUTER_JOINS, "N"),
    text(SQL_LIKE_ESCAPE_CLAUSE, "N"),
    text(SQL_COLUMN_ALIAS, "N"),
    text(SQL_INTEGRITY, "N"),
    text(SQL_DESCRIBE_PARAMETER, "N"),
    text(SQL_MAX_ROW_SIZE_INCLUDES_LONG, "N"),
    text(SQL_CATALOG_NAME, "N"),
    text(SQL_CATALOG_NAME_SEPARATOR, ""),
    text(SQL_CATALOG_TERM, ""),
    text(SQL_SCHEMA_TERM, ""),
    text(SQL_PROCEDURE_TERM, ""),
    text(SQL_TABLE_TERM, "table"),
    text(SQL_IDENTIFIER_QUOTE_CHAR, "`"),
    text(SQL_SEARCH_PATTERN_ESCAPE, "\\"),
    text(SQL_SPECIAL_CHARACTERS, " !\"#$%&'()*+,-./:;<=>?@[\\]^{|}~"),
    text(SQL_KEYWORDS, "TOP"),
    text(SQL_COLLATION_SEQ, ""),
    text(SQL_XOPEN_CLI_YEAR, "1995"),
    // Conformance.
    small(SQL_ODBC_API_CONFORMANCE, SQL_OAC_LEVEL1),
    small(SQL_ODBC_SQL_CONFORMANCE, SQL_OSC_MINIMUM),
    small(SQL_ODBC_SAG_CLI_CONFORMANCE, SQL_OSCC_COMPLIANT),
    mask(SQL_ODBC_INTERFACE_CONFORMANCE, SQL_OIC_CORE),
    mask(SQL_SQL_CONFORMANCE, SQL_SC_SQL92_ENTRY),
    mask(SQL_STANDARD_CLI_CONFORMANCE, SQL_SCC_XOPEN_CLI_VERSION1),
    // Cursors and transactions.
    mask(SQL_SCROLL_CONCURRENCY, SQL_SCCO_READ_ONLY),
    mask(SQL_SCROLL_OPTIONS, SQL_SO_FORWARD_ONLY),
    mask(SQL_FETCH_DIRECTION, SQL_FD_FETCH_NEXT),
    mask(SQL_FORWARD_ONLY_CURSOR_ATTRIBUTES1, SQL_CA1_NEXT),
    mask(SQL_FORWARD_ONLY_CURSOR_ATTRIBUTES2,
         SQL_CA2_READ_ONLY_CONCURRENCY | SQL_CA2_MAX_ROWS_SELECT),
    mask(SQL_STATIC_CURSOR_ATTRIBUTES1, 0),
    mask(SQL_STATIC_CURSOR_ATTRIBUTES2, 0),
    mask(SQL_KEYSET_CURSOR_ATTRIBUTES1, 0),
    mask(SQL_KEYSET_CURSOR_ATTRIBUTES2, 0),
    mask(SQL_DYNAMIC_CURSOR_ATTRIBUTES1, 0),
    mask(SQL_DYNAMIC_CURSOR_ATTRIBUTES2, 0),
    mask(SQL_CURSOR_SENSITIVITY, SQL_INSENSITIVE),
    mask(SQL_STATIC_SENSITIVITY, 0),
    mask(SQL_LOCK_TYPES, 0),
    mask(SQL_POS_OPERATIONS, 0),
    mask(SQL_POSITIONED_STATEMENTS, 0),
    mask(SQL_BOOKMARK_PERSISTENCE, 0),
    mask(SQL_GETDATA_EXTENSIONS, SQL_GD_ANY_COLUMN | SQL_GD_ANY_ORDER | SQL_GD_BOUND),
    small(SQL_TXN_CAPABLE, SQL_TC_NONE),
    small(SQL_CURSOR_COMMIT_BEHAVIOR, SQL_CB_PRESERVE),
    small(SQL_CURSOR_ROLLBACK_BEHAVIOR, SQL_CB_PRESERVE),
    mask(SQL_DEFAULT_TXN_ISOLATION, 0),
    mask(SQL_TXN_ISOLATION_OPTION, 0),
    mask(SQL_ASYNC_MODE, SQL_AM_NONE),
    small(SQL_MAX_ASYNC_CONCURRENT_STATEMENTS, 0),
    mask(SQL_ASYNC_DBC_FUNCTIONS, SQL_ASYNC_DBC_NOT_CAPABLE),
    mask(SQL_BATCH_SUPPORT, 0),
    mask(SQL_BATCH_ROW_COUNT, 0),
    mask(SQL_PARAM_ARRAY_ROW_COUNTS, SQL_PARC_NO_BATCH),
    mask(SQL_PARAM_ARRAY_SELECTS, SQL_PAS_NO_SELECT),
    small(SQL_MAX_CONCURRENT_ACTIVITIES, 0),
    small(SQL_MAX_DRIVER_CONNECTIONS, 0),
    mask(SQL_ACTIVE_ENVIRONMENTS, 0),
    small(SQL_FILE_USAGE, SQL_FILE_NOT_SUPPORTED),
    mask(SQL_DRIVER_AWARE_POOLING_SUPPORTED, SQL_DRIVER_AWARE_POOLING_NOT_CAPABLE),
    // Names and SQL.
    small(SQL_IDENTIFIER_CASE, SQL_IC_MIXED),
    small(SQL_QUOTED_IDENTIFIER_CASE, SQL_IC_MIXED),
    small(SQL_CATALOG_LOCATION, 0),
    mask(SQL_CATALOG_USAGE, 0),
    mask(SQL_SCHEMA_USAGE, 0),
    small(SQL_NULL_COLLATION, SQL_NC_LOW),
    small(SQL_CONCAT_NULL_BEHAVIOR, SQL_CB_NULL),
    small(SQL_CORRELATION_NAME, SQL_CN_NONE),
    small(SQL_NON_NULLABLE_COLUMNS, SQL_NNC_NON_NULL),
    small(SQL_GROUP_BY, SQL_GB_NOT_SUPPORTED),
    mask(SQL_OJ_CAPABILITIES, 0),
    mask(SQL_SUBQUERIES, 0),
    mask(SQL_UNION, 0),
    mask(SQL_INDEX_KEYWORDS, SQL_IK_NONE),
    mask(SQL_INFO_SCHEMA_VIEWS, 0),
    mask(SQL_DATETIME_LITERALS, 0),
    mask(SQL_SQL92_PREDICATES, SQL_SP_BETWEEN | SQL_SP_COMPARISON | SQL_SP_IN | SQL_SP_ISNULL |
                                   SQL_SP_ISNOTNULL | SQL_SP_LIKE),
    mask(SQL_SQL92_DATETIME_FUNCTIONS, 0),
    mask(SQL_SQL92_FOREIGN_KEY_DELETE_RULE, 0),
    mask(SQL_SQL92_FOREIGN_KEY_UPDATE_RULE, 0),
    mask(SQL_SQL92_GRANT, 0),
    mask(SQL_SQL92_NUMERIC_VALUE_FUNCTIONS, 0),
    mask(SQL_SQL92_RELATIONAL_JOIN_OPERATORS, 0),
    mask(SQL_SQL92_REVOKE, 0),
    mask(SQL_SQL92_ROW_VALUE_CONSTRUCTOR, 0),
    mask(SQL_SQL92_STRING_FUNCTIONS, 0),
    mask(SQL_SQL92_VALUE_EXPRESSIONS, 0),
    mask(SQL_AGGREGATE_FUNCTIONS, 0),
    mask(SQL_NUMERIC_FUNCTIONS, 0),
    mask(SQL_STRING_FUNCTIONS, 0),
    mask(SQL_SYSTEM_FUNCTIONS, 0),
    mask(SQL_TIMEDATE_FUNCTIONS, 0),
    mask(SQL_TIMEDATE_ADD_INTERVALS, 0),
    mask(SQL_TIMEDATE_DIFF_INTERVALS, 0),
    mask(SQL_CONVERT_FUNCTIONS, 0),
    mask(SQL_ALTER_DOMAIN, 0),
    mask(SQL_ALTER_TABLE, 0),
    mask(SQL_CREATE_ASSERTION, 0),
    mask(SQL_CREATE_CHARACTER_SET, 0),
    mask(SQL_CREATE_COLLATION, 0),
    mask(SQL_CREATE_DOMAIN, 0),
    mask(SQL_CREATE_SCHEMA, 0),
    mask(SQL_CREATE_TABLE, 0),
    mask(SQL_CREATE_TRANSLATION, 0),
    mask(SQL_CREATE_VIEW, 0),
    mask(SQL_DROP_ASSERTION, 0),
    mask(SQL_DROP_CHARACTER_SET, 0),
    mask(SQL_DROP_COLLATION, 0),
    mask(SQL_DROP_DOMAIN, 0),
    mask(SQL_DROP_SCHEMA, 0),
    mask(SQL_DROP_TABLE, 0),
    mask(SQL_DROP_TRANSLATION, 0),
    mask(SQL_DROP_VIEW, 0),
    mask(SQL_DDL_INDEX, 0),
    mask(SQL_INSERT_STATEMENT, 0),
    // Limits (0: no fixed limit or not applicable).
    small(SQL_MAX_COLUMN_NAME_LEN, 64),
    small(SQL_MAX_TABLE_NAME_LEN, 64),
    small(SQL_MAX_IDENTIFIER_LEN, 64),
    small(SQL_MAX_CURSOR_NAME_LEN, 0),
    small(SQL_MAX_SCHEMA_NAME_LEN, 0),
    small(SQL_MAX_CATALOG_NAME_LEN, 0),
    small(SQL_MAX_PROCEDURE_NAME_LEN, 0),
    small(SQL_MAX_USER_NAME_LEN, 0),
    small(SQL_MAX_COLUMNS_IN_SELECT, 255),
    small(SQL_MAX_COLUMNS_IN_TABLE, 255),
    small(SQL_MAX_COLUMNS_IN_ORDER_BY, 10),
    small(SQL_MAX_COLUMNS_IN_GROUP_BY, 0),
    small(SQL_MAX_COLUMNS_IN_INDEX, 0),
    small(SQL_MAX_TABLES_IN_SELECT, 1),
    mask(SQL_MAX_ROW_SIZE, 0),
    mask(SQL_MAX_STATEMENT_LEN, 0),
    mask(SQL_MAX_INDEX_SIZE, 0),
    mask(SQL_MAX_BINARY_LITERAL_LEN, 0),
    mask(SQL_MAX_CHAR_LITERAL_LEN, 0),
};

// Every SQL_CONVERT_* type asks about CONVERT(), which is not supported.
bool isConvertInfo(SQLUSMALLINT type) {
    return (type >= SQL_CONVERT_BIGINT && type <= SQL_CONVERT_VARCHAR) ||
           type == SQL_CONVERT_WCHAR || type == SQL_CONVERT_WLONGVARCHAR ||
           type == SQL_CONVERT_WVARCHAR || type == SQL_CONVERT_GUID ||
           type == SQL_CONVERT_INTERVAL_DAY_TIME || type == SQL_CONVERT_INTERVAL_YEAR_MONTH;
}

void putEntry(Diagnostics& diag, const InfoEntry& entry, SQLPOINTER value, SQLSMALLINT bufferLength,
              SQLSMALLINT* stringLength) {
    switch (entry.kind) {
    case InfoKind::Text:
        putString(diag, entry.text, value, bufferLength, stringLength);
        break;
    case InfoKind::Small:
        putFixed(static_cast<SQLUSMALLINT>(entry.number), value, stringLength);
        break;
    case InfoKind::Mask:
        putFixed(entry.number, value, stringLength);
        break;
    }
}

const Connection& requireOpen(const Connection& dbc) {
    if (!dbc.connected())
        throw DriverError(sqlstate::kConnectionNotOpen, "Connection not open.");
    return dbc;
}

// Answers that depend on the open connection; false when `type` is not one.
bool putConnectionInfo(Connection& dbc, SQLUSMALLINT type, SQLPOINTER value,
                       SQLSMALLINT bufferLength, SQLSMALLINT* stringLength) {
    switch (type) {
    case SQL_DBMS_VER:
        putString(dbc.diag, requireOpen(dbc).fileVersion, value, bufferLength, stringLength);
        return true;
    case SQL_DATABASE_NAME:
        putString(dbc.diag, requireOpen(dbc).database->path(), value, bufferLength, stringLength);
        return true;
    case SQL_DATA_SOURCE_NAME:
        putString(dbc.diag, dbc.dataSourceName, value, bufferLength, stringLength);
        return true;
    case SQL_USER_NAME:
        putString(dbc.diag, dbc.userName.empty() ? std::string("admin") : dbc.userName, value,
                  bufferLength, stringLength);
        return true;
    case SQL_DRIVER_HENV:
        putFixed(reinterpret_cast<SQLULEN>(&dbc.environment), value, stringLength);
        return true;
    case SQL_DRIVER_HDBC:
        putFixed(reinterpret_cast<SQLULEN>(&dbc), value, stringLength);
        return true;
    default:
        return false;
    }
}

} // namespace

SQLRETURN getInfo(SQLHDBC handle, SQLUSMALLINT infoType, SQLPOINTER value, SQLSMALLINT bufferLength,
                  SQLSMALLINT* stringLength) noexcept {
    return dispatch<Connection>(handle, [&](Connection& dbc) -> SQLRETURN {
        if (putConnectionInfo(dbc, infoType, value, bufferLength, stringLength))
            return SQL_SUCCESS;
        for (const InfoEntry& entry : kFixedInfo) {
            if (entry.type == infoType) {
                putEntry(dbc.diag, entry, value, bufferLength, stringLength);
                return SQL_SUCCESS;
            }
        }
        if (isConvertInfo(infoType)) {
            putFixed<SQLUINTEGER>(0, value, stringLength);
            return SQL_SUCCESS;
        }
        throw DriverError(sqlstate::kInvalidInfoType, "Information type " +
                                                          std::to_string(infoType) +
                                                          " is not known to the driver.");
    });
}

SQLRETURN getFunctions(SQLHDBC handle, SQLUSMALLINT function, SQLUSMALLINT* supported) noexcept {
    return dispatch<Connection>(handle, [&](Connection&) -> SQLRETURN {
        if (supported == nullptr)
            throw DriverError(sqlstate::kInvalidUseOfNullPointer, "Invalid use of null pointer.");
        if (function == SQL_API_ODBC3_ALL_FUNCTIONS) {
            std::fill(supported, supported + SQL_API_ODBC3_ALL_FUNCTIONS_SIZE, SQLUSMALLINT{0});
            for (SQLUSMALLINT id : kImplementedFunctions)
                supported[id >> 4] =
                    static_cast<SQLUSMALLINT>(supported[id >> 4] | (1U << (id & 0xF)));
            return SQL_SUCCESS;
        }
        if (function == SQL_API_ALL_FUNCTIONS) {
            // The ODBC 2 form: a flag per function below 100.
            std::fill(supported, supported + 100, SQLUSMALLINT{SQL_FALSE});
            for (SQLUSMALLINT id : kImplementedFunctions)
                if (id < 100)
                    supported[id] = SQL_TRUE;
            return SQL_SUCCESS;
        }
        *supported = SQL_FALSE;
        for (SQLUSMALLINT id : kImplementedFunctions)
            if (id == function)
                *supported = SQL_TRUE;
        return SQL_SUCCESS;
    });
}

} // namespace kelvara::driver::odbc
