#pragma once

#include <cstdint>
#include <cstring>

// Little-endian field access for the file format, independent of host order.
namespace kelvara::driver::detail {

inline std::uint16_t le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::uint64_t le64(const unsigned char* p) {
    return static_cast<std::uint64_t>(le32(p)) | (static_cast<std::uint64_t>(le32(p + 4)) << 32);
}

inline float leFloat(const unsigned char* p) {
    const std::uint32_t bits = le32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline double leDouble(const unsigned char* p) {
    const std::uint64_t bits = le64(p);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace kelvara::driver::detail
