// Helpers for tests that draw with real fonts: a font description, and looks at the pixels a
// CairoDC holds.
#pragma once

#include <string>

#include "platform/Win32.h"
#include "render/CairoDC.h"

namespace render_test {

// A LOGFONTA of the named face, lfHeight as given, normal weight.
LOGFONTA LogFont(const char* face, LONG height, LONG weight = FW_NORMAL, BYTE italic = 0,
                 BYTE pitchAndFamily = DEFAULT_PITCH);

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
