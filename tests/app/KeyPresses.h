// The presses that type a character, as "KEY", "KEY+shift" or "KEY+altgr", joined by spaces.
#pragma once

#include <string>

#include "Keyboard.h"

inline std::string Presses(const Keyboard& keyboard, const std::string& character) {
    static const char* const kLevels[] = {"", "+shift", "+altgr"};
    std::string out;
    for (const KeyPress& press : keyboard.PressesFor(character)) {
        out += (out.empty() ? "" : " ") + keyboard.Keys()[press.key].name + kLevels[press.level];
    }
    return out;
}
