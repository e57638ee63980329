#include "Lesson.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

#include "Encoding.h"
#include "support/TestFiles.h"

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
        {"one\r\ntwo\r\n", "one\ntwo"},
        {"trailing   \nblanks\t\n\n\n", "trailing\nblanks"},
        {"tab\there", "tab here"},
        {"e\xCC\x81t\xC3\xA9", "\xE9t\xE9"},  // "e" and a combining acute: é, as é is
        {"blank\n\nlines", "blank\n\nlines"},
    };
    for (const Case& c : cases) {
        const LessonText lesson = PrepareLesson(c.utf8);
        ASSERT_TRUE(lesson.ok) << lesson.error;
        EXPECT_EQ(lesson.text, c.expected) << c.utf8;
    }
}

TEST(PrepareLesson, RefusesWhatTheLibraryCannotTakeNamingTheLineAndTheWord) {
    const std::string tooLong =
        "\" is too long: a word may have at most 63 characters (62 at the end of a line)";
    struct Case {
        std::string utf8;
        std::string error;
    };
    const Case cases[] = {
        {"fine\nnot \xE2\x88\x9E fine",
         "line 2: '\xE2\x88\x9E' (U+221E) is in no single-byte code page"},
        {"ok\n\nbad \xFF byte", "line 3: a byte is not UTF-8"},
        {"overlong \xC0\xAF", "line 1: a byte is not UTF-8"},
        {"bell\x07", "line 1: (U+0007) is a control character"},
        {"delete\x7F", "line 1: (U+007F) is a control character"},
        {"a " + std::string(64, 'w'), "line 1: the word \"" + std::string(64, 'w') + tooLong},
        // A word that ends its line takes the line feed into its token too.
        {"x\n" + std::string(63, 'q') + "\nnext",
         "line 2: the word \"" + std::string(63, 'q') + tooLong},
        {" \n\n  ", "the lesson holds no word"},
    };
    for (const Case& c : cases) {
        const LessonText lesson = PrepareLesson(c.utf8);
        EXPECT_FALSE(lesson.ok);
        EXPECT_EQ(lesson.error, c.error);
    }
    // The longest words that fit: 63 characters, 62 before a line feed, 63 at the very end
    // (the final line feed goes).
    EXPECT_TRUE(PrepareLesson(std::string(63, 'x') + " next").ok);
    EXPECT_TRUE(PrepareLesson(std::string(62, 'x') + "\nnext").ok);
    EXPECT_TRUE(PrepareLesson("last " + std::string(63, 'x') + "\n").ok);
}

class BundledLessons : public ::testing::Test {
protected:
    void SetUp() override { setenv("TYPETUTOR_LESSONS", TYPETUTOR_LESSONS_DIR, 1); }
    void TearDown() override { unsetenv("TYPETUTOR_LESSONS"); }
};

TEST_F(BundledLessons, AreListedByLanguageAndEachFitsItsLanguagesCodePage) {
    const std::map<std::string, std::string> pageOf = {
        {"English", "Windows-1252"}, {"German", "Windows-1252"}, {"French", "Windows-1252"},
        {"Spanish", "Windows-1252"}, {"Polish", "Windows-1250"}, {"Russian", "Windows-1251"},
        {"Greek", "Windows-1253"}};
    const std::vector<BundledLesson> lessons = ListBundledLessons();
    ASSERT_GE(lessons.size(), 28u);
    EXPECT_EQ(lessons.front().name, "bottom-row") << "the English ones keep their places";
    std::vector<unsigned short> tags;
    std::set<std::string> languages;
    for (size_t i = 0; i < lessons.size(); ++i) {
        if (i > 0 && lessons[i - 1].language == lessons[i].language) {
            EXPECT_LT(lessons[i - 1].name, lessons[i].name);
        }
        languages.insert(lessons[i].language);
        const std::string utf8 = ReadText(lessons[i].path);
        const std::vector<const CodePage*> pages = PagesHolding(utf8);
        ASSERT_FALSE(pages.empty()) << lessons[i].name;
        EXPECT_EQ(pages.front()->Name(), pageOf.at(lessons[i].language)) << lessons[i].name;
        SetCurrentCodePage(*pages.front());
        Lesson lesson;
        std::string error;
        EXPECT_TRUE(ChooseLesson(lessons[i].name, &lesson, &error)) << error;
        SetCurrentCodePage(CodePage::Western());
        EXPECT_EQ(lesson.id, static_cast<int>(i) + 1);
        EXPECT_EQ(lesson.tag, LessonTag(lessons[i].name));
        EXPECT_FALSE(lesson.text.empty());
        tags.push_back(lesson.tag);
    }
    EXPECT_EQ(languages.size(), pageOf.size());
    std::sort(tags.begin(), tags.end());
    EXPECT_EQ(std::adjacent_find(tags.begin(), tags.end()), tags.end()) << "tags tell them apart";
}

TEST_F(BundledLessons, AFileOfOnesOwnIsLessonZeroNamedAfterTheFile) {
    TempDir dir;
    WriteText(dir.File("my-text.txt"), "Hello there\n");
    Lesson lesson;
    std::string error;
    ASSERT_TRUE(ChooseLesson(dir.File("my-text.txt"), &lesson, &error)) << error;
    EXPECT_EQ(lesson.name, "my-text");
    EXPECT_EQ(lesson.id, 0);
    EXPECT_EQ(lesson.text, "Hello there");

    EXPECT_FALSE(ChooseLesson("no-such-lesson", &lesson, &error));
    EXPECT_EQ(error,
              "no bundled lesson or file named \"no-such-lesson\" (typetutor --list "
              "shows the lessons)");
}

}  // namespace
