#include "Profile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "History.h"
#include "KeyboardLayout.h"
#include "Lesson.h"
#include "Options.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kProfilesFolder = "profiles";
constexpr const char* kCodePageKey = "code-page";
constexpr const char* kLayoutKey = "layout";
constexpr const char* kDictionaries = "/usr/share/dict/";
constexpr const char* kEnglishWords = "american-english";

// The code page a layout's language is usually written in, where it is not Windows-1252.
struct LayoutPage {
    const char* layout;
    const char* page;
};
constexpr LayoutPage kLayoutPages[] = {
    {"ru", "Windows-1251"}, {"ua", "Windows-1251"}, {"by", "Windows-1251"}, {"bg", "Windows-1251"},
    {"rs", "Windows-1251"}, {"mk", "Windows-1251"}, {"kz", "Windows-1251"}, {"gr", "Windows-1253"},
    {"tr", "Windows-1254"}, {"az", "Windows-1254"}, {"pl", "Windows-1250"}, {"cz", "Windows-1250"},
    {"sk", "Windows-1250"}, {"hu", "Windows-1250"}, {"hr", "Windows-1250"}, {"si", "Windows-1250"},
    {"ro", "Windows-1250"}, {"ba", "Windows-1250"}, {"lt", "Windows-1257"}, {"lv", "Windows-1257"},
    {"ee", "Windows-1257"},
};

// The word list file of a layout's language, as Debian's w* packages install it.
struct LayoutWords {
    const char* layout;
    const char* file;
};
constexpr LayoutWords kLayoutWords[] = {
    {"de", "ngerman"},         {"at", "ngerman"},     {"ch", "swiss"},
    {"fr", "french"},          {"be", "french"},      {"es", "spanish"},
    {"latam", "spanish"},      {"it", "italian"},     {"pt", "portuguese"},
    {"br", "brazilian"},       {"pl", "polish"},      {"ua", "ukrainian"},
    {"bg", "bulgarian"},       {"nl", "dutch"},       {"se", "swedish"},
    {"dk", "danish"},          {"no", "bokmaal"},     {"gb", "british-english"},
    {"ie", "british-english"}, {"us", kEnglishWords},
};

// The language of a layout, as the bundled lessons name theirs.
struct LayoutLanguage {
    const char* layout;
    const char* language;
};
constexpr LayoutLanguage kLayoutLanguages[] = {
    {"de", "German"},  {"at", "German"},     {"ch", "German"},  {"fr", "French"},  {"be", "French"},
    {"es", "Spanish"}, {"latam", "Spanish"}, {"pl", "Polish"},  {"ru", "Russian"}, {"gr", "Greek"},
    {"us", "English"}, {"gb", "English"},    {"ie", "English"},
};

std::string BaseLayout(const std::string& layout) {
    return layout.substr(0, layout.find('('));
}

// The code page a layout's language is usually written in.
const CodePage& UsualCodePage(const std::string& layout) {
    for (const LayoutPage& l : kLayoutPages) {
        if (BaseLayout(layout) == l.layout) {
            return *CodePage::Find(l.page);
        }
    }
    return CodePage::Western();
}

bool HasHistory(const std::string& directory) {
    std::error_code ec;
    return fs::exists(fs::path(directory) / History::kLessonFile, ec) ||
           fs::exists(fs::path(directory) / History::kWordFile, ec);
}

// The UTF-8 text of the lesson the command line names; empty when it names none.
std::string FirstLessonText(const Options& options) {
    int id = 0;
    const std::string path = options.lesson.empty() ? "" : FindLessonFile(options.lesson, &id);
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool MakesHistory(Command command) {
    return command == Command::kLesson || command == Command::kMenu || command == Command::kReplay;
}

}  // namespace

bool IsProfileName(const std::string& name) {
    return !name.empty() && name[0] != '.' && std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.';
    });
}

std::string ProfileDirectory(const std::string& dataDir, const std::string& name) {
    return name == Profile::kDefaultName ? dataDir : dataDir + "/" + kProfilesFolder + "/" + name;
}

std::vector<std::string> ListProfiles(const std::string& dataDir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const fs::directory_entry& e :
         fs::directory_iterator(fs::path(dataDir) / kProfilesFolder, ec)) {
        if (e.is_directory(ec) && IsProfileName(e.path().filename().string())) {
            names.push_back(e.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    names.insert(names.begin(), Profile::kDefaultName);
    return names;
}

bool LoadProfile(const std::string& name, const std::string& directory, Profile* profile,
                 std::string* error) {
    *profile = Profile{};
    profile->name = name;
    profile->directory = directory;
    const std::string path = directory + "/" + Profile::kFile;
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        return true;
    }
    std::ifstream in(path);
    if (!in) {
        *error = path + ": cannot be read";
        return false;
    }
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        const size_t eq = line.find('=');
        const std::string key = line.substr(0, eq);
        const std::string value = eq == std::string::npos ? "" : line.substr(eq + 1);
        if (key == kCodePageKey) {
            profile->page = CodePage::Find(value);
            if (!profile->page) {
                *error = path;
                *error +=
                    ": line " + std::to_string(number) + ": no code page named \"" + value + "\"";
                return false;
            }
        } else if (key == kLayoutKey) {
            profile->layout = value;
        }
    }
    profile->saved = true;
    return true;
}

bool SaveProfile(const Profile& profile, std::string* error) {
    std::error_code ec;
    fs::create_directories(profile.directory, ec);
    const std::string path = profile.directory + "/" + Profile::kFile;
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << kCodePageKey << "=" << profile.page->Name() << "\n"
            << kLayoutKey << "=" << profile.layout << "\n";
        if (!out.flush()) {
            *error = path + ": cannot be written";
            return false;
        }
    }
    fs::rename(temporary, path, ec);
    if (ec) {
        *error = path + ": cannot be written";
        return false;
    }
    return true;
}

const CodePage& SuggestCodePage(const std::string& lessonUtf8, const std::string& layout) {
    const CodePage* usual = &UsualCodePage(layout);
    const std::vector<const CodePage*> holding = PagesHolding(lessonUtf8);
    if (std::find(holding.begin(), holding.end(), usual) != holding.end() || holding.empty()) {
        return *usual;
    }
    return *holding.front();
}

bool OpenProfile(Options* options, Profile* profile, std::string* error) {
    if (!IsProfileName(options->profile)) {
        *error = "--profile takes a name of letters, digits, '-', '_' and '.'";
        return false;
    }
    const std::string directory = ProfileDirectory(options->dataDir, options->profile);
    if (!LoadProfile(options->profile, directory, profile, error)) {
        return false;
    }
    const CodePage* asked = nullptr;
    if (!options->codePage.empty() && !(asked = CodePage::Find(options->codePage))) {
        std::string names;
        for (const CodePage* page : CodePage::All()) {
            names += (names.empty() ? "" : ", ") + page->Name();
        }
        *error = "--code-page: no code page named \"" + options->codePage + "\" (" + names + ")";
        return false;
    }
    const bool hasHistory = profile->saved || HasHistory(directory);
    if (asked && hasHistory && asked != profile->page) {
        *error = "the profile \"" + profile->name + "\" keeps its history in " +
                 profile->page->Name() +
                 ", and a history never mixes two code pages: make another with --profile NAME "
                 "--code-page " +
                 asked->Name();
        return false;
    }
    if (!options->layout.empty()) {
        Keyboard keyboard = Keyboard::UsQwerty();
        if (!ReadKeyboardLayout(options->layout, &keyboard, error)) {
            return false;
        }
    }
    const std::string layout = !options->layout.empty()   ? options->layout
                               : !profile->layout.empty() ? profile->layout
                                                          : SystemKeyboardLayout();
    if (!hasHistory) {
        profile->page = asked ? asked : &SuggestCodePage(FirstLessonText(*options), layout);
    }
    const bool changed = !profile->saved || profile->layout != layout;
    profile->layout = layout;
    if (MakesHistory(options->command) && changed) {
        if (!SaveProfile(*profile, error)) {
            return false;
        }
        profile->saved = true;
    }
    SetCurrentCodePage(*profile->page);
    options->dataDir = directory;
    options->layout = layout;
    return true;
}

namespace {

// The layout that speaks for the profile's language. A layout whose usual page is not the
// profile's says little of it: a Russian learner may type on a US keyboard, so the page's own
// layout speaks for it.
std::string LanguageLayout(const Profile& profile) {
    std::string layout = BaseLayout(profile.layout);
    if (&UsualCodePage(layout) != profile.page) {
        layout.clear();
        for (const LayoutPage& l : kLayoutPages) {
            if (layout.empty() && CodePage::Find(l.page) == profile.page) {
                layout = l.layout;
            }
        }
        if (layout.empty() && profile.page == &CodePage::Western()) {
            layout = "us";
        }
    }
    return layout;
}

}  // namespace

std::string ProfileLanguage(const Profile& profile) {
    const std::string layout = LanguageLayout(profile);
    for (const LayoutLanguage& l : kLayoutLanguages) {
        if (layout == l.layout) {
            return l.language;
        }
    }
    return "";
}

std::string WordListFile(const Profile& profile) {
    std::error_code ec;
    for (const LayoutWords& w : kLayoutWords) {
        std::string path = std::string(kDictionaries) + w.file;
        if (LanguageLayout(profile) == w.layout && fs::exists(path, ec)) {
            return path;
        }
    }
    // English words serve a profile written in Latin letters.
    const std::string english = std::string(kDictionaries) + kEnglishWords;
    const bool latin = profile.page == &CodePage::Western() ||
                       profile.page->Name() == "ISO-8859-1" ||
                       profile.page->Name() == "ISO-8859-15";
    return latin && fs::exists(english, ec) ? english : std::string();
}
