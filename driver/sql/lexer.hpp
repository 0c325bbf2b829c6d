#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelvara::driver::sql {

struct Token {
    enum class Kind : std::uint8_t {
        End,
        Word,         // bare name or keyword
        QuotedName,   // `name` or [name]
        DoubleQuoted, // "text": a name or, in a condition, possibly a string
        Number,       // unsigned: 12, 1.5, .5, 1e-3
        String,       // 'text', '' undoubled
        Date,         // #...#, the text between the hashes
        Symbol,       // punctuation and operators: = <> <= >= != ( ) , . * ; { } ...
    };

    Kind kind = Kind::End;
    std::string text;         // the name, string content, number or symbol
    std::size_t offset = 0;   // byte offset of the token's first character
    std::size_t position = 0; // the same as a 1-based character position
};

// Splits a statement into tokens on demand. Throws DriverError 42000 for an
// unterminated quote.
class Lexer {
public:
    explicit Lexer(std::string_view sql) : sql_(sql) {}

    Token next();

private:
    Token quoted(char close, Token::Kind kind, bool doubledCloseEscapes);
    Token number();
    Token word();
    Token symbol();

    std::size_t positionOf(std::size_t offset);

    std::string_view sql_;
    std::size_t pos_ = 0;
    Token::Kind previous_ = Token::Kind::End;
    // Characters are counted as the lexer moves on, so that positions cost
    // nothing extra however long the statement.
    std::size_t countedOffset_ = 0;
    std::size_t countedCharacters_ = 0;
};

// "position 8 near 'count(*)'" or "position 22 at the end of the statement":
// where in the statement a message points, counted in characters from 1.
std::string describeLocation(std::string_view sql, std::size_t offset);

// Throws DriverError 42000: "Syntax error at position N near 'token'" plus
// `detail` when given.
[[noreturn]] void throwSyntaxError(std::string_view sql, std::size_t offset,
                                   std::string_view detail = {});

} // namespace kelvara::driver::sql
