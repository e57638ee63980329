// The end-of-lesson summary: a finished lesson's figures and what the history says about it, as
// plain text rows that each front end lays out its own way.
#pragma once

#include <string>
#include <vector>

#include "Article/TypingLog.h"
#include "KeyLog.h"
#include "Session.h"

// What a front end knows of the lesson just finished.
struct FinishedLesson {
    SessionFigures figures;
    const CLessonTrack* record = nullptr;   // its record in the history; null when not kept
    const CWordTrackFile* words = nullptr;  // its own word records
    const LoggedLesson* keys = nullptr;     // its keys
};

// A heading and its rows, each row one line.
struct SummarySection {
    std::string heading;
    std::vector<std::string> rows;
};

struct LessonSummary {
    // Time, speed, keystrokes, words, net speed and consistency: a line each.
    std::vector<std::string> figures;
    // Slowest keys, least accurate keys, mistyped words, slowest letter pairs, and the weakest
    // keys against a week ago; none without a record.
    std::vector<SummarySection> sections;
};

// lessons: the history's lesson records, the finished one among them; keyLog: the keystroke log
// as loaded after the lesson's keys were appended (when that failed, its keys are counted all the
// same). Up to nTop rows a section.
LessonSummary SummarizeLesson(const FinishedLesson& lesson, const CLessonTrackFile& lessons,
                              const KeyLog& keyLog, int nTop);
