// Every value listed in fixtures.json, read back through TableReader and
// appendCharacterForm from both fixture databases.
#include "driver/core/database.hpp"
#include "driver/core/format.hpp"
#include "fixture_paths.hpp"
#include "json.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

namespace kelvara::driver {
namespace {

using test::Json;

const Json& fixtures() {
    static const Json document = Json::parseFile(test::fixturePath("fixtures.json"));
    return document;
}

// "0012.3400" and "12.34" are the same number; so are "-0.0000" and "0".
std::string canonicalDecimal(std::string text) {
    bool negative = !text.empty() && text[0] == '-';
    if (negative) {
        text.erase(0, 1);
    }
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') {
            text.pop_back();
        }
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    const std::size_t firstDigit = text.find_first_not_of('0');
    text = firstDigit == std::string::npos ? "0" : text.substr(firstDigit);
    if (text[0] == '.') {
        text.insert(0, "0");
    }
    return (negative && text != "0" ? "-" : "") + text;
}

template <typename Float> bool sameFloat(Float a, Float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void expectValue(const std::string& type, const Json& expected, const Value& actual,
                 const std::string& where) {
    SCOPED_TRACE(where);
    if (expected.isNull()) {
        EXPECT_TRUE(actual.isNull());
        return;
    }
    ASSERT_FALSE(actual.isNull());
    std::string text;
    appendCharacterForm(actual, text);
    if (type == "BOOLEAN") {
        EXPECT_EQ(text, expected.boolean ? "1" : "0");
    } else if (type == "MONEY" || type == "NUMERIC") {
        EXPECT_EQ(canonicalDecimal(text), canonicalDecimal(expected.text));
    } else if (type == "FLOAT") {
        EXPECT_TRUE(sameFloat(std::strtof(text.c_str(), nullptr),
                              std::strtof(expected.text.c_str(), nullptr)))
            << text << " vs " << expected.text;
    } else if (type == "DOUBLE") {
        EXPECT_TRUE(sameFloat(std::strtod(text.c_str(), nullptr),
                              std::strtod(expected.text.c_str(), nullptr)))
            << text << " vs " << expected.text;
    } else if (type == "GUID") {
        std::string guid = expected.text.substr(1, expected.text.size() - 2);
        std::transform(guid.begin(), guid.end(), guid.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        EXPECT_EQ(text, guid);
    } else {
        EXPECT_EQ(text, expected.text);
    }
}

class FixtureValues : public ::testing::TestWithParam<const char*> {};

TEST_P(FixtureValues, EveryTableReadsBackEveryValue) {
    const auto database = Database::open(test::fixturePath(GetParam()), "");
    std::vector<std::string> expectedNames;
    for (const Json& table : fixtures()["tables"].items) {
        expectedNames.push_back(table["name"].text);
    }
    EXPECT_EQ(database->tableNames(), expectedNames);

    Value value;
    for (const Json& table : fixtures()["tables"].items) {
        const auto reader = database->openTable(table["name"].text);
        const auto& columns = table["columns"].items;
        ASSERT_EQ(reader->columns().size(), columns.size()) << table["name"].text;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            EXPECT_EQ(reader->columns()[c].name, columns[c]["name"].text);
        }
        std::size_t row = 0;
        while (reader->next()) {
            ASSERT_LT(row, table["rows"].items.size()) << table["name"].text;
            const Json& expectedRow = table["rows"].items[row];
            for (std::size_t c = 0; c < columns.size(); ++c) {
                reader->read(c, value);
                expectValue(columns[c]["type"].text, expectedRow.items[c], value,
                            table["name"].text + " row " + std::to_string(row + 1) + " column " +
                                columns[c]["name"].text);
            }
            ++row;
        }
        EXPECT_EQ(row, std::stoul(table["rowCount"].text)) << table["name"].text;
    }
}

TEST_P(FixtureValues, ColumnsDescribeTheirStorage) {
    const auto database = Database::open(test::fixturePath(GetParam()), "");
    const auto reader = database->openTable("AllTypes");
    const auto& columns = reader->columns();
    const auto byName = [&](const std::string& name) -> const ColumnInfo& {
        return *std::find_if(columns.begin(), columns.end(),
                             [&](const ColumnInfo& c) { return c.name == name; });
    };
    EXPECT_EQ(byName("ID").kind, ColumnKind::Int32);
    EXPECT_TRUE(byName("ID").autoNumber);
    EXPECT_FALSE(byName("ID").nullable);
    EXPECT_EQ(byName("Name").kind, ColumnKind::Text);
    EXPECT_EQ(byName("Name").maxLength, 50U);
    EXPECT_TRUE(byName("Name").nullable);
    EXPECT_EQ(byName("Notes").kind, ColumnKind::Memo);
    EXPECT_EQ(byName("Exact").kind, ColumnKind::Numeric);
    EXPECT_EQ(byName("Exact").precision, 18);
    EXPECT_EQ(byName("Exact").scale, 4);
    EXPECT_EQ(byName("Flag").kind, ColumnKind::Bool);
    EXPECT_FALSE(byName("Flag").nullable);
    EXPECT_EQ(byName("Blob").kind, ColumnKind::Ole);
    EXPECT_EQ(byName("Guid").kind, ColumnKind::Guid);
}

TEST_P(FixtureValues, TablesAreFoundWithoutRegardToCase) {
    const auto database = Database::open(test::fixturePath(GetParam()), "");
    EXPECT_EQ(database->openTable("ÜNÏCODE TÄBLE")->name(), "Ünïcode Täble");
    EXPECT_EQ(database->openTable("order lines")->name(), "Order Lines");
}

TEST_P(FixtureValues, RewindStartsAgain) {
    const auto database = Database::open(test::fixturePath(GetParam()), "");
    const auto reader = database->openTable("Order Lines");
    std::size_t first = 0;
    while (reader->next()) {
        ++first;
    }
    reader->rewind();
    std::size_t second = 0;
    while (reader->next()) {
        ++second;
    }
    EXPECT_EQ(first, 5U);
    EXPECT_EQ(second, 5U);
}

INSTANTIATE_TEST_SUITE_P(BothFormats, FixtureValues,
                         ::testing::Values("fixtures.mdb", "fixtures.accdb"));

} // namespace
} // namespace kelvara::driver
