#include "Article/TypeToken.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "Article/TypeArtSession.h"
#include "diagnostics/ReportCapture.h"

namespace {

using typeart_test::BoundToken;

// The judged list as two strings: the characters, and one letter per state (C, W, M).
struct Judged {
    std::string chars;
    std::string states;
};

Judged Judge(const TypeToken& token) {
    Judged j;
    for (const TypedChar* p = token.GetFirstChar(); p; p = p->m_pNext) {
        j.chars += p->m_ch;
        j.states += p->m_nState == csCorrect   ? 'C'
                    : p->m_nState == csWrong   ? 'W'
                    : p->m_nState == csMissing ? 'M'
                                               : '?';
    }
    return j;
}

std::string TypedText(const TypeToken& token) {
    std::string s;
    return token.GetTypedText(s);
}

TEST(TypeToken, AddCharPastSixtyThreeBytesReportsAndKeepsTheText) {
    BoundToken t("word");
    t.Type(std::string(62, 'a'));
    ScopedReportCapture reports;
    EXPECT_TRUE(t.typed.AddChar('b'));
    EXPECT_EQ(TypedText(t.typed), std::string(62, 'a') + "b");
    EXPECT_TRUE(reports.Messages().empty());
    EXPECT_TRUE(t.typed.AddChar('c'));
    EXPECT_EQ(reports.Messages(), std::vector<std::string>{"Encounter too-long token"});
    EXPECT_EQ(reports.Reports()[0].file, "Article/Token");
    EXPECT_EQ(TypedText(t.typed), std::string(62, 'a') + "b");
}

struct JudgeCase {
    const char* reference;
    const char* typed;
    const char* chars;
    const char* states;
};

void ExpectJudgements(const JudgeCase* cases, size_t count, void (*compare)(TypeToken&)) {
    for (size_t k = 0; k < count; ++k) {
        const JudgeCase& c = cases[k];
        SCOPED_TRACE(std::string(c.reference) + " / " + c.typed);
        BoundToken t(c.reference);
        t.Type(c.typed);
        compare(t.typed);
        const Judged j = Judge(t.typed);
        EXPECT_EQ(j.chars, c.chars);
        EXPECT_EQ(j.states, c.states);
        EXPECT_EQ(t.typed.GetLength(), static_cast<int>(j.chars.size()));
        EXPECT_EQ(t.typed.HasError(), j.states.find_first_not_of('C') != std::string::npos);
    }
}

TEST(TypeToken, CompareByLetterJudgesPositionByPosition) {
    const JudgeCase cases[] = {
        {"cat", "cat", "cat", "CCC"},   {"cat", "cxt", "cxt", "CWC"},
        {"cat", "ca", "ca", "CC"},      {"cat", "cats", "cats", "CCCW"},
        {"cat", "Cat", "Cat", "WCC"},   {"cat", "ca\x03", "ca\x03", "CCW"},
        {"ab", "abcd", "abcd", "CCWW"}, {"", "x", "x", "W"},
    };
    ExpectJudgements(cases, std::size(cases), [](TypeToken& t) { t.CompareByLetter(); });
}

TEST(TypeToken, CompareByMatchingFinishedFillsInSkippedLetters) {
    const JudgeCase cases[] = {
        {"hello", "helo", "helo_", "CCCCM"},
        {"hello", "hllo", "h_llo", "CMCCC"},
        {"hello", "hxllo", "hxllo", "CWCCC"},
        {"hello", "hello", "hello", "CCCCC"},
        {"hello", "he", "he___", "CCMMM"},
        {"hello", "helloo", "helloo", "CCCCCW"},
        // Repeated letters: the single 'a' is taken for both, the missing one comes last.
        {"aab", "ab", "ab_", "CCM"},
        {"cat", "caat", "caat", "CCWW"},
        // A match earlier in the typed text than in the reference always qualifies...
        {"ab", "xxab", "xxab", "WWCC"},
        // ...one more than two places later does not.
        {"ab", "xxxab", "xxxab", "WWWWW"},
        // Fewer than three unmatched bytes in a row: the skipped letters are filled in.
        {"abcdef", "axxef", "axx_ef", "CWWMCC"},
        // Three in a row: they are not.
        {"abcdef", "axxxef", "axxxef", "CWWWCC"},
        // A single byte matches at the typed start, at its own place, or at the reference's
        // last index.
        {"abc", "cxx", "__cxx", "MMCWW"},
        {"abcd", "xyzb", "xyzb", "WWWC"},
        {"abcd", "xyb", "xyb_", "WWWM"},
        {"hello", "xyz", "xyz__", "WWWMM"},
    };
    ExpectJudgements(cases, std::size(cases), [](TypeToken& t) { t.CompareByMatching(TRUE); });
}

TEST(TypeToken, CompareByMatchingUnfinishedLeavesTheRestOfTheWordOpen) {
    const JudgeCase cases[] = {
        {"hello", "helo", "helo", "CCCC"},
        {"hello", "he", "he", "CC"},
        {"hello", "hllo", "h_llo", "CMCCC"},
        {"abcd", "xyb", "xyb", "WWW"},
    };
    ExpectJudgements(cases, std::size(cases), [](TypeToken& t) { t.CompareByMatching(FALSE); });
}

TEST(TypeToken, MarkAllCorrectNeedsNoReference) {
    TypeToken token;
    token.AddChar('a');
    token.AddChar(kCodeFreeSpace);
    token.MarkAllCorrect();
    const Judged j = Judge(token);
    EXPECT_EQ(j.chars, std::string("a") + kCodeFreeSpace);
    EXPECT_EQ(j.states, "CC");
    EXPECT_FALSE(token.HasError());
}

TEST(TypeToken, ComparisonsOfAnEmptyTypedTextLeaveTheList) {
    BoundToken t("cat");
    t.Type("cx");
    t.typed.CompareByLetter();
    t.typed.Reset();
    t.typed.CompareByLetter();
    EXPECT_EQ(Judge(t.typed).chars, "cx");
    t.typed.CompareByMatching(TRUE);
    EXPECT_EQ(Judge(t.typed).chars, "cx");
    t.typed.MarkAllCorrect();
    EXPECT_EQ(Judge(t.typed).states, "CW");
}

TEST(TypeToken, GetStringReportsTheListWithControlCodesAsSpaces) {
    BoundToken t("hello");
    t.Type(std::string("h") + kCodeEarlySpace + "ll" + kCodeFreeSpace);
    t.typed.MarkAllCorrect();
    std::string s = "stale";
    EXPECT_EQ(t.typed.GetString(s), "h ll ");
    EXPECT_EQ(s, "h ll ");
}

TEST(TypeToken, ErrorFlagAndLastCharFollowTheComparisonNotTheKeystroke) {
    BoundToken t("cat");
    t.Type("x");
    t.typed.CompareByLetter();
    EXPECT_TRUE(t.typed.HasError());
    EXPECT_EQ(t.typed.GetLastChar()->m_nState, csWrong);
    t.typed.AddChar('a');
    EXPECT_FALSE(t.typed.HasError());
    t.typed.CompareByLetter();
    EXPECT_TRUE(t.typed.HasError());
    EXPECT_EQ(t.typed.GetLastChar()->m_ch, 'a');
    EXPECT_EQ(t.typed.GetLastChar()->m_nState, csCorrect);
    t.typed.RemoveLastChar();
    EXPECT_TRUE(t.typed.HasError());  // cleared only by the next comparison
    t.typed.RemoveLastChar();
    EXPECT_TRUE(t.typed.HasError());
}

}  // namespace
