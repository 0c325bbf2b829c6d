#include "test_rows.hpp"

#include "driver/sql/date_literal.hpp"
#include "driver/sql/guid_literal.hpp"

#include <stdexcept>

namespace kelvara::driver::sql::test {

const std::vector<ColumnInfo>& sampleColumns() {
    static const std::vector<ColumnInfo> columns = [] {
        std::vector<ColumnInfo> list;
        const auto add = [&list](std::string name, ColumnKind kind) {
            ColumnInfo info;
            info.name = std::move(name);
            info.kind = kind;
            list.push_back(std::move(info));
        };
        add("Flag", ColumnKind::Bool);
        add("Small", ColumnKind::Byte);
        add("Qty", ColumnKind::Int16);
        add("Id", ColumnKind::Int32);
        add("Price", ColumnKind::Money);
        add("Ratio", ColumnKind::Float32);
        add("Amount", ColumnKind::Float64);
        add("When", ColumnKind::DateTime);
        add("Name", ColumnKind::Text);
        add("Notes", ColumnKind::Memo);
        add("Code", ColumnKind::Guid);
        add("Blob", ColumnKind::Binary);
        add("Dec", ColumnKind::Numeric);
        add("Ünïcode Näme", ColumnKind::Text);
        return list;
    }();
    return columns;
}

std::size_t columnIndex(const std::string& name) {
    const auto& columns = sampleColumns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name == name)
            return i;
    }
    throw std::logic_error("no sample column " + name);
}

Value nullValue() {
    return {};
}

Value boolValue(bool value) {
    return Value::ofBool(value);
}

Value integerValue(std::int64_t value) {
    return Value::ofInteger(value);
}

Value moneyValue(std::int64_t tenThousandths) {
    return Value::ofMoney(tenThousandths);
}

Value float32Value(float value) {
    return Value::ofFloat32(value);
}

Value float64Value(double value) {
    return Value::ofFloat64(value);
}

Value decimalValue(std::uint64_t magnitude, std::uint8_t scale, bool negative) {
    Value v;
    v.type = Value::Type::Decimal;
    v.decimal.magnitude[0] = static_cast<std::uint32_t>(magnitude);
    v.decimal.magnitude[1] = static_cast<std::uint32_t>(magnitude >> 32);
    v.decimal.scale = scale;
    v.decimal.negative = negative;
    return v;
}

Value dateValue(int year, int month, int day, int hour, int minute, int second) {
    return Value::ofDateTime(
        accessDays(year, month, day, hour * 3600.0 + minute * 60.0 + second).value());
}

Value textValue(const std::string& text) {
    return Value::ofText(text);
}

Value binaryValue(const std::string& bytes) {
    return Value::ofBinary(bytes);
}

Value guidValue(const std::string& text) {
    Value v;
    v.type = Value::Type::Guid;
    v.guid = parseGuid(text).value();
    return v;
}

std::vector<Value> sampleRow() {
    return {
        boolValue(true),
        integerValue(200),
        integerValue(-5),
        integerValue(123456),
        moneyValue(12345678), // 1234.5678
        float32Value(0.1f),
        float64Value(3.25),
        dateValue(1850, 6, 15, 12, 0, 0), // before 1899-12-30: stored negative
        textValue("Émile Zola"),
        textValue("50% off [sale]*"),
        guidValue("{6F9619FF-8B86-D011-B42D-00C04FC964FF}"),
        binaryValue(std::string("\x01\x02", 2)),
        decimalValue(123456789012345678ULL, 4), // 12345678901234.5678
        textValue("ünïcode"),
    };
}

std::vector<Value> nullRow() {
    return std::vector<Value>(sampleColumns().size());
}

} // namespace kelvara::driver::sql::test
