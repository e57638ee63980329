// The end-of-lesson summary both front ends show, from a finished lesson and the history.
#include "Summary.h"

#include <gtest/gtest.h>

#include "platform/Clock.h"

namespace {

constexpr int kTop = 5;

// (character, keys, errors, ms) of a lesson record.
struct CharCounts {
    char ch;
    int keys, errors, ms;
};

CLessonTrack* AddLesson(CLessonTrackFile& lessons, std::initializer_list<CharCounts> chars) {
    lessons.AddNewTrack(1, 1, 7);
    CLessonTrack* t = lessons.GetLastTrack();
    for (const CharCounts& c : chars) {
        CCharTrack& slot = t->m_aCharTrack[static_cast<unsigned char>(c.ch)];
        slot.m_nKeys = c.keys;
        slot.m_nErrors = c.errors;
        slot.m_nTime = c.ms;
        t->m_nKeys += c.keys;
        t->m_nErrors += c.errors;
    }
    return t;
}

// Keys typed right, each gapMs after the one before.
LoggedLesson KeysOf(const std::string& text, std::uint32_t gapMs) {
    LoggedLesson lesson;
    std::uint32_t ms = 0;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        lesson.keys.push_back({ms, byte, byte, false});
        ms += gapMs;
    }
    return lesson;
}

const SummarySection* Find(const LessonSummary& summary, const std::string& headingStart) {
    for (const SummarySection& s : summary.sections) {
        if (s.heading.rfind(headingStart, 0) == 0) {
            return &s;
        }
    }
    return nullptr;
}

class SummaryTest : public ::testing::Test {
protected:
    void SetUp() override {
        record = AddLesson(lessons, {{'e', 20, 0, 4000}, {'q', 10, 5, 9000}, {'\xE9', 4, 1, 800}});
        keys = KeysOf("abc", 100);
        keys.Identify(*record);
        lesson.record = record;
        lesson.words = &words;
        lesson.keys = &keys;
    }

    ScopedFakeClock clock{2025, 3, 4, 9, 0};
    CLessonTrackFile lessons;
    CWordTrackFile words;
    CLessonTrack* record = nullptr;
    LoggedLesson keys;
    FinishedLesson lesson;
};

TEST_F(SummaryTest, FiguresKeepTheirWordsAndShowNetSpeedAndConsistency) {
    lesson.figures = {125, 4, 9, 1, 89, 0, 180, 240, 0, 36, 48, 7, 1, 86, 31, 73};
    const std::vector<std::string> expected = {
        "Time        2:05 (paused 4 s)", "Speed       180 cpm, 36 wpm (top 240 cpm, 48 wpm)",
        "Keystrokes  9, 1 wrong: 89% accurate", "Words       7, 1 wrong: 86% accurate",
        "Net speed   31 wpm; consistency 73%"};
    EXPECT_EQ(SummarizeLesson(lesson, lessons, KeyLog{}, kTop).figures, expected);
    lesson.figures.consistency = -1;  // fewer than two intervals
    EXPECT_EQ(SummarizeLesson(lesson, lessons, KeyLog{}, kTop).figures.back(),
              "Net speed   31 wpm; consistency -");
}

// The lesson's own weakest keys and words, padded by characters, not bytes.
TEST_F(SummaryTest, TheLessonsWeakestKeysAndMistypedWords) {
    WordTrack* word = CreateWordTrack("queen");
    word->m_nCount = 1;
    word->m_bMistyped = 1;
    words.Add(word);
    const LessonSummary summary = SummarizeLesson(lesson, lessons, KeyLog{}, 2);
    ASSERT_GE(summary.sections.size(), 3u);
    EXPECT_EQ(summary.sections[0].heading, "Slowest keys");
    // q by its 1800 ms a right keystroke, shown as 900 ms a keystroke.
    EXPECT_EQ(summary.sections[0].rows,
              (std::vector<std::string>{"q        900 ms", "\xC3\xA9        200 ms"}));
    EXPECT_EQ(summary.sections[1].heading, "Least accurate keys");
    EXPECT_EQ(summary.sections[1].rows,
              (std::vector<std::string>{"q        50% of 10", "\xC3\xA9        75% of 4"}));
    EXPECT_EQ(summary.sections[2].heading, "Mistyped words");
    EXPECT_EQ(summary.sections[2].rows, std::vector<std::string>{"queen"});

    lesson.words = nullptr;
    const LessonSummary noWords = SummarizeLesson(lesson, lessons, KeyLog{}, 2);
    const SummarySection* none = Find(noWords, "Mistyped");
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->rows, std::vector<std::string>{"none"});
}

// The pairs are this lesson's with the newest logged before it; the heading says which, and the
// lesson is counted once whether or not the log took its keys.
TEST_F(SummaryTest, SlowestPairsOverThisAndTheRecentLessons) {
    keys = KeysOf("then", 300);  // t-h once here; twice in an earlier lesson makes three
    keys.Identify(*record);
    LoggedLesson earlier = KeysOf("thxth", 300);
    KeyLog justEarlier;
    justEarlier.lessons = {earlier};
    KeyLog withThis = justEarlier;
    withThis.lessons.push_back(keys);
    KeyLog many;
    many.lessons.assign(25, earlier);

    struct Case {
        const char* name;
        const KeyLog* log;
        const char* heading;
        std::vector<std::string> rows;
    } const cases[] = {
        {"nothing logged", nullptr, "Slowest letter pairs, this lesson", {"none"}},
        {"keys not logged",
         &justEarlier,
         "Slowest letter pairs, last 2 lessons",
         {"th       300 ms"}},
        {"keys logged", &withThis, "Slowest letter pairs, last 2 lessons", {"th       300 ms"}},
        {"a long log",
         &many,
         "Slowest letter pairs, last 20 lessons",
         {"hx       300 ms", "th       300 ms", "xt       300 ms"}},
    };
    for (const Case& c : cases) {
        const LessonSummary summary =
            SummarizeLesson(lesson, lessons, c.log ? *c.log : KeyLog{}, 3);
        const SummarySection* pairs = Find(summary, "Slowest letter pairs");
        ASSERT_NE(pairs, nullptr) << c.name;
        EXPECT_EQ(pairs->heading, c.heading) << c.name;
        EXPECT_EQ(pairs->rows, c.rows) << c.name;
    }
}

// Each weak key against the lessons before the last seven days.
TEST_F(SummaryTest, WeakestKeysAgainstAWeekAgo) {
    CLessonTrackFile history;
    {
        ScopedFakeClock tenDaysAgo(2025, 2, 22, 9, 0);
        AddLesson(history, {{'a', 100, 0, 10000}, {'q', 20, 10, 4000}});
    }
    AddLesson(history, {{'a', 100, 0, 10000}, {'q', 20, 2, 4000}, {'x', 10, 5, 3000}});
    const LessonSummary summary = SummarizeLesson(lesson, history, KeyLog{}, kTop);
    const SummarySection* changes = Find(summary, "Weakest keys against a week ago");
    ASSERT_NE(changes, nullptr);
    ASSERT_EQ(changes->rows.size(), 2u);
    EXPECT_EQ(changes->rows[0].substr(0, 7), "x      ");
    EXPECT_NE(changes->rows[0].find("new this week"), std::string::npos) << changes->rows[0];
    EXPECT_EQ(changes->rows[1].substr(0, 7), "q      ");
    EXPECT_NE(changes->rows[1].find("was"), std::string::npos) << changes->rows[1];
    EXPECT_EQ(changes->rows[1].find("new this week"), std::string::npos) << changes->rows[1];
}

}  // namespace
