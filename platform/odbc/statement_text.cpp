#include "platform/odbc/statement_text.hpp"

namespace kelvara::odbc {

std::string rewriteBrackets(std::string_view statement, char identifierQuote) {
    std::string out;
    out.reserve(statement.size());
    bool inLiteral = false;
    for (std::size_t i = 0; i < statement.size(); ++i) {
        const char c = statement[i];
        const bool hasNext = i + 1 < statement.size();
        if (c == '\'') {
            if (hasNext && statement[i + 1] == '\'') {
                out += "''";
                ++i;
            } else {
                out += c;
                inLiteral = !inLiteral;
            }
        } else if (!inLiteral && (c == '[' || c == ']')) {
            if (hasNext && statement[i + 1] == c) {
                out += c;
                ++i;
            } else {
                out += identifierQuote;
            }
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace kelvara::odbc
