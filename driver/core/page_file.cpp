#include "driver/core/page_file.hpp"

#include "driver/core/file_error.hpp"
#include "driver/core/rc4.hpp"
#include "driver/core/sqlstate.hpp"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace kelvara::driver::detail {

PageFile::PageFile(std::string path, int descriptor, std::uint64_t fileSize, unsigned pageSize,
                   std::uint32_t pageKey)
    : path_(std::move(path)), descriptor_(descriptor), pageSize_(pageSize),
      pageCount_(static_cast<std::uint32_t>(fileSize / pageSize)), pageKey_(pageKey) {}

PageFile::~PageFile() {
    ::close(descriptor_);
}

void PageFile::read(std::uint32_t number, unsigned char* buffer) const {
    if (number >= pageCount_) {
        throwDamaged(path_, "page " + std::to_string(number) + " lies beyond the end of the file.");
    }
    const auto offset = static_cast<off_t>(number) * static_cast<off_t>(pageSize_);
    std::size_t done = 0;
    while (done < pageSize_) {
        const ssize_t got = ::pread(descriptor_, buffer + done, pageSize_ - done,
                                    offset + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            const std::string reason = got < 0 ? std::strerror(errno) : "the file is shorter now";
            throw DriverError(sqlstate::kGeneralError,
                              "Cannot read the database file '" + path_ + "': " + reason);
        }
        done += static_cast<std::size_t>(got);
    }
    if (pageKey_ != 0 && number != 0) {
        rc4Apply(pageKey_ ^ number, buffer, pageSize_);
    }
}

} // namespace kelvara::driver::detail
