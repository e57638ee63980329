// One typing lesson as the typing tutor runs it: the two articles built from the lesson text,
// laid out on a screen of character cells or on papers measured in any device context, the keys
// and what each one changed on the screen, the pause that idle time brings, scrolling, drawing
// and the figures. Every front end drives the same Session; it knows nothing of terminals or
// windows.
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

// Keys as the lesson sees them.
enum class KeyKind { kNone, kChar, kEnter, kBackspace, kEscape, kQuit, kResize };
struct Key {
    KeyKind kind = KeyKind::kNone;
    char ch = 0;  // kChar: the Windows-1252 byte; 0 for a character that has none
};

// What a key did.
enum class KeyOutcome {
    kTyped,     // it went into the text (right or wrong)
    kRefused,   // the library refused it: Enter before a line's end, a key other than Enter at
                // the end of a line
    kFinished,  // the lesson is complete
    kIgnored,   // nothing to do (a backspace before the first key, any key after the end)
};

// What a key changed on the screen, so that a front end draws no more than that.
struct KeyEffect {
    KeyOutcome outcome = KeyOutcome::kIgnored;
    // A hint for the learner about a refused key; empty otherwise.
    std::string message;
    // A new page, a pause begun or ended, or free typing (whose lines follow what is typed):
    // everything is drawn anew.
    bool repaint = false;
    // Otherwise the typed words from firstChanged to lastChanged may look different (a word is
    // judged again when it is left; a word stepped back from is gone): they are cleared and the
    // begun ones among them drawn again.
    int firstChanged = 0;
    int lastChanged = -1;
    // The lesson's word to type moved from this one to the current one; -1 when it stayed.
    int previousToken = -1;
};

// Hints shown after a refused key.
inline constexpr const char* kEnterHereHint = "The line ends here: press Enter";
inline constexpr const char* kNotLineEndHint = "Enter ends a line only after its last word";

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

    Session() { m_desktop.m_pDC = &m_cells; }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Builds both articles from the single-byte lesson text; false with a message on refusal.
    bool Create(const std::string& text, const SessionOptions& options, std::string* error);
    // Lays both articles out for a screen of cols x rows cells: the lesson from row kTopRows,
    // every typed line in the row under its lesson line. False (nothing changed) when the
    // screen is smaller than kMinCols x kMinRows.
    bool Layout(int cols, int rows);
    // Lays both articles out in area, measured in dc (which must stay alive until the next
    // layout or the session's end): as many lesson lines as fit with the typed line under each,
    // and scrolls to the word being typed. False (nothing changed) when not one line fits.
    bool LayoutIn(CDC* dc, const RECT& area);
    // The font of both articles; the next layout measures with it.
    void SetFont(const LOGFONTA& font);

    // A key at nowMs (milliseconds on any steady scale): Esc pauses and resumes, Enter ends a
    // line, Backspace takes back, a character is typed; other keys only count as activity.
    // Keeps the word typed on the page.
    KeyEffect Press(const Key& key, long long nowMs);
    // When the lesson pauses by itself after pauseAfterMs without a key; -1 while it would not
    // (not started, paused, finished).
    long long IdlePauseDue(long long pauseAfterMs) const;
    // Pauses the lesson once it has been idle for pauseAfterMs; true when it paused.
    bool PauseIfIdle(long long nowMs, long long pauseAfterMs);

    // A character key, the space bar included.
    KeyOutcome Type(char c);
    KeyOutcome Enter();
    KeyOutcome Backspace();
    // The clock: pausing before the first key does nothing; any key resumes.
    void Pause();
    void Resume();
    void TogglePause();
    bool IsPaused() const { return m_progress.paused; }
    bool IsStarted() const { return m_progress.started; }
    bool IsFinished() const { return m_progress.finished; }

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

    // The desktop device context the articles lay themselves out in when given none: the one
    // the last layout was measured in.
    class LayoutDesktop : public DesktopDCProvider {
    public:
        LayoutDesktop() : m_scope(this) {}
        CDC* GetDC() override { return m_pDC; }
        void ReleaseDC(CDC* /*dc*/) override {}
        CDC* m_pDC = nullptr;

    private:
        ScopedDesktopDCProvider m_scope;
    };

    // A screen of cells: measures the terminal's layout, and counts the characters typed into
    // a word from the width of the caret's offset, whatever the layout was measured in.
    TerminalDC m_cells;
    // First of the layout's parts, so that it outlives the articles' layouts.
    LayoutDesktop m_desktop;
    ArticleFile m_file;
    SessionOptions m_options;
    // Characters of every lesson word as the library cuts them, and whether a line feed ends it.
    std::vector<int> m_tokenLengths;
    std::vector<bool> m_tokenEndsLine;
    RECT m_rcRefPaper{};
    RECT m_rcTypedPaper{};
    // The keystroke log's text and screen.
    std::string m_strText;
    int m_nCols = 0;
    int m_nRows = 0;
    // What the lesson's typing has done so far; each lesson starts from these values.
    struct Progress {
        bool started = false;
        bool paused = false;
        bool finished = false;
        long long lastKeyMs = 0;
        std::vector<LoggedKey> keys;  // the keystroke log's keys, on the active clock
        long long startMs = 0;
        long long pauseStartMs = 0;
        long long pausedMs = 0;
    };
    Progress m_progress;
};
