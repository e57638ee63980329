#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Article/TypeArtSession.h"
#include "diagnostics/ReportCapture.h"

namespace {

using Strings = std::vector<std::string>;
using typeart_test::Drawn;
using typeart_test::Outputs;

constexpr COLORREF kBlack = 0x00000000;
constexpr COLORREF kBlue = 0x00FF0000;

const RECT kPaper{10, 20, 110, 220};  // 100 wide, 10 lines of pitch 20

// "aaaa bbbb" on line 0, "cccc dd" on line 1, in 8 x 16 cells.
void LayOut(Art& art, const char* text = "aaaa bbbb cccc dd", const RECT& paper = kPaper) {
    art.SetText(text);
    art.SetPaperRect(&paper);
}

TEST(ArtDraw, DrawsEachTokenAtItsPlaceHighlightedOrMasked) {
    struct Case {
        BOOL highlight;
        BOOL masked;
        std::vector<Drawn> drawn;
    };
    const Case cases[] = {
        {FALSE,
         FALSE,
         {{10, 20, "aaaa", kBlack},
          {51, 20, "bbbb", kBlack},
          {10, 40, "cccc", kBlack},
          {51, 40, "dd", kBlack}}},
        {TRUE,
         FALSE,
         {{10, 20, "aaaa", kBlack},
          {51, 20, "bbbb", kBlack},
          {10, 40, "cccc", kBlack},
          {51, 40, "dd", kBlue}}},
        {TRUE,
         TRUE,
         {{10, 20, "****", kBlack},
          {51, 20, "****", kBlack},
          {10, 40, "****", kBlack},
          {51, 40, "**", kBlue}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.highlight * 2 + c.masked);
        Art art;
        LayOut(art);
        art.SetCurrentToken(3);
        art.SetHighlightCurrent(c.highlight);
        art.SetMasked(c.masked);
        FixedPitchDC dc;
        EXPECT_TRUE(art.Draw(&dc, &kPaper));
        EXPECT_EQ(Outputs(dc), c.drawn);
        for (const TextOutput& t : dc.Outputs()) {
            EXPECT_EQ(t.bkMode, TRANSPARENT);
            EXPECT_TRUE(t.font.bStock);
        }
    }
}

TEST(ArtDraw, DrawsOnlyTokensOfLinesThatMeetTheClipBox) {
    struct Case {
        RECT clip;
        Strings texts;
    };
    const Case cases[] = {
        {{0, 40, 200, 60}, {"cccc", "dd"}},                  // the second line's band
        {{0, 0, 30, 300}, {"aaaa", "cccc"}},                 // the first column
        {{0, 0, 200, 20}, {}},                               // above the paper
        {{0, 0, 200, 400}, {"aaaa", "bbbb", "cccc", "dd"}},  // everything
    };
    for (const Case& c : cases) {
        Art art;
        LayOut(art);
        FixedPitchDC dc;
        dc.SetClipBox(c.clip);
        art.Draw(&dc, &kPaper);
        Strings texts;
        for (const TextOutput& t : dc.Outputs()) {
            texts.push_back(t.text);
        }
        EXPECT_EQ(texts, c.texts) << c.clip.top;
    }
}

TEST(ArtDraw, ScrollTopPastTheLastLineIsRefusedWithTheContextUntouched) {
    Art art;
    LayOut(art);
    art.Scroll(9);
    FixedPitchDC dc;
    ScopedReportCapture reports;
    EXPECT_FALSE(art.Draw(&dc, &kPaper));
    EXPECT_EQ(reports.Messages(), Strings{"Scroll top line is too large"});
    EXPECT_TRUE(dc.Outputs().empty());
    EXPECT_TRUE(dc.GetFont().bStock);
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);

    Art empty;  // without tokens there is nothing to refuse, nor a line height to page by
    LayOut(empty, "");
    empty.Scroll(9);
    reports.Clear();
    EXPECT_TRUE(empty.Draw(&dc, &kPaper));
    EXPECT_EQ(reports.Messages(),
              Strings{"GetPageLineCount called before Article is completely initialized"});
}

TEST(ArtDraw, LeavesTheContextsFontColourAndModeAsItFoundThem) {
    Art art;
    LayOut(art);
    FixedPitchDC dc;
    LOGFONTA host{};
    host.lfHeight = -12;
    dc.SelectObject(host);
    dc.SetTextColor(0x123456);
    art.SetHighlightCurrent(TRUE);
    EXPECT_TRUE(art.Draw(&dc, &kPaper));
    EXPECT_EQ(dc.Outputs().size(), 4u);
    EXPECT_EQ(dc.GetFont().lf.lfHeight, -12);
    EXPECT_EQ(dc.GetTextColor(), 0x123456u);
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);
}

}  // namespace
