#include "Lesson.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <tuple>
#include <utility>

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
std::string CheckWordLengths(const std::string& text, const CodePage& page) {
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
            return AtLine(line) + "the word \"" + page.ToUtf8(text.substr(k, end - k)) +
                   "\" is too long: a word may have at most " + std::to_string(kMaxTokenLength) +
                   " characters (" + std::to_string(kMaxTokenLength - 1) + " at the end of a line)";
        }
        k = end;
    }
    return {};
}

}  // namespace

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

std::string LanguageOfFolder(const std::string& folder) {
    static const struct {
        const char* folder;
        const char* language;
    } kLanguages[] = {{"de", "German"}, {"el", "Greek"},  {"es", "Spanish"},
                      {"fr", "French"}, {"pl", "Polish"}, {"ru", "Russian"}};
    for (const auto& l : kLanguages) {
        if (folder == l.folder) {
            return l.language;
        }
    }
    return folder;
}

std::vector<BundledLesson> ListBundledLessons() {
    // (folder name, lesson), so that sorting puts the English ones (folder "") first.
    std::vector<std::pair<std::string, BundledLesson>> found;
    std::error_code ec;
    const std::string top = LessonDirectory();
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(top, ec)) {
        const fs::path relative = e.path().lexically_relative(top);
        if (e.path().extension() != kLessonExtension || !e.is_regular_file(ec) ||
            std::distance(relative.begin(), relative.end()) > 2) {
            continue;
        }
        const std::string folder =
            relative.has_parent_path() ? relative.parent_path().string() : "";
        const std::string name = (relative.parent_path() / e.path().stem()).string();
        found.push_back(
            {folder,
             {name, folder.empty() ? "English" : LanguageOfFolder(folder), e.path().string()}});
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return std::tie(a.first, a.second.name) < std::tie(b.first, b.second.name);
    });
    std::vector<BundledLesson> lessons;
    lessons.reserve(found.size());
    for (auto& [folder, lesson] : found) {
        lessons.push_back(std::move(lesson));
    }
    return lessons;
}

std::vector<BundledLesson> ListTypeableLessons() {
    std::vector<BundledLesson> lessons = ListBundledLessons();
    std::erase_if(lessons, [](const BundledLesson& l) { return !LoadLessonFile(l.path).ok; });
    return lessons;
}

LessonText PrepareLesson(const std::string& utf8, const CodePage& page) {
    LessonText result;
    SingleByteText converted = ConvertToCodePage(utf8, page);
    if (!converted.ok) {
        result.error = converted.error;
        return result;
    }
    std::string text;
    text.reserve(converted.bytes.size());
    for (char c : converted.bytes) {
        if (c != '\r') {
            text += c == '\t' ? ' ' : c;
        }
    }
    text = TidyLines(text);
    if (std::string error = CheckWordLengths(text, page); !error.empty()) {
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

std::string FindLessonFile(const std::string& nameOrPath, int* id) {
    const std::vector<BundledLesson> bundled = ListBundledLessons();
    *id = 0;
    for (size_t i = 0; i < bundled.size(); ++i) {
        if (bundled[i].name == nameOrPath) {
            *id = static_cast<int>(i) + 1;
            return bundled[i].path;
        }
    }
    std::error_code ec;
    return fs::is_regular_file(nameOrPath, ec) ? nameOrPath : std::string();
}

bool ChooseLesson(const std::string& nameOrPath, Lesson* lesson, std::string* error) {
    int id = 0;
    const std::string path = FindLessonFile(nameOrPath, &id);
    if (path.empty()) {
        *error = "no bundled lesson or file named \"" + nameOrPath +
                 "\" (typetutor --list "
                 "shows the lessons)";
        return false;
    }
    LessonText text = LoadLessonFile(path);
    if (!text.ok) {
        *error = text.error;
        // A lesson in another alphabet is typed in a profile of its own.
        std::ifstream in(path, std::ios::binary);
        const std::string utf8((std::istreambuf_iterator<char>(in)), {});
        const std::vector<const CodePage*> pages = PagesHolding(utf8);
        if (!pages.empty() &&
            std::find(pages.begin(), pages.end(), &CurrentCodePage()) == pages.end()) {
            *error += "; a profile of its own takes the lesson: --profile NAME";
        }
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
