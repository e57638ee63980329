// A lesson from the host's side, from the lesson text to the two saved history files and back.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Article/TypeArtSession.h"
#include "Article/TypingLog.h"
#include "platform/Clock.h"
#include "support/TestFiles.h"

namespace {

using ::testing::ElementsAre;
using typeart_test::Drawn;
using typeart_test::kRefPaper;
using typeart_test::kTypePaper;
using typeart_test::SameRect;

constexpr const char* kLessonText = "Big cat\nran far.";
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// Cells of 10 x 20; the line gap is 20 * 0.25 = 5.
LOGFONTA LessonFont() {
    LOGFONTA lf{};
    lf.lfHeight = 20;
    lf.lfWidth = 10;
    return lf;
}

std::vector<Drawn> TakeOutputs(FixedPitchDC& dc) {
    std::vector<Drawn> drawn = typeart_test::Outputs(dc);
    dc.ClearOutputs();
    return drawn;
}

RECT CaretOf(TypeArticle* typing, CDC* dc) {
    RECT rc{};
    typing->GetCaretRect(dc, &rc);
    return rc;
}

TEST(LessonRecord, TypedLessonReopensWithTheSameFigures) {
    TempDir dir;
    const std::string lessonsPath = dir.File("lessons.dat");
    const std::string wordsPath = dir.File("words.dat");
    ScopedFakeClock clock(2024, 6, 10, 9, 30, 0);
    FixedPitchDC dc;

    // 1. The facade builds both articles.
    ArticleFile file;
    ASSERT_TRUE(file.Create(kLessonText, TRUE, tdByLetter));
    Article* ref = file.GetArt();
    TypeArticle* typing = file.GetTypeArt();
    ASSERT_NE(typing, nullptr);

    // 2. Papers and fonts; the reference is laid out first.
    const LOGFONTA lf = LessonFont();
    ref->SetPaperRect(&kRefPaper);
    ref->SetFont(&lf);
    ASSERT_TRUE(ref->Recalculate(&dc));
    typing->SetPaperRect(&kTypePaper);
    typing->SetFont(&lf);
    ASSERT_TRUE(typing->Recalculate(&dc));
    EXPECT_EQ(typing->GetLineCount(), 2);
    EXPECT_EQ(typing->GetLinePitch(), 25);

    // 3. The reference is drawn with the current token in blue; a lesson record begins; the
    // clock starts.
    ref->SetHighlightCurrent(TRUE);
    ASSERT_TRUE(ref->Draw(&dc, &kRefPaper));
    EXPECT_THAT(TakeOutputs(dc),
                ElementsAre(Drawn{0, 0, "Big", kBlue}, Drawn{41, 0, "cat", kBlack},
                            Drawn{0, 25, "ran", kBlack}, Drawn{41, 25, "far.", kBlack}));
    CLessonTrackFile lessons;
    ASSERT_TRUE(lessons.AddNewTrack(3, 7, 0x1234));
    typing->StartTyping();

    // 4. The keystrokes, with their times in milliseconds after the start.
    auto key = [&](int atMs, char c) {
        clock.Set(2024, 6, 10, 9, 30, atMs / 1000, atMs % 1000);
        return typing->TypeChar(c);
    };
    EXPECT_EQ(key(500, 'B'), 1);
    EXPECT_EQ(key(1000, 'i'), 1);
    EXPECT_EQ(key(1500, 'q'), 2);
    typing->RedrawLastWord(&dc, 1);
    EXPECT_THAT(TakeOutputs(dc),
                ElementsAre(Drawn{10, 300, "B", kTypedGrey}, Drawn{20, 300, "i", kTypedGrey},
                            Drawn{30, 300, "q", kTypedRed}));
    EXPECT_TRUE(SameRect(CaretOf(typing, &dc), RECT{40, 300, 50, 320}));
    clock.Set(2024, 6, 10, 9, 30, 1, 700);
    EXPECT_TRUE(typing->BackSpace());
    EXPECT_EQ(key(2000, 'g'), 1);
    EXPECT_EQ(key(2500, ' '), 1);
    EXPECT_EQ(key(3000, 'c'), 1);
    EXPECT_EQ(key(3500, 'a'), 1);
    EXPECT_EQ(key(4000, 't'), 1);
    // A pause of 30 seconds.
    clock.Set(2024, 6, 10, 9, 30, 4, 200);
    typing->PauseTyping();
    clock.Set(2024, 6, 10, 9, 30, 34, 200);
    typing->ResumeTyping();
    EXPECT_EQ(key(34500, '\n'), 1);
    EXPECT_EQ(dynamic_cast<Art*>(ref)->GetCurrentToken(), 2);
    EXPECT_TRUE(SameRect(CaretOf(typing, &dc), RECT{10, 325, 20, 345}));
    EXPECT_EQ(key(35000, 'r'), 1);
    EXPECT_EQ(key(35500, 'u'), 2);
    EXPECT_EQ(key(36000, 'n'), 1);
    EXPECT_EQ(key(36500, ' '), 1);
    EXPECT_EQ(key(37000, 'f'), 1);
    EXPECT_EQ(key(37250, 'a'), 1);
    EXPECT_EQ(key(37750, 'r'), 1);
    EXPECT_EQ(key(38250, '.'), 1);
    EXPECT_EQ(typing->GetCaretChar(), static_cast<char>(0xFF));

    // The session's figures: 17 keystrokes, 2 wrong; 38 s to the last key less 30 paused;
    // 17 * 60 / 8 = 127.5 a minute; the 250 ms gap was the fastest; run for ran is wrong.
    EXPECT_EQ(typing->GetKeyCount(), 17);
    EXPECT_EQ(typing->GetErrorCount(), 2);
    EXPECT_EQ(typing->GetPausedSeconds(), 30);
    EXPECT_EQ(typing->GetActiveSeconds(), 8);
    EXPECT_EQ(typing->GetSpeed(), 128);
    EXPECT_EQ(typing->GetTopSpeed(), 240);
    EXPECT_EQ(typing->GetCurSpeed(), 120);
    EXPECT_EQ(typing->GetAccuracy(), 88);  // 15 / 17
    EXPECT_EQ(typing->GetTypedWordCount(), 4);
    EXPECT_EQ(typing->GetWrongWordCount(), 1);
    EXPECT_EQ(typing->GetWordAccuracy(), 75);
    EXPECT_EQ(typing->GetWordSpeed(), 26);  // 25.6
    EXPECT_EQ(typing->GetTopWordSpeed(), 48);
    EXPECT_EQ(typing->GetCurWordSpeed(), 24);

    // 5. The records, saved and read back into new objects.
    CWordTrackFile words;
    ASSERT_TRUE(typing->FillLessonTrack(&lessons));
    ASSERT_TRUE(typing->AddWordTracks(&words));
    ASSERT_TRUE(lessons.Save(lessonsPath.c_str()));
    ASSERT_TRUE(words.Save(wordsPath.c_str()));

    CLessonTrackFile lessonsAgain;
    CWordTrackFile wordsAgain;
    ASSERT_TRUE(lessonsAgain.Open(lessonsPath.c_str()));
    ASSERT_TRUE(wordsAgain.Open(wordsPath.c_str()));

    ASSERT_EQ(lessonsAgain.GetLessonCount(), 1);
    const CLessonTrack* track = lessonsAgain.GetLessonTrack(0);
    EXPECT_EQ(track->m_wYear, 2024);
    EXPECT_EQ(track->m_wMonth, 6);
    EXPECT_EQ(track->m_wDay, 10);
    EXPECT_EQ(track->m_wHour, 9);
    EXPECT_EQ(track->m_wMinute, 30);
    EXPECT_EQ(track->m_byLessonId1, 3);
    EXPECT_EQ(track->m_byLessonId2, 7);
    EXPECT_EQ(track->m_wLessonTag, 0x1234);
    EXPECT_EQ(track->m_nSeconds, 8);
    EXPECT_EQ(track->m_nKeys, 17);
    EXPECT_EQ(track->m_nErrors, 2);
    EXPECT_EQ(track->m_dSpeed, 128.0);
    EXPECT_EQ(track->m_dTopSpeed, 240.0);
    EXPECT_EQ(track->m_nWords, 4);
    EXPECT_EQ(track->m_nWordErrors, 1);

    // Each slot counts the keystrokes made while its character was expected, and the gaps
    // that ended in them.
    struct Slot {
        char ch;
        int keys;
        int errors;
        int time;
    };
    const Slot slots[] = {{'B', 1, 0, 500},  {'i', 1, 0, 500},  {'g', 2, 1, 1000},
                          {' ', 2, 0, 1000}, {'c', 1, 0, 500},  {'a', 3, 1, 1250},
                          {'t', 1, 0, 500},  {'\n', 1, 0, 500}, {'r', 2, 0, 1000},
                          {'n', 1, 0, 500},  {'f', 1, 0, 500},  {'.', 1, 0, 500}};
    int keysInSlots = 0;
    for (const Slot& s : slots) {
        const CCharTrack& slot = track->m_aCharTrack[static_cast<unsigned char>(s.ch)];
        EXPECT_EQ(slot.m_chChar, s.ch);
        EXPECT_EQ(slot.m_nKeys, s.keys) << s.ch;
        EXPECT_EQ(slot.m_nErrors, s.errors) << s.ch;
        EXPECT_EQ(slot.m_nTime, s.time) << s.ch;
        keysInSlots += s.keys;
    }
    EXPECT_EQ(keysInSlots, 17);  // no other slot has keystrokes
    EXPECT_EQ(track->GetCharTrackCount(TRUE), 12);

    // One word record per token: only the timers stopped at the end of the text ran, and only
    // ran was left with a mistake (Big was corrected).
    ASSERT_EQ(wordsAgain.GetWordCount(), 4);
    struct Word {
        const char* word;
        int time;
        int mistyped;
    };
    const Word expected[] = {{"Big", 0, 0}, {"cat", 0, 0}, {"ran", 2000, 1}, {"far", 1750, 0}};
    for (int i = 0; i < 4; ++i) {
        const WordTrack* w = wordsAgain.GetWordTrack(i);
        EXPECT_STREQ(w->m_szWord, expected[i].word);
        EXPECT_EQ(w->m_nTime, expected[i].time) << i;
        EXPECT_EQ(w->m_wAttemptTime, expected[i].time) << i;
        EXPECT_EQ(w->m_nCount, 1) << i;
        EXPECT_EQ(w->m_bMistyped, expected[i].mistyped) << i;
        EXPECT_EQ(w->m_wErrors, expected[i].mistyped) << i;
    }

    // The day's sum of the lesson, and its weakest characters first.
    CLessonTrack sum;
    EXPECT_TRUE(lessonsAgain.GetTrackSum(&sum, 3, 7, 10));
    EXPECT_EQ(sum.m_nKeys, 17);
    EXPECT_EQ(sum.m_nSeconds, 8);
    EXPECT_EQ(sum.m_dSpeed, 127.5);
    EXPECT_EQ(sum.m_nWords, 4);
    EXPECT_EQ(sum.m_aCharTrack['a'].m_nKeys, 3);
    CLessonTrack notEnough;
    EXPECT_FALSE(lessonsAgain.GetTrackSum(&notEnough, 3, 7, 18));

    const int n = track->GetCharTrackCount(FALSE);
    ASSERT_EQ(n, 10);  // without the space and the line feed
    std::vector<CCharTrack> chars(static_cast<size_t>(n));
    track->RetrieveCharTrack(chars.data(), n, FALSE);
    SortCharTrack(chars.data(), n, scByAccuracy);
    EXPECT_EQ(chars[0].m_chChar, 'g');  // 1 of 2 right
    EXPECT_EQ(chars[1].m_chChar, 'a');  // 2 of 3 right
    SortCharTrack(chars.data(), n, scBySpeed);
    EXPECT_EQ(chars[0].m_chChar, 'g');  // 1 right in 1000 ms
    EXPECT_EQ(chars[1].m_chChar, 'a');  // 2 right in 1250 ms
}

TEST(LessonRecord, FreeTypingRecordsWordsButNoKeystrokes) {
    ScopedFakeClock clock(2024, 6, 10, 9, 30, 0);
    FixedPitchDC dc;
    ArticleFile file;
    ASSERT_TRUE(file.Create(kLessonText, TRUE, tdNone));
    TypeArticle* typing = file.GetTypeArt();
    file.GetArt()->SetPaperRect(&kRefPaper);
    typing->SetPaperRect(&kTypePaper);
    CLessonTrackFile lessons;
    ASSERT_TRUE(lessons.AddNewTrack(1, 2, 0));
    typing->StartTyping();
    for (char c : std::string("Big cot\nran far.")) {
        clock.Advance(400);
        EXPECT_EQ(typing->TypeChar(c), 1);
    }
    CWordTrackFile words;
    ASSERT_TRUE(typing->FillLessonTrack(&lessons));
    ASSERT_TRUE(typing->AddWordTracks(&words));

    const CLessonTrack* track = lessons.GetLastTrack();
    EXPECT_EQ(track->m_nKeys, 0);
    EXPECT_EQ(track->m_nErrors, 0);
    EXPECT_EQ(track->m_nSeconds, 0);
    EXPECT_EQ(track->m_dSpeed, 0.0);
    EXPECT_EQ(track->GetCharTrackCount(TRUE), 0);
    EXPECT_EQ(track->m_nWords, 4);
    EXPECT_EQ(track->m_nWordErrors, 1);  // cot
    ASSERT_EQ(words.GetWordCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(words.GetWordTrack(i)->m_bMistyped, 0) << i;
        EXPECT_EQ(words.GetWordTrack(i)->m_nTime, 0) << i;
    }
}

}  // namespace
