// The reference article's paging, scrolling and token geometry.
#include "Article/Art.h"

#include <climits>

#include "diagnostics/Report.h"

namespace {

constexpr const char* kModule = "Article/Article";

}  // namespace

int Art::GetPageLineCount() const {
    if (m_nLineHeight == 0) {
        TW_REPORT(kModule, "GetPageLineCount called before Article is completely initialized");
        return -1;
    }
    const long long pitch = GetLinePitch();
    if (pitch <= 0) {
        return 0;  // a line spacing that folds lines onto each other gives no paging
    }
    // The last line needs no gap below it.
    const long long lines = (GetPaperHeight() + GetLineGap()) / pitch;
    return lines < 0 ? 0 : ClampToInt(lines);
}

int Art::GetPageCount() const {
    if (GetPaperWidth() == 0) {
        TW_REPORT(kModule, "GetPageCount called before Article is completely initialized");
        return -1;
    }
    const long long pageLines = GetPageLineCount();
    const long long lines = GetLineCount();
    // Without whole lines on a page, or without a line count, there is no page count.
    if (pageLines <= 0 || lines < 0) {
        return -1;
    }
    return ClampToInt((lines + pageLines - 1) / pageLines);
}

int Art::GetScrollBottomLine() const {
    if (!m_bCalculated) {
        TW_REPORT(kModule, "GetScrollBottomLine called before Article is calculated");
        return -1;
    }
    return ClampToInt(static_cast<long long>(GetPageLineCount()) + m_nScrollTopLine - 1);
}

BOOL Art::Scroll(int nLines) {
    // 1.
    if (IsRectEmpty(&m_rcPaper)) {
        TW_REPORT(kModule, "GetPageCount called before m_rcPaper is set");
        return 0;
    }
    const long long newTop = static_cast<long long>(m_nScrollTopLine) + nLines;
    if (nLines > 0) {
        // 2. Refused while the new top line lies above the page's current bottom line.
        if (newTop < GetScrollBottomLine() || newTop > INT_MAX) {
            TW_REPORT(kModule, "Try to scroll down at last page");
        } else {
            m_nScrollTopLine = static_cast<int>(newTop);
        }
    } else if (nLines < 0) {
        // 3. No clamping to line 0.
        if (newTop >= 0) {
            m_nScrollTopLine = static_cast<int>(newTop);
        } else {
            TW_REPORT(kModule, "Try to scroll up at first page");
        }
    }
    // 4. nLines == 0: nothing.
    return 0;
}

int Art::GetTokenLine(int nToken) const {
    const int limit = nToken < m_nTokenCount - 1 ? nToken : m_nTokenCount - 1;
    int line = 0;
    for (int k = 0; k < limit; ++k) {
        const Token* token = TokenAt(k);
        if (token && (token->IsLineEnd() || token->IsNewLine())) {
            ++line;
        }
    }
    return line;
}

int Art::GetLineRight(int nLine) const {
    // 1.
    if (m_nTokenCount <= 0) {
        return 0;
    }
    // 2.
    int i = 0;
    while (i < m_nTokenCount && GetTokenLine(i) <= nLine) {
        ++i;
    }
    RECT rc;
    if (i < m_nTokenCount) {
        // 3.
        if (i == 0) {
            return 0;
        }
        GetTokenRect(&rc, i - 1);
        return rc.right;
    }
    // 4.
    const int last = m_nTokenCount - 1;
    if (GetTokenLine(last) != nLine) {
        return 0;
    }
    GetTokenRect(&rc, last);
    return rc.right;
}

void Art::GetTokenRect(RECT* out, int nToken) const {
    if (!out) {
        return;
    }
    const Token* token = nToken < m_nTokenCount ? TokenAt(nToken) : nullptr;
    if (!token) {
        SetRectEmpty(out);  // no such token
        return;
    }
    token->GetRect(out);
    // Right and bottom just outside the token.
    out->right = ClampToInt(static_cast<long long>(out->right) + 1);
    out->bottom = ClampToInt(static_cast<long long>(out->bottom) + 1);
}

void Art::GetTokenDrawRect(RECT* out, int nToken) const {
    if (!out) {
        return;
    }
    GetTokenRect(out, nToken);
    const long long dx = m_rcPaper.left;
    const long long dy = m_rcPaper.top - static_cast<long long>(GetLinePitch()) * m_nScrollTopLine;
    out->left = ClampToInt(out->left + dx);
    out->right = ClampToInt(out->right + dx);
    out->top = ClampToInt(out->top + dy);
    out->bottom = ClampToInt(out->bottom + dy);
}

void Art::GetTokenSpanRect(RECT* out, int nToken) const {
    if (!out) {
        return;
    }
    // 1.
    GetTokenDrawRect(out, nToken);
    const Token* token = nToken < m_nTokenCount ? TokenAt(nToken) : nullptr;
    if (!token) {
        return;
    }
    RECT neighbour;
    // 2.
    const Token* previous = TokenAt(nToken - 1);
    if (nToken > 0 && previous && previous->GetLine() == token->GetLine()) {
        GetTokenDrawRect(&neighbour, nToken - 1);
        out->left = ClampToInt(static_cast<long long>(neighbour.right) + 1);
    }
    // 3.
    const Token* next = nToken + 1 < m_nTokenCount ? TokenAt(nToken + 1) : nullptr;
    if (next && next->GetLine() == token->GetLine()) {
        GetTokenDrawRect(&neighbour, nToken + 1);
        out->right = ClampToInt(static_cast<long long>(neighbour.left) - 1);
    }
}
