// The typed token: what the learner typed for one reference token, judged character by
// character against it, drawn in the colours of the judgement, and timed.
#pragma once

#include "Article/Token.h"
#include "platform/Win32.h"

// Judgement of one typed character.
enum CharState : int {
    csCorrect = 1,  // equals the reference byte it was matched with
    csWrong = 2,    // does not
    csMissing = 5,  // a placeholder for a reference byte that was skipped
};

// Control codes that the typing article puts into typed text.
inline constexpr char kCodeEarlySpace = 3;  // a space typed before the end of a word: shown '_'
inline constexpr char kCodeFreeSpace = 4;   // a space typed into an empty free token: shown ' '

// Colours of typed characters.
inline constexpr COLORREF kTypedGrey = 0x606060;
inline constexpr COLORREF kTypedRed = 0x0000FF;
inline constexpr COLORREF kTypedGreen = 0x00FF00;

struct TypedChar {
    char m_ch;
    int m_nState;
    TypedChar* m_pNext;
};

class TypeToken : public Token {
public:
    TypeToken();
    ~TypeToken() override;
    TypeToken(const TypeToken&) = delete;
    TypeToken& operator=(const TypeToken&) = delete;

    // Empties the typed text; keeps the judged list, layout fields and reference.
    void Reset() override;
    // The judged characters as text (codes 3 and 4 as spaces, placeholders as '_'); unbound:
    // the typed text, with a report.
    std::string& GetString(std::string& out) const override;
    // Number of judged characters; unbound: the typed text's length, with a report.
    int GetLength() const override;
    // Draws the judged characters, each at the place of its reference character; always TRUE.
    BOOL Draw(CDC* dc, int x, int y) override;
    // Appends c to the typed text (not to the judged list); always TRUE.
    BOOL AddChar(char c) override;
    // Drops the last judged character, and its typed byte unless it was a placeholder.
    BOOL RemoveLastChar() override;
    Token* GetReference() const override { return m_pReference; }
    // Rebuild the judged list: position by position; all correct; by matching substrings.
    void CompareByLetter() override;
    void MarkAllCorrect() override;
    void CompareByMatching(BOOL finished) override;

    BOOL SetReference(Token* ref) {
        m_pReference = ref;
        return TRUE;
    }
    void SetMarkTypos(BOOL on) { m_bMarkTypos = on; }
    BOOL GetMarkTypos() const { return m_bMarkTypos; }
    BOOL HasError() const { return m_bHasError; }
    // The last judged character, or null.
    TypedChar* GetLastChar() const;
    // The first judged character, or null; the list runs through m_pNext.
    const TypedChar* GetFirstChar() const { return m_pFirstChar; }
    // The typed text itself (lead + word + trail of the typed bytes).
    std::string& GetTypedText(std::string& out) const { return GetTokenString(out); }
    void StartTiming();
    void StopTiming();
    int GetTypingTime() const { return m_nTypingTime; }

private:
    void AppendChar(char c, int nState);
    void ClearChars();

    SYSTEMTIME m_stStart;
    int m_nTypingTime;
    Token* m_pReference;
    TypedChar* m_pFirstChar;
    BOOL m_bHasError;
    BOOL m_bMarkTypos;
};
