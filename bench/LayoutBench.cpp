// Text intake and layout: a lesson taken in and laid out at the paper width, by the reference
// article alone and with the typing article, in a fixed-pitch and in a proportional font; and
// Pango laying out the same text in the same font at the same width.
#include <benchmark/benchmark.h>
#include <pango/pangocairo.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "AllocationCounter.h"
#include "Article/Article.h"
#include "BenchSupport.h"

namespace {

constexpr std::size_t kSizes[] = {1024, 64 * 1024, 1024 * 1024, 8 * 1024 * 1024};
// Large texts take seconds: a few iterations say enough (0: as many as Google Benchmark wants).
int IterationsFor(std::size_t nBytes) {
    return nBytes >= 8 * 1024 * 1024 ? 1 : nBytes >= 1024 * 1024 ? 2 : 0;
}

constexpr int kPaperHeight = 600;

RECT Paper() {
    RECT rc;
    SetRect(&rc, 0, 0, kPaperWidth, kPaperHeight);
    return rc;
}

// Builds the articles from text and lays them out in the desktop context, as a host does:
// the reference article, and the typing article when bTyping. Returns the token count.
int TakeInAndLayOut(ArticleFile& file, const std::string& text, bool bTyping) {
    file.Create(text.c_str(), bTyping ? TRUE : FALSE, tdByLetter);
    const LOGFONTA lf = BenchFont();
    const RECT paper = Paper();
    Article* art = file.GetArt();
    art->SetFont(&lf);
    art->SetPaperRect(&paper);  // lays the tokens out
    if (TypeArticle* typing = file.GetTypeArt()) {
        typing->SetFont(&lf);
        typing->SetPaperRect(&paper);
    }
    return art->GetTokenCount();
}

void OurLayout(benchmark::State& state, const std::string& name, DcKind kind, std::size_t nBytes,
               bool bTyping) {
    const std::string text = MakeLesson(nBytes);
    std::unique_ptr<CDC> dc = MakeDC(kind, kPaperWidth, kPaperHeight);
    OneDesktopDC desktop(dc.get());
    int tokens = 0;
    int lines = 0;
    if (bTyping) {
        // Peak memory of both articles, once, outside the timed loop, after a first layout has
        // loaded the font.
        {
            ArticleFile file;
            TakeInAndLayOut(file, text, false);
        }
        PeakAllocation peak;
        {
            ArticleFile file;
            TakeInAndLayOut(file, text, true);
        }
        NoteFigure(name, "peak_bytes_per_text_byte",
                   static_cast<double>(peak.PeakBytes()) / static_cast<double>(text.size()));
    }
    for (auto _ : state) {
        ArticleFile file;
        tokens = TakeInAndLayOut(file, text, bTyping);
        lines = file.GetArt()->GetLineCount();
        benchmark::DoNotOptimize(lines);
    }
    state.counters["tokens"] = tokens;
    state.counters["lines"] = lines;
    state.counters["bytes"] = static_cast<double>(text.size());
}

void PangoLayOut(benchmark::State& state, std::size_t nBytes) {
    const std::string text = MakeLesson(nBytes);
    PangoFontMap* fontMap = pango_cairo_font_map_new();
    PangoContext* context = pango_font_map_create_context(fontMap);
    // Unhinted outlines with whole-pixel advances, as the Cairo device context measures.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    PangoFontDescription* font = pango_font_description_new();
    pango_font_description_set_family(font, kBenchFontFamily);
    pango_font_description_set_absolute_size(font, kBenchFontPixels * PANGO_SCALE);

    // One layout per paragraph, as editors of long texts use Pango: a single layout of a whole
    // long text grows faster than its length (a megabyte takes seconds).
    std::vector<std::pair<std::size_t, std::size_t>> paragraphs;  // start, length
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        paragraphs.emplace_back(start, end - start);
        start = end + 1;
    }
    int lines = 0;
    for (auto _ : state) {
        PangoLayout* layout = pango_layout_new(context);
        pango_layout_set_font_description(layout, font);
        pango_layout_set_width(layout, kPaperWidth * PANGO_SCALE);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD);
        lines = 0;
        for (const auto& [start, length] : paragraphs) {
            pango_layout_set_text(layout, text.data() + start, static_cast<int>(length));
            lines += pango_layout_get_line_count(layout);  // lays the paragraph out
        }
        benchmark::DoNotOptimize(lines);
        g_object_unref(layout);
    }
    state.counters["lines"] = lines;
    state.counters["bytes"] = static_cast<double>(text.size());

    pango_font_description_free(font);
    g_object_unref(context);
    g_object_unref(fontMap);
}

}  // namespace

void RegisterLayoutBenchmarks() {
    for (const std::size_t nBytes : kSizes) {
        const std::string size = SizeName(nBytes);
        for (const DcKind kind : {DcKind::kFixed, DcKind::kCairo}) {
            for (const bool bTyping : {false, true}) {
                const std::string name =
                    std::string(bTyping ? "layout_both/" : "layout/") + DcName(kind) + "/" + size;
                auto* b = benchmark::RegisterBenchmark(
                    name.c_str(), [name, kind, nBytes, bTyping](benchmark::State& state) {
                        OurLayout(state, name, kind, nBytes, bTyping);
                    });
                b->Unit(benchmark::kMillisecond);
                if (IterationsFor(nBytes) > 0) {
                    b->Iterations(IterationsFor(nBytes));
                }
            }
        }
        const std::string name = "layout/pango/" + size;
        auto* b = benchmark::RegisterBenchmark(
            name.c_str(), [nBytes](benchmark::State& state) { PangoLayOut(state, nBytes); });
        b->Unit(benchmark::kMillisecond);
        if (IterationsFor(nBytes) > 0) {
            b->Iterations(IterationsFor(nBytes));
        }
    }
}
