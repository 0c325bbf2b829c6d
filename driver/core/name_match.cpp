#include "driver/core/name_match.hpp"

#include "driver/core/text_codec.hpp"

#include <clocale>
#include <cwctype>
#include <locale.h>

namespace kelvara::driver {
namespace {

// The C.UTF-8 locale knows the case mappings of all of Unicode, independent
// of the locale the host process runs in.
locale_t unicodeLocale() {
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    return locale;
}

char32_t decodeOne(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos++]);
    int extra = 0;
    char32_t cp = lead;
    if (lead >= 0xF0) {
        extra = 3;
        cp = lead & 0x07U;
    } else if (lead >= 0xE0) {
        extra = 2;
        cp = lead & 0x0FU;
    } else if (lead >= 0xC0) {
        extra = 1;
        cp = lead & 0x1FU;
    } else if (lead >= 0x80) {
        return 0xFFFD;
    }
    for (int i = 0; i < extra; ++i) {
        if (pos >= text.size() || (static_cast<unsigned char>(text[pos]) & 0xC0U) != 0x80U) {
            return 0xFFFD;
        }
        cp = (cp << 6) | (static_cast<unsigned char>(text[pos++]) & 0x3FU);
    }
    return cp;
}

char32_t lower(char32_t cp) {
    if (cp < 0x80) {
        return (cp >= 'A' && cp <= 'Z') ? cp + ('a' - 'A') : cp;
    }
    const locale_t locale = unicodeLocale();
    if (locale == static_cast<locale_t>(nullptr)) {
        return cp;
    }
    return static_cast<char32_t>(towlower_l(static_cast<wint_t>(cp), locale));
}

} // namespace

std::string foldName(std::string_view name) {
    std::string folded;
    folded.reserve(name.size());
    for (std::size_t pos = 0; pos < name.size();) {
        detail::appendCodePoint(lower(decodeOne(name, pos)), folded);
    }
    return folded;
}

bool namesEqual(std::string_view a, std::string_view b) {
    return foldName(a) == foldName(b);
}

} // namespace kelvara::driver
