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

// The record file named in the directory's marker of a save in progress, or "" without one.
std::string SavingMarkerNames(const std::string& markerPath) {
    std::ifstream in(markerPath);
    std::string name;
    std::getline(in, name);
    return name;
}

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

// The names file: "TAG NAME" lines.
std::map<unsigned short, std::string> ReadNamesFile(const std::string& path) {
    std::map<unsigned short, std::string> names;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        unsigned tag = 0;
        std::string name;
        if (fields >> tag && std::getline(fields >> std::ws, name) && tag <= 0xFFFF) {
            names.emplace(static_cast<unsigned short>(tag), name);
        }
    }
    return names;
}

int Count(const CLessonTrackFile& file) {
    return file.GetLessonCount();
}

int Count(const CWordTrackFile& file) {
    return file.GetWordCount();
}

// Appends to `to` a copy of each record of `from`, from record first on, byte for byte.
bool AddRecords(CLessonTrackFile& to, const CLessonTrackFile& from, int first) {
    for (int i = first; i < from.GetLessonCount(); ++i) {
        if (!to.AddNewTrack(0, 0, 0)) {
            return false;
        }
        // Init copies the whole image; whether it finds the record plausible does not matter.
        to.GetLastTrack()->Init(reinterpret_cast<const unsigned char*>(from.GetLessonTrack(i)));
    }
    return true;
}

bool AddRecords(CWordTrackFile& to, const CWordTrackFile& from, int first) {
    for (int i = first; i < from.GetWordCount(); ++i) {
        WordTrack* copy =
            CreateWordTrackFromData(reinterpret_cast<const unsigned char*>(from.GetWordTrack(i)));
        if (!copy || !to.Add(copy)) {
            DeleteWordTrack(copy);
            return false;
        }
    }
    return true;
}

// Writes file to a rescue name beside path, else in the temporary directory, after the save
// under path failed. Adds to *message where the data is.
template <typename RecordFile>
void SaveRescue(RecordFile& file, const std::string& path, std::string* message) {
    const std::string name = fs::path(path).filename().string() + kRescueInfix + TimeStamp();
    std::string rescue = path + kRescueInfix + TimeStamp();
    if (!file.Save(rescue.c_str())) {
        const char* tmp = std::getenv("TMPDIR");
        rescue = std::string(tmp && *tmp ? tmp : "/tmp") + "/typetutor-" + name;
        if (!file.Save(rescue.c_str())) {
            *message += "Could not save " + path +
                        ", nor a copy beside it or in the temporary directory: the history "
                        "is still in memory only.\n";
            return;
        }
    }
    *message += "Could not save " + path + "; your history was written to " + rescue +
                " instead. Put it back in place of " + path + " once the problem is fixed.\n";
}

// Under the exclusive lock: reads the file at path again, adds the records of held from
// onDisk on, and saves the whole. On success held becomes what was saved and onDisk its count;
// on failure a rescue copy is written and held keeps its new records for another try.
// The marker names the file being saved, so that recovery knows a main file that does not open
// beside its backup is this save's own partial write.
template <typename RecordFile>
bool SaveMerged(std::unique_ptr<RecordFile>& held, int& onDisk, const std::string& path,
                const std::string& markerPath, std::string* message) {
    const bool exists = FileExists(path.c_str());
    if (exists && onDisk == Count(*held)) {
        return true;  // nothing new
    }
    auto merged = std::make_unique<RecordFile>();
    if (exists && !merged->Open(path.c_str())) {
        *message += path + " no longer loads; it was left as it is.\n";
        SaveRescue(*held, path, message);
        return false;
    }
    std::ofstream(markerPath) << fs::path(path).filename().string() << "\n";
    const bool saved = AddRecords(*merged, *held, onDisk) && merged->Save(path.c_str());
    DeleteFile(markerPath.c_str());
    if (!saved) {
        SaveRescue(*merged, path, message);
        return false;
    }
    onDisk = Count(*merged);
    held = std::move(merged);
    return true;
}

}  // namespace

std::string DefaultDataDirectory() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
        return std::string(xdg) + "/typetutor";
    }
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.local/share/typetutor";
}

Recovery RecoverRecordFile(const std::string& path, bool (*opens)(const std::string&),
                           bool interruptedSave) {
    const std::string backup = path + kBackupSuffix;
    if (!FileExists(backup.c_str())) {
        return Recovery::kNothing;
    }
    if (FileExists(path.c_str()) && opens(path)) {
        DeleteFile(backup.c_str());
        return Recovery::kBackupRemoved;
    }
    if (FileExists(path.c_str()) && interruptedSave) {
        DeleteFile(path.c_str());
    } else if (FileExists(path.c_str())) {
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

History::History(std::string directory)
    : m_strDirectory(std::move(directory)),
      m_lock(m_strDirectory),
      m_pLessons(std::make_unique<CLessonTrackFile>()),
      m_pWords(std::make_unique<CWordTrackFile>()) {}

History::~History() = default;

void History::Note(const std::string& line) {
    if (m_pLog) {
        m_pLog->Note(line);
    }
}

void History::Recover() {
    // No save runs under the exclusive lock: a marker was left by a save that was killed.
    const std::string saving = SavingMarkerNames(SavingPath());
    m_lessonRecovery = RecoverRecordFile(LessonPath(), LessonFileOpens, saving == kLessonFile);
    m_wordRecovery = RecoverRecordFile(WordPath(), WordFileOpens, saving == kWordFile);
    DeleteFile(SavingPath().c_str());
    for (const auto& [path, recovery] :
         {std::pair{LessonPath(), m_lessonRecovery}, std::pair{WordPath(), m_wordRecovery}}) {
        if (recovery == Recovery::kBackupRestored) {
            Note("an interrupted save was undone: " + path + kBackupSuffix + " put back as " +
                 path);
        } else if (recovery == Recovery::kBackupRemoved) {
            Note("a backup left by an earlier save was removed: " + path + kBackupSuffix);
        }
    }
}

bool History::Open(std::string* message) {
    std::error_code ec;
    fs::create_directories(m_strDirectory, ec);
    if (!fs::is_directory(m_strDirectory, ec)) {
        *message = "cannot make the data directory " + m_strDirectory;
        return false;
    }
    m_pLog = std::make_unique<LogFileSink>(LogPath());
    m_lock.SetLogNotice([this](const std::string& line) { Note(line); });
    if (!m_lock.Lock(HistoryLock::Mode::kShared, message)) {
        return false;
    }
    struct UnlockAtEnd {
        HistoryLock& lock;
        ~UnlockAtEnd() { lock.Unlock(); }
    } unlockAtEnd{m_lock};
    // A backup or marker under the shared lock was left by a save that died: no save runs
    // meanwhile.
    if (FileExists((LessonPath() + kBackupSuffix).c_str()) ||
        FileExists((WordPath() + kBackupSuffix).c_str()) || FileExists(SavingPath().c_str())) {
        if (!m_lock.Lock(HistoryLock::Mode::kExclusive, message)) {
            return false;
        }
        Recover();
    }
    if (FileExists(LessonPath().c_str()) && !m_pLessons->Open(LessonPath().c_str())) {
        *message = LessonPath() + " is not a lesson history that loads (see " + LogPath() +
                   "); it was left as it is: move it away to begin a new history";
        return false;
    }
    if (FileExists(WordPath().c_str()) && !m_pWords->Open(WordPath().c_str())) {
        *message = WordPath() + " is not a word history that loads (see " + LogPath() +
                   "); it was left as it is: move it away to begin a new history";
        return false;
    }
    m_nLessonsOnDisk = m_pLessons->GetLessonCount();
    m_nWordsOnDisk = m_pWords->GetWordCount();
    for (const BundledLesson& lesson : ListBundledLessons()) {
        m_names[LessonTag(lesson.name)] = lesson.name;
    }
    for (const auto& [tag, name] : ReadNamesFile(NamesPath())) {
        m_names.emplace(tag, name);
    }
    return true;
}

void History::AppendNames() {
    if (m_unwrittenNames.empty()) {
        return;
    }
    // Another program may have written the same name since this one read the file.
    const std::map<unsigned short, std::string> written = ReadNamesFile(NamesPath());
    std::ofstream out(NamesPath(), std::ios::app);
    for (const auto& [tag, name] : m_unwrittenNames) {
        if (written.count(tag) == 0) {
            out << tag << " " << name << "\n";
        }
    }
    m_unwrittenNames.clear();
}

bool History::Save(std::string* message) {
    std::string why;
    if (!m_lock.Lock(HistoryLock::Mode::kExclusive, &why)) {
        *message += why + "\n";
        if (m_nLessonsOnDisk < m_pLessons->GetLessonCount()) {
            SaveRescue(*m_pLessons, LessonPath(), message);
        }
        if (m_nWordsOnDisk < m_pWords->GetWordCount()) {
            SaveRescue(*m_pWords, WordPath(), message);
        }
        return false;
    }
    Recover();
    const bool lessons =
        SaveMerged(m_pLessons, m_nLessonsOnDisk, LessonPath(), SavingPath(), message);
    const bool words = SaveMerged(m_pWords, m_nWordsOnDisk, WordPath(), SavingPath(), message);
    AppendNames();
    m_lock.Unlock();
    return lessons && words;
}

bool History::LogKeys(const LoggedLesson& lesson, std::string* message) {
    std::string error;
    const auto append = [this, &lesson](std::string* why) {
        return AppendKeyLog(KeyLogPath(), lesson, why);
    };
    if (m_lock.Run(HistoryLock::Mode::kExclusive, append, &error)) {
        return true;
    }
    *message += "The lesson was saved, but not its keys: " + error + "\n";
    return false;
}

bool History::LoadKeys(KeyLog* log, std::string* message) {
    const auto load = [this, log](std::string* why) { return LoadKeyLog(KeyLogPath(), log, why); };
    return m_lock.Run(HistoryLock::Mode::kShared, load, message);
}

void History::RememberLessonName(unsigned short tag, const std::string& name) {
    if (!m_names.emplace(tag, name).second) {
        return;
    }
    m_unwrittenNames.emplace_back(tag, name);
    std::string why;
    m_lock.Run(
        HistoryLock::Mode::kExclusive,
        [this](std::string*) {
            AppendNames();
            return true;
        },
        &why);
}

bool MoveHistoryAside(const std::string& directory, std::string* moved, std::string* error) {
    const std::string stamp = TimeStamp();
    moved->clear();
    // Under the exclusive lock, so that no other program reads or saves the files meanwhile.
    HistoryLock lock(directory);
    return lock.Run(
        HistoryLock::Mode::kExclusive,
        [&](std::string* message) {
            const struct {
                const char* name;
                bool (*opens)(const std::string&);
            } files[] = {{History::kLessonFile, LessonFileOpens},
                         {History::kWordFile, WordFileOpens}};
            for (const auto& f : files) {
                const std::string path = directory + "/" + f.name;
                if (!FileExists(path.c_str()) || f.opens(path)) {
                    continue;
                }
                const std::string aside = path + kUnloadableInfix + stamp;
                if (!MoveFileReplace(path.c_str(), aside.c_str())) {
                    *message = "cannot move " + path + " to " + aside;
                    return false;
                }
                *moved += (moved->empty() ? "" : " and ") + aside;
            }
            return true;
        },
        error);
}
