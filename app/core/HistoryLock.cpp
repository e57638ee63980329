#include "HistoryLock.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/File.h"

namespace {

// Polling steps of a wait: short at first, as most waits are for one save.
constexpr int kFirstPollMs = 2;
constexpr int kLongestPollMs = 25;

}  // namespace

HistoryLock::HistoryLock(std::string directory) : m_strDirectory(std::move(directory)) {}

HistoryLock::~HistoryLock() {
    if (m_fd >= 0) {
        ::close(m_fd);  // releases the lock with the file
    }
}

void HistoryLock::SayNoLocks(const std::string& why) {
    m_bWithoutLocks = true;
    if (m_logNotice) {
        m_logNotice("going on without the lock of " + m_strDirectory + " (" + why +
                    "): two programs saving at once may lose a lesson");
    }
}

bool HistoryLock::OpenFile() {
    if (m_fd >= 0) {
        return true;
    }
    const std::string path = Path();
    m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (m_fd < 0) {
        m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);  // a directory we may only read
    }
    if (m_fd < 0) {
        SayNoLocks(path + ": " + std::strerror(errno));
        return false;
    }
    return true;
}

bool HistoryLock::Lock(Mode mode, std::string* message) {
    if (m_bWithoutLocks || !OpenFile()) {
        return true;
    }
    if (m_bHeld && m_held == mode) {
        return true;
    }
    // flock changes a lock by dropping it first; dropping it here says so plainly.
    Unlock();
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    bool said = false;
    int pollMs = kFirstPollMs;
    for (;;) {
        int error = 0;
        switch (TryLockFile(m_fd, mode == Mode::kExclusive, &error)) {
            case FileLock::kLocked:
                m_bHeld = true;
                m_held = mode;
                return true;
            case FileLock::kRefused:
                SayNoLocks(std::string("the file system refuses locks: ") + std::strerror(error));
                return true;
            case FileLock::kBusy:
                break;
        }
        const auto waited =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        if (waited >= m_nGiveUpAfterMs) {
            char seconds[32];
            std::snprintf(seconds, sizeof seconds, m_nGiveUpAfterMs % 1000 ? "%.1f" : "%.0f",
                          m_nGiveUpAfterMs / 1000.0);
            *message = "another program has held the history in " + m_strDirectory +
                       " for more than " + seconds + " seconds (its lock file is " + Path() +
                       "); gave up waiting.";
            return false;
        }
        if (!said && waited >= kSayWaitingAfterMs) {
            said = true;
            if (m_waitNotice) {
                m_waitNotice("Waiting for another program to finish with the history in " +
                             m_strDirectory + "...");
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(pollMs));
        pollMs = std::min(pollMs * 2, kLongestPollMs);
    }
}

void HistoryLock::Unlock() {
    if (m_bHeld) {
        UnlockFile(m_fd);
        m_bHeld = false;
    }
}

bool HistoryLock::Run(Mode mode, const std::function<bool(std::string*)>& work,
                      std::string* message) {
    if (m_bHeld && (m_held == Mode::kExclusive || mode == Mode::kShared)) {
        return work(message);  // within a lock held already
    }
    if (!Lock(mode, message)) {
        return false;
    }
    const bool done = work(message);
    Unlock();
    return done;
}
