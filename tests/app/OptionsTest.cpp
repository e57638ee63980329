#include "Options.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) {
        words.push_back(w);
    }
    return words;
}

TEST(CommandLine, PicksTheCommand) {
    struct Case {
        const char* line;
        Command command;
        const char* lesson;
    };
    const Case cases[] = {
        {"", Command::kMenu, ""},
        {"home-row", Command::kLesson, "home-row"},
        {"my.txt --method word", Command::kLesson, "my.txt"},
        {"stats", Command::kStats, ""},
        {"stats --json", Command::kStats, ""},
        {"--list", Command::kList, ""},
        {"home-row --help", Command::kHelp, "home-row"},
        {"home-row --replay keys.txt", Command::kReplay, "home-row"},
        {"snapshot home-row --replay k --out s.png", Command::kSnapshot, "home-row"},
        {"report --out p.png", Command::kReport, ""},
        {"snapshot --lesson 3 --out s.png", Command::kSnapshot, ""},
        {"practice --seed 7 --focus xq --print", Command::kPractice, ""},
        {"book my.txt", Command::kLesson, "my.txt"},
        {"book my.txt --replay k", Command::kReplay, "my.txt"},
    };
    for (const Case& c : cases) {
        Options options;
        std::string error;
        ASSERT_TRUE(ParseCommandLine(Words(c.line), "/data", &options, &error)) << c.line;
        EXPECT_EQ(options.command, c.command) << c.line;
        EXPECT_EQ(options.lesson, c.lesson) << c.line;
        EXPECT_EQ(options.dataDir, "/data");
        EXPECT_EQ(options.book, std::string(c.line).rfind("book ", 0) == 0) << c.line;
    }
}

TEST(CommandLine, ReadsTheLessonsSettings) {
    Options options;
    std::string error;
    ASSERT_TRUE(
        ParseCommandLine(Words("x --method match --masked --justify --no-highlight --no-mark-typos "
                               "--pause-after 4 --data-dir /d --json --size 60x20"),
                         "/data", &options, &error));
    EXPECT_EQ(options.session.method, tdByMatch);
    EXPECT_TRUE(options.session.masked);
    EXPECT_TRUE(options.session.justify);
    EXPECT_FALSE(options.session.highlight);
    EXPECT_FALSE(options.session.markTypos);
    EXPECT_EQ(options.pauseAfterSeconds, 4);
    EXPECT_EQ(options.dataDir, "/d");
    EXPECT_TRUE(options.json);
    EXPECT_EQ(options.replayCols, 60);
    EXPECT_EQ(options.replayRows, 20);

    for (const auto& [name, td] : {std::pair{"letter", tdByLetter}, std::pair{"word", tdByWord},
                                   std::pair{"match", tdByMatch}, std::pair{"free", tdNone}}) {
        Options o;
        ASSERT_TRUE(ParseCommandLine({"x", "--method", name}, "", &o, &error));
        EXPECT_EQ(o.session.method, td);
    }
}

TEST(CommandLine, RefusesWhatItDoesNotKnow) {
    const char* kSnapshotNeeds =
        "snapshot needs a LESSON and --replay FILE, or --lesson N; and --out FILE";
    struct Case {
        const char* line;
        const char* error;
    };
    const Case cases[] = {
        {"--frobnicate", "unknown option --frobnicate"},
        {"x --method typo", "--method takes letter, word, match or free"},
        {"x --method", "--method takes letter, word, match or free"},
        {"x --pause-after 0", "--pause-after takes a number of seconds"},
        {"x --pause-after soon", "--pause-after takes a number of seconds"},
        {"x --data-dir", "--data-dir needs a value"},
        {"x --size 80", "--size takes COLSxROWS, e.g. 80x24"},
        {"a b", "one lesson at a time"},
        {"stats x", "one lesson at a time"},
        {"--replay keys.txt", "--replay needs a LESSON"},
        {"snapshot x --replay k", kSnapshotNeeds},
        {"snapshot --replay k --out s.png", kSnapshotNeeds},
        {"snapshot x --lesson 2 --out s.png", kSnapshotNeeds},
        {"snapshot --lesson 0 --out s.png",
         "--lesson takes a lesson number from 1, as stats lists them"},
        {"practice --seed soon", "--seed takes a whole number"},
        {"practice x", "one lesson at a time"},
        {"report", "report needs --out FILE"},
        {"report x --out p.png", "one lesson at a time"},
        {"x --page 0", "--page takes a page number from 1"},
        {"book", "book needs a FILE, and is typed as a lesson is"},
        {"stats book", "book needs a FILE, and is typed as a lesson is"},
    };
    for (const Case& c : cases) {
        Options options;
        std::string error;
        EXPECT_FALSE(ParseCommandLine(Words(c.line), "", &options, &error)) << c.line;
        EXPECT_EQ(error, c.error) << c.line;
    }
}

}  // namespace
