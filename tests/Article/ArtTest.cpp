#include "Article/Art.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "diagnostics/ReportCapture.h"

namespace {

using Strings = std::vector<std::string>;

Strings TokenTexts(const Art& art) {
    Strings texts;
    std::string s;
    for (int i = 0; i < art.GetTokenCount(); ++i) {
        texts.push_back(art.GetTokens()[i]->GetString(s));
    }
    return texts;
}

TEST(Art, CountsTokensAndCharactersWithOneSeparatorBetweenTokens) {
    struct Case {
        const char* text;
        Strings tokens;
        int chars;
    };
    const Case cases[] = {
        {"ab cd", {"ab", "cd"}, 5},
        {"  hello   world  ", {"hello", "world"}, 11},
        {"one\ntwo", {"one", "two"}, 7},
        {"a\n\n\nb", {"a", "b"}, 3},
        {"line\r\nnext", {"line\r", "next"}, 10},
        {"", {}, 0},
        {" \t\n ", {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Art art;
        ASSERT_TRUE(art.SetText(c.text));
        EXPECT_EQ(TokenTexts(art), c.tokens);
        EXPECT_EQ(art.GetCharCount(), c.chars);
        EXPECT_EQ(art.GetCharsPerWord(), 5.0);
    }
}

TEST(Art, ScannerGivesSpansThatTakeTheLineFeedAfterTheirWord) {
    struct Case {
        const char* text;
        std::vector<std::pair<int, int>> spans;
    };
    const Case cases[] = {
        {"  hello   world  ", {{2, 6}, {10, 14}}},
        {"one\ntwo", {{0, 3}, {4, 6}}},
        {"one  \t\ntwo", {{0, 6}, {7, 9}}},
        {"a\n\n\nb", {{0, 1}, {4, 4}}},
        {"\n\nx", {{2, 2}}},
        {"line\r\n", {{0, 5}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Art art;
        art.SetText(c.text);
        std::vector<std::pair<int, int>> spans;
        int start = 0;
        int end = -1;
        while (art.FindToken(end + 1, &start, &end)) {
            spans.emplace_back(start, end);
        }
        EXPECT_EQ(spans, c.spans);
        EXPECT_EQ(art.CountTokens(), static_cast<int>(c.spans.size()));
        EXPECT_TRUE(art.GetTokens()[0]->IsNewLine() == (c.text[c.spans[0].second] == '\n'));
    }
}

TEST(Art, TakesTokensOfUpToSixtyThreeCharactersIncludingTheLineFeed) {
    const std::string word62(62, 'w');
    struct Case {
        std::string text;
        bool accepted;
    };
    const Case cases[] = {
        {std::string(63, 'a'), true},
        {std::string(64, 'a'), false},
        {word62 + "\nx", true},
        {word62 + " \nx", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.size());
        ScopedReportCapture reports;
        Art art;
        EXPECT_EQ(art.SetText(c.text.c_str()), c.accepted ? TRUE : FALSE);
        EXPECT_EQ(reports.Messages(), c.accepted ? Strings{} : Strings{"Encounter too-long token"});
        EXPECT_EQ(art.GetCharsPerWord(), c.accepted ? 5.0 : 0.0);
    }
}

TEST(Art, NullTextIsReportedAndKeepsTheOldTokens) {
    Art art;
    art.SetText("keep me");
    ScopedReportCapture reports;
    EXPECT_FALSE(art.SetText(nullptr));
    EXPECT_EQ(reports.Messages(), Strings{"NULL passed into Art::SetText"});
    EXPECT_EQ(TokenTexts(art), (Strings{"keep", "me"}));
}

// A derived article in the typing article's place: its overrides must act inside Art.
class DerivedArt : public Art {
public:
    int recalculations = 0;
    int tokensLeft = 100;
    Token* NewToken() override { return tokensLeft-- > 0 ? Art::NewToken() : nullptr; }
    BOOL Recalculate(CDC* dc) override {
        ++recalculations;
        return Art::Recalculate(dc);
    }
    void GetTokenRect(RECT* out, int nToken) const override {
        Art::GetTokenRect(out, nToken);
        out->right += 100;
    }
};

TEST(Art, DerivedOverridesActInsideTheArticlesOwnOperations) {
    DerivedArt art;
    art.tokensLeft = 2;
    EXPECT_TRUE(art.SetText("one two three"));
    EXPECT_EQ(TokenTexts(art), (Strings{"one", "two"}));

    const RECT paper{5, 0, 200, 100};
    art.SetPaperRect(&paper);
    EXPECT_EQ(art.recalculations, 1);
    EXPECT_EQ(art.GetLineRight(0), 8 * 7 + 1 + 100);
    RECT rc;
    art.GetTokenDrawRect(&rc, 0);
    EXPECT_EQ(rc.right, 5 + 24 + 1 + 100);
}

}  // namespace
