// typetutor: a terminal typing tutor.
#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"
#include "History.h"
#include "Interactive.h"
#include "KeyboardLayout.h"
#include "Lesson.h"
#include "Options.h"
#include "Profile.h"

int main(int argc, char** argv) {
    // No report of the library reaches the screen: until the history's log file takes them,
    // they are dropped.
    SilentSink silent;
    SetReportSink(&silent);

    Options options;
    std::string error;
    if (!ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), DefaultDataDirectory(),
                          &options, &error)) {
        std::cerr << "typetutor: " << error << "\n\n" << kUsage;
        return 2;
    }
    switch (options.command) {
        case Command::kHelp:
            std::cout << kUsage;
            return 0;
        case Command::kList: {
            // The English lessons first, then each language under its name.
            std::string language = "English";
            for (const BundledLesson& lesson : ListBundledLessons()) {
                if (lesson.language != language) {
                    language = lesson.language;
                    std::cout << "\n" << language << ":\n";
                }
                std::cout << lesson.name << "\n";
            }
            return 0;
        }
        case Command::kLayouts:
            for (const auto& [name, description] : ListKeyboardLayouts()) {
                std::cout << name << "\t" << description << "\n";
            }
            return 0;
        default:
            break;
    }
    Profile profile;
    if (!OpenProfile(&options, &profile, &error)) {
        std::cerr << "typetutor: " << error << "\n";
        return 2;
    }
    switch (options.command) {
        case Command::kStats:
            return RunStats(options, std::cout, std::cerr);
        case Command::kReplay:
            return RunReplay(options, std::cout, std::cerr);
        case Command::kSnapshot:
            return RunSnapshot(options, std::cout, std::cerr);
        case Command::kReport:
            return RunReport(options, std::cout, std::cerr);
        case Command::kPractice:
            if (options.printOnly) {
                return RunPractice(options, profile, std::cout, std::cerr);
            }
            break;
        default:
            break;
    }
    return RunInteractive(options, profile);
}
