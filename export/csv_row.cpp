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

void AppendTextModeBytes(std::string_view text, std::string& out) {
    // Copies the runs between line feeds whole: most rows hold one line feed,
    // at their end.
    for (;;) {
        const std::size_t lineFeed = text.find('\n');
        if (lineFeed == std::string_view::npos) {
            out.append(text);
            return;
        }
        out.append(text.substr(0, lineFeed));
        out.append("\r\n");
        text.remove_prefix(lineFeed + 1);
    }
}

std::string TextModeBytes(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 8 + 2);
    AppendTextModeBytes(text, bytes);
    return bytes;
}

} // namespace kelvara::csv
