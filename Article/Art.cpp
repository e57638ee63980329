// The reference article's object model: construction, defaults and the small accessors.
#include "Article/Art.h"

#include <climits>
#include <cmath>

#include "diagnostics/Report.h"

namespace {

constexpr const char* kModule = "Article/Article";

constexpr double kDefaultLineSpacing = 0.25;

}  // namespace

Art::Art() : m_lfFont{} {
    ResetArt();
}

Art::~Art() {
    FreeTokens();
}

void Art::ResetArt() {
    m_strText.clear();
    m_ppTokens = nullptr;
    m_nTokenCount = 0;
    m_nCurrentToken = 0;
    m_nAllocatedTokens = 0;
    m_nLineCount = 0;
    SetRectEmpty(&m_rcPaper);
    m_nScrollTopLine = 0;
    m_nLineHeight = 0;
    m_dLineSpacing = kDefaultLineSpacing;
    m_dCharsPerWord = 0.0;
    m_bCalculated = FALSE;
    m_bHighlightCurrent = FALSE;
    m_bMasked = FALSE;
    m_bFontSet = FALSE;
    m_bVisible = TRUE;
    m_bJustify = FALSE;
}

int Art::GetLineCount() const {
    if (!m_bCalculated) {
        TW_REPORT(kModule, "GetLineCount called before Article is calculated");
        return -1;
    }
    return m_nLineCount;
}

int Art::GetLineHeight() const {
    if (!m_bCalculated) {
        TW_REPORT(kModule, "GetLineHeight called before Article is calculated");
        return -1;
    }
    return m_nLineHeight;
}

int Art::GetLinePitch() const {
    return ClampToInt(static_cast<long long>(m_nLineHeight) + GetLineGap());
}

double Art::GetLineSpacing() const {
    return m_dLineSpacing;
}

int Art::GetTokenCount() const {
    if (!m_ppTokens) {
        TW_REPORT(kModule, "GetTokenCount called before Token Array is created");
        return -1;
    }
    return m_nTokenCount;
}

int Art::GetCharCount() const {
    if (!m_ppTokens || m_nTokenCount <= 0) {
        return 0;
    }
    long long count = m_nTokenCount - 1;  // one separator between neighbours
    std::string text;
    for (int i = 0; i < m_nTokenCount; ++i) {
        if (Token* token = TokenAt(i)) {
            count += static_cast<long long>(token->GetString(text).size());
        }
    }
    return ClampToInt(count);
}

RECT* Art::GetPaperRect(RECT* out) const {
    if (out) {
        *out = m_rcPaper;
    }
    return out;
}

int Art::GetScrollTopLine() const {
    if (!m_bCalculated) {
        TW_REPORT(kModule, "GetScrollTopLine called before Article is calculated");
        return -1;
    }
    return m_nScrollTopLine;
}

BOOL Art::SetPaperRect(const RECT* rc) {
    if (!rc) {
        return FALSE;
    }
    m_rcPaper = *rc;
    Recalculate(nullptr);  // its result does not change ours
    return TRUE;
}

BOOL Art::SetFont(const LOGFONTA* lf) {
    if (!lf) {
        return FALSE;
    }
    m_lfFont = *lf;
    m_bFontSet = TRUE;
    return TRUE;
}

BOOL Art::SetLineSpacing(double factor) {
    m_dLineSpacing = factor;
    return TRUE;
}

double Art::GetCharsPerWord() const {
    return m_dCharsPerWord;
}

BOOL Art::SetHighlightCurrent(BOOL on) {
    m_bHighlightCurrent = on;
    return m_bHighlightCurrent;
}

BOOL Art::GetHighlightCurrent() const {
    return m_bHighlightCurrent;
}

BOOL Art::SetMasked(BOOL on) {
    m_bMasked = on;
    return m_bMasked;
}

BOOL Art::GetMasked() const {
    return m_bMasked;
}

BOOL Art::SetVisible(BOOL on) {
    m_bVisible = on;
    return m_bVisible;
}

BOOL Art::SetJustify(BOOL on) {
    m_bJustify = on;
    return m_bJustify;
}

BOOL Art::GetVisible() const {
    return m_bVisible;
}

BOOL Art::GetJustify() const {
    return m_bJustify;
}

int Art::GetLineGap() const {
    return TruncateToInt(static_cast<double>(m_nLineHeight) * m_dLineSpacing + 0.5);
}

DCFont Art::SelectArticleFont(CDC* dc) const {
    return dc->SelectFont(m_bFontSet ? DCFont::FromLogFont(m_lfFont) : DCFont::Stock());
}

Token* Art::TokenAt(int i) const {
    if (!m_ppTokens || i < 0 || i >= m_nAllocatedTokens) {
        return nullptr;
    }
    return m_ppTokens[i];
}

long long Art::GetPaperWidth() const {
    return static_cast<long long>(m_rcPaper.right) - m_rcPaper.left;
}

long long Art::GetPaperHeight() const {
    return static_cast<long long>(m_rcPaper.bottom) - m_rcPaper.top;
}

int Art::ClampToInt(long long v) {
    if (v > INT_MAX) {
        return INT_MAX;
    }
    if (v < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(v);
}

int Art::TruncateToInt(double v) {
    if (std::isnan(v)) {
        return 0;
    }
    if (v >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    if (v <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<int>(v);
}
