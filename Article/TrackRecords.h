// Statistics records of the typing log. Their memory image is their file image (little-endian,
// natural alignment of a 32-bit platform), checked below field by field.
#pragma once

#include <cstddef>

#include "platform/Export.h"
#include "platform/Win32.h"

// One character's counts within a lesson.
struct ARTICLE_EXPORT CCharTrack {
    char m_chChar;    // the character code this slot counts
    BYTE m_byPad[3];  // padding: zero in new records, never read
    int m_nKeys;      // keystrokes while this character was the expected one
    int m_nTime;      // milliseconds spent on those keystrokes
    int m_nErrors;    // those keystrokes that were wrong

    // Zero counts for character 0, or for ch.
    CCharTrack();
    explicit CCharTrack(char ch);

    // Zero character and counts; the padding stays.
    void Reset();
    // Copies the 16-byte image at pData; answers 0 when keys <= 0, time <= 0 and
    // keys < errors all hold, else 1. The record keeps the image either way.
    int Init(const unsigned char* pData);
    // Adds other's counts; the character stays.
    CCharTrack& operator+=(const CCharTrack& other);
};

static_assert(sizeof(CCharTrack) == 16);
static_assert(offsetof(CCharTrack, m_chChar) == 0);
static_assert(offsetof(CCharTrack, m_nKeys) == 4);
static_assert(offsetof(CCharTrack, m_nTime) == 8);
static_assert(offsetof(CCharTrack, m_nErrors) == 12);

// Character slots in a lesson record: codes 0 to 254 (255 has none).
inline constexpr int kCharTrackSlots = 255;

// One lesson: when it began, its totals, its identifiers and a slot per character code.
class ARTICLE_EXPORT CLessonTrack {
public:
    WORD m_wYear;  // local date and time at which the record was started
    WORD m_wMonth;
    WORD m_wDay;
    WORD m_wHour;
    WORD m_wMinute;
    BYTE m_byPad1[2];
    int m_nSeconds;      // active typing time, pauses left out
    BYTE m_byLessonId1;  // lesson identifiers as the host gave them to AddNewTrack
    BYTE m_byLessonId2;
    WORD m_wLessonTag;  // kept and stored, not interpreted
    int m_nKeys;        // keystrokes
    int m_nErrors;      // wrong keystrokes
    BYTE m_byPad2[4];
    double m_dSpeed;                           // average speed, keystrokes per minute
    double m_dTopSpeed;                        // top speed, keystrokes per minute
    int m_nWords;                              // words typed
    int m_nWordErrors;                         // words typed with at least one mistake
    CCharTrack m_aCharTrack[kCharTrackSlots];  // slot i counts character code i

    // Zero slots, then Reset.
    CLessonTrack();

    // Stamps the local date and time (to the minute) and zeroes the totals and identifiers;
    // slot i gets character i, the slots' counts stay.
    void Reset();
    // Copies the 4136-byte image at pData whole, then answers 1 when date, time and totals are
    // plausible (year 2001..2200, month 1..12, hour < 24, minute < 60, keys >= errors >= 0,
    // words >= word errors >= 0), else 0.
    int Init(const unsigned char* pData);
    // 1 when date, time and totals are plausible, else 0: the check Init makes of an image.
    int IsPlausible() const;
    // Slots with keystrokes; without bAll, space, tab, line feed and backspace do not count.
    int GetCharTrackCount(int bAll) const;
    // Copies, in code order, up to nMax of the slots GetCharTrackCount counts into pOut.
    void RetrieveCharTrack(CCharTrack* pOut, int nMax, int bAll) const;
    // Adds other's seconds, keystrokes, errors, words and slots; recomputes the average speed
    // from the sums; keeps the higher top speed. Date and identifiers stay.
    CLessonTrack& operator+=(const CLessonTrack& other);
};

static_assert(sizeof(CLessonTrack) == 4136);
static_assert(offsetof(CLessonTrack, m_wYear) == 0);
static_assert(offsetof(CLessonTrack, m_wMonth) == 2);
static_assert(offsetof(CLessonTrack, m_wDay) == 4);
static_assert(offsetof(CLessonTrack, m_wHour) == 6);
static_assert(offsetof(CLessonTrack, m_wMinute) == 8);
static_assert(offsetof(CLessonTrack, m_nSeconds) == 12);
static_assert(offsetof(CLessonTrack, m_byLessonId1) == 16);
static_assert(offsetof(CLessonTrack, m_byLessonId2) == 17);
static_assert(offsetof(CLessonTrack, m_wLessonTag) == 18);
static_assert(offsetof(CLessonTrack, m_nKeys) == 20);
static_assert(offsetof(CLessonTrack, m_nErrors) == 24);
static_assert(offsetof(CLessonTrack, m_dSpeed) == 32);
static_assert(offsetof(CLessonTrack, m_dTopSpeed) == 40);
static_assert(offsetof(CLessonTrack, m_nWords) == 48);
static_assert(offsetof(CLessonTrack, m_nWordErrors) == 52);
static_assert(offsetof(CLessonTrack, m_aCharTrack) == 56);

enum SortCriteria : int {
    scBySpeed = 0,     // correct keystrokes per millisecond, slowest first
    scByAccuracy = 1,  // share of correct keystrokes, least accurate first
};

// Sorts the first nCount records weakest first. An unknown criterion is reported
// ("Unknow sorting criteria") and leaves the array as it was.
ARTICLE_EXPORT void SortCharTrack(CCharTrack* pTracks, int nCount, SortCriteria criterion);
