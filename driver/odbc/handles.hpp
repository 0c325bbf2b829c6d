#pragma once

#include "driver/core/database.hpp"
#include "driver/odbc/diagnostics.hpp"
#include "driver/odbc/result_set.hpp"

#include <cstdint>
#include <memory>
#include <mutex>
#include <sql.h>
#include <sqlext.h>
#include <string>
#include <vector>

namespace kelvara::driver::odbc {

// Every handle starts with a tag telling its kind, so that a null handle, a
// handle of the wrong kind or one already freed is answered with
// SQL_INVALID_HANDLE instead of being used.
enum class HandleTag : std::uint32_t {
    Environment = 0x4B454E56, // "KENV"
    Connection = 0x4B444243,  // "KDBC"
    Statement = 0x4B53544D,   // "KSTM"
    Freed = 0xDEADBEEF,
};

struct HandleBase {
    explicit HandleBase(HandleTag t) : tag(t) {}
    ~HandleBase() { tag = HandleTag::Freed; }
    HandleBase(const HandleBase&) = delete;
    HandleBase& operator=(const HandleBase&) = delete;

    HandleTag tag;
    Diagnostics diag;
};

template <class H> H* handleCast(SQLHANDLE handle) noexcept {
    if (handle == nullptr)
        return nullptr;
    auto* object = static_cast<H*>(handle);
    return object->tag == H::kTag ? object : nullptr;
}

class Connection;
class Statement;

class Environment : public HandleBase {
public:
    static constexpr HandleTag kTag = HandleTag::Environment;
    Environment() : HandleBase(kTag) {}

    std::mutex mutex;
    SQLINTEGER odbcVersion = SQL_OV_ODBC3;
    std::vector<std::unique_ptr<Connection>> connections;
};

class Connection : public HandleBase {
public:
    static constexpr HandleTag kTag = HandleTag::Connection;
    explicit Connection(Environment& env) : HandleBase(kTag), environment(env) {}
    ~Connection();

    bool connected() const noexcept { return database != nullptr; }
    // The environment's ODBC version decides between ODBC 2 and 3 type codes.
    SQLINTEGER odbcVersion() const noexcept { return environment.odbcVersion; }

    Environment& environment;
    // One lock per connection; statement calls take their connection's lock.
    std::mutex mutex;
    std::unique_ptr<Database> database;
    std::vector<std::unique_ptr<Statement>> statements;

    std::string dataSourceName; // DSN, when connected through one
    std::string userName;
    std::string fileVersion = "04.00.0000";

    SQLUINTEGER loginTimeout = 0;
    SQLUINTEGER connectionTimeout = 0;
    SQLUINTEGER accessMode = SQL_MODE_READ_WRITE;
    SQLUINTEGER quietMode = 0;
    SQLUINTEGER metadataId = SQL_FALSE;
    SQLULEN queryTimeoutDefault = 0;
};

} // namespace kelvara::driver::odbc
