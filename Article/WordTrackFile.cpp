#include "Article/WordTrackFile.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>

#include "Article/RecordBlocks.h"
#include "diagnostics/Report.h"
#include "platform/File.h"
#include "platform/Memory.h"

namespace {

constexpr const char* kModule = "Article/TypingLog";

constexpr const char* kInvalidInitialData = "Invalid initial data for WordTrack";
constexpr const char* kNoNullEnd = "Word string in Word Track data has no null end";
constexpr const char* kUnableToOpen = "Unable to open Word Track File";
constexpr const char* kInvalidFile = "Invalid Word Track File";
constexpr const char* kReadError = "Error occured while reading Word Track File";
constexpr const char* kEmptyFileName = "Empty file name for Word Track File";
constexpr const char* kUnableToRename = "Unable to rename the old Word Track File";
constexpr const char* kWriteError = "Error occured while write Word Track File";

constexpr const char* kBackupSuffix = ".old";

// The record table grows by this many entries.
constexpr int kTableStep = 1000;
// A table entry is a record's address.
constexpr std::size_t kEntryBytes = sizeof(WordTrack*);  // NOLINT(bugprone-sizeof-expression)
// A record's head before the word, and what the file layout counts as a record's least size.
constexpr std::size_t kWordOffset = offsetof(WordTrack, m_szWord);
constexpr std::int64_t kDeclaredSize = sizeof(WordTrack);
// Head, the word's zero: a word of n characters makes a record of n + 29 bytes.
constexpr std::size_t kRecordOverhead = sizeof(WordTrack) + 1;
constexpr std::size_t kMaxWordLength = kMaxWordTrackSize - kRecordOverhead;
static_assert(kMaxWordLength == 127);
static_assert(kMinWordTrackSize == kRecordOverhead + 1);

// Hands out the file's bytes from a large block, read a block at a time: a record is looked at
// where it lies instead of being read into a block of its own, which at a million records is
// most of the cost of a load.
class RecordReader {
public:
    // nExpected: the bytes the records are known to take; the block need not be larger.
    RecordReader(CFile& file, std::int64_t nExpected)
        : m_file(file),
          m_nBlockSize(static_cast<std::size_t>(
              std::clamp<std::int64_t>(nExpected, kMaxWordTrackSize, kMaxBlockSize))),
          m_pBlock(static_cast<unsigned char*>(AllocateLargeBlock(m_nBlockSize))) {}
    bool IsReady() const { return m_pBlock != nullptr; }

    // The next nBytes bytes (nBytes at most kMaxWordTrackSize), left where they are for the
    // next call; null when the file ends before them.
    const unsigned char* Next(std::size_t nBytes) {
        if (m_nHeld - m_nNext < nBytes) {
            // Keep the part of a record that the block cut, and read on behind it.
            std::memmove(m_pBlock.get(), m_pBlock.get() + m_nNext, m_nHeld - m_nNext);
            m_nHeld -= m_nNext;
            m_nNext = 0;
            while (m_nHeld < nBytes) {
                const unsigned n = m_file.Read(m_pBlock.get() + m_nHeld,
                                               static_cast<unsigned>(m_nBlockSize - m_nHeld));
                if (n == 0) {
                    return nullptr;
                }
                m_nHeld += n;
            }
        }
        return m_pBlock.get() + m_nNext;
    }
    // Moves past nBytes bytes that Next handed out.
    void Skip(std::size_t nBytes) { m_nNext += nBytes; }

private:
    // Well above the file's own buffer, so that large files are read straight into the block.
    static constexpr std::int64_t kMaxBlockSize = 4 << 20;

    CFile& m_file;
    std::size_t m_nBlockSize;
    std::unique_ptr<unsigned char, LargeBlockDeleter> m_pBlock;
    std::size_t m_nHeld = 0;  // bytes in the block
    std::size_t m_nNext = 0;  // the first byte not yet handed out
};

// A record table of nCapacity null entries; null when memory runs out. A million words make a
// table of megabytes: as a large block, a load does not pay a page fault per 4 KiB of it.
WordTrack** NewTable(int nCapacity) {
    const auto nEntries = static_cast<std::size_t>(nCapacity);
    auto** ppTable = static_cast<WordTrack**>(AllocateLargeBlock(nEntries * kEntryBytes));
    if (ppTable) {
        std::fill_n(ppTable, nEntries, nullptr);
    }
    return ppTable;
}

WORD ReadSize(const unsigned char* pData) {
    WORD wSize;
    std::memcpy(&wSize, pData, sizeof wSize);
    return wSize;
}

// Checks a record image: its size must be that of a word of 1 to 127 characters, and the word
// must end inside the record. False after a report.
bool IsValidImage(const unsigned char* pData, WORD wSize) {
    if (wSize < kMinWordTrackSize || wSize > kMaxWordTrackSize) {
        TW_REPORT(kModule, kInvalidInitialData);
        return false;
    }
    // The record's last byte is slack or the word's zero in nearly every record: a load of a
    // million spares the search.
    if (pData[wSize - 1] != 0 && !std::memchr(pData + kWordOffset, 0, wSize - kWordOffset)) {
        TW_REPORT(kModule, kNoNullEnd);
        return false;
    }
    return true;
}

}  // namespace

WordTrack* CreateWordTrack(const char* word) {
    if (!word) {
        return nullptr;
    }
    // 1. The size is the word's length + 29. Words that would make a record that a load refuses
    //    are refused here instead of spoiling the whole file.
    const std::size_t n = strnlen(word, kMaxWordLength + 1);
    if (n == 0 || n > kMaxWordLength) {
        return nullptr;
    }
    const std::size_t nSize = n + kRecordOverhead;
    // 2. A zeroed block (padding and slack included, so nothing undefined is ever written).
    WordTrack* pRecord = static_cast<WordTrack*>(AllocateRecord(nSize, true));
    if (!pRecord) {
        return nullptr;
    }
    pRecord->m_wSize = static_cast<WORD>(nSize);
    std::memcpy(reinterpret_cast<char*>(pRecord) + kWordOffset, word, n + 1);
    return pRecord;
}

WordTrack* CreateWordTrackFromData(const unsigned char* pData) {
    if (!pData) {
        return nullptr;
    }
    // 1. and 2. The size, and the word's end.
    const WORD wSize = ReadSize(pData);
    if (!IsValidImage(pData, wSize)) {
        return nullptr;
    }
    // 3. A copy of the whole image.
    WordTrack* pRecord = static_cast<WordTrack*>(AllocateRecord(wSize, false));
    if (!pRecord) {
        return nullptr;
    }
    std::memcpy(pRecord, pData, wSize);
    return pRecord;
}

void DeleteWordTrack(WordTrack* record) {
    ReleaseRecord(record);
}

CWordTrackFile::CWordTrackFile()
    : m_nCount(0), m_nCapacity(0), m_bModified(0), m_ppWords(nullptr) {}

CWordTrackFile::~CWordTrackFile() {
    FreeWords();
}

void CWordTrackFile::FreeWords() {
    if (m_nCapacity == 0) {
        return;
    }
    if (m_ppWords) {
        for (int k = 0; k < m_nCapacity; ++k) {
            DeleteWordTrack(m_ppWords[k]);
        }
        FreeLargeBlock(m_ppWords);
        m_ppWords = nullptr;
    }
    m_nCapacity = 0;
}

int CWordTrackFile::Open(const char* pszFileName) {
    // 1. Open the file.
    CFile file;
    if (!pszFileName || !file.Open(pszFileName, CFile::modeRead)) {
        TW_REPORT(kModule, kUnableToOpen);
        return 0;
    }

    // 2. The count N and the length L; the read position is now 4.
    std::int32_t nStored = 0;
    const bool bCountRead = file.Read(&nStored, sizeof nStored) == sizeof nStored;
    const std::int64_t nRecords = nStored;
    const std::int64_t nLength =
        static_cast<std::int64_t>(std::min<std::uint64_t>(file.GetLength(), INT64_MAX));
    const std::int64_t nBody = nLength - static_cast<std::int64_t>(sizeof nStored);

    // 3. The length must fit N records of 28 to 156 bytes (in 64 bits: no product wraps), and
    //    the table must stay countable.
    if (nRecords < 0 || nBody < kDeclaredSize * nRecords || nBody > kMaxWordTrackSize * nRecords ||
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

    // 5. A new table of N + 1000 null entries replaces the records held. It is made first, so
    //    that an object that cannot get one stays as it was.
    const int nCount = static_cast<int>(nRecords);
    const int nCapacity = nCount + kTableStep;
    WordTrack** ppWords = NewTable(nCapacity);
    RecordReader reader(file, nBody);
    if (!ppWords || !reader.IsReady()) {
        FreeLargeBlock(ppWords);
        TW_REPORT(kModule, kReadError);
        file.Close();
        return 0;
    }
    FreeWords();
    m_ppWords = ppWords;
    m_nCount = nCount;
    m_nCapacity = nCapacity;

    // 6. The records, as long as nothing has failed. Their copies lie in a few large blocks
    //    (with a head and alignment each), not in an allocation each.
    RecordArena arena(static_cast<std::size_t>(nBody) +
                      static_cast<std::size_t>(nCount) *
                          RecordArena::RoomFor(0, alignof(WordTrack)));
    bool bFailed = false;
    std::int64_t nPosition = sizeof nStored;
    for (int k = 0; k < nCount && !bFailed; ++k) {
        // 6.1 More than the declared record size must remain.
        const std::int64_t nRemaining = nLength - nPosition;
        if (nRemaining <= kDeclaredSize) {
            bFailed = true;
            break;
        }
        // 6.2 The size S, which must fit in what remains.
        const unsigned char* pRecordData = reader.Next(sizeof(WORD));
        if (!pRecordData) {
            bFailed = true;
            break;
        }
        const WORD wSize = ReadSize(pRecordData);
        if (wSize > nRemaining) {
            bFailed = true;
            break;
        }
        if (wSize < kMinWordTrackSize) {
            TW_REPORT(kModule, kInvalidInitialData);
            bFailed = true;
            break;
        }
        // 6.3 The rest of the record behind its size.
        pRecordData = reader.Next(wSize);
        if (!pRecordData) {
            bFailed = true;
            break;
        }
        // 6.4 A checked copy becomes entry k.
        if (!IsValidImage(pRecordData, wSize)) {
            bFailed = true;
            break;
        }
        auto* pRecord = static_cast<WordTrack*>(arena.Allocate(wSize, alignof(WordTrack)));
        if (!pRecord) {
            bFailed = true;
            break;
        }
        std::memcpy(pRecord, pRecordData, wSize);
        m_ppWords[k] = pRecord;
        reader.Skip(wSize);
        nPosition += wSize;
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

int CWordTrackFile::Save(const char* pszFileName) {
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
                    const WordTrack* pRecord = m_ppWords[k];
                    if (!pRecord) {
                        bSaved = false;
                    } else {
                        file.Write(pRecord, pRecord->m_wSize);
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

int CWordTrackFile::Add(WordTrack* pWord) {
    if (!pWord) {
        return 0;
    }
    // 1. A full table grows by 1000 entries.
    if (m_nCount == m_nCapacity && !GrowTable()) {
        return 0;
    }
    // 2. The record joins as the newest.
    m_ppWords[m_nCount] = pWord;
    ++m_nCount;
    m_bModified = 1;
    return 1;
}

bool CWordTrackFile::GrowTable() {
    if (m_nCapacity > INT_MAX - kTableStep) {
        return false;
    }
    const int nCapacity = m_nCapacity + kTableStep;
    WordTrack** ppWords = NewTable(nCapacity);
    if (!ppWords) {
        return false;
    }
    for (int k = 0; k < m_nCount; ++k) {
        ppWords[k] = m_ppWords[k];
    }
    FreeLargeBlock(m_ppWords);
    m_ppWords = ppWords;
    m_nCapacity = nCapacity;
    return true;
}

const WordTrack* CWordTrackFile::GetWordTrack(int nIndex) const {
    if (nIndex < 0 || nIndex >= m_nCount) {
        return nullptr;
    }
    return m_ppWords[nIndex];
}
