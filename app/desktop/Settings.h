// The desktop tutor's settings, kept between runs in a key file under the XDG config folder:
// $XDG_CONFIG_HOME/typetutor/typetutor-gtk.ini.
#pragma once

#include <string>
#include <vector>

#include "Look.h"
#include "Session.h"

struct DesktopSettings {
    static constexpr int kMinFontSize = 10;
    static constexpr int kMaxFontSize = 48;
    static constexpr int kDefaultFontSize = 20;

    SessionOptions session;
    int fontSize = kDefaultFontSize;  // pixels to the em, before the screen's scale
    bool keyboardShown = true;
    int pauseAfterSeconds = 10;
    Appearance appearance = Appearance::kFollowDesktop;
    // Text files of one's own typed lately, newest first, so that they can be chosen again.
    std::vector<std::string> recentFiles;

    // Reads the file; a missing file or key keeps the default, a bad value is ignored.
    static DesktopSettings Load();
    // Writes the file; false with a message when it cannot be written.
    bool Save(std::string* message) const;
    static std::string Path();
};
