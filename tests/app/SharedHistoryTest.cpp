// Several programs on one history: processes that save at the same moment keep every lesson and
// word, a process killed while saving damages nothing, a reader waits for a writer (and says
// so), a wait has a bound, and a file system without locks is noted and lived with.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "Commands.h"
#include "History.h"
#include "platform/File.h"
#include "support/TestFiles.h"

namespace fs = std::filesystem;

namespace {

constexpr int kProcesses = 8;
constexpr int kWordsPerLesson = 12;

// Round r's lesson for process p: words of its own, so that every word tells whose it is.
std::string Word(int round, int process, int i) {
    return "r" + std::to_string(round) + "p" + std::to_string(process) + "w" + std::to_string(i);
}

class SharedHistoryTest : public ::testing::Test {
protected:
    std::string Data() const { return dir.File("data"); }

    // Writes process p's lesson of round r and the keys that type it whole.
    Options ReplayOptions(int round, int process) {
        std::string text, keys;
        int ms = 1000;
        for (int i = 0; i < kWordsPerLesson; ++i) {
            const std::string word = Word(round, process, i);
            text += word + (i % 4 == 3 ? "\n" : " ");
            for (char c : word) {
                keys += std::to_string(ms += 150) + " " + c + "\n";
            }
            keys += std::to_string(ms += 150) + (i % 4 == 3 ? " ENTER\n" : " SPACE\n");
        }
        const std::string name = "r" + std::to_string(round) + "p" + std::to_string(process);
        WriteText(dir.File(name + ".txt"), text);
        WriteText(dir.File(name + ".keys"), keys);
        Options options;
        options.command = Command::kReplay;
        options.lesson = dir.File(name + ".txt");
        options.replayFile = dir.File(name + ".keys");
        options.dataDir = Data();
        // The lesson record's time tells round and process apart.
        char start[32];
        std::snprintf(start, sizeof start, "2026-01-02 %02d:%02d:00", round, process);
        options.clockStart = start;
        return options;
    }

    // Starts kProcesses children that each replay their lesson of round r into the history,
    // wait at a barrier and then save at the same moment. Kills the processes of kills (moment
    // in microseconds after the barrier opens, process) at their moments. Answers each child's
    // wait status; *savingUs, when given, is how long the saves took from the barrier.
    std::vector<int> RunRound(int round, const std::multimap<int, int>& kills = {},
                              int* savingUs = nullptr) {
        int ready[2], go[2];
        EXPECT_EQ(pipe(ready), 0);
        EXPECT_EQ(pipe(go), 0);
        std::vector<pid_t> children;
        for (int p = 0; p < kProcesses; ++p) {
            const Options options = ReplayOptions(round, p);
            const pid_t child = fork();
            if (child == 0) {
                close(go[1]);
                _exit(ReplayAndSaveAtBarrier(options, ready[1], go[0]));
            }
            children.push_back(child);
        }
        close(ready[1]);
        close(go[0]);
        char byte;
        for (int p = 0; p < kProcesses; ++p) {
            EXPECT_EQ(read(ready[0], &byte, 1), 1) << "a child never reached the barrier";
        }
        close(go[1]);  // opens the barrier: every child's read answers at once
        close(ready[0]);
        const auto opened = std::chrono::steady_clock::now();
        for (const auto& [when, p] : kills) {
            std::this_thread::sleep_until(opened + std::chrono::microseconds(when));
            kill(children[static_cast<size_t>(p)], SIGKILL);
        }
        std::vector<int> statuses;
        for (pid_t child : children) {
            int status = 0;
            waitpid(child, &status, 0);
            statuses.push_back(status);
        }
        if (savingUs) {
            *savingUs = static_cast<int>(std::chrono::duration_cast<std::chrono::microseconds>(
                                             std::chrono::steady_clock::now() - opened)
                                             .count());
        }
        return statuses;
    }

    // What RunReplay does, with a barrier between the replay and the save. 0 when saved.
    static int ReplayAndSaveAtBarrier(const Options& options, int readyFd, int goFd) {
        std::ostringstream err;
        ReplayInput input;
        if (!LoadReplayInput(options, &input, err)) {
            return 2;
        }
        ScopedFakeClock clock(input.start);
        History history(options.dataDir);
        Session session;
        std::string error;
        if (!OpenHistory(history, err) ||
            !session.Create(input.lesson.text, options.session, &error)) {
            return 3;
        }
        history.Lessons().AddNewTrack(0, 0, input.lesson.tag);
        history.RememberLessonName(input.lesson.tag, input.lesson.name);
        GridScreen screen(options.replayCols, options.replayRows);
        PlayReplay(input, options, session, screen, clock);
        session.Record(history.Lessons(), history.Words());
        const LoggedLesson keys = session.KeyLogEntry(*history.Lessons().GetLastTrack());
        char byte = 1;
        if (write(readyFd, &byte, 1) != 1 || read(goFd, &byte, 1) != 0) {
            return 4;
        }
        return history.Save(&error) && history.LogKeys(keys, &error) ? 0 : 5;
    }

    // The (round, process) of every lesson record, from its time; and every word with its count.
    struct Content {
        std::multiset<std::pair<int, int>> lessons;
        std::map<std::string, int> words;
        int logged = 0;  // lesson records whose keys the keystroke log holds
    };
    Content Load() {
        History history(Data());
        std::string message;
        EXPECT_TRUE(history.Open(&message)) << message;
        Content content;
        for (int i = 0; i < history.Lessons().GetLessonCount(); ++i) {
            const CLessonTrack* t = history.Lessons().GetLessonTrack(i);
            content.lessons.emplace(t->m_wHour, t->m_wMinute);
        }
        for (int i = 0; i < history.Words().GetWordCount(); ++i) {
            ++content.words[history.Words().GetWordTrack(i)->m_szWord];
        }
        KeyLog log;
        EXPECT_TRUE(history.LoadKeys(&log, &message)) << message;
        for (int i = 0; i < history.Lessons().GetLessonCount(); ++i) {
            content.logged += FindLoggedLesson(log, history.Lessons(), i) ? 1 : 0;
        }
        return content;
    }
    // How many of process p's words of round r the history holds (each must be there once).
    static int WordsOf(const Content& content, int round, int p) {
        int found = 0;
        for (int i = 0; i < kWordsPerLesson; ++i) {
            const auto it = content.words.find(Word(round, p, i));
            if (it != content.words.end()) {
                EXPECT_EQ(it->second, 1) << Word(round, p, i) << " is there more than once";
                ++found;
            }
        }
        return found;
    }
    // Files in the data directory other than the history's own.
    std::vector<std::string> LeftBehind() {
        const std::set<std::string> own = {History::kLessonFile, History::kWordFile,
                                           History::kLogFile,    History::kNamesFile,
                                           History::kKeyLogFile, HistoryLock::kLockFile};
        std::vector<std::string> left;
        for (const auto& e : fs::directory_iterator(Data())) {
            if (own.count(e.path().filename().string()) == 0) {
                left.push_back(e.path().filename().string());
            }
        }
        return left;
    }

    TempDir dir;
};

TEST_F(SharedHistoryTest, EightProcessesSavingAtOnceKeepEveryLessonAndWord) {
    constexpr int kRounds = 4;
    for (int round = 0; round < kRounds; ++round) {
        for (int status : RunRound(round)) {
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round;
        }
        const Content content = Load();
        EXPECT_EQ(content.lessons.size(), static_cast<size_t>((round + 1) * kProcesses));
        EXPECT_EQ(content.logged, (round + 1) * kProcesses) << "lessons whose keys were kept";
        for (int r = 0; r <= round; ++r) {
            for (int p = 0; p < kProcesses; ++p) {
                EXPECT_EQ(content.lessons.count({r, p}), 1u) << "round " << r << " process " << p;
                EXPECT_EQ(WordsOf(content, r, p), kWordsPerLesson);
            }
        }
        EXPECT_EQ(content.words.size(),
                  static_cast<size_t>((round + 1) * kProcesses * kWordsPerLesson));
        EXPECT_TRUE(LeftBehind().empty());
    }
    // Every lesson's name was written once.
    const std::string names = ReadText(dir.File("data/lesson-names.txt"));
    EXPECT_EQ(std::count(names.begin(), names.end(), '\n'), kRounds * kProcesses);
}

TEST_F(SharedHistoryTest, ProcessesKilledWhileSavingLoseOnlyTheirOwnLesson) {
    // One round untouched, its saves timed, so that the kills fall anywhere in them on any
    // machine.
    int savingUs = 0;
    RunRound(0, {}, &savingUs);
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> moment(0, savingUs);
    std::set<std::pair<int, int>> saved;  // (round, process) whose save completed
    for (int p = 0; p < kProcesses; ++p) {
        saved.emplace(0, p);
    }
    constexpr int kRounds = 6;
    int killed = 0;
    for (int round = 1; round <= kRounds; ++round) {
        std::multimap<int, int> kills;
        for (int p = 0; p < kProcesses; p += 2) {  // half of them, at random moments
            kills.emplace(moment(random), p + round % 2);
        }
        const std::vector<int> statuses = RunRound(round, kills);
        for (int p = 0; p < kProcesses; ++p) {
            const int status = statuses[static_cast<size_t>(p)];
            ASSERT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0))
                << "round " << round << " process " << p << " failed to save";
            if (WIFEXITED(status)) {
                saved.emplace(round, p);
            }
            killed += WIFSIGNALED(status);
        }
        const Content content = Load();  // recovers what the killed left
        EXPECT_EQ(LeftBehind(), std::vector<std::string>{}) << "round " << round;
        for (int r = 0; r <= round; ++r) {
            for (int p = 0; p < kProcesses; ++p) {
                const size_t lessons = content.lessons.count({r, p});
                const int words = WordsOf(content, r, p);
                EXPECT_LE(lessons, 1u);
                // A lesson's words are saved with one file: all of them or none.
                EXPECT_TRUE(words == 0 || words == kWordsPerLesson) << r << "/" << p;
                if (saved.count({r, p})) {
                    EXPECT_EQ(lessons, 1u) << "round " << r << " process " << p;
                    EXPECT_EQ(words, kWordsPerLesson) << "round " << r << " process " << p;
                }
            }
        }
    }
    // The other kills came after their process had saved and left.
    std::printf("%d of %d kills fell before the process had saved; eight saves took %d ms\n",
                killed, kRounds * kProcesses / 2, savingUs / 1000);
}

// Another program holding the lock, as another process would: its own open of the lock file.
TEST_F(SharedHistoryTest, AReaderWaitsForAWriterSaysSoAndGivesUpAfterTheBound) {
    {
        History first(Data());
        std::string message;
        ASSERT_TRUE(first.Open(&message));
    }
    HistoryLock writer(Data());
    std::string message;
    ASSERT_TRUE(writer.Lock(HistoryLock::Mode::kExclusive, &message));

    History reader(Data());
    reader.Lock().SetGiveUpAfter(800);
    std::vector<std::string> said;
    reader.Lock().SetWaitNotice([&said](const std::string& line) { said.push_back(line); });
    EXPECT_FALSE(reader.Open(&message));
    EXPECT_EQ(message, "another program has held the history in " + Data() +
                           " for more than 0.8 seconds (its lock file is " + writer.Path() +
                           "); gave up waiting.");
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0], "Waiting for another program to finish with the history...");

    // Readers share: a shared holder does not keep another reader out.
    ASSERT_TRUE(writer.Lock(HistoryLock::Mode::kShared, &message));
    said.clear();
    ASSERT_TRUE(reader.Open(&message)) << message;
    EXPECT_TRUE(said.empty());

    // A save that cannot have the lock keeps the lesson in a rescue copy.
    reader.Lessons().AddNewTrack(1, 1, 7);
    message.clear();
    EXPECT_FALSE(reader.Save(&message));
    EXPECT_NE(message.find("gave up waiting.\nCould not save " + reader.LessonPath() +
                           "; your history was written to "),
              std::string::npos)
        << message;
    writer.Unlock();
    message.clear();
    EXPECT_TRUE(reader.Save(&message)) << message;
    EXPECT_EQ(Load().lessons.size(), 1u);
}

TEST_F(SharedHistoryTest, AFileSystemWithoutLocksIsNotedOnceAndTheHistoryStillSaves) {
    ScopedFileFaults faults;
    faults.RefuseLocks();
    History history(Data());
    std::string message;
    ASSERT_TRUE(history.Open(&message)) << message;
    history.Lessons().AddNewTrack(1, 1, 7);
    history.RememberLessonName(7, "seven");
    ASSERT_TRUE(history.Save(&message)) << message;
    const std::string text = ReadText(history.LogPath());
    const std::string line = "going on without the lock of " + Data() +
                             " (the file system refuses locks: " + std::strerror(ENOLCK) +
                             "): two programs saving at once may lose a lesson";
    EXPECT_NE(text.find(line), std::string::npos) << text;
    EXPECT_EQ(text.find(line), text.rfind(line)) << "said more than once";
    EXPECT_EQ(Load().lessons.size(), 1u);
}

}  // namespace
