#include "Settings.h"

#include <glibmm/fileutils.h>
#include <glibmm/keyfile.h>
#include <glibmm/miscutils.h>

#include <algorithm>

#include "Stats.h"

namespace {

constexpr const char* kGroup = "Lesson";
constexpr const char* kMethods[] = {"letter", "word", "match", "free"};
constexpr TypoDetection kMethodValues[] = {tdByLetter, tdByWord, tdByMatch, tdNone};

template <typename Read>
void ReadKey(const Glib::RefPtr<Glib::KeyFile>& file, const char* key, Read read) {
    try {
        if (file->has_key(kGroup, key)) {
            read(key);
        }
    } catch (const Glib::Error&) {
        // A value of the wrong kind keeps the default.
    }
}

}  // namespace

std::string DesktopSettings::Path() {
    return Glib::build_filename(Glib::get_user_config_dir(), "typetutor", "typetutor-gtk.ini");
}

DesktopSettings DesktopSettings::Load() {
    DesktopSettings s;
    auto file = Glib::KeyFile::create();
    try {
        if (!file->load_from_file(Path())) {
            return s;
        }
    } catch (const Glib::Error&) {
        return s;
    }
    ReadKey(file, "method", [&](const char* key) {
        const std::string name = file->get_string(kGroup, key);
        for (size_t i = 0; i < std::size(kMethods); ++i) {
            if (name == kMethods[i]) {
                s.session.method = kMethodValues[i];
            }
        }
    });
    ReadKey(file, "masked",
            [&](const char* key) { s.session.masked = file->get_boolean(kGroup, key); });
    ReadKey(file, "justify",
            [&](const char* key) { s.session.justify = file->get_boolean(kGroup, key); });
    ReadKey(file, "highlight",
            [&](const char* key) { s.session.highlight = file->get_boolean(kGroup, key); });
    ReadKey(file, "mark-typos",
            [&](const char* key) { s.session.markTypos = file->get_boolean(kGroup, key); });
    ReadKey(file, "font-size", [&](const char* key) {
        s.fontSize = std::clamp(file->get_integer(kGroup, key), kMinFontSize, kMaxFontSize);
    });
    ReadKey(file, "keyboard-shown",
            [&](const char* key) { s.keyboardShown = file->get_boolean(kGroup, key); });
    ReadKey(file, "pause-after-seconds", [&](const char* key) {
        s.pauseAfterSeconds = std::clamp(file->get_integer(kGroup, key), 1, 3600);
    });
    ReadKey(file, "appearance", [&](const char* key) {
        s.appearance =
            AppearanceFromName(file->get_string(kGroup, key).raw()).value_or(s.appearance);
    });
    ReadKey(file, "recent-files", [&](const char* key) {
        for (const Glib::ustring& path : file->get_string_list(kGroup, key)) {
            s.recentFiles.push_back(path.raw());
        }
    });
    return s;
}

bool DesktopSettings::Save(std::string* message) const {
    auto file = Glib::KeyFile::create();
    file->set_string(kGroup, "method", MethodName(session.method));
    file->set_boolean(kGroup, "masked", session.masked);
    file->set_boolean(kGroup, "justify", session.justify);
    file->set_boolean(kGroup, "highlight", session.highlight);
    file->set_boolean(kGroup, "mark-typos", session.markTypos);
    file->set_integer(kGroup, "font-size", fontSize);
    file->set_boolean(kGroup, "keyboard-shown", keyboardShown);
    file->set_integer(kGroup, "pause-after-seconds", pauseAfterSeconds);
    file->set_string(kGroup, "appearance", AppearanceName(appearance));
    file->set_string_list(kGroup, "recent-files",
                          std::vector<Glib::ustring>(recentFiles.begin(), recentFiles.end()));
    try {
        const std::string dir = Glib::path_get_dirname(Path());
        if (g_mkdir_with_parents(dir.c_str(), 0700) != 0) {
            *message = "cannot make the folder " + dir;
            return false;
        }
        file->save_to_file(Path());
    } catch (const Glib::Error& e) {
        *message = e.what();
        return false;
    }
    return true;
}
