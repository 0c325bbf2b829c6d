#pragma once

#include "driver/core/database_file.hpp"

#include <cstdint>
#include <vector>

namespace kelvara::driver::detail {

// Walks the pages a table's usage map marks as the table's, in file order.
// The map is either inline (a start page and a bitmap) or a list of usage
// map pages, each a bitmap of its own stretch of the file; a map of any other
// kind makes the cursor visit every page.
class PageCursor {
public:
    PageCursor(const DatabaseFile& file, std::vector<unsigned char> usageMap);

    // The next page the map marks, or false after the last.
    bool next(std::uint32_t& page);
    void rewind();

private:
    bool nextInline(std::uint32_t& page);
    bool nextReferenced(std::uint32_t& page);
    bool nextOfAll(std::uint32_t& page);

    enum class Kind { Inline, Referenced, AllPages };

    const DatabaseFile& file_;
    std::vector<unsigned char> map_;
    Kind kind_ = Kind::AllPages;
    std::uint64_t bit_ = 0;    // next bit of the current bitmap
    std::size_t mapEntry_ = 0; // Referenced: current usage map page entry
    bool mapPageLoaded_ = false;
    std::vector<unsigned char> mapPage_;
};

} // namespace kelvara::driver::detail
