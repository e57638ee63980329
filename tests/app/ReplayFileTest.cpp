#include "Replay.h"

#include <gtest/gtest.h>

namespace {

TEST(ReplayFile, ReadsTimesAndKeys) {
    std::vector<ReplayEvent> events;
    std::string error;
    ASSERT_TRUE(
        ParseReplay("# a comment\n0 a\n\n150 SPACE\n300 ENTER\r\n450 BACKSPACE\n"
                    "500 ESC\n600 \xC3\xA9\n700 RESIZE 60x20\n800  \n900 TAB\n",
                    &events, &error))
        << error;
    ASSERT_EQ(events.size(), 9u);
    struct Expected {
        long long ms;
        KeyKind kind;
        char ch;
    };
    const Expected expected[] = {
        {0, KeyKind::kChar, 'a'},      {150, KeyKind::kChar, ' '}, {300, KeyKind::kEnter, 0},
        {450, KeyKind::kBackspace, 0}, {500, KeyKind::kEscape, 0}, {600, KeyKind::kChar, '\xE9'},
        {700, KeyKind::kResize, 0},    {800, KeyKind::kChar, ' '}, {900, KeyKind::kChar, '\t'},
    };
    for (size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(events[i].ms, expected[i].ms) << i;
        EXPECT_EQ(events[i].key.kind, expected[i].kind) << i;
        EXPECT_EQ(events[i].key.ch, expected[i].ch) << i;
    }
    EXPECT_EQ(events[6].cols, 60);
    EXPECT_EQ(events[6].rows, 20);
}

}  // namespace
