// Text as Access stores it, converted to UTF-8; and name matching.
#include "driver/core/name_match.hpp"
#include "driver/core/text_codec.hpp"

#include <gtest/gtest.h>
#include <vector>

namespace kelvara::driver {
namespace {

std::string jetText(const std::vector<unsigned char>& bytes) {
    std::string out;
    detail::appendJetText(bytes.data(), bytes.size(), out);
    return out;
}

TEST(JetText, DecodesUtf16IncludingSurrogatePairs) {
    EXPECT_EQ(jetText({'A', 0, 0xE9, 0, 0x3D, 0xD8, 0x00, 0xDE}), "A\xC3\xA9\xF0\x9F\x98\x80");
}

TEST(JetText, ReplacesLoneSurrogates) {
    EXPECT_EQ(jetText({0x3D, 0xD8, 'x', 0}), "\xEF\xBF\xBDx");
    EXPECT_EQ(jetText({0x00, 0xDE}), "\xEF\xBF\xBD");
}

TEST(JetText, DecodesCompressedRuns) {
    // "ab", then 日 (U+65E5) uncompressed, then "é!" compressed again.
    EXPECT_EQ(jetText({0xFF, 0xFE, 'a', 'b', 0x00, 0xE5, 0x65, 0x00, 0xE9, '!'}),
              "ab\xE6\x97\xA5\xC3\xA9!");
    EXPECT_EQ(jetText({0xFF, 0xFE}), "");
}

TEST(CodePageText, SingleByteCodePages) {
    const unsigned char bytes[] = {'U', 'm', 's', 0xE4, 't', 'z', 'e', 0x80};
    std::string out;
    detail::CodePageDecoder(1252).append(bytes, sizeof bytes, out);
    EXPECT_EQ(out, "Ums\xC3\xA4tze\xE2\x82\xAC");

    const unsigned char cyrillic[] = {0xC0};
    out.clear();
    detail::CodePageDecoder(1251).append(cyrillic, sizeof cyrillic, out);
    EXPECT_EQ(out, "\xD0\x90");
}

TEST(CodePageText, MultiByteCodePage) {
    const unsigned char hiragana[] = {0x82, 0xA0, 'x'};
    std::string out;
    detail::CodePageDecoder(932).append(hiragana, sizeof hiragana, out);
    EXPECT_EQ(out, "\xE3\x81\x82x");
}

TEST(Names, CompareWithoutRegardToCase) {
    EXPECT_TRUE(namesEqual("\xC3\x9Cn\xC3\xAF"
                           "code T\xC3\xA4"
                           "ble",
                           "\xC3\xBCN\xC3\x8F"
                           "CODE t\xC3\x84"
                           "BLE"));
    EXPECT_TRUE(namesEqual("Order Lines", "ORDER LINES"));
    EXPECT_FALSE(namesEqual("Order Lines", "Order  Lines"));
    EXPECT_FALSE(namesEqual("Orders", "Order"));
}

} // namespace
} // namespace kelvara::driver
