#include "KeyboardLayout.h"

#include <gtest/gtest.h>

#include <string>

#include "KeyPresses.h"

namespace {

Keyboard Read(const std::string& layout) {
    Keyboard keyboard = Keyboard::UsQwerty();
    std::string error;
    EXPECT_TRUE(ReadKeyboardLayout(layout, &keyboard, &error)) << layout << ": " << error;
    return keyboard;
}

TEST(KeyboardLayout, ReadsEachLayoutsCharactersFromXkeyboardConfig) {
    const struct {
        const char* layout;
        const char* character;
        const char* presses;
    } cases[] = {
        {"us", "y", "AD06"},
        {"us", "\xc3\xa9", ""},  // é: not on a US keyboard
        {"de", "y", "AB01"},     // German: Z and Y change places
        {"de", "z", "AD06"},
        {"de", "\xc3\x9f", "AE11"},  // ß
        {"de", "@", "AD01+altgr"},
        {"de", "|", "LSGT+altgr"},   // the ISO key left of Z
        {"fr", "\xc3\xa9", "AE02"},  // é has a key of its own in French
        {"fr", "a", "AD01"},
        {"us(intl)", "\xc3\xa9", "AC11 AD03"},        // dead acute, then e
        {"us(intl)", "\xc3\xab", "AC11+shift AD03"},  // dead diaeresis, then e
        {"us(dvorak)", "s", "AC10"},
        {"ru", "\xd0\xbf", "AC05"},        // п
        {"gr", "\xce\xb1", "AC01"},        // α
        {"gr", "\xce\xac", "AC10 AC01"},   // ά: the dead tonos, then α
        {"pl", "\xc5\x82", "AC09+altgr"},  // ł
        {"tr", "\xc4\x9f", "AD11"},        // ğ
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Presses(Read(c.layout), c.character), c.presses)
            << c.layout << " " << c.character;
    }
    EXPECT_EQ(Read("de").Find("LSGT") >= 0, true);
    EXPECT_EQ(Read("us").Find("LSGT"), -1) << "a US keyboard has no key left of Z";
    EXPECT_EQ(Read("de(nodeadkeys)").Name(), "de(nodeadkeys)");
}

TEST(KeyboardLayout, TheSystemsLayoutFromItsSettings) {
    EXPECT_EQ(LayoutFromInputSources("[('xkb', 'de+nodeadkeys'), ('xkb', 'us')]\n"),
              "de(nodeadkeys)");
    EXPECT_EQ(LayoutFromInputSources("[('ibus', 'anthy'), ('xkb', 'fr')]"), "fr");
    EXPECT_EQ(LayoutFromInputSources("@a(ss) []"), "");
    EXPECT_EQ(LayoutFromDefaultKeyboard("XKBMODEL=\"pc105\"\nXKBLAYOUT=\"pl,us\"\n"
                                        "XKBVARIANT=\",\"\nXKBOPTIONS=\"\"\n"),
              "pl");
    EXPECT_EQ(LayoutFromDefaultKeyboard("XKBLAYOUT=\"us\"\nXKBVARIANT=\"intl\"\n"), "us(intl)");
    EXPECT_EQ(LayoutFromDefaultKeyboard("# nothing\n"), "");
}

}  // namespace
