#pragma once

#include <string>

namespace kelvara::exporting {

// The name under which the driver manager knows the Access driver.
inline constexpr char kAccessDriverName[] = "MICROSOFT ACCESS DRIVER (*.mdb)";

// The connection text for one export: the Access driver, the database path
// and, when given, the user name and the password. A value that holds a ";"
// or starts with "{" is put in braces (with "}" doubled) so that it reaches
// the driver whole instead of splitting the connection text; every other
// value goes in exactly as typed.
std::string buildConnectionText(const std::string& databasePath, const std::string& userName,
                                const std::string& password);

} // namespace kelvara::exporting
