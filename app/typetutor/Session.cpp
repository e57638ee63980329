#include "Session.h"

#include <algorithm>

namespace {

// With a line height of one cell, a spacing of 1.0 leaves one free row under every line of the
// reference: the typed text stands in it.
constexpr double kLineSpacing = 1.0;
constexpr int kMargin = 2;
constexpr char kEnter = '\n';

// Result codes of TypeChar.
constexpr int kCodeFinished = 6;
constexpr int kCodeEnterRefused = 7;
constexpr int kCodeOnlyEnter = 9;

}  // namespace

LOGFONTA CellFont() {
    LOGFONTA lf{};
    lf.lfHeight = -1;
    lf.lfWidth = 1;
    lf.lfPitchAndFamily = FIXED_PITCH;
    return lf;
}

bool Session::Create(const std::string& text, const SessionOptions& options, std::string* error) {
    m_options = options;
    if (!m_file.Create(text.c_str(), TRUE, options.method)) {
        *error = "the library refused the lesson text";
        return false;
    }
    if (!m_file.GetTypeArt()) {
        *error = "the typing article could not be made";
        return false;
    }
    Article* ref = Reference();
    TypeArticle* typed = Typed();
    const LOGFONTA font = CellFont();
    for (Article* a : {ref, static_cast<Article*>(typed)}) {
        a->SetFont(&font);
        a->SetLineSpacing(kLineSpacing);
        a->SetMasked(options.masked ? TRUE : FALSE);
        a->SetJustify(options.justify ? TRUE : FALSE);
    }
    ref->SetHighlightCurrent(options.highlight ? TRUE : FALSE);
    typed->SetMarkTypos(options.markTypos ? TRUE : FALSE);
    // A checked article starts by letter; the learner's method rules from the first key.
    if (options.method != tdNone) {
        typed->SetTypoDetection(options.method);
    }
    return true;
}

void Session::Layout(CDC* dc, int cols, int rows) {
    const int width = std::max(cols - 2 * kMargin, 8);
    const int height = std::max(rows - kTopRows - kBottomRows, 2);
    SetRect(&m_rcRefPaper, kMargin, kTopRows, kMargin + width, kTopRows + height);
    SetRect(&m_rcTypedPaper, kMargin, kTopRows + 1, kMargin + width, kTopRows + 1 + height);
    Reference()->SetPaperRect(&m_rcRefPaper);
    Reference()->Recalculate(dc);
    Typed()->SetPaperRect(&m_rcTypedPaper);
    Typed()->Recalculate(dc);
    KeepCurrentVisible(dc);
}

void Session::StartIfNeeded() {
    if (!m_bStarted) {
        Typed()->StartTyping();
        m_bStarted = true;
    }
}

int Session::CurrentToken() {
    return std::max(Typed()->GetTypedWordCount() - 1, 0);
}

KeyOutcome Session::Type(char c) {
    if (m_bFinished) {
        return KeyOutcome::kFinished;
    }
    StartIfNeeded();
    if (m_bPaused) {
        Resume();
    }
    const int refTokens = Reference()->GetTokenCount();
    const bool atLastToken = Typed()->GetTypedWordCount() >= refTokens;
    const int result = Typed()->TypeChar(c);
    // The text is complete when the last token is typed to its length; under the methods that
    // judge late the learner may also end it with Enter on the last word.
    const bool complete = Typed()->GetTypedWordCount() >= refTokens &&
                          Typed()->GetCharCount() >= Reference()->GetCharCount();
    if (result == kCodeFinished || complete || (atLastToken && c == kEnter)) {
        m_bFinished = true;
        return KeyOutcome::kFinished;
    }
    if (result == kCodeEnterRefused || result == kCodeOnlyEnter) {
        return KeyOutcome::kRefused;
    }
    return KeyOutcome::kTyped;
}

void Session::Backspace() {
    if (!m_bFinished) {
        Typed()->BackSpace();
    }
}

void Session::Pause() {
    if (m_bStarted && !m_bPaused) {
        Typed()->PauseTyping();
        m_bPaused = true;
    }
}

void Session::Resume() {
    if (m_bPaused) {
        Typed()->ResumeTyping();
        m_bPaused = false;
    }
}

void Session::TogglePause() {
    if (m_bPaused) {
        Resume();
    } else {
        Pause();
    }
}

void Session::ScrollToLine(Article* article, int line) {
    const int top = article->GetScrollTopLine();
    const int bottom = article->GetScrollBottomLine();
    if (top < 0 || bottom < 0) {
        return;
    }
    // Keep the line before the current one in sight, for context.
    const int wanted = std::max(line - 1, 0);
    if (line > bottom || line < top) {
        article->Scroll(wanted - top);
    }
}

bool Session::KeepCurrentVisible(CDC* dc) {
    Article* ref = Reference();
    TypeArticle* typed = Typed();
    const int before = ref->GetScrollTopLine() * 1000 + typed->GetScrollTopLine();
    const int current = CurrentToken();
    ScrollToLine(ref, ref->GetTokenLine(current));
    if (m_options.method == tdNone) {
        // Free typing lays out what was typed: its lines follow the typed text.
        typed->Recalculate(dc);
        ScrollToLine(typed, typed->GetTokenLine(current));
    } else {
        // The checked article takes the reference's scroll position with its layout.
        typed->Recalculate(dc);
    }
    return before != ref->GetScrollTopLine() * 1000 + typed->GetScrollTopLine();
}

void Session::DrawArticles(CDC* dc) {
    Reference()->Draw(dc, &m_rcRefPaper);
    Typed()->Draw(dc, &m_rcTypedPaper);
}

void Session::RedrawCurrent(CDC* dc) {
    Typed()->RedrawLastWord(dc, 1);
}

RECT Session::Caret(CDC* dc) {
    RECT rc{};
    Typed()->GetCaretRect(dc, &rc);
    return rc;
}

SessionFigures Session::Figures() {
    TypeArticle* t = Typed();
    SessionFigures f;
    f.activeSeconds = m_bStarted ? t->GetActiveSeconds() : 0;
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
    f.wrongWords = t->GetWrongWordCount();
    f.wordAccuracy = t->GetWordAccuracy();
    return f;
}

void Session::Record(CLessonTrackFile& lessons, CWordTrackFile& words) {
    Typed()->FillLessonTrack(&lessons);
    Typed()->AddWordTracks(&words);
}
