// The interactive lesson in the terminal.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

#include "Commands.h"
#include "History.h"
#include "Lesson.h"
#include "Stats.h"
#include "TerminalDC.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kKeyWaitMs = 250;
constexpr const char* kHelp =
    "Esc pause/resume   Backspace take back   Ctrl-C quit   Enter at a line end";

std::string StatusLine(Session& session) {
    const SessionFigures f = session.Figures();
    char line[256];
    std::snprintf(line, sizeof line,
                  " %d:%02d  speed %d cpm / %d wpm  (now %d/%d, top %d/%d)  accuracy %d%%  "
                  "errors %d %s",
                  f.activeSeconds / 60, f.activeSeconds % 60, f.speed, f.wordSpeed, f.curSpeed,
                  f.curWordSpeed, f.topSpeed, f.topWordSpeed, f.accuracy, f.errors,
                  session.IsPaused() ? " [paused - any key resumes]" : "");
    return line;
}

void DrawAll(Session& session, TerminalDC& dc, const std::string& title) {
    ClearScreen();
    WriteAt(2, 0, title.c_str(), true);
    WriteAt(0, 1, StatusLine(session).c_str(), false, true);
    session.DrawArticles(&dc);
    int cols, rows;
    ScreenSize(&cols, &rows);
    WriteAt(2, rows - 1, kHelp);
    RECT caret = session.Caret(&dc);
    PlaceCursor(caret.left, caret.top);
    ShowScreen();
}

void DrawAfterKey(Session& session, TerminalDC& dc) {
    // Clear the current typed token's row from its left edge, then draw it anew.
    TypeArticle* typed = session.Typed();
    RECT rc{};
    typed->GetTokenDrawRect(&rc, session.CurrentToken());
    const RECT& paper = session.TypedPaper();
    ClearCells(rc.left, rc.top, paper.right - rc.left);
    session.RedrawCurrent(&dc);
    ClearCells(0, 1, 1000);
    WriteAt(0, 1, StatusLine(session).c_str(), false, true);
    RECT caret = session.Caret(&dc);
    PlaceCursor(caret.left, caret.top);
    ShowScreen();
}

// A lesson from the bundled ones, chosen with the arrow-free keys 1-9 / a-z; empty on quit.
std::string ChooseFromMenu() {
    const std::vector<BundledLesson> lessons = ListBundledLessons();
    if (lessons.empty()) {
        return {};
    }
    ClearScreen();
    WriteAt(2, 0, "typetutor - choose a lesson", true);
    const char* keys = "123456789abcdefghijklmnopqrstuvwxyz";
    for (size_t i = 0; i < lessons.size() && i < 35; ++i) {
        std::string entry = std::string(1, keys[i]) + "  " + lessons[i].name;
        WriteAt(4, static_cast<int>(i) + 2, entry.c_str());
    }
    WriteAt(2, static_cast<int>(std::min<size_t>(lessons.size(), 35)) + 3,
            "Press a key to start, Ctrl-C to leave.");
    ShowScreen();
    for (;;) {
        Key key = ReadKey(-1);
        if (key.kind == KeyKind::kQuit || key.kind == KeyKind::kEscape) {
            return {};
        }
        if (key.kind == KeyKind::kChar) {
            const char* at = std::strchr(keys, key.ch);
            if (at && key.ch && static_cast<size_t>(at - keys) < lessons.size()) {
                return lessons[static_cast<size_t>(at - keys)].name;
            }
        }
    }
}

bool AskKeep() {
    int cols, rows;
    ScreenSize(&cols, &rows);
    ClearCells(0, rows - 1, cols);
    WriteAt(2, rows - 1, "Leave the lesson. Keep it in your history? (y/n)", true);
    ShowScreen();
    for (;;) {
        Key key = ReadKey(-1);
        if (key.kind == KeyKind::kChar && (key.ch == 'y' || key.ch == 'Y')) {
            return true;
        }
        if ((key.kind == KeyKind::kChar && (key.ch == 'n' || key.ch == 'N')) ||
            key.kind == KeyKind::kQuit || key.kind == KeyKind::kEscape) {
            return false;
        }
    }
}

void ShowSummary(Session& session, const CLessonTrack* track, const std::string& title) {
    ClearScreen();
    const SessionFigures f = session.Figures();
    WriteAt(2, 0, (title + " - lesson complete").c_str(), true);
    int y = 2;
    char line[160];
    std::snprintf(line, sizeof line, "Time        %d:%02d (paused %d s)", f.activeSeconds / 60,
                  f.activeSeconds % 60, f.pausedSeconds);
    WriteAt(4, y++, line);
    std::snprintf(line, sizeof line, "Speed       %d cpm, %d wpm (top %d cpm, %d wpm)", f.speed,
                  f.wordSpeed, f.topSpeed, f.topWordSpeed);
    WriteAt(4, y++, line);
    std::snprintf(line, sizeof line, "Keystrokes  %d, %d wrong: %d%% accurate", f.keys, f.errors,
                  f.accuracy);
    WriteAt(4, y++, line);
    std::snprintf(line, sizeof line, "Words       %d, %d wrong: %d%% accurate", f.words,
                  f.wrongWords, f.wordAccuracy);
    WriteAt(4, y++, line);
    if (track) {
        std::vector<CharRow> slowest, leastAccurate;
        WeakestCharacters(*track, 5, &slowest, &leastAccurate);
        y++;
        WriteAt(4, y++, "Slowest characters", true);
        for (const CharRow& c : slowest) {
            std::snprintf(line, sizeof line, "  %-6s %5d ms per key", c.character.c_str(),
                          c.msPerKey);
            WriteAt(4, y++, line);
        }
        y++;
        WriteAt(4, y++, "Least accurate characters", true);
        for (const CharRow& c : leastAccurate) {
            std::snprintf(line, sizeof line, "  %-6s %4d%% of %d keys", c.character.c_str(),
                          c.accuracy, c.keys);
            WriteAt(4, y++, line);
        }
    }
    WriteAt(2, y + 1, "Press any key.");
    ShowScreen();
    ReadKey(-1);
}

}  // namespace

int RunInteractive(const Options& options) {
    std::error_code ec;
    std::filesystem::create_directories(options.dataDir, ec);
    History history(options.dataDir);
    LogFileSink log(history.LogPath());
    std::string error;
    if (!history.Open(&error)) {
        std::cerr << "typetutor: " << error << "\n";
        return 1;
    }

    std::string name = options.lesson;
    StartTerminal();
    if (name.empty()) {
        name = ChooseFromMenu();
        if (name.empty()) {
            StopTerminal();
            return 0;
        }
    }
    ChosenLesson lesson;
    Session session;
    if (!ChooseLesson(name, &lesson, &error) ||
        !session.Create(lesson.text, options.session, &error)) {
        StopTerminal();
        std::cerr << "typetutor: " << error << "\n";
        return 2;
    }

    TerminalDC dc;
    int cols, rows;
    ScreenSize(&cols, &rows);
    session.Layout(&dc, cols, rows);
    history.Lessons().AddNewTrack(static_cast<unsigned char>(lesson.id),
                                  static_cast<unsigned char>(options.session.method), lesson.tag);
    const std::string title = "typetutor - " + lesson.name;
    DrawAll(session, dc, title);

    bool quit = false;
    Clock::time_point lastKey = Clock::now();
    int shownSecond = -1;
    while (!session.IsFinished()) {
        Key key = ReadKey(kKeyWaitMs);
        if (key.kind == KeyKind::kNone) {
            const auto idle =
                std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - lastKey);
            if (session.IsStarted() && !session.IsPaused() &&
                idle.count() >= options.pauseAfterSeconds) {
                session.Pause();
                DrawAll(session, dc, title);
            }
            const int second = session.Figures().activeSeconds;
            if (second != shownSecond) {
                shownSecond = second;
                ClearCells(0, 1, cols);
                WriteAt(0, 1, StatusLine(session).c_str(), false, true);
                ShowScreen();
            }
            continue;
        }
        lastKey = Clock::now();
        if (key.kind == KeyKind::kQuit) {
            quit = true;
            break;
        }
        if (key.kind == KeyKind::kResize) {
            ScreenSize(&cols, &rows);
            session.Layout(&dc, cols, rows);
            DrawAll(session, dc, title);
            continue;
        }
        if (key.kind == KeyKind::kEscape) {
            session.TogglePause();
            DrawAll(session, dc, title);
            continue;
        }
        if (session.IsPaused()) {
            session.Resume();  // any key resumes; the key itself counts too
        }
        const int tokenBefore = session.CurrentToken();
        if (key.kind == KeyKind::kBackspace) {
            session.Backspace();
        } else if (key.kind == KeyKind::kEnter) {
            session.Type('\n');
        } else if (key.kind == KeyKind::kChar && key.ch != 0) {
            session.Type(key.ch);
        } else {
            continue;
        }
        const bool scrolled = session.KeepCurrentVisible(&dc);
        if (scrolled || session.CurrentToken() != tokenBefore || key.kind == KeyKind::kBackspace ||
            options.session.method == tdNone) {
            DrawAll(session, dc, title);
        } else {
            DrawAfterKey(session, dc);
        }
    }

    bool keep = session.IsFinished();
    if (quit && session.IsStarted()) {
        keep = AskKeep();
    }
    if (keep) {
        session.Record(history.Lessons(), history.Words());
        if (session.IsFinished()) {
            ShowSummary(session, history.Lessons().GetLastTrack(), title);
        }
    }
    StopTerminal();
    if (!keep) {
        std::cout << "Lesson not kept.\n";
        return 0;
    }
    std::string message;
    const bool saved = history.Save(&message);
    std::cout << FormatFigures(session.Figures());
    if (!saved) {
        std::cerr << "typetutor: " << message;
        return 1;
    }
    std::cout << "Saved to " << history.Directory() << "\n";
    return 0;
}
