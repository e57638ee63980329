// The lock of a data directory: one advisory lock (flock) on one file in the directory, taken
// by every program that reads or writes the files there, shared to read them and exclusive to
// recover or change them. A process that dies loses its lock with its life. A file system that
// refuses locks is noted in the log once, and the programs go on without it.
#pragma once

#include <functional>
#include <string>

class HistoryLock {
public:
    enum class Mode { kShared, kExclusive };

    static constexpr const char* kLockFile = "typetutor.lock";
    // A wait longer than this is said on screen.
    static constexpr int kSayWaitingAfterMs = 500;
    // A wait longer than this gives up.
    static constexpr int kGiveUpAfterMs = 15000;

    // A line for the learner (a wait) or for the log (a file system without locks).
    using Notice = std::function<void(const std::string&)>;

    explicit HistoryLock(std::string directory);
    ~HistoryLock();
    HistoryLock(const HistoryLock&) = delete;
    HistoryLock& operator=(const HistoryLock&) = delete;

    // Where a wait of more than half a second is said; nowhere when empty.
    void SetWaitNotice(Notice notice) { m_waitNotice = std::move(notice); }
    // Where the one line about a file system without locks goes; nowhere when empty.
    void SetLogNotice(Notice notice) { m_logNotice = std::move(notice); }
    // The bound of a wait, in milliseconds (tests shorten it).
    void SetGiveUpAfter(int ms) { m_nGiveUpAfterMs = ms; }

    // Takes the lock in mode, or changes the mode of the lock held; waits up to the bound. True
    // when held, or when the file system refuses locks (then without one). False, with a
    // message for the learner in *message, when another program kept the lock past the bound;
    // no lock is then held.
    bool Lock(Mode mode, std::string* message);
    // Releases the lock; nothing when none is held.
    void Unlock();
    // Runs work under the lock in mode and releases the lock after it: for files of a feature's
    // own beside the history. Within a lock held already that covers mode, work runs under it
    // and the lock stays. False when the lock could not be had (work did not run, *message
    // says why) or work answered false (it says why in *message).
    bool Run(Mode mode, const std::function<bool(std::string* message)>& work,
             std::string* message);

    // The mode held; meaningful while Held().
    Mode HeldMode() const { return m_held; }
    bool Held() const { return m_bHeld; }
    std::string Path() const { return m_strDirectory + "/" + kLockFile; }

private:
    // Opens the lock file once; false (after the log line) when it cannot be opened.
    bool OpenFile();
    void SayNoLocks(const std::string& why);

    std::string m_strDirectory;
    int m_fd = -1;
    bool m_bHeld = false;
    Mode m_held = Mode::kShared;
    bool m_bWithoutLocks = false;  // the file system refuses locks: go on without
    int m_nGiveUpAfterMs = kGiveUpAfterMs;
    Notice m_waitNotice;
    Notice m_logNotice;
};
