#include "driver/core/rc4.hpp"

#include <array>
#include <utility>

namespace kelvara::driver::detail {

void rc4Apply(std::uint32_t key, unsigned char* data, std::size_t length) {
    const std::array<unsigned char, 4> keyBytes{
        static_cast<unsigned char>(key), static_cast<unsigned char>(key >> 8),
        static_cast<unsigned char>(key >> 16), static_cast<unsigned char>(key >> 24)};

    std::array<unsigned char, 256> state{};
    for (std::size_t i = 0; i < state.size(); ++i) {
        state[i] = static_cast<unsigned char>(i);
    }
    unsigned char j = 0;
    for (std::size_t i = 0; i < state.size(); ++i) {
        j = static_cast<unsigned char>(j + state[i] + keyBytes[i % keyBytes.size()]);
        std::swap(state[i], state[j]);
    }

    unsigned char x = 0;
    unsigned char y = 0;
    for (std::size_t n = 0; n < length; ++n) {
        x = static_cast<unsigned char>(x + 1);
        y = static_cast<unsigned char>(y + state[x]);
        std::swap(state[x], state[y]);
        data[n] ^= state[static_cast<unsigned char>(state[x] + state[y])];
    }
}

} // namespace kelvara::driver::detail
