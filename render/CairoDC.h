// A device context with real fonts: an image surface drawn with Cairo, fonts matched through
// fontconfig and rasterised by FreeType. Text is single-byte, in Windows-1252 unless another code
// page is set. Coordinates are
// pixels of the surface; a text position is the top-left corner of the text cell, as in GDI.
#pragma once

#include <cairo.h>

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>

#include "platform/DeviceContext.h"
#include "platform/Win32.h"

// The character (code point) each byte of text stands for.
using ByteCharacters = std::array<char32_t, 256>;

// What GetPixel answers outside the surface.
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

class CairoDC : public CDC {
public:
    static constexpr COLORREF kWhite = RGB(255, 255, 255);
    // The stock fixed-pitch font: this face at this many pixels to the em, which gives cells of
    // 8 x 16 pixels.
    static constexpr const char* kStockFaceName = "DejaVu Sans Mono";
    static constexpr int kStockEmPixels = 14;
    // A LOGFONTA with lfHeight 0 gets a cell this many pixels high.
    static constexpr int kDefaultCellHeight = 16;
    // Font sizes are limited to this many pixels to the em.
    static constexpr int kMaxEmPixels = 4096;

    // A width x height surface (each at least 1) filled with background.
    CairoDC(int width, int height, COLORREF background = kWhite);
    ~CairoDC() override;
    CairoDC(const CairoDC&) = delete;
    CairoDC& operator=(const CairoDC&) = delete;

    DCFont SelectFont(const DCFont& font) override;
    // cx: the sum of the glyph advances, cy: the font's ascent plus descent.
    SIZE GetTextExtent(const char* text, int nLength) override;
    // Draws inside the clipping box; with OPAQUE the text cell is first filled with the
    // background colour. FALSE for a negative length or a null text.
    BOOL TextOut(int x, int y, const char* text, int nLength) override;
    COLORREF SetTextColor(COLORREF color) override;
    COLORREF GetTextColor() const override { return m_crText; }
    int SetBkMode(int mode) override;
    int GetBkMode() const override { return m_nBkMode; }
    // Returns 1 when the box is empty, 2 otherwise (NULLREGION, SIMPLEREGION).
    int GetClipBox(RECT* rc) const override;

    using CDC::GetTextExtent;
    using CDC::TextOut;

    COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor() const { return m_crBk; }
    // The clipping box becomes rc limited to the surface; ResetClipBox makes it the surface.
    void SetClipBox(const RECT& rc);
    void ResetClipBox();
    const DCFont& GetFont() const { return m_font; }
    // Text is drawn and measured as these characters from now on (Windows-1252's until set).
    void SetCodePage(const ByteCharacters& characters);

    // Family and style name of the face the selected font was matched to ("DejaVu Sans",
    // "Bold Oblique"); empty when no face could be loaded.
    std::string& GetTextFace(std::string& out);
    std::string& GetTextStyle(std::string& out);
    // Distance in pixels from the top of a text cell down to the baseline.
    int GetTextAscent();

    // Fills rc, inside the clipping box, with color.
    void FillRect(const RECT& rc, COLORREF color);
    // The colour of one pixel, or CLR_INVALID outside the surface.
    COLORREF GetPixel(int x, int y) const;
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    // Writes the surface as a PNG file; false when it cannot be written.
    bool WritePng(const std::string& path) const;
    // The surface itself, for hosts that show it.
    cairo_surface_t* GetSurface() const { return m_pSurface; }

private:
    struct Font;
    // What selects a distinct font: stock flag, height, weight, italic, pitch and family, name.
    using FontKey = std::tuple<BOOL, LONG, LONG, BYTE, BYTE, std::string>;

    static FontKey KeyOf(const DCFont& font);
    // The font matched to font, or null when no face can be loaded for it.
    static std::unique_ptr<Font> LoadFont(const DCFont& font);
    Font& CurrentFont();
    // Cairo's state is changed only when it differs from what is wanted: a font set on the
    // context, or a new colour source, makes Cairo look things up and allocate at every call.
    void SetSourceColor(COLORREF color);
    // Clips m_pCairo to the clipping box; not at all when the box is the whole surface.
    void ApplyClip();

    int m_nWidth;
    int m_nHeight;
    cairo_surface_t* m_pSurface;
    cairo_t* m_pCairo;
    DCFont m_font;
    Font* m_pFont = nullptr;  // the cache entry of m_font, once looked up
    COLORREF m_crText = RGB(0, 0, 0);
    COLORREF m_crBk = kWhite;
    int m_nBkMode = OPAQUE;
    RECT m_rcClip{};
    // What m_pCairo was last given: its scaled font and its colour source.
    cairo_scaled_font_t* m_pCairoFont = nullptr;
    std::optional<COLORREF> m_crSource;
    std::map<FontKey, std::unique_ptr<Font>> m_fonts;
    ByteCharacters m_characters{};
};

// Hands out CairoDC desktop contexts: one kept context, so that its fonts stay loaded between
// layouts, and a new one for each request made while the kept one is out. Install it with
// SetDesktopDCProvider or ScopedDesktopDCProvider.
class CairoDesktopDCProvider : public DesktopDCProvider {
public:
    static constexpr int kDefaultWidth = 1024;
    static constexpr int kDefaultHeight = 768;

    explicit CairoDesktopDCProvider(int width = kDefaultWidth, int height = kDefaultHeight);
    CDC* GetDC() override;
    // The kept context gets its default font, colours, mode and clipping box back.
    void ReleaseDC(CDC* dc) override;

private:
    int m_nWidth;
    int m_nHeight;
    CairoDC m_dc;
    bool m_bInUse = false;
};
