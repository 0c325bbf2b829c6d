#pragma once

#include <sql.h>

#include <string>
#include <vector>

namespace kelvara::odbc {

class CDatabase;

struct ColumnDescription {
    std::string name;
    SQLSMALLINT sqlType = 0;
    SQLULEN precision = 0; // the column size
    SQLSMALLINT scale = 0;
    SQLSMALLINT nullable = SQL_NULLABLE_UNKNOWN;
};

// A forward-only, read-only result set read column by column as text, with
// nothing bound.
class CRecordset {
public:
    explicit CRecordset(CDatabase* database);
    ~CRecordset();
    CRecordset(const CRecordset&) = delete;
    CRecordset& operator=(const CRecordset&) = delete;

    // Executes `statement` (square brackets turned into the driver's quote
    // character) and fetches the first row. Throws CDBException.
    void Open(const std::string& statement);
    void Close();
    bool IsOpen() const { return m_hstmt != SQL_NULL_HSTMT; }

    short GetODBCFieldCount() const { return m_nColumns; }
    const std::vector<ColumnDescription>& GetColumns() const { return m_columns; }

    // The character form of column `index` (from 0) of the current row, read
    // whole however long it is; a NULL gives the empty text.
    void GetFieldValue(short index, std::string& value);

    void MoveNext();
    bool IsEOF() const { return m_bEOF; }

private:
    void describeColumns();
    void fetch();
    SQLLEN firstBufferSize(const ColumnDescription& column) const;
    SQLRETURN getData(SQLUSMALLINT column, char* buffer, SQLLEN size, SQLLEN* indicator);
    void readRemainder(SQLUSMALLINT column, SQLLEN firstSize, SQLLEN indicator, std::string& value);
    [[noreturn]] void fail(SQLRETURN rc);

    CDatabase* m_pDatabase;
    SQLHSTMT m_hstmt = SQL_NULL_HSTMT;
    short m_nColumns = 0;
    std::vector<ColumnDescription> m_columns;
    std::vector<char> m_buffer;
    bool m_bEOF = true;
};

} // namespace kelvara::odbc
