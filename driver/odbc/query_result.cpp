// Runs a SELECT over one table: rows stream straight from the table when there
// is no ORDER BY; with one, the matching rows are collected and sorted first.
#include "driver/odbc/query_result.hpp"

#include "driver/sql/query.hpp"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace kelvara::driver::odbc {
namespace {

class QueryResult final : public ResultSet {
public:
    QueryResult(Database& database, std::string_view sqlText)
        : statement_(sql::parse(sqlText)), reader_(database.openTable(statement_.table)),
          query_(statement_, reader_->columns()), top_(query_.top()) {
        row_.resize(reader_->columns().size());
        describeColumns();
        splitColumnReads();
    }

    const std::vector<ResultColumn>& columns() const override { return columns_; }

    void start() override {
        reader_->rewind();
        delivered_ = 0;
        sorted_.clear();
        sortedPosition_ = 0;
        current_ = &row_;
        if (query_.ordered())
            collectAndSort();
    }

    bool next() override {
        if (top_ && delivered_ >= *top_)
            return false;
        const bool found = query_.ordered() ? nextSorted() : nextMatching();
        if (found)
            ++delivered_;
        return found;
    }

    const Value& value(std::size_t column) const override { return (*current_)[output_[column]]; }

private:
    void describeColumns() {
        const auto& tableColumns = reader_->columns();
        output_ = query_.outputColumns();
        for (std::size_t index : output_) {
            const ColumnInfo& info = tableColumns[index];
            ResultColumn column;
            column.name = info.name;
            column.tableName = reader_->name();
            column.kind = info.kind;
            column.type = describeColumn(info);
            column.nullable = info.nullable;
            column.autoUnique = info.autoNumber;
            columns_.push_back(std::move(column));
        }
    }

    // The columns WHERE looks at are read first; the others only for rows
    // that match, so rows that are dropped cost no decoding of their long
    // values.
    void splitColumnReads() {
        const auto& condition = query_.conditionColumns();
        for (std::size_t column : query_.neededColumns()) {
            if (std::find(condition.begin(), condition.end(), column) == condition.end())
                afterMatch_.push_back(column);
        }
    }

    // Reads the next table row that satisfies WHERE into row_.
    bool nextMatching() {
        // A condition that can never hold (the WHERE 1=0 that clients send to
        // learn a result's columns) needs no pass over the table.
        if (query_.neverMatches())
            return false;
        const auto& condition = query_.conditionColumns();
        while (reader_->next()) {
            for (std::size_t column : condition)
                reader_->read(column, row_[column]);
            if (!query_.matches(row_))
                continue;
            for (std::size_t column : afterMatch_)
                reader_->read(column, row_[column]);
            return true;
        }
        return false;
    }

    void collectAndSort() {
        while (nextMatching())
            sorted_.push_back(row_);
        std::stable_sort(sorted_.begin(), sorted_.end(),
                         [this](const std::vector<Value>& a, const std::vector<Value>& b) {
                             return query_.before(a, b);
                         });
    }

    bool nextSorted() {
        if (sortedPosition_ >= sorted_.size())
            return false;
        current_ = &sorted_[sortedPosition_++];
        return true;
    }

    sql::SelectStatement statement_;
    std::unique_ptr<TableReader> reader_;
    sql::BoundQuery query_;
    std::optional<std::uint64_t> top_;
    std::vector<std::size_t> output_;
    std::vector<std::size_t> afterMatch_; // needed columns that WHERE does not look at
    std::vector<ResultColumn> columns_;
    std::vector<Value> row_; // indexed by table column, storage reused row after row
    const std::vector<Value>* current_ = &row_;
    std::vector<std::vector<Value>> sorted_;
    std::size_t sortedPosition_ = 0;
    std::uint64_t delivered_ = 0;
};

} // namespace

std::unique_ptr<ResultSet> prepareQuery(Database& database, std::string_view sqlText) {
    return std::make_unique<QueryResult>(database, sqlText);
}

} // namespace kelvara::driver::odbc
