#include <gtest/gtest.h>

#include <string>

#include "platform/wide_text.h"

namespace {

// Folder names as Windows hands them over (UTF-16 units) and as the demo keeps
// them (UTF-8): each converts to the other and back unchanged.
TEST(WideText, ConvertsBothWaysAndBack) {
    struct Case {
        std::wstring units;
        std::string utf8;
    };
    const Case cases[] = {
        {L"C:\\demos\\data\\", "C:\\demos\\data\\"},
        {{L'D', 0x00E9, L'm', 0x00F6}, "D\xC3\xA9m\xC3\xB6"},  // Latin
        {{0x6F14, 0x793A}, "\xE6\xBC\x94\xE7\xA4\xBA"},        // CJK
        {{0xD83C, 0xDFB5}, "\xF0\x9F\x8E\xB5"},                // a pair
        {{L'a', 0xD800, L'b'},
         "a\xED\xA0\x80"
         "b"},                                           // lone high
        {{0xDC00}, "\xED\xB0\x80"},                      // lone low
        {{0xDC00, 0xD800}, "\xED\xB0\x80\xED\xA0\x80"},  // reversed
        {{}, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf8FromWide(c.units), c.utf8);
        EXPECT_EQ(wideFromUtf8(c.utf8), c.units) << c.utf8;
    }
}

TEST(WideText, RefusesTextThatIsNotUtf8) {
    const std::string faults[] = {
        "\x80",                      // a continuation byte first
        "\xC3",                      // cut short
        "\xE6\xBC",                  // cut short
        "\xC0\xAF",                  // overlong '/'
        "\xE0\x80\xAF",              // overlong '/'
        "\xF4\x90\x80\x80",          // above U+10FFFF
        "\xFF",                      // no such lead byte
        "a\xC3(b",                   // a lead byte without its continuation
        "\xED\xA0\xBC\xED\xBE\xB5",  // a pair written as two surrogates
    };
    for (const std::string& text : faults) {
        EXPECT_EQ(wideFromUtf8(text), std::nullopt) << testing::PrintToString(text);
    }
}

}  // namespace
