#include "platform/File.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

ScopedFileFaults* g_pFaults = nullptr;

std::string DirectoryOf(const std::string& strPath) {
    const std::size_t pos = strPath.find_last_of('/');
    if (pos == std::string::npos) {
        return ".";
    }
    if (pos == 0) {
        return "/";
    }
    return strPath.substr(0, pos);
}

}  // namespace

// The one seam every system call of this file goes through: with a ScopedFileFaults alive it
// counts, logs and fails what it was told to; without one it only calls the system.
// Each function answers 0 or an errno (file descriptors and byte counts aside).
struct FileSeam {
    static void Log(const std::string& strOperation) {
        if (g_pFaults) {
            g_pFaults->m_operations.push_back(strOperation);
        }
    }

    static int OpenForReading(const char* pszName) {
        int fd;
        do {
            fd = ::open(pszName, O_RDONLY | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) {
            return -1;
        }
        struct stat st;
        if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
            ::close(fd);
            errno = EISDIR;
            return -1;
        }
        return fd;
    }

    static int Create(const char* pszName, bool bTruncate) {
        Log("create " + std::string(pszName));
        if (g_pFaults && g_pFaults->m_bFailCreate) {
            errno = EACCES;
            return -1;
        }
        const int flags = O_WRONLY | O_CLOEXEC | (bTruncate ? O_CREAT | O_TRUNC : 0);
        int fd;
        do {
            fd = ::open(pszName, flags, 0666);
        } while (fd < 0 && errno == EINTR);
        return fd;
    }

    // Some bytes into pBuf: their count, 0 at the end of the file, -1 on an error.
    static long ReadSome(int fd, void* pBuf, std::size_t nCount) {
        if (g_pFaults) {
            ++g_pFaults->m_nSystemReads;
        }
        ssize_t n;
        do {
            n = ::read(fd, pBuf, nCount);
        } while (n < 0 && errno == EINTR);
        return static_cast<long>(n);
    }

    static int WriteAll(int fd, const unsigned char* p, std::size_t nCount) {
        while (nCount > 0) {
            if (g_pFaults) {
                ++g_pFaults->m_nSystemWrites;
            }
            const ssize_t n = ::write(fd, p, nCount);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return errno;
            }
            p += n;
            nCount -= static_cast<std::size_t>(n);
        }
        return 0;
    }

    // Counts a CFile::Write; true when this one is to fail.
    static bool WriteFails() {
        if (!g_pFaults) {
            return false;
        }
        ++g_pFaults->m_nWrites;
        return g_pFaults->m_nWrites == g_pFaults->m_nFailWrite;
    }

    static int Sync(int fd, const std::string& strName) {
        Log("sync " + strName);
        if (g_pFaults && g_pFaults->m_bFailSync) {
            return EIO;
        }
        if (::fsync(fd) != 0 && errno != EINVAL) {  // EINVAL: this file cannot be synced
            return errno;
        }
        return 0;
    }

    // Makes the directory's entries (names created, renamed or removed) durable.
    static int SyncDirectory(const std::string& strDirectory) {
        Log("syncdir " + strDirectory);
        const int fd = ::open(strDirectory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            return 0;  // a directory we may not read cannot be synced; nothing more to do
        }
        int nError = 0;
        if (::fsync(fd) != 0 && errno != EINVAL) {
            nError = errno;
        }
        ::close(fd);
        return nError;
    }

    static int Close(int fd, const std::string& strName, bool bLog) {
        if (bLog) {
            Log("close " + strName);
        }
        // Linux releases the descriptor even when close reports an error: never retry.
        return ::close(fd) == 0 ? 0 : errno;
    }

    static int Rename(const char* pszFrom, const char* pszTo, bool bReplace) {
        Log(std::string(bReplace ? "replace " : "rename ") + pszFrom + " " + pszTo);
        if (g_pFaults && g_pFaults->m_bFailRename) {
            return EACCES;
        }
        if (bReplace) {
            return ::rename(pszFrom, pszTo) == 0 ? 0 : errno;
        }
        const bool bLacking = g_pFaults && g_pFaults->m_bLackRenameNoReplace;
        if (bLacking) {
            errno = EINVAL;
        } else if (::renameat2(AT_FDCWD, pszFrom, AT_FDCWD, pszTo, RENAME_NOREPLACE) == 0) {
            return 0;
        }
        if (errno != EINVAL && errno != ENOSYS) {
            return errno;
        }
        // The file system cannot rename without replacing: a hard link refuses an existing
        // target just as atomically, and the old name goes after it.
        if (::link(pszFrom, pszTo) != 0) {
            return errno;
        }
        if (::unlink(pszFrom) != 0) {
            const int nError = errno;
            ::unlink(pszTo);
            return nError;
        }
        return 0;
    }

    static bool IsFile(const char* pszName) {
        struct stat st;
        return ::stat(pszName, &st) == 0 && !S_ISDIR(st.st_mode);
    }

    static int Delete(const char* pszName) {
        Log("delete " + std::string(pszName));
        return ::unlink(pszName) == 0 ? 0 : errno;
    }

    // 0 when locked; else the errno (EWOULDBLOCK while another holds the lock).
    static int Lock(int fd, bool bExclusive) {
        if (g_pFaults && g_pFaults->m_bRefuseLocks) {
            return ENOLCK;
        }
        int nResult;
        do {
            nResult = ::flock(fd, (bExclusive ? LOCK_EX : LOCK_SH) | LOCK_NB);
        } while (nResult != 0 && errno == EINTR);
        return nResult == 0 ? 0 : errno;
    }

    // Best effort after a name operation that succeeded: the operation stands either way.
    static void SyncDirectoriesOf(const char* pszA, const char* pszB) {
        const std::string strA = DirectoryOf(pszA);
        SyncDirectory(strA);
        if (pszB) {
            const std::string strB = DirectoryOf(pszB);
            if (strB != strA) {
                SyncDirectory(strB);
            }
        }
    }
};

// --- CFile ---

CFile::~CFile() {
    Close();
}

BOOL CFile::Open(const char* pszFileName, unsigned nOpenFlags) {
    Close();
    if (!pszFileName) {
        return FALSE;
    }
    const bool bWriting = (nOpenFlags & modeWrite) != 0;
    const int fd = bWriting ? FileSeam::Create(pszFileName, (nOpenFlags & modeCreate) != 0)
                            : FileSeam::OpenForReading(pszFileName);
    if (fd < 0) {
        return FALSE;
    }
    m_fd = fd;
    m_bWriting = bWriting;
    m_strName = pszFileName;
    m_nBufferPos = 0;
    m_nBufferEnd = 0;
    m_nError = 0;
    return TRUE;
}

std::uint64_t CFile::GetLength() const {
    struct stat st;
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0 || st.st_size < 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(st.st_size) + (m_bWriting ? m_nBufferEnd : 0);
}

unsigned CFile::Read(void* pBuf, unsigned nCount) {
    if (m_fd < 0 || m_bWriting) {
        return 0;
    }
    unsigned char* pOut = static_cast<unsigned char*>(pBuf);
    unsigned nDone = 0;
    while (nDone < nCount) {
        if (m_nBufferPos < m_nBufferEnd) {
            const std::size_t nTake =
                std::min<std::size_t>(nCount - nDone, m_nBufferEnd - m_nBufferPos);
            std::memcpy(pOut + nDone, m_pBuffer.get() + m_nBufferPos, nTake);
            m_nBufferPos += nTake;
            nDone += static_cast<unsigned>(nTake);
            continue;
        }
        if (nCount - nDone >= kBufferSize || !MakeBuffer()) {  // large reads go round the buffer
            const long n = FileSeam::ReadSome(m_fd, pOut + nDone, nCount - nDone);
            if (n <= 0) {
                break;
            }
            nDone += static_cast<unsigned>(n);
            continue;
        }
        const long n = FileSeam::ReadSome(m_fd, m_pBuffer.get(), kBufferSize);
        if (n <= 0) {
            break;
        }
        m_nBufferPos = 0;
        m_nBufferEnd = static_cast<std::size_t>(n);
    }
    return nDone;
}

void CFile::Write(const void* pBuf, unsigned nCount) {
    if (FileSeam::WriteFails()) {
        throw CFileException(0);
    }
    if (m_fd < 0 || !m_bWriting) {
        throw CFileException(EBADF);
    }
    if (m_nError != 0) {
        throw CFileException(m_nError);
    }
    if (m_nBufferEnd + nCount > kBufferSize && !FlushBuffer()) {
        throw CFileException(m_nError);
    }
    const unsigned char* p = static_cast<const unsigned char*>(pBuf);
    if (nCount >= kBufferSize || !MakeBuffer()) {  // large writes go round the buffer
        m_nError = FileSeam::WriteAll(m_fd, p, nCount);
        if (m_nError != 0) {
            throw CFileException(m_nError);
        }
        return;
    }
    std::memcpy(m_pBuffer.get() + m_nBufferEnd, p, nCount);
    m_nBufferEnd += nCount;
}

void CFile::Flush() {
    if (m_fd < 0 || !m_bWriting) {
        return;
    }
    if (!FlushBuffer()) {
        throw CFileException(m_nError);
    }
}

bool CFile::MakeBuffer() {
    // Not cleared: only what has been read or written into it is ever handed on.
    if (!m_pBuffer) {
        m_pBuffer.reset(static_cast<unsigned char*>(AllocateLargeBlock(kBufferSize)));
    }
    return m_pBuffer != nullptr;
}

BOOL CFile::FlushBuffer() {
    if (m_nError == 0 && m_nBufferEnd > 0) {
        m_nError = FileSeam::WriteAll(m_fd, m_pBuffer.get(), m_nBufferEnd);
    }
    m_nBufferEnd = 0;
    return m_nError == 0;
}

BOOL CFile::Close() {
    if (m_fd < 0) {
        return TRUE;
    }
    BOOL bOk = TRUE;
    if (m_bWriting) {
        // The data first, then the name that leads to it: only then is the file safely there.
        if (!FlushBuffer() || FileSeam::Sync(m_fd, m_strName) != 0) {
            bOk = FALSE;
        }
        if (FileSeam::Close(m_fd, m_strName, true) != 0) {
            bOk = FALSE;
        }
        if (bOk && FileSeam::SyncDirectory(DirectoryOf(m_strName)) != 0) {
            bOk = FALSE;
        }
    } else {
        FileSeam::Close(m_fd, m_strName, false);
    }
    m_fd = -1;
    m_bWriting = false;
    m_nBufferPos = 0;
    m_nBufferEnd = 0;
    m_nError = 0;
    return bOk;
}

// --- Name operations ---

BOOL FileExists(const char* pszFileName) {
    return pszFileName && FileSeam::IsFile(pszFileName) ? TRUE : FALSE;
}

BOOL MoveFileNoReplace(const char* pszFrom, const char* pszTo) {
    if (!pszFrom || !pszTo || FileSeam::Rename(pszFrom, pszTo, false) != 0) {
        return FALSE;
    }
    FileSeam::SyncDirectoriesOf(pszFrom, pszTo);
    return TRUE;
}

BOOL MoveFileReplace(const char* pszFrom, const char* pszTo) {
    if (!pszFrom || !pszTo || FileSeam::Rename(pszFrom, pszTo, true) != 0) {
        return FALSE;
    }
    FileSeam::SyncDirectoriesOf(pszFrom, pszTo);
    return TRUE;
}

BOOL DeleteFile(const char* pszFileName) {
    if (!pszFileName || FileSeam::Delete(pszFileName) != 0) {
        return FALSE;
    }
    FileSeam::SyncDirectoriesOf(pszFileName, nullptr);
    return TRUE;
}

// --- Locks ---

FileLock TryLockFile(int fd, bool bExclusive, int* pnOsError) {
    const int nError = FileSeam::Lock(fd, bExclusive);
    if (nError == 0) {
        return FileLock::kLocked;
    }
    if (nError == EWOULDBLOCK) {
        return FileLock::kBusy;
    }
    if (pnOsError) {
        *pnOsError = nError;
    }
    return FileLock::kRefused;
}

void UnlockFile(int fd) {
    ::flock(fd, LOCK_UN);
}

// --- ScopedFileFaults ---

ScopedFileFaults::ScopedFileFaults() : m_pPrevious(g_pFaults) {
    g_pFaults = this;
}

ScopedFileFaults::~ScopedFileFaults() {
    g_pFaults = m_pPrevious;
}
