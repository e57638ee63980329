#include "Interactive.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>

#include "Commands.h"
#include "Encoding.h"
#include "History.h"
#include "Lesson.h"
#include "Practice.h"
#include "Profile.h"
#include "Summary.h"
#include "TerminalScreen.h"
#include "Tutor.h"

namespace {

constexpr int kExitRefused = 2;
constexpr int kExitHistory = 1;
constexpr int kKeyWaitMs = 250;
constexpr int kWeakest = 5;
constexpr const char* kMenuKeys = "123456789abcdefghijklmnopqrstuvwxyz";

long long NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

Key WaitForKey() {
    for (;;) {
        const Key key = ReadKey(-1);
        if (key.kind != KeyKind::kNone && key.kind != KeyKind::kResize) {
            return key;
        }
    }
}

// The first line of a lesson file, as a preview in the menu.
std::string Preview(const std::string& path, size_t width) {
    const LessonText text = LoadLessonFile(path);
    std::string first = text.ok ? text.text.substr(0, text.text.find('\n')) : "";
    if (first.size() > width) {
        first = first.substr(0, width > 3 ? width - 3 : 0) + "...";
    }
    return first;
}

// Each line of text from row on, wrapped at a blank to the screen's width; the row after the
// last.
int PutLines(TerminalScreen& screen, int row, const std::string& text) {
    const size_t width = static_cast<size_t>(std::max(screen.Cols() - 4, 20));
    for (size_t start = 0; start < text.size(); ++row) {
        size_t end = std::min(text.find('\n', start), text.size());
        size_t next = end + 1;
        if (end - start > width) {
            const size_t blank = text.rfind(' ', start + width);
            end = blank != std::string::npos && blank > start ? blank : start + width;
            next = end == blank ? end + 1 : end;
        }
        screen.Put(2, row, text.substr(start, end - start), CellStyle::kNormal);
        start = next;
    }
    return row;
}

// A bundled lesson chosen with a key; empty when the learner leaves.
std::string ChooseFromMenu(TerminalScreen& screen, const std::string& profile) {
    const std::vector<BundledLesson> lessons = ListTypeableLessons();
    const size_t shown = std::min(lessons.size(), std::strlen(kMenuKeys));
    for (;;) {
        screen.Clear();
        screen.Put(2, 0,
                   "typetutor - choose a lesson" +
                       (profile == Profile::kDefaultName ? "" : " - profile " + profile),
                   CellStyle::kHeading);
        if (lessons.empty()) {
            screen.Put(2, 2, "No bundled lessons found in " + LessonDirectory(),
                       CellStyle::kNormal);
        }
        for (size_t i = 0; i < shown; ++i) {
            const int row = static_cast<int>(i) + 2;
            screen.Put(4, row, std::string(1, kMenuKeys[i]) + "  " + lessons[i].name,
                       CellStyle::kNormal);
            const int previewColumn = 26;
            const int room = screen.Cols() - previewColumn - 1;
            if (room > 10) {
                screen.Put(previewColumn, row,
                           SingleByteToUtf8(Preview(lessons[i].path, static_cast<size_t>(room))),
                           CellStyle::kTyped);
            }
        }
        screen.Put(2, static_cast<int>(shown) + 3, "Press a lesson's key, or Esc to leave.",
                   CellStyle::kNormal);
        screen.Show();
        const Key key = ReadKey(-1);
        if (key.kind == KeyKind::kQuit || key.kind == KeyKind::kEscape) {
            return {};
        }
        if (key.kind == KeyKind::kChar && key.ch != 0) {
            const char* at = std::strchr(kMenuKeys, key.ch);
            if (at && static_cast<size_t>(at - kMenuKeys) < shown) {
                return lessons[static_cast<size_t>(at - kMenuKeys)].name;
            }
        }
    }
}

// Lines to read before the lesson, until a key.
void ShowNotice(TerminalScreen& screen, const std::string& notice) {
    screen.Clear();
    const int row = PutLines(screen, 1, notice);
    screen.Put(2, row + 1, "Press any key.", CellStyle::kHeading);
    screen.Show();
    WaitForKey();
}

bool AskKeep(TerminalScreen& screen) {
    const int row = screen.Rows() - 1;
    screen.ClearCells(0, row, -1);
    screen.Put(2, row, "Leave the lesson. Keep what you typed in your history? (y/n)",
               CellStyle::kHeading);
    screen.Show();
    for (;;) {
        const Key key = WaitForKey();
        if (key.kind == KeyKind::kChar && (key.ch == 'y' || key.ch == 'Y')) {
            return true;
        }
        if ((key.kind == KeyKind::kChar && (key.ch == 'n' || key.ch == 'N')) ||
            key.kind == KeyKind::kQuit || key.kind == KeyKind::kEscape) {
            return false;
        }
    }
}

// Saves the history; while that fails, says so and offers to try again. The records stay in
// memory until the learner leaves.
bool SaveWithRetry(TerminalScreen& screen, History& history, std::string* message) {
    for (;;) {
        message->clear();
        if (history.Save(message)) {
            return true;
        }
        screen.Clear();
        screen.Put(2, 0, "The history could not be saved", CellStyle::kHeading);
        const int row = PutLines(screen, 2, *message);
        screen.Put(2, row + 1, "Press r to try again, any other key to leave.", CellStyle::kNormal);
        screen.Show();
        const Key key = WaitForKey();
        if (!(key.kind == KeyKind::kChar && (key.ch == 'r' || key.ch == 'R'))) {
            return false;
        }
    }
}

// The sections side by side, as many as the screen's width holds, in bands under each other;
// the row after the last.
int PutSections(TerminalScreen& screen, int row, const std::vector<SummarySection>& sections) {
    constexpr int kLeft = 4;
    constexpr int kGap = 3;
    int column = kLeft;
    int bandRows = 0;
    for (const SummarySection& section : sections) {
        size_t width = Utf8Length(section.heading);
        for (const std::string& line : section.rows) {
            width = std::max(width, Utf8Length(line));
        }
        if (column > kLeft && column + static_cast<int>(width) > screen.Cols()) {
            row += bandRows + 1;
            column = kLeft;
            bandRows = 0;
        }
        screen.Put(column, row, section.heading, CellStyle::kHeading);
        for (size_t i = 0; i < section.rows.size(); ++i) {
            screen.Put(column, row + 1 + static_cast<int>(i), section.rows[i], CellStyle::kNormal);
        }
        bandRows = std::max(bandRows, 1 + static_cast<int>(section.rows.size()));
        column += static_cast<int>(width) + kGap;
    }
    return row + bandRows;
}

void ShowSummary(TerminalScreen& screen, const LessonSummary& summary, const std::string& title,
                 const std::string& saved) {
    screen.Clear();
    screen.Put(2, 0, title + " - lesson complete", CellStyle::kHeading);
    int row = 2;
    for (const std::string& line : summary.figures) {
        screen.Put(4, row++, line, CellStyle::kNormal);
    }
    row = PutSections(screen, row + 1, summary.sections);
    row = PutLines(screen, row + 1, saved);
    screen.Put(2, row + 1, "Press any key.", CellStyle::kNormal);
    screen.Show();
    WaitForKey();
}

}  // namespace

int RunInteractive(const Options& options, const Profile& profile) {
    History history(options.dataDir);
    if (!OpenHistory(history, std::cerr)) {
        return kExitHistory;
    }
    std::string error;
    Lesson lesson;
    std::optional<BookPart> book;
    // A lesson named on the command line is refused before the terminal is taken over.
    if (options.command == Command::kLesson &&
        !ChooseNamedLesson(options, &lesson, &book, &error)) {
        std::cerr << "typetutor: " << error << "\n";
        return kExitRefused;
    }
    // Practice: a lesson from the history, or the first bundled one while it is empty.
    std::string focus;
    if (options.command == Command::kPractice) {
        const Practice practice =
            MakePractice(history, LoadWordList(profile), PracticeSeed(options), options.focus);
        if (practice.lesson.text.empty()) {
            std::cerr << "typetutor: " << practice.message << "\n";
            return kExitRefused;
        }
        lesson = practice.lesson;
        focus = practice.fromHistory ? SingleByteToUtf8(practice.focus) : practice.message;
    }
    StartTerminal();
    TerminalScreen screen;
    history.Lock().SetWaitNotice([&screen](const std::string& line) {
        const int row = screen.Rows() - 1;
        screen.ClearCells(0, row, -1);
        screen.Put(2, row, line, CellStyle::kHeading);
        screen.Show();
    });
    if (options.command == Command::kMenu) {
        const std::string name = ChooseFromMenu(screen, options.profile);
        if (name.empty()) {
            StopTerminal();
            return 0;
        }
        if (!ChooseLesson(name, &lesson, &error)) {
            StopTerminal();
            std::cerr << "typetutor: " << error << "\n";
            return kExitRefused;
        }
    }
    if (book && !book->notice.empty()) {
        ShowNotice(screen, book->notice);
    }
    Session session;
    if (!session.Create(lesson.text, options.session, &error)) {
        StopTerminal();
        std::cerr << "typetutor: " << error << "\n";
        return kExitRefused;
    }
    const std::string title = LessonTitle(lesson, options) + (focus.empty() ? "" : "  " + focus);
    Tutor tutor(session, screen, title, options.pauseAfterSeconds * 1000);
    tutor.Open();
    history.Lessons().AddNewTrack(static_cast<unsigned char>(lesson.id),
                                  static_cast<unsigned char>(options.session.method), lesson.tag);
    history.RememberLessonName(lesson.tag, lesson.name);

    bool quit = false;
    while (!tutor.IsFinished()) {
        const Key key = ReadKey(kKeyWaitMs);
        const long long now = NowMs();
        if (key.kind == KeyKind::kNone) {
            tutor.OnIdle(now);
            continue;
        }
        if (key.kind == KeyKind::kQuit) {
            quit = true;
            break;
        }
        tutor.OnKey(key, now);
    }

    const bool keep = tutor.IsFinished() || (quit && session.IsStarted() && AskKeep(screen));
    std::string message;
    bool saved = true;
    if (keep) {
        session.Record(history.Lessons(), history.Words());
        // Taken before the save, which may merge other programs' lessons in after this one.
        const CLessonTrack record = *history.Lessons().GetLastTrack();
        const LoggedLesson keys = session.KeyLogEntry(record);
        saved = SaveWithRetry(screen, history, &message) && history.LogKeys(keys, &message);
        if (saved) {
            message = "Saved in " + history.Directory() + ".\n";
        }
        if (book && tutor.IsFinished()) {
            std::string place;
            saved = FinishBookPart(history, *book, session.Figures(), &place) && saved;
            message += place + "\n";
        }
        if (tutor.IsFinished()) {
            // Two bands of sections under the figures, as many rows each as the screen holds.
            const int rows = std::clamp((screen.Rows() - 16) / 2, 2, kWeakest);
            CWordTrackFile words;
            session.Typed()->AddWordTracks(&words);
            // Unread (or unsaved), the pairs are this lesson's alone.
            KeyLog keyLog;
            std::string unread;
            if (saved && !history.LoadKeys(&keyLog, &unread)) {
                keyLog.lessons.clear();
            }
            const FinishedLesson finished{session.Figures(), &record, &words, &keys};
            ShowSummary(screen, SummarizeLesson(finished, history.Lessons(), keyLog, rows), title,
                        message);
        }
    }
    StopTerminal();
    if (!keep) {
        std::cout << "The lesson was not kept.\n";
        return 0;
    }
    std::cout << FormatFigures(session.Figures());
    if (!saved) {
        std::cerr << "typetutor: " << message;
        return kExitHistory;
    }
    std::cout << message;
    return 0;
}
