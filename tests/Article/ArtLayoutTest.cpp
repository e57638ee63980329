#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Article/Art.h"
#include "platform/FixedPitchDC.h"

namespace {

// Stored rectangle and line of one token.
struct Placed {
    RECT rc;
    int line;
};

bool operator==(const Placed& a, const Placed& b) {
    return EqualRect(&a.rc, &b.rc) && a.line == b.line;
}

void PrintTo(const Placed& p, std::ostream* os) {
    *os << "(" << p.rc.left << "," << p.rc.top << "," << p.rc.right << "," << p.rc.bottom
        << " line " << p.line << ")";
}

std::vector<Placed> Placement(const Art& art) {
    std::vector<Placed> placed;
    for (int i = 0; i < art.GetTokenCount(); ++i) {
        Placed p{};
        art.GetTokens()[i]->GetRect(&p.rc);
        p.line = art.GetTokens()[i]->GetLine();
        placed.push_back(p);
    }
    return placed;
}

// Lays text out in 8 x 16 cells on a paper of the given width.
void LayOut(Art& art, const char* text, int width, BOOL justify = FALSE) {
    art.SetText(text);
    art.SetJustify(justify);
    FixedPitchDC dc;
    const RECT paper{0, 0, width, 400};
    art.SetPaperRect(&paper);
    ASSERT_TRUE(art.Recalculate(&dc));
}

TEST(ArtLayout, BreaksLinesBetweenTokensAndJustifiesOnlyWrappedLines) {
    struct Case {
        const char* text;
        BOOL justify;
        std::vector<Placed> placed;
    };
    const Case cases[] = {
        {"aaaa bbbb cccc",
         FALSE,
         {{{0, 0, 32, 16}, 0}, {{41, 0, 72, 16}, 0}, {{0, 20, 32, 36}, 1}}},
        {"aaaa bbbb cccc",
         TRUE,
         {{{0, 0, 32, 16}, 0}, {{69, 0, 100, 16}, 0}, {{0, 20, 32, 36}, 1}}},
        {"aaaa   \t bbbb\ncc dd",
         TRUE,
         {{{0, 0, 32, 16}, 0}, {{41, 0, 72, 16}, 0}, {{0, 20, 16, 36}, 1}, {{25, 20, 40, 36}, 1}}},
        {"x y abcdefghijklmnop z",
         FALSE,
         {{{0, 0, 8, 16}, 0}, {{17, 0, 24, 16}, 0}, {{0, 20, 128, 36}, 1}, {{0, 40, 8, 56}, 2}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Art art;
        LayOut(art, c.text, 100, c.justify);
        EXPECT_EQ(Placement(art), c.placed);
    }
}

TEST(ArtLayout, RecalculateLineSpreadsOneLineAndTellsWhetherItOverflows) {
    struct Case {
        int paperWidth;
        int line;
        BOOL overflow;
        RECT lastRect;
    };
    const Case cases[] = {
        {100, 1, FALSE, {85, 20, 100, 36}},  // cccc dd: 56 wide
        {72, 0, TRUE, {41, 0, 72, 16}},      // aaaa bbbb: exactly as wide as the paper
        {73, 0, FALSE, {42, 0, 73, 16}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.paperWidth);
        Art art;
        LayOut(art, "aaaa bbbb cccc dd", c.paperWidth);
        FixedPitchDC dc;
        LOGFONTA hostFont{};
        hostFont.lfHeight = 12;
        dc.SelectFont(DCFont::FromLogFont(hostFont));  // measured in the article's, given back
        BOOL overflow = -1;
        EXPECT_TRUE(art.RecalculateLine(&dc, c.line, &overflow));
        EXPECT_EQ(overflow, c.overflow);
        EXPECT_EQ(dc.GetFont().lf.lfHeight, 12);
        const int last = c.line == 0 ? 1 : 3;
        EXPECT_EQ(Placement(art)[last], (Placed{c.lastRect, c.line}));
        EXPECT_TRUE(art.RecalculateLine(nullptr, c.line, nullptr));  // already spread
        EXPECT_EQ(Placement(art)[last], (Placed{c.lastRect, c.line}));
    }
}

}  // namespace
