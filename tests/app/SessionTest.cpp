// The session as every front end drives it: laid out in a device context of pixels, what each
// key changed on the screen, and the pause that idle time brings.
#include "Session.h"

#include <gtest/gtest.h>

#include "PaletteDC.h"
#include "diagnostics/ReportCapture.h"
#include "platform/Clock.h"
#include "platform/FixedPitchDC.h"

namespace {

constexpr int kCell = FixedPitchDC::kStockCellWidth;
constexpr int kLine = FixedPitchDC::kStockCellHeight;
constexpr long long kPauseAfterMs = 10000;

class SessionTest : public ::testing::Test {
protected:
    // Lays text out in an area cols characters wide and rows lines high of 8 x 16 cells.
    void Open(const std::string& text, int cols, int rows, TypoDetection method = tdByLetter) {
        std::string error;
        SessionOptions options;
        options.method = method;
        ASSERT_TRUE(session.Create(text, options, &error)) << error;
        RECT area{};
        SetRect(&area, 10, 20, 10 + cols * kCell, 20 + rows * kLine);
        ASSERT_TRUE(session.LayoutIn(&dc, area));
    }
    KeyEffect Press(char c) {
        now += 200;
        clock.Advance(200);
        Key key{KeyKind::kChar, c};
        if (c == '\n')
            key = Key{KeyKind::kEnter, 0};
        if (c == '\b')
            key = Key{KeyKind::kBackspace, 0};
        if (c == '\x1b')
            key = Key{KeyKind::kEscape, 0};
        return session.Press(key, now);
    }
    void Type(const std::string& keys) {
        for (char c : keys)
            Press(c);
    }

    ScopedFakeClock clock{2025, 3, 4, 9, 0};
    ScopedReportCapture reports;
    FixedPitchDC dc;
    Session session;
    long long now = 0;
};

TEST_F(SessionTest, ASpaceWhereAPixelLayoutWrapsIsTheEnterThatEndsTheLine) {
    Open("alpha beta gamma\nend", 8, 7);
    ASSERT_NE(session.Reference()->GetTokenLine(1), session.Reference()->GetTokenLine(0));
    Type("alpha beta gamma\nend");
    EXPECT_TRUE(session.IsFinished());
    EXPECT_EQ(session.Figures().errors, 0);
    // The same session takes the next lesson from its start.
    Open("cat dog", 40, 7, tdByMatch);
    EXPECT_FALSE(session.IsFinished());
    EXPECT_EQ(session.IdlePauseDue(kPauseAfterMs), -1);
    Type("cat ");
    EXPECT_FALSE(session.IsFinished());
    EXPECT_EQ(session.Figures().keys, 4);
}

TEST_F(SessionTest, AKeySaysWhichWordsItChangedAndWhetherTheWordToTypeMoved) {
    Open("cat dog\nab", 40, 7);
    struct Step {
        char key;
        KeyOutcome outcome;
        int first, last, previous;
        const char* message;
    } steps[] = {
        {'c', KeyOutcome::kTyped, 0, 0, -1, ""},
        {'x', KeyOutcome::kTyped, 0, 0, -1, ""},
        {'\b', KeyOutcome::kTyped, 0, 0, -1, ""},
        {'a', KeyOutcome::kTyped, 0, 0, -1, ""},
        {'t', KeyOutcome::kTyped, 0, 0, -1, ""},
        {' ', KeyOutcome::kTyped, 0, 1, 0, ""},
        {'d', KeyOutcome::kTyped, 1, 1, -1, ""},
        {'\n', KeyOutcome::kRefused, 0, -1, -1, kNotLineEndHint},
        {'o', KeyOutcome::kTyped, 1, 1, -1, ""},
        {'g', KeyOutcome::kTyped, 1, 1, -1, ""},
        {' ', KeyOutcome::kRefused, 0, -1, -1, kEnterHereHint},
        {'\n', KeyOutcome::kTyped, 1, 2, 1, ""},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(std::string("key ") + s.key);
        const KeyEffect effect = Press(s.key);
        EXPECT_EQ(effect.outcome, s.outcome);
        EXPECT_FALSE(effect.repaint);
        EXPECT_EQ(effect.firstChanged, s.first);
        EXPECT_EQ(effect.lastChanged, s.last);
        EXPECT_EQ(effect.previousToken, s.previous);
        EXPECT_EQ(effect.message, s.message);
    }
    // Esc pauses and resumes: everything is drawn anew.
    EXPECT_TRUE(Press('\x1b').repaint);
    EXPECT_TRUE(session.IsPaused());
    EXPECT_TRUE(Press('\x1b').repaint);
    EXPECT_FALSE(session.IsPaused());
}

TEST_F(SessionTest, PausesByItselfAfterTheIdleTimeOnlyOnceStarted) {
    Open("cat dog", 40, 7);
    EXPECT_EQ(session.IdlePauseDue(kPauseAfterMs), -1);
    Type("ca");
    EXPECT_EQ(session.IdlePauseDue(kPauseAfterMs), now + kPauseAfterMs);
    EXPECT_FALSE(session.PauseIfIdle(now + kPauseAfterMs - 1, kPauseAfterMs));
    EXPECT_TRUE(session.PauseIfIdle(now + kPauseAfterMs, kPauseAfterMs));
    EXPECT_TRUE(session.IsPaused());
    EXPECT_EQ(session.IdlePauseDue(kPauseAfterMs), -1);
    // A key that is not the lesson's counts as activity and types nothing.
    Press('t');
    session.Press(Key{KeyKind::kResize, 0}, now + 5000);
    EXPECT_EQ(session.IdlePauseDue(kPauseAfterMs), now + 5000 + kPauseAfterMs);
    EXPECT_EQ(session.Figures().keys, 3);
}

TEST(PaletteDC, DrawsTheLibrarysColoursInThePalettesAndGivesBackWhatWasSet) {
    FixedPitchDC target;
    const Palette dark = Palette::Dark();
    PaletteDC dc(target, dark);
    const Palette light = Palette::Library();
    const struct {
        COLORREF library;
        COLORREF drawn;
    } cases[] = {{light.text, dark.text},       {light.current, dark.current},
                 {light.typed, dark.typed},     {light.typo, dark.typo},
                 {light.skipped, dark.skipped}, {RGB(1, 2, 3), RGB(1, 2, 3)}};
    for (const auto& c : cases) {
        dc.SetTextColor(c.library);
        EXPECT_EQ(target.GetTextColor(), c.drawn);
        EXPECT_EQ(dc.GetTextColor(), c.library);
    }
}

}  // namespace
