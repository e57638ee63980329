// A device context over a screen of character cells, so that the library's layout, line pitch,
// pages, caret and redraw work on the terminal unchanged.
//
// A cell is two pixels wide and one pixel high. The layout places every token but the first of
// a line one pixel after the separator before it; with one pixel a cell that pixel would show as
// a second blank between words, with two it falls inside the separator's own cell. A line is one
// row high, so a line spacing of 1.0 gives a pitch of two rows.
//
// The library's colours become cell styles: black the terminal's normal text, blue the current
// word, grey, red and green the judged typed characters. Fonts are accepted and ignored.
#pragma once

#include "CellScreen.h"
#include "platform/DeviceContext.h"

class TerminalDC : public CDC {
public:
    static constexpr int kCellWidth = 2;   // pixels per cell, across
    static constexpr int kCellHeight = 1;  // pixels per row

    // Draws into screen; without one it only measures.
    explicit TerminalDC(CellScreen* screen = nullptr) : m_pScreen(screen) {}

    DCFont SelectFont(const DCFont& font) override;
    SIZE GetTextExtent(const char* text, int nLength) override;
    BOOL TextOut(int x, int y, const char* text, int nLength) override;
    COLORREF SetTextColor(COLORREF color) override;
    COLORREF GetTextColor() const override { return m_crText; }
    int SetBkMode(int mode) override;
    int GetBkMode() const override { return m_nBkMode; }
    // The whole screen; a measuring context answers a box larger than any paper.
    int GetClipBox(RECT* rc) const override;

    using CDC::GetTextExtent;
    using CDC::TextOut;

    // The style of a library colour; colours the library does not use are normal text.
    static CellStyle StyleOf(COLORREF color);
    // The cell column of a pixel x (rounding down) and the first pixel of a cell column.
    static int CellX(int x);
    static int PixelX(int column) { return column * kCellWidth; }

private:
    CellScreen* m_pScreen;
    DCFont m_font;
    COLORREF m_crText = 0;
    int m_nBkMode = OPAQUE;
};

// While it lives, the desktop device context the articles lay themselves out in when given
// none (SetPaperRect does that) is a measuring TerminalDC, so every layout is in cells.
class TerminalDesktop : public DesktopDCProvider {
public:
    TerminalDesktop() : m_scope(this) {}
    CDC* GetDC() override { return &m_dc; }
    void ReleaseDC(CDC* /*dc*/) override {}

private:
    TerminalDC m_dc;
    ScopedDesktopDCProvider m_scope;
};
