#pragma once

#include <sql.h>
#include <string>
#include <vector>

namespace kelvara::driver::odbc {

// The prefix every message carries, so that clients which strip bracketed
// origin tags show the plain text.
inline constexpr char kMessagePrefix[] = "[Kelvara][ODBC Access Driver]";

struct DiagRecord {
    std::string sqlstate; // five characters
    SQLINTEGER nativeCode = 0;
    std::string message; // with kMessagePrefix in front
};

// The diagnostic area of one handle: the records of the last call made on it.
class Diagnostics {
public:
    void clear() noexcept {
        records_.clear();
        returnCode_ = SQL_SUCCESS;
    }
    // `message` is the plain text; the origin tags are put in front here.
    void add(const char* sqlstate, const std::string& message, SQLINTEGER nativeCode = 0);
    // Adding must not throw while an error is being reported; on failure to
    // allocate, the record is dropped and the return code still tells the truth.
    void addNoThrow(const char* sqlstate, const char* message) noexcept;

    const std::vector<DiagRecord>& records() const noexcept { return records_; }
    bool empty() const noexcept { return records_.empty(); }

    void setReturnCode(SQLRETURN rc) noexcept { returnCode_ = rc; }
    SQLRETURN returnCode() const noexcept { return returnCode_; }

private:
    std::vector<DiagRecord> records_;
    SQLRETURN returnCode_ = SQL_SUCCESS;
};

} // namespace kelvara::driver::odbc
