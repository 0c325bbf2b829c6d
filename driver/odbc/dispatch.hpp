#pragma once

#include "driver/core/error.hpp"
#include "driver/core/sqlstate.hpp"
#include "driver/odbc/handles.hpp"
#include "driver/odbc/statement.hpp"

#include <mutex>
#include <new>

namespace kelvara::driver::odbc {

// The lock that guards a handle: environments have their own, connections
// theirs, and statements share their connection's.
inline std::mutex& lockOf(Environment& env) noexcept {
    return env.mutex;
}
inline std::mutex& lockOf(Connection& dbc) noexcept {
    return dbc.mutex;
}
inline std::mutex& lockOf(Statement& stmt) noexcept {
    return stmt.connection.mutex;
}

// Runs `body` on an already checked and locked handle, turning every exception
// into a diagnostic record so that none crosses the C boundary.
template <class H, class Body> SQLRETURN runChecked(H& object, Body&& body) noexcept {
    object.diag.clear();
    SQLRETURN rc = SQL_ERROR;
    try {
        rc = body(object);
        if (rc == SQL_SUCCESS && !object.diag.empty())
            rc = SQL_SUCCESS_WITH_INFO;
    } catch (const DriverError& e) {
        object.diag.addNoThrow(e.sqlstate(), e.what());
        rc = SQL_ERROR;
    } catch (const std::bad_alloc&) {
        object.diag.addNoThrow(sqlstate::kMemoryAllocation, "Out of memory.");
        rc = SQL_ERROR;
    } catch (const std::exception& e) {
        object.diag.addNoThrow(sqlstate::kGeneralError, e.what());
        rc = SQL_ERROR;
    } catch (...) {
        object.diag.addNoThrow(sqlstate::kGeneralError, "Unexpected internal failure.");
        rc = SQL_ERROR;
    }
    object.diag.setReturnCode(rc);
    return rc;
}

// The one way into the driver: checks the handle's kind, takes its lock,
// clears its diagnostics and runs `body(H&)`, which returns an SQLRETURN.
template <class H, class Body> SQLRETURN dispatch(SQLHANDLE handle, Body&& body) noexcept {
    H* object = handleCast<H>(handle);
    if (object == nullptr)
        return SQL_INVALID_HANDLE;
    std::lock_guard<std::mutex> guard(lockOf(*object));
    return runChecked(*object, body);
}

} // namespace kelvara::driver::odbc
