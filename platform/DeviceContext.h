// The device context the library measures and draws text in (the role of the framework's CDC
// over GDI), and the desktop device context that layout falls back on when it is given none.
#pragma once

#include <string>

#include "platform/Export.h"
#include "platform/Win32.h"

// A font as a device context holds it: the stock fixed-pitch font, or one made from a LOGFONTA
// (the CreateFontIndirectA role). Fonts are values: selecting one returns the one it replaces.
struct DCFont {
    BOOL bStock = TRUE;  // ANSI_FIXED_FONT
    LOGFONTA lf{};

    static DCFont Stock() { return DCFont{}; }
    static DCFont FromLogFont(const LOGFONTA& lf) { return DCFont{FALSE, lf}; }
};

class ARTICLE_EXPORT CDC {
public:
    virtual ~CDC() = default;

    // Selects font into the context; returns the font that was selected before.
    virtual DCFont SelectFont(const DCFont& font) = 0;
    // Extent of the first nLength bytes of text in the selected font (GetTextExtentPoint32A).
    virtual SIZE GetTextExtent(const char* text, int nLength) = 0;
    // Writes the first nLength bytes of text with its top-left corner at (x, y) in the selected
    // font and text colour (TextOut / ExtTextOutA without options).
    virtual BOOL TextOut(int x, int y, const char* text, int nLength) = 0;
    // Text colour and background mode; each setter returns the previous value.
    virtual COLORREF SetTextColor(COLORREF color) = 0;
    virtual COLORREF GetTextColor() const = 0;
    virtual int SetBkMode(int mode) = 0;
    virtual int GetBkMode() const = 0;
    // The clipping box in the context's coordinates; returns nonzero.
    virtual int GetClipBox(RECT* rc) const = 0;

    // Conveniences in the shape of the framework's calls.
    DCFont SelectObject(const LOGFONTA& lf) { return SelectFont(DCFont::FromLogFont(lf)); }
    DCFont SelectStockObject(int /*ANSI_FIXED_FONT*/) { return SelectFont(DCFont::Stock()); }
    SIZE GetTextExtent(const std::string& text) {
        return GetTextExtent(text.data(), static_cast<int>(text.size()));
    }
    BOOL TextOut(int x, int y, const std::string& text) {
        return TextOut(x, y, text.data(), static_cast<int>(text.size()));
    }
};

// Where the desktop window's device context comes from (GetDesktopWindow + GetDC / ReleaseDC).
class ARTICLE_EXPORT DesktopDCProvider {
public:
    virtual ~DesktopDCProvider() = default;
    // A device context to measure in, or null when none can be had.
    virtual CDC* GetDC() = 0;
    virtual void ReleaseDC(CDC* dc) = 0;
};

// The desktop device context, or null when the provider yields none. Release it when done.
ARTICLE_EXPORT CDC* GetDesktopDC();
ARTICLE_EXPORT void ReleaseDesktopDC(CDC* dc);

// Installs provider (not owned); null puts back the default, which hands out a FixedPitchDC.
// Returns the provider that was installed before (null for the default).
ARTICLE_EXPORT DesktopDCProvider* SetDesktopDCProvider(DesktopDCProvider* provider);

// Installs a provider for the lifetime of the object (tests, hosts with a real font renderer).
class ScopedDesktopDCProvider {
public:
    explicit ScopedDesktopDCProvider(DesktopDCProvider* provider)
        : m_pPrevious(SetDesktopDCProvider(provider)) {}
    ~ScopedDesktopDCProvider() { SetDesktopDCProvider(m_pPrevious); }
    ScopedDesktopDCProvider(const ScopedDesktopDCProvider&) = delete;
    ScopedDesktopDCProvider& operator=(const ScopedDesktopDCProvider&) = delete;

private:
    DesktopDCProvider* m_pPrevious;
};
