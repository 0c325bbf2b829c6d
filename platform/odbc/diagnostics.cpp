#include "platform/odbc/diagnostics.hpp"

#include <sqlext.h>

#include <array>
#include <cstring>

namespace kelvara::odbc {
namespace {

constexpr SQLSMALLINT kMessageBufferSize = 512;

bool isSuccess(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

} // namespace

std::vector<DiagnosticRecord> takeDiagnostics(const HandleSet& handles) {
    std::vector<DiagnosticRecord> records;
    for (;;) {
        std::array<SQLCHAR, 6> state{};
        std::array<SQLCHAR, kMessageBufferSize> message{};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        // One byte is held back so that a driver that fills the buffer to the
        // brim still leaves a terminated text.
        const SQLRETURN rc = SQLError(handles.env, handles.dbc, handles.stmt, state.data(), &native,
                                      message.data(), kMessageBufferSize - 1, &length);
        if (!isSuccess(rc)) {
            break;
        }
        DiagnosticRecord record;
        record.sqlState.assign(reinterpret_cast<const char*>(state.data()),
                               strnlen(reinterpret_cast<const char*>(state.data()), 5));
        if (record.sqlState == "00000") {
            break;
        }
        record.nativeError = static_cast<long>(native);
        record.message.assign(reinterpret_cast<const char*>(message.data()),
                              strnlen(reinterpret_cast<const char*>(message.data()),
                                      kMessageBufferSize - 1));
        records.push_back(std::move(record));
    }
    return records;
}

std::string stripOriginTags(std::string message) {
    while (!message.empty() && message.front() == '[') {
        const auto close = message.find(']');
        if (close == std::string::npos) {
            break;
        }
        std::size_t cut = close + 1;
        if (cut < message.size() && message[cut] == ' ') {
            ++cut;
        }
        message.erase(0, cut);
    }
    return message;
}

std::string errorTextFrom(const std::vector<DiagnosticRecord>& records) {
    std::string text;
    for (const auto& record : records) {
        text += stripOriginTags(record.message);
        text += '\n';
    }
    return text;
}

} // namespace kelvara::odbc
