#include "Picture.h"

#include <cstring>

#include "Encoding.h"

namespace picture {

namespace {

constexpr BYTE kSwissFamily = 0x20;

std::string SingleByte(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const int b = CodePointToSingleByte(DecodeUtf8(utf8, i));
        out += b < 0 ? '?' : static_cast<char>(b);
    }
    return out;
}

}  // namespace

LOGFONTA Font(LONG em, LONG weight) {
    LOGFONTA lf{};
    lf.lfHeight = -em;
    lf.lfWeight = weight;
    lf.lfPitchAndFamily = VARIABLE_PITCH | kSwissFamily;
    std::strncpy(lf.lfFaceName, kFace, LF_FACESIZE - 1);
    return lf;
}

int Text(CairoDC& dc, int x, int y, const std::string& utf8, const LOGFONTA& font, COLORREF color) {
    const std::string text = SingleByte(utf8);
    const DCFont previousFont = dc.SelectObject(font);
    const COLORREF previousColor = dc.SetTextColor(color);
    const int previousMode = dc.SetBkMode(TRANSPARENT);
    dc.TextOut(x, y, text);
    const int width = dc.GetTextExtent(text).cx;
    dc.SetBkMode(previousMode);
    dc.SetTextColor(previousColor);
    dc.SelectFont(previousFont);
    return width;
}

SIZE TextSize(CairoDC& dc, const std::string& utf8, const LOGFONTA& font) {
    const DCFont previous = dc.SelectObject(font);
    const SIZE size = dc.GetTextExtent(SingleByte(utf8));
    dc.SelectFont(previous);
    return size;
}

void Frame(CairoDC& dc, const RECT& rc, COLORREF color, int width) {
    const RECT sides[] = {
        {rc.left, rc.top, rc.right, rc.top + width},
        {rc.left, rc.bottom - width, rc.right, rc.bottom},
        {rc.left, rc.top, rc.left + width, rc.bottom},
        {rc.right - width, rc.top, rc.right, rc.bottom},
    };
    for (const RECT& side : sides) {
        dc.FillRect(side, color);
    }
}

}  // namespace picture
