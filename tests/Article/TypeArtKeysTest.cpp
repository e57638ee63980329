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
using typeart_test::kBack;
using typeart_test::Lesson;

constexpr char kEndOfText = static_cast<char>(0xFF);
constexpr const char* kCaretCharReport = "GetCaretChar called when TypoDection is not tdByLetter";
constexpr const char* kLoopReport = "Danger! Infinite loop";

// ---- By letter ----------------------------------------------------------------------------

TEST(TypeArtKeys, RightLettersAnswerOneAndTheCaretExpectsTheSeparator) {
    Lesson lesson("cat dog\nfox end");
    EXPECT_THAT(lesson.Type("cat"), ElementsAre(1, 1, 1));
    EXPECT_EQ(lesson.typing->GetCaretChar(), ' ');
    EXPECT_THAT(lesson.Type(" dog"), ElementsAre(1, 1, 1, 1));
    EXPECT_EQ(lesson.typing->GetCaretChar(), '\n');
    EXPECT_THAT(lesson.Type("\nfox end"), Each(1));
    EXPECT_EQ(lesson.typing->GetCaretChar(), kEndOfText);
}

TEST(TypeArtKeys, WrongLetterAnswersTwoAndTheCaretMovesOn) {
    Lesson lesson("cat dog");
    EXPECT_THAT(lesson.Type("cx"), ElementsAre(1, 2));
    EXPECT_EQ(lesson.typing->GetCaretChar(), 't');
    EXPECT_THAT(lesson.States(0), ElementsAre(csCorrect, csWrong));
    EXPECT_EQ(lesson.Current(), 0);
}

TEST(TypeArtKeys, EachKeyIsJudgedAgainstTheReferenceCharacterAtItsPlace) {
    Lesson lesson("Hello, world");
    EXPECT_THAT(lesson.Type("hello."), ElementsAre(2, 1, 1, 1, 1, 2));
    EXPECT_EQ(lesson.Judged(0), "hello.");
    EXPECT_TRUE(lesson.Typed(0)->HasError());
}

TEST(TypeArtKeys, CharacterPastTheEndOfTheWordMovesOnAndBackspaceTakesItBack) {
    Lesson lesson("cat dog fox");
    EXPECT_THAT(lesson.Type("catx"), ElementsAre(1, 1, 1, 2));
    EXPECT_EQ(lesson.Current(), 1);
    EXPECT_EQ(lesson.RefCurrent(), 1);
    EXPECT_EQ(lesson.TypedText(0), "catx");
    EXPECT_THAT(lesson.States(0), ElementsAre(csCorrect, csCorrect, csCorrect, csWrong));

    EXPECT_TRUE(lesson.typing->BackSpace());
    EXPECT_EQ(lesson.Current(), 0);
    EXPECT_EQ(lesson.RefCurrent(), 0);
    EXPECT_EQ(lesson.TypedText(0), "cat");
    EXPECT_EQ(lesson.Judged(0), "cat");
    EXPECT_EQ(lesson.typing->GetCaretChar(), ' ');
}

TEST(TypeArtKeys, SpaceBeforeTheEndOfTheWordTakesThePlaceOfTheMissingLetter) {
    Lesson lesson("cat dog");
    EXPECT_THAT(lesson.Type("ca "), ElementsAre(1, 1, 2));
    EXPECT_EQ(lesson.Current(), 0);
    EXPECT_EQ(lesson.TypedText(0), std::string("ca\x03"));
    EXPECT_EQ(lesson.Judged(0), "ca ");
    EXPECT_THAT(lesson.States(0), ElementsAre(csCorrect, csCorrect, csWrong));
    // The word now has the reference's length: the next space moves on.
    EXPECT_EQ(lesson.typing->GetCaretChar(), ' ');
    EXPECT_THAT(lesson.Type(" "), ElementsAre(1));
    EXPECT_EQ(lesson.Current(), 1);
}

TEST(TypeArtKeys, CompleteLineEndTakesOnlyEnter) {
    Lesson lesson("cat dog\nfox end");
    lesson.Type("cat dog");
    const int keys = lesson.typing->GetKeyCount();
    EXPECT_THAT(lesson.Type("x .d"), ElementsAre(9, 9, 9, 9));
    EXPECT_EQ(lesson.typing->GetKeyCount(), keys + 4);  // refused keys still count
    EXPECT_EQ(lesson.TypedText(1), "dog");
    EXPECT_EQ(lesson.Current(), 1);
    EXPECT_THAT(lesson.Type("\n"), ElementsAre(1));
    EXPECT_EQ(lesson.Current(), 2);
    EXPECT_EQ(lesson.RefCurrent(), 2);
}

TEST(TypeArtKeys, EnterIsRefusedAwayFromACompleteLineEnd) {
    {
        Lesson lesson("cat dog\nfox");
        EXPECT_THAT(lesson.Type("ca\nt\n"), ElementsAre(1, 1, 7, 1, 7));  // mid-line
        EXPECT_THAT(lesson.Type(" do\n"), ElementsAre(1, 1, 1, 7));       // word not complete
        EXPECT_EQ(lesson.Current(), 1);
    }
    {
        Lesson lesson("cat");
        EXPECT_THAT(lesson.Type("c\n"), ElementsAre(1, 7));  // the last token
    }
}

TEST(TypeArtKeys, FinishedTextAnswersSixAndStillCountsTheKey) {
    Lesson lesson("cat");
    lesson.Type("cat");
    EXPECT_EQ(lesson.typing->GetCaretChar(), kEndOfText);
    EXPECT_THAT(lesson.Type("x \n"), ElementsAre(6, 6, 6));
    EXPECT_EQ(lesson.typing->GetKeyCount(), 6);
    EXPECT_EQ(lesson.typing->GetErrorCount(), 3);  // none of them was 0xFF
    EXPECT_EQ(lesson.TypedText(0), "cat");
    EXPECT_EQ(lesson.Current(), 0);
}

TEST(TypeArtKeys, TextEndingWithALineFeedFinishesWithEnter) {
    Lesson lesson("cat\n");
    lesson.Type("cat");
    EXPECT_EQ(lesson.typing->GetCaretChar(), '\n');
    EXPECT_THAT(lesson.Type("x \n\n"), ElementsAre(9, 9, 6, 6));
    EXPECT_EQ(lesson.Current(), 0);
}

TEST(TypeArtKeys, ReferenceCurrentTokenFollowsTheSession) {
    Lesson lesson("one two three");
    std::vector<int> current;
    for (char c : std::string("one two thr")) {
        lesson.typing->TypeChar(c);
        current.push_back(lesson.RefCurrent());
    }
    EXPECT_THAT(current, ElementsAre(0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2));
}

TEST(TypeArtKeys, LastWordKeepsACharacterPastItsEnd) {
    // Judged by word while typed, then by letter: the extra character cannot move the session
    // past the reference.
    Lesson lesson("cat", tdByWord);
    lesson.Type("cat");
    lesson.typing->SetTypoDetection(tdByLetter);
    EXPECT_THAT(lesson.Type("xy"), ElementsAre(2, 6));
    EXPECT_EQ(lesson.typing->GetTypedWordCount(), 1);
    EXPECT_EQ(lesson.TypedText(0), "catx");
}

// ---- Backspace ----------------------------------------------------------------------------

TEST(TypeArtBackSpace, EmptyFirstTokenCannotBeLeft) {
    Lesson lesson("cat dog");
    EXPECT_FALSE(lesson.typing->BackSpace());
    EXPECT_EQ(lesson.Current(), 0);
}

TEST(TypeArtBackSpace, RemovesTheLastCharacterInsideAWord) {
    Lesson lesson("cat dog");
    EXPECT_THAT(lesson.Type("cx\b\b\b"), ElementsAre(1, 2, TRUE, TRUE, FALSE));
    EXPECT_EQ(lesson.TypedText(0), "");
    EXPECT_EQ(lesson.typing->GetCaretChar(), 'c');
    EXPECT_THAT(lesson.Type("ca"), ElementsAre(1, 1));
}

TEST(TypeArtBackSpace, EmptyLaterTokenStepsBackWithoutRemovingAnything) {
    Lesson lesson("cat dog\nfox");
    lesson.Type("cat dog\n");
    ASSERT_EQ(lesson.Current(), 2);
    EXPECT_TRUE(lesson.typing->BackSpace());
    EXPECT_EQ(lesson.Current(), 1);
    EXPECT_EQ(lesson.RefCurrent(), 1);
    EXPECT_EQ(lesson.TypedText(1), "dog");
    EXPECT_EQ(lesson.typing->GetCaretChar(), '\n');
    EXPECT_TRUE(lesson.typing->BackSpace());  // now inside dog
    EXPECT_EQ(lesson.TypedText(1), "do");
}

TEST(TypeArtBackSpace, TakesBackASpaceTypedBeforeTheEndOfTheWord) {
    Lesson lesson("cat dog");
    lesson.Type("c \b");
    EXPECT_EQ(lesson.TypedText(0), "c");
    EXPECT_EQ(lesson.typing->GetCaretChar(), 'a');
}

TEST(TypeArtBackSpace, CountsNothing) {
    Lesson lesson("cat dog");
    lesson.Type("cx");
    lesson.Type(std::string(4, kBack));
    EXPECT_EQ(lesson.typing->GetKeyCount(), 2);
    EXPECT_EQ(lesson.typing->GetErrorCount(), 1);
}

// ---- By word and by matching --------------------------------------------------------------

TEST(TypeArtByWord, WordIsJudgedOnlyWhenTheSpaceLeavesIt) {
    Lesson lesson("cat dog fox");
    lesson.typing->SetTypoDetection(tdByWord);
    ScopedReportCapture capture;
    EXPECT_THAT(lesson.Type("cxt"), ElementsAre(1, 1, 1));
    EXPECT_EQ(lesson.Judged(0), "");
    EXPECT_THAT(lesson.Type(" "), ElementsAre(2));
    EXPECT_EQ(lesson.Current(), 1);
    EXPECT_EQ(lesson.RefCurrent(), 1);
    EXPECT_THAT(lesson.States(0), ElementsAre(csCorrect, csWrong, csCorrect));
    EXPECT_TRUE(lesson.Typed(0)->HasError());
    // Every keystroke asked for the expected character; the space could not be judged by letter.
    EXPECT_THAT(capture.Messages(), ElementsAre(kCaretCharReport, kCaretCharReport,
                                                kCaretCharReport, kCaretCharReport, kLoopReport));
}

TEST(TypeArtByWord, MissingLettersAreOwedOnceTheWordIsLeft) {
    Lesson lesson("hello world");
    lesson.typing->SetTypoDetection(tdByWord);
    lesson.Type("helo ");
    EXPECT_EQ(lesson.Judged(0), "helo_");
    EXPECT_THAT(lesson.States(0),
                ElementsAre(csCorrect, csCorrect, csCorrect, csCorrect, csMissing));
}

TEST(TypeArtByWord, EnterIsRefusedAndTheSpaceCrossesTheLineEnd) {
    Lesson lesson("cat\ndog");
    lesson.typing->SetTypoDetection(tdByWord);
    EXPECT_THAT(lesson.Type("cat\n "), ElementsAre(1, 1, 1, 7, 2));
    EXPECT_EQ(lesson.Current(), 1);
    EXPECT_FALSE(lesson.Typed(0)->HasError());
}

TEST(TypeArtByWord, SpaceOnAnEmptyTokenSkipsNoWord) {
    Lesson lesson("cat dog");
    lesson.typing->SetTypoDetection(tdByWord);
    EXPECT_THAT(lesson.Type("cat  "), ElementsAre(1, 1, 1, 2, 2));
    EXPECT_EQ(lesson.Current(), 1);
    EXPECT_EQ(lesson.TypedText(1), "");
}

TEST(TypeArtByWord, SpaceAfterTheLastWordFinishesTheText) {
    Lesson lesson("cat dog");
    lesson.typing->SetTypoDetection(tdByWord);
    EXPECT_THAT(lesson.Type("cat dg "), ElementsAre(1, 1, 1, 2, 1, 1, 2));
    EXPECT_EQ(lesson.Current(), 1);
    EXPECT_EQ(lesson.Judged(1), "dg_");  // g is not found where the single-byte pass looks
    EXPECT_THAT(lesson.Type("x "), ElementsAre(6, 6));
}

TEST(TypeArtByMatch, CurrentWordIsJudgedAfterEveryKey) {
    Lesson lesson("hello world");
    lesson.typing->SetTypoDetection(tdByMatch);
    EXPECT_THAT(lesson.Type("hl"), ElementsAre(1, 1));
    EXPECT_THAT(lesson.States(0), ElementsAre(csCorrect, csWrong));
    EXPECT_THAT(lesson.Type("lo"), ElementsAre(1, 1));
    // The skipped e is found once the rest matches.
    EXPECT_EQ(lesson.Judged(0), "h_llo");
    EXPECT_THAT(lesson.Type(" "), ElementsAre(1));
    EXPECT_EQ(lesson.Current(), 1);
}

TEST(TypeArtByMatch, SpaceBeforeTheEndTakesTheExpectedPlace) {
    Lesson lesson("hello world");
    lesson.typing->SetTypoDetection(tdByMatch);
    ScopedReportCapture capture;
    EXPECT_THAT(lesson.Type("helo  "), ElementsAre(1, 1, 1, 1, 2, 1));
    EXPECT_EQ(lesson.TypedText(0), std::string("helo\x03"));
    EXPECT_EQ(lesson.Current(), 1);
    const std::vector<std::string> messages = capture.Messages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(), kLoopReport), 1);
}

TEST(TypeArtByMatch, MethodNoneOnCheckedTypingJudgesByMatching) {
    Lesson lesson("hello world");
    lesson.typing->SetTypoDetection(tdNone);
    ScopedReportCapture capture;
    EXPECT_THAT(lesson.Type("he "), ElementsAre(1, 1, 2));
    EXPECT_EQ(lesson.TypedText(0), std::string("he\x03"));
    EXPECT_EQ(lesson.typing->GetCaretChar(), 'l');  // not the free typing space
    EXPECT_EQ(lesson.typing->GetKeyCount(), 3);     // keystrokes still count
    EXPECT_EQ(capture.Messages().back(), kCaretCharReport);
}

// ---- Free typing --------------------------------------------------------------------------

TEST(FreeTypeArtKeys, SpacesCutTheTypedTextIntoTokens) {
    Lesson lesson("one two three", tdNone);
    EXPECT_THAT(lesson.Type("ab cd"), Each(1));
    EXPECT_EQ(lesson.TypedText(0), "ab");
    EXPECT_EQ(lesson.TypedText(1), "cd");
    EXPECT_EQ(lesson.Current(), 1);
    EXPECT_EQ(lesson.RefCurrent(), 1);
    EXPECT_THAT(lesson.States(1), ElementsAre(csCorrect, csCorrect));
    EXPECT_EQ(lesson.typing->GetKeyCount(), 0);
    EXPECT_EQ(lesson.typing->GetCaretChar(), ' ');
}

TEST(FreeTypeArtKeys, SpaceIntoAnEmptyTokenStaysInIt) {
    Lesson lesson("one two", tdNone);
    EXPECT_THAT(lesson.Type(" x"), ElementsAre(1, 1));
    EXPECT_EQ(lesson.TypedText(0), std::string("\x04x"));
    EXPECT_EQ(lesson.Judged(0), " x");
    EXPECT_EQ(lesson.Current(), 0);
}

TEST(FreeTypeArtKeys, EnterMarksATypedLineBreakAndBackspaceTakesItBack) {
    Lesson lesson("one two three", tdNone);
    lesson.Type("ab\n");
    EXPECT_EQ(lesson.Current(), 1);
    EXPECT_TRUE(lesson.Typed(0)->IsNewLine());
    EXPECT_TRUE(lesson.typing->BackSpace());
    EXPECT_EQ(lesson.Current(), 0);
    EXPECT_FALSE(lesson.Typed(0)->IsNewLine());
    EXPECT_EQ(lesson.TypedText(0), "ab");  // the step removes no character
    EXPECT_TRUE(lesson.typing->BackSpace());
    EXPECT_EQ(lesson.TypedText(0), "a");
}

TEST(FreeTypeArtKeys, TypingPastTheReferenceStopsAtTwiceItsTokenCount) {
    Lesson lesson("a b", tdNone);
    ScopedReportCapture capture;
    lesson.Type("p q r s");
    EXPECT_EQ(lesson.typing->GetTypedWordCount(), 4);
    EXPECT_EQ(lesson.Typed(3)->GetReference(), nullptr);
    // At the last typed token a space after characters is dropped, Enter only marks the break.
    EXPECT_THAT(lesson.Type("t \n"), Each(1));
    EXPECT_EQ(lesson.typing->GetTypedWordCount(), 4);
    EXPECT_EQ(lesson.TypedText(3), "st");
    EXPECT_TRUE(lesson.Typed(3)->IsNewLine());
    // Unbound typed tokens answer from their typed text, with a report.
    capture.Clear();
    EXPECT_EQ(lesson.Judged(3), "st");
    EXPECT_THAT(capture.Messages(), ElementsAre("GetString called before reference token is set"));
}

TEST(FreeTypeArtKeys, EmptyFirstTokenCannotBeLeft) {
    Lesson lesson("a b", tdNone);
    EXPECT_FALSE(lesson.typing->BackSpace());
}

// ---- Before the first Recalculate ---------------------------------------------------------

TEST(TypeArtKeys, KeysBeforeTheFirstRecalculateChangeNothing) {
    Lesson checked("cat dog", tdByLetter, /*layout=*/false);
    EXPECT_THAT(checked.Type("c x\n\b"), ElementsAre(6, 6, 6, 6, FALSE));
    EXPECT_EQ(checked.typing->GetKeyCount(), 0);
    EXPECT_EQ(checked.typing->GetTypedWordCount(), 0);
    EXPECT_EQ(checked.TypedText(0), "");
    EXPECT_EQ(checked.typing->GetCaretChar(), 'c');

    Lesson free("cat dog", tdNone, /*layout=*/false);
    EXPECT_THAT(free.Type("c x\n\b"), ElementsAre(1, 1, 1, 1, FALSE));
    EXPECT_EQ(free.typing->GetTypedWordCount(), 0);
    EXPECT_EQ(free.TypedText(0), "");
}

TEST(TypeArtKeys, LessonWithoutTokensTakesNoKeys) {
    for (TypoDetection td : {tdNone, tdByLetter}) {
        Lesson lesson("", td);
        EXPECT_EQ(lesson.typing->GetCaretChar(), td == tdNone ? ' ' : 0);
        for (char c : std::string("a \n")) {
            EXPECT_EQ(lesson.typing->TypeChar(c), td == tdNone ? 1 : 6);
        }
        EXPECT_FALSE(lesson.typing->BackSpace());
        EXPECT_EQ(lesson.typing->GetKeyCount(), 0);
    }
}

// A token's text holds no white space and, being zero-terminated, no zero byte: a tab or a zero
// key is counted as a wrong keystroke and leaves the word as it was.
TEST(TypeArtKeys, KeysATokenCannotHoldAreCountedAndAddNothing) {
    Lesson lesson("cat dog");
    lesson.Type(std::string("c\t\0", 3));
    EXPECT_EQ(lesson.TypedText(0), "c");
    EXPECT_EQ(lesson.Judged(0), "c");
    EXPECT_EQ(lesson.Current(), 0);
    EXPECT_EQ(lesson.typing->GetCaretChar(), 'a');
    EXPECT_EQ(lesson.typing->GetKeyCount(), 3);
    EXPECT_EQ(lesson.typing->GetErrorCount(), 2);
}

// ---- Stopwatch ----------------------------------------------------------------------------

TEST(TypeArtKeys, EachKeystrokeIsCountedWithTheCharacterExpectedBeforeIt) {
    ScopedFakeClock clock(2024, 3, 5, 10, 0, 0);
    Lesson lesson("ab\ncd");
    lesson.typing->StartTyping();
    for (char c : std::string("axb!\n")) {  // x wrong, ! refused at the line end
        clock.Advance(500);
        lesson.typing->TypeChar(c);
    }
    const CTypingStopwatch& sw = lesson.Stopwatch();
    EXPECT_EQ(sw.GetKeys(), 5);
    // x where b was expected; b and ! where the line feed was expected (the word was complete)
    EXPECT_EQ(sw.GetErrors(), 3);
    EXPECT_EQ(sw.GetKeyTable()['a'], 1);
    EXPECT_EQ(sw.GetErrorTable()['a'], 0);
    EXPECT_EQ(sw.GetKeyTable()['b'], 1);
    EXPECT_EQ(sw.GetErrorTable()['b'], 1);
    EXPECT_EQ(sw.GetKeyTable()['\n'], 3);
    EXPECT_EQ(sw.GetErrorTable()['\n'], 2);
    EXPECT_EQ(sw.GetTimeTable()['b'], 500);
    EXPECT_EQ(sw.GetTimeTable()['\n'], 1500);
}

}  // namespace
