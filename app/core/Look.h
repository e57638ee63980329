// How the lesson and the on-screen keyboard look: on a light or a dark sheet, in high contrast
// or not, as the desktop asks and the learner overrides. Front ends read the desktop's
// preference in their own way and decide here.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

struct Look {
    bool dark = false;
    bool highContrast = false;
};

// The desktop's colour-scheme preference.
enum class ColorScheme { kNoPreference, kDark, kLight };

// The learner's choice in the settings.
enum class Appearance { kFollowDesktop, kLight, kDark };

// The XDG desktop portal's org.freedesktop.appearance color-scheme: 1 dark, 2 light, anything
// else no preference.
ColorScheme ColorSchemeFromPortal(std::uint32_t value);
// GSettings' org.gnome.desktop.interface color-scheme: 'prefer-dark', 'prefer-light',
// 'default'.
ColorScheme ColorSchemeFromGSettings(std::string_view value);

// Whether a GTK theme name is a high-contrast theme: GTK's own "Default-hc" and
// "Default-hc-dark", and the "HighContrast" themes of GNOME and others.
bool IsHighContrastTheme(std::string_view themeName);

// Dark or light as the learner's choice and the desktop's preference say; nothing when neither
// says, and the GTK theme decides.
std::optional<bool> ChooseDark(Appearance choice, ColorScheme desktop);

// The names the settings keep an appearance under ("follow", "light", "dark"), and back;
// nothing for an unknown name.
const char* AppearanceName(Appearance appearance);
std::optional<Appearance> AppearanceFromName(std::string_view name);
