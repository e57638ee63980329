// The learner's lesson history: CLessonTrack records, oldest first, kept in one binary file
// (a 4-byte count, then that many 4136-byte records). A save keeps the previous file under the
// name plus ".old" until the new one is complete. The object owns its records; the pointers it
// hands out stay valid until the next Open or its destruction.
#pragma once

#include <string>

#include "Article/TrackRecords.h"

class ARTICLE_EXPORT CLessonTrackFile {
public:
    CLessonTrackFile();
    ~CLessonTrackFile();
    CLessonTrackFile(const CLessonTrackFile&) = delete;
    CLessonTrackFile& operator=(const CLessonTrackFile&) = delete;

    // Loads the file, replacing the records held; 1 on success, 0 (with a report) on failure.
    int Open(const char* pszFileName);
    // Writes the records under pszFileName, or under the name last opened or saved when null;
    // 1 on success, 0 (with a report) on failure, the previous file then back in place.
    int Save(const char* pszFileName);
    // Appends a record for a lesson that begins now; 0 when it cannot be allocated.
    int AddNewTrack(unsigned char byId1, unsigned char byId2, unsigned short wTag);
    // The newest record, writable; null when there is none.
    CLessonTrack* GetLastTrack();
    // Record nIndex, 0 the oldest; null outside 0..GetLessonCount()-1.
    const CLessonTrack* GetLessonTrack(int nIndex) const;
    // Records held.
    int GetLessonCount() const { return m_nCount; }
    // Adds the newest records of lesson (nId1, nId2) on the newest record's day to pSum until
    // it holds nMinKeys keystrokes; 1 when it got there, else 0 (what was added stays added).
    int GetTrackSum(CLessonTrack* pSum, int nId1, int nId2, int nMinKeys) const;
    // Adds the newest unbroken run of records of the date to pSum; 1 when it added any.
    int GetTrackSum(CLessonTrack* pSum, unsigned short wYear, unsigned short wMonth,
                    unsigned short wDay) const;
    // 1 when a record was added since the last successful Save.
    int IsModified() const { return m_bModified; }
    // The name last opened or saved; empty before either.
    const std::string& GetFileName() const { return m_strFileName; }

private:
    // Appends a record and takes it over; 0 when the table cannot grow.
    int Add(CLessonTrack* pTrack);
    // Releases every record and the table; m_nCount is left to the caller.
    void FreeTracks();
    // Adds 30 null entries to the table; false (nothing changed) when memory runs out.
    bool GrowTable();

    std::string m_strFileName;
    int m_nCount;
    int m_nCapacity;
    int m_bModified;
    CLessonTrack** m_ppTracks;
};
