#include "Session.h"

#include <algorithm>

#include "Stats.h"
#include "platform/Clock.h"

namespace {

// A line gap of one line height: the typed line stands in the free row under its lesson line.
constexpr double kLineSpacing = 1.0;
constexpr char kLineFeed = '\n';
constexpr char kSpace = ' ';

// Result codes of TypeChar.
constexpr int kCodeFinished = 6;
constexpr int kCodeEnterRefused = 7;
constexpr int kCodeOnlyEnter = 9;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

// Milliseconds on the platform's clock, which replays drive.
long long ClockMs() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return CTime(now).GetTime() * 1000 + now.wMilliseconds;
}

}  // namespace

// The words as the library cuts the text: runs of characters other than space, tab and line
// feed, each ending its line when a line feed follows it before the next word.
void Session::CutWords(const std::string& text) {
    m_tokenLengths.clear();
    m_tokenEndsLine.clear();
    size_t i = 0;
    while (i < text.size()) {
        if (IsBlank(text[i])) {
            ++i;
            continue;
        }
        const size_t start = i;
        while (i < text.size() && !IsBlank(text[i])) {
            ++i;
        }
        bool endsLine = false;
        for (size_t k = i; k < text.size() && IsBlank(text[k]) && !endsLine; ++k) {
            endsLine = text[k] == '\n';
        }
        m_tokenLengths.push_back(static_cast<int>(i - start));
        m_tokenEndsLine.push_back(endsLine);
    }
}

bool Session::Create(const std::string& text, const SessionOptions& options, std::string* error) {
    m_progress = Progress{};  // a session used before starts the new lesson afresh
    m_options = options;
    m_strText = text;
    CutWords(text);
    if (m_tokenLengths.empty()) {
        *error = "the lesson holds no word";
        return false;
    }
    if (!m_file.Create(text.c_str(), TRUE, options.method)) {
        *error = "the library refused the lesson text (see the log for why)";
        return false;
    }
    if (!Typed()) {
        *error = "the typing article could not be made";
        return false;
    }
    Article* ref = Reference();
    TypeArticle* typed = Typed();
    for (Article* a : {ref, static_cast<Article*>(typed)}) {
        a->SetLineSpacing(kLineSpacing);
        a->SetJustify(options.justify ? TRUE : FALSE);
    }
    typed->SetMasked(options.masked ? TRUE : FALSE);
    ref->SetHighlightCurrent(options.highlight ? TRUE : FALSE);
    typed->SetMarkTypos(options.markTypos ? TRUE : FALSE);
    typed->SetTimeEveryWord(TRUE);
    // A checked typing article starts by letter whatever method it was made with.
    if (options.method != tdNone) {
        typed->SetTypoDetection(InWordMethod());
    }
    return true;
}

bool Session::Layout(int cols, int rows) {
    if (cols < kMinCols || rows < kMinRows) {
        return false;
    }
    m_nCols = cols;
    m_nRows = rows;
    RECT area{};
    SetRect(&area, TerminalDC::PixelX(kMargin), kTopRows * TerminalDC::kCellHeight,
            TerminalDC::PixelX(cols - kMargin), (rows - kBottomRows) * TerminalDC::kCellHeight);
    return LayoutIn(&m_cells, area);
}

bool Session::LayoutIn(CDC* dc, const RECT& area) {
    CDC* previous = m_desktop.m_pDC;
    m_desktop.m_pDC = dc;
    // The line height comes from a first layout in the whole area.
    Article* ref = Reference();
    ref->SetPaperRect(&area);
    const int lineHeight = ref->GetLineHeight();
    // A page of P lines takes 2P line heights: each lesson line and the typed line under it.
    const int pageLines = lineHeight > 0 ? (area.bottom - area.top) / (2 * lineHeight) : 0;
    if (pageLines < 1) {
        m_desktop.m_pDC = previous;
        if (m_rcRefPaper.right > m_rcRefPaper.left) {
            ref->SetPaperRect(&m_rcRefPaper);
        }
        return false;
    }
    SetRect(&m_rcRefPaper, area.left, area.top, area.right,
            area.top + (2 * pageLines - 1) * lineHeight);
    m_rcTypedPaper = m_rcRefPaper;
    OffsetRect(&m_rcTypedPaper, 0, lineHeight);
    // The reference first: the typing article takes its layout from it.
    ref->SetPaperRect(&m_rcRefPaper);
    Typed()->SetPaperRect(&m_rcTypedPaper);
    KeepCurrentVisible();
    return true;
}

void Session::SetFont(const LOGFONTA& font) {
    Reference()->SetFont(&font);
    Typed()->SetFont(&font);
}

void Session::Begin() {
    if (!m_progress.started) {
        Typed()->StartTyping();
        m_progress.started = true;
        m_progress.startMs = ClockMs();
    }
    Resume();
}

int Session::CurrentToken() const {
    return std::max(Typed()->GetTypedWordCount() - 1, 0);
}

bool Session::AtLastToken() const {
    return Typed()->GetTypedWordCount() >= TokenCount();
}

int Session::CurrentTypedLength() {
    RECT caret{};
    RECT token{};
    Typed()->GetCaretRect(&m_cells, &caret);
    Typed()->GetTokenDrawRect(&token, CurrentToken());
    return std::max((caret.left - token.left) / TerminalDC::kCellWidth, 0);
}

bool Session::AtWrappedLineEnd() {
    const int current = CurrentToken();
    if (m_options.method == tdNone || current + 1 >= TokenCount() ||
        m_tokenEndsLine[static_cast<size_t>(current)]) {
        return false;
    }
    Article* ref = Reference();
    return ref->GetTokenLine(current + 1) != ref->GetTokenLine(current) &&
           CurrentTypedLength() >= m_tokenLengths[static_cast<size_t>(current)];
}

// The text is complete when the last word has at least as many judged characters as the
// lesson's: the test by which the library then refuses every further key.
bool Session::TextComplete() {
    return AtLastToken() && CurrentTypedLength() >= m_tokenLengths.back();
}

// By word, the library judges a word only once it is left, but drawing a word that was never
// judged judges it (with placeholders for what is still to come), and that stale judgement then
// refuses the next letters. So the word being typed is judged by matching, and the key that
// leaves it is typed by word, which judges the word left as a whole.
TypoDetection Session::InWordMethod() const {
    return m_options.method == tdByWord ? tdByMatch : m_options.method;
}

int Session::TypeLeavingKey(char c) {
    if (m_options.method != tdByWord) {
        return Typed()->TypeChar(c);
    }
    Typed()->SetTypoDetection(tdByWord);
    const int result = Typed()->TypeChar(c);
    Typed()->SetTypoDetection(tdByMatch);
    return result;
}

KeyOutcome Session::AfterKey(int result) {
    if (result == kCodeFinished || TextComplete()) {
        m_progress.finished = true;
        return KeyOutcome::kFinished;
    }
    if (result == kCodeEnterRefused || result == kCodeOnlyEnter) {
        return KeyOutcome::kRefused;
    }
    return KeyOutcome::kTyped;
}

KeyOutcome Session::Type(char c) {
    if (m_progress.finished) {
        return KeyOutcome::kIgnored;
    }
    Begin();
    LogKey(c, false);
    // Where the screen wraps a line the text has a space, but the library wants the Enter that
    // ends every line it shows: the space is that Enter.
    if (c == kSpace && AtWrappedLineEnd()) {
        return AfterKey(TypeLeavingKey(kLineFeed));
    }
    // Free typing would go on past the lesson's last word: a space after it ends the lesson.
    if (m_options.method == tdNone && c == kSpace && AtLastToken() && CurrentTypedLength() > 0) {
        m_progress.finished = true;
        return KeyOutcome::kFinished;
    }
    return AfterKey(c == kSpace ? TypeLeavingKey(c) : Typed()->TypeChar(c));
}

KeyOutcome Session::Enter() {
    if (m_progress.finished) {
        return KeyOutcome::kIgnored;
    }
    Begin();
    LogKey(kLineFeed, false);
    // Free typing: Enter after the last word ends the lesson; on an empty last word it would
    // begin a word past the lesson's end and does nothing.
    if (m_options.method == tdNone && AtLastToken()) {
        m_progress.finished = CurrentTypedLength() > 0;
        return m_progress.finished ? KeyOutcome::kFinished : KeyOutcome::kIgnored;
    }
    char c = kLineFeed;
    // By word, a word with letters missing may be left at the end of its line too: Enter then
    // leaves it as a space does, where the library would refuse it.
    if (m_options.method == tdByWord &&
        CurrentTypedLength() < m_tokenLengths[static_cast<size_t>(CurrentToken())]) {
        c = kSpace;
    }
    return AfterKey(TypeLeavingKey(c));
}

KeyOutcome Session::Backspace() {
    if (m_progress.finished || !m_progress.started) {
        return KeyOutcome::kIgnored;
    }
    Resume();
    LogKey(0, true);
    Typed()->BackSpace();
    return KeyOutcome::kTyped;
}

void Session::Pause() {
    if (m_progress.started && !m_progress.paused && !m_progress.finished) {
        Typed()->PauseTyping();
        m_progress.paused = true;
        m_progress.pauseStartMs = ClockMs();
    }
}

void Session::Resume() {
    if (m_progress.paused) {
        Typed()->ResumeTyping();
        m_progress.paused = false;
        m_progress.pausedMs += ClockMs() - m_progress.pauseStartMs;
    }
}

void Session::TogglePause() {
    if (m_progress.paused) {
        Resume();
    } else {
        Pause();
    }
}

bool Session::ScrollToLine(Article* article, int line) {
    const int top = article->GetScrollTopLine();
    const int bottom = article->GetScrollBottomLine();
    if (top < 0 || bottom < 0 || (line >= top && line <= bottom)) {
        return false;
    }
    // The article scrolls down by no less than a page less one line, which is what keeping the
    // line before the current one in sight asks for.
    const int context = bottom > top ? 1 : 0;
    const int wanted = std::max(line - context, 0);
    article->Scroll(wanted - top);
    return article->GetScrollTopLine() != top;
}

bool Session::KeepCurrentVisible() {
    Article* ref = Reference();
    TypeArticle* typed = Typed();
    const int current = CurrentToken();
    bool moved = ScrollToLine(ref, ref->GetTokenLine(current));
    // The checked article copies the reference's layout and scroll position; the free one lays
    // out what was typed and keeps its own.
    typed->Recalculate(m_desktop.m_pDC);
    if (m_options.method == tdNone) {
        moved = ScrollToLine(typed, typed->GetTokenLine(current)) || moved;
    }
    return moved;
}

void Session::Draw(CDC* dc) {
    Reference()->Draw(dc, &m_rcRefPaper);
    Typed()->Draw(dc, &m_rcTypedPaper);
}

void Session::RedrawTyped(CDC* dc, int nWords) {
    Typed()->RedrawLastWord(dc, std::min(nWords, Typed()->GetTypedWordCount()));
}

RECT Session::Caret(CDC* dc) {
    RECT rc{};
    Typed()->GetCaretRect(dc, &rc);
    return rc;
}

SessionFigures Session::Figures() {
    TypeArticle* t = Typed();
    SessionFigures f;
    f.activeSeconds = m_progress.started ? t->GetActiveSeconds() : 0;
    f.pausedSeconds = t->GetPausedSeconds();
    f.keys = t->GetKeyCount();
    f.errors = t->GetErrorCount();
    f.accuracy = t->GetAccuracy();
    f.curSpeed = t->GetCurSpeed();
    f.speed = t->GetSpeed();
    f.topSpeed = t->GetTopSpeed();
    f.curWordSpeed = t->GetCurWordSpeed();
    f.wordSpeed = t->GetWordSpeed();
    f.topWordSpeed = t->GetTopWordSpeed();
    f.words = t->GetTypedWordCount();
    // No word is begun before the first layout, and word accuracy is a share of begun words.
    if (f.words > 0) {
        f.wrongWords = t->GetWrongWordCount();
        f.wordAccuracy = t->GetWordAccuracy();
    }
    f.netWordSpeed = NetWordSpeed(f.wordSpeed, f.wrongWords, f.activeSeconds);
    f.consistency = Consistency(m_progress.keys);
    return f;
}

bool Session::Record(CLessonTrackFile& lessons, CWordTrackFile& words) {
    const bool filled = Typed()->FillLessonTrack(&lessons) != FALSE;
    const bool added = Typed()->AddWordTracks(&words) != FALSE;
    return filled && added;
}

KeyEffect Session::Press(const Key& key, long long nowMs) {
    m_progress.lastKeyMs = nowMs;
    KeyEffect effect;
    const bool lessonKey = key.kind == KeyKind::kChar || key.kind == KeyKind::kEnter ||
                           key.kind == KeyKind::kBackspace || key.kind == KeyKind::kEscape;
    if (m_progress.finished || !lessonKey) {
        return effect;
    }
    const bool wasPaused = m_progress.paused;
    const int tokenBefore = CurrentToken();
    switch (key.kind) {
        case KeyKind::kEscape:
            TogglePause();
            break;
        case KeyKind::kBackspace:
            effect.outcome = Backspace();
            break;
        case KeyKind::kEnter:
            effect.outcome = Enter();
            if (effect.outcome == KeyOutcome::kRefused) {
                effect.message = kNotLineEndHint;
            }
            break;
        case KeyKind::kChar:
            if (key.ch != 0) {
                effect.outcome = Type(key.ch);
                if (effect.outcome == KeyOutcome::kRefused) {
                    effect.message = kEnterHereHint;
                }
            }
            break;
        default:
            break;
    }
    const bool scrolled = KeepCurrentVisible();
    effect.repaint = scrolled || wasPaused != m_progress.paused || m_options.method == tdNone;
    if (effect.outcome == KeyOutcome::kTyped || effect.outcome == KeyOutcome::kFinished) {
        // The word left or stepped back from, and the word now typed.
        const int current = CurrentToken();
        effect.firstChanged = std::min(tokenBefore, current);
        effect.lastChanged = std::min(std::max(tokenBefore, current), TokenCount() - 1);
        if (current != tokenBefore) {
            effect.previousToken = tokenBefore;
        }
    }
    return effect;
}

long long Session::IdlePauseDue(long long pauseAfterMs) const {
    if (!m_progress.started || m_progress.paused || m_progress.finished) {
        return -1;
    }
    return m_progress.lastKeyMs + pauseAfterMs;
}

bool Session::PauseIfIdle(long long nowMs, long long pauseAfterMs) {
    const long long due = IdlePauseDue(pauseAfterMs);
    if (due < 0 || nowMs < due) {
        return false;
    }
    Pause();
    return true;
}

void Session::LogKey(char typed, bool backspace) {
    LoggedKey key;
    key.ms = static_cast<std::uint32_t>(
        std::max(ClockMs() - m_progress.startMs - m_progress.pausedMs, 0LL));
    key.typed = static_cast<unsigned char>(typed);
    key.backspace = backspace;
    if (m_options.method != tdNone) {
        char expected = Typed()->GetCaretChar();
        // Where the screen wraps a line the library expects Enter and the learner a space.
        if (expected == kLineFeed && !m_tokenEndsLine[static_cast<size_t>(CurrentToken())]) {
            expected = kSpace;
        }
        key.expected = static_cast<unsigned char>(expected);
    }
    m_progress.keys.push_back(key);
}

LoggedLesson Session::KeyLogEntry(const CLessonTrack& record) const {
    LoggedLesson entry;
    entry.Identify(record);
    entry.cols = static_cast<unsigned short>(m_nCols);
    entry.rows = static_cast<unsigned short>(m_nRows);
    entry.text = m_strText;
    entry.keys = m_progress.keys;
    return entry;
}
