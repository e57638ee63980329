#include "Keyboard.h"

#include <unicase.h>

#include <algorithm>
#include <cctype>
#include <utility>

#include "Encoding.h"

namespace {

struct KeyRow {
    int row;
    std::vector<KeyCap> keys;
};

KeyCap Char(const char* name, const char* plain, const char* shift) {
    KeyCap key;
    key.name = name;
    key.levels[kPlainLevel] = plain;
    key.levels[kShiftLevel] = shift;
    return key;
}

KeyCap Special(const char* name, const char* label, double width, const char* types = "") {
    KeyCap key;
    key.name = name;
    key.label = label;
    key.width = width;
    key.levels[kPlainLevel] = types;
    key.levels[kShiftLevel] = types;
    return key;
}

// The keys of a US PC keyboard, row by row, left to right; the space bar starts after 3.75
// units, under the letters.
std::vector<KeyRow> UsRows() {
    return {
        {0,
         {Char("TLDE", "`", "~"), Char("AE01", "1", "!"), Char("AE02", "2", "@"),
          Char("AE03", "3", "#"), Char("AE04", "4", "$"), Char("AE05", "5", "%"),
          Char("AE06", "6", "^"), Char("AE07", "7", "&"), Char("AE08", "8", "*"),
          Char("AE09", "9", "("), Char("AE10", "0", ")"), Char("AE11", "-", "_"),
          Char("AE12", "=", "+"), Special("BKSP", "Backspace", 2, "\b")}},
        {1,
         {Special("TAB", "Tab", 1.5, "\t"), Char("AD01", "q", "Q"), Char("AD02", "w", "W"),
          Char("AD03", "e", "E"), Char("AD04", "r", "R"), Char("AD05", "t", "T"),
          Char("AD06", "y", "Y"), Char("AD07", "u", "U"), Char("AD08", "i", "I"),
          Char("AD09", "o", "O"), Char("AD10", "p", "P"), Char("AD11", "[", "{"),
          Char("AD12", "]", "}"), Char("BKSL", "\\", "|")}},
        {2,
         {Special("CAPS", "Caps", 1.75), Char("AC01", "a", "A"), Char("AC02", "s", "S"),
          Char("AC03", "d", "D"), Char("AC04", "f", "F"), Char("AC05", "g", "G"),
          Char("AC06", "h", "H"), Char("AC07", "j", "J"), Char("AC08", "k", "K"),
          Char("AC09", "l", "L"), Char("AC10", ";", ":"), Char("AC11", "'", "\""),
          Special("RTRN", "Enter", 2.25, "\n")}},
        {3,
         {Special("LFSH", "Shift", 2.25), Char("AB01", "z", "Z"), Char("AB02", "x", "X"),
          Char("AB03", "c", "C"), Char("AB04", "v", "V"), Char("AB05", "b", "B"),
          Char("AB06", "n", "N"), Char("AB07", "m", "M"), Char("AB08", ",", "<"),
          Char("AB09", ".", ">"), Char("AB10", "/", "?"), Special("RTSH", "Shift", 2.75)}},
        {4, {Special("SPCE", "Space", 6.25, " ")}},
    };
}

constexpr double kSpaceBarLeft = 3.75;

// An ISO keyboard has a key left of Z (LSGT) and the backslash key (still named BKSL) left of an
// Enter that reaches down into the home row; both shorten the keys beside them.
void MakeIso(std::vector<KeyRow>& rows) {
    std::vector<KeyCap>& top = rows[1].keys;
    std::vector<KeyCap>& home = rows[2].keys;
    std::vector<KeyCap>& bottom = rows[3].keys;
    KeyCap backslash = top.back();
    top.pop_back();
    home.back().width = 1.25;
    home.insert(home.end() - 1, backslash);
    bottom.front().width = 1.25;
    KeyCap lsgt;
    lsgt.name = "LSGT";
    bottom.insert(bottom.begin() + 1, lsgt);
}

}  // namespace

Finger FingerOf(const std::string& keyName) {
    // Letter, digit and punctuation keys by their column: "AD01" is column 1 of row D.
    if (keyName.size() == 4 && keyName[0] == 'A' && keyName[1] >= 'B' && keyName[1] <= 'E' &&
        std::isdigit(static_cast<unsigned char>(keyName[2])) &&
        std::isdigit(static_cast<unsigned char>(keyName[3]))) {
        const int column = (keyName[2] - '0') * 10 + (keyName[3] - '0');
        static constexpr Finger kByColumn[] = {
            Finger::kLeftPinky,   Finger::kLeftPinky, Finger::kLeftRing,   Finger::kLeftMiddle,
            Finger::kLeftIndex,   Finger::kLeftIndex, Finger::kRightIndex, Finger::kRightIndex,
            Finger::kRightMiddle, Finger::kRightRing, Finger::kRightPinky, Finger::kRightPinky,
            Finger::kRightPinky};
        return column <= 12 ? kByColumn[column] : Finger::kRightPinky;
    }
    if (keyName == "SPCE") {
        return Finger::kThumb;
    }
    if (keyName == "TLDE" || keyName == "TAB" || keyName == "CAPS" || keyName == "LFSH" ||
        keyName == "LSGT") {
        return Finger::kLeftPinky;
    }
    return Finger::kRightPinky;  // BKSP, BKSL, RTRN, RTSH and the rest of the right side
}

Keyboard::Keyboard(std::string name, std::vector<KeyCap> keys,
                   std::vector<Composition> compositions)
    : m_strName(std::move(name)),
      m_keys(std::move(keys)),
      m_compositions(std::move(compositions)) {}

std::vector<KeyCap> Keyboard::PcKeys(bool iso) {
    std::vector<KeyRow> rows = UsRows();
    if (iso) {
        MakeIso(rows);
    }
    std::vector<KeyCap> keys;
    for (KeyRow& row : rows) {
        double x = row.row == 4 ? kSpaceBarLeft : 0;
        for (KeyCap& key : row.keys) {
            key.row = row.row;
            key.x = x;
            key.finger = FingerOf(key.name);
            x += key.width;
            keys.push_back(std::move(key));
        }
    }
    return keys;
}

Keyboard Keyboard::UsQwerty() {
    return Keyboard("us", PcKeys(false));
}

int Keyboard::Find(const std::string& name) const {
    const auto it = std::find_if(m_keys.begin(), m_keys.end(),
                                 [&](const KeyCap& key) { return key.name == name; });
    return it == m_keys.end() ? -1 : static_cast<int>(it - m_keys.begin());
}

bool Keyboard::DirectPress(const std::string& character, KeyLevel highest, KeyPress* press) const {
    for (int level = kPlainLevel; level <= highest; ++level) {
        for (size_t i = 0; i < m_keys.size(); ++i) {
            const KeyCap& key = m_keys[i];
            if (!key.dead[level] && key.levels[level] == character) {
                *press = KeyPress{static_cast<int>(i), static_cast<KeyLevel>(level)};
                return true;
            }
        }
    }
    return false;
}

bool Keyboard::ComposedPresses(const std::string& character, KeyLevel highest,
                               std::vector<KeyPress>* presses) const {
    for (const Composition& c : m_compositions) {
        KeyPress base;
        if (c.result != character || !DirectPress(c.base, highest, &base)) {
            continue;
        }
        for (size_t i = 0; i < m_keys.size(); ++i) {
            for (int level = kPlainLevel; level < kLevelCount; ++level) {
                if (m_keys[i].dead[level] && m_keys[i].levels[level] == c.dead) {
                    *presses = {KeyPress{static_cast<int>(i), static_cast<KeyLevel>(level)}, base};
                    return true;
                }
            }
        }
    }
    return false;
}

std::vector<KeyPress> Keyboard::PressesFor(const std::string& character) const {
    if (character.empty()) {
        return {};
    }
    // Without AltGr first: on us(intl) é is the dead acute and e, as learners are taught,
    // though AltGr and e type it too.
    std::vector<KeyPress> presses;
    KeyPress press;
    for (KeyLevel highest : {kShiftLevel, kAltGrLevel}) {
        if (DirectPress(character, highest, &press)) {
            return {press};
        }
        if (ComposedPresses(character, highest, &presses)) {
            return presses;
        }
    }
    return {};
}

double Keyboard::Width() const {
    double width = 0;
    for (const KeyCap& key : m_keys) {
        width = std::max(width, key.x + key.width);
    }
    return width;
}

std::string CapLabel(const KeyCap& key) {
    if (!key.label.empty()) {
        return key.label;
    }
    const std::string& plain = key.levels[kPlainLevel];
    const std::string& shift = key.levels[kShiftLevel];
    const std::string& altGr = key.levels[kAltGrLevel];
    size_t i = 0;
    const char32_t cp = plain.empty() ? 0 : DecodeUtf8(plain, i);
    std::string upper;
    AppendUtf8(upper, uc_toupper(cp));
    std::string label = !plain.empty() && upper == shift && upper != plain ? shift : plain;
    if (label == plain && !shift.empty() && shift != plain) {
        label += " " + shift;
    }
    if (!altGr.empty() && altGr != plain && altGr != shift) {
        label += " " + altGr;
    }
    return label;
}
