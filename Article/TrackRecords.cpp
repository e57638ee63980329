#include "Article/TrackRecords.h"

#include <cstdint>
#include <cstring>
#include <utility>

#include "diagnostics/Report.h"
#include "platform/Clock.h"

namespace {

constexpr const char* kModule = "Article/TypingLog";

// Keys that sort records without time (or without keystrokes) after all others.
constexpr double kSpeedKeyWithoutTime = 10000000.0;
constexpr double kAccuracyKeyWithoutKeys = 100.0;

// Plausible years of a stored lesson record.
constexpr WORD kFirstYear = 2001;
constexpr WORD kLastYear = 2200;

// Counts add with wrap-around, as 32-bit arithmetic does, without signed overflow.
int Add32(int a, int b) {
    return static_cast<int>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
int Sub32(int a, int b) {
    return static_cast<int>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

// Space, tab, line feed and backspace: characters that GetCharTrackCount(0) leaves out.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\b';
}

double SpeedKey(const CCharTrack& t) {
    return t.m_nTime > 0 ? static_cast<double>(Sub32(t.m_nKeys, t.m_nErrors)) / t.m_nTime
                         : kSpeedKeyWithoutTime;
}

double AccuracyKey(const CCharTrack& t) {
    return t.m_nKeys > 0 ? static_cast<double>(Sub32(t.m_nKeys, t.m_nErrors)) / t.m_nKeys
                         : kAccuracyKeyWithoutKeys;
}

// Ascending quicksort; the pivot is the record at lo, equal keys end up to its right.
template <double (*Key)(const CCharTrack&)>
void QuickSort(CCharTrack* a, int lo, int hi) {
    // 1.
    if (lo >= hi) {
        return;
    }
    // 2.
    const double pivot = Key(a[lo]);
    // 3. - 5.
    int i = lo;
    int j = hi + 1;
    for (;;) {
        for (;;) {
            ++i;
            if (i >= hi || !(Key(a[i]) < pivot)) {
                break;
            }
        }
        for (;;) {
            --j;
            const double key = Key(a[j]);
            if (j <= lo || !(key >= pivot)) {
                break;
            }
        }
        if (i >= j) {
            break;
        }
        std::swap(a[i], a[j]);
    }
    // 6.
    std::swap(a[lo], a[j]);
    QuickSort<Key>(a, lo, j - 1);
    QuickSort<Key>(a, j + 1, hi);
}

void QuickSortBySpeed(CCharTrack* a, int lo, int hi) {
    QuickSort<SpeedKey>(a, lo, hi);
}
void QuickSortByAccuracy(CCharTrack* a, int lo, int hi) {
    QuickSort<AccuracyKey>(a, lo, hi);
}

}  // namespace

CCharTrack::CCharTrack() : m_chChar(0), m_byPad{}, m_nKeys(0), m_nTime(0), m_nErrors(0) {}

CCharTrack::CCharTrack(char ch) : CCharTrack() {
    m_chChar = ch;
}

void CCharTrack::Reset() {
    m_chChar = 0;
    m_nKeys = 0;
    m_nTime = 0;
    m_nErrors = 0;
}

int CCharTrack::Init(const unsigned char* pData) {
    std::memcpy(static_cast<void*>(this), pData, sizeof(CCharTrack));
    return m_nKeys <= 0 && m_nTime <= 0 && m_nKeys < m_nErrors ? 0 : 1;
}

CCharTrack& CCharTrack::operator+=(const CCharTrack& other) {
    m_nKeys = Add32(m_nKeys, other.m_nKeys);
    m_nTime = Add32(m_nTime, other.m_nTime);
    m_nErrors = Add32(m_nErrors, other.m_nErrors);
    return *this;
}

CLessonTrack::CLessonTrack()
    : m_wYear(0),
      m_wMonth(0),
      m_wDay(0),
      m_wHour(0),
      m_wMinute(0),
      m_byPad1{},
      m_nSeconds(0),
      m_byLessonId1(0),
      m_byLessonId2(0),
      m_wLessonTag(0),
      m_nKeys(0),
      m_nErrors(0),
      m_byPad2{},
      m_dSpeed(0.0),
      m_dTopSpeed(0.0),
      m_nWords(0),
      m_nWordErrors(0) {
    Reset();
}

void CLessonTrack::Reset() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    m_wYear = now.wYear;
    m_wMonth = now.wMonth;
    m_wDay = now.wDay;
    m_wHour = now.wHour;
    m_wMinute = now.wMinute;
    m_nSeconds = 0;
    m_byLessonId1 = 0;
    m_byLessonId2 = 0;
    m_wLessonTag = 0;
    m_nKeys = 0;
    m_nErrors = 0;
    m_dSpeed = 0.0;
    m_dTopSpeed = 0.0;
    m_nWords = 0;
    m_nWordErrors = 0;
    for (int i = 0; i < kCharTrackSlots; ++i) {
        m_aCharTrack[i].m_chChar = static_cast<char>(i);
    }
}

int CLessonTrack::Init(const unsigned char* pData) {
    std::memcpy(static_cast<void*>(this), pData, sizeof(CLessonTrack));
    return IsPlausible();
}

int CLessonTrack::IsPlausible() const {
    const bool valid = m_wYear >= kFirstYear && m_wYear <= kLastYear &&                   // 1.
                       m_wMonth >= 1 && m_wMonth <= 12 &&                                 // 2.
                       m_wHour < 24 && m_wMinute < 60 &&                                  // 3.
                       m_nKeys >= 0 && m_nErrors >= 0 && m_nKeys >= m_nErrors &&          // 4.
                       m_nWords >= 0 && m_nWordErrors >= 0 && m_nWords >= m_nWordErrors;  // 5.
    return valid ? 1 : 0;
}

int CLessonTrack::GetCharTrackCount(int bAll) const {
    int count = 0;
    for (const CCharTrack& slot : m_aCharTrack) {
        if (slot.m_nKeys > 0 && (bAll || !IsBlank(slot.m_chChar))) {
            ++count;
        }
    }
    return count;
}

void CLessonTrack::RetrieveCharTrack(CCharTrack* pOut, int nMax, int bAll) const {
    if (!pOut) {
        return;
    }
    int copied = 0;
    for (const CCharTrack& slot : m_aCharTrack) {
        if (copied >= nMax) {
            return;
        }
        if (slot.m_nKeys > 0 && (bAll || !IsBlank(slot.m_chChar))) {
            pOut[copied++] = slot;
        }
    }
}

CLessonTrack& CLessonTrack::operator+=(const CLessonTrack& other) {
    // 1.
    m_nSeconds = Add32(m_nSeconds, other.m_nSeconds);
    m_nKeys = Add32(m_nKeys, other.m_nKeys);
    m_nErrors = Add32(m_nErrors, other.m_nErrors);
    // 2. Keystrokes per minute of the sums; infinite or not a number when no second was spent.
    m_dSpeed = static_cast<double>(m_nKeys) / (static_cast<double>(m_nSeconds) * (1.0 / 60));
    // 3.
    if (other.m_dTopSpeed > m_dTopSpeed) {
        m_dTopSpeed = other.m_dTopSpeed;
    }
    // 4.
    m_nWords = Add32(m_nWords, other.m_nWords);
    m_nWordErrors = Add32(m_nWordErrors, other.m_nWordErrors);
    // 5.
    for (int i = 0; i < kCharTrackSlots; ++i) {
        m_aCharTrack[i] += other.m_aCharTrack[i];
    }
    return *this;
}

void SortCharTrack(CCharTrack* pTracks, int nCount, SortCriteria criterion) {
    switch (criterion) {
        case scBySpeed:
            if (pTracks) {
                QuickSortBySpeed(pTracks, 0, nCount - 1);
            }
            break;
        case scByAccuracy:
            if (pTracks) {
                QuickSortByAccuracy(pTracks, 0, nCount - 1);
            }
            break;
        default:
            TW_REPORT(kModule, "Unknow sorting criteria");
            break;
    }
}
