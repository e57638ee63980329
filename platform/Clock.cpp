#include "platform/Clock.h"

#include <algorithm>
#include <ctime>
#include <iterator>

namespace {

ScopedFakeClock* g_pFake = nullptr;

// Days since 1970-01-01 of a proleptic Gregorian date; any month is normalised into its year.
std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
    const std::int64_t m0 = m - 1;
    const std::int64_t yearsCarried = m0 >= 0 ? m0 / 12 : -((11 - m0) / 12);
    y += yearsCarried;
    m = m0 - 12 * yearsCarried + 1;
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

SYSTEMTIME FromEpochMs(std::int64_t ms) {
    std::int64_t days = (ms >= 0 ? ms : ms - 86399999) / 86400000;
    std::int64_t msOfDay = ms - days * 86400000;
    // civil_from_days
    std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    std::int64_t y = yoe + era * 400;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp + (mp < 10 ? 3 : -9);
    y += m <= 2;
    SYSTEMTIME st;
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(m);
    st.wDay = static_cast<WORD>(d);
    st.wDayOfWeek = static_cast<WORD>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday (4)
    st.wHour = static_cast<WORD>(msOfDay / 3600000);
    st.wMinute = static_cast<WORD>(msOfDay / 60000 % 60);
    st.wSecond = static_cast<WORD>(msOfDay / 1000 % 60);
    st.wMilliseconds = static_cast<WORD>(msOfDay % 1000);
    return st;
}

std::int64_t ToEpochMs(const SYSTEMTIME& st) {
    std::int64_t days = DaysFromCivil(st.wYear, st.wMonth, st.wDay);
    return ((days * 24 + st.wHour) * 60 + st.wMinute) * 60000 +
           static_cast<std::int64_t>(st.wSecond) * 1000 + st.wMilliseconds;
}

SYSTEMTIME FromTm(const std::tm& tm, int ms) {
    SYSTEMTIME st;
    st.wYear = static_cast<WORD>(tm.tm_year + 1900);
    st.wMonth = static_cast<WORD>(tm.tm_mon + 1);
    st.wDayOfWeek = static_cast<WORD>(tm.tm_wday);
    st.wDay = static_cast<WORD>(tm.tm_mday);
    st.wHour = static_cast<WORD>(tm.tm_hour);
    st.wMinute = static_cast<WORD>(tm.tm_min);
    st.wSecond = static_cast<WORD>(tm.tm_sec);
    st.wMilliseconds = static_cast<WORD>(ms);
    return st;
}

void RealNow(std::time_t* seconds, int* ms) {
    std::timespec ts{};
    (void)std::timespec_get(&ts, TIME_UTC);  // cannot fail for TIME_UTC on this platform
    *seconds = ts.tv_sec;
    *ms = static_cast<int>(ts.tv_nsec / 1000000);
}

// The zone conversions of the real clock are costly: mktime looks at the zone file again on
// every call (a system call), and every keystroke converts the session's start and its own
// stamp to calendar seconds. Conversions are remembered for the wall-clock second in which they
// were made, so a change of the system's zone still shows from the next second on.
struct ConversionMemo {
    static constexpr int kEntries = 4;
    struct Entry {
        WORD fields[6];  // year, month, day, hour, minute, second
        std::int64_t seconds;
    };

    std::time_t madeIn = -1;  // the wall-clock second the conversions below belong to
    bool bLocalHeld = false;  // local: the broken-down local time of madeIn itself
    std::tm local{};
    Entry entries[kEntries]{};
    int nHeld = 0;
    int nNext = 0;

    // Forgets everything made in another second than now.
    void Renew(std::time_t now) {
        if (now != madeIn) {
            madeIn = now;
            bLocalHeld = false;
            nHeld = 0;
            nNext = 0;
        }
    }

    static void FieldsOf(const SYSTEMTIME& st, WORD* fields) {
        fields[0] = st.wYear;
        fields[1] = st.wMonth;
        fields[2] = st.wDay;
        fields[3] = st.wHour;
        fields[4] = st.wMinute;
        fields[5] = st.wSecond;
    }

    bool Find(const SYSTEMTIME& st, std::int64_t* seconds) const {
        WORD fields[6];
        FieldsOf(st, fields);
        for (int i = 0; i < nHeld; ++i) {
            if (std::equal(std::begin(fields), std::end(fields), entries[i].fields)) {
                *seconds = entries[i].seconds;
                return true;
            }
        }
        return false;
    }

    void Keep(const SYSTEMTIME& st, std::int64_t seconds) {
        FieldsOf(st, entries[nNext].fields);
        entries[nNext].seconds = seconds;
        nNext = (nNext + 1) % kEntries;
        nHeld = std::min(nHeld + 1, kEntries);
    }
};

thread_local ConversionMemo t_memo;

}  // namespace

void GetLocalTime(SYSTEMTIME* st) {
    if (!st) {
        return;
    }
    if (g_pFake) {
        *st = FromEpochMs(g_pFake->NowUtcMs() +
                          static_cast<std::int64_t>(g_pFake->UtcOffsetMinutes()) * 60000);
        return;
    }
    std::time_t t;
    int ms;
    RealNow(&t, &ms);
    ConversionMemo& memo = t_memo;
    memo.Renew(t);
    if (!memo.bLocalHeld) {
        localtime_r(&t, &memo.local);
        memo.bLocalHeld = true;
    }
    *st = FromTm(memo.local, ms);
}

void GetSystemTime(SYSTEMTIME* st) {
    if (!st) {
        return;
    }
    if (g_pFake) {
        *st = FromEpochMs(g_pFake->NowUtcMs());
        return;
    }
    std::time_t t;
    int ms;
    RealNow(&t, &ms);
    std::tm tm{};
    gmtime_r(&t, &tm);
    *st = FromTm(tm, ms);
}

CTime::CTime(const SYSTEMTIME& stLocal) {
    if (g_pFake) {
        std::int64_t localMs = ToEpochMs(stLocal) - stLocal.wMilliseconds;
        m_time = localMs / 1000 - static_cast<std::int64_t>(g_pFake->UtcOffsetMinutes()) * 60;
        return;
    }
    std::time_t now;
    int ms;
    RealNow(&now, &ms);
    ConversionMemo& memo = t_memo;
    memo.Renew(now);
    if (memo.Find(stLocal, &m_time)) {
        return;
    }
    std::tm tm{};
    tm.tm_year = stLocal.wYear - 1900;
    tm.tm_mon = stLocal.wMonth - 1;
    tm.tm_mday = stLocal.wDay;
    tm.tm_hour = stLocal.wHour;
    tm.tm_min = stLocal.wMinute;
    tm.tm_sec = stLocal.wSecond;
    tm.tm_isdst = -1;
    m_time = static_cast<std::int64_t>(std::mktime(&tm));
    memo.Keep(stLocal, m_time);
}

BOOL CTime::GetAsSystemTime(SYSTEMTIME& stLocal) const {
    if (g_pFake) {
        stLocal = FromEpochMs(
            (m_time + static_cast<std::int64_t>(g_pFake->UtcOffsetMinutes()) * 60) * 1000);
        return TRUE;
    }
    std::time_t t = static_cast<std::time_t>(m_time);
    std::tm tm{};
    if (!localtime_r(&t, &tm)) {
        return FALSE;
    }
    stLocal = FromTm(tm, 0);
    return TRUE;
}

SYSTEMTIME MakeSystemTime(int year, int month, int day, int hour, int minute, int second,
                          int millisecond) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    st.wMilliseconds = static_cast<WORD>(millisecond);
    return FromEpochMs(ToEpochMs(st));
}

ScopedFakeClock::ScopedFakeClock(const SYSTEMTIME& stLocal, int nUtcOffsetMinutes)
    : m_nOffsetMinutes(nUtcOffsetMinutes), m_pPrevious(g_pFake) {
    Set(stLocal);
    g_pFake = this;
}

ScopedFakeClock::ScopedFakeClock(int year, int month, int day, int hour, int minute, int second,
                                 int millisecond, int nUtcOffsetMinutes)
    : ScopedFakeClock(MakeSystemTime(year, month, day, hour, minute, second, millisecond),
                      nUtcOffsetMinutes) {}

ScopedFakeClock::~ScopedFakeClock() {
    g_pFake = m_pPrevious;
}

void ScopedFakeClock::Advance(std::int64_t ms) {
    m_nUtcMs += ms;
}

void ScopedFakeClock::Set(const SYSTEMTIME& stLocal) {
    m_nUtcMs = ToEpochMs(stLocal) - static_cast<std::int64_t>(m_nOffsetMinutes) * 60000;
}

void ScopedFakeClock::Set(int year, int month, int day, int hour, int minute, int second,
                          int millisecond) {
    Set(MakeSystemTime(year, month, day, hour, minute, second, millisecond));
}
