#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvara::driver::odbc {

struct ConnectionAttribute {
    std::string keyword; // as written
    std::string value;   // braces removed, "}}" turned into "}"
};

// A connection string parsed by the ODBC rules: keyword=value pairs separated
// by ";", keywords compared without regard to case, values in braces may hold
// ";" with "}}" standing for "}". Of repeated keywords the first one counts.
class ConnectionString {
public:
    static ConnectionString parse(std::string_view text);

    // The first value given for `keyword`, compared without regard to case.
    std::optional<std::string> get(std::string_view keyword) const;
    const std::vector<ConnectionAttribute>& attributes() const noexcept { return attributes_; }

    // Whether DRIVER comes before DSN (or DSN is absent): the first of the two
    // decides how the connection is made.
    bool driverWins() const;

    // Writes `keyword=value`, putting the value in braces when it needs them.
    static void append(std::string& out, std::string_view keyword, std::string_view value);

private:
    std::vector<ConnectionAttribute> attributes_;
};

bool equalsIgnoreCase(std::string_view a, std::string_view b) noexcept;

} // namespace kelvara::driver::odbc
