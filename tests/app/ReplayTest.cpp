// The real program, replaying keys on the test clock: exact figures, the history files, the
// statistics, and what it refuses.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

#include "Article/TypingLog.h"
#include "support/TestFiles.h"

namespace fs = std::filesystem;

namespace {

class ReplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        Write("lesson.txt", "ab cd\nef\n");
        // x where b is expected, taken back and typed right; 200 ms between keys but one.
        Write("keys.txt",
              "1000 a\n1200 x\n1400 BACKSPACE\n1600 b\n1800 SPACE\n2000 c\n2400 d\n2600 ENTER\n"
              "2800 e\n3000 f\n");
    }
    void Write(const std::string& name, const std::string& content) {
        WriteText(dir.File(name), content);
    }
    std::string Data() const { return dir.File("data"); }
    // Runs the program with args; returns its exit code, with its output in *output.
    int Run(const std::string& args, std::string* output) {
        const std::string command = std::string(TYPETUTOR_BINARY) + " " + args + " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        char buf[512];
        output->clear();
        while (pipe && fgets(buf, sizeof buf, pipe)) {
            *output += buf;
        }
        const int status = pipe ? pclose(pipe) : -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    int Replay(const std::string& extra, std::string* output) {
        return Run(dir.File("lesson.txt") + " --replay " + dir.File("keys.txt") + " --data-dir " +
                       Data() + " --clock-start '2025-03-04 09:00:00' " + extra,
                   output);
    }
    static std::map<std::string, std::string> Figures(const std::string& output) {
        std::map<std::string, std::string> figures;
        std::istringstream in(output);
        for (std::string line; std::getline(in, line);) {
            const size_t colon = line.find(": ");
            if (colon != std::string::npos) {
                figures[line.substr(0, colon)] = line.substr(colon + 2);
            }
        }
        return figures;
    }

    TempDir dir;
};

TEST_F(ReplayTest, GivesExactFiguresAndWritesBothHistoryFiles) {
    std::string out;
    ASSERT_EQ(Replay("", &out), 0) << out;
    const std::map<std::string, std::string> expected = {
        {"lesson", "lesson"},
        {"finished", "yes"},
        {"active seconds", "2"},  // from the first key to the last
        {"paused seconds", "0"},
        {"keystrokes", "9"},  // the backspace is not one
        {"errors", "1"},
        {"accuracy", "89"},
        {"speed cpm", "270"},
        {"current speed cpm", "300"},
        {"top speed cpm", "300"},
        {"speed wpm", "54"},
        {"current speed wpm", "60"},
        {"top speed wpm", "60"},
        {"words", "3"},
        {"wrong words", "0"},
        {"word accuracy", "100"},
        {"net speed wpm", "54"},
        {"consistency", "72"},  // intervals of 200 ms but one of 400
    };
    EXPECT_EQ(Figures(out), expected) << out;

    CLessonTrackFile lessons;
    ASSERT_EQ(lessons.Open((Data() + "/lessons.dat").c_str()), 1);
    ASSERT_EQ(lessons.GetLessonCount(), 1);
    const CLessonTrack* t = lessons.GetLessonTrack(0);
    EXPECT_EQ(t->m_wYear, 2025);
    EXPECT_EQ(t->m_wMonth, 3);
    EXPECT_EQ(t->m_wDay, 4);
    EXPECT_EQ(t->m_wHour, 9);
    EXPECT_EQ(t->m_nKeys, 9);
    EXPECT_EQ(t->m_nErrors, 1);
    EXPECT_EQ(t->m_nSeconds, 2);
    EXPECT_EQ(t->m_dSpeed, 270.0);
    EXPECT_EQ(t->m_dTopSpeed, 300.0);
    EXPECT_EQ(t->m_nWords, 3);
    EXPECT_EQ(t->m_nWordErrors, 0);
    EXPECT_EQ(t->m_byLessonId1, 0);  // a file of one's own
    EXPECT_EQ(t->m_byLessonId2, 1);  // by letter
    EXPECT_EQ(t->m_aCharTrack['b'].m_nKeys, 2);
    EXPECT_EQ(t->m_aCharTrack['b'].m_nErrors, 1);
    EXPECT_EQ(t->m_aCharTrack['b'].m_nTime, 600);  // 200 ms to the x, 400 ms to the b
    EXPECT_EQ(t->m_aCharTrack['\n'].m_nKeys, 1);

    CWordTrackFile words;
    ASSERT_EQ(words.Open((Data() + "/words.dat").c_str()), 1);
    ASSERT_EQ(words.GetWordCount(), 3);
    const char* texts[] = {"ab", "cd", "ef"};
    // Every word is timed, from the key that began it to the key that left it.
    const int times[] = {800, 800, 400};
    for (int i = 0; i < 3; ++i) {
        EXPECT_STREQ(words.GetWordTrack(i)->m_szWord, texts[i]);
        EXPECT_EQ(words.GetWordTrack(i)->m_nTime, times[i]) << texts[i];
        EXPECT_EQ(words.GetWordTrack(i)->m_bMistyped, 0);
    }
    EXPECT_FALSE(PathExists(Data() + "/lessons.dat.old"));
}

TEST_F(ReplayTest, IdleTimePausesTheLessonAtItsOwnMoment) {
    Write("keys.txt", "1000 a\n1200 b\n26200 SPACE\n26400 c\n26600 d\n");
    Write("lesson.txt", "ab cd");
    std::string out;
    ASSERT_EQ(Replay("", &out), 0) << out;
    std::map<std::string, std::string> f = Figures(out);
    // Paused from 11.2 s (ten seconds after the b) to 26.2 s.
    EXPECT_EQ(f["paused seconds"], "15");
    EXPECT_EQ(f["active seconds"], "10");
    ASSERT_EQ(Replay("--pause-after 30", &out), 0) << out;
    f = Figures(out);
    EXPECT_EQ(f["paused seconds"], "0");
    EXPECT_EQ(f["active seconds"], "25");
}

TEST_F(ReplayTest, PrintsTheLastScreenAfterAResize) {
    Write("lesson.txt", "alpha beta gamma delta");
    Write("keys.txt", "100 a\n200 l\n300 RESIZE 24x10\n400 x\n");
    std::string out;
    ASSERT_EQ(Replay("--screen --size 60x10", &out), 0) << out;
    const std::string screen = out.substr(out.find("screen:\n") + 8);
    EXPECT_EQ(screen,
              "  typetutor - lesson (le\n"
              " 0:00  0 cpm 0 wpm  now\n"
              "\n"
              "  alpha beta gamma\n"
              "  alx\n"
              "  delta\n"
              "\n"
              "\n"
              "\n"
              "  Esc pause   Backspace\n");
}

// A history made by replays: every word timed, letter pairs from the keystroke log, and a
// practice lesson that is the same for the same seed.
TEST_F(ReplayTest, StatsAndPracticeFromAReplayedHistory) {
    std::string out;
    ASSERT_EQ(Run("practice --print --data-dir " + Data(), &out), 0) << out;
    EXPECT_NE(out.find("Your history holds no lesson yet"), std::string::npos) << out;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(Replay("", &out), 0) << out;
    }
    ASSERT_EQ(Run("stats --data-dir " + Data(), &out), 0) << out;
    EXPECT_NE(
        out.find("Slowest words\n  ab                      3 typed    0 mistyped   400 ms/char\n"
                 "  cd                      3 typed    0 mistyped   400 ms/char\n"),
        std::string::npos)
        << out;
    // c to d took 400 ms, e to f 200 ms; a to b was never typed right in a row.
    EXPECT_NE(out.find("Slowest letter pairs\n  cd       400 ms     3 times\n"
                       "  ef       200 ms     3 times\n"),
              std::string::npos)
        << out;
    std::string again;
    ASSERT_EQ(Run("practice --print --seed 5 --data-dir " + Data(), &out), 0) << out;
    ASSERT_EQ(Run("practice --print --seed 5 --data-dir " + Data(), &again), 0) << again;
    EXPECT_EQ(out.rfind("focus: ", 0), 0u) << out;
    EXPECT_EQ(out, again);
}

TEST_F(ReplayTest, NoReportReachesTheOutput) {
    std::string out;
    // The word method makes the library report on every key; the reports go to the log.
    ASSERT_EQ(Replay("--method word", &out), 0) << out;
    EXPECT_EQ(out.find("TypoDection"), std::string::npos) << out;
    const std::string text = ReadText(Data() + "/typetutor.log");
    EXPECT_NE(text.find("GetCaretChar called when TypoDection is not tdByLetter"),
              std::string::npos)
        << text;
}

TEST_F(ReplayTest, RefusesBadInputBeforeTheLessonStartsNamingTheFileAndLine) {
    Write("long.txt", "fine\nfine " + std::string(70, 'q') + " fine\n");
    Write("odd.txt", "snow \xE2\x9D\x84 flake\n");
    Write("bad-keys.txt", "100 a\n50 b\n");
    const std::string keys = " --replay " + dir.File("keys.txt");
    const struct {
        std::string args;  // odd.txt is interactive: refused before the terminal is taken over
        std::string error;
    } cases[] = {
        {dir.File("long.txt") + keys,
         dir.File("long.txt") + ": line 2: the word \"" + std::string(70, 'q') +
             "\" is too long: a word may have at most 63 characters (62 at the end of a line)"},
        {dir.File("odd.txt"),
         dir.File("odd.txt") + ": line 1: '\xE2\x9D\x84' (U+2744) is in no single-byte code page"},
        {dir.File("lesson.txt") + " --replay " + dir.File("bad-keys.txt"),
         dir.File("bad-keys.txt") + ": line 2: time goes backwards"},
    };
    std::string out;
    for (const auto& c : cases) {
        EXPECT_EQ(Run(c.args + " --data-dir " + Data(), &out), 2);
        EXPECT_EQ(out, "typetutor: " + c.error + "\n");
    }
    EXPECT_EQ(Run("no-such-lesson --data-dir " + Data(), &out), 2);
    EXPECT_FALSE(PathExists(Data() + "/lessons.dat"));
}

TEST_F(ReplayTest, AFailedSaveSaysWhereTheHistoryWentAndFailsTheRun) {
    fs::create_directories(Data() + "/lessons.dat");  // in the way of the file
    std::string out;
    EXPECT_EQ(Replay("", &out), 1) << out;
    EXPECT_NE(
        out.find("typetutor: Could not save " + Data() +
                 "/lessons.dat; your history was written to " + Data() + "/lessons.dat.unsaved-"),
        std::string::npos)
        << out;
}

}  // namespace

namespace {

// The same lesson and keys as the fixture's, in Russian: б mistyped as х and typed again.
class RussianReplayTest : public ReplayTest {
protected:
    void SetUp() override {
        Write("lesson.txt", "\xd0\xb0\xd0\xb1 \xd0\xb2\xd0\xb3\n\xd0\xb4\xd0\xb5\n");  // аб вг\nде
        Write("keys.txt",
              "1000 \xd0\xb0\n1200 \xd1\x85\n1400 BACKSPACE\n1600 \xd0\xb1\n1800 SPACE\n"
              "2000 \xd0\xb2\n2400 \xd0\xb3\n2600 ENTER\n2800 \xd0\xb4\n3000 \xd0\xb5\n");
    }
    std::string Profile() const { return Data() + "/profiles/ru"; }
};

TEST_F(RussianReplayTest, ACyrillicProfileKeepsWindows1251BytesAndShowsThemAsCyrillic) {
    std::string out;
    ASSERT_EQ(Replay("--profile ru --layout ru", &out), 0) << out;
    const std::string choices = ReadText(Profile() + "/profile.txt");
    EXPECT_EQ(choices, "code-page=Windows-1251\nlayout=ru\n") << "suggested from the lesson";
    EXPECT_FALSE(PathExists(Data() + "/lessons.dat")) << "the default profile is untouched";

    CLessonTrackFile lessons;
    ASSERT_EQ(lessons.Open((Profile() + "/lessons.dat").c_str()), 1);
    const CLessonTrack* t = lessons.GetLessonTrack(0);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->m_aCharTrack[0xE1].m_nKeys, 2);  // б in Windows-1251
    EXPECT_EQ(t->m_aCharTrack[0xE1].m_nErrors, 1);
    EXPECT_EQ(t->m_aCharTrack[0xE1].m_nTime, 600);
    EXPECT_EQ(t->m_aCharTrack[0xE5].m_nKeys, 1);  // е

    ASSERT_EQ(Run("stats --data-dir " + Data() + " --profile ru", &out), 0) << out;
    EXPECT_NE(out.find("Slowest characters\n  \xd0\xb1          2 keys    1 wrong   300 ms/key"
                       "   50%\n"),
              std::string::npos)
        << out;
    ASSERT_EQ(Run("stats --json --data-dir " + Data() + " --profile ru", &out), 0) << out;
    EXPECT_NE(out.find("{\"word\": \"\xd0\xb2\xd0\xb3\", \"typed\": 1"), std::string::npos) << out;
    EXPECT_NE(out.find("\"weakest_keys_against_a_week_ago\": [{\"key\": \"\xd0\xb1\""),
              std::string::npos)
        << out;
}

TEST_F(ReplayTest, AGreekLessonInAWesternProfileIsRefusedNamingItsFirstGreekLetter) {
    std::string out;
    ASSERT_EQ(Replay("", &out), 0) << out;                      // the default profile: Windows-1252
    Write("greek.txt", "abc\nkai \xce\xba\xce\xb1\xce\xb9\n");  // καί on line 2
    EXPECT_EQ(
        Run(dir.File("greek.txt") + " --replay " + dir.File("keys.txt") + " --data-dir " + Data(),
            &out),
        2);
    EXPECT_EQ(out,
              "typetutor: " + dir.File("greek.txt") +
                  ": line 2: '\xce\xba' (U+03BA) is not in Windows-1252 (Windows-1253 and "
                  "ISO-8859-7 hold it); a profile of its own takes the lesson: --profile NAME\n");
    EXPECT_EQ(Run(dir.File("greek.txt") + " --replay " + dir.File("keys.txt") + " --data-dir " +
                      Data() + " --code-page Windows-1253",
                  &out),
              2);
    EXPECT_NE(out.find("keeps its history in Windows-1252"), std::string::npos) << out;
}

}  // namespace
