// Practice lessons from a history with known weak keys and words.
#include "Practice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "Profile.h"
#include "platform/Clock.h"
#include "support/TestFiles.h"

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

// A German list: capitals, words too short or too long, and a Polish word are left out; a word
// with a combining mark is composed. In Windows-1252: \xE4 \xF6 \xFC \xDF are ä ö ü ß.
TEST(PracticeWordList, GermanWordsInWindows1252WithTheirUmlautsAndTheWeakUmlautInFocus) {
    SetCurrentCodePage(CodePage::Western());
    TempDir dir;
    WriteText(dir.File("ngerman"),
              "stra\u00dfe\n\u00fcber\nsch\u00f6n\nm\u00e4dchen\nmu\u0308de\nb\u00f6se\n"
              "\u00f6l\nh\u00f6ren\nl\u00f6ffel\nk\u00f6nig\nv\u00f6gel\nhaus\nZug\n\u00c4pfel\n"
              "x\ndonaudampfschiff\n\u0142\u00f3d\u017a\nm\u00f6glich\n");
    const WordList list = LoadWordList(dir.File("ngerman"), "German", CodePage::Western());
    std::vector<std::string> shown;
    for (const std::string& w : list.words) {
        shown.push_back(CodePage::Western().ToUtf8(w));
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"böse", "haus", "hören", "könig", "löffel",
                                               "mädchen", "möglich", "müde", "schön", "straße",
                                               "vögel", "öl", "über"}));
    EXPECT_EQ(list.source, dir.File("ngerman"));

    // \xF6 (ö) mistyped most, its capital \xD6 counting with it.
    CLessonTrackFile lessons;
    lessons.AddNewTrack(1, 1, 7);
    CLessonTrack* t = lessons.GetLastTrack();
    for (unsigned char c : std::string("abcdefghilmnorstu\xE4\xF6\xFC\xDF\xD6")) {
        t->m_aCharTrack[c].m_nKeys = 50;
        t->m_aCharTrack[c].m_nErrors = c == 0xF6 || c == 0xD6 ? 15 : 1;
        t->m_aCharTrack[c].m_nTime = 50 * 200;
    }
    const KeyRanking ranking = RankKeys(AllLessons(lessons));
    EXPECT_EQ(ranking.Find('\xF6')->keys, 100) << "the capital counts with its letter";
    const PracticeLesson lesson = BuildPractice(ranking, {}, list, 5, "");
    EXPECT_EQ(lesson.focus.rfind("focus: \xF6 ", 0), 0u) << lesson.focus;
    EXPECT_GT(ShareOf(lesson.words, "\xF6"), ShareOf(list.words, "\xF6"));
    for (const std::string& w : lesson.words) {
        EXPECT_TRUE(std::binary_search(list.words.begin(), list.words.end(), w)) << w;
    }
    EXPECT_EQ(BuildPractice(ranking, {}, list, 5, "").text, lesson.text);
    EXPECT_EQ(BuildPractice(ranking, {}, list, 1, "\xDC").focus.rfind("focus: \xFC ", 0), 0u)
        << "\u00dc is \u00fc";
}

// Debian has no Russian list: a Russian profile, on a Russian keyboard or on a US one, practises
// the words of the bundled Russian lessons, every letter Cyrillic in Windows-1251.
TEST(PracticeWordList, RussianProfileTakesCyrillicWordsOfTheBundledLessons) {
    const CodePage& cyrillic = *CodePage::Find("Windows-1251");
    for (const char* layout : {"ru", "us"}) {
        Profile profile;
        profile.page = &cyrillic;
        profile.layout = layout;
        const WordList list = LoadWordList(profile);
        EXPECT_GE(list.words.size(), 20u) << layout;
        EXPECT_NE(list.source.find("Russian"), std::string::npos) << list.source;
        for (const std::string& w : list.words) {
            for (unsigned char c : w) {
                EXPECT_TRUE(cyrillic.ToUnicode(c) >= 0x430 && cyrillic.ToUnicode(c) <= 0x45F)
                    << layout << ": " << cyrillic.ToUtf8(w);
            }
        }
    }
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
    t->m_aCharTrack['b'].m_nErrors = 5;  // 5 % is still learned
    const KeyRanking ranking = RankKeys(AllLessons(lessons));
    ASSERT_GE(ranking.keys.size(), 2u);
    EXPECT_EQ(ranking.keys[0].key, 'k');
    EXPECT_LT(ranking.Find('j')->errorRate, ranking.Find('k')->errorRate);
    EXPECT_FALSE(ranking.Find('j')->learned);  // one keystroke teaches nothing
    EXPECT_TRUE(ranking.Find('a')->learned);
    EXPECT_TRUE(ranking.Find('b')->learned);
}

// A word both mistyped and slow is drilled once, as a mistyped one; a one-letter word never.
TEST(PracticeRanking, AWeakWordIsRankedOnceAndALetterAloneNever) {
    CWordTrackFile words;
    const struct {
        const char* word;
        int ms;
        BYTE mistyped;
    } records[] = {{"quiz", 4000, 1}, {"lazy", 2000, 0}, {"a", 3000, 0}};
    for (const auto& r : records) {
        WordTrack* record = CreateWordTrack(r.word);
        record->m_nCount = 1;
        record->m_nTime = r.ms;
        record->m_bMistyped = r.mistyped;
        words.Add(record);
    }
    std::vector<std::string> ranked;
    for (const WordRow& w : RankWords(words, 7)) {
        ranked.push_back(w.word);
    }
    EXPECT_EQ(ranked, (std::vector<std::string>{"quiz", "lazy"}));
}

}  // namespace
