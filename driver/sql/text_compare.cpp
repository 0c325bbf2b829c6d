#include "driver/sql/text_compare.hpp"

namespace kelvara::driver::sql {
namespace {

constexpr char32_t kStrayByteBase = 0xDC00;

unsigned char byteAt(std::string_view text, std::size_t pos) noexcept {
    return static_cast<unsigned char>(text[pos]);
}

bool isContinuation(unsigned char byte) noexcept {
    return (byte & 0xC0) == 0x80;
}

// Latin Extended-A pairs upper and lower case as neighbours, but the block
// switches between "upper is even" and "upper is odd" twice.
char32_t foldLatinExtendedA(char32_t c) noexcept {
    if (c == 0x130)
        return U'i';
    if (c == 0x178)
        return 0xFF;
    const bool upperIsOdd = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    const bool paired = c <= 0x177 && c != 0x131 && c != 0x138 && c != 0x149;
    if (upperIsOdd)
        return (c & 1U) != 0 ? c + 1 : c;
    if (paired)
        return (c & 1U) == 0 ? c + 1 : c;
    return c;
}

// The letter an accented Latin letter sorts with (é with e), after case
// folding; other code points are their own. Ligatures and letters of their
// own (æ, ß, þ, ĳ, œ) keep their place.
char32_t baseLetter(char32_t folded) noexcept {
    // U+00E0..U+00FF, lower case; '.' keeps the code point.
    static constexpr char kLatin1[] = "aaaaaa.ceeeeiiiidnooooo.ouuuuy.y";
    // U+0100..U+017F, upper and lower case alike.
    static constexpr char kExtendedA[] =
        "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii..jjkkklllll"
        "lllllnnnnnnnnnoooooo..rrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzz"
        "zzzs";
    char base = '.';
    if (folded >= 0xE0 && folded <= 0xFF)
        base = kLatin1[folded - 0xE0];
    else if (folded >= 0x100 && folded <= 0x17F)
        base = kExtendedA[folded - 0x100];
    return base == '.' ? folded : static_cast<char32_t>(base);
}

} // namespace

char32_t decodeMultiByte(std::string_view text, std::size_t& pos) noexcept {
    const unsigned char lead = byteAt(text, pos);
    std::size_t length = 0;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1FU;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0FU;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07U;
    }
    if (length == 0 || pos + length > text.size()) {
        ++pos;
        return kStrayByteBase + lead;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byteAt(text, pos + i);
        if (!isContinuation(next)) {
            ++pos;
            return kStrayByteBase + lead;
        }
        value = (value << 6) | (next & 0x3FU);
    }
    pos += length;
    return value;
}

char32_t foldCase(char32_t c) noexcept {
    if (c < 0x80)
        return (c >= U'A' && c <= U'Z') ? c + 0x20 : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return c + 0x20;
    if (c >= 0x100 && c <= 0x17F)
        return foldLatinExtendedA(c);
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2)
        return c + 0x20; // Greek capitals
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50; // Cyrillic capitals with marks
    if (c >= 0x410 && c <= 0x42F)
        return c + 0x20; // Cyrillic basic capitals
    if (c >= 0xFF21 && c <= 0xFF3A)
        return c + 0x20; // full-width Latin
    return c;
}

// Letters first by their base letter, so that "Émile" sorts among the E's as
// in Access's General order; texts that differ only in accents then by the
// first accent that differs (e before é), so equality still sees accents.
int compareText(std::string_view a, std::string_view b) noexcept {
    if (a.size() == b.size() && a == b)
        return 0;
    int accents = 0;
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const unsigned char x = byteAt(a, i);
        const unsigned char y = byteAt(b, j);
        if ((x | y) < 0x80) { // the common case: two ASCII characters
            const unsigned left = asciiFold(x);
            const unsigned right = asciiFold(y);
            if (left != right)
                return left < right ? -1 : 1;
            ++i;
            ++j;
            continue;
        }
        const char32_t left = foldCase(nextCodePoint(a, i));
        const char32_t right = foldCase(nextCodePoint(b, j));
        if (left == right)
            continue;
        const char32_t baseLeft = baseLetter(left);
        const char32_t baseRight = baseLetter(right);
        if (baseLeft != baseRight)
            return baseLeft < baseRight ? -1 : 1;
        if (accents == 0)
            accents = left < right ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return accents;
}

std::size_t countCodePoints(std::string_view text) noexcept {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        nextCodePoint(text, pos);
        ++count;
    }
    return count;
}

} // namespace kelvara::driver::sql
