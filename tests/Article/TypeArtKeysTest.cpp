#include <gmock/gmock.h>
#include <gtest/gtest.h>

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

// A lesson typed key by key: each key's answer, then where the session stands. The texts of one
// token, the caret character and the counts are checked where given (not null, 0, -1).
struct KeysCase {
    const char* name;
    const char* text;
    TypoDetection td;
    std::string keys;     // kBack is a backspace
    const char* results;  // each key's answer as a digit
    int current;          // the current typed token afterwards
    int token;            // the token whose texts are checked
    const char* typed;    // its typed bytes
    const char* judged;   // its judged characters
    char caret;           // the expected character afterwards
    int keyCount;         // keystrokes counted
    int errorCount;       // wrong keystrokes counted
};

TEST(TypeArtKeys, EachKeyAnswersAndMovesTheSessionAsTheMethodSays) {
    const KeysCase cases[] = {
        {"wrong letter moves on", "cat dog", tdByLetter, "cx", "12", 0, 0, nullptr, nullptr, 't',
         -1, -1},
        {"judged against the reference character at its place", "Hello, world", tdByLetter,
         "hello.", "211112", 0, 0, nullptr, "hello.", 0, -1, -1},
        // The early space takes the missing letter's place; the word then has the reference's
        // length, so the next space moves on.
        {"space before the end of the word", "cat dog", tdByLetter, "ca  ", "1121", 1, 0, "ca\x03",
         "ca ", 0, -1, -1},
        {"complete line end takes only Enter; refused keys still count", "cat dog\nfox end",
         tdByLetter, "cat dogx .d\n", "111111199991", 2, 1, "dog", nullptr, 0, 12, -1},
        {"Enter mid-line and in an incomplete word", "cat dog\nfox", tdByLetter, "ca\nt\n do\n",
         "117171117", 1, 0, nullptr, nullptr, 0, -1, -1},
        {"Enter in the last token", "cat", tdByLetter, "c\n", "17", 0, 0, nullptr, nullptr, 0, -1,
         -1},
        // None of the keys after the end was 0xFF.
        {"finished text", "cat", tdByLetter, "catx \n", "111666", 0, 0, "cat", nullptr, kEndOfText,
         6, 3},
        {"text ending with a line feed finishes with Enter", "cat\n", tdByLetter, "catx \n\n",
         "1119966", 0, 0, nullptr, nullptr, 0, -1, -1},
        {"backspace on the empty first token", "cat dog", tdByLetter, "\b", "0", 0, 0, nullptr,
         nullptr, 0, -1, -1},
        {"backspace inside a word", "cat dog", tdByLetter, "cx\b\b\bca", "1211011", 0, 0, "ca",
         nullptr, 0, -1, -1},
        {"backspace takes back an early space", "cat dog", tdByLetter, "c \b", "121", 0, 0, "c",
         nullptr, 'a', -1, -1},
        {"backspace counts nothing", "cat dog", tdByLetter, "cx\b\b\b\b", "121100", 0, 0, nullptr,
         nullptr, 0, 2, 1},
        {"by word: Enter refused, the space crosses the line end", "cat\ndog", tdByWord, "cat\n ",
         "11172", 1, 0, nullptr, nullptr, 0, -1, -1},
        {"by word: space on an empty token skips no word", "cat dog", tdByWord, "cat  ", "11122", 1,
         1, "", nullptr, 0, -1, -1},
        // g is not found where the single-byte pass looks.
        {"by word: space after the last word finishes the text", "cat dog", tdByWord, "cat dg x ",
         "111211266", 1, 1, nullptr, "dg_", 0, -1, -1},
        {"free: spaces cut the typed text", "one two three", tdNone, "ab cd", "11111", 1, 1, "cd",
         "cd", ' ', 0, -1},
        {"free: space into an empty token stays in it", "one two", tdNone, " x", "11", 0, 0,
         "\x04x", " x", 0, -1, -1},
        {"free: backspace on the empty first token", "a b", tdNone, "\b", "0", 0, 0, nullptr,
         nullptr, 0, -1, -1},
    };
    for (const KeysCase& c : cases) {
        SCOPED_TRACE(c.name);
        Lesson lesson(c.text, c.td);
        std::string results;
        for (int r : lesson.Type(c.keys)) {
            results += static_cast<char>('0' + r);
        }
        EXPECT_EQ(results, c.results);
        EXPECT_EQ(lesson.Current(), c.current);
        EXPECT_EQ(lesson.RefCurrent(), c.current);
        if (c.typed) {
            EXPECT_EQ(lesson.TypedText(c.token), c.typed);
        }
        if (c.judged) {
            EXPECT_EQ(lesson.Judged(c.token), c.judged);
        }
        if (c.caret) {
            EXPECT_EQ(lesson.typing->GetCaretChar(), c.caret);
        }
        if (c.keyCount >= 0) {
            EXPECT_EQ(lesson.typing->GetKeyCount(), c.keyCount);
        }
        if (c.errorCount >= 0) {
            EXPECT_EQ(lesson.typing->GetErrorCount(), c.errorCount);
        }
    }
}

// ---- Free typing --------------------------------------------------------------------------

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
