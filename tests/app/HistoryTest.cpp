#include "History.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "diagnostics/Report.h"
#include "platform/File.h"
#include "support/TestFiles.h"

namespace fs = std::filesystem;

namespace {

// Files in dir whose names begin with prefix.
std::vector<std::string> FilesStartingWith(const std::string& dir, const std::string& prefix) {
    std::vector<std::string> found;
    for (const auto& e : fs::directory_iterator(dir)) {
        if (e.path().filename().string().rfind(prefix, 0) == 0) {
            found.push_back(e.path().string());
        }
    }
    return found;
}

class HistoryTest : public ::testing::Test {
protected:
    // The bytes of a lesson history holding n records.
    std::string LessonFile(int n) {
        CLessonTrackFile file;
        for (int i = 0; i < n; ++i) {
            file.AddNewTrack(static_cast<unsigned char>(i), 1, 0);
        }
        const std::string scratch = scratchDir.File("scratch.dat");
        EXPECT_TRUE(file.Save(scratch.c_str()));
        return ReadText(scratch);
    }
    int LessonsIn(const std::string& path) {
        CLessonTrackFile file;
        return file.Open(path.c_str()) == 1 ? file.GetLessonCount() : -1;
    }

    TempDir dir;
    TempDir scratchDir;
};

// What an interrupted save leaves: a backup, beside a main file that is missing, does not open
// (kept aside, as it was, unless the save's marker says it is that save's partial write) or
// opens (then the backup is stale). The marker is cleared.
TEST_F(HistoryTest, ABackupIsRestoredOrRemovedByWhatTheMainFileHolds) {
    const std::string two = LessonFile(2);
    const std::string three = LessonFile(3);
    const struct {
        std::string main;
        const char* marker;
        Recovery recovery;
        const std::string& kept;
        size_t damaged;
    } cases[] = {
        {"", nullptr, Recovery::kBackupRestored, two, 0},
        {"half a file", nullptr, Recovery::kBackupRestored, two, 1},
        {"half a file", "lessons.dat\n", Recovery::kBackupRestored, two, 0},
        {"half a file", "words.dat\n", Recovery::kBackupRestored, two, 1},
        {three, nullptr, Recovery::kBackupRemoved, three, 0},
        {three, "lessons.dat\n", Recovery::kBackupRemoved, three, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.main.size()) + (c.marker ? c.marker : " no marker"));
        TempDir data;
        History history(data.Path());
        if (!c.main.empty()) {
            WriteText(history.LessonPath(), c.main);
        }
        WriteText(history.LessonPath() + ".old", two);
        if (c.marker) {
            WriteText(history.SavingPath(), c.marker);
        }
        std::string message;
        ASSERT_TRUE(history.Open(&message)) << message;
        EXPECT_EQ(history.LessonRecovery(), c.recovery);
        EXPECT_EQ(history.WordRecovery(), Recovery::kNothing);
        EXPECT_FALSE(PathExists(history.LessonPath() + ".old"));
        EXPECT_FALSE(PathExists(history.SavingPath()));
        EXPECT_EQ(ReadText(history.LessonPath()), c.kept);
        EXPECT_EQ(history.Lessons().GetLessonCount(), c.kept == two ? 2 : 3);
        const auto damaged = FilesStartingWith(data.Path(), "lessons.dat.damaged-");
        ASSERT_EQ(damaged.size(), c.damaged);
        if (c.damaged) {
            EXPECT_EQ(ReadText(damaged[0]), c.main);
            EXPECT_NE(ReadText(history.LogPath()).find("an interrupted save was undone"),
                      std::string::npos);
        }
    }
}

TEST_F(HistoryTest, TheWordFileIsRecoveredTheSameWay) {
    History history(dir.Path());
    CWordTrackFile words;
    words.Add(CreateWordTrack("cat"));
    ASSERT_TRUE(words.Save(scratchDir.File("w.dat").c_str()));
    WriteText(history.WordPath() + ".old", ReadText(scratchDir.File("w.dat")));
    // The partial file of a killed save of the word file goes, without a damaged copy.
    WriteText(history.WordPath(), "half a file");
    WriteText(history.SavingPath(), "words.dat\n");
    std::string message;
    ASSERT_TRUE(history.Open(&message)) << message;
    EXPECT_EQ(history.WordRecovery(), Recovery::kBackupRestored);
    EXPECT_EQ(history.Words().GetWordCount(), 1);
    EXPECT_TRUE(FilesStartingWith(dir.Path(), "words.dat.damaged-").empty());
}

TEST_F(HistoryTest, AMainFileThatDoesNotLoadWithoutABackupIsRefusedAndLeftAlone) {
    History history(dir.Path());
    WriteText(history.WordPath(), "garbage!");
    std::string message;
    EXPECT_FALSE(history.Open(&message));
    EXPECT_EQ(message, history.WordPath() + " is not a word history that loads (see " +
                           history.LogPath() +
                           "); it was left as it is: move it away to begin a new history");
    EXPECT_EQ(ReadText(history.WordPath()), "garbage!");
}

TEST_F(HistoryTest, AHistoryThatDoesNotLoadIsMovedAsideNotDeletedAndANewOneStarts) {
    WriteText(dir.File(History::kLessonFile), LessonFile(2));
    WriteText(dir.File(History::kWordFile), "garbage!");
    std::string moved;
    std::string error;
    ASSERT_TRUE(MoveHistoryAside(dir.Path(), &moved, &error)) << error;
    // Only the file that does not load goes; it keeps its bytes under its new name.
    const auto aside =
        FilesStartingWith(dir.Path(), std::string(History::kWordFile) + ".unloadable-");
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(moved, aside[0]);
    EXPECT_EQ(ReadText(aside[0]), "garbage!");
    EXPECT_EQ(LessonsIn(dir.File(History::kLessonFile)), 2);
    History history(dir.Path());
    std::string message;
    EXPECT_TRUE(history.Open(&message)) << message;
    EXPECT_EQ(history.Lessons().GetLessonCount(), 2);
}

TEST_F(HistoryTest, ADirectoryThatCannotBeMadeIsRefused) {
    WriteText(dir.File("taken"), "a file");
    History history(dir.File("taken") + "/typetutor");
    std::string message;
    EXPECT_FALSE(history.Open(&message));
    EXPECT_EQ(message, "cannot make the data directory " + dir.File("taken") + "/typetutor");
}

TEST(DefaultDataDirectory, IsUnderXdgDataHomeWhenItIsSetElseUnderHome) {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const std::optional<std::string> saved = xdg ? std::optional<std::string>(xdg) : std::nullopt;
    setenv("XDG_DATA_HOME", "/data", 1);
    EXPECT_EQ(DefaultDataDirectory(), "/data/typetutor");
    setenv("XDG_DATA_HOME", "", 1);
    const std::string fallback = DefaultDataDirectory();
    EXPECT_EQ(fallback.substr(fallback.find("/.local")), "/.local/share/typetutor");
    if (saved) {
        setenv("XDG_DATA_HOME", saved->c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
}

TEST_F(HistoryTest, AFailedSaveWritesARescueCopyAndKeepsTheRecordsForAnotherTry) {
    History history(dir.Path());
    WriteText(history.LessonPath(), LessonFile(1));
    std::string message;
    ASSERT_TRUE(history.Open(&message));
    history.Lessons().AddNewTrack(1, 1, 7);
    {
        ScopedFileFaults faults;
        faults.FailWriteNumber(1);  // the first write of the lesson file
        EXPECT_FALSE(history.Save(&message));
    }
    const std::vector<std::string> rescued = FilesStartingWith(dir.Path(), "lessons.dat.unsaved-");
    ASSERT_EQ(rescued.size(), 1u);
    EXPECT_EQ(message, "Could not save " + history.LessonPath() + "; your history was written to " +
                           rescued[0] + " instead. Put it back in place of " +
                           history.LessonPath() + " once the problem is fixed.\n");
    EXPECT_EQ(LessonsIn(rescued[0]), 2);
    EXPECT_EQ(LessonsIn(history.LessonPath()), 1);  // the previous file stays in place
    CWordTrackFile words;                           // the other file saved as usual
    EXPECT_EQ(words.Open(history.WordPath().c_str()), 1);

    // Where not even a copy can be made, the records stay in memory, and the message says so.
    {
        ScopedFileFaults faults;
        faults.FailCreate();
        message.clear();
        EXPECT_FALSE(history.Save(&message));
        EXPECT_NE(message.find("Could not save " + history.LessonPath() +
                               ", nor a copy beside it or in the temporary directory: the "
                               "history is still in memory only.\n"),
                  std::string::npos)
            << message;
    }
    message.clear();
    EXPECT_TRUE(history.Save(&message)) << message;
    EXPECT_EQ(LessonsIn(history.LessonPath()), 2);
}

}  // namespace
