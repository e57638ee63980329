// What both record files share in loading and saving: places that cannot be read or written
// (directories, paths through a file, names too long, read-only files and directories, a backup
// name already taken), and saves that fail half way, which must bring the previous file back.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Article/LessonTrackFile.h"
#include "Article/WordTrackFile.h"
#include "diagnostics/ReportCapture.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "support/TestFiles.h"

namespace {

using Messages = std::vector<std::string>;

struct LessonFile {
    using File = CLessonTrackFile;
    static constexpr const char* kUnableToOpen = "Unable to open Lesson Track File";
    static constexpr const char* kUnableToRename = "Unable to rename the old Lesson Track File";
    static constexpr const char* kWriteError = "Error occured while write Lesson Track File";
    static constexpr const char* kEmptyFileName = "Empty file name for Lesson Track File";
    static void AddRecord(File& f) { ASSERT_EQ(f.AddNewTrack(1, 2, 3), 1); }
    static int Count(const File& f) { return f.GetLessonCount(); }
};

struct WordFile {
    using File = CWordTrackFile;
    static constexpr const char* kUnableToOpen = "Unable to open Word Track File";
    static constexpr const char* kUnableToRename = "Unable to rename the old Word Track File";
    static constexpr const char* kWriteError = "Error occured while write Word Track File";
    static constexpr const char* kEmptyFileName = "Empty file name for Word Track File";
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

// Names that cannot be opened for reading; a file without read permission too, unless the
// superuser runs the test.
TYPED_TEST(RecordFilePlaces, OpenRefusesPlacesItCannotRead) {
    this->ExpectOpenRefused(this->m_dir.Path());
    this->ExpectOpenRefused(this->m_strSaved + "/inner");
    this->ExpectOpenRefused(this->m_dir.File(std::string(5000, 'n')));
    this->ExpectOpenRefused("");
    this->ExpectOpenRefused(this->m_dir.File("none"));
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(this->m_strSaved.c_str(), 0), 0);
        this->ExpectOpenRefused(this->m_strSaved);
        ASSERT_EQ(::chmod(this->m_strSaved.c_str(), 0644), 0);
    }
    ScopedReportCapture capture;
    EXPECT_EQ(this->m_file.Open(nullptr), 0);
    EXPECT_EQ(capture.Messages(), Messages{TypeParam::kUnableToOpen});
}

TYPED_TEST(RecordFilePlaces, OpenReplacesTheRecordsButKeepsTheModifiedMark) {
    EXPECT_EQ(this->m_file.Open(this->m_strSaved.c_str()), 1);
    EXPECT_EQ(TypeParam::Count(this->m_file), 1);
    EXPECT_EQ(this->m_file.IsModified(), 1);
}

// Places where no file can be created: the save fails without a report of its own and leaves
// nothing behind. A read-only directory is one, unless the superuser runs the test.
TYPED_TEST(RecordFilePlaces, SaveRefusesPlacesWhereNoFileCanBeCreated) {
    const std::string dir = this->m_dir.File("sub");
    const std::string locked = this->m_dir.File("locked");
    ASSERT_EQ(::mkdir(dir.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(locked.c_str(), 0555), 0);
    std::vector<std::string> names = {this->m_strSaved + "/inner",
                                      this->m_dir.File("missing/inner"), dir,
                                      this->m_dir.File(std::string(5000, 'n')), ""};
    if (::geteuid() != 0) {
        names.push_back(locked + "/history");
    }
    for (const std::string& name : names) {
        SCOPED_TRACE(name.substr(0, 80));
        ScopedReportCapture capture;
        this->ExpectSaveRefused(name);
        EXPECT_TRUE(capture.Messages().empty());
    }
    EXPECT_TRUE(PathExists(dir));  // the directory of that name stays a directory
    ::chmod(locked.c_str(), 0755);
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

// A file or directory that holds the backup's name stops the save before anything moves.
TYPED_TEST(RecordFilePlaces, ATakenBackupNameStopsTheSaveAndStaysAsItWas) {
    const std::string backup = this->m_strSaved + ".old";
    for (bool bDirectory : {false, true}) {
        SCOPED_TRACE(bDirectory ? "directory" : "file");
        if (bDirectory) {
            ASSERT_EQ(::unlink(backup.c_str()), 0);
            ASSERT_EQ(::mkdir(backup.c_str(), 0755), 0);
        } else {
            WriteBytes(backup, Bytes{1, 2, 3});
        }
        ScopedReportCapture capture;
        EXPECT_EQ(this->m_file.Save(nullptr), 0);
        EXPECT_EQ(capture.Messages(), Messages{TypeParam::kUnableToRename});
        EXPECT_EQ(ReadBytes(this->m_strSaved), this->m_saved);
        EXPECT_EQ(this->m_file.IsModified(), 1);
        EXPECT_EQ(this->m_file.GetFileName(), this->m_strSaved);
    }
    EXPECT_TRUE(PathExists(backup));
}

TYPED_TEST(RecordFilePlaces, AnEmptyObjectSavesAFourByteFileAndNeedsAName) {
    typename TypeParam::File file;
    ScopedReportCapture capture;
    EXPECT_EQ(file.Save(nullptr), 0);
    EXPECT_EQ(capture.Messages(), Messages{TypeParam::kEmptyFileName});
    const std::string path = this->m_dir.File("empty");
    ASSERT_EQ(file.Save(path.c_str()), 1);
    EXPECT_EQ(ReadBytes(path), (Bytes{0, 0, 0, 0}));
    typename TypeParam::File again;
    EXPECT_EQ(again.Open(path.c_str()), 1);
    EXPECT_EQ(TypeParam::Count(again), 0);
}

// The old file steps aside, the new one reaches the disk with its name, then the backup goes.
TYPED_TEST(RecordFilePlaces, ASuccessfulSaveReplacesThePreviousFileInASafeOrder) {
    const std::string& path = this->m_strSaved;
    const std::string old = path + ".old";
    const std::string dir = this->m_dir.Path();
    ScopedFileFaults faults;
    ASSERT_EQ(this->m_file.Save(nullptr), 1);
    EXPECT_EQ(this->m_file.IsModified(), 0);
    EXPECT_FALSE(PathExists(old));
    EXPECT_EQ(faults.Operations(), (Messages{"rename " + path + " " + old, "syncdir " + dir,
                                             "create " + path, "sync " + path, "close " + path,
                                             "syncdir " + dir, "delete " + old, "syncdir " + dir}));
    typename TypeParam::File again;
    ASSERT_EQ(again.Open(path.c_str()), 1);
    EXPECT_EQ(TypeParam::Count(again), 2);
}

TYPED_TEST(RecordFilePlaces, EveryFailingWriteBringsThePreviousFileBack) {
    const int nWrites = 1 + TypeParam::Count(this->m_file);
    for (int n = 1; n <= nWrites; ++n) {
        SCOPED_TRACE("write " + std::to_string(n));
        ScopedReportCapture capture;
        ScopedFileFaults faults;
        faults.FailWriteNumber(n);
        this->ExpectSaveRefused(this->m_strSaved);
        EXPECT_EQ(faults.WriteCount(), n);  // nothing written after the failure
        // The count's write fails silently; a record's is reported once.
        EXPECT_EQ(capture.Messages(), n == 1 ? Messages{} : Messages{TypeParam::kWriteError});
    }
    ScopedFileFaults faults;
    ASSERT_EQ(this->m_file.Save(nullptr), 1);
    EXPECT_EQ(faults.WriteCount(), nWrites);
}

TYPED_TEST(RecordFilePlaces, AFailedCreateSyncOrRenameBringsThePreviousFileBack) {
    const struct {
        const char* name;
        void (*arm)(ScopedFileFaults&);
        Messages reports;
    } cases[] = {
        {"create", [](ScopedFileFaults& f) { f.FailCreate(); }, {}},
        {"sync", [](ScopedFileFaults& f) { f.FailSync(); }, {}},
        {"rename", [](ScopedFileFaults& f) { f.FailRename(); }, {TypeParam::kUnableToRename}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedReportCapture capture;
        ScopedFileFaults faults;
        c.arm(faults);
        this->ExpectSaveRefused(this->m_strSaved);
        EXPECT_EQ(capture.Messages(), c.reports);
    }
}

TYPED_TEST(RecordFilePlaces, AWriteRefusedByTheSystemBringsThePreviousFileBack) {
    // The previous file is not written again, so a limit just above its size stops the new one
    // in its records (reported); a limit of 2 bytes stops it in its count (not reported).
    const struct {
        std::uint64_t nLimit;
        Messages reports;
    } cases[] = {{this->m_saved.size() + 10, Messages{TypeParam::kWriteError}}, {2, Messages{}}};
    for (const auto& c : cases) {
        SCOPED_TRACE("limit " + std::to_string(c.nLimit));
        const int result = RunWithFileSizeLimit(c.nLimit, [this, &c] {
            ScopedReportCapture capture;
            const int nSaved = this->m_file.Save(nullptr);
            return nSaved == 0 && capture.Messages() == c.reports ? 0 : 1;
        });
        EXPECT_EQ(result, 0);
        EXPECT_EQ(ReadBytes(this->m_strSaved), this->m_saved);
        EXPECT_FALSE(PathExists(this->m_strSaved + ".old"));
    }
}

}  // namespace
