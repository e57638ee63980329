// A lesson on a screen of cells: the title, the status line, both articles, the help row and
// the caret, kept up to date key by key; and the pause that idle time brings. The terminal loop
// and the replay drive the same Tutor, the one with real keys and time, the other from a file.
#pragma once

#include <string>

#include "CellScreen.h"
#include "Session.h"
#include "TerminalDC.h"

// The status line: active time, speeds (average, current, top) in characters and words per
// minute, accuracy and errors.
std::string FormatStatus(const SessionFigures& f, bool paused);

class Tutor {
public:
    // pauseAfterMs: idle time after which the lesson pauses by itself.
    Tutor(Session& session, CellScreen& screen, std::string title, int pauseAfterMs);

    // Lays the lesson out for the screen's size and paints it all.
    void Open();
    // One key at nowMs (milliseconds on any steady scale). kResize takes the screen's new size.
    void OnKey(const Key& key, long long nowMs);
    // Time passes without keys: pauses the lesson once it has been idle for the pause time.
    // True when it paused.
    bool OnIdle(long long nowMs);
    // When OnIdle would pause the lesson; -1 while it would not (not started, paused, finished).
    long long IdlePauseDue() const;
    // Paints everything anew.
    void Repaint();
    // Repaints the status line and the help row, as the clock may have moved.
    void RefreshStatus();

    bool IsFinished() const { return m_session.IsFinished(); }
    // False while the screen is too small for the lesson.
    bool Fits() const { return m_bFits; }

private:
    void PaintFrame();
    void PaintHelp();
    void PlaceCaret();
    // After a key that kept the page: clears the typed words that may have changed and draws
    // them again, and the lesson's current word where it moved.
    void RedrawAfterKey(const KeyEffect& effect);
    void ClearTypedFrom(int nToken);

    Session& m_session;
    CellScreen& m_screen;
    TerminalDC m_dc;
    std::string m_strTitle;
    int m_nPauseAfterMs;
    std::string m_strMessage;  // shown in the help row until the next key
    bool m_bFits = false;
};
