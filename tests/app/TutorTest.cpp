// Whole lessons on a screen in memory: the articles as the learner sees them, key by key.
#include "Tutor.h"

#include <gtest/gtest.h>

#include <memory>

#include "diagnostics/ReportCapture.h"
#include "platform/Clock.h"

namespace {

constexpr char kEnter = '\n';
constexpr char kBack = '\b';
constexpr char kEsc = '\x1b';

// Rows of the screen: the lesson's line k at 3 + 2k, what is typed under it.
constexpr int kLine0 = 3;
constexpr int kTyped0 = 4;
constexpr int kLine1 = 5;
constexpr int kTyped1 = 6;

class TutorTest : public ::testing::Test {
protected:
    void Open(const std::string& text, const SessionOptions& options = {}) {
        std::string error;
        ASSERT_TRUE(session.Create(text, options, &error)) << error;
        tutor = std::make_unique<Tutor>(session, screen, "typetutor - test", kPauseAfterMs);
        tutor->Open();
    }
    // Types keys gapMs apart: '\n' is Enter, '\b' Backspace, '\x1b' Esc.
    void Type(const std::string& keys, int gapMs = 200) {
        for (char c : keys) {
            clock.Advance(gapMs);
            now += gapMs;
            Key key{KeyKind::kChar, c};
            if (c == kEnter) {
                key = Key{KeyKind::kEnter, 0};
            } else if (c == kBack) {
                key = Key{KeyKind::kBackspace, 0};
            } else if (c == kEsc) {
                key = Key{KeyKind::kEscape, 0};
            }
            tutor->OnKey(key, now);
        }
    }

    static constexpr int kPauseAfterMs = 10000;
    ScopedFakeClock clock{2025, 3, 4, 9, 0};
    ScopedReportCapture reports;
    GridScreen screen{80, 12};
    Session session;
    std::unique_ptr<Tutor> tutor;
    long long now = 0;
};

TEST_F(TutorTest, ShowsTheLessonWithEveryTypedLineUnderItsLine) {
    Open("one two\nthree");
    EXPECT_EQ(screen.Row(0), "  typetutor - test");
    EXPECT_EQ(screen.Row(1).substr(0, 6), " 0:00 ");
    EXPECT_EQ(screen.StyleAt(0, 1), CellStyle::kStatus);
    EXPECT_EQ(screen.StyledRow(kLine0), "  {c}one {n}two");
    EXPECT_EQ(screen.Row(kTyped0), "");
    EXPECT_EQ(screen.Row(kLine1), "  three");
    EXPECT_EQ(screen.Row(11),
              "  Esc pause   Backspace take back   Enter ends a line   Ctrl-C leave");
    EXPECT_EQ(screen.CursorX(), 2);
    EXPECT_EQ(screen.CursorY(), kTyped0);

    Type("one t");
    EXPECT_EQ(screen.StyledRow(kLine0), "  one {c}two");
    EXPECT_EQ(screen.StyledRow(kTyped0), "  {t}one t");
    EXPECT_EQ(screen.CursorX(), 7);
    Type("wo\nth");
    EXPECT_EQ(screen.StyledRow(kLine1), "  {c}three");
    EXPECT_EQ(screen.StyledRow(kTyped1), "  {t}th");
    EXPECT_EQ(screen.CursorX(), 4);
    EXPECT_EQ(screen.CursorY(), kTyped1);
}

TEST_F(TutorTest, ASpaceBeforeTheEndOfAWordShowsAnUnderscore) {
    Open("cat dog");
    Type("ca ");
    EXPECT_EQ(screen.StyledRow(kTyped0), "  {t}ca{x}_");
    EXPECT_EQ(session.CurrentToken(), 0);
    Type(" d");
    EXPECT_EQ(screen.StyledRow(kTyped0), "  {t}ca{x}_ {t}d");
    // A letter instead of the space runs past the word's end: it stays there, in red, and the
    // next word is typed.
    Type(std::string(2, kBack) + "x");
    EXPECT_EQ(screen.StyledRow(kTyped0), "  {t}ca{x}_x");
    EXPECT_EQ(session.CurrentToken(), 1);
}

TEST_F(TutorTest, TheLineEndWantsEnter) {
    Open("ab\ncd");
    Type("ab ");
    EXPECT_EQ(screen.Row(11), "  The line ends here: press Enter");
    EXPECT_EQ(session.CurrentToken(), 0);
    Type("\n");
    EXPECT_EQ(session.CurrentToken(), 1);
    EXPECT_EQ(screen.Row(11),
              "  Esc pause   Backspace take back   Enter ends a line   Ctrl-C leave");
    Type("c\n");
    EXPECT_EQ(screen.Row(11), "  Enter ends a line only after its last word");
}

TEST_F(TutorTest, BothArticlesScrollTogetherWhenTypingLeavesThePage) {
    // Four lines a page on twelve rows.
    Open("l0\nl1\nl2\nl3\nl4\nl5");
    Type("l0\nl1\nl2\n");
    EXPECT_EQ(screen.Row(kLine0), "  l0");
    Type("l3\n");
    // Line 4 is typed now: the page begins with line 3, the line before it.
    EXPECT_EQ(session.Reference()->GetScrollTopLine(), 3);
    EXPECT_EQ(session.Typed()->GetScrollTopLine(), 3);
    EXPECT_EQ(screen.Row(kLine0), "  l3");
    EXPECT_EQ(screen.StyledRow(kTyped0), "  {t}l3");
    EXPECT_EQ(screen.StyledRow(kLine1), "  {c}l4");
    EXPECT_EQ(screen.Row(kTyped1), "");
    EXPECT_EQ(screen.CursorY(), kTyped1);
    // Back over the page's first word: the page goes back too.
    Type(std::string(4, kBack));
    EXPECT_EQ(session.CurrentToken(), 2);
    EXPECT_EQ(session.Reference()->GetScrollTopLine(), 1);
    EXPECT_EQ(screen.Row(kLine0), "  l1");
}

TEST_F(TutorTest, KeysWaitForAScreenThatFits) {
    Open("alpha beta gamma delta");
    Type("alpha be");
    screen.Resize(20, 5);
    tutor->OnKey(Key{KeyKind::kResize, 0}, now);
    EXPECT_FALSE(tutor->Fits());
    EXPECT_EQ(screen.Row(0), "The terminal is too");
    Type("t");
    EXPECT_EQ(session.Figures().keys, 8);
}

TEST(Status, ShowsTimeSpeedsAccuracyAndErrorsWithThePauseFirst) {
    SessionFigures f;
    f.activeSeconds = 754;
    f.speed = 270;
    f.wordSpeed = 54;
    f.curSpeed = 300;
    f.curWordSpeed = 60;
    f.topSpeed = 412;
    f.topWordSpeed = 82;
    f.accuracy = 97;
    f.errors = 12;
    EXPECT_EQ(FormatStatus(f, false),
              " 12:34  270 cpm 54 wpm  now 300/60  top 412/82  accuracy 97%  errors 12");
    EXPECT_EQ(FormatStatus(f, true),
              " [paused] 12:34  270 cpm 54 wpm  now 300/60  top 412/82  accuracy 97%  errors 12");
}

TEST_F(TutorTest, TheLessonEndsWithItsLastWordByEveryMethod) {
    for (TypoDetection method : {tdByLetter, tdByWord, tdByMatch, tdNone}) {
        Session s;
        GridScreen grid(40, 12);
        std::string error;
        SessionOptions options;
        options.method = method;
        ASSERT_TRUE(s.Create("ab cd\nef", options, &error));
        Tutor t(s, grid, "t", kPauseAfterMs);
        t.Open();
        for (const char* word : {"ab", " ", "cd"}) {
            for (const char* c = word; *c; ++c) {
                t.OnKey(Key{KeyKind::kChar, *c}, 0);
            }
        }
        t.OnKey(Key{KeyKind::kEnter, 0}, 0);
        t.OnKey(Key{KeyKind::kChar, 'e'}, 0);
        EXPECT_FALSE(t.IsFinished()) << method;
        t.OnKey(Key{KeyKind::kChar, 'f'}, 0);
        EXPECT_TRUE(t.IsFinished()) << method;
        EXPECT_EQ(grid.Row(kTyped1), "  ef") << method;
        EXPECT_EQ(s.Figures().words, 3) << method;
        EXPECT_EQ(s.Figures().wrongWords, 0) << method;
        EXPECT_EQ(s.Type('x'), KeyOutcome::kIgnored);
    }
}

TEST_F(TutorTest, ByWordAWordIsJudgedWhenItIsLeft) {
    SessionOptions options;
    options.method = tdByWord;
    Open("hello you", options);
    Type("helo");
    EXPECT_EQ(screen.StyledRow(kTyped0), "  {t}helo");
    Type(" ");
    // The missing letter shows once the word is left.
    EXPECT_EQ(screen.StyledRow(kTyped0), "  {t}helo{m}_");
    EXPECT_EQ(session.CurrentToken(), 1);
    EXPECT_EQ(session.Typed()->GetTypoDetection(), tdByMatch);
    Type("you");
    EXPECT_TRUE(session.IsFinished());
    EXPECT_EQ(session.Figures().wrongWords, 1);
}

TEST_F(TutorTest, FreeTypingEndsWithASpaceAfterTheLastWord) {
    SessionOptions options;
    options.method = tdNone;
    Open("ab cd", options);
    Type("xyz q");
    EXPECT_EQ(screen.StyledRow(kTyped0), "  {t}xyz q");
    EXPECT_FALSE(session.IsFinished());
    Type(" ");
    EXPECT_TRUE(session.IsFinished());
    EXPECT_EQ(session.Figures().words, 2);
    EXPECT_EQ(session.Figures().wrongWords, 2);
}

// Typos are grey when not marked; masking hides the typed letters, and without highlighting
// the word to type looks like the rest.
TEST_F(TutorTest, MaskingHighlightingAndMarkingCanBeSwitchedOff) {
    struct Case {
        bool masked, highlight;
        const char* line;
        const char* typed;
    } const cases[] = {
        {false, true, "  {c}cat {n}dog", "  {t}cx"},
        {true, false, "  cat dog", "  **"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        SessionOptions options;
        options.masked = c.masked;
        options.highlight = c.highlight;
        options.markTypos = false;
        Open("cat dog", options);
        Type("cx");
        EXPECT_EQ(screen.StyledRow(kLine0), c.line);
        EXPECT_EQ(screen.StyledRow(kTyped0), c.typed);
        EXPECT_EQ(session.Figures().errors, 1);
    }
}

// After every key, what the key redrew is what drawing everything anew shows: under each method,
// with typos, early spaces, backspaces across words and line ends. (Under matching, a word ended
// early by a space lets the next word's typed text overlap it, and which of the two is on top may
// then differ; that case is left out there.)
TEST_F(TutorTest, EveryKeyLeavesTheScreenAsAWholeRedrawWouldDrawIt) {
    const std::string keys[] = {
        "one tow three\nfour five",             // swapped letters
        "onee  two\b\b\b\b\bo",                 // an extra letter, a double space, back
        "one two three\nfour fiv\b\b\b\b\b\b",  // back over the line end
        "o two tx\b\bthree\nfour",              // an early space, back into the word before
    };
    for (const TypoDetection method : {tdByLetter, tdByWord, tdByMatch}) {
        for (const std::string& sequence : keys) {
            if (method == tdByMatch && sequence == keys[3]) {
                continue;
            }
            SCOPED_TRACE("method " + std::to_string(method) + ", keys " + sequence);
            SessionOptions options;
            options.method = method;
            Open("one two three\nfour five six", options);
            for (size_t i = 0; i < sequence.size(); ++i) {
                Type(sequence.substr(i, 1));
                std::vector<std::string> shown;
                for (int row = kLine0; row < screen.Rows(); ++row) {
                    shown.push_back(screen.StyledRow(row));
                }
                tutor->Repaint();
                for (int row = kLine0; row < screen.Rows(); ++row) {
                    ASSERT_EQ(shown[row - kLine0], screen.StyledRow(row))
                        << "row " << row << " after key " << i;
                }
            }
        }
    }
}

}  // namespace
