// Practice from the learner's own history: the weakest keys and words, ranked, and a lesson of
// real words built around them.
#pragma once

#include <string>
#include <vector>

#include "Article/TypingLog.h"
#include "Lesson.h"
#include "Stats.h"

class History;
struct Profile;

// One letter key over recent lessons, newer lessons weighing more.
struct KeyWeakness {
    char key = 0;          // a lower-case letter of the current page; its capital counts with it
    double keys = 0;       // weighted keystrokes
    double errors = 0;     // weighted wrong keystrokes
    double ms = 0;         // weighted milliseconds
    double errorRate = 0;  // errors per keystroke, smoothed toward the learner's overall rate
    double msPerKey = 0;   // smoothed toward the learner's median key
    double score = 0;      // how weak: 0 for a key as good as the learner's average, more is weaker
    bool learned = false;  // enough keystrokes, few errors, no slower than the median
    int Accuracy() const;  // percent right, from the smoothed rate
};

struct KeyRanking {
    std::vector<KeyWeakness> keys;  // weakest first; only keys typed at least once
    double overallErrorRate = 0;
    double medianMsPerKey = 0;
    const KeyWeakness* Find(char key) const;
};

// Ranks the letter keys of lessons (oldest first; the newest counts most).
KeyRanking RankKeys(const std::vector<const CLessonTrack*>& lessons);
// Every lesson record of the file, oldest first.
std::vector<const CLessonTrack*> AllLessons(const CLessonTrackFile& file);

// The weak words: the most often mistyped, then the slowest per character, without repeats and
// without words of one letter; up to nTop, single-byte.
std::vector<WordRow> RankWords(const CWordTrackFile& words, int nTop);

struct WordList {
    std::vector<std::string> words;   // every word practice may use
    std::vector<std::string> common;  // the common ones among them, preferred
    std::string source;               // where they came from, for messages
};

// The words of a UTF-8 word list file, a word a line, that are 2 to 10 lower-case letters of
// page, in its bytes; for English, the common ones from the SCOWL lists when those are
// installed. Without the file (path empty or unreadable), the words of the bundled lessons in
// language ("German"), as they fit the page; none when there are none.
WordList LoadWordList(const std::string& path, const std::string& language, const CodePage& page);
// The list of the profile's language (WordListFile) in its page.
WordList LoadWordList(const Profile& profile);

struct PracticeLesson {
    std::string text;   // lines of words
    std::string focus;  // "focus: e 50%, r 67%, slow: h", in the current page
    std::vector<std::string> words;
};

// About 60 words: a third the weak words (each two or three times), half words holding the
// focus keys, the rest common words; no word twice in a row. focusKeys (bytes of the current
// page), when not empty, names the keys instead of the ranking. The same inputs and seed give the
// same lesson.
PracticeLesson BuildPractice(const KeyRanking& keys, const std::vector<WordRow>& weakWords,
                             const WordList& list, unsigned seed, const std::string& focusKeys);

// What the practice command and button start: a lesson built from the history, or, when the
// history holds no lesson yet, the first bundled lesson with a message saying so. An empty
// lesson text, with the message, when there is nothing to type at all.
struct Practice {
    bool fromHistory = false;
    Lesson lesson;
    std::string focus;    // the focus line, from the history, in the current page
    std::string message;  // why the first bundled lesson is offered instead, or nothing at all
};
// The words come from list; focusKeys is UTF-8, as the command line gives it.
Practice MakePractice(History& history, const WordList& list, unsigned seed,
                      const std::string& focusKeys);
