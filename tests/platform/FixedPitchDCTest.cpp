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

}  // namespace
