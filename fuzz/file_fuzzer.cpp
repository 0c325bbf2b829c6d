// Fuzzes the driver core with damaged copies of the fixture databases.
//
// An input names a fixture and the damage done to it: its first byte picks
// the fixture, then each 6-byte record (a 32-bit little-endian offset, an
// operation and a value) sets, flips the bits of, or cuts the file at one
// byte. Small inputs thus reach every structure of real files, and a saved
// input stays meaningful as long as the fixtures do. The damaged image is
// written to a temporary file, opened, and every table is read whole.
#include "driver/core/database.hpp"
#include "driver/core/error.hpp"
#include "driver/core/format.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::array<const char*, 5> kFixtures = {"fixtures.mdb", "fixtures.accdb", "real/nwind.mdb",
                                                  "real/DateTestDatabase.mdb",
                                                  "real/ASampleDatabase.accdb"};

const std::vector<std::vector<char>>& fixtureImages() {
    static const std::vector<std::vector<char>> images = [] {
        std::vector<std::vector<char>> loaded;
        for (const char* name : kFixtures) {
            std::ifstream in(std::string(KELVARA_FIXTURES_DIR) + "/" + name, std::ios::binary);
            loaded.emplace_back(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
        }
        return loaded;
    }();
    return images;
}

std::vector<char> damagedImage(const std::uint8_t* data, std::size_t size) {
    const auto& images = fixtureImages();
    std::vector<char> image = images[data[0] % images.size()];
    std::size_t cutAt = image.size();
    for (std::size_t pos = 1; pos + 6 <= size && !image.empty(); pos += 6) {
        const std::uint32_t offset = static_cast<std::uint32_t>(data[pos]) |
                                     (static_cast<std::uint32_t>(data[pos + 1]) << 8) |
                                     (static_cast<std::uint32_t>(data[pos + 2]) << 16) |
                                     (static_cast<std::uint32_t>(data[pos + 3]) << 24);
        const std::size_t at = offset % image.size();
        const auto value = static_cast<char>(data[pos + 5]);
        switch (data[pos + 4] % 3) {
        case 0:
            image[at] = value;
            break;
        case 1:
            image[at] = static_cast<char>(image[at] ^ value);
            break;
        default:
            cutAt = std::min(cutAt, at);
            break;
        }
    }
    image.resize(cutAt);
    return image;
}

const std::string& scratchPath() {
    static const std::string path =
        "/tmp/kelvara-fuzz-" + std::to_string(static_cast<long>(getpid())) + ".mdb";
    return path;
}

void readEverything(const std::string& path) {
    using namespace kelvara::driver;
    try {
        const auto database = Database::open(path, "");
        Value value;
        std::string text;
        for (const std::string& name : database->tableNames(true)) {
            try {
                const auto reader = database->openTable(name);
                while (reader->next()) {
                    for (std::size_t c = 0; c < reader->columns().size(); ++c) {
                        reader->read(c, value);
                        text.clear();
                        appendCharacterForm(value, text);
                    }
                }
            } catch (const DriverError&) {
                // A damaged table; the others must still read.
            }
        }
    } catch (const DriverError&) {
        // A file that cannot be opened is an expected outcome.
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::vector<char> image = damagedImage(data, size);
    {
        std::ofstream out(scratchPath(), std::ios::binary | std::ios::trunc);
        out.write(image.data(), static_cast<std::streamsize>(image.size()));
    }
    readEverything(scratchPath());
    std::remove(scratchPath().c_str());
    return 0;
}
