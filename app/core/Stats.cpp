#include "Stats.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "Encoding.h"
#include "Practice.h"
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
// An interval between keys longer than this is a pause to think, not typing rhythm.
constexpr std::uint32_t kThinkingMs = 2000;
// Rhythm figures over the newest logged lessons.
constexpr size_t kRhythmLessons = 10;
constexpr size_t kMinPairCount = 3;
constexpr std::int64_t kWeekSeconds = 7 * 24 * 3600;

bool IsLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::int64_t LessonSeconds(const CLessonTrack& t) {
    SYSTEMTIME st{};
    st.wYear = t.m_wYear;
    st.wMonth = t.m_wMonth;
    st.wDay = t.m_wDay;
    st.wHour = t.m_wHour;
    st.wMinute = t.m_wMinute;
    return CTime(st).GetTime();
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

}  // namespace

std::vector<KeyChangeRow> KeyChanges(const CLessonTrackFile& file, int nTop) {
    const std::vector<const CLessonTrack*> all = AllLessons(file);
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::int64_t weekAgo = CTime(now).GetTime() - kWeekSeconds;
    std::vector<const CLessonTrack*> before;
    std::copy_if(all.begin(), all.end(), std::back_inserter(before),
                 [weekAgo](const CLessonTrack* t) { return LessonSeconds(*t) <= weekAgo; });
    const KeyRanking rankNow = RankKeys(all);
    const KeyRanking rankBefore = RankKeys(before);
    std::vector<KeyChangeRow> rows;
    for (const KeyWeakness& k : rankNow.keys) {
        if (k.learned || rows.size() >= static_cast<size_t>(nTop)) {
            continue;
        }
        KeyChangeRow row;
        row.key = Printable(k.key);
        row.accuracy = k.Accuracy();
        row.msPerKey = static_cast<int>(std::lround(k.msPerKey));
        if (const KeyWeakness* b = rankBefore.Find(k.key)) {
            row.hasBefore = true;
            row.accuracyBefore = b->Accuracy();
            row.msPerKeyBefore = static_cast<int>(std::lround(b->msPerKey));
        }
        rows.push_back(row);
    }
    return rows;
}

std::string Padded(const std::string& utf8, size_t width) {
    const size_t characters = Utf8Length(utf8);
    return utf8 + std::string(width > characters ? width - characters : 0, ' ');
}

namespace {

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
        << ", \"wrong_words\": " << r.wrongWords << ", \"net_wpm\": " << r.netWordSpeed
        << ", \"consistency\": " << r.consistency << "}";
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

void JsonPair(std::ostringstream& out, const PairRow& p) {
    out << "{\"pair\": " << JsonString(p.pair) << ", \"ms\": " << p.ms << ", \"count\": " << p.count
        << "}";
}

void JsonKeyChange(std::ostringstream& out, const KeyChangeRow& k) {
    out << "{\"key\": " << JsonString(k.key) << ", \"accuracy\": " << k.accuracy
        << ", \"ms_per_key\": " << k.msPerKey;
    if (k.hasBefore) {
        out << ", \"accuracy_a_week_ago\": " << k.accuracyBefore
            << ", \"ms_per_key_a_week_ago\": " << k.msPerKeyBefore;
    }
    out << "}";
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

// Word rows summed over all records of each word, the words single-byte.
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
        row.word = word;
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
    row.netWordSpeed = NetWordSpeed(t.m_dSpeed / kCharsPerWord, t.m_nWordErrors, t.m_nSeconds);
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

int NetWordSpeed(double wordsPerMinute, int wrongWords, int seconds) {
    if (seconds <= 0) {
        return 0;
    }
    return std::max(Rounded(wordsPerMinute - wrongWords * 60.0 / seconds), 0);
}

int Consistency(const std::vector<LoggedKey>& keys) {
    std::vector<double> intervals;
    for (size_t i = 1; i < keys.size(); ++i) {
        const std::uint32_t gap = keys[i].ms - keys[i - 1].ms;
        if (keys[i].ms >= keys[i - 1].ms && gap <= kThinkingMs) {
            intervals.push_back(gap);
        }
    }
    if (intervals.size() < 2) {
        return -1;
    }
    double mean = 0;
    for (double v : intervals) {
        mean += v;
    }
    mean /= static_cast<double>(intervals.size());
    double variance = 0;
    for (double v : intervals) {
        variance += (v - mean) * (v - mean);
    }
    variance /= static_cast<double>(intervals.size());
    if (!(mean > 0)) {
        return 100;
    }
    return std::clamp(static_cast<int>(std::lround(100.0 * (1.0 - std::sqrt(variance) / mean))), 0,
                      100);
}

int LessonConsistency(const KeyLog* log, const CLessonTrackFile& lessons, int nIndex) {
    const LoggedLesson* logged = log ? FindLoggedLesson(*log, lessons, nIndex) : nullptr;
    return logged ? Consistency(logged->keys) : -1;
}

std::vector<PairRow> SlowestPairs(const KeyLog& log, int nTop) {
    std::map<std::string, std::vector<std::uint32_t>> intervals;
    const size_t n = log.lessons.size();
    for (size_t l = n > kPairLessons ? n - kPairLessons : 0; l < n; ++l) {
        const std::vector<LoggedKey>& keys = log.lessons[l].keys;
        for (size_t i = 1; i < keys.size(); ++i) {
            const LoggedKey& a = keys[i - 1];
            const LoggedKey& b = keys[i];
            const bool right = !a.backspace && !b.backspace && a.typed == a.expected &&
                               b.typed == b.expected && IsLetter(a.typed) && IsLetter(b.typed);
            if (right && b.ms >= a.ms && b.ms - a.ms <= kThinkingMs) {
                intervals[SingleByteToUtf8(
                              std::string{static_cast<char>(a.typed), static_cast<char>(b.typed)})]
                    .push_back(b.ms - a.ms);
            }
        }
    }
    std::vector<PairRow> rows;
    for (auto& [pair, v] : intervals) {
        if (v.size() >= kMinPairCount) {
            std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2),
                             v.end());
            rows.push_back({pair, static_cast<int>(v[v.size() / 2]), static_cast<int>(v.size())});
        }
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const PairRow& a, const PairRow& b) { return a.ms > b.ms; });
    rows.resize(std::min(rows.size(), static_cast<size_t>(std::max(nTop, 0))));
    return rows;
}

HistoryStats ComputeStats(const CLessonTrackFile& lessons, const CWordTrackFile& words,
                          const std::map<unsigned short, std::string>& names, int nTop,
                          const KeyLog* keyLog) {
    HistoryStats stats;
    CLessonTrack all;
    std::vector<int> consistencies;
    for (int i = 0; i < lessons.GetLessonCount(); ++i) {
        if (const CLessonTrack* t = lessons.GetLessonTrack(i)) {
            stats.lessons.push_back(RowOf(*t, names));
            all += *t;
            stats.lessons.back().consistency = LessonConsistency(keyLog, lessons, i);
            if (stats.lessons.back().consistency >= 0) {
                consistencies.push_back(stats.lessons.back().consistency);
            }
        }
    }
    // The newest lessons' rhythm.
    const size_t recent = std::min(consistencies.size(), kRhythmLessons);
    if (recent > 0) {
        int sum = 0;
        for (size_t i = consistencies.size() - recent; i < consistencies.size(); ++i) {
            sum += consistencies[i];
        }
        stats.consistency =
            static_cast<int>(std::lround(static_cast<double>(sum) / static_cast<double>(recent)));
    }
    if (keyLog) {
        stats.slowPairs = SlowestPairs(*keyLog, nTop);
    }
    stats.keyChanges = KeyChanges(lessons, nTop);
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

    WeakestWords(words, nTop, &stats.mostMistyped, &stats.slowestWords);
    for (auto* rows : {&stats.mostMistyped, &stats.slowestWords}) {
        for (WordRow& row : *rows) {
            row.word = SingleByteToUtf8(row.word);
        }
    }
    return stats;
}

void WeakestWords(const CWordTrackFile& words, int nTop, std::vector<WordRow>* mostMistyped,
                  std::vector<WordRow>* slowest) {
    const std::vector<WordRow> rows = WordRows(words);
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
    *mostMistyped = std::move(mistyped);
    *slowest = std::move(timed);
}

std::string FormatStatsText(const HistoryStats& stats) {
    std::ostringstream out;
    char line[256];
    if (stats.lessons.empty()) {
        return "No lessons yet. Type one with: typetutor LESSON\n";
    }
    out << "Lessons\n";
    std::snprintf(line, sizeof line, "  %-16s  %-13s %-6s %6s %5s %5s %4s %4s %9s\n", "date",
                  "lesson", "method", "time", "cpm", "top", "wpm", "net", "accuracy");
    out << line;
    for (const LessonRow& r : stats.lessons) {
        std::snprintf(line, sizeof line, "  %-16s  %-13.13s %-6s %6s %5d %5d %4d %4d %8d%%\n",
                      r.date.c_str(), r.lesson.c_str(), r.method.c_str(),
                      FormatDuration(r.seconds).c_str(), r.speed, r.topSpeed, r.wordSpeed,
                      r.netWordSpeed, r.accuracy);
        out << line;
    }
    if (stats.hasToday) {
        const LessonRow& t = stats.today;
        std::snprintf(line, sizeof line,
                      "\nToday: %s typing, %d keystrokes, %d cpm (%d wpm, net %d), %d%% accurate, "
                      "%d words (%d wrong)\n",
                      FormatDuration(t.seconds).c_str(), t.keys, t.speed, t.wordSpeed,
                      t.netWordSpeed, t.accuracy, t.words, t.wrongWords);
        out << line;
    }
    auto chars = [&out, &line](const char* title, const std::vector<CharRow>& rows) {
        out << "\n" << title << "\n";
        for (const CharRow& c : rows) {
            std::snprintf(line, sizeof line, "  %s %5d keys %4d wrong %5d ms/key %4d%%\n",
                          Padded(c.character, 6).c_str(), c.keys, c.errors, c.msPerKey, c.accuracy);
            out << line;
        }
    };
    chars("Slowest characters", stats.slowest);
    chars("Least accurate characters", stats.leastAccurate);
    auto words = [&out, &line](const char* title, const std::vector<WordRow>& rows) {
        out << "\n" << title << "\n";
        for (const WordRow& w : rows) {
            std::snprintf(line, sizeof line, "  %s %4d typed %4d mistyped %5d ms/char\n",
                          Padded(w.word, 20).c_str(), w.typed, w.mistyped, w.msPerChar);
            out << line;
        }
    };
    words("Most often mistyped words", stats.mostMistyped);
    words("Slowest words", stats.slowestWords);
    if (stats.consistency >= 0) {
        out << "\nConsistency: " << stats.consistency << "% over the newest logged lessons\n";
    }
    out << "\nSlowest letter pairs\n";
    for (const PairRow& p : stats.slowPairs) {
        std::snprintf(line, sizeof line, " %5d ms %5d times\n", p.ms, p.count);
        out << "  " << Padded(p.pair, 6) << line;
    }
    out << "\nWeakest keys against a week ago\n";
    for (const KeyChangeRow& k : stats.keyChanges) {
        std::snprintf(line, sizeof line, " %4d%% right %5d ms/key", k.accuracy, k.msPerKey);
        out << "  " << Padded(k.key, 6) << line;
        if (k.hasBefore) {
            std::snprintf(line, sizeof line, "   a week ago %4d%% %5d ms/key\n", k.accuracyBefore,
                          k.msPerKeyBefore);
            out << line;
        } else {
            out << "   new this week\n";
        }
    }
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
    out << "  \"consistency\": " << stats.consistency << ",\n";
    JsonArray<PairRow>(out, "slowest_pairs", stats.slowPairs, JsonPair);
    JsonArray<KeyChangeRow>(out, "weakest_keys_against_a_week_ago", stats.keyChanges,
                            JsonKeyChange);
    JsonArray<BookProgress>(out, "books", stats.books, JsonBook, true);
    out << "}\n";
    return out.str();
}
