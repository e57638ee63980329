// Helpers for tests that touch files: a fresh temporary directory per test, whole-file reads
// and writes, and a little-endian byte image builder for file fixtures.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// A new directory under $TMPDIR (or /tmp), removed with everything in it at destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_strPath; }
    // The path of name inside the directory.
    std::string File(const std::string& name) const { return m_strPath + "/" + name; }
    // Writes bytes to name inside the directory; answers its path.
    std::string Put(const std::string& name, const Bytes& bytes) const;

private:
    std::string m_strPath;
};

bool PathExists(const std::string& path);
// The whole file; empty when it cannot be read.
Bytes ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const Bytes& bytes);
// The same for text.
std::string ReadText(const std::string& path);
void WriteText(const std::string& path, const std::string& text);

// Builds a byte image field by field, little-endian, as the file layouts describe them.
class ByteImage {
public:
    ByteImage& U8(unsigned v);
    ByteImage& U16(unsigned v);
    ByteImage& I32(std::int64_t v);  // the low 32 bits, so any count can be stamped
    ByteImage& F64(double v);
    ByteImage& Text(const std::string& s);  // the characters, without a zero
    ByteImage& Fill(std::size_t n, unsigned char value = 0);
    ByteImage& Append(const Bytes& bytes);
    // Overwrites bytes at offset with the low bytes of v (little-endian).
    ByteImage& PutAt(std::size_t offset, std::uint64_t v, std::size_t nBytes);

    const Bytes& Get() const { return m_bytes; }
    std::size_t Size() const { return m_bytes.size(); }

private:
    Bytes m_bytes;
};

// A record file's image: the record count, then the records.
Bytes RecordFile(std::int64_t nCount, const std::vector<Bytes>& records);

// Runs body in a child process whose files may grow to nLimitBytes at most (writes past it fail
// with EFBIG instead of raising SIGXFSZ); answers the child's exit status (body's result), or
// -1 when the child did not exit normally.
int RunWithFileSizeLimit(std::uint64_t nLimitBytes, const std::function<int()>& body);
