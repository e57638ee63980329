// A keyboard as the learner sees it: the physical keys in rows, the finger that types each one
// in touch typing, and the characters each key types at each level. The on-screen keyboard and
// the heat map of the progress picture both draw from it.
#pragma once
#include <array>
#include <string>
#include <vector>

// The fingers, left hand first. Both thumbs share the space bar.
enum class Finger {
    kLeftPinky,
    kLeftRing,
    kLeftMiddle,
    kLeftIndex,
    kThumb,
    kRightIndex,
    kRightMiddle,
    kRightRing,
    kRightPinky,
};

// The levels a key types at: plain, with Shift, with AltGr (right Alt).
enum KeyLevel { kPlainLevel = 0, kShiftLevel = 1, kAltGrLevel = 2, kLevelCount = 3 };

struct KeyCap {
    std::string name;   // the key's XKB name: "AE01" (the 1 key), "AD01" (Q on US), "SPCE", ...
    std::string label;  // what a key that types no character shows: "Shift", "Enter", ...
    double x = 0;       // left edge and width in key units; every row is one unit high
    double width = 1;
    int row = 0;  // 0 for the digits row, 4 for the space bar's row
    Finger finger = Finger::kThumb;
    // The character typed at each level, UTF-8; empty where the key types none. A dead key
    // holds the character of its accent and is marked in dead.
    std::array<std::string, kLevelCount> levels;
    std::array<bool, kLevelCount> dead{};
};

// One key to press, with the modifiers held for it.
struct KeyPress {
    int key = -1;  // index in Keyboard::Keys()
    KeyLevel level = kPlainLevel;
};

// A character a dead key makes with the key after it: dead acute then e gives é.
struct Composition {
    std::string result;  // UTF-8
    std::string dead;    // the dead key's character, as in KeyCap::levels
    std::string base;    // the character typed after it
};

class Keyboard {
public:
    Keyboard(std::string name, std::vector<KeyCap> keys,
             std::vector<Composition> compositions = {});

    // The US layout on a PC keyboard: what is drawn when no other layout is known.
    static Keyboard UsQwerty();
    // The keys of a PC keyboard, placed, with the US layout's characters. With iso, the keyboard
    // of most of Europe: a key left of Z (LSGT, typing nothing here) and the backslash key beside
    // the Enter key.
    static std::vector<KeyCap> PcKeys(bool iso);

    // The layout's name as the learner chose it ("us", "de", "us(dvorak)").
    const std::string& Name() const { return m_strName; }

    const std::vector<KeyCap>& Keys() const { return m_keys; }
    // The key of an XKB name; -1 when the keyboard has none.
    int Find(const std::string& name) const;
    // The presses that type the UTF-8 character: one for most characters, a dead key and then
    // the base key for a composed one; empty when the layout cannot type it. Ways without AltGr
    // come first.
    std::vector<KeyPress> PressesFor(const std::string& character) const;
    // The keyboard's width in key units (its widest row).
    double Width() const;

private:
    // The press of a character typed directly, at the lowest level up to highest that types it.
    bool DirectPress(const std::string& character, KeyLevel highest, KeyPress* press) const;
    // A dead key and the base key after it, the base typed at a level up to highest.
    bool ComposedPresses(const std::string& character, KeyLevel highest,
                         std::vector<KeyPress>* presses) const;

    std::string m_strName;
    std::vector<KeyCap> m_keys;
    std::vector<Composition> m_compositions;
};

// The finger that types a physical key in touch typing, the same for every layout.
Finger FingerOf(const std::string& keyName);

// What a key's cap shows: its name for a key that types no character ("Shift"); the capital
// alone for a letter ("Q", "П"); else its characters at each level, plain, Shift and AltGr,
// apart ("1 !", "2 \" ²").
std::string CapLabel(const KeyCap& key);
