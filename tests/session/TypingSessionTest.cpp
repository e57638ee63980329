// Whole typing sessions, key by key, as a host drives them: result codes, the expected
// character, the reference's current token, the stopwatch, the redraw and the caret.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Article/TypeArtSession.h"
#include "diagnostics/ReportCapture.h"
#include "platform/Clock.h"

namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using typeart_test::Drawn;
using typeart_test::kBack;
using typeart_test::kLineHeight;
using typeart_test::Lesson;
using typeart_test::Outputs;

constexpr char kEndOfText = static_cast<char>(0xFF);
constexpr int kKeyGapMs = 250;

RECT Caret(Lesson& lesson) {
    RECT rc{};
    lesson.typing->GetCaretRect(&lesson.dc, &rc);
    return rc;
}

// Types keys kKeyGapMs apart; each key's answer as Lesson::Type gives it.
std::vector<int> TypeTimed(Lesson& lesson, ScopedFakeClock& clock, const std::string& keys) {
    std::vector<int> results;
    for (char c : keys) {
        clock.Advance(kKeyGapMs);
        const std::vector<int> one = lesson.Type(std::string(1, c));
        results.push_back(one[0]);
    }
    return results;
}

TEST(TypingSession, LessonTypedCorrectlyByLetter) {
    ScopedFakeClock clock(2024, 4, 2, 10, 0, 0);
    Lesson lesson("The cat\nsat down.");
    lesson.typing->StartTyping();

    EXPECT_THAT(TypeTimed(lesson, clock, "The "), Each(1));
    EXPECT_EQ(lesson.RefCurrent(), 1);
    EXPECT_EQ(lesson.typing->GetCaretChar(), 'c');
    EXPECT_THAT(TypeTimed(lesson, clock, "cat"), Each(1));
    EXPECT_EQ(lesson.typing->GetCaretChar(), '\n');
    EXPECT_THAT(TypeTimed(lesson, clock, "\nsat down."), Each(1));
    EXPECT_EQ(lesson.RefCurrent(), 3);
    EXPECT_EQ(lesson.typing->GetCaretChar(), kEndOfText);

    // 17 keys 250 ms apart: the last one 4.25 s after the start.
    EXPECT_EQ(lesson.typing->GetKeyCount(), 17);
    EXPECT_EQ(lesson.typing->GetErrorCount(), 0);
    EXPECT_EQ(lesson.typing->GetAccuracy(), 100);
    EXPECT_EQ(lesson.typing->GetCurSpeed(), 240);
    EXPECT_EQ(lesson.typing->GetActiveSeconds(), 4);
    EXPECT_EQ(lesson.typing->GetSpeed(), 255);  // 17 * 60 / 4
    const CTypingStopwatch& sw = lesson.Stopwatch();
    EXPECT_EQ(sw.GetKeyTable()['a'], 2);
    EXPECT_EQ(sw.GetTimeTable()['a'], 2 * kKeyGapMs);
    EXPECT_EQ(sw.GetKeyTable()[' '], 2);
    EXPECT_EQ(sw.GetKeyTable()['\n'], 1);
    EXPECT_EQ(sw.GetKeyTable()['.'], 1);

    // The last two words, on the second line of the typing paper, in grey.
    EXPECT_TRUE(lesson.typing->RedrawLastWord(&lesson.dc, 2));
    EXPECT_THAT(Outputs(lesson.dc), ElementsAre(Drawn{43, 320, "down.", kTypedGrey},
                                                Drawn{10, 320, "sat", kTypedGrey}));
    const RECT caret = Caret(lesson);
    EXPECT_EQ(caret.left, 43 + 40);
    EXPECT_EQ(caret.top, 320);
    EXPECT_EQ(caret.right, 43 + 48);
    EXPECT_EQ(caret.bottom, 320 + kLineHeight);

    // Keys after the end are refused but counted.
    EXPECT_THAT(TypeTimed(lesson, clock, "x"), ElementsAre(6));
    EXPECT_EQ(lesson.typing->GetKeyCount(), 18);
    EXPECT_EQ(lesson.typing->GetErrorCount(), 1);
}

TEST(TypingSession, TyposAndBackspacesByLetter) {
    ScopedFakeClock clock(2024, 4, 2, 10, 0, 0);
    Lesson lesson("cat dog");
    lesson.typing->StartTyping();

    EXPECT_THAT(TypeTimed(lesson, clock, "cxt\b\bat"), ElementsAre(1, 2, 1, TRUE, TRUE, 1, 1));
    EXPECT_EQ(Caret(lesson).left, 10 + 24);
    // A fourth letter runs past the word; the backspace takes it back with the step.
    EXPECT_THAT(TypeTimed(lesson, clock, "x"), ElementsAre(2));
    EXPECT_EQ(lesson.RefCurrent(), 1);
    EXPECT_EQ(Caret(lesson).left, 10 + 33);
    EXPECT_THAT(TypeTimed(lesson, clock, "\b"), ElementsAre(TRUE));
    EXPECT_EQ(lesson.RefCurrent(), 0);
    EXPECT_EQ(Caret(lesson).left, 10 + 24);
    EXPECT_THAT(TypeTimed(lesson, clock, " dog"), Each(1));
    EXPECT_EQ(lesson.typing->GetCaretChar(), kEndOfText);

    // Backspaces are not keystrokes: 10 keys, x for a and x for the space were wrong.
    EXPECT_EQ(lesson.typing->GetKeyCount(), 10);
    EXPECT_EQ(lesson.typing->GetErrorCount(), 2);
    const CTypingStopwatch& sw = lesson.Stopwatch();
    EXPECT_EQ(sw.GetKeyTable()['a'], 2);
    EXPECT_EQ(sw.GetErrorTable()['a'], 1);
    EXPECT_EQ(sw.GetKeyTable()['t'], 2);
    EXPECT_EQ(sw.GetKeyTable()[' '], 2);
    EXPECT_EQ(sw.GetErrorTable()[' '], 1);

    // The corrected word reads right and is drawn in one piece; its mistake is remembered.
    EXPECT_EQ(lesson.TypedText(0), "cat");
    EXPECT_TRUE(lesson.Typed(0)->HasError());
    EXPECT_FALSE(lesson.Typed(1)->HasError());
    lesson.typing->RedrawLastWord(&lesson.dc, 2);
    EXPECT_THAT(Outputs(lesson.dc),
                ElementsAre(Drawn{43, 300, "dog", kTypedGrey}, Drawn{10, 300, "cat", kTypedGrey}));
}

TEST(TypingSession, SkippedAndExtraLettersByMatching) {
    Lesson lesson("hello hello world", tdByMatch);
    ScopedReportCapture quiet;  // every key asks for the expected character
    lesson.typing->StartTyping();

    EXPECT_THAT(lesson.Type("hllo hexllo world"), Each(1));
    EXPECT_THAT(lesson.Type("x"), ElementsAre(6));
    EXPECT_EQ(lesson.Judged(0), "h_llo");
    EXPECT_THAT(lesson.States(0),
                ElementsAre(csCorrect, csMissing, csCorrect, csCorrect, csCorrect));
    EXPECT_EQ(lesson.Judged(1), "hexllo");
    EXPECT_THAT(lesson.States(1),
                ElementsAre(csCorrect, csCorrect, csWrong, csCorrect, csCorrect, csCorrect));
    EXPECT_EQ(lesson.RefCurrent(), 2);

    // Expected characters follow the judged length: l for e, x for l, the second l for o, o for
    // the space and x after the end were wrong.
    EXPECT_EQ(lesson.typing->GetKeyCount(), 18);
    EXPECT_EQ(lesson.typing->GetErrorCount(), 5);

    // The longer word is drawn at its reference's places and its rectangle widened.
    lesson.typing->RedrawLastWord(&lesson.dc, 2);
    EXPECT_THAT(Outputs(lesson.dc),
                ElementsAre(Drawn{107, 300, "world", kTypedGrey}, Drawn{59, 300, "h", kTypedGrey},
                            Drawn{67, 300, "e", kTypedGrey}, Drawn{75, 300, "x", kTypedRed},
                            Drawn{83, 300, "l", kTypedGrey}, Drawn{91, 300, "l", kTypedGrey},
                            Drawn{99, 300, "o", kTypedGrey}));
    RECT rc;
    lesson.typing->GetTokenRect(&rc, 1);
    EXPECT_EQ(rc.left, 49);
    EXPECT_EQ(rc.right, 49 + 6 * 39 / 5 + 1);
}

TEST(TypingSession, WordsJudgedWhenLeftByWord) {
    Lesson lesson("one two three", tdByWord);
    ScopedReportCapture quiet;
    EXPECT_THAT(lesson.Type("one twp three "),
                ElementsAre(1, 1, 1, 2, 1, 1, 1, 2, 1, 1, 1, 1, 1, 2));
    EXPECT_THAT(lesson.Type("x"), ElementsAre(6));
    EXPECT_FALSE(lesson.Typed(0)->HasError());
    EXPECT_TRUE(lesson.Typed(1)->HasError());
    EXPECT_THAT(lesson.States(1), ElementsAre(csCorrect, csCorrect, csWrong));
    EXPECT_FALSE(lesson.Typed(2)->HasError());
    EXPECT_EQ(lesson.typing->GetKeyCount(), 15);

    // A backspace on the finished text removes the last judged character.
    EXPECT_TRUE(lesson.typing->BackSpace());
    EXPECT_EQ(lesson.TypedText(2), "thre");
}

TEST(TypingSession, FreeTypingPastTheLesson) {
    Lesson lesson("one two", tdNone);
    ScopedReportCapture capture;
    lesson.typing->StartTyping();
    EXPECT_THAT(lesson.Type("one twoo extra\nx"), Each(1));
    EXPECT_EQ(lesson.typing->GetTypedWordCount(), 4);
    EXPECT_EQ(lesson.RefCurrent(), 3);
    EXPECT_EQ(lesson.typing->GetKeyCount(), 0);
    EXPECT_EQ(lesson.typing->GetCaretChar(), ' ');
    EXPECT_TRUE(lesson.Typed(2)->IsNewLine());

    // Its own layout: the typed Enter breaks the line.
    ASSERT_TRUE(lesson.typing->Recalculate(&lesson.dc));
    capture.Clear();
    lesson.typing->RedrawLastWord(&lesson.dc, 2);
    ASSERT_EQ(lesson.dc.Outputs().size(), 2u);
    EXPECT_EQ(lesson.dc.Outputs()[0].text, "x");
    EXPECT_EQ(lesson.dc.Outputs()[0].x, 10);
    EXPECT_EQ(lesson.dc.Outputs()[0].y, 320);
    EXPECT_EQ(lesson.dc.Outputs()[1].text, "extra");
    EXPECT_EQ(lesson.dc.Outputs()[1].x, 10 + 73);
    EXPECT_EQ(lesson.dc.Outputs()[1].y, 300);
    // Tokens past the lesson are unbound and say so when drawn.
    const std::vector<std::string> messages = capture.Messages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(),
                         std::string("Draw called before reference token is set")),
              2);

    // Backspaces walk back over the typed line break.
    EXPECT_THAT(lesson.Type(std::string(2, kBack)), ElementsAre(TRUE, TRUE));
    EXPECT_EQ(lesson.typing->GetTypedWordCount(), 3);
    EXPECT_FALSE(lesson.Typed(2)->IsNewLine());
    EXPECT_EQ(lesson.TypedText(2), "extra");
}

}  // namespace
