#include "Article/Token.h"

#include <gtest/gtest.h>

#include "diagnostics/ReportCapture.h"
#include "platform/FixedPitchDC.h"

namespace {

struct CutCase {
    const char* text;
    const char* lead;
    const char* word;
    const char* trail;
    bool lineFlags;
};

TEST(Token, CutsTextIntoLeadWordAndTrail) {
    const CutCase cases[] = {
        {"(Hello)", "(", "Hello", ")", false},
        {"don't", "", "don't", "", false},
        {"e.g.", "", "e.g", ".", false},
        {"...", "...", "", "", false},
        {"word\n", "", "word", "", true},
        {"end.  \n", "", "end.", "", true},
        {"well-known", "", "well-known", "", false},
        {"line\r\n", "", "line\r", "", true},
        {"\"Quote,\"", "\"", "Quote", ",\"", false},
        {"", "", "", "", false},
    };
    for (const CutCase& c : cases) {
        SCOPED_TRACE(c.text);
        ScopedReportCapture reports;
        Token token;
        EXPECT_TRUE(token.SetString(c.text));
        EXPECT_EQ(token.Lead(), c.lead);
        EXPECT_EQ(token.Word(), c.word);
        EXPECT_EQ(token.Trail(), c.trail);
        EXPECT_EQ(token.IsNewLine(), c.lineFlags ? TRUE : FALSE);
        EXPECT_EQ(token.IsLineEnd(), c.lineFlags ? TRUE : FALSE);
        EXPECT_FALSE(token.IsEmpty());
        EXPECT_TRUE(reports.Messages().empty());
        std::string s;
        EXPECT_EQ(token.GetString(s), std::string(c.lead) + c.word + c.trail);
        EXPECT_EQ(token.GetLength(), static_cast<int>(s.size()));
    }
}

TEST(Token, RefusesTextOfSixtyFourBytesAndKeepsItsOldText) {
    Token token;
    ASSERT_TRUE(token.SetString("old"));
    ScopedReportCapture reports;
    EXPECT_TRUE(token.SetString(std::string(63, 'a').c_str()));
    EXPECT_EQ(token.GetLength(), 63);
    EXPECT_FALSE(token.SetString(std::string(64, 'b').c_str()));
    EXPECT_EQ(reports.Messages(), std::vector<std::string>{"Encounter too-long token"});
    EXPECT_EQ(reports.Reports()[0].file, "Article/Token");
    EXPECT_EQ(token.Word(), std::string(63, 'a'));
}

TEST(Token, LineFeedInsideTheTextIsReportedAndDropped) {
    ScopedReportCapture reports;
    Token token;
    EXPECT_TRUE(token.SetString("a\nb"));
    EXPECT_EQ(token.Word(), "ab");
    EXPECT_TRUE(token.IsNewLine());
    EXPECT_TRUE(token.IsLineEnd());
    EXPECT_EQ(reports.Messages(), std::vector<std::string>{"Next line appear inside a token"});

    reports.Clear();
    Token leading;
    EXPECT_TRUE(leading.SetString("\n,,x"));
    EXPECT_EQ(leading.Lead(), "");
    EXPECT_EQ(leading.Word(), "x");
    EXPECT_EQ(reports.Messages().size(), 1u);
}

TEST(Token, CharacterClassesHoldExactlyTheListedBytes) {
    const std::string delimiters = ",.;?!:\"'()$%&*=+<>[]{}@#`~^_/\\|";
    int whiteCount = 0;
    int delimiterCount = 0;
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        const bool white = c == ' ' || c == '\t' || c == '\n';
        const bool delimiter = delimiters.find(c) != std::string::npos && c != '\0';
        EXPECT_EQ(Token::IsWhiteSpace(c), white ? TRUE : FALSE) << b;
        EXPECT_EQ(Token::IsDelimiter(c), delimiter ? TRUE : FALSE) << b;
        whiteCount += Token::IsWhiteSpace(c);
        delimiterCount += Token::IsDelimiter(c);
    }
    EXPECT_EQ(whiteCount, 3);
    EXPECT_EQ(delimiterCount, 31);
}

TEST(Token, RemoveLastCharTakesTrailThenWordThenLead) {
    Token token;
    token.SetString("(ab)");
    std::string s;
    const char* expected[] = {"(ab", "(a", "(", ""};
    for (const char* e : expected) {
        EXPECT_TRUE(token.RemoveLastChar());
        EXPECT_EQ(token.GetString(s), e);
    }
    ScopedReportCapture reports;
    EXPECT_FALSE(token.RemoveLastChar());
    EXPECT_EQ(reports.Messages(), std::vector<std::string>{"Try to RemoveLastChar of empty token"});
}

TEST(Token, ReferenceTokenRefusesTypingAndHasNoReference) {
    Token token;
    token.SetString("abc");
    EXPECT_FALSE(token.AddChar('d'));
    EXPECT_EQ(token.GetReference(), nullptr);
    token.CompareByLetter();
    token.CompareByMatching(TRUE);
    token.MarkAllCorrect();
    std::string s;
    EXPECT_EQ(token.GetString(s), "abc");
}

TEST(Token, ResetEmptiesTextFlagsLineAndRectangle) {
    Token token;
    token.SetString("word\n");
    RECT rc{1, 2, 3, 4};
    token.SetRect(&rc);
    token.SetLine(5);
    token.Reset();
    EXPECT_TRUE(token.IsEmpty());
    EXPECT_FALSE(token.IsNewLine());
    EXPECT_FALSE(token.IsLineEnd());
    EXPECT_EQ(token.GetLine(), -1);
    token.GetRect(&rc);
    EXPECT_TRUE(IsRectEmpty(&rc));
    EXPECT_EQ(token.GetLength(), 0);
}

TEST(Token, DrawsItsTextOrAsterisksAtThePoint) {
    Token token;
    token.SetString("hello,");
    FixedPitchDC dc;
    dc.SetTextColor(RGB(1, 2, 3));
    EXPECT_TRUE(token.Draw(&dc, 7, 9));
    EXPECT_TRUE(token.DrawMasked(&dc, 1, 2));
    ASSERT_EQ(dc.Outputs().size(), 2u);
    EXPECT_EQ(dc.Outputs()[0].text, "hello,");
    EXPECT_EQ(dc.Outputs()[0].x, 7);
    EXPECT_EQ(dc.Outputs()[0].y, 9);
    EXPECT_EQ(dc.Outputs()[0].color, RGB(1, 2, 3));
    EXPECT_EQ(dc.Outputs()[1].text, "******");
    std::string masked;
    EXPECT_EQ(token.GetMaskedString(masked), "******");
}

}  // namespace
