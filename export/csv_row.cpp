#include "export/csv_row.hpp"

namespace kelvara::csv {

void AppendColumn(std::string& rowLine, std::string_view value, bool firstColumn) {
    rowLine += firstColumn ? "\"" : ",\"";
    rowLine += value;
    rowLine += '"';
}

void EndRow(std::string& rowLine) {
    rowLine += '\n';
}

std::string ComposeRowLine(std::span<const std::string> values) {
    std::string line;
    bool first = true;
    for (const std::string& value : values) {
        AppendColumn(line, value, first);
        first = false;
    }
    EndRow(line);
    return line;
}

std::string TextModeBytes(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 8 + 2);
    for (char c : text) {
        if (c == '\n') {
            bytes += '\r';
        }
        bytes += c;
    }
    return bytes;
}

} // namespace kelvara::csv
