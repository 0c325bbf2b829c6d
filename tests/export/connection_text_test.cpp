#include "export/connection_text.hpp"

#include <gtest/gtest.h>

namespace kelvara::exporting {
namespace {

constexpr char kPrefix[] = "ODBC;DRIVER={MICROSOFT ACCESS DRIVER (*.mdb)};DSN='';DBQ=";

struct ConnectionCase {
    const char* path;
    const char* user;
    const char* password;
    const char* expectedTail;
};

void PrintTo(const ConnectionCase& c, std::ostream* os) {
    *os << '"' << c.path << "\" \"" << c.user << "\" \"" << c.password << '"';
}

class ConnectionText : public ::testing::TestWithParam<ConnectionCase> {};

TEST_P(ConnectionText, Builds) {
    const auto& c = GetParam();
    EXPECT_EQ(buildConnectionText(c.path, c.user, c.password), std::string(kPrefix) + c.expectedTail);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConnectionText,
    ::testing::Values(
        ConnectionCase{"/data/db.mdb", "", "", "/data/db.mdb"},
        ConnectionCase{"/data/db.mdb", "admin", "", "/data/db.mdb;UID=admin"},
        ConnectionCase{"/data/db.mdb", "", "s3cret", "/data/db.mdb;PWD=s3cret"},
        ConnectionCase{"/data/db.mdb", "admin", "s3cret", "/data/db.mdb;UID=admin;PWD=s3cret"},
        // Percent signs are plain text, never format directives.
        ConnectionCase{"/d/100%s.mdb", "%s%n", "50%", "/d/100%s.mdb;UID=%s%n;PWD=50%"},
        // Blanks are content.
        ConnectionCase{" a b.mdb", " ", " ", " a b.mdb;UID= ;PWD= "},
        // A ";" would split the text: such values go in braces, "}" doubled.
        ConnectionCase{"/x;y/db.mdb", "a;b", "p;w}d", "{/x;y/db.mdb};UID={a;b};PWD={p;w}}d}"},
        ConnectionCase{"{odd}.mdb", "", "{pw", "{{odd}}.mdb};PWD={{pw}"},
        // A "}" without either trigger goes in as typed.
        ConnectionCase{"/a}b.mdb", "", "x}", "/a}b.mdb;PWD=x}"}));

} // namespace
} // namespace kelvara::exporting
