#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Article/TypeArtSession.h"
#include "diagnostics/ReportCapture.h"

namespace {

using ::testing::ElementsAre;
using typeart_test::Drawn;
using typeart_test::kLineHeight;
using typeart_test::kTypePaper;
using typeart_test::Lesson;
using typeart_test::Outputs;
using typeart_test::SameRect;

RECT Rect(int left, int top, int right, int bottom) {
    return RECT{left, top, right, bottom};
}

LOGFONTA Font(int height, int width) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    return lf;
}

// ---- Recalculate --------------------------------------------------------------------------

TEST(TypeArtRecalculate, TypedTokensTakeTheReferenceLayout) {
    Lesson lesson("cat dog\nfox end");
    for (int i = 0; i < 4; ++i) {
        RECT typed;
        RECT ref;
        lesson.Typed(i)->GetRect(&typed);
        lesson.RefToken(i)->GetRect(&ref);
        EXPECT_TRUE(SameRect(typed, ref)) << i;
        EXPECT_EQ(lesson.Typed(i)->GetLine(), lesson.RefToken(i)->GetLine()) << i;
        EXPECT_EQ(lesson.Typed(i)->IsLineEnd(), lesson.RefToken(i)->IsLineEnd()) << i;
        EXPECT_EQ(lesson.Typed(i)->IsNewLine(), lesson.RefToken(i)->IsNewLine()) << i;
    }
    EXPECT_TRUE(lesson.Typed(1)->IsNewLine());
    EXPECT_EQ(lesson.typing->GetLineCount(), 2);
    EXPECT_EQ(lesson.typing->GetLineHeight(), kLineHeight);
    EXPECT_EQ(lesson.typing->GetLineSpacing(), 0.25);
    EXPECT_EQ(lesson.typing->GetScrollTopLine(), 0);
}

TEST(TypeArtRecalculate, FirstTokenBecomesCurrentOnceOnly) {
    Lesson lesson("cat dog fox", tdByLetter, /*layout=*/false);
    EXPECT_EQ(lesson.typing->GetTypedWordCount(), 0);
    EXPECT_EQ(lesson.typing->GetTokenCount(), 0);
    lesson.ref->SetPaperRect(&typeart_test::kRefPaper);
    lesson.typing->SetPaperRect(&kTypePaper);
    EXPECT_EQ(lesson.typing->GetTypedWordCount(), 1);
    lesson.Type("cat dog ");
    EXPECT_TRUE(lesson.typing->Recalculate(&lesson.dc));
    EXPECT_EQ(lesson.typing->GetTypedWordCount(), 3);
}

TEST(TypeArtRecalculate, TakesTheScrollPositionOfTheReference) {
    std::string text;
    for (int i = 0; i < 15; ++i) {
        text += "w\n";
    }
    Lesson lesson(text.c_str());
    lesson.ref->Scroll(9);
    ASSERT_EQ(lesson.ref->GetScrollTopLine(), 9);
    lesson.typing->Recalculate(&lesson.dc);
    EXPECT_EQ(lesson.typing->GetScrollTopLine(), 9);
    RECT rc;
    lesson.typing->GetTokenDrawRect(&rc, 9);  // the top line of the page
    EXPECT_EQ(rc.top, kTypePaper.top);
}

TEST(TypeArtRecalculate, ReferenceNotLaidOutGivesItsNeutralValues) {
    Lesson lesson("cat dog", tdByLetter, /*layout=*/false);
    ScopedReportCapture capture;
    lesson.typing->SetPaperRect(&kTypePaper);
    EXPECT_THAT(capture.Messages(),
                ElementsAre("GetLineHeight called before Article is calculated",
                            "GetLineCount called before Article is calculated",
                            "GetScrollTopLine called before Article is calculated"));
    EXPECT_EQ(lesson.typing->GetLineHeight(), -1);
    EXPECT_EQ(lesson.typing->GetLineCount(), -1);
    EXPECT_EQ(lesson.typing->GetTypedWordCount(), 1);
}

TEST(TypeArtRecalculate, WithoutReferenceLaysOutItsOwnState) {
    TypeArt typing(nullptr);
    ScopedReportCapture capture;
    EXPECT_FALSE(typing.Recalculate(nullptr));
    EXPECT_THAT(capture.Messages(), ElementsAre("Recalc called before reference Art is set",
                                                "Recalculate called when m_rcPaper is empty"));
    capture.Clear();
    EXPECT_TRUE(typing.SetPaperRect(&kTypePaper));
    EXPECT_THAT(capture.Messages(), ElementsAre("Recalc called before reference Art is set"));
    EXPECT_EQ(typing.GetTypedWordCount(), 0);
}

TEST(FreeTypeArtRecalculate, LaysOutTheTypedTextWithItsTypedLineBreaks) {
    Lesson lesson("one two three four", tdNone);
    lesson.Type("ab cd\nef");
    EXPECT_TRUE(lesson.typing->Recalculate(&lesson.dc));
    RECT rc;
    lesson.Typed(0)->GetRect(&rc);
    EXPECT_TRUE(SameRect(rc, Rect(0, 0, 16, 16)));
    lesson.Typed(1)->GetRect(&rc);
    EXPECT_TRUE(SameRect(rc, Rect(25, 0, 40, 16)));  // after "ab "
    lesson.Typed(2)->GetRect(&rc);
    EXPECT_TRUE(SameRect(rc, Rect(0, 20, 16, 36)));  // the typed Enter broke the line
    EXPECT_EQ(lesson.typing->GetLineCount(), 2);
    EXPECT_EQ(lesson.typing->GetLineHeight(), kLineHeight);
    EXPECT_EQ(lesson.Typed(2)->GetReference(), lesson.RefToken(2));
    EXPECT_FALSE(lesson.typing->GetJustify());
    const RECT none{0, 0, 0, 0};
    lesson.typing->SetPaperRect(&none);
    EXPECT_FALSE(lesson.typing->Recalculate(&lesson.dc));  // no paper to lay the text out on
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

TEST(TypeArtCaret, MeasuresInTheTypingArticleFont) {
    Lesson lesson("cat dog");
    const LOGFONTA lf = Font(20, 10);
    lesson.typing->SetFont(&lf);
    RECT rc;
    ASSERT_TRUE(lesson.typing->GetCaretRect(&lesson.dc, &rc));
    EXPECT_EQ(rc.right - rc.left, 10);  // "lq" is 20 wide
    lesson.Type("c");
    ASSERT_TRUE(lesson.typing->GetCaretRect(&lesson.dc, &rc));
    EXPECT_EQ(rc.left, 20);
    EXPECT_TRUE(lesson.dc.GetFont().bStock);
    lesson.dc.SelectFont(DCFont::FromLogFont(Font(12, 6)));  // the host's own font
    ASSERT_TRUE(lesson.typing->GetCaretRect(&lesson.dc, &rc));
    EXPECT_EQ(lesson.dc.GetFont().lf.lfHeight, 12);
}

TEST(TypeArtCaret, BeforeTheFirstRecalculateStandsAtThePaperCorner) {
    Lesson lesson("cat dog", tdByLetter, /*layout=*/false);
    RECT rc;
    ASSERT_TRUE(lesson.typing->GetCaretRect(&lesson.dc, &rc));
    EXPECT_TRUE(SameRect(rc, Rect(0, 0, 8, 0)));
    EXPECT_FALSE(lesson.typing->RedrawLastWord(&lesson.dc, 1));  // no token to redraw yet
}

}  // namespace
