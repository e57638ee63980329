#include "Stats.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>

#include "Lesson.h"
#include "platform/Clock.h"

namespace {

int Percent(int part, int whole) {
    return whole > 0 ? static_cast<int>(100.0 * part / whole + 0.5) : 0;
}

LessonRow RowOf(const CLessonTrack& t) {
    LessonRow row;
    char date[32];
    std::snprintf(date, sizeof date, "%04u-%02u-%02u %02u:%02u", t.m_wYear, t.m_wMonth, t.m_wDay,
                  t.m_wHour, t.m_wMinute);
    row.date = date;
    row.lessonId = t.m_byLessonId1;
    row.method = t.m_byLessonId2;
    row.seconds = t.m_nSeconds;
    row.speed = t.m_dSpeed;
    row.topSpeed = t.m_dTopSpeed;
    row.keys = t.m_nKeys;
    row.errors = t.m_nErrors;
    row.accuracy = Percent(t.m_nKeys - t.m_nErrors, t.m_nKeys);
    row.words = t.m_nWords;
    row.wrongWords = t.m_nWordErrors;
    return row;
}

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
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

void JsonLesson(std::ostringstream& out, const LessonRow& r) {
    out << "{\"date\": " << JsonString(r.date) << ", \"lesson\": " << r.lessonId
        << ", \"method\": " << r.method << ", \"seconds\": " << r.seconds
        << ", \"speed\": " << r.speed << ", \"top_speed\": " << r.topSpeed
        << ", \"keys\": " << r.keys << ", \"errors\": " << r.errors
        << ", \"accuracy\": " << r.accuracy << ", \"words\": " << r.words
        << ", \"wrong_words\": " << r.wrongWords << "}";
}

template <typename Row, typename Writer>
void JsonArray(std::ostringstream& out, const char* name, const std::vector<Row>& rows,
               Writer write, bool last = false) {
    out << "  " << JsonString(name) << ": [";
    for (size_t i = 0; i < rows.size(); ++i) {
        out << (i ? ", " : "");
        write(out, rows[i]);
    }
    out << "]" << (last ? "\n" : ",\n");
}

}  // namespace

void WeakestCharacters(const CLessonTrack& track, int nTop, std::vector<CharRow>* slowest,
                       std::vector<CharRow>* leastAccurate) {
    const int count = track.GetCharTrackCount(0);
    std::vector<CCharTrack> slots(static_cast<size_t>(count));
    track.RetrieveCharTrack(slots.data(), count, 0);
    std::vector<CCharTrack> byAccuracy = slots;
    SortCharTrack(slots.data(), count, scBySpeed);
    SortCharTrack(byAccuracy.data(), count, scByAccuracy);
    for (int i = 0; i < count && i < nTop; ++i) {
        slowest->push_back(CharRowOf(slots[static_cast<size_t>(i)]));
        leastAccurate->push_back(CharRowOf(byAccuracy[static_cast<size_t>(i)]));
    }
}

HistoryStats ComputeStats(const CLessonTrackFile& lessons, const CWordTrackFile& words, int nTop) {
    HistoryStats stats;
    CLessonTrack all;
    bool any = false;
    for (int i = 0; i < lessons.GetLessonCount(); ++i) {
        if (const CLessonTrack* t = lessons.GetLessonTrack(i)) {
            stats.lessons.push_back(RowOf(*t));
            for (int s = 0; s < kCharTrackSlots; ++s) {
                all.m_aCharTrack[s] += t->m_aCharTrack[s];
            }
            any = true;
        }
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    CLessonTrack today;
    today.m_nSeconds = 0;
    if (lessons.GetTrackSum(&today, static_cast<unsigned short>(now.wYear),
                            static_cast<unsigned short>(now.wMonth),
                            static_cast<unsigned short>(now.wDay))) {
        stats.hasToday = true;
        stats.today = RowOf(today);
        stats.today.speed = today.m_nSeconds > 0 ? today.m_dSpeed : 0;
    }
    if (any) {
        WeakestCharacters(all, nTop, &stats.slowest, &stats.leastAccurate);
    }

    struct WordSum {
        int typed = 0, mistyped = 0;
        long long ms = 0;
    };
    std::map<std::string, WordSum> sums;
    for (int i = 0; i < words.GetWordCount(); ++i) {
        const WordTrack* w = words.GetWordTrack(i);
        if (!w) {
            continue;
        }
        WordSum& s = sums[w->m_szWord];
        s.typed += w->m_nCount;
        s.mistyped += w->m_bMistyped ? 1 : 0;
        s.ms += w->m_nTime;
    }
    std::vector<WordRow> rows;
    for (const auto& [word, s] : sums) {
        WordRow row;
        row.word = SingleByteToUtf8(word);
        row.typed = s.typed;
        row.mistyped = s.mistyped;
        const long long chars = static_cast<long long>(word.size()) * (s.typed > 0 ? s.typed : 1);
        row.msPerChar = static_cast<int>(s.ms / chars);
        rows.push_back(row);
    }
    std::vector<WordRow> mistyped;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(mistyped),
                 [](const WordRow& r) { return r.mistyped > 0; });
    std::stable_sort(mistyped.begin(), mistyped.end(),
                     [](const WordRow& a, const WordRow& b) { return a.mistyped > b.mistyped; });
    std::stable_sort(rows.begin(), rows.end(),
                     [](const WordRow& a, const WordRow& b) { return a.msPerChar > b.msPerChar; });
    mistyped.resize(std::min(mistyped.size(), static_cast<size_t>(nTop)));
    rows.resize(std::min(rows.size(), static_cast<size_t>(nTop)));
    stats.mostMistyped = mistyped;
    stats.slowestWords = rows;
    return stats;
}

std::string FormatStatsText(const HistoryStats& stats) {
    std::ostringstream out;
    char line[256];
    if (stats.lessons.empty()) {
        out << "No lessons yet. Type one with: typetutor LESSON\n";
        return out.str();
    }
    out << "Lessons\n";
    std::snprintf(line, sizeof line, "  %-16s %6s %8s %8s %8s %8s %6s\n", "date", "lesson", "time",
                  "cpm", "top cpm", "accuracy", "words");
    out << line;
    for (const LessonRow& r : stats.lessons) {
        std::snprintf(line, sizeof line, "  %-16s %6d %5d:%02d %8.0f %8.0f %7d%% %6d\n",
                      r.date.c_str(), r.lessonId, r.seconds / 60, r.seconds % 60, r.speed,
                      r.topSpeed, r.accuracy, r.words);
        out << line;
    }
    if (stats.hasToday) {
        const LessonRow& t = stats.today;
        std::snprintf(line, sizeof line,
                      "\nToday: %d:%02d typing, %d keystrokes, %.0f cpm, %d%% accurate, "
                      "%d words (%d wrong)\n",
                      t.seconds / 60, t.seconds % 60, t.keys, t.speed, t.accuracy, t.words,
                      t.wrongWords);
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
    return out.str();
}

std::string FormatStatsJson(const HistoryStats& stats) {
    std::ostringstream out;
    out << "{\n";
    JsonArray(out, "lessons", stats.lessons, JsonLesson);
    out << "  \"today\": ";
    if (stats.hasToday) {
        JsonLesson(out, stats.today);
    } else {
        out << "null";
    }
    out << ",\n";
    auto charRow = [](std::ostringstream& o, const CharRow& c) {
        o << "{\"char\": " << JsonString(c.character) << ", \"keys\": " << c.keys
          << ", \"errors\": " << c.errors << ", \"ms_per_key\": " << c.msPerKey
          << ", \"accuracy\": " << c.accuracy << "}";
    };
    auto wordRow = [](std::ostringstream& o, const WordRow& w) {
        o << "{\"word\": " << JsonString(w.word) << ", \"typed\": " << w.typed
          << ", \"mistyped\": " << w.mistyped << ", \"ms_per_char\": " << w.msPerChar << "}";
    };
    JsonArray(out, "slowest_characters", stats.slowest, charRow);
    JsonArray(out, "least_accurate_characters", stats.leastAccurate, charRow);
    JsonArray(out, "most_mistyped_words", stats.mostMistyped, wordRow);
    JsonArray(out, "slowest_words", stats.slowestWords, wordRow, true);
    out << "}\n";
    return out.str();
}
