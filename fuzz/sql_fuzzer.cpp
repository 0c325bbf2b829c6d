// Feeds arbitrary statement text through the SQL front end: parse, bind
// against a table with a column of every kind, evaluate and order a few
// rows. Anything but a DriverError, a crash or a hang is a bug.

#include "driver/core/error.hpp"
#include "driver/sql/query.hpp"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

using kelvara::driver::ColumnInfo;
using kelvara::driver::ColumnKind;
using kelvara::driver::Value;

std::vector<ColumnInfo> makeColumns() {
    const std::pair<const char*, ColumnKind> list[] = {
        {"b", ColumnKind::Bool},    {"y", ColumnKind::Byte},     {"i", ColumnKind::Int16},
        {"l", ColumnKind::Int32},   {"m", ColumnKind::Money},    {"f", ColumnKind::Float32},
        {"d", ColumnKind::Float64}, {"t", ColumnKind::DateTime}, {"s", ColumnKind::Text},
        {"o", ColumnKind::Ole},     {"memo", ColumnKind::Memo},  {"g", ColumnKind::Guid},
        {"n", ColumnKind::Numeric}, {"bin", ColumnKind::Binary}, {"Ünï", ColumnKind::Text},
    };
    std::vector<ColumnInfo> columns;
    for (const auto& [name, kind] : list) {
        ColumnInfo info;
        info.name = name;
        info.kind = kind;
        columns.push_back(info);
    }
    return columns;
}

// Rows whose values are picked from the input's bytes.
std::vector<std::vector<Value>> makeRows(std::string_view seed, std::size_t columns) {
    std::vector<std::vector<Value>> rows(3, std::vector<Value>(columns));
    static constexpr Value::Type kTypes[] = {
        Value::Type::Null,    Value::Type::Bool,   Value::Type::Integer, Value::Type::Float32,
        Value::Type::Float64, Value::Type::Money,  Value::Type::Decimal, Value::Type::DateTime,
        Value::Type::Text,    Value::Type::Binary, Value::Type::Guid,
    };
    std::size_t k = 0;
    for (auto& row : rows) {
        for (auto& value : row) {
            const auto byte =
                seed.empty() ? 0U : static_cast<unsigned char>(seed[k++ % seed.size()]);
            value.type = kTypes[byte % std::size(kTypes)];
            value.boolean = (byte & 1U) != 0;
            value.integer = static_cast<std::int64_t>(byte) * 1000003 - 100000000;
            value.float32 = static_cast<float>(byte) / 7.0f;
            value.float64 = static_cast<double>(byte) * -123.25;
            value.decimal.magnitude = {byte * 77777U, byte, 0, 0};
            value.decimal.scale = static_cast<std::uint8_t>(byte % 29);
            value.guid.fill(static_cast<std::uint8_t>(byte));
            value.bytes = seed.substr(0, byte % 16);
        }
    }
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<ColumnInfo> columns = makeColumns();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const auto statement = kelvara::driver::sql::parse(text);
        const kelvara::driver::sql::BoundQuery query(statement, columns);
        const auto rows = makeRows(text, columns.size());
        for (const auto& row : rows)
            (void)query.matches(row);
        for (const auto& a : rows)
            for (const auto& b : rows)
                (void)query.before(a, b);
    } catch (const kelvara::driver::DriverError&) {
    }
    return 0;
}
