#pragma once

#include "driver/core/type_table.hpp"
#include "driver/core/value.hpp"

#include <cstddef>
#include <string>
#include <vector>

namespace kelvara::driver::odbc {

// How one result column presents itself: the source of SQLDescribeCol and
// SQLColAttribute.
struct ResultColumn {
    std::string name;
    std::string tableName; // empty for catalog results
    ColumnKind kind = ColumnKind::Unsupported;
    SqlTypeInfo type;
    bool nullable = true;
    bool autoUnique = false;
};

// A forward-only result: a query over one table or a catalog listing.
class ResultSet {
public:
    virtual ~ResultSet() = default;

    virtual const std::vector<ResultColumn>& columns() const = 0;
    // Positions before the first row; called by every execution.
    virtual void start() = 0;
    // Moves to the next row; false at the end.
    virtual bool next() = 0;
    // A value of the current row, by result column index. Valid until next().
    virtual const Value& value(std::size_t column) const = 0;
};

} // namespace kelvara::driver::odbc
