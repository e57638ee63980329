#include "RenderSupport.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "render/Windows1252.h"

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

FreeTypeFace::FreeTypeFace(const char* family, int em) : m_nEm(em) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    FcChar8* file = nullptr;
    int index = 0;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
        FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch &&
        FT_Init_FreeType(&m_library) == 0 &&
        FT_New_Face(m_library, reinterpret_cast<const char*>(file), index, &m_face) == 0) {
        FT_Set_Pixel_Sizes(m_face, 0, static_cast<FT_UInt>(em));
    }
    if (match) {
        FcPatternDestroy(match);
    }
}

FreeTypeFace::~FreeTypeFace() {
    if (m_face) {
        FT_Done_Face(m_face);
    }
    if (m_library) {
        FT_Done_FreeType(m_library);
    }
}

long FreeTypeFace::Advance(const std::string& text) const {
    long total = 0;
    for (char c : text) {
        total += Advance(Windows1252ToUnicode(static_cast<unsigned char>(c)));
    }
    return total;
}

long FreeTypeFace::Advance(char32_t cp) const {
    EXPECT_EQ(FT_Load_Char(m_face, cp, FT_LOAD_NO_HINTING), 0);
    return (m_face->glyph->advance.x + 32) >> 6;
}

long FreeTypeFace::CellHeight() const {
    const double cell = static_cast<double>(m_face->ascender - m_face->descender);
    return std::lround(cell * m_nEm / m_face->units_per_EM);
}

long FreeTypeFace::Ascent() const {
    return std::lround(static_cast<double>(m_face->ascender) * m_nEm / m_face->units_per_EM);
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
