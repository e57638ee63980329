// Lessons of unusual bytes: what the reference article makes of control bytes, bytes of 0x80
// and above, and a zero inside the text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Article/Art.h"
#include "diagnostics/ReportCapture.h"
#include "platform/FixedPitchDC.h"

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

Strings DrawnTexts(const FixedPitchDC& dc) {
    Strings texts;
    for (const TextOutput& out : dc.Outputs()) {
        texts.push_back(out.text);
    }
    return texts;
}

// Only space, tab and line feed part words: every other byte, control bytes, the escape of a
// terminal sequence, DEL and bytes of 0x80 and above included, is a word character that is
// laid out and drawn as it stands.
TEST(ArtBadInput, ControlAndHighBytesAreWordCharactersDrawnAsTheyStand) {
    ScopedReportCapture reports;
    Art art;
    ASSERT_TRUE(art.SetText("a\x01z \x1b[31m\x7f \xff\xfe\r\n\x08\x0b\x0c"));
    const Strings tokens{"a\x01z", "\x1b[31m\x7f", "\xff\xfe\r", "\x08\x0b\x0c"};
    EXPECT_EQ(TokenTexts(art), tokens);
    EXPECT_TRUE(art.GetTokens()[2]->IsNewLine());

    const RECT paper{0, 0, 400, 100};
    FixedPitchDC dc;
    ASSERT_TRUE(art.Draw(&dc, &paper));
    EXPECT_EQ(DrawnTexts(dc), tokens);
    ASSERT_EQ(art.GetLineCount(), 2);
    EXPECT_EQ(art.GetTokens()[3]->GetLine(), 1);
    EXPECT_TRUE(reports.Messages().empty());
}

// The text ends at its first zero byte: what follows it is not part of the lesson.
TEST(ArtBadInput, AZeroByteEndsTheText) {
    const std::string text("one two\0three", 13);
    Art art;
    ASSERT_TRUE(art.SetText(text.c_str()));
    EXPECT_EQ(TokenTexts(art), (Strings{"one", "two"}));
}

// Long runs of white space make no empty tokens and no empty lines.
TEST(ArtBadInput, LongRunsOfWhiteSpaceMakeNothing) {
    Art art;
    ASSERT_TRUE(art.SetText(
        (std::string(5000, ' ') + "a" + std::string(5000, '\n') + "b" + std::string(5000, '\t'))
            .c_str()));
    EXPECT_EQ(TokenTexts(art), (Strings{"a", "b"}));
    const RECT paper{0, 0, 400, 100};
    ASSERT_TRUE(art.SetPaperRect(&paper));
    EXPECT_EQ(art.GetLineCount(), 2);
}

}  // namespace
