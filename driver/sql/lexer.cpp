#include "driver/sql/lexer.hpp"

#include "driver/core/error.hpp"
#include "driver/core/sqlstate.hpp"
#include "driver/sql/text_compare.hpp"

namespace kelvara::driver::sql {
namespace {

bool isDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}

// Access allows letters of any script in bare names; every byte of a
// multi-byte UTF-8 character is taken as part of a name.
bool isNameStart(char c) noexcept {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool isNamePart(char c) noexcept {
    return isNameStart(c) || isDigit(c) || c == '$';
}

bool isBlank(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// The offending token as the message quotes it: up to the next blank, cut
// to a readable length.
std::string nearText(std::string_view sql, std::size_t offset) {
    constexpr std::size_t kMaxQuoted = 30;
    std::size_t end = offset;
    while (end < sql.size() && !isBlank(sql[end]) && end - offset < kMaxQuoted)
        ++end;
    while (end < sql.size() && (static_cast<unsigned char>(sql[end]) & 0xC0) == 0x80)
        ++end; // never cut a character in two
    return std::string(sql.substr(offset, end - offset));
}

} // namespace

std::string describeLocation(std::string_view sql, std::size_t offset) {
    const std::size_t position = countCodePoints(sql.substr(0, offset)) + 1;
    std::string text = "position " + std::to_string(position);
    text += offset >= sql.size() ? " at the end of the statement"
                                 : " near '" + nearText(sql, offset) + "'";
    return text;
}

void throwSyntaxError(std::string_view sql, std::size_t offset, std::string_view detail) {
    std::string message = "Syntax error at " + describeLocation(sql, offset);
    if (!detail.empty()) {
        message += ": ";
        message += detail;
    }
    throw DriverError(sqlstate::kSyntaxError, message);
}

Token Lexer::next() {
    while (pos_ < sql_.size() && isBlank(sql_[pos_]))
        ++pos_;
    Token token;
    if (pos_ >= sql_.size()) {
        token.offset = sql_.size();
        token.position = positionOf(token.offset);
        return token;
    }
    const char c = sql_[pos_];
    const bool afterName = previous_ == Token::Kind::Word || previous_ == Token::Kind::QuotedName ||
                           previous_ == Token::Kind::DoubleQuoted;
    if (c == '\'')
        token = quoted('\'', Token::Kind::String, true);
    else if (c == '`')
        token = quoted('`', Token::Kind::QuotedName, true);
    else if (c == '[')
        token = quoted(']', Token::Kind::QuotedName, false);
    else if (c == '"')
        token = quoted('"', Token::Kind::DoubleQuoted, true);
    else if (c == '#')
        token = quoted('#', Token::Kind::Date, false);
    else if (isDigit(c) ||
             (c == '.' && !afterName && pos_ + 1 < sql_.size() && isDigit(sql_[pos_ + 1])))
        token = number();
    else if (isNameStart(c))
        token = word();
    else
        token = symbol();
    token.position = positionOf(token.offset);
    previous_ = token.kind;
    return token;
}

std::size_t Lexer::positionOf(std::size_t offset) {
    countedCharacters_ += countCodePoints(sql_.substr(countedOffset_, offset - countedOffset_));
    countedOffset_ = offset;
    return countedCharacters_ + 1;
}

Token Lexer::quoted(char close, Token::Kind kind, bool doubledCloseEscapes) {
    Token token;
    token.kind = kind;
    token.offset = pos_;
    ++pos_;
    while (true) {
        if (pos_ >= sql_.size()) {
            const char* what = kind == Token::Kind::String ? "the string is not closed"
                               : kind == Token::Kind::Date ? "the date is not closed with #"
                                                           : "the quoted name is not closed";
            throwSyntaxError(sql_, token.offset, what);
        }
        const char c = sql_[pos_++];
        if (c != close) {
            token.text += c;
            continue;
        }
        if (doubledCloseEscapes && pos_ < sql_.size() && sql_[pos_] == close) {
            token.text += c;
            ++pos_;
            continue;
        }
        return token;
    }
}

Token Lexer::number() {
    Token token;
    token.kind = Token::Kind::Number;
    token.offset = pos_;
    const std::size_t start = pos_;
    while (pos_ < sql_.size() && isDigit(sql_[pos_]))
        ++pos_;
    if (pos_ < sql_.size() && sql_[pos_] == '.') {
        ++pos_;
        while (pos_ < sql_.size() && isDigit(sql_[pos_]))
            ++pos_;
    }
    if (pos_ < sql_.size() && (sql_[pos_] == 'e' || sql_[pos_] == 'E')) {
        std::size_t exponent = pos_ + 1;
        if (exponent < sql_.size() && (sql_[exponent] == '+' || sql_[exponent] == '-'))
            ++exponent;
        if (exponent < sql_.size() && isDigit(sql_[exponent])) {
            pos_ = exponent;
            while (pos_ < sql_.size() && isDigit(sql_[pos_]))
                ++pos_;
        }
    }
    token.text = std::string(sql_.substr(start, pos_ - start));
    return token;
}

Token Lexer::word() {
    Token token;
    token.kind = Token::Kind::Word;
    token.offset = pos_;
    const std::size_t start = pos_;
    while (pos_ < sql_.size() && isNamePart(sql_[pos_]))
        ++pos_;
    token.text = std::string(sql_.substr(start, pos_ - start));
    return token;
}

Token Lexer::symbol() {
    static constexpr std::string_view kTwoCharacter[] = {"<>", "<=", ">=", "!="};
    Token token;
    token.kind = Token::Kind::Symbol;
    token.offset = pos_;
    for (std::string_view pair : kTwoCharacter) {
        if (sql_.substr(pos_, 2) == pair) {
            token.text = std::string(pair);
            pos_ += 2;
            return token;
        }
    }
    // One character, whole if it is a multi-byte one.
    std::size_t end = pos_ + 1;
    while (end < sql_.size() && (static_cast<unsigned char>(sql_[end]) & 0xC0) == 0x80)
        ++end;
    token.text = std::string(sql_.substr(pos_, end - pos_));
    pos_ = end;
    return token;
}

} // namespace kelvara::driver::sql
