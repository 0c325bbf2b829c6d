#pragma once

#include "driver/core/file_header.hpp"
#include "driver/core/page_file.hpp"
#include "driver/core/text_codec.hpp"

#include <memory>

namespace kelvara::driver::detail {

// What every reader of one database shares: its pages, its format and the
// decoder of its Jet 3 text.
struct DatabaseFile {
    DatabaseFile(FileHeader fileHeader, std::unique_ptr<PageFile> filePages)
        : header(std::move(fileHeader)), pages(std::move(filePages)), codePage(header.codePage) {}

    bool isJet3() const { return header.format == FileFormat::Jet3; }
    // Offset of the row count on data pages; the row offsets follow it.
    unsigned rowCountOffset() const { return isJet3() ? 0x08 : 0x0c; }

    FileHeader header;
    std::unique_ptr<PageFile> pages;
    CodePageDecoder codePage;
};

} // namespace kelvara::driver::detail
