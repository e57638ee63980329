// The typing article's layout (taken over from the reference, or its own in free typing), the
// rectangle of a typed token, the redraw of the last typed tokens and the caret.
#include <string>

#include "Article/TypeArt.h"
#include "diagnostics/Report.h"

namespace {

constexpr const char* kModule = "Article/Article";

// Measured in place of an empty token, to give the caret a mean character's width.
constexpr const char* kCaretPlaceholder = "lq";

}  // namespace

BOOL TypeArt::Recalculate(CDC* dc) {
    // 1.
    if (!m_pRefArt) {
        TW_REPORT(kModule, "Recalc called before reference Art is set");
        return Art::Recalculate(dc);
    }
    // 2. Each typed token stands where its reference token stands.
    const int refCount = GetRefCount();
    for (int i = 0; i < m_nAllocatedTokens && i < refCount; ++i) {
        TypeToken* t = GetTypeToken(i);
        Token* r = GetRefToken(i);
        if (!t || !r) {
            continue;
        }
        t->SetReference(r);
        RECT rc;
        r->GetRect(&rc);
        t->SetRect(&rc);
        t->SetLine(r->GetLine());
        t->SetLineEnd(r->IsLineEnd());
        t->SetNewLine(r->IsNewLine());
    }
    // 3.
    m_nLineHeight = m_pRefArt->GetLineHeight();
    m_nLineCount = m_pRefArt->GetLineCount();
    m_dLineSpacing = m_pRefArt->GetLineSpacing();
    m_nScrollTopLine = m_pRefArt->GetScrollTopLine();
    // 4.
    m_bCalculated = TRUE;
    // 5. The first token becomes current.
    if (m_nTokenCount == 0) {
        m_nTokenCount = 1;
    }
    // 6. The device context is not needed.
    return TRUE;
}

// Free typing lays out its own text with the reference article's layout, not with TypeArt's,
// which would copy the reference's: the calls to Art's skip TypeArt on purpose.
BOOL FreeTypeArt::Recalculate(CDC* dc) {
    // 1.
    if (!m_pRefArt) {
        TW_REPORT(kModule, "Recalc called before reference Art is set");
        return Art::Recalculate(dc);  // NOLINT(bugprone-parent-virtual-call)
    }
    // 2. The typed text laid out on its own paper, typed line breaks included.
    if (!Art::Recalculate(dc)) {  // NOLINT(bugprone-parent-virtual-call)
        return FALSE;
    }
    // 3.
    BindReferences();
    // 4.
    m_nLineHeight = m_pRefArt->GetLineHeight();
    m_dLineSpacing = m_pRefArt->GetLineSpacing();
    // 5.
    m_bCalculated = TRUE;
    if (m_nTokenCount == 0) {
        m_nTokenCount = 1;
    }
    return TRUE;
}

void TypeArt::GetTokenRect(RECT* out, int nToken) const {
    if (!out) {
        return;
    }
    // 1. Any allocated typed token has a place, begun or not.
    const TypeToken* t = GetTypeToken(nToken);
    if (!t) {
        SetRectEmpty(out);
        return;
    }
    t->GetRect(out);
    const Token* ref = t->GetReference();
    // 2. Typed text longer than its reference widens the rectangle in proportion.
    if (ref) {
        const long long typedLength = t->GetLength();
        const long long refLength = ref->GetLength();
        if (typedLength > refLength && refLength > 0) {
            const long long width = static_cast<long long>(out->right) - out->left;
            out->right = ClampToInt(out->left + typedLength * width / refLength);
        }
    }
    // 3. Right and bottom just outside the token, as for the reference.
    out->right = ClampToInt(static_cast<long long>(out->right) + 1);
    out->bottom = ClampToInt(static_cast<long long>(out->bottom) + 1);
}

BOOL TypeArt::SetText(const char* text) {
    // 1. One typed token per token of text, holding it as typed text.
    const BOOL r = Art::SetText(text);
    // 2.
    if (!r) {
        return r;
    }
    // 3.
    BindReferences();
    // 4. The judgement comes with the first drawing or keystroke.
    return r;
}

BOOL TypeArt::RedrawLastWord(CDC* dc, int nWords) {
    // 1.
    int i = m_nTokenCount - 1;
    if (i < 0) {
        TW_REPORT(kModule, "RedrawLastWord called when m_nTokenCount is 0");
        return FALSE;
    }
    if (!dc) {
        return FALSE;
    }
    // 2. and 3.
    const DCFont previousFont = SelectArticleFont(dc);
    const int previousMode = dc->SetBkMode(TRANSPARENT);
    // 4. The current token first, then the ones before it; never before the first token.
    for (int n = 0; n < nWords && i >= 0; ++n, --i) {
        TypeToken* token = GetTypeToken(i);
        if (!token) {
            continue;
        }
        RECT rc;
        GetTokenDrawRect(&rc, i);
        if (m_bMasked) {
            token->DrawMasked(dc, rc.left, rc.top);
        } else {
            token->Draw(dc, rc.left, rc.top);
        }
    }
    // 5.
    dc->SelectFont(previousFont);
    dc->SetBkMode(previousMode);
    return TRUE;
}

BOOL TypeArt::GetCaretRect(CDC* dc, RECT* out) {
    if (!dc || !out) {
        return FALSE;
    }
    // 1.
    std::string s;
    BOOL placeholder = FALSE;
    // 2.
    RECT rc{};
    if (m_nTokenCount > 0) {
        if (const TypeToken* current = GetCurrentTypeToken()) {
            current->GetString(s);
        }
        GetTokenDrawRect(&rc, m_nTokenCount - 1);
    } else {
        rc.left = m_rcPaper.left;
        rc.top = m_rcPaper.top;
    }
    // 3.
    if (s.empty()) {
        s = kCaretPlaceholder;
        placeholder = TRUE;
    }
    // 4.
    const DCFont previousFont = SelectArticleFont(dc);
    const long long cx = dc->GetTextExtent(s).cx;
    dc->SelectFont(previousFont);
    // 5. One mean character of s wide.
    const long long x = rc.left + (placeholder ? 0 : cx);
    const long long w = cx / static_cast<long long>(s.size());
    // 6.
    out->left = ClampToInt(x);
    out->top = rc.top;
    out->right = ClampToInt(x + w);
    out->bottom = ClampToInt(static_cast<long long>(rc.top) + m_nLineHeight);
    return TRUE;
}
