#include "driver/core/database.hpp"
#include "driver/core/error.hpp"
#include "driver/core/format.hpp"
#include "driver/core/sqlstate.hpp"
#include "driver/core/type_table.hpp"

namespace kelvara::driver {

std::unique_ptr<Database> Database::open(const std::string& path, const std::string&) {
    throw DriverError(sqlstate::kUnableToConnect, "Reading '" + path + "' is not available in this build.");
}

SqlTypeInfo describeColumn(const ColumnInfo&) { return {}; }

void appendCharacterForm(const Value&, std::string&) {}

} // namespace kelvara::driver
