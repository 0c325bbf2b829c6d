#include "driver/sql/query.hpp"
#include "test_rows.hpp"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>

namespace kelvara::driver::sql {
namespace {

using test::columnIndex;
using test::sampleColumns;

bool holds(const std::string& condition, const std::vector<Value>& row) {
    const BoundQuery query(parse("select * from T where " + condition), sampleColumns());
    return query.matches(row);
}

struct ConditionCase {
    const char* condition;
    bool onSampleRow;
    bool onNullRow; // a row whose every column is Null
};

void PrintTo(const ConditionCase& c, std::ostream* os) {
    *os << c.condition;
}

class Condition : public testing::TestWithParam<ConditionCase> {};

TEST_P(Condition, HoldsExactlyWhenTrue) {
    const ConditionCase& c = GetParam();
    EXPECT_EQ(holds(c.condition, test::sampleRow()), c.onSampleRow)
        << c.condition << " on sample row";
    EXPECT_EQ(holds(c.condition, test::nullRow()), c.onNullRow) << c.condition << " on Null row";
}

// The sample row: Flag True, Small 200, Qty -5, Id 123456, Price 1234.5678,
// Ratio 0.1 (Single), Amount 3.25, When 1850-06-15 12:00, Name "Émile Zola",
// Notes "50% off [sale]*", Code {6F9619FF-8B86-D011-B42D-00C04FC964FF},
// Dec 12345678901234.5678.
INSTANTIATE_TEST_SUITE_P(
    YesNo, Condition,
    testing::Values(
        // Access's True is -1: Flag = 1 holds for no row.
        ConditionCase{"Flag = TRUE", true, false}, ConditionCase{"Flag = Yes", true, false},
        ConditionCase{"Flag = -1", true, false}, ConditionCase{"Flag <> 0", true, false},
        ConditionCase{"Flag = 1", false, false}, ConditionCase{"Flag = FALSE", false, false},
        ConditionCase{"Flag < 0", true, false}, ConditionCase{"Flag", true, false},
        ConditionCase{"NOT Flag", false, false}));

INSTANTIATE_TEST_SUITE_P(
    WholeNumbers, Condition,
    testing::Values(
        ConditionCase{"Small = 200", true, false}, ConditionCase{"Small = 2e2", true, false},
        ConditionCase{"Small = 200.0", true, false},
        ConditionCase{"Small = 200.0001", false, false},
        ConditionCase{"Small > 199.5", true, false}, ConditionCase{"Small < 200.5", true, false},
        ConditionCase{"Small >= 200.5", false, false},
        ConditionCase{"Small <= 199.99", false, false}, ConditionCase{"Small < 1e300", true, false},
        ConditionCase{"Small > -1e300", true, false}, ConditionCase{"Qty = -5", true, false},
        ConditionCase{"Qty < -4.9", true, false}, ConditionCase{"Qty > -5.1", true, false},
        ConditionCase{"Qty <= -5.1", false, false}, ConditionCase{"-5 = Qty", true, false},
        ConditionCase{"-4 > Qty", true, false}, ConditionCase{"Id = 123456", true, false},
        ConditionCase{"Id <> 123456", false, false}, ConditionCase{"Id != 123457", true, false},
        ConditionCase{"Id LIKE '123*'", true, false},
        ConditionCase{"Id > 99999999999999999999999", false, false}));

INSTANTIATE_TEST_SUITE_P(ExactNumbers, Condition,
                         testing::Values(
                             // Currency and Decimal compare exactly with the literal as written.
                             ConditionCase{"Price = 1234.5678", true, false},
                             ConditionCase{"Price = 1234.56780000", true, false},
                             ConditionCase{"Price = 1234.56780000001", false, false},
                             ConditionCase{"Price > 1234.56779999999", true, false},
                             ConditionCase{"Price < 1234.56780000001", true, false},
                             ConditionCase{"Price >= 1234.5678 AND Price <= 1234.5678", true,
                                           false},
                             ConditionCase{"Dec = 12345678901234.5678", true, false},
                             ConditionCase{"Dec = 12345678901234.5678000000000001", false, false},
                             ConditionCase{"Dec > 12345678901234.5677999999999999", true, false},
                             ConditionCase{"Dec < 1.2345678901234568e13", true, false}));

INSTANTIATE_TEST_SUITE_P(
    Floats, Condition,
    testing::Values(
        // A Single compares as the Single its literal rounds to: as it is shown.
        ConditionCase{"Ratio = 0.1", true, false}, ConditionCase{"Ratio > 0.1", false, false},
        ConditionCase{"Ratio < 0.1", false, false}, ConditionCase{"Ratio > 0.09999", true, false},
        ConditionCase{"Amount = 3.25", true, false}, ConditionCase{"Amount = 325e-2", true, false},
        ConditionCase{"Amount > 3.2499999999", true, false},
        ConditionCase{"Amount < 3.2500000001", true, false}));

INSTANTIATE_TEST_SUITE_P(Dates, Condition,
                         testing::Values(
                             // 1850 is stored as a negative day number with a forward fraction,
                             // so a plain comparison of the stored doubles would put 12:01 first.
                             ConditionCase{"When = #1850-06-15 12:00#", true, false},
                             ConditionCase{"When = #6/15/1850 12:00:00 PM#", true, false},
                             ConditionCase{"When = {ts '1850-06-15 12:00:00'}", true, false},
                             ConditionCase{"When < #1850-06-15 12:01#", true, false},
                             ConditionCase{"When > #1850-06-15 11:59#", true, false},
                             ConditionCase{"When > #1850-06-15#", true, false},
                             ConditionCase{"When < #1850-06-16#", true, false},
                             ConditionCase{"When BETWEEN #1850-01-01# AND #1850-12-31#", true,
                                           false},
                             ConditionCase{"When > #1899-12-30#", false, false},
                             ConditionCase{"When < -18094", true, false}));

INSTANTIATE_TEST_SUITE_P(Text, Condition,
                         testing::Values(
                             // Without regard to case, beyond ASCII too.
                             ConditionCase{"Name = 'émile zola'", true, false},
                             ConditionCase{"Name = 'ÉMILE ZOLA'", true, false},
                             ConditionCase{"Name = 'Emile Zola'", false, false},
                             ConditionCase{"Name <> 'émile zol'", true, false},
                             ConditionCase{"Name > 'émile zol'", true, false},
                             ConditionCase{"Name < 'F'", true, false}, // É sorts with E
                             ConditionCase{"Name > 'emile zola'", true, false},
                             ConditionCase{"Name = \"émile zola\"", true,
                                           false}, // a string: no such column
                             ConditionCase{"`Ünïcode Näme` = 'ÜNÏCODE'", true, false},
                             ConditionCase{"Name LIKE 'é*'", true, false},
                             ConditionCase{"Name LIKE '*ZOLA'", true, false},
                             ConditionCase{"Name LIKE 'Em*'", false, false},
                             ConditionCase{"Name LIKE '?mile Zol_'", true, false},
                             ConditionCase{"Name NOT LIKE '%zola'", false, false},
                             ConditionCase{"Name LIKE '[éa]mile*'", true, false},
                             ConditionCase{"Name LIKE '[!é]*'", false, false},
                             ConditionCase{"Name LIKE '*'", true, false},
                             ConditionCase{"Name NOT LIKE '*'", false, false},
                             // Wildcards in brackets stand for themselves.
                             ConditionCase{"Notes LIKE '50[%] off*'", true, false},
                             ConditionCase{"Notes LIKE '*[[]sale]*'", true, false},
                             ConditionCase{"Notes LIKE '*[*]'", true, false},
                             ConditionCase{"Notes LIKE '*[?]'", false, false},
                             ConditionCase{"Notes LIKE '##[%]*'", true, false},
                             ConditionCase{"Notes LIKE '[0-4]*'", false, false},
                             ConditionCase{"Notes LIKE '[5-9]*'", true, false},
                             ConditionCase{"Notes LIKE '*off*sale*'", true, false}));

INSTANTIATE_TEST_SUITE_P(
    GuidsAndColumns, Condition,
    testing::Values(
        ConditionCase{"Code = '{6f9619ff-8b86-d011-b42d-00c04fc964ff}'", true, false},
        ConditionCase{"Code = {guid '6F9619FF-8B86-D011-B42D-00C04FC964FF'}", true, false},
        ConditionCase{"Code <> '{6F9619FF-8B86-D011-B42D-00C04FC964FE}'", true, false},
        // Column with column: numbers of every kind by value.
        ConditionCase{"Small > Qty", true, false}, ConditionCase{"Price > Amount", true, false},
        ConditionCase{"Id > Price", true, false}, ConditionCase{"Dec > Price", true, false},
        ConditionCase{"Flag < Qty", false, false}, ConditionCase{"Name = Name", true, false},
        ConditionCase{"Name < Notes", false, false}));

INSTANTIATE_TEST_SUITE_P(
    LogicAndNulls, Condition,
    testing::Values(ConditionCase{"1 = 0", false, false}, ConditionCase{"0 = 1", false, false},
                    ConditionCase{"1 = 1", true, true}, ConditionCase{"'a' = 'A'", true, true},
                    ConditionCase{"TRUE", true, true}, ConditionCase{"NULL = NULL", false, false},
                    ConditionCase{"Name = NULL", false, false},
                    ConditionCase{"NOT (Name = NULL)", false, false},
                    ConditionCase{"Name IS NULL", false, true},
                    ConditionCase{"Name IS NOT NULL", true, false},
                    ConditionCase{"NOT Name IS NULL", true, false},
                    ConditionCase{"Id IN (1, 2, 123456)", true, false},
                    ConditionCase{"Id NOT IN (1, 2)", true, false},
                    // With a NULL in the list, NOT IN is never true.
                    ConditionCase{"Id IN (1, NULL)", false, false},
                    ConditionCase{"Id NOT IN (1, NULL)", false, false},
                    ConditionCase{"Id IN (123456, NULL)", true, false},
                    // Access reads BETWEEN's bounds in either order.
                    ConditionCase{"Qty BETWEEN -10 AND 0", true, false},
                    ConditionCase{"Qty BETWEEN 0 AND -10", true, false},
                    ConditionCase{"Qty NOT BETWEEN -10 AND 0", false, false},
                    ConditionCase{"Qty BETWEEN Small AND Id", false, false},
                    ConditionCase{"Small BETWEEN Id AND Qty", true, false},
                    ConditionCase{"Id = 1 OR 1 = 1", true, true},
                    ConditionCase{"Id = 1 AND 1 = 0", false, false},
                    ConditionCase{"NOT (Id = 1 AND 1 = 0)", true, true},
                    ConditionCase{"NOT (Id = 1 OR 1 = 0)", true, false},
                    ConditionCase{"Flag AND Qty = -5 AND (Id = 7 OR T.Small = 200)", true, false}));

TEST(Condition, LongGeneratedChainsAndListsWork) {
    std::string chain = "Id = 0";
    std::string list = "Id IN (0";
    for (int i = 1; i <= 20000; ++i) {
        chain += " OR Id = " + std::to_string(i * 10);
        list += ", " + std::to_string(i * 10);
    }
    list += ")";
    auto row = test::sampleRow();
    row[columnIndex("Id")] = test::integerValue(123450);
    EXPECT_TRUE(holds(chain, row));
    EXPECT_TRUE(holds(list, row));
    EXPECT_FALSE(holds("NOT " + list, row));
    row[columnIndex("Id")] = test::integerValue(123451);
    EXPECT_FALSE(holds(chain, row));
    EXPECT_FALSE(holds(list, row));
}

// Builds rows where only the named column is set; `values` in input order.
std::vector<std::vector<Value>> rowsOf(const std::string& column, std::vector<Value> values) {
    std::vector<std::vector<Value>> rows;
    for (std::size_t i = 0; i < values.size(); ++i) {
        rows.push_back(test::nullRow());
        rows.back()[columnIndex(column)] = std::move(values[i]);
        rows.back()[columnIndex("Id")] = test::integerValue(static_cast<std::int64_t>(i));
    }
    return rows;
}

// The input positions of the rows after a stable sort by ORDER BY.
std::vector<std::int64_t> sortedIds(const std::string& orderBy,
                                    std::vector<std::vector<Value>> rows) {
    const BoundQuery query(parse("select * from T order by " + orderBy), sampleColumns());
    std::stable_sort(rows.begin(), rows.end(),
                     [&query](const auto& a, const auto& b) { return query.before(a, b); });
    std::vector<std::int64_t> ids;
    for (const auto& row : rows)
        ids.push_back(row[columnIndex("Id")].integer);
    return ids;
}

using Ids = std::vector<std::int64_t>;

TEST(OrderBy, NullsFirstAscendingAndLastDescending) {
    const auto rows =
        rowsOf("Qty", {test::integerValue(3), test::nullValue(), test::integerValue(-7),
                       test::integerValue(3), test::nullValue()});
    EXPECT_EQ(sortedIds("Qty", rows), (Ids{1, 4, 2, 0, 3}));
    EXPECT_EQ(sortedIds("Qty DESC", rows), (Ids{0, 3, 2, 1, 4}));
}

TEST(OrderBy, EachTypeInItsOwnOrder) {
    EXPECT_EQ(sortedIds("Name", rowsOf("Name", {test::textValue("b"), test::textValue("A"),
                                                test::textValue("a"), test::textValue("B2")})),
              (Ids{1, 2, 0, 3}));
    // True is -1 in Access and so sorts before False.
    EXPECT_EQ(sortedIds("Flag", rowsOf("Flag", {test::boolValue(false), test::boolValue(true)})),
              (Ids{1, 0}));
    EXPECT_EQ(sortedIds("When",
                        rowsOf("When",
                               {test::dateValue(1899, 12, 29, 18), test::dateValue(1900, 1, 1),
                                test::dateValue(1899, 12, 29, 6), test::dateValue(1066, 10, 14)})),
              (Ids{3, 2, 0, 1}));
    EXPECT_EQ(sortedIds("Price DESC", rowsOf("Price", {test::moneyValue(1),
                                                       test::moneyValue(-9223372036854775807LL - 1),
                                                       test::moneyValue(0)})),
              (Ids{0, 2, 1}));
    EXPECT_EQ(
        sortedIds("Dec", rowsOf("Dec", {test::decimalValue(5, 1), test::decimalValue(5, 1, true),
                                        test::decimalValue(49, 2)})),
        (Ids{1, 2, 0}));
    EXPECT_EQ(
        sortedIds("Amount", rowsOf("Amount", {test::float64Value(1e300), test::float64Value(-0.5),
                                              test::float64Value(2)})),
        (Ids{1, 2, 0}));
}

TEST(OrderBy, LaterKeysBreakTiesAndEqualRowsKeepTheirOrder) {
    auto rows = rowsOf("Qty", {test::integerValue(1), test::integerValue(2), test::integerValue(1),
                               test::integerValue(2), test::integerValue(1)});
    rows[0][columnIndex("Name")] = test::textValue("x");
    rows[2][columnIndex("Name")] = test::textValue("X");
    rows[4][columnIndex("Name")] = test::textValue("a");
    EXPECT_EQ(sortedIds("Qty DESC, Name", rows), (Ids{1, 3, 4, 0, 2}));
}

} // namespace
} // namespace kelvara::driver::sql
