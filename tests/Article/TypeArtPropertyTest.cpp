#include <gtest/gtest.h>

#include <random>
#include <string>

#include "Article/TypeArtSession.h"
#include "diagnostics/ReportCapture.h"

namespace {

using typeart_test::kBack;
using typeart_test::Lesson;

constexpr char kEndOfText = static_cast<char>(0xFF);

// A lesson of 1 to 8 tokens of letters and clinging punctuation, split by spaces and line feeds.
std::string RandomLesson(std::mt19937& rng) {
    static const std::string kLetters = "abcde";
    static const std::string kPunctuation = ",.!\"";
    std::string text;
    const int tokens = std::uniform_int_distribution<int>(1, 8)(rng);
    for (int t = 0; t < tokens; ++t) {
        if (t > 0) {
            text += rng() % 4 == 0 ? '\n' : ' ';
        }
        const int letters = std::uniform_int_distribution<int>(1, 6)(rng);
        for (int k = 0; k < letters; ++k) {
            text += kLetters[rng() % kLetters.size()];
        }
        if (rng() % 3 == 0) {
            text += kPunctuation[rng() % kPunctuation.size()];
        }
    }
    if (rng() % 5 == 0) {
        text += '\n';
    }
    return text;
}

// Mostly the lesson's own characters, then separators, backspaces and any byte at all.
char RandomKey(std::mt19937& rng) {
    static const std::string kKeys = "abcde,.!\"";
    const unsigned pick = rng() % 20;
    if (pick < 10) {
        return kKeys[rng() % kKeys.size()];
    }
    if (pick < 13) {
        return ' ';
    }
    if (pick < 15) {
        return '\n';
    }
    if (pick < 18) {
        return kBack;
    }
    return static_cast<char>(rng() % 256);
}

TEST(TypeArtProperty, RandomKeysNeverLeaveTheSessionsBounds) {
    ScopedReportCapture quiet;  // the reports of odd methods and unbound tokens are expected
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 rng(seed);
        const std::string text = RandomLesson(rng);
        const auto td = static_cast<TypoDetection>(seed % 4);
        Lesson lesson(text.c_str(), td);
        const int refCount = lesson.ref->GetTokenCount();
        const int upper = td == tdNone ? 2 * refCount : refCount;
        for (int step = 0; step < 150; ++step) {
            const char key = RandomKey(rng);
            if (key == kBack) {
                const BOOL r = lesson.typing->BackSpace();
                ASSERT_TRUE(r == TRUE || r == FALSE);
            } else {
                const int r = lesson.typing->TypeChar(key);
                ASSERT_TRUE(r == 1 || r == 2 || r == 6 || r == 7 || r == 9)
                    << "seed " << seed << " step " << step << " result " << r;
            }
            if (td != tdNone && step % 40 == 39) {
                lesson.typing->SetTypoDetection(static_cast<TypoDetection>(rng() % 5));
            }
            if (step % 25 == 24) {
                lesson.typing->Recalculate(&lesson.dc);
            }
            const int count = lesson.typing->GetTypedWordCount();
            ASSERT_GE(count, 1) << "seed " << seed << " step " << step;
            ASSERT_LE(count, upper) << "seed " << seed << " step " << step;
            ASSERT_EQ(lesson.RefCurrent(), count - 1) << "seed " << seed << " step " << step;
            RECT caret;
            ASSERT_TRUE(lesson.typing->GetCaretRect(&lesson.dc, &caret));
            ASSERT_TRUE(lesson.typing->RedrawLastWord(&lesson.dc, 3));
            lesson.dc.ClearOutputs();
            lesson.typing->GetCaretChar();
        }
    }
}

// Typing what the caret asks for finishes any lesson by letter without a single error, in as
// many keys as the lesson has characters; by matching the same keys finish it too.
TEST(TypeArtProperty, FollowingTheCaretFinishesEveryLesson) {
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::mt19937 rng(seed);
        const std::string text = RandomLesson(rng);
        Lesson byLetter(text.c_str(), tdByLetter);
        std::string keys;
        int last = 1;
        for (int guard = 0; guard < 1000 && last == 1; ++guard) {
            const char c = byLetter.typing->GetCaretChar();
            if (c == kEndOfText) {
                break;
            }
            last = byLetter.typing->TypeChar(c);
            if (last == 1) {
                keys += c;
            }
        }
        // A lesson ending with a line feed is finished by the Enter it asks for last.
        EXPECT_EQ(last, text.back() == '\n' ? 6 : 1) << "seed " << seed;
        EXPECT_EQ(byLetter.typing->GetCaretChar(), text.back() == '\n' ? '\n' : kEndOfText)
            << "seed " << seed;
        EXPECT_EQ(static_cast<int>(keys.size()), byLetter.ref->GetCharCount()) << "seed " << seed;
        EXPECT_EQ(byLetter.typing->GetErrorCount(), 0) << "seed " << seed;
        EXPECT_EQ(byLetter.typing->GetTypedWordCount(), byLetter.ref->GetTokenCount());
        EXPECT_EQ(byLetter.typing->TypeChar('a'), text.back() == '\n' ? 9 : 6) << "seed " << seed;

        ScopedReportCapture quiet;
        Lesson byMatch(text.c_str(), tdByMatch);
        for (char c : keys) {
            ASSERT_EQ(byMatch.typing->TypeChar(c), 1) << "seed " << seed;
        }
        EXPECT_EQ(byMatch.typing->TypeChar('\n'), 6) << "seed " << seed;
    }
}

}  // namespace
