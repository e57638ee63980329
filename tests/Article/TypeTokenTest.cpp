#include "Article/TypeToken.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "Article/TypeArtSession.h"

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

}  // namespace
