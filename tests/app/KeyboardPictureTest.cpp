// The on-screen keyboard: which keys a character lights.
#include "KeyboardPicture.h"

#include "Contrast.h"
#include "KeyboardLayout.h"

#include <gtest/gtest.h>

namespace {

TEST(KeyboardPicture, LightsTheKeyAndTheShiftOfTheOtherHand) {
    const Keyboard keyboard = Keyboard::UsQwerty();
    const KeyboardPicture picture(keyboard);
    const struct {
        const char* character;
        std::vector<std::string> keys;
    } cases[] = {{"n", {"AB06"}},
                 {"A", {"AC01", "RTSH"}},
                 {"?", {"AB10", "LFSH"}},
                 {" ", {"SPCE"}},
                 {"\n", {"RTRN"}}};
    for (const auto& c : cases) {
        std::vector<std::string> lit;
        for (int key : picture.LitKeys(keyboard.PressesFor(c.character))) {
            lit.push_back(keyboard.Keys()[static_cast<size_t>(key)].name);
        }
        EXPECT_EQ(lit, c.keys) << c.character;
    }
}

// A layout's AltGr key is drawn where the layout types with it, and lit with the key; a composed
// character lights its dead key and its base key.
TEST(KeyboardPicture, LightsAltGrForTheAltGrLevel) {
    const struct {
        const char* layout;
        const char* character;
        std::vector<std::string> keys;
    } cases[] = {{"de", "@", {"AD01", "RALT"}},
                 {"pl", "\u0142", {"AC09", "RALT"}},        // ł
                 {"us(intl)", "\u00e9", {"AC11", "AD03"}},  // é: dead acute, then e
                 {"ru", "\u0444", {"AC01"}}};               // ф
    for (const auto& c : cases) {
        Keyboard keyboard = Keyboard::UsQwerty();
        std::string error;
        ASSERT_TRUE(ReadKeyboardLayout(c.layout, &keyboard, &error)) << error;
        const KeyboardPicture picture(keyboard);
        std::vector<std::string> lit;
        for (int key : picture.LitKeys(keyboard.PressesFor(c.character))) {
            lit.push_back(keyboard.Keys()[static_cast<size_t>(key)].name);
        }
        EXPECT_EQ(lit, c.keys) << c.layout << " " << c.character;
    }
    EXPECT_LT(Keyboard::UsQwerty().Find("RALT"), 0) << "a US keyboard types nothing with AltGr";
}

// Every label stands out from its key: 4.5:1, 7:1 in high contrast, on every finger's tint and
// on the lit key.
TEST(KeyboardPicture, LabelsAreReadableOnEveryKey) {
    for (const bool dark : {false, true}) {
        for (const bool highContrast : {false, true}) {
            KeyboardLook look;
            look.dark = dark;
            look.highContrast = highContrast;
            const double least = highContrast ? 7.0 : 4.5;
            const std::string name =
                std::string(dark ? "dark" : "light") + (highContrast ? " high contrast" : "");
            for (int f = 0; f <= static_cast<int>(Finger::kRightPinky); ++f) {
                EXPECT_GE(ContrastRatio(look.Ink(), look.FingerTint(static_cast<Finger>(f))), least)
                    << name << ", finger " << f;
            }
            EXPECT_GE(ContrastRatio(look.LitInk(), look.Lit()), least) << name << ", lit";
        }
    }
}

}  // namespace
