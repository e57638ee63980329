// Tokens: the unit of layout, drawing and comparison. A reference token is one word with the
// punctuation that clings to it, cut into leading delimiters, word and trailing delimiters.
#pragma once

#include <string>

#include "platform/DeviceContext.h"
#include "platform/Win32.h"

// The longest token text, in bytes.
inline constexpr int kMaxTokenLength = 63;

class Token {
public:
    Token();
    virtual ~Token();

    // The twelve virtual operations, in their fixed order.
    // Empties the token: no text, no line flags, line -1, empty rectangle.
    virtual void Reset();
    // Fills the token from one token's text; FALSE and unchanged for 64 bytes or more
    // (reports "Encounter too-long token"). A null text counts as empty.
    virtual BOOL SetString(const char* text);
    // out = lead + word + trail; returns out.
    virtual std::string& GetString(std::string& out) const;
    // Length of lead + word + trail in bytes.
    virtual int GetLength() const;
    // Draws GetString() at (x, y) with the caller's font, colour and mode; always TRUE.
    virtual BOOL Draw(CDC* dc, int x, int y);
    // A reference token takes no typed characters: FALSE.
    virtual BOOL AddChar(char c);
    // Removes the last byte of the text; FALSE (with a report) when the token is empty.
    virtual BOOL RemoveLastChar();
    // The token this one is judged against; null for a reference token.
    virtual Token* GetReference() const;
    // Comparisons of typed text; nothing for a reference token.
    virtual void CompareByLetter();
    virtual void MarkAllCorrect();
    virtual void CompareByMatching(BOOL finished);

    // Character classes: space, tab and line feed; and the 31 delimiters.
    static BOOL IsWhiteSpace(char c);
    static BOOL IsDelimiter(char c);

    // out = the word without its delimiters; returns out.
    std::string& GetWord(std::string& out) const;
    void GetRect(RECT* out) const { *out = m_rcToken; }
    void SetRect(const RECT* rc) { m_rcToken = *rc; }
    int GetLine() const { return m_nLine; }
    BOOL SetLine(int line) {
        m_nLine = line;
        return TRUE;
    }
    BOOL IsLineEnd() const { return m_bLineEnd; }
    void SetLineEnd(BOOL b) { m_bLineEnd = b; }
    BOOL IsNewLine() const { return m_bNewLine; }
    void SetNewLine(BOOL b) { m_bNewLine = b; }
    BOOL IsEmpty() const { return m_bEmpty; }
    // out = as many '*' as GetLength() answers; returns out.
    std::string& GetMaskedString(std::string& out) const;
    // Draws GetMaskedString() at (x, y); always TRUE.
    BOOL DrawMasked(CDC* dc, int x, int y);

    // The three parts of the text.
    const std::string& Lead() const { return m_strLead; }
    const std::string& Word() const { return m_strWord; }
    const std::string& Trail() const { return m_strTrail; }

protected:
    // Token's own reset, for the constructor and for overrides that extend it.
    void ResetToken();
    // lead + word + trail, whatever a derived class reports through GetString.
    std::string& GetTokenString(std::string& out) const;
    int GetTokenLength() const;

    BOOL m_bEmpty;
    BOOL m_bLineEnd;
    BOOL m_bNewLine;
    int m_nLine;
    RECT m_rcToken;
    std::string m_strWord;
    std::string m_strLead;
    std::string m_strTrail;
};
