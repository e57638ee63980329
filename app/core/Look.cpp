#include "Look.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr struct {
    Appearance appearance;
    const char* name;
} kAppearances[] = {{Appearance::kFollowDesktop, "follow"},
                    {Appearance::kLight, "light"},
                    {Appearance::kDark, "dark"}};

bool ContainsIgnoringCase(std::string_view text, std::string_view part) {
    const auto lower = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    };
    return std::search(text.begin(), text.end(), part.begin(), part.end(), lower) != text.end();
}

}  // namespace

ColorScheme ColorSchemeFromPortal(std::uint32_t value) {
    switch (value) {
        case 1:
            return ColorScheme::kDark;
        case 2:
            return ColorScheme::kLight;
        default:
            return ColorScheme::kNoPreference;
    }
}

ColorScheme ColorSchemeFromGSettings(std::string_view value) {
    if (value == "prefer-dark") {
        return ColorScheme::kDark;
    }
    if (value == "prefer-light") {
        return ColorScheme::kLight;
    }
    return ColorScheme::kNoPreference;
}

bool IsHighContrastTheme(std::string_view themeName) {
    // A variant after a colon (GTK_THEME=Default-hc:dark) does not change the name.
    const std::string_view name = themeName.substr(0, themeName.find(':'));
    return name == "Default-hc" || name == "Default-hc-dark" ||
           ContainsIgnoringCase(name, "HighContrast");
}

std::optional<bool> ChooseDark(Appearance choice, ColorScheme desktop) {
    switch (choice) {
        case Appearance::kLight:
            return false;
        case Appearance::kDark:
            return true;
        case Appearance::kFollowDesktop:
            break;
    }
    switch (desktop) {
        case ColorScheme::kDark:
            return true;
        case ColorScheme::kLight:
            return false;
        case ColorScheme::kNoPreference:
            break;
    }
    return std::nullopt;
}

const char* AppearanceName(Appearance appearance) {
    for (const auto& a : kAppearances) {
        if (a.appearance == appearance) {
            return a.name;
        }
    }
    return kAppearances[0].name;
}

std::optional<Appearance> AppearanceFromName(std::string_view name) {
    for (const auto& a : kAppearances) {
        if (name == a.name) {
            return a.appearance;
        }
    }
    return std::nullopt;
}
