// Practice lessons from a history with known weak keys and words.
#include "Practice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "platform/Clock.h"

namespace {

// Real words, a few of them with x, q or z.
constexpr const char* kList =
    "about after again air also animal answer area away back base because been before begin "
    "best better between big black body book both box boy bring build call came can car care "
    "carry change city close cold come could country cut day deep did different does dog done "
    "door down draw during each early earth east easy eat end even every eye face fact family "
    "far farm fast father feel few field find fine fire first fish five follow food foot form "
    "found four free friend from full game gave girl give going gold good got great green "
    "ground group grow half hand hard have head hear heard help here high hold home horse hot "
    "house idea inch keep kind king knew know land large last late learn leave left less let "
    "letter life light line list little live long look made main make man many map mark may "
    "mean men might mile mind miss money moon more most mother move much music must name near "
    "need never new night north note now number object often old once only open order other "
    "our over page paper part pass people picture place plan plant play point power press "
    "quiet quite queen quick quiz equal squad extra next text six fox exam zero zone lazy size "
    "prize maze";

// Every letter typed 40 times a lesson at 200 ms with one miss; x and q mistyped often, z slow.
void FillWeakHistory(CLessonTrackFile& lessons) {
    for (int day = 1; day <= 10; ++day) {
        ScopedFakeClock clock(2025, 5, day, 9, 0);
        lessons.AddNewTrack(1, 1, 7);
        CLessonTrack* t = lessons.GetLastTrack();
        for (char c = 'a'; c <= 'z'; ++c) {
            CCharTrack& slot = t->m_aCharTrack[static_cast<unsigned char>(c)];
            slot.m_nKeys = 40;
            slot.m_nErrors = c == 'x' || c == 'q' ? 12 : 1;
            slot.m_nTime = c == 'z' ? 40 * 600 : 40 * 200;
        }
    }
}

std::vector<std::string> Split(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) {
        words.push_back(w);
    }
    return words;
}

double ShareOf(const std::vector<std::string>& words, const std::string& keys) {
    size_t letters = 0;
    size_t hits = 0;
    for (const std::string& w : words) {
        letters += w.size();
        hits += static_cast<size_t>(std::count_if(
            w.begin(), w.end(), [&keys](char c) { return keys.find(c) != std::string::npos; }));
    }
    return letters ? static_cast<double>(hits) / static_cast<double>(letters) : 0;
}

class PracticeTest : public ::testing::Test {
protected:
    void SetUp() override {
        FillWeakHistory(lessons);
        list.words = Split(kList);
        list.common = list.words;
        for (const char* w : {"equinox", "quiz", "jazz"}) {
            WordTrack* record = CreateWordTrack(w);
            record->m_nCount = 1;
            record->m_bMistyped = 1;
            words.Add(record);
        }
    }

    PracticeLesson Build(unsigned seed) {
        return BuildPractice(RankKeys(AllLessons(lessons)), RankWords(words, 7), list, seed, "");
    }

    CLessonTrackFile lessons;
    CWordTrackFile words;
    WordList list;
};

TEST_F(PracticeTest, DrillsTheWeakKeysFromListAndWeakWordsTheSameForTheSameSeed) {
    const PracticeLesson lesson = Build(42);
    EXPECT_EQ(lesson.focus.rfind("focus: q 7", 0), 0u) << lesson.focus;  // q and x about 72%
    EXPECT_NE(lesson.focus.find("slow: z"), std::string::npos) << lesson.focus;
    EXPECT_NE(lesson.focus.find("words: equinox, jazz, quiz"), std::string::npos) << lesson.focus;

    EXPECT_GE(lesson.words.size(), 55u);
    EXPECT_LE(lesson.words.size(), 65u);
    EXPECT_GE(ShareOf(lesson.words, "xqz"), 3 * ShareOf(list.words, "xqz"));
    const std::set<std::string> allowed(list.words.begin(), list.words.end());
    for (size_t i = 0; i < lesson.words.size(); ++i) {
        const std::string& w = lesson.words[i];
        EXPECT_TRUE(allowed.count(w) || w == "equinox" || w == "jazz") << w;
        EXPECT_TRUE(i == 0 || w != lesson.words[i - 1]) << "twice in a row: " << w;
    }
    EXPECT_EQ(Split(lesson.text), lesson.words);
    EXPECT_EQ(Build(42).text, lesson.text);
    EXPECT_NE(Build(43).text, lesson.text);
}

TEST_F(PracticeTest, FocusKeysNamedByTheLearnerReplaceTheRanking) {
    const PracticeLesson lesson = BuildPractice(RankKeys(AllLessons(lessons)), {}, list, 1, "Mp");
    EXPECT_EQ(lesson.focus, "focus: m 97%, p 97%");
    EXPECT_GE(ShareOf(lesson.words, "mp"), 2 * ShareOf(list.words, "mp"));
}

// One miss in one keystroke says little; twenty in a hundred says the key is weak.
TEST(PracticeRanking, SmoothingKeepsOneMissInOneKeystrokeBelowTwentyInAHundred) {
    CLessonTrackFile lessons;
    lessons.AddNewTrack(1, 1, 7);
    CLessonTrack* t = lessons.GetLastTrack();
    for (char c = 'a'; c <= 'z'; ++c) {
        t->m_aCharTrack[static_cast<unsigned char>(c)] = CCharTrack(c);
        t->m_aCharTrack[static_cast<unsigned char>(c)].m_nKeys = 100;
        t->m_aCharTrack[static_cast<unsigned char>(c)].m_nErrors = 2;
        t->m_aCharTrack[static_cast<unsigned char>(c)].m_nTime = 100 * 200;
    }
    t->m_aCharTrack['j'].m_nKeys = 1;
    t->m_aCharTrack['j'].m_nErrors = 1;
    t->m_aCharTrack['j'].m_nTime = 200;
    t->m_aCharTrack['k'].m_nErrors = 20;
    const KeyRanking ranking = RankKeys(AllLessons(lessons));
    ASSERT_GE(ranking.keys.size(), 2u);
    EXPECT_EQ(ranking.keys[0].key, 'k');
    EXPECT_LT(ranking.Find('j')->errorRate, ranking.Find('k')->errorRate);
    EXPECT_FALSE(ranking.Find('j')->learned);  // one keystroke teaches nothing
    EXPECT_TRUE(ranking.Find('a')->learned);
}

}  // namespace
