#include "Lesson.h"

#include <gtest/gtest.h>

namespace {

TEST(PrepareLesson, ConvertsUtf8ToWindows1252AndTidiesLines) {
    struct Case {
        const char* utf8;
        const char* expected;
    };
    const Case cases[] = {
        {"caf\xC3\xA9 na\xC3\xAFve", "caf\xE9 na\xEFve"},
        {"\xE2\x82\xAC"
         "5 \xE2\x80\x9Cquoted\xE2\x80\x9D",
         "\x80"
         "5 \x93quoted\x94"},
        {"one\r\ntwo\r\n", "one\ntwo\n"},
        {"trailing   \nblanks\t\n", "trailing\nblanks\n"},
        {"tab\there", "tab here"},
    };
    for (const Case& c : cases) {
        LessonText lesson = PrepareLesson(c.utf8);
        ASSERT_TRUE(lesson.ok) << lesson.error;
        EXPECT_EQ(lesson.text, c.expected);
    }
}

TEST(PrepareLesson, RefusesWhatTheLibraryCannotTakeNamingTheLine) {
    struct Case {
        std::string utf8;
        std::string error;
    };
    const Case cases[] = {
        {"fine\nnot \xE2\x88\x9E fine", "line 2: '\xE2\x88\x9E' (U+221E) has no single-byte form"},
        {"ok\n\nbad \xFF byte", "line 3: a byte that is not UTF-8 has no single-byte form"},
        {"a " + std::string(64, 'w'),
         "line 1: the word \"" + std::string(64, 'w') + "\" is longer than 63 characters"},
        // A 63-character word that ends its line takes the line feed too: 64 in all.
        {std::string(63, 'x') + "\nnext",
         "line 1: the word \"" + std::string(63, 'x') + "\" is longer than 63 characters"},
        {" \n\n  ", "the lesson holds no word"},
    };
    for (const Case& c : cases) {
        LessonText lesson = PrepareLesson(c.utf8);
        EXPECT_FALSE(lesson.ok);
        EXPECT_EQ(lesson.error, c.error);
    }
    EXPECT_TRUE(PrepareLesson(std::string(63, 'x') + " next").ok);
    EXPECT_TRUE(PrepareLesson(std::string(62, 'x') + "\nnext").ok);
}

TEST(Lessons, BundledLessonsAreListedResolvedAndAllAcceptable) {
    setenv("TYPETUTOR_LESSONS", TYPETUTOR_LESSONS_DIR, 1);
    const std::vector<BundledLesson> lessons = ListBundledLessons();
    ASSERT_GE(lessons.size(), 8u);
    for (const BundledLesson& l : lessons) {
        EXPECT_EQ(ResolveLesson(l.name), l.path);
        LessonText text = LoadLessonFile(l.path);
        EXPECT_TRUE(text.ok) << l.name << ": " << text.error;
    }
    EXPECT_EQ(ResolveLesson("no-such-lesson"), "");
    EXPECT_FALSE(LoadLessonFile("/nonexistent/file.txt").ok);
}

TEST(SingleByteToUtf8, RoundTripsTheHighHalf) {
    std::string all;
    for (int b = 0xA0; b < 0x100; ++b) {
        all += static_cast<char>(b);
        if (b % 16 == 15) {
            all += ' ';  // words of at most 16 characters
        }
    }
    LessonText back = PrepareLesson(SingleByteToUtf8("x" + all + "y"));
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.text, "x" + all + "y");
}

}  // namespace
