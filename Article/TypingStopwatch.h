// The clock and counters of one typing session: keystrokes with the character expected at each,
// pauses, speeds, accuracy and per-character tables. Internal; embedded in every typing article.
#pragma once

#include "platform/Win32.h"

// Entries of the per-character tables: codes 0 to 254.
inline constexpr int kStopwatchSlots = 255;

class CTypingStopwatch {
public:
    // Counters zero; the time stamps hold the time of construction.
    CTypingStopwatch();

    // Counters, pause state and tables to zero; time stamps stay.
    void ResetCounters();
    // A new session from zero, starting now.
    void Start();
    void Pause();
    // Ends a pause: the paused seconds are added up and left out of the next gap.
    void Resume();
    // Resume, but only when paused.
    void Continue();
    // Counts one keystroke of chTyped where chExpected was expected.
    void RecordKeystroke(char chTyped, char chExpected);
    // Seconds from Start to the last keystroke, pauses left out.
    int GetActiveSeconds() const;
    int GetPausedSeconds() const { return m_nPausedSeconds; }
    BOOL IsPaused() const { return m_bPaused; }

    int GetKeys() const { return m_nKeys; }
    int GetErrors() const { return m_nErrors; }
    int GetTopSpeed() const { return m_nTopSpeed; }
    int GetSpeed() const { return m_nSpeed; }
    int GetCurSpeed() const { return m_nCurSpeed; }
    int GetAccuracy() const { return m_nAccuracy; }
    const int* GetKeyTable() const { return m_aKeys; }
    const int* GetErrorTable() const { return m_aErrors; }
    const int* GetTimeTable() const { return m_aTime; }

private:
    SYSTEMTIME m_stSessionStart;
    SYSTEMTIME m_stLastKey;
    SYSTEMTIME m_stPause;
    BOOL m_bPaused;
    int m_nPausedSeconds;
    int m_nKeys;
    int m_nErrors;
    int m_nTopSpeed;
    int m_nSpeed;
    int m_nCurSpeed;
    int m_nAccuracy;
    int m_aKeys[kStopwatchSlots];
    int m_aErrors[kStopwatchSlots];
    int m_aTime[kStopwatchSlots];
};
