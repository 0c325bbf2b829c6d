// Fuzzes the SQL parser with arbitrary statement text: it must either parse
// or throw DriverError.
#include "driver/core/error.hpp"
#include "driver/sql/query.hpp"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        (void)kelvara::driver::sql::parse(
            std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const kelvara::driver::DriverError&) {
        // Rejected text is an expected outcome.
    }
    return 0;
}
