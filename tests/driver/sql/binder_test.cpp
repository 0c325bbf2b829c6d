#include "driver/core/error.hpp"
#include "driver/sql/query.hpp"
#include "test_rows.hpp"

#include <gtest/gtest.h>

namespace kelvara::driver::sql {
namespace {

using test::columnIndex;
using test::sampleColumns;

BoundQuery bindSample(const std::string& sql) {
    return BoundQuery(parse(sql), sampleColumns());
}

TEST(Binder, AllColumnsInTableOrder) {
    const BoundQuery query = bindSample("select * from T");
    ASSERT_EQ(query.outputColumns().size(), sampleColumns().size());
    for (std::size_t i = 0; i < sampleColumns().size(); ++i)
        EXPECT_EQ(query.outputColumns()[i], i);
    EXPECT_FALSE(query.ordered());
    EXPECT_FALSE(query.top().has_value());
}

TEST(Binder, NamesMatchWithoutRegardToCaseQuotesOrQualifier) {
    const BoundQuery query =
        bindSample("select TOP 7 id, [NAME], `ÜNÏCODE NÄME`, \"price\", t.Qty, `T`.`flag` from t");
    const std::vector<std::size_t> expected = {columnIndex("Id"),           columnIndex("Name"),
                                               columnIndex("Ünïcode Näme"), columnIndex("Price"),
                                               columnIndex("Qty"),          columnIndex("Flag")};
    EXPECT_EQ(query.outputColumns(), expected);
    EXPECT_EQ(query.top(), 7U);
}

TEST(Binder, AliasQualifiesColumns) {
    const BoundQuery query = bindSample("select x.Id from T as x where x.Qty = 1 order by X.Name");
    EXPECT_EQ(query.outputColumns(), std::vector<std::size_t>{columnIndex("Id")});
    EXPECT_TRUE(query.ordered());
}

TEST(Binder, NeededColumnsCoverOutputConditionAndOrder) {
    const BoundQuery query =
        bindSample("select Name, Id from T where Qty > 1 or Price = Amount order by When");
    std::vector<std::size_t> expected = {columnIndex("Name"),   columnIndex("Id"),
                                         columnIndex("Qty"),    columnIndex("Price"),
                                         columnIndex("Amount"), columnIndex("When")};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(query.neededColumns(), expected);
}

TEST(Binder, ConstantConditionsFoldBeforeAnyRowIsRead) {
    struct Case {
        const char* where;
        bool neverMatches;
        std::vector<std::string> conditionColumns;
    };
    const Case cases[] = {
        {"1 = 0", true, {}},
        {"0 = 1", true, {}},
        {"NULL = NULL", true, {}},
        {"Id = 1 AND 1 = 0", true, {}},
        {"NOT (1 = 1 OR Id = 1)", true, {}},
        {"Name = NULL", true, {}},
        {"1 = 1", false, {}},
        {"Id = 1 OR 1 = 0", false, {"Id"}},
        {"Id = 1 OR 1 = 1", false, {}},
        {"Name LIKE 'a*' AND (Qty = Small OR Price IN (1, 2)) AND When IS NULL",
         false,
         {"Small", "Qty", "Price", "When", "Name"}},
    };
    for (const Case& c : cases) {
        const BoundQuery query = bindSample(std::string("select Id from T where ") + c.where);
        EXPECT_EQ(query.neverMatches(), c.neverMatches) << c.where;
        std::vector<std::size_t> expected;
        for (const auto& name : c.conditionColumns)
            expected.push_back(columnIndex(name));
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(query.conditionColumns(), expected) << c.where;
    }
    EXPECT_FALSE(bindSample("select * from T").neverMatches());
}

TEST(Binder, OrderByNumberRefersToTheSelectList) {
    const BoundQuery query = bindSample("select Name, Id from T order by 2 desc");
    std::vector<Value> low = test::nullRow();
    std::vector<Value> high = test::nullRow();
    low[columnIndex("Id")] = test::integerValue(1);
    high[columnIndex("Id")] = test::integerValue(2);
    EXPECT_TRUE(query.before(high, low));
    EXPECT_FALSE(query.before(low, high));
}

struct ErrorCase {
    const char* sql;
    const char* sqlstate;
    const char* messagePart;
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
    *os << c.sql;
}

class BindErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(BindErrors, NameTheCulprit) {
    try {
        bindSample(GetParam().sql);
        FAIL() << "bound: " << GetParam().sql;
    } catch (const DriverError& error) {
        EXPECT_STREQ(error.sqlstate(), GetParam().sqlstate) << GetParam().sql;
        EXPECT_NE(std::string(error.what()).find(GetParam().messagePart), std::string::npos)
            << GetParam().sql << " -> " << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BindErrors,
    testing::Values(
        ErrorCase{"select Nmae from T", "42S22", "'Nmae'"},
        ErrorCase{"select * from T where Nmae = 1", "42S22", "'Nmae'"},
        ErrorCase{"select * from T order by Nmae", "42S22", "'Nmae'"},
        ErrorCase{"select Other.Id from T", "42S22", "'Other.Id'"},
        ErrorCase{"select T.Id from T as x where y.Id = 1", "42S22", "'y.Id'"},
        ErrorCase{"select u.* from T", "42S22", "'u'"},
        ErrorCase{"select * from T order by 30", "42S22", "ORDER BY 30"},
        ErrorCase{"select Id from T order by 2", "42S22", "ORDER BY 2"},
        // Access refuses comparisons across types: "Data type mismatch".
        ErrorCase{"select * from T where Name = #2020-01-01#", "22018", "'Name'"},
        ErrorCase{"select * from T where Name = 5", "22018", "Data type mismatch"},
        ErrorCase{"select * from T where Notes > TRUE", "22018", "Data type mismatch"},
        ErrorCase{"select * from T where Id = 'x'", "22018", "the text 'x'"},
        ErrorCase{"select * from T where Price between 1 and 'z'", "22018", "Data type mismatch"},
        ErrorCase{"select * from T where When = 'yesterday'", "22018", "Data type mismatch"},
        ErrorCase{"select * from T where Flag = 'yes'", "22018", "Data type mismatch"},
        ErrorCase{"select * from T where Code = 'not a guid'", "22018", "Data type mismatch"},
        ErrorCase{"select * from T where Code = 1", "22018", "Data type mismatch"},
        ErrorCase{"select * from T where Blob = 'x'", "22018", "Data type mismatch"},
        ErrorCase{"select * from T where Name = Id", "22018", "column 'Id'"},
        ErrorCase{"select * from T where Code = Name", "22018", "Data type mismatch"},
        ErrorCase{"select * from T where 'a' = 1", "22018", "Data type mismatch"},
        ErrorCase{"select * from T where When like '2020*'", "22018", "LIKE"},
        ErrorCase{"select * from T where Name like 5", "22018", "LIKE"},
        ErrorCase{"select * from T where Name", "22018", "Data type mismatch"},
        ErrorCase{"select * from T where Name in ('a', 1)", "22018", "Data type mismatch"},
        ErrorCase{"select * from T where Name like '[abc'", "42000", "'[abc'"},
        ErrorCase{"select * from T where Name like Notes", "42000", "LIKE"}));

} // namespace
} // namespace kelvara::driver::sql
