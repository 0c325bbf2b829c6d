#pragma once
// Composition of one exported row as a line of the CSV output file.
//
// Every value is enclosed in double quotes and copied byte for byte: nothing in
// it is escaped or doubled. Readers of these files rely on exactly this form, so
// it must not be "improved" into RFC 4180 quoting.

#include <span>
#include <string>
#include <string_view>

namespace kelvara::csv {

// Adds one column value to a row line under construction: a quote before the
// first column's value, a comma and a quote before every later one, and a
// closing quote after each.
void AppendColumn(std::string& rowLine, std::string_view value, bool firstColumn);

// Ends a row line with its line feed.
void EndRow(std::string& rowLine);

// The complete row line (line feed included) for the given column values.
std::string ComposeRowLine(std::span<const std::string> values);

// The bytes that a text-mode write of `text` puts on disk: each line feed
// becomes carriage return and line feed; every other byte is kept.
std::string TextModeBytes(std::string_view text);

// The same, appended to `out`, so that a writer can reuse one buffer.
void AppendTextModeBytes(std::string_view text, std::string& out);

} // namespace kelvara::csv
