#include "driver/odbc/connection_string.hpp"

#include <algorithm>

namespace kelvara::driver::odbc {

bool equalsIgnoreCase(std::string_view a, std::string_view b) noexcept {
    auto lower = [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

namespace {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Reads a braced value starting at text[pos] == '{'; returns the position
// after the closing brace. An unclosed brace takes the rest of the text.
std::size_t readBraced(std::string_view text, std::size_t pos, std::string& value) {
    ++pos;
    while (pos < text.size()) {
        if (text[pos] == '}') {
            if (pos + 1 < text.size() && text[pos + 1] == '}') {
                value += '}';
                pos += 2;
                continue;
            }
            return pos + 1;
        }
        value += text[pos++];
    }
    return pos;
}

} // namespace

ConnectionString ConnectionString::parse(std::string_view text) {
    ConnectionString result;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t eq = text.find('=', pos);
        const std::size_t semi = text.find(';', pos);
        if (eq == std::string_view::npos || (semi != std::string_view::npos && semi < eq)) {
            // A piece without "=" carries no attribute; skip it.
            if (semi == std::string_view::npos)
                break;
            pos = semi + 1;
            continue;
        }
        ConnectionAttribute attribute;
        attribute.keyword = std::string(trimBlanks(text.substr(pos, eq - pos)));
        std::size_t valueStart = eq + 1;
        while (valueStart < text.size() && text[valueStart] == ' ')
            ++valueStart;
        if (valueStart < text.size() && text[valueStart] == '{') {
            pos = readBraced(text, valueStart, attribute.value);
            const std::size_t next = text.find(';', pos);
            pos = next == std::string_view::npos ? text.size() : next + 1;
        } else {
            const std::size_t end = semi == std::string_view::npos ? text.size() : semi;
            attribute.value = std::string(trimBlanks(text.substr(valueStart, end - valueStart)));
            pos = end + 1;
        }
        if (!attribute.keyword.empty())
            result.attributes_.push_back(std::move(attribute));
    }
    return result;
}

std::optional<std::string> ConnectionString::get(std::string_view keyword) const {
    for (const auto& a : attributes_)
        if (equalsIgnoreCase(a.keyword, keyword))
            return a.value;
    return std::nullopt;
}

bool ConnectionString::driverWins() const {
    for (const auto& a : attributes_) {
        if (equalsIgnoreCase(a.keyword, "DRIVER"))
            return true;
        if (equalsIgnoreCase(a.keyword, "DSN"))
            return false;
    }
    return true;
}

void ConnectionString::append(std::string& out, std::string_view keyword, std::string_view value) {
    if (!out.empty())
        out += ';';
    out.append(keyword).append("=");
    const bool needsBraces = value.find_first_of(";{}") != std::string_view::npos ||
                             (!value.empty() && (value.front() == ' ' || value.back() == ' '));
    if (!needsBraces) {
        out.append(value);
        return;
    }
    out += '{';
    for (char c : value) {
        out += c;
        if (c == '}')
            out += '}';
    }
    out += '}';
}

} // namespace kelvara::driver::odbc
