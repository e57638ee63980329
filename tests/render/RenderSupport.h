// Helpers for tests that measure and draw with real fonts: a face opened with FreeType alone,
// and looks at the pixels a CairoDC holds.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

#include "platform/Win32.h"
#include "render/CairoDC.h"

namespace render_test {

// A LOGFONTA of the named face, lfHeight as given, normal weight.
LOGFONTA LogFont(const char* face, LONG height, LONG weight = FW_NORMAL, BYTE italic = 0,
                 BYTE pitchAndFamily = DEFAULT_PITCH);

// The named face opened with FreeType directly, at a size of em pixels to the em.
class FreeTypeFace {
public:
    FreeTypeFace(const char* family, int em);
    ~FreeTypeFace();
    FreeTypeFace(const FreeTypeFace&) = delete;
    FreeTypeFace& operator=(const FreeTypeFace&) = delete;

    bool IsOpen() const { return m_face != nullptr; }
    // Sum of the unhinted advances of the Windows-1252 bytes of text, each rounded to pixels.
    long Advance(const std::string& text) const;
    long Advance(char32_t cp) const;
    // Ascent and descent of the design, scaled to em and rounded.
    long CellHeight() const;
    long Ascent() const;

private:
    FT_Library m_library = nullptr;
    FT_Face m_face = nullptr;
    int m_nEm;
};

// Counts over a rectangle of the surface.
struct PixelCounts {
    int changed = 0;    // pixels that differ from the background
    int offColour = 0;  // changed pixels that are not a blend of background and colour
    int strong = 0;     // changed pixels at least halfway to the colour
};

// Looks at rc (clipped to the surface): which pixels differ from white, and whether each is
// a blend of white and color (what anti-aliased text of that colour leaves on white).
PixelCounts CountPixels(const CairoDC& dc, const RECT& rc, COLORREF color);

// Number of pixels in rc that are not white.
int CountInk(const CairoDC& dc, const RECT& rc);

// A path for a scratch file of the test, unique to its name.
std::string ScratchPath(const std::string& name);

}  // namespace render_test
