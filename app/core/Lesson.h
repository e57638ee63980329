// Lessons for the typing tutor: the bundled ones and text files of the learner's choosing,
// turned into the single-byte text the library takes (Windows-1252).
#pragma once

#include <string>
#include <vector>

struct BundledLesson {
    std::string name;  // file name without ".txt", e.g. "home-row"
    std::string path;
};

// The folder that holds the bundled lessons: $TYPETUTOR_LESSONS, else the installed share folder
// beside the program's bin folder, else the one in the source tree the program was built from.
std::string LessonDirectory();
// Bundled lessons in name order.
std::vector<BundledLesson> ListBundledLessons();

struct LessonText {
    bool ok = false;
    std::string text;   // single-byte lesson text, lines ended by line feeds
    std::string error;  // why the lesson was refused, naming the line and the word
};

// A code point as a message names it: "'П' (U+041F)", or "a byte that is not UTF-8".
std::string DescribeCodePoint(char32_t cp);

// Converts UTF-8 text to Windows-1252 and checks every word against the longest token the
// library accepts. Carriage returns, blanks at line ends and line feeds at the end of the text
// are dropped (the lesson ends with its last word); tabs become spaces. Refuses a character that
// has no single-byte form, a word that is too long and a text without words.
LessonText PrepareLesson(const std::string& utf8);
// Reads a file and prepares it; a missing or unreadable file is refused with its name.
LessonText LoadLessonFile(const std::string& path);

// A lesson picked for typing.
struct Lesson {
    std::string name;        // the bundled name, or the file's name without its extension
    std::string text;        // single-byte text
    int id = 0;              // 1-based place among the bundled lessons; 0 for a file of one's own
    unsigned short tag = 0;  // LessonTag(name)
    std::string caption;     // shown after the name in titles: a book's part and chapter
};

// A bundled lesson's name or a text file's path to a prepared lesson; false with a message
// naming the problem.
bool ChooseLesson(const std::string& nameOrPath, Lesson* lesson, std::string* error);
// A 16-bit tag of a lesson name, stored with every lesson record to tell lessons apart.
unsigned short LessonTag(const std::string& name);
