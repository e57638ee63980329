#include "History.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Lesson.h"
#include "platform/Clock.h"
#include "platform/File.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kBackupSuffix = ".old";
constexpr const char* kRescueInfix = ".unsaved-";
constexpr const char* kDamagedInfix = ".damaged-";
constexpr const char* kUnloadableInfix = ".unloadable-";

bool LessonFileOpens(const std::string& path) {
    CLessonTrackFile file;
    return file.Open(path.c_str()) == 1;
}

bool WordFileOpens(const std::string& path) {
    CWordTrackFile file;
    return file.Open(path.c_str()) == 1;
}

std::string TimeStamp() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond);
    return stamp;
}

// Saves file under path; when that fails, under a rescue name beside it, then in the temporary
// directory. Adds to *message what happened and where the data is.
template <typename RecordFile>
bool SaveWithRescue(RecordFile& file, const std::string& path, std::string* message) {
    if (file.Save(path.c_str())) {
        return true;
    }
    const std::string name = fs::path(path).filename().string() + kRescueInfix + TimeStamp();
    std::string rescue = path + kRescueInfix + TimeStamp();
    if (!file.Save(rescue.c_str())) {
        const char* tmp = std::getenv("TMPDIR");
        rescue = std::string(tmp && *tmp ? tmp : "/tmp") + "/typetutor-" + name;
        if (!file.Save(rescue.c_str())) {
            *message += "Could not save " + path +
                        ", nor a copy beside it or in the temporary directory: the history "
                        "is still in memory only.\n";
            return false;
        }
    }
    *message += "Could not save " + path + "; your history was written to " + rescue +
                " instead. Put it back in place of " + path + " once the problem is fixed.\n";
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
    if (FileExists(path.c_str())) {
        const std::string damaged = path + kDamagedInfix + TimeStamp();
        MoveFileReplace(path.c_str(), damaged.c_str());
    }
    MoveFileReplace(backup.c_str(), path.c_str());
    return Recovery::kBackupRestored;
}

LogFileSink::LogFileSink(const std::string& path)
    : m_pFile(std::fopen(path.c_str(), "a")), m_pPrevious(SetReportSink(this)) {}

LogFileSink::~LogFileSink() {
    SetReportSink(m_pPrevious);
    if (m_pFile) {
        WriteRepeats();
        std::fclose(m_pFile);
    }
}

void LogFileSink::WriteRepeats() {
    if (m_nRepeats > 0) {
        std::fprintf(m_pFile, "    (and %d more times)\n", m_nRepeats);
        m_nRepeats = 0;
    }
}

void LogFileSink::OnReport(int /*nLevel*/, const char* pszMessage, const char* pszFile, int nLine,
                           ReportMethod /*method*/, int /*nFlags*/) {
    if (!m_pFile) {
        return;
    }
    const std::string report = std::string(pszFile ? pszFile : "?") + "(" + std::to_string(nLine) +
                               "): " + (pszMessage ? pszMessage : "");
    if (report == m_strLast) {
        ++m_nRepeats;
        return;
    }
    WriteRepeats();
    m_strLast = report;
    WriteLine(report);
}

void LogFileSink::Note(const std::string& line) {
    if (m_pFile) {
        WriteRepeats();
        m_strLast.clear();
        WriteLine("typetutor: " + line);
    }
}

void LogFileSink::WriteLine(const std::string& line) {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &tm);
    std::fprintf(m_pFile, "%s %s\n", stamp, line.c_str());
    std::fflush(m_pFile);
}

History::History(std::string directory) : m_strDirectory(std::move(directory)) {}

History::~History() = default;

bool History::Open(std::string* message) {
    std::error_code ec;
    fs::create_directories(m_strDirectory, ec);
    if (!fs::is_directory(m_strDirectory, ec)) {
        *message = "cannot make the data directory " + m_strDirectory;
        return false;
    }
    m_pLog = std::make_unique<LogFileSink>(LogPath());
    m_lessonRecovery = RecoverRecordFile(LessonPath(), LessonFileOpens);
    m_wordRecovery = RecoverRecordFile(WordPath(), WordFileOpens);
    for (const auto& [path, recovery] :
         {std::pair{LessonPath(), m_lessonRecovery}, std::pair{WordPath(), m_wordRecovery}}) {
        if (recovery == Recovery::kBackupRestored) {
            m_pLog->Note("an interrupted save was undone: " + path + kBackupSuffix +
                         " put back as " + path);
        } else if (recovery == Recovery::kBackupRemoved) {
            m_pLog->Note("a backup left by an earlier save was removed: " + path + kBackupSuffix);
        }
    }
    if (FileExists(LessonPath().c_str()) && !m_lessons.Open(LessonPath().c_str())) {
        *message = LessonPath() + " is not a lesson history that loads (see " + LogPath() +
                   "); it was left as it is: move it away to begin a new history";
        return false;
    }
    if (FileExists(WordPath().c_str()) && !m_words.Open(WordPath().c_str())) {
        *message = WordPath() + " is not a word history that loads (see " + LogPath() +
                   "); it was left as it is: move it away to begin a new history";
        return false;
    }
    for (const BundledLesson& lesson : ListBundledLessons()) {
        m_names[LessonTag(lesson.name)] = lesson.name;
    }
    std::ifstream names(NamesPath());
    std::string line;
    while (std::getline(names, line)) {
        std::istringstream fields(line);
        unsigned tag = 0;
        std::string name;
        if (fields >> tag && std::getline(fields >> std::ws, name) && tag <= 0xFFFF) {
            m_names.emplace(static_cast<unsigned short>(tag), name);
        }
    }
    return true;
}

bool History::Save(std::string* message) {
    const bool lessons = SaveWithRescue(m_lessons, LessonPath(), message);
    const bool words = SaveWithRescue(m_words, WordPath(), message);
    return lessons && words;
}

void History::RememberLessonName(unsigned short tag, const std::string& name) {
    auto [it, added] = m_names.emplace(tag, name);
    if (added) {
        std::ofstream(NamesPath(), std::ios::app) << tag << " " << name << "\n";
    }
}

bool MoveHistoryAside(const std::string& directory, std::string* moved, std::string* error) {
    const std::string stamp = TimeStamp();
    moved->clear();
    const struct {
        const char* name;
        bool (*opens)(const std::string&);
    } files[] = {{History::kLessonFile, LessonFileOpens}, {History::kWordFile, WordFileOpens}};
    for (const auto& f : files) {
        const std::string path = directory + "/" + f.name;
        if (!FileExists(path.c_str()) || f.opens(path)) {
            continue;
        }
        const std::string aside = path + kUnloadableInfix + stamp;
        if (!MoveFileReplace(path.c_str(), aside.c_str())) {
            *error = "cannot move " + path + " to " + aside;
            return false;
        }
        *moved += (moved->empty() ? "" : " and ") + aside;
    }
    return true;
}
