#include "Tutor.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kTitleRow = 0;
constexpr int kStatusRow = 1;
constexpr int kTitleColumn = 2;

constexpr const char* kHelp = "Esc pause   Backspace take back   Enter ends a line   Ctrl-C leave";
constexpr const char* kPausedHelp = "Paused - Esc or any typing key goes on";
constexpr const char* kEnterHere = "The line ends here: press Enter";
constexpr const char* kNotLineEnd = "Enter ends a line only after its last word";
constexpr const char* kTooSmall = "The terminal is too small for the lesson: make it larger";

}  // namespace

std::string FormatStatus(const SessionFigures& f, bool paused) {
    // The pause comes first, so that a narrow screen does not cut it off.
    char line[256];
    std::snprintf(line, sizeof line,
                  "%s%d:%02d  %d cpm %d wpm  now %d/%d  top %d/%d  accuracy %d%%  errors %d",
                  paused ? " [paused] " : " ", f.activeSeconds / 60, f.activeSeconds % 60, f.speed,
                  f.wordSpeed, f.curSpeed, f.curWordSpeed, f.topSpeed, f.topWordSpeed, f.accuracy,
                  f.errors);
    return line;
}

Tutor::Tutor(Session& session, CellScreen& screen, std::string title, int pauseAfterMs)
    : m_session(session),
      m_screen(screen),
      m_dc(&screen),
      m_strTitle(std::move(title)),
      m_nPauseAfterMs(pauseAfterMs) {}

void Tutor::Open() {
    m_bFits = m_session.Layout(m_screen.Cols(), m_screen.Rows());
    Repaint();
}

void Tutor::PaintFrame() {
    m_screen.ClearCells(0, kTitleRow, -1);
    m_screen.Put(kTitleColumn, kTitleRow, m_strTitle, CellStyle::kHeading);
    m_screen.ClearCells(0, kStatusRow, -1);
    std::string status = FormatStatus(m_session.Figures(), m_session.IsPaused());
    status.resize(static_cast<size_t>(std::max(m_screen.Cols(), 0)), ' ');
    m_screen.Put(0, kStatusRow, status, CellStyle::kStatus);
    PaintHelp();
}

void Tutor::PaintHelp() {
    const int row = m_screen.Rows() - 1;
    m_screen.ClearCells(0, row, -1);
    const char* help = m_session.IsPaused() ? kPausedHelp : kHelp;
    m_screen.Put(kTitleColumn, row, m_strMessage.empty() ? help : m_strMessage,
                 m_strMessage.empty() ? CellStyle::kNormal : CellStyle::kHeading);
}

void Tutor::PlaceCaret() {
    const RECT caret = m_session.Caret(&m_dc);
    m_screen.SetCursor(TerminalDC::CellX(caret.left), caret.top / TerminalDC::kCellHeight);
}

void Tutor::Repaint() {
    m_screen.Clear();
    if (!m_bFits) {
        m_screen.Put(0, 0, kTooSmall, CellStyle::kHeading);
        m_screen.Show();
        return;
    }
    PaintFrame();
    m_session.Draw(&m_dc);
    PlaceCaret();
    m_screen.Show();
}

void Tutor::RefreshStatus() {
    if (!m_bFits) {
        return;
    }
    PaintFrame();
    PlaceCaret();
    m_screen.Show();
}

void Tutor::ClearTypedFrom(int nToken) {
    RECT rc{};
    m_session.Typed()->GetTokenDrawRect(&rc, nToken);
    const RECT& paper = m_session.TypedPaper();
    const int from = TerminalDC::CellX(rc.left);
    m_screen.ClearCells(from, rc.top / TerminalDC::kCellHeight,
                        TerminalDC::CellX(paper.right) + 1 - from);
}

void Tutor::RedrawAfterKey(int tokenBefore) {
    const int current = m_session.CurrentToken();
    // The word left, the word now typed, and the word stepped back from: what is typed in them
    // may have changed (a word is judged again when it is left).
    const int first = std::max(std::min(tokenBefore, current) - 1, 0);
    const int last = std::max(tokenBefore, current);
    for (int i = first; i <= last && i < m_session.TokenCount(); ++i) {
        ClearTypedFrom(i);
    }
    m_session.RedrawTyped(&m_dc, current - first + 1);
    if (current != tokenBefore) {
        // The blue word moved: the lesson page is drawn again over itself.
        m_session.Reference()->Draw(&m_dc, &m_session.ReferencePaper());
    }
}

void Tutor::OnKey(const Key& key, long long nowMs) {
    m_nLastKeyMs = nowMs;
    if (key.kind == KeyKind::kResize) {
        Open();
        return;
    }
    if (!m_bFits || m_session.IsFinished()) {
        return;
    }
    m_strMessage.clear();
    const bool wasPaused = m_session.IsPaused();
    const int tokenBefore = m_session.CurrentToken();
    KeyOutcome outcome = KeyOutcome::kIgnored;
    switch (key.kind) {
        case KeyKind::kEscape:
            m_session.TogglePause();
            break;
        case KeyKind::kBackspace:
            outcome = m_session.Backspace();
            break;
        case KeyKind::kEnter:
            outcome = m_session.Enter();
            if (outcome == KeyOutcome::kRefused) {
                m_strMessage = kNotLineEnd;
            }
            break;
        case KeyKind::kChar:
            if (key.ch != 0) {
                outcome = m_session.Type(key.ch);
                if (outcome == KeyOutcome::kRefused) {
                    m_strMessage = kEnterHere;
                }
            }
            break;
        default:
            break;
    }
    const bool scrolled = m_session.KeepCurrentVisible();
    // A new page, a pause begun or ended, and free typing (whose lines follow what is typed)
    // are painted whole; any other key redraws the words it touched.
    if (scrolled || wasPaused != m_session.IsPaused() || m_session.Options().method == tdNone) {
        Repaint();
        return;
    }
    if (outcome == KeyOutcome::kTyped || outcome == KeyOutcome::kFinished) {
        RedrawAfterKey(tokenBefore);
    }
    PaintFrame();
    PlaceCaret();
    m_screen.Show();
}

long long Tutor::IdlePauseDue() const {
    if (!m_session.IsStarted() || m_session.IsPaused() || m_session.IsFinished()) {
        return -1;
    }
    return m_nLastKeyMs + m_nPauseAfterMs;
}

bool Tutor::OnIdle(long long nowMs) {
    const long long due = IdlePauseDue();
    if (due < 0 || nowMs < due) {
        return false;
    }
    m_session.Pause();
    m_strMessage.clear();
    Repaint();
    return true;
}
