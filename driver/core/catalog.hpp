#pragma once

#include "driver/core/database_file.hpp"

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace kelvara::driver::detail {

// One table listed in the system catalog (MSysObjects).
struct CatalogEntry {
    std::string name;
    std::uint32_t definitionPage = 0;
    bool system = false;                   // a system or hidden table
    std::vector<unsigned char> properties; // the table's design properties, as stored
};

// Reads the tables of the catalog, whose own definition is always page 2,
// with the same row reader as every other table. Throws DriverError.
std::vector<CatalogEntry> readCatalog(const std::shared_ptr<const DatabaseFile>& file);

// The columns (names folded for comparison) whose "Required" property is
// set in a table's stored design properties. Damaged properties count as
// none: they only refine nullability.
std::set<std::string> requiredColumns(const DatabaseFile& file,
                                      const std::vector<unsigned char>& properties);

} // namespace kelvara::driver::detail
