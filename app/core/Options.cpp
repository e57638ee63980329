#include "Options.h"

#include <cstdio>
#include <cstdlib>

const char* const kUsage =
    "usage: typetutor [LESSON] [options]     type a lesson: a bundled one's name or a text file\n"
    "       typetutor                        choose a bundled lesson from a menu\n"
    "       typetutor book FILE [options]    type a book a page at a time, where you left off\n"
    "       typetutor --list                 list the bundled lessons\n"
    "       typetutor stats [--json]         the lesson history, today's sum, weakest keys\n"
    "       typetutor LESSON --replay FILE   type the lesson from \"milliseconds key\" lines\n"
    "       typetutor snapshot LESSON --replay FILE --out session.png [--page N]\n"
    "                                        the replayed lesson and what was typed, as a picture\n"
    "       typetutor report --out progress.png  speed, accuracy and a keyboard heat map\n"
    "       typetutor snapshot --lesson N --out session.png  lesson N of stats, drawn again\n"
    "       typetutor practice [--seed S] [--focus KEYS] [--print]\n"
    "                                        a lesson of your weakest keys and words\n"
    "\n"
    "options:\n"
    "  --method letter|word|match|free  how typos are found (default letter)\n"
    "  --masked                         show what you type as asterisks\n"
    "  --justify                        justify the lesson's wrapped lines\n"
    "  --no-highlight                   do not show the word to type in blue\n"
    "  --no-mark-typos                  show all typed text in one colour\n"
    "  --pause-after SECONDS            pause by itself after this long without a key (10)\n"
    "  --data-dir DIR                   the history's folder\n"
    "                                   (default $XDG_DATA_HOME/typetutor)\n"
    "  --json                           stats: for scripts\n"
    "replay only:\n"
    "  --clock-start 'YYYY-MM-DD HH:MM:SS'  the local time the replay begins at\n"
    "  --size COLSxROWS                 the screen the lesson is laid out on (80x24)\n"
    "  --screen                         print the last screen after the figures\n"
    "pictures only:\n"
    "  --out FILE                       the PNG file to write\n"
    "  --page N                         snapshot: the page to draw (the page being typed)\n"
    "practice only:\n"
    "  --seed S                         the same seed and history give the same lesson\n"
    "  --focus KEYS                     drill these keys instead of the weakest\n"
    "  --print                          print the lesson and its focus, do not start it\n";

namespace {

bool ParseMethod(const std::string& s, TypoDetection* td) {
    static const struct {
        const char* name;
        TypoDetection td;
    } kMethods[] = {
        {"letter", tdByLetter}, {"word", tdByWord}, {"match", tdByMatch}, {"free", tdNone}};
    for (const auto& m : kMethods) {
        if (s == m.name) {
            *td = m.td;
            return true;
        }
    }
    return false;
}

bool ParseInt(const std::string& s, int lo, int hi, int* value) {
    char* end = nullptr;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end != '\0' || v < lo || v > hi) {
        return false;
    }
    *value = static_cast<int>(v);
    return true;
}

bool CommandWord(const std::string& s, Command* command) {
    static const struct {
        const char* word;
        Command command;
    } kWords[] = {{"stats", Command::kStats},
                  {"snapshot", Command::kSnapshot},
                  {"report", Command::kReport},
                  {"practice", Command::kPractice}};
    for (const auto& w : kWords) {
        if (s == w.word) {
            *command = w.command;
            return true;
        }
    }
    return false;
}

bool ParseSize(const std::string& s, int* cols, int* rows) {
    const size_t x = s.find('x');
    return x != std::string::npos && ParseInt(s.substr(0, x), 1, 1000, cols) &&
           ParseInt(s.substr(x + 1), 1, 1000, rows);
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& args, const std::string& defaultDataDir,
                      Options* options, std::string* error) {
    options->dataDir = defaultDataDir;
    // A command word: stats, snapshot or report, before any lesson.
    Command word = Command::kMenu;
    bool list = false;
    bool help = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string value;
        auto takeValue = [&]() {
            if (i + 1 >= args.size()) {
                *error = arg + " needs a value";
                return false;
            }
            value = args[++i];
            return true;
        };
        if (arg == "-h" || arg == "--help") {
            help = true;
        } else if (arg == "--list") {
            list = true;
        } else if (arg == "--method") {
            if (!takeValue() || !ParseMethod(value, &options->session.method)) {
                *error = "--method takes letter, word, match or free";
                return false;
            }
        } else if (arg == "--masked") {
            options->session.masked = true;
        } else if (arg == "--justify") {
            options->session.justify = true;
        } else if (arg == "--no-highlight") {
            options->session.highlight = false;
        } else if (arg == "--no-mark-typos") {
            options->session.markTypos = false;
        } else if (arg == "--pause-after") {
            if (!takeValue() || !ParseInt(value, 1, 86400, &options->pauseAfterSeconds)) {
                *error = "--pause-after takes a number of seconds";
                return false;
            }
        } else if (arg == "--data-dir") {
            if (!takeValue()) {
                return false;
            }
            options->dataDir = value;
        } else if (arg == "--replay") {
            if (!takeValue()) {
                return false;
            }
            options->replayFile = value;
        } else if (arg == "--clock-start") {
            if (!takeValue()) {
                return false;
            }
            options->clockStart = value;
        } else if (arg == "--size") {
            if (!takeValue() || !ParseSize(value, &options->replayCols, &options->replayRows)) {
                *error = "--size takes COLSxROWS, e.g. 80x24";
                return false;
            }
        } else if (arg == "--screen") {
            options->printScreen = true;
        } else if (arg == "--json") {
            options->json = true;
        } else if (arg == "--out") {
            if (!takeValue()) {
                return false;
            }
            options->outFile = value;
        } else if (arg == "--page") {
            if (!takeValue() || !ParseInt(value, 1, 1000000, &options->page)) {
                *error = "--page takes a page number from 1";
                return false;
            }
        } else if (arg == "--lesson") {
            if (!takeValue() || !ParseInt(value, 1, 1000000000, &options->lessonNumber)) {
                *error = "--lesson takes a lesson number from 1, as stats lists them";
                return false;
            }
        } else if (arg == "--seed") {
            if (!takeValue() || !ParseInt(value, 0, 2147483647, &options->seed)) {
                *error = "--seed takes a whole number";
                return false;
            }
        } else if (arg == "--focus") {
            if (!takeValue()) {
                return false;
            }
            options->focus = value;
        } else if (arg == "--print") {
            options->printOnly = true;
        } else if (arg == "book" && options->lesson.empty() && !options->book) {
            options->book = true;
        } else if (options->lesson.empty() && word == Command::kMenu && CommandWord(arg, &word)) {
            // word now names the command
        } else if (!arg.empty() && arg[0] == '-') {
            *error = "unknown option " + arg;
            return false;
        } else if (options->lesson.empty() && word != Command::kStats && word != Command::kReport &&
                   word != Command::kPractice) {
            options->lesson = arg;
        } else {
            *error = "one lesson at a time";
            return false;
        }
    }
    if (!help && options->book &&
        (options->lesson.empty() || word == Command::kStats || word == Command::kReport)) {
        *error = "book needs a FILE, and is typed as a lesson is";
        return false;
    }
    if (help) {
        options->command = Command::kHelp;
    } else if (list) {
        options->command = Command::kList;
    } else if (word == Command::kStats) {
        options->command = Command::kStats;
    } else if (word == Command::kPractice) {
        options->command = Command::kPractice;
    } else if (word == Command::kSnapshot) {
        const bool replayed = !options->lesson.empty() && !options->replayFile.empty();
        const bool logged = options->lessonNumber > 0 && options->lesson.empty();
        if (options->outFile.empty() || replayed == logged) {
            *error = "snapshot needs a LESSON and --replay FILE, or --lesson N; and --out FILE";
            return false;
        }
        options->command = Command::kSnapshot;
    } else if (word == Command::kReport) {
        if (options->outFile.empty()) {
            *error = "report needs --out FILE";
            return false;
        }
        options->command = Command::kReport;
    } else if (!options->replayFile.empty()) {
        if (options->lesson.empty()) {
            *error = "--replay needs a LESSON";
            return false;
        }
        options->command = Command::kReplay;
    } else {
        options->command = options->lesson.empty() ? Command::kMenu : Command::kLesson;
    }
    return true;
}
