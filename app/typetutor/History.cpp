#include "History.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "platform/Clock.h"
#include "platform/File.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kBackupSuffix = ".old";

bool LessonFileOpens(const std::string& path) {
    CLessonTrackFile file;
    return file.Open(path.c_str()) == 1;
}

bool WordFileOpens(const std::string& path) {
    CWordTrackFile file;
    return file.Open(path.c_str()) == 1;
}

// A free name beside path for data that could not be saved under it.
std::string RescueName(const std::string& path) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, ".unsaved-%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond);
    return path + stamp;
}

template <typename RecordFile>
bool SaveWithRescue(RecordFile& file, const std::string& path, std::string* message) {
    if (file.Save(path.c_str())) {
        return true;
    }
    std::string rescue = RescueName(path);
    if (!file.Save(rescue.c_str())) {
        const char* tmp = std::getenv("TMPDIR");
        rescue = std::string(tmp && *tmp ? tmp : "/tmp") + "/" +
                 fs::path(RescueName(path)).filename().string();
        if (!file.Save(rescue.c_str())) {
            *message += "Could not save " + path +
                        ", nor a copy beside it or in the temporary directory.\n";
            return false;
        }
    }
    *message += "Could not save " + path + "; your history was written to " + rescue +
                " instead. Move it back once the problem is fixed.\n";
    return false;
}

}  // namespace

std::string DefaultDataDirectory() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
        return std::string(xdg) + "/typetutor";
    }
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.local/share/typetutor";
}

Recovery RecoverRecordFile(const std::string& path, bool (*opens)(const std::string&)) {
    const std::string backup = path + kBackupSuffix;
    if (!FileExists(backup.c_str())) {
        return Recovery::kNothing;
    }
    if (FileExists(path.c_str()) && opens(path)) {
        DeleteFile(backup.c_str());
        return Recovery::kBackupRemoved;
    }
    MoveFileReplace(backup.c_str(), path.c_str());
    return Recovery::kBackupRestored;
}

History::History(std::string directory) : m_strDirectory(std::move(directory)) {}

bool History::Open(std::string* message) {
    std::error_code ec;
    fs::create_directories(m_strDirectory, ec);
    if (!fs::is_directory(m_strDirectory, ec)) {
        *message = "Cannot create the data directory " + m_strDirectory;
        return false;
    }
    m_lessonRecovery = RecoverRecordFile(LessonPath(), LessonFileOpens);
    m_wordRecovery = RecoverRecordFile(WordPath(), WordFileOpens);
    if (FileExists(LessonPath().c_str()) && !m_lessons.Open(LessonPath().c_str())) {
        *message = LessonPath() + " is not a lesson history file (see " + LogPath() + ")";
        return false;
    }
    if (FileExists(WordPath().c_str()) && !m_words.Open(WordPath().c_str())) {
        *message = WordPath() + " is not a word history file (see " + LogPath() + ")";
        return false;
    }
    return true;
}

bool History::Save(std::string* message) {
    const bool lessons = SaveWithRescue(m_lessons, LessonPath(), message);
    const bool words = SaveWithRescue(m_words, WordPath(), message);
    return lessons && words;
}

LogFileSink::LogFileSink(const std::string& path)
    : m_pFile(std::fopen(path.c_str(), "a")), m_pPrevious(SetReportSink(this)) {}

LogFileSink::~LogFileSink() {
    SetReportSink(m_pPrevious);
    if (m_pFile) {
        std::fclose(m_pFile);
    }
}

void LogFileSink::OnReport(int /*nLevel*/, const char* pszMessage, const char* pszFile, int nLine,
                           ReportMethod /*method*/, int /*nFlags*/) {
    if (!m_pFile) {
        return;
    }
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &tm);
    std::fprintf(m_pFile, "%s %s(%d): %s\n", stamp, pszFile ? pszFile : "?", nLine,
                 pszMessage ? pszMessage : "");
    std::fflush(m_pFile);
}
