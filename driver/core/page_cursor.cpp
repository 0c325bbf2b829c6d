#include "driver/core/page_cursor.hpp"

#include "driver/core/bytes.hpp"
#include "driver/core/file_error.hpp"

namespace kelvara::driver::detail {
namespace {

constexpr std::size_t kInlineBitmapStart = 5;
constexpr std::size_t kMapPageBitmapStart = 4;

bool bitSet(const unsigned char* bitmap, std::uint64_t bit) {
    const auto byte = static_cast<unsigned>(bitmap[static_cast<std::size_t>(bit / 8)]);
    return ((byte >> static_cast<unsigned>(bit % 8)) & 1U) != 0;
}

} // namespace

PageCursor::PageCursor(const DatabaseFile& file, std::vector<unsigned char> usageMap)
    : file_(file), map_(std::move(usageMap)) {
    if (map_.size() >= kInlineBitmapStart && map_[0] == 0x00) {
        kind_ = Kind::Inline;
    } else if (map_.size() >= 5 && map_[0] == 0x01) {
        kind_ = Kind::Referenced;
        mapPage_.resize(file_.pages->pageSize());
    }
}

void PageCursor::rewind() {
    bit_ = 0;
    mapEntry_ = 0;
    mapPageLoaded_ = false;
}

bool PageCursor::next(std::uint32_t& page) {
    switch (kind_) {
    case Kind::Inline:
        return nextInline(page);
    case Kind::Referenced:
        return nextReferenced(page);
    case Kind::AllPages:
        break;
    }
    return nextOfAll(page);
}

bool PageCursor::nextInline(std::uint32_t& page) {
    const std::uint32_t first = le32(map_.data() + 1);
    const std::uint64_t bits = (map_.size() - kInlineBitmapStart) * 8;
    const unsigned char* bitmap = map_.data() + kInlineBitmapStart;
    for (; bit_ < bits; ++bit_) {
        if (bitSet(bitmap, bit_)) {
            page = static_cast<std::uint32_t>(first + bit_++);
            return true;
        }
    }
    return false;
}

bool PageCursor::nextReferenced(std::uint32_t& page) {
    const unsigned pageSize = file_.pages->pageSize();
    const std::uint64_t bitsPerMapPage = (pageSize - kMapPageBitmapStart) * 8ULL;
    const std::size_t entries = (map_.size() - 1) / 4;
    while (mapEntry_ < entries) {
        if (!mapPageLoaded_) {
            const std::uint32_t mapPageNumber = le32(map_.data() + 1 + 4 * mapEntry_);
            if (mapPageNumber == 0) {
                ++mapEntry_;
                continue;
            }
            file_.pages->read(mapPageNumber, mapPage_.data());
            if (mapPage_[0] != kUsageMapPage) {
                throwDamaged(file_.pages->path(),
                             "page " + std::to_string(mapPageNumber) + " is not a usage map.");
            }
            mapPageLoaded_ = true;
            bit_ = 0;
        }
        const unsigned char* bitmap = mapPage_.data() + kMapPageBitmapStart;
        for (; bit_ < bitsPerMapPage; ++bit_) {
            if (bitSet(bitmap, bit_)) {
                page = static_cast<std::uint32_t>(mapEntry_ * bitsPerMapPage + bit_++);
                return true;
            }
        }
        mapPageLoaded_ = false;
        ++mapEntry_;
    }
    return false;
}

bool PageCursor::nextOfAll(std::uint32_t& page) {
    // Page 0 is the header; every other page may belong to the table.
    if (bit_ == 0) {
        bit_ = 1;
    }
    if (bit_ >= file_.pages->pageCount()) {
        return false;
    }
    page = static_cast<std::uint32_t>(bit_++);
    return true;
}

} // namespace kelvara::driver::detail
