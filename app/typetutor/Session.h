// One typing lesson as the typing tutor runs it: the two articles built from the lesson text,
// laid out on a character grid (one cell is one pixel), keystrokes, scrolling, drawing and
// the figures. It knows nothing of terminals: the screen is any CDC.
#pragma once

#include <string>

#include "Article/Article.h"
#include "Article/TypingLog.h"

struct SessionOptions {
    TypoDetection method = tdByLetter;
    bool masked = false;
    bool justify = false;
    bool highlight = true;
    bool markTypos = true;
};

struct SessionFigures {
    int activeSeconds = 0;
    int pausedSeconds = 0;
    int keys = 0;
    int errors = 0;
    int accuracy = 0;
    int curSpeed = 0;  // keystrokes (characters) per minute
    int speed = 0;
    int topSpeed = 0;
    int curWordSpeed = 0;  // words per minute
    int wordSpeed = 0;
    int topWordSpeed = 0;
    int words = 0;
    int wrongWords = 0;
    int wordAccuracy = 0;
};

// What the last key did.
enum class KeyOutcome {
    kTyped,     // the key went into the text (right or wrong)
    kRefused,   // the library refused it (Enter in mid-line, only Enter accepted here, ...)
    kFinished,  // the lesson is complete
};

class Session {
public:
    // Rows above the reference paper: title, status, a blank row.
    static constexpr int kTopRows = 3;
    // Rows below the papers: the help line.
    static constexpr int kBottomRows = 1;

    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Builds both articles from the single-byte lesson text; false with a message on refusal.
    bool Create(const std::string& text, const SessionOptions& options, std::string* error);
    // Lays both articles out for a screen of cols x rows cells, measuring in dc.
    void Layout(CDC* dc, int cols, int rows);

    // Starts the clock at the first key.
    void StartIfNeeded();
    KeyOutcome Type(char c);
    void Backspace();
    void TogglePause();
    void Pause();
    void Resume();
    bool IsPaused() const { return m_bPaused; }
    bool IsStarted() const { return m_bStarted; }
    bool IsFinished() const { return m_bFinished; }

    // Scrolls both articles so that the current token is on the page; true when they moved.
    bool KeepCurrentVisible(CDC* dc);
    // The current token's index; changes when a key moves to another token.
    int CurrentToken();
    // Draws both articles whole.
    void DrawArticles(CDC* dc);
    // Redraws the current typed token after a key that stayed within it.
    void RedrawCurrent(CDC* dc);
    RECT Caret(CDC* dc);

    SessionFigures Figures();
    // Fills the newest lesson record of lessons and adds the word records.
    void Record(CLessonTrackFile& lessons, CWordTrackFile& words);

    Article* Reference() { return m_file.GetArt(); }
    TypeArticle* Typed() { return m_file.GetTypeArt(); }
    const RECT& ReferencePaper() const { return m_rcRefPaper; }
    const RECT& TypedPaper() const { return m_rcTypedPaper; }

private:
    void ScrollToLine(Article* article, int line);

    ArticleFile m_file;
    SessionOptions m_options;
    RECT m_rcRefPaper{};
    RECT m_rcTypedPaper{};
    bool m_bStarted = false;
    bool m_bPaused = false;
    bool m_bFinished = false;
};

// A font of one-by-one cells: the grid the session lays out on.
LOGFONTA CellFont();
