// The typing tutor's commands: an interactive lesson, a replayed lesson, and the statistics.
#pragma once

#include <string>
#include <vector>

#include "Session.h"

struct Options {
    std::string lesson;  // bundled lesson name or file path; empty: choose from a menu
    std::string dataDir;
    SessionOptions session;
    std::string replayFile;
    std::string clockStart;  // replay: local start time "YYYY-MM-DD HH:MM:SS"
    int pauseAfterSeconds = 10;
    bool json = false;
};

// A lesson picked and prepared for typing.
struct ChosenLesson {
    std::string name;
    std::string text;
    int id = 0;  // 1-based position among the bundled lessons; 0 for a file of one's own
    unsigned short tag = 0;
};

// Resolves and prepares options.lesson; false with a message naming the problem.
bool ChooseLesson(const std::string& nameOrPath, ChosenLesson* lesson, std::string* error);

int RunInteractive(const Options& options);
int RunReplay(const Options& options);
int RunStats(const Options& options);

// One replayed event: a key at a time in milliseconds after the start.
struct ReplayEvent {
    long long ms = 0;
    enum class Kind { kChar, kBackspace, kPause } kind = Kind::kChar;
    char ch = 0;
};
// Parses "milliseconds key" lines; keys are a character or SPACE, ENTER, TAB, BACKSPACE, ESC.
// Blank lines and lines starting with '#' are skipped. False with a message naming the line.
bool ParseReplay(const std::string& content, std::vector<ReplayEvent>* events, std::string* error);

// The figures of a session as "name: value" lines.
std::string FormatFigures(const SessionFigures& f);
