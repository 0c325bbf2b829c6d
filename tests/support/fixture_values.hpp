#pragma once

// The values of fixtures.json in the character form SQLGetData(SQL_C_CHAR)
// must give for them.

#include <optional>
#include <string>
#include <vector>

namespace kelvara::test {

struct FixtureColumn {
    std::string name;
    std::string type; // LONG, TEXT, MEMO, MONEY, ...
    int length = 0;
    int precision = 0;
    int scale = 0;
};

struct FixtureTable {
    std::string name;
    std::vector<FixtureColumn> columns;
    std::vector<std::vector<std::optional<std::string>>> rows; // in the driver's character form
};

std::vector<FixtureTable> loadFixtureTables();

// The driver's form of one stored value written as fixtures.json writes it.
std::string expectedForm(const FixtureColumn& column, const std::string& jsonValue);

} // namespace kelvara::test
