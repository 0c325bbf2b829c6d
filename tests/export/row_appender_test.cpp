#include "tests/support/file_bytes.hpp"
#include "export/row_appender.hpp"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/stat.h>

namespace kelvara::csv {
namespace {

namespace fs = std::filesystem;
using kelvara::test::ReadBytes;
using kelvara::test::WriteBytes;

class RowAppenderTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kelvara-export-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path PathOf(const char* name) const { return m_dir / name; }

    static void AppendOnce(const fs::path& path, const std::string& line) {
        RowAppender out;
        ASSERT_TRUE(out.Open(path.string()));
        EXPECT_TRUE(out.Write(line));
    }

    fs::path m_dir;
};

TEST_F(RowAppenderTest, CreatesMissingFileAsOrdinaryFile) {
    const fs::path path = PathOf("out.csv");
    AppendOnce(path, "\"a\"\n");
    EXPECT_EQ(ReadBytes(path), "\"a\"\r\n");
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_TRUE(S_ISREG(status.st_mode));
    const mode_t umaskNow = ::umask(0);
    ::umask(umaskNow);
    EXPECT_EQ(status.st_mode & 0777, 0666 & ~umaskNow);
}

TEST_F(RowAppenderTest, KeepsExistingEndingsAndFollowsDirectly) {
    struct Case {
        const char* existing;
        const char* expected;
    };
    const Case cases[] = {
        {"old\r\n\x1A", "old\r\n\x1A\"n\"\r\n"},
        {"last line", "last line\"n\"\r\n"},
        {"", "\"n\"\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.existing);
        const fs::path path = PathOf("existing.csv");
        WriteBytes(path, c.existing);
        AppendOnce(path, "\"n\"\n");
        EXPECT_EQ(ReadBytes(path), c.expected);
    }
}

TEST_F(RowAppenderTest, RowsAccumulateAcrossOpensAndWithinOne) {
    const fs::path path = PathOf("twice.csv");
    AppendOnce(path, "\"1\"\n");
    {
        RowAppender out;
        ASSERT_TRUE(out.Open(path.string()));
        out.Write("\"2\"\n");
        // Another writer appending meanwhile: our next row still goes to the end.
        std::ofstream(path, std::ios::binary | std::ios::app) << "X";
        out.Write("\"3\"\n");
    }
    EXPECT_EQ(ReadBytes(path), "\"1\"\r\n\"2\"\r\nX\"3\"\r\n");
}

TEST_F(RowAppenderTest, MissingFolderFailsToOpenAndCreatesNothing) {
    const fs::path path = PathOf("no-such-folder") / "out.csv";
    RowAppender out;
    EXPECT_FALSE(out.Open(path.string()));
    EXPECT_FALSE(out.Write("\"x\"\n"));
    EXPECT_FALSE(fs::exists(path.parent_path()));
}

} // namespace
} // namespace kelvara::csv
