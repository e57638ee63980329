#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "Article/Art.h"
#include "diagnostics/ReportCapture.h"

namespace {

using Strings = std::vector<std::string>;

// n one-word lines.
std::string Lines(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) {
        text += i + 1 < n ? "w\n" : "w";
    }
    return text;
}

// Lays text out in 8 x 16 cells (pitch 20) on paper.
void LayOut(Art& art, const std::string& text, RECT paper) {
    art.SetText(text.c_str());
    art.SetPaperRect(&paper);
}

// Scrolling up stops at line 0; down, only to the page's bottom line or beyond.
TEST(ArtGeometry, ScrollsWithinTheBoundsOfTheText) {
    Art few;
    LayOut(few, Lines(3), {0, 0, 100, 200});
    EXPECT_EQ(few.GetScrollBottomLine(), 9);  // the page's last line, even past the text
    const Strings up{"Try to scroll up at first page"};
    const Strings down{"Try to scroll down at last page"};
    struct Case {
        int start;
        int nLines;
        int top;
        Strings reports;
    };
    const Case cases[] = {
        {9, -10, 9, up},
        {9, -9, 0, {}},
        {0, 1, 0, down},
        {0, 8, 0, down},
        {0, 9, 9, {}},
        // Neither the line count nor the page count limits it.
        {0, 40, 40, {}},
        {9, INT_MAX, 9, down},
        {0, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nLines);
        Art art;
        LayOut(art, Lines(20), {0, 0, 100, 200});  // 10 lines a page
        art.Scroll(c.start);
        ScopedReportCapture reports;
        EXPECT_EQ(art.Scroll(c.nLines), 0);
        EXPECT_EQ(art.GetScrollTopLine(), c.top);
        EXPECT_EQ(reports.Messages(), c.reports);
    }
}

TEST(ArtGeometry, ScrollNeedsAPaperAndSurvivesANewLayout) {
    Art art;
    art.SetText(Lines(20).c_str());
    {
        ScopedReportCapture reports;
        art.Scroll(1);
        EXPECT_EQ(reports.Messages(), Strings{"GetPageCount called before m_rcPaper is set"});
    }
    const RECT paper{0, 0, 100, 100};
    art.SetPaperRect(&paper);
    art.Scroll(6);
    art.SetPaperRect(&paper);
    EXPECT_EQ(art.GetScrollTopLine(), 6);
}

TEST(ArtGeometry, TokenLineCountsTheFlaggedTokensBeforeIt) {
    Art art;
    LayOut(art, "aaaa bbbb cccc\ndd", {0, 0, 100, 200});
    const int tokens[] = {-5, 0, 1, 2, 3, 4, INT_MAX};
    const int lines[] = {0, 0, 0, 1, 2, 2, 2};
    for (size_t i = 0; i < std::size(tokens); ++i) {
        EXPECT_EQ(art.GetTokenLine(tokens[i]), lines[i]) << tokens[i];
    }
    art.GetTokens()[0]->SetLineEnd(TRUE);  // the flags count, not the stored line
    EXPECT_EQ(art.GetTokenLine(1), 1);
    const int last = art.GetTokenCount() - 1;
    const int lineOfLast = art.GetTokenLine(last);
    // A token's own flag ends its line, not the one before it.
    art.GetTokens()[last]->SetLineEnd(TRUE);
    EXPECT_EQ(art.GetTokenLine(last), lineOfLast);
}

TEST(ArtGeometry, LineRightIsJustPastTheLastTokenOfTheLine) {
    Art art;
    LayOut(art, "aaaa bbbb cccc", {0, 0, 100, 200});
    const int lines[] = {-1, 0, 1, 2};
    const int rights[] = {0, 73, 33, 0};
    for (size_t i = 0; i < std::size(lines); ++i) {
        EXPECT_EQ(art.GetLineRight(lines[i]), rights[i]) << lines[i];
    }
    Art single;
    LayOut(single, "abc", {0, 0, 100, 200});
    EXPECT_EQ(single.GetLineRight(0), 25);
}

TEST(ArtGeometry, PagesHoldTheWholeLinesThatFit) {
    struct Case {
        int lines;
        int paperHeight;
        int pageLines;
        int pages;
    };
    const Case cases[] = {
        {25, 200, 10, 3}, {30, 200, 10, 3}, {31, 200, 10, 4},
        {1, 16, 1, 1},    {3, 15, 0, -1},  // not even one line fits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        Art art;
        LayOut(art, Lines(c.lines), {0, 0, 100, c.paperHeight});
        EXPECT_EQ(art.GetLineCount(), c.lines);
        EXPECT_EQ(art.GetPageLineCount(), c.pageLines);
        EXPECT_EQ(art.GetPageCount(), c.pages);
    }
}

}  // namespace
