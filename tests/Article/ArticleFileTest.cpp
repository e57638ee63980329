#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "Article/Art.h"
#include "Article/Article.h"
#include "Article/TypeArt.h"
#include "diagnostics/ReportCapture.h"

namespace {

using ::testing::ElementsAre;

TEST(ArticleFile, RefusedTextLeavesNothingOfAnEarlierCreate) {
    const std::string tooLong = "short " + std::string(64, 'x');
    const struct {
        const char* text;
        const char* report;
    } cases[] = {{nullptr, "NULL passed into Art::SetText"},
                 {tooLong.c_str(), "Encounter too-long token"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.report);
        ArticleFile file;
        EXPECT_EQ(file.GetArt(), nullptr);
        ASSERT_TRUE(file.Create("one two", TRUE, tdNone));
        ScopedReportCapture capture;
        EXPECT_FALSE(file.Create(c.text, TRUE, tdByLetter));
        EXPECT_THAT(capture.Messages(), ElementsAre(c.report));
        EXPECT_EQ(file.GetArt(), nullptr);
        EXPECT_EQ(file.GetTypeArt(), nullptr);
    }
}

// No typing article unless asked for; checked typing starts by letter whatever nonzero method
// it is given; method none gives free typing.
TEST(ArticleFile, TheTypingArticleFollowsTheMethod) {
    enum Kind { kNoTyping, kChecked, kFree };
    const struct {
        BOOL bTypeArt;
        int td;
        Kind kind;
    } cases[] = {
        {FALSE, tdNone, kNoTyping},   {FALSE, tdByLetter, kNoTyping},
        {FALSE, tdByWord, kNoTyping}, {FALSE, tdByMatch, kNoTyping},
        {TRUE, 1, kChecked},          {TRUE, 2, kChecked},
        {TRUE, 3, kChecked},          {TRUE, 7, kChecked},
        {TRUE, -1, kChecked},         {TRUE, tdNone, kFree},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bTypeArt << " " << c.td);
        ArticleFile file;
        ASSERT_TRUE(file.Create("a b c", c.bTypeArt, static_cast<TypoDetection>(c.td)));
        ASSERT_NE(file.GetArt(), nullptr);
        EXPECT_EQ(file.GetArt()->GetTokenCount(), 3);
        TypeArticle* typing = file.GetTypeArt();
        ASSERT_EQ(typing != nullptr, c.kind != kNoTyping);
        if (c.kind == kChecked) {
            EXPECT_EQ(typing->GetTypoDetection(), tdByLetter);
            EXPECT_EQ(dynamic_cast<FreeTypeArt*>(typing), nullptr);
            EXPECT_NE(dynamic_cast<TypeArt*>(typing), nullptr);
        } else if (c.kind == kFree) {
            EXPECT_EQ(typing->GetTypoDetection(), tdNone);
            EXPECT_EQ(typing->GetCaretChar(), ' ');
            EXPECT_NE(dynamic_cast<FreeTypeArt*>(typing), nullptr);
        }
    }
}

}  // namespace
