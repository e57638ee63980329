// Allocation failures on the way through the facade and the session's hand-over to the log.
// The library allocates without exceptions where it can go on without the object
// (new (std::nothrow)); this file replaces those two allocation functions for the whole test
// program with ones that can be told to fail the nth call from now, and otherwise forward to
// the ordinary allocation.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <new>

#include "Article/TypeArtSession.h"
#include "Article/TypingLog.h"
#include "diagnostics/ReportCapture.h"

namespace {

// Countdowns: 0 never fails; n fails the nth allocation from now, once.
int g_nScalarCountdown = 0;
int g_nArrayCountdown = 0;

bool CountdownFails(int& countdown) {
    if (countdown <= 0) {
        return false;
    }
    return --countdown == 0;
}

}  // namespace

void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    if (CountdownFails(g_nScalarCountdown)) {
        return nullptr;
    }
    try {
        return ::operator new(n);
    } catch (...) {
        return nullptr;
    }
}

void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    if (CountdownFails(g_nArrayCountdown)) {
        return nullptr;
    }
    try {
        return ::operator new[](n);
    } catch (...) {
        return nullptr;
    }
}

namespace {

using ::testing::ElementsAre;
using typeart_test::kTypePaper;

// Arms the countdowns for one scope.
class FailingAllocation {
public:
    FailingAllocation(int nScalar, int nArray) {
        g_nScalarCountdown = nScalar;
        g_nArrayCountdown = nArray;
    }
    ~FailingAllocation() {
        g_nScalarCountdown = 0;
        g_nArrayCountdown = 0;
    }
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;
};

TEST(ArticleFileAllocation, NoTokenArrayEndsLikeARefusedText) {
    ArticleFile file;
    ASSERT_TRUE(file.Create("one two", TRUE, tdByLetter));
    ScopedReportCapture capture;
    {
        FailingAllocation fail(0, 1);  // the reference's token array
        EXPECT_FALSE(file.Create("alpha beta", TRUE, tdByLetter));
    }
    EXPECT_THAT(capture.Messages(), ElementsAre("AllocateTokens failed"));
    EXPECT_EQ(file.GetArt(), nullptr);
    EXPECT_EQ(file.GetTypeArt(), nullptr);
}

TEST(ArticleFileAllocation, NoTypingArticleKeepsTheReference) {
    ArticleFile file;
    {
        // Two reference tokens, then the typing article itself.
        FailingAllocation fail(3, 0);
        EXPECT_TRUE(file.Create("alpha beta", TRUE, tdByLetter));
    }
    ASSERT_NE(file.GetArt(), nullptr);
    EXPECT_EQ(file.GetArt()->GetTokenCount(), 2);
    EXPECT_EQ(file.GetTypeArt(), nullptr);
}

TEST(TypeArtAllocation, TypedTokensStopAtTheFirstThatCannotBeMade) {
    ArticleFile file;
    ScopedReportCapture capture;
    {
        // Two reference tokens, the typing article, one typed token, then none.
        FailingAllocation fail(5, 0);
        ASSERT_TRUE(file.Create("alpha beta", TRUE, tdByLetter));
    }
    EXPECT_THAT(capture.Messages(), ElementsAre("TypeArt::NewToken failed"));
    TypeArticle* typing = file.GetTypeArt();
    ASSERT_NE(typing, nullptr);
    Art* typed = dynamic_cast<Art*>(typing);
    EXPECT_EQ(typed->GetTokens()[0]->GetReference(),
              dynamic_cast<Art*>(file.GetArt())->GetTokens()[0]);
    EXPECT_EQ(typed->GetTokens()[1], nullptr);

    // The session lives within the one typed token.
    file.GetArt()->SetPaperRect(&typeart_test::kRefPaper);
    typing->SetPaperRect(&kTypePaper);
    for (char c : std::string("alpha beta")) {
        typing->TypeChar(c);
    }
    EXPECT_EQ(typing->GetTypedWordCount(), 1);
    EXPECT_TRUE(typing->BackSpace());
    EXPECT_EQ(typing->GetTypedWordCount(), 1);
}

TEST(TypeArtAllocation, RefusedWordRecordIsReleasedAndTheResultIsFalse) {
    typeart_test::Lesson lesson("one two three");
    lesson.Type("one two th");
    CWordTrackFile file;
    BOOL result = TRUE;
    {
        FailingAllocation fail(0, 1);  // the file's table, when it takes the first record
        result = lesson.typing->AddWordTracks(&file);
    }
    EXPECT_FALSE(result);
    ASSERT_EQ(file.GetWordCount(), 2);  // the others were offered all the same
    EXPECT_STREQ(file.GetWordTrack(0)->m_szWord, "two");
    EXPECT_STREQ(file.GetWordTrack(1)->m_szWord, "three");
}

}  // namespace
