// The keystroke log: every key of every lesson kept, with its time, beside the history
// (keys.dat), so that a past lesson can be drawn again and the intervals between keys measured.
//
// The file is a run of 8-byte units, little-endian. A lesson begins with a head unit
// (payload size, kind 'L') and its payload (the lesson record's start, ids and tag, the screen
// size, the lesson text), padded to whole units; then one unit per key: active milliseconds
// since the lesson's first key (32 bits), the expected byte, the typed byte, the kind (key or
// backspace) and the mark 'k'. A lesson is appended whole; a crash in the middle of that leaves a
// torn tail, which a load drops, keeping everything before it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Article/TypingLog.h"

struct LoggedKey {
    std::uint32_t ms = 0;        // active milliseconds since the lesson's first key
    unsigned char expected = 0;  // the character the lesson asked for (0: not known)
    unsigned char typed = 0;     // the key's byte (0 for a backspace)
    bool backspace = false;
};

struct LoggedLesson {
    // The lesson record the keys belong to: its local start to the minute, ids and tag.
    unsigned short year = 0, month = 0, day = 0, hour = 0, minute = 0;
    unsigned char lessonId = 0;
    unsigned char method = 0;
    unsigned short tag = 0;
    unsigned short cols = 0, rows = 0;  // the screen of cells it was laid out on
    std::string text;                   // the lesson text, single-byte
    std::vector<LoggedKey> keys;

    // Takes the start, ids and tag of a lesson record.
    void Identify(const CLessonTrack& track);
    bool Matches(const CLessonTrack& track) const;
};

// What a load found.
struct KeyLog {
    std::vector<LoggedLesson> lessons;  // oldest first
    long long validBytes = 0;           // the length up to the end of the last whole unit read
    long long droppedBytes = 0;         // a torn or damaged tail that was left out
};

// Reads the log; a missing file is an empty log. False only when the file exists and cannot be
// read, with a message naming it.
bool LoadKeyLog(const std::string& path, KeyLog* log, std::string* error);

// Appends one lesson's keys: cuts a torn tail left by a crash first, then writes the lesson in
// one write and syncs it. False with a message naming the file. The only writer of the log: the
// history runs it under its lock.
bool AppendKeyLog(const std::string& path, const LoggedLesson& lesson, std::string* error);

// The keys of lesson record nIndex of lessons (0 = oldest): the logged lesson that matches it,
// counting lessons of the same start, ids and tag in order; null when it was never logged.
const LoggedLesson* FindLoggedLesson(const KeyLog& log, const CLessonTrackFile& lessons,
                                     int nIndex);
