#include "Stats.h"

#include <gtest/gtest.h>

#include "platform/Clock.h"

namespace {

// A lesson record with keystrokes on a few characters: (character, keys, errors, ms).
struct CharCounts {
    char ch;
    int keys, errors, ms;
};

void Fill(CLessonTrack* t, int seconds, int keys, int errors, double speed,
          std::initializer_list<CharCounts> chars) {
    t->m_nSeconds = seconds;
    t->m_nKeys = keys;
    t->m_nErrors = errors;
    t->m_dSpeed = speed;
    t->m_dTopSpeed = speed * 2;
    t->m_nWords = keys / 5;
    for (const CharCounts& c : chars) {
        CCharTrack& slot = t->m_aCharTrack[static_cast<unsigned char>(c.ch)];
        slot.m_nKeys = c.keys;
        slot.m_nErrors = c.errors;
        slot.m_nTime = c.ms;
    }
}

WordTrack* Word(const char* word, int ms, bool mistyped) {
    WordTrack* w = CreateWordTrack(word);
    w->m_nCount = 1;
    w->m_nTime = ms;
    w->m_bMistyped = mistyped ? 1 : 0;
    return w;
}

class StatsTest : public ::testing::Test {
protected:
    void SetUp() override {
        {
            ScopedFakeClock yesterday(2025, 3, 3, 18, 30);
            lessons.AddNewTrack(1, 1, 11);
            Fill(lessons.GetLastTrack(), 60, 100, 10, 100.0, {{'a', 50, 0, 10000}});
        }
        ScopedFakeClock today(2025, 3, 4, 9, 15);
        lessons.AddNewTrack(2, 3, 22);
        Fill(lessons.GetLastTrack(), 30, 200, 20, 400.0,
             {{'a', 100, 1, 20000}, {'q', 10, 5, 9000}, {'z', 40, 0, 40000}, {' ', 50, 40, 99999}});
        lessons.AddNewTrack(2, 3, 99);
        Fill(lessons.GetLastTrack(), 30, 100, 0, 200.0, {});
        words.Add(Word("cat", 600, false));
        words.Add(Word("cat", 0, true));  // its time was never taken
        words.Add(Word("zebra", 2500, true));
        words.Add(Word("zebra", 0, true));
        words.Add(Word("a", 100, false));
    }

    CLessonTrackFile lessons;
    CWordTrackFile words;
    const std::map<unsigned short, std::string> names{{11, "home-row"}, {22, "numbers"}};
};

TEST_F(StatsTest, ADayWithoutATimedSecondHasNoSpeed) {
    ScopedFakeClock day(2025, 3, 5, 8, 0);
    lessons.AddNewTrack(1, 1, 11);  // begun, never typed: 0 seconds, 0 keys
    lessons.AddNewTrack(1, 1, 11);
    Fill(lessons.GetLastTrack(), 0, 40, 0, 0.0, {});  // keys, but no whole second
    const HistoryStats stats = ComputeStats(lessons, words, names);
    ASSERT_TRUE(stats.hasToday);
    EXPECT_EQ(stats.today.speed, 0);
    EXPECT_EQ(stats.today.wordSpeed, 0);
    EXPECT_EQ(stats.today.keys, 40);
}

TEST_F(StatsTest, NamesTheWeakestCharactersLeavingSpaceOutAndTheWeakestWords) {
    const HistoryStats stats = ComputeStats(lessons, words, names, 2);
    ASSERT_EQ(stats.slowest.size(), 2u);
    // Per correct keystroke: z 1000 ms, q 1800 ms, a 200 ms (30000 ms for 149 right).
    EXPECT_EQ(stats.slowest[0].character, "q");
    EXPECT_EQ(stats.slowest[1].character, "z");
    ASSERT_EQ(stats.leastAccurate.size(), 2u);
    EXPECT_EQ(stats.leastAccurate[0].character, "q");
    EXPECT_EQ(stats.leastAccurate[0].accuracy, 50);
    EXPECT_EQ(stats.leastAccurate[1].character, "a");
    EXPECT_EQ(stats.leastAccurate[1].keys, 150);
    EXPECT_EQ(stats.leastAccurate[1].msPerKey, 200);

    // Words: the most mistyped, and the slowest over their timed attempts.
    ASSERT_EQ(stats.mostMistyped.size(), 2u);
    EXPECT_EQ(stats.mostMistyped[0].word, "zebra");
    EXPECT_EQ(stats.mostMistyped[0].mistyped, 2);
    EXPECT_EQ(stats.mostMistyped[0].typed, 2);
    EXPECT_EQ(stats.mostMistyped[1].word, "cat");
    ASSERT_EQ(stats.slowestWords.size(), 2u);  // of three timed words, as many as asked for
    EXPECT_EQ(stats.slowestWords[0].word, "zebra");
    EXPECT_EQ(stats.slowestWords[0].msPerChar, 500);  // only the timed attempt counts
    EXPECT_EQ(stats.slowestWords[1].word, "cat");
    EXPECT_EQ(stats.slowestWords[1].msPerChar, 200);
}

// Every lesson by its name and figures, today's sum, and the weakest word, as text and JSON.
TEST_F(StatsTest, WritesTextAndJson) {
    ScopedFakeClock now(2025, 3, 4, 12, 0);
    const HistoryStats stats = ComputeStats(lessons, words, names, 1);
    const std::string text = FormatStatsText(stats);
    EXPECT_NE(text.find("  2025-03-03 18:30  home-row      letter   1:00   100   200   20   20"
                        "       90%\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(stats.lessons.at(2).lesson, "lesson 2");  // a tag whose name is not known
    // 300 keys in the 60 s of today's two lessons.
    EXPECT_NE(text.find("Today: 1:00 typing, 300 keystrokes, 300 cpm (60 wpm, net 60), 93% "
                        "accurate"),
              std::string::npos)
        << text;
    EXPECT_EQ(stats.today.errors, 20);
    const std::string json = FormatStatsJson(stats);
    EXPECT_NE(json.find("{\"date\": \"2025-03-04 09:15\", \"lesson\": \"numbers\", \"method\": "
                        "\"match\", \"seconds\": 30, \"cpm\": 400, \"top_cpm\": 800, \"wpm\": 80, "
                        "\"keys\": 200, \"errors\": 20, \"accuracy\": 90, \"words\": 40, "
                        "\"wrong_words\": 0, \"net_wpm\": 80, \"consistency\": -1}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"most_mistyped_words\": [{\"word\": \"zebra\", \"typed\": 2, "
                        "\"mistyped\": 2, \"ms_per_char\": 500}]"),
              std::string::npos)
        << json;
    EXPECT_EQ(FormatStatsText(HistoryStats{}), "No lessons yet. Type one with: typetutor LESSON\n");

    ScopedFakeClock later(2025, 3, 9, 12, 0);
    EXPECT_FALSE(ComputeStats(lessons, words, names).hasToday);
}

}  // namespace
