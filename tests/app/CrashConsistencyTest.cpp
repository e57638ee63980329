// A save killed at any moment leaves, after start-up recovery, either the whole previous
// history or the whole new one, byte for byte.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>

#include <gtest/gtest.h>

#include "History.h"
#include "diagnostics/ReportCapture.h"
#include "platform/Clock.h"
#include "support/TestFiles.h"

namespace fs = std::filesystem;

namespace {

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
    // New lesson records are stamped with the time: the children's must match the reference's
    // to the second, however long the trials take.
    ScopedFakeClock clock(2026, 12, 6, 9, 30);
    const TempDir temp;
    const fs::path dir = temp.Path();
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
    const std::string oldWords = ReadText((dir / "old-words").string());
    const std::string newWords = ReadText((dir / "new-words").string());
    const std::string oldLessons = ReadText((dir / "old-lessons").string());
    const std::string newLessons = ReadText((dir / "new-lessons").string());

    // Puts the previous history in place, then lets a child add to it and save; the child is
    // killed after killAfterUs unless that is negative. Returns the child's wait status.
    const auto runSave = [&](int killAfterUs) {
        fs::remove(wordPath + ".old");
        fs::remove(lessonPath + ".old");
        fs::copy_file(dir / "old-words", wordPath, fs::copy_options::overwrite_existing);
        fs::copy_file(dir / "old-lessons", lessonPath, fs::copy_options::overwrite_existing);
        const pid_t child = fork();
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
        if (killAfterUs >= 0) {
            usleep(static_cast<useconds_t>(killAfterUs));
            kill(child, SIGKILL);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return status;
    };

    // One whole run, timed, so that the kills fall anywhere in it on a machine of any speed.
    const auto start = std::chrono::steady_clock::now();
    const int whole = runSave(-1);
    const auto wholeUs = std::chrono::duration_cast<std::chrono::microseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count();
    ASSERT_TRUE(WIFEXITED(whole) && WEXITSTATUS(whole) == 0) << "the save itself failed";
    ASSERT_EQ(ReadText(wordPath), newWords);
    ASSERT_EQ(ReadText(lessonPath), newLessons);

    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> killAfter(0, static_cast<int>(wholeUs));
    int oldWordsKept = 0, newWordsWhole = 0, oldLessonsKept = 0, newLessonsWhole = 0;
    constexpr int kTrials = 24;
    for (int trial = 0; trial < kTrials; ++trial) {
        const int status = runSave(killAfter(random));
        ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << "the save itself failed";

        History recovered(dir.string());
        std::string message;
        ASSERT_TRUE(recovered.Open(&message)) << "trial " << trial << ": " << message;
        const std::string words = ReadText(wordPath);
        const std::string lessons = ReadText(lessonPath);
        EXPECT_TRUE(words == oldWords || words == newWords) << "trial " << trial;
        EXPECT_TRUE(lessons == oldLessons || lessons == newLessons) << "trial " << trial;
        EXPECT_FALSE(fs::exists(wordPath + ".old"));
        EXPECT_FALSE(fs::exists(lessonPath + ".old"));
        oldWordsKept += words == oldWords;
        newWordsWhole += words == newWords;
        oldLessonsKept += lessons == oldLessons;
        newLessonsWhole += lessons == newLessons;
    }
    std::printf(
        "%d kills within a %lld ms run: words previous %d, new %d; lessons previous %d, new %d\n",
        kTrials, static_cast<long long>(wholeUs / 1000), oldWordsKept, newWordsWhole,
        oldLessonsKept, newLessonsWhole);
}

}  // namespace
