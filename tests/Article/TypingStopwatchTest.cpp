#include "Article/TypingStopwatch.h"

#include <gtest/gtest.h>

#include "platform/Clock.h"

namespace {

TEST(TypingStopwatch, AverageSpeedAndAccuracy) {
    ScopedFakeClock clock(2024, 4, 1, 10, 0);
    CTypingStopwatch sw;
    sw.Start();
    for (int i = 0; i < 50; ++i) {
        clock.Advance(200);
        sw.RecordKeystroke('k', 'k');
    }
    EXPECT_EQ(sw.GetActiveSeconds(), 10);
    EXPECT_EQ(sw.GetSpeed(), 300);
    EXPECT_EQ(sw.GetAccuracy(), 100);

    CTypingStopwatch three;
    three.Start();
    clock.Advance(1000);
    three.RecordKeystroke('a', 'a');
    three.RecordKeystroke('b', 'x');
    three.RecordKeystroke('c', 'c');
    EXPECT_EQ(three.GetKeys(), 3);
    EXPECT_EQ(three.GetErrors(), 1);
    EXPECT_EQ(three.GetAccuracy(), 67);
}

// Keys are counted by the character expected, high bytes included; code 255 has no entry but
// counts in the totals.
TEST(TypingStopwatch, TablesCountHighBytesAndCode255OnlyInTheTotals) {
    ScopedFakeClock clock(2024, 4, 1, 10, 0);
    CTypingStopwatch sw;
    sw.Start();
    clock.Advance(100);
    sw.RecordKeystroke(static_cast<char>(200), static_cast<char>(201));
    EXPECT_EQ(sw.GetKeyTable()[201], 1);
    EXPECT_EQ(sw.GetKeyTable()[200], 0);
    EXPECT_EQ(sw.GetErrorTable()[201], 1);
    EXPECT_EQ(sw.GetTimeTable()[201], 100);
    sw.RecordKeystroke('a', static_cast<char>(255));
    EXPECT_EQ(sw.GetKeys(), 2);
    EXPECT_EQ(sw.GetErrors(), 2);
}

TEST(TypingStopwatch, PausesAreLeftOutOfGapsAndActiveTime) {
    ScopedFakeClock clock(2024, 4, 1, 10, 0);
    CTypingStopwatch sw;
    sw.Start();
    clock.Advance(5000);
    sw.RecordKeystroke('a', 'a');
    sw.Continue();  // not paused: nothing
    EXPECT_EQ(sw.GetPausedSeconds(), 0);
    sw.Pause();
    EXPECT_TRUE(sw.IsPaused());
    clock.Advance(30000);
    sw.Resume();
    EXPECT_FALSE(sw.IsPaused());
    EXPECT_EQ(sw.GetPausedSeconds(), 30);
    clock.Advance(2000);
    sw.RecordKeystroke('b', 'b');
    EXPECT_EQ(sw.GetTimeTable()['b'], 2000);
    EXPECT_EQ(sw.GetActiveSeconds(), 7);
    sw.Pause();
    clock.Advance(4000);
    sw.Continue();
    EXPECT_EQ(sw.GetPausedSeconds(), 34);
    EXPECT_FALSE(sw.IsPaused());
}

}  // namespace
