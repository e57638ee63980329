#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Article/TypeArtSession.h"
#include "Article/TypingLog.h"
#include "platform/Clock.h"

namespace {

using ::testing::ElementsAre;
using typeart_test::Lesson;

// ---- Word counts and accuracy -------------------------------------------------------------

TEST(TypeArtWordFigures, WordsAreWrongUntilTheyMatchTheirReference) {
    const struct {
        const char* name;
        const char* text;
        bool layout;
        const char* keys;
        int typed, wrong, accuracy;
    } cases[] = {
        {"one wrong of three", "one two three", true, "one twx three", 3, 1, 67},  // 66.67
        {"unfinished word", "say hi.", true, "say hi", 2, 1, 50},
        {"punctuation included", "say hi.", true, "say hi.", 2, 0, 100},
        // Both letters typed were right; code 3 stands in the place of the t.
        {"space before the end", "cat dog", true, "ca  dog", 2, 1, 50},
        {"corrected word, unfinished dog", "cat dog", true, "cx\bat d", 2, 1, 50},
        {"fresh session, empty first word", "one two", true, "", 1, 1, 0},
        {"before the first Recalculate", "one two", false, "", 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Lesson lesson(c.text, tdByLetter, c.layout);
        lesson.Type(c.keys);
        EXPECT_EQ(lesson.typing->GetTypedWordCount(), c.typed);
        EXPECT_EQ(lesson.typing->GetWrongWordCount(), c.wrong);
        EXPECT_EQ(lesson.typing->GetWordAccuracy(), c.accuracy);
    }
}

// ---- Word records -------------------------------------------------------------------------

// A token without a word ("...") is begun but gets no record.
TEST(TypeArtAddWordTracks, OneRecordPerBegunTokenInOrder) {
    CWordTrackFile file;
    Lesson lesson("(one) two, ... three four");
    lesson.Type("(onx) two, ... th");
    ASSERT_EQ(lesson.typing->GetTypedWordCount(), 4);
    ASSERT_TRUE(lesson.typing->AddWordTracks(&file));
    ASSERT_EQ(file.GetWordCount(), 3);
    std::vector<std::string> words;
    for (int i = 0; i < 3; ++i) {
        words.push_back(file.GetWordTrack(i)->m_szWord);
        EXPECT_EQ(file.GetWordTrack(i)->m_nCount, 1);
    }
    EXPECT_THAT(words, ElementsAre("one", "two", "three"));
    EXPECT_EQ(file.GetWordTrack(0)->m_bMistyped, 1);
    EXPECT_EQ(file.GetWordTrack(0)->m_wErrors, 1);
    EXPECT_EQ(file.GetWordTrack(1)->m_bMistyped, 0);
    EXPECT_EQ(file.GetWordTrack(1)->m_wErrors, 0);
    // A second call adds fresh records.
    ASSERT_TRUE(lesson.typing->AddWordTracks(&file));
    EXPECT_EQ(file.GetWordCount(), 6);
}

// A replayed lesson with known key times: each key comes the given milliseconds after the one
// before. The third word is left, stepped back into, corrected and left again.
TEST(TypeArtAddWordTracks, WordTimesOffOnlyAtTheTextEndOnAtEveryWordsEnd) {
    using typeart_test::kBack;
    const struct {
        char key;
        int ms;
    } kKeys[] = {{'o', 100}, {'n', 200}, {'e', 200},   {' ', 300},   {'t', 200},
                 {'w', 200}, {'o', 200}, {'\n', 400},  {'s', 100},   {'i', 100},
                 {'x', 100}, {' ', 100}, {kBack, 500}, {kBack, 100}, {'x', 100},
                 {' ', 100}, {'e', 200}, {'n', 200},   {'d', 200}};
    const struct {
        BOOL on;
        std::vector<int> times;
    } kCases[] = {
        {FALSE, {0, 0, 1200, 600}},
        // one: from its first key to the space; two: from that space to Enter; six: from Enter
        // to the space that left it the second time, the detour included.
        {TRUE, {700, 1000, 1200, 600}},
    };
    for (const auto& c : kCases) {
        ScopedFakeClock clock(2024, 2, 3, 8, 15, 0);
        Lesson lesson("one two\nsix end");
        EXPECT_FALSE(lesson.typing->GetTimeEveryWord());
        lesson.typing->SetTimeEveryWord(c.on);
        for (const auto& k : kKeys) {
            clock.Advance(k.ms);
            lesson.Type(std::string(1, k.key));
        }
        CWordTrackFile file;
        ASSERT_TRUE(lesson.typing->AddWordTracks(&file));
        std::vector<int> times;
        for (int i = 0; i < file.GetWordCount(); ++i) {
            times.push_back(file.GetWordTrack(i)->m_nTime);
        }
        EXPECT_EQ(times, c.times) << "word times " << (c.on ? "on" : "off");
    }
}

}  // namespace
