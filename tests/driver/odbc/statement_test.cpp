// Statements through the driver manager: column descriptions, reading in
// pieces, conditions and sort orders on every type, and the errors.
#include "odbc_client.hpp"
#include "platform/odbc/statement_text.hpp"

#include <cstring>
#include <gtest/gtest.h>

namespace kelvara::test {
namespace {

// A statement handle on a fresh ODBC 3 connection to fixtures.mdb.
class Odbc3Statement : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env), SQL_SUCCESS);
        SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        ASSERT_EQ(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc), SQL_SUCCESS);
        std::string text = connectionText(fixture("fixtures.mdb"));
        ASSERT_TRUE(
            SQL_SUCCEEDED(SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(text.data()),
                                           SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT)))
            << diagnosticsOf(SQL_HANDLE_DBC, dbc).text;
        ASSERT_EQ(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt), SQL_SUCCESS);
    }
    void TearDown() override {
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        SQLDisconnect(dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        SQLFreeHandle(SQL_HANDLE_ENV, env);
    }
    SQLRETURN run(std::string text) {
        return SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS);
    }
    // Positions on the row of AllTypes with the given ID.
    void onRow(int id, const std::string& columns) {
        ASSERT_EQ(run("select " + columns + " from AllTypes where ID = " + std::to_string(id)),
                  SQL_SUCCESS)
            << diagnosticsOf(SQL_HANDLE_STMT, stmt).text;
        ASSERT_EQ(SQLFetch(stmt), SQL_SUCCESS);
    }
    std::string firstState() { return diagnosticsOf(SQL_HANDLE_STMT, stmt).states.at(0); }

    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLHSTMT stmt = SQL_NULL_HSTMT;
};

struct Described {
    const char* column;
    SQLSMALLINT type;
    SQLULEN size;
    SQLSMALLINT digits;
};

TEST_F(Odbc3Statement, ColumnsAreDescribedAsAccessDescribesThem) {
    const Described expected[] = {
        {"ID", SQL_INTEGER, 10, 0},
        {"Name", SQL_VARCHAR, 50, 0},
        {"Notes", SQL_LONGVARCHAR, 1073741823, 0},
        {"Tiny", SQL_TINYINT, 3, 0},
        {"Small", SQL_SMALLINT, 5, 0},
        {"Big", SQL_INTEGER, 10, 0},
        {"Ratio", SQL_REAL, 7, 0},
        {"Amount", SQL_DOUBLE, 15, 0},
        {"Price", SQL_NUMERIC, 19, 4},
        {"Exact", SQL_NUMERIC, 18, 4},
        {"Stamp", SQL_TYPE_TIMESTAMP, 19, 0},
        {"Flag", SQL_BIT, 1, 0},
        {"Blob", SQL_LONGVARBINARY, 1073741823, 0},
        {"Guid", SQL_GUID, 36, 0},
    };
    ASSERT_EQ(run("select * from AllTypes"), SQL_SUCCESS);
    SQLSMALLINT count = 0;
    SQLNumResultCols(stmt, &count);
    ASSERT_EQ(count, static_cast<SQLSMALLINT>(std::size(expected)));
    for (SQLUSMALLINT i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(expected[i].column);
        char name[64] = {};
        SQLSMALLINT nameLength = 0, type = 0, digits = -1, nullable = -1;
        SQLULEN size = 0;
        ASSERT_EQ(SQLDescribeCol(stmt, static_cast<SQLUSMALLINT>(i + 1),
                                 reinterpret_cast<SQLCHAR*>(name), sizeof name, &nameLength, &type,
                                 &size, &digits, &nullable),
                  SQL_SUCCESS);
        EXPECT_STREQ(name, expected[i].column);
        EXPECT_EQ(type, expected[i].type);
        EXPECT_EQ(size, expected[i].size);
        EXPECT_EQ(digits, expected[i].digits);
        SQLLEN concise = 0;
        SQLColAttribute(stmt, static_cast<SQLUSMALLINT>(i + 1), SQL_DESC_CONCISE_TYPE, nullptr, 0,
                        nullptr, &concise);
        EXPECT_EQ(concise, expected[i].type);
    }
}

TEST(Odbc2Types, DatesAreDescribedWithTheOdbc2TypeCode) {
    ExportClient client;
    client.open(connectionText(fixture("fixtures.mdb")));
    client.query("select Stamp from AllTypes");
    EXPECT_EQ(client.columns().at(0).sqlType, SQL_TIMESTAMP);
    EXPECT_EQ(client.columns().at(0).size, 19u);
}

TEST_F(Odbc3Statement, TextIsReadInPiecesWith01004AndTheRemainingLength) {
    onRow(1, "Notes");
    char buffer[5];
    SQLLEN indicator = 0;
    std::string whole;
    std::vector<SQLLEN> indicators;
    SQLRETURN rc;
    while ((rc = SQLGetData(stmt, 1, SQL_C_CHAR, buffer, sizeof buffer, &indicator)) !=
           SQL_NO_DATA) {
        ASSERT_TRUE(SQL_SUCCEEDED(rc));
        if (rc == SQL_SUCCESS_WITH_INFO) {
            EXPECT_EQ(firstState(), "01004");
        }
        indicators.push_back(indicator);
        whole += buffer;
    }
    EXPECT_EQ(whole, "Short note");
    EXPECT_EQ(indicators, (std::vector<SQLLEN>{10, 6, 2}));
}

TEST_F(Odbc3Statement, EveryTypeCanBeReadInPieces) {
    onRow(1, "Amount, Stamp, Guid, Price");
    const char* expected[] = {"3.141592653589793", "2024-02-29 13:45:07",
                              "3F2504E0-4F89-11D3-9A0C-0305E82C3301", "1234.5678"};
    for (SQLUSMALLINT column = 1; column <= 4; ++column) {
        char buffer[4];
        SQLLEN indicator = 0;
        std::string whole;
        SQLRETURN rc;
        int calls = 0;
        while ((rc = SQLGetData(stmt, column, SQL_C_CHAR, buffer, sizeof buffer, &indicator)) !=
               SQL_NO_DATA) {
            ASSERT_TRUE(SQL_SUCCEEDED(rc));
            if (calls++ == 0) {
                EXPECT_EQ(indicator, static_cast<SQLLEN>(std::strlen(expected[column - 1])));
            }
            whole += buffer;
        }
        EXPECT_EQ(whole, expected[column - 1]);
    }
}

TEST_F(Odbc3Statement, BinaryDataComesAsStoredBytesOrAsHexText) {
    onRow(1, "Blob, Blob");
    unsigned char bytes[2];
    SQLLEN indicator = 0;
    ASSERT_EQ(SQLGetData(stmt, 1, SQL_C_BINARY, bytes, sizeof bytes, &indicator),
              SQL_SUCCESS_WITH_INFO);
    EXPECT_EQ(indicator, 5);
    EXPECT_EQ(bytes[0], 0x00);
    EXPECT_EQ(bytes[1], 0x01);
    ASSERT_EQ(SQLGetData(stmt, 1, SQL_C_BINARY, bytes, sizeof bytes, &indicator),
              SQL_SUCCESS_WITH_INFO);
    EXPECT_EQ(indicator, 3);
    EXPECT_EQ(bytes[0], 0x7F);
    ASSERT_EQ(SQLGetData(stmt, 1, SQL_C_BINARY, bytes, sizeof bytes, &indicator), SQL_SUCCESS);
    EXPECT_EQ(indicator, 1);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(SQLGetData(stmt, 1, SQL_C_BINARY, bytes, sizeof bytes, &indicator), SQL_NO_DATA);
    char hex[16];
    ASSERT_EQ(SQLGetData(stmt, 2, SQL_C_DEFAULT, hex, sizeof hex, &indicator), SQL_SUCCESS);
    EXPECT_EQ(indicator, 5); // SQL_C_DEFAULT for a binary column is SQL_C_BINARY
    ASSERT_EQ(SQLGetData(stmt, 2, SQL_C_CHAR, hex, sizeof hex, &indicator), SQL_SUCCESS);
    EXPECT_STREQ(hex, "00017F80FF");
}

TEST_F(Odbc3Statement, NullIsSqlNullDataAndEmptyIsEmpty) {
    onRow(2, "Name");
    char buffer[8] = "x";
    SQLLEN indicator = 0;
    ASSERT_EQ(SQLGetData(stmt, 1, SQL_C_CHAR, buffer, sizeof buffer, &indicator), SQL_SUCCESS);
    EXPECT_EQ(indicator, SQL_NULL_DATA);
    EXPECT_EQ(SQLGetData(stmt, 1, SQL_C_CHAR, buffer, sizeof buffer, &indicator), SQL_NO_DATA);
    SQLCloseCursor(stmt);
    onRow(3, "Name");
    ASSERT_EQ(SQLGetData(stmt, 1, SQL_C_CHAR, buffer, sizeof buffer, &indicator), SQL_SUCCESS);
    EXPECT_EQ(indicator, 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(SQLGetData(stmt, 1, SQL_C_CHAR, buffer, sizeof buffer, &indicator), SQL_NO_DATA);
}

TEST_F(Odbc3Statement, BoundColumnsAreFilledByFetch) {
    char name[8];
    SQLLEN nameIndicator = 0;
    SQLULEN fetched = 0;
    SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
    ASSERT_EQ(SQLBindCol(stmt, 1, SQL_C_CHAR, name, sizeof name, &nameIndicator), SQL_SUCCESS);
    ASSERT_EQ(run("select Product from `Order Lines`"), SQL_SUCCESS);
    ASSERT_EQ(SQLFetch(stmt), SQL_SUCCESS);
    EXPECT_STREQ(name, "Widget");
    EXPECT_EQ(fetched, 1u);
    ASSERT_EQ(SQLFetchScroll(stmt, SQL_FETCH_NEXT, 0),
              SQL_SUCCESS_WITH_INFO); // "Gadget, large" is cut
    EXPECT_STREQ(name, "Gadget,");
    EXPECT_EQ(nameIndicator, 13);
    EXPECT_EQ(SQLFetchScroll(stmt, SQL_FETCH_FIRST, 0), SQL_ERROR);
    EXPECT_EQ(firstState(), "HY106");
}

TEST_F(Odbc3Statement, FixedSizeCTypesGetTheNaturalValue) {
    onRow(1, "Big, Small, Tiny, Amount, Price, Stamp, Flag, Guid, Name");
    SQLLEN indicator = 0;
    SQLINTEGER big = 0;
    ASSERT_EQ(SQLGetData(stmt, 1, SQL_C_SLONG, &big, 0, &indicator), SQL_SUCCESS);
    EXPECT_EQ(big, 123456789);
    EXPECT_EQ(indicator, 4);
    EXPECT_EQ(SQLGetData(stmt, 1, SQL_C_SLONG, &big, 0, &indicator), SQL_NO_DATA);
    SQLSMALLINT small = 0;
    ASSERT_EQ(SQLGetData(stmt, 2, SQL_C_DEFAULT, &small, 0, &indicator), SQL_SUCCESS);
    EXPECT_EQ(small, -123);
    unsigned char tiny = 0;
    ASSERT_EQ(SQLGetData(stmt, 3, SQL_C_UTINYINT, &tiny, 0, &indicator), SQL_SUCCESS);
    EXPECT_EQ(tiny, 7);
    double amount = 0;
    ASSERT_EQ(SQLGetData(stmt, 4, SQL_C_DOUBLE, &amount, 0, &indicator), SQL_SUCCESS);
    EXPECT_EQ(amount, 3.141592653589793);
    SQLINTEGER price = 0;
    ASSERT_EQ(SQLGetData(stmt, 5, SQL_C_SLONG, &price, 0, &indicator), SQL_SUCCESS_WITH_INFO);
    EXPECT_EQ(price, 1234);
    EXPECT_EQ(firstState(), "01S07");
    SQL_TIMESTAMP_STRUCT stamp{};
    ASSERT_EQ(SQLGetData(stmt, 6, SQL_C_TYPE_TIMESTAMP, &stamp, 0, &indicator), SQL_SUCCESS);
    EXPECT_EQ(stamp.year, 2024);
    EXPECT_EQ(stamp.month, 2);
    EXPECT_EQ(stamp.day, 29);
    EXPECT_EQ(stamp.hour * 10000 + stamp.minute * 100 + stamp.second, 134507);
    unsigned char flag = 0;
    ASSERT_EQ(SQLGetData(stmt, 7, SQL_C_BIT, &flag, 0, &indicator), SQL_SUCCESS);
    EXPECT_EQ(flag, 1);
    SQLGUID guid{};
    ASSERT_EQ(SQLGetData(stmt, 8, SQL_C_GUID, &guid, 0, &indicator), SQL_SUCCESS);
    EXPECT_EQ(guid.Data1, 0x3F2504E0u);
    EXPECT_EQ(guid.Data2, 0x4F89);
    EXPECT_EQ(guid.Data4[7], 0x01);
    SQLWCHAR wide[4] = {};
    ASSERT_EQ(SQLGetData(stmt, 9, SQL_C_WCHAR, wide, sizeof wide, &indicator),
              SQL_SUCCESS_WITH_INFO);
    EXPECT_EQ(indicator, 10); // bytes of "Alice" in UTF-16
    EXPECT_EQ(wide[0], u'A');
    EXPECT_EQ(wide[2], u'i');
    EXPECT_EQ(wide[3], 0);
}

struct RefusedConversion {
    const char* column;
    SQLSMALLINT cType;
    const char* sqlstate;
};

class RefusedConversions : public Odbc3Statement,
                           public ::testing::WithParamInterface<RefusedConversion> {};

TEST_P(RefusedConversions, ReportTheirSqlstate) {
    onRow(1, GetParam().column);
    char buffer[64];
    SQLLEN indicator = 0;
    EXPECT_EQ(SQLGetData(stmt, 1, GetParam().cType, buffer, sizeof buffer, &indicator), SQL_ERROR);
    EXPECT_EQ(firstState(), GetParam().sqlstate);
}

INSTANTIATE_TEST_SUITE_P(Each, RefusedConversions,
                         ::testing::Values(RefusedConversion{"Big", SQL_C_STINYINT, "22003"},
                                           RefusedConversion{"Stamp", SQL_C_SLONG, "07006"},
                                           RefusedConversion{"Name", SQL_C_SLONG, "22018"},
                                           RefusedConversion{"Amount", SQL_C_GUID, "07006"},
                                           RefusedConversion{"Exact", SQL_C_NUMERIC, "HYC00"}));

TEST_F(Odbc3Statement, SequenceAndIndexErrorsAreReported) {
    char buffer[8];
    SQLLEN indicator = 0;
    EXPECT_EQ(SQLFetch(stmt), SQL_ERROR);
    EXPECT_EQ(firstState(), "HY010");
    onRow(1, "ID");
    EXPECT_EQ(SQLGetData(stmt, 2, SQL_C_CHAR, buffer, sizeof buffer, &indicator), SQL_ERROR);
    EXPECT_EQ(firstState(), "07009");
    EXPECT_EQ(run("select * from AllTypes"), SQL_ERROR);
    EXPECT_EQ(firstState(), "24000");
}

// Reads every row of the current result as text.
std::vector<std::vector<std::string>> readAll(SQLHSTMT stmt) {
    SQLSMALLINT count = 0;
    SQLNumResultCols(stmt, &count);
    std::vector<std::vector<std::string>> rows;
    while (SQL_SUCCEEDED(SQLFetch(stmt))) {
        std::vector<std::string> row;
        for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(count); ++c) {
            char text[512] = {};
            SQLLEN indicator = 0;
            SQLGetData(stmt, c, SQL_C_CHAR, text, sizeof text, &indicator);
            row.emplace_back(indicator == SQL_NULL_DATA ? "<null>" : text);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

SQLCHAR* sqlText(const char* text) {
    return reinterpret_cast<SQLCHAR*>(const_cast<char*>(text));
}

TEST_F(Odbc3Statement, SQLColumnsDescribesColumnsAsSQLDescribeColDoes) {
    ASSERT_EQ(SQLColumns(stmt, nullptr, 0, nullptr, 0, sqlText("AllTypes"), SQL_NTS, sqlText("%"),
                         SQL_NTS),
              SQL_SUCCESS);
    SQLSMALLINT count = 0;
    SQLNumResultCols(stmt, &count);
    EXPECT_EQ(count, 18);
    const auto rows = readAll(stmt);
    ASSERT_EQ(rows.size(), 14u);
    // TABLE_NAME, COLUMN_NAME, DATA_TYPE, TYPE_NAME, COLUMN_SIZE, DECIMAL_DIGITS, ORDINAL_POSITION
    const auto pick = [](const std::vector<std::string>& r) {
        return r[2] + "|" + r[3] + "|" + r[4] + "|" + r[6] + "|" + r[8] + "|" + r[16];
    };
    EXPECT_EQ(pick(rows[0]), "AllTypes|ID|4|10|0|1");
    EXPECT_EQ(pick(rows[1]), "AllTypes|Name|12|50|<null>|2");
    EXPECT_EQ(pick(rows[9]), "AllTypes|Exact|2|18|4|10");
    EXPECT_EQ(pick(rows[10]), "AllTypes|Stamp|93|19|0|11");
    EXPECT_EQ(rows[10][13], "9"); // SQL_DATA_TYPE of a timestamp is SQL_DATETIME
    EXPECT_EQ(rows[10][14], "3"); // with SQL_CODE_TIMESTAMP
    SQLCloseCursor(stmt);
    ASSERT_EQ(SQLColumns(stmt, nullptr, 0, nullptr, 0, sqlText("order%"), SQL_NTS, sqlText("q_y"),
                         SQL_NTS),
              SQL_SUCCESS);
    const auto matched = readAll(stmt);
    ASSERT_EQ(matched.size(), 1u);
    EXPECT_EQ(matched[0][2] + "." + matched[0][3], "Order Lines.Qty");
}

TEST_F(Odbc3Statement, SQLTablesAnswersTheSpecialEnumerations) {
    ASSERT_EQ(
        SQLTables(stmt, sqlText(""), 0, sqlText(""), 0, sqlText(""), 0, sqlText("%"), SQL_NTS),
        SQL_SUCCESS);
    const auto types = readAll(stmt);
    ASSERT_EQ(types.size(), 2u);
    EXPECT_EQ(types[0][3], "SYSTEM TABLE");
    EXPECT_EQ(types[1][3], "TABLE");
    SQLCloseCursor(stmt);
    ASSERT_EQ(SQLTables(stmt, nullptr, 0, nullptr, 0, sqlText("Wid_"), SQL_NTS,
                        sqlText("'TABLE','VIEW'"), SQL_NTS),
              SQL_SUCCESS);
    const auto tables = readAll(stmt);
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(tables[0][2], "Wide");
}

TEST_F(Odbc3Statement, SQLGetTypeInfoListsEveryTypeByDataType) {
    ASSERT_EQ(SQLGetTypeInfo(stmt, SQL_ALL_TYPES), SQL_SUCCESS);
    const auto rows = readAll(stmt);
    ASSERT_EQ(rows.size(), 14u);
    for (std::size_t i = 1; i < rows.size(); ++i)
        EXPECT_LE(std::stoi(rows[i - 1][1]), std::stoi(rows[i][1]));
    SQLCloseCursor(stmt);
    ASSERT_EQ(SQLGetTypeInfo(stmt, SQL_VARCHAR), SQL_SUCCESS);
    const auto varchar = readAll(stmt);
    ASSERT_EQ(varchar.size(), 1u);
    EXPECT_EQ(varchar[0][0], "VARCHAR");
    EXPECT_EQ(varchar[0][2], "255");
}

TEST_F(Odbc3Statement, PreparedStatementsRunAgainAfterTheCursorCloses) {
    ASSERT_EQ(SQLPrepare(stmt, sqlText("select V from OneCol"), SQL_NTS), SQL_SUCCESS);
    SQLSMALLINT count = 0;
    ASSERT_EQ(SQLNumResultCols(stmt, &count), SQL_SUCCESS); // described before execution
    EXPECT_EQ(count, 1);
    for (int run = 0; run < 2; ++run) {
        ASSERT_EQ(SQLExecute(stmt), SQL_SUCCESS);
        EXPECT_EQ(readAll(stmt).size(), 4u);
        SQLLEN rows = 0;
        EXPECT_EQ(SQLRowCount(stmt, &rows), SQL_SUCCESS);
        EXPECT_EQ(rows, -1);
        EXPECT_EQ(SQLMoreResults(stmt), SQL_NO_DATA);
    }
    ASSERT_EQ(SQLFreeStmt(stmt, SQL_CLOSE), SQL_SUCCESS);
    EXPECT_EQ(SQLCloseCursor(stmt), SQL_ERROR);
    EXPECT_EQ(firstState(), "24000");
}

TEST_F(Odbc3Statement, MaxRowsLimitsTheResult) {
    SQLSetStmtAttr(stmt, SQL_ATTR_MAX_ROWS, reinterpret_cast<SQLPOINTER>(7), 0);
    ASSERT_EQ(run("select * from People"), SQL_SUCCESS);
    EXPECT_EQ(readAll(stmt).size(), 7u);
}

TEST_F(Odbc3Statement, UnsupportedCursorSettingsAreChangedWith01S02) {
    EXPECT_EQ(SQLSetStmtAttr(stmt, SQL_ATTR_CURSOR_TYPE,
                             reinterpret_cast<SQLPOINTER>(SQL_CURSOR_STATIC), 0),
              SQL_SUCCESS_WITH_INFO);
    EXPECT_EQ(firstState(), "01S02");
    SQLULEN type = 99;
    SQLGetStmtAttr(stmt, SQL_ATTR_CURSOR_TYPE, &type, 0, nullptr);
    EXPECT_EQ(type, static_cast<SQLULEN>(SQL_CURSOR_FORWARD_ONLY));
    EXPECT_EQ(SQLSetStmtAttr(stmt, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(15), 0),
              SQL_SUCCESS);
}

struct Selection {
    const char* condition;
    std::vector<int> ids;
};

class Conditions : public Odbc3Statement, public ::testing::WithParamInterface<Selection> {};

TEST_P(Conditions, SelectTheRowsTheyDescribe) {
    ASSERT_EQ(run(std::string("select ID from AllTypes ") + GetParam().condition), SQL_SUCCESS)
        << diagnosticsOf(SQL_HANDLE_STMT, stmt).text;
    std::vector<int> ids;
    SQLINTEGER id = 0;
    char text[16];
    SQLLEN indicator = 0;
    while (SQLFetch(stmt) == SQL_SUCCESS) {
        SQLGetData(stmt, 1, SQL_C_CHAR, text, sizeof text, &indicator);
        id = std::atoi(text);
        ids.push_back(id);
    }
    EXPECT_EQ(ids, GetParam().ids);
}

INSTANTIATE_TEST_SUITE_P(
    EveryType, Conditions,
    ::testing::Values(
        Selection{"where Tiny = 255", {6}}, Selection{"where Small < 0", {1, 4}},
        Selection{"where Big >= 123456789", {1, 6}},
        Selection{"where Big between 0 and 200000000", {1, 3}},
        Selection{"where Ratio > 1", {1, 5}}, Selection{"where Amount < 0", {4}},
        Selection{"where Price = 1234.5678", {1}}, Selection{"where Price < 0", {4, 6}},
        Selection{"where Exact < 0", {4, 5}}, Selection{"where Stamp < #1900-01-02#", {3, 4, 5, 7}},
        Selection{"where Flag = TRUE", {1, 4}}, Selection{"where Name like 'A*'", {1}},
        Selection{"where Notes like '%note'", {1}}, Selection{"where Name is null", {2}},
        Selection{"where Guid is not null", {1}},
        Selection{"where Name in ('Alice', '\"')", {1, 6}},
        Selection{"where Name = 'He said \"hi\", then left'", {4}},
        Selection{"where not (ID > 2) and ID <> 1", {2}},
        Selection{"where Amount is not null order by Amount", {4, 3, 6, 7, 1, 8, 5}},
        Selection{"where Stamp is not null order by Stamp desc", {6, 1, 4, 7, 3, 5}},
        Selection{"where Price is not null order by Price desc", {5, 1, 3, 4, 6}},
        Selection{"where Big is not null order by Big desc, ID", {6, 1, 3, 4}},
        Selection{"where Flag = FALSE order by Flag, ID desc", {8, 7, 6, 5, 3, 2}}));

TEST(ReadOnly, TopLimitsTheRows) {
    ExportClient client;
    client.open(connectionText(fixture("fixtures.mdb")));
    EXPECT_EQ(client.query("select top 3 * from People").size(), 3u);
    EXPECT_EQ(client.query("select top 2 ID from People order by ID desc"),
              (std::vector<Row>{{"1000"}, {"999"}}));
}

TEST(Brackets, AreRewrittenToTheDriversQuoteCharacter) {
    ExportClient client;
    const auto answers = client.open(connectionText(fixture("fixtures.accdb")));
    EXPECT_EQ(answers.quoteChar, '`');
    EXPECT_EQ(kelvara::odbc::rewriteBrackets("select * from [Order Lines]", answers.quoteChar),
              "select * from `Order Lines`");
    EXPECT_EQ(client.exportTable("[Order Lines]").size(), 5u);
}

struct FailingStatement {
    const char* text;
    const char* sqlstate;      // as the driver reports it (ODBC 3)
    const char* odbc2Sqlstate; // as the driver manager maps it for ODBC 2 clients
    const char* quoted;        // the message quotes this
};

class StatementErrors : public Odbc3Statement,
                        public ::testing::WithParamInterface<FailingStatement> {};

TEST_P(StatementErrors, CarryTheirSqlstateAndQuoteTheOffendingText) {
    ASSERT_EQ(run(GetParam().text), SQL_ERROR);
    const DbError records = diagnosticsOf(SQL_HANDLE_STMT, stmt);
    EXPECT_EQ(records.states.at(0), GetParam().sqlstate) << records.text;

    ExportClient client;
    client.open(connectionText(fixture("fixtures.mdb")));
    try {
        client.query(GetParam().text);
        FAIL() << "no error";
    } catch (const DbError& e) {
        ASSERT_FALSE(e.states.empty());
        EXPECT_EQ(e.states[0], GetParam().odbc2Sqlstate) << e.text;
        EXPECT_NE(e.text.find(GetParam().quoted), std::string::npos) << e.text;
        EXPECT_EQ(e.text.find('['), std::string::npos) << "tags left in " << e.text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Each, StatementErrors,
    ::testing::Values(
        FailingStatement{"select * from NoSuchTable", "42S02", "S0002", "NoSuchTable"},
        FailingStatement{"select NoSuchColumn from AllTypes", "42S22", "S0022", "NoSuchColumn"},
        FailingStatement{"select * form AllTypes", "42000", "37000", "form"},
        FailingStatement{"delete from AllTypes", "HY000", "S1000", "DELETE"},
        FailingStatement{"update AllTypes set ID = 1", "HY000", "S1000", "UPDATE"}));

} // namespace
} // namespace kelvara::test
