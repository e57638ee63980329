// What the learner's history says: the lessons, today's sum, the weakest characters and the
// hardest words, as text for people and as JSON for scripts.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "Article/TypingLog.h"
#include "Book.h"
#include "KeyLog.h"

struct LessonRow {
    std::string date;    // YYYY-MM-DD HH:MM, local time of the lesson's start
    std::string lesson;  // its name, or "lesson N" when the name is not known
    std::string method;  // letter, word, match or free
    int seconds = 0;     // active typing time
    int speed = 0;       // characters per minute
    int topSpeed = 0;
    int wordSpeed = 0;     // words per minute
    int netWordSpeed = 0;  // less the words left wrong per minute
    int consistency = -1;  // percent; -1 when its keys were not logged
    int keys = 0;
    int errors = 0;
    int accuracy = 0;  // percent of keystrokes right
    int words = 0;
    int wrongWords = 0;
};

struct CharRow {
    std::string character;  // printable form, UTF-8 ("space", "enter" for those)
    int keys = 0;
    int errors = 0;
    int msPerKey = 0;
    int accuracy = 0;
};

struct WordRow {
    std::string word;   // UTF-8 in HistoryStats
    int typed = 0;      // times typed
    int mistyped = 0;   // times typed with a mistake
    int msPerChar = 0;  // over the attempts whose time is known; 0 when none is
};

// A letter pair and the median time from its first letter to its second.
struct PairRow {
    std::string pair;
    int ms = 0;
    int count = 0;  // times typed right
};

// A weak key now and as it stood a week ago.
struct KeyChangeRow {
    std::string key;
    int accuracy = 0;  // percent, smoothed
    int msPerKey = 0;
    bool hasBefore = false;  // typed before this week
    int accuracyBefore = 0;
    int msPerKeyBefore = 0;
};

struct HistoryStats {
    std::vector<LessonRow> lessons;  // oldest first
    bool hasToday = false;
    LessonRow today;               // the sum of today's lessons
    std::vector<CharRow> slowest;  // weakest first
    std::vector<CharRow> leastAccurate;
    std::vector<WordRow> mostMistyped;
    std::vector<WordRow> slowestWords;
    int consistency = -1;  // over the newest logged lessons; -1 without any
    std::vector<PairRow> slowPairs;
    std::vector<KeyChangeRow> keyChanges;
    std::vector<BookProgress> books;  // LoadBookProgress's, filled by the caller
};

// A lesson record as a row; names maps lesson tags to names.
LessonRow RowOf(const CLessonTrack& track, const std::map<unsigned short, std::string>& names);
// Reads the figures out of the two record files; today is the local date of now. Up to nTop
// rows of characters and of words.
HistoryStats ComputeStats(const CLessonTrackFile& lessons, const CWordTrackFile& words,
                          const std::map<unsigned short, std::string>& names, int nTop = 5,
                          const KeyLog* keyLog = nullptr);
// The words mistyped most often and the slowest per character (over their timed attempts), up
// to nTop of each; the words single-byte, as the word history holds them.
void WeakestWords(const CWordTrackFile& words, int nTop, std::vector<WordRow>* mostMistyped,
                  std::vector<WordRow>* slowest);
// Words per minute less the words left wrong per minute; 0 without time.
int NetWordSpeed(double wordsPerMinute, int wrongWords, int seconds);
// How even the intervals between keys are: 100 x (1 - their standard deviation / their mean),
// pauses to think (over 2 s) left out; -1 with fewer than two intervals.
int Consistency(const std::vector<LoggedKey>& keys);
// The consistency of lesson record nIndex from its logged keys; -1 without them (or a log).
int LessonConsistency(const KeyLog* log, const CLessonTrackFile& lessons, int nIndex);
// The letter pairs typed slowest, by the median interval over the newest kPairLessons logged
// lessons, each pair typed right at least three times; up to nTop.
inline constexpr size_t kPairLessons = 20;
std::vector<PairRow> SlowestPairs(const KeyLog& log, int nTop);
// The weakest keys not learned yet (by RankKeys over every lesson), now and as the lessons
// before the last seven days left them; up to nTop.
std::vector<KeyChangeRow> KeyChanges(const CLessonTrackFile& lessons, int nTop);
// The weakest characters of one lesson record (or of a sum of records), by speed and by
// accuracy; space, tab, line feed and backspace are left out.
void WeakestCharacters(const CLessonTrack& track, int nTop, std::vector<CharRow>* slowest,
                       std::vector<CharRow>* leastAccurate);

// UTF-8 text with blanks after it to fill width characters.
std::string Padded(const std::string& utf8, size_t width);
// Seconds as minutes and seconds: "12:05".
std::string FormatDuration(int seconds);
std::string FormatStatsText(const HistoryStats& stats);
std::string FormatStatsJson(const HistoryStats& stats);
// The name of a typo-detection method as the command line spells it.
const char* MethodName(int method);
