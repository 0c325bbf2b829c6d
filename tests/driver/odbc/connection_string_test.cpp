// The connection string rules, on the parser itself.
#include "driver/odbc/connection_string.hpp"

#include <gtest/gtest.h>

namespace kelvara::driver::odbc {
namespace {

struct Lookup {
    const char* text;
    const char* keyword;
    const char* value; // nullptr: absent
};

class ConnectionStringLookup : public ::testing::TestWithParam<Lookup> {};

TEST_P(ConnectionStringLookup, FindsTheFirstValueOfAKeyword) {
    const auto parsed = ConnectionString::parse(GetParam().text);
    const auto value = parsed.get(GetParam().keyword);
    if (GetParam().value == nullptr)
        EXPECT_FALSE(value.has_value());
    else
        EXPECT_EQ(value.value_or("<absent>"), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ConnectionStringLookup,
    ::testing::Values(
        Lookup{"DRIVER={MICROSOFT ACCESS DRIVER (*.mdb)};DSN='';DBQ=/a/b.mdb", "dbq", "/a/b.mdb"},
        Lookup{"DRIVER={MICROSOFT ACCESS DRIVER (*.mdb)};DSN='';DBQ=/a/b.mdb", "Driver",
               "MICROSOFT ACCESS DRIVER (*.mdb)"},
        Lookup{"DRIVER={x};DSN='';DBQ=/a/b.mdb", "DSN", "''"},
        Lookup{"DBQ={/a;b/c.mdb};UID=u", "DBQ", "/a;b/c.mdb"},
        Lookup{"DBQ={/a}}b.mdb};UID=u", "DBQ", "/a}b.mdb"},
        Lookup{"DBQ={/a}}b.mdb};UID=u", "UID", "u"}, Lookup{"DBQ=first;dbq=second", "DBQ", "first"},
        Lookup{"DBQ=/a b.mdb ;PWD=", "DBQ", "/a b.mdb"}, Lookup{"DBQ=/x.mdb;PWD=", "PWD", ""},
        Lookup{"DBQ=/x.mdb;;junk;UID=me", "UID", "me"}, Lookup{"DBQ=/x.mdb;PWD=a=b", "PWD", "a=b"},
        Lookup{"DBQ=/x.mdb", "UID", nullptr},
        Lookup{"DBQ={unclosed;UID=x", "DBQ", "unclosed;UID=x"}));

TEST(ConnectionString, TheFirstOfDriverAndDsnWins) {
    EXPECT_TRUE(ConnectionString::parse("DRIVER={x};DSN=y").driverWins());
    EXPECT_FALSE(ConnectionString::parse("dsn=y;driver={x}").driverWins());
    EXPECT_TRUE(ConnectionString::parse("DBQ=/x.mdb").driverWins());
}

TEST(ConnectionString, WritingBracesValuesThatNeedThem) {
    std::string out;
    ConnectionString::append(out, "DRIVER", "MICROSOFT ACCESS DRIVER (*.mdb)");
    ConnectionString::append(out, "DBQ", "/a;b}c.mdb");
    EXPECT_EQ(out, "DRIVER=MICROSOFT ACCESS DRIVER (*.mdb);DBQ={/a;b}}c.mdb}");
    EXPECT_EQ(ConnectionString::parse(out).get("DBQ").value_or(""), "/a;b}c.mdb");
}

} // namespace
} // namespace kelvara::driver::odbc
