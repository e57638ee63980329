#include "BenchSupport.h"

#include <cstdint>
#include <cstring>

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
