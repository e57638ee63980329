#include "platform/FixedPitchDC.h"

#include <gtest/gtest.h>

namespace {

LOGFONTA Font(LONG height, LONG width) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    return lf;
}

TEST(FixedPitchDC, MeasuresEveryByteAsOneCellOfTheSelectedFont) {
    struct Case {
        DCFont font;
        int length;
        SIZE expected;
    };
    const Case cases[] = {
        {DCFont::Stock(), 5, {40, 16}},
        {DCFont::Stock(), 0, {0, 16}},
        {DCFont::FromLogFont(Font(-20, 0)), 3, {30, 20}},
        {DCFont::FromLogFont(Font(20, 7)), 3, {21, 20}},
    };
    for (const Case& c : cases) {
        FixedPitchDC dc;
        dc.SelectFont(c.font);
        SIZE size = dc.GetTextExtent("abcdefgh", c.length);
        EXPECT_EQ(size.cx, c.expected.cx);
        EXPECT_EQ(size.cy, c.expected.cy);
    }
}

TEST(FixedPitchDC, RecordsOutputsWithColourModeAndFontAndGivesBackPreviousSettings) {
    FixedPitchDC dc;
    DCFont before = dc.SelectObject(Font(-10, 0));
    EXPECT_TRUE(before.bStock);
    EXPECT_EQ(dc.SetTextColor(RGB(255, 0, 0)), 0u);
    EXPECT_EQ(dc.SetBkMode(TRANSPARENT), OPAQUE);
    dc.TextOut(3, 4, std::string("hi"));
    ASSERT_EQ(dc.Outputs().size(), 1u);
    const TextOutput& out = dc.Outputs()[0];
    EXPECT_EQ(out.x, 3);
    EXPECT_EQ(out.y, 4);
    EXPECT_EQ(out.text, "hi");
    EXPECT_EQ(out.color, 0x0000FFu);
    EXPECT_EQ(out.bkMode, TRANSPARENT);
    EXPECT_FALSE(out.font.bStock);
    DCFont previous = dc.SelectFont(before);
    EXPECT_EQ(previous.lf.lfHeight, -10);
    dc.ClearOutputs();
    EXPECT_TRUE(dc.Outputs().empty());
}

TEST(DesktopDC, DefaultsToAFixedPitchContextAndHonoursAnInstalledProvider) {
    CDC* dc = GetDesktopDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(dc->GetTextExtent("ab", 2).cx, 16);
    ReleaseDesktopDC(dc);

    struct NoDC : DesktopDCProvider {
        CDC* GetDC() override { return nullptr; }
        void ReleaseDC(CDC*) override {}
    } none;
    {
        ScopedDesktopDCProvider scoped(&none);
        EXPECT_EQ(GetDesktopDC(), nullptr);
    }
    dc = GetDesktopDC();
    EXPECT_NE(dc, nullptr);
    ReleaseDesktopDC(dc);
}

TEST(Rectangles, HelpersFollowTheWin32Meaning) {
    RECT a{0, 0, 10, 10}, b{5, 5, 20, 20}, out{};
    EXPECT_TRUE(IntersectRect(&out, &a, &b));
    RECT expected{5, 5, 10, 10};
    EXPECT_TRUE(EqualRect(&out, &expected));
    RECT far{11, 0, 12, 10};
    EXPECT_FALSE(IntersectRect(&out, &a, &far));
    EXPECT_TRUE(IsRectEmpty(&out));
    RECT zeroWidth{3, 0, 3, 10};
    EXPECT_TRUE(IsRectEmpty(&zeroWidth));
    OffsetRect(&a, 2, -1);
    RECT moved{2, -1, 12, 9};
    EXPECT_TRUE(EqualRect(&a, &moved));
}

}  // namespace
