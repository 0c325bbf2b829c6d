// Statements: preparing and executing SELECTs, describing and fetching their
// results, catalog functions and statement attributes.
#include "driver/odbc/api.hpp"
#include "driver/odbc/catalog.hpp"
#include "driver/odbc/conversion.hpp"
#include "driver/odbc/dispatch.hpp"
#include "driver/odbc/output.hpp"
#include "driver/odbc/query_result.hpp"

#include <cstring>
#include <string>

namespace kelvara::driver::odbc {
namespace {

[[noreturn]] void sequenceError() {
    throw DriverError(sqlstate::kFunctionSequenceError, "Function sequence error.");
}

// Statement text is required: a null pointer is an error, not an empty text.
std::string statementText(const SQLCHAR* text, SQLINTEGER length) {
    if (text == nullptr)
        throw DriverError(sqlstate::kInvalidUseOfNullPointer, "Invalid use of null pointer.");
    return inputText(text, length);
}

std::optional<std::string> catalogArgument(const SQLCHAR* text, SQLSMALLINT length) {
    if (text == nullptr)
        return std::nullopt;
    return inputText(text, length);
}

bool odbc2(const Statement& stmt) {
    return stmt.connection.odbcVersion() == SQL_OV_ODBC2;
}

Database& databaseOf(Statement& stmt) {
    if (!stmt.connection.connected())
        throw DriverError(sqlstate::kConnectionNotOpen, "Connection not open.");
    return *stmt.connection.database;
}

void closeCursorOf(Statement& stmt) {
    stmt.hasRow = false;
    stmt.rowNumber = 0;
    if (stmt.state != Statement::State::Executed)
        return;
    if (stmt.prepared) {
        stmt.state = Statement::State::Prepared;
    } else {
        stmt.state = Statement::State::Allocated;
        stmt.result.reset();
    }
}

void requireNoCursor(const Statement& stmt) {
    if (stmt.cursorOpen())
        throw DriverError(sqlstate::kInvalidCursorState,
                          "Invalid cursor state: a result set is still open.");
}

// Runs a result that is ready: positions before its first row.
void openCursor(Statement& stmt) {
    stmt.result->start();
    stmt.state = Statement::State::Executed;
    stmt.hasRow = false;
    stmt.rowNumber = 0;
    const std::size_t count = stmt.result->columns().size();
    stmt.pieces.resize(count);
    for (auto& piece : stmt.pieces)
        piece.row = ~std::uint64_t{0};
}

void prepareText(Statement& stmt, const std::string& text) {
    requireNoCursor(stmt);
    stmt.result.reset();
    stmt.state = Statement::State::Allocated;
    stmt.prepared = false;
    stmt.statementText = text;
    stmt.result = prepareQuery(databaseOf(stmt), text);
    stmt.state = Statement::State::Prepared;
}

void runCatalog(Statement& stmt, std::unique_ptr<ResultSet> result) {
    stmt.result = std::move(result);
    stmt.prepared = false;
    openCursor(stmt);
}

const ResultColumn& resultColumn(const Statement& stmt, SQLUSMALLINT column) {
    if (stmt.state == Statement::State::Allocated || !stmt.result)
        sequenceError();
    const auto& columns = stmt.result->columns();
    if (column < 1 || column > columns.size())
        throw DriverError(sqlstate::kInvalidDescriptorIndex, "Invalid descriptor index: column " +
                                                                 std::to_string(column) +
                                                                 " does not exist.");
    return columns[column - 1u];
}

PieceState& pieceFor(Statement& stmt, std::size_t index) {
    PieceState& piece = stmt.pieces[index];
    if (piece.row != stmt.rowNumber) {
        piece.row = stmt.rowNumber;
        piece.offset = 0;
        piece.formatted = false;
        piece.finished = false;
        piece.cType = 0;
    }
    return piece;
}

// Fills the bound columns of the current row; true when any was cut.
void fillBoundColumns(Statement& stmt) {
    const auto& columns = stmt.result->columns();
    const SQLLEN offset = stmt.bindOffset != nullptr ? *stmt.bindOffset : 0;
    for (std::size_t i = 0; i < stmt.bindings.size() && i < columns.size(); ++i) {
        const ColumnBinding& binding = stmt.bindings[i];
        if (binding.cType == 0)
            continue;
        PieceState& piece = pieceFor(stmt, i);
        auto* target =
            binding.target != nullptr ? static_cast<char*>(binding.target) + offset : nullptr;
        auto* indicator =
            binding.indicator != nullptr
                ? reinterpret_cast<SQLLEN*>(reinterpret_cast<char*>(binding.indicator) + offset)
                : nullptr;
        convertValue(stmt.diag, stmt.result->value(i), columns[i], binding.cType, piece, target,
                     binding.bufferLength, indicator);
        // SQLGetData on a bound column starts its value afresh.
        piece.row = ~std::uint64_t{0};
    }
}

SQLRETURN fetchNext(Statement& stmt) {
    if (!stmt.cursorOpen())
        sequenceError();
    const bool limitReached = stmt.maxRows != 0 && stmt.rowNumber >= stmt.maxRows;
    if (limitReached || !stmt.result->next()) {
        stmt.hasRow = false;
        if (stmt.rowsFetched != nullptr)
            *stmt.rowsFetched = 0;
        return SQL_NO_DATA;
    }
    ++stmt.rowNumber;
    stmt.hasRow = true;
    if (!stmt.bindings.empty())
        fillBoundColumns(stmt);
    if (stmt.rowsFetched != nullptr)
        *stmt.rowsFetched = 1;
    if (stmt.rowStatus != nullptr)
        stmt.rowStatus[0] = stmt.diag.empty() ? SQL_ROW_SUCCESS : SQL_ROW_SUCCESS_WITH_INFO;
    return SQL_SUCCESS;
}

SQLLEN numberOf(const ResultColumn& column, SQLUSMALLINT field, bool odbc2Types) {
    const SqlTypeInfo& t = column.type;
    const short sqlType = presentedSqlType(t.sqlType, odbc2Types);
    const bool datetime = sqlType == SQL_TYPE_TIMESTAMP || sqlType == SQL_TIMESTAMP;
    switch (field) {
    case SQL_DESC_TYPE:
        return datetime && !odbc2Types ? SQL_DATETIME : sqlType;
    case SQL_DESC_CONCISE_TYPE: // also SQL_COLUMN_TYPE
        return sqlType;
    case SQL_DESC_DATETIME_INTERVAL_CODE:
        return datetime ? SQL_CODE_TIMESTAMP : 0;
    case SQL_DESC_LENGTH:
    case SQL_COLUMN_PRECISION:
        return static_cast<SQLLEN>(t.columnSize);
    case SQL_DESC_PRECISION:
        return datetime ? t.decimalDigits : static_cast<SQLLEN>(t.columnSize);
    case SQL_DESC_SCALE:
    case SQL_COLUMN_SCALE:
        return t.decimalDigits;
    case SQL_DESC_DISPLAY_SIZE:
        return t.displaySize;
    case SQL_DESC_OCTET_LENGTH:
    case SQL_COLUMN_LENGTH:
        return t.octetLength;
    case SQL_DESC_NULLABLE:
    case SQL_COLUMN_NULLABLE:
        return column.nullable ? SQL_NULLABLE : SQL_NO_NULLS;
    case SQL_DESC_UNSIGNED:
        return t.isUnsigned || t.numPrecRadix == 0 ? SQL_TRUE : SQL_FALSE;
    case SQL_DESC_AUTO_UNIQUE_VALUE:
        return column.autoUnique ? SQL_TRUE : SQL_FALSE;
    case SQL_DESC_CASE_SENSITIVE:
        return t.caseSensitive ? SQL_TRUE : SQL_FALSE;
    case SQL_DESC_SEARCHABLE:
        return t.searchable;
    case SQL_DESC_UPDATABLE:
        return SQL_ATTR_READONLY;
    case SQL_DESC_FIXED_PREC_SCALE:
        return column.kind == ColumnKind::Money ? SQL_TRUE : SQL_FALSE;
    case SQL_DESC_NUM_PREC_RADIX:
        return t.numPrecRadix;
    case SQL_DESC_UNNAMED:
        return column.name.empty() ? SQL_UNNAMED : SQL_NAMED;
    default:
        throw DriverError(sqlstate::kInvalidDescriptorFieldIdentifier,
                          "Invalid descriptor field identifier.");
    }
}

// The text answer of SQLColAttribute, or nullptr when `field` is numeric.
const char* textOf(const ResultColumn& column, SQLUSMALLINT field, std::string& scratch) {
    const SqlTypeInfo& t = column.type;
    switch (field) {
    case SQL_DESC_NAME:
    case SQL_COLUMN_NAME:
    case SQL_DESC_LABEL:
    case SQL_DESC_BASE_COLUMN_NAME:
        return column.name.c_str();
    case SQL_DESC_TABLE_NAME:
    case SQL_DESC_BASE_TABLE_NAME:
        return column.tableName.c_str();
    case SQL_DESC_TYPE_NAME:
    case SQL_DESC_LOCAL_TYPE_NAME:
        return t.typeName;
    case SQL_DESC_SCHEMA_NAME:
    case SQL_DESC_CATALOG_NAME:
        return "";
    case SQL_DESC_LITERAL_PREFIX:
    case SQL_DESC_LITERAL_SUFFIX:
        switch (column.kind) {
        case ColumnKind::Text:
        case ColumnKind::Memo:
            return "'";
        case ColumnKind::DateTime:
            return "#";
        case ColumnKind::Binary:
        case ColumnKind::Ole:
            scratch = field == SQL_DESC_LITERAL_PREFIX ? "0x" : "";
            return scratch.c_str();
        default:
            return "";
        }
    default:
        return nullptr;
    }
}

} // namespace

SQLRETURN setStmtAttr(SQLHSTMT handle, SQLINTEGER attribute, SQLPOINTER value,
                      SQLINTEGER) noexcept {
    return dispatch<Statement>(handle, [&](Statement& stmt) -> SQLRETURN {
        const auto number = static_cast<SQLULEN>(reinterpret_cast<std::uintptr_t>(value));
        // Values the driver cannot honour are replaced by the one it can,
        // with 01S02, as ODBC prescribes.
        const auto keep = [&](bool supported, const char* what) -> SQLRETURN {
            if (!supported)
                stmt.diag.add(sqlstate::kOptionValueChanged,
                              std::string("Option value changed: ") + what);
            return SQL_SUCCESS;
        };
        switch (attribute) {
        case SQL_ATTR_QUERY_TIMEOUT:
            // Kept so that it reads back; reading a local file is not cut short.
            stmt.queryTimeout = number;
            return SQL_SUCCESS;
        case SQL_ATTR_MAX_ROWS:
            stmt.maxRows = number;
            return SQL_SUCCESS;
        case SQL_ATTR_MAX_LENGTH:
            stmt.maxLength = number;
            return SQL_SUCCESS;
        case SQL_ATTR_NOSCAN:
            stmt.noScan = number;
            return SQL_SUCCESS;
        case SQL_ATTR_METADATA_ID:
            stmt.metadataId = number;
            return SQL_SUCCESS;
        case SQL_ATTR_CURSOR_TYPE:
            return keep(number == SQL_CURSOR_FORWARD_ONLY, "cursors are forward-only.");
        case SQL_ATTR_CONCURRENCY:
            return keep(number == SQL_CONCUR_READ_ONLY, "cursors are read-only.");
        case SQL_ATTR_CURSOR_SCROLLABLE:
            return keep(number == SQL_NONSCROLLABLE, "cursors are not scrollable.");
        case SQL_ATTR_CURSOR_SENSITIVITY:
            return keep(number != SQL_SENSITIVE, "cursors are insensitive.");
        case SQL_ATTR_ROW_ARRAY_SIZE:
        case SQL_ROWSET_SIZE:
            return keep(number == 1, "one row is fetched at a time.");
        case SQL_ATTR_ROW_BIND_TYPE:
            stmt.rowBindType = number;
            return SQL_SUCCESS;
        case SQL_ATTR_ROWS_FETCHED_PTR:
            stmt.rowsFetched = static_cast<SQLULEN*>(value);
            return SQL_SUCCESS;
        case SQL_ATTR_ROW_STATUS_PTR:
            stmt.rowStatus = static_cast<SQLUSMALLINT*>(value);
            return SQL_SUCCESS;
        case SQL_ATTR_ROW_BIND_OFFSET_PTR:
            stmt.bindOffset = static_cast<SQLLEN*>(value);
            return SQL_SUCCESS;
        case SQL_ATTR_RETRIEVE_DATA:
            return keep(number == SQL_RD_ON, "data is always retrieved.");
        case SQL_ATTR_USE_BOOKMARKS:
            return keep(number == SQL_UB_OFF, "bookmarks are not supported.");
        case SQL_ATTR_ASYNC_ENABLE:
            return keep(number == SQL_ASYNC_ENABLE_OFF, "execution is synchronous.");
        case SQL_ATTR_ENABLE_AUTO_IPD:
            return keep(number == SQL_FALSE, "parameters are not described.");
        case SQL_ATTR_SIMULATE_CURSOR:
        case SQL_ATTR_KEYSET_SIZE:
        case SQL_ATTR_PARAMSET_SIZE:
        case SQL_ATTR_PARAM_BIND_TYPE:
        case SQL_ATTR_PARAM_BIND_OFFSET_PTR:
        case SQL_ATTR_PARAM_OPERATION_PTR:
        case SQL_ATTR_PARAM_STATUS_PTR:
        case SQL_ATTR_PARAMS_PROCESSED_PTR:
        case SQL_ATTR_ROW_OPERATION_PTR:
            throw DriverError(sqlstate::kOptionalFeatureNotImplemented,
                              "Optional feature not implemented.");
        default:
            throw DriverError(sqlstate::kInvalidAttributeIdentifier,
                              "Invalid attribute identifier.");
        }
    });
}

SQLRETURN getStmtAttr(SQLHSTMT handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER,
                      SQLINTEGER* stringLength) noexcept {
    return dispatch<Statement>(handle, [&](Statement& stmt) -> SQLRETURN {
        SQLULEN number = 0;
        switch (attribute) {
        case SQL_ATTR_QUERY_TIMEOUT:
            number = stmt.queryTimeout;
            break;
        case SQL_ATTR_MAX_ROWS:
            number = stmt.maxRows;
            break;
        case SQL_ATTR_MAX_LENGTH:
            number = stmt.maxLength;
            break;
        case SQL_ATTR_NOSCAN:
            number = stmt.noScan;
            break;
        case SQL_ATTR_METADATA_ID:
            number = stmt.metadataId;
            break;
        case SQL_ATTR_CURSOR_TYPE:
            number = SQL_CURSOR_FORWARD_ONLY;
            break;
        case SQL_ATTR_CONCURRENCY:
            number = SQL_CONCUR_READ_ONLY;
            break;
        case SQL_ATTR_CURSOR_SCROLLABLE:
            number = SQL_NONSCROLLABLE;
            break;
        case SQL_ATTR_CURSOR_SENSITIVITY:
            number = SQL_INSENSITIVE;
            break;
        case SQL_ATTR_ROW_ARRAY_SIZE:
        case SQL_ROWSET_SIZE:
            number = 1;
            break;
        case SQL_ATTR_ROW_BIND_TYPE:
            number = stmt.rowBindType;
            break;
        case SQL_ATTR_RETRIEVE_DATA:
            number = SQL_RD_ON;
            break;
        case SQL_ATTR_USE_BOOKMARKS:
            number = SQL_UB_OFF;
            break;
        case SQL_ATTR_ASYNC_ENABLE:
            number = SQL_ASYNC_ENABLE_OFF;
            break;
        case SQL_ATTR_ENABLE_AUTO_IPD:
            number = SQL_FALSE;
            break;
        case SQL_ATTR_PARAMSET_SIZE:
            number = 1;
            break;
        case SQL_ATTR_ROW_NUMBER:
            if (!stmt.hasRow)
                throw DriverError(sqlstate::kInvalidCursorState,
                                  "Invalid cursor state: no current row.");
            number = stmt.rowNumber;
            break;
        case SQL_ATTR_ROWS_FETCHED_PTR:
            putFixed(static_cast<SQLPOINTER>(stmt.rowsFetched), value, stringLength);
            return SQL_SUCCESS;
        case SQL_ATTR_ROW_STATUS_PTR:
            putFixed(static_cast<SQLPOINTER>(stmt.rowStatus), value, stringLength);
            return SQL_SUCCESS;
        case SQL_ATTR_ROW_BIND_OFFSET_PTR:
            putFixed(static_cast<SQLPOINTER>(stmt.bindOffset), value, stringLength);
            return SQL_SUCCESS;
        case SQL_ATTR_APP_ROW_DESC:
        case SQL_ATTR_APP_PARAM_DESC:
        case SQL_ATTR_IMP_ROW_DESC:
        case SQL_ATTR_IMP_PARAM_DESC:
            throw DriverError(sqlstate::kOptionalFeatureNotImplemented,
                              "Descriptors are not supported.");
        default:
            throw DriverError(sqlstate::kInvalidAttributeIdentifier,
                              "Invalid attribute identifier.");
        }
        putFixed(number, value, stringLength);
        return SQL_SUCCESS;
    });
}

SQLRETURN prepare(SQLHSTMT handle, SQLCHAR* text, SQLINTEGER length) noexcept {
    return dispatch<Statement>(handle, [&](Statement& stmt) -> SQLRETURN {
        prepareText(stmt, statementText(text, length));
        stmt.prepared = true;
        return SQL_SUCCESS;
    });
}

SQLRETURN execute(SQLHSTMT handle) noexcept {
    return dispatch<Statement>(handle, [&](Statement& stmt) -> SQLRETURN {
        requireNoCursor(stmt);
        if (stmt.state != Statement::State::Prepared || !stmt.prepared)
            sequenceError();
        openCursor(stmt);
        return SQL_SUCCESS;
    });
}

SQLRETURN execDirect(SQLHSTMT handle, SQLCHAR* text, SQLINTEGER length) noexcept {
    return dispatch<Statement>(handle, [&](Statement& stmt) -> SQLRETURN {
        prepareText(stmt, statementText(text, length));
        openCursor(stmt);
        return SQL_SUCCESS;
    });
}

SQLRETURN numResultCols(SQLHSTMT handle, SQLSMALLINT* count) noexcept {
    return dispatch<Statement>(handle, [&](Statement& stmt) -> SQLRETURN {
        if (stmt.state == Statement::State::Allocated || !stmt.result)
            sequenceError();
        if (count != nullptr)
            *count = static_cast<SQLSMALLINT>(stmt.result->columns().size());
        return SQL_SUCCESS;
    });
}

SQLRETURN describeCol(SQLHSTMT handle, SQLUSMALLINT column, SQLCHAR* name, SQLSMALLINT bufferLength,
                      SQLSMALLINT* nameLength, SQLSMALLINT* dataType, SQLULEN* columnSize,
                      SQLSMALLINT* decimalDigits, SQLSMALLINT* nullable) noexcept {
    return dispatch<Statement>(handle, [&](Statement& stmt) -> SQLRETURN {
        const ResultColumn& c = resultColumn(stmt, column);
        putString(stmt.diag, c.name, name, bufferLength, nameLength);
        if (dataType != nullptr)
            *dataType = presentedSqlType(c.type.sqlType, odbc2(stmt));
        if (columnSize != nullptr)
            *columnSize = c.type.columnSize;
        if (decimalDigits != nullptr)
            *decimalDigits = c.type.decimalDigits;
        if (nullable != nullptr)
            *nullable = c.nullable ? SQL_NULLABLE : SQL_NO_NULLS;
        return SQL_SUCCESS;
    });
}

SQLRETURN colAttribute(SQLHSTMT handle, SQLUSMALLINT column, SQLUSMALLINT field, SQLPOINTER text,
                       SQLSMALLINT bufferLength, SQLSMALLINT* textLength, SQLLEN* number) noexcept {
    return dispatch<Statement>(handle, [&](Statement& stmt) -> SQLRETURN {
        if (field == SQL_DESC_COUNT || field == SQL_COLUMN_COUNT) {
            if (stmt.state == Statement::State::Allocated || !stmt.result)
                sequenceError();
            if (number != nullptr)
                *number = static_cast<SQLLEN>(stmt.result->columns().size());
            return SQL_SUCCESS;
        }
        const ResultColumn& c = resultColumn(stmt, column);
        std::string scratch;
        if (const char* answer = textOf(c, field, scratch)) {
            putString(stmt.diag, answer, text, bufferLength, textLength);
            return SQL_SUCCESS;
        }
        const SQLLEN value = numberOf(c, field, odbc2(stmt));
        if (number != nullptr)
            *number = value;
        return SQL_SUCCESS;
    });
}

SQLRETURN bindCol(SQLHSTMT handle, SQLUSMALLINT column, SQLSMALLINT cType, SQLPOINTER target,
                  SQLLEN bufferLength, SQLLEN* indicator) noexcept {
    return dispatch<Statement>(handle, [&](Statement& stmt) -> SQLRETURN {
        if (column == 0)
            throw DriverError(sqlstate::kInvalidDescriptorIndex,
                              "Bookmark columns are not supported.");
        if (bufferLength < 0)
            throw DriverError(sqlstate::kInvalidStringOrBufferLength,
                              "Invalid string or buffer length.");
        if (stmt.bindings.size() < column)
            stmt.bindings.resize(column);
        ColumnBinding& binding = stmt.bindings[column - 1u];
        if (target == nullptr && indicator == nullptr) {
            binding = ColumnBinding{};
            return SQL_SUCCESS;
        }
        if (!isSupportedCType(cType))
            throw DriverError(sqlstate::kOptionalFeatureNotImplemented,
                              "Binding to C type " + std::to_string(cType) + " is not supported.");
        binding = ColumnBinding{cType, target, bufferLength, indicator};
        return SQL_SUCCESS;
    });
}

SQLRETURN fetch(SQLHSTMT handle) noexcept {
    return dispatch<Statement>(handle,
                               [&](Statement& stmt) -> SQLRETURN { return fetchNext(stmt); });
}

SQLRETURN fetchScroll(SQLHSTMT handle, SQLSMALLINT orientation, SQLLEN) noexcept {
    return dispatch<Statement>(handle, [&](Statement& stmt) -> SQLRETURN {
        if (orientation != SQL_FETCH_NEXT)
            throw DriverError(sqlstate::kFetchTypeOutOfRange,
                              "Fetch type out of range: cursors are forward-only.");
        return fetchNext(stmt);
    });
}

SQLRETURN getData(SQLHSTMT handle, SQLUSMALLINT column, SQLSMALLINT cType, SQLPOINTER target,
                  SQLLEN bufferLength, SQLLEN* indicator) noexcept {
    return dispatch<Statement>(handle, [&](Statement& stmt) -> SQLRETURN {
        if (!stmt.cursorOpen())
            sequenceError();
        if (!stmt.hasRow)
            throw DriverError(sqlstate::kInvalidCursorState,
                              "Invalid cursor state: no current row.");
        const ResultColumn& c = resultColumn(stmt, column);
        if (target == nullptr)
            throw DriverError(sqlstate::kInvalidUseOfNullPointer, "Invalid use of null pointer.");
        const std::size_t index = column - 1u;
        return convertValue(stmt.diag, stmt.result->value(index), c, cType, pieceFor(stmt, index),
                            target, bufferLength, indicator);
    });
}

SQLRETURN freeStmt(SQLHSTMT handle, SQLUSMALLINT option) noexcept {
    if (option == SQL_DROP)
        return freeHandle(SQL_HANDLE_STMT, handle);
    return dispatch<Statement>(handle, [&](Statement& stmt) -> SQLRETURN {
        switch (option) {
        case SQL_CLOSE:
            closeCursorOf(stmt);
            return SQL_SUCCESS;
        case SQL_UNBIND:
            stmt.bindings.clear();
            return SQL_SUCCESS;
        case SQL_RESET_PARAMS:
            return SQL_SUCCESS; // there are never parameters
        default:
            throw DriverError(sqlstate::kInvalidAttributeIdentifier, "Option type out of range.");
        }
    });
}

SQLRETURN closeCursor(SQLHSTMT handle) noexcept {
    return dispatch<Statement>(handle, [&](Statement& stmt) -> SQLRETURN {
        if (!stmt.cursorOpen())
            throw DriverError(sqlstate::kInvalidCursorState,
                              "Invalid cursor state: no cursor is open.");
        closeCursorOf(stmt);
        return SQL_SUCCESS;
    });
}

SQLRETURN rowCount(SQLHSTMT handle, SQLLEN* count) noexcept {
    return dispatch<Statement>(handle, [&](Statement& stmt) -> SQLRETURN {
        if (stmt.state != Statement::State::Executed)
            sequenceError();
        // SELECTs change no rows, and their length is not known in advance.
        if (count != nullptr)
            *count = -1;
        return SQL_SUCCESS;
    });
}

SQLRETURN moreResults(SQLHSTMT handle) noexcept {
    return dispatch<Statement>(handle, [&](Statement& stmt) -> SQLRETURN {
        closeCursorOf(stmt);
        return SQL_NO_DATA;
    });
}

SQLRETURN cancel(SQLHSTMT handle) noexcept {
    // Nothing ever runs in the background, so there is nothing to stop.
    return dispatch<Statement>(handle, [](Statement&) -> SQLRETURN { return SQL_SUCCESS; });
}

SQLRETURN numParams(SQLHSTMT handle, SQLSMALLINT* count) noexcept {
    return dispatch<Statement>(handle, [&](Statement& stmt) -> SQLRETURN {
        if (stmt.state == Statement::State::Allocated)
            sequenceError();
        if (count != nullptr)
            *count = 0;
        return SQL_SUCCESS;
    });
}

SQLRETURN tables(SQLHSTMT handle, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                 SQLSMALLINT schemaLength, SQLCHAR* table, SQLSMALLINT tableLength,
                 SQLCHAR* tableType, SQLSMALLINT tableTypeLength) noexcept {
    return dispatch<Statement>(handle, [&](Statement& stmt) -> SQLRETURN {
        requireNoCursor(stmt);
        const CatalogArgs args{
            catalogArgument(catalog, catalogLength), catalogArgument(schema, schemaLength),
            catalogArgument(table, tableLength), catalogArgument(tableType, tableTypeLength)};
        runCatalog(stmt, listTables(databaseOf(stmt), args));
        return SQL_SUCCESS;
    });
}

SQLRETURN columns(SQLHSTMT handle, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                  SQLSMALLINT schemaLength, SQLCHAR* table, SQLSMALLINT tableLength,
                  SQLCHAR* column, SQLSMALLINT columnLength) noexcept {
    return dispatch<Statement>(handle, [&](Statement& stmt) -> SQLRETURN {
        requireNoCursor(stmt);
        const CatalogArgs args{
            catalogArgument(catalog, catalogLength), catalogArgument(schema, schemaLength),
            catalogArgument(table, tableLength), catalogArgument(column, columnLength)};
        runCatalog(stmt, listColumns(databaseOf(stmt), args, odbc2(stmt)));
        return SQL_SUCCESS;
    });
}

SQLRETURN getTypeInfo(SQLHSTMT handle, SQLSMALLINT dataType) noexcept {
    return dispatch<Statement>(handle, [&](Statement& stmt) -> SQLRETURN {
        requireNoCursor(stmt);
        runCatalog(stmt, listTypes(dataType, odbc2(stmt)));
        return SQL_SUCCESS;
    });
}

} // namespace kelvara::driver::odbc
