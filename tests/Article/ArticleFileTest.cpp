#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "Article/Art.h"
#include "Article/Article.h"
#include "Article/TypeArt.h"
#include "diagnostics/ReportCapture.h"

namespace {

using ::testing::ElementsAre;

TEST(ArticleFile, StartsEmpty) {
    ArticleFile file;
    EXPECT_EQ(file.GetArt(), nullptr);
    EXPECT_EQ(file.GetTypeArt(), nullptr);
}

TEST(ArticleFile, NullTextFailsAndLeavesNothingOfAnEarlierCreate) {
    ArticleFile file;
    ASSERT_TRUE(file.Create("one two", TRUE, tdByLetter));
    ScopedReportCapture capture;
    EXPECT_FALSE(file.Create(nullptr, TRUE, tdByLetter));
    EXPECT_THAT(capture.Messages(), ElementsAre("NULL passed into Art::SetText"));
    EXPECT_EQ(file.GetArt(), nullptr);
    EXPECT_EQ(file.GetTypeArt(), nullptr);
}

TEST(ArticleFile, TooLongTokenFailsWithBothArticlesGone) {
    ArticleFile file;
    ASSERT_TRUE(file.Create("before", TRUE, tdNone));
    const std::string text = "short " + std::string(64, 'x');
    ScopedReportCapture capture;
    EXPECT_FALSE(file.Create(text.c_str(), TRUE, tdByLetter));
    EXPECT_THAT(capture.Messages(), ElementsAre("Encounter too-long token"));
    EXPECT_EQ(file.GetArt(), nullptr);
    EXPECT_EQ(file.GetTypeArt(), nullptr);
}

TEST(ArticleFile, EmptyTextGivesArticlesWithoutTokens) {
    ArticleFile file;
    ScopedReportCapture capture;
    ASSERT_TRUE(file.Create("", TRUE, tdByLetter));
    EXPECT_EQ(file.GetArt()->GetTokenCount(), 0);
    ASSERT_NE(file.GetTypeArt(), nullptr);
    EXPECT_EQ(file.GetTypeArt()->GetTokenCount(), 0);
    EXPECT_TRUE(capture.Messages().empty());
}

TEST(ArticleFile, WithoutTypingArticleWhateverTheMethod) {
    for (TypoDetection td : {tdNone, tdByLetter, tdByWord, tdByMatch}) {
        ArticleFile file;
        ASSERT_TRUE(file.Create("a b c", FALSE, td)) << td;
        ASSERT_NE(file.GetArt(), nullptr);
        EXPECT_EQ(file.GetArt()->GetTokenCount(), 3);
        EXPECT_EQ(file.GetTypeArt(), nullptr) << td;
    }
}

TEST(ArticleFile, CheckedTypingStartsByLetterWhateverNonzeroMethod) {
    for (int td : {1, 2, 3, 7, -1}) {
        ArticleFile file;
        ASSERT_TRUE(file.Create("a b", TRUE, static_cast<TypoDetection>(td)));
        TypeArticle* typing = file.GetTypeArt();
        ASSERT_NE(typing, nullptr);
        EXPECT_EQ(typing->GetTypoDetection(), tdByLetter) << td;
        EXPECT_EQ(dynamic_cast<FreeTypeArt*>(typing), nullptr) << td;
        EXPECT_NE(dynamic_cast<TypeArt*>(typing), nullptr) << td;
    }
}

TEST(ArticleFile, MethodNoneGivesFreeTyping) {
    ArticleFile file;
    ASSERT_TRUE(file.Create("a b", TRUE, tdNone));
    TypeArticle* typing = file.GetTypeArt();
    ASSERT_NE(typing, nullptr);
    EXPECT_EQ(typing->GetTypoDetection(), tdNone);
    EXPECT_EQ(typing->GetCaretChar(), ' ');
    EXPECT_NE(dynamic_cast<FreeTypeArt*>(typing), nullptr);
}

TEST(ArticleFile, TypingArticleIsBoundToTheNewReference) {
    ArticleFile file;
    ASSERT_TRUE(file.Create("first lesson", TRUE, tdByLetter));
    ASSERT_TRUE(file.Create("alpha beta gamma", TRUE, tdByLetter));
    Art* ref = dynamic_cast<Art*>(file.GetArt());
    Art* typing = dynamic_cast<Art*>(file.GetTypeArt());
    ASSERT_NE(ref, nullptr);
    ASSERT_NE(typing, nullptr);
    ASSERT_EQ(ref->GetTokenCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(typing->GetTokens()[i]->GetReference(), ref->GetTokens()[i]) << i;
    }
}

TEST(ArticleFile, DeletesBothArticlesWhicheverWasCreated) {
    // Leaks and double deletions show under the sanitizers.
    for (int bTypeArt : {0, 1}) {
        for (TypoDetection td : {tdNone, tdByLetter}) {
            ArticleFile file;
            ASSERT_TRUE(file.Create("x y\nz", bTypeArt, td));
            ASSERT_TRUE(file.Create("again", bTypeArt, td));
        }
    }
}

}  // namespace
