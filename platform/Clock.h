// Time services: the local and the system (UTC) clock as SYSTEMTIME, and calendar seconds
// (the role of the framework's CTime). The library reads the clock only through these, so a
// ScopedFakeClock can drive it exactly in tests and replays. Exported: a host that replays
// recorded keys drives the library's clock with it, and dates its own records by the same clock.
#pragma once

#include <cstdint>

#include "platform/Export.h"
#include "platform/Win32.h"

ARTICLE_EXPORT void GetLocalTime(SYSTEMTIME* st);
ARTICLE_EXPORT void GetSystemTime(SYSTEMTIME* st);

// Calendar time in whole seconds since 1970-01-01 00:00 UTC.
class ARTICLE_EXPORT CTime {
public:
    CTime() = default;
    explicit CTime(std::int64_t t) : m_time(t) {}
    // A local date-time to calendar seconds; daylight saving is decided by the platform.
    // Milliseconds are dropped.
    explicit CTime(const SYSTEMTIME& stLocal);

    std::int64_t GetTime() const { return m_time; }
    // Back to a local date-time, milliseconds 0.
    BOOL GetAsSystemTime(SYSTEMTIME& stLocal) const;

private:
    std::int64_t m_time = 0;
};

// Replaces the clock while it lives: local time = UTC + a fixed offset, no daylight saving.
// Nested fakes stack; the innermost one rules.
class ARTICLE_EXPORT ScopedFakeClock {
public:
    explicit ScopedFakeClock(const SYSTEMTIME& stLocal, int nUtcOffsetMinutes = 0);
    ScopedFakeClock(int year, int month, int day, int hour, int minute, int second = 0,
                    int millisecond = 0, int nUtcOffsetMinutes = 0);
    ~ScopedFakeClock();
    ScopedFakeClock(const ScopedFakeClock&) = delete;
    ScopedFakeClock& operator=(const ScopedFakeClock&) = delete;

    void Advance(std::int64_t ms);
    void Set(const SYSTEMTIME& stLocal);
    void Set(int year, int month, int day, int hour, int minute, int second = 0,
             int millisecond = 0);

    // Milliseconds since 1970-01-01 00:00 UTC.
    std::int64_t NowUtcMs() const { return m_nUtcMs; }
    int UtcOffsetMinutes() const { return m_nOffsetMinutes; }

private:
    std::int64_t m_nUtcMs = 0;
    int m_nOffsetMinutes = 0;
    ScopedFakeClock* m_pPrevious = nullptr;
};

// Builds a SYSTEMTIME (day of week filled in) from its calendar fields.
ARTICLE_EXPORT SYSTEMTIME MakeSystemTime(int year, int month, int day, int hour, int minute,
                                         int second = 0, int millisecond = 0);
