// The files Access itself wrote: every table opens and reads whole, with text
// in the right code page.
#include "driver/core/database.hpp"
#include "driver/core/format.hpp"
#include "fixture_paths.hpp"

#include <gtest/gtest.h>
#include <map>

namespace kelvara::driver {
namespace {

// Every table's rows in their character forms, one string per row.
std::map<std::string, std::vector<std::string>> readAll(const std::string& file) {
    const auto database = Database::open(test::fixturePath(file), "");
    std::map<std::string, std::vector<std::string>> tables;
    Value value;
    for (const std::string& name : database->tableNames()) {
        const auto reader = database->openTable(name);
        auto& rows = tables[name];
        while (reader->next()) {
            std::string row;
            for (std::size_t c = 0; c < reader->columns().size(); ++c) {
                reader->read(c, value);
                row += c == 0 ? "" : "|";
                appendCharacterForm(value, row);
            }
            rows.push_back(std::move(row));
        }
    }
    return tables;
}

bool anyRowContains(const std::vector<std::string>& rows, const std::string& text) {
    for (const std::string& row : rows) {
        if (row.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(RealFiles, Jet3NorthwindInItsCodePage) {
    const auto tables = readAll("real/nwind.mdb");
    ASSERT_EQ(tables.size(), 9U);
    EXPECT_EQ(tables.at("Order Details").size(), 2155U);
    EXPECT_EQ(tables.at("Orders").size(), 830U);
    EXPECT_EQ(tables.at("Customers").size(), 91U);
    EXPECT_EQ(tables.at("Ums\xC3\xA4tze").size(), 830U);
    EXPECT_TRUE(anyRowContains(tables.at("Customers"), "Avda. de la Constituci\xC3\xB3n 2222"));
    EXPECT_TRUE(anyRowContains(tables.at("Orders"), "M\xC3\xBCnchen"));
    EXPECT_EQ(tables.at("Shippers").front(), "1|Speedy Express|(503) 555-9831");
}

TEST(RealFiles, Jet4DatesBeforeAndAfterDayZero) {
    const auto tables = readAll("real/DateTestDatabase.mdb");
    ASSERT_EQ(tables.size(), 1U);
    const auto& rows = tables.at("DateTest");
    ASSERT_EQ(rows.size(), 6U);
    EXPECT_EQ(rows[1].substr(0, 22), "2|9999-01-01 00:00:00|");
    EXPECT_EQ(rows[2].substr(0, 62),
              "3|1898-01-01 00:00:00|1899-01-01 00:00:00|1900-01-01 00:00:00|");
    EXPECT_EQ(rows[3].substr(0, 22), "4|0632-01-01 00:00:00|");
}

TEST(RealFiles, AceSample) {
    const auto tables = readAll("real/ASampleDatabase.accdb");
    ASSERT_EQ(tables.size(), 1U);
    const auto& rows = tables.at("Asset Items");
    ASSERT_EQ(rows.size(), 65U);
    EXPECT_EQ(rows.front().substr(0, 40), "30050|Computer Hardware|GEO Rocket|220ZX");
}

TEST(RealFiles, RequiredColumnsAreNotNullable) {
    const auto database = Database::open(test::fixturePath("real/nwind.mdb"), "");
    const auto reader = database->openTable("Customers");
    EXPECT_EQ(reader->columns()[1].name, "CompanyName");
    EXPECT_FALSE(reader->columns()[1].nullable);
    EXPECT_TRUE(reader->columns()[2].nullable);
}

} // namespace
} // namespace kelvara::driver
