#pragma once

#include <stdexcept>
#include <string>

namespace kelvara::driver {

// A failure that the driver reports to its ODBC client as one diagnostic
// record. Everything inside the driver reports errors by throwing this; the
// entry layer turns it into a record and a return code.
class DriverError : public std::runtime_error {
public:
    DriverError(const char* sqlstate, const std::string& message, int nativeCode = 0)
        : std::runtime_error(message), sqlstate_(sqlstate), nativeCode_(nativeCode) {}

    // Five characters, one of the constants of sqlstate.hpp.
    const char* sqlstate() const noexcept { return sqlstate_; }
    int nativeCode() const noexcept { return nativeCode_; }

private:
    const char* sqlstate_;
    int nativeCode_;
};

} // namespace kelvara::driver
