// A learner's profiles: each keeps a history of its own, in one code page, with one keyboard
// layout. The default profile is the data folder itself, so histories made before profiles stay
// where they are; the others lie beside it, in DATA/profiles/NAME.
#pragma once

#include <string>
#include <vector>

#include "Encoding.h"

struct Options;

struct Profile {
    static constexpr const char* kDefaultName = "default";
    // The small file in the history's folder that keeps the profile's choices; the record
    // files stay as they are.
    static constexpr const char* kFile = "profile.txt";

    std::string name = kDefaultName;
    std::string directory;  // the history's folder
    const CodePage* page = &CodePage::Western();
    std::string layout;  // "de", "us(intl)"
    bool saved = false;  // the profile's file exists
};

// A name of letters, digits, '-', '_' and '.', not starting with '.'.
bool IsProfileName(const std::string& name);
// The folder of a profile, the data folder being dataDir.
std::string ProfileDirectory(const std::string& dataDir, const std::string& name);
// The profiles there are: the default one first, then those in dataDir/profiles by name.
std::vector<std::string> ListProfiles(const std::string& dataDir);

// Reads the profile of a folder. A folder without a profile file gives a profile not saved yet:
// a history already there (made before profiles) is in Windows-1252, the layout is empty. False,
// with a message naming the file and line, for a file that cannot be read or names an unknown
// code page.
bool LoadProfile(const std::string& name, const std::string& directory, Profile* profile,
                 std::string* error);
// Writes the profile's file into its folder (made when missing); false with a message.
bool SaveProfile(const Profile& profile, std::string* error);

// The code page a new profile is suggested: the layout's usual one ("ru" gives Windows-1251)
// when it holds the whole lesson, else the first page that does, else Windows-1252.
const CodePage& SuggestCodePage(const std::string& lessonUtf8, const std::string& layout);

// Opens the profile the command line asks for (--profile, --data-dir, --code-page, --layout):
// loads it, or makes it when the command types a lesson, its page suggested from the first
// lesson (or chosen with --code-page) and its layout from --layout or the system. --layout
// changes a saved profile's layout when the command types a lesson, and only the run's
// otherwise; --code-page may not change its page, since a history never mixes two. Makes the
// profile's page the current one and points options->dataDir and options->layout at the profile.
// False with a message.
bool OpenProfile(Options* options, Profile* profile, std::string* error);

// The language of the profile's words, as the bundled lessons name it ("German", "Russian"): the
// layout's language when the profile is in the page the layout's language is usually written in,
// else the language of the page ("Russian" for Windows-1251 on a US keyboard); empty when
// unknown.
std::string ProfileLanguage(const Profile& profile);

// The word list of the profile's language where Debian has one installed
// (/usr/share/dict/ngerman for "de", from the wngerman package), else the American English one;
// empty when neither is installed.
std::string WordListFile(const Profile& profile);
