#include "Article/LessonTrackFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "diagnostics/ReportCapture.h"
#include "platform/Clock.h"
#include "support/TestFiles.h"

namespace {

using Messages = std::vector<std::string>;

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

Lesson OnDay(unsigned day, unsigned id1 = 1, unsigned id2 = 2) {
    Lesson l;
    l.day = day;
    l.id1 = id1;
    l.id2 = id2;
    return l;
}

class LessonTrackFileOnDisk : public ::testing::Test {
protected:
    ScopedFakeClock m_clock{2024, 5, 17, 10, 15};
    TempDir m_dir;
};

// A stored file loads record by record and saves back byte for byte, padding included.
TEST_F(LessonTrackFileOnDisk, AStoredFileLoadsRecordByRecordAndSavesByteForByte) {
    Lesson a;
    a.filler = 0xA5;
    a.speed = 1.0 / 3.0;
    Lesson b = OnDay(0, 7, 250);  // day 0 and negative seconds load as they are
    b.seconds = -7;
    b.filler = 0x3C;
    b.tag = 0xBEEF;
    b.keys = 2500;
    const Bytes image = RecordFile(2, {LessonRecord(a), LessonRecord(b)});
    const std::string source = m_dir.Put("source", image);
    CLessonTrackFile file;
    ScopedReportCapture capture;
    ASSERT_EQ(file.Open(source.c_str()), 1);
    EXPECT_TRUE(capture.Messages().empty());
    EXPECT_EQ(file.GetFileName(), source);
    EXPECT_EQ(file.IsModified(), 0);
    ASSERT_EQ(file.GetLessonCount(), 2);
    const CLessonTrack* pFirst = file.GetLessonTrack(0);
    const CLessonTrack* pSecond = file.GetLessonTrack(1);
    ASSERT_NE(pFirst, nullptr);
    ASSERT_NE(pSecond, nullptr);
    EXPECT_EQ(pFirst->m_wDay, 17);
    EXPECT_EQ(pFirst->m_nKeys, 100);
    EXPECT_EQ(pFirst->m_dSpeed, 1.0 / 3.0);
    EXPECT_EQ(pSecond->m_wDay, 0);
    EXPECT_EQ(pSecond->m_nSeconds, -7);
    EXPECT_EQ(pSecond->m_byLessonId1, 7);
    EXPECT_EQ(pSecond->m_byLessonId2, 250);
    EXPECT_EQ(pSecond->m_wLessonTag, 0xBEEF);
    EXPECT_EQ(pSecond->m_nKeys, 2500);
    EXPECT_EQ(pSecond->m_aCharTrack[200].m_nTime, 600);
    EXPECT_EQ(file.GetLastTrack(), pSecond);
    EXPECT_EQ(file.GetLessonTrack(-1), nullptr);
    EXPECT_EQ(file.GetLessonTrack(2), nullptr);
    const std::string copy = m_dir.File("copy");
    ASSERT_EQ(file.Save(copy.c_str()), 1);
    EXPECT_EQ(ReadBytes(copy), image);
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
        {"no records", {}, 0, 0, 0, 0, 0},
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

// --- Saving ---

TEST_F(LessonTrackFileOnDisk, ARecordLostByAFailedLoadFailsTheSave) {
    const Bytes previous = RecordFile(1, {LessonRecord(OnDay(15))});
    const std::string path = m_dir.Put("lessons", previous);
    Lesson bad;
    bad.hour = 24;
    const std::string broken = m_dir.Put("broken", RecordFile(1, {LessonRecord(bad)}));
    CLessonTrackFile file;
    ASSERT_EQ(file.Open(broken.c_str()), 0);
    ScopedReportCapture capture;
    EXPECT_EQ(file.Save(path.c_str()), 0);
    EXPECT_EQ(capture.Messages(), Messages{kWriteError});
    EXPECT_EQ(ReadBytes(path), previous);
    EXPECT_FALSE(PathExists(path + ".old"));
}

// The table grows on the thirty-first add, whether it began empty or with loaded records.
TEST_F(LessonTrackFileOnDisk, TheThirtyFirstAddKeepsEveryRecordInOrder) {
    const std::string path =
        m_dir.Put("lessons", RecordFile(5, std::vector<Bytes>(5, LessonRecord(Lesson()))));
    for (int nLoaded : {0, 5}) {
        SCOPED_TRACE(nLoaded);
        CLessonTrackFile file;
        if (nLoaded > 0) {
            ASSERT_EQ(file.Open(path.c_str()), 1);
        } else {
            EXPECT_EQ(file.GetLastTrack(), nullptr);
        }
        std::vector<const CLessonTrack*> added;
        for (int i = 0; i < 31; ++i) {
            ASSERT_EQ(file.AddNewTrack(static_cast<unsigned char>(i), 0, 0), 1);
            added.push_back(file.GetLastTrack());
        }
        ASSERT_EQ(file.GetLessonCount(), nLoaded + 31);
        for (int i = 0; i < 31; ++i) {
            ASSERT_EQ(file.GetLessonTrack(nLoaded + i), added[static_cast<std::size_t>(i)]);
            ASSERT_EQ(added[static_cast<std::size_t>(i)]->m_byLessonId1, i);
        }
        if (nLoaded > 0) {
            EXPECT_EQ(file.GetLessonTrack(4)->m_nKeys, 100);
        }
    }
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

}  // namespace
