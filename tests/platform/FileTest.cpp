#include "platform/File.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <string>
#include <vector>

#include "support/TestFiles.h"

namespace {

constexpr unsigned kCreate = CFile::modeCreate | CFile::modeWrite;

Bytes Pattern(std::size_t n) {
    Bytes bytes(n);
    for (std::size_t i = 0; i < n; ++i) {
        bytes[i] = static_cast<unsigned char>(i * 7 + i / 251);
    }
    return bytes;
}

TEST(File, WritesOfAnySizeReadBackInAnyPieces) {
    TempDir dir;
    const std::string path = dir.File("data");
    const Bytes data = Pattern(6000000);
    // Small writes, one larger than the buffer (2 MiB), one that overflows what the buffer holds,
    // then small ones again.
    const std::vector<std::size_t> pieces = {1, 2, 4136, 30, 70000, 156, 3, 2500000, 2000000, 7};
    {
        CFile file;
        ASSERT_TRUE(file.Open(path.c_str(), kCreate));
        std::size_t at = 0;
        for (std::size_t n : pieces) {
            file.Write(data.data() + at, static_cast<unsigned>(n));
            at += n;
        }
        file.Write(data.data() + at, static_cast<unsigned>(data.size() - at));
        EXPECT_EQ(file.GetLength(), data.size());
        EXPECT_TRUE(file.Close());
    }
    EXPECT_EQ(ReadBytes(path), data);

    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    EXPECT_EQ(file.GetLength(), data.size());
    Bytes back(data.size() + 1000);
    std::size_t at = 0;
    for (std::size_t n : {2u, 2u, 4136u, 100000u, 29u, 3000000u, 5u}) {
        ASSERT_EQ(file.Read(back.data() + at, n), n);
        at += n;
    }
    // The rest in one read asking for more than there is: it stops at the end.
    const std::size_t rest = data.size() - at;
    EXPECT_EQ(file.Read(back.data() + at, static_cast<unsigned>(rest + 1000)), rest);
    back.resize(data.size());
    EXPECT_EQ(back, data);
    unsigned char byte;
    EXPECT_EQ(file.Read(&byte, 1), 0u);
    EXPECT_TRUE(file.Close());
}

TEST(File, OpenForReadingFailsOnMissingFilesAndDirectories) {
    TempDir dir;
    CFile file;
    EXPECT_FALSE(file.Open(dir.File("missing").c_str(), CFile::modeRead));
    EXPECT_FALSE(file.Open(dir.Path().c_str(), CFile::modeRead));
    EXPECT_FALSE(file.Open(nullptr, CFile::modeRead));
    EXPECT_FALSE(file.IsOpen());
}

TEST(File, CreateEmptiesAnExistingFile) {
    TempDir dir;
    const std::string path = dir.File("data");
    WriteBytes(path, Pattern(100));
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), kCreate));
    file.Write("ab", 2);
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(ReadBytes(path), (Bytes{'a', 'b'}));
}

TEST(File, ManySmallTransfersTakeFewSystemCalls) {
    TempDir dir;
    const std::string path = dir.File("data");
    ScopedFileFaults faults;
    constexpr int kRecords = 100000;
    {
        CFile file;
        ASSERT_TRUE(file.Open(path.c_str(), kCreate));
        for (int i = 0; i < kRecords; ++i) {
            file.Write(&i, sizeof i);
        }
        ASSERT_TRUE(file.Close());
    }
    EXPECT_EQ(faults.WriteCount(), kRecords);
    EXPECT_LE(faults.SystemWriteCount(), 10);

    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    for (int i = 0; i < kRecords; ++i) {
        unsigned short halves[2];
        ASSERT_EQ(file.Read(&halves[0], 2), 2u);
        ASSERT_EQ(file.Read(&halves[1], 2), 2u);
        ASSERT_EQ(halves[0] | (halves[1] << 16), i);
    }
    EXPECT_LE(faults.SystemReadCount(), 10);
}

TEST(FileNames, ExistenceIsForFilesOnly) {
    TempDir dir;
    WriteBytes(dir.File("a"), Pattern(1));
    EXPECT_TRUE(FileExists(dir.File("a").c_str()));
    EXPECT_FALSE(FileExists(dir.File("b").c_str()));
    EXPECT_FALSE(FileExists(dir.Path().c_str()));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(nullptr));
}

// Where the system lacks a rename that refuses to replace, a hard link does the same.
TEST(FileNames, RenameWithoutReplacingRefusesAnExistingTarget) {
    for (bool bLack : {false, true}) {
        SCOPED_TRACE(bLack ? "through a hard link" : "native");
        TempDir dir;
        const std::string a = dir.File("a"), b = dir.File("b"), c = dir.File("c");
        WriteBytes(a, Bytes{1});
        WriteBytes(b, Bytes{2});
        ScopedFileFaults faults;
        faults.LackRenameNoReplace(bLack);
        EXPECT_FALSE(MoveFileNoReplace(a.c_str(), b.c_str()));
        EXPECT_EQ(ReadBytes(a), Bytes{1});
        EXPECT_EQ(ReadBytes(b), Bytes{2});

        EXPECT_TRUE(MoveFileNoReplace(a.c_str(), c.c_str()));
        EXPECT_FALSE(PathExists(a));
        EXPECT_EQ(ReadBytes(c), Bytes{1});
        EXPECT_FALSE(MoveFileNoReplace(a.c_str(), dir.File("d").c_str()));  // no source
    }
}

TEST(File, AWriteBeyondTheFileSizeLimitRaisesWithEFBIG) {
    TempDir dir;
    const std::string path = dir.File("data");
    const int result = RunWithFileSizeLimit(1000, [&] {
        CFile file;
        if (!file.Open(path.c_str(), kCreate)) {
            return 1;
        }
        const Bytes data = Pattern(2000);
        try {
            file.Write(data.data(), 2000);
            file.Flush();
        } catch (const CFileException& e) {
            return e.m_nOsError == EFBIG && !file.Close() ? 0 : 2;
        }
        return 3;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(path).size(), 1000u);  // as much as the limit let through
}

}  // namespace
