// The learner's word history: one WordTrack record per typed word, oldest first, kept in one
// binary file (a 4-byte count, then the records back to back, 30 to 156 bytes each). The object
// owns the records added to it; the pointers it hands out stay valid until the next Open or its
// destruction.
#pragma once

#include <cstddef>
#include <string>

#include "platform/Export.h"
#include "platform/Win32.h"

// One typed word. The declared type covers the 28-byte head and the first bytes of the word;
// every record is allocated with room for its whole word and is m_wSize bytes long.
struct WordTrack {
    WORD m_wSize;  // size of the whole record: word length + 29
    BYTE m_byPad[2];
    int m_nCount;         // attempts counted: 1 in every record the library makes
    int m_nTime;          // typing time in milliseconds
    WORD m_wAttemptTime;  // typing time of one attempt, cut to 16 bits
    WORD m_wReserved1;
    int m_nReserved;
    WORD m_wReserved2;
    WORD m_wErrors;    // attempts that had a mistake
    BYTE m_bMistyped;  // 1 if the attempt had a mistake
    char m_szWord[3];  // the word and its zero; the record goes on past the declared type
};

static_assert(sizeof(WordTrack) == 28);
static_assert(offsetof(WordTrack, m_nCount) == 4);
static_assert(offsetof(WordTrack, m_nTime) == 8);
static_assert(offsetof(WordTrack, m_wAttemptTime) == 12);
static_assert(offsetof(WordTrack, m_wReserved1) == 14);
static_assert(offsetof(WordTrack, m_nReserved) == 16);
static_assert(offsetof(WordTrack, m_wReserved2) == 20);
static_assert(offsetof(WordTrack, m_wErrors) == 22);
static_assert(offsetof(WordTrack, m_bMistyped) == 24);
static_assert(offsetof(WordTrack, m_szWord) == 25);

// Smallest and largest valid record sizes (a word of 1 to 127 characters).
inline constexpr int kMinWordTrackSize = 30;
inline constexpr int kMaxWordTrackSize = 156;

// A new zeroed record for word; null when the word would make a record that Open refuses
// (empty, or longer than 127 characters) or memory runs out. Release with DeleteWordTrack.
ARTICLE_EXPORT WordTrack* CreateWordTrack(const char* word);
// A checked copy of a record image; null (with a report) when the image is not valid.
ARTICLE_EXPORT WordTrack* CreateWordTrackFromData(const unsigned char* pData);
// Releases a record; null is ignored.
ARTICLE_EXPORT void DeleteWordTrack(WordTrack* record);

class ARTICLE_EXPORT CWordTrackFile {
public:
    CWordTrackFile();
    ~CWordTrackFile();
    CWordTrackFile(const CWordTrackFile&) = delete;
    CWordTrackFile& operator=(const CWordTrackFile&) = delete;

    // Loads the file, replacing the records held; 1 on success, 0 (with a report) on failure.
    int Open(const char* pszFileName);
    // Writes the records under pszFileName, or under the name last opened or saved when null;
    // 1 on success, 0 (with a report) on failure, the previous file then back in place.
    int Save(const char* pszFileName);
    // Appends a record and takes it over; 0 for a null record or when the table cannot grow
    // (the caller keeps the record).
    int Add(WordTrack* pWord);
    // Record nIndex, 0 the oldest; null outside 0..GetWordCount()-1.
    const WordTrack* GetWordTrack(int nIndex) const;
    // Records held.
    int GetWordCount() const { return m_nCount; }
    // 1 when a record was added since the last successful Save.
    int IsModified() const { return m_bModified; }
    // The name last opened or saved; empty before either.
    const std::string& GetFileName() const { return m_strFileName; }

private:
    void FreeWords();
    // Adds 1000 null entries to the table; false (nothing changed) when memory runs out.
    bool GrowTable();

    std::string m_strFileName;
    int m_nCount;
    int m_nCapacity;
    int m_bModified;
    WordTrack** m_ppWords;
};
