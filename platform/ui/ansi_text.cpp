#include "platform/ui/ansi_text.hpp"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>

namespace kelvara {
namespace {

// The locale's character set; Qt has set the locale from the environment by
// the time any widget text is exchanged.
std::string LocaleCodeset() {
    const char* codeset = ::nl_langinfo(CODESET);
    return codeset ? std::string(codeset) : std::string();
}

bool IsUtf8(const std::string& codeset) {
    return codeset == "UTF-8" || codeset == "utf8" || codeset == "UTF8";
}

// Converts with iconv; bytes that cannot be converted are skipped one at a time
// so that the rest of the text still arrives.
std::string Convert(std::string_view input, const char* to, const char* from) {
    iconv_t converter = ::iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return std::string(input);
    }
    std::string output;
    std::string buffer(input.empty() ? 1 : input.size() * 4, '\0');
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
        char* out = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t result = ::iconv(converter, &in, &inLeft, &out, &outLeft);
        output.append(buffer.data(), buffer.size() - outLeft);
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            ++in; // an unconvertible or incomplete byte
            --inLeft;
        }
    }
    ::iconv_close(converter);
    return output;
}

} // namespace

QString FromAnsi(std::string_view text) {
    const std::string codeset = LocaleCodeset();
    if (codeset.empty() || IsUtf8(codeset)) {
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    const std::string utf8 = Convert(text, "UTF-8", codeset.c_str());
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToAnsi(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    const std::string_view bytes(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    const std::string codeset = LocaleCodeset();
    if (codeset.empty() || IsUtf8(codeset)) {
        return std::string(bytes);
    }
    return Convert(bytes, (codeset + "//TRANSLIT").c_str(), "UTF-8");
}

} // namespace kelvara
