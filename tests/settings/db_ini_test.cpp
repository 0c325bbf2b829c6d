#include "tests/support/file_bytes.hpp"
#include "settings/db_ini.hpp"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvara::settings {

// Found by GoogleTest through the type's namespace, hence outside the anonymous one.
void PrintTo(const ExportFields& f, std::ostream* os) {
    *os << "{input=" << f.inputFile << " output=" << f.outputFile << " table=" << f.tableName
        << " password=" << f.password << " user=" << f.userName << "}";
}

namespace {

namespace fs = std::filesystem;
using kelvara::test::ReadBytes;
using kelvara::test::WriteBytes;
using namespace std::string_literals;

struct ReadCase {
    const char* name;
    std::string bytes;
    ExportFields expected;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

class SettingsReader : public testing::TestWithParam<ReadCase> {};

TEST_P(SettingsReader, SetsRecognisedFields) {
    ExportFields fields;
    ApplyFileBytes(GetParam().bytes, fields);
    EXPECT_EQ(fields, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SettingsReader,
    testing::Values(
        ReadCase{"AllFiveKeysAnyOrder",
                 "TABLE=t\r\nUSERNAME=u\r\nPASSWORD=p\r\nINPUT=i.mdb\r\nOUTPUT=o.csv\r\n",
                 {.inputFile = "i.mdb",
                  .outputFile = "o.csv",
                  .tableName = "t",
                  .password = "p",
                  .userName = "u"}},
        ReadCase{"EqualsSignsInValueKept",
                 "PASSWORD=a=b==c\r\nINPUT=/x=y/db.mdb\r\n",
                 {.inputFile = "/x=y/db.mdb", .password = "a=b==c"}},
        ReadCase{"TrailingWhiteSpaceTrimmedLeadingKept",
                 "INPUT= /p q \t\v\f\r\n",
                 {.inputFile = " /p q"}},
        ReadCase{"HighBytesAreNotWhiteSpace", "TABLE=T\xA0\r\n", {.tableName = "T\xA0"}},
        ReadCase{"SpaceBeforeEqualsNotAKey", "INPUT =x\r\n", {}},
        ReadCase{"LowerCaseKeyIgnored", "input=x\r\n", {}},
        ReadCase{"CreatorAndUnknownIgnored", "CREATOR=DB 1.0\r\nOTHER=1\r\n", {}},
        ReadCase{"LastRepeatedKeyWins", "TABLE=a\r\nTABLE=b\r\n", {.tableName = "b"}},
        ReadCase{"KeyWithoutEqualsEmptiesField", "TABLE=a\nTABLE\n", {}},
        ReadCase{"LastLineWithoutLineEndIsRead",
                 "INPUT=i\r\nTABLE=Orders",
                 {.inputFile = "i", .tableName = "Orders"}},
        ReadCase{
            "LineFeedsAloneEndLines", "INPUT=i\nTABLE=t\n", {.inputFile = "i", .tableName = "t"}},
        ReadCase{
            "CarriageReturnsAloneDoNotEndLines", "INPUT=i\rTABLE=t\r", {.inputFile = "i\rTABLE=t"}},
        ReadCase{"EofMarkEndsInput", "INPUT=i\r\n\x1ATABLE=t\r\n", {.inputFile = "i"}},
        ReadCase{"UnterminatedLineBeforeEofMarkIsRead",
                 "TABLE=t\x1A\r\nINPUT=i\r\n",
                 {.tableName = "t"}},
        ReadCase{"BlankLinesIgnored", "\r\n\r\nTABLE=t\r\n\r\n", {.tableName = "t"}},
        ReadCase{"NulByteIsOrdinary", "TABLE=a\0b\r\n"s, {.tableName = "a\0b"s}}),
    [](const testing::TestParamInfo<ReadCase>& param) { return std::string(param.param.name); });

TEST(SettingsReaderExisting, FieldsWithoutALineKeepTheirValue) {
    ExportFields fields{.inputFile = "keep", .tableName = "old"};
    ApplyFileBytes("TABLE=\r\n", fields);
    EXPECT_EQ(fields, (ExportFields{.inputFile = "keep"}));
}

TEST(SettingsWriter, WritesTheSevenLinesByteForByte) {
    const ExportFields fields{.inputFile = "in.mdb",
                              .outputFile = "out.csv",
                              .tableName = "T",
                              .password = "",
                              .userName = "me"};
    EXPECT_EQ(ComposeFileBytes(fields), "CREATOR=DB 1.0\r\nOUTPUT=out.csv\r\nINPUT=in.mdb\r\n"
                                        "TABLE=T\r\nUSERNAME=me\r\nPASSWORD=\r\n\r\n");
}

class SettingsFile : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kelvara-settings-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        m_path = m_dir / kFileName;
    }
    void TearDown() override {
        fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(m_dir);
    }
    static mode_t ModeOf(const fs::path& path) {
        struct stat status {};
        EXPECT_EQ(::stat(path.c_str(), &status), 0);
        return status.st_mode & 07777;
    }

    fs::path m_dir;
    fs::path m_path;
};

TEST_F(SettingsFile, LoadCreatesMissingFileEmptyAndPrivate) {
    ExportFields fields;
    EXPECT_TRUE(LoadFile(m_path, fields));
    EXPECT_EQ(fields, ExportFields{});
    ASSERT_TRUE(fs::exists(m_path));
    EXPECT_EQ(fs::file_size(m_path), 0u);
    EXPECT_EQ(ModeOf(m_path), 0600u);
}

TEST_F(SettingsFile, LoadOfUnopenableFileLeavesFieldsAlone) {
    fs::create_directory(m_path); // a folder in the file's place cannot be read as a file
    ExportFields fields{.tableName = "t"};
    EXPECT_FALSE(LoadFile(m_path, fields));
    EXPECT_EQ(fields, (ExportFields{.tableName = "t"}));
}

TEST_F(SettingsFile, SaveThenLoadRoundTripsAndSavesIdentically) {
    const ExportFields saved{.inputFile = " /db dir/in.mdb",
                             .outputFile = "out=1.csv",
                             .tableName = "[Order Details]",
                             .password = "p=w",
                             .userName = "\xE9"};
    ASSERT_EQ(SaveFile(m_path, saved), SaveResult::Saved);
    const std::string firstBytes = ReadBytes(m_path);
    EXPECT_EQ(firstBytes, ComposeFileBytes(saved));
    EXPECT_EQ(ModeOf(m_path), 0600u);

    ExportFields loaded;
    ASSERT_TRUE(LoadFile(m_path, loaded));
    EXPECT_EQ(loaded, saved);
    ASSERT_EQ(SaveFile(m_path, loaded), SaveResult::Saved);
    EXPECT_EQ(ReadBytes(m_path), firstBytes);
}

TEST_F(SettingsFile, SaveKeepsPermissionsOfTheOldFileAndLeavesNoTemporary) {
    WriteBytes(m_path, "old");
    fs::permissions(m_path, static_cast<fs::perms>(0640));
    ASSERT_EQ(SaveFile(m_path, ExportFields{.tableName = "t"}), SaveResult::Saved);
    EXPECT_EQ(ModeOf(m_path), 0640u);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
}

TEST_F(SettingsFile, SaveThroughSymlinkReplacesTheTarget) {
    const fs::path target = m_dir / "real.ini";
    WriteBytes(target, "old");
    fs::create_symlink(target, m_path);
    ASSERT_EQ(SaveFile(m_path, ExportFields{.tableName = "t"}), SaveResult::Saved);
    EXPECT_TRUE(fs::is_symlink(m_path));
    EXPECT_EQ(ReadBytes(target), ComposeFileBytes(ExportFields{.tableName = "t"}));
}

TEST_F(SettingsFile, UnwritableFileIsReportedAndKept) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permission bits do not stop root";
    }
    WriteBytes(m_path, "OLD\r\n");
    fs::permissions(m_path, static_cast<fs::perms>(0444));
    EXPECT_EQ(SaveFile(m_path, ExportFields{.tableName = "t"}), SaveResult::CannotOpen);
    EXPECT_EQ(ReadBytes(m_path), "OLD\r\n");
}

TEST_F(SettingsFile, FolderInPlaceOfFileIsReportedAndKept) {
    fs::create_directory(m_path);
    WriteBytes(m_path / "inside", "x");
    EXPECT_EQ(SaveFile(m_path, ExportFields{.tableName = "t"}), SaveResult::CannotOpen);
    EXPECT_EQ(ReadBytes(m_path / "inside"), "x");
}

TEST_F(SettingsFile, UnwritableFolderStillSavesAWritableFileInPlace) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permission bits do not stop root";
    }
    WriteBytes(m_path, "old");
    fs::permissions(m_dir, static_cast<fs::perms>(0500));
    EXPECT_EQ(SaveFile(m_path, ExportFields{.tableName = "t"}), SaveResult::Saved);
    EXPECT_EQ(ReadBytes(m_path), ComposeFileBytes(ExportFields{.tableName = "t"}));
}

TEST_F(SettingsFile, FullDiskKeepsTheOldFile) {
    const fs::path full = "/dev/full";
    if (!fs::exists(full)) {
        GTEST_SKIP() << "no /dev/full";
    }
    // /dev/full is no regular file, so it is written in place: the write fails.
    EXPECT_EQ(SaveFile(full, ExportFields{.tableName = "t"}), SaveResult::WriteFailed);
}

} // namespace
} // namespace kelvara::settings
