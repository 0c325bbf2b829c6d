#pragma once

// The driver's ODBC functions, one per entry point, with the ODBC signatures.
// The exported extern "C" layer forwards to these; everything behind them runs
// through the dispatcher, so none of them throws.

#include <sql.h>
#include <sqlext.h>

namespace kelvara::driver::odbc {

// Handles and environment.
SQLRETURN allocHandle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output) noexcept;
SQLRETURN freeHandle(SQLSMALLINT type, SQLHANDLE handle) noexcept;
SQLRETURN setEnvAttr(SQLHENV env, SQLINTEGER attribute, SQLPOINTER value,
                     SQLINTEGER length) noexcept;
SQLRETURN getEnvAttr(SQLHENV env, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER bufferLength,
                     SQLINTEGER* stringLength) noexcept;

// Diagnostics.
SQLRETURN getDiagRec(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLCHAR* sqlstate,
                     SQLINTEGER* nativeError, SQLCHAR* message, SQLSMALLINT bufferLength,
                     SQLSMALLINT* textLength) noexcept;
SQLRETURN getDiagField(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLSMALLINT field,
                       SQLPOINTER info, SQLSMALLINT bufferLength,
                       SQLSMALLINT* stringLength) noexcept;

// Connections.
SQLRETURN connect(SQLHDBC dbc, SQLCHAR* dsn, SQLSMALLINT dsnLength, SQLCHAR* user,
                  SQLSMALLINT userLength, SQLCHAR* password, SQLSMALLINT passwordLength) noexcept;
SQLRETURN driverConnect(SQLHDBC dbc, SQLHWND window, SQLCHAR* in, SQLSMALLINT inLength,
                        SQLCHAR* out, SQLSMALLINT outMax, SQLSMALLINT* outLength,
                        SQLUSMALLINT completion) noexcept;
SQLRETURN disconnect(SQLHDBC dbc) noexcept;
SQLRETURN setConnectAttr(SQLHDBC dbc, SQLINTEGER attribute, SQLPOINTER value,
                         SQLINTEGER length) noexcept;
SQLRETURN getConnectAttr(SQLHDBC dbc, SQLINTEGER attribute, SQLPOINTER value,
                         SQLINTEGER bufferLength, SQLINTEGER* stringLength) noexcept;
SQLRETURN getInfo(SQLHDBC dbc, SQLUSMALLINT infoType, SQLPOINTER value, SQLSMALLINT bufferLength,
                  SQLSMALLINT* stringLength) noexcept;
SQLRETURN getFunctions(SQLHDBC dbc, SQLUSMALLINT function, SQLUSMALLINT* supported) noexcept;
SQLRETURN nativeSql(SQLHDBC dbc, SQLCHAR* in, SQLINTEGER inLength, SQLCHAR* out, SQLINTEGER outMax,
                    SQLINTEGER* outLength) noexcept;
SQLRETURN endTran(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT completion) noexcept;

// Statements.
SQLRETURN setStmtAttr(SQLHSTMT stmt, SQLINTEGER attribute, SQLPOINTER value,
                      SQLINTEGER length) noexcept;
SQLRETURN getStmtAttr(SQLHSTMT stmt, SQLINTEGER attribute, SQLPOINTER value,
                      SQLINTEGER bufferLength, SQLINTEGER* stringLength) noexcept;
SQLRETURN prepare(SQLHSTMT stmt, SQLCHAR* text, SQLINTEGER length) noexcept;
SQLRETURN execute(SQLHSTMT stmt) noexcept;
SQLRETURN execDirect(SQLHSTMT stmt, SQLCHAR* text, SQLINTEGER length) noexcept;
SQLRETURN numResultCols(SQLHSTMT stmt, SQLSMALLINT* count) noexcept;
SQLRETURN describeCol(SQLHSTMT stmt, SQLUSMALLINT column, SQLCHAR* name, SQLSMALLINT bufferLength,
                      SQLSMALLINT* nameLength, SQLSMALLINT* dataType, SQLULEN* columnSize,
                      SQLSMALLINT* decimalDigits, SQLSMALLINT* nullable) noexcept;
SQLRETURN colAttribute(SQLHSTMT stmt, SQLUSMALLINT column, SQLUSMALLINT field, SQLPOINTER text,
                       SQLSMALLINT bufferLength, SQLSMALLINT* textLength, SQLLEN* number) noexcept;
SQLRETURN bindCol(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType, SQLPOINTER target,
                  SQLLEN bufferLength, SQLLEN* indicator) noexcept;
SQLRETURN fetch(SQLHSTMT stmt) noexcept;
SQLRETURN fetchScroll(SQLHSTMT stmt, SQLSMALLINT orientation, SQLLEN offset) noexcept;
SQLRETURN getData(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType, SQLPOINTER target,
                  SQLLEN bufferLength, SQLLEN* indicator) noexcept;
SQLRETURN freeStmt(SQLHSTMT stmt, SQLUSMALLINT option) noexcept;
SQLRETURN closeCursor(SQLHSTMT stmt) noexcept;
SQLRETURN rowCount(SQLHSTMT stmt, SQLLEN* count) noexcept;
SQLRETURN moreResults(SQLHSTMT stmt) noexcept;
SQLRETURN cancel(SQLHSTMT stmt) noexcept;
SQLRETURN numParams(SQLHSTMT stmt, SQLSMALLINT* count) noexcept;
SQLRETURN tables(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                 SQLSMALLINT schemaLength, SQLCHAR* table, SQLSMALLINT tableLength,
                 SQLCHAR* tableType, SQLSMALLINT tableTypeLength) noexcept;
SQLRETURN columns(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                  SQLSMALLINT schemaLength, SQLCHAR* table, SQLSMALLINT tableLength,
                  SQLCHAR* column, SQLSMALLINT columnLength) noexcept;
SQLRETURN getTypeInfo(SQLHSTMT stmt, SQLSMALLINT dataType) noexcept;

} // namespace kelvara::driver::odbc
