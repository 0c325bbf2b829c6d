#pragma once
// Whole-file reads and writes for tests that check the exact bytes on disk.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace kelvara::test {

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::string bytes;
    if (std::FILE* in = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
            bytes.append(buffer, got);
        }
        std::fclose(in);
    }
    return bytes;
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace kelvara::test
