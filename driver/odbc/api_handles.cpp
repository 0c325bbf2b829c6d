// Allocation and release of handles, environment attributes and the
// diagnostic functions.
#include "driver/odbc/api.hpp"
#include "driver/odbc/dispatch.hpp"
#include "driver/odbc/output.hpp"

#include <algorithm>

namespace kelvara::driver::odbc {
namespace {

template <class Owner, class Child>
void eraseChild(std::vector<std::unique_ptr<Child>>& children, const Child* child) {
    auto it = std::find_if(children.begin(), children.end(),
                           [&](const auto& p) { return p.get() == child; });
    if (it != children.end())
        children.erase(it);
}

SQLRETURN allocEnvironment(SQLHANDLE* output) noexcept {
    if (output == nullptr)
        return SQL_ERROR;
    *output = new (std::nothrow) Environment();
    return *output == nullptr ? SQL_ERROR : SQL_SUCCESS;
}

SQLRETURN allocConnection(SQLHANDLE input, SQLHANDLE* output) noexcept {
    return dispatch<Environment>(input, [&](Environment& env) -> SQLRETURN {
        if (output == nullptr)
            throw DriverError(sqlstate::kInvalidUseOfNullPointer, "Invalid use of null pointer.");
        *output = SQL_NULL_HDBC;
        env.connections.push_back(std::make_unique<Connection>(env));
        *output = env.connections.back().get();
        return SQL_SUCCESS;
    });
}

SQLRETURN allocStatement(SQLHANDLE input, SQLHANDLE* output) noexcept {
    return dispatch<Connection>(input, [&](Connection& dbc) -> SQLRETURN {
        if (output == nullptr)
            throw DriverError(sqlstate::kInvalidUseOfNullPointer, "Invalid use of null pointer.");
        *output = SQL_NULL_HSTMT;
        if (!dbc.connected())
            throw DriverError(sqlstate::kConnectionNotOpen, "Connection not open.");
        dbc.statements.push_back(std::make_unique<Statement>(dbc));
        *output = dbc.statements.back().get();
        return SQL_SUCCESS;
    });
}

SQLRETURN freeEnvironment(SQLHANDLE handle) noexcept {
    Environment* env = handleCast<Environment>(handle);
    if (env == nullptr)
        return SQL_INVALID_HANDLE;
    {
        std::lock_guard<std::mutex> guard(env->mutex);
        env->diag.clear();
        if (!env->connections.empty()) {
            env->diag.addNoThrow(sqlstate::kFunctionSequenceError,
                                 "Function sequence error: the environment still has connections.");
            return SQL_ERROR;
        }
    }
    delete env;
    return SQL_SUCCESS;
}

SQLRETURN freeConnection(SQLHANDLE handle) noexcept {
    Connection* dbc = handleCast<Connection>(handle);
    if (dbc == nullptr)
        return SQL_INVALID_HANDLE;
    Environment& env = dbc->environment;
    std::lock_guard<std::mutex> envGuard(env.mutex);
    {
        std::lock_guard<std::mutex> guard(dbc->mutex);
        dbc->diag.clear();
        if (dbc->connected()) {
            dbc->diag.addNoThrow(sqlstate::kFunctionSequenceError,
                                 "Function sequence error: the connection is still open.");
            return SQL_ERROR;
        }
    }
    eraseChild<Environment>(env.connections, dbc);
    return SQL_SUCCESS;
}

SQLRETURN freeStatement(SQLHANDLE handle) noexcept {
    Statement* stmt = handleCast<Statement>(handle);
    if (stmt == nullptr)
        return SQL_INVALID_HANDLE;
    Connection& dbc = stmt->connection;
    std::lock_guard<std::mutex> guard(dbc.mutex);
    eraseChild<Connection>(dbc.statements, stmt);
    return SQL_SUCCESS;
}

// The diagnostic area of a handle of the given kind, or null.
HandleBase* diagnosticHandle(SQLSMALLINT type, SQLHANDLE handle, std::mutex*& lock) noexcept {
    switch (type) {
    case SQL_HANDLE_ENV:
        if (auto* env = handleCast<Environment>(handle)) {
            lock = &env->mutex;
            return env;
        }
        return nullptr;
    case SQL_HANDLE_DBC:
        if (auto* dbc = handleCast<Connection>(handle)) {
            lock = &dbc->mutex;
            return dbc;
        }
        return nullptr;
    case SQL_HANDLE_STMT:
        if (auto* stmt = handleCast<Statement>(handle)) {
            lock = &stmt->connection.mutex;
            return stmt;
        }
        return nullptr;
    default:
        return nullptr;
    }
}

const char* classOrigin(const std::string& sqlstate) {
    // SQLSTATEs of class IM and those of ODBC 3 outside ISO come from ODBC.
    const bool odbc = sqlstate.compare(0, 2, "IM") == 0 || sqlstate.compare(0, 2, "HY") == 0 ||
                      sqlstate.compare(0, 2, "01S") == 0;
    return odbc ? "ODBC 3.0" : "ISO 9075";
}

const char* subclassOrigin(const std::string& sqlstate) {
    const bool iso = sqlstate == "01000" || sqlstate == "01004" || sqlstate == "07009" ||
                     sqlstate == "08001" || sqlstate == "08002" || sqlstate == "08003" ||
                     sqlstate == "22002" || sqlstate == "22003" || sqlstate == "22008" ||
                     sqlstate == "22018" || sqlstate == "24000" || sqlstate == "28000" ||
                     sqlstate == "42000";
    return iso ? "ISO 9075" : "ODBC 3.0";
}

} // namespace

SQLRETURN allocHandle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output) noexcept {
    switch (type) {
    case SQL_HANDLE_ENV:
        return allocEnvironment(output);
    case SQL_HANDLE_DBC:
        return allocConnection(input, output);
    case SQL_HANDLE_STMT:
        return allocStatement(input, output);
    case SQL_HANDLE_DESC:
        return dispatch<Connection>(input, [](Connection&) -> SQLRETURN {
            throw DriverError(sqlstate::kOptionalFeatureNotImplemented,
                              "Explicit descriptors are not supported.");
        });
    default:
        return SQL_ERROR;
    }
}

SQLRETURN freeHandle(SQLSMALLINT type, SQLHANDLE handle) noexcept {
    switch (type) {
    case SQL_HANDLE_ENV:
        return freeEnvironment(handle);
    case SQL_HANDLE_DBC:
        return freeConnection(handle);
    case SQL_HANDLE_STMT:
        return freeStatement(handle);
    default:
        return SQL_INVALID_HANDLE;
    }
}

SQLRETURN setEnvAttr(SQLHENV handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER) noexcept {
    return dispatch<Environment>(handle, [&](Environment& env) -> SQLRETURN {
        const auto number = static_cast<SQLINTEGER>(reinterpret_cast<SQLLEN>(value));
        switch (attribute) {
        case SQL_ATTR_ODBC_VERSION:
            if (number != SQL_OV_ODBC2 && number != SQL_OV_ODBC3 && number != SQL_OV_ODBC3_80)
                throw DriverError(sqlstate::kInvalidAttributeValue, "Invalid attribute value.");
            env.odbcVersion = number;
            return SQL_SUCCESS;
        case SQL_ATTR_OUTPUT_NTS:
            if (number != SQL_TRUE)
                throw DriverError(sqlstate::kOptionalFeatureNotImplemented,
                                  "Strings are always terminated with a null character.");
            return SQL_SUCCESS;
        case SQL_ATTR_CONNECTION_POOLING:
        case SQL_ATTR_CP_MATCH:
            // Pooling is the driver manager's business; nothing to keep here.
            return SQL_SUCCESS;
        default:
            throw DriverError(sqlstate::kInvalidAttributeIdentifier,
                              "Invalid attribute identifier.");
        }
    });
}

SQLRETURN getEnvAttr(SQLHENV handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER,
                     SQLINTEGER* stringLength) noexcept {
    return dispatch<Environment>(handle, [&](Environment& env) -> SQLRETURN {
        switch (attribute) {
        case SQL_ATTR_ODBC_VERSION:
            putFixed<SQLINTEGER>(env.odbcVersion, value, stringLength);
            return SQL_SUCCESS;
        case SQL_ATTR_OUTPUT_NTS:
            putFixed<SQLINTEGER>(SQL_TRUE, value, stringLength);
            return SQL_SUCCESS;
        case SQL_ATTR_CONNECTION_POOLING:
            putFixed<SQLUINTEGER>(SQL_CP_OFF, value, stringLength);
            return SQL_SUCCESS;
        case SQL_ATTR_CP_MATCH:
            putFixed<SQLUINTEGER>(SQL_CP_STRICT_MATCH, value, stringLength);
            return SQL_SUCCESS;
        default:
            throw DriverError(sqlstate::kInvalidAttributeIdentifier,
                              "Invalid attribute identifier.");
        }
    });
}

SQLRETURN getDiagRec(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLCHAR* sqlstateOut,
                     SQLINTEGER* nativeError, SQLCHAR* message, SQLSMALLINT bufferLength,
                     SQLSMALLINT* textLength) noexcept {
    std::mutex* lock = nullptr;
    HandleBase* object = diagnosticHandle(type, handle, lock);
    if (object == nullptr)
        return SQL_INVALID_HANDLE;
    std::lock_guard<std::mutex> guard(*lock);
    if (record < 1 || bufferLength < 0)
        return SQL_ERROR;
    const auto& records = object->diag.records();
    if (static_cast<std::size_t>(record) > records.size())
        return SQL_NO_DATA;
    const DiagRecord& r = records[static_cast<std::size_t>(record - 1)];
    if (sqlstateOut != nullptr) {
        std::memcpy(sqlstateOut, r.sqlstate.c_str(), 6);
    }
    if (nativeError != nullptr)
        *nativeError = r.nativeCode;
    // Reading diagnostics must not add to them: a cut message only shows in
    // the return code.
    Diagnostics scratch;
    try {
        putString(scratch, r.message, message, bufferLength, textLength);
    } catch (...) {
        return SQL_ERROR;
    }
    return scratch.empty() ? SQL_SUCCESS : SQL_SUCCESS_WITH_INFO;
}

SQLRETURN getDiagField(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLSMALLINT field,
                       SQLPOINTER info, SQLSMALLINT bufferLength,
                       SQLSMALLINT* stringLength) noexcept {
    std::mutex* lock = nullptr;
    HandleBase* object = diagnosticHandle(type, handle, lock);
    if (object == nullptr)
        return SQL_INVALID_HANDLE;
    std::lock_guard<std::mutex> guard(*lock);
    const Diagnostics& diag = object->diag;
    Diagnostics scratch;
    try {
        // Header fields.
        switch (field) {
        case SQL_DIAG_NUMBER:
            putFixed<SQLINTEGER>(static_cast<SQLINTEGER>(diag.records().size()), info,
                                 stringLength);
            return SQL_SUCCESS;
        case SQL_DIAG_RETURNCODE:
            putFixed<SQLRETURN>(diag.returnCode(), info, stringLength);
            return SQL_SUCCESS;
        case SQL_DIAG_CURSOR_ROW_COUNT:
        case SQL_DIAG_ROW_COUNT:
            if (type != SQL_HANDLE_STMT)
                return SQL_ERROR;
            putFixed<SQLLEN>(-1, info, stringLength);
            return SQL_SUCCESS;
        case SQL_DIAG_DYNAMIC_FUNCTION:
            if (type != SQL_HANDLE_STMT)
                return SQL_ERROR;
            putString(scratch, "", info, bufferLength, stringLength);
            return SQL_SUCCESS;
        case SQL_DIAG_DYNAMIC_FUNCTION_CODE:
            if (type != SQL_HANDLE_STMT)
                return SQL_ERROR;
            putFixed<SQLINTEGER>(SQL_DIAG_UNKNOWN_STATEMENT, info, stringLength);
            return SQL_SUCCESS;
        default:
            break;
        }
        // Record fields.
        if (record < 1)
            return SQL_ERROR;
        if (static_cast<std::size_t>(record) > diag.records().size())
            return SQL_NO_DATA;
        const DiagRecord& r = diag.records()[static_cast<std::size_t>(record - 1)];
        switch (field) {
        case SQL_DIAG_SQLSTATE:
            putString(scratch, r.sqlstate, info, bufferLength, stringLength);
            break;
        case SQL_DIAG_NATIVE:
            putFixed<SQLINTEGER>(r.nativeCode, info, stringLength);
            break;
        case SQL_DIAG_MESSAGE_TEXT:
            putString(scratch, r.message, info, bufferLength, stringLength);
            break;
        case SQL_DIAG_CLASS_ORIGIN:
            putString(scratch, classOrigin(r.sqlstate), info, bufferLength, stringLength);
            break;
        case SQL_DIAG_SUBCLASS_ORIGIN:
            putString(scratch, subclassOrigin(r.sqlstate), info, bufferLength, stringLength);
            break;
        case SQL_DIAG_CONNECTION_NAME:
        case SQL_DIAG_SERVER_NAME:
            putString(scratch, "", info, bufferLength, stringLength);
            break;
        case SQL_DIAG_COLUMN_NUMBER:
            putFixed<SQLINTEGER>(SQL_COLUMN_NUMBER_UNKNOWN, info, stringLength);
            break;
        case SQL_DIAG_ROW_NUMBER:
            putFixed<SQLLEN>(SQL_ROW_NUMBER_UNKNOWN, info, stringLength);
            break;
        default:
            return SQL_ERROR;
        }
    } catch (...) {
        return SQL_ERROR;
    }
    return scratch.empty() ? SQL_SUCCESS : SQL_SUCCESS_WITH_INFO;
}

} // namespace kelvara::driver::odbc
