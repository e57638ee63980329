#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "Article/TypingLog.h"
#include "Commands.h"

namespace fs = std::filesystem;

namespace {

TEST(ParseReplay, ReadsTimesAndNamedKeys) {
    std::vector<ReplayEvent> events;
    std::string error;
    ASSERT_TRUE(
        ParseReplay("# a comment\n0 a\n\n150 SPACE\n300 ENTER\r\n450 BACKSPACE\n"
                    "500 ESC\n600 \xC3\xA9\n",
                    &events, &error))
        << error;
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[0].ch, 'a');
    EXPECT_EQ(events[1].ms, 150);
    EXPECT_EQ(events[1].ch, ' ');
    EXPECT_EQ(events[2].ch, '\n');
    EXPECT_EQ(events[3].kind, ReplayEvent::Kind::kBackspace);
    EXPECT_EQ(events[4].kind, ReplayEvent::Kind::kPause);
    EXPECT_EQ(events[5].ch, '\xE9');
}

TEST(ParseReplay, RefusesMalformedLinesNamingThem) {
    struct Case {
        const char* content;
        const char* error;
    };
    const Case cases[] = {
        {"10 a\nx b\n", "line 2: expected \"milliseconds key\""},
        {"10\n", "line 1: expected \"milliseconds key\""},
        {"10 a\n5 b\n", "line 2: time goes backwards"},
        {"10 WHAT\n", "line 1: unknown key \"WHAT\""},
    };
    for (const Case& c : cases) {
        std::vector<ReplayEvent> events;
        std::string error;
        EXPECT_FALSE(ParseReplay(c.content, &events, &error)) << c.content;
        EXPECT_EQ(error, c.error);
    }
}

class ReplayRun : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("typetutor-replay-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs the program; returns its exit code and fills output with what it printed.
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

    static std::map<std::string, std::string> Figures(const std::string& output) {
        std::map<std::string, std::string> figures;
        std::istringstream in(output);
        std::string line;
        while (std::getline(in, line)) {
            const size_t colon = line.find(": ");
            if (colon != std::string::npos) {
                figures[line.substr(0, colon)] = line.substr(colon + 2);
            }
        }
        return figures;
    }

    fs::path dir;
};

TEST_F(ReplayRun, TypedLessonGivesExactFiguresAndHistory) {
    std::ofstream(dir / "lesson.txt") << "ab cd\n";
    // x where b is expected, taken back and typed right.
    std::ofstream(dir / "keys.txt") << "1000 a\n1200 x\n1400 BACKSPACE\n1600 b\n1800 SPACE\n"
                                       "2000 c\n2400 d\n";
    std::string out;
    const std::string args = (dir / "lesson.txt").string() + " --replay " +
                             (dir / "keys.txt").string() + " --data-dir " +
                             (dir / "data").string() + " --clock-start '2025-03-04 09:00:00'";
    ASSERT_EQ(Run(args, &out), 0) << out;
    std::map<std::string, std::string> f = Figures(out);
    EXPECT_EQ(f["finished"], "yes");
    EXPECT_EQ(f["keystrokes"], "6");
    EXPECT_EQ(f["errors"], "1");
    EXPECT_EQ(f["accuracy"], "83");  // 5 of 6
    EXPECT_EQ(f["active seconds"], "2");
    EXPECT_EQ(f["speed cpm"], "180");          // 6 keys in 2 s
    EXPECT_EQ(f["current speed cpm"], "150");  // the last gap, 400 ms
    EXPECT_EQ(f["top speed cpm"], "300");      // 200 ms gaps
    EXPECT_EQ(f["speed wpm"], "36");
    EXPECT_EQ(f["top speed wpm"], "60");
    EXPECT_EQ(f["words"], "2");
    EXPECT_EQ(f["wrong words"], "0");

    CLessonTrackFile lessons;
    ASSERT_EQ(lessons.Open((dir / "data" / "lessons.dat").c_str()), 1);
    ASSERT_EQ(lessons.GetLessonCount(), 1);
    const CLessonTrack* t = lessons.GetLessonTrack(0);
    EXPECT_EQ(t->m_wYear, 2025);
    EXPECT_EQ(t->m_wHour, 9);
    EXPECT_EQ(t->m_nKeys, 6);
    EXPECT_EQ(t->m_nErrors, 1);
    EXPECT_EQ(t->m_nSeconds, 2);
    EXPECT_EQ(t->m_aCharTrack['b'].m_nKeys, 2);
    EXPECT_EQ(t->m_aCharTrack['b'].m_nErrors, 1);
    EXPECT_EQ(t->m_aCharTrack['b'].m_nTime, 600);  // 200 ms to the x, 400 ms to the b
    EXPECT_EQ(t->m_byLessonId2, tdByLetter);

    CWordTrackFile words;
    ASSERT_EQ(words.Open((dir / "data" / "words.dat").c_str()), 1);
    ASSERT_EQ(words.GetWordCount(), 2);
    EXPECT_STREQ(words.GetWordTrack(0)->m_szWord, "ab");
    EXPECT_EQ(words.GetWordTrack(0)->m_nTime, 800);
    EXPECT_STREQ(words.GetWordTrack(1)->m_szWord, "cd");
    EXPECT_EQ(words.GetWordTrack(1)->m_nTime, 600);
    EXPECT_EQ(words.GetWordTrack(1)->m_bMistyped, 0);

    // The stats read the same history back.
    ASSERT_EQ(Run("stats --json --data-dir " + (dir / "data").string(), &out), 0) << out;
    EXPECT_NE(out.find("\"keys\": 6"), std::string::npos) << out;
    EXPECT_NE(out.find("\"word\": \"cd\""), std::string::npos) << out;
}

TEST_F(ReplayRun, RefusedLessonsNameTheLineAndExitNonZero) {
    std::ofstream(dir / "long.txt") << "fine\nfine " << std::string(70, 'q') << "\n";
    std::ofstream(dir / "odd.txt") << "snow \xE2\x9D\x84 flake\n";
    std::string out;
    EXPECT_EQ(Run((dir / "long.txt").string() + " --replay /dev/null", &out), 2);
    EXPECT_NE(out.find("line 2: the word \"" + std::string(70, 'q') + "\" is longer"),
              std::string::npos)
        << out;
    EXPECT_EQ(Run((dir / "odd.txt").string(), &out), 2);
    EXPECT_NE(out.find("line 1: '\xE2\x9D\x84' (U+2744) has no single-byte form"),
              std::string::npos)
        << out;
    EXPECT_EQ(Run("no-such-lesson", &out), 2);
}

}  // namespace
