// typetutor: a terminal typing tutor.
#include <cstring>
#include <iostream>
#include <string>

#include "Commands.h"
#include "History.h"
#include "Lesson.h"

namespace {

constexpr const char* kUsage =
    "usage: typetutor [LESSON] [options]      type a lesson (a bundled name or a text file)\n"
    "       typetutor --list                  list the bundled lessons\n"
    "       typetutor stats [--json]          show the lesson history\n"
    "       typetutor LESSON --replay FILE    replay \"milliseconds key\" lines, print figures\n"
    "\n"
    "options:\n"
    "  --method letter|word|match|free   how typos are detected (default letter)\n"
    "  --masked                          hide the text behind asterisks\n"
    "  --justify                         justify wrapped lines\n"
    "  --no-highlight                    do not show the current word in blue\n"
    "  --no-mark-typos                   show typed text in one colour\n"
    "  --pause-after SECONDS             pause by itself after this long idle (default 10)\n"
    "  --data-dir DIR                    history folder (default $XDG_DATA_HOME/typetutor)\n"
    "  --clock-start 'Y-M-D H:M:S'       replay: the local time the replay starts at\n"
    "  --json                            stats: machine-readable output\n";

bool ParseMethod(const std::string& s, TypoDetection* td) {
    if (s == "letter") {
        *td = tdByLetter;
    } else if (s == "word") {
        *td = tdByWord;
    } else if (s == "match") {
        *td = tdByMatch;
    } else if (s == "free") {
        *td = tdNone;
    } else {
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    options.dataDir = DefaultDataDirectory();
    bool stats = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char* name) -> std::string {
            if (i + 1 >= argc) {
                std::cerr << "typetutor: " << name << " needs a value\n";
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "-h" || arg == "--help") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "--list") {
            for (const BundledLesson& l : ListBundledLessons()) {
                std::cout << l.name << "\n";
            }
            return 0;
        } else if (arg == "--method") {
            if (!ParseMethod(value("--method"), &options.session.method)) {
                std::cerr << "typetutor: --method takes letter, word, match or free\n";
                return 2;
            }
        } else if (arg == "--masked") {
            options.session.masked = true;
        } else if (arg == "--justify") {
            options.session.justify = true;
        } else if (arg == "--no-highlight") {
            options.session.highlight = false;
        } else if (arg == "--no-mark-typos") {
            options.session.markTypos = false;
        } else if (arg == "--pause-after") {
            options.pauseAfterSeconds = std::atoi(value("--pause-after").c_str());
            if (options.pauseAfterSeconds < 1) {
                std::cerr << "typetutor: --pause-after takes a number of seconds\n";
                return 2;
            }
        } else if (arg == "--data-dir") {
            options.dataDir = value("--data-dir");
        } else if (arg == "--replay") {
            options.replayFile = value("--replay");
        } else if (arg == "--clock-start") {
            options.clockStart = value("--clock-start");
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "stats" && options.lesson.empty() && !stats) {
            stats = true;
        } else if (!arg.empty() && arg[0] == '-') {
            std::cerr << "typetutor: unknown option " << arg << "\n" << kUsage;
            return 2;
        } else if (options.lesson.empty()) {
            options.lesson = arg;
        } else {
            std::cerr << "typetutor: one lesson at a time\n";
            return 2;
        }
    }
    if (stats) {
        return RunStats(options);
    }
    if (!options.replayFile.empty()) {
        if (options.lesson.empty()) {
            std::cerr << "typetutor: --replay needs a LESSON\n";
            return 2;
        }
        return RunReplay(options);
    }
    if (!options.lesson.empty()) {
        // Refuse a bad lesson before the terminal is taken over.
        ChosenLesson lesson;
        std::string error;
        if (!ChooseLesson(options.lesson, &lesson, &error)) {
            std::cerr << "typetutor: " << error << "\n";
            return 2;
        }
    }
    return RunInteractive(options);
}
