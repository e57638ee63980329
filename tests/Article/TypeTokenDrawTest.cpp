#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Article/TypeToken.h"
#include "diagnostics/ReportCapture.h"
#include "platform/Clock.h"
#include "platform/FixedPitchDC.h"

namespace {

constexpr COLORREF kCallerColor = RGB(1, 2, 3);
constexpr int kCell = FixedPitchDC::kStockCellWidth;

struct BoundToken {
    explicit BoundToken(const char* reference) {
        ref.SetString(reference);
        typed.SetReference(&ref);
    }
    void Type(const std::string& keys) {
        for (char c : keys) {
            typed.AddChar(c);
        }
    }
    Token ref;
    TypeToken typed;
};

struct Out {
    int x;
    std::string text;
    COLORREF color;
};

std::vector<Out> Draw(TypeToken& token, FixedPitchDC& dc, int x = 100, int y = 50) {
    dc.SetTextColor(kCallerColor);
    EXPECT_TRUE(token.Draw(&dc, x, y));
    EXPECT_EQ(dc.GetTextColor(), kCallerColor);
    std::vector<Out> outs;
    for (const TextOutput& o : dc.Outputs()) {
        EXPECT_EQ(o.y, y);
        outs.push_back(Out{o.x, o.text, o.color});
    }
    return outs;
}

void ExpectOutputs(const std::vector<Out>& actual, const std::vector<Out>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(actual[i].x, expected[i].x);
        EXPECT_EQ(actual[i].text, expected[i].text);
        EXPECT_EQ(actual[i].color, expected[i].color);
    }
}

TEST(TypeTokenDraw, ColoursEachCharacterByItsStateAtItsReferencePlace) {
    BoundToken t("hello");
    t.Type("hxllo");
    t.typed.CompareByMatching(TRUE);
    FixedPitchDC dc;
    ExpectOutputs(Draw(t.typed, dc), {{100, "h", kTypedGrey},
                                      {100 + kCell, "x", kTypedRed},
                                      {100 + 2 * kCell, "l", kTypedGrey},
                                      {100 + 3 * kCell, "l", kTypedGrey},
                                      {100 + 4 * kCell, "o", kTypedGrey}});
}

TEST(TypeTokenDraw, PlaceholdersAreGreenUnderscores) {
    BoundToken t("hello");
    t.Type("hllo");
    t.typed.CompareByMatching(TRUE);
    FixedPitchDC dc;
    ExpectOutputs(Draw(t.typed, dc, 0), {{0, "h", kTypedGrey},
                                         {kCell, "_", kTypedGreen},
                                         {2 * kCell, "l", kTypedGrey},
                                         {3 * kCell, "l", kTypedGrey},
                                         {4 * kCell, "o", kTypedGrey}});
}

TEST(TypeTokenDraw, OffsetsAreReferencePrefixWidthsInTheSelectedFont) {
    BoundToken t("hello");
    t.Type("hxl");
    t.typed.CompareByLetter();
    FixedPitchDC dc;
    LOGFONTA lf{};
    lf.lfHeight = 20;
    lf.lfWidth = 11;
    dc.SelectObject(lf);
    ExpectOutputs(Draw(t.typed, dc, 5),
                  {{5, "h", kTypedGrey}, {16, "x", kTypedRed}, {27, "l", kTypedGrey}});
}

TEST(TypeTokenDraw, CharactersPastTheReferenceFollowItsEnd) {
    BoundToken t("ab");
    t.Type("abcd");
    t.typed.CompareByLetter();
    FixedPitchDC dc;
    ExpectOutputs(Draw(t.typed, dc, 0), {{0, "a", kTypedGrey},
                                         {kCell, "b", kTypedGrey},
                                         {2 * kCell, "c", kTypedRed},
                                         {3 * kCell, "d", kTypedRed}});
}

TEST(TypeTokenDraw, EmptyReferenceStillPlacesCharactersApart) {
    BoundToken t("");
    t.Type("xy");
    t.typed.CompareByLetter();
    FixedPitchDC dc;
    ExpectOutputs(Draw(t.typed, dc, 0), {{0, "x", kTypedRed}, {kCell, "y", kTypedRed}});
}

TEST(TypeTokenDraw, WithoutMarkingEverythingIsGreyButPlaceholdersStayUnderscores) {
    BoundToken t("hello");
    t.typed.SetMarkTypos(FALSE);
    t.Type("hlxo");
    t.typed.CompareByMatching(TRUE);
    ASSERT_EQ(t.typed.GetLength(), 5);
    FixedPitchDC dc;
    const std::vector<Out> outs = Draw(t.typed, dc);
    std::string glyphs;
    for (const Out& o : outs) {
        EXPECT_EQ(o.color, kTypedGrey);
        glyphs += o.text;
    }
    std::string judged;
    EXPECT_EQ(glyphs, t.typed.GetString(judged));
    EXPECT_NE(glyphs.find('_'), std::string::npos);
}

TEST(TypeTokenDraw, ControlCodesShowAsUnderscoreAndSpace) {
    BoundToken t("abc");
    t.Type(std::string("a") + kCodeEarlySpace + kCodeFreeSpace);
    t.typed.CompareByLetter();
    FixedPitchDC dc;
    ExpectOutputs(Draw(t.typed, dc, 0),
                  {{0, "a", kTypedGrey}, {kCell, "_", kTypedRed}, {2 * kCell, " ", kTypedRed}});
}

TEST(TypeTokenDraw, TextEqualToTheReferenceIsOnePieceInGrey) {
    BoundToken t("hello");
    t.Type("hellx");
    t.typed.CompareByLetter();
    t.typed.SetString("hello");  // the list still holds the wrong x
    ASSERT_EQ(t.typed.GetLastChar()->m_ch, 'x');
    FixedPitchDC dc;
    ExpectOutputs(Draw(t.typed, dc), {{100, "hello", kTypedGrey}});
}

TEST(TypeTokenDraw, AnEmptyListIsJudgedAsAFinishedWordFirst) {
    BoundToken t("hello");
    t.Type("helo");
    FixedPitchDC dc;
    const std::vector<Out> outs = Draw(t.typed, dc, 0);
    ASSERT_EQ(outs.size(), 5u);
    EXPECT_EQ(outs[4].x, 4 * kCell);
    EXPECT_EQ(outs[4].text, "_");
    EXPECT_EQ(outs[4].color, kTypedGreen);
    EXPECT_EQ(t.typed.GetLength(), 5);
}

TEST(TypeTokenDraw, UnboundTokenReportsTwiceAndDrawsItsTypedText) {
    TypeToken token;
    token.AddChar('o');
    token.AddChar('k');
    ScopedReportCapture reports;
    FixedPitchDC dc;
    ExpectOutputs(Draw(token, dc, 7), {{7, "ok", kCallerColor}});
    EXPECT_EQ(reports.Messages(),
              (std::vector<std::string>{"Draw called before reference token is set",
                                        "GetString called before reference token is set"}));
}

TEST(TypeTokenDraw, NullDeviceContextDrawsNothing) {
    BoundToken t("cat");
    t.Type("cx");
    EXPECT_TRUE(t.typed.Draw(nullptr, 0, 0));
}

// Timing runs on system time (UTC). The clocks below are given in local time with an offset
// of two hours, so local and UTC dates differ around midnight.
constexpr int kOffset = 120;

TEST(TypeTokenTiming, MeasuresMillisecondsWithinOneDay) {
    const struct {
        std::int64_t ms;
        int expected;
    } cases[] = {{0, 0}, {1234, 1234}, {60000, 60000}, {60001, 10000}, {75000, 10000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ms);
        ScopedFakeClock clock(2024, 3, 10, 12, 59, 30, 900, kOffset);
        TypeToken token;
        token.StartTiming();
        clock.Advance(c.ms);
        token.StopTiming();
        EXPECT_EQ(token.GetTypingTime(), c.expected);
    }
}

TEST(TypeTokenTiming, UtcMidnightInBetweenKeepsZero) {
    // Local 01:59:50 is 23:59:50 UTC of the day before.
    ScopedFakeClock clock(2024, 3, 10, 1, 59, 50, 0, kOffset);
    TypeToken token;
    token.StartTiming();
    clock.Advance(20000);
    token.StopTiming();
    EXPECT_EQ(token.GetTypingTime(), 0);
}

TEST(TypeTokenTiming, LocalMidnightAloneDoesNotMatter) {
    // Local 23:59:50 is 21:59:50 UTC.
    ScopedFakeClock clock(2024, 3, 10, 23, 59, 50, 0, kOffset);
    TypeToken token;
    token.StartTiming();
    clock.Advance(20000);
    token.StopTiming();
    EXPECT_EQ(token.GetTypingTime(), 20000);
}

TEST(TypeTokenTiming, StopWithoutStartKeepsZero) {
    ScopedFakeClock clock(2024, 3, 10, 12, 0);
    TypeToken token;
    token.StopTiming();
    EXPECT_EQ(token.GetTypingTime(), 0);
}

TEST(TypeTokenTiming, StartingAgainAndTypingClearTheTime) {
    ScopedFakeClock clock(2024, 3, 10, 12, 0);
    BoundToken t("cat");
    t.typed.StartTiming();
    clock.Advance(500);
    t.typed.StopTiming();
    ASSERT_EQ(t.typed.GetTypingTime(), 500);
    t.typed.AddChar('c');
    EXPECT_EQ(t.typed.GetTypingTime(), 0);
    t.typed.StopTiming();
    ASSERT_EQ(t.typed.GetTypingTime(), 500);
    t.typed.StartTiming();
    EXPECT_EQ(t.typed.GetTypingTime(), 0);
}

}  // namespace
