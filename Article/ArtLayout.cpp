// The reference article's text intake (scanner, token array) and its layout into lines.
#include "Article/Art.h"

#include <climits>
#include <cstring>
#include <new>

#include "diagnostics/Report.h"

namespace {

constexpr const char* kModule = "Article/Article";

// A token's text is copied into a buffer of this size, its terminating zero included.
constexpr int kPieceBufferSize = kMaxTokenLength + 1;

// Measurement between neighbouring tokens of a line.
constexpr char kSeparator = ' ';

SIZE Measure(CDC* dc, const std::string& text, size_t nLength) {
    const size_t n = nLength < text.size() ? nLength : text.size();
    return dc->GetTextExtent(text.data(),
                             n > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n));
}

}  // namespace

// ---- Text intake --------------------------------------------------------------------------

BOOL Art::FindToken(int nFrom, int* pStart, int* pEnd) const {
    const std::string& s = m_strText;
    const long long n = static_cast<long long>(s.size());
    // 1. Nothing left to scan (a negative start or missing outputs scan nothing either).
    if (n < 1 || nFrom >= n || nFrom < 0 || !pStart || !pEnd) {
        return FALSE;
    }
    auto white = [&s](long long k) { return Token::IsWhiteSpace(s[static_cast<size_t>(k)]); };

    // 2. Skip white space.
    long long start = nFrom;
    while (start < n && white(start)) {
        ++start;
    }
    if (start >= n) {
        *pStart = ClampToInt(start);  // the scan ran to the end: only white space was left
        return FALSE;
    }
    // 3. The run of non-white-space characters.
    long long end = start;
    while (end < n - 1 && !white(end + 1)) {
        ++end;
    }
    // 4. A line feed right after the run belongs to the token.
    if (end < n - 1 && s[static_cast<size_t>(end + 1)] == '\n') {
        ++end;
    } else {
        // 5. So does the first line feed of the white space that follows.
        for (long long k = end + 1; k < n && white(k); ++k) {
            if (s[static_cast<size_t>(k)] == '\n') {
                end = k;
                break;
            }
        }
    }
    *pStart = static_cast<int>(start);
    *pEnd = static_cast<int>(end);
    return TRUE;
}

int Art::CountTokens() const {
    int count = 0;
    int start = 0;
    int end = -1;
    while (end < INT_MAX && FindToken(end + 1, &start, &end)) {
        ++count;
    }
    return count;
}

BOOL Art::AllocateTokens(int n) {
    // 1.
    FreeTokens();
    // 2.
    if (n >= 0) {
        m_ppTokens = new (std::nothrow) Token*[static_cast<size_t>(n)];
    }
    if (!m_ppTokens) {
        TW_REPORT(kModule, "AllocateTokens failed");
        return FALSE;
    }
    // 3. Through the virtual NewToken, so that derived articles create their own kind.
    int created = 0;
    while (created < n) {
        Token* token = NewToken();
        if (!token) {
            break;
        }
        m_ppTokens[created++] = token;
    }
    // 4.
    m_nAllocatedTokens = created;
    // 5.
    for (int i = created; i < n; ++i) {
        m_ppTokens[i] = nullptr;
    }
    // 6.
    return TRUE;
}

void Art::FreeTokens() {
    if (!m_ppTokens) {
        return;
    }
    for (int i = 0; i < m_nAllocatedTokens; ++i) {
        delete m_ppTokens[i];
    }
    delete[] m_ppTokens;
    m_ppTokens = nullptr;
}

Token* Art::NewToken() {
    Token* token = new (std::nothrow) Token();
    if (!token) {
        TW_REPORT(kModule, "Art::NewToken failed");
    }
    return token;
}

BOOL Art::SetText(const char* text) {
    // 1.
    if (!text) {
        TW_REPORT(kModule, "NULL passed into Art::SetText");
        return FALSE;
    }
    // 2.
    m_strText = text;
    // 3.
    if (!AllocateTokens(CountTokens())) {
        return FALSE;
    }
    // 4.
    m_nTokenCount = m_nAllocatedTokens;
    // 5.
    int start = 0;
    int end = -1;
    for (int k = 0; k < m_nTokenCount && FindToken(end + 1, &start, &end); ++k) {
        // 5.1
        const long long length = static_cast<long long>(end) - start + 1;
        if (length > kMaxTokenLength) {
            TW_REPORT(kModule, "Encounter too-long token");
            return FALSE;
        }
        // 5.2
        char piece[kPieceBufferSize];
        std::memcpy(piece, m_strText.data() + start, static_cast<size_t>(length));
        piece[length] = '\0';
        // 5.3
        if (Token* token = TokenAt(k)) {
            token->SetString(piece);
        }
    }
    // 6.
    m_dCharsPerWord = 5.0;
    return TRUE;
}

// ---- Layout -------------------------------------------------------------------------------

BOOL Art::Recalculate(CDC* dc) {
    // 1.
    if (IsRectEmpty(&m_rcPaper)) {
        TW_REPORT(kModule, "Recalculate called when m_rcPaper is empty");
        return FALSE;
    }
    // 2.
    m_bCalculated = FALSE;
    // 3.
    CDC* desktop = nullptr;
    if (!dc) {
        desktop = GetDesktopDC();
        if (!desktop) {
            TW_REPORT(kModule, "Cannot get DC from Desktop window");
            return FALSE;
        }
        dc = desktop;
    }
    // 4.
    const DCFont previousFont = SelectArticleFont(dc);
    const long long paperWidth = GetPaperWidth();

    // 5.
    m_nLineCount = 1;
    m_nLineHeight = 0;
    std::string line;  // the text of the current line, grown token by token
    int tokensOnLine = 0;
    int firstOfLine = 0;
    std::string text;

    // 6.
    for (int i = 0; i < m_nTokenCount; ++i) {
        Token* token = TokenAt(i);
        if (!token) {
            continue;
        }
        token->GetString(text);
        // 6.1
        if (tokensOnLine > 0) {
            line += kSeparator;
        }
        line += text;
        SIZE extent = Measure(dc, line, line.size());
        long long w = extent.cx;
        long long h = extent.cy;

        RECT rc{};
        if (w <= paperWidth || tokensOnLine == 0) {
            // 6.2 The token stays on the current line.
            rc.right = static_cast<LONG>(w);
            if (tokensOnLine > 0) {
                // The line up to and including the separator.
                const long long length = token->GetLength();
                const long long prefix = static_cast<long long>(line.size()) - length;
                const SIZE before = Measure(dc, line, prefix > 0 ? static_cast<size_t>(prefix) : 0);
                rc.left = ClampToInt(static_cast<long long>(before.cx) + 1);
                h = before.cy;
            }
        } else {
            // 6.3 The line wraps before the token.
            if (Token* previous = TokenAt(i - 1)) {
                previous->SetLineEnd(TRUE);
            }
            if (m_bJustify) {
                JustifyLine(dc, firstOfLine, i - 1, nullptr);
            }
            m_nLineCount += 1;
            tokensOnLine = 0;
            line = text;
            extent = Measure(dc, line, line.size());
            w = extent.cx;
            h = extent.cy;
            rc.right = static_cast<LONG>(w);
            firstOfLine = i;
        }
        rc.bottom = static_cast<LONG>(h);
        token->SetRect(&rc);
        token->SetLine(m_nLineCount - 1);
        token->SetLineEnd(FALSE);

        // 6.4
        if (h > m_nLineHeight) {
            m_nLineHeight = static_cast<int>(h);
        }
        // 6.5
        if (token->IsNewLine()) {
            m_nLineCount += 1;
            tokensOnLine = 0;
            line.clear();
            firstOfLine = i + 1;
        } else {
            tokensOnLine += 1;
        }
    }

    // 7. Rows from the line indexes, now that the line height is known.
    const long long pitch = GetLinePitch();
    for (int i = 0; i < m_nTokenCount; ++i) {
        Token* token = TokenAt(i);
        if (!token) {
            continue;
        }
        RECT rc;
        token->GetRect(&rc);
        const long long top = static_cast<long long>(token->GetLine()) * pitch;
        rc.top = ClampToInt(top);
        rc.bottom = ClampToInt(static_cast<long long>(rc.top) + m_nLineHeight);
        token->SetRect(&rc);
    }
    // 8.
    m_bCalculated = TRUE;
    // 9.
    dc->SelectFont(previousFont);
    if (desktop) {
        ReleaseDesktopDC(desktop);
    }
    // 10.
    return TRUE;
}

BOOL Art::JustifyLine(CDC* dc, int nFirst, int nLast, BOOL* pbOverflow) {
    Token* last = TokenAt(nLast);
    if (!TokenAt(nFirst) || !last || nFirst > nLast) {
        if (pbOverflow) {
            *pbOverflow = FALSE;
        }
        return TRUE;
    }
    const long long paperWidth = GetPaperWidth();
    // 1.
    RECT rc;
    last->GetRect(&rc);
    const long long freeWidth = paperWidth - rc.right;
    // 2.
    const int gaps = nLast - nFirst;
    for (int k = nFirst + 1; k <= nLast; ++k) {
        Token* token = TokenAt(k);
        if (!token) {
            continue;
        }
        const double share = static_cast<double>(k - nFirst) * static_cast<double>(freeWidth) /
                             static_cast<double>(gaps);
        const long long shift = TruncateToInt(share + 0.5);
        token->GetRect(&rc);
        rc.left = ClampToInt(rc.left + shift);
        rc.right = ClampToInt(rc.right + shift);
        token->SetRect(&rc);
    }
    // 3.
    if (pbOverflow) {
        if (!dc) {
            // Nothing to measure in: the line is not known to overflow.
            *pbOverflow = FALSE;
            return TRUE;
        }
        std::string line;
        std::string text;
        for (int k = nFirst; k <= nLast; ++k) {
            if (k > nFirst) {
                line += kSeparator;
            }
            if (Token* token = TokenAt(k)) {
                line += token->GetString(text);
            }
        }
        const DCFont previousFont = SelectArticleFont(dc);
        const SIZE extent = Measure(dc, line, line.size());
        *pbOverflow = extent.cx >= paperWidth ? TRUE : FALSE;
        dc->SelectFont(previousFont);
    }
    // 4.
    return TRUE;
}

BOOL Art::RecalculateLine(CDC* dc, int nLine, BOOL* pbOverflow) {
    // Lines are numbered from 0: no token lies on a negative line.
    if (nLine < 0) {
        return FALSE;
    }
    // 1.
    int first = -1;
    for (int i = 0; i < m_nTokenCount; ++i) {
        Token* token = TokenAt(i);
        if (token && token->GetLine() >= nLine) {
            first = i;
            break;
        }
    }
    if (first < 0) {
        TW_REPORT(kModule, "RecalculateLine: nLine is greater than the last line");
        return FALSE;
    }
    // No token lies on nLine itself: nothing to justify.
    if (TokenAt(first)->GetLine() != nLine) {
        return FALSE;
    }
    // 2.
    int last = first;
    while (last + 1 < m_nTokenCount && TokenAt(last + 1) && TokenAt(last + 1)->GetLine() == nLine) {
        ++last;
    }
    // 3.
    return JustifyLine(dc, first, last, pbOverflow);
}
