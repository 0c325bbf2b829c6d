#pragma once

#include "driver/core/database.hpp"
#include "driver/odbc/result_set.hpp"

#include <memory>
#include <optional>
#include <string>

namespace kelvara::driver::odbc {

// The arguments of a catalog function; nullopt where the application passed
// a null pointer.
struct CatalogArgs {
    std::optional<std::string> catalog;
    std::optional<std::string> schema;
    std::optional<std::string> table;
    std::optional<std::string> columnOrType; // COLUMN_NAME or TABLE_TYPE
};

// SQLTables, SQLColumns and SQLGetTypeInfo results with the columns ODBC
// defines for them. `odbc2` selects the ODBC 2 date type codes.
std::unique_ptr<ResultSet> listTables(Database& database, const CatalogArgs& args);
std::unique_ptr<ResultSet> listColumns(Database& database, const CatalogArgs& args, bool odbc2);
std::unique_ptr<ResultSet> listTypes(short dataType, bool odbc2);

// Pattern matching as catalog functions define it: "%" any run, "_" any one
// character, "\" escapes; letters compared without regard to case.
bool matchesPattern(std::string_view text, std::string_view pattern);

// The SQL type code an application of the given ODBC version expects.
short presentedSqlType(short sqlType, bool odbc2) noexcept;

} // namespace kelvara::driver::odbc
