// Lessons for the typing tutor: the bundled ones and text files of the learner's choosing,
// turned into the single-byte text the library takes (Windows-1252).
#pragma once

#include <string>
#include <vector>

struct BundledLesson {
    std::string name;  // file name without ".txt", e.g. "home-row"
    std::string path;
};

// The folder that holds the bundled lessons: $TYPETUTOR_LESSONS, else the one next to the
// program's sources or its installed share folder.
std::string LessonDirectory();
// Bundled lessons in name order.
std::vector<BundledLesson> ListBundledLessons();

struct LessonText {
    bool ok = false;
    std::string text;   // single-byte lesson text, lines ended by line feeds
    std::string error;  // why the lesson was refused, naming the line and the word
};

// Converts UTF-8 text to Windows-1252 and checks every word against the longest token the
// library accepts. Carriage returns and trailing blanks of lines are dropped, tabs become
// spaces. Refuses a character that has no single-byte form and a word that is too long.
LessonText PrepareLesson(const std::string& utf8);
// Reads a file and prepares it; a missing or unreadable file is refused with its name.
LessonText LoadLessonFile(const std::string& path);
// A bundled lesson's name or a file's path to its file path; empty when neither exists.
std::string ResolveLesson(const std::string& nameOrPath);

// The Windows-1252 byte of a Unicode code point (tab and line feed included), or -1.
int CodePointToSingleByte(char32_t cp);

// Windows-1252 text to UTF-8, for showing library text on a UTF-8 terminal.
std::string SingleByteToUtf8(const std::string& text);
