// One typing lesson as the typing tutor runs it: the two articles built from the lesson text,
// laid out on a screen of character cells, the keys, scrolling, drawing and the figures. It
// knows nothing of terminals: it draws into any CDC, in the pixels of TerminalDC.
#pragma once

#include <string>
#include <vector>

#include "Article/Article.h"
#include "Article/TypingLog.h"
#include "KeyLog.h"
#include "TerminalDC.h"

struct SessionOptions {
    TypoDetection method = tdByLetter;
    bool masked = false;    // typed text shown as asterisks
    bool justify = false;   // wrapped lines of the lesson justified
    bool highlight = true;  // the word to type shown in blue
    bool markTypos = true;  // typed characters coloured by their judgement
};

struct SessionFigures {
    int activeSeconds = 0;
    int pausedSeconds = 0;
    int keys = 0;
    int errors = 0;
    int accuracy = 0;  // percent of keystrokes right
    int curSpeed = 0;  // keystrokes (characters) per minute
    int speed = 0;
    int topSpeed = 0;
    int curWordSpeed = 0;  // words per minute
    int wordSpeed = 0;
    int topWordSpeed = 0;
    int words = 0;
    int wrongWords = 0;
    int wordAccuracy = 0;
    int netWordSpeed = 0;  // words per minute less the words left wrong per minute
    int consistency = -1;  // percent, from the intervals between keys; -1 before two of them
};

// What a key did.
enum class KeyOutcome {
    kTyped,     // it went into the text (right or wrong)
    kRefused,   // the library refused it: Enter before a line's end, a key other than Enter at
                // the end of a line
    kFinished,  // the lesson is complete
    kIgnored,   // nothing to do (a backspace before the first key, any key after the end)
};

class Session {
public:
    // Screen rows above the lesson (title, status line, a blank row) and below it (help).
    static constexpr int kTopRows = 3;
    static constexpr int kBottomRows = 1;
    // Blank columns left and right of the lesson.
    static constexpr int kMargin = 2;
    // The smallest screen a lesson is laid out on.
    static constexpr int kMinCols = 24;
    static constexpr int kMinRows = kTopRows + kBottomRows + 2;

    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Builds both articles from the single-byte lesson text; false with a message on refusal.
    bool Create(const std::string& text, const SessionOptions& options, std::string* error);
    // Lays both articles out for a screen of cols x rows cells: the lesson from row kTopRows,
    // every typed line in the row under its lesson line. False (nothing changed) when the
    // screen is smaller than kMinCols x kMinRows.
    bool Layout(int cols, int rows);

    // A character key, the space bar included.
    KeyOutcome Type(char c);
    KeyOutcome Enter();
    KeyOutcome Backspace();
    // The clock: pausing before the first key does nothing; any key resumes.
    void Pause();
    void Resume();
    void TogglePause();
    bool IsPaused() const { return m_bPaused; }
    bool IsStarted() const { return m_bStarted; }
    bool IsFinished() const { return m_bFinished; }

    // Scrolls the articles so that the word being typed is on the page, with the line before it
    // when the page has room; true when they moved.
    bool KeepCurrentVisible();
    // Index of the word being typed.
    int CurrentToken() const;
    int TokenCount() const { return static_cast<int>(m_tokenLengths.size()); }
    // Draws the pages of both articles.
    void Draw(CDC* dc);
    // Draws the last nWords begun typed words again (no more than have been begun).
    void RedrawTyped(CDC* dc, int nWords);
    // The caret, in the pixels of dc.
    RECT Caret(CDC* dc);

    SessionFigures Figures();
    // Fills the newest lesson record of lessons and adds one word record per begun word.
    bool Record(CLessonTrackFile& lessons, CWordTrackFile& words);

    // The keystroke log's entry for this lesson, kept in the history as record: the text, the
    // screen and every key so far.
    LoggedLesson KeyLogEntry(const CLessonTrack& record) const;

    Article* Reference() const { return m_file.GetArt(); }
    TypeArticle* Typed() const { return m_file.GetTypeArt(); }
    const RECT& ReferencePaper() const { return m_rcRefPaper; }
    const RECT& TypedPaper() const { return m_rcTypedPaper; }
    const SessionOptions& Options() const { return m_options; }

private:
    // Starts the clock at the first key, resumes it after a pause.
    void Begin();
    // The method in force while a word is typed, and a key that may leave the word.
    TypoDetection InWordMethod() const;
    int TypeLeavingKey(char c);
    KeyOutcome AfterKey(int result);
    // Characters judged in the word being typed, read from the caret's place in it.
    int CurrentTypedLength();
    bool AtLastToken() const;
    // The word being typed is whole and the screen wraps its line after it.
    bool AtWrappedLineEnd();
    void CutWords(const std::string& text);
    bool TextComplete();
    bool ScrollToLine(Article* article, int line);
    // Logs a key that reaches the lesson, before it is typed.
    void LogKey(char typed, bool backspace);

    // First, so that it outlives the articles' layouts.
    TerminalDesktop m_desktop;
    TerminalDC m_measure;
    ArticleFile m_file;
    SessionOptions m_options;
    // Characters of every lesson word as the library cuts them, and whether a line feed ends it.
    std::vector<int> m_tokenLengths;
    std::vector<bool> m_tokenEndsLine;
    RECT m_rcRefPaper{};
    RECT m_rcTypedPaper{};
    bool m_bStarted = false;
    bool m_bPaused = false;
    bool m_bFinished = false;
    // The keystroke log: the text, the screen, and the keys on the active clock.
    std::string m_strText;
    int m_nCols = 0;
    int m_nRows = 0;
    std::vector<LoggedKey> m_keys;
    long long m_nStartMs = 0;
    long long m_nPauseStartMs = 0;
    long long m_nPausedMs = 0;
};
