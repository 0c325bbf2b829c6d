#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvara::driver::detail {

// Jet masks its header, and encrypts the pages of an encrypted Jet 4 file,
// with RC4 keyed by a 32-bit number (stored little-endian as the key bytes).
// Applying it twice restores the input.
void rc4Apply(std::uint32_t key, unsigned char* data, std::size_t length);

} // namespace kelvara::driver::detail
