#include "driver/odbc/diagnostics.hpp"

namespace kelvara::driver::odbc {

void Diagnostics::add(const char* sqlstate, const std::string& message, SQLINTEGER nativeCode) {
    DiagRecord record;
    record.sqlstate = sqlstate;
    record.nativeCode = nativeCode;
    record.message.reserve(sizeof kMessagePrefix + message.size());
    record.message.append(kMessagePrefix).append(message);
    records_.push_back(std::move(record));
}

void Diagnostics::addNoThrow(const char* sqlstate, const char* message) noexcept {
    try {
        add(sqlstate, message);
    } catch (...) {
        // Nothing left to report it with; the SQL_ERROR return still stands.
    }
}

} // namespace kelvara::driver::odbc
