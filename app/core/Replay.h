// Replay files: the keys of a lesson with their times, one "milliseconds key" line each.
#pragma once

#include <string>
#include <vector>

#include "Tutor.h"
#include "platform/Win32.h"

// One line of a replay file: a key, or a new screen size, at a time in milliseconds after the
// lesson was opened.
struct ReplayEvent {
    long long ms = 0;
    Key key;
    int cols = 0;  // key.kind == KeyKind::kResize: the new size
    int rows = 0;
};

// Parses "milliseconds key" lines. A key is one character (UTF-8), or SPACE, ENTER, TAB,
// BACKSPACE, ESC (pause and resume) or RESIZE COLSxROWS. Blank lines and lines starting with '#'
// are skipped; times may not go backwards. False with a message naming the line.
bool ParseReplay(const std::string& content, std::vector<ReplayEvent>* events, std::string* error);

// "YYYY-MM-DD HH:MM:SS" to a local time; false when it is not one.
bool ParseClockStart(const std::string& text, SYSTEMTIME* st);
