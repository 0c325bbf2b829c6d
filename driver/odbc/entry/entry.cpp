// The exported ODBC entry points. Each only forwards to the driver function of
// the same name; that function checks the handle and catches everything, so
// no exception crosses this boundary. The version script exports these names
// and nothing else.
#include "driver/odbc/api.hpp"

namespace api = kelvara::driver::odbc;

extern "C" {

SQLRETURN SQL_API SQLAllocHandle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output) {
    return api::allocHandle(type, input, output);
}

SQLRETURN SQL_API SQLFreeHandle(SQLSMALLINT type, SQLHANDLE handle) {
    return api::freeHandle(type, handle);
}

SQLRETURN SQL_API SQLSetEnvAttr(SQLHENV env, SQLINTEGER attribute, SQLPOINTER value,
                                SQLINTEGER length) {
    return api::setEnvAttr(env, attribute, value, length);
}

SQLRETURN SQL_API SQLGetEnvAttr(SQLHENV env, SQLINTEGER attribute, SQLPOINTER value,
                                SQLINTEGER bufferLength, SQLINTEGER* stringLength) {
    return api::getEnvAttr(env, attribute, value, bufferLength, stringLength);
}

SQLRETURN SQL_API SQLGetDiagRec(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record,
                                SQLCHAR* sqlstate, SQLINTEGER* nativeError, SQLCHAR* message,
                                SQLSMALLINT bufferLength, SQLSMALLINT* textLength) {
    return api::getDiagRec(type, handle, record, sqlstate, nativeError, message, bufferLength,
                           textLength);
}

SQLRETURN SQL_API SQLGetDiagField(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record,
                                  SQLSMALLINT field, SQLPOINTER info, SQLSMALLINT bufferLength,
                                  SQLSMALLINT* stringLength) {
    return api::getDiagField(type, handle, record, field, info, bufferLength, stringLength);
}

SQLRETURN SQL_API SQLConnect(SQLHDBC dbc, SQLCHAR* dsn, SQLSMALLINT dsnLength, SQLCHAR* user,
                             SQLSMALLINT userLength, SQLCHAR* password,
                             SQLSMALLINT passwordLength) {
    return api::connect(dbc, dsn, dsnLength, user, userLength, password, passwordLength);
}

SQLRETURN SQL_API SQLDriverConnect(SQLHDBC dbc, SQLHWND window, SQLCHAR* in, SQLSMALLINT inLength,
                                   SQLCHAR* out, SQLSMALLINT outMax, SQLSMALLINT* outLength,
                                   SQLUSMALLINT completion) {
    return api::driverConnect(dbc, window, in, inLength, out, outMax, outLength, completion);
}

SQLRETURN SQL_API SQLDisconnect(SQLHDBC dbc) {
    return api::disconnect(dbc);
}

SQLRETURN SQL_API SQLSetConnectAttr(SQLHDBC dbc, SQLINTEGER attribute, SQLPOINTER value,
                                    SQLINTEGER length) {
    return api::setConnectAttr(dbc, attribute, value, length);
}

SQLRETURN SQL_API SQLGetConnectAttr(SQLHDBC dbc, SQLINTEGER attribute, SQLPOINTER value,
                                    SQLINTEGER bufferLength, SQLINTEGER* stringLength) {
    return api::getConnectAttr(dbc, attribute, value, bufferLength, stringLength);
}

SQLRETURN SQL_API SQLGetInfo(SQLHDBC dbc, SQLUSMALLINT infoType, SQLPOINTER value,
                             SQLSMALLINT bufferLength, SQLSMALLINT* stringLength) {
    return api::getInfo(dbc, infoType, value, bufferLength, stringLength);
}

SQLRETURN SQL_API SQLGetFunctions(SQLHDBC dbc, SQLUSMALLINT function, SQLUSMALLINT* supported) {
    return api::getFunctions(dbc, function, supported);
}

SQLRETURN SQL_API SQLNativeSql(SQLHDBC dbc, SQLCHAR* in, SQLINTEGER inLength, SQLCHAR* out,
                               SQLINTEGER outMax, SQLINTEGER* outLength) {
    return api::nativeSql(dbc, in, inLength, out, outMax, outLength);
}

SQLRETURN SQL_API SQLEndTran(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT completion) {
    return api::endTran(type, handle, completion);
}

SQLRETURN SQL_API SQLSetStmtAttr(SQLHSTMT stmt, SQLINTEGER attribute, SQLPOINTER value,
                                 SQLINTEGER length) {
    return api::setStmtAttr(stmt, attribute, value, length);
}

SQLRETURN SQL_API SQLGetStmtAttr(SQLHSTMT stmt, SQLINTEGER attribute, SQLPOINTER value,
                                 SQLINTEGER bufferLength, SQLINTEGER* stringLength) {
    return api::getStmtAttr(stmt, attribute, value, bufferLength, stringLength);
}

SQLRETURN SQL_API SQLPrepare(SQLHSTMT stmt, SQLCHAR* text, SQLINTEGER length) {
    return api::prepare(stmt, text, length);
}

SQLRETURN SQL_API SQLExecute(SQLHSTMT stmt) {
    return api::execute(stmt);
}

SQLRETURN SQL_API SQLExecDirect(SQLHSTMT stmt, SQLCHAR* text, SQLINTEGER length) {
    return api::execDirect(stmt, text, length);
}

SQLRETURN SQL_API SQLNumResultCols(SQLHSTMT stmt, SQLSMALLINT* count) {
    return api::numResultCols(stmt, count);
}

SQLRETURN SQL_API SQLDescribeCol(SQLHSTMT stmt, SQLUSMALLINT column, SQLCHAR* name,
                                 SQLSMALLINT bufferLength, SQLSMALLINT* nameLength,
                                 SQLSMALLINT* dataType, SQLULEN* columnSize,
                                 SQLSMALLINT* decimalDigits, SQLSMALLINT* nullable) {
    return api::describeCol(stmt, column, name, bufferLength, nameLength, dataType, columnSize,
                            decimalDigits, nullable);
}

SQLRETURN SQL_API SQLColAttribute(SQLHSTMT stmt, SQLUSMALLINT column, SQLUSMALLINT field,
                                  SQLPOINTER text, SQLSMALLINT bufferLength,
                                  SQLSMALLINT* textLength, SQLLEN* number) {
    return api::colAttribute(stmt, column, field, text, bufferLength, textLength, number);
}

SQLRETURN SQL_API SQLBindCol(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType,
                             SQLPOINTER target, SQLLEN bufferLength, SQLLEN* indicator) {
    return api::bindCol(stmt, column, cType, target, bufferLength, indicator);
}

SQLRETURN SQL_API SQLFetch(SQLHSTMT stmt) {
    return api::fetch(stmt);
}

SQLRETURN SQL_API SQLFetchScroll(SQLHSTMT stmt, SQLSMALLINT orientation, SQLLEN offset) {
    return api::fetchScroll(stmt, orientation, offset);
}

SQLRETURN SQL_API SQLGetData(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType,
                             SQLPOINTER target, SQLLEN bufferLength, SQLLEN* indicator) {
    return api::getData(stmt, column, cType, target, bufferLength, indicator);
}

SQLRETURN SQL_API SQLFreeStmt(SQLHSTMT stmt, SQLUSMALLINT option) {
    return api::freeStmt(stmt, option);
}

SQLRETURN SQL_API SQLCloseCursor(SQLHSTMT stmt) {
    return api::closeCursor(stmt);
}

SQLRETURN SQL_API SQLRowCount(SQLHSTMT stmt, SQLLEN* count) {
    return api::rowCount(stmt, count);
}

SQLRETURN SQL_API SQLMoreResults(SQLHSTMT stmt) {
    return api::moreResults(stmt);
}

SQLRETURN SQL_API SQLCancel(SQLHSTMT stmt) {
    return api::cancel(stmt);
}

SQLRETURN SQL_API SQLNumParams(SQLHSTMT stmt, SQLSMALLINT* count) {
    return api::numParams(stmt, count);
}

SQLRETURN SQL_API SQLTables(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength,
                            SQLCHAR* schema, SQLSMALLINT schemaLength, SQLCHAR* table,
                            SQLSMALLINT tableLength, SQLCHAR* tableType,
                            SQLSMALLINT tableTypeLength) {
    return api::tables(stmt, catalog, catalogLength, schema, schemaLength, table, tableLength,
                       tableType, tableTypeLength);
}

SQLRETURN SQL_API SQLColumns(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength,
                             SQLCHAR* schema, SQLSMALLINT schemaLength, SQLCHAR* table,
                             SQLSMALLINT tableLength, SQLCHAR* column, SQLSMALLINT columnLength) {
    return api::columns(stmt, catalog, catalogLength, schema, schemaLength, table, tableLength,
                        column, columnLength);
}

SQLRETURN SQL_API SQLGetTypeInfo(SQLHSTMT stmt, SQLSMALLINT dataType) {
    return api::getTypeInfo(stmt, dataType);
}

} // extern "C"
