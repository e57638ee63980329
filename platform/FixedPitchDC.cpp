#include "platform/FixedPitchDC.h"

#include <climits>
#include <cstdlib>

FixedPitchDC::FixedPitchDC() { ResetClipBox(); }

void FixedPitchDC::ResetClipBox() {
    // Large, yet far enough from the limits that offsets and sums cannot overflow.
    SetRect(&m_rcClip, INT_MIN / 4, INT_MIN / 4, INT_MAX / 4, INT_MAX / 4);
}

SIZE FixedPitchDC::CellSize(const DCFont& font) {
    if (font.bStock) {
        return SIZE{kStockCellWidth, kStockCellHeight};
    }
    LONG height = font.lf.lfHeight == INT_MIN ? INT_MAX : std::abs(font.lf.lfHeight);
    if (height == 0) {
        height = kStockCellHeight;
    }
    LONG width = font.lf.lfWidth == INT_MIN ? INT_MAX : std::abs(font.lf.lfWidth);
    if (width == 0) {
        width = height / 2 > 0 ? height / 2 : 1;
    }
    return SIZE{width, height};
}

DCFont FixedPitchDC::SelectFont(const DCFont& font) {
    DCFont previous = m_font;
    m_font = font;
    return previous;
}

SIZE FixedPitchDC::GetTextExtent(const char* /*text*/, int nLength) {
    SIZE cell = CellSize(m_font);
    long long width = static_cast<long long>(cell.cx) * (nLength > 0 ? nLength : 0);
    return SIZE{static_cast<LONG>(width > INT_MAX ? INT_MAX : width), cell.cy};
}

BOOL FixedPitchDC::TextOut(int x, int y, const char* text, int nLength) {
    if (m_bRecording) {
        std::string s = text && nLength > 0 ? std::string(text, static_cast<size_t>(nLength))
                                            : std::string();
        m_outputs.push_back(TextOutput{x, y, std::move(s), m_crText, m_nBkMode, m_font});
    }
    return TRUE;
}

COLORREF FixedPitchDC::SetTextColor(COLORREF color) {
    COLORREF previous = m_crText;
    m_crText = color;
    return previous;
}

int FixedPitchDC::SetBkMode(int mode) {
    int previous = m_nBkMode;
    m_nBkMode = mode;
    return previous;
}

int FixedPitchDC::GetClipBox(RECT* rc) const {
    if (rc) {
        *rc = m_rcClip;
    }
    return 1;
}
