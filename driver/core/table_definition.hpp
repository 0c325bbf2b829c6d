#pragma once

#include "driver/core/database.hpp"
#include "driver/core/database_file.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvara::driver::detail {

// Where and how one column is stored in a row.
struct ColumnLayout {
    ColumnKind kind = ColumnKind::Unsupported;
    std::uint16_t number = 0;      // position in the row, counting deleted columns; its null bit
    bool fixed = false;            // stored in the fixed part of the row
    std::uint16_t fixedOffset = 0; // after the column count
    std::uint16_t varIndex = 0;    // entry in the row's variable column table
    std::uint16_t size = 0;        // bytes of a fixed column
    std::uint8_t scale = 0;        // Numeric
    bool largeNumber = false;      // a 64-bit integer, presented as Numeric(19, 0)
};

// Everything the reader needs to know about a table.
struct TableDefinition {
    std::string name;
    std::uint32_t definitionPage = 0;
    std::vector<ColumnInfo> columns;   // in column order
    std::vector<ColumnLayout> layouts; // parallel to columns
    bool hasVariableColumns = false;
    std::vector<unsigned char> usageMap; // the record that lists the table's pages
};

// Reads the table definition that starts on page `page`, checking every
// offset against the bytes that hold it. Throws DriverError for a damaged
// definition. Nullability comes from the column flags alone here; the
// "Required" property is applied by the caller.
TableDefinition readTableDefinition(const DatabaseFile& file, std::uint32_t page,
                                    const std::string& name);

// Finds the row that a row pointer (page << 8 | row) designates and copies
// its bytes. Throws DriverError when it does not exist.
std::vector<unsigned char> readPointedRow(const DatabaseFile& file, std::uint32_t pointer);

} // namespace kelvara::driver::detail
