#pragma once

#include "driver/core/database.hpp"
#include "driver/odbc/result_set.hpp"

#include <memory>
#include <string_view>

namespace kelvara::driver::odbc {

// Parses a SELECT, opens its table and resolves its names: every error in the
// text, the table or a column shows here, before anything is read.
std::unique_ptr<ResultSet> prepareQuery(Database& database, std::string_view sqlText);

} // namespace kelvara::driver::odbc
