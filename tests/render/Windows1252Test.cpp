#include "render/Windows1252.h"

#include <gtest/gtest.h>

namespace {

TEST(Windows1252, MapsEachByteToItsCodePointAndTextToUtf8) {
    struct Case {
        unsigned char byte;
        char32_t cp;
    };
    const Case cases[] = {
        {'A', U'A'},    {0x00, 0x0000}, {0x7F, 0x007F}, {0x80, 0x20AC},
        {0x81, 0x0081}, {0x8A, 0x0160}, {0x96, 0x2013}, {0x9F, 0x0178},
        {0xA0, 0x00A0}, {0xE9, 0x00E9}, {0xFF, 0x00FF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Windows1252ToUnicode(c.byte), c.cp) << static_cast<int>(c.byte);
    }
    std::string out = "stale";
    EXPECT_EQ(Windows1252ToUtf8(std::string("caf\xE9 \x80"
                                            "5 \x93x\x94"),
                                out),
              "caf\xC3\xA9 \xE2\x82\xAC"
              "5 \xE2\x80\x9Cx\xE2\x80\x9D");
    EXPECT_EQ(Windows1252ToUtf8("abc", 2, out), "ab");
    EXPECT_EQ(Windows1252ToUtf8(nullptr, 3, out), "");
    EXPECT_EQ(Windows1252ToUtf8("abc", -1, out), "");
}

}  // namespace
