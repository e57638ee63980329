// Both record files against places that cannot be read or written: directories, paths through
// a file, names too long, read-only files and directories, a backup name already taken.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "Article/LessonTrackFile.h"
#include "Article/WordTrackFile.h"
#include "diagnostics/ReportCapture.h"
#include "platform/Clock.h"
#include "support/TestFiles.h"

namespace {

using Messages = std::vector<std::string>;

struct LessonFile {
    using File = CLessonTrackFile;
    static constexpr const char* kUnableToOpen = "Unable to open Lesson Track File";
    static constexpr const char* kUnableToRename = "Unable to rename the old Lesson Track File";
    static void AddRecord(File& f) { ASSERT_EQ(f.AddNewTrack(1, 2, 3), 1); }
    static int Count(const File& f) { return f.GetLessonCount(); }
};

struct WordFile {
    using File = CWordTrackFile;
    static constexpr const char* kUnableToOpen = "Unable to open Word Track File";
    static constexpr const char* kUnableToRename = "Unable to rename the old Word Track File";
    static void AddRecord(File& f) { ASSERT_EQ(f.Add(CreateWordTrack("word")), 1); }
    static int Count(const File& f) { return f.GetWordCount(); }
};

template <class Kind>
class RecordFilePlaces : public ::testing::Test {
protected:
    using File = typename Kind::File;

    void SetUp() override {
        // A file of one record saved under a name, so that failures can show what they keep.
        m_strSaved = m_dir.File("history");
        Kind::AddRecord(m_file);
        ASSERT_EQ(m_file.Save(m_strSaved.c_str()), 1);
        m_saved = ReadBytes(m_strSaved);
        Kind::AddRecord(m_file);
        ASSERT_EQ(m_file.IsModified(), 1);
    }

    // A failed save keeps the name and the modified mark, and the saved file as it was.
    void ExpectSaveRefused(const std::string& name) {
        EXPECT_EQ(m_file.Save(name.c_str()), 0);
        EXPECT_EQ(m_file.GetFileName(), m_strSaved);
        EXPECT_EQ(m_file.IsModified(), 1);
        EXPECT_EQ(ReadBytes(m_strSaved), m_saved);
        EXPECT_FALSE(PathExists(name + ".old"));
    }

    // A failed load reports, keeps the records held and the name.
    void ExpectOpenRefused(const std::string& name) {
        ScopedReportCapture capture;
        EXPECT_EQ(m_file.Open(name.c_str()), 0);
        EXPECT_EQ(capture.Messages(), Messages{Kind::kUnableToOpen});
        EXPECT_EQ(Kind::Count(m_file), 2);
        EXPECT_EQ(m_file.GetFileName(), m_strSaved);
    }

    ScopedFakeClock m_clock{2024, 5, 17, 10, 15};
    TempDir m_dir;
    File m_file;
    std::string m_strSaved;
    Bytes m_saved;
};

using Kinds = ::testing::Types<LessonFile, WordFile>;
TYPED_TEST_SUITE(RecordFilePlaces, Kinds);

// Names that no process can open for reading, whoever runs it.
TYPED_TEST(RecordFilePlaces, OpenRefusesDirectoriesPathsThroughFilesAndOverlongNames) {
    this->ExpectOpenRefused(this->m_dir.Path());
    this->ExpectOpenRefused(this->m_strSaved + "/inner");
    this->ExpectOpenRefused(this->m_dir.File(std::string(5000, 'n')));
    this->ExpectOpenRefused("");
}

TYPED_TEST(RecordFilePlaces, OpenRefusesAFileWithoutReadPermission) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "the superuser reads files without read permission";
    }
    ASSERT_EQ(::chmod(this->m_strSaved.c_str(), 0), 0);
    this->ExpectOpenRefused(this->m_strSaved);
}

// Places where no file can be created: the save fails without a report of its own and leaves
// nothing behind.
TYPED_TEST(RecordFilePlaces, SaveRefusesPlacesWhereNoFileCanBeCreated) {
    const std::string dir = this->m_dir.File("sub");
    ASSERT_EQ(::mkdir(dir.c_str(), 0755), 0);
    for (const std::string& name : {this->m_strSaved + "/inner", this->m_dir.File("missing/inner"),
                                    dir, this->m_dir.File(std::string(5000, 'n')), std::string()}) {
        SCOPED_TRACE(name.substr(0, 80));
        ScopedReportCapture capture;
        this->ExpectSaveRefused(name);
        EXPECT_TRUE(capture.Messages().empty());
    }
    EXPECT_TRUE(PathExists(dir));  // the directory of that name stays a directory
}

TYPED_TEST(RecordFilePlaces, SaveRefusesAReadOnlyDirectory) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "the superuser writes into read-only directories";
    }
    const std::string dir = this->m_dir.File("locked");
    ASSERT_EQ(::mkdir(dir.c_str(), 0555), 0);
    this->ExpectSaveRefused(dir + "/history");
    ::chmod(dir.c_str(), 0755);
}

// A read-only file is not written into: it is moved aside and replaced, which its directory
// allows.
TYPED_TEST(RecordFilePlaces, SaveReplacesAReadOnlyFile) {
    ASSERT_EQ(::chmod(this->m_strSaved.c_str(), 0444), 0);
    EXPECT_EQ(this->m_file.Save(nullptr), 1);
    EXPECT_NE(ReadBytes(this->m_strSaved), this->m_saved);
    EXPECT_FALSE(PathExists(this->m_strSaved + ".old"));
    typename TypeParam::File again;
    EXPECT_EQ(again.Open(this->m_strSaved.c_str()), 1);
    EXPECT_EQ(TypeParam::Count(again), 2);
}

// A directory that holds the backup's name stops the save before anything moves.
TYPED_TEST(RecordFilePlaces, ADirectoryUnderTheBackupNameStopsTheSave) {
    const std::string backup = this->m_strSaved + ".old";
    ASSERT_EQ(::mkdir(backup.c_str(), 0755), 0);
    ScopedReportCapture capture;
    EXPECT_EQ(this->m_file.Save(nullptr), 0);
    EXPECT_EQ(capture.Messages(), Messages{TypeParam::kUnableToRename});
    EXPECT_EQ(ReadBytes(this->m_strSaved), this->m_saved);
    EXPECT_TRUE(PathExists(backup));
    EXPECT_EQ(this->m_file.IsModified(), 1);
}

}  // namespace
