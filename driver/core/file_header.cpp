#include "driver/core/file_header.hpp"

#include "driver/core/bytes.hpp"
#include "driver/core/file_error.hpp"
#include "driver/core/rc4.hpp"
#include "driver/core/text_codec.hpp"

#include <array>
#include <cmath>
#include <string_view>

namespace kelvara::driver::detail {
namespace {

constexpr std::size_t kMaskedStart = 0x18;
constexpr std::uint32_t kHeaderMaskKey = 0x6b39dac7;
constexpr std::size_t kVersionOffset = 0x14;
constexpr std::size_t kCodePageOffset = 0x3c;
constexpr std::size_t kPageKeyOffset = 0x3e;
constexpr std::size_t kPasswordOffset = 0x42;
constexpr std::size_t kCreationDateOffset = 0x72;

bool hasEngineName(const unsigned char* data) {
    const std::string_view name(reinterpret_cast<const char*>(data + 4), 15);
    return name == "Standard Jet DB" || name == "Standard ACE DB";
}

std::string jet4Password(const std::array<unsigned char, kHeaderBytes>& header) {
    // Jet 4 masks the password once more with the whole days of the file's
    // creation date, as a little-endian 32-bit number repeated over the bytes.
    const double created = leDouble(header.data() + kCreationDateOffset);
    std::uint32_t days = 0;
    if (std::isfinite(created) && std::fabs(created) < 2147483647.0) {
        days = static_cast<std::uint32_t>(static_cast<std::int32_t>(created));
    }
    std::array<unsigned char, 40> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto maskByte = static_cast<unsigned char>(days >> (8 * (i % 4)));
        bytes[i] = header[kPasswordOffset + i] ^ maskByte;
    }
    std::size_t length = 0;
    while (length + 1 < bytes.size() && (bytes[length] != 0 || bytes[length + 1] != 0)) {
        length += 2;
    }
    std::string password;
    appendUtf16le(bytes.data(), length, password);
    return password;
}

std::string jet3Password(const std::array<unsigned char, kHeaderBytes>& header) {
    std::string password;
    for (std::size_t i = 0; i < 20 && header[kPasswordOffset + i] != 0; ++i) {
        password.push_back(static_cast<char>(header[kPasswordOffset + i]));
    }
    return password;
}

} // namespace

FileHeader parseFileHeader(const unsigned char* data, std::size_t size, const std::string& path) {
    if (size < kHeaderBytes || data[0] != 0x00 || data[1] != 0x01 || !hasEngineName(data)) {
        throwCannotOpen(path, "it is not a Microsoft Access database.");
    }
    std::array<unsigned char, kHeaderBytes> header{};
    std::copy(data, data + kHeaderBytes, header.begin());

    FileHeader result;
    result.versionCode = header[kVersionOffset];
    switch (result.versionCode) {
    case 0x00:
        result.format = FileFormat::Jet3;
        result.pageSize = 2048;
        break;
    case 0x01:
        result.format = FileFormat::Jet4;
        break;
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x05:
    case 0x06:
        result.format = FileFormat::Ace;
        break;
    default:
        throwCannotOpen(path, "its Access file format version is not supported.");
    }

    const std::size_t maskedLength = result.format == FileFormat::Jet3 ? 126 : 128;
    rc4Apply(kHeaderMaskKey, header.data() + kMaskedStart,
             std::min(maskedLength, kHeaderBytes - kMaskedStart));

    result.codePage = le16(header.data() + kCodePageOffset);
    result.pageKey = le32(header.data() + kPageKeyOffset);
    result.password =
        result.format == FileFormat::Jet3 ? jet3Password(header) : jet4Password(header);
    return result;
}

} // namespace kelvara::driver::detail
