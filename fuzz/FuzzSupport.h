// What the fuzz targets share: a check that stops the run with a message the fuzzer keeps, a
// reader that takes parameters from the front of the input, and a scratch directory for the
// targets that work on files.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

// Stops the run: the fuzzer saves the input that got here as a crash.
#define FUZZ_CHECK(cond)                                                                        \
    do {                                                                                        \
        if (!(cond)) {                                                                          \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                                       \
        }                                                                                       \
    } while (false)

// Reads parameters from the front of the input; past its end every read answers 0, so that
// short inputs still run with defined values.
class FuzzInput {
public:
    explicit FuzzInput(std::string bytes) : m_str(std::move(bytes)) {}

    bool Empty() const { return m_nPos >= m_str.size(); }
    std::uint8_t Byte() { return Empty() ? 0 : static_cast<std::uint8_t>(m_str[m_nPos++]); }
    std::int16_t I16() {
        const int lo = Byte();
        return static_cast<std::int16_t>(lo | (Byte() << 8));
    }
    // Up to n bytes as they stand.
    std::string Take(std::size_t n) {
        const std::string s = Empty() ? std::string() : m_str.substr(m_nPos, n);
        m_nPos += s.size();
        return s;
    }

private:
    std::string m_str;
    std::size_t m_nPos = 0;
};

inline std::string AsString(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// A directory of the process's own, in memory where the system offers it, removed with what it
// holds when the run ends normally.
inline const std::string& FuzzScratchDir() {
    struct Scratch {
        std::string path;
        Scratch() {
            struct stat st {};
            path = std::string(stat("/dev/shm", &st) == 0 ? "/dev/shm" : "/tmp") + "/tt-fuzz-" +
                   std::to_string(getpid());
            std::filesystem::create_directories(path);
        }
        ~Scratch() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const Scratch scratch;
    return scratch.path;
}

inline std::vector<unsigned char> FuzzReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void FuzzWriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    FUZZ_CHECK(out.good());
}
