// A device context that draws through another one with the colours the library writes in
// changed, so that the lesson stays readable on any sheet: the library's black, blue, grey,
// red and green become the palette's text, word, typed, typo and skipped colours.
#pragma once

#include "Look.h"
#include "platform/DeviceContext.h"

struct Palette {
    COLORREF sheet;
    COLORREF text;     // the lesson's words (black)
    COLORREF current;  // the word to type (blue)
    COLORREF typed;    // characters typed right (grey)
    COLORREF typo;     // characters typed wrong (red)
    COLORREF skipped;  // letters left out (green)
    int caretBar = 2;  // the width of the caret's bar, in pixels before the screen's scale

    // The colours the library draws in, on a white sheet.
    static Palette Library();
    // Every text colour at least 4.5:1 against the sheet, the least contrast for text that
    // the accessibility guidelines (WCAG AA) ask; 7:1 (AAA) for high contrast.
    static Palette Light();
    static Palette Dark();
    // Black on white or white on black, with saturated typo and skipped colours and a thick
    // caret.
    static Palette HighContrast(bool dark);
    static Palette For(const Look& look);
    // The colour that stands for the library's colour c; c itself when the library does not
    // write in it.
    COLORREF Map(COLORREF c) const;
};

class PaletteDC : public CDC {
public:
    PaletteDC(CDC& target, const Palette& palette) : m_target(target), m_palette(palette) {}

    DCFont SelectFont(const DCFont& font) override { return m_target.SelectFont(font); }
    SIZE GetTextExtent(const char* text, int nLength) override {
        return m_target.GetTextExtent(text, nLength);
    }
    BOOL TextOut(int x, int y, const char* text, int nLength) override {
        return m_target.TextOut(x, y, text, nLength);
    }
    // Keeps the library's colour, so that it gets back what it set.
    COLORREF SetTextColor(COLORREF color) override;
    COLORREF GetTextColor() const override { return m_crText; }
    int SetBkMode(int mode) override { return m_target.SetBkMode(mode); }
    int GetBkMode() const override { return m_target.GetBkMode(); }
    int GetClipBox(RECT* rc) const override { return m_target.GetClipBox(rc); }

    using CDC::GetTextExtent;
    using CDC::TextOut;

    void SetPalette(const Palette& palette) { m_palette = palette; }
    const Palette& GetPalette() const { return m_palette; }

private:
    CDC& m_target;
    Palette m_palette;
    COLORREF m_crText = 0;
};
