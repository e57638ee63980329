// The keystroke log: what is appended loads back, a tail torn by a crash is dropped and cut
// before the next append, and each lesson record finds its keys.
#include "KeyLog.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Clock.h"
#include "support/TestFiles.h"

namespace {

LoggedLesson Lesson(const std::string& text, unsigned short tag, std::vector<LoggedKey> keys) {
    LoggedLesson l;
    l.year = 2025;
    l.month = 3;
    l.day = 4;
    l.hour = 9;
    l.tag = tag;
    l.method = 1;
    l.cols = 80;
    l.rows = 24;
    l.text = text;
    l.keys = std::move(keys);
    return l;
}

const std::vector<LoggedKey> kKeys = {
    {0, 'a', 'a', false}, {180, 'b', 'x', false}, {400, 'b', 0, true}, {650, 'b', 'b', false}};

std::vector<size_t> KeyCounts(const KeyLog& log) {
    std::vector<size_t> counts;
    for (const LoggedLesson& l : log.lessons) {
        counts.push_back(l.keys.size());
    }
    return counts;
}

TEST(KeyLog, LoadsWhatWasAppendedAndDropsOnlyATornTail) {
    TempDir dir;
    const std::string path = dir.File("keys.dat");
    std::string error;
    KeyLog log;
    ASSERT_TRUE(LoadKeyLog(path, &log, &error));  // no file yet: an empty log
    EXPECT_TRUE(log.lessons.empty());
    ASSERT_TRUE(AppendKeyLog(path, Lesson("ab", 1, kKeys), &error)) << error;
    ASSERT_TRUE(AppendKeyLog(path, Lesson("a longer text", 2, kKeys), &error)) << error;
    ASSERT_TRUE(LoadKeyLog(path, &log, &error));
    ASSERT_EQ(KeyCounts(log), (std::vector<size_t>{4, 4}));
    const LoggedKey& wrong = log.lessons[0].keys[1];
    EXPECT_EQ(wrong.ms, 180u);
    EXPECT_EQ(wrong.expected, 'b');
    EXPECT_EQ(wrong.typed, 'x');
    EXPECT_TRUE(log.lessons[0].keys[2].backspace);
    EXPECT_EQ(log.lessons[1].text, "a longer text");
    EXPECT_EQ(log.lessons[1].tag, 2);

    // A crash in the middle of the last key: that key goes, everything before it stays.
    const auto size = std::filesystem::file_size(path);
    std::filesystem::resize_file(path, size - 3);
    ASSERT_TRUE(LoadKeyLog(path, &log, &error));
    EXPECT_EQ(KeyCounts(log), (std::vector<size_t>{4, 3}));
    EXPECT_EQ(log.droppedBytes, 5);
    // The next lesson is written after the last whole unit.
    ASSERT_TRUE(AppendKeyLog(path, Lesson("cd", 3, kKeys), &error)) << error;
    ASSERT_TRUE(LoadKeyLog(path, &log, &error));
    EXPECT_EQ(KeyCounts(log), (std::vector<size_t>{4, 3, 4}));
    EXPECT_EQ(log.droppedBytes, 0);

    // A crash inside a lesson's head drops that lesson.
    std::filesystem::resize_file(path, log.validBytes - 4 * 8 - 3);
    ASSERT_TRUE(LoadKeyLog(path, &log, &error));
    EXPECT_EQ(KeyCounts(log), (std::vector<size_t>{4, 3}));
}

TEST(KeyLog, EachLessonRecordFindsItsOwnKeysAmongLessonsOfTheSameMinute) {
    CLessonTrackFile lessons;
    {
        ScopedFakeClock clock(2025, 3, 4, 9, 0);
        lessons.AddNewTrack(0, 1, 5);
        lessons.AddNewTrack(0, 1, 5);
        lessons.AddNewTrack(0, 1, 6);
    }
    KeyLog log;
    for (const char* text : {"first", "other", "second"}) {
        log.lessons.push_back(Lesson(text, text[0] == 'o' ? 6 : 5, {}));
    }
    const char* expected[] = {"first", "second", "other"};
    for (int i = 0; i < 3; ++i) {
        const LoggedLesson* found = FindLoggedLesson(log, lessons, i);
        ASSERT_NE(found, nullptr) << i;
        EXPECT_EQ(found->text, expected[i]);
    }
    EXPECT_EQ(FindLoggedLesson(log, lessons, 3), nullptr);
    log.lessons.pop_back();
    EXPECT_EQ(FindLoggedLesson(log, lessons, 1), nullptr);  // never logged
}

}  // namespace
