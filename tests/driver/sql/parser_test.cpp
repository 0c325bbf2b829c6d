#include "driver/core/error.hpp"
#include "driver/sql/expr.hpp"
#include "driver/sql/query.hpp"

#include <gtest/gtest.h>
#include <sstream>

namespace kelvara::driver::sql {
namespace {

std::string describe(const Operand& operand) {
    switch (operand.kind) {
    case Operand::Kind::Column:
        return operand.column.qualifier.empty()
                   ? operand.column.name
                   : operand.column.qualifier + "." + operand.column.name;
    case Operand::Kind::QuotedName:
        return "\"" + operand.column.name + "\"";
    case Operand::Kind::Literal:
        break;
    }
    const Literal& literal = operand.literal;
    std::ostringstream out;
    switch (literal.kind) {
    case Literal::Kind::Null:
        return "NULL";
    case Literal::Kind::Number:
        return literal.text;
    case Literal::Kind::String:
        return "'" + literal.text + "'";
    case Literal::Kind::DateTime:
        out << '#' << literal.days << '#';
        return out.str();
    case Literal::Kind::Bool:
        return literal.boolean ? "TRUE" : "FALSE";
    case Literal::Kind::Guid:
        out << "{guid";
        for (auto byte : literal.guid)
            out << ' ' << int{byte};
        return out.str() + "}";
    }
    return "?";
}

std::string describe(const Expr& e) {
    static const char* const kOps[] = {"=", "<>", "<", "<=", ">", ">="};
    const std::string no = e.negated ? "NOT " : "";
    switch (e.kind) {
    case Expr::Kind::And:
    case Expr::Kind::Or:
    case Expr::Kind::Not: {
        std::string text = e.kind == Expr::Kind::And  ? "(AND"
                           : e.kind == Expr::Kind::Or ? "(OR"
                                                      : "(NOT";
        for (const auto& term : e.terms)
            text += " " + describe(*term);
        return text + ")";
    }
    case Expr::Kind::Compare:
        return std::string("(") + kOps[static_cast<int>(e.op)] + " " + describe(e.lhs) + " " +
               describe(e.rhs) + ")";
    case Expr::Kind::IsNull:
        return "(IS " + no + "NULL " + describe(e.lhs) + ")";
    case Expr::Kind::Like:
        return "(" + no + "LIKE " + describe(e.lhs) + " " + describe(e.rhs) + ")";
    case Expr::Kind::In: {
        std::string text = "(" + no + "IN " + describe(e.lhs);
        for (const Operand& item : e.list)
            text += " " + describe(item);
        return text + ")";
    }
    case Expr::Kind::Between:
        return "(" + no + "BETWEEN " + describe(e.lhs) + " " + describe(e.rhs) + " " +
               describe(e.high) + ")";
    case Expr::Kind::Operand:
        return describe(e.lhs);
    }
    return "?";
}

// One line: every part of the statement that the executor relies on.
std::string describe(const SelectStatement& s) {
    std::string text;
    if (s.top)
        text += "top=" + std::to_string(*s.top) + " ";
    text += "cols=";
    if (s.allColumns)
        text += s.columnQualifiers.empty() ? "*" : s.columnQualifiers.front() + ".*";
    for (std::size_t i = 0; i < s.columns.size(); ++i) {
        text += i == 0 ? "" : ",";
        text += s.columnQualifiers[i].empty() ? s.columns[i]
                                              : s.columnQualifiers[i] + "." + s.columns[i];
    }
    text += " from=" + s.table;
    if (!s.tableAlias.empty())
        text += " as=" + s.tableAlias;
    if (s.where)
        text += " where=" + describe(*s.where);
    for (std::size_t i = 0; i < s.orderBy.size(); ++i) {
        const OrderTerm& term = s.orderBy[i];
        text += i == 0 ? " order=" : ",";
        if (term.ordinal != 0)
            text += std::to_string(term.ordinal);
        else
            text += term.qualifier.empty() ? term.column : term.qualifier + "." + term.column;
        text += term.descending ? " desc" : "";
    }
    return text;
}

struct ValidCase {
    const char* sql;
    const char* expected;
};

void PrintTo(const ValidCase& c, std::ostream* os) {
    *os << c.sql;
}

class ParseValid : public testing::TestWithParam<ValidCase> {};

TEST_P(ParseValid, GivesTheStatementsStructure) {
    EXPECT_EQ(describe(parse(GetParam().sql)), GetParam().expected) << GetParam().sql;
}

INSTANTIATE_TEST_SUITE_P(
    Statements, ParseValid,
    testing::Values(
        // The program's own statement, as typed and after bracket rewriting.
        ValidCase{"select * from Customers", "cols=* from=Customers"},
        ValidCase{"select * from `Order Details`", "cols=* from=Order Details"},
        ValidCase{"SELECT * FROM [Order Details];", "cols=* from=Order Details"},
        ValidCase{"Select * From \"t\" Where 1=0", "cols=* from=t where=(= 1 0)"},
        ValidCase{"select * from Ünïcode", "cols=* from=Ünïcode"},
        ValidCase{"select * from `a``b`", "cols=* from=a`b"},
        ValidCase{"SELECT TOP 3 Id, t.Name, `x`.`y z` FROM t ORDER BY Name DESC, Id ASC, 2",
                  "top=3 cols=Id,t.Name,x.y z from=t order=Name desc,Id,2"},
        ValidCase{"select t.* from Tab as t", "cols=t.* from=Tab as=t"},
        ValidCase{"select distinctrow a from Tab x", "cols=a from=Tab as=x"},
        // Literals: numbers stay as written, dates become Access's day numbers.
        ValidCase{"select * from t where a = -1.5e3 or a > .5 or a < +7",
                  "cols=* from=t where=(OR (= a -1.5e3) (> a .5) (< a 7))"},
        ValidCase{"select * from t where s = 'It''s' and s <> \"x\" and s != ''",
                  "cols=* from=t where=(AND (= s 'It's') (<> s \"x\") (<> s ''))"},
        ValidCase{"select * from t where d >= #1899-12-29 06:00# and d < #1/2/1900 6:00 PM#",
                  "cols=* from=t where=(AND (>= d #-1.25#) (< d #3.75#))"},
        ValidCase{"select * from t where d = {d '1900-01-01'} or d = {ts '1899-12-30 12:00:00'}",
                  "cols=* from=t where=(OR (= d #2#) (= d #0.5#))"},
        ValidCase{"select * from t where d = #12:00# or d = #1/1/29#",
                  "cols=* from=t where=(OR (= d #0.5#) (= d #47119#))"},
        ValidCase{"select * from t where f = TRUE or f = no or f IS NOT NULL or f is null",
                  "cols=* from=t where=(OR (= f TRUE) (= f FALSE) (IS NOT NULL f) (IS NULL f))"},
        ValidCase{"select * from t where g = {guid '{00000001-0002-0003-0405-060708090A0B}'}",
                  "cols=* from=t where=(= g {guid 1 0 0 0 2 0 3 0 4 5 6 7 8 9 10 11})"},
        // Precedence: NOT binds tighter than AND, AND tighter than OR.
        ValidCase{"select * from t where not a = 1 and b = 2 or c = 3",
                  "cols=* from=t where=(OR (AND (NOT (= a 1)) (= b 2)) (= c 3))"},
        ValidCase{"select * from t where a = 1 and (b = 2 or not (c = 3))",
                  "cols=* from=t where=(AND (= a 1) (OR (= b 2) (NOT (= c 3))))"},
        ValidCase{"select * from t where a not like 'x*' and b like '%y_' and 5 < a",
                  "cols=* from=t where=(AND (NOT LIKE a 'x*') (LIKE b '%y_') (< 5 a))"},
        ValidCase{"select * from t where a in (1, 'two', #2000-01-01#) and b not in (NULL)",
                  "cols=* from=t where=(AND (IN a 1 'two' #36526#) (NOT IN b NULL))"},
        ValidCase{"select * from t where a between -1 and 1 and b not between c and 2",
                  "cols=* from=t where=(AND (BETWEEN a -1 1) (NOT BETWEEN b c 2))"},
        ValidCase{"select * from t where t.a = `t`.`b` and flag",
                  "cols=* from=t where=(AND (= t.a t.b) flag)"},
        ValidCase{"SeLeCt * FrOm t WhErE a<>b", "cols=* from=t where=(<> a b)"}));

struct InvalidCase {
    const char* sql;
    const char* sqlstate;
    const char* messagePart; // the message must contain this
};

void PrintTo(const InvalidCase& c, std::ostream* os) {
    *os << c.sql;
}

class ParseInvalid : public testing::TestWithParam<InvalidCase> {};

TEST_P(ParseInvalid, FailsWithStateAndPosition) {
    try {
        parse(GetParam().sql);
        FAIL() << "parsed: " << GetParam().sql;
    } catch (const DriverError& error) {
        EXPECT_STREQ(error.sqlstate(), GetParam().sqlstate) << GetParam().sql;
        EXPECT_NE(std::string(error.what()).find(GetParam().messagePart), std::string::npos)
            << GetParam().sql << " -> " << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Errors, ParseInvalid,
    testing::Values(
        InvalidCase{"select * form t", "42000", "position 10 near 'form'"},
        InvalidCase{"select a b c from t", "42000", "Column aliases are not supported"},
        InvalidCase{"select * from t where", "42000", "position 22 at the end"},
        InvalidCase{"select * from t where a = 'open", "42000", "position 27 near ''open'"},
        InvalidCase{"select * from [open", "42000", "position 15"},
        InvalidCase{"select * from t where a = #2021-02-29#", "42000", "invalid date"},
        InvalidCase{"select * from t where a = #13/1/2000#", "42000", "invalid date"},
        InvalidCase{"select * from t where (a = 1", "42000", "expected ')'"},
        InvalidCase{"select * from t where ä = 1 oder b = 2", "42000", "position 29 near 'oder'"},
        InvalidCase{"select * from t where a not = 1", "42000", "expected LIKE, IN or BETWEEN"},
        InvalidCase{"select * from t order by", "42000", "expected a column name"},
        InvalidCase{"select * from t extra words", "42000", "near 'words'"},
        InvalidCase{"select top x * from t", "42000", "TOP needs a whole number"},
        InvalidCase{"select * from t where a = b + 1", "42000", "not supported"},
        InvalidCase{"select count(*) from t", "42000",
                    "Functions such as count() are not supported"},
        InvalidCase{"select * from t where len(a) = 1", "42000", "Functions"},
        InvalidCase{"select * from a, b", "42000", "Joins are not supported"},
        InvalidCase{"select * from a inner join b on a.x = b.x", "42000", "Joins"},
        InvalidCase{"select a from t group by a", "42000", "GROUP BY"},
        InvalidCase{"select distinct a from t", "42000", "DISTINCT"},
        InvalidCase{"select * from t where a = ?", "42000", "Parameters"},
        InvalidCase{"select * from t where a in (select b from u)", "42000", "Subqueries"},
        InvalidCase{"select * from t where a = {fn ucase('x')}", "42000", "{fn"},
        InvalidCase{"", "42000", "expected SELECT"},
        InvalidCase{"insert into t values (1)", "HY000", "read-only"},
        InvalidCase{"UPDATE t SET a = 1", "HY000", "read-only"},
        InvalidCase{"delete from t", "HY000", "read-only"},
        InvalidCase{"drop table t", "HY000", "read-only"},
        InvalidCase{"create table t (a int)", "HY000", "read-only"},
        InvalidCase{"alter table t add b int", "HY000", "read-only"},
        InvalidCase{"select * into u from t", "HY000", "read-only"}));

TEST(ParseLimits, DeepNestingIsASyntaxErrorNotACrash) {
    const std::string deep = "select * from t where " + std::string(100000, '(') + "a = 1";
    try {
        parse(deep);
        FAIL();
    } catch (const DriverError& error) {
        EXPECT_STREQ(error.sqlstate(), "42000");
        EXPECT_NE(std::string(error.what()).find("nested too deeply"), std::string::npos);
    }
    std::string nots = "select * from t where ";
    for (int i = 0; i < 100; ++i)
        nots += "not (";
    nots += "a = 1" + std::string(100, ')');
    EXPECT_NO_THROW(parse(nots));
}

} // namespace
} // namespace kelvara::driver::sql
