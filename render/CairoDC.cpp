#include "render/CairoDC.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "render/Windows1252.h"

namespace {

// Family bits of lfPitchAndFamily (the low two bits are the pitch).
constexpr BYTE kFamilyMask = 0xF0;
constexpr BYTE kPitchMask = 0x03;
constexpr BYTE kFamilyRoman = 0x10;
constexpr BYTE kFamilySwiss = 0x20;
constexpr BYTE kFamilyModern = 0x30;
constexpr BYTE kFamilyScript = 0x40;
constexpr BYTE kFamilyDecorative = 0x50;

// Return values of GetClipBox.
constexpr int kNullRegion = 1;
constexpr int kSimpleRegion = 2;

// The largest surface side Cairo's image surfaces take.
constexpr int kMaxSurfaceSide = 32767;

// Outlines are not hinted, so glyphs keep the shapes and advances of the font's design; the
// advances are then rounded to whole pixels, so that text extents are whole and add up.
constexpr int kLoadFlags = FT_LOAD_NO_HINTING;

// Where a Cairo font face keeps the FreeType face it was made from, to release it with itself.
const cairo_user_data_key_t kFreeTypeFaceKey{};

// One FreeType library for the process. Cairo may keep font faces (and the FreeType faces inside
// them) in its caches after every device context is gone, so the library is never closed.
FT_Library FreeTypeLibrary() {
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        return FT_Init_FreeType(&lib) == 0 ? lib : nullptr;
    }();
    return library;
}

void DoneFreeTypeFace(void* face) {
    FT_Done_Face(static_cast<FT_Face>(face));
}

// The fontconfig family that stands for the family bits, or for a fixed pitch without them.
const char* GenericFamily(BYTE pitchAndFamily) {
    switch (pitchAndFamily & kFamilyMask) {
        case kFamilyRoman:
            return "serif";
        case kFamilySwiss:
            return "sans-serif";
        case kFamilyModern:
            return "monospace";
        case kFamilyScript:
            return "cursive";
        case kFamilyDecorative:
            return "fantasy";
        default:
            break;
    }
    return (pitchAndFamily & kPitchMask) == FIXED_PITCH ? "monospace" : nullptr;
}

std::string FaceNameOf(const LOGFONTA& lf) {
    const char* name = lf.lfFaceName;
    return std::string(name, strnlen(name, LF_FACESIZE));
}

// The font the stock object stands for.
LOGFONTA StockLogFont() {
    LOGFONTA lf{};
    lf.lfHeight = -CairoDC::kStockEmPixels;
    lf.lfWeight = FW_NORMAL;
    lf.lfPitchAndFamily = FIXED_PITCH | kFamilyModern;
    std::strncpy(lf.lfFaceName, CairoDC::kStockFaceName, LF_FACESIZE - 1);
    return lf;
}

double ClampEm(double em) {
    return std::clamp(em, 1.0, static_cast<double>(CairoDC::kMaxEmPixels));
}

// Pixels to the em: a negative height is the em itself, a positive one the cell (ascent plus
// descent), 0 the default cell.
double EmPixels(LONG lfHeight, FT_Face face) {
    if (lfHeight < 0) {
        return ClampEm(-static_cast<double>(lfHeight));
    }
    const double cell = lfHeight == 0 ? CairoDC::kDefaultCellHeight : lfHeight;
    const double designCell = static_cast<double>(face->ascender) - face->descender;
    return ClampEm(cell * face->units_per_EM / designCell);
}

// A pixel size for matching, before the face and so its proportions are known.
double MatchPixels(LONG lfHeight) {
    if (lfHeight == 0) {
        return CairoDC::kDefaultCellHeight;
    }
    return ClampEm(std::fabs(static_cast<double>(lfHeight)));
}

int RoundToInt(double v) {
    if (!std::isfinite(v)) {
        return 0;
    }
    return static_cast<int>(std::lround(std::clamp(v, -1e9, 1e9)));
}

int ClampToInt(long long v) {
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

// The face fontconfig matches to a request, opened with FreeType; null when there is none.
FT_Face MatchFace(const LOGFONTA& lf, bool* pbEmbolden, bool* pbOblique) {
    FT_Library library = FreeTypeLibrary();
    FcPattern* pattern = library ? FcPatternCreate() : nullptr;
    if (!pattern) {
        return nullptr;
    }
    std::string name;
    Windows1252ToUtf8(FaceNameOf(lf), name);
    if (!name.empty()) {
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    }
    if (const char* generic = GenericFamily(lf.lfPitchAndFamily)) {
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(generic));
    }
    if ((lf.lfPitchAndFamily & kPitchMask) == FIXED_PITCH) {
        FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
    }
    const int weight = lf.lfWeight <= 0 ? FW_NORMAL : std::min<LONG>(lf.lfWeight, 1000);
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern, FC_SLANT, lf.lfItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, MatchPixels(lf.lfHeight));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) {
        return nullptr;
    }
    FcChar8* file = nullptr;
    int index = 0;
    FcBool embolden = FcFalse;
    int slant = FC_SLANT_ROMAN;
    FcPatternGetString(match, FC_FILE, 0, &file);
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden);
    FcPatternGetInteger(match, FC_SLANT, 0, &slant);
    FT_Face face = nullptr;
    if (!file || FT_New_Face(library, reinterpret_cast<const char*>(file), index, &face) != 0) {
        face = nullptr;
    }
    FcPatternDestroy(match);  // file points into match
    if (!face) {
        return nullptr;
    }
    // Sizes are computed from the design outline, which only scalable faces have.
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0 || face->ascender <= face->descender) {
        FT_Done_Face(face);
        return nullptr;
    }
    *pbEmbolden = embolden == FcTrue;
    *pbOblique = lf.lfItalic && slant == FC_SLANT_ROMAN;
    return face;
}

}  // namespace

struct CairoDC::Font {
    struct Glyph {
        bool known = false;
        unsigned long index = 0;  // 0: the face's missing-glyph symbol
        int advance = 0;
    };

    cairo_scaled_font_t* scaled = nullptr;
    std::string family;
    std::string style;
    int ascent = 0;  // cell top to baseline
    int height = 0;  // ascent plus descent
    int margin = 0;  // how far a glyph may reach outside its cell
    // Glyph and advance of every byte, looked up on first use: measuring adds these up.
    std::array<Glyph, 256> glyphs{};
    // The character each byte stands for: the context's code page.
    const ByteCharacters* characters = nullptr;

    Font() = default;
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    ~Font() {
        if (scaled) {
            cairo_scaled_font_destroy(scaled);
        }
    }

    const Glyph& GlyphOf(unsigned char byte) {
        Glyph& g = glyphs[byte];
        if (g.known || !scaled) {
            return g;
        }
        g.known = true;
        std::string utf8;
        AppendUtf8(characters ? (*characters)[byte] : Windows1252ToUnicode(byte), utf8);
        cairo_glyph_t* list = nullptr;
        int count = 0;
        if (cairo_scaled_font_text_to_glyphs(scaled, 0, 0, utf8.data(),
                                             static_cast<int>(utf8.size()), &list, &count, nullptr,
                                             nullptr, nullptr) == CAIRO_STATUS_SUCCESS &&
            count == 1) {
            g.index = list[0].index;
        }
        cairo_glyph_free(list);
        cairo_glyph_t one{g.index, 0.0, 0.0};
        cairo_text_extents_t extents{};
        cairo_scaled_font_glyph_extents(scaled, &one, 1, &extents);
        g.advance = RoundToInt(extents.x_advance);
        return g;
    }

    long long Width(const char* text, int nLength) {
        long long width = 0;
        for (int i = 0; i < nLength; ++i) {
            width += GlyphOf(static_cast<unsigned char>(text[i])).advance;
        }
        return width;
    }
};

std::unique_ptr<CairoDC::Font> CairoDC::LoadFont(const DCFont& request) {
    const LOGFONTA lf = request.bStock ? StockLogFont() : request.lf;
    bool embolden = false;
    bool oblique = false;
    FT_Face ft = MatchFace(lf, &embolden, &oblique);
    if (!ft) {
        return nullptr;
    }
    auto font = std::make_unique<Font>();
    font->family = ft->family_name ? ft->family_name : "";
    font->style = ft->style_name ? ft->style_name : "";
    const double em = EmPixels(lf.lfHeight, ft);
    const double ascent = em * ft->ascender / ft->units_per_EM;
    const double descent = em * -static_cast<double>(ft->descender) / ft->units_per_EM;
    font->ascent = RoundToInt(ascent);
    font->height = RoundToInt(ascent + descent);
    font->margin = RoundToInt(em) + font->height;

    // From here on the Cairo font face owns ft and releases it when it goes itself.
    cairo_font_face_t* face = cairo_ft_font_face_create_for_ft_face(ft, kLoadFlags);
    if (cairo_font_face_status(face) != CAIRO_STATUS_SUCCESS ||
        cairo_font_face_set_user_data(face, &kFreeTypeFaceKey, ft, DoneFreeTypeFace) !=
            CAIRO_STATUS_SUCCESS) {
        cairo_font_face_destroy(face);
        FT_Done_Face(ft);
        return nullptr;
    }
    unsigned int synthesize = 0;
    if (embolden) {
        synthesize |= CAIRO_FT_SYNTHESIZE_BOLD;
    }
    if (oblique) {
        synthesize |= CAIRO_FT_SYNTHESIZE_OBLIQUE;
    }
    if (synthesize) {
        cairo_ft_font_face_set_synthesize(face, synthesize);
    }

    cairo_matrix_t fontMatrix;
    cairo_matrix_t ctm;
    cairo_matrix_init_scale(&fontMatrix, em, em);
    cairo_matrix_init_identity(&ctm);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_scaled_font_t* scaled = cairo_scaled_font_create(face, &fontMatrix, &ctm, options);
    cairo_font_options_destroy(options);
    cairo_font_face_destroy(face);  // the scaled font holds it now
    if (cairo_scaled_font_status(scaled) != CAIRO_STATUS_SUCCESS) {
        cairo_scaled_font_destroy(scaled);
        return nullptr;
    }
    font->scaled = scaled;
    return font;
}

CairoDC::CairoDC(int width, int height, COLORREF background)
    : m_nWidth(std::clamp(width, 1, kMaxSurfaceSide)),
      m_nHeight(std::clamp(height, 1, kMaxSurfaceSide)),
      m_pSurface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, m_nWidth, m_nHeight)),
      m_pCairo(cairo_create(m_pSurface)) {
    for (size_t b = 0; b < m_characters.size(); ++b) {
        m_characters[b] = Windows1252ToUnicode(static_cast<unsigned char>(b));
    }
    ResetClipBox();
    SetSourceColor(background);
    cairo_paint(m_pCairo);
}

CairoDC::~CairoDC() {
    m_fonts.clear();
    cairo_destroy(m_pCairo);
    cairo_surface_destroy(m_pSurface);
}

CairoDC::FontKey CairoDC::KeyOf(const DCFont& font) {
    if (font.bStock) {
        return FontKey{TRUE, 0, 0, 0, 0, std::string()};
    }
    const LOGFONTA& lf = font.lf;
    return FontKey{FALSE,
                   lf.lfHeight,
                   lf.lfWeight,
                   lf.lfItalic ? BYTE{1} : BYTE{0},
                   lf.lfPitchAndFamily,
                   FaceNameOf(lf)};
}

CairoDC::Font& CairoDC::CurrentFont() {
    if (m_pFont) {
        return *m_pFont;
    }
    const FontKey key = KeyOf(m_font);
    auto it = m_fonts.find(key);
    if (it == m_fonts.end()) {
        std::unique_ptr<Font> font = LoadFont(m_font);
        // A font that cannot be had falls back on the stock font; with no face at all the
        // context measures and draws nothing.
        if (!font && !m_font.bStock) {
            font = LoadFont(DCFont::Stock());
        }
        if (!font) {
            font = std::make_unique<Font>();
        }
        font->characters = &m_characters;
        it = m_fonts.emplace(key, std::move(font)).first;
    }
    m_pFont = it->second.get();
    return *m_pFont;
}

void CairoDC::SetCodePage(const ByteCharacters& characters) {
    m_characters = characters;
    for (auto& [key, font] : m_fonts) {
        font->glyphs = {};
    }
}

DCFont CairoDC::SelectFont(const DCFont& font) {
    DCFont previous = m_font;
    m_font = font;
    m_pFont = nullptr;
    return previous;
}

SIZE CairoDC::GetTextExtent(const char* text, int nLength) {
    Font& font = CurrentFont();
    if (!text || nLength <= 0) {
        return SIZE{0, font.height};
    }
    return SIZE{ClampToInt(font.Width(text, nLength)), font.height};
}

BOOL CairoDC::TextOut(int x, int y, const char* text, int nLength) {
    if (nLength < 0 || (!text && nLength > 0)) {
        return FALSE;
    }
    Font& font = CurrentFont();
    if (nLength == 0 || IsRectEmpty(&m_rcClip)) {
        return font.scaled ? TRUE : FALSE;
    }
    // Only glyphs that can reach the clipping box are given to Cairo, which keeps every
    // coordinate it sees near the surface.
    const long long top = y;
    const bool rowVisible =
        top + font.height + font.margin > m_rcClip.top && top - font.margin < m_rcClip.bottom;
    std::vector<cairo_glyph_t> glyphs;
    long long pen = x;
    for (int i = 0; i < nLength; ++i) {
        const Font::Glyph& g = font.GlyphOf(static_cast<unsigned char>(text[i]));
        if (rowVisible && pen + g.advance + font.margin > m_rcClip.left &&
            pen - font.margin < m_rcClip.right) {
            glyphs.push_back(cairo_glyph_t{g.index, static_cast<double>(pen),
                                           static_cast<double>(top + font.ascent)});
        }
        pen += g.advance;
    }

    if (m_nBkMode == OPAQUE) {
        RECT cell;
        SetRect(&cell, x, y, ClampToInt(pen), ClampToInt(top + font.height));
        FillRect(cell, m_crBk);
    }
    if (!font.scaled) {
        return FALSE;
    }
    if (!glyphs.empty()) {
        if (m_pCairoFont != font.scaled) {
            cairo_set_scaled_font(m_pCairo, font.scaled);
            m_pCairoFont = font.scaled;
        }
        SetSourceColor(m_crText);
        cairo_show_glyphs(m_pCairo, glyphs.data(), static_cast<int>(glyphs.size()));
    }
    return TRUE;
}

COLORREF CairoDC::SetTextColor(COLORREF color) {
    COLORREF previous = m_crText;
    m_crText = color;
    return previous;
}

COLORREF CairoDC::SetBkColor(COLORREF color) {
    COLORREF previous = m_crBk;
    m_crBk = color;
    return previous;
}

int CairoDC::SetBkMode(int mode) {
    int previous = m_nBkMode;
    m_nBkMode = mode;
    return previous;
}

int CairoDC::GetClipBox(RECT* rc) const {
    if (rc) {
        *rc = m_rcClip;
    }
    return IsRectEmpty(&m_rcClip) ? kNullRegion : kSimpleRegion;
}

void CairoDC::SetClipBox(const RECT& rc) {
    RECT surface;
    SetRect(&surface, 0, 0, m_nWidth, m_nHeight);
    IntersectRect(&m_rcClip, &rc, &surface);
    ApplyClip();
}

void CairoDC::ResetClipBox() {
    SetRect(&m_rcClip, 0, 0, m_nWidth, m_nHeight);
    ApplyClip();
}

std::string& CairoDC::GetTextFace(std::string& out) {
    out = CurrentFont().family;
    return out;
}

std::string& CairoDC::GetTextStyle(std::string& out) {
    out = CurrentFont().style;
    return out;
}

int CairoDC::GetTextAscent() {
    return CurrentFont().ascent;
}

void CairoDC::FillRect(const RECT& rc, COLORREF color) {
    RECT r;
    if (!IntersectRect(&r, &rc, &m_rcClip)) {
        return;
    }
    SetSourceColor(color);
    cairo_rectangle(m_pCairo, r.left, r.top, r.right - r.left, r.bottom - r.top);
    cairo_fill(m_pCairo);
}

COLORREF CairoDC::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) {
        return CLR_INVALID;
    }
    cairo_surface_flush(m_pSurface);
    const unsigned char* data = cairo_image_surface_get_data(m_pSurface);
    if (!data) {
        return CLR_INVALID;
    }
    const int stride = cairo_image_surface_get_stride(m_pSurface);
    // A native-endian 0xAARRGGBB word; every pixel is opaque, so no alpha needs undoing.
    std::uint32_t pixel = 0;
    std::memcpy(&pixel, data + static_cast<std::ptrdiff_t>(y) * stride + x * 4, sizeof pixel);
    return RGB(static_cast<BYTE>(pixel >> 16), static_cast<BYTE>(pixel >> 8),
               static_cast<BYTE>(pixel));
}

bool CairoDC::WritePng(const std::string& path) const {
    return cairo_surface_write_to_png(m_pSurface, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

void CairoDC::SetSourceColor(COLORREF color) {
    if (m_crSource == color) {
        return;
    }
    m_crSource = color;
    cairo_set_source_rgb(m_pCairo, GetRValue(color) / 255.0, GetGValue(color) / 255.0,
                         GetBValue(color) / 255.0);
}

void CairoDC::ApplyClip() {
    cairo_reset_clip(m_pCairo);
    if (m_rcClip.left > 0 || m_rcClip.top > 0 || m_rcClip.right < m_nWidth ||
        m_rcClip.bottom < m_nHeight) {
        cairo_rectangle(m_pCairo, m_rcClip.left, m_rcClip.top, m_rcClip.right - m_rcClip.left,
                        m_rcClip.bottom - m_rcClip.top);
        cairo_clip(m_pCairo);
    }
}

CairoDesktopDCProvider::CairoDesktopDCProvider(int width, int height)
    : m_nWidth(width), m_nHeight(height), m_dc(width, height) {}

CDC* CairoDesktopDCProvider::GetDC() {
    if (!m_bInUse) {
        m_bInUse = true;
        return &m_dc;
    }
    return new CairoDC(m_nWidth, m_nHeight);
}

void CairoDesktopDCProvider::ReleaseDC(CDC* dc) {
    if (dc != &m_dc) {
        delete dc;
        return;
    }
    m_dc.SelectFont(DCFont::Stock());
    m_dc.SetTextColor(RGB(0, 0, 0));
    m_dc.SetBkColor(CairoDC::kWhite);
    m_dc.SetBkMode(OPAQUE);
    m_dc.ResetClipBox();
    m_bInUse = false;
}
