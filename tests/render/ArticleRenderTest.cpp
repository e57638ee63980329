// The reference article and typed tokens measured and drawn with real, proportional fonts.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Article/Art.h"
#include "Article/TypeToken.h"
#include "RenderSupport.h"
#include "render/CairoDC.h"

namespace {

using render_test::CountInk;
using render_test::CountPixels;
using render_test::LogFont;
using render_test::PixelCounts;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
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
        text += (text.empty() ? "" : " ") + TokenText(art, i);
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

TEST_F(ArticleRender, ProportionalWidthsGiveLinesOfDifferentLengths) {
    LayOut(FALSE);
    // The same number of letters takes very different room.
    EXPECT_GT(measure.GetTextExtent("WWW MMM").cx, 2 * measure.GetTextExtent("iii lll").cx);
    const auto lines = Lines(art);
    std::vector<size_t> lengths;
    for (const auto& line : lines) {
        lengths.push_back(LineText(art, line).size());
    }
    EXPECT_NE(*std::min_element(lengths.begin(), lengths.end() - 1),
              *std::max_element(lengths.begin(), lengths.end() - 1));
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

TEST_F(ArticleRender, CurrentTokenIsBlueAndTheOthersBlack) {
    LayOut(TRUE);
    CairoDC dc(kPaper.right + 20, kPaper.bottom + 10);
    const int current = 7;
    art.SetHighlightCurrent(TRUE);
    art.SetCurrentToken(current);
    ASSERT_TRUE(art.Draw(&dc, &kPaper));
    EXPECT_EQ(dc.GetTextColor(), kBlack);
    for (int i = 0; i < art.GetTokenCount(); ++i) {
        SCOPED_TRACE(TokenText(art, i));
        RECT rc;
        art.GetTokenDrawRect(&rc, i);
        const PixelCounts counts = CountPixels(dc, rc, i == current ? kBlue : kBlack);
        EXPECT_GT(counts.changed, 0);
        EXPECT_GT(counts.strong, 0);
        EXPECT_EQ(counts.offColour, 0);
    }
    // The page as a picture of the surface's size.
    const std::string path = render_test::ScratchPath("paragraph.png");
    ASSERT_TRUE(dc.WritePng(path));
    cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
    EXPECT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(png), dc.GetWidth());
    EXPECT_EQ(cairo_image_surface_get_height(png), dc.GetHeight());
    cairo_surface_destroy(png);
    std::remove(path.c_str());
}

TEST_F(ArticleRender, OnlyTheClippedLineIsDrawn) {
    LayOut(FALSE);
    CairoDC dc(kPaper.right + 20, kPaper.bottom + 10);
    const int pitch = art.GetLinePitch();
    RECT band;
    SetRect(&band, 0, kPaper.top + 2 * pitch, dc.GetWidth(), kPaper.top + 3 * pitch);
    dc.SetClipBox(band);
    ASSERT_TRUE(art.Draw(&dc, &kPaper));
    RECT whole;
    SetRect(&whole, 0, 0, dc.GetWidth(), dc.GetHeight());
    EXPECT_GT(CountInk(dc, band), 100);
    EXPECT_EQ(CountInk(dc, whole), CountInk(dc, band));
}

struct Typed {
    Typed(const char* reference, const char* keys) {
        ref.SetString(reference);
        typed.SetReference(&ref);
        for (const char* p = keys; *p; ++p) {
            typed.AddChar(*p);
        }
        typed.CompareByMatching(TRUE);
    }
    Token ref;
    TypeToken typed;
};

// The cell of character i of the reference text drawn at (x, y).
RECT CharCell(CairoDC& dc, const std::string& reference, int i, int x, int y) {
    const int left = x + dc.GetTextExtent(reference.data(), i).cx;
    const SIZE size = dc.GetTextExtent(reference.data() + i, 1);
    RECT rc;
    SetRect(&rc, left, y, left + size.cx, y + size.cy);
    return rc;
}

TEST(TypedTokenRender, WrongCharacterIsRedAndTheRestGrey) {
    Typed t("Typing", "Tyqing");
    CairoDC dc(200, 40);
    dc.SelectObject(kSerif);
    dc.SetBkMode(TRANSPARENT);
    t.typed.Draw(&dc, 10, 10);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        const RECT cell = CharCell(dc, "Typing", i, 10, 10);
        const PixelCounts counts = CountPixels(dc, cell, i == 2 ? kTypedRed : kTypedGrey);
        EXPECT_GT(counts.strong, 0);
        EXPECT_EQ(counts.offColour, 0);
    }
}

TEST(TypedTokenRender, PlaceholderIsAGreenUnderscore) {
    Typed t("Typing", "Tying");
    CairoDC dc(200, 40);
    dc.SelectObject(kSerif);
    dc.SetBkMode(TRANSPARENT);
    t.typed.Draw(&dc, 10, 10);
    const RECT cell = CharCell(dc, "Typing", 2, 10, 10);
    const PixelCounts counts = CountPixels(dc, cell, kTypedGreen);
    EXPECT_GT(counts.strong, 0);
    EXPECT_EQ(counts.offColour, 0);
    // An underscore: all its ink below the baseline's neighbourhood, none in the upper half.
    RECT upper = cell;
    upper.bottom = cell.top + dc.GetTextAscent() / 2;
    EXPECT_EQ(CountInk(dc, upper), 0);
}

}  // namespace
