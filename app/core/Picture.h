// What both pictures draw with: the fonts, the common colours, and text and frames on a CairoDC.
#pragma once

#include <string>

#include "platform/Win32.h"
#include "render/CairoDC.h"

namespace picture {

// The face every picture writes in: proportional, always installed with fontconfig's defaults.
inline constexpr const char* kFace = "DejaVu Sans";

inline constexpr COLORREF kDesk = RGB(236, 236, 232);  // around the sheets and charts
inline constexpr COLORREF kSheet = RGB(255, 255, 255);
inline constexpr COLORREF kInk = RGB(30, 30, 30);
inline constexpr COLORREF kMuted = RGB(105, 105, 105);
inline constexpr COLORREF kRule = RGB(200, 200, 196);

// The face at em pixels to the em.
LOGFONTA Font(LONG em, LONG weight = FW_NORMAL);

// Writes UTF-8 text (characters outside the current code page become '?') with its top-left corner
// at (x, y), on a transparent background; dc's font, colours and mode are left as they were.
// Returns the text's width.
int Text(CairoDC& dc, int x, int y, const std::string& utf8, const LOGFONTA& font, COLORREF color);
// The width and height of the text in font.
SIZE TextSize(CairoDC& dc, const std::string& utf8, const LOGFONTA& font);
// A border of width pixels just inside rc.
void Frame(CairoDC& dc, const RECT& rc, COLORREF color, int width = 1);

}  // namespace picture
