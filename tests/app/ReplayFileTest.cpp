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

TEST(ReplayFile, RefusesMalformedLinesNamingThem) {
    struct Case {
        const char* content;
        const char* error;
    };
    const Case cases[] = {
        {"10 a\nx b\n", "line 2: expected \"milliseconds key\""},
        {"10\n", "line 1: expected \"milliseconds key\""},
        {" 10 a\n", "line 1: expected \"milliseconds key\""},
        {"-5 a\n", "line 1: expected \"milliseconds key\""},
        {"10 a\n5 b\n", "line 2: time goes backwards"},
        {"99999999999999 a\n", "line 1: the time is too large"},
        {"10 WHAT\n", "line 1: unknown key \"WHAT\""},
        {"10 \xE2\x88\x9E\n", "line 1: unknown key \"\xE2\x88\x9E\""},
        {"10 RESIZE 0x5\n", "line 1: unknown key \"RESIZE 0x5\""},
    };
    for (const Case& c : cases) {
        std::vector<ReplayEvent> events;
        std::string error;
        EXPECT_FALSE(ParseReplay(c.content, &events, &error)) << c.content;
        EXPECT_EQ(error, c.error);
    }
}

TEST(ReplayFile, ClockStartIsALocalDateAndTime) {
    SYSTEMTIME st{};
    ASSERT_TRUE(ParseClockStart("2025-03-04 09:08:07", &st));
    // Year to hour reach the history in the replay tests.
    EXPECT_EQ(st.wMinute, 8);
    EXPECT_EQ(st.wSecond, 7);
    for (const char* bad : {"2025-03-04", "2025-13-01 00:00:00", "2025-01-01 24:00:00",
                            "2025-01-01 00:00:00x", "soon"}) {
        EXPECT_FALSE(ParseClockStart(bad, &st)) << bad;
    }
}

}  // namespace
