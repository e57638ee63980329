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

// Any text, null included, is taken or refused with one report; a refused text keeps the tokens
// cut before the refusal. A token takes up to 63 characters, the line feed after it included. Only
// space, tab and line feed part words: control bytes, a terminal's escape sequence, DEL and bytes
// of 0x80 and above are word characters.
TEST(ArtBadInput, EveryTextIsTakenOrRefusedWithOneReport) {
    const std::string blanks(5000, ' ');
    struct Case {
        const char* text;
        bool accepted;
        Strings tokens;
        Strings reports;
    };
    const std::string tooLong = "ok " + std::string(64, 'x') + " later";
    const std::string runs = blanks + "a" + std::string(5000, '\n') + "b" + blanks;
    const std::string a63(63, 'a'), a64(64, 'a'), w62(62, 'w');
    const std::string w62Line = w62 + "\nx", w62SpaceLine = w62 + " \nx";
    const Case cases[] = {
        {nullptr, false, {"keep", "me"}, {"NULL passed into Art::SetText"}},
        {"a\x01z \x1b[31m\x7f \xff\xfe\r\n\x08",
         true,
         {"a\x01z", "\x1b[31m\x7f", "\xff\xfe\r", "\x08"},
         {}},
        {runs.c_str(), true, {"a", "b"}, {}},
        {tooLong.c_str(), false, {"ok", "", ""}, {"Encounter too-long token"}},
        {a63.c_str(), true, {a63}, {}},
        {a64.c_str(), false, {""}, {"Encounter too-long token"}},
        {w62Line.c_str(), true, {w62, "x"}, {}},
        {w62SpaceLine.c_str(), false, {"", ""}, {"Encounter too-long token"}},
    };
    for (const Case& c : cases) {
        Art art;
        art.SetText("keep me");
        ScopedReportCapture reports;
        EXPECT_EQ(art.SetText(c.text), c.accepted ? TRUE : FALSE);
        EXPECT_EQ(TokenTexts(art), c.tokens);
        EXPECT_EQ(reports.Messages(), c.reports);
    }
}

TEST(Art, ScannerFindsNothingPastTheTextOrInTrailingWhiteSpace) {
    Art art;
    art.SetText("ab  ");
    int start = 7;
    int end = 7;
    // Nothing to scan: the outputs are not touched.
    EXPECT_FALSE(art.FindToken(4, &start, &end));
    EXPECT_FALSE(art.FindToken(-1, &start, &end));
    EXPECT_FALSE(art.FindToken(0, nullptr, nullptr));
    EXPECT_EQ(start, 7);
    EXPECT_EQ(end, 7);
    // Only white space left: the start has run over it to the end of the text.
    EXPECT_FALSE(art.FindToken(2, &start, &end));
    EXPECT_EQ(start, 4);
    EXPECT_EQ(end, 7);
}

}  // namespace
