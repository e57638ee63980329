// The typing article: the learner's typed text held token by token against the reference
// article, with keystroke handling, typo detection, typed-text layout, redraw, caret, the
// session stopwatch and the session's figures. Internal; hosts see it as TypeArticle.
#pragma once

#include "Article/Art.h"
#include "Article/TypeToken.h"
#include "Article/TypingStopwatch.h"

class TypeArt : public TypeArticle, public Art {
public:
    // Builds typed tokens for twice as many tokens as pRef holds, the first half bound to
    // pRef's tokens. pRef is not owned.
    explicit TypeArt(Art* pRef);
    ~TypeArt() override;

    // TypeArticle
    BOOL GetCaretRect(CDC* dc, RECT* out) override;
    char GetCaretChar() override;
    int TypeChar(char c) override;
    BOOL BackSpace() override;
    BOOL RedrawLastWord(CDC* dc, int nWords) override;
    TypoDetection GetTypoDetection() override;
    void SetTypoDetection(TypoDetection td) override;
    BOOL GetMarkTypos() override;
    void SetMarkTypos(BOOL b) override;
    void StartTyping() override;
    void ContinueTyping() override;
    void PauseTyping() override;
    void ResumeTyping() override;
    int GetPausedSeconds() override;
    BOOL FillLessonTrack(CLessonTrackFile* file) override;
    BOOL AddWordTracks(CWordTrackFile* file) override;
    int GetActiveSeconds() override;
    int GetKeyCount() override;
    int GetErrorCount() override;
    int GetTopSpeed() override;
    int GetSpeed() override;
    int GetCurSpeed() override;
    int GetAccuracy() override;
    int GetTypedWordCount() override;
    int GetWrongWordCount() override;
    int GetTopWordSpeed() override;
    int GetWordSpeed() override;
    int GetCurWordSpeed() override;
    int GetWordAccuracy() override;
    void SetTimeEveryWord(BOOL on) override;
    BOOL GetTimeEveryWord() override;

    // Internal keystroke helpers.
    virtual BOOL AddTypedChar(char c);
    virtual BOOL AddTypedCharByLetter(char c);

    // Article operations the typing article answers its own way.
    void GetTokenRect(RECT* out, int nToken) const override;
    BOOL SetText(const char* text) override;
    BOOL Recalculate(CDC* dc) override;

    Token* NewToken() override;

    const CTypingStopwatch& GetStopwatch() const { return m_stopwatch; }

protected:
    // Makes the next typed token the current one.
    void AdvanceToken();
    // The typed token at index i, or null.
    TypeToken* GetTypeToken(int i) const;
    // The typed token being typed (index m_nTokenCount - 1), or null before the first
    // Recalculate and in a lesson without tokens.
    TypeToken* GetCurrentTypeToken() const { return GetTypeToken(m_nTokenCount - 1); }
    // Binds the typing article to the reference and builds its typed tokens.
    void AttachReference(Art* pRef);
    // The reference article's token count; 0 without a reference or its token array.
    int GetRefCount() const;
    // Reference token i, or null outside the reference's tokens.
    Token* GetRefToken(int i) const;
    // Binds typed token i to reference token i for every index both articles hold.
    void BindReferences();
    // The space before the end of a word under a method that does not judge by letter.
    BOOL AddEarlySpaceByMatching(char c);

    Art* m_pRefArt;
    TypoDetection m_nTypoDetection;
    CTypingStopwatch m_stopwatch;
    BOOL m_bMarkTypos;
    BOOL m_bTimeEveryWord = FALSE;
};

// Free typing: no comparison, no keystroke counting; its own layout of what is typed.
class FreeTypeArt : public TypeArt {
public:
    explicit FreeTypeArt(Art* pRef);

    BOOL Recalculate(CDC* dc) override;
    char GetCaretChar() override;
    int TypeChar(char c) override;
    BOOL BackSpace() override;
};
