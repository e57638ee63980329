// The typing tutor's command line.
#pragma once

#include <string>
#include <vector>

#include "Session.h"

enum class Command {
    kMenu,      // no lesson named: choose one from a menu
    kLesson,    // type the lesson named
    kList,      // list the bundled lessons
    kStats,     // show the history
    kReplay,    // replay keys from a file on the lesson named
    kSnapshot,  // replay, then draw the lesson and what was typed as a PNG picture
    kReport,    // draw the history's progress charts as a PNG picture
    kPractice,  // type (or print) a lesson built from the history's weak keys and words
    kHelp,
};

struct Options {
    Command command = Command::kMenu;
    std::string lesson;   // bundled lesson name or file path
    bool book = false;    // lesson is a book's path: its next part is the lesson
    std::string dataDir;  // the history's folder
    SessionOptions session;
    int pauseAfterSeconds = 10;
    bool json = false;
    // Replay only.
    std::string replayFile;
    std::string clockStart;  // local time the replay starts at, "YYYY-MM-DD HH:MM:SS"
    int replayCols = 80;
    int replayRows = 24;
    bool printScreen = false;
    // Pictures only.
    std::string outFile;   // the PNG file to write
    int page = 0;          // snapshot: the page to draw, from 1; 0 for the page being typed
    int lessonNumber = 0;  // snapshot: a lesson of the history, from 1 as stats lists them
    // Practice only.
    int seed = -1;      // -1: from the clock
    std::string focus;  // the keys to practise instead of the weakest
    bool printOnly = false;
};

extern const char* const kUsage;

// Reads the arguments after the program's name. dataDir starts as defaultDataDir. False with a
// message for an unknown option, a missing or bad value, or a second lesson.
bool ParseCommandLine(const std::vector<std::string>& args, const std::string& defaultDataDir,
                      Options* options, std::string* error);
