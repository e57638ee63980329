// The learner's history on disk: the data directory, the two record files in it, recovery from
// an interrupted save, and the log that takes the library's reports.
#pragma once

#include <cstdio>
#include <string>

#include "Article/TypingLog.h"
#include "diagnostics/Tracewise.h"

// --data-dir when given, else $XDG_DATA_HOME/typetutor, else ~/.local/share/typetutor.
std::string DefaultDataDirectory();

// What start-up recovery did with one record file.
enum class Recovery {
    kNothing,         // no backup was left behind
    kBackupRestored,  // the main file was missing or unreadable: the backup took its place
    kBackupRemoved,   // the main file opens: the stale backup was removed
};

// Puts a record file back in order after an interrupted save. opens says whether a file
// loads as a record file of the right kind.
Recovery RecoverRecordFile(const std::string& path, bool (*opens)(const std::string&));

class History {
public:
    explicit History(std::string directory);

    // Creates the directory and recovers both files; then loads them. False, with a message,
    // when the directory cannot be made or an existing file does not load.
    bool Open(std::string* message);
    // Saves both files. On failure tries a second name beside each file (and then the temporary
    // directory), and tells in *message where the learner's data is.
    bool Save(std::string* message);

    CLessonTrackFile& Lessons() { return m_lessons; }
    CWordTrackFile& Words() { return m_words; }
    const std::string& Directory() const { return m_strDirectory; }
    std::string LessonPath() const { return m_strDirectory + "/lessons.dat"; }
    std::string WordPath() const { return m_strDirectory + "/words.dat"; }
    std::string LogPath() const { return m_strDirectory + "/typetutor.log"; }
    Recovery LessonRecovery() const { return m_lessonRecovery; }
    Recovery WordRecovery() const { return m_wordRecovery; }

private:
    std::string m_strDirectory;
    CLessonTrackFile m_lessons;
    CWordTrackFile m_words;
    Recovery m_lessonRecovery = Recovery::kNothing;
    Recovery m_wordRecovery = Recovery::kNothing;
};

// Appends every report to a log file, one line each with the local time; installed for its
// lifetime. Reports never reach the screen.
class LogFileSink : public ReportSink {
public:
    explicit LogFileSink(const std::string& path);
    ~LogFileSink() override;
    LogFileSink(const LogFileSink&) = delete;
    LogFileSink& operator=(const LogFileSink&) = delete;

    void OnReport(int nLevel, const char* pszMessage, const char* pszFile, int nLine,
                  ReportMethod method, int nFlags) override;

private:
    std::FILE* m_pFile;
    ReportSink* m_pPrevious;
};
