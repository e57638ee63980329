#include "KeyLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

constexpr size_t kUnit = 8;
// The last two bytes of a unit: its kind and its mark.
constexpr unsigned char kKindKey = 1;
constexpr unsigned char kKindBackspace = 2;
constexpr unsigned char kKindLesson = 0x10;
constexpr unsigned char kMarkKey = 'k';
constexpr unsigned char kMarkLesson = 'L';
// The payload of a lesson head before its text: five date fields, two ids, the tag and the
// screen size.
constexpr size_t kLessonFixedBytes = 18;
// No lesson text comes near this; a larger size is damage.
constexpr std::uint32_t kMaxPayload = 16u << 20;

void Put16(std::string& out, unsigned v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

unsigned Get16(const unsigned char* p) {
    return p[0] | (p[1] << 8);
}

std::uint32_t Get32(const unsigned char* p) {
    return Get16(p) | (static_cast<std::uint32_t>(Get16(p + 2)) << 16);
}

std::string Encode(const LoggedLesson& l) {
    std::string payload;
    for (unsigned v : {l.year, l.month, l.day, l.hour, l.minute}) {
        Put16(payload, v);
    }
    payload += static_cast<char>(l.lessonId);
    payload += static_cast<char>(l.method);
    Put16(payload, l.tag);
    Put16(payload, l.cols);
    Put16(payload, l.rows);
    payload += l.text;
    std::string out;
    Put32(out, static_cast<std::uint32_t>(payload.size()));
    Put16(out, 0);
    out += static_cast<char>(kKindLesson);
    out += static_cast<char>(kMarkLesson);
    payload.resize((payload.size() + kUnit - 1) / kUnit * kUnit, '\0');
    out += payload;
    for (const LoggedKey& k : l.keys) {
        Put32(out, k.ms);
        out += static_cast<char>(k.expected);
        out += static_cast<char>(k.backspace ? 0 : k.typed);
        out += static_cast<char>(k.backspace ? kKindBackspace : kKindKey);
        out += static_cast<char>(kMarkKey);
    }
    return out;
}

// Reads units from data until the end, a torn unit or a unit that is not one of ours.
void Decode(const std::string& data, KeyLog* log) {
    const auto* p = reinterpret_cast<const unsigned char*>(data.data());
    const size_t size = data.size();
    size_t at = 0;
    while (at + kUnit <= size) {
        const unsigned char* unit = p + at;
        const unsigned char kind = unit[6];
        const unsigned char mark = unit[7];
        if (mark == kMarkLesson && kind == kKindLesson) {
            const std::uint32_t bytes = Get32(unit);
            const size_t padded = (static_cast<size_t>(bytes) + kUnit - 1) / kUnit * kUnit;
            if (bytes < kLessonFixedBytes || bytes > kMaxPayload || at + kUnit + padded > size) {
                break;
            }
            const unsigned char* f = unit + kUnit;
            LoggedLesson l;
            l.year = static_cast<unsigned short>(Get16(f));
            l.month = static_cast<unsigned short>(Get16(f + 2));
            l.day = static_cast<unsigned short>(Get16(f + 4));
            l.hour = static_cast<unsigned short>(Get16(f + 6));
            l.minute = static_cast<unsigned short>(Get16(f + 8));
            l.lessonId = f[10];
            l.method = f[11];
            l.tag = static_cast<unsigned short>(Get16(f + 12));
            l.cols = static_cast<unsigned short>(Get16(f + 14));
            l.rows = static_cast<unsigned short>(Get16(f + 16));
            l.text.assign(reinterpret_cast<const char*>(f + kLessonFixedBytes),
                          bytes - kLessonFixedBytes);
            log->lessons.push_back(std::move(l));
            at += kUnit + padded;
        } else if (mark == kMarkKey && (kind == kKindKey || kind == kKindBackspace) &&
                   !log->lessons.empty()) {
            LoggedKey k;
            k.ms = Get32(unit);
            k.expected = unit[4];
            k.typed = unit[5];
            k.backspace = kind == kKindBackspace;
            log->lessons.back().keys.push_back(k);
            at += kUnit;
        } else {
            break;
        }
    }
    log->validBytes = static_cast<long long>(at);
    log->droppedBytes = static_cast<long long>(size - at);
}

}  // namespace

void LoggedLesson::Identify(const CLessonTrack& t) {
    year = t.m_wYear;
    month = t.m_wMonth;
    day = t.m_wDay;
    hour = t.m_wHour;
    minute = t.m_wMinute;
    lessonId = t.m_byLessonId1;
    method = t.m_byLessonId2;
    tag = t.m_wLessonTag;
}

bool LoggedLesson::Matches(const CLessonTrack& t) const {
    return year == t.m_wYear && month == t.m_wMonth && day == t.m_wDay && hour == t.m_wHour &&
           minute == t.m_wMinute && lessonId == t.m_byLessonId1 && method == t.m_byLessonId2 &&
           tag == t.m_wLessonTag;
}

bool LoadKeyLog(const std::string& path, KeyLog* log, std::string* error) {
    *log = KeyLog{};
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (access(path.c_str(), F_OK) != 0) {
            return true;  // no lesson logged yet
        }
        *error = path + ": cannot be read";
        return false;
    }
    std::ostringstream data;
    data << in.rdbuf();
    Decode(data.str(), log);
    return true;
}

bool AppendKeyLog(const std::string& path, const LoggedLesson& lesson, std::string* error) {
    KeyLog log;
    if (!LoadKeyLog(path, &log, error)) {
        return false;
    }
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        *error = path + ": cannot be opened for writing: " + std::strerror(errno);
        return false;
    }
    const std::string bytes = Encode(lesson);
    bool ok = (log.droppedBytes == 0 || ftruncate(fd, log.validBytes) == 0) &&
              lseek(fd, log.validBytes, SEEK_SET) == log.validBytes;
    size_t written = 0;
    while (ok && written < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ok = n > 0;
        written += ok ? static_cast<size_t>(n) : 0;
    }
    ok = ok && fsync(fd) == 0;
    if (!ok) {
        *error = path + ": the lesson's keys could not be written: " + std::strerror(errno);
    }
    close(fd);
    return ok;
}

const LoggedLesson* FindLoggedLesson(const KeyLog& log, const CLessonTrackFile& lessons,
                                     int nIndex) {
    const CLessonTrack* track = lessons.GetLessonTrack(nIndex);
    if (!track) {
        return nullptr;
    }
    // The how-manieth lesson of this start, ids and tag it is.
    LoggedLesson id;
    id.Identify(*track);
    int same = 0;
    for (int i = 0; i < nIndex; ++i) {
        const CLessonTrack* t = lessons.GetLessonTrack(i);
        same += t && id.Matches(*t) ? 1 : 0;
    }
    for (const LoggedLesson& l : log.lessons) {
        if (l.Matches(*track) && same-- == 0) {
            return &l;
        }
    }
    return nullptr;
}
