// The reference article measured and laid out with a real, proportional font.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Article/Art.h"
#include "RenderSupport.h"
#include "render/CairoDC.h"

namespace {

using render_test::LogFont;

constexpr int kPaperWidth = 300;
const RECT kPaper{20, 10, 20 + kPaperWidth, 590};

const char* const kParagraph =
    "Typing well is a matter of rhythm more than speed: the hands learn the shapes of common "
    "words, WWW MMM and iii lll take very different room on a line, and a justified paragraph "
    "spreads what is left of each line over its gaps. Illustrious, millimetre-wide, quick "
    "zephyrs blow; vexing daft Jim.";

const LOGFONTA kSerif = LogFont("DejaVu Serif", 20);

// Tokens of each line, by the article's own line index.
std::vector<std::vector<int>> Lines(const Art& art) {
    std::vector<std::vector<int>> lines(static_cast<size_t>(art.GetLineCount()));
    for (int i = 0; i < art.GetTokenCount(); ++i) {
        lines.at(static_cast<size_t>(art.GetTokenLine(i))).push_back(i);
    }
    return lines;
}

std::string TokenText(const Art& art, int i) {
    std::string s;
    return art.GetTokens()[i]->GetString(s);
}

// The line's text as layout measures it: its tokens with one space between neighbours.
std::string LineText(const Art& art, const std::vector<int>& line) {
    std::string text;
    for (int i : line) {
        if (!text.empty()) {
            text += ' ';
        }
        text += TokenText(art, i);
    }
    return text;
}

class ArticleRender : public ::testing::Test {
protected:
    void LayOut(BOOL justify) {
        art.SetText(kParagraph);
        art.SetFont(&kSerif);
        art.SetJustify(justify);
        art.SetPaperRect(&kPaper);  // laid out in the desktop context
        measure.SelectObject(kSerif);
    }

    CairoDesktopDCProvider provider;
    ScopedDesktopDCProvider scope{&provider};
    CairoDC measure{10, 10};
    Art art;
};

TEST_F(ArticleRender, LinesBreakWhereTheMeasuredWidthsSay) {
    LayOut(FALSE);
    const auto lines = Lines(art);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(art.GetLineHeight(), 20);
    for (size_t k = 0; k < lines.size(); ++k) {
        SCOPED_TRACE(k);
        ASSERT_FALSE(lines[k].empty());
        const std::string text = LineText(art, lines[k]);
        EXPECT_LE(measure.GetTextExtent(text).cx, kPaperWidth);
        if (k + 1 < lines.size()) {
            const std::string longer = text + " " + TokenText(art, lines[k + 1].front());
            EXPECT_GT(measure.GetTextExtent(longer).cx, kPaperWidth);
        }
        // Each token starts one pixel after the measured prefix before it and ends where the
        // prefix through it ends.
        std::string prefix;
        for (int i : lines[k]) {
            RECT rc;
            art.GetTokenRect(&rc, i);
            EXPECT_EQ(rc.left, prefix.empty() ? 0 : measure.GetTextExtent(prefix).cx + 1);
            prefix += TokenText(art, i);
            EXPECT_EQ(rc.right - 1, measure.GetTextExtent(prefix).cx);
            prefix += " ";
        }
    }
}

TEST_F(ArticleRender, JustifiedLinesEndAtThePapersRightEdge) {
    LayOut(TRUE);
    const auto lines = Lines(art);
    ASSERT_GE(lines.size(), 5u);
    for (size_t k = 0; k < lines.size(); ++k) {
        SCOPED_TRACE(k);
        RECT first;
        RECT last;
        art.GetTokenDrawRect(&first, lines[k].front());
        art.GetTokenDrawRect(&last, lines[k].back());
        EXPECT_EQ(first.left, kPaper.left);
        const int end = last.right - 1;  // draw rectangles reach one past the token
        if (k + 1 < lines.size()) {
            EXPECT_EQ(end, kPaper.right);
        } else {
            EXPECT_EQ(end, kPaper.left + measure.GetTextExtent(LineText(art, lines[k])).cx);
            EXPECT_LT(end, kPaper.right);
        }
    }
}

}  // namespace
