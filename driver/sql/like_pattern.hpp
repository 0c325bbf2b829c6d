#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace kelvara::driver::sql {

// A LIKE pattern, compiled once and matched against many texts without
// allocating. Understands Access's wildcards (* any run, ? one character,
// # one digit, [abc] [a-z] [!a-z] one character of a list or not of it, [*]
// a literal star) and ANSI's (% any run, _ one character). Letters match
// without regard to case, as Access compares text.
class LikePattern {
public:
    // Throws DriverError 42000 for a "[" without its "]".
    explicit LikePattern(std::string_view pattern);

    bool matches(std::string_view text) const noexcept;

private:
    struct Element {
        enum class Kind : std::uint8_t { Character, AnyOne, AnyRun, Digit, CharacterList };
        Kind kind = Kind::Character;
        bool negated = false;          // [!...]
        char32_t character = 0;        // Character, case-folded
        std::uint32_t rangesBegin = 0; // CharacterList: its ranges in ranges_
        std::uint32_t rangesEnd = 0;
    };

    std::size_t parseList(std::string_view pattern, std::size_t pos);
    bool matchesOne(const Element& element, char32_t c) const noexcept;

    std::vector<Element> elements_;
    std::vector<std::pair<char32_t, char32_t>> ranges_; // case-folded, inclusive
};

} // namespace kelvara::driver::sql
