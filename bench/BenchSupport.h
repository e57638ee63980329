// What the benchmarks share: generated lessons, the device contexts and font they lay out in,
// and the figures each benchmark leaves for the closing table.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>

#include "platform/DeviceContext.h"
#include "platform/Win32.h"

// English-like prose: sentences of common words with capitals and punctuation, in paragraphs
// that each end with a line feed. The same text for the same size in every run; at most
// nBytes long, cut after a whole word.
std::string MakeLesson(std::size_t nBytes);

enum class DcKind { kFixed, kCairo };
const char* DcName(DcKind kind);

// A device context of the kind, width x height pixels. A fixed-pitch one records nothing.
std::unique_ptr<CDC> MakeDC(DcKind kind, int width, int height);

// The font everything is laid out in: DejaVu Sans at 16 pixels to the em (a fixed-pitch
// context makes 8 x 16 cells of it). Pango's peer is given the same face and size.
LOGFONTA BenchFont();
inline constexpr const char* kBenchFontFamily = "DejaVu Sans";
inline constexpr int kBenchFontPixels = 16;
// Paper width of every layout.
inline constexpr int kPaperWidth = 800;

// Hands out one given device context as the desktop's, so that SetPaperRect lays out in it.
class OneDesktopDC : public DesktopDCProvider {
public:
    explicit OneDesktopDC(CDC* dc) : m_pDC(dc), m_scope(this) {}
    CDC* GetDC() override { return m_pDC; }
    void ReleaseDC(CDC*) override {}

private:
    CDC* m_pDC;
    ScopedDesktopDCProvider m_scope;
};

// Figures a benchmark measures outside its timed loop (peak memory, line counts), by
// benchmark name and figure name; the table reads them with the timings.
void NoteFigure(const std::string& benchmark, const std::string& figure, double value);
const std::map<std::string, std::map<std::string, double>>& NotedFigures();

// Where the record-file benchmarks keep their files (a directory on the disk measured).
const std::string& WorkDirectory();
void SetWorkDirectory(const std::string& dir);

// Sizes as benchmarks and the table name them: "1KiB", "8MiB", "10k", "1M".
std::string SizeName(std::size_t nBytes);
std::string CountName(int n);

// Registration of each group of benchmarks.
void RegisterLayoutBenchmarks();
void RegisterKeystrokeBenchmarks();
void RegisterRecordFileBenchmarks();
void RegisterBookBenchmarks();

// One whole lesson typed once with the chosen redraw, for instruction counting; returns the
// keystrokes typed, or -1 for an unknown mode ("fixed-incremental", "cairo-full", ...).
int TypeLessonForCount(const std::string& mode);
