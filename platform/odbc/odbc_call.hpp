#pragma once

#include "platform/odbc/db_exception.hpp"
#include "platform/odbc/diagnostics.hpp"

#include <sql.h>

#include <utility>

namespace kelvara::odbc {

inline bool succeeded(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

// Runs one ODBC call, repeating it for as long as the driver answers that it
// is still executing.
template <typename Call> SQLRETURN callOdbc(Call&& call) {
    SQLRETURN rc;
    do {
        rc = std::forward<Call>(call)();
    } while (rc == SQL_STILL_EXECUTING);
    return rc;
}

// The database error for a failed call: with the driver's records when it
// answered SQL_ERROR, without text for any other answer.
[[noreturn]] void throwDatabaseError(SQLRETURN rc, const HandleSet& handles);

// A failure that the layer detects itself: no text.
[[noreturn]] void throwLayerError(SQLRETURN rc = SQL_ERROR);

// The checked-call helper: runs the call and turns anything but success into
// a CDBException carrying the records of `handles`.
template <typename Call> SQLRETURN checkedCall(const HandleSet& handles, Call&& call) {
    const SQLRETURN rc = callOdbc(std::forward<Call>(call));
    if (!succeeded(rc)) {
        throwDatabaseError(rc, handles);
    }
    return rc;
}

} // namespace kelvara::odbc
