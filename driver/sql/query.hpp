#pragma once

#include "driver/core/database.hpp"
#include "driver/core/value.hpp"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvara::driver::sql {

struct Expr; // the parsed WHERE condition, defined by the parser

struct OrderTerm {
    std::string column; // unquoted name as written
    bool descending = false;
    std::string qualifier;   // table name or alias before the column, empty when none
    std::size_t ordinal = 0; // ORDER BY 2: 1-based select-list position; column is empty
};

// SELECT [TOP n] * | columns FROM table [WHERE cond] [ORDER BY terms]
struct SelectStatement {
    std::optional<std::uint64_t> top;
    bool allColumns = false;
    std::vector<std::string> columns;          // unquoted names as written
    std::string table;                         // unquoted name as written
    std::vector<std::string> columnQualifiers; // per column: table or alias before it, or empty
    std::string tableAlias;                    // FROM table [AS] alias; empty when none
    std::shared_ptr<const Expr> where;
    std::vector<OrderTerm> orderBy;
};

// Parses one SELECT statement. Throws DriverError: 42000 for a syntax error,
// quoting the offending text and its 1-based position, and for valid SQL the
// driver does not support (joins, grouping, functions, ...); HY000 saying the
// driver is read-only for statements that would write.
SelectStatement parse(std::string_view sqlText);

// A statement whose names are resolved against a table's columns.
class BoundQuery {
public:
    // Throws DriverError 42S22 quoting the first unknown column name, 22018
    // for a comparison between types Access cannot compare (a Text column
    // with a date, say) and 42000 for an invalid LIKE pattern.
    BoundQuery(const SelectStatement& statement, const std::vector<ColumnInfo>& tableColumns);
    ~BoundQuery();
    BoundQuery(BoundQuery&&) noexcept;
    BoundQuery& operator=(BoundQuery&&) noexcept;

    // Table column index of each result column, in result order.
    const std::vector<std::size_t>& outputColumns() const;
    // Every table column that must be read for a row: output, WHERE and ORDER BY.
    const std::vector<std::size_t>& neededColumns() const;

    // The table columns the WHERE condition reads (a subset of
    // neededColumns()): reading these first and the rest only for rows that
    // match saves decoding long values of rows that are dropped.
    const std::vector<std::size_t>& conditionColumns() const;

    // `row` is indexed by table column; only neededColumns() need be filled
    // (only conditionColumns() for this call). True when the WHERE condition
    // holds (always, without one).
    bool matches(const std::vector<Value>& row) const;

    // True when no row can match whatever it holds, as for the WHERE 1=0
    // that clients send to learn a result's columns: the table need not be
    // read at all.
    bool neverMatches() const;

    bool ordered() const;
    // Strict weak order of ORDER BY over two rows indexed as for matches().
    bool before(const std::vector<Value>& a, const std::vector<Value>& b) const;

    std::optional<std::uint64_t> top() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace kelvara::driver::sql
