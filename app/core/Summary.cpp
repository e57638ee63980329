#include "Summary.h"

#include <algorithm>
#include <cstdio>

#include "Encoding.h"
#include "Stats.h"

namespace {

std::vector<std::string> FigureLines(const SessionFigures& f) {
    char line[160];
    std::vector<std::string> lines;
    (void)std::snprintf(line, sizeof line, "Time        %d:%02d (paused %d s)",
                        f.activeSeconds / 60, f.activeSeconds % 60, f.pausedSeconds);
    lines.emplace_back(line);
    (void)std::snprintf(line, sizeof line, "Speed       %d cpm, %d wpm (top %d cpm, %d wpm)",
                        f.speed, f.wordSpeed, f.topSpeed, f.topWordSpeed);
    lines.emplace_back(line);
    (void)std::snprintf(line, sizeof line, "Keystrokes  %d, %d wrong: %d%% accurate", f.keys,
                        f.errors, f.accuracy);
    lines.emplace_back(line);
    (void)std::snprintf(line, sizeof line, "Words       %d, %d wrong: %d%% accurate", f.words,
                        f.wrongWords, f.wordAccuracy);
    lines.emplace_back(line);
    const std::string consistency = f.consistency >= 0 ? std::to_string(f.consistency) + "%" : "-";
    (void)std::snprintf(line, sizeof line, "Net speed   %d wpm; consistency %s", f.netWordSpeed,
                        consistency.c_str());
    lines.emplace_back(line);
    return lines;
}

// The newest logged lessons the pairs are measured over, the finished one the last of them.
KeyLog RecentKeys(const KeyLog& log, const FinishedLesson& lesson) {
    KeyLog recent;
    const size_t n = log.lessons.size();
    recent.lessons.assign(
        log.lessons.begin() + static_cast<std::ptrdiff_t>(n > kPairLessons ? n - kPairLessons : 0),
        log.lessons.end());
    const bool logged = !recent.lessons.empty() && recent.lessons.back().Matches(*lesson.record) &&
                        recent.lessons.back().keys.size() == lesson.keys->keys.size();
    if (!logged) {
        if (recent.lessons.size() == kPairLessons) {
            recent.lessons.erase(recent.lessons.begin());
        }
        recent.lessons.push_back(*lesson.keys);
    }
    return recent;
}

SummarySection PairSection(const FinishedLesson& lesson, const KeyLog& keyLog, int nTop) {
    SummarySection section;
    if (!lesson.keys) {
        return section;
    }
    const KeyLog recent = RecentKeys(keyLog, lesson);
    section.heading =
        recent.lessons.size() == 1
            ? "Slowest letter pairs, this lesson"
            : "Slowest letter pairs, last " + std::to_string(recent.lessons.size()) + " lessons";
    char line[64];
    for (const PairRow& p : SlowestPairs(recent, nTop)) {
        (void)std::snprintf(line, sizeof line, " %5d ms", p.ms);
        section.rows.push_back(Padded(p.pair, 6) + line);
    }
    return section;
}

SummarySection KeyChangeSection(const CLessonTrackFile& lessons, int nTop) {
    SummarySection section{"Weakest keys against a week ago", {}};
    char line[64];
    for (const KeyChangeRow& k : KeyChanges(lessons, nTop)) {
        (void)std::snprintf(line, sizeof line, " %3d%% %4d ms", k.accuracy, k.msPerKey);
        std::string row = Padded(k.key, 6) + line;
        if (k.hasBefore) {
            (void)std::snprintf(line, sizeof line, "  was %3d%% %4d ms", k.accuracyBefore,
                                k.msPerKeyBefore);
            row += line;
        } else {
            row += "  new this week";
        }
        section.rows.push_back(row);
    }
    return section;
}

}  // namespace

LessonSummary SummarizeLesson(const FinishedLesson& lesson, const CLessonTrackFile& lessons,
                              const KeyLog& keyLog, int nTop) {
    LessonSummary summary;
    summary.figures = FigureLines(lesson.figures);
    if (!lesson.record) {
        return summary;
    }
    std::vector<CharRow> slowest;
    std::vector<CharRow> leastAccurate;
    WeakestCharacters(*lesson.record, nTop, &slowest, &leastAccurate);
    SummarySection slow{"Slowest keys", {}};
    SummarySection inaccurate{"Least accurate keys", {}};
    char line[64];
    for (const CharRow& row : slowest) {
        (void)std::snprintf(line, sizeof line, " %5d ms", row.msPerKey);
        slow.rows.push_back(Padded(row.character, 6) + line);
    }
    for (const CharRow& row : leastAccurate) {
        (void)std::snprintf(line, sizeof line, " %4d%% of %d", row.accuracy, row.keys);
        inaccurate.rows.push_back(Padded(row.character, 6) + line);
    }
    SummarySection mistyped{"Mistyped words", {}};
    if (lesson.words) {
        std::vector<WordRow> words;
        std::vector<WordRow> slowWords;
        WeakestWords(*lesson.words, nTop, &words, &slowWords);
        for (const WordRow& row : words) {
            mistyped.rows.push_back(SingleByteToUtf8(row.word));
        }
    }
    summary.sections = {slow, inaccurate, mistyped, PairSection(lesson, keyLog, nTop),
                        KeyChangeSection(lessons, nTop)};
    // A section with nothing in it says so.
    std::erase_if(summary.sections, [](const SummarySection& s) { return s.heading.empty(); });
    for (SummarySection& s : summary.sections) {
        if (s.rows.empty()) {
            s.rows.push_back("none");
        }
    }
    return summary;
}
