// typetutor-gtk: the desktop typing tutor.
#include <gtkmm/application.h>

#include <iostream>
#include <string>
#include <vector>

#include "History.h"
#include "TutorWindow.h"

namespace {

constexpr const char* kAppId = "io.github.typetutor.TypeTutor";
std::string Usage() {
    return "Usage: typetutor-gtk [--data-dir DIR] [LESSON | --book FILE]\n"
           "\n"
           "The desktop typing tutor. LESSON is a bundled lesson's name (typetutor --list) or a\n"
           "UTF-8 text file; without one, a lesson is chosen in the window.\n"
           "\n"
           "  --book FILE      type the book FILE a part of about a page at a time, from where\n"
           "                   you left off\n"
           "  --data-dir DIR   keep the history in DIR (default: " +
           DefaultDataDirectory() + ")\n";
}
constexpr int kExitUsage = 2;

// False with a message for an unknown option, a missing value or a second lesson.
bool ParseArguments(const std::vector<std::string>& args, DesktopOptions* options,
                    std::string* error, bool* help) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            *help = true;
        } else if (arg == "--data-dir") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                *error = "--data-dir needs a folder";
                return false;
            }
            options->dataDir = args[++i];
        } else if (arg == "--book") {
            if (i + 1 >= args.size() || args[i + 1].empty() || !options->lesson.empty()) {
                *error = "--book needs a file, and no other lesson";
                return false;
            }
            options->lesson = args[++i];
            options->book = true;
        } else if (arg.rfind("--data-dir=", 0) == 0 && arg.size() > 11) {
            options->dataDir = arg.substr(11);
        } else if (arg.size() > 1 && arg[0] == '-') {
            *error = "unknown option " + arg;
            return false;
        } else if (!options->lesson.empty()) {
            *error = "one lesson at a time: " + options->lesson + " and " + arg;
            return false;
        } else {
            options->lesson = arg;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    DesktopOptions options;
    options.dataDir = DefaultDataDirectory();
    std::string error;
    bool help = false;
    if (!ParseArguments(std::vector<std::string>(argv + 1, argv + argc), &options, &error, &help)) {
        std::cerr << "typetutor-gtk: " << error << "\n" << Usage();
        return kExitUsage;
    }
    if (help) {
        std::cout << Usage();
        return 0;
    }
    // The library's reports go to the history's log file, never to the terminal.
    SilentSink silent;
    ReportSink* previous = SetReportSink(&silent);
    auto app = Gtk::Application::create(kAppId, Gio::Application::Flags::NON_UNIQUE);
    app->signal_startup().connect([app] { TutorWindow::SetAccels(app); });
    // The arguments are read above; GTK sees only the program's name.
    const int status = app->make_window_and_run<TutorWindow>(1, argv, options);
    SetReportSink(previous);
    return status;
}
