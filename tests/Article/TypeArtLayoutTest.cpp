#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Article/TypeArtSession.h"

namespace {

using ::testing::ElementsAre;
using typeart_test::Drawn;
using typeart_test::kLineHeight;
using typeart_test::Lesson;
using typeart_test::Outputs;
using typeart_test::SameRect;

RECT Rect(int left, int top, int right, int bottom) {
    return RECT{left, top, right, bottom};
}

// ---- Token rectangles ---------------------------------------------------------------------

TEST(TypeArtTokenRect, WidensInProportionForTypedTextLongerThanItsReference) {
    Lesson lesson("cat dog", tdByMatch);
    const RECT stored = Rect(10, 0, 40, 16);
    lesson.RefToken(0)->SetRect(&stored);
    lesson.typing->Recalculate(&lesson.dc);
    RECT rc;
    lesson.Type("ca");
    lesson.typing->GetTokenRect(&rc, 0);
    EXPECT_TRUE(SameRect(rc, Rect(10, 0, 41, 17)));  // shorter: no narrowing
    lesson.Type("txy");
    ASSERT_EQ(lesson.Typed(0)->GetLength(), 5);
    lesson.typing->GetTokenRect(&rc, 0);
    EXPECT_TRUE(SameRect(rc, Rect(10, 0, 61, 17)));  // 10 + 5 * 30 / 3 + 1
}

// ---- RedrawLastWord -----------------------------------------------------------------------

TEST(TypeArtRedraw, CurrentTokenFirstThenTheOnesBeforeItEachOnce) {
    const struct {
        const char* keys;
        int words;
        std::vector<Drawn> drawn;
    } cases[] = {
        {"cat dxg",
         2,
         {{43, 300, "d", kTypedGrey},
          {51, 300, "x", kTypedRed},
          {59, 300, "g", kTypedGrey},
          {10, 300, "cat", kTypedGrey}}},
        {"cat do",
         50,
         {{43, 300, "d", kTypedGrey}, {51, 300, "o", kTypedGrey}, {10, 300, "cat", kTypedGrey}}},
        {"ca", 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        Lesson lesson("cat dog fox");
        lesson.Type(c.keys);
        EXPECT_FALSE(lesson.typing->RedrawLastWord(nullptr, c.words));
        EXPECT_TRUE(lesson.typing->RedrawLastWord(&lesson.dc, c.words));
        EXPECT_EQ(Outputs(lesson.dc), c.drawn);
        for (const TextOutput& o : lesson.dc.Outputs()) {
            EXPECT_EQ(o.bkMode, TRANSPARENT);
            EXPECT_TRUE(o.font.bStock);
        }
        EXPECT_EQ(lesson.dc.GetBkMode(), OPAQUE);
    }
}

// ---- Caret --------------------------------------------------------------------------------

// On an empty token the caret stands at the token's left edge, one mean character wide; else
// after the typed characters.
TEST(TypeArtCaret, StandsAfterTheTypedCharacters) {
    const struct {
        const char* keys;
        int left;
    } cases[] = {{"", 10}, {"cat ", 43}, {"ca", 26}, {"cax\b", 26}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        Lesson lesson("cat dog");
        lesson.Type(c.keys);
        RECT rc;
        ASSERT_TRUE(lesson.typing->GetCaretRect(&lesson.dc, &rc));
        EXPECT_TRUE(SameRect(rc, Rect(c.left, 300, c.left + 8, 300 + kLineHeight)));
        EXPECT_FALSE(lesson.typing->GetCaretRect(nullptr, &rc));
        EXPECT_FALSE(lesson.typing->GetCaretRect(&lesson.dc, nullptr));
    }
}

}  // namespace
