#include "KeyboardLayout.h"

#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "Encoding.h"

namespace {

// The rules and the keyboard model xkeyboard-config compiles a layout with on Linux.
constexpr const char* kRules = "evdev";
constexpr const char* kModel = "pc105";
constexpr const char* kFallbackLocale = "en_US.UTF-8";
constexpr const char* kFallbackLayout = "us";
constexpr const char* kDefaultKeyboardFile = "/etc/default/keyboard";
constexpr const char* kLayoutList = "/usr/share/X11/xkb/rules/evdev.lst";
constexpr const char* kInputSourcesCommand =
    "gsettings get org.gnome.desktop.input-sources sources 2>/dev/null";

template <typename T, void (*Free)(T*)>
struct Deleter {
    void operator()(T* p) const { Free(p); }
};
using ContextPtr = std::unique_ptr<xkb_context, Deleter<xkb_context, xkb_context_unref>>;
using KeymapPtr = std::unique_ptr<xkb_keymap, Deleter<xkb_keymap, xkb_keymap_unref>>;
using StatePtr = std::unique_ptr<xkb_state, Deleter<xkb_state, xkb_state_unref>>;
using ComposeTablePtr =
    std::unique_ptr<xkb_compose_table, Deleter<xkb_compose_table, xkb_compose_table_unref>>;
using ComposeStatePtr =
    std::unique_ptr<xkb_compose_state, Deleter<xkb_compose_state, xkb_compose_state_unref>>;

// What a dead key shows: the spacing form of its accent.
struct DeadAccent {
    xkb_keysym_t keysym;
    char32_t accent;
};
constexpr DeadAccent kDeadAccents[] = {
    {XKB_KEY_dead_grave, U'`'},          {XKB_KEY_dead_acute, U'\u00B4'},
    {XKB_KEY_dead_circumflex, U'^'},     {XKB_KEY_dead_tilde, U'~'},
    {XKB_KEY_dead_macron, U'\u00AF'},    {XKB_KEY_dead_breve, U'\u02D8'},
    {XKB_KEY_dead_abovedot, U'\u02D9'},  {XKB_KEY_dead_diaeresis, U'\u00A8'},
    {XKB_KEY_dead_abovering, U'\u02DA'}, {XKB_KEY_dead_doubleacute, U'\u02DD'},
    {XKB_KEY_dead_caron, U'\u02C7'},     {XKB_KEY_dead_cedilla, U'\u00B8'},
    {XKB_KEY_dead_ogonek, U'\u02DB'},    {XKB_KEY_dead_iota, U'\u037A'},
    {XKB_KEY_dead_stroke, U'/'},         {XKB_KEY_dead_belowdot, U'.'},
    {XKB_KEY_dead_greek, U'\u00B5'},     {XKB_KEY_dead_hook, U'\u02C0'},
    {XKB_KEY_dead_horn, U'\u031B'},      {XKB_KEY_dead_semivoiced_sound, U'\u309C'},
};

bool IsDead(xkb_keysym_t sym) {
    char name[64];
    return xkb_keysym_get_name(sym, name, sizeof name) > 0 &&
           std::string(name).rfind("dead_", 0) == 0;
}

// The character a dead key is shown and matched by: its accent, or its keysym's name.
std::string DeadCharacter(xkb_keysym_t sym) {
    std::string text;
    for (const DeadAccent& d : kDeadAccents) {
        if (d.keysym == sym) {
            AppendUtf8(text, d.accent);
            return text;
        }
    }
    char name[64];
    xkb_keysym_get_name(sym, name, sizeof name);
    return name + 5;
}

std::string CharacterOf(xkb_keysym_t sym) {
    const char32_t cp = xkb_keysym_to_utf32(sym);
    std::string text;
    if (cp >= 0x20 && cp != 0x7F) {
        AppendUtf8(text, cp);
    }
    return text;
}

// The locale whose compose table resolves dead keys: the learner's when it is a UTF-8 one.
std::string ComposeLocale() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            const std::string locale = value;
            const bool utf8 = locale.find("UTF-8") != std::string::npos ||
                              locale.find("utf8") != std::string::npos;
            return utf8 ? locale : kFallbackLocale;
        }
    }
    return kFallbackLocale;
}

void DropLog(xkb_context*, xkb_log_level, const char*, va_list) {}

// One key's symbol at a level: the modifiers of the level held, nothing else.
struct Levels {
    xkb_keymap* keymap;
    xkb_state* state;
    xkb_mod_index_t shift;
    xkb_mod_index_t levelThree;

    // NoSymbol where the key has no such level.
    xkb_keysym_t SymAt(xkb_keycode_t key, KeyLevel level) const {
        xkb_mod_mask_t mods = 0;
        if (level == kShiftLevel && shift != XKB_MOD_INVALID) {
            mods = 1u << shift;
        }
        if (level == kAltGrLevel) {
            if (levelThree == XKB_MOD_INVALID) {
                return XKB_KEY_NoSymbol;
            }
            mods = 1u << levelThree;
        }
        xkb_state_update_mask(state, mods, 0, 0, 0, 0, 0);
        // A key without a third level answers AltGr with its first.
        if (level == kAltGrLevel && xkb_state_key_get_level(state, key, 0) < 2) {
            return XKB_KEY_NoSymbol;
        }
        return xkb_state_key_get_one_sym(state, key);
    }
};

std::string Trimmed(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t\"'");
    const size_t last = s.find_last_not_of(" \t\"'\n");
    return first == std::string::npos ? "" : s.substr(first, last - first + 1);
}

}  // namespace

bool SplitLayoutName(const std::string& name, std::string* layout, std::string* variant) {
    const size_t open = name.find('(');
    *layout = name.substr(0, open);
    *variant = "";
    if (open != std::string::npos) {
        if (name.back() != ')' || open + 2 >= name.size()) {
            return false;
        }
        *variant = name.substr(open + 1, name.size() - open - 2);
    }
    auto plain = [](const std::string& s) {
        for (char c : s) {
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-') {
                return false;
            }
        }
        return true;
    };
    return !layout->empty() && plain(*layout) && plain(*variant);
}

bool ReadKeyboardLayout(const std::string& name, Keyboard* keyboard, std::string* error) {
    std::string layout;
    std::string variant;
    if (!SplitLayoutName(name, &layout, &variant)) {
        *error = "\"" + name + "\" is not a layout: LAYOUT or LAYOUT(VARIANT), e.g. de or us(intl)";
        return false;
    }
    const ContextPtr context(xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
    if (!context) {
        *error = "libxkbcommon cannot start";
        return false;
    }
    xkb_context_set_log_fn(context.get(), DropLog);
    const xkb_rule_names names{kRules, kModel, layout.c_str(), variant.c_str(), nullptr};
    const KeymapPtr keymap(
        xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap) {
        *error = "the keyboard layout \"" + name +
                 "\" is not in xkeyboard-config (typetutor --layouts lists them)";
        return false;
    }
    const StatePtr state(xkb_state_new(keymap.get()));
    const Levels levels{keymap.get(), state.get(),
                        xkb_keymap_mod_get_index(keymap.get(), XKB_MOD_NAME_SHIFT),
                        xkb_keymap_mod_get_index(keymap.get(), "Mod5")};

    // The key left of Z is drawn where the layout gives it a character no other key types
    // (the US layout keeps a copy of "<" there, for ISO keyboards used with it).
    const xkb_keycode_t lsgt = xkb_keymap_key_by_name(keymap.get(), "LSGT");
    const std::string lsgtCharacter =
        lsgt == XKB_KEYCODE_INVALID ? "" : CharacterOf(levels.SymAt(lsgt, kPlainLevel));
    bool iso = !lsgtCharacter.empty();
    for (const KeyCap& key : Keyboard::PcKeys(false)) {
        const xkb_keycode_t code = xkb_keymap_key_by_name(keymap.get(), key.name.c_str());
        for (KeyLevel level : {kPlainLevel, kShiftLevel}) {
            if (key.label.empty() && code != XKB_KEYCODE_INVALID &&
                CharacterOf(levels.SymAt(code, level)) == lsgtCharacter) {
                iso = false;
            }
        }
    }
    std::vector<KeyCap> keys = Keyboard::PcKeys(iso);
    // The symbol of every character key at every level, for the compositions below.
    std::vector<std::array<xkb_keysym_t, kLevelCount>> syms(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        KeyCap& key = keys[i];
        if (!key.label.empty()) {
            continue;  // Shift, Enter and the like are the same on every layout
        }
        const xkb_keycode_t code = xkb_keymap_key_by_name(keymap.get(), key.name.c_str());
        for (int level = kPlainLevel; level < kLevelCount; ++level) {
            const xkb_keysym_t sym = code == XKB_KEYCODE_INVALID
                                         ? XKB_KEY_NoSymbol
                                         : levels.SymAt(code, static_cast<KeyLevel>(level));
            syms[i][static_cast<size_t>(level)] = sym;
            key.dead[static_cast<size_t>(level)] = IsDead(sym);
            key.levels[static_cast<size_t>(level)] =
                IsDead(sym) ? DeadCharacter(sym) : CharacterOf(sym);
        }
    }

    // The AltGr key right of the space bar, where the layout types anything with it.
    if (std::any_of(keys.begin(), keys.end(),
                    [](const KeyCap& key) { return !key.levels[kAltGrLevel].empty(); })) {
        const auto space = std::find_if(keys.begin(), keys.end(),
                                        [](const KeyCap& key) { return key.name == "SPCE"; });
        KeyCap altGr;
        altGr.name = "RALT";
        altGr.label = "AltGr";
        altGr.row = space->row;
        altGr.x = space->x + space->width;
        altGr.width = 1.25;
        keys.push_back(altGr);
    }

    // Every dead key followed by every character the keyboard types directly.
    std::vector<Composition> compositions;
    const ComposeTablePtr table(xkb_compose_table_new_from_locale(
        context.get(), ComposeLocale().c_str(), XKB_COMPOSE_COMPILE_NO_FLAGS));
    const ComposeStatePtr compose(
        table ? xkb_compose_state_new(table.get(), XKB_COMPOSE_STATE_NO_FLAGS) : nullptr);
    for (size_t d = 0; compose && d < keys.size(); ++d) {
        for (size_t dl = 0; dl < kLevelCount; ++dl) {
            if (!keys[d].dead[dl]) {
                continue;
            }
            for (size_t b = 0; b < keys.size(); ++b) {
                for (size_t bl = 0; bl < kLevelCount; ++bl) {
                    if (keys[b].dead[bl] || keys[b].levels[bl].empty() || !keys[b].label.empty()) {
                        continue;
                    }
                    xkb_compose_state_reset(compose.get());
                    xkb_compose_state_feed(compose.get(), syms[d][dl]);
                    xkb_compose_state_feed(compose.get(), syms[b][bl]);
                    char utf8[64];
                    if (xkb_compose_state_get_status(compose.get()) == XKB_COMPOSE_COMPOSED &&
                        xkb_compose_state_get_utf8(compose.get(), utf8, sizeof utf8) > 0) {
                        compositions.push_back({utf8, keys[d].levels[dl], keys[b].levels[bl]});
                    }
                }
            }
        }
    }
    *keyboard = Keyboard(name, std::move(keys), std::move(compositions));
    return true;
}

std::string LayoutFromInputSources(const std::string& sources) {
    // [('xkb', 'de+nodeadkeys'), ('ibus', 'anthy')]: the first xkb source.
    const std::string marker = "('xkb', '";
    const size_t at = sources.find(marker);
    if (at == std::string::npos) {
        return {};
    }
    const size_t start = at + marker.size();
    const size_t end = sources.find('\'', start);
    if (end == std::string::npos) {
        return {};
    }
    const std::string source = sources.substr(start, end - start);
    const size_t plus = source.find('+');
    return plus == std::string::npos ? source
                                     : source.substr(0, plus) + "(" + source.substr(plus + 1) + ")";
}

std::string LayoutFromDefaultKeyboard(const std::string& file) {
    std::string layout;
    std::string variant;
    std::istringstream lines(file);
    for (std::string line; std::getline(lines, line);) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        const std::string key = Trimmed(line.substr(0, eq));
        const std::string value = Trimmed(line.substr(eq + 1));
        const std::string first = value.substr(0, value.find(','));
        if (key == "XKBLAYOUT") {
            layout = first;
        } else if (key == "XKBVARIANT") {
            variant = first;
        }
    }
    if (layout.empty()) {
        return {};
    }
    return variant.empty() ? layout : layout + "(" + variant + ")";
}

std::string SystemKeyboardLayout() {
    std::string sources;
    // A fixed command line: nothing of the learner's reaches the shell.
    if (std::FILE* pipe = popen(kInputSourcesCommand, "r")) {  // NOLINT(cert-env33-c)
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe)) {
            sources += buffer;
        }
        pclose(pipe);
    }
    if (std::string layout = LayoutFromInputSources(sources); !layout.empty()) {
        return layout;
    }
    std::ifstream in(kDefaultKeyboardFile);
    std::ostringstream file;
    file << in.rdbuf();
    if (std::string layout = LayoutFromDefaultKeyboard(file.str()); !layout.empty()) {
        return layout;
    }
    if (const char* env = std::getenv("XKB_DEFAULT_LAYOUT"); env && *env) {
        const std::string first = std::string(env).substr(0, std::string(env).find(','));
        const char* variant = std::getenv("XKB_DEFAULT_VARIANT");
        return variant && *variant ? first + "(" + variant + ")" : first;
    }
    return kFallbackLayout;
}

std::vector<std::pair<std::string, std::string>> ListKeyboardLayouts() {
    std::vector<std::pair<std::string, std::string>> layouts;
    std::ifstream in(kLayoutList);
    bool inLayouts = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] == '!') {
            inLayouts = line == "! layout";
            continue;
        }
        std::istringstream fields(line);
        std::string name;
        if (inLayouts && fields >> name) {
            std::string description;
            std::getline(fields >> std::ws, description);
            layouts.push_back({name, description});
        }
    }
    return layouts;
}
