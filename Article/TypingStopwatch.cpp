#include "Article/TypingStopwatch.h"

#include <cstdint>

#include "platform/Clock.h"

namespace {

// A speed that cannot be computed (no time has passed) is reported as 0, so that it never
// raises the top speed.
constexpr int kUndefinedSpeed = 0;

std::int64_t CalendarSeconds(const SYSTEMTIME& st) {
    return CTime(st).GetTime();
}

// x + 0.5 truncated toward zero, for the non-negative figures of the stopwatch; values that do
// not fit an int (or are not numbers) give kUndefinedSpeed.
int RoundFigure(double x) {
    const double rounded = x + 0.5;
    if (!(rounded >= 0.0) || rounded >= 2147483647.0) {
        return kUndefinedSpeed;
    }
    return static_cast<int>(rounded);
}

int ClampToInt(std::int64_t v) {
    if (v > INT32_MAX) {
        return INT32_MAX;
    }
    if (v < INT32_MIN) {
        return INT32_MIN;
    }
    return static_cast<int>(v);
}

int AddClamped(int a, std::int64_t b) {
    return ClampToInt(static_cast<std::int64_t>(a) + b);
}

}  // namespace

CTypingStopwatch::CTypingStopwatch() {
    // Time stamps hold the time of construction until the first Start.
    GetLocalTime(&m_stSessionStart);
    m_stLastKey = m_stSessionStart;
    m_stPause = m_stSessionStart;
    ResetCounters();
}

void CTypingStopwatch::ResetCounters() {
    m_bPaused = FALSE;
    m_nPausedSeconds = 0;
    m_nKeys = 0;
    m_nErrors = 0;
    m_nTopSpeed = 0;
    m_nSpeed = 0;
    m_nCurSpeed = 0;
    m_nAccuracy = 0;
    for (int i = 0; i < kStopwatchSlots; ++i) {
        m_aKeys[i] = 0;
        m_aErrors[i] = 0;
        m_aTime[i] = 0;
    }
}

void CTypingStopwatch::Start() {
    ResetCounters();
    GetLocalTime(&m_stSessionStart);
    GetLocalTime(&m_stLastKey);
}

void CTypingStopwatch::Pause() {
    GetLocalTime(&m_stPause);
    m_bPaused = TRUE;
}

void CTypingStopwatch::Resume() {
    // 1.
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::int64_t nowSeconds = CalendarSeconds(now);
    // 2.
    const std::int64_t p = nowSeconds - CalendarSeconds(m_stPause);
    // 3.
    std::int64_t t = CalendarSeconds(m_stLastKey) + p;
    if (t > nowSeconds) {
        t = nowSeconds;
    }
    CTime(t).GetAsSystemTime(m_stLastKey);
    // 4.
    m_bPaused = FALSE;
    m_nPausedSeconds = AddClamped(m_nPausedSeconds, p);
}

void CTypingStopwatch::Continue() {
    if (m_bPaused) {
        Resume();
    }
}

void CTypingStopwatch::RecordKeystroke(char chTyped, char chExpected) {
    // 1.
    m_nKeys = AddClamped(m_nKeys, 1);
    // 2. Code 255 has no table entry; it still counts in the totals.
    const int c = static_cast<unsigned char>(chExpected);
    const bool hasEntry = c < kStopwatchSlots;
    if (hasEntry) {
        m_aKeys[c] = AddClamped(m_aKeys[c], 1);
    }
    // 3.
    if (chTyped != chExpected) {
        if (hasEntry) {
            m_aErrors[c] = AddClamped(m_aErrors[c], 1);
        }
        m_nErrors = AddClamped(m_nErrors, 1);
    }
    // 4.
    SYSTEMTIME now;
    GetLocalTime(&now);
    // 5.
    std::int64_t gap;
    if (now.wDay == m_stLastKey.wDay && now.wMonth == m_stLastKey.wMonth) {
        gap = (((static_cast<std::int64_t>(now.wHour) - m_stLastKey.wHour) * 60 +
                (static_cast<std::int64_t>(now.wMinute) - m_stLastKey.wMinute)) *
                   60 +
               (static_cast<std::int64_t>(now.wSecond) - m_stLastKey.wSecond)) *
                  1000 +
              (static_cast<std::int64_t>(now.wMilliseconds) - m_stLastKey.wMilliseconds);
    } else {
        gap = (CalendarSeconds(now) - CalendarSeconds(m_stLastKey)) * 1000;
    }
    // 6. A gap of 0 ms (or a clock that went back) has no speed.
    const int curSpeed =
        gap > 0 ? RoundFigure(60000.0 / static_cast<double>(gap)) : kUndefinedSpeed;
    // 7.
    m_stLastKey = now;
    // 8.
    if (hasEntry) {
        m_aTime[c] = AddClamped(m_aTime[c], gap);
    }
    // 9.
    m_nCurSpeed = curSpeed;
    if (m_nCurSpeed > m_nTopSpeed) {
        m_nTopSpeed = m_nCurSpeed;
    }
    // 10. In the first second of a session there is no average yet.
    const int activeSeconds = GetActiveSeconds();
    m_nSpeed = activeSeconds > 0 ? RoundFigure(static_cast<double>(m_nKeys) * 60.0 / activeSeconds)
                                 : kUndefinedSpeed;
    // 11.
    m_nAccuracy = RoundFigure((static_cast<double>(m_nKeys) - m_nErrors) * 100.0 / m_nKeys);
}

int CTypingStopwatch::GetActiveSeconds() const {
    return ClampToInt(CalendarSeconds(m_stLastKey) - CalendarSeconds(m_stSessionStart) -
                      m_nPausedSeconds);
}
