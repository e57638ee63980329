#include "Replay.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "Encoding.h"
#include "platform/Clock.h"

namespace {

// Longer than any lesson: a replay may not make the clock run out of range.
constexpr long long kLongestReplayMs = 10LL * 24 * 60 * 60 * 1000;

bool ParseKey(const std::string& name, ReplayEvent* e) {
    static const struct {
        const char* name;
        KeyKind kind;
        char ch;
    } kNames[] = {{"SPACE", KeyKind::kChar, ' '},
                  {"ENTER", KeyKind::kEnter, 0},
                  {"TAB", KeyKind::kChar, '\t'},
                  {"BACKSPACE", KeyKind::kBackspace, 0},
                  {"ESC", KeyKind::kEscape, 0}};
    for (const auto& k : kNames) {
        if (name == k.name) {
            e->key = Key{k.kind, k.ch};
            return true;
        }
    }
    if (name.rfind("RESIZE ", 0) == 0) {
        char tail = 0;
        e->key = Key{KeyKind::kResize, 0};
        return std::sscanf(name.c_str() + 7, "%dx%d%c", &e->cols, &e->rows, &tail) == 2 &&
               e->cols > 0 && e->cols <= 1000 && e->rows > 0 && e->rows <= 1000;
    }
    size_t i = 0;
    const char32_t cp = name.empty() ? kNotUtf8 : DecodeUtf8(name, i);
    const int b = CodePointToSingleByte(cp);
    if (i != name.size() || b < 0x20) {
        return false;
    }
    e->key = Key{KeyKind::kChar, static_cast<char>(b)};
    return true;
}

}  // namespace

bool ParseClockStart(const std::string& text, SYSTEMTIME* st) {
    int y, mo, d, h, mi, s;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d%c", &y, &mo, &d, &h, &mi, &s, &tail) != 6 ||
        y < 1971 || y > 9999 || mo < 1 || mo > 12 || d < 1 || d > 31 || h < 0 || h > 23 || mi < 0 ||
        mi > 59 || s < 0 || s > 59) {
        return false;
    }
    *st = MakeSystemTime(y, mo, d, h, mi, s);
    return true;
}

bool ParseReplay(const std::string& content, std::vector<ReplayEvent>* events, std::string* error) {
    std::istringstream in(content);
    std::string line;
    int number = 0;
    long long last = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const std::string at = "line " + std::to_string(number) + ": ";
        const size_t space = line.find(' ');
        ReplayEvent e;
        char* end = nullptr;
        const std::string time = line.substr(0, space);
        e.ms = std::strtoll(time.c_str(), &end, 10);
        if (space == std::string::npos || space == 0 || *end != '\0' || e.ms < 0) {
            *error = at + "expected \"milliseconds key\"";
            return false;
        }
        if (e.ms > kLongestReplayMs) {
            *error = at + "the time is too large";
            return false;
        }
        if (e.ms < last) {
            *error = at + "time goes backwards";
            return false;
        }
        last = e.ms;
        const std::string key = line.substr(space + 1);
        if (!ParseKey(key, &e)) {
            *error = at + "unknown key \"" + key + "\"";
            return false;
        }
        events->push_back(e);
    }
    return true;
}
