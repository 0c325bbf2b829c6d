#pragma once

#include "driver/core/value.hpp"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kelvara::driver {

struct ColumnInfo {
    std::string name; // UTF-8
    ColumnKind kind = ColumnKind::Unsupported;
    std::uint32_t maxLength = 0; // Text: characters; Binary: bytes
    std::uint8_t precision = 0;  // Numeric
    std::uint8_t scale = 0;      // Numeric
    bool nullable = true;
    bool autoNumber = false;
};

class TableReader;

// An Access database file, opened read-only. The file is never written.
class Database {
public:
    // Opens `path` (Jet 3, Jet 4 or ACE). `password` is checked against a Jet 4
    // database password when the file has one. Throws DriverError: 08001 for a
    // missing, unreadable, truncated or foreign file; 28000 for a wrong
    // password; every message names the file.
    static std::unique_ptr<Database> open(const std::string& path, const std::string& password);

    virtual ~Database() = default;

    // The user tables (system tables with includeSystem), in catalog order.
    virtual std::vector<std::string> tableNames(bool includeSystem = false) const = 0;

    // Finds a table by name without regard to case, as Access does. Throws
    // DriverError 42S02 quoting the name when there is none.
    virtual std::unique_ptr<TableReader> openTable(std::string_view name) = 0;

    virtual const std::string& path() const = 0;
};

// Reads one table's rows forward. Its Database must outlive it.
class TableReader {
public:
    virtual ~TableReader() = default;

    virtual const std::string& name() const = 0;
    virtual const std::vector<ColumnInfo>& columns() const = 0;

    // Moves to the next live row; false once the table is exhausted.
    virtual bool next() = 0;

    // Decodes `column` of the current row into `out`, reusing its storage.
    // Throws DriverError for damaged data.
    virtual void read(std::size_t column, Value& out) = 0;

    // Starts again before the first row.
    virtual void rewind() = 0;
};

} // namespace kelvara::driver
