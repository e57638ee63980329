#include "support/TestFiles.h"

#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/tt-files-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        throw std::runtime_error("cannot make a temporary directory");
    }
    m_strPath = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_strPath, ec);
}

std::string TempDir::Put(const std::string& name, const Bytes& bytes) const {
    WriteBytes(File(name), bytes);
    return File(name);
}

bool PathExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::string ReadText(const std::string& path) {
    const Bytes bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void WriteText(const std::string& path, const std::string& text) {
    WriteBytes(path, Bytes(text.begin(), text.end()));
}

Bytes RecordFile(std::int64_t nCount, const std::vector<Bytes>& records) {
    ByteImage image;
    image.I32(nCount);
    for (const Bytes& record : records) {
        image.Append(record);
    }
    return image.Get();
}

ByteImage& ByteImage::U8(unsigned v) {
    return PutAt(Fill(1).Size() - 1, v, 1);
}

ByteImage& ByteImage::U16(unsigned v) {
    return PutAt(Fill(2).Size() - 2, v, 2);
}

ByteImage& ByteImage::I32(std::int64_t v) {
    return PutAt(Fill(4).Size() - 4, static_cast<std::uint64_t>(v), 4);
}

ByteImage& ByteImage::F64(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return PutAt(Fill(8).Size() - 8, bits, 8);
}

ByteImage& ByteImage::Text(const std::string& s) {
    m_bytes.insert(m_bytes.end(), s.begin(), s.end());
    return *this;
}

ByteImage& ByteImage::Fill(std::size_t n, unsigned char value) {
    m_bytes.insert(m_bytes.end(), n, value);
    return *this;
}

ByteImage& ByteImage::Append(const Bytes& bytes) {
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

ByteImage& ByteImage::PutAt(std::size_t offset, std::uint64_t v, std::size_t nBytes) {
    for (std::size_t i = 0; i < nBytes; ++i) {
        m_bytes.at(offset + i) = static_cast<unsigned char>(v >> (8 * i));
    }
    return *this;
}

int RunWithFileSizeLimit(std::uint64_t nLimitBytes, const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid < 0) {
        return -1;
    }
    if (pid == 0) {
        struct rlimit limit;
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = static_cast<rlim_t>(nLimitBytes);
        ::signal(SIGXFSZ, SIG_IGN);
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            ::_exit(100);
        }
        ::_exit(body());
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}
