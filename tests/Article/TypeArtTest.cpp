#include <gtest/gtest.h>

#include "Article/TypeArtSession.h"

namespace {

using typeart_test::kTypePaper;
using typeart_test::Lesson;

TEST(TypeArt, HoldsTwiceTheReferenceTokensWithTheFirstHalfBound) {
    Lesson lesson("one two three", tdByLetter, /*layout=*/false);
    Token** typed = lesson.TypingArt()->GetTokens();
    for (int i = 0; i < 6; ++i) {
        ASSERT_NE(dynamic_cast<TypeToken*>(typed[i]), nullptr) << i;
        EXPECT_EQ(typed[i]->GetReference(), i < 3 ? lesson.RefToken(i) : nullptr) << i;
    }
}

TEST(TypeArt, MarkTyposReachesEveryAllocatedToken) {
    Lesson lesson("one two", tdByLetter, /*layout=*/false);
    lesson.typing->SetMarkTypos(FALSE);
    EXPECT_FALSE(lesson.typing->GetMarkTypos());
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(lesson.Typed(i)->GetMarkTypos()) << i;
    }
    // Tokens made later take the setting too.
    ASSERT_TRUE(lesson.typing->SetText("one two"));
    EXPECT_FALSE(lesson.Typed(0)->GetMarkTypos());
    lesson.typing->SetMarkTypos(TRUE);
    EXPECT_TRUE(lesson.Typed(1)->GetMarkTypos());
}

TEST(TypeArt, ArticleOperationsAnswerForTheTypedText) {
    Lesson lesson("cat dog fox");
    lesson.Type("cat d");
    EXPECT_EQ(lesson.typing->GetTokenCount(), 2);
    RECT paper;
    lesson.typing->GetPaperRect(&paper);
    EXPECT_TRUE(EqualRect(&paper, &kTypePaper));
    EXPECT_EQ(lesson.ref->GetTokenCount(), 3);
}

}  // namespace
