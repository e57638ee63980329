#include "Commands.h"

#include <cstdio>
#include <fstream>
#include <ostream>
#include <sstream>

#include "CellScreen.h"
#include "History.h"
#include "Lesson.h"
#include "Replay.h"
#include "Stats.h"
#include "platform/Clock.h"

namespace {

constexpr int kExitRefused = 2;
constexpr int kExitHistory = 1;

bool ReadFile(const std::string& path, std::string* content) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    *content = text.str();
    return true;
}

}  // namespace

std::string FormatFigures(const SessionFigures& f) {
    std::ostringstream out;
    out << "active seconds: " << f.activeSeconds << "\n"
        << "paused seconds: " << f.pausedSeconds << "\n"
        << "keystrokes: " << f.keys << "\n"
        << "errors: " << f.errors << "\n"
        << "accuracy: " << f.accuracy << "\n"
        << "speed cpm: " << f.speed << "\n"
        << "current speed cpm: " << f.curSpeed << "\n"
        << "top speed cpm: " << f.topSpeed << "\n"
        << "speed wpm: " << f.wordSpeed << "\n"
        << "current speed wpm: " << f.curWordSpeed << "\n"
        << "top speed wpm: " << f.topWordSpeed << "\n"
        << "words: " << f.words << "\n"
        << "wrong words: " << f.wrongWords << "\n"
        << "word accuracy: " << f.wordAccuracy << "\n";
    return out.str();
}

bool OpenHistory(History& history, std::ostream& err) {
    history.Lock().SetWaitNotice(
        [&err](const std::string& line) { err << "typetutor: " << line << std::endl; });
    std::string error;
    if (!history.Open(&error)) {
        err << "typetutor: " << error << "\n";
        return false;
    }
    return true;
}

std::string LessonTitle(const std::string& lesson, const SessionOptions& options) {
    return "typetutor - " + lesson + " (" + MethodName(options.method) + ")";
}

bool LoadReplayInput(const Options& options, ReplayInput* input, std::ostream& err) {
    std::string error;
    if (!ChooseLesson(options.lesson, &input->lesson, &error)) {
        err << "typetutor: " << error << "\n";
        return false;
    }
    std::string content;
    if (!ReadFile(options.replayFile, &content)) {
        err << "typetutor: " << options.replayFile << ": cannot be read\n";
        return false;
    }
    if (!ParseReplay(content, &input->events, &error)) {
        err << "typetutor: " << options.replayFile << ": " << error << "\n";
        return false;
    }
    if (options.clockStart.empty()) {
        GetLocalTime(&input->start);
        input->start.wMilliseconds = 0;
    } else if (!ParseClockStart(options.clockStart, &input->start)) {
        err << "typetutor: --clock-start takes \"YYYY-MM-DD HH:MM:SS\"\n";
        return false;
    }
    return true;
}

void PlayReplay(const ReplayInput& input, const Options& options, Session& session,
                GridScreen& screen, ScopedFakeClock& clock) {
    Tutor tutor(session, screen, LessonTitle(input.lesson.name, options.session),
                options.pauseAfterSeconds * 1000);
    tutor.Open();
    long long now = 0;
    for (const ReplayEvent& e : input.events) {
        // The pause that idle time brings comes at its own moment, before the next key.
        const long long due = tutor.IdlePauseDue();
        if (due >= 0 && due <= e.ms) {
            clock.Advance(due - now);
            now = due;
            tutor.OnIdle(now);
        }
        clock.Advance(e.ms - now);
        now = e.ms;
        if (e.key.kind == KeyKind::kResize) {
            screen.Resize(e.cols, e.rows);
        }
        tutor.OnKey(e.key, now);
        if (tutor.IsFinished()) {
            break;
        }
    }
}

int RunReplay(const Options& options, std::ostream& out, std::ostream& err) {
    ReplayInput input;
    if (!LoadReplayInput(options, &input, err)) {
        return kExitRefused;
    }
    ScopedFakeClock clock(input.start);
    const Lesson& lesson = input.lesson;

    History history(options.dataDir);
    if (!OpenHistory(history, err)) {
        return kExitHistory;
    }
    std::string error;
    Session session;
    if (!session.Create(lesson.text, options.session, &error)) {
        err << "typetutor: " << error << "\n";
        return kExitRefused;
    }
    history.Lessons().AddNewTrack(static_cast<unsigned char>(lesson.id),
                                  static_cast<unsigned char>(options.session.method), lesson.tag);
    history.RememberLessonName(lesson.tag, lesson.name);
    GridScreen screen(options.replayCols, options.replayRows);
    PlayReplay(input, options, session, screen, clock);
    session.Record(history.Lessons(), history.Words());
    out << "lesson: " << lesson.name << "\n"
        << "finished: " << (session.IsFinished() ? "yes" : "no") << "\n"
        << FormatFigures(session.Figures());
    if (options.printScreen) {
        out << "screen:\n" << screen.Text();
    }
    std::string message;
    if (!history.Save(&message)) {
        err << "typetutor: " << message;
        return kExitHistory;
    }
    return 0;
}

int RunStats(const Options& options, std::ostream& out, std::ostream& err) {
    History history(options.dataDir);
    if (!OpenHistory(history, err)) {
        return kExitHistory;
    }
    const HistoryStats stats =
        ComputeStats(history.Lessons(), history.Words(), history.LessonNames());
    out << (options.json ? FormatStatsJson(stats) : FormatStatsText(stats));
    return 0;
}
