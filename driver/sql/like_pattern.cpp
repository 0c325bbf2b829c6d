#include "driver/sql/like_pattern.hpp"

#include "driver/core/error.hpp"
#include "driver/core/sqlstate.hpp"
#include "driver/sql/text_compare.hpp"

#include <string>

namespace kelvara::driver::sql {

LikePattern::LikePattern(std::string_view pattern) {
    std::size_t pos = 0;
    while (pos < pattern.size()) {
        if (pattern[pos] == '[') {
            pos = parseList(pattern, pos + 1);
            continue;
        }
        const char32_t c = nextCodePoint(pattern, pos);
        Element element;
        switch (c) {
        case U'*':
        case U'%':
            element.kind = Element::Kind::AnyRun;
            if (!elements_.empty() && elements_.back().kind == Element::Kind::AnyRun)
                continue; // "**" is the same as "*"
            break;
        case U'?':
        case U'_':
            element.kind = Element::Kind::AnyOne;
            break;
        case U'#':
            element.kind = Element::Kind::Digit;
            break;
        default:
            element.character = foldCase(c);
            break;
        }
        elements_.push_back(element);
    }
}

// The inside of [...], starting after the "[": returns the position after "]".
std::size_t LikePattern::parseList(std::string_view pattern, std::size_t pos) {
    const std::size_t close = pattern.find(']', pos);
    if (close == std::string_view::npos)
        throw DriverError(sqlstate::kSyntaxError, "Invalid LIKE pattern '" + std::string(pattern) +
                                                      "': a '[' has no matching ']'");
    Element element;
    element.kind = Element::Kind::CharacterList;
    std::string_view list = pattern.substr(pos, close - pos);
    if (list.empty())
        return close + 1; // Access reads "[]" as matching nothing at all: no element
    if (list.front() == '!' && list.size() > 1) {
        element.negated = true;
        list.remove_prefix(1);
    }
    element.rangesBegin = static_cast<std::uint32_t>(ranges_.size());
    std::size_t i = 0;
    while (i < list.size()) {
        const char32_t low = foldCase(nextCodePoint(list, i));
        char32_t high = low;
        // A "-" between two characters makes a range; first or last it is itself.
        if (i + 1 < list.size() && list[i] == '-') {
            ++i;
            high = foldCase(nextCodePoint(list, i));
        }
        // A backwards range such as [z-a] is kept as written and matches nothing.
        ranges_.emplace_back(low, high);
    }
    element.rangesEnd = static_cast<std::uint32_t>(ranges_.size());
    elements_.push_back(element);
    return close + 1;
}

bool LikePattern::matchesOne(const Element& element, char32_t c) const noexcept {
    switch (element.kind) {
    case Element::Kind::Character:
        return foldAny(c) == element.character;
    case Element::Kind::AnyOne:
        return true;
    case Element::Kind::Digit:
        return c >= U'0' && c <= U'9';
    case Element::Kind::CharacterList: {
        const char32_t folded = foldAny(c);
        bool inList = false;
        for (std::uint32_t r = element.rangesBegin; r < element.rangesEnd && !inList; ++r)
            inList = folded >= ranges_[r].first && folded <= ranges_[r].second;
        return inList != element.negated;
    }
    case Element::Kind::AnyRun:
        break;
    }
    return false;
}

// Classic wildcard matching: every element but a run takes exactly one
// character, so remembering the last run and retrying it one character
// longer is enough (no exponential backtracking).
bool LikePattern::matches(std::string_view text) const noexcept {
    std::size_t element = 0;
    std::size_t pos = 0;
    std::size_t runElement = elements_.size(); // none yet
    std::size_t runTextPos = 0;
    while (pos < text.size()) {
        if (element < elements_.size() && elements_[element].kind == Element::Kind::AnyRun) {
            runElement = element++;
            runTextPos = pos;
            continue;
        }
        std::size_t next = pos;
        const char32_t c = nextCodePoint(text, next);
        if (element < elements_.size() && matchesOne(elements_[element], c)) {
            ++element;
            pos = next;
            continue;
        }
        if (runElement == elements_.size())
            return false;
        element = runElement + 1;
        nextCodePoint(text, runTextPos);
        pos = runTextPos;
    }
    while (element < elements_.size() && elements_[element].kind == Element::Kind::AnyRun)
        ++element;
    return element == elements_.size();
}

} // namespace kelvara::driver::sql
