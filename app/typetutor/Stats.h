// What the learner's history says: lessons, today's sum, weakest characters, hardest words.
#pragma once

#include <string>
#include <vector>

#include "Article/TypingLog.h"

struct LessonRow {
    std::string date;  // YYYY-MM-DD HH:MM
    int lessonId = 0;
    int method = 0;
    int seconds = 0;
    double speed = 0;     // keystrokes per minute
    double topSpeed = 0;  // keystrokes per minute
    int keys = 0;
    int errors = 0;
    int accuracy = 0;  // percent of keystrokes right
    int words = 0;
    int wrongWords = 0;
};

struct CharRow {
    std::string character;  // printable form, UTF-8
    int keys = 0;
    int errors = 0;
    int msPerKey = 0;
    int accuracy = 0;
};

struct WordRow {
    std::string word;  // UTF-8
    int typed = 0;
    int mistyped = 0;
    int msPerChar = 0;
};

struct HistoryStats {
    std::vector<LessonRow> lessons;
    bool hasToday = false;
    LessonRow today;
    std::vector<CharRow> slowest;
    std::vector<CharRow> leastAccurate;
    std::vector<WordRow> mostMistyped;
    std::vector<WordRow> slowestWords;
};

// Reads the figures out of the two record files; today is the local date of now.
HistoryStats ComputeStats(const CLessonTrackFile& lessons, const CWordTrackFile& words,
                          int nTop = 5);
// Weakest characters of one lesson record, by speed and by accuracy.
void WeakestCharacters(const CLessonTrack& track, int nTop, std::vector<CharRow>* slowest,
                       std::vector<CharRow>* leastAccurate);

std::string FormatStatsText(const HistoryStats& stats);
std::string FormatStatsJson(const HistoryStats& stats);
