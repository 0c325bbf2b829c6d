#include "export/csv_row.hpp"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kelvara::csv {
namespace {

struct RowCase {
    const char* name;
    std::vector<std::string> values;
    std::string diskBytes;
};

void PrintTo(const RowCase& c, std::ostream* os) {
    *os << c.name;
}

class RowLineBytes : public testing::TestWithParam<RowCase> {};

TEST_P(RowLineBytes, AreQuotedBlindlyAndEndInCrLf) {
    const RowCase& c = GetParam();
    EXPECT_EQ(TextModeBytes(ComposeRowLine(c.values)), c.diskBytes);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Values, RowLineBytes,
    testing::Values(
        RowCase{
            "ThreeColumnExample",
            {"12", "Smith, J.", ""},
            "\x22\x31\x32\x22\x2C\x22\x53\x6D\x69\x74\x68\x2C\x20\x4A\x2E\x22\x2C\x22\x22\x0D\x0A"},
        RowCase{"LoneQuoteIsNotDoubled", {"\""}, "\"\"\"\r\n"},
        RowCase{"QuotesInsideValue", {"say \"hi\"", "x"}, "\"say \"hi\"\",\"x\"\r\n"},
        RowCase{"CommaInsideValue", {"a,b", "c"}, "\"a,b\",\"c\"\r\n"},
        RowCase{"LineFeedSplitsTheRecord", {"one\ntwo"}, "\"one\r\ntwo\"\r\n"},
        RowCase{"CarriageReturnKept", {"one\rtwo"}, "\"one\rtwo\"\r\n"},
        RowCase{"CrLfGetsAnotherCr", {"one\r\ntwo"}, "\"one\r\r\ntwo\"\r\n"},
        RowCase{"EmptyFirstAndLaterColumns", {"", ""}, "\"\",\"\"\r\n"},
        RowCase{"HighBytesAndEofMarkKept", {"\xE9\x1A\xFF"}, "\"\xE9\x1A\xFF\"\r\n"},
        RowCase{"NulByteKept", {"a\0b"s}, "\"a\0b\"\r\n"s}),
    [](const testing::TestParamInfo<RowCase>& param) { return std::string(param.param.name); });

TEST(RowLine, IsBuiltColumnByColumnLikeTheExportLoopDoes) {
    std::string line;
    AppendColumn(line, "1", true);
    AppendColumn(line, "x", false);
    EndRow(line);
    EXPECT_EQ(line, "\"1\",\"x\"\n");
}

} // namespace
} // namespace kelvara::csv
