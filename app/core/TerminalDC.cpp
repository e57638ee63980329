#include "TerminalDC.h"

#include <climits>
#include <string>

#include "Encoding.h"

namespace {

// The library's colours (0x00BBGGRR).
constexpr COLORREF kBlack = 0x00000000;
constexpr COLORREF kBlue = 0x00FF0000;
constexpr COLORREF kGrey = 0x00606060;
constexpr COLORREF kRed = 0x000000FF;
constexpr COLORREF kGreen = 0x0000FF00;

// A measuring context is never drawn into; its clip box only has to hold any paper.
constexpr int kUnboundedClip = INT_MAX / 4;

// Control bytes have no glyph; typed tokens already show their control codes as characters.
std::string CellText(const char* text, int nLength) {
    std::string bytes(text, static_cast<size_t>(nLength));
    for (char& c : bytes) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = ' ';
        }
    }
    return SingleByteToUtf8(bytes);
}

}  // namespace

CellStyle TerminalDC::StyleOf(COLORREF color) {
    switch (color) {
        case kBlue:
            return CellStyle::kCurrent;
        case kGrey:
            return CellStyle::kTyped;
        case kRed:
            return CellStyle::kTypo;
        case kGreen:
            return CellStyle::kMissing;
        case kBlack:
        default:
            return CellStyle::kNormal;
    }
}

int TerminalDC::CellX(int x) {
    return x >= 0 ? x / kCellWidth : -((-x + kCellWidth - 1) / kCellWidth);
}

DCFont TerminalDC::SelectFont(const DCFont& font) {
    const DCFont previous = m_font;
    m_font = font;
    return previous;
}

SIZE TerminalDC::GetTextExtent(const char* /*text*/, int nLength) {
    const int cells = nLength > 0 ? nLength : 0;
    return SIZE{cells * kCellWidth, kCellHeight};
}

BOOL TerminalDC::TextOut(int x, int y, const char* text, int nLength) {
    if (m_pScreen && text && nLength > 0) {
        m_pScreen->Put(CellX(x), y / kCellHeight, CellText(text, nLength), StyleOf(m_crText));
    }
    return TRUE;
}

COLORREF TerminalDC::SetTextColor(COLORREF color) {
    const COLORREF previous = m_crText;
    m_crText = color;
    return previous;
}

int TerminalDC::SetBkMode(int mode) {
    const int previous = m_nBkMode;
    m_nBkMode = mode;
    return previous;
}

int TerminalDC::GetClipBox(RECT* rc) const {
    if (!rc) {
        return 1;
    }
    if (m_pScreen) {
        SetRect(rc, 0, 0, PixelX(m_pScreen->Cols()), m_pScreen->Rows() * kCellHeight);
    } else {
        SetRect(rc, 0, 0, kUnboundedClip, kUnboundedClip);
    }
    return 1;
}
