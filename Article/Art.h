// The reference article: the lesson text cut into tokens, laid out into lines and pages on a
// paper rectangle, scrolled and drawn. Internal; hosts see it as Article. Also the base of the
// typing article, whose overrides take effect inside these algorithms through the virtual table.
#pragma once

#include <string>

#include "Article/Article.h"
#include "Article/Token.h"

class Art : public virtual Article {
public:
    Art();
    ~Art() override;
    Art(const Art&) = delete;
    Art& operator=(const Art&) = delete;

    // Article
    int GetPageCount() const override;
    int GetLineCount() const override;
    int GetPageLineCount() const override;
    int GetLineRight(int nLine) const override;
    int GetLineHeight() const override;
    int GetLinePitch() const override;
    double GetLineSpacing() const override;
    int GetTokenCount() const override;
    int GetCharCount() const override;
    int GetTokenLine(int nToken) const override;
    RECT* GetPaperRect(RECT* out) const override;
    void GetTokenRect(RECT* out, int nToken) const override;
    void GetTokenDrawRect(RECT* out, int nToken) const override;
    void GetTokenSpanRect(RECT* out, int nToken) const override;
    int GetScrollTopLine() const override;
    int GetScrollBottomLine() const override;
    BOOL SetText(const char* text) override;
    BOOL SetPaperRect(const RECT* rc) override;
    BOOL SetFont(const LOGFONTA* lf) override;
    BOOL SetLineSpacing(double factor) override;
    BOOL Recalculate(CDC* dc) override;
    BOOL RecalculateLine(CDC* dc, int nLine, BOOL* pbOverflow) override;
    BOOL Draw(CDC* dc, const RECT* rcPaper) override;
    BOOL Scroll(int nLines) override;
    double GetCharsPerWord() const override;
    BOOL SetHighlightCurrent(BOOL on) override;
    BOOL GetHighlightCurrent() const override;
    BOOL SetMasked(BOOL on) override;
    BOOL GetMasked() const override;
    BOOL SetVisible(BOOL on) override;
    BOOL SetJustify(BOOL on) override;
    BOOL GetVisible() const override;
    BOOL GetJustify() const override;

    // Creates one token for the token array; the typing article creates typed tokens.
    // Null (with a report) when it cannot be created.
    virtual Token* NewToken();

    // Every field back to its default; the token array pointer becomes null without deleting
    // anything; the font stays.
    void ResetArt();
    Token** GetTokens() const { return m_ppTokens; }
    int SetCurrentToken(int n) {
        m_nCurrentToken = n;
        return n;
    }
    int GetCurrentToken() const { return m_nCurrentToken; }

    // The next token span [*pStart, *pEnd] at or after nFrom; FALSE when none is left.
    BOOL FindToken(int nFrom, int* pStart, int* pEnd) const;
    // Spans the scanner finds in the text.
    int CountTokens() const;
    // Replaces the token array by one of n new tokens; FALSE (with a report) without memory.
    BOOL AllocateTokens(int n);
    // Deletes all tokens and the array; the counts keep their values.
    void FreeTokens();
    // Spreads the free width of a line over the gaps between tokens nFirst..nLast.
    BOOL JustifyLine(CDC* dc, int nFirst, int nLast, BOOL* pbOverflow);

protected:
    // Line gap in pixels: the line height times the spacing, rounded.
    int GetLineGap() const;
    // Selects the article font into dc and returns the font it replaced.
    DCFont SelectArticleFont(CDC* dc) const;

    // Token i of the array, or null when there is no such token.
    Token* TokenAt(int i) const;
    // Paper extents, wide enough that no rectangle can overflow them.
    long long GetPaperWidth() const;
    long long GetPaperHeight() const;
    // v limited to the int range.
    static int ClampToInt(long long v);
    // trunc(v) toward zero, limited to the int range; 0 for NaN.
    static int TruncateToInt(double v);

    std::string m_strText;
    Token** m_ppTokens;
    int m_nTokenCount;
    int m_nCurrentToken;
    int m_nAllocatedTokens;
    int m_nLineCount;
    RECT m_rcPaper;
    int m_nScrollTopLine;
    int m_nLineHeight;
    double m_dLineSpacing;
    double m_dCharsPerWord;
    BOOL m_bCalculated;
    LOGFONTA m_lfFont;
    BOOL m_bHighlightCurrent;
    BOOL m_bMasked;
    BOOL m_bFontSet;
    BOOL m_bVisible;
    BOOL m_bJustify;
};
