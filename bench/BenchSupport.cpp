#include "BenchSupport.h"

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <sstream>

#include "platform/FixedPitchDC.h"
#include "render/CairoDC.h"

namespace {

// Common English words; short ones come more often, as in prose.
constexpr const char* kWords[] = {
    "the",       "of",       "and",       "to",         "a",          "in",         "is",
    "it",        "you",      "that",      "he",         "was",        "for",        "on",
    "are",       "with",     "as",        "his",        "they",       "be",         "at",
    "one",       "have",     "this",      "from",       "or",         "had",        "by",
    "word",      "but",      "what",      "some",       "we",         "can",        "out",
    "other",     "were",     "all",       "there",      "when",       "up",         "use",
    "your",      "how",      "said",      "an",         "each",       "she",        "which",
    "do",        "their",    "time",      "if",         "will",       "way",        "about",
    "many",      "then",     "them",      "write",      "would",      "like",       "so",
    "these",     "her",      "long",      "make",       "thing",      "see",        "him",
    "two",       "has",      "look",      "more",       "day",        "could",      "go",
    "come",      "did",      "number",    "sound",      "most",       "people",     "over",
    "know",      "water",    "than",      "call",       "first",      "who",        "may",
    "down",      "side",     "been",      "now",        "find",       "head",       "stand",
    "own",       "page",     "should",    "country",    "found",      "answer",     "school",
    "grow",      "study",    "still",     "learn",      "plant",      "cover",      "food",
    "sun",       "four",     "between",   "state",      "keep",       "eye",        "never",
    "last",      "let",      "thought",   "city",       "tree",       "cross",      "farm",
    "hard",      "start",    "might",     "story",      "saw",        "far",        "sea",
    "draw",      "left",     "late",      "run",        "while",      "press",      "close",
    "night",     "real",     "life",      "few",        "north",      "keyboard",   "finger",
    "practice",  "letter",   "lesson",    "accuracy",   "together",   "carefully",  "quickly",
    "important", "remember", "beginning", "difference", "everything", "understand",
};
constexpr std::size_t kWordCount = sizeof kWords / sizeof kWords[0];

// A small, fast generator with a fixed seed (xorshift64*).
class Random {
public:
    std::uint64_t Next() {
        m_state ^= m_state >> 12;
        m_state ^= m_state << 25;
        m_state ^= m_state >> 27;
        return m_state * 0x2545F4914F6CDD1DULL;
    }
    // 0 .. n - 1
    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }

private:
    std::uint64_t m_state = 0x9E3779B97F4A7C15ULL;
};

std::map<std::string, std::map<std::string, double>>& Figures() {
    static std::map<std::string, std::map<std::string, double>> figures;
    return figures;
}

std::string& WorkDir() {
    static std::string dir = ".";
    return dir;
}

}  // namespace

std::string MakeLesson(std::size_t nBytes) {
    Random random;
    std::string text;
    text.reserve(nBytes + 64);
    std::size_t lastCut = 0;  // the text up to here ends after a whole word
    while (text.size() <= nBytes) {
        lastCut = text.size();
        // A paragraph of 3 to 6 sentences of 6 to 17 words.
        const std::size_t sentences = 3 + random.Below(4);
        for (std::size_t s = 0; s < sentences && text.size() <= nBytes; ++s) {
            const std::size_t words = 6 + random.Below(12);
            for (std::size_t w = 0; w < words; ++w) {
                if (w > 0 || s > 0) {
                    text += ' ';
                }
                std::string word = kWords[random.Below(kWordCount)];
                if (w == 0) {
                    word[0] = static_cast<char>(word[0] - 'a' + 'A');
                }
                text += word;
                if (w + 1 == words) {
                    text += random.Below(8) == 0 ? '?' : '.';
                } else if (random.Below(10) == 0) {
                    text += ',';
                }
                if (text.size() <= nBytes) {
                    lastCut = text.size();
                }
            }
        }
        if (text.size() < nBytes) {
            text += '\n';
            lastCut = text.size();
        }
    }
    text.resize(lastCut);
    return text;
}

const char* DcName(DcKind kind) {
    return kind == DcKind::kFixed ? "fixed" : "cairo";
}

std::unique_ptr<CDC> MakeDC(DcKind kind, int width, int height) {
    if (kind == DcKind::kFixed) {
        auto dc = std::make_unique<FixedPitchDC>();
        dc->SetRecording(false);
        return dc;
    }
    return std::make_unique<CairoDC>(width, height);
}

LOGFONTA BenchFont() {
    LOGFONTA lf{};
    lf.lfHeight = -kBenchFontPixels;
    lf.lfWeight = FW_NORMAL;
    lf.lfPitchAndFamily = VARIABLE_PITCH | 0x20;  // Swiss: a sans-serif face
    std::strncpy(lf.lfFaceName, kBenchFontFamily, LF_FACESIZE - 1);
    return lf;
}

void NoteFigure(const std::string& benchmark, const std::string& figure, double value) {
    Figures()[benchmark][figure] = value;
}

const std::map<std::string, std::map<std::string, double>>& NotedFigures() {
    return Figures();
}

const std::string& WorkDirectory() {
    return WorkDir();
}

void SetWorkDirectory(const std::string& dir) {
    WorkDir() = dir;
}

std::string SizeName(std::size_t nBytes) {
    if (nBytes >= 1024 * 1024) {
        return std::to_string(nBytes / (1024 * 1024)) + "MiB";
    }
    return std::to_string(nBytes / 1024) + "KiB";
}

std::string CountName(int n) {
    if (n >= 1000000) {
        return std::to_string(n / 1000000) + "M";
    }
    return std::to_string(n / 1000) + "k";
}

// The words of generated lessons, each made into a record as a session makes it.
std::unique_ptr<CWordTrackFile> MakeWordFile(int nRecords) {
    auto file = std::make_unique<CWordTrackFile>();
    const std::string text = MakeLesson(static_cast<std::size_t>(nRecords) * 8);
    std::istringstream words(text);
    std::string word;
    int k = 0;
    while (k < nRecords) {
        if (!(words >> word)) {
            words.clear();
            words.seekg(0);
            continue;
        }
        WordTrack* record = CreateWordTrack(word.c_str());
        record->m_nCount = 1;
        record->m_nTime = 150 + (k * 37) % 2000;
        record->m_wAttemptTime = static_cast<WORD>(record->m_nTime);
        record->m_wErrors = record->m_bMistyped = k % 13 == 0 ? 1 : 0;
        file->Add(record);
        ++k;
    }
    return file;
}

std::unique_ptr<CLessonTrackFile> MakeLessonFile(int nRecords) {
    auto file = std::make_unique<CLessonTrackFile>();
    for (int k = 0; k < nRecords; ++k) {
        file->AddNewTrack(static_cast<unsigned char>(k % 7), 1, static_cast<unsigned short>(k));
        CLessonTrack* track = file->GetLastTrack();
        track->m_nSeconds = 60 + k % 300;
        track->m_nKeys = 300 + k % 1000;
        track->m_nErrors = k % 40;
        track->m_dSpeed = 180.0 + k % 90;
        track->m_dTopSpeed = track->m_dSpeed + 40.0;
        track->m_nWords = track->m_nKeys / 6;
        track->m_nWordErrors = track->m_nErrors / 2;
        for (int c = 'a'; c <= 'z'; ++c) {
            track->m_aCharTrack[c].m_nKeys = 10 + (k + c) % 20;
            track->m_aCharTrack[c].m_nTime = 200 * track->m_aCharTrack[c].m_nKeys;
            track->m_aCharTrack[c].m_nErrors = (k + c) % 3;
        }
    }
    return file;
}

void ReturnFreedMemory() {
    malloc_trim(0);
}

std::vector<char> ReadWhole(const std::string& path) {
    std::vector<char> bytes;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return bytes;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0) {
        bytes.resize(static_cast<std::size_t>(st.st_size));
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0) {
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        bytes.resize(done);
    }
    ::close(fd);
    return bytes;
}
