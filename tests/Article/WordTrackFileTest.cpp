#include "Article/WordTrackFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "diagnostics/ReportCapture.h"
#include "support/TestFiles.h"

namespace {

using Messages = std::vector<std::string>;

const char* const kInvalidInitialData = "Invalid initial data for WordTrack";
const char* const kNoNullEnd = "Word string in Word Track data has no null end";
const char* const kInvalidFile = "Invalid Word Track File";
const char* const kReadError = "Error occured while reading Word Track File";

// A record image laid out field by field: size, padding, count, time, attempt time, three
// reserved fields, errors, mistyped mark, the word, its zero and three bytes of slack.
// Padding and slack carry `filler`, so that tests see whether they are kept.
Bytes WordRecord(const std::string& word, int nTime = 0, bool bMistyped = false,
                 unsigned char filler = 0) {
    ByteImage image;
    image.U16(static_cast<unsigned>(word.size() + 29)).Fill(2, filler);
    image.I32(1).I32(nTime).U16(static_cast<unsigned>(nTime) & 0xFFFF);
    image.U16(0).I32(0).U16(0).U16(bMistyped ? 1 : 0).U8(bMistyped ? 1 : 0);
    image.Text(word).U8(0).Fill(3, filler);
    return image.Get();
}

Bytes RecordBytes(const WordTrack* pRecord) {
    const auto* p = reinterpret_cast<const unsigned char*>(pRecord);
    return Bytes(p, p + pRecord->m_wSize);
}

void AddWord(CWordTrackFile& file, const char* word, int nTime) {
    WordTrack* pRecord = CreateWordTrack(word);
    ASSERT_NE(pRecord, nullptr);
    pRecord->m_nCount = 1;
    pRecord->m_nTime = nTime;
    pRecord->m_wAttemptTime = static_cast<WORD>(nTime);
    ASSERT_EQ(file.Add(pRecord), 1);
}

// --- Records ---

TEST(WordTrack, ANewRecordIsZeroedAroundAWordOfOneTo127Characters) {
    WordTrack* pRecord = CreateWordTrack("a");
    ASSERT_NE(pRecord, nullptr);
    Bytes expected(30, 0);
    expected[0] = 30;
    expected[25] = 'a';
    EXPECT_EQ(RecordBytes(pRecord), expected);
    EXPECT_EQ(pRecord->m_wSize, kMinWordTrackSize);
    DeleteWordTrack(pRecord);

    const std::string longest(127, 'w');
    pRecord = CreateWordTrack(longest.c_str());
    ASSERT_NE(pRecord, nullptr);
    EXPECT_EQ(pRecord->m_wSize, kMaxWordTrackSize);
    EXPECT_EQ(std::string(pRecord->m_szWord), longest);
    DeleteWordTrack(pRecord);

    // Words that would make an unloadable record are refused, without a report.
    const std::string tooLong(128, 'w');
    ScopedReportCapture capture;
    for (const char* word : {"", tooLong.c_str(), static_cast<const char*>(nullptr)}) {
        EXPECT_EQ(CreateWordTrack(word), nullptr);
    }
    EXPECT_TRUE(capture.Messages().empty());
    DeleteWordTrack(nullptr);  // ignored
}

// --- The record table ---

TEST(WordTrackFile, NoRecordIsTakenOrGivenOutsideTheTable) {
    CWordTrackFile file;
    EXPECT_EQ(file.Add(nullptr), 0);
    EXPECT_EQ(file.IsModified(), 0);
    EXPECT_EQ(file.GetWordTrack(0), nullptr);
    AddWord(file, "one", 1);
    EXPECT_EQ(file.GetWordTrack(-1), nullptr);
    EXPECT_EQ(file.GetWordTrack(1), nullptr);
    EXPECT_EQ(file.GetWordCount(), 1);
}

// --- Loading ---

class WordTrackFileOnDisk : public ::testing::Test {
protected:
    TempDir m_dir;
};

TEST_F(WordTrackFileOnDisk, FilesWhoseLengthCannotHoldTheCountAreRefusedAndChangeNothing) {
    const std::string good = m_dir.Put("good", RecordFile(1, {WordRecord("kept")}));
    struct Case {
        const char* name;
        Bytes image;
    };
    const std::vector<Case> cases = {
        {"0 bytes", {}},
        {"3 bytes", {0, 0, 0}},
        {"negative count", RecordFile(-1, {WordRecord("a")})},
        {"2 declared, one 30-byte record", RecordFile(2, {WordRecord("a")})},
        {"1 declared, 157 bytes", RecordFile(1, {WordRecord("a"), Bytes(127, 0)})},
        {"1 declared, 27 bytes", RecordFile(1, {Bytes(27, 0)})},
        {"count 0x7FFFFFFF", RecordFile(0x7FFFFFFF, {WordRecord("a")})},
        // 28 x N wraps to 24 and 156 x N stays above the body in 32 unsigned bits.
        {"count 153391690", RecordFile(153391690, {WordRecord("a")})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CWordTrackFile file;
        ASSERT_EQ(file.Open(good.c_str()), 1);
        const std::string path = m_dir.Put("bad", c.image);
        ScopedReportCapture capture;
        EXPECT_EQ(file.Open(path.c_str()), 0);
        EXPECT_EQ(capture.Messages(), Messages{kInvalidFile});
        EXPECT_EQ(file.GetFileName(), good);
        ASSERT_EQ(file.GetWordCount(), 1);
        EXPECT_STREQ(file.GetWordTrack(0)->m_szWord, "kept");
    }
}

TEST_F(WordTrackFileOnDisk, ABadRecordFailsTheLoadAndLeavesNullFromThereOn) {
    struct Case {
        const char* name;
        Bytes image;
        Messages reports;
        int nKept;  // records loaded before the failing one
    };
    const Bytes noZero = ByteImage().U16(40).Fill(23).Fill(15, 'z').Get();
    const std::vector<Case> cases = {
        {"29-byte record",
         RecordFile(1, {ByteImage().U16(29).Fill(27).Get()}),
         {kInvalidInitialData, kReadError},
         0},
        {"157-byte record",
         RecordFile(2, {ByteImage().U16(157).Fill(155).Get(), WordRecord("a")}),
         {kInvalidInitialData, kReadError},
         0},
        {"second record without its zero",
         RecordFile(2, {WordRecord("first"), noZero}),
         {kNoNullEnd, kReadError},
         1},
        {"size field past the end",
         RecordFile(1, {ByteImage().U16(41).Fill(38).Get()}),
         {kReadError},
         0},
        {"28 bytes left for the second record",
         RecordFile(2, {WordRecord("a"), Bytes(28, 0)}),
         {kReadError},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = m_dir.Put("bad", c.image);
        CWordTrackFile file;
        ScopedReportCapture capture;
        EXPECT_EQ(file.Open(path.c_str()), 0);
        EXPECT_EQ(capture.Messages(), c.reports);
        EXPECT_EQ(file.GetFileName(), "");
        const int nStored = static_cast<int>(c.image[0]);
        ASSERT_EQ(file.GetWordCount(), nStored);
        for (int k = 0; k < nStored; ++k) {
            EXPECT_EQ(file.GetWordTrack(k) != nullptr, k < c.nKept) << "record " << k;
        }
    }
}

// A stored file loads record by record and saves back byte for byte, padding included.
TEST_F(WordTrackFileOnDisk, AStoredFileLoadsRecordByRecordAndSavesByteForByte) {
    const Bytes image = RecordFile(3, {WordRecord("The", 400, false, 0x5A),
                                       WordRecord(std::string(127, 'q'), 60000, true, 0xC3),
                                       WordRecord("x", 90000, true, 0xFF)});
    const std::string source = m_dir.Put("source", image);
    CWordTrackFile file;
    ScopedReportCapture capture;
    ASSERT_EQ(file.Open(source.c_str()), 1);
    EXPECT_TRUE(capture.Messages().empty());
    EXPECT_EQ(file.GetFileName(), source);
    EXPECT_EQ(file.IsModified(), 0);
    ASSERT_EQ(file.GetWordCount(), 3);
    EXPECT_STREQ(file.GetWordTrack(0)->m_szWord, "The");
    EXPECT_EQ(file.GetWordTrack(0)->m_nTime, 400);
    EXPECT_EQ(file.GetWordTrack(0)->m_bMistyped, 0);
    EXPECT_EQ(file.GetWordTrack(1)->m_wSize, 156);
    EXPECT_EQ(file.GetWordTrack(1)->m_wErrors, 1);
    EXPECT_STREQ(file.GetWordTrack(2)->m_szWord, "x");
    EXPECT_EQ(file.GetWordTrack(2)->m_wAttemptTime, 90000 & 0xFFFF);
    const std::string copy = m_dir.File("copy");
    ASSERT_EQ(file.Save(copy.c_str()), 1);
    EXPECT_EQ(ReadBytes(copy), image);

    CWordTrackFile again;
    ASSERT_EQ(again.Open(copy.c_str()), 1);
    AddWord(again, "four", 4);
    ASSERT_EQ(again.Save(nullptr), 1);
    Bytes expected = image;
    expected[0] = 4;
    const Bytes fourth = WordRecord("four", 4);
    expected.insert(expected.end(), fourth.begin(), fourth.end());
    EXPECT_EQ(ReadBytes(copy), expected);
}

TEST_F(WordTrackFileOnDisk, AFileOfManyMegabytesLoadsEveryRecordWhole) {
    // Words of 1 to 40 letters in turn, so that records of every size lie across the places
    // where a large file is read in pieces; enough of them that the record table is a large
    // block, which must also grow and be released as one.
    constexpr int kWords = 270000;
    const std::string letters(40, 'w');
    const std::string path = m_dir.File("words");
    CWordTrackFile file;
    for (int i = 0; i < kWords; ++i) {
        AddWord(file, letters.substr(0, 1 + i % 40).c_str(), i);
    }
    ASSERT_EQ(file.Save(path.c_str()), 1);
    CWordTrackFile again;
    ASSERT_EQ(again.Open(path.c_str()), 1);
    ASSERT_EQ(again.GetWordCount(), kWords);
    for (int i = 0; i < kWords; ++i) {
        const WordTrack* pRecord = again.GetWordTrack(i);
        ASSERT_EQ(std::string(pRecord->m_szWord), letters.substr(0, 1 + i % 40)) << "record " << i;
        ASSERT_EQ(pRecord->m_nTime, i) << "record " << i;
    }
    for (int i = 0; i <= 1000; ++i) {
        AddWord(again, "more", i);
    }
    EXPECT_STREQ(again.GetWordTrack(kWords + 1000)->m_szWord, "more");
}

}  // namespace
