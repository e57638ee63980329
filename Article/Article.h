// The library's exported article interfaces and their facade.
//
// A host builds both articles with ArticleFile::Create and sees them only as Article (the
// laid-out reference text) and TypeArticle (what the learner types against it). The facade owns
// both; every pointer obtained from it is invalid after the next Create or its destruction.
#pragma once

#include "platform/DeviceContext.h"
#include "platform/Export.h"
#include "platform/Win32.h"

class CLessonTrackFile;
class CWordTrackFile;

// A laid-out text: tokens, lines and pages on a paper rectangle, its scroll position and its
// drawing. Operations that need the layout report and answer -1 until Recalculate succeeded.
class ARTICLE_EXPORT Article {
public:
    Article() = default;
    Article(const Article&) = default;
    Article& operator=(const Article&) = default;
    virtual ~Article() = 0;

    // Pages of the article; -1 (with a report) before the paper has a width.
    virtual int GetPageCount() const = 0;
    // Lines after layout; -1 (with a report) before Recalculate.
    virtual int GetLineCount() const = 0;
    // Whole lines a page holds; -1 (with a report) while the line height is 0.
    virtual int GetPageLineCount() const = 0;
    // The x just past the last token of nLine in paper coordinates; 0 for an empty line.
    virtual int GetLineRight(int nLine) const = 0;
    // Line height in pixels; -1 (with a report) before Recalculate.
    virtual int GetLineHeight() const = 0;
    // Line height plus line gap.
    virtual int GetLinePitch() const = 0;
    // Gap between lines as a fraction of the line height (0.25 by default).
    virtual double GetLineSpacing() const = 0;
    // Tokens in the article; -1 (with a report) before SetText built the token array.
    virtual int GetTokenCount() const = 0;
    // Characters of all tokens plus one separator between neighbours; 0 without tokens.
    virtual int GetCharCount() const = 0;
    // The line of nToken, counted from the line flags of the tokens before it.
    virtual int GetTokenLine(int nToken) const = 0;
    // Copies the paper rectangle into out; returns out.
    virtual RECT* GetPaperRect(RECT* out) const = 0;
    // The token's rectangle in paper coordinates, right and bottom one past the token.
    virtual void GetTokenRect(RECT* out, int nToken) const = 0;
    // The token's rectangle on the output: moved by the paper origin and the scroll position.
    virtual void GetTokenDrawRect(RECT* out, int nToken) const = 0;
    // The draw rectangle widened over the gaps to its neighbours on the same line.
    virtual void GetTokenSpanRect(RECT* out, int nToken) const = 0;
    // First line shown; -1 (with a report) before Recalculate.
    virtual int GetScrollTopLine() const = 0;
    // Last line the page can show; -1 (with a report) before Recalculate.
    virtual int GetScrollBottomLine() const = 0;
    // Takes the lesson text (zero-terminated, single-byte) and cuts it into tokens. FALSE
    // (with a report) for a null text or a token longer than 63 characters.
    virtual BOOL SetText(const char* text) = 0;
    // Sets the paper rectangle and lays the article out at once on the desktop device context;
    // TRUE whatever the layout gives.
    virtual BOOL SetPaperRect(const RECT* rc) = 0;
    // Sets the article font (copied); takes effect at the next Recalculate. TRUE.
    virtual BOOL SetFont(const LOGFONTA* lf) = 0;
    // Sets the line gap factor; takes effect at the next Recalculate. TRUE.
    virtual BOOL SetLineSpacing(double factor) = 0;
    // Lays the tokens out into lines, measuring in dc (the desktop's when null). FALSE (with a
    // report) for an empty paper or when no device context can be had.
    virtual BOOL Recalculate(CDC* dc) = 0;
    // Justifies line nLine; with pbOverflow, also tells whether its text is at least as wide as
    // the paper. FALSE (with a report) for a line past the last token.
    virtual BOOL RecalculateLine(CDC* dc, int nLine, BOOL* pbOverflow) = 0;
    // Draws the page the scroll position selects; rcPaper is the host's current paper.
    // FALSE (with a report) when the scroll position lies past the article.
    virtual BOOL Draw(CDC* dc, const RECT* rcPaper) = 0;
    // Moves the scroll position by nLines; refusals are reported. Returns 0.
    virtual BOOL Scroll(int nLines) = 0;
    // Characters that count as one word (5.0 once a text is set).
    virtual double GetCharsPerWord() const = 0;
    // Drawing flags: the current token in blue, text shown as asterisks, the article drawn at
    // all, lines justified to the paper's width. Each setter returns the value stored.
    virtual BOOL SetHighlightCurrent(BOOL on) = 0;
    virtual BOOL GetHighlightCurrent() const = 0;
    virtual BOOL SetMasked(BOOL on) = 0;
    virtual BOOL GetMasked() const = 0;
    virtual BOOL SetVisible(BOOL on) = 0;
    virtual BOOL SetJustify(BOOL on) = 0;
    virtual BOOL GetVisible() const = 0;
    virtual BOOL GetJustify() const = 0;
};

inline Article::~Article() = default;

// How typed text is compared with the reference.
enum TypoDetection : int {
    tdNone = 0,      // no comparison: free typing
    tdByLetter = 1,  // each typed character against the reference character at its place
    tdByWord = 2,    // a token by matching once the learner has left it
    tdByMatch = 3,   // the current token by matching after every keystroke
};

// What the learner types, held token by token against the reference article: keystrokes,
// judgement, caret, redraw, the session clock and the session's figures. A TypeArticle is also
// an Article: its paper, font and layout are its own, in the reference's line structure.
class ARTICLE_EXPORT TypeArticle : public virtual Article {
public:
    TypeArticle() = default;
    TypeArticle(const TypeArticle&) : Article() {}
    // Nothing to copy, so assigning to itself is harmless.
    TypeArticle& operator=(const TypeArticle&) { return *this; }  // NOLINT(cert-oop54-cpp)
    ~TypeArticle() override = default;

    // The caret of the current token: one mean character wide, one line high, after the typed
    // characters (or at the token's left edge when nothing is typed into it yet).
    virtual BOOL GetCaretRect(CDC* dc, RECT* out) = 0;
    // The character the learner is expected to type next: 0x0A at a line end, 0x20 between
    // words, 0xFF when the text is finished. A free typing article always answers 0x20.
    virtual char GetCaretChar() = 0;
    // One keystroke (Enter as 0x0A). 1 accepted (and right, by letter); 2 wrong, past the end
    // of the word, or a space before its end; 6 text finished; 7 Enter refused; 9 only Enter
    // is accepted here. Free typing always answers 1.
    virtual int TypeChar(char c) = 0;
    // Takes back one character, or steps back one token; FALSE when nothing can be taken back.
    virtual BOOL BackSpace() = 0;
    // Redraws the last nWords begun tokens over what dc shows. FALSE (with a report) when no
    // token has been begun.
    virtual BOOL RedrawLastWord(CDC* dc, int nWords) = 0;
    // The method in force.
    virtual TypoDetection GetTypoDetection() = 0;
    // Changes the method from the next keystroke on; the variant (free or checked) stays.
    virtual void SetTypoDetection(TypoDetection td) = 0;
    // Whether typed characters are coloured by their judgement.
    virtual BOOL GetMarkTypos() = 0;
    // TRUE colours typed characters by their judgement; FALSE draws them all grey.
    virtual void SetMarkTypos(BOOL b) = 0;
    // The session clock: start from zero, continue after a pause, pause, resume; the seconds
    // spent paused since the start.
    virtual void StartTyping() = 0;
    virtual void ContinueTyping() = 0;
    virtual void PauseTyping() = 0;
    virtual void ResumeTyping() = 0;
    virtual int GetPausedSeconds() = 0;
    // Copies the session's totals and per-character tables into the file's newest lesson
    // record (the host keeps the file). FALSE for a null file or a file without records.
    virtual BOOL FillLessonTrack(CLessonTrackFile* file) = 0;
    // Adds one word record per begun token to file, which owns them from then on. FALSE for a
    // null file, when no token has been begun, or when the file refused a record.
    virtual BOOL AddWordTracks(CWordTrackFile* file) = 0;
    // Active typing time up to the last keystroke, pauses left out, in seconds.
    virtual int GetActiveSeconds() = 0;
    // Keystroke figures: counts, speeds in keystrokes per minute, accuracy in percent.
    virtual int GetKeyCount() = 0;
    virtual int GetErrorCount() = 0;
    virtual int GetTopSpeed() = 0;
    virtual int GetSpeed() = 0;
    virtual int GetCurSpeed() = 0;
    virtual int GetAccuracy() = 0;
    // Word figures: begun tokens, tokens not typed exactly as the reference, speeds in words
    // per minute, word accuracy in percent.
    virtual int GetTypedWordCount() = 0;
    virtual int GetWrongWordCount() = 0;
    virtual int GetTopWordSpeed() = 0;
    virtual int GetWordSpeed() = 0;
    virtual int GetCurWordSpeed() = 0;
    virtual int GetWordAccuracy() = 0;
    // Word times. Off (the default), a word's timer stops only in the word where the text is
    // completed (and in the one left by the key that reached the last word), so every other
    // word record carries 0 ms. On, the timer also stops whenever a key leaves the word
    // (space, Enter, or a character past its end). A Backspace back into a finished word lets
    // its timer run on from the word's first start: leaving it again records the whole span,
    // the time spent correcting it included.
    virtual void SetTimeEveryWord(BOOL on) = 0;
    virtual BOOL GetTimeEveryWord() = 0;
};

// The library's entry: builds the reference article from a lesson text and, on request, the
// typing article on it; owns both and deletes them with itself or at the next Create.
class ARTICLE_EXPORT ArticleFile {
public:
    ArticleFile() = default;
    ~ArticleFile();
    ArticleFile(const ArticleFile&) = delete;
    ArticleFile& operator=(const ArticleFile&) = delete;

    // Discards the earlier articles, then builds the reference article from pszText and, when
    // bTypeArt is nonzero, a typing article on it: free typing for tdNone, checked typing
    // (starting by letter) for any other method. FALSE, with both articles gone, when the text
    // is refused (the article reports why) or anything fails on the way.
    BOOL Create(const char* pszText, int bTypeArt, TypoDetection td);
    // The reference article, or null.
    Article* GetArt() const { return m_pArt; }
    // The typing article, or null.
    TypeArticle* GetTypeArt() const { return m_pTypeArt; }

private:
    Article* m_pArt = nullptr;
    TypeArticle* m_pTypeArt = nullptr;
};
