#include "Table.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <thread>

namespace {

constexpr const char* kSizes[] = {"1KiB", "64KiB", "1MiB", "8MiB"};
constexpr const char* kDcs[] = {"fixed", "cairo"};

// Targets.
constexpr double kLayoutOverPango = 1.0 / 3.0;  // at least 3x faster than Pango
constexpr double kRedrawCheaper = 20.0;         // incremental at least 20x cheaper than full
constexpr double kSaveOverFloor = 1.3;
constexpr double kOpenOverFloor = 2.0;
constexpr double kFasterThanSqlite = 10.0;
// A long history (ten years of daily lessons): seconds the learner waits at most.
constexpr double kStatsSeconds = 0.5;
constexpr double kLessonStartSeconds = 0.25;
// A growth exponent up to this counts as linear: measurement noise and cache effects at the
// largest sizes move it a little.
constexpr double kLinearExponent = 1.15;
// The desktop tutor: a key on screen within half a 60 Hz frame, and its drawing at least 10x
// less than drawing both articles anew.
constexpr double kLatencyP99Ms = 8.0;
constexpr double kDesktopDrawCheaper = 10.0;
// A book of 20 MiB opens and shows its first part within these.
constexpr double kBookOpenSeconds = 0.5;
constexpr double kBookPeakBytes = 100e6;
constexpr const char* kBookSizes[] = {"1MiB", "4MiB", "20MiB"};
constexpr const char* kLargestBook = "20MiB";

const Timing* Find(const Timings& timings, const std::string& name) {
    auto it = timings.find(name);
    return it == timings.end() || it->second.iterations == 0 ? nullptr : &it->second;
}

double Counter(const Timing& t, const std::string& name) {
    auto it = t.counters.find(name);
    return it == t.counters.end() ? 0 : it->second;
}

std::string Fixed(double v, int decimals) {
    std::ostringstream s;
    s << std::fixed << std::setprecision(decimals) << v;
    return s.str();
}

// Three significant figures or so, without exponents.
std::string Number(double v) {
    const double a = std::fabs(v);
    return Fixed(v, a >= 100 ? 0 : a >= 10 ? 1 : 2);
}

std::string Time(double seconds) {
    if (seconds >= 1) {
        return Number(seconds) + " s";
    }
    if (seconds >= 1e-3) {
        return Number(seconds * 1e3) + " ms";
    }
    if (seconds >= 1e-6) {
        return Number(seconds * 1e6) + " us";
    }
    return Number(seconds * 1e9) + " ns";
}

std::string Times(double v) {
    return Number(v) + "x";
}

// Slope of log time over log work between two sizes: 1 is linear, 2 quadratic.
double GrowthExponent(double t1, double n1, double t2, double n2) {
    return std::log(t2 / t1) / std::log(n2 / n1);
}

Row Held(Row row, double ratio, bool bAtMost, double limit, const std::string& ratioText,
         const std::string& target) {
    row.ratioValue = ratio;
    row.ratio = ratioText;
    if (!target.empty()) {
        row.target = target;
        row.met = (bAtMost ? ratio <= limit : ratio >= limit) ? 1 : 0;
    }
    return row;
}

Row Figure(const std::string& name, double value, const std::string& unit,
           const std::string& text) {
    Row row;
    row.name = name;
    row.value = value;
    row.unit = unit;
    row.figure = text;
    return row;
}

void AddLayoutRows(std::vector<Row>& rows, const Timings& timings,
                   const std::map<std::string, std::map<std::string, double>>& figures) {
    for (const char* dc : kDcs) {
        for (const char* size : kSizes) {
            const Timing* ours = Find(timings, std::string("layout/") + dc + "/" + size);
            if (!ours || Counter(*ours, "tokens") <= 0) {
                continue;
            }
            const double tokens = Counter(*ours, "tokens");
            Row row =
                Figure(std::string("layout ") + dc + " " + size, ours->cpuSeconds / tokens * 1e9,
                       "ns/token",
                       Time(ours->cpuSeconds / tokens) + "/token (" + Time(ours->cpuSeconds) + ")");
            const Timing* pango = Find(timings, std::string("layout/pango/") + size);
            if (pango && std::string(dc) == "cairo") {
                row.baseline = "Pango " + Time(pango->cpuSeconds / tokens) + "/token";
                const double ratio = ours->cpuSeconds / pango->cpuSeconds;
                row = Held(row, ratio, true, kLayoutOverPango, Fixed(ratio, 2), "<= 0.33");
            }
            rows.push_back(row);
        }
    }
    for (const char* dc : kDcs) {
        for (const char* size : kSizes) {
            const std::string name = std::string("layout_both/") + dc + "/" + size;
            const Timing* both = Find(timings, name);
            if (!both || Counter(*both, "tokens") <= 0) {
                continue;
            }
            const double tokens = Counter(*both, "tokens");
            Row row =
                Figure(std::string("layout+typing ") + dc + " " + size,
                       both->cpuSeconds / tokens * 1e9, "ns/token",
                       Time(both->cpuSeconds / tokens) + "/token (" + Time(both->cpuSeconds) + ")");
            rows.push_back(row);
        }
    }
    // Memory does not depend on the device context: one row per size.
    for (const char* size : kSizes) {
        auto noted = figures.find(std::string("layout_both/fixed/") + size);
        if (noted == figures.end() || !noted->second.count("peak_bytes_per_text_byte")) {
            continue;
        }
        const double perByte = noted->second.at("peak_bytes_per_text_byte");
        rows.push_back(Figure(std::string("peak memory, both articles ") + size, perByte,
                              "bytes/text byte", Number(perByte) + " B/text byte"));
    }
    // Growth between neighbouring sizes, by tokens laid out.
    for (const char* kind : {"layout", "layout_both"}) {
        for (const char* dc : kDcs) {
            for (std::size_t k = 0; k + 1 < std::size(kSizes); ++k) {
                const std::string prefix = std::string(kind) + "/" + dc + "/";
                const Timing* a = Find(timings, prefix + kSizes[k]);
                const Timing* b = Find(timings, prefix + kSizes[k + 1]);
                if (!a || !b) {
                    continue;
                }
                const double e = GrowthExponent(a->cpuSeconds, Counter(*a, "tokens"), b->cpuSeconds,
                                                Counter(*b, "tokens"));
                Row row =
                    Figure(std::string(kind == std::string("layout") ? "layout" : "layout+typing") +
                               " " + dc + " growth " + kSizes[k] + " -> " + kSizes[k + 1],
                           e, "exponent", "exponent " + Fixed(e, 2));
                rows.push_back(Held(row, e, true, kLinearExponent, "", "<= 1.15 (linear)"));
            }
        }
    }
}

void AddKeystrokeRows(std::vector<Row>& rows, const Timings& timings,
                      const std::map<std::string, double>& instructions) {
    for (const char* dc : kDcs) {
        const Timing* incremental = Find(timings, std::string("keys/") + dc + "/incremental");
        const Timing* full = Find(timings, std::string("keys/") + dc + "/full");
        if (!incremental || Counter(*incremental, "keys") <= 0) {
            continue;
        }
        const double perKey = incremental->cpuSeconds / Counter(*incremental, "keys");
        Row row = Figure(std::string("keystroke ") + dc + ", redraw 2 words + caret", perKey * 1e6,
                         "us/key", Time(perKey) + "/key");
        if (full && Counter(*full, "keys") > 0) {
            const double fullPerKey = full->cpuSeconds / Counter(*full, "keys");
            row.baseline = "full redraw " + Time(fullPerKey) + "/key";
            const double ratio = fullPerKey / perKey;
            row = Held(row, ratio, false, kRedrawCheaper, Times(ratio), ">= 20x");
        }
        rows.push_back(row);
    }
    for (const char* dc : kDcs) {
        auto incremental = instructions.find(std::string(dc) + "-incremental");
        if (incremental == instructions.end()) {
            continue;
        }
        Row row = Figure(std::string("instructions/keystroke ") + dc, incremental->second,
                         "instructions/key", Number(incremental->second));
        auto full = instructions.find(std::string(dc) + "-full");
        if (full != instructions.end()) {
            row.baseline = "full redraw " + Number(full->second);
            const double ratio = full->second / incremental->second;
            row = Held(row, ratio, false, kRedrawCheaper, Times(ratio), ">= 20x");
        }
        rows.push_back(row);
    }
}

// The desktop tutor's key-to-frame latency under Xvfb, incremental against full redraw, from
// the "name value" lines of tt_desktop_latency.
void AddLatencyRows(std::vector<Row>& rows, const std::map<std::string, double>& latency) {
    auto get = [&](const std::string& name) {
        auto it = latency.find(name);
        return it == latency.end() ? -1.0 : it->second;
    };
    for (const char* stat : {"median", "p99"}) {
        const double ours = get(std::string("latency-incremental-") + stat + "-ms");
        if (ours < 0) {
            continue;
        }
        Row row = Figure(std::string("desktop key to frame, ") + stat, ours, "ms",
                         Fixed(ours, 2) + " ms");
        const double full = get(std::string("latency-full-") + stat + "-ms");
        if (full >= 0) {
            row.baseline = "full redraw " + Fixed(full, 2) + " ms";
        }
        if (std::string(stat) == "p99") {
            row = Held(row, ours, true, kLatencyP99Ms, "", "< 8 ms");
        }
        rows.push_back(row);
    }
    const double draw = get("draw-incremental-median-us");
    const double fullDraw = get("draw-full-median-us");
    if (draw > 0) {
        Row row = Figure("desktop drawing per key, median", draw, "us", Time(draw * 1e-6));
        if (fullDraw > 0) {
            row.baseline = "full redraw " + Time(fullDraw * 1e-6);
            const double ratio = fullDraw / draw;
            row = Held(row, ratio, false, kDesktopDrawCheaper, Times(ratio), ">= 10x");
        }
        rows.push_back(row);
    }
}

// Saves wait for the disk: wall time. Loads read from the page cache: processor time, which on
// a shared machine leaves out the others' work that the wall clock would add. Either is the
// median of the runs where the benchmark gives it.
double RecordSeconds(const Timing& t, bool bSave) {
    const double median = Counter(t, "median_s");
    return median > 0 ? median : bSave ? t.seconds : t.cpuSeconds;
}

void AddRecordRows(std::vector<Row>& rows, const Timings& timings) {
    struct FileCase {
        const char* prefix;
        const char* label;
        bool bTargets;  // the targets are set for a million word records
    };
    const FileCase cases[] = {{"words/10k", "word file 10k", false},
                              {"words/1M", "word file 1M", true},
                              {"lessons/10k", "lesson file 10k", false}};
    for (const FileCase& c : cases) {
        const std::string prefix = c.prefix;
        for (const bool bSave : {true, false}) {
            const Timing* ours = Find(timings, prefix + (bSave ? "/save" : "/open"));
            if (!ours) {
                continue;
            }
            const double seconds = RecordSeconds(*ours, bSave);
            const std::string name = c.label + std::string(bSave ? " Save" : " Open");
            auto row = [&](const std::string& suffix) {
                return Figure(name + suffix, seconds * 1e3, "ms", Time(seconds));
            };
            // Against the floor, against the floor of a save that keeps the previous file, and
            // against SQLite. A save's floor runs paired with it, and the save is held to the
            // median of the pairs' ratios.
            const Timing* floorRead = bSave ? nullptr : Find(timings, prefix + "/floor_read");
            const double floorSeconds = bSave       ? Counter(*ours, "floor_median_s")
                                        : floorRead ? RecordSeconds(*floorRead, false)
                                                    : 0;
            if (floorSeconds > 0) {
                Row r = row("");
                r.baseline = (bSave ? "write+fsync " : "read whole ") + Time(floorSeconds);
                const double ratio =
                    bSave ? Counter(*ours, "ratio_median") : seconds / floorSeconds;
                rows.push_back(Held(r, ratio, true, bSave ? kSaveOverFloor : kOpenOverFloor,
                                    Fixed(ratio, 2),
                                    c.bTargets ? (bSave ? "<= 1.3" : "<= 2") : ""));
            } else {
                rows.push_back(row(""));
            }
            if (const Timing* large =
                    bSave ? nullptr : Find(timings, prefix + "/floor_read_large")) {
                const double largeSeconds = RecordSeconds(*large, false);
                Row r = row(" vs read into huge pages");
                r.baseline = "read whole " + Time(largeSeconds);
                const double ratio = seconds / largeSeconds;
                rows.push_back(Held(r, ratio, true, 0, Fixed(ratio, 2), ""));
            }
            if (const Timing* safe = bSave ? Find(timings, prefix + "/safe_replace") : nullptr) {
                const double safeSeconds = RecordSeconds(*safe, true);
                Row r = row(" vs safe replace");
                r.baseline = "safe replace " + Time(safeSeconds);
                const double ratio = seconds / safeSeconds;
                rows.push_back(Held(r, ratio, true, 0, Fixed(ratio, 2), ""));
            }
            const char* sqliteName = bSave ? "/sqlite_write" : "/sqlite_read";
            if (const Timing* sqlite = Find(timings, prefix + sqliteName)) {
                Row r = row(" vs SQLite");
                const double sqliteSeconds = RecordSeconds(*sqlite, bSave);
                r.baseline = "SQLite " + Time(sqliteSeconds);
                const double ratio = sqliteSeconds / seconds;
                rows.push_back(Held(r, ratio, false, kFasterThanSqlite, Times(ratio),
                                    c.bTargets ? ">= 10x" : ""));
            }
        }
    }
    for (const bool bSave : {true, false}) {
        const char* what = bSave ? "/save" : "/open";
        const Timing* a = Find(timings, std::string("words/10k") + what);
        const Timing* b = Find(timings, std::string("words/1M") + what);
        if (a && b) {
            const double e =
                GrowthExponent(RecordSeconds(*a, bSave), 1e4, RecordSeconds(*b, bSave), 1e6);
            Row r =
                Figure(std::string("word file ") + (bSave ? "Save" : "Open") + " growth 10k -> 1M",
                       e, "exponent", "exponent " + Fixed(e, 2));
            rows.push_back(Held(r, e, true, kLinearExponent, "", "<= 1.15 (linear)"));
        }
    }
}

// Computation on files in the page cache, as the loads: processor time.
void AddHistoryRows(std::vector<Row>& rows, const Timings& timings) {
    const Timing* floor = Find(timings, "history/floor_read");
    const struct {
        const char* benchmark;
        const char* label;
        double limit;
        const char* target;
    } cases[] = {
        {"history/stats", "long history: typetutor stats", kStatsSeconds, "< 0.5 s"},
        {"history/start", "long history: lesson start", kLessonStartSeconds, "< 0.25 s"},
    };
    for (const auto& c : cases) {
        const Timing* ours = Find(timings, c.benchmark);
        if (!ours) {
            continue;
        }
        Row row = Figure(c.label, ours->cpuSeconds * 1e3, "ms", Time(ours->cpuSeconds));
        if (floor) {
            row.baseline = "read whole " + Time(floor->cpuSeconds);
            row.ratioValue = ours->cpuSeconds / floor->cpuSeconds;
            row.ratio = Fixed(row.ratioValue, 2);
        }
        row.target = c.target;
        row.met = ours->cpuSeconds < c.limit ? 1 : 0;
        rows.push_back(row);
    }
}

// Opening a book and showing its first part: processor time and peak memory by size, held to
// their targets at the largest, and their growth between sizes.
void AddBookRows(std::vector<Row>& rows, const Timings& timings,
                 const std::map<std::string, std::map<std::string, double>>& figures) {
    const Timing* previous = nullptr;
    double previousPeak = 0;
    const char* previousSize = "";
    for (const char* size : kBookSizes) {
        const std::string name = std::string("book/open/") + size;
        const Timing* t = Find(timings, name);
        const auto noted = figures.find(name);
        if (!t || noted == figures.end() || !noted->second.count("peak_bytes")) {
            continue;
        }
        const bool largest = size == std::string(kLargestBook);
        const double peak = noted->second.at("peak_bytes");
        Row time = Figure(std::string("book open + first part ") + size, t->cpuSeconds * 1e3, "ms",
                          Time(t->cpuSeconds));
        rows.push_back(largest ? Held(time, t->cpuSeconds, true, kBookOpenSeconds, "", "< 0.5 s")
                               : time);
        Row memory = Figure(std::string("book peak memory ") + size, peak / 1e6, "MB",
                            Number(peak / 1e6) + " MB");
        rows.push_back(largest ? Held(memory, peak, true, kBookPeakBytes, "", "< 100 MB") : memory);
        if (previous) {
            const double bytes = Counter(*t, "bytes");
            const double before = Counter(*previous, "bytes");
            const std::string between = std::string(previousSize) + " -> " + size;
            for (const bool bTime : {true, false}) {
                const double e =
                    bTime ? GrowthExponent(previous->cpuSeconds, before, t->cpuSeconds, bytes)
                          : GrowthExponent(previousPeak, before, peak, bytes);
                Row r = Figure(
                    std::string("book ") + (bTime ? "time" : "memory") + " growth " + between, e,
                    "exponent", "exponent " + Fixed(e, 2));
                rows.push_back(Held(r, e, true, kLinearExponent, "", "<= 1.15 (linear)"));
            }
        }
        previous = t;
        previousPeak = peak;
        previousSize = size;
    }
}

std::string Escape(const std::string& s) {
    std::string out;
    for (const char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += c;
        }
    }
    return out;
}

std::string JsonNumber(double v) {
    if (!std::isfinite(v)) {
        return "null";
    }
    std::ostringstream s;
    s << std::setprecision(6) << v;
    return s.str();
}

}  // namespace

std::map<std::string, double> ReadInstructions(const std::string& path) {
    std::map<std::string, double> counts;
    std::ifstream in(path);
    std::string mode;
    double value = 0;
    while (in >> mode >> value) {
        counts[mode] = value;
    }
    return counts;
}

std::vector<Row> BuildTable(const Timings& timings,
                            const std::map<std::string, std::map<std::string, double>>& figures,
                            const std::map<std::string, double>& instructions,
                            const std::map<std::string, double>& latency) {
    std::vector<Row> rows;
    AddLayoutRows(rows, timings, figures);
    AddKeystrokeRows(rows, timings, instructions);
    AddLatencyRows(rows, latency);
    AddRecordRows(rows, timings);
    AddHistoryRows(rows, timings);
    AddBookRows(rows, timings, figures);
    return rows;
}

std::string MachineDescription() {
    std::string model = "unknown CPU";
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("model name", 0) == 0) {
            const std::size_t colon = line.find(':');
            if (colon != std::string::npos) {
                model = line.substr(line.find_first_not_of(" \t", colon + 1));
            }
            break;
        }
    }
    return std::to_string(std::thread::hardware_concurrency()) + " processors, " + model;
}

void PrintTable(const std::vector<Row>& rows, std::ostream& out) {
    const char* headings[] = {"Case", "Figure", "Baseline", "Ratio", "Target", "Met"};
    auto cells = [](const Row& r) {
        return std::vector<std::string>{r.name,  r.figure, r.baseline,
                                        r.ratio, r.target, r.met < 0 ? "" : r.met ? "yes" : "NO"};
    };
    std::vector<std::size_t> widths(std::size(headings));
    for (std::size_t k = 0; k < widths.size(); ++k) {
        widths[k] = std::string(headings[k]).size();
    }
    for (const Row& r : rows) {
        const auto c = cells(r);
        for (std::size_t k = 0; k < c.size(); ++k) {
            widths[k] = std::max(widths[k], c[k].size());
        }
    }
    auto print = [&](const std::vector<std::string>& c) {
        out << "|";
        for (std::size_t k = 0; k < c.size(); ++k) {
            out << " " << std::left << std::setw(static_cast<int>(widths[k])) << c[k] << " |";
        }
        out << "\n";
    };
    print(std::vector<std::string>(std::begin(headings), std::end(headings)));
    std::vector<std::string> rule;
    for (const std::size_t w : widths) {
        rule.push_back(std::string(w, '-'));
    }
    print(rule);
    for (const Row& r : rows) {
        print(cells(r));
    }
}

void WriteJson(const std::vector<Row>& rows, const Timings& timings, std::ostream& out) {
    out << "{\n  \"machine\": \"" << Escape(MachineDescription()) << "\",\n  \"rows\": [\n";
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const Row& r = rows[k];
        out << "    {\"case\": \"" << Escape(r.name) << "\", \"value\": " << JsonNumber(r.value)
            << ", \"unit\": \"" << Escape(r.unit) << "\", \"figure\": \"" << Escape(r.figure)
            << "\", \"baseline\": \"" << Escape(r.baseline)
            << "\", \"ratio\": " << (r.ratio.empty() ? "null" : JsonNumber(r.ratioValue))
            << ", \"target\": \"" << Escape(r.target) << "\", \"met\": "
            << (r.met < 0 ? "null"
                : r.met   ? "true"
                          : "false")
            << "}" << (k + 1 < rows.size() ? "," : "") << "\n";
    }
    out << "  ],\n  \"benchmarks\": {\n";
    std::size_t k = 0;
    for (const auto& [name, t] : timings) {
        out << "    \"" << Escape(name)
            << "\": {\"seconds_per_iteration\": " << JsonNumber(t.seconds)
            << ", \"cpu_seconds_per_iteration\": " << JsonNumber(t.cpuSeconds)
            << ", \"iterations\": " << t.iterations;
        for (const auto& [counter, value] : t.counters) {
            out << ", \"" << Escape(counter) << "\": " << JsonNumber(value);
        }
        out << "}" << (++k < timings.size() ? "," : "") << "\n";
    }
    out << "  }\n}\n";
}
