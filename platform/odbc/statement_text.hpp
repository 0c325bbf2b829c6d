#pragma once

#include <string>
#include <string_view>

namespace kelvara::odbc {

// Turns square brackets outside string literals into the driver's identifier
// quote character, so that users can type [Order Details] whatever the
// driver's own quoting is. A doubled bracket ("[[" or "]]") stands for one
// literal bracket. Single quotes delimit literals; '' inside one is a quote.
std::string rewriteBrackets(std::string_view statement, char identifierQuote);

} // namespace kelvara::odbc
