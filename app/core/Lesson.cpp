#include "Lesson.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Article/Token.h"
#include "Encoding.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kLessonExtension = ".txt";

std::string AtLine(int line) {
    return "line " + std::to_string(line) + ": ";
}

// Blanks before a line feed and at the end, and line feeds at the end, go: the library would
// count blanks into the span of the word before them, and a final line feed would make the
// learner press Enter after the last word.
std::string TidyLines(const std::string& text) {
    std::string tidy;
    tidy.reserve(text.size());
    for (char c : text) {
        if (c == '\n') {
            while (!tidy.empty() && tidy.back() == ' ') {
                tidy.pop_back();
            }
        }
        tidy += c;
    }
    while (!tidy.empty() && (tidy.back() == ' ' || tidy.back() == '\n')) {
        tidy.pop_back();
    }
    return tidy;
}

// The first word that does not fit one token, as an error naming it; empty when all fit. A word
// that ends its line takes the line feed into its token.
std::string CheckWordLengths(const std::string& text) {
    int line = 1;
    size_t k = 0;
    while (k < text.size()) {
        if (text[k] == '\n' || text[k] == ' ') {
            line += text[k] == '\n' ? 1 : 0;
            ++k;
            continue;
        }
        size_t end = k;
        while (end < text.size() && text[end] != ' ' && text[end] != '\n') {
            ++end;
        }
        const bool endsLine = end < text.size() && text[end] == '\n';
        const size_t span = end - k + (endsLine ? 1 : 0);
        if (span > static_cast<size_t>(kMaxTokenLength)) {
            return AtLine(line) + "the word \"" + SingleByteToUtf8(text.substr(k, end - k)) +
                   "\" is too long: a word may have at most " + std::to_string(kMaxTokenLength) +
                   " characters (" + std::to_string(kMaxTokenLength - 1) + " at the end of a line)";
        }
        k = end;
    }
    return {};
}

}  // namespace

std::string DescribeCodePoint(char32_t cp) {
    if (cp == kNotUtf8) {
        return "a byte that is not UTF-8";
    }
    std::string glyph;
    if (cp >= 0x20) {
        AppendUtf8(glyph, cp);
    }
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
    return (glyph.empty() ? "" : "'" + glyph + "' ") + "(" + code + ")";
}

std::string LessonDirectory() {
    if (const char* env = std::getenv("TYPETUTOR_LESSONS"); env && *env) {
        return env;
    }
    std::error_code ec;
    std::string installed = "lessons";
#ifdef TYPETUTOR_INSTALLED_LESSONS
    // Found from where the program lies, so that a package unpacked under any root works.
    if (const fs::path self = fs::read_symlink("/proc/self/exe", ec); !ec) {
        installed = (self.parent_path() / TYPETUTOR_INSTALLED_LESSONS).lexically_normal();
        if (fs::is_directory(installed, ec)) {
            return installed;
        }
    }
#endif
#ifdef TYPETUTOR_SOURCE_LESSONS
    if (fs::is_directory(TYPETUTOR_SOURCE_LESSONS, ec)) {
        return TYPETUTOR_SOURCE_LESSONS;
    }
#endif
    return installed;
}

std::vector<BundledLesson> ListBundledLessons() {
    std::vector<BundledLesson> lessons;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(LessonDirectory(), ec)) {
        if (e.path().extension() == kLessonExtension) {
            lessons.push_back({e.path().stem().string(), e.path().string()});
        }
    }
    std::sort(lessons.begin(), lessons.end(),
              [](const BundledLesson& a, const BundledLesson& b) { return a.name < b.name; });
    return lessons;
}

LessonText PrepareLesson(const std::string& utf8) {
    LessonText result;
    std::string text;
    text.reserve(utf8.size());
    int line = 1;
    size_t i = 0;
    while (i < utf8.size()) {
        const char32_t cp = DecodeUtf8(utf8, i);
        if (cp == '\r') {
            continue;
        }
        const int b = CodePointToSingleByte(cp);
        if (b < 0) {
            result.error = AtLine(line) + DescribeCodePoint(cp) + " has no single-byte form";
            return result;
        }
        text += b == '\t' ? ' ' : static_cast<char>(b);
        line += b == '\n' ? 1 : 0;
    }
    text = TidyLines(text);
    if (std::string error = CheckWordLengths(text); !error.empty()) {
        result.error = error;
        return result;
    }
    if (text.find_first_not_of(" \n") == std::string::npos) {
        result.error = "the lesson holds no word";
        return result;
    }
    result.ok = true;
    result.text = std::move(text);
    return result;
}

LessonText LoadLessonFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        LessonText refused;
        refused.error = path + ": cannot be read";
        return refused;
    }
    std::ostringstream content;
    content << in.rdbuf();
    LessonText lesson = PrepareLesson(content.str());
    if (!lesson.ok) {
        lesson.error = path + ": " + lesson.error;
    }
    return lesson;
}

bool ChooseLesson(const std::string& nameOrPath, Lesson* lesson, std::string* error) {
    const std::vector<BundledLesson> bundled = ListBundledLessons();
    std::string path;
    int id = 0;
    for (size_t i = 0; i < bundled.size(); ++i) {
        if (bundled[i].name == nameOrPath) {
            path = bundled[i].path;
            id = static_cast<int>(i) + 1;
        }
    }
    std::error_code ec;
    if (path.empty() && fs::is_regular_file(nameOrPath, ec)) {
        path = nameOrPath;
    }
    if (path.empty()) {
        *error = "no bundled lesson or file named \"" + nameOrPath +
                 "\" (typetutor --list "
                 "shows the lessons)";
        return false;
    }
    LessonText text = LoadLessonFile(path);
    if (!text.ok) {
        *error = text.error;
        return false;
    }
    lesson->name = id ? nameOrPath : fs::path(path).stem().string();
    lesson->text = std::move(text.text);
    lesson->id = id;
    lesson->tag = LessonTag(lesson->name);
    return true;
}

unsigned short LessonTag(const std::string& name) {
    // FNV-1a, folded to 16 bits.
    unsigned h = 2166136261u;
    for (char c : name) {
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return static_cast<unsigned short>(h ^ (h >> 16));
}
