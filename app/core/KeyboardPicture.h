// A keyboard drawn with Cairo: every key tinted by the finger that types it, the keys to press
// next lit, each key labelled with what it types. The on-screen keyboard of the desktop tutor
// draws it; any picture of a keyboard can.
#pragma once

#include <cairo.h>

#include <vector>

#include "Keyboard.h"
#include "Look.h"
#include "platform/Win32.h"

// The colours a keyboard is drawn in, for a light or a dark background, in high contrast or
// not. Labels stand at least 4.5:1 against their key, 7:1 in high contrast.
struct KeyboardLook : Look {
    // The tint of the keys a finger types.
    COLORREF FingerTint(Finger finger) const;
    COLORREF Ink() const;
    COLORREF Border() const;
    COLORREF Lit() const { return dark ? RGB(255, 200, 40) : RGB(255, 170, 0); }
    COLORREF LitInk() const { return RGB(0, 0, 0); }
    // The border's width, in pixels, of a key unit pixels high.
    double BorderWidth(double unit, bool lit) const;
};

class KeyboardPicture {
public:
    explicit KeyboardPicture(const Keyboard& keyboard) : m_keyboard(keyboard) {}

    // The keyboard's size in pixels with unit pixels to a key.
    double Width(double unit) const { return m_keyboard.Width() * unit; }
    static double Height(double unit) { return kRows * unit; }
    // Where key number index is drawn, with the keyboard's top-left corner at (x, y).
    RECT KeyRect(int index, double x, double y, double unit) const;
    // Draws the keyboard at (x, y), lighting the keys of presses (and Shift, on the hand that
    // does not type the key, for a press at the Shift level; AltGr for one at the AltGr level).
    void Draw(cairo_t* cr, double x, double y, double unit, const std::vector<KeyPress>& presses,
              const KeyboardLook& look) const;
    // The keys the presses light: the keys themselves and the Shift or AltGr that goes with
    // them.
    std::vector<int> LitKeys(const std::vector<KeyPress>& presses) const;

private:
    static constexpr int kRows = 5;
    const Keyboard& m_keyboard;
};
