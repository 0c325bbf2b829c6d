#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace kelvara::driver::detail {

// Appends UTF-16LE text (`size` bytes; an odd last byte is ignored) as UTF-8.
// Surrogate pairs become one four-byte character; a lone surrogate becomes
// U+FFFD.
void appendUtf16le(const unsigned char* data, std::size_t size, std::string& out);

// Appends Jet 4 / ACE text: UTF-16LE, or, when it starts with 0xFF 0xFE, the
// "compressed unicode" form in which runs of one-byte characters (high byte
// zero) alternate with UTF-16LE runs, each 0x00 byte switching between them.
void appendJetText(const unsigned char* data, std::size_t size, std::string& out);

// Appends one Unicode code point as UTF-8.
void appendCodePoint(char32_t codePoint, std::string& out);

// Converts Jet 3 text, stored in the database's Windows code page, to UTF-8.
class CodePageDecoder {
public:
    explicit CodePageDecoder(std::uint16_t codePage);
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;

    void append(const unsigned char* data, std::size_t size, std::string& out) const;

private:
    struct Multibyte;
    // Single-byte code pages: the UTF-8 form of every byte, precomputed.
    std::array<std::string, 256> table_;
    std::unique_ptr<Multibyte> multibyte_;
};

} // namespace kelvara::driver::detail
