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

}  // namespace
