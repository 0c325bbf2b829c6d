// Files that cannot be opened, damaged files and database passwords: always a
// DriverError with a SQLSTATE and the file's name, never a crash or a word on
// stderr.
#include "driver/core/database.hpp"
#include "driver/core/error.hpp"
#include "driver/core/format.hpp"
#include "driver/core/rc4.hpp"
#include "fixture_paths.hpp"
#include "scratch_files.hpp"

#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace kelvara::driver {
namespace {

using test::ScratchDir;

void expectOpenFails(const std::string& path, const std::string& password, const char* sqlstate,
                     const char* reason) {
    try {
        Database::open(path, password);
        ADD_FAILURE() << "opened " << path;
    } catch (const DriverError& error) {
        EXPECT_STREQ(error.sqlstate(), sqlstate);
        EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find(reason), std::string::npos) << error.what();
    }
}

struct BadFile {
    const char* name;
    std::function<std::vector<char>(std::vector<char>)> damage;
    const char* reason;
};

class UnopenableFile : public ::testing::TestWithParam<BadFile> {};

TEST_P(UnopenableFile, GivesUnableToConnect) {
    ScratchDir dir;
    const auto original = test::readBytes(test::fixturePath("fixtures.mdb"));
    const std::string path = dir.write("bad.mdb", GetParam().damage(original));
    test::StderrCapture stderrCapture;
    expectOpenFails(path, "", "08001", GetParam().reason);
    EXPECT_EQ(stderrCapture.text(), "");
}

std::vector<char> withByte(std::vector<char> bytes, std::size_t offset, char value) {
    bytes.at(offset) = value;
    return bytes;
}

std::vector<char> cutTo(std::vector<char> bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

std::vector<char> withZeroPage(std::vector<char> bytes, std::size_t page) {
    std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(page * 4096),
              bytes.begin() + static_cast<std::ptrdiff_t>((page + 1) * 4096), 0);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnopenableFile,
    ::testing::Values(
        BadFile{"empty", [](std::vector<char>) { return std::vector<char>{}; }, "empty"},
        BadFile{"text", [](std::vector<char>) { return std::vector<char>(5000, 'x'); },
                "not a Microsoft Access database"},
        BadFile{"unknown version", [](std::vector<char> b) { return withByte(b, 0x14, 9); },
                "not supported"},
        BadFile{"cut inside a page", [](std::vector<char> b) { return cutTo(b, 10000); },
                "truncated"},
        BadFile{"cut after the catalog definition",
                [](std::vector<char> b) { return cutTo(b, 3 * 4096); }, "beyond the end"},
        BadFile{"catalog definition wiped", [](std::vector<char> b) { return withZeroPage(b, 2); },
                "damaged"}),
    [](const ::testing::TestParamInfo<BadFile>& param) {
        std::string name = param.param.name;
        for (char& c : name) {
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        }
        return name;
    });

TEST(OpenErrors, MissingFileAndFolder) {
    ScratchDir dir;
    expectOpenFails(dir.path() + "/missing.mdb", "", "08001", "does not exist");
    expectOpenFails(dir.path(), "", "08001", "folder");
}

TEST(OpenErrors, UnknownTableIsNamed) {
    const auto database = Database::open(test::fixturePath("fixtures.mdb"), "");
    try {
        database->openTable("No Such Table");
        ADD_FAILURE();
    } catch (const DriverError& error) {
        EXPECT_STREQ(error.sqlstate(), "42S02");
        EXPECT_NE(std::string(error.what()).find("'No Such Table'"), std::string::npos);
    }
}

// Every table of a damaged copy either reads or fails with a DriverError.
void scanEverything(const std::string& path) {
    try {
        const auto database = Database::open(path, "");
        for (const std::string& name : database->tableNames(true)) {
            try {
                const auto reader = database->openTable(name);
                Value value;
                std::string text;
                while (reader->next()) {
                    for (std::size_t c = 0; c < reader->columns().size(); ++c) {
                        reader->read(c, value);
                        appendCharacterForm(value, text);
                    }
                    text.clear();
                }
            } catch (const DriverError& error) {
                EXPECT_NE(std::string(error.what()).find(path), std::string::npos);
            }
        }
    } catch (const DriverError& error) {
        EXPECT_NE(std::string(error.what()).find(path), std::string::npos);
    }
}

class DamagedCopies : public ::testing::TestWithParam<const char*> {};

TEST_P(DamagedCopies, FailCleanly) {
    ScratchDir dir;
    const auto original = test::readBytes(test::fixturePath(GetParam()));
    const std::size_t pageSize = original[0x14] == 0 ? 2048 : 4096;
    std::mt19937 random(20240229);
    test::StderrCapture stderrCapture;
    for (int variant = 0; variant < 60; ++variant) {
        std::vector<char> bytes = original;
        switch (variant % 3) {
        case 0: // a few bytes of one page, often a definition or the catalog
        {
            const std::size_t page =
                variant % 2 == 0 ? 2 + random() % 8 : random() % (bytes.size() / pageSize);
            for (int n = 0; n < 6; ++n) {
                bytes[page * pageSize + random() % pageSize] = static_cast<char>(random());
            }
            break;
        }
        case 1: // row offsets and headers of one page
        {
            const std::size_t page = 1 + random() % (bytes.size() / pageSize - 1);
            bytes[page * pageSize + 8 + random() % 32] = static_cast<char>(random());
            break;
        }
        default: // cut anywhere
            bytes.resize(random() % bytes.size());
            break;
        }
        scanEverything(dir.write("damaged" + std::to_string(variant) + ".mdb", bytes));
    }
    EXPECT_EQ(stderrCapture.text(), "");
}

INSTANTIATE_TEST_SUITE_P(Fixtures, DamagedCopies,
                         ::testing::Values("fixtures.mdb", "fixtures.accdb", "real/nwind.mdb"));

// A copy of fixtures.mdb given a database password the way Jet 4 stores it:
// in the RC4-masked header, further masked with the creation date's days.
std::vector<char> withPassword(std::vector<char> bytes, const std::u16string& password) {
    auto* header = reinterpret_cast<unsigned char*>(bytes.data());
    detail::rc4Apply(0x6b39dac7, header + 0x18, 128);
    double created = 0;
    std::memcpy(&created, header + 0x72, sizeof created);
    const auto days = static_cast<std::uint32_t>(static_cast<std::int32_t>(created));
    for (std::size_t i = 0; i < 40; ++i) {
        const std::size_t unit = i / 2;
        const char16_t c = unit < password.size() ? password[unit] : u'\0';
        const auto byte = static_cast<unsigned char>(i % 2 == 0 ? c & 0xFF : c >> 8);
        header[0x42 + i] = byte ^ static_cast<unsigned char>(days >> (8 * (i % 4)));
    }
    detail::rc4Apply(0x6b39dac7, header + 0x18, 128);
    return bytes;
}

TEST(Password, MustMatchTheStoredOne) {
    ScratchDir dir;
    const std::string path =
        dir.write("secret.mdb",
                  withPassword(test::readBytes(test::fixturePath("fixtures.mdb")), u"S\u00e9cret"));
    expectOpenFails(path, "", "28000", "password");
    expectOpenFails(path,
                    "s\xC3\xA9"
                    "cret",
                    "28000", "password");
    EXPECT_NO_THROW(Database::open(path, "S\xC3\xA9"
                                         "cret"));
}

TEST(Password, IsIgnoredWhenTheFileHasNone) {
    EXPECT_NO_THROW(Database::open(test::fixturePath("fixtures.mdb"), "anything"));
}

} // namespace
} // namespace kelvara::driver
