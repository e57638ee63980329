// Keyboard layouts from the system's own data: xkeyboard-config's layouts compiled by
// libxkbcommon from their rule names (no display needed), dead keys resolved through the compose
// table, and the layout the system is set to.
#pragma once

#include <string>
#include <vector>

#include "Keyboard.h"

// "us(intl)" to layout "us" and variant "intl"; false for a name that is not LAYOUT or
// LAYOUT(VARIANT) of letters, digits, '_' and '-'.
bool SplitLayoutName(const std::string& name, std::string* layout, std::string* variant);

// Builds the keyboard of a layout ("de", "us(dvorak)"): every key's characters at the plain,
// Shift and AltGr levels, dead keys marked and their compositions read from the compose table
// of the locale (LC_ALL, LC_CTYPE or LANG when it is a UTF-8 one, else en_US.UTF-8); the key
// left of Z where the layout puts a character on it, and AltGr right of the space bar where it
// types any. False, with a message, for a layout or variant that xkeyboard-config does not have.
bool ReadKeyboardLayout(const std::string& name, Keyboard* keyboard, std::string* error);

// The layout the system is set to, as "LAYOUT" or "LAYOUT(VARIANT)": the desktop's first input
// source (gsettings), else /etc/default/keyboard, else $XKB_DEFAULT_LAYOUT, else "us".
std::string SystemKeyboardLayout();
// The first XKB layout of what `gsettings get org.gnome.desktop.input-sources sources` prints
// ("[('xkb', 'de+nodeadkeys')]" gives "de(nodeadkeys)"); empty when there is none.
std::string LayoutFromInputSources(const std::string& sources);
// The first layout of an /etc/default/keyboard file (XKBLAYOUT="de,us" XKBVARIANT="nodeadkeys,")
// with its variant; empty when it names none.
std::string LayoutFromDefaultKeyboard(const std::string& file);

// The layouts xkeyboard-config lists, as (name, description): ("de", "German"), ...
std::vector<std::pair<std::string, std::string>> ListKeyboardLayouts();
