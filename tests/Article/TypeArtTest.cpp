#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "Article/TypeArtSession.h"
#include "diagnostics/ReportCapture.h"
#include "platform/Clock.h"

namespace {

using ::testing::ElementsAre;
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

TEST(TypeArt, FreshSessionAnswersZeroEverywhereWithoutReports) {
    ScopedReportCapture capture;
    Lesson lesson("one two", tdByLetter, /*layout=*/false);
    TypeArticle* t = lesson.typing;
    EXPECT_EQ(t->GetTypedWordCount(), 0);
    EXPECT_EQ(t->GetKeyCount(), 0);
    EXPECT_EQ(t->GetErrorCount(), 0);
    EXPECT_EQ(t->GetTopSpeed(), 0);
    EXPECT_EQ(t->GetSpeed(), 0);
    EXPECT_EQ(t->GetCurSpeed(), 0);
    EXPECT_EQ(t->GetAccuracy(), 0);
    EXPECT_EQ(t->GetPausedSeconds(), 0);
    EXPECT_TRUE(t->GetMarkTypos());
    EXPECT_TRUE(capture.Messages().empty());
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

TEST(TypeArt, MethodIsStoredUncheckedAndTheVariantStays) {
    Lesson checked("cat dog");
    checked.typing->SetTypoDetection(static_cast<TypoDetection>(7));
    EXPECT_EQ(checked.typing->GetTypoDetection(), 7);

    Lesson free("cat dog", tdNone);
    free.typing->SetTypoDetection(tdByLetter);
    EXPECT_EQ(free.typing->GetTypoDetection(), tdByLetter);
    EXPECT_EQ(free.typing->TypeChar('x'), 1);
    EXPECT_EQ(free.typing->GetKeyCount(), 0);
    EXPECT_EQ(free.typing->GetCaretChar(), ' ');
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

TEST(TypeArt, ClockOperationsReachTheStopwatch) {
    ScopedFakeClock clock(2024, 5, 6, 9, 0, 0);
    Lesson lesson("cat dog");
    lesson.typing->StartTyping();
    clock.Advance(5000);
    lesson.typing->TypeChar('c');
    lesson.typing->PauseTyping();
    clock.Advance(30000);
    lesson.typing->ContinueTyping();  // ends the pause
    EXPECT_EQ(lesson.typing->GetPausedSeconds(), 30);
    clock.Advance(2000);
    lesson.typing->TypeChar('a');
    EXPECT_EQ(lesson.typing->GetActiveSeconds(), 7);
    lesson.typing->ContinueTyping();  // not paused: nothing
    EXPECT_EQ(lesson.typing->GetPausedSeconds(), 30);
    lesson.typing->PauseTyping();
    clock.Advance(4000);
    lesson.typing->ResumeTyping();
    EXPECT_EQ(lesson.typing->GetPausedSeconds(), 34);
    lesson.typing->StartTyping();  // a new session from zero
    EXPECT_EQ(lesson.typing->GetKeyCount(), 0);
    EXPECT_EQ(lesson.typing->GetPausedSeconds(), 0);
}

TEST(TypeArt, DestroyedAfterItsReference) {
    // The facade deletes the reference first; the typing article must not touch it then.
    ArticleFile* file = new ArticleFile;
    ASSERT_TRUE(file->Create("cat dog", TRUE, tdByLetter));
    file->GetTypeArt()->SetPaperRect(&kTypePaper);
    file->GetTypeArt()->TypeChar('c');
    delete file;
}

}  // namespace
