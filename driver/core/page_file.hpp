#pragma once

#include <cstdint>
#include <string>

namespace kelvara::driver::detail {

// Jet 3 pages are 2048 bytes, Jet 4 and ACE pages 4096.
inline constexpr unsigned kMaxPageSize = 4096;

// Page types, the first byte of every page.
inline constexpr unsigned char kDataPage = 0x01;
inline constexpr unsigned char kTableDefinitionPage = 0x02;
inline constexpr unsigned char kUsageMapPage = 0x05;

// The pages of an open database file, read with pread so that any number of
// readers can share one descriptor, and decrypted when the file is encrypted.
// Never reads past the end of the file.
class PageFile {
public:
    PageFile(std::string path, int descriptor, std::uint64_t fileSize, unsigned pageSize,
             std::uint32_t pageKey);
    ~PageFile();
    PageFile(const PageFile&) = delete;
    PageFile& operator=(const PageFile&) = delete;

    const std::string& path() const { return path_; }
    unsigned pageSize() const { return pageSize_; }
    std::uint32_t pageCount() const { return pageCount_; }

    // Reads page `number` into `buffer` (pageSize() bytes). Throws DriverError
    // naming the file when the page lies outside it or cannot be read.
    void read(std::uint32_t number, unsigned char* buffer) const;

private:
    std::string path_;
    int descriptor_;
    unsigned pageSize_;
    std::uint32_t pageCount_;
    std::uint32_t pageKey_;
};

} // namespace kelvara::driver::detail
