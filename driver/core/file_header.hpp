#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kelvara::driver::detail {

enum class FileFormat : std::uint8_t { Jet3, Jet4, Ace };

// What the first page of an Access file says about the file.
struct FileHeader {
    FileFormat format = FileFormat::Jet4;
    std::uint8_t versionCode = 0; // the byte at 0x14
    unsigned pageSize = 4096;
    std::uint16_t codePage = 1252; // of Jet 3 text
    std::uint32_t pageKey = 0;     // non-zero: every page but the first is RC4-encrypted
    std::string password;          // the database password in UTF-8 (Jet 3: code page bytes)
};

// Bytes of the first page needed to read the header.
inline constexpr std::size_t kHeaderBytes = 0x98;

// Reads the header from the start of the file. Throws DriverError 08001 naming
// `path` when the bytes are not those of a Jet 3, Jet 4 or ACE database.
FileHeader parseFileHeader(const unsigned char* data, std::size_t size, const std::string& path);

} // namespace kelvara::driver::detail
