#include "PaletteDC.h"

Palette Palette::Light() {
    // The colours the library draws the lesson and the typed text in.
    return Palette{RGB(255, 255, 255), RGB(0, 0, 0),   RGB(0, 0, 255),
                   RGB(96, 96, 96),    RGB(255, 0, 0), RGB(0, 255, 0)};
}

Palette Palette::Dark() {
    return Palette{RGB(36, 36, 40),    RGB(232, 232, 232), RGB(130, 176, 255),
                   RGB(160, 160, 160), RGB(255, 110, 110), RGB(100, 220, 120)};
}

COLORREF Palette::Map(COLORREF c) const {
    const Palette library = Light();
    if (c == library.text)
        return text;
    if (c == library.current)
        return current;
    if (c == library.typed)
        return typed;
    if (c == library.typo)
        return typo;
    if (c == library.skipped)
        return skipped;
    return c;
}

COLORREF PaletteDC::SetTextColor(COLORREF color) {
    const COLORREF previous = m_crText;
    m_crText = color;
    m_target.SetTextColor(m_palette.Map(color));
    return previous;
}
