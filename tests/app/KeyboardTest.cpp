#include "Keyboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KeyPresses.h"

namespace {

TEST(Keyboard, ComposedCharacterTakesTheDeadKeyThenTheBase) {
    std::vector<KeyCap> keys = Keyboard::UsQwerty().Keys();
    KeyCap& quote = keys[static_cast<size_t>(Keyboard::UsQwerty().Find("AC11"))];
    quote.dead[kPlainLevel] = true;  // as on us(intl): ' is a dead acute
    quote.levels[kPlainLevel] = "\xc2\xb4";
    const Keyboard intl("us(intl)", keys, {{"\xc3\xa9", "\xc2\xb4", "e"}});
    EXPECT_EQ(Presses(intl, "\xc3\xa9"), "AC11 AD03");
    EXPECT_EQ(Presses(intl, "\xc2\xb4"), "");  // a dead key types nothing by itself
}

TEST(Keyboard, FingersFollowTheColumns) {
    const struct {
        const char* key;
        Finger finger;
    } cases[] = {
        {"AC01", Finger::kLeftPinky},  {"AC02", Finger::kLeftRing},
        {"AC03", Finger::kLeftMiddle}, {"AC04", Finger::kLeftIndex},
        {"AD05", Finger::kLeftIndex},  {"AE06", Finger::kRightIndex},
        {"AC07", Finger::kRightIndex}, {"AC08", Finger::kRightMiddle},
        {"AB09", Finger::kRightRing},  {"AC10", Finger::kRightPinky},
        {"AE12", Finger::kRightPinky}, {"LSGT", Finger::kLeftPinky},
        {"TLDE", Finger::kLeftPinky},  {"SPCE", Finger::kThumb},
        {"RTRN", Finger::kRightPinky},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FingerOf(c.key), c.finger) << c.key;
    }
    const Keyboard us = Keyboard::UsQwerty();
    EXPECT_EQ(us.Keys()[static_cast<size_t>(us.Find("AC04"))].finger, Finger::kLeftIndex);
    EXPECT_DOUBLE_EQ(us.Width(), 15);
    EXPECT_EQ(us.Find("LSGT"), -1);
}

}  // namespace

TEST(Keyboard, CapsShowTheCapitalOfALetterElseEveryLevel) {
    const auto key = [](const char* plain, const char* shift, const char* altGr) {
        KeyCap cap;
        cap.levels = {plain, shift, altGr};
        return cap;
    };
    KeyCap shiftKey;
    shiftKey.label = "Shift";
    const struct {
        KeyCap cap;
        const char* label;
    } cases[] = {
        {key("q", "Q", ""), "Q"},
        {key("\xd1\x84", "\xd0\xa4", ""), "\xd0\xa4"},  // ф on ru shows Ф
        {key("1", "!", ""), "1 !"},
        {key("2", "\"", "\xc2\xb2"), "2 \" \xc2\xb2"},  // de: 2, ", ²
        {key("q", "Q", "@"), "Q @"},
        {key("-", "-", ""), "-"},
        {shiftKey, "Shift"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CapLabel(c.cap), c.label) << c.label;
    }
}
