// Recursive-descent parser for the SELECT statements the driver runs.

#include "driver/core/error.hpp"
#include "driver/core/sqlstate.hpp"
#include "driver/sql/date_literal.hpp"
#include "driver/sql/expr.hpp"
#include "driver/sql/guid_literal.hpp"
#include "driver/sql/lexer.hpp"
#include "driver/sql/query.hpp"
#include "driver/sql/text_compare.hpp"

#include <algorithm>
#include <array>
#include <optional>

namespace kelvara::driver::sql {
namespace {

using Kind = Token::Kind;

bool sameWord(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

bool isOneOf(std::string_view word, std::initializer_list<std::string_view> words) noexcept {
    return std::any_of(words.begin(), words.end(),
                       [word](std::string_view w) { return sameWord(word, w); });
}

// Words that shape the statement and so cannot be bare names.
bool isReserved(std::string_view word) noexcept {
    return isOneOf(word, {"SELECT",  "FROM",  "WHERE",    "ORDER",       "BY",   "AND",
                          "OR",      "NOT",   "IS",       "NULL",        "LIKE", "IN",
                          "BETWEEN", "TOP",   "DISTINCT", "DISTINCTROW", "AS",   "ASC",
                          "DESC",    "GROUP", "HAVING",   "UNION",       "JOIN", "INNER",
                          "LEFT",    "RIGHT", "OUTER",    "ON",          "INTO"});
}

bool isWriteStatement(std::string_view word) noexcept {
    return isOneOf(word, {"INSERT", "UPDATE", "DELETE", "CREATE", "DROP", "ALTER", "TRUNCATE",
                          "MERGE", "GRANT", "REVOKE", "REPLACE", "UPSERT", "RENAME"});
}

bool isArithmetic(const Token& token) noexcept {
    if (token.kind == Kind::Word)
        return sameWord(token.text, "MOD");
    return token.kind == Kind::Symbol && isOneOf(token.text, {"+", "-", "*", "/", "\\", "^", "&"});
}

std::optional<CompareOp> compareOperator(const Token& token) noexcept {
    if (token.kind != Kind::Symbol)
        return std::nullopt;
    static constexpr std::array<std::pair<std::string_view, CompareOp>, 7> kOperators{{
        {"=", CompareOp::Equal},
        {"<>", CompareOp::NotEqual},
        {"!=", CompareOp::NotEqual},
        {"<", CompareOp::Less},
        {"<=", CompareOp::LessEqual},
        {">", CompareOp::Greater},
        {">=", CompareOp::GreaterEqual},
    }};
    for (const auto& [text, op] : kOperators) {
        if (token.text == text)
            return op;
    }
    return std::nullopt;
}

std::string upperCase(std::string word) {
    for (char& c : word) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    }
    return word;
}

class Parser {
public:
    explicit Parser(std::string_view sql) : sql_(sql) {
        Lexer lexer(sql);
        do {
            tokens_.push_back(lexer.next());
        } while (tokens_.back().kind != Kind::End);
    }

    SelectStatement statement();

private:
    const Token& peek(std::size_t ahead = 0) const {
        return tokens_[std::min(index_ + ahead, tokens_.size() - 1)];
    }
    const Token& take() {
        const Token& token = peek();
        if (index_ + 1 < tokens_.size())
            ++index_;
        return token;
    }
    bool isWord(std::string_view word, std::size_t ahead = 0) const {
        return peek(ahead).kind == Kind::Word && sameWord(peek(ahead).text, word);
    }
    bool isSymbol(std::string_view symbol, std::size_t ahead = 0) const {
        return peek(ahead).kind == Kind::Symbol && peek(ahead).text == symbol;
    }
    bool acceptWord(std::string_view word) {
        if (!isWord(word))
            return false;
        take();
        return true;
    }
    bool acceptSymbol(std::string_view symbol) {
        if (!isSymbol(symbol))
            return false;
        take();
        return true;
    }
    void expectWord(std::string_view word) {
        if (!acceptWord(word))
            fail(peek(), "expected " + std::string(word));
    }
    void expectSymbol(std::string_view symbol) {
        if (!acceptSymbol(symbol))
            fail(peek(), "expected '" + std::string(symbol) + "'");
    }
    [[noreturn]] void fail(const Token& token, std::string_view detail) const {
        throwSyntaxError(sql_, token.offset, detail);
    }
    // Valid SQL that the driver does not run: the same state as a syntax
    // error, but a message that does not blame the statement.
    [[noreturn]] void unsupported(const Token& token, const std::string& what) const {
        throw DriverError(sqlstate::kSyntaxError, what + " not supported by this driver (" +
                                                      describeLocation(sql_, token.offset) + ")");
    }
    [[noreturn]] static void readOnly(const std::string& what) {
        throw DriverError(sqlstate::kGeneralError,
                          "The driver is read-only: " + what + " cannot be run");
    }
    static std::size_t position(const Token& token) { return token.position; }

    void checkStatementKind();
    void selectList(SelectStatement& statement);
    void tableClause(SelectStatement& statement);
    void orderBy(SelectStatement& statement);
    void rejectUnsupportedClause();
    bool isName(std::size_t ahead = 0) const;
    std::string name();
    ColumnRef columnRef();

    // Parentheses and NOTs nest the condition; a limit keeps the recursion
    // of parsing and evaluating within a thread's stack.
    static constexpr int kMaxNesting = 256;
    class NestingGuard {
    public:
        NestingGuard(Parser& parser, const Token& token) : parser_(parser) {
            if (++parser_.nesting_ > kMaxNesting)
                parser_.fail(token, "the condition is nested too deeply");
        }
        ~NestingGuard() { --parser_.nesting_; }
        NestingGuard(const NestingGuard&) = delete;
        NestingGuard& operator=(const NestingGuard&) = delete;

    private:
        Parser& parser_;
    };

    std::unique_ptr<Expr> orCondition();
    std::unique_ptr<Expr> andCondition();
    std::unique_ptr<Expr> chain(Expr::Kind kind);
    std::unique_ptr<Expr> notCondition();
    std::unique_ptr<Expr> predicate();
    std::unique_ptr<Expr> predicateTail(Operand lhs);
    Operand operand();
    Operand literalOperand(const Token& token, Literal literal);
    Operand numberOperand(bool negative);
    Operand escapeOperand();
    void rejectArithmetic() const;

    std::string_view sql_;
    std::vector<Token> tokens_;
    std::size_t index_ = 0;
    int nesting_ = 0;
};

SelectStatement Parser::statement() {
    checkStatementKind();
    take(); // SELECT
    SelectStatement statement;
    if (isWord("DISTINCT"))
        unsupported(peek(), "SELECT DISTINCT is");
    // DISTINCTROW only removes rows that joins duplicate; over one table it
    // changes nothing.
    if (!acceptWord("ALL"))
        acceptWord("DISTINCTROW");
    if (acceptWord("TOP")) {
        const Token& count = take();
        const auto value = parseExactNumber(count.text);
        if (count.kind != Kind::Number || !value || value->exponent < 0 ||
            value->magnitude > (UInt128{1} << 62))
            fail(count, "TOP needs a whole number");
        statement.top = static_cast<std::uint64_t>(integerThreshold(*value, 0).floor);
        if (isWord("PERCENT"))
            unsupported(peek(), "TOP ... PERCENT is");
    }
    selectList(statement);
    if (isWord("INTO"))
        readOnly("SELECT ... INTO");
    expectWord("FROM");
    tableClause(statement);
    if (acceptWord("WHERE"))
        statement.where = orCondition();
    rejectUnsupportedClause();
    if (acceptWord("ORDER")) {
        expectWord("BY");
        orderBy(statement);
    }
    rejectUnsupportedClause();
    acceptSymbol(";");
    if (peek().kind != Kind::End)
        fail(peek(), "expected the end of the statement");
    return statement;
}

void Parser::checkStatementKind() {
    const Token& first = peek();
    if (first.kind == Kind::Symbol && first.text == "{")
        unsupported(first, "Procedure calls are");
    if (first.kind == Kind::Word && isWriteStatement(first.text))
        readOnly(upperCase(first.text) + " statements");
    if (first.kind == Kind::Word &&
        isOneOf(first.text, {"TRANSFORM", "PARAMETERS", "EXEC", "EXECUTE", "CALL", "WITH"}))
        unsupported(first, first.text + " statements are");
    if (!isWord("SELECT"))
        fail(first, "expected SELECT");
}

void Parser::selectList(SelectStatement& statement) {
    if (acceptSymbol("*")) {
        statement.allColumns = true;
        return;
    }
    do {
        if (!isName())
            fail(peek(), "expected a column name or *");
        if (isSymbol(".", 1) && isSymbol("*", 2)) {
            if (!statement.columns.empty() || isSymbol(",", 3))
                unsupported(peek(), "Mixing table.* with other columns is");
            const ColumnRef star{name(), {}};
            take(); // .
            take(); // *
            statement.allColumns = true;
            statement.columnQualifiers.push_back(star.qualifier); // checked by the binder
            return;
        }
        ColumnRef column = columnRef();
        rejectArithmetic();
        if (isWord("AS") || (isName() && !isWord("FROM")))
            unsupported(peek(), "Column aliases are");
        statement.columns.push_back(std::move(column.name));
        statement.columnQualifiers.push_back(std::move(column.qualifier));
    } while (acceptSymbol(","));
}

void Parser::tableClause(SelectStatement& statement) {
    if (!isName())
        fail(peek(), "expected a table name");
    statement.table = name();
    if (isSymbol("."))
        unsupported(peek(), "Qualified table names are");
    if (acceptWord("AS")) {
        if (!isName())
            fail(peek(), "expected an alias after AS");
        statement.tableAlias = name();
    } else if (isName()) {
        statement.tableAlias = name();
    }
    if (isSymbol(",") || isWord("JOIN") || isWord("INNER") || isWord("LEFT") || isWord("RIGHT"))
        unsupported(peek(), "Joins are");
    if (isWord("IN"))
        unsupported(peek(), "Tables of other databases are");
}

void Parser::rejectUnsupportedClause() {
    if (isWord("GROUP") || isWord("HAVING"))
        unsupported(peek(), "GROUP BY and HAVING are");
    if (isWord("UNION"))
        unsupported(peek(), "UNION is");
}

void Parser::orderBy(SelectStatement& statement) {
    do {
        OrderTerm term;
        if (peek().kind == Kind::Number) {
            const Token& number = take();
            const auto value = parseExactNumber(number.text);
            if (!value || value->exponent < 0 || value->isZero() || value->magnitude > 4096)
                fail(number, "expected a column name or a column number");
            term.ordinal = static_cast<std::size_t>(integerThreshold(*value, 0).floor);
        } else if (isName()) {
            ColumnRef column = columnRef();
            term.column = std::move(column.name);
            term.qualifier = std::move(column.qualifier);
        } else {
            fail(peek(), "expected a column name");
        }
        rejectArithmetic();
        if (acceptWord("DESC"))
            term.descending = true;
        else
            acceptWord("ASC");
        statement.orderBy.push_back(std::move(term));
    } while (acceptSymbol(","));
}

bool Parser::isName(std::size_t ahead) const {
    const Token& token = peek(ahead);
    if (token.kind == Kind::QuotedName || token.kind == Kind::DoubleQuoted)
        return true;
    return token.kind == Kind::Word && !isReserved(token.text);
}

std::string Parser::name() {
    const Token& token = take();
    if (token.kind == Kind::QuotedName && token.text.empty())
        fail(token, "a name cannot be empty");
    return token.text;
}

// name, or qualifier.name; a name followed by "(" is a function call.
ColumnRef Parser::columnRef() {
    const Token& first = peek();
    ColumnRef column;
    column.name = name();
    if (first.kind == Kind::Word && isSymbol("("))
        unsupported(first, "Functions such as " + first.text + "() are");
    if (acceptSymbol(".")) {
        if (!isName())
            fail(peek(), "expected a column name after '.'");
        column.qualifier = std::move(column.name);
        column.name = name();
    }
    return column;
}

void Parser::rejectArithmetic() const {
    if (isArithmetic(peek()))
        unsupported(peek(), "Calculations such as '" + peek().text + "' are");
}

std::unique_ptr<Expr> Parser::orCondition() {
    return chain(Expr::Kind::Or);
}

std::unique_ptr<Expr> Parser::andCondition() {
    return chain(Expr::Kind::And);
}

// a OR b OR c as one node with three terms (and the same for AND).
std::unique_ptr<Expr> Parser::chain(Expr::Kind kind) {
    const bool isOr = kind == Expr::Kind::Or;
    auto first = isOr ? andCondition() : notCondition();
    if (!isWord(isOr ? "OR" : "AND"))
        return first;
    auto node = std::make_unique<Expr>();
    node->kind = kind;
    node->terms.push_back(std::move(first));
    while (acceptWord(isOr ? "OR" : "AND"))
        node->terms.push_back(isOr ? andCondition() : notCondition());
    return node;
}

std::unique_ptr<Expr> Parser::notCondition() {
    const Token& notToken = peek();
    if (!acceptWord("NOT"))
        return predicate();
    const NestingGuard guard(*this, notToken);
    auto node = std::make_unique<Expr>();
    node->kind = Expr::Kind::Not;
    node->terms.push_back(notCondition());
    return node;
}

std::unique_ptr<Expr> Parser::predicate() {
    const Token& open = peek();
    if (acceptSymbol("(")) {
        const NestingGuard guard(*this, open);
        if (isWord("SELECT"))
            unsupported(peek(), "Subqueries are");
        auto inner = orCondition();
        expectSymbol(")");
        return inner;
    }
    return predicateTail(operand());
}

std::unique_ptr<Expr> Parser::predicateTail(Operand lhs) {
    auto node = std::make_unique<Expr>();
    node->lhs = std::move(lhs);
    if (const auto op = compareOperator(peek())) {
        take();
        node->kind = Expr::Kind::Compare;
        node->op = *op;
        if (isWord("ANY") || isWord("ALL") || isWord("SOME"))
            unsupported(peek(), "Subqueries are");
        node->rhs = operand();
        return node;
    }
    if (acceptWord("IS")) {
        node->kind = Expr::Kind::IsNull;
        node->negated = acceptWord("NOT");
        expectWord("NULL");
        return node;
    }
    const Token& notToken = peek();
    node->negated = acceptWord("NOT");
    if (acceptWord("LIKE")) {
        node->kind = Expr::Kind::Like;
        node->rhs = operand();
        if (isWord("ESCAPE"))
            unsupported(peek(), "LIKE ... ESCAPE is");
    } else if (acceptWord("IN")) {
        node->kind = Expr::Kind::In;
        expectSymbol("(");
        if (isWord("SELECT"))
            unsupported(peek(), "Subqueries are");
        do {
            node->list.push_back(operand());
        } while (acceptSymbol(","));
        expectSymbol(")");
    } else if (acceptWord("BETWEEN")) {
        node->kind = Expr::Kind::Between;
        node->rhs = operand();
        expectWord("AND");
        node->high = operand();
    } else if (node->negated) {
        fail(peek(), "expected LIKE, IN or BETWEEN after " + notToken.text);
    } else {
        node->kind = Expr::Kind::Operand; // WHERE Flag, WHERE TRUE
    }
    return node;
}

Operand Parser::literalOperand(const Token& token, Literal literal) {
    Operand result;
    result.kind = Operand::Kind::Literal;
    result.literal = std::move(literal);
    result.position = position(token);
    return result;
}

Operand Parser::numberOperand(bool negative) {
    const Token& token = peek();
    if (token.kind != Kind::Number)
        unsupported(token, "Calculations with columns are");
    take();
    Literal literal;
    literal.kind = Literal::Kind::Number;
    const auto number = parseExactNumber(token.text);
    if (!number)
        fail(token, "invalid number");
    literal.number = *number;
    literal.number.negative = negative && !number->isZero();
    literal.text = (negative ? "-" : "") + token.text;
    return literalOperand(token, std::move(literal));
}

Operand Parser::operand() {
    const Token& token = peek();
    Operand result;
    if (token.kind == Kind::Symbol && (token.text == "-" || token.text == "+")) {
        take();
        result = numberOperand(token.text == "-");
        result.position = position(token);
    } else if (token.kind == Kind::Number) {
        result = numberOperand(false);
    } else if (token.kind == Kind::String) {
        take();
        result =
            literalOperand(token, Literal{Literal::Kind::String, token.text, {}, 0.0, false, {}});
    } else if (token.kind == Kind::Date) {
        take();
        const auto days = parseAccessDate(token.text);
        if (!days)
            fail(token, "invalid date");
        result = literalOperand(token,
                                Literal{Literal::Kind::DateTime, token.text, {}, *days, false, {}});
    } else if (token.kind == Kind::Word &&
               isOneOf(token.text, {"TRUE", "YES", "ON", "FALSE", "NO", "OFF"})) {
        take();
        const bool value = isOneOf(token.text, {"TRUE", "YES", "ON"});
        result =
            literalOperand(token, Literal{Literal::Kind::Bool, token.text, {}, 0.0, value, {}});
    } else if (token.kind == Kind::Word && sameWord(token.text, "NULL")) {
        take();
        result = literalOperand(token, Literal{});
    } else if (token.kind == Kind::DoubleQuoted && !isSymbol(".", 1)) {
        take();
        result.kind = Operand::Kind::QuotedName;
        result.column.name = token.text;
        result.position = position(token);
    } else if (isName()) {
        result.kind = Operand::Kind::Column;
        result.position = position(token);
        result.column = columnRef();
    } else if (token.kind == Kind::Symbol && token.text == "{") {
        result = escapeOperand();
    } else if (token.kind == Kind::Symbol && token.text == "?") {
        unsupported(token, "Parameters are");
    } else {
        fail(token, "expected a column name or a value");
    }
    rejectArithmetic();
    return result;
}

// ODBC escapes for literals: {d '...'}, {t '...'}, {ts '...'}, {guid '...'}.
Operand Parser::escapeOperand() {
    const Token& open = take();
    const Token& kind = take();
    if (kind.kind != Kind::Word)
        fail(kind, "expected d, t, ts or guid after '{'");
    if (!isOneOf(kind.text, {"d", "t", "ts", "guid"}))
        unsupported(kind, "The ODBC escape {" + kind.text + " ...} is");
    const Token& text = take();
    if (text.kind != Kind::String)
        fail(text, "expected a quoted value");
    Literal literal;
    literal.text = text.text;
    if (sameWord(kind.text, "guid")) {
        const auto bytes = parseGuid(text.text);
        if (!bytes)
            fail(text, "invalid GUID");
        literal.kind = Literal::Kind::Guid;
        literal.guid = *bytes;
    } else {
        std::string lower = kind.text;
        for (char& c : lower)
            c = static_cast<char>(c | 0x20);
        const auto days = parseOdbcDateTime(lower, text.text);
        if (!days)
            fail(text, "invalid date or time");
        literal.kind = Literal::Kind::DateTime;
        literal.days = *days;
    }
    expectSymbol("}");
    return literalOperand(open, std::move(literal));
}

} // namespace

SelectStatement parse(std::string_view sqlText) {
    return Parser(sqlText).statement();
}

} // namespace kelvara::driver::sql
