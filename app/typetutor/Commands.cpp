#include "Commands.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "History.h"
#include "Lesson.h"
#include "Stats.h"
#include "platform/Clock.h"
#include "platform/FixedPitchDC.h"

namespace {

// The grid a replay lays the lesson out on.
constexpr int kReplayCols = 80;
constexpr int kReplayRows = 24;

unsigned short TagOf(const std::string& name) {
    unsigned h = 2166136261u;
    for (char c : name) {
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return static_cast<unsigned short>(h ^ (h >> 16));
}

bool ParseClock(const std::string& text, SYSTEMTIME* st) {
    int y, mo, d, h, mi, s;
    if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s) != 6 || y < 1971 ||
        y > 9999 || mo < 1 || mo > 12 || d < 1 || d > 31 || h < 0 || h > 23 || mi < 0 || mi > 59 ||
        s < 0 || s > 59) {
        return false;
    }
    *st = MakeSystemTime(y, mo, d, h, mi, s);
    return true;
}

}  // namespace

bool ChooseLesson(const std::string& nameOrPath, ChosenLesson* lesson, std::string* error) {
    const std::string path = ResolveLesson(nameOrPath);
    if (path.empty()) {
        *error = "no lesson or file named \"" + nameOrPath + "\" (try: typetutor --list)";
        return false;
    }
    LessonText text = LoadLessonFile(path);
    if (!text.ok) {
        *error = text.error;
        return false;
    }
    lesson->name = std::filesystem::path(path).stem().string();
    lesson->text = text.text;
    lesson->id = 0;
    const std::vector<BundledLesson> bundled = ListBundledLessons();
    for (size_t i = 0; i < bundled.size(); ++i) {
        if (bundled[i].path == path) {
            lesson->id = static_cast<int>(i) + 1;
            lesson->name = bundled[i].name;
        }
    }
    lesson->tag = TagOf(lesson->name);
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
        const size_t space = line.find(' ');
        ReplayEvent e;
        std::string key;
        try {
            size_t used = 0;
            e.ms = std::stoll(line.substr(0, space), &used);
            if (used != space || space == std::string::npos) {
                throw std::invalid_argument("time");
            }
        } catch (const std::exception&) {
            *error = "line " + std::to_string(number) + ": expected \"milliseconds key\"";
            return false;
        }
        key = line.substr(space + 1);
        if (e.ms < last) {
            *error = "line " + std::to_string(number) + ": time goes backwards";
            return false;
        }
        last = e.ms;
        if (key == "SPACE") {
            e.ch = ' ';
        } else if (key == "ENTER") {
            e.ch = '\n';
        } else if (key == "TAB") {
            e.ch = '\t';
        } else if (key == "BACKSPACE") {
            e.kind = ReplayEvent::Kind::kBackspace;
        } else if (key == "ESC") {
            e.kind = ReplayEvent::Kind::kPause;
        } else {
            LessonText c = PrepareLesson(key);
            if (!c.ok || c.text.size() != 1) {
                *error = "line " + std::to_string(number) + ": unknown key \"" + key + "\"";
                return false;
            }
            e.ch = c.text[0];
        }
        events->push_back(e);
    }
    return true;
}

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

int RunReplay(const Options& options) {
    ChosenLesson lesson;
    std::string error;
    if (!ChooseLesson(options.lesson, &lesson, &error)) {
        std::cerr << "typetutor: " << error << "\n";
        return 2;
    }
    std::ifstream in(options.replayFile, std::ios::binary);
    if (!in) {
        std::cerr << "typetutor: " << options.replayFile << ": cannot be read\n";
        return 2;
    }
    std::ostringstream content;
    content << in.rdbuf();
    std::vector<ReplayEvent> events;
    if (!ParseReplay(content.str(), &events, &error)) {
        std::cerr << "typetutor: " << options.replayFile << ": " << error << "\n";
        return 2;
    }

    SYSTEMTIME start;
    if (options.clockStart.empty()) {
        GetLocalTime(&start);
        start.wMilliseconds = 0;
    } else if (!ParseClock(options.clockStart, &start)) {
        std::cerr << "typetutor: --clock-start wants \"YYYY-MM-DD HH:MM:SS\"\n";
        return 2;
    }
    ScopedFakeClock clock(start);

    History history(options.dataDir);
    if (!history.Open(&error)) {
        std::cerr << "typetutor: " << error << "\n";
        return 1;
    }
    LogFileSink log(history.LogPath());

    Session session;
    if (!session.Create(lesson.text, options.session, &error)) {
        std::cerr << "typetutor: " << error << "\n";
        return 1;
    }
    FixedPitchDC dc;
    dc.SetRecording(false);
    session.Layout(&dc, kReplayCols, kReplayRows);
    history.Lessons().AddNewTrack(static_cast<unsigned char>(lesson.id),
                                  static_cast<unsigned char>(options.session.method), lesson.tag);
    session.StartIfNeeded();
    long long now = 0;
    for (const ReplayEvent& e : events) {
        clock.Advance(e.ms - now);
        now = e.ms;
        switch (e.kind) {
            case ReplayEvent::Kind::kPause:
                session.TogglePause();
                break;
            case ReplayEvent::Kind::kBackspace:
                session.Backspace();
                break;
            case ReplayEvent::Kind::kChar:
                session.Type(e.ch);
                break;
        }
        session.KeepCurrentVisible(&dc);
        session.DrawArticles(&dc);
        if (session.IsFinished()) {
            break;
        }
    }
    session.Record(history.Lessons(), history.Words());
    std::cout << "lesson: " << lesson.name << "\n"
              << "finished: " << (session.IsFinished() ? "yes" : "no") << "\n"
              << FormatFigures(session.Figures());
    std::string message;
    if (!history.Save(&message)) {
        std::cerr << "typetutor: " << message;
        return 1;
    }
    return 0;
}

int RunStats(const Options& options) {
    History history(options.dataDir);
    std::string error;
    if (!history.Open(&error)) {
        std::cerr << "typetutor: " << error << "\n";
        return 1;
    }
    HistoryStats stats = ComputeStats(history.Lessons(), history.Words());
    std::cout << (options.json ? FormatStatsJson(stats) : FormatStatsText(stats));
    return 0;
}
