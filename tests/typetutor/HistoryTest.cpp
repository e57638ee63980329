#include "History.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "diagnostics/ReportCapture.h"

namespace fs = std::filesystem;

namespace {

class HistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("typetutor-history-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    static std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void Write(const fs::path& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
    // A valid lesson file holding n records.
    std::string LessonFile(int n) {
        CLessonTrackFile file;
        for (int i = 0; i < n; ++i) {
            file.AddNewTrack(static_cast<unsigned char>(i), 0, 0);
        }
        const fs::path scratch = dir / "scratch.dat";
        EXPECT_TRUE(file.Save(scratch.c_str()));
        std::string bytes = Read(scratch);
        fs::remove(scratch);
        return bytes;
    }

    fs::path dir;
    ScopedReportCapture reports;
};

TEST_F(HistoryTest, BackupTakesThePlaceOfAMissingOrBrokenMainFile) {
    const std::string previous = LessonFile(2);
    for (const char* main : {"", "broken"}) {
        History history(dir.string());
        fs::remove(history.LessonPath());
        if (*main) {
            Write(history.LessonPath(), main);
        }
        Write(history.LessonPath() + ".old", previous);
        std::string message;
        ASSERT_TRUE(history.Open(&message)) << message;
        EXPECT_EQ(history.LessonRecovery(), Recovery::kBackupRestored);
        EXPECT_FALSE(fs::exists(history.LessonPath() + ".old"));
        EXPECT_EQ(Read(history.LessonPath()), previous);
        EXPECT_EQ(history.Lessons().GetLessonCount(), 2);
    }
}

TEST_F(HistoryTest, StaleBackupIsRemovedWhenTheMainFileOpens) {
    History history(dir.string());
    const std::string current = LessonFile(3);
    Write(history.LessonPath(), current);
    Write(history.LessonPath() + ".old", LessonFile(1));
    std::string message;
    ASSERT_TRUE(history.Open(&message)) << message;
    EXPECT_EQ(history.LessonRecovery(), Recovery::kBackupRemoved);
    EXPECT_FALSE(fs::exists(history.LessonPath() + ".old"));
    EXPECT_EQ(history.Lessons().GetLessonCount(), 3);
    EXPECT_EQ(history.WordRecovery(), Recovery::kNothing);
}

TEST_F(HistoryTest, AMainFileThatDoesNotLoadIsRefusedAndLeftAlone) {
    History history(dir.string());
    Write(history.WordPath(), "garbage!");
    std::string message;
    EXPECT_FALSE(history.Open(&message));
    EXPECT_NE(message.find("words.dat"), std::string::npos);
    EXPECT_EQ(Read(history.WordPath()), "garbage!");
}

TEST_F(HistoryTest, FailedSaveWritesTheHistoryBesideAndSaysWhere) {
    History history(dir.string());
    std::string message;
    ASSERT_TRUE(history.Open(&message));
    history.Lessons().AddNewTrack(1, 1, 7);
    // A directory where the file should be makes the save fail.
    fs::create_directories(history.LessonPath());
    EXPECT_FALSE(history.Save(&message));
    EXPECT_NE(message.find("your history was written to"), std::string::npos);
    bool rescued = false;
    for (const auto& e : fs::directory_iterator(dir)) {
        if (e.path().filename().string().rfind("lessons.dat.unsaved-", 0) == 0) {
            CLessonTrackFile copy;
            rescued = copy.Open(e.path().c_str()) == 1 && copy.GetLessonCount() == 1;
        }
    }
    EXPECT_TRUE(rescued);
}

}  // namespace
