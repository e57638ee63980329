// What the fuzz targets share: a reader that takes parameters from the front of the input, a
// report sink that only counts (so that reports cost nothing), a check that stops the run with
// a message the fuzzer keeps, and a scratch directory for the targets that work on files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "diagnostics/Tracewise.h"

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
    FuzzInput(const std::uint8_t* data, std::size_t size) : m_pData(data), m_nSize(size) {}

    bool Empty() const { return m_nPos >= m_nSize; }
    std::size_t Remaining() const { return m_nSize - m_nPos; }

    std::uint8_t Byte() { return m_nPos < m_nSize ? m_pData[m_nPos++] : 0; }
    bool Flag(std::uint8_t flags, int bit) const { return ((flags >> bit) & 1) != 0; }
    std::uint16_t U16() {
        const std::uint16_t lo = Byte();
        return static_cast<std::uint16_t>(lo | (Byte() << 8));
    }
    std::int16_t I16() { return static_cast<std::int16_t>(U16()); }
    std::int32_t I32() {
        std::uint32_t v = 0;
        for (int k = 0; k < 4; ++k) {
            v |= static_cast<std::uint32_t>(Byte()) << (8 * k);
        }
        return static_cast<std::int32_t>(v);
    }
    // Up to n bytes as they stand.
    std::string Take(std::size_t n) {
        const std::size_t k = n < Remaining() ? n : Remaining();
        std::string s(reinterpret_cast<const char*>(m_pData + m_nPos), k);
        m_nPos += k;
        return s;
    }
    std::string Rest() { return Take(Remaining()); }

private:
    const std::uint8_t* m_pData;
    std::size_t m_nSize;
    std::size_t m_nPos = 0;
};

// Counts reports instead of writing them out; installed for the whole run.
class CountingReportSink : public ReportSink {
public:
    CountingReportSink() : m_pPrevious(SetReportSink(this)) {}
    ~CountingReportSink() override { SetReportSink(m_pPrevious); }
    CountingReportSink(const CountingReportSink&) = delete;
    CountingReportSink& operator=(const CountingReportSink&) = delete;

    void OnReport(int, const char* pszMessage, const char*, int, ReportMethod, int) override {
        FUZZ_CHECK(pszMessage != nullptr && pszMessage[0] != '\0');
        ++m_nReports;
    }
    long long Count() const { return m_nReports; }

private:
    ReportSink* m_pPrevious;
    long long m_nReports = 0;
};

// A directory of the process's own, in memory where the system offers it; files written there
// by one run are removed by the next.
std::string FuzzScratchDir();
std::vector<unsigned char> FuzzReadFile(const std::string& path);
void FuzzWriteFile(const std::string& path, const std::uint8_t* data, std::size_t size);
void FuzzRemoveFile(const std::string& path);
