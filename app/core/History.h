// The learner's history on disk: the data directory, the two record files in it, the lock that
// lets several programs share them, recovery from an interrupted save, a rescue copy when a save
// fails, the names of the lessons typed, and the log file that takes the library's reports.
#pragma once

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "HistoryLock.h"

#include "Article/TypingLog.h"
#include "KeyLog.h"
#include "diagnostics/Tracewise.h"

// $XDG_DATA_HOME/typetutor, else ~/.local/share/typetutor.
std::string DefaultDataDirectory();

// What start-up recovery did with one record file.
enum class Recovery {
    kNothing,         // no backup was left behind
    kBackupRestored,  // the main file was missing or did not open: the backup took its place
                      // (a main file that did not open is removed when it was the interrupted
                      // save's own partial write, else kept as path + ".damaged-" + time)
    kBackupRemoved,   // the main file opens: the stale backup was removed
};

// Puts a record file back in order after an interrupted save, which leaves the previous file
// as path + ".old". opens says whether a file loads as a record file of the right kind;
// interruptedSave, that a save of this file is known to have died while writing it.
Recovery RecoverRecordFile(const std::string& path, bool (*opens)(const std::string&),
                           bool interruptedSave);

// Appends every report to a log file, one line each with the local time; a report repeated
// straight after itself is counted instead of written again. Installed as the report sink for
// its lifetime.
class LogFileSink : public ReportSink {
public:
    explicit LogFileSink(const std::string& path);
    ~LogFileSink() override;
    LogFileSink(const LogFileSink&) = delete;
    LogFileSink& operator=(const LogFileSink&) = delete;

    void OnReport(int nLevel, const char* pszMessage, const char* pszFile, int nLine,
                  ReportMethod method, int nFlags) override;
    // A line of the program's own, with the local time.
    void Note(const std::string& line);

private:
    void WriteLine(const std::string& line);
    void WriteRepeats();

    std::FILE* m_pFile;
    ReportSink* m_pPrevious;
    std::string m_strLast;
    int m_nRepeats = 0;
};

// Drops every report: installed for the program's whole run, so that no report reaches the
// screen even before the log file is open.
class SilentSink : public ReportSink {
public:
    void OnReport(int, const char*, const char*, int, ReportMethod, int) override {}
};

// A history shared by every program on the same data directory: each reads it under the
// directory's shared lock and changes it under the exclusive one. A save merges: it reads both
// record files again, adds the records this program added since it opened them, and writes them
// back, so that two programs that both save keep both their lessons.
class History {
public:
    static constexpr const char* kLessonFile = "lessons.dat";
    static constexpr const char* kWordFile = "words.dat";
    static constexpr const char* kLogFile = "typetutor.log";
    static constexpr const char* kNamesFile = "lesson-names.txt";
    static constexpr const char* kKeyLogFile = "keys.dat";
    // Names the record file a save is writing, while it writes it.
    static constexpr const char* kSavingFile = "typetutor.saving";

    explicit History(std::string directory);
    ~History();
    History(const History&) = delete;
    History& operator=(const History&) = delete;

    // Creates the directory, sends the library's reports to its log file, recovers both
    // record files (under the exclusive lock, when a backup was left) and loads them (under the
    // shared lock). False, with a message, when the directory cannot be made, the lock cannot be
    // had in time, or a record file there does not load (it is left as it is).
    bool Open(std::string* message);
    // Under the exclusive lock: recovers what a save killed meanwhile left, reads each record
    // file again, adds the records added here since the last Open or Save, and saves it. When a
    // file cannot be saved (or the lock not had), writes it to a rescue file beside it (or in
    // the temporary directory) and tells in *message where the learner's history is; the new
    // records stay in memory, so Save may be tried again. Records and pointers from Lessons()
    // and Words() stay valid until the next Save.
    bool Save(std::string* message);
    // Appends a lesson's keys to the keystroke log (after the lesson's record was saved), under
    // the exclusive lock. False with a message naming the file, or saying who kept the lock; the
    // records are not touched.
    bool LogKeys(const LoggedLesson& lesson, std::string* message);
    // Reads the keystroke log under the shared lock. False with a message.
    bool LoadKeys(KeyLog* log, std::string* message);

    CLessonTrackFile& Lessons() { return *m_pLessons; }
    CWordTrackFile& Words() { return *m_pWords; }
    // The lock of the data directory, for files of other features beside the history.
    HistoryLock& Lock() { return m_lock; }
    const std::string& Directory() const { return m_strDirectory; }
    std::string LessonPath() const { return m_strDirectory + "/" + kLessonFile; }
    std::string WordPath() const { return m_strDirectory + "/" + kWordFile; }
    std::string LogPath() const { return m_strDirectory + "/" + kLogFile; }
    std::string NamesPath() const { return m_strDirectory + "/" + kNamesFile; }
    std::string KeyLogPath() const { return m_strDirectory + "/" + kKeyLogFile; }
    std::string SavingPath() const { return m_strDirectory + "/" + kSavingFile; }
    Recovery LessonRecovery() const { return m_lessonRecovery; }
    Recovery WordRecovery() const { return m_wordRecovery; }

    // Keeps the name of a lesson typed, by its tag, for the statistics; appended to the names
    // file under the exclusive lock (at the next Save when the lock cannot be had now).
    void RememberLessonName(unsigned short tag, const std::string& name);
    // Lesson names by tag: the bundled lessons' and those remembered.
    const std::map<unsigned short, std::string>& LessonNames() const { return m_names; }
    // A line of the program's own in the log file, once the history is open.
    void Note(const std::string& line);

private:
    // Puts both files back in order after a save that was killed; under the exclusive lock.
    void Recover();
    // Appends the names waiting to be written that the file does not hold yet; under the
    // exclusive lock.
    void AppendNames();

    std::string m_strDirectory;
    std::unique_ptr<LogFileSink> m_pLog;
    HistoryLock m_lock;
    std::unique_ptr<CLessonTrackFile> m_pLessons;
    std::unique_ptr<CWordTrackFile> m_pWords;
    // Records that the files on disk held at the last Open or Save: those behind them were
    // added here.
    int m_nLessonsOnDisk = 0;
    int m_nWordsOnDisk = 0;
    Recovery m_lessonRecovery = Recovery::kNothing;
    Recovery m_wordRecovery = Recovery::kNothing;
    std::map<unsigned short, std::string> m_names;
    std::vector<std::pair<unsigned short, std::string>> m_unwrittenNames;
};

// Makes room for a new history after one that does not load: under the directory's exclusive
// lock, every record file in directory that does not open is renamed to its name + ".unloadable-" +
// time, never deleted; *moved names the new files. False with a message when a file cannot be moved
// (the others may have been).
bool MoveHistoryAside(const std::string& directory, std::string* moved, std::string* error);
