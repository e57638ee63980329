// Allocation failures through the facade: the library allocates with new (std::nothrow) where it
// can go on without the object. This file replaces that allocation function for the whole test
// program with one that can be told to fail the nth call from now.
#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "Article/TypeArtSession.h"
#include "diagnostics/ReportCapture.h"

namespace {

// 0 never fails; n fails the nth allocation from now, once.
int g_nScalarCountdown = 0;
int g_nArrayCountdown = 0;

bool CountdownFails(int& countdown) {
    return countdown > 0 && --countdown == 0;
}

}  // namespace

void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    try {
        return CountdownFails(g_nScalarCountdown) ? nullptr : ::operator new(n);
    } catch (...) {
        return nullptr;
    }
}

void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    try {
        return CountdownFails(g_nArrayCountdown) ? nullptr : ::operator new[](n);
    } catch (...) {
        return nullptr;
    }
}

namespace {

using Strings = std::vector<std::string>;

TEST(ArticleFileAllocation, AFailedAllocationIsReportedAndTheSessionGoesOnWithoutIt) {
    struct Case {
        int nScalar;  // allocations: two reference tokens, the typing article, its typed tokens
        int nArray;   // the reference's token array
        bool created;
        int refTokens;
        bool typing;
        const char* report;
    };
    const Case cases[] = {
        {0, 1, false, -1, false, "AllocateTokens failed"},
        {3, 0, true, 2, false, nullptr},
        {5, 0, true, 2, true, "TypeArt::NewToken failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nScalar << "/" << c.nArray);
        ArticleFile file;
        ScopedReportCapture capture;
        g_nScalarCountdown = c.nScalar;
        g_nArrayCountdown = c.nArray;
        EXPECT_EQ(file.Create("alpha beta", TRUE, tdByLetter), c.created);
        g_nScalarCountdown = g_nArrayCountdown = 0;
        EXPECT_EQ(capture.Messages(), c.report ? Strings{c.report} : Strings{});
        EXPECT_EQ(file.GetArt() ? file.GetArt()->GetTokenCount() : -1, c.refTokens);
        TypeArticle* typing = file.GetTypeArt();
        ASSERT_EQ(typing != nullptr, c.typing);
        if (typing) {
            // The session lives within the one typed token that was made.
            file.GetArt()->SetPaperRect(&typeart_test::kRefPaper);
            typing->SetPaperRect(&typeart_test::kTypePaper);
            for (char ch : std::string("alpha beta")) {
                typing->TypeChar(ch);
            }
            EXPECT_EQ(typing->GetTypedWordCount(), 1);
            EXPECT_TRUE(typing->BackSpace());
        }
    }
}

}  // namespace
