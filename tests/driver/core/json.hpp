#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kelvara::test {

// Just enough JSON for the fixture descriptions. Numbers keep their text.
struct Json {
    enum class Kind { Null, Bool, Number, String, Array, Object };

    Kind kind = Kind::Null;
    bool boolean = false;
    std::string text; // String, or Number as written
    std::vector<Json> items;
    std::map<std::string, Json> members;

    bool isNull() const { return kind == Kind::Null; }
    const Json& operator[](const std::string& key) const;
    bool has(const std::string& key) const { return members.count(key) != 0; }

    static Json parse(std::string_view text);
    static Json parseFile(const std::string& path);
};

} // namespace kelvara::test
