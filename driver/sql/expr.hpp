#pragma once

#include "driver/sql/exact_number.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kelvara::driver::sql {

// A constant written in the statement.
struct Literal {
    enum class Kind : std::uint8_t {
        Null,
        Number,   // 12, -3.5, 1e-3: kept exact
        String,   // 'text' with '' undoubled
        DateTime, // #...#, {d ...}, {ts ...}
        Bool,     // TRUE/FALSE/YES/NO/ON/OFF
        Guid,     // {guid {...}}: the 16 bytes in stored order
    };

    Kind kind = Kind::Null;
    std::string text;                    // Number: as written with its sign; String: the content
    ExactNumber number;                  // Number
    double days = 0.0;                   // DateTime: as Access stores it, days since 1899-12-30
    bool boolean = false;                // Bool
    std::array<std::uint8_t, 16> guid{}; // Guid
};

// A column named in the statement, optionally qualified by its table.
struct ColumnRef {
    std::string qualifier; // unquoted table name or alias, empty when not given
    std::string name;      // unquoted column name as written
};

// One side of a comparison.
struct Operand {
    enum class Kind : std::uint8_t {
        Column,
        Literal,
        // "name" in a condition: Access reads it as a string, ODBC clients as
        // a column name. The binder decides: a column when the table has one
        // by that name, a string otherwise.
        QuotedName,
    };

    Kind kind = Kind::Literal;
    ColumnRef column; // Column, QuotedName (name only)
    sql::Literal literal;
    std::size_t position = 0; // 1-based character position in the statement
};

enum class CompareOp : std::uint8_t { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };

// The WHERE condition as parsed.
struct Expr {
    enum class Kind : std::uint8_t {
        And,     // terms[0] AND terms[1] AND ...
        Or,      // terms[0] OR terms[1] OR ...
        Not,     // NOT terms[0]
        Compare, // lhs op rhs
        IsNull,  // lhs IS [NOT] NULL
        Like,    // lhs [NOT] LIKE pattern (rhs, a string literal)
        In,      // lhs [NOT] IN (list)
        Between, // lhs [NOT] BETWEEN rhs AND high
        Operand, // a lone operand used as a condition: WHERE TRUE, WHERE Flag
    };

    Kind kind = Kind::Compare;
    // And, Or: two or more, kept flat so that long chains cost no depth;
    // Not: one.
    std::vector<std::unique_ptr<Expr>> terms;
    CompareOp op = CompareOp::Equal;
    bool negated = false; // IS NOT NULL, NOT LIKE, NOT IN, NOT BETWEEN
    Operand lhs;
    Operand rhs;
    Operand high;
    std::vector<Operand> list;
};

} // namespace kelvara::driver::sql
