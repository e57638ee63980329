// A save killed at any moment leaves, after start-up recovery, either the whole previous
// history or the whole new one, byte for byte.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include <gtest/gtest.h>

#include "History.h"
#include "diagnostics/ReportCapture.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void AddWords(CWordTrackFile& words, int n, int seed) {
    for (int i = 0; i < n; ++i) {
        std::string word = "w" + std::to_string(seed) + "x" + std::to_string(i);
        WordTrack* w = CreateWordTrack(word.c_str());
        w->m_nCount = 1;
        w->m_nTime = i % 60000;
        words.Add(w);
    }
}

void AddLessons(CLessonTrackFile& lessons, int n) {
    for (int i = 0; i < n; ++i) {
        lessons.AddNewTrack(static_cast<unsigned char>(i), 1, 0);
        lessons.GetLastTrack()->m_nKeys = i;
    }
}

TEST(CrashConsistency, KilledSavesLeaveThePreviousOrTheNewHistoryWhole) {
    ScopedReportCapture reports;
    const fs::path dir =
        fs::temp_directory_path() / ("typetutor-crash-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    History layout(dir.string());
    const std::string wordPath = layout.WordPath();
    const std::string lessonPath = layout.LessonPath();

    // The previous history and the new one, as bytes.
    constexpr int kOldWords = 60000;
    constexpr int kNewWords = 20000;
    {
        CWordTrackFile words;
        AddWords(words, kOldWords, 1);
        ASSERT_TRUE(words.Save((dir / "old-words").c_str()));
        AddWords(words, kNewWords, 2);
        ASSERT_TRUE(words.Save((dir / "new-words").c_str()));
        CLessonTrackFile lessons;
        AddLessons(lessons, 300);
        ASSERT_TRUE(lessons.Save((dir / "old-lessons").c_str()));
        AddLessons(lessons, 100);
        ASSERT_TRUE(lessons.Save((dir / "new-lessons").c_str()));
    }
    const std::string oldWords = ReadAll(dir / "old-words");
    const std::string newWords = ReadAll(dir / "new-words");
    const std::string oldLessons = ReadAll(dir / "old-lessons");
    const std::string newLessons = ReadAll(dir / "new-lessons");

    std::mt19937 random(20261206);
    int sawOld = 0, sawNew = 0;
    constexpr int kTrials = 24;
    for (int trial = 0; trial < kTrials; ++trial) {
        fs::remove(wordPath + ".old");
        fs::remove(lessonPath + ".old");
        fs::copy_file(dir / "old-words", wordPath, fs::copy_options::overwrite_existing);
        fs::copy_file(dir / "old-lessons", lessonPath, fs::copy_options::overwrite_existing);

        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            History history(dir.string());
            std::string message;
            if (!history.Open(&message)) {
                _exit(3);
            }
            AddWords(history.Words(), kNewWords, 2);
            AddLessons(history.Lessons(), 100);
            _exit(history.Save(&message) ? 0 : 4);
        }
        usleep(static_cast<useconds_t>(std::uniform_int_distribution<int>(0, 60000)(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << "the save itself failed";

        History recovered(dir.string());
        std::string message;
        ASSERT_TRUE(recovered.Open(&message)) << "trial " << trial << ": " << message;
        const std::string words = ReadAll(wordPath);
        const std::string lessons = ReadAll(lessonPath);
        EXPECT_TRUE(words == oldWords || words == newWords) << "trial " << trial;
        EXPECT_TRUE(lessons == oldLessons || lessons == newLessons) << "trial " << trial;
        EXPECT_FALSE(fs::exists(wordPath + ".old"));
        EXPECT_FALSE(fs::exists(lessonPath + ".old"));
        sawOld += words == oldWords;
        sawNew += words == newWords;
    }
    RecordProperty("previous_history_kept", sawOld);
    RecordProperty("new_history_complete", sawNew);
    std::printf("%d kills: previous word history back %d times, new one complete %d times\n",
                kTrials, sawOld, sawNew);
    fs::remove_all(dir);
}

}  // namespace
