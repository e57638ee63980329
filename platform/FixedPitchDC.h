// A device context in which every byte is one cell of the selected font: ANSI_FIXED_FONT is
// 8 x 16 pixels; a LOGFONTA gives |lfHeight| high and lfWidth wide (half the height when lfWidth
// is 0). It records every text output, so tests and text-mode hosts can see what was drawn.
#pragma once

#include <string>
#include <vector>

#include "platform/DeviceContext.h"

struct TextOutput {
    int x;
    int y;
    std::string text;
    COLORREF color;
    int bkMode;
    DCFont font;
};

class ARTICLE_EXPORT FixedPitchDC : public CDC {
public:
    static constexpr int kStockCellWidth = 8;
    static constexpr int kStockCellHeight = 16;

    // The stock font, black text, opaque background, no clipping, recording on.
    FixedPitchDC();

    DCFont SelectFont(const DCFont& font) override;
    SIZE GetTextExtent(const char* text, int nLength) override;
    BOOL TextOut(int x, int y, const char* text, int nLength) override;
    COLORREF SetTextColor(COLORREF color) override;
    COLORREF GetTextColor() const override { return m_crText; }
    int SetBkMode(int mode) override;
    int GetBkMode() const override { return m_nBkMode; }
    int GetClipBox(RECT* rc) const override;

    using CDC::GetTextExtent;
    using CDC::TextOut;

    // The cell of a font: width and height in pixels.
    static SIZE CellSize(const DCFont& font);

    const DCFont& GetFont() const { return m_font; }
    // Clipping box; unbounded until set, and again after ResetClipBox.
    void SetClipBox(const RECT& rc) { m_rcClip = rc; }
    void ResetClipBox();
    // Every TextOut since construction or the last ClearOutputs, in order.
    const std::vector<TextOutput>& Outputs() const { return m_outputs; }
    void ClearOutputs() { m_outputs.clear(); }
    // Recording can be switched off where only measurement matters (benchmarks).
    void SetRecording(bool on) { m_bRecording = on; }

private:
    DCFont m_font;
    COLORREF m_crText = 0;
    int m_nBkMode = OPAQUE;
    RECT m_rcClip{};
    bool m_bRecording = true;
    std::vector<TextOutput> m_outputs;
};
