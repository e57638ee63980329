// The commands that need no terminal: a replayed lesson, the statistics and the pictures; and the
// pieces the interactive lesson shares with them.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "Book.h"
#include "CellScreen.h"
#include "History.h"
#include "Lesson.h"
#include "Options.h"
#include "Replay.h"
#include "Session.h"
#include "Tutor.h"
#include "platform/Clock.h"

// The figures of a session as "name: value" lines.
std::string FormatFigures(const SessionFigures& f);

// Opens the history, saying on err when it waits for the lock (and later, while the history
// lives, when a save waits for it); false after the reason on err.
bool OpenHistory(History& history, std::ostream& err);

// The lesson's title line: its name, the method, the caption, and the profile unless it is the
// default one.
std::string LessonTitle(const Lesson& lesson, const Options& options);

// A lesson and the keys to replay on it, as the command line names them.
struct ReplayInput {
    Lesson lesson;
    std::optional<BookPart> book;  // the part's place when the lesson is a book's part
    std::vector<ReplayEvent> events;
    SYSTEMTIME start{};  // the local time the replay begins at
};

// Reads options.lesson, options.replayFile and options.clockStart (now when not given). False
// after a message to err.
bool LoadReplayInput(const Options& options, ReplayInput* input, std::ostream& err);
// Opens session on screen and types the events into it, advancing clock (which stands at the
// replay's start) to each event's time; stops at the lesson's end.
void PlayReplay(const ReplayInput& input, const Options& options, Session& session,
                GridScreen& screen, ScopedFakeClock& clock);

// Replays options.replayFile on options.lesson on a fake clock and a screen in memory, prints
// the figures (and the last screen), and saves the history. 0 on success; 2 for a refused
// lesson or replay file; 1 when the history cannot be opened or saved.
int RunReplay(const Options& options, std::ostream& out, std::ostream& err);
// Prints the history's statistics. 0 on success, 1 when the history cannot be opened.
int RunStats(const Options& options, std::ostream& out, std::ostream& err);
// Prints a practice lesson built from the history, with its focus line (or, with an empty
// history, which lesson to begin with). 0 on success, 1 when the history cannot be opened, 2
// when there is nothing to practise at all (no lesson, no word list). The words are those of the
// profile's language.
int RunPractice(const Options& options, const Profile& profile, std::ostream& out,
                std::ostream& err);
// The seed of a practice lesson: options.seed, or one from the clock.
unsigned PracticeSeed(const Options& options);
// Lesson options.lessonNumber of the history and its logged keys as a replay, in the method and
// on the screen it was typed on (set in *replay). False after a message to err.
bool LoadLoggedLesson(const Options& options, ReplayInput* input, Options* replay,
                      std::ostream& err);

// The pictures, which need the Cairo device context; without it both say they are not
// available and answer 2.
//
// Replays options.replayFile on options.lesson as RunReplay does, but writes no history: draws
// the lesson and what was typed, on one page, as the PNG file options.outFile. 0 on success; 2
// for a refused lesson, replay file or page; 1 when the picture cannot be written.
int RunSnapshot(const Options& options, std::ostream& out, std::ostream& err);
// Draws the history's progress charts as the PNG file options.outFile. 0 on success; 1 when the
// history cannot be opened, holds no lesson yet, or the picture cannot be written.
int RunReport(const Options& options, std::ostream& out, std::ostream& err);
