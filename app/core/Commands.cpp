#include "Commands.h"

#include <cstdio>
#include <fstream>
#include <ostream>
#include <sstream>

#include "CellScreen.h"
#include "Encoding.h"
#include "History.h"
#include "KeyLog.h"
#include "Lesson.h"
#include "Practice.h"
#include "Profile.h"
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
        << "word accuracy: " << f.wordAccuracy << "\n"
        << "net speed wpm: " << f.netWordSpeed << "\n"
        << "consistency: " << f.consistency << "\n";
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

std::string LessonTitle(const Lesson& lesson, const Options& options) {
    return "typetutor - " + lesson.name + " (" + MethodName(options.session.method) + ")" +
           (lesson.caption.empty() ? "" : " - " + lesson.caption) +
           (options.profile == Profile::kDefaultName ? "" : " - profile " + options.profile);
}

bool LoadReplayInput(const Options& options, ReplayInput* input, std::ostream& err) {
    std::string error;
    if (!ChooseNamedLesson(options, &input->lesson, &input->book, &error)) {
        err << "typetutor: " << error << "\n";
        return false;
    }
    if (input->book) {
        err << input->book->notice;
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
    Tutor tutor(session, screen, LessonTitle(input.lesson, options),
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
        << (lesson.caption.empty() ? "" : "caption: " + lesson.caption + "\n")
        << "finished: " << (session.IsFinished() ? "yes" : "no") << "\n"
        << FormatFigures(session.Figures());
    if (options.printScreen) {
        out << "screen:\n" << screen.Text();
    }
    // Taken before the save, which may merge other programs' lessons in after this one.
    const LoggedLesson keys = session.KeyLogEntry(*history.Lessons().GetLastTrack());
    std::string message;
    const bool saved = history.Save(&message) && history.LogKeys(keys, &message);
    if (!saved) {
        err << "typetutor: " << message;
    }
    if (input.book && session.IsFinished()) {
        const bool placeSaved = FinishBookPart(history, *input.book, session.Figures(), &message);
        (placeSaved ? out : err) << (placeSaved ? "" : "typetutor: ") << message << "\n";
        return saved && placeSaved ? 0 : kExitHistory;
    }
    return saved ? 0 : kExitHistory;
}

int RunStats(const Options& options, std::ostream& out, std::ostream& err) {
    History history(options.dataDir);
    if (!OpenHistory(history, err)) {
        return kExitHistory;
    }
    KeyLog keyLog;
    std::string error;
    if (!history.LoadKeys(&keyLog, &error)) {
        err << "typetutor: " << error << "\n";
        return kExitHistory;
    }
    HistoryStats stats =
        ComputeStats(history.Lessons(), history.Words(), history.LessonNames(), 5, &keyLog);
    stats.books = LoadBookProgress(options.dataDir);
    out << (options.json ? FormatStatsJson(stats) : FormatStatsText(stats));
    return 0;
}

unsigned PracticeSeed(const Options& options) {
    if (options.seed >= 0) {
        return static_cast<unsigned>(options.seed);
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    return static_cast<unsigned>(CTime(now).GetTime()) * 1000u + now.wMilliseconds;
}

int RunPractice(const Options& options, const Profile& profile, std::ostream& out,
                std::ostream& err) {
    History history(options.dataDir);
    if (!OpenHistory(history, err)) {
        return kExitHistory;
    }
    const Practice practice =
        MakePractice(history, LoadWordList(profile), PracticeSeed(options), options.focus);
    if (!practice.fromHistory) {
        out << practice.message << "\n";
        return practice.lesson.text.empty() ? kExitRefused : 0;
    }
    out << SingleByteToUtf8(practice.focus) << "\n\n"
        << SingleByteToUtf8(practice.lesson.text) << "\n";
    return 0;
}

bool LoadLoggedLesson(const Options& options, ReplayInput* input, Options* replay,
                      std::ostream& err) {
    History history(options.dataDir);
    if (!OpenHistory(history, err)) {
        return false;
    }
    std::string error;
    KeyLog log;
    if (!history.LoadKeys(&log, &error)) {
        err << "typetutor: " << error << "\n";
        return false;
    }
    const int index = options.lessonNumber - 1;
    const CLessonTrack* track = history.Lessons().GetLessonTrack(index);
    if (!track) {
        const int count = history.Lessons().GetLessonCount();
        err << "typetutor: --lesson " << options.lessonNumber << ": the history holds " << count
            << (count == 1 ? " lesson\n" : " lessons\n");
        return false;
    }
    const LessonRow row = RowOf(*track, history.LessonNames());
    const LoggedLesson* logged = FindLoggedLesson(log, history.Lessons(), index);
    if (!logged) {
        err << "typetutor: lesson " << options.lessonNumber << " (" << row.date << ", "
            << row.lesson << ") has no keys in " << history.KeyLogPath()
            << ": it was typed before its keys were kept\n";
        return false;
    }
    input->lesson.name = row.lesson;
    input->lesson.text = logged->text;
    input->lesson.id = logged->lessonId;
    input->lesson.tag = logged->tag;
    input->start =
        SYSTEMTIME{logged->year, logged->month, 0, logged->day, logged->hour, logged->minute, 0, 0};
    for (const LoggedKey& k : logged->keys) {
        ReplayEvent e;
        e.ms = k.ms;
        e.key.kind = k.backspace       ? KeyKind::kBackspace
                     : k.typed == '\n' ? KeyKind::kEnter
                                       : KeyKind::kChar;
        e.key.ch = static_cast<char>(k.typed);
        input->events.push_back(e);
    }
    *replay = options;
    replay->session.method = static_cast<TypoDetection>(logged->method);
    if (logged->cols > 0 && logged->rows > 0) {
        replay->replayCols = logged->cols;
        replay->replayRows = logged->rows;
    }
    return true;
}
