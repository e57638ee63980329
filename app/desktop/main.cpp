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
    return "Usage: typetutor-gtk [--data-dir DIR] [--profile NAME] [--layout LAYOUT]\n"
           "                     [LESSON | --book FILE]\n"
           "\n"
           "The desktop typing tutor. LESSON is a bundled lesson's name (typetutor --list) or a\n"
           "UTF-8 text file; without one, a lesson is chosen in the window.\n"
           "\n"
           "  --book FILE                  type the book FILE a part of about a page at a time,\n"
           "                               from where you left off\n"
           "  --data-dir DIR               keep the history in DIR (default: " +
           DefaultDataDirectory() +
           ")\n"
           "  --profile NAME               a history of its own, in DIR/profiles/NAME\n"
           "  --layout LAYOUT[(VARIANT)]   the profile's keyboard layout (the system's)\n";
}
constexpr int kExitUsage = 2;

// Where the value of an option that takes one goes; null for any other argument.
std::string* OptionValue(const std::string& option, DesktopOptions* options) {
    return option == "--data-dir"  ? &options->dataDir
           : option == "--profile" ? &options->profile
           : option == "--layout"  ? &options->layout
                                   : nullptr;
}

// False with a message for an unknown option, a missing value or a second lesson.
bool ParseArguments(const std::vector<std::string>& args, DesktopOptions* options,
                    std::string* error, bool* help) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            *help = true;
        } else if (std::string* value = OptionValue(arg, options)) {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                *error = arg + " needs a value";
                return false;
            }
            *value = args[++i];
        } else if (arg == "--book") {
            if (i + 1 >= args.size() || args[i + 1].empty() || !options->lesson.empty()) {
                *error = "--book needs a file, and no other lesson";
                return false;
            }
            options->lesson = args[++i];
            options->book = true;
        } else if (const size_t equals = arg.find('=');
                   equals != std::string::npos && equals + 1 < arg.size() &&
                   OptionValue(arg.substr(0, equals), options)) {
            *OptionValue(arg.substr(0, equals), options) = arg.substr(equals + 1);
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
    // A profile that cannot be opened (a bad name or layout) is said before any window shows.
    Profile profile;
    if (!OpenDesktopProfile(options, options.profile, &profile, &error)) {
        std::cerr << "typetutor-gtk: " << error << "\n";
        return kExitUsage;
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
