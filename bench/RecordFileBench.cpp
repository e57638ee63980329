// Record files: the word file with ten thousand and a million records and the lesson file with
// ten thousand, saved (through to the disk) and opened; against the floor (the same bytes
// written with one write and a sync, and read whole) and against SQLite (the same records in
// one table, written in one transaction and read back).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "Article/TypingLog.h"
#include "BenchSupport.h"
#include "platform/Memory.h"

namespace {

constexpr int kWordCounts[] = {10000, 1000000};
constexpr int kLessonCount = 10000;

// ---- The records ----------------------------------------------------------------------------

// A file object per record count, made once: building a million records takes a while.
template <typename File>
File& Records(int nRecords, std::unique_ptr<File> (*make)(int)) {
    static std::map<int, std::unique_ptr<File>> made;
    std::unique_ptr<File>& file = made[nRecords];
    if (!file) {
        file = make(nRecords);
    }
    return *file;
}

CWordTrackFile& WordRecords(int n) {
    return Records<CWordTrackFile>(n, MakeWordFile);
}
CLessonTrackFile& LessonRecords(int n) {
    return Records<CLessonTrackFile>(n, MakeLessonFile);
}

std::string PathOf(const std::string& name) {
    return WorkDirectory() + "/" + name;
}

void RemoveFile(const std::string& path) {
    std::remove(path.c_str());
}

// ---- Timing ---------------------------------------------------------------------------------

// Every benchmark here also gives the median of its runs (counter median_s), which the table
// takes: a first run on cold memory does not weigh a fifth of the figure.

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Processor time of this thread, in seconds.
double ThreadSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// ---- The floor ------------------------------------------------------------------------------

bool WriteWholeAndSync(const std::string& path, const std::vector<char>& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    const bool ok = done == bytes.size() && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

bool SyncDirectoryOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// A save that keeps the previous file until the new one is on disk, in plain system calls:
// move the old file aside, write and sync the new one, remove the old one, and sync the
// directory after each change of name, as our save does.
bool SafeReplace(const std::string& path, const std::vector<char>& bytes) {
    const std::string backup = path + ".old";
    return ::rename(path.c_str(), backup.c_str()) == 0 && SyncDirectoryOf(path) &&
           WriteWholeAndSync(path, bytes) && SyncDirectoryOf(path) &&
           ::unlink(backup.c_str()) == 0 && SyncDirectoryOf(path);
}

void SafeReplaceFloor(benchmark::State& state, const std::string& ours) {
    const std::vector<char> bytes = ReadWhole(ours);
    const std::string path = ours + ".safe";
    RemoveFile(path + ".old");
    WriteWholeAndSync(path, bytes);
    std::vector<double> runs;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        if (!SafeReplace(path, bytes)) {
            state.SkipWithError("the safe replacement failed");
            break;
        }
        runs.push_back(SecondsSince(start));
    }
    state.counters["median_s"] = Median(runs);
}

void FloorRead(benchmark::State& state, const std::string& ours) {
    std::size_t size = 0;
    std::vector<double> runs;
    for (auto _ : state) {
        const double start = ThreadSeconds();
        std::vector<char> bytes = ReadWhole(ours);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
        runs.push_back(ThreadSeconds() - start);
        state.PauseTiming();
        bytes = std::vector<char>();
        ReturnFreedMemory();
        state.ResumeTiming();
    }
    state.counters["bytes"] = static_cast<double>(size);
    state.counters["median_s"] = Median(runs);
}

// The same read into memory that huge pages may back, as our loads get theirs: what is left of
// the floor when page faults no longer count.
void FloorReadLarge(benchmark::State& state, const std::string& ours) {
    std::vector<double> runs;
    for (auto _ : state) {
        const double start = ThreadSeconds();
        const int fd = ::open(ours.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd < 0 || ::fstat(fd, &st) != 0) {
            state.SkipWithError("the file cannot be read");
            break;
        }
        const auto size = static_cast<std::size_t>(st.st_size);
        auto* bytes = static_cast<char*>(AllocateLargeBlock(size));
        std::size_t done = 0;
        while (bytes && done < size) {
            const ssize_t n = ::read(fd, bytes + done, size - done);
            if (n <= 0) {
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        ::close(fd);
        benchmark::DoNotOptimize(bytes);
        runs.push_back(ThreadSeconds() - start);
        state.PauseTiming();
        FreeLargeBlock(bytes);
        ReturnFreedMemory();
        state.ResumeTiming();
    }
    state.counters["median_s"] = Median(runs);
}

// ---- SQLite ---------------------------------------------------------------------------------

// An open database that closes itself; statements are finalised by their users.
class Database {
public:
    explicit Database(const std::string& path) {
        if (sqlite3_open(path.c_str(), &m_db) != SQLITE_OK) {
            sqlite3_close(m_db);
            m_db = nullptr;
        }
    }
    ~Database() { sqlite3_close(m_db); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    bool Exec(const char* sql) {
        return m_db && sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    sqlite3_stmt* Prepare(const char* sql) {
        sqlite3_stmt* stmt = nullptr;
        if (m_db && sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
            sqlite3_finalize(stmt);
            return nullptr;
        }
        return stmt;
    }

private:
    sqlite3* m_db = nullptr;
};

void RemoveDatabase(const std::string& path) {
    RemoveFile(path);
    RemoveFile(path + "-journal");
}

bool SqliteWriteWords(const std::string& path, const CWordTrackFile& file) {
    Database db(path);
    if (!db.Exec("CREATE TABLE words (word TEXT, count INTEGER, time INTEGER, "
                 "attempt_time INTEGER, errors INTEGER, mistyped INTEGER)") ||
        !db.Exec("BEGIN")) {
        return false;
    }
    sqlite3_stmt* insert = db.Prepare("INSERT INTO words VALUES (?, ?, ?, ?, ?, ?)");
    bool ok = insert != nullptr;
    for (int k = 0; ok && k < file.GetWordCount(); ++k) {
        const WordTrack* w = file.GetWordTrack(k);
        sqlite3_bind_text(insert, 1, w->m_szWord, -1, SQLITE_STATIC);
        sqlite3_bind_int(insert, 2, w->m_nCount);
        sqlite3_bind_int(insert, 3, w->m_nTime);
        sqlite3_bind_int(insert, 4, w->m_wAttemptTime);
        sqlite3_bind_int(insert, 5, w->m_wErrors);
        sqlite3_bind_int(insert, 6, w->m_bMistyped);
        ok = sqlite3_step(insert) == SQLITE_DONE && sqlite3_reset(insert) == SQLITE_OK;
    }
    sqlite3_finalize(insert);
    return ok && db.Exec("COMMIT");
}

// Reads every row back into a record of the same shape as the word file's.
std::vector<WordTrack*> SqliteReadWords(const std::string& path) {
    std::vector<WordTrack*> records;
    Database db(path);
    sqlite3_stmt* select = db.Prepare("SELECT * FROM words");
    while (select && sqlite3_step(select) == SQLITE_ROW) {
        WordTrack* w =
            CreateWordTrack(reinterpret_cast<const char*>(sqlite3_column_text(select, 0)));
        if (w) {
            w->m_nCount = sqlite3_column_int(select, 1);
            w->m_nTime = sqlite3_column_int(select, 2);
            w->m_wAttemptTime = static_cast<WORD>(sqlite3_column_int(select, 3));
            w->m_wErrors = static_cast<WORD>(sqlite3_column_int(select, 4));
            w->m_bMistyped = static_cast<BYTE>(sqlite3_column_int(select, 5));
            records.push_back(w);
        }
    }
    sqlite3_finalize(select);
    return records;
}

bool SqliteWriteLessons(const std::string& path, const CLessonTrackFile& file) {
    Database db(path);
    if (!db.Exec("CREATE TABLE lessons (year INTEGER, month INTEGER, day INTEGER, "
                 "hour INTEGER, minute INTEGER, seconds INTEGER, id1 INTEGER, id2 INTEGER, "
                 "tag INTEGER, keys INTEGER, errors INTEGER, speed REAL, top_speed REAL, "
                 "words INTEGER, word_errors INTEGER, chars BLOB)") ||
        !db.Exec("BEGIN")) {
        return false;
    }
    sqlite3_stmt* insert =
        db.Prepare("INSERT INTO lessons VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    bool ok = insert != nullptr;
    for (int k = 0; ok && k < file.GetLessonCount(); ++k) {
        const CLessonTrack* t = file.GetLessonTrack(k);
        const int ints[] = {t->m_wYear,      t->m_wMonth,   t->m_wDay,        t->m_wHour,
                            t->m_wMinute,    t->m_nSeconds, t->m_byLessonId1, t->m_byLessonId2,
                            t->m_wLessonTag, t->m_nKeys,    t->m_nErrors};
        int column = 1;
        for (const int v : ints) {
            sqlite3_bind_int(insert, column++, v);
        }
        sqlite3_bind_double(insert, column++, t->m_dSpeed);
        sqlite3_bind_double(insert, column++, t->m_dTopSpeed);
        sqlite3_bind_int(insert, column++, t->m_nWords);
        sqlite3_bind_int(insert, column++, t->m_nWordErrors);
        sqlite3_bind_blob(insert, column, t->m_aCharTrack, sizeof t->m_aCharTrack, SQLITE_STATIC);
        ok = sqlite3_step(insert) == SQLITE_DONE && sqlite3_reset(insert) == SQLITE_OK;
    }
    sqlite3_finalize(insert);
    return ok && db.Exec("COMMIT");
}

std::vector<std::unique_ptr<CLessonTrack>> SqliteReadLessons(const std::string& path) {
    std::vector<std::unique_ptr<CLessonTrack>> records;
    Database db(path);
    sqlite3_stmt* select = db.Prepare("SELECT * FROM lessons");
    while (select && sqlite3_step(select) == SQLITE_ROW) {
        auto t = std::make_unique<CLessonTrack>();
        auto i = [select](int column) { return sqlite3_column_int(select, column); };
        t->m_wYear = static_cast<WORD>(i(0));
        t->m_wMonth = static_cast<WORD>(i(1));
        t->m_wDay = static_cast<WORD>(i(2));
        t->m_wHour = static_cast<WORD>(i(3));
        t->m_wMinute = static_cast<WORD>(i(4));
        t->m_nSeconds = i(5);
        t->m_byLessonId1 = static_cast<BYTE>(i(6));
        t->m_byLessonId2 = static_cast<BYTE>(i(7));
        t->m_wLessonTag = static_cast<WORD>(i(8));
        t->m_nKeys = i(9);
        t->m_nErrors = i(10);
        t->m_dSpeed = sqlite3_column_double(select, 11);
        t->m_dTopSpeed = sqlite3_column_double(select, 12);
        t->m_nWords = i(13);
        t->m_nWordErrors = i(14);
        const void* chars = sqlite3_column_blob(select, 15);
        if (chars && sqlite3_column_bytes(select, 15) == static_cast<int>(sizeof t->m_aCharTrack)) {
            std::memcpy(t->m_aCharTrack, chars, sizeof t->m_aCharTrack);
        }
        records.push_back(std::move(t));
    }
    sqlite3_finalize(select);
    return records;
}

// ---- The benchmarks -------------------------------------------------------------------------

// Each save replaces the file that the previous one left, as a host's saves do. The floor (the
// bytes our save wrote, in one write and a sync, replacing the file that the previous write
// left) runs after each save, untimed: the disk's pace drifts over seconds, and pairs see the
// same drift. The counters give the medians and the median of the pairs' ratios.
template <typename File>
void OurSave(benchmark::State& state, File& file, const std::string& path) {
    RemoveFile(path + ".old");
    if (!file.Save(path.c_str())) {
        state.SkipWithError("the first save failed");
        return;
    }
    const std::vector<char> bytes = ReadWhole(path);
    const std::string floorPath = path + ".floor";
    WriteWholeAndSync(floorPath, bytes);
    std::vector<double> saves;
    std::vector<double> floors;
    std::vector<double> ratios;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        if (!file.Save(path.c_str())) {
            state.SkipWithError("a save failed");
            break;
        }
        saves.push_back(SecondsSince(start));
        state.PauseTiming();
        start = Clock::now();
        if (!WriteWholeAndSync(floorPath, bytes)) {
            state.SkipWithError("the floor's write failed");
            break;
        }
        floors.push_back(SecondsSince(start));
        ratios.push_back(saves.back() / floors.back());
        state.ResumeTiming();
    }
    state.counters["median_s"] = Median(saves);
    state.counters["floor_median_s"] = Median(floors);
    state.counters["ratio_median"] = Median(ratios);
    state.counters["bytes"] = static_cast<double>(bytes.size());
}

// Each open fills a new object; putting the records away again is not timed.
template <typename File>
void OurOpen(benchmark::State& state, const std::string& path) {
    std::vector<double> runs;
    for (auto _ : state) {
        const double start = ThreadSeconds();
        auto file = std::make_unique<File>();
        if (!file->Open(path.c_str())) {
            state.SkipWithError("an open failed");
            break;
        }
        runs.push_back(ThreadSeconds() - start);
        state.PauseTiming();
        file.reset();
        ReturnFreedMemory();
        state.ResumeTiming();
    }
    state.counters["median_s"] = Median(runs);
}

template <typename File, typename Write>
void SqliteWrite(benchmark::State& state, const File& file, const std::string& path, Write write) {
    std::vector<double> runs;
    for (auto _ : state) {
        state.PauseTiming();
        RemoveDatabase(path);
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        if (!write(path, file)) {
            state.SkipWithError("SQLite's write failed");
            break;
        }
        runs.push_back(SecondsSince(start));
    }
    state.counters["median_s"] = Median(runs);
}

template <typename Read>
void SqliteRead(benchmark::State& state, const std::string& path, Read read) {
    std::vector<double> runs;
    for (auto _ : state) {
        const double start = ThreadSeconds();
        auto records = read(path);
        benchmark::DoNotOptimize(records.data());
        runs.push_back(ThreadSeconds() - start);
        state.PauseTiming();
        if constexpr (std::is_same_v<decltype(records), std::vector<WordTrack*>>) {
            for (WordTrack* w : records) {
                DeleteWordTrack(w);
            }
        }
        records.clear();
        ReturnFreedMemory();
        state.ResumeTiming();
    }
    state.counters["median_s"] = Median(runs);
}

// Registers the benchmarks of one file and size: ours (each save paired with the floor's
// write), the floor's read, SQLite writing and reading, and the floor of a save that keeps the
// previous file. Ours run first, so that the others find the file they mirror.
template <typename File, typename Write, typename Read>
void RegisterFileCase(const std::string& prefix, File& (*records)(int), int n, int iterations,
                      int sqliteIterations, Write write, Read read) {
    const std::string path =
        PathOf(prefix.substr(0, prefix.find('/')) + "-" + CountName(n) + ".dat");
    const std::string db = path + ".sqlite";
    auto add = [&](const std::string& what, int nIterations, auto fn) {
        auto* b = benchmark::RegisterBenchmark((prefix + "/" + what).c_str(), fn);
        b->Unit(benchmark::kMillisecond)->UseRealTime();
        if (nIterations > 0) {
            b->Iterations(nIterations);
        }
    };
    // Three times the pairs: their median is the figure.
    add("save", iterations * 3, [=](benchmark::State& s) { OurSave(s, records(n), path); });
    add("open", iterations, [=](benchmark::State& s) { OurOpen<File>(s, path); });
    add("floor_read", iterations, [=](benchmark::State& s) { FloorRead(s, path); });
    add("floor_read_large", iterations, [=](benchmark::State& s) { FloorReadLarge(s, path); });
    add("safe_replace", iterations, [=](benchmark::State& s) { SafeReplaceFloor(s, path); });
    add("sqlite_write", sqliteIterations,
        [=](benchmark::State& s) { SqliteWrite(s, records(n), db, write); });
    add("sqlite_read", sqliteIterations, [=](benchmark::State& s) { SqliteRead(s, db, read); });
}

}  // namespace

void RegisterRecordFileBenchmarks() {
    for (const int n : kWordCounts) {
        const bool bLarge = n >= 1000000;
        RegisterFileCase("words/" + CountName(n), WordRecords, n, bLarge ? 5 : 0, bLarge ? 3 : 0,
                         SqliteWriteWords, SqliteReadWords);
    }
    RegisterFileCase("lessons/" + CountName(kLessonCount), LessonRecords, kLessonCount, 5, 3,
                     SqliteWriteLessons, SqliteReadLessons);
}
