#pragma once

#include <string>

namespace kelvara::test {

inline std::string fixturePath(const std::string& name) {
    return std::string(KELVARA_FIXTURES_DIR) + "/" + name;
}

} // namespace kelvara::test
