#pragma once

#include <cstddef>
#include <string_view>

namespace kelvara::driver::sql {

// Reads the code point at `text[pos]` and moves `pos` past it. A byte that
// does not start a valid UTF-8 sequence is taken on its own, as U+DC00 plus
// the byte, so damaged text still compares consistently.
char32_t decodeMultiByte(std::string_view text, std::size_t& pos) noexcept;

inline char32_t nextCodePoint(std::string_view text, std::size_t& pos) noexcept {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80) {
        ++pos;
        return byte;
    }
    return decodeMultiByte(text, pos);
}

// Access compares text without regard to case. Lower-cases the letters of
// Latin (Basic, Latin-1, Extended-A), Greek, Cyrillic and the full-width
// forms; other code points stay as they are.
char32_t foldCase(char32_t c) noexcept;

// foldCase for ASCII, cheap enough to inline into per-character loops.
inline unsigned asciiFold(unsigned char c) noexcept {
    return c + (static_cast<unsigned>(c - 'A') < 26U ? 0x20U : 0U);
}

inline char32_t foldAny(char32_t c) noexcept {
    return c < 0x80 ? asciiFold(static_cast<unsigned char>(c)) : foldCase(c);
}

// -1, 0 or 1 without regard to case. Accented Latin letters sort with their
// base letter (e < é < f), but only texts equal to the accent compare equal.
int compareText(std::string_view a, std::string_view b) noexcept;

inline bool equalText(std::string_view a, std::string_view b) noexcept {
    return compareText(a, b) == 0;
}

// Number of code points in text[0, bytes): a 1-based position is this plus one.
std::size_t countCodePoints(std::string_view text) noexcept;

} // namespace kelvara::driver::sql
