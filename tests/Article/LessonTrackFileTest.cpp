#include "Article/LessonTrackFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "diagnostics/ReportCapture.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "support/TestFiles.h"

namespace {

using Messages = std::vector<std::string>;

const char* const kUnableToOpen = "Unable to open Lesson Track File";
const char* const kInvalidFile = "Invalid Lesson Track File";
const char* const kReadError = "Error occured while reading Lesson Track File";
const char* const kEmptyFileName = "Empty file name for Lesson Track File";
const char* const kUnableToRename = "Unable to rename the old Lesson Track File";
const char* const kWriteError = "Error occured while write Lesson Track File";

constexpr std::size_t kRecordSize = 4136;

// The date of a sum by date: 16-bit values, since int literals pick the sum by lesson.
constexpr unsigned short kYear = 2024;
constexpr unsigned short kMay = 5;
constexpr unsigned short kDay17 = 17;

// The fields of a stored lesson record; padding carries `filler`.
struct Lesson {
    unsigned year = 2024, month = 5, day = 17, hour = 9, minute = 30;
    int seconds = 60;
    unsigned id1 = 1, id2 = 2, tag = 0;
    int keys = 100, errors = 4;
    double speed = 100.0, topSpeed = 131.25;
    int words = 20, wordErrors = 3;
    unsigned char filler = 0;
};

// The record image laid out field by field, with 255 character slots whose counts follow the
// character code (so that every slot differs).
Bytes LessonRecord(const Lesson& l) {
    ByteImage image;
    image.U16(l.year).U16(l.month).U16(l.day).U16(l.hour).U16(l.minute).Fill(2, l.filler);
    image.I32(l.seconds).U8(l.id1).U8(l.id2).U16(l.tag).I32(l.keys).I32(l.errors);
    image.Fill(4, l.filler).F64(l.speed).F64(l.topSpeed).I32(l.words).I32(l.wordErrors);
    for (unsigned i = 0; i < 255; ++i) {
        image.U8(i).Fill(3, l.filler).I32(i % 7).I32(i * 3).I32(i % 2);
    }
    EXPECT_EQ(image.Size(), kRecordSize);
    return image.Get();
}

Bytes LessonFile(std::int64_t nCount, const std::vector<Bytes>& records) {
    ByteImage image;
    image.I32(nCount);
    for (const Bytes& record : records) {
        image.Append(record);
    }
    return image.Get();
}

Lesson OnDay(unsigned day, unsigned id1 = 1, unsigned id2 = 2) {
    Lesson l;
    l.day = day;
    l.id1 = id1;
    l.id2 = id2;
    return l;
}

class LessonTrackFileOnDisk : public ::testing::Test {
protected:
    std::string Put(const std::string& name, const Bytes& bytes) {
        const std::string path = m_dir.File(name);
        WriteBytes(path, bytes);
        return path;
    }

    ScopedFakeClock m_clock{2024, 5, 17, 10, 15};
    TempDir m_dir;
};

// --- Loading ---

TEST_F(LessonTrackFileOnDisk, AStoredFileLoadsRecordByRecord) {
    Lesson first;
    Lesson second = OnDay(18, 7, 250);
    second.tag = 0xBEEF;
    second.keys = 2500;
    second.speed = 333.5;
    const std::string path =
        Put("lessons", LessonFile(2, {LessonRecord(first), LessonRecord(second)}));
    CLessonTrackFile file;
    ScopedReportCapture capture;
    ASSERT_EQ(file.Open(path.c_str()), 1);
    EXPECT_TRUE(capture.Messages().empty());
    EXPECT_EQ(file.GetFileName(), path);
    EXPECT_EQ(file.IsModified(), 0);
    ASSERT_EQ(file.GetLessonCount(), 2);
    const CLessonTrack* pFirst = file.GetLessonTrack(0);
    const CLessonTrack* pSecond = file.GetLessonTrack(1);
    ASSERT_NE(pFirst, nullptr);
    ASSERT_NE(pSecond, nullptr);
    EXPECT_EQ(pFirst->m_wDay, 17);
    EXPECT_EQ(pFirst->m_nKeys, 100);
    EXPECT_EQ(pSecond->m_wDay, 18);
    EXPECT_EQ(pSecond->m_byLessonId1, 7);
    EXPECT_EQ(pSecond->m_byLessonId2, 250);
    EXPECT_EQ(pSecond->m_wLessonTag, 0xBEEF);
    EXPECT_EQ(pSecond->m_nKeys, 2500);
    EXPECT_EQ(pSecond->m_dSpeed, 333.5);
    EXPECT_EQ(pSecond->m_aCharTrack[200].m_nTime, 600);
    EXPECT_EQ(file.GetLastTrack(), pSecond);
}

TEST_F(LessonTrackFileOnDisk, FilesWhoseLengthIsNotThatOfTheCountAreRefusedAndChangeNothing) {
    const std::string good = Put("good", LessonFile(1, {LessonRecord(OnDay(3))}));
    const Bytes one = LessonRecord(Lesson());
    Bytes oneShort(one.begin(), one.end() - 1);
    Bytes oneLong = one;
    oneLong.push_back(0);
    struct Case {
        const char* name;
        Bytes image;
    };
    const std::vector<Case> cases = {
        {"0 bytes", {}},
        {"3 bytes", {0, 0, 0}},
        {"count 0 with a byte more", LessonFile(0, {{0}})},
        {"a byte short", LessonFile(1, {oneShort})},
        {"a byte over", LessonFile(1, {oneLong})},
        {"2 declared, 1 held", LessonFile(2, {one})},
        {"negative count", LessonFile(-1, {})},
        {"count 0x7FFFFFFF", LessonFile(0x7FFFFFFF, {one})},
        // 4136 x N wraps to 4000 in 32 bits.
        {"count 1038436", LessonFile(1038436, {Bytes(4000, 0)})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CLessonTrackFile file;
        ASSERT_EQ(file.Open(good.c_str()), 1);
        const std::string path = Put("bad", c.image);
        ScopedReportCapture capture;
        EXPECT_EQ(file.Open(path.c_str()), 0);
        EXPECT_EQ(capture.Messages(), Messages{kInvalidFile});
        EXPECT_EQ(file.GetFileName(), good);
        ASSERT_EQ(file.GetLessonCount(), 1);
        EXPECT_EQ(file.GetLessonTrack(0)->m_wDay, 3);
    }
}

TEST_F(LessonTrackFileOnDisk, AnImplausibleSecondRecordFailsTheLoadAndLeavesNull) {
    Lesson year2000 = OnDay(18);
    year2000.year = 2000;
    Lesson month13 = OnDay(18);
    month13.month = 13;
    for (const Lesson& bad : {year2000, month13}) {
        SCOPED_TRACE(bad.year == 2000 ? "year 2000" : "month 13");
        const std::string path = Put(
            "lessons",
            LessonFile(3, {LessonRecord(OnDay(17)), LessonRecord(bad), LessonRecord(OnDay(19))}));
        CLessonTrackFile file;
        ScopedReportCapture capture;
        EXPECT_EQ(file.Open(path.c_str()), 0);
        EXPECT_EQ(capture.Messages(), Messages{kReadError});
        EXPECT_EQ(file.GetFileName(), "");
        EXPECT_EQ(file.GetLessonCount(), 3);
        ASSERT_NE(file.GetLessonTrack(0), nullptr);
        EXPECT_EQ(file.GetLessonTrack(1), nullptr);
        EXPECT_EQ(file.GetLessonTrack(2), nullptr);
        EXPECT_EQ(file.GetLastTrack(), nullptr);
    }
}

TEST_F(LessonTrackFileOnDisk, SumsStepOverTheNullEntriesOfAFailedLoad) {
    Lesson bad = OnDay(17);
    bad.minute = 60;
    const std::string path =
        Put("lessons", LessonFile(2, {LessonRecord(OnDay(17)), LessonRecord(bad)}));
    CLessonTrackFile file;
    ASSERT_EQ(file.Open(path.c_str()), 0);
    CLessonTrack sum;
    EXPECT_EQ(file.GetTrackSum(&sum, 1, 2, 1), 0);
    EXPECT_EQ(file.GetTrackSum(&sum, kYear, kMay, kDay17), 0);
    EXPECT_EQ(sum.m_nKeys, 0);
}

TEST_F(LessonTrackFileOnDisk, AMissingFileIsReported) {
    CLessonTrackFile file;
    ScopedReportCapture capture;
    EXPECT_EQ(file.Open(m_dir.File("none").c_str()), 0);
    EXPECT_EQ(file.Open(m_dir.Path().c_str()), 0);
    EXPECT_EQ(capture.Messages(), (Messages{kUnableToOpen, kUnableToOpen}));
}

TEST_F(LessonTrackFileOnDisk, OpenKeepsTheModifiedMark) {
    const std::string path = Put("lessons", LessonFile(1, {LessonRecord(Lesson())}));
    CLessonTrackFile file;
    ASSERT_EQ(file.AddNewTrack(1, 1, 0), 1);
    ASSERT_EQ(file.Open(path.c_str()), 1);
    EXPECT_EQ(file.IsModified(), 1);
    EXPECT_EQ(file.GetLessonCount(), 1);
}

// --- The record table ---

TEST_F(LessonTrackFileOnDisk, ANewTrackIsStampedNowWithTheLessonsIdentifiers) {
    CLessonTrackFile file;
    EXPECT_EQ(file.GetLastTrack(), nullptr);
    ASSERT_EQ(file.AddNewTrack(3, 9, 0x1234), 1);
    EXPECT_EQ(file.IsModified(), 1);
    CLessonTrack* pTrack = file.GetLastTrack();
    ASSERT_NE(pTrack, nullptr);
    EXPECT_EQ(pTrack->m_wYear, 2024);
    EXPECT_EQ(pTrack->m_wMonth, 5);
    EXPECT_EQ(pTrack->m_wDay, 17);
    EXPECT_EQ(pTrack->m_wHour, 10);
    EXPECT_EQ(pTrack->m_wMinute, 15);
    EXPECT_EQ(pTrack->m_byLessonId1, 3);
    EXPECT_EQ(pTrack->m_byLessonId2, 9);
    EXPECT_EQ(pTrack->m_wLessonTag, 0x1234);
    EXPECT_EQ(pTrack->m_nKeys, 0);
}

TEST_F(LessonTrackFileOnDisk, TheThirtyFirstAddKeepsEveryRecordInOrder) {
    CLessonTrackFile file;
    std::vector<const CLessonTrack*> added;
    for (int i = 0; i < 31; ++i) {
        ASSERT_EQ(file.AddNewTrack(static_cast<unsigned char>(i), 0, 0), 1);
        added.push_back(file.GetLastTrack());
    }
    ASSERT_EQ(file.GetLessonCount(), 31);
    for (int i = 0; i < 31; ++i) {
        ASSERT_EQ(file.GetLessonTrack(i), added[static_cast<std::size_t>(i)]);
        ASSERT_EQ(file.GetLessonTrack(i)->m_byLessonId1, i);
    }
}

TEST_F(LessonTrackFileOnDisk, AfterALoadTheTableGrowsOnTheThirtyFirstAddToo) {
    std::vector<Bytes> records(5, LessonRecord(Lesson()));
    const std::string path = Put("lessons", LessonFile(5, records));
    CLessonTrackFile file;
    ASSERT_EQ(file.Open(path.c_str()), 1);
    for (int i = 0; i < 31; ++i) {
        ASSERT_EQ(file.AddNewTrack(static_cast<unsigned char>(i), 0, 0), 1);
    }
    ASSERT_EQ(file.GetLessonCount(), 36);
    EXPECT_EQ(file.GetLessonTrack(4)->m_nKeys, 100);
    EXPECT_EQ(file.GetLessonTrack(35)->m_byLessonId1, 30);
}

TEST_F(LessonTrackFileOnDisk, IndexesOutsideTheRecordsAnswerNull) {
    CLessonTrackFile file;
    ASSERT_EQ(file.AddNewTrack(1, 1, 0), 1);
    EXPECT_EQ(file.GetLessonTrack(-1), nullptr);
    EXPECT_EQ(file.GetLessonTrack(file.GetLessonCount()), nullptr);
    EXPECT_NE(file.GetLessonTrack(0), nullptr);
}

// --- Sums ---

// Lessons started on the given days of May 2024 (oldest first), each with 100 keystrokes in
// 60 seconds and the given identifiers.
struct Started {
    int day;
    unsigned char id1;
    unsigned char id2;
};

void AddLessons(CLessonTrackFile& file, const std::vector<Started>& lessons) {
    for (const Started& s : lessons) {
        ScopedFakeClock clock(2024, 5, s.day, 12, 0);
        ASSERT_EQ(file.AddNewTrack(s.id1, s.id2, 0), 1);
        file.GetLastTrack()->m_nKeys = 100;
        file.GetLastTrack()->m_nSeconds = 60;
    }
}

TEST(LessonTrackSum, ByLessonAddsTheNewestRecordsOfTheDayUntilEnoughKeystrokes) {
    struct Case {
        const char* name;
        std::vector<Started> lessons;
        int nId1, nId2, nMinKeys;
        int nResult, nKeys;
    };
    const std::vector<Case> cases = {
        {"newest of another lesson", {{17, 1, 2}, {17, 1, 3}}, 1, 2, 50, 0, 0},
        {"three reach 250", {{16, 1, 2}, {17, 1, 2}, {17, 1, 2}, {17, 1, 2}}, 1, 2, 250, 1, 300},
        {"three fall short of 400 before another date",
         {{16, 1, 2}, {17, 1, 2}, {17, 1, 2}, {17, 1, 2}},
         1,
         2,
         400,
         0,
         300},
        {"all added, still short", {{17, 1, 2}, {17, 1, 2}}, 1, 2, 400, 0, 200},
        {"another lesson in between", {{17, 1, 2}, {17, 9, 2}, {17, 1, 2}}, 1, 2, 200, 0, 100},
        {"identifier beyond a byte", {{17, 1, 2}}, 257, 2, 50, 0, 0},
        {"no keystrokes asked", {{17, 1, 2}}, 1, 2, 0, 1, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CLessonTrackFile file;
        AddLessons(file, c.lessons);
        CLessonTrack sum;
        EXPECT_EQ(file.GetTrackSum(&sum, c.nId1, c.nId2, c.nMinKeys), c.nResult);
        EXPECT_EQ(sum.m_nKeys, c.nKeys);
        EXPECT_EQ(sum.m_nSeconds, c.nKeys * 60 / 100);
    }
}

TEST(LessonTrackSum, ByLessonOnAnEmptyFileAnswersZero) {
    CLessonTrackFile file;
    CLessonTrack sum;
    EXPECT_EQ(file.GetTrackSum(&sum, 0, 0, 0), 0);
}

TEST(LessonTrackSum, ByDateAddsTheNewestRunOfThatDate) {
    struct Case {
        const char* name;
        std::vector<Started> lessons;
        int nResult, nKeys;
    };
    const std::vector<Case> cases = {
        {"the newest run only", {{17, 1, 1}, {16, 1, 1}, {17, 1, 1}, {17, 2, 2}}, 1, 200},
        {"newest of another date", {{17, 1, 1}, {17, 1, 1}, {18, 1, 1}}, 0, 0},
        {"every record", {{17, 1, 1}, {17, 3, 4}}, 1, 200},
        {"no records", {}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CLessonTrackFile file;
        AddLessons(file, c.lessons);
        CLessonTrack sum;
        EXPECT_EQ(file.GetTrackSum(&sum, kYear, kMay, kDay17), c.nResult);
        EXPECT_EQ(sum.m_nKeys, c.nKeys);
    }
}

// --- Saving ---

TEST_F(LessonTrackFileOnDisk, AnEmptyObjectSavesAFourByteFileThatLoadsEmpty) {
    const std::string path = m_dir.File("lessons");
    CLessonTrackFile file;
    ASSERT_EQ(file.Save(path.c_str()), 1);
    EXPECT_EQ(ReadBytes(path), (Bytes{0, 0, 0, 0}));
    CLessonTrackFile again;
    EXPECT_EQ(again.Open(path.c_str()), 1);
    EXPECT_EQ(again.GetLessonCount(), 0);
}

TEST_F(LessonTrackFileOnDisk, SavingAndReopeningKeepsEveryByte) {
    Lesson a;
    a.filler = 0xA5;
    a.speed = 1.0 / 3.0;
    Lesson b = OnDay(0, 255, 0);  // day 0 and negative seconds load as they are
    b.seconds = -7;
    b.filler = 0x3C;
    b.tag = 0xFFFF;
    const Bytes image = LessonFile(2, {LessonRecord(a), LessonRecord(b)});
    const std::string source = Put("source", image);
    CLessonTrackFile file;
    ASSERT_EQ(file.Open(source.c_str()), 1);
    const std::string copy = m_dir.File("copy");
    ASSERT_EQ(file.Save(copy.c_str()), 1);
    EXPECT_EQ(ReadBytes(copy), image);

    CLessonTrackFile again;
    ASSERT_EQ(again.Open(copy.c_str()), 1);
    ASSERT_EQ(again.AddNewTrack(4, 5, 6), 1);
    ASSERT_EQ(again.Save(nullptr), 1);
    const Bytes saved = ReadBytes(copy);
    ASSERT_EQ(saved.size(), 4 + 3 * kRecordSize);
    EXPECT_EQ(saved[0], 3);
    EXPECT_TRUE(std::equal(image.begin() + 4, image.end(), saved.begin() + 4));
    const auto* pNew = reinterpret_cast<const unsigned char*>(again.GetLastTrack());
    EXPECT_TRUE(std::equal(pNew, pNew + kRecordSize, saved.begin() + 4 + 2 * kRecordSize));
}

TEST_F(LessonTrackFileOnDisk, ASuccessfulSaveReplacesThePreviousFileAndLeavesNoBackup) {
    const std::string path = Put("lessons", LessonFile(1, {LessonRecord(OnDay(2))}));
    CLessonTrackFile file;
    ASSERT_EQ(file.AddNewTrack(1, 2, 3), 1);
    ScopedFileFaults faults;
    ASSERT_EQ(file.Save(path.c_str()), 1);
    EXPECT_EQ(file.IsModified(), 0);
    EXPECT_EQ(file.GetFileName(), path);
    EXPECT_FALSE(PathExists(path + ".old"));
    EXPECT_EQ(ReadBytes(path).size(), 4 + kRecordSize);
    // The new file's data and name reach the disk before the backup goes.
    const Messages& ops = faults.Operations();
    const auto at = [&](const std::string& op) {
        return std::find(ops.begin(), ops.end(), op) - ops.begin();
    };
    EXPECT_LT(at("rename " + path + " " + path + ".old"), at("create " + path));
    EXPECT_LT(at("sync " + path), at("delete " + path + ".old"));
    EXPECT_LT(at("close " + path), at("delete " + path + ".old"));
    EXPECT_EQ(ops[static_cast<std::size_t>(at("close " + path)) + 1], "syncdir " + m_dir.Path());
    EXPECT_LT(at("delete " + path + ".old"), static_cast<long>(ops.size()));
}

TEST_F(LessonTrackFileOnDisk, SaveWithoutANameNeedsOne) {
    CLessonTrackFile file;
    ScopedReportCapture capture;
    EXPECT_EQ(file.Save(nullptr), 0);
    EXPECT_EQ(capture.Messages(), Messages{kEmptyFileName});
}

TEST_F(LessonTrackFileOnDisk, AnExistingBackupStopsTheSaveAndStaysAsItWas) {
    const Bytes current = LessonFile(1, {LessonRecord(OnDay(1))});
    const Bytes backup = LessonFile(1, {LessonRecord(OnDay(2))});
    const std::string path = Put("lessons", current);
    Put("lessons.old", backup);
    CLessonTrackFile file;
    ASSERT_EQ(file.Open(path.c_str()), 1);
    ASSERT_EQ(file.AddNewTrack(1, 1, 1), 1);
    ScopedReportCapture capture;
    EXPECT_EQ(file.Save(nullptr), 0);
    EXPECT_EQ(capture.Messages(), Messages{kUnableToRename});
    EXPECT_EQ(ReadBytes(path), current);
    EXPECT_EQ(ReadBytes(path + ".old"), backup);
    EXPECT_EQ(file.IsModified(), 1);
    EXPECT_EQ(file.GetFileName(), path);
}

// A named object with unsaved records, over a previous file on disk.
class LessonTrackFileSaveFailure : public LessonTrackFileOnDisk {
protected:
    void SetUp() override {
        m_previous = LessonFile(2, {LessonRecord(OnDay(15)), LessonRecord(OnDay(16))});
        m_path = Put("lessons", m_previous);
        ASSERT_EQ(m_file.Open(m_path.c_str()), 1);
        ASSERT_EQ(m_file.AddNewTrack(1, 2, 3), 1);
    }

    void ExpectNothingLost() {
        EXPECT_EQ(ReadBytes(m_path), m_previous);
        EXPECT_FALSE(PathExists(m_path + ".old"));
        EXPECT_EQ(m_file.GetFileName(), m_path);
        EXPECT_EQ(m_file.IsModified(), 1);
        EXPECT_EQ(m_file.GetLessonCount(), 3);
    }

    CLessonTrackFile m_file;
    Bytes m_previous;
    std::string m_path;
};

TEST_F(LessonTrackFileSaveFailure, EveryFailingWriteBringsThePreviousFileBack) {
    const int nWrites = 1 + m_file.GetLessonCount();
    for (int n = 1; n <= nWrites; ++n) {
        SCOPED_TRACE("write " + std::to_string(n));
        ScopedReportCapture capture;
        ScopedFileFaults faults;
        faults.FailWriteNumber(n);
        EXPECT_EQ(m_file.Save(nullptr), 0);
        EXPECT_EQ(faults.WriteCount(), n);
        EXPECT_EQ(capture.Messages(), n == 1 ? Messages{} : Messages{kWriteError});
        ExpectNothingLost();
    }
    ScopedFileFaults faults;
    ASSERT_EQ(m_file.Save(nullptr), 1);
    EXPECT_EQ(faults.WriteCount(), nWrites);
}

TEST_F(LessonTrackFileSaveFailure, AFailedCreateOrSyncBringsThePreviousFileBackSilently) {
    for (bool bCreate : {true, false}) {
        SCOPED_TRACE(bCreate ? "create" : "sync");
        ScopedReportCapture capture;
        ScopedFileFaults faults;
        faults.FailCreate(bCreate);
        faults.FailSync(!bCreate);
        EXPECT_EQ(m_file.Save(nullptr), 0);
        EXPECT_TRUE(capture.Messages().empty());
        ExpectNothingLost();
    }
}

TEST_F(LessonTrackFileSaveFailure, AFailedRenameChangesNothing) {
    ScopedReportCapture capture;
    ScopedFileFaults faults;
    faults.FailRename();
    EXPECT_EQ(m_file.Save(nullptr), 0);
    EXPECT_EQ(capture.Messages(), Messages{kUnableToRename});
    ExpectNothingLost();
}

TEST_F(LessonTrackFileSaveFailure, ARecordLostByAFailedLoadFailsTheSave) {
    Lesson bad;
    bad.hour = 24;
    const std::string broken = Put("broken", LessonFile(1, {LessonRecord(bad)}));
    CLessonTrackFile file;
    ASSERT_EQ(file.Open(broken.c_str()), 0);
    ScopedReportCapture capture;
    EXPECT_EQ(file.Save(m_path.c_str()), 0);
    EXPECT_EQ(capture.Messages(), Messages{kWriteError});
    EXPECT_EQ(ReadBytes(m_path), m_previous);
    EXPECT_FALSE(PathExists(m_path + ".old"));
}

TEST_F(LessonTrackFileSaveFailure, AWriteRefusedByTheSystemBringsThePreviousFileBack) {
    // The previous file is not written again, so a limit just above its size stops the new one
    // in its records (reported); a limit of 2 bytes stops it in its count (not reported).
    const struct {
        std::uint64_t nLimit;
        Messages reports;
    } cases[] = {{m_previous.size() + 10, Messages{kWriteError}}, {2, Messages{}}};
    for (const auto& c : cases) {
        SCOPED_TRACE("limit " + std::to_string(c.nLimit));
        const int result = RunWithFileSizeLimit(c.nLimit, [this, &c] {
            ScopedReportCapture capture;
            const int nSaved = m_file.Save(nullptr);
            return nSaved == 0 && capture.Messages() == c.reports ? 0 : 1;
        });
        EXPECT_EQ(result, 0);
        EXPECT_EQ(ReadBytes(m_path), m_previous);
        EXPECT_FALSE(PathExists(m_path + ".old"));
    }
}

}  // namespace
