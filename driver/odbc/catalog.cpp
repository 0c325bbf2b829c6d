#include "driver/odbc/catalog.hpp"

#include "driver/core/type_table.hpp"

#include <algorithm>
#include <cctype>
#include <sql.h>
#include <sqlext.h>

namespace kelvara::driver::odbc {
namespace {

// A result whose rows are all known up front.
class RowsResult final : public ResultSet {
public:
    explicit RowsResult(std::vector<ResultColumn> columns) : columns_(std::move(columns)) {}

    void addRow(std::vector<Value> row) { rows_.push_back(std::move(row)); }

    const std::vector<ResultColumn>& columns() const override { return columns_; }
    void start() override { position_ = 0; }
    bool next() override {
        if (position_ >= rows_.size())
            return false;
        ++position_;
        return true;
    }
    const Value& value(std::size_t column) const override { return rows_[position_ - 1][column]; }

private:
    std::vector<ResultColumn> columns_;
    std::vector<std::vector<Value>> rows_;
    std::size_t position_ = 0;
};

ResultColumn textColumn(const char* name, bool nullable = true) {
    ResultColumn c;
    c.name = name;
    c.kind = ColumnKind::Text;
    c.type.sqlType = SQL_VARCHAR;
    c.type.columnSize = 128;
    c.type.typeName = "VARCHAR";
    c.type.displaySize = 128;
    c.type.octetLength = 128 * 4;
    c.type.caseSensitive = true;
    c.type.searchable = SQL_SEARCHABLE;
    c.nullable = nullable;
    return c;
}

ResultColumn integerColumn(const char* name, bool wide, bool nullable = true) {
    ResultColumn c;
    c.name = name;
    c.kind = wide ? ColumnKind::Int32 : ColumnKind::Int16;
    c.type.sqlType = wide ? SQL_INTEGER : SQL_SMALLINT;
    c.type.columnSize = wide ? 10 : 5;
    c.type.typeName = wide ? "INTEGER" : "SMALLINT";
    c.type.displaySize = wide ? 11 : 6;
    c.type.octetLength = wide ? 4 : 2;
    c.type.numPrecRadix = 10;
    c.type.searchable = SQL_PRED_BASIC;
    c.nullable = nullable;
    return c;
}

Value text(std::string s) {
    return Value::ofText(std::move(s));
}

Value integer(std::int64_t n) {
    return Value::ofInteger(n);
}

Value null() {
    return Value{};
}

bool matchesFrom(std::string_view text, std::string_view pattern) {
    while (!pattern.empty()) {
        const char p = pattern.front();
        if (p == '%') {
            pattern.remove_prefix(1);
            for (std::size_t i = 0; i <= text.size(); ++i)
                if (matchesFrom(text.substr(i), pattern))
                    return true;
            return false;
        }
        if (text.empty())
            return false;
        if (p == '\\' && pattern.size() > 1) {
            pattern.remove_prefix(1);
        } else if (p == '_') {
            pattern.remove_prefix(1);
            text.remove_prefix(1);
            continue;
        }
        const auto lower = [](char c) {
            return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        };
        if (lower(pattern.front()) != lower(text.front()))
            return false;
        pattern.remove_prefix(1);
        text.remove_prefix(1);
    }
    return text.empty();
}

bool matchesOptional(const std::string& text, const std::optional<std::string>& pattern) {
    return !pattern || pattern->empty() || matchesFrom(text, *pattern);
}

// TABLE_TYPE arguments are lists like "'TABLE','VIEW'" or TABLE,VIEW.
bool typeListed(std::string_view type, const std::optional<std::string>& list) {
    if (!list || list->empty() || *list == "%")
        return true;
    std::string_view rest = *list;
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        std::string_view item = rest.substr(0, comma);
        while (!item.empty() && (item.front() == ' ' || item.front() == '\''))
            item.remove_prefix(1);
        while (!item.empty() && (item.back() == ' ' || item.back() == '\''))
            item.remove_suffix(1);
        if (matchesFrom(type, item) && item.size() == type.size())
            return true;
        if (comma == std::string_view::npos)
            break;
        rest.remove_prefix(comma + 1);
    }
    return false;
}

std::vector<ResultColumn> tablesColumns() {
    return {textColumn("TABLE_CAT"), textColumn("TABLE_SCHEM"), textColumn("TABLE_NAME"),
            textColumn("TABLE_TYPE"), textColumn("REMARKS")};
}

} // namespace

bool matchesPattern(std::string_view text, std::string_view pattern) {
    return matchesFrom(text, pattern);
}

short presentedSqlType(short sqlType, bool odbc2) noexcept {
    if (odbc2) {
        switch (sqlType) {
        case SQL_TYPE_TIMESTAMP:
            return SQL_TIMESTAMP;
        case SQL_TYPE_DATE:
            return SQL_DATE;
        case SQL_TYPE_TIME:
            return SQL_TIME;
        default:
            return sqlType;
        }
    }
    switch (sqlType) {
    case SQL_TIMESTAMP:
        return SQL_TYPE_TIMESTAMP;
    case SQL_DATE:
        return SQL_TYPE_DATE;
    case SQL_TIME:
        return SQL_TYPE_TIME;
    default:
        return sqlType;
    }
}

std::unique_ptr<ResultSet> listTables(Database& database, const CatalogArgs& args) {
    auto result = std::make_unique<RowsResult>(tablesColumns());
    const auto isOnly = [](const std::optional<std::string>& s, const char* v) {
        return s && *s == v;
    };
    const auto isEmpty = [](const std::optional<std::string>& s) { return s && s->empty(); };
    // The special enumerations: catalogs, schemas and table types.
    if (isOnly(args.columnOrType, "%") && isEmpty(args.catalog) && isEmpty(args.schema) &&
        isEmpty(args.table)) {
        for (const char* type : {"SYSTEM TABLE", "TABLE"})
            result->addRow({null(), null(), null(), text(type), null()});
        return result;
    }
    if ((isOnly(args.catalog, "%") && isEmpty(args.schema) && isEmpty(args.table)) ||
        (isOnly(args.schema, "%") && isEmpty(args.catalog) && isEmpty(args.table)))
        return result; // no catalogs and no schemas
    for (bool system : {false, true}) {
        const char* type = system ? "SYSTEM TABLE" : "TABLE";
        if (!typeListed(type, args.columnOrType))
            continue;
        const auto names = database.tableNames(system);
        for (const auto& name : names) {
            const bool isSystem = name.size() > 4 && (name.compare(0, 4, "MSys") == 0 ||
                                                      name.compare(0, 4, "USys") == 0);
            if (isSystem != system || !matchesOptional(name, args.table))
                continue;
            result->addRow({null(), null(), text(name), text(type), null()});
        }
    }
    return result;
}

std::unique_ptr<ResultSet> listColumns(Database& database, const CatalogArgs& args, bool odbc2) {
    std::vector<ResultColumn> columns = {textColumn("TABLE_CAT"),
                                         textColumn("TABLE_SCHEM"),
                                         textColumn("TABLE_NAME", false),
                                         textColumn("COLUMN_NAME", false),
                                         integerColumn("DATA_TYPE", false, false),
                                         textColumn("TYPE_NAME", false),
                                         integerColumn("COLUMN_SIZE", true),
                                         integerColumn("BUFFER_LENGTH", true),
                                         integerColumn("DECIMAL_DIGITS", false),
                                         integerColumn("NUM_PREC_RADIX", false),
                                         integerColumn("NULLABLE", false, false),
                                         textColumn("REMARKS"),
                                         textColumn("COLUMN_DEF"),
                                         integerColumn("SQL_DATA_TYPE", false, false),
                                         integerColumn("SQL_DATETIME_SUB", false),
                                         integerColumn("CHAR_OCTET_LENGTH", true),
                                         integerColumn("ORDINAL_POSITION", true, false),
                                         textColumn("IS_NULLABLE")};
    auto result = std::make_unique<RowsResult>(std::move(columns));
    for (const auto& tableName : database.tableNames(false)) {
        if (!matchesOptional(tableName, args.table))
            continue;
        auto reader = database.openTable(tableName);
        std::int64_t ordinal = 0;
        for (const ColumnInfo& info : reader->columns()) {
            ++ordinal;
            if (!matchesOptional(info.name, args.columnOrType))
                continue;
            const SqlTypeInfo type = describeColumn(info);
            const short sqlType = presentedSqlType(type.sqlType, odbc2);
            const bool datetime = sqlType == SQL_TYPE_TIMESTAMP || sqlType == SQL_TIMESTAMP;
            const bool character = sqlType == SQL_VARCHAR || sqlType == SQL_LONGVARCHAR ||
                                   sqlType == SQL_CHAR || sqlType == SQL_BINARY ||
                                   sqlType == SQL_VARBINARY || sqlType == SQL_LONGVARBINARY;
            result->addRow({
                null(),
                null(),
                text(tableName),
                text(info.name),
                integer(sqlType),
                text(type.typeName),
                integer(static_cast<std::int64_t>(type.columnSize)),
                integer(type.octetLength),
                (datetime || type.numPrecRadix != 0) ? integer(type.decimalDigits) : null(),
                type.numPrecRadix != 0 ? integer(type.numPrecRadix) : null(),
                integer(info.nullable ? SQL_NULLABLE : SQL_NO_NULLS),
                null(),
                null(),
                integer(datetime ? SQL_DATETIME : sqlType),
                datetime ? integer(SQL_CODE_TIMESTAMP) : null(),
                character ? integer(type.octetLength) : null(),
                integer(ordinal),
                text(info.nullable ? "YES" : "NO"),
            });
        }
    }
    return result;
}

std::unique_ptr<ResultSet> listTypes(short dataType, bool odbc2) {
    std::vector<ResultColumn> columns = {textColumn("TYPE_NAME", false),
                                         integerColumn("DATA_TYPE", false, false),
                                         integerColumn("COLUMN_SIZE", true),
                                         textColumn("LITERAL_PREFIX"),
                                         textColumn("LITERAL_SUFFIX"),
                                         textColumn("CREATE_PARAMS"),
                                         integerColumn("NULLABLE", false, false),
                                         integerColumn("CASE_SENSITIVE", false, false),
                                         integerColumn("SEARCHABLE", false, false),
                                         integerColumn("UNSIGNED_ATTRIBUTE", false),
                                         integerColumn("FIXED_PREC_SCALE", false, false),
                                         integerColumn("AUTO_UNIQUE_VALUE", false),
                                         textColumn("LOCAL_TYPE_NAME"),
                                         integerColumn("MINIMUM_SCALE", false),
                                         integerColumn("MAXIMUM_SCALE", false),
                                         integerColumn("SQL_DATA_TYPE", false, false),
                                         integerColumn("SQL_DATETIME_SUB", false),
                                         integerColumn("NUM_PREC_RADIX", true),
                                         integerColumn("INTERVAL_PRECISION", false)};
    auto result = std::make_unique<RowsResult>(std::move(columns));

    // One column of each kind, described by the shared type table; ordered by
    // DATA_TYPE as ODBC asks.
    struct Kind {
        ColumnKind kind;
        std::uint32_t maxLength;
        std::uint8_t precision, scale;
        const char* prefix;
        const char* suffix;
        const char* params;
    };
    const Kind kinds[] = {
        {ColumnKind::Guid, 0, 0, 0, "{guid '", "'}", nullptr},
        {ColumnKind::Bool, 0, 0, 0, nullptr, nullptr, nullptr},
        {ColumnKind::Byte, 0, 0, 0, nullptr, nullptr, nullptr},
        {ColumnKind::Ole, 0, 0, 0, "0x", nullptr, nullptr},
        {ColumnKind::Binary, 255, 0, 0, "0x", nullptr, "max length"},
        {ColumnKind::Memo, 0, 0, 0, "'", "'", nullptr},
        {ColumnKind::Money, 0, 19, 4, nullptr, nullptr, nullptr},
        {ColumnKind::Numeric, 0, 28, 0, nullptr, nullptr, "precision,scale"},
        {ColumnKind::Int32, 0, 0, 0, nullptr, nullptr, nullptr},
        {ColumnKind::Int16, 0, 0, 0, nullptr, nullptr, nullptr},
        {ColumnKind::Float32, 0, 0, 0, nullptr, nullptr, nullptr},
        {ColumnKind::Float64, 0, 0, 0, nullptr, nullptr, nullptr},
        {ColumnKind::Text, 255, 0, 0, "'", "'", "max length"},
        {ColumnKind::DateTime, 0, 0, 0, "#", "#", nullptr},
    };
    std::vector<std::vector<Value>> rows;
    for (const Kind& k : kinds) {
        ColumnInfo info;
        info.kind = k.kind;
        info.maxLength = k.maxLength;
        info.precision = k.precision;
        info.scale = k.scale;
        const SqlTypeInfo type = describeColumn(info);
        const short sqlType = presentedSqlType(type.sqlType, odbc2);
        if (dataType != SQL_ALL_TYPES && dataType != sqlType)
            continue;
        const bool datetime = sqlType == SQL_TYPE_TIMESTAMP || sqlType == SQL_TIMESTAMP;
        const bool numeric = type.numPrecRadix != 0;
        const auto optionalText = [](const char* s) { return s ? text(s) : null(); };
        rows.push_back({
            text(type.typeName),
            integer(sqlType),
            integer(static_cast<std::int64_t>(type.columnSize)),
            optionalText(k.prefix),
            optionalText(k.suffix),
            optionalText(k.params),
            integer(SQL_NULLABLE),
            integer(type.caseSensitive ? SQL_TRUE : SQL_FALSE),
            integer(type.searchable),
            numeric ? integer(type.isUnsigned ? SQL_TRUE : SQL_FALSE) : null(),
            integer(k.kind == ColumnKind::Money ? SQL_TRUE : SQL_FALSE),
            numeric ? integer(SQL_FALSE) : null(),
            null(),
            numeric || datetime ? integer(k.kind == ColumnKind::Money ? 4 : 0) : null(),
            numeric || datetime
                ? integer(k.kind == ColumnKind::Money ? 4
                                                      : (k.kind == ColumnKind::Numeric ? 28 : 0))
                : null(),
            integer(datetime ? SQL_DATETIME : sqlType),
            datetime ? integer(SQL_CODE_TIMESTAMP) : null(),
            numeric ? integer(type.numPrecRadix) : null(),
            null(),
        });
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return a[1].integer < b[1].integer; });
    for (auto& row : rows)
        result->addRow(std::move(row));
    return result;
}

} // namespace kelvara::driver::odbc
