// Keystrokes: a whole one-page lesson typed key by key, each key followed either by the redraw
// a host should do (the last two typed words and the caret) or by what a naive host does
// (a full drawing of both articles, and the caret).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "Article/Article.h"
#include "BenchSupport.h"

namespace {

// The reference paper above, the typed paper below it, on one surface.
constexpr int kMargin = 10;
constexpr int kPaperHeight = 600;
constexpr int kSurfaceWidth = kPaperWidth + 2 * kMargin;
constexpr int kSurfaceHeight = 2 * kPaperHeight + 3 * kMargin;
// Words redrawn after each key: the one left and the one begun.
constexpr int kRedrawWords = 2;

RECT RefPaper() {
    RECT rc;
    SetRect(&rc, kMargin, kMargin, kMargin + kPaperWidth, kMargin + kPaperHeight);
    return rc;
}

RECT TypedPaper() {
    RECT rc = RefPaper();
    OffsetRect(&rc, 0, kPaperHeight + kMargin);
    return rc;
}

// Both articles built from text and laid out in dc (installed as the desktop's).
void Prepare(ArticleFile& file, const std::string& text) {
    file.Create(text.c_str(), TRUE, tdByLetter);
    const LOGFONTA lf = BenchFont();
    const RECT ref = RefPaper();
    const RECT typed = TypedPaper();
    file.GetArt()->SetFont(&lf);
    file.GetArt()->SetHighlightCurrent(TRUE);
    file.GetArt()->SetPaperRect(&ref);
    file.GetTypeArt()->SetFont(&lf);
    file.GetTypeArt()->SetPaperRect(&typed);
}

// The text cut after the last token that the first page of its layout in dc shows.
std::string OnePage(CDC* dc) {
    const std::string text = MakeLesson(32 * 1024);
    ArticleFile file;
    OneDesktopDC desktop(dc);
    Prepare(file, text);
    Article* art = file.GetArt();
    const int pageLines = art->GetPageLineCount();
    int tokens = 0;
    while (tokens < art->GetTokenCount()) {
        RECT rc;
        art->GetTokenRect(&rc, tokens);
        if (rc.top / art->GetLinePitch() >= pageLines) {
            break;
        }
        ++tokens;
    }
    // Tokens are the runs of non-white-space characters.
    std::size_t end = 0;
    for (int k = 0; k < tokens; ++k) {
        end = text.find_first_not_of(" \t\n", end);
        end = text.find_first_of(" \t\n", end);
    }
    return text.substr(0, end);
}

// The keys that type text without a mistake, as the typing article expects them.
std::vector<char> KeysFor(CDC* dc, const std::string& text) {
    ArticleFile file;
    OneDesktopDC desktop(dc);
    Prepare(file, text);
    TypeArticle* typing = file.GetTypeArt();
    std::vector<char> keys;
    // Every character of the text is typed once at most, and a line feed or space after it.
    while (keys.size() < 2 * text.size()) {
        const char c = typing->GetCaretChar();
        if (c == static_cast<char>(0xFF) || c == 0) {
            break;
        }
        keys.push_back(c);
        typing->TypeChar(c);
    }
    return keys;
}

struct Lesson {
    std::unique_ptr<CDC> dc;
    std::string text;
    std::vector<char> keys;
};

Lesson MakePageLesson(DcKind kind) {
    Lesson lesson;
    lesson.dc = MakeDC(kind, kSurfaceWidth, kSurfaceHeight);
    lesson.text = OnePage(lesson.dc.get());
    lesson.keys = KeysFor(lesson.dc.get(), lesson.text);
    return lesson;
}

void TypeKeys(ArticleFile& file, CDC* dc, const std::vector<char>& keys, bool bFull) {
    Article* art = file.GetArt();
    TypeArticle* typing = file.GetTypeArt();
    const RECT ref = RefPaper();
    const RECT typed = TypedPaper();
    RECT caret;
    for (const char c : keys) {
        typing->TypeChar(c);
        if (bFull) {
            art->Draw(dc, &ref);
            typing->Draw(dc, &typed);
        } else {
            typing->RedrawLastWord(dc, kRedrawWords);
        }
        typing->GetCaretRect(dc, &caret);
        benchmark::DoNotOptimize(caret);
    }
}

// The session as a host begins it: the page drawn once, the clock started.
void BeginSession(ArticleFile& file, Lesson& lesson) {
    Prepare(file, lesson.text);
    const RECT ref = RefPaper();
    const RECT typed = TypedPaper();
    file.GetArt()->Draw(lesson.dc.get(), &ref);
    file.GetTypeArt()->Draw(lesson.dc.get(), &typed);
    file.GetTypeArt()->StartTyping();
}

void Keystrokes(benchmark::State& state, DcKind kind, bool bFull) {
    Lesson lesson = MakePageLesson(kind);
    OneDesktopDC desktop(lesson.dc.get());
    for (auto _ : state) {
        state.PauseTiming();
        auto file = std::make_unique<ArticleFile>();
        BeginSession(*file, lesson);
        state.ResumeTiming();
        TypeKeys(*file, lesson.dc.get(), lesson.keys, bFull);
        state.PauseTiming();
        file.reset();
        state.ResumeTiming();
    }
    state.counters["keys"] = static_cast<double>(lesson.keys.size());
    state.counters["bytes"] = static_cast<double>(lesson.text.size());
}

}  // namespace

// Its own symbol, so that an instruction counter can count inside it alone.
extern "C" __attribute__((noinline)) void tt_type_lesson(ArticleFile* file, CDC* dc,
                                                         const std::vector<char>* keys,
                                                         bool bFull) {
    TypeKeys(*file, dc, *keys, bFull);
}

int TypeLessonForCount(const std::string& mode) {
    const std::size_t dash = mode.find('-');
    if (dash == std::string::npos) {
        return -1;
    }
    const std::string dcName = mode.substr(0, dash);
    const std::string redraw = mode.substr(dash + 1);
    if ((dcName != "fixed" && dcName != "cairo") || (redraw != "incremental" && redraw != "full")) {
        return -1;
    }
    Lesson lesson = MakePageLesson(dcName == "fixed" ? DcKind::kFixed : DcKind::kCairo);
    OneDesktopDC desktop(lesson.dc.get());
    ArticleFile file;
    BeginSession(file, lesson);
    tt_type_lesson(&file, lesson.dc.get(), &lesson.keys, redraw == "full");
    return static_cast<int>(lesson.keys.size());
}

void RegisterKeystrokeBenchmarks() {
    for (const DcKind kind : {DcKind::kFixed, DcKind::kCairo}) {
        for (const bool bFull : {false, true}) {
            const std::string name =
                std::string("keys/") + DcName(kind) + (bFull ? "/full" : "/incremental");
            auto* b = benchmark::RegisterBenchmark(
                name.c_str(),
                [kind, bFull](benchmark::State& state) { Keystrokes(state, kind, bFull); });
            b->Unit(benchmark::kMillisecond);
            if (bFull) {
                b->Iterations(kind == DcKind::kCairo ? 1 : 3);
            }
        }
    }
}
