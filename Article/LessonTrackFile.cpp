#include "Article/LessonTrackFile.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <new>

#include "Article/RecordBlocks.h"
#include "diagnostics/Report.h"
#include "platform/File.h"

namespace {

constexpr const char* kModule = "Article/TypingLog";

constexpr const char* kUnableToOpen = "Unable to open Lesson Track File";
constexpr const char* kInvalidFile = "Invalid Lesson Track File";
constexpr const char* kReadError = "Error occured while reading Lesson Track File";
constexpr const char* kEmptyFileName = "Empty file name for Lesson Track File";
constexpr const char* kUnableToRename = "Unable to rename the old Lesson Track File";
constexpr const char* kWriteError = "Error occured while write Lesson Track File";

constexpr const char* kBackupSuffix = ".old";

// The record table grows by this many entries.
constexpr int kTableStep = 30;
// A record's image in the file.
constexpr unsigned kRecordSize = sizeof(CLessonTrack);
static_assert(kRecordSize == 4136);

bool SameDate(const CLessonTrack& track, WORD wYear, WORD wMonth, WORD wDay) {
    return track.m_wYear == wYear && track.m_wMonth == wMonth && track.m_wDay == wDay;
}

// A record on its own: stamped now, otherwise zero; null when memory runs out.
CLessonTrack* NewTrack() {
    void* pMemory = AllocateRecord(sizeof(CLessonTrack), false);
    return pMemory ? new (pMemory) CLessonTrack : nullptr;
}

// Releases a record, on its own or one of a load's; null is ignored.
void DeleteTrack(CLessonTrack* pTrack) {
    if (pTrack) {
        pTrack->~CLessonTrack();
        ReleaseRecord(pTrack);
    }
}

}  // namespace

CLessonTrackFile::CLessonTrackFile()
    : m_nCount(0), m_nCapacity(0), m_bModified(0), m_ppTracks(nullptr) {}

CLessonTrackFile::~CLessonTrackFile() {
    FreeTracks();
}

void CLessonTrackFile::FreeTracks() {
    if (m_nCapacity == 0) {
        return;
    }
    if (m_ppTracks) {
        for (int k = 0; k < m_nCapacity; ++k) {
            DeleteTrack(m_ppTracks[k]);
        }
        delete[] m_ppTracks;
        m_ppTracks = nullptr;
    }
    m_nCapacity = 0;
}

int CLessonTrackFile::Open(const char* pszFileName) {
    // 1. Open the file.
    CFile file;
    if (!pszFileName || !file.Open(pszFileName, CFile::modeRead)) {
        TW_REPORT(kModule, kUnableToOpen);
        return 0;
    }

    // 2. The count N and the length L.
    std::int32_t nStored = 0;
    const bool bCountRead = file.Read(&nStored, sizeof nStored) == sizeof nStored;
    const std::int64_t nRecords = nStored;
    const std::int64_t nLength =
        static_cast<std::int64_t>(std::min<std::uint64_t>(file.GetLength(), INT64_MAX));
    const std::int64_t nBody = nLength - static_cast<std::int64_t>(sizeof nStored);

    // 3. The length must be that of N records exactly (in 64 bits: no product wraps), and the
    //    table must stay countable.
    if (nRecords < 0 || nBody != static_cast<std::int64_t>(kRecordSize) * nRecords ||
        nRecords > INT_MAX - kTableStep) {
        TW_REPORT(kModule, kInvalidFile);
        file.Close();
        return 0;
    }

    // 4. A count not read whole fails without a report.
    if (!bCountRead) {
        file.Close();
        return 0;
    }

    // 5. A new table of N + 30 null entries replaces the records held. It is made first, so
    //    that an object that cannot get one stays as it was.
    const int nCount = static_cast<int>(nRecords);
    const int nCapacity = nCount + kTableStep;
    CLessonTrack** ppTracks =
        new (std::nothrow) CLessonTrack*[static_cast<std::size_t>(nCapacity)]();
    if (!ppTracks) {
        TW_REPORT(kModule, kReadError);
        file.Close();
        return 0;
    }
    FreeTracks();
    m_ppTracks = ppTracks;
    m_nCount = nCount;
    m_nCapacity = nCapacity;

    // 6. The records, as long as nothing has failed; a record that is not plausible is not
    //    kept. Each is read straight into its place in one of a few large blocks (its type
    //    has no invariant beyond its bytes), not into an allocation of its own.
    bool bFailed = false;
    constexpr std::size_t kAlign = alignof(CLessonTrack);
    RecordArena arena(static_cast<std::size_t>(nCount) * RecordArena::RoomFor(kRecordSize, kAlign));
    for (int k = 0; k < nCount && !bFailed; ++k) {
        auto* pTrack = static_cast<CLessonTrack*>(arena.Allocate(kRecordSize, kAlign));
        if (!pTrack) {
            bFailed = true;
            break;
        }
        if (file.Read(pTrack, kRecordSize) != kRecordSize || !pTrack->IsPlausible()) {
            arena.TakeBack(pTrack);
            bFailed = true;
            break;
        }
        m_ppTracks[k] = pTrack;
    }

    // 7. and 8.
    file.Close();
    if (bFailed) {
        TW_REPORT(kModule, kReadError);
        return 0;
    }
    m_strFileName = pszFileName;
    return 1;
}

int CLessonTrackFile::Save(const char* pszFileName) {
    // 1. The name used.
    if (!pszFileName && m_strFileName.empty()) {
        TW_REPORT(kModule, kEmptyFileName);
        return 0;
    }
    const std::string strName = pszFileName ? pszFileName : m_strFileName;

    // 2. The previous file moves aside; an existing backup is never replaced.
    const std::string strBackup = strName + kBackupSuffix;
    const bool bBackup = FileExists(strName.c_str());
    if (bBackup && !MoveFileNoReplace(strName.c_str(), strBackup.c_str())) {
        TW_REPORT(kModule, kUnableToRename);
        return 0;
    }

    // 3. A new file.
    bool bSaved = false;
    CFile file;
    if (file.Open(strName.c_str(), CFile::modeCreate | CFile::modeWrite)) {
        // 4. The count.
        bSaved = true;
        try {
            // The count goes out on its own: a count that cannot be written fails the save
            // without a report, records that cannot be written fail it with one.
            file.Write(&m_nCount, sizeof m_nCount);
            file.Flush();
        } catch (const CFileException&) {
            bSaved = false;
        }
        // 5. The records, oldest first; the first failure ends the writing.
        if (bSaved) {
            try {
                for (int k = 0; k < m_nCount && bSaved; ++k) {
                    const CLessonTrack* pTrack = m_ppTracks[k];
                    if (!pTrack) {
                        bSaved = false;
                    } else {
                        file.Write(pTrack, kRecordSize);
                    }
                }
                if (bSaved) {
                    file.Flush();
                }
            } catch (const CFileException&) {
                bSaved = false;
            }
            if (!bSaved) {
                TW_REPORT(kModule, kWriteError);
            }
        }
        // 6. Closing makes the file durable, or fails the save.
        if (!file.Close()) {
            bSaved = false;
        }
    }

    // 7. The backup goes after success and comes back after failure.
    if (bBackup) {
        if (bSaved) {
            DeleteFile(strBackup.c_str());
        } else {
            MoveFileReplace(strBackup.c_str(), strName.c_str());
        }
    }

    // 8.
    if (!bSaved) {
        return 0;
    }
    if (m_strFileName != strName) {
        m_strFileName = strName;
    }
    m_bModified = 0;
    return 1;
}

int CLessonTrackFile::AddNewTrack(unsigned char byId1, unsigned char byId2, unsigned short wTag) {
    // 1. A record stamped now, otherwise zero.
    CLessonTrack* pTrack = NewTrack();
    if (!pTrack) {
        return 0;
    }
    // 2. The lesson's identifiers.
    pTrack->m_byLessonId1 = byId1;
    pTrack->m_byLessonId2 = byId2;
    pTrack->m_wLessonTag = wTag;
    // 3. A record the table cannot take is not kept.
    if (!Add(pTrack)) {
        DeleteTrack(pTrack);
        return 0;
    }
    return 1;
}

int CLessonTrackFile::Add(CLessonTrack* pTrack) {
    // 1. A full table grows by 30 entries.
    if (m_nCount == m_nCapacity && !GrowTable()) {
        return 0;
    }
    // 2. The record joins as the newest.
    m_ppTracks[m_nCount] = pTrack;
    ++m_nCount;
    m_bModified = 1;
    return 1;
}

bool CLessonTrackFile::GrowTable() {
    if (m_nCapacity > INT_MAX - kTableStep) {
        return false;
    }
    const int nCapacity = m_nCapacity + kTableStep;
    CLessonTrack** ppTracks =
        new (std::nothrow) CLessonTrack*[static_cast<std::size_t>(nCapacity)]();
    if (!ppTracks) {
        return false;
    }
    for (int k = 0; k < m_nCount; ++k) {
        ppTracks[k] = m_ppTracks[k];
    }
    delete[] m_ppTracks;
    m_ppTracks = ppTracks;
    m_nCapacity = nCapacity;
    return true;
}

CLessonTrack* CLessonTrackFile::GetLastTrack() {
    if (m_nCount <= 0) {
        return nullptr;
    }
    return m_ppTracks[m_nCount - 1];
}

const CLessonTrack* CLessonTrackFile::GetLessonTrack(int nIndex) const {
    if (nIndex < 0 || nIndex >= m_nCount) {
        return nullptr;
    }
    return m_ppTracks[nIndex];
}

// A null entry (left by a load that failed) counts as a record that does not match.
int CLessonTrackFile::GetTrackSum(CLessonTrack* pSum, int nId1, int nId2, int nMinKeys) const {
    // 1. With no records there is nothing to sum.
    if (m_nCount <= 0 || !pSum) {
        return 0;
    }
    // 2. The newest record's day.
    const CLessonTrack* pNewest = m_ppTracks[m_nCount - 1];
    if (!pNewest) {
        return 0;
    }
    const WORD wYear = pNewest->m_wYear;
    const WORD wMonth = pNewest->m_wMonth;
    const WORD wDay = pNewest->m_wDay;
    // 3. Newest to oldest, while the records are of that day and lesson.
    for (int k = m_nCount - 1; k >= 0; --k) {
        const CLessonTrack* pTrack = m_ppTracks[k];
        if (!pTrack || !SameDate(*pTrack, wYear, wMonth, wDay) || pTrack->m_byLessonId1 != nId1 ||
            pTrack->m_byLessonId2 != nId2) {
            return 0;
        }
        *pSum += *pTrack;
        if (pSum->m_nKeys >= nMinKeys) {
            return 1;
        }
    }
    // 4. Every record added, still short of nMinKeys.
    return 0;
}

int CLessonTrackFile::GetTrackSum(CLessonTrack* pSum, unsigned short wYear, unsigned short wMonth,
                                  unsigned short wDay) const {
    if (!pSum) {
        return 0;
    }
    int nAdded = 0;
    for (int k = m_nCount - 1; k >= 0; --k) {
        const CLessonTrack* pTrack = m_ppTracks[k];
        if (!pTrack || !SameDate(*pTrack, wYear, wMonth, wDay)) {
            break;
        }
        *pSum += *pTrack;
        ++nAdded;
    }
    return nAdded > 0 ? 1 : 0;
}
