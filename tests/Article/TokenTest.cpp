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

}  // namespace
