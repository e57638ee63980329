#include "PaletteDC.h"

Palette Palette::Library() {
    return Palette{RGB(255, 255, 255), RGB(0, 0, 0),   RGB(0, 0, 255),
                   RGB(96, 96, 96),    RGB(255, 0, 0), RGB(0, 255, 0)};
}

Palette Palette::Light() {
    // The library's colours, with its red and green darkened: on white they stand at 4:1 and
    // 1.4:1.
    Palette p = Library();
    p.typo = RGB(215, 0, 0);
    p.skipped = RGB(0, 128, 0);
    return p;
}

Palette Palette::Dark() {
    return Palette{RGB(36, 36, 40),    RGB(232, 232, 232), RGB(130, 176, 255),
                   RGB(160, 160, 160), RGB(255, 110, 110), RGB(100, 220, 120)};
}

Palette Palette::HighContrast(bool dark) {
    constexpr int kThickCaret = 4;
    if (dark) {
        return Palette{RGB(0, 0, 0),       RGB(255, 255, 255), RGB(120, 190, 255),
                       RGB(200, 200, 200), RGB(255, 110, 110), RGB(0, 220, 0),
                       kThickCaret};
    }
    return Palette{RGB(255, 255, 255), RGB(0, 0, 0),   RGB(0, 0, 170), RGB(80, 80, 80),
                   RGB(170, 0, 0),     RGB(0, 100, 0), kThickCaret};
}

Palette Palette::For(const Look& look) {
    if (look.highContrast) {
        return HighContrast(look.dark);
    }
    return look.dark ? Dark() : Light();
}

COLORREF Palette::Map(COLORREF c) const {
    const Palette library = Library();
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
