// Resolves a parsed SELECT against a table's columns and evaluates it.
//
// Binding does every conversion once: literals are brought into the form of
// the column they are compared with (integer thresholds for whole numbers and
// Currency, exact numbers for Decimal, seconds for dates, compiled LIKE
// patterns), so that evaluating a row costs a few comparisons and never
// allocates.

#include "driver/core/error.hpp"
#include "driver/core/sqlstate.hpp"
#include "driver/sql/date_literal.hpp"
#include "driver/sql/expr.hpp"
#include "driver/sql/guid_literal.hpp"
#include "driver/sql/like_pattern.hpp"
#include "driver/sql/query.hpp"
#include "driver/sql/text_compare.hpp"
#include "driver/sql/value_compare.hpp"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>

namespace kelvara::driver::sql {
namespace {

enum class Truth : std::uint8_t { False, True, Unknown };

Truth truthOf(bool value) noexcept {
    return value ? Truth::True : Truth::False;
}

// What a column or a literal can be compared with.
enum class Domain : std::uint8_t { Number, Date, Text, Guid, Binary, None };

Domain domainOf(ColumnKind kind) noexcept {
    switch (kind) {
    case ColumnKind::Bool:
    case ColumnKind::Byte:
    case ColumnKind::Int16:
    case ColumnKind::Int32:
    case ColumnKind::Money:
    case ColumnKind::Float32:
    case ColumnKind::Float64:
    case ColumnKind::Numeric:
        return Domain::Number;
    case ColumnKind::DateTime:
        return Domain::Date;
    case ColumnKind::Text:
    case ColumnKind::Memo:
        return Domain::Text;
    case ColumnKind::Guid:
        return Domain::Guid;
    case ColumnKind::Binary:
    case ColumnKind::Ole:
        return Domain::Binary;
    case ColumnKind::Unsupported:
        break;
    }
    return Domain::None;
}

bool isWholeNumberColumn(ColumnKind kind) noexcept {
    return kind == ColumnKind::Byte || kind == ColumnKind::Int16 || kind == ColumnKind::Int32;
}

bool applyOp(CompareOp op, int order) noexcept {
    switch (op) {
    case CompareOp::Equal:
        return order == 0;
    case CompareOp::NotEqual:
        return order != 0;
    case CompareOp::Less:
        return order < 0;
    case CompareOp::LessEqual:
        return order <= 0;
    case CompareOp::Greater:
        return order > 0;
    case CompareOp::GreaterEqual:
        return order >= 0;
    }
    return false;
}

// a op b  <=>  b flipped(op) a
CompareOp flipped(CompareOp op) noexcept {
    switch (op) {
    case CompareOp::Less:
        return CompareOp::Greater;
    case CompareOp::LessEqual:
        return CompareOp::GreaterEqual;
    case CompareOp::Greater:
        return CompareOp::Less;
    case CompareOp::GreaterEqual:
        return CompareOp::LessEqual;
    default:
        return op;
    }
}

// A literal in every form a row value of its domain may need.
struct PreparedLiteral {
    Domain domain = Domain::None;
    IntegerThreshold units;          // whole numbers and Yes/No
    IntegerThreshold tenThousandths; // Currency
    ExactNumber exact;               // Decimal
    double number = 0.0;             // Double
    float single = 0.0f;             // Single: the literal rounded to Single, as it is shown
    std::int64_t seconds = 0;        // Date/Time, linear
    std::string text;                // Text
    std::array<std::uint8_t, 16> guid{};
};

PreparedLiteral prepareNumber(const ExactNumber& exact) {
    PreparedLiteral literal;
    literal.domain = Domain::Number;
    literal.exact = exact;
    literal.units = integerThreshold(exact, 0);
    literal.tenThousandths = integerThreshold(exact, 4);
    literal.number = exactToDouble(exact);
    literal.single = exactToFloat(exact);
    literal.seconds = linearSeconds(literal.number);
    return literal;
}

// -1, 0, 1 or kIncomparable for a non-Null row value against a literal.
int compareToLiteral(const Value& v, const PreparedLiteral& literal) noexcept {
    using Type = Value::Type;
    const bool number = literal.domain == Domain::Number;
    switch (v.type) {
    case Type::Bool:
        return number ? literal.units.compare(v.boolean ? -1 : 0) : kIncomparable;
    case Type::Integer:
        return number ? literal.units.compare(v.integer) : kIncomparable;
    case Type::Money:
        return number ? literal.tenThousandths.compare(v.integer) : kIncomparable;
    case Type::Decimal:
        return number ? compareExact(exactFromDecimal(v.decimal), literal.exact) : kIncomparable;
    case Type::Float32:
        if (!number || v.float32 != v.float32)
            return kIncomparable;
        return v.float32 < literal.single ? -1 : (v.float32 > literal.single ? 1 : 0);
    case Type::Float64:
        if (!number || v.float64 != v.float64)
            return kIncomparable;
        return v.float64 < literal.number ? -1 : (v.float64 > literal.number ? 1 : 0);
    case Type::DateTime: {
        if (!number && literal.domain != Domain::Date)
            return kIncomparable;
        const std::int64_t seconds = linearSeconds(v.float64);
        return seconds < literal.seconds ? -1 : (seconds > literal.seconds ? 1 : 0);
    }
    case Type::Text:
        return literal.domain == Domain::Text ? compareText(v.bytes, literal.text) : kIncomparable;
    case Type::Guid:
        if (literal.domain != Domain::Guid)
            return kIncomparable;
        return std::clamp(std::memcmp(v.guid.data(), literal.guid.data(), v.guid.size()), -1, 1);
    case Type::Binary:
    case Type::Null:
        break;
    }
    return kIncomparable;
}

// One step of the compiled condition.
struct Node {
    enum class Kind : std::uint8_t {
        Constant,
        And, // children[left, left + right)
        Or,  // children[left, left + right)
        Not, // nodes[left]
        IsNull,
        CompareLiteral, // row[column] op literals[other]
        CompareColumns, // row[column] op row[other]
        Like,           // row[column] LIKE patterns[other]
        Truthy,         // row[column] is not zero
        InList,         // row[column] equals one of literals[left, left + right);
                        // `constant` is the answer when none does
    };
    Kind kind = Kind::Constant;
    Truth constant = Truth::Unknown;
    CompareOp op = CompareOp::Equal;
    bool negated = false;
    std::size_t column = 0;
    std::size_t other = 0;
    std::size_t left = 0;
    std::size_t right = 0;
};

struct OrderKey {
    std::size_t column = 0;
    bool descending = false;
};

// Everything binding works out; BoundQuery's Impl is this.
struct CompiledQuery {
    std::vector<std::size_t> output;
    std::vector<std::size_t> needed;
    std::vector<std::size_t> condition; // the columns WHERE reads
    std::optional<std::uint64_t> top;
    std::vector<OrderKey> orderKeys;

    std::vector<Node> nodes;
    std::vector<std::size_t> children; // operands of And and Or nodes
    std::optional<std::size_t> root;
    std::vector<PreparedLiteral> literals;
    std::vector<LikePattern> patterns;

    Truth evaluate(std::size_t index, const std::vector<Value>& row) const noexcept;
    Truth evaluateLike(const Node& node, const Value& value) const noexcept;
};

Truth CompiledQuery::evaluate(std::size_t index, const std::vector<Value>& row) const noexcept {
    const Node& node = nodes[index];
    switch (node.kind) {
    case Node::Kind::Constant:
        return node.constant;
    case Node::Kind::And:
    case Node::Kind::Or: {
        // AND: any False decides, OR: any True; otherwise Unknown wins over
        // the neutral answer.
        const Truth decisive = node.kind == Node::Kind::And ? Truth::False : Truth::True;
        Truth result = node.kind == Node::Kind::And ? Truth::True : Truth::False;
        for (std::size_t i = node.left; i < node.left + node.right; ++i) {
            const Truth term = evaluate(children[i], row);
            if (term == decisive)
                return decisive;
            if (term == Truth::Unknown)
                result = Truth::Unknown;
        }
        return result;
    }
    case Node::Kind::Not: {
        const Truth inner = evaluate(node.left, row);
        return inner == Truth::Unknown ? inner : truthOf(inner == Truth::False);
    }
    case Node::Kind::IsNull:
        return truthOf(row[node.column].isNull() != node.negated);
    case Node::Kind::CompareLiteral: {
        const Value& value = row[node.column];
        if (value.isNull())
            return Truth::Unknown;
        const int order = compareToLiteral(value, literals[node.other]);
        return order == kIncomparable ? Truth::Unknown : truthOf(applyOp(node.op, order));
    }
    case Node::Kind::CompareColumns: {
        const Value& a = row[node.column];
        const Value& b = row[node.other];
        if (a.isNull() || b.isNull())
            return Truth::Unknown;
        const int order = compareValues(a, b);
        return order == kIncomparable ? Truth::Unknown : truthOf(applyOp(node.op, order));
    }
    case Node::Kind::Like:
        return evaluateLike(node, row[node.column]);
    case Node::Kind::InList: {
        const Value& value = row[node.column];
        if (value.isNull())
            return Truth::Unknown;
        Truth result = node.constant;
        for (std::size_t i = node.left; i < node.left + node.right; ++i) {
            if (compareToLiteral(value, literals[i]) == 0) {
                result = Truth::True;
                break;
            }
        }
        if (!node.negated || result == Truth::Unknown)
            return result;
        return truthOf(result == Truth::False);
    }
    case Node::Kind::Truthy: {
        const Value& value = row[node.column];
        if (value.isNull())
            return Truth::Unknown;
        const int order = compareToLiteral(value, literals[node.other]);
        return order == kIncomparable ? Truth::Unknown : truthOf(order != 0);
    }
    }
    return Truth::Unknown;
}

Truth CompiledQuery::evaluateLike(const Node& node, const Value& value) const noexcept {
    const LikePattern& pattern = patterns[node.other];
    switch (value.type) {
    case Value::Type::Null:
        return Truth::Unknown;
    case Value::Type::Text:
        return truthOf(pattern.matches(value.bytes) != node.negated);
    case Value::Type::Integer: {
        // Access matches numbers by their text: 1234 LIKE '12*'.
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value.integer).ptr;
        const std::string_view text(digits, static_cast<std::size_t>(end - digits));
        return truthOf(pattern.matches(text) != node.negated);
    }
    default:
        return Truth::Unknown;
    }
}

// Turns the parsed statement into CompiledQuery's tables.
class Binder {
public:
    Binder(const SelectStatement& statement, const std::vector<ColumnInfo>& columns,
           CompiledQuery& out)
        : statement_(statement), columns_(columns), out_(out) {}

    void bind();

private:
    // A resolved operand: a column, or a literal.
    struct Side {
        bool isColumn = false;
        std::size_t column = 0;
        Literal literal;
        std::size_t position = 0;
    };

    std::size_t resolveColumn(const std::string& qualifier, const std::string& name) const;
    std::optional<std::size_t> findColumn(std::string_view name) const;
    Side resolve(const Operand& operand) const;

    std::size_t bindExpr(const Expr& expr);
    std::size_t bindComparison(const Operand& lhs, CompareOp op, const Operand& rhs);
    std::size_t bindComparison(Side lhs, CompareOp op, Side rhs);
    std::size_t bindIsNull(const Expr& expr);
    std::size_t bindLike(const Expr& expr);
    std::size_t bindIn(const Expr& expr);
    std::size_t bindBetween(const Expr& expr);
    std::size_t bindLoneOperand(const Expr& expr);

    std::size_t addNode(Node node);
    std::size_t addConstant(Truth truth);
    std::size_t addLogical(Node::Kind kind, std::size_t left, std::size_t right);
    std::size_t addLogical(Node::Kind kind, const std::vector<std::size_t>& terms);
    std::optional<std::size_t> bindInLiterals(const Expr& expr);
    std::size_t addNot(std::size_t inner);
    std::size_t addLiteral(PreparedLiteral literal);

    PreparedLiteral prepareFor(const Literal& literal, std::size_t column,
                               std::size_t position) const;
    Truth compareLiterals(const Literal& a, CompareOp op, const Literal& b,
                          std::size_t position) const;
    [[noreturn]] void mismatch(std::size_t position, const std::string& what) const;

    void bindOutput();
    void bindOrder();
    void collectNeeded();
    void collectConditionColumns(std::size_t index);

    const SelectStatement& statement_;
    const std::vector<ColumnInfo>& columns_;
    CompiledQuery& out_;
};

std::string quotedName(const std::string& qualifier, const std::string& name) {
    return "'" + (qualifier.empty() ? name : qualifier + "." + name) + "'";
}

void Binder::bind() {
    bindOutput();
    if (statement_.where)
        out_.root = bindExpr(*statement_.where);
    bindOrder();
    out_.top = statement_.top;
    collectNeeded();
}

std::optional<std::size_t> Binder::findColumn(std::string_view name) const {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (equalText(columns_[i].name, name))
            return i;
    }
    return std::nullopt;
}

std::size_t Binder::resolveColumn(const std::string& qualifier, const std::string& name) const {
    const bool qualifierFits =
        qualifier.empty() || equalText(qualifier, statement_.table) ||
        (!statement_.tableAlias.empty() && equalText(qualifier, statement_.tableAlias));
    const auto found = qualifierFits ? findColumn(name) : std::nullopt;
    if (!found)
        throw DriverError(sqlstate::kColumnNotFound, "Unknown column " +
                                                         quotedName(qualifier, name) +
                                                         " in table '" + statement_.table + "'");
    return *found;
}

void Binder::bindOutput() {
    if (statement_.allColumns) {
        if (!statement_.columnQualifiers.empty() &&
            !equalText(statement_.columnQualifiers.front(), statement_.table) &&
            !equalText(statement_.columnQualifiers.front(), statement_.tableAlias))
            throw DriverError(sqlstate::kColumnNotFound,
                              "Unknown table '" + statement_.columnQualifiers.front() + "' in " +
                                  statement_.columnQualifiers.front() + ".*");
        for (std::size_t i = 0; i < columns_.size(); ++i)
            out_.output.push_back(i);
        return;
    }
    for (std::size_t i = 0; i < statement_.columns.size(); ++i) {
        const std::string noQualifier;
        const std::string& qualifier =
            i < statement_.columnQualifiers.size() ? statement_.columnQualifiers[i] : noQualifier;
        out_.output.push_back(resolveColumn(qualifier, statement_.columns[i]));
    }
}

void Binder::bindOrder() {
    for (const OrderTerm& term : statement_.orderBy) {
        OrderKey key;
        key.descending = term.descending;
        if (term.ordinal != 0) {
            if (term.ordinal > out_.output.size())
                throw DriverError(sqlstate::kColumnNotFound,
                                  "ORDER BY " + std::to_string(term.ordinal) +
                                      ": the select list has only " +
                                      std::to_string(out_.output.size()) + " columns");
            key.column = out_.output[term.ordinal - 1];
        } else {
            key.column = resolveColumn(term.qualifier, term.column);
        }
        out_.orderKeys.push_back(key);
    }
}

void sortUnique(std::vector<std::size_t>& list) {
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
}

void Binder::collectNeeded() {
    if (out_.root)
        collectConditionColumns(*out_.root);
    sortUnique(out_.condition);
    std::vector<std::size_t> all = out_.output;
    all.insert(all.end(), out_.condition.begin(), out_.condition.end());
    for (const OrderKey& key : out_.orderKeys)
        all.push_back(key.column);
    sortUnique(all);
    out_.needed = std::move(all);
}

Binder::Side Binder::resolve(const Operand& operand) const {
    Side side;
    side.position = operand.position;
    switch (operand.kind) {
    case Operand::Kind::Column:
        side.isColumn = true;
        side.column = resolveColumn(operand.column.qualifier, operand.column.name);
        break;
    case Operand::Kind::QuotedName:
        if (const auto column = findColumn(operand.column.name)) {
            side.isColumn = true;
            side.column = *column;
        } else {
            side.literal.kind = Literal::Kind::String;
            side.literal.text = operand.column.name;
        }
        break;
    case Operand::Kind::Literal:
        side.literal = operand.literal;
        break;
    }
    return side;
}

std::size_t Binder::addNode(Node node) {
    out_.nodes.push_back(node);
    return out_.nodes.size() - 1;
}

// The columns the condition reads, from the tree as folded.
void Binder::collectConditionColumns(std::size_t index) {
    const Node& node = out_.nodes[index];
    switch (node.kind) {
    case Node::Kind::Constant:
        return;
    case Node::Kind::And:
    case Node::Kind::Or:
        for (std::size_t i = node.left; i < node.left + node.right; ++i)
            collectConditionColumns(out_.children[i]);
        return;
    case Node::Kind::Not:
        collectConditionColumns(node.left);
        return;
    case Node::Kind::CompareColumns:
        out_.condition.push_back(node.other);
        break;
    default:
        break;
    }
    out_.condition.push_back(node.column);
}

std::size_t Binder::addConstant(Truth truth) {
    Node node;
    node.kind = Node::Kind::Constant;
    node.constant = truth;
    return addNode(node);
}

std::size_t Binder::addLogical(Node::Kind kind, std::size_t left, std::size_t right) {
    return addLogical(kind, std::vector<std::size_t>{left, right});
}

// Folds constant terms away: WHERE 1=0 AND ... is false before any row is
// read, and the executor can skip the table (neverMatches).
std::size_t Binder::addLogical(Node::Kind kind, const std::vector<std::size_t>& terms) {
    const Truth decisive = kind == Node::Kind::And ? Truth::False : Truth::True;
    std::vector<std::size_t> kept;
    for (std::size_t term : terms) {
        const Node& node = out_.nodes[term];
        if (node.kind == Node::Kind::Constant && node.constant == decisive)
            return addConstant(decisive);
        const bool neutral = node.kind == Node::Kind::Constant && node.constant != Truth::Unknown;
        if (!neutral)
            kept.push_back(term);
    }
    if (kept.empty())
        return addConstant(kind == Node::Kind::And ? Truth::True : Truth::False);
    if (kept.size() == 1)
        return kept.front();
    Node node;
    node.kind = kind;
    node.left = out_.children.size();
    node.right = kept.size();
    out_.children.insert(out_.children.end(), kept.begin(), kept.end());
    return addNode(node);
}

std::size_t Binder::addNot(std::size_t inner) {
    const Node& innerNode = out_.nodes[inner];
    if (innerNode.kind == Node::Kind::Constant && innerNode.constant != Truth::Unknown)
        return addConstant(innerNode.constant == Truth::True ? Truth::False : Truth::True);
    Node node;
    node.kind = Node::Kind::Not;
    node.left = inner;
    return addNode(node);
}

std::size_t Binder::addLiteral(PreparedLiteral literal) {
    out_.literals.push_back(std::move(literal));
    return out_.literals.size() - 1;
}

void Binder::mismatch(std::size_t position, const std::string& what) const {
    throw DriverError(sqlstate::kInvalidCastValue,
                      "Data type mismatch in criteria expression at position " +
                          std::to_string(position) + ": " + what);
}

std::string describeLiteral(const Literal& literal) {
    switch (literal.kind) {
    case Literal::Kind::String:
        return "the text '" + literal.text + "'";
    case Literal::Kind::DateTime:
        return "the date #" + literal.text + "#";
    case Literal::Kind::Guid:
        return "the GUID '" + literal.text + "'";
    default:
        return "the value " + literal.text;
    }
}

PreparedLiteral Binder::prepareFor(const Literal& literal, std::size_t column,
                                   std::size_t position) const {
    const ColumnInfo& info = columns_[column];
    const Domain domain = domainOf(info.kind);
    const auto cannot = [&] {
        mismatch(position,
                 "column '" + info.name + "' cannot be compared with " + describeLiteral(literal));
    };
    switch (literal.kind) {
    case Literal::Kind::Number:
    case Literal::Kind::Bool: {
        if (domain != Domain::Number && domain != Domain::Date)
            cannot();
        // Access's True is -1.
        const ExactNumber exact = literal.kind == Literal::Kind::Bool
                                      ? exactFromInteger(literal.boolean ? -1 : 0)
                                      : literal.number;
        return prepareNumber(exact);
    }
    case Literal::Kind::DateTime: {
        if (domain != Domain::Date)
            cannot();
        PreparedLiteral prepared;
        prepared.domain = Domain::Date;
        prepared.seconds = linearSeconds(literal.days);
        return prepared;
    }
    case Literal::Kind::String: {
        PreparedLiteral prepared;
        if (domain == Domain::Guid) {
            const auto guid = parseGuid(literal.text);
            if (!guid)
                cannot();
            prepared.domain = Domain::Guid;
            prepared.guid = *guid;
            return prepared;
        }
        if (domain != Domain::Text)
            cannot();
        prepared.domain = Domain::Text;
        prepared.text = literal.text;
        return prepared;
    }
    case Literal::Kind::Guid: {
        if (domain != Domain::Guid)
            cannot();
        PreparedLiteral prepared;
        prepared.domain = Domain::Guid;
        prepared.guid = literal.guid;
        return prepared;
    }
    case Literal::Kind::Null:
        break;
    }
    return {};
}

// Both sides constant, as in the WHERE 1=0 that clients send to learn a
// table's columns without reading rows.
Truth Binder::compareLiterals(const Literal& a, CompareOp op, const Literal& b,
                              std::size_t position) const {
    using K = Literal::Kind;
    if (a.kind == K::Null || b.kind == K::Null)
        return Truth::Unknown;
    const auto numeric = [](const Literal& l) {
        return l.kind == K::Bool ? exactFromInteger(l.boolean ? -1 : 0) : l.number;
    };
    const bool numberA = a.kind == K::Number || a.kind == K::Bool;
    const bool numberB = b.kind == K::Number || b.kind == K::Bool;
    int order = kIncomparable;
    if (numberA && numberB)
        order = compareExact(numeric(a), numeric(b));
    else if (a.kind == K::String && b.kind == K::String)
        order = compareText(a.text, b.text);
    else if (a.kind == K::DateTime && b.kind == K::DateTime)
        order = compareDoubles(linearDays(a.days), linearDays(b.days));
    else if (a.kind == K::Guid && b.kind == K::Guid)
        order = std::clamp(std::memcmp(a.guid.data(), b.guid.data(), a.guid.size()), -1, 1);
    if (order == kIncomparable)
        mismatch(position, describeLiteral(a) + " cannot be compared with " + describeLiteral(b));
    return truthOf(applyOp(op, order));
}

std::size_t Binder::bindExpr(const Expr& expr) {
    switch (expr.kind) {
    case Expr::Kind::And:
    case Expr::Kind::Or: {
        std::vector<std::size_t> terms;
        for (const auto& term : expr.terms)
            terms.push_back(bindExpr(*term));
        return addLogical(expr.kind == Expr::Kind::And ? Node::Kind::And : Node::Kind::Or, terms);
    }
    case Expr::Kind::Not:
        return addNot(bindExpr(*expr.terms.front()));
    case Expr::Kind::Compare:
        return bindComparison(expr.lhs, expr.op, expr.rhs);
    case Expr::Kind::IsNull:
        return bindIsNull(expr);
    case Expr::Kind::Like:
        return bindLike(expr);
    case Expr::Kind::In:
        return bindIn(expr);
    case Expr::Kind::Between:
        return bindBetween(expr);
    case Expr::Kind::Operand:
        return bindLoneOperand(expr);
    }
    return addConstant(Truth::Unknown);
}

std::size_t Binder::bindComparison(const Operand& lhs, CompareOp op, const Operand& rhs) {
    return bindComparison(resolve(lhs), op, resolve(rhs));
}

std::size_t Binder::bindComparison(Side lhs, CompareOp op, Side rhs) {
    if (!lhs.isColumn && rhs.isColumn) {
        std::swap(lhs, rhs);
        op = flipped(op);
    }
    if (!lhs.isColumn)
        return addConstant(compareLiterals(lhs.literal, op, rhs.literal, lhs.position));
    Node node;
    node.op = op;
    node.column = lhs.column;
    if (rhs.isColumn) {
        const ColumnInfo& a = columns_[lhs.column];
        const ColumnInfo& b = columns_[rhs.column];
        const Domain da = domainOf(a.kind);
        const Domain db = domainOf(b.kind);
        const bool numberAndDate = (da == Domain::Number && db == Domain::Date) ||
                                   (da == Domain::Date && db == Domain::Number);
        if ((da != db && !numberAndDate) || da == Domain::None)
            mismatch(lhs.position,
                     "column '" + a.name + "' cannot be compared with column '" + b.name + "'");
        node.kind = Node::Kind::CompareColumns;
        node.other = rhs.column;
        return addNode(node);
    }
    if (rhs.literal.kind == Literal::Kind::Null)
        return addConstant(Truth::Unknown); // x = NULL is never true
    node.kind = Node::Kind::CompareLiteral;
    node.other = addLiteral(prepareFor(rhs.literal, lhs.column, rhs.position));
    return addNode(node);
}

std::size_t Binder::bindIsNull(const Expr& expr) {
    const Side side = resolve(expr.lhs);
    if (!side.isColumn)
        return addConstant(truthOf((side.literal.kind == Literal::Kind::Null) != expr.negated));
    Node node;
    node.kind = Node::Kind::IsNull;
    node.column = side.column;
    node.negated = expr.negated;
    return addNode(node);
}

std::size_t Binder::bindLike(const Expr& expr) {
    const Side subject = resolve(expr.lhs);
    Side pattern = resolve(expr.rhs);
    if (pattern.isColumn)
        throw DriverError(sqlstate::kSyntaxError,
                          "Syntax error at position " + std::to_string(pattern.position) +
                              ": LIKE needs a quoted pattern; LIKE with a column is not supported");
    if (pattern.literal.kind == Literal::Kind::Null)
        return addConstant(Truth::Unknown);
    if (pattern.literal.kind != Literal::Kind::String)
        mismatch(pattern.position,
                 "LIKE needs a quoted pattern, not " + describeLiteral(pattern.literal));
    out_.patterns.emplace_back(pattern.literal.text);
    if (!subject.isColumn) {
        if (subject.literal.kind == Literal::Kind::Null)
            return addConstant(Truth::Unknown);
        if (subject.literal.kind != Literal::Kind::String)
            mismatch(subject.position,
                     "LIKE applies to text, not to " + describeLiteral(subject.literal));
        return addConstant(
            truthOf(out_.patterns.back().matches(subject.literal.text) != expr.negated));
    }
    const ColumnInfo& info = columns_[subject.column];
    if (domainOf(info.kind) != Domain::Text && !isWholeNumberColumn(info.kind))
        mismatch(subject.position, "LIKE applies to text, not to column '" + info.name + "'");
    Node node;
    node.kind = Node::Kind::Like;
    node.column = subject.column;
    node.other = out_.patterns.size() - 1;
    node.negated = expr.negated;
    return addNode(node);
}

// x IN (a, b) is x = a OR x = b, which gives SQL's answers for NULLs too.
std::size_t Binder::bindIn(const Expr& expr) {
    if (const auto native = bindInLiterals(expr))
        return *native;
    std::vector<std::size_t> equalities;
    for (const Operand& item : expr.list)
        equalities.push_back(bindComparison(expr.lhs, CompareOp::Equal, item));
    const std::size_t any = addLogical(Node::Kind::Or, equalities);
    return expr.negated ? addNot(any) : any;
}

// The common case, a column and a list of constants, as one node that tries
// the constants in a loop: long generated lists cost no depth.
std::optional<std::size_t> Binder::bindInLiterals(const Expr& expr) {
    const Side subject = resolve(expr.lhs);
    std::vector<Side> items;
    for (const Operand& item : expr.list) {
        items.push_back(resolve(item));
        if (items.back().isColumn)
            return std::nullopt;
    }
    if (!subject.isColumn)
        return std::nullopt;
    Node node;
    node.kind = Node::Kind::InList;
    node.column = subject.column;
    node.negated = expr.negated;
    node.constant = Truth::False;
    node.left = out_.literals.size();
    for (const Side& item : items) {
        if (item.literal.kind == Literal::Kind::Null)
            node.constant = Truth::Unknown; // x IN (1, NULL) is never false
        else
            addLiteral(prepareFor(item.literal, subject.column, item.position));
    }
    node.right = out_.literals.size() - node.left;
    return addNode(node);
}

// Access accepts the bounds in either order: BETWEEN 10 AND 1 is BETWEEN 1
// AND 10. So x BETWEEN a AND b is (x >= a AND x <= b) OR (x >= b AND x <= a),
// folded to one range when both bounds are constants.
std::size_t Binder::bindBetween(const Expr& expr) {
    Side low = resolve(expr.rhs);
    Side high = resolve(expr.high);
    const Side subject = resolve(expr.lhs);
    const auto range = [&](const Side& from, const Side& to) {
        return addLogical(Node::Kind::And, bindComparison(subject, CompareOp::GreaterEqual, from),
                          bindComparison(subject, CompareOp::LessEqual, to));
    };
    std::size_t result = 0;
    if (!low.isColumn && !high.isColumn) {
        if (compareLiterals(low.literal, CompareOp::Greater, high.literal, low.position) ==
            Truth::True)
            std::swap(low, high);
        result = range(low, high);
    } else {
        result = addLogical(Node::Kind::Or, range(low, high), range(high, low));
    }
    return expr.negated ? addNot(result) : result;
}

// WHERE Flag, WHERE 1, WHERE TRUE: true when not zero, as in Access.
std::size_t Binder::bindLoneOperand(const Expr& expr) {
    const Side side = resolve(expr.lhs);
    Literal zero;
    zero.kind = Literal::Kind::Number;
    zero.text = "0";
    if (!side.isColumn)
        return addConstant(
            side.literal.kind == Literal::Kind::Null
                ? Truth::Unknown
                : compareLiterals(side.literal, CompareOp::NotEqual, zero, side.position));
    Node node;
    node.kind = Node::Kind::Truthy;
    node.column = side.column;
    node.other = addLiteral(prepareFor(zero, side.column, side.position));
    return addNode(node);
}

} // namespace

struct BoundQuery::Impl : CompiledQuery {};

BoundQuery::BoundQuery(const SelectStatement& statement,
                       const std::vector<ColumnInfo>& tableColumns)
    : impl_(std::make_unique<Impl>()) {
    Binder(statement, tableColumns, *impl_).bind();
}

BoundQuery::~BoundQuery() = default;
BoundQuery::BoundQuery(BoundQuery&&) noexcept = default;
BoundQuery& BoundQuery::operator=(BoundQuery&&) noexcept = default;

const std::vector<std::size_t>& BoundQuery::outputColumns() const {
    return impl_->output;
}

const std::vector<std::size_t>& BoundQuery::neededColumns() const {
    return impl_->needed;
}

bool BoundQuery::matches(const std::vector<Value>& row) const {
    return !impl_->root || impl_->evaluate(*impl_->root, row) == Truth::True;
}

const std::vector<std::size_t>& BoundQuery::conditionColumns() const {
    return impl_->condition;
}

bool BoundQuery::neverMatches() const {
    if (!impl_->root)
        return false;
    const Node& root = impl_->nodes[*impl_->root];
    return root.kind == Node::Kind::Constant && root.constant != Truth::True;
}

bool BoundQuery::ordered() const {
    return !impl_->orderKeys.empty();
}

// NULLs come first ascending and last descending: Access sorts them lowest.
bool BoundQuery::before(const std::vector<Value>& a, const std::vector<Value>& b) const {
    for (const OrderKey& key : impl_->orderKeys) {
        const Value& x = a[key.column];
        const Value& y = b[key.column];
        if (x.isNull() || y.isNull()) {
            if (x.isNull() == y.isNull())
                continue;
            return x.isNull() != key.descending;
        }
        const int order = compareValues(x, y);
        if (order == 0 || order == kIncomparable)
            continue;
        return (order < 0) != key.descending;
    }
    return false;
}

std::optional<std::uint64_t> BoundQuery::top() const {
    return impl_->top;
}

} // namespace kelvara::driver::sql
