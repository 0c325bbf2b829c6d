#pragma once

#include "driver/core/database.hpp"
#include "driver/core/value.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvara::driver::sql::test {

// A table with one column of every kind, and ways to fill its rows by hand.
const std::vector<ColumnInfo>& sampleColumns();

// Index of a sample column by exact name.
std::size_t columnIndex(const std::string& name);

Value nullValue();
Value boolValue(bool value);
Value integerValue(std::int64_t value);
Value moneyValue(std::int64_t tenThousandths);
Value float32Value(float value);
Value float64Value(double value);
Value decimalValue(std::uint64_t magnitude, std::uint8_t scale, bool negative = false);
Value dateValue(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
Value textValue(const std::string& text);
Value binaryValue(const std::string& bytes);
Value guidValue(const std::string& text);

// A row of the sample table: every column set to a known value.
std::vector<Value> sampleRow();
// A row of the sample table with every column Null.
std::vector<Value> nullRow();

} // namespace kelvara::driver::sql::test
