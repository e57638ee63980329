// The commands that need no terminal: a replayed lesson and the statistics; and the pieces the
// interactive lesson shares with them.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "Options.h"
#include "Session.h"
#include "Tutor.h"

// The figures of a session as "name: value" lines.
std::string FormatFigures(const SessionFigures& f);

// The lesson's title line.
std::string LessonTitle(const std::string& lesson, const SessionOptions& options);

// Replays options.replayFile on options.lesson on a fake clock and a screen in memory, prints
// the figures (and the last screen), and saves the history. 0 on success; 2 for a refused
// lesson or replay file; 1 when the history cannot be opened or saved.
int RunReplay(const Options& options, std::ostream& out, std::ostream& err);
// Prints the history's statistics. 0 on success, 1 when the history cannot be opened.
int RunStats(const Options& options, std::ostream& out, std::ostream& err);
