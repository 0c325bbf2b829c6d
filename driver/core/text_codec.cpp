#include "driver/core/text_codec.hpp"

#include <cerrno>
#include <iconv.h>
#include <string_view>

namespace kelvara::driver::detail {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

std::string iconvName(std::uint16_t codePage) {
    return "CP" + std::to_string(codePage);
}

bool isMultibyteCodePage(std::uint16_t codePage) {
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 ||
           codePage == 1361;
}

} // namespace

// Writes one code point as UTF-8 at `p`; returns the end of what it wrote.
char* writeCodePoint(char32_t cp, char* p) {
    if (cp < 0x80) {
        *p++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *p++ = static_cast<char>(0xC0 | (cp >> 6));
        *p++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *p++ = static_cast<char>(0xE0 | (cp >> 12));
        *p++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *p++ = static_cast<char>(0xF0 | (cp >> 18));
        *p++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *p++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return p;
}

void appendCodePoint(char32_t cp, std::string& out) {
    char buffer[4];
    out.append(buffer, writeCodePoint(cp, buffer));
}

namespace {

// Converts `size` bytes of UTF-16LE at `data` to UTF-8 at `p`, which must
// have room for three bytes per two input bytes.
char* writeUtf16le(const unsigned char* data, std::size_t size, char* p) {
    const std::size_t units = size / 2;
    for (std::size_t i = 0; i < units; ++i) {
        const char32_t unit = static_cast<char32_t>(data[2 * i] | (data[2 * i + 1] << 8));
        if (unit < 0x80) {
            *p++ = static_cast<char>(unit);
        } else if (isHighSurrogate(unit) && i + 1 < units) {
            const char32_t next = static_cast<char32_t>(data[2 * i + 2] | (data[2 * i + 3] << 8));
            if (isLowSurrogate(next)) {
                p = writeCodePoint(0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00), p);
                ++i;
            } else {
                p = writeCodePoint(kReplacement, p);
            }
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            p = writeCodePoint(kReplacement, p);
        } else {
            p = writeCodePoint(unit, p);
        }
    }
    return p;
}

// One-byte characters of compressed text: U+0000..U+00FF.
char* writeLatin1(const unsigned char* data, std::size_t size, char* p) {
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char byte = data[i];
        if (byte < 0x80) {
            *p++ = static_cast<char>(byte);
        } else {
            *p++ = static_cast<char>(0xC0 | (byte >> 6));
            *p++ = static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return p;
}

} // namespace

void appendUtf16le(const unsigned char* data, std::size_t size, std::string& out) {
    // Sized for the worst case first, so that the loop writes through a
    // plain pointer, then cut to what was written.
    const std::size_t start = out.size();
    out.resize(start + size / 2 * 3);
    char* end = writeUtf16le(data, size, out.data() + start);
    out.resize(static_cast<std::size_t>(end - out.data()));
}

void appendJetText(const unsigned char* data, std::size_t size, std::string& out) {
    if (size < 2 || data[0] != 0xFF || data[1] != 0xFE) {
        appendUtf16le(data, size, out);
        return;
    }
    // Each 0x00 byte switches mode; no character of either kind of run can
    // contain one, which is why text holding such characters is never stored
    // compressed. Two output bytes per input byte cover both kinds of run.
    const std::size_t start = out.size();
    out.resize(start + 2 * size);
    char* p = out.data() + start;
    std::size_t pos = 2;
    bool compressed = true;
    while (pos < size) {
        std::size_t end = pos;
        while (end < size && data[end] != 0x00) {
            ++end;
        }
        p = compressed ? writeLatin1(data + pos, end - pos, p)
                       : writeUtf16le(data + pos, end - pos, p);
        compressed = !compressed;
        pos = end + 1;
    }
    out.resize(static_cast<std::size_t>(p - out.data()));
}

struct CodePageDecoder::Multibyte {
    std::mutex mutex;
    iconv_t converter = reinterpret_cast<iconv_t>(-1);
};

CodePageDecoder::CodePageDecoder(std::uint16_t codePage) {
    if (isMultibyteCodePage(codePage)) {
        auto multibyte = std::make_unique<Multibyte>();
        multibyte->converter = iconv_open("UTF-8", iconvName(codePage).c_str());
        if (multibyte->converter != reinterpret_cast<iconv_t>(-1)) {
            multibyte_ = std::move(multibyte);
            return;
        }
        codePage = 1252;
    }
    iconv_t converter = iconv_open("UTF-8", iconvName(codePage).c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        converter = iconv_open("UTF-8", "CP1252");
    }
    for (unsigned byte = 0; byte < 256; ++byte) {
        // Bytes a code page leaves undefined map to the same code point, as
        // Windows maps them.
        std::string utf8;
        if (converter != reinterpret_cast<iconv_t>(-1) && byte >= 0x80) {
            char input = static_cast<char>(byte);
            char output[8];
            char* in = &input;
            char* outPtr = output;
            std::size_t inLeft = 1;
            std::size_t outLeft = sizeof output;
            iconv(converter, nullptr, nullptr, nullptr, nullptr);
            if (iconv(converter, &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1)) {
                utf8.assign(output, static_cast<std::size_t>(outPtr - output));
            }
        }
        if (utf8.empty()) {
            appendCodePoint(byte, utf8);
        }
        table_[byte] = std::move(utf8);
    }
    if (converter != reinterpret_cast<iconv_t>(-1)) {
        iconv_close(converter);
    }
}

CodePageDecoder::~CodePageDecoder() {
    if (multibyte_) {
        iconv_close(multibyte_->converter);
    }
}

void CodePageDecoder::append(const unsigned char* data, std::size_t size, std::string& out) const {
    if (!multibyte_) {
        for (std::size_t i = 0; i < size; ++i) {
            if (data[i] < 0x80) {
                out.push_back(static_cast<char>(data[i]));
            } else {
                out += table_[data[i]];
            }
        }
        return;
    }
    std::lock_guard<std::mutex> lock(multibyte_->mutex);
    iconv(multibyte_->converter, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(reinterpret_cast<const char*>(data));
    std::size_t inLeft = size;
    char buffer[1024];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(multibyte_->converter, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // An invalid or cut sequence: show one replacement and go on.
            appendCodePoint(kReplacement, out);
            ++in;
            --inLeft;
        }
    }
}

} // namespace kelvara::driver::detail
