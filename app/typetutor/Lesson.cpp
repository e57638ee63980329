#include "Lesson.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Article/Token.h"

namespace fs = std::filesystem;

namespace {

// Code points of the Windows-1252 bytes 0x80..0x9F; 0 where the byte is undefined.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The single byte of a code point, or -1 when Windows-1252 has none. Control characters other
// than tab and line feed have no place in a lesson either.
int ToSingleByte(char32_t cp) {
    if (cp == '\t' || cp == '\n') {
        return static_cast<int>(cp);
    }
    if (cp < 0x20 || cp == 0x7F) {
        return -1;
    }
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<int>(cp);
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] != 0 && kHighControls[i] == cp) {
            return 0x80 + i;
        }
    }
    return -1;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at s[i]; advances i. Returns 0xFFFFFFFF for a malformed one.
char32_t DecodeUtf8(const std::string& s, size_t& i) {
    const unsigned char b0 = static_cast<unsigned char>(s[i]);
    int extra = 0;
    char32_t cp;
    if (b0 < 0x80) {
        ++i;
        return b0;
    } else if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        cp = b0 & 0x07;
    } else {
        ++i;
        return 0xFFFFFFFF;
    }
    if (i + static_cast<size_t>(extra) >= s.size()) {
        i = s.size();
        return 0xFFFFFFFF;
    }
    for (int k = 1; k <= extra; ++k) {
        const unsigned char b = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
        if ((b & 0xC0) != 0x80) {
            i += static_cast<size_t>(k);
            return 0xFFFFFFFF;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    i += static_cast<size_t>(extra) + 1;
    return cp;
}

std::string DescribeCodePoint(char32_t cp) {
    std::ostringstream out;
    if (cp == 0xFFFFFFFF) {
        return "a byte that is not UTF-8";
    }
    std::string glyph;
    if (cp >= 0x20) {
        AppendUtf8(glyph, cp);
    }
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
    out << (glyph.empty() ? "" : "'" + glyph + "' ") << "(" << code << ")";
    return out.str();
}

}  // namespace

int CodePointToSingleByte(char32_t cp) {
    return ToSingleByte(cp);
}

std::string LessonDirectory() {
    if (const char* env = std::getenv("TYPETUTOR_LESSONS"); env && *env) {
        return env;
    }
#ifdef TYPETUTOR_SOURCE_LESSONS
    if (fs::is_directory(TYPETUTOR_SOURCE_LESSONS)) {
        return TYPETUTOR_SOURCE_LESSONS;
    }
#endif
#ifdef TYPETUTOR_INSTALLED_LESSONS
    return TYPETUTOR_INSTALLED_LESSONS;
#else
    return "lessons";
#endif
}

std::vector<BundledLesson> ListBundledLessons() {
    std::vector<BundledLesson> lessons;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(LessonDirectory(), ec)) {
        if (e.path().extension() == ".txt") {
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
        const int b = ToSingleByte(cp);
        if (b < 0) {
            result.error = "line " + std::to_string(line) + ": " + DescribeCodePoint(cp) +
                           " has no single-byte form";
            return result;
        }
        text += b == '\t' ? ' ' : static_cast<char>(b);
        if (b == '\n') {
            ++line;
        }
    }
    // Drop the blanks that end lines: the library would count them into the last word.
    std::string cleaned;
    cleaned.reserve(text.size());
    for (char c : text) {
        if (c == '\n') {
            while (!cleaned.empty() && cleaned.back() == ' ') {
                cleaned.pop_back();
            }
        }
        cleaned += c;
    }
    while (!cleaned.empty() && cleaned.back() == ' ') {
        cleaned.pop_back();
    }
    // Every word, with the line feed that may follow it, must fit one token.
    line = 1;
    size_t k = 0;
    while (k < cleaned.size()) {
        if (cleaned[k] == '\n') {
            ++line;
            ++k;
            continue;
        }
        if (cleaned[k] == ' ') {
            ++k;
            continue;
        }
        size_t end = k;
        while (end < cleaned.size() && cleaned[end] != ' ' && cleaned[end] != '\n') {
            ++end;
        }
        const size_t span = end - k + (end < cleaned.size() && cleaned[end] == '\n' ? 1 : 0);
        if (span > static_cast<size_t>(kMaxTokenLength)) {
            result.error = "line " + std::to_string(line) + ": the word \"" +
                           SingleByteToUtf8(cleaned.substr(k, end - k)) + "\" is longer than " +
                           std::to_string(kMaxTokenLength) + " characters";
            return result;
        }
        k = end;
    }
    if (cleaned.find_first_not_of(" \n") == std::string::npos) {
        result.error = "the lesson holds no word";
        return result;
    }
    result.ok = true;
    result.text = std::move(cleaned);
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

std::string ResolveLesson(const std::string& nameOrPath) {
    std::error_code ec;
    if (fs::is_regular_file(nameOrPath, ec)) {
        return nameOrPath;
    }
    for (const BundledLesson& lesson : ListBundledLessons()) {
        if (lesson.name == nameOrPath) {
            return lesson.path;
        }
    }
    return {};
}

std::string SingleByteToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const unsigned char b = static_cast<unsigned char>(c);
        char32_t cp = b;
        if (b >= 0x80 && b < 0xA0) {
            cp = kHighControls[b - 0x80] ? kHighControls[b - 0x80] : U'?';
        }
        AppendUtf8(out, cp);
    }
    return out;
}
