#include "RenderSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace render_test {

LOGFONTA LogFont(const char* face, LONG height, LONG weight, BYTE italic, BYTE pitchAndFamily) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    lf.lfPitchAndFamily = pitchAndFamily;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return lf;
}

PixelCounts CountPixels(const CairoDC& dc, const RECT& rc, COLORREF color) {
    PixelCounts counts;
    const int channel[3] = {GetRValue(color), GetGValue(color), GetBValue(color)};
    for (int y = std::max(0, static_cast<int>(rc.top));
         y < std::min(dc.GetHeight(), static_cast<int>(rc.bottom)); ++y) {
        for (int x = std::max(0, static_cast<int>(rc.left));
             x < std::min(dc.GetWidth(), static_cast<int>(rc.right)); ++x) {
            const COLORREF p = dc.GetPixel(x, y);
            if (p == CairoDC::kWhite) {
                continue;
            }
            ++counts.changed;
            const int got[3] = {GetRValue(p), GetGValue(p), GetBValue(p)};
            // On white, coverage a gives 255 + a * (c - 255) in every channel: the same a for
            // all three, up to rounding.
            double coverage = -1;
            bool blend = true;
            for (int k = 0; k < 3; ++k) {
                if (channel[k] == 255) {
                    blend = blend && got[k] == 255;
                    continue;
                }
                const double a = (255.0 - got[k]) / (255.0 - channel[k]);
                if (coverage < 0) {
                    coverage = a;
                } else {
                    blend = blend && std::abs(a - coverage) * (255.0 - channel[k]) <= 1.5;
                }
            }
            if (!blend) {
                ++counts.offColour;
            } else if (coverage >= 0.5) {
                ++counts.strong;
            }
        }
    }
    return counts;
}

int CountInk(const CairoDC& dc, const RECT& rc) {
    return CountPixels(dc, rc, RGB(0, 0, 0)).changed;
}

std::string ScratchPath(const std::string& name) {
    return ::testing::TempDir() + "render_" + std::to_string(getpid()) + "_" + name;
}

}  // namespace render_test
