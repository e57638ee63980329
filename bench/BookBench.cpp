// Books: a generated book of 1 to 20 MiB opened and its first part shown on a screen, as
// `typetutor book FILE` does it; the time, the peak memory, and how both grow with the book.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>

#include "AllocationCounter.h"
#include "BenchSupport.h"
#include "Book.h"
#include "CellScreen.h"
#include "Commands.h"
#include "Session.h"
#include "Tutor.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBookSizes[] = {1024 * 1024, 4 * 1024 * 1024, 20 * 1024 * 1024};
constexpr std::size_t kLineWidth = 72;
constexpr int kParagraphsPerChapter = 40;
constexpr int kScreenCols = 80;
constexpr int kScreenRows = 24;
constexpr int kPauseAfterMs = 10000;

// MakeLesson's prose as a plain-text book: lines wrapped at 72 columns, a blank line between
// paragraphs, a chapter heading before every 40th.
std::string MakeBook(std::size_t nBytes) {
    const std::string prose = MakeLesson(nBytes);
    std::string book;
    book.reserve(prose.size() + prose.size() / 20);
    int paragraph = 0;
    std::size_t column = 0;
    for (std::size_t at = 0; at < prose.size();) {
        if (column == 0 && paragraph++ % kParagraphsPerChapter == 0) {
            book += "CHAPTER " + std::to_string(paragraph / kParagraphsPerChapter + 1) + "\n\n";
        }
        const std::size_t end = std::min(prose.find_first_of(" \n", at), prose.size());
        if (column > 0 && column + (end - at) > kLineWidth) {
            book += '\n';
            column = 0;
        }
        book.append(prose, at, end - at);
        column += end - at;
        if (end < prose.size() && prose[end] == '\n') {
            book += "\n\n";
            column = 0;
        } else if (column > 0) {
            book += ' ';
            ++column;
        }
        at = end + 1;
    }
    return book;
}

// Opens the book and shows its first part on a screen in memory; the part's length.
std::size_t OpenAndShow(const std::string& path, const std::string& dataDir) {
    Lesson lesson;
    BookPart part;
    std::string error;
    Session session;
    if (!OpenBookPart(path, dataDir, &lesson, &part, &error) ||
        !session.Create(lesson.text, SessionOptions{}, &error)) {
        return 0;
    }
    GridScreen screen(kScreenCols, kScreenRows);
    Tutor tutor(session, screen, LessonTitle(lesson, SessionOptions{}), kPauseAfterMs);
    tutor.Open();
    return lesson.text.size();
}

void OpenBook(benchmark::State& state, const std::string& name, std::size_t nBytes) {
    const fs::path dir = fs::path(WorkDirectory()) / ("book-bench-" + SizeName(nBytes));
    fs::create_directories(dir);
    const std::string path = (dir / "book.txt").string();
    const std::string book = MakeBook(nBytes);
    std::ofstream(path, std::ios::binary) << book;
    // Another book's record, so that the book is searched for as a changed one would be: the
    // slower way in.
    std::ofstream(dir / kBookProgressFile)
        << "0123456789abcdef\t3\t100\t00000000000000aa\t00000000000000bb\t4500\t1000\t4800\t30\t"
           "900\tother\t/nowhere/other.txt\n";
    {
        PeakAllocation peak;
        if (OpenAndShow(path, dir.string()) == 0) {
            state.SkipWithError("the book was refused");
            return;
        }
        NoteFigure(name, "peak_bytes", static_cast<double>(peak.PeakBytes()));
    }
    std::size_t shown = 0;
    for (auto _ : state) {
        shown = OpenAndShow(path, dir.string());
        benchmark::DoNotOptimize(shown);
    }
    state.counters["bytes"] = static_cast<double>(book.size());
    state.counters["part_chars"] = static_cast<double>(shown);
    fs::remove_all(dir);
}

}  // namespace

void RegisterBookBenchmarks() {
    for (const std::size_t size : kBookSizes) {
        const std::string name = "book/open/" + SizeName(size);
        benchmark::RegisterBenchmark(name.c_str(), [name, size](benchmark::State& state) {
            OpenBook(state, name, size);
        })->Unit(benchmark::kMillisecond);
    }
}
