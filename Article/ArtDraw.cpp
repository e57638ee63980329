// Drawing the reference article's page into a device context.
#include "Article/Art.h"

#include "diagnostics/Report.h"

namespace {

constexpr const char* kModule = "Article/Article";

constexpr COLORREF kTextColor = RGB(0, 0, 0);            // every token
constexpr COLORREF kCurrentTokenColor = RGB(0, 0, 255);  // the current token, when highlighted

// Narrows the lines [*pLine, *pEnd) of a page drawn on rcPaper to those whose bands may meet
// clip: a band wholly above or below it, or a paper beside it, meets nothing.
void PassOverUnclippedLines(const RECT& rcPaper, const RECT& clip, long long pitch,
                            long long* pLine, long long* pEnd) {
    if (pitch <= 0 || rcPaper.right <= clip.left || rcPaper.left >= clip.right ||
        rcPaper.right <= rcPaper.left) {
        *pEnd = *pLine;
        return;
    }
    const long long first = *pLine;
    // Bands before this one end at or above the clip's top; bands from the other start below
    // its bottom. One line of margin on either side keeps the truncating division safe.
    const long long above = (static_cast<long long>(clip.top) - rcPaper.top) / pitch - 1;
    const long long below = (static_cast<long long>(clip.bottom) - rcPaper.top) / pitch + 1;
    if (above > 0) {
        *pLine = first + above;
    }
    if (first + below < *pEnd) {
        *pEnd = first + below;
    }
}

}  // namespace

BOOL Art::Draw(CDC* dc, const RECT* rcPaper) {
    // 1.
    if (!m_bVisible) {
        return TRUE;
    }
    if (!dc || !rcPaper) {
        return FALSE;  // nowhere to draw
    }
    // 2.
    RECT clip;
    dc->GetClipBox(&clip);
    // 3. A new paper means a new layout; a failed one leaves the previous layout to draw.
    if (!EqualRect(rcPaper, &m_rcPaper)) {
        m_rcPaper = *rcPaper;
        Recalculate(dc);
    }
    // 4. The first token of the top line.
    int cursor = 0;
    if (m_nScrollTopLine != 0) {
        cursor = 1;
        while (cursor < m_nTokenCount &&
               !(TokenAt(cursor) && TokenAt(cursor)->GetLine() == m_nScrollTopLine)) {
            ++cursor;
        }
        if (m_nTokenCount > 0 && cursor >= m_nTokenCount) {
            TW_REPORT(kModule, "Scroll top line is too large");
            return FALSE;
        }
    }
    // 5.
    const DCFont previousFont = SelectArticleFont(dc);
    const int previousMode = dc->SetBkMode(TRANSPARENT);
    const COLORREF previousColor = dc->SetTextColor(kTextColor);

    // 6. Bands that cannot meet the clipping box are passed over (6.2) without visiting them
    //    one by one: a very tall paper holds billions of lines.
    const long long pitch = GetLinePitch();
    const long long firstLine = m_nScrollTopLine;
    long long line = firstLine;
    long long endLine = firstLine + GetPageLineCount();
    PassOverUnclippedLines(*rcPaper, clip, pitch, &line, &endLine);
    for (; line < endLine && cursor < m_nTokenCount; ++line) {
        // 6.1
        const long long y = rcPaper->top + pitch * (line - firstLine);
        const RECT band{rcPaper->left, ClampToInt(y), rcPaper->right, ClampToInt(y + pitch)};
        // 6.2
        RECT meet;
        if (!IntersectRect(&meet, &band, &clip)) {
            continue;
        }
        // 6.3
        while (cursor < m_nTokenCount && !(TokenAt(cursor) && TokenAt(cursor)->GetLine() == line)) {
            ++cursor;
        }
        // 6.4
        for (; cursor < m_nTokenCount; ++cursor) {
            Token* token = TokenAt(cursor);
            if (!token || token->GetLine() != line) {
                break;
            }
            RECT r;
            GetTokenDrawRect(&r, cursor);
            if (m_bHighlightCurrent) {
                dc->SetTextColor(cursor == m_nCurrentToken ? kCurrentTokenColor : kTextColor);
            }
            if (IntersectRect(&meet, &r, &clip)) {
                if (m_bMasked) {
                    token->DrawMasked(dc, r.left, r.top);
                } else {
                    token->Draw(dc, r.left, r.top);
                }
            }
        }
    }
    // 7.
    dc->SelectFont(previousFont);
    dc->SetBkMode(previousMode);
    dc->SetTextColor(previousColor);
    // 8.
    return TRUE;
}
