#include "platform/odbc/diagnostics.hpp"
#include "platform/odbc/statement_text.hpp"

#include <gtest/gtest.h>

namespace kelvara::odbc {
namespace {

struct RewriteCase {
    const char* statement;
    char quote;
    const char* expected;
};

void PrintTo(const RewriteCase& c, std::ostream* os) { *os << '"' << c.statement << '"'; }

class RewriteBrackets : public ::testing::TestWithParam<RewriteCase> {};

TEST_P(RewriteBrackets, QuotesIdentifiersOutsideLiterals) {
    const auto& c = GetParam();
    EXPECT_EQ(rewriteBrackets(c.statement, c.quote), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RewriteBrackets,
    ::testing::Values(
        RewriteCase{"select * from Orders", '`', "select * from Orders"},
        RewriteCase{"select * from [Order Details]", '`', "select * from `Order Details`"},
        RewriteCase{"select * from [Order Details]", ' ', "select * from  Order Details "},
        // Doubled brackets stand for one literal bracket and shorten the text.
        RewriteCase{"select * from [a[[b]]c]", '"', "select * from \"a[b]c\""},
        // Brackets inside a literal are data, and '' does not end the literal.
        RewriteCase{"select * from [T] where N = '[x]'", '`',
                    "select * from `T` where N = '[x]'"},
        RewriteCase{"select * from [T] where N = 'it''s [x]' and [M] = 1", '`',
                    "select * from `T` where N = 'it''s [x]' and `M` = 1"},
        // An unterminated literal keeps everything after it as it is.
        RewriteCase{"select * from [T] where N = '[x", '`', "select * from `T` where N = '[x"},
        RewriteCase{"", '`', ""}));

TEST(ErrorText, StripsLeadingOriginTagsAndOneBlank) {
    EXPECT_EQ(stripOriginTags("[unixODBC][Kelvara][ODBC Access Driver] Table 'X' not found"),
              "Table 'X' not found");
    EXPECT_EQ(stripOriginTags("[a]  two blanks"), " two blanks");
    EXPECT_EQ(stripOriginTags("no tags [here]"), "no tags [here]");
    EXPECT_EQ(stripOriginTags("[unterminated tag"), "[unterminated tag");
    EXPECT_EQ(stripOriginTags("[only][tags]"), "");
}

TEST(ErrorText, OneLinePerRecordInDriverOrder) {
    const std::vector<DiagnosticRecord> records{
        {"42S02", 1, "[vendor][driver] first"},
        {"01000", 0, "second"},
    };
    EXPECT_EQ(errorTextFrom(records), "first\nsecond\n");
    EXPECT_EQ(errorTextFrom({}), "");
}

} // namespace
} // namespace kelvara::odbc
