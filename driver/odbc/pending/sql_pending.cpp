#include "driver/core/error.hpp"
#include "driver/core/sqlstate.hpp"
#include "driver/sql/query.hpp"

namespace kelvara::driver::sql {

struct BoundQuery::Impl {};

SelectStatement parse(std::string_view) {
    throw DriverError(sqlstate::kOptionalFeatureNotImplemented, "Statements are not available in this build.");
}
BoundQuery::BoundQuery(const SelectStatement&, const std::vector<ColumnInfo>&) {}
BoundQuery::~BoundQuery() = default;
BoundQuery::BoundQuery(BoundQuery&&) noexcept = default;
BoundQuery& BoundQuery::operator=(BoundQuery&&) noexcept = default;
const std::vector<std::size_t>& BoundQuery::outputColumns() const {
    static const std::vector<std::size_t> none;
    return none;
}
const std::vector<std::size_t>& BoundQuery::neededColumns() const { return outputColumns(); }
bool BoundQuery::matches(const std::vector<Value>&) const { return false; }
bool BoundQuery::ordered() const { return false; }
bool BoundQuery::before(const std::vector<Value>&, const std::vector<Value>&) const { return false; }
std::optional<std::uint64_t> BoundQuery::top() const { return std::nullopt; }

} // namespace kelvara::driver::sql
