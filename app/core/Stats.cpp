#include "Stats.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "Encoding.h"
#include "platform/Clock.h"

namespace {

int Percent(int part, int whole) {
    return whole > 0 ? static_cast<int>(100.0 * part / whole + 0.5) : 0;
}

// A sum of lessons without a timed second has an infinite or undefined speed: shown as 0.
int Rounded(double x) {
    if (!(x > 0) || !std::isfinite(x)) {
        return 0;
    }
    return x < INT_MAX ? static_cast<int>(x + 0.5) : INT_MAX;
}

// Characters per word, as the library counts words.
constexpr double kCharsPerWord = 5.0;

std::string Printable(char c) {
    switch (c) {
        case ' ':
            return "space";
        case '\n':
            return "enter";
        case '\t':
            return "tab";
        default:
            return SingleByteToUtf8(std::string(1, c));
    }
}

CharRow CharRowOf(const CCharTrack& t) {
    CharRow row;
    row.character = Printable(t.m_chChar);
    row.keys = t.m_nKeys;
    row.errors = t.m_nErrors;
    row.msPerKey = t.m_nKeys > 0 ? t.m_nTime / t.m_nKeys : 0;
    row.accuracy = Percent(t.m_nKeys - t.m_nErrors, t.m_nKeys);
    return row;
}

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned>(c));
            out += esc;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

void JsonLesson(std::ostringstream& out, const LessonRow& r) {
    out << "{\"date\": " << JsonString(r.date) << ", \"lesson\": " << JsonString(r.lesson)
        << ", \"method\": " << JsonString(r.method) << ", \"seconds\": " << r.seconds
        << ", \"cpm\": " << r.speed << ", \"top_cpm\": " << r.topSpeed
        << ", \"wpm\": " << r.wordSpeed << ", \"keys\": " << r.keys << ", \"errors\": " << r.errors
        << ", \"accuracy\": " << r.accuracy << ", \"words\": " << r.words
        << ", \"wrong_words\": " << r.wrongWords << "}";
}

void JsonChar(std::ostringstream& out, const CharRow& c) {
    out << "{\"char\": " << JsonString(c.character) << ", \"keys\": " << c.keys
        << ", \"errors\": " << c.errors << ", \"ms_per_key\": " << c.msPerKey
        << ", \"accuracy\": " << c.accuracy << "}";
}

void JsonWord(std::ostringstream& out, const WordRow& w) {
    out << "{\"word\": " << JsonString(w.word) << ", \"typed\": " << w.typed
        << ", \"mistyped\": " << w.mistyped << ", \"ms_per_char\": " << w.msPerChar << "}";
}

void JsonBook(std::ostringstream& out, const BookProgress& b) {
    out << "{\"title\": " << JsonString(b.title) << ", \"path\": " << JsonString(b.path)
        << ", \"parts\": " << b.partCount << ", \"parts_typed\": " << b.nextPart
        << ", \"chars_typed\": " << b.charsTyped << ", \"chars_left\": " << b.charsLeft
        << ", \"cpm\": " << BookSpeed(b) << ", \"accuracy\": " << BookAccuracy(b)
        << ", \"seconds_left\": " << BookSecondsLeft(b) << "}";
}

template <typename Row>
void JsonArray(std::ostringstream& out, const char* name, const std::vector<Row>& rows,
               void (*write)(std::ostringstream&, const Row&), bool last = false) {
    out << "  " << JsonString(name) << ": [";
    for (size_t i = 0; i < rows.size(); ++i) {
        out << (i ? ", " : "");
        write(out, rows[i]);
    }
    out << "]" << (last ? "\n" : ",\n");
}

// Word rows summed over all records of each word.
std::vector<WordRow> WordRows(const CWordTrackFile& words) {
    struct Sum {
        int typed = 0;
        int mistyped = 0;
        int timed = 0;
        long long ms = 0;
    };
    std::map<std::string, Sum> sums;
    for (int i = 0; i < words.GetWordCount(); ++i) {
        const WordTrack* w = words.GetWordTrack(i);
        if (!w) {
            continue;
        }
        Sum& s = sums[w->m_szWord];
        s.typed += w->m_nCount;
        s.mistyped += w->m_bMistyped ? 1 : 0;
        // A word whose timer never stopped has no time.
        if (w->m_nTime > 0) {
            s.timed += w->m_nCount;
            s.ms += w->m_nTime;
        }
    }
    std::vector<WordRow> rows;
    for (const auto& [word, s] : sums) {
        WordRow row;
        row.word = SingleByteToUtf8(word);
        row.typed = s.typed;
        row.mistyped = s.mistyped;
        const long long chars = static_cast<long long>(word.size()) * s.timed;
        row.msPerChar = chars > 0 ? static_cast<int>(s.ms / chars) : 0;
        rows.push_back(row);
    }
    return rows;
}

}  // namespace

std::string FormatDuration(int seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

const char* MethodName(int method) {
    switch (method) {
        case 0:
            return "free";
        case 1:
            return "letter";
        case 2:
            return "word";
        case 3:
            return "match";
        default:
            return "?";
    }
}

LessonRow RowOf(const CLessonTrack& t, const std::map<unsigned short, std::string>& names) {
    LessonRow row;
    char date[32];
    std::snprintf(date, sizeof date, "%04u-%02u-%02u %02u:%02u", t.m_wYear, t.m_wMonth, t.m_wDay,
                  t.m_wHour, t.m_wMinute);
    row.date = date;
    const auto name = names.find(t.m_wLessonTag);
    row.lesson = name != names.end() ? name->second : "lesson " + std::to_string(t.m_byLessonId1);
    row.method = MethodName(t.m_byLessonId2);
    row.seconds = t.m_nSeconds;
    row.speed = Rounded(t.m_dSpeed);
    row.topSpeed = Rounded(t.m_dTopSpeed);
    row.wordSpeed = Rounded(t.m_dSpeed / kCharsPerWord);
    row.keys = t.m_nKeys;
    row.errors = t.m_nErrors;
    row.accuracy = Percent(t.m_nKeys - t.m_nErrors, t.m_nKeys);
    row.words = t.m_nWords;
    row.wrongWords = t.m_nWordErrors;
    return row;
}

void WeakestCharacters(const CLessonTrack& track, int nTop, std::vector<CharRow>* slowest,
                       std::vector<CharRow>* leastAccurate) {
    const int count = track.GetCharTrackCount(0);
    std::vector<CCharTrack> bySpeed(static_cast<size_t>(count));
    track.RetrieveCharTrack(bySpeed.data(), count, 0);
    std::vector<CCharTrack> byAccuracy = bySpeed;
    SortCharTrack(bySpeed.data(), count, scBySpeed);
    SortCharTrack(byAccuracy.data(), count, scByAccuracy);
    for (int i = 0; i < count && i < nTop; ++i) {
        slowest->push_back(CharRowOf(bySpeed[static_cast<size_t>(i)]));
        leastAccurate->push_back(CharRowOf(byAccuracy[static_cast<size_t>(i)]));
    }
}

HistoryStats ComputeStats(const CLessonTrackFile& lessons, const CWordTrackFile& words,
                          const std::map<unsigned short, std::string>& names, int nTop) {
    HistoryStats stats;
    CLessonTrack all;
    for (int i = 0; i < lessons.GetLessonCount(); ++i) {
        if (const CLessonTrack* t = lessons.GetLessonTrack(i)) {
            stats.lessons.push_back(RowOf(*t, names));
            all += *t;
        }
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    CLessonTrack today;
    if (lessons.GetTrackSum(&today, now.wYear, now.wMonth, now.wDay)) {
        stats.hasToday = true;
        stats.today = RowOf(today, names);
        stats.today.lesson = "today";
        stats.today.method = "";
    }
    if (!stats.lessons.empty()) {
        WeakestCharacters(all, nTop, &stats.slowest, &stats.leastAccurate);
    }

    std::vector<WordRow> rows = WordRows(words);
    std::vector<WordRow> mistyped;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(mistyped),
                 [](const WordRow& r) { return r.mistyped > 0; });
    std::stable_sort(mistyped.begin(), mistyped.end(),
                     [](const WordRow& a, const WordRow& b) { return a.mistyped > b.mistyped; });
    std::vector<WordRow> timed;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(timed),
                 [](const WordRow& r) { return r.msPerChar > 0; });
    std::stable_sort(timed.begin(), timed.end(),
                     [](const WordRow& a, const WordRow& b) { return a.msPerChar > b.msPerChar; });
    mistyped.resize(std::min(mistyped.size(), static_cast<size_t>(nTop)));
    timed.resize(std::min(timed.size(), static_cast<size_t>(nTop)));
    stats.mostMistyped = std::move(mistyped);
    stats.slowestWords = std::move(timed);
    return stats;
}

std::string FormatStatsText(const HistoryStats& stats) {
    std::ostringstream out;
    char line[256];
    if (stats.lessons.empty()) {
        return "No lessons yet. Type one with: typetutor LESSON\n";
    }
    out << "Lessons\n";
    std::snprintf(line, sizeof line, "  %-16s  %-16s %-6s %6s %5s %5s %5s %9s\n", "date", "lesson",
                  "method", "time", "cpm", "top", "wpm", "accuracy");
    out << line;
    for (const LessonRow& r : stats.lessons) {
        std::snprintf(line, sizeof line, "  %-16s  %-16.16s %-6s %6s %5d %5d %5d %8d%%\n",
                      r.date.c_str(), r.lesson.c_str(), r.method.c_str(),
                      FormatDuration(r.seconds).c_str(), r.speed, r.topSpeed, r.wordSpeed,
                      r.accuracy);
        out << line;
    }
    if (stats.hasToday) {
        const LessonRow& t = stats.today;
        std::snprintf(line, sizeof line,
                      "\nToday: %s typing, %d keystrokes, %d cpm (%d wpm), %d%% accurate, "
                      "%d words (%d wrong)\n",
                      FormatDuration(t.seconds).c_str(), t.keys, t.speed, t.wordSpeed, t.accuracy,
                      t.words, t.wrongWords);
        out << line;
    }
    auto chars = [&out, &line](const char* title, const std::vector<CharRow>& rows) {
        out << "\n" << title << "\n";
        for (const CharRow& c : rows) {
            std::snprintf(line, sizeof line, "  %-6s %5d keys %4d wrong %5d ms/key %4d%%\n",
                          c.character.c_str(), c.keys, c.errors, c.msPerKey, c.accuracy);
            out << line;
        }
    };
    chars("Slowest characters", stats.slowest);
    chars("Least accurate characters", stats.leastAccurate);
    auto words = [&out, &line](const char* title, const std::vector<WordRow>& rows) {
        out << "\n" << title << "\n";
        for (const WordRow& w : rows) {
            std::snprintf(line, sizeof line, "  %-20s %4d typed %4d mistyped %5d ms/char\n",
                          w.word.c_str(), w.typed, w.mistyped, w.msPerChar);
            out << line;
        }
    };
    words("Most often mistyped words", stats.mostMistyped);
    words("Slowest words", stats.slowestWords);
    out << (stats.books.empty() ? "" : "\nBooks\n");
    for (const BookProgress& b : stats.books) {
        out << "  " << b.title << ": " << SummarizeBook(b) << "\n";
    }
    return out.str();
}

std::string FormatStatsJson(const HistoryStats& stats) {
    std::ostringstream out;
    out << "{\n";
    JsonArray<LessonRow>(out, "lessons", stats.lessons, JsonLesson);
    out << "  \"today\": ";
    if (stats.hasToday) {
        JsonLesson(out, stats.today);
    } else {
        out << "null";
    }
    out << ",\n";
    JsonArray<CharRow>(out, "slowest_characters", stats.slowest, JsonChar);
    JsonArray<CharRow>(out, "least_accurate_characters", stats.leastAccurate, JsonChar);
    JsonArray<WordRow>(out, "most_mistyped_words", stats.mostMistyped, JsonWord);
    JsonArray<WordRow>(out, "slowest_words", stats.slowestWords, JsonWord);
    JsonArray<BookProgress>(out, "books", stats.books, JsonBook, true);
    out << "}\n";
    return out.str();
}
