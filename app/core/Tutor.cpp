#include "Tutor.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kTitleRow = 0;
constexpr int kStatusRow = 1;
constexpr int kTitleColumn = 2;

constexpr const char* kHelp = "Esc pause   Backspace take back   Enter ends a line   Ctrl-C leave";
constexpr const char* kPausedHelp = "Paused - Esc or any typing key goes on";
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

void Tutor::RedrawAfterKey(const KeyEffect& effect) {
    if (effect.lastChanged < effect.firstChanged) {
        return;
    }
    for (int i = effect.firstChanged; i <= effect.lastChanged; ++i) {
        ClearTypedFrom(i);
    }
    const int current = m_session.CurrentToken();
    m_session.RedrawTyped(&m_dc, current - effect.firstChanged + 1);
    if (effect.previousToken >= 0) {
        // The blue word moved: the lesson page is drawn again over itself.
        m_session.Reference()->Draw(&m_dc, &m_session.ReferencePaper());
    }
}

void Tutor::OnKey(const Key& key, long long nowMs) {
    if (key.kind == KeyKind::kResize || !m_bFits) {
        m_session.Press(Key{}, nowMs);  // counts as activity
        if (key.kind == KeyKind::kResize) {
            Open();
        }
        return;
    }
    if (m_session.IsFinished()) {
        return;
    }
    const KeyEffect effect = m_session.Press(key, nowMs);
    m_strMessage = effect.message;
    if (effect.repaint) {
        Repaint();
        return;
    }
    RedrawAfterKey(effect);
    PaintFrame();
    PlaceCaret();
    m_screen.Show();
}

long long Tutor::IdlePauseDue() const {
    return m_session.IdlePauseDue(m_nPauseAfterMs);
}

bool Tutor::OnIdle(long long nowMs) {
    if (!m_session.PauseIfIdle(nowMs, m_nPauseAfterMs)) {
        return false;
    }
    m_strMessage.clear();
    Repaint();
    return true;
}
