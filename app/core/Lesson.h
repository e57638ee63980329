// Lessons for the typing tutor: the bundled ones and text files of the learner's choosing,
// turned into the single-byte text the library takes, in the code page of the history.
#pragma once

#include <string>
#include <vector>

#include "Encoding.h"

struct BundledLesson {
    std::string name;      // "home-row"; a lesson in another language is "de/home-row"
    std::string language;  // "English", "German", ...
    std::string path;
};

// The folder that holds the bundled lessons: $TYPETUTOR_LESSONS, else the installed share folder
// beside the program's bin folder, else the one in the source tree the program was built from.
std::string LessonDirectory();
// Bundled lessons: the English ones (the files of the folder itself) in name order, then those
// of each language's folder ("de", "fr", ...), a language after another in the order of their
// folders' names. The English ones keep their places as lessons are added in other languages.
std::vector<BundledLesson> ListBundledLessons();
// The bundled lessons whose every character the current code page holds, in the same order.
std::vector<BundledLesson> ListTypeableLessons();
// The language a bundled lesson folder holds: "de" is German; the folder's name when unknown.
std::string LanguageOfFolder(const std::string& folder);

struct LessonText {
    bool ok = false;
    std::string text;   // single-byte lesson text, lines ended by line feeds
    std::string error;  // why the lesson was refused, naming the line and the word
};

// Converts UTF-8 text to the code page (see ConvertToCodePage) and checks every word against the
// longest token the library accepts. Carriage returns, blanks at line ends and line feeds at the
// end of the text are dropped (the lesson ends with its last word); tabs become spaces. Refuses a
// character the code page lacks, a word that is too long and a text without words.
LessonText PrepareLesson(const std::string& utf8, const CodePage& page = CurrentCodePage());
// Reads a file and prepares it in the current code page; a missing or unreadable file is refused
// with its name.
LessonText LoadLessonFile(const std::string& path);

// A lesson picked for typing.
struct Lesson {
    std::string name;        // the bundled name, or the file's name without its extension
    std::string text;        // single-byte text
    int id = 0;              // 1-based place among the bundled lessons; 0 for a file of one's own
    unsigned short tag = 0;  // LessonTag(name)
    std::string caption;     // shown after the name in titles: a book's part and chapter
};

// The file of a bundled lesson's name (id its 1-based place) or of a path (id 0); empty when
// there is none.
std::string FindLessonFile(const std::string& nameOrPath, int* id);
// A bundled lesson's name or a text file's path to a prepared lesson; false with a message
// naming the problem.
bool ChooseLesson(const std::string& nameOrPath, Lesson* lesson, std::string* error);
// A 16-bit tag of a lesson name, stored with every lesson record to tell lessons apart.
unsigned short LessonTag(const std::string& name);
