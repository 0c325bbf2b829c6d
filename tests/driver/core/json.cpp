#include "json.hpp"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kelvara::test {
namespace {

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    Json document() {
        Json value = parseValue();
        skipSpace();
        if (pos_ != text_.size()) {
            fail("trailing text");
        }
        return value;
    }

private:
    [[noreturn]] void fail(const char* what) const {
        throw std::runtime_error(std::string("JSON: ") + what + " at " + std::to_string(pos_));
    }

    void skipSpace() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\n' ||
                                       text_[pos_] == '\r' || text_[pos_] == '\t')) {
            ++pos_;
        }
    }

    bool consume(std::string_view word) {
        if (text_.substr(pos_, word.size()) == word) {
            pos_ += word.size();
            return true;
        }
        return false;
    }

    Json parseValue() {
        skipSpace();
        if (pos_ >= text_.size()) {
            fail("unexpected end");
        }
        Json value;
        const char c = text_[pos_];
        if (c == '{') {
            value.kind = Json::Kind::Object;
            ++pos_;
            skipSpace();
            if (consume("}")) {
                return value;
            }
            do {
                skipSpace();
                std::string key = parseString();
                skipSpace();
                if (!consume(":")) {
                    fail("expected ':'");
                }
                value.members[key] = parseValue();
                skipSpace();
            } while (consume(","));
            if (!consume("}")) {
                fail("expected '}'");
            }
        } else if (c == '[') {
            value.kind = Json::Kind::Array;
            ++pos_;
            skipSpace();
            if (consume("]")) {
                return value;
            }
            do {
                value.items.push_back(parseValue());
                skipSpace();
            } while (consume(","));
            if (!consume("]")) {
                fail("expected ']'");
            }
        } else if (c == '"') {
            value.kind = Json::Kind::String;
            value.text = parseString();
        } else if (consume("null")) {
            value.kind = Json::Kind::Null;
        } else if (consume("true")) {
            value.kind = Json::Kind::Bool;
            value.boolean = true;
        } else if (consume("false")) {
            value.kind = Json::Kind::Bool;
        } else {
            value.kind = Json::Kind::Number;
            const std::size_t start = pos_;
            while (pos_ < text_.size() && std::string_view("+-0123456789.eE").find(text_[pos_]) !=
                                              std::string_view::npos) {
                ++pos_;
            }
            if (start == pos_) {
                fail("unexpected character");
            }
            value.text = std::string(text_.substr(start, pos_ - start));
        }
        return value;
    }

    unsigned hex4() {
        if (pos_ + 4 > text_.size()) {
            fail("short escape");
        }
        const unsigned value =
            static_cast<unsigned>(std::stoul(std::string(text_.substr(pos_, 4)), nullptr, 16));
        pos_ += 4;
        return value;
    }

    static void appendUtf8(char32_t cp, std::string& out) {
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }

    std::string parseString() {
        if (!consume("\"")) {
            fail("expected string");
        }
        std::string out;
        while (pos_ < text_.size() && text_[pos_] != '"') {
            const char c = text_[pos_++];
            if (c != '\\') {
                out.push_back(c);
                continue;
            }
            if (pos_ >= text_.size()) {
                fail("cut escape");
            }
            const char e = text_[pos_++];
            switch (e) {
            case 'n':
                out.push_back('\n');
                break;
            case 'r':
                out.push_back('\r');
                break;
            case 't':
                out.push_back('\t');
                break;
            case 'b':
                out.push_back('\b');
                break;
            case 'f':
                out.push_back('\f');
                break;
            case 'u': {
                char32_t cp = hex4();
                if (cp >= 0xD800 && cp <= 0xDBFF && consume("\\u")) {
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (hex4() - 0xDC00);
                }
                appendUtf8(cp, out);
                break;
            }
            default:
                out.push_back(e);
                break;
            }
        }
        if (!consume("\"")) {
            fail("unterminated string");
        }
        return out;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace

const Json& Json::operator[](const std::string& key) const {
    const auto found = members.find(key);
    if (found == members.end()) {
        throw std::runtime_error("JSON: no member " + key);
    }
    return found->second;
}

Json Json::parse(std::string_view text) {
    return Parser(text).document();
}

Json Json::parseFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return parse(buffer.str());
}

} // namespace kelvara::test
