// File services: a buffered file class in the shape of the framework's CFile, and the name
// operations (existence test, renames, delete) that the record files use. Everything goes through
// one seam in File.cpp, so that a ScopedFileFaults can make the world fail on purpose in tests.
//
// Only Write and Flush raise (CFileException); opening, reading and closing answer failure codes.
// Files written are made durable by Close: their data and their directory entry reach the disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Memory.h"
#include "platform/Win32.h"

// Raised by CFile::Write and CFile::Flush when data cannot be written.
class CFileException {
public:
    explicit CFileException(int nOsError) : m_nOsError(nOsError) {}
    int m_nOsError;  // errno of the failed call; 0 for an injected failure
};

class CFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeCreate = 0x1000,  // create the file, or truncate it when it exists
    };

    CFile() = default;
    // Closes a file still open; errors are dropped.
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // modeRead opens an existing file for reading; modeCreate | modeWrite creates an empty file
    // for writing. FALSE when the file cannot be opened or created.
    BOOL Open(const char* pszFileName, unsigned nOpenFlags);
    BOOL IsOpen() const { return m_fd >= 0; }
    // Length in bytes (including what Write holds in its buffer); 0 when unknown.
    std::uint64_t GetLength() const;
    // Up to nCount bytes from the read position; fewer at the end of the file or on an error.
    unsigned Read(void* pBuf, unsigned nCount);
    // Appends nCount bytes (through a buffer); raises CFileException when they cannot be written.
    void Write(const void* pBuf, unsigned nCount);
    // Writes out what the buffer holds; raises CFileException on failure.
    void Flush();
    // Closes the file. A file written is flushed and synced to disk with its directory entry
    // first; FALSE when any of that fails. Closing a file that is not open answers TRUE.
    BOOL Close();

private:
    BOOL FlushBuffer();
    // False when there is no memory for it: reads and writes then go to the file directly.
    bool MakeBuffer();

    // One huge page where the kernel gives them: each file's buffer is touched anew, and the
    // page faults of 4 KiB pages cost a save of a million records more than copying them.
    static constexpr unsigned kBufferSize = 2 * 1024 * 1024;

    int m_fd = -1;
    bool m_bWriting = false;
    std::string m_strName;
    // kBufferSize bytes, made on first use.
    std::unique_ptr<unsigned char[], LargeBlockDeleter> m_pBuffer;
    std::size_t m_nBufferPos = 0;  // reading: next byte to hand out
    std::size_t m_nBufferEnd = 0;  // reading: bytes held; writing: bytes waiting to be written
    int m_nError = 0;              // first errno met while writing, reported by Close
};

// TRUE when pszFileName names an existing file (not a directory).
BOOL FileExists(const char* pszFileName);
// Renames pszFrom to pszTo; fails rather than replace an existing pszTo (atomically).
BOOL MoveFileNoReplace(const char* pszFrom, const char* pszTo);
// Renames pszFrom to pszTo, replacing pszTo when it exists.
BOOL MoveFileReplace(const char* pszFrom, const char* pszTo);
// Removes the file.
BOOL DeleteFile(const char* pszFileName);

// What TryLockFile answers.
enum class FileLock {
    kLocked,   // the lock is held
    kBusy,     // another open file holds a lock in the way
    kRefused,  // the file system does not lock
};
// Takes an advisory lock (flock) on the whole of the open file fd without waiting, shared or
// exclusive; a lock fd already holds is changed, and is lost when that fails. On kRefused
// *pnOsError holds the errno.
FileLock TryLockFile(int fd, bool bExclusive, int* pnOsError);
// Releases the lock fd holds, if any.
void UnlockFile(int fd);

// Test seam: while an object lives, the file services count and log what they do and fail what
// they are told to. The innermost object rules.
class ScopedFileFaults {
public:
    ScopedFileFaults();
    ~ScopedFileFaults();
    ScopedFileFaults(const ScopedFileFaults&) = delete;
    ScopedFileFaults& operator=(const ScopedFileFaults&) = delete;

    // The n-th CFile::Write counted from this object's birth (1 the first) raises, writing
    // nothing; 0 switches this off.
    void FailWriteNumber(int n) { m_nFailWrite = n; }
    // Every create for writing fails.
    void FailCreate(bool bFail = true) { m_bFailCreate = bFail; }
    // Every rename, replacing or not, fails.
    void FailRename(bool bFail = true) { m_bFailRename = bFail; }
    // Every sync of a file's data fails (and so does Close of a written file).
    void FailSync(bool bFail = true) { m_bFailSync = bFail; }
    // Renaming without replacing behaves as on a file system that lacks it (EINVAL), so the
    // fallback through a hard link is taken.
    void LackRenameNoReplace(bool bLack = true) { m_bLackRenameNoReplace = bLack; }
    // Every lock is refused as on a file system that does not lock (ENOLCK).
    void RefuseLocks(bool bRefuse = true) { m_bRefuseLocks = bRefuse; }

    // CFile::Write calls so far.
    int WriteCount() const { return m_nWrites; }
    // System-level reads and writes so far (what the buffers turned the calls into).
    int SystemReadCount() const { return m_nSystemReads; }
    int SystemWriteCount() const { return m_nSystemWrites; }
    // The name operations and syncs in order, as "create a", "sync a", "syncdir d",
    // "rename a b", "replace a b", "delete a", "close a".
    const std::vector<std::string>& Operations() const { return m_operations; }

private:
    friend struct FileSeam;

    ScopedFileFaults* m_pPrevious;

    int m_nFailWrite = 0;
    bool m_bFailCreate = false;
    bool m_bFailRename = false;
    bool m_bFailSync = false;
    bool m_bLackRenameNoReplace = false;
    bool m_bRefuseLocks = false;
    int m_nWrites = 0;
    int m_nSystemReads = 0;
    int m_nSystemWrites = 0;
    std::vector<std::string> m_operations;
};
