// The look of the lesson: the desktop's preference read from its values, the learner's choice
// over it, high-contrast themes recognised, and every palette readable on its sheet.
#include "Look.h"

#include <gtest/gtest.h>

#include "Contrast.h"
#include "PaletteDC.h"

namespace {

TEST(Look, ReadsTheDesktopsColourScheme) {
    const struct {
        std::uint32_t portal;
        ColorScheme scheme;
    } portal[] = {{0, ColorScheme::kNoPreference},
                  {1, ColorScheme::kDark},
                  {2, ColorScheme::kLight},
                  {3, ColorScheme::kNoPreference}};
    for (const auto& c : portal) {
        EXPECT_EQ(ColorSchemeFromPortal(c.portal), c.scheme) << c.portal;
    }
    const struct {
        const char* gsettings;
        ColorScheme scheme;
    } gsettings[] = {{"prefer-dark", ColorScheme::kDark},
                     {"prefer-light", ColorScheme::kLight},
                     {"default", ColorScheme::kNoPreference},
                     {"", ColorScheme::kNoPreference},
                     {"dark", ColorScheme::kNoPreference}};
    for (const auto& c : gsettings) {
        EXPECT_EQ(ColorSchemeFromGSettings(c.gsettings), c.scheme) << c.gsettings;
    }
}

TEST(Look, TheLearnersChoiceGoesBeforeTheDesktopsPreference) {
    const std::optional<bool> none;
    const struct {
        Appearance choice;
        ColorScheme desktop;
        std::optional<bool> dark;
    } cases[] = {{Appearance::kFollowDesktop, ColorScheme::kDark, true},
                 {Appearance::kFollowDesktop, ColorScheme::kLight, false},
                 {Appearance::kFollowDesktop, ColorScheme::kNoPreference, none},
                 {Appearance::kLight, ColorScheme::kDark, false},
                 {Appearance::kLight, ColorScheme::kNoPreference, false},
                 {Appearance::kDark, ColorScheme::kLight, true},
                 {Appearance::kDark, ColorScheme::kNoPreference, true}};
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseDark(c.choice, c.desktop), c.dark)
            << AppearanceName(c.choice) << " " << static_cast<int>(c.desktop);
    }
}

// Every colour the lesson is drawn in stands out from its sheet enough to read: 4.5:1, and 7:1
// in high contrast, where the caret is thicker too.
TEST(Palette, EveryTextColourIsReadableOnItsSheet) {
    const struct {
        Look look;
        double least;
        bool darkSheet;
    } cases[] = {{{false, false}, 4.5, false},
                 {{true, false}, 4.5, true},
                 {{false, true}, 7.0, false},
                 {{true, true}, 7.0, true}};
    for (const auto& c : cases) {
        const Palette p = Palette::For(c.look);
        const std::string name = std::string(c.look.dark ? "dark" : "light") +
                                 (c.look.highContrast ? " high contrast" : "");
        EXPECT_EQ(RelativeLuminance(p.sheet) < 0.2, c.darkSheet) << name;
        const struct {
            const char* what;
            COLORREF colour;
        } texts[] = {{"text", p.text},
                     {"current", p.current},
                     {"typed", p.typed},
                     {"typo", p.typo},
                     {"skipped", p.skipped}};
        for (const auto& t : texts) {
            EXPECT_GE(ContrastRatio(t.colour, p.sheet), c.least) << name << ": " << t.what;
        }
        EXPECT_EQ(p.caretBar > Palette::Light().caretBar, c.look.highContrast) << name;
    }
}

}  // namespace
