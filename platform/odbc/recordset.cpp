#include "platform/odbc/recordset.hpp"

#include "platform/odbc/database.hpp"
#include "platform/odbc/odbc_call.hpp"
#include "platform/odbc/statement_text.hpp"

#include <sqlext.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace kelvara::odbc {
namespace {

constexpr SQLULEN kQueryTimeoutSeconds = 15;
constexpr SQLSMALLINT kColumnNameSize = 256;
// Short types are read into a buffer sized from the column; a driver that
// reports an absurd size for one must not make us allocate it up front.
constexpr SQLLEN kLargestFirstBuffer = 64 * 1024;

bool isLongType(SQLSMALLINT type) { return type == SQL_LONGVARCHAR || type == SQL_LONGVARBINARY; }

bool carriesState(const std::vector<DiagnosticRecord>& records, const char* state) {
    return std::any_of(records.begin(), records.end(),
                       [&](const DiagnosticRecord& r) { return r.sqlState == state; });
}

} // namespace

CRecordset::CRecordset(CDatabase* database) : m_pDatabase(database) {}

CRecordset::~CRecordset() { Close(); }

void CRecordset::Open(const std::string& statement) {
    Close();
    if (m_pDatabase == nullptr || !m_pDatabase->IsOpen()) {
        throwLayerError();
    }
    if (!succeeded(SQLAllocStmt(m_pDatabase->m_hdbc, &m_hstmt))) {
        m_hstmt = SQL_NULL_HSTMT;
        throwLayerError();
    }
    try {
        if (m_pDatabase->m_bQueryTimeoutSupported) {
            const SQLRETURN rc = callOdbc(
                [&] { return SQLSetStmtOption(m_hstmt, SQL_QUERY_TIMEOUT, kQueryTimeoutSeconds); });
            if (!succeeded(rc)) {
                m_pDatabase->m_bQueryTimeoutSupported = false;
            }
        }
        std::string text = rewriteBrackets(statement, m_pDatabase->GetIdentifierQuoteChar());
        const HandleSet handles{m_pDatabase->m_henv, m_pDatabase->m_hdbc, m_hstmt};
        checkedCall(handles, [&] {
            return SQLPrepare(m_hstmt, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS);
        });
        checkedCall(handles, [&] { return SQLExecute(m_hstmt); });
        describeColumns();
        m_bEOF = false;
        fetch();
    } catch (...) {
        Close();
        throw;
    }
}

void CRecordset::describeColumns() {
    const HandleSet handles{m_pDatabase->m_henv, m_pDatabase->m_hdbc, m_hstmt};
    SQLSMALLINT count = 0;
    checkedCall(handles, [&] { return SQLNumResultCols(m_hstmt, &count); });
    m_nColumns = count;
    m_columns.assign(static_cast<std::size_t>(std::max<SQLSMALLINT>(count, 0)), {});
    for (SQLSMALLINT i = 0; i < count; ++i) {
        std::array<SQLCHAR, kColumnNameSize> name{};
        SQLSMALLINT nameLength = 0;
        auto& column = m_columns[static_cast<std::size_t>(i)];
        checkedCall(handles, [&] {
            return SQLDescribeCol(m_hstmt, static_cast<SQLUSMALLINT>(i + 1), name.data(),
                                  kColumnNameSize, &nameLength, &column.sqlType, &column.precision,
                                  &column.scale, &column.nullable);
        });
        column.name = reinterpret_cast<const char*>(name.data());
    }
}

void CRecordset::fetch() {
    const SQLRETURN rc = callOdbc([&] { return SQLFetch(m_hstmt); });
    if (rc == SQL_NO_DATA) {
        m_bEOF = true;
        return;
    }
    if (rc == SQL_SUCCESS) {
        return;
    }
    if (rc == SQL_SUCCESS_WITH_INFO) {
        // A fetch that truncated data or failed a row is not a row.
        const auto records =
            takeDiagnostics({m_pDatabase->m_henv, m_pDatabase->m_hdbc, m_hstmt});
        if (carriesState(records, "01004") || carriesState(records, "01S01")) {
            throwLayerError(rc);
        }
        return;
    }
    fail(rc);
}

void CRecordset::MoveNext() {
    if (m_bEOF || !IsOpen()) {
        throwLayerError();
    }
    fetch();
}

SQLLEN CRecordset::firstBufferSize(const ColumnDescription& column) const {
    if (isLongType(column.sqlType)) {
        return 1;
    }
    SQLULEN size = column.precision + 1;
    if (column.sqlType == SQL_NUMERIC || column.sqlType == SQL_DECIMAL) {
        size += 2;
    }
    return static_cast<SQLLEN>(std::min<SQLULEN>(size, kLargestFirstBuffer));
}

SQLRETURN CRecordset::getData(SQLUSMALLINT column, char* buffer, SQLLEN size, SQLLEN* indicator) {
    const SQLRETURN rc = callOdbc(
        [&] { return SQLGetData(m_hstmt, column, SQL_C_CHAR, buffer, size, indicator); });
    if (!succeeded(rc)) {
        fail(rc);
    }
    return rc;
}

void CRecordset::GetFieldValue(short index, std::string& value) {
    if (!IsOpen() || m_bEOF || index < 0 || index >= m_nColumns) {
        throwLayerError();
    }
    const auto column = static_cast<SQLUSMALLINT>(index + 1);
    const SQLLEN size = firstBufferSize(m_columns[static_cast<std::size_t>(index)]);
    m_buffer.resize(static_cast<std::size_t>(size));
    SQLLEN indicator = 0;
    getData(column, m_buffer.data(), size, &indicator);
    if (indicator == SQL_NULL_DATA) {
        value.clear();
        return;
    }
    if (indicator >= 0 && indicator < size) {
        value.assign(m_buffer.data(), static_cast<std::size_t>(indicator));
        return;
    }
    value.assign(m_buffer.data(), static_cast<std::size_t>(size - 1));
    readRemainder(column, size, indicator, value);
}

// The value did not fit its first buffer. Long values were expected not to;
// short ones do not when their text takes more bytes than the column has
// characters (accented text in UTF-8, long numbers). Either way the rest is
// read on, sized from the length the driver reported, so nothing is cut.
void CRecordset::readRemainder(SQLUSMALLINT column, SQLLEN firstSize, SQLLEN indicator,
                               std::string& value) {
    constexpr SQLLEN kUnknownLengthChunk = 64 * 1024;
    SQLLEN remaining = indicator == SQL_NO_TOTAL ? kUnknownLengthChunk : indicator - (firstSize - 1);
    for (;;) {
        const SQLLEN size = std::max<SQLLEN>(remaining, 0) + 1;
        m_buffer.resize(static_cast<std::size_t>(size));
        SQLLEN next = 0;
        const SQLRETURN rc = callOdbc([&] {
            return SQLGetData(m_hstmt, column, SQL_C_CHAR, m_buffer.data(), size, &next);
        });
        if (rc == SQL_NO_DATA && remaining <= 0) {
            return;
        }
        if (!succeeded(rc)) {
            fail(rc);
        }
        if (next == SQL_NULL_DATA) {
            return;
        }
        const bool truncated = next == SQL_NO_TOTAL || next >= size;
        const SQLLEN delivered = truncated ? size - 1 : next;
        value.append(m_buffer.data(), static_cast<std::size_t>(delivered));
        if (!truncated) {
            return;
        }
        remaining = next == SQL_NO_TOTAL ? kUnknownLengthChunk : next - delivered;
    }
}

void CRecordset::fail(SQLRETURN rc) {
    throwDatabaseError(rc, {m_pDatabase->m_henv, m_pDatabase->m_hdbc, m_hstmt});
}

void CRecordset::Close() {
    if (m_hstmt != SQL_NULL_HSTMT) {
        SQLFreeStmt(m_hstmt, SQL_DROP);
        m_hstmt = SQL_NULL_HSTMT;
    }
    m_bEOF = true;
    m_nColumns = 0;
    m_columns.clear();
}

} // namespace kelvara::odbc
