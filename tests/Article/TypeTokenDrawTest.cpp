#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Article/TypeArtSession.h"
#include "Article/TypeToken.h"
#include "diagnostics/ReportCapture.h"
#include "platform/FixedPitchDC.h"

namespace {

using typeart_test::BoundToken;
using typeart_test::Drawn;

constexpr COLORREF kCallerColor = RGB(1, 2, 3);
constexpr int kCell = FixedPitchDC::kStockCellWidth;

// Draws token at (x, 50) in the caller's colour, which the token must give back.
std::vector<Drawn> Draw(TypeToken& token, FixedPitchDC& dc, int x = 100) {
    dc.SetTextColor(kCallerColor);
    EXPECT_TRUE(token.Draw(&dc, x, 50));
    EXPECT_EQ(dc.GetTextColor(), kCallerColor);
    return typeart_test::Outputs(dc);
}

// Each judged character at its reference prefix's width in the selected font, coloured by its
// state: right grey (g), wrong red (r), missing a green underscore (u).
TEST(TypeTokenDraw, ColoursEachCharacterByItsStateAtItsReferencePlace) {
    const struct {
        const char* reference;
        std::string typed;
        bool byMatching;
        int cell;  // the font's cell width
        const char* glyphs;
        const char* colours;
    } cases[] = {
        {"hello", "hxllo", true, kCell, "hxllo", "grggg"},
        {"hello", "hllo", true, kCell, "h_llo", "guggg"},
        {"hello", "hxl", false, 11, "hxl", "grg"},
        // Past the reference's end, and with an empty reference, characters still stand apart.
        {"ab", "abcd", false, kCell, "abcd", "ggrr"},
        {"", "xy", false, kCell, "xy", "rr"},
        // Control codes show as underscore and space.
        {"abc", std::string("a") + kCodeEarlySpace + kCodeFreeSpace, false, kCell, "a_ ", "grr"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.glyphs);
        BoundToken t(c.reference);
        t.Type(c.typed);
        if (c.byMatching) {
            t.typed.CompareByMatching(TRUE);
        } else {
            t.typed.CompareByLetter();
        }
        FixedPitchDC dc;
        LOGFONTA lf{};
        lf.lfHeight = 20;
        lf.lfWidth = c.cell;
        if (c.cell != kCell) {
            dc.SelectObject(lf);
        }
        std::vector<Drawn> expected;
        for (std::size_t i = 0; c.glyphs[i]; ++i) {
            const COLORREF colour = c.colours[i] == 'g'   ? kTypedGrey
                                    : c.colours[i] == 'r' ? kTypedRed
                                                          : kTypedGreen;
            expected.push_back(
                Drawn{100 + static_cast<int>(i) * c.cell, 50, std::string(1, c.glyphs[i]), colour});
        }
        EXPECT_EQ(Draw(t.typed, dc), expected);
    }
}

TEST(TypeTokenDraw, UnboundTokenReportsTwiceAndDrawsItsTypedText) {
    TypeToken token;
    token.AddChar('o');
    token.AddChar('k');
    ScopedReportCapture reports;
    FixedPitchDC dc;
    EXPECT_EQ(Draw(token, dc, 7), (std::vector<Drawn>{{7, 50, "ok", kCallerColor}}));
    EXPECT_EQ(reports.Messages(),
              (std::vector<std::string>{"Draw called before reference token is set",
                                        "GetString called before reference token is set"}));
}

}  // namespace
