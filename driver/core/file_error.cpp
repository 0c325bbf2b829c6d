#include "driver/core/file_error.hpp"

#include "driver/core/sqlstate.hpp"

namespace kelvara::driver::detail {

void throwCannotOpen(const std::string& path, const std::string& reason) {
    throw DriverError(sqlstate::kUnableToConnect,
                      "Cannot open the database file '" + path + "': " + reason);
}

void throwDamaged(const std::string& path, const std::string& detail) {
    throw DriverError(sqlstate::kGeneralError,
                      "The database file '" + path + "' is damaged: " + detail);
}

} // namespace kelvara::driver::detail
