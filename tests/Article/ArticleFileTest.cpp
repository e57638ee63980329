#include <gtest/gtest.h>

#include <string>

#include "Article/Art.h"
#include "Article/Article.h"
#include "Article/TypeArt.h"

namespace {

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
