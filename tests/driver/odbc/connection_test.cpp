// Connecting through the driver manager: the export program's connection text
// and questions, data sources, and the connection errors.
#include "odbc_client.hpp"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>

namespace kelvara::test {
namespace {

class ConnectionTexts : public ::testing::TestWithParam<const char*> {};

TEST_P(ConnectionTexts, ConnectAndAnswerEveryQuestionOfTheDatabaseLayer) {
    ExportClient client;
    const ConnectAnswers a = client.open(connectionText(fixture("fixtures.mdb")) + GetParam());
    EXPECT_GE(a.apiConformance, SQL_OAC_LEVEL1);
    EXPECT_EQ(a.sqlConformance, SQL_OSC_MINIMUM);
    EXPECT_EQ(a.scrollConcurrency, static_cast<SQLUINTEGER>(SQL_SCCO_READ_ONLY));
    EXPECT_EQ(a.scrollOptions, static_cast<SQLUINTEGER>(SQL_SO_FORWARD_ONLY));
    EXPECT_EQ(a.txnCapable, SQL_TC_NONE);
    EXPECT_EQ(a.cursorCommit, SQL_CB_PRESERVE);
    EXPECT_EQ(a.cursorRollback, SQL_CB_PRESERVE);
    EXPECT_EQ(a.bookmarkPersistence, 0u);
    EXPECT_NE(a.getDataExtensions & SQL_GD_ANY_ORDER, 0u);
    EXPECT_EQ(a.readOnly, "Y");
    EXPECT_EQ(a.quoteChar, '`');
    EXPECT_NE(a.completedConnection.find("DBQ=" + fixture("fixtures.mdb")), std::string::npos);
    EXPECT_EQ(client.exportTable("OneCol").size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutUser, ConnectionTexts,
                         ::testing::Values("", ";UID=admin", ";PWD=secret", ";UID=admin;PWD=secret",
                                           ";UID=a%b;PWD=%s%d"));

TEST(Connection, DataSourceNameInOdbcIniGivesTheFile) {
    SQLHENV env;
    SQLHDBC dbc;
    SQLAllocEnv(&env);
    SQLAllocConnect(env, &dbc);
    const SQLRETURN rc =
        SQLConnect(dbc, reinterpret_cast<SQLCHAR*>(const_cast<char*>("KelvaraFixtures")), SQL_NTS,
                   nullptr, 0, nullptr, 0);
    EXPECT_TRUE(SQL_SUCCEEDED(rc)) << diagnosticsOf(SQL_HANDLE_DBC, dbc).text;
    char name[256] = {};
    SQLSMALLINT length = 0;
    SQLGetInfo(dbc, SQL_DATABASE_NAME, name, sizeof name, &length);
    EXPECT_EQ(std::string(name), fixture("fixtures.accdb"));
    SQLDisconnect(dbc);
    SQLFreeConnect(dbc);
    SQLFreeEnv(env);
}

TEST(Connection, DsnGivenFirstWinsOverDriver) {
    ExportClient client;
    client.open("DSN=KelvaraFixtures;DRIVER={MICROSOFT ACCESS DRIVER (*.mdb)}");
    EXPECT_EQ(client.exportTable("Empty").size(), 0u);
}

TEST(Connection, InformationAboutTheDriverAndFunctions) {
    ExportClient client;
    client.open(connectionText(fixture("fixtures.accdb")));
    char text[64] = {};
    SQLSMALLINT length = 0;
    ASSERT_EQ(SQLGetInfo(client.connection(), SQL_DBMS_NAME, text, sizeof text, &length),
              SQL_SUCCESS);
    EXPECT_STREQ(text, "ACCESS");
    ASSERT_EQ(SQLGetInfo(client.connection(), SQL_DBMS_VER, text, sizeof text, &length),
              SQL_SUCCESS);
    EXPECT_STREQ(text, "12.00.0000");
    ASSERT_EQ(SQLGetInfo(client.connection(), SQL_DRIVER_ODBC_VER, text, sizeof text, &length),
              SQL_SUCCESS);
    EXPECT_STREQ(text, "03.51");
    // A two-byte buffer cuts the driver name, with 01004 and the full length.
    ASSERT_EQ(SQLGetInfo(client.connection(), SQL_DRIVER_NAME, text, 2, &length),
              SQL_SUCCESS_WITH_INFO);
    EXPECT_STREQ(text, "l");
    EXPECT_EQ(length, static_cast<SQLSMALLINT>(std::string("libkelvaraodbc.so").size()));
    EXPECT_EQ(diagnosticsOf(SQL_HANDLE_DBC, client.connection()).states.at(0), "01004");

    char native[64] = {};
    SQLINTEGER nativeLength = 0;
    ASSERT_EQ(SQLNativeSql(client.connection(),
                           reinterpret_cast<SQLCHAR*>(const_cast<char*>("select * from `T`")),
                           SQL_NTS, reinterpret_cast<SQLCHAR*>(native), sizeof native,
                           &nativeLength),
              SQL_SUCCESS);
    EXPECT_STREQ(native, "select * from `T`");

    SQLUSMALLINT supported = SQL_FALSE;
    SQLGetFunctions(client.connection(), SQL_API_SQLGETDATA, &supported);
    EXPECT_EQ(supported, SQL_TRUE);
    SQLGetFunctions(client.connection(), SQL_API_SQLSETPOS, &supported);
    EXPECT_EQ(supported, SQL_FALSE);
}

struct FailingConnection {
    const char* name;
    std::string text;
    const char* sqlstate;
    std::string quoted;
};

class ConnectionErrors : public ::testing::TestWithParam<FailingConnection> {};

TEST_P(ConnectionErrors, FailCleanlyWithSqlstateAndTheFileName) {
    ExportClient client;
    try {
        client.open(GetParam().text);
        FAIL() << "connected";
    } catch (const DbError& e) {
        ASSERT_FALSE(e.states.empty());
        EXPECT_EQ(e.states[0], GetParam().sqlstate) << e.text;
        EXPECT_NE(e.text.find(GetParam().quoted), std::string::npos) << e.text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Each, ConnectionErrors,
    ::testing::Values(
        FailingConnection{"MissingDbq", "DRIVER={MICROSOFT ACCESS DRIVER (*.mdb)};DSN=''", "08001",
                          "DBQ"},
        FailingConnection{"MissingFile", connectionText("/nonexistent/kelvara.mdb"), "08001",
                          "/nonexistent/kelvara.mdb"},
        FailingConnection{"NotAccess", connectionText(fixture("fixtures.json")), "08001",
                          "fixtures.json"},
        FailingConnection{"Directory", connectionText(fixture("real")), "08001", "real"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(ConnectionErrors, MessagesCarryTheDriversTags) {
    SQLHENV env;
    SQLHDBC dbc;
    SQLAllocEnv(&env);
    SQLAllocConnect(env, &dbc);
    std::string text = connectionText("/nonexistent.mdb");
    ASSERT_EQ(SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS,
                               nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT),
              SQL_ERROR);
    const DbError records = diagnosticsOf(SQL_HANDLE_DBC, dbc);
    EXPECT_EQ(records.text.rfind("[Kelvara][ODBC Access Driver]", 0), 0u) << records.text;
    SQLFreeConnect(dbc);
    SQLFreeEnv(env);
}

} // namespace
} // namespace kelvara::test
