#include "ProgressPicture.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <ostream>

#include "Commands.h"
#include "Encoding.h"
#include "History.h"
#include "KeyboardLayout.h"
#include "Picture.h"

namespace {

constexpr int kExitFailed = 1;

constexpr int kMargin = 40;
constexpr int kTitleY = 22;
constexpr int kSummaryY = 60;
constexpr LONG kTitleEm = 24;
constexpr LONG kLabelEm = 13;
constexpr LONG kSmallEm = 11;
constexpr LONG kKeyEm = 16;

// The two charts side by side, and the plot area inside each.
constexpr int kChartTop = 100;
constexpr int kChartBottom = 410;
constexpr int kChartGap = 20;
constexpr int kPlotLeft = 56;
constexpr int kPlotRight = 20;
constexpr int kPlotTop = 44;
constexpr int kPlotBottom = 32;

constexpr COLORREF kLessonLine = RGB(160, 182, 220);
constexpr COLORREF kAverageLine = RGB(232, 118, 30);
constexpr COLORREF kGrid = RGB(228, 228, 224);
constexpr double kLessonLineWidth = 1.5;
constexpr double kAverageLineWidth = 3.0;
constexpr double kDotRadius = 3.5;

// The keyboard: five rows of keys, each about 15 key units wide.
constexpr int kKeyRows = 5;
constexpr int kKeyboardTitleY = 434;
constexpr int kKeyboardTop = 466;
constexpr int kKeyUnit = 72;
constexpr int kKeyGap = 6;
constexpr int kRowPitch = 64;
constexpr int kSpeedBar = 10;
constexpr double kKeyCorner = 6;
constexpr COLORREF kNoData = RGB(238, 238, 236);
constexpr COLORREF kKeyEdge = RGB(150, 150, 146);
constexpr COLORREF kWeakAccuracy = RGB(170, 20, 20);
constexpr COLORREF kWeakSpeed = RGB(20, 60, 170);
constexpr int kWeakFrame = 3;
constexpr int kBookY = 920;
// Accuracy colours run from red at this percentage and below to green at 100.
constexpr double kWorstAccuracy = 80.0;

constexpr double kPi = std::numbers::pi;

using CairoPtr = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

CairoPtr CairoOn(CairoDC& dc) {
    return CairoPtr(cairo_create(dc.GetSurface()), &cairo_destroy);
}

void SetColor(cairo_t* cr, COLORREF c) {
    cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

COLORREF Mix(COLORREF a, COLORREF b, double t) {
    auto channel = [t](int x, int y) {
        return static_cast<BYTE>(std::lround(x + (y - x) * std::clamp(t, 0.0, 1.0)));
    };
    return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
               channel(GetBValue(a), GetBValue(b)));
}

// The heat map's scale: 0 good (green), through yellow, to 1 bad (red).
COLORREF Heat(double badness) {
    constexpr COLORREF kGood = RGB(120, 200, 120);
    constexpr COLORREF kMiddle = RGB(250, 214, 90);
    constexpr COLORREF kBad = RGB(236, 96, 84);
    return badness < 0.5 ? Mix(kGood, kMiddle, badness * 2) : Mix(kMiddle, kBad, badness * 2 - 1);
}

// The smallest of 1, 2, 5, 10, 20, 50 ... that cuts span into at most maxSteps steps.
double NiceStep(double span, int maxSteps) {
    double step = 1;
    for (int i = 0; span / step > maxSteps; ++i) {
        step *= i % 3 == 1 ? 2.5 : 2;
    }
    return step;
}

std::string Number(double v) {
    return std::to_string(static_cast<long long>(std::lround(v)));
}

// Moving average over the lesson and the kAverageOf - 1 before it.
std::vector<double> MovingAverage(const std::vector<double>& v) {
    std::vector<double> average;
    double sum = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        sum += v[i];
        if (i >= ProgressPicture::kAverageOf) {
            sum -= v[i - ProgressPicture::kAverageOf];
        }
        average.push_back(sum / static_cast<double>(std::min<size_t>(
                                    i + 1, static_cast<size_t>(ProgressPicture::kAverageOf))));
    }
    return average;
}

struct Point {
    double x;
    double y;
};

// Lesson i of n with value v, in whole pixels.
Point PointOf(const ProgressPicture::Chart& c, size_t i, size_t n, double v) {
    const double width = c.plot.right - c.plot.left;
    const double height = c.plot.bottom - c.plot.top;
    const double x =
        n == 1 ? c.plot.left + width / 2
               : c.plot.left + width * static_cast<double>(i) / static_cast<double>(n - 1);
    const double y = c.plot.bottom - height * (v - c.bottomValue) / (c.topValue - c.bottomValue);
    return Point{std::round(x), std::round(y)};
}

void Polyline(cairo_t* cr, const ProgressPicture::Chart& c, const std::vector<double>& values,
              COLORREF color, double width) {
    if (values.size() < 2) {
        return;
    }
    for (size_t i = 0; i < values.size(); ++i) {
        const Point p = PointOf(c, i, values.size(), values[i]);
        // Pixel centres, so that the dots' centres are whole pixels.
        cairo_line_to(cr, p.x + 0.5, p.y + 0.5);
    }
    SetColor(cr, color);
    cairo_set_line_width(cr, width);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

// The figures of a key: its characters' records added up.
CCharTrack KeyTrack(const CLessonTrack& sum, const std::string& bytes) {
    CCharTrack track;
    for (char c : bytes) {
        track += sum.m_aCharTrack[static_cast<unsigned char>(c)];
    }
    return track;
}

// The byte of a character as the statistics name it ("space", "enter", "é"); 0 for none.
char ByteOf(const std::string& printable) {
    static const std::map<std::string, char> kNamed = {
        {"space", ' '}, {"enter", '\n'}, {"tab", '\t'}};
    if (const auto named = kNamed.find(printable); named != kNamed.end()) {
        return named->second;
    }
    size_t i = 0;
    const int b = printable.empty() ? -1 : CodePointToSingleByte(DecodeUtf8(printable, i));
    return b > 0 && i == printable.size() ? static_cast<char>(b) : '\0';
}

}  // namespace

ProgressPicture::KeyFigures::KeyFigures(const Keyboard& keyboard) {
    // Each byte of the code page goes to the keys that type it: one for most, the dead key
    // and the base for a composed character.
    // The lesson record has no slot for the byte 255 (Windows-1251's я): it is on no key here.
    bytes.resize(keyboard.Keys().size());
    for (int b = 1; b < kCharTrackSlots; ++b) {
        const char32_t cp = CurrentCodePage().ToUnicode(static_cast<unsigned char>(b));
        if (cp == kNoCharacter || (cp < 0x20 && cp != '\t' && cp != '\n')) {
            continue;
        }
        std::string character;
        AppendUtf8(character, cp);
        for (const KeyPress& press : keyboard.PressesFor(character)) {
            std::string& held = bytes[static_cast<size_t>(press.key)];
            if (held.find(static_cast<char>(b)) == std::string::npos) {
                held += static_cast<char>(b);
            }
        }
    }
}

template <typename Visit>
void ProgressPicture::ForEachKey(Visit visit) const {
    const double left = (kWidth - m_keyboard.Width() * kKeyUnit) / 2;
    const std::vector<KeyCap>& keys = m_keyboard.Keys();
    for (size_t i = 0; i < keys.size(); ++i) {
        const KeyCap& key = keys[i];
        visit(key, m_keys.bytes[i], left + key.x * kKeyUnit, kKeyboardTop + key.row * kRowPitch,
              key.width * kKeyUnit - kKeyGap, kRowPitch - kKeyGap);
    }
}

namespace {

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

std::string WeakList(const std::vector<CharRow>& rows, bool bySpeed) {
    std::string list;
    for (const CharRow& r : rows) {
        list += (list.empty() ? "" : "   \xC2\xB7   ") + r.character + "  " +
                (bySpeed ? std::to_string(r.msPerKey) + " ms" : std::to_string(r.accuracy) + "%");
    }
    return list;
}

}  // namespace

ProgressPicture::ProgressPicture(const CLessonTrackFile& lessons,
                                 const std::map<unsigned short, std::string>& names,
                                 const Keyboard& keyboard, const KeyLog* keyLog)
    : m_keyboard(keyboard), m_keys(keyboard) {
    if (keyLog) {
        m_slowPairs = SlowestPairs(*keyLog, kWeakest + 2);
    }
    for (int i = 0; i < lessons.GetLessonCount(); ++i) {
        if (const CLessonTrack* t = lessons.GetLessonTrack(i)) {
            m_rows.push_back(RowOf(*t, names));
            m_sum += *t;
            m_rows.back().consistency = LessonConsistency(keyLog, lessons, i);
        }
    }
    WeakestCharacters(m_sum, kWeakest, &m_slowest, &m_leastAccurate);
    m_keyChanges = KeyChanges(lessons, kWeakest);
    // Only characters weak in earnest are named: typed wrong at least once, or slower than
    // the mean of all characters.
    const int count = m_sum.GetCharTrackCount(0);
    std::vector<CCharTrack> chars(static_cast<size_t>(count));
    m_sum.RetrieveCharTrack(chars.data(), count, 0);
    long long keys = 0;
    long long ms = 0;
    for (const CCharTrack& c : chars) {
        keys += c.m_nKeys;
        ms += c.m_nTime;
    }
    const long long meanMs = keys > 0 ? ms / keys : 0;
    std::erase_if(m_leastAccurate, [](const CharRow& r) { return r.errors == 0; });
    std::erase_if(m_slowest, [meanMs](const CharRow& r) { return r.msPerKey <= meanMs; });

    const int half = (kWidth - 2 * kMargin - kChartGap) / 2;
    for (Chart* chart : {&m_speed, &m_accuracy}) {
        const int left = chart == &m_speed ? kMargin : kMargin + half + kChartGap;
        SetRect(&chart->plot, left + kPlotLeft, kChartTop + kPlotTop, left + half - kPlotRight,
                kChartBottom - kPlotBottom);
    }
    int fastest = 0;
    int worst = 100;
    for (const LessonRow& r : m_rows) {
        fastest = std::max(fastest, r.speed);
        worst = std::min(worst, r.accuracy);
    }
    // Speed from 0 to a round number above the fastest lesson; accuracy from a round
    // percentage below the worst lesson (at most 90) to 100.
    m_dSpeedStep = NiceStep(std::max(fastest, 1) * 1.1, 6);
    m_speed.bottomValue = 0;
    m_speed.topValue = std::ceil(std::max(fastest, 1) * 1.1 / m_dSpeedStep) * m_dSpeedStep;
    const double lowest = std::clamp(std::floor((worst - 1) / 10.0) * 10.0, 0.0, 90.0);
    m_dAccuracyStep = NiceStep(100.0 - lowest, 6);
    m_accuracy.bottomValue =
        100.0 - std::ceil((100.0 - lowest) / m_dAccuracyStep) * m_dAccuracyStep;
    m_accuracy.topValue = 100;
}

void ProgressPicture::Draw(CairoDC& dc) const {
    RECT all;
    SetRect(&all, 0, 0, dc.GetWidth(), dc.GetHeight());
    dc.FillRect(all, picture::kDesk);
    DrawHeader(dc);
    std::vector<double> speeds;
    std::vector<double> accuracies;
    for (const LessonRow& r : m_rows) {
        speeds.push_back(r.speed);
        accuracies.push_back(r.accuracy);
    }
    DrawChart(dc, m_speed, "Speed by lesson, characters per minute", speeds, m_dSpeedStep);
    DrawChart(dc, m_accuracy, "Accuracy by lesson, % of keystrokes right", accuracies,
              m_dAccuracyStep);
    DrawKeyboard(dc);
    DrawBook(dc);
}

void ProgressPicture::DrawBook(CairoDC& dc) const {
    if (m_books.empty()) {
        return;
    }
    const BookProgress& last = m_books.back();
    const int x =
        kMargin + picture::Text(dc, kMargin, kBookY, "Book:  ", picture::Font(kLabelEm, FW_BOLD),
                                picture::kInk);
    const size_t others = m_books.size() - 1;
    picture::Text(
        dc, x, kBookY,
        last.title + ": " + SummarizeBook(last) +
            (others ? "   (and " + std::to_string(others) + " more: typetutor stats)" : ""),
        picture::Font(kLabelEm), picture::kInk);
}

void ProgressPicture::DrawHeader(CairoDC& dc) const {
    picture::Text(dc, kMargin, kTitleY, "typetutor - progress", picture::Font(kTitleEm, FW_BOLD),
                  picture::kInk);
    if (m_rows.empty()) {
        return;
    }
    const LessonRow& first = m_rows.front();
    const LessonRow& last = m_rows.back();
    int best = 0;
    for (const LessonRow& r : m_rows) {
        best = std::max(best, r.speed);
    }
    const std::string summary =
        std::to_string(m_rows.size()) + (m_rows.size() == 1 ? " lesson" : " lessons") + ", from " +
        first.date.substr(0, 10) + " to " + last.date.substr(0, 10) +
        "      latest: " + last.lesson + ", " + std::to_string(last.speed) + " cpm (" +
        std::to_string(last.wordSpeed) + " wpm, net " + std::to_string(last.netWordSpeed) + "), " +
        std::to_string(last.accuracy) + "% right" +
        (last.consistency >= 0 ? ", " + std::to_string(last.consistency) + "% consistent" : "") +
        "      best: " + std::to_string(best) + " cpm";
    picture::Text(dc, kMargin, kSummaryY, summary, picture::Font(kLabelEm), picture::kMuted);
}

void ProgressPicture::DrawChart(CairoDC& dc, const Chart& chart, const std::string& title,
                                const std::vector<double>& values, double tickStep) const {
    const LOGFONTA small = picture::Font(kSmallEm);
    const RECT& plot = chart.plot;
    RECT box;
    SetRect(&box, plot.left - kPlotLeft, kChartTop, plot.right + kPlotRight, kChartBottom);
    dc.FillRect(box, picture::kSheet);
    picture::Frame(dc, box, picture::kRule);
    picture::Text(dc, box.left + 14, box.top + 12, title, picture::Font(kLabelEm, FW_BOLD),
                  picture::kInk);

    // The legend, top right: a dot for each lesson, a thick line for the average.
    const std::string averageLabel = "average of " + std::to_string(kAverageOf);
    const int averageWidth = picture::TextSize(dc, averageLabel, small).cx;
    const int legendY = box.top + 14;
    int x = box.right - 14 - averageWidth;
    picture::Text(dc, x, legendY, averageLabel, small, picture::kMuted);
    RECT swatch;
    SetRect(&swatch, x - 24, legendY + 6, x - 6, legendY + 9);
    dc.FillRect(swatch, kAverageLine);
    x = swatch.left - 14 - picture::TextSize(dc, "each lesson", small).cx;
    picture::Text(dc, x, legendY, "each lesson", small, picture::kMuted);

    CairoPtr cairo = CairoOn(dc);
    cairo_t* cr = cairo.get();
    cairo_arc(cr, x - 10.5, legendY + 8, kDotRadius, 0, 2 * kPi);
    SetColor(cr, kDotColor);
    cairo_fill(cr);

    // Grid lines and their values on the left; lesson numbers along the foot.
    const int labelHeight = picture::TextSize(dc, "0", small).cy;
    for (double v = chart.bottomValue; v <= chart.topValue + tickStep / 2; v += tickStep) {
        const Point p = PointOf(chart, 0, 2, v);
        RECT line;
        SetRect(&line, plot.left, static_cast<int>(p.y), plot.right, static_cast<int>(p.y) + 1);
        dc.FillRect(line, v == chart.bottomValue ? picture::kRule : kGrid);
        const std::string text = Number(v);
        picture::Text(dc, plot.left - 8 - picture::TextSize(dc, text, small).cx,
                      static_cast<int>(p.y) - labelHeight / 2, text, small, picture::kMuted);
    }
    const size_t n = values.size();
    // Lesson 1, then every so many: 5, 10, 15 ...
    const size_t every = static_cast<size_t>(NiceStep(static_cast<double>(n), 8));
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && (i + 1) % every != 0) {
            continue;
        }
        const Point p = PointOf(chart, i, n, chart.bottomValue);
        const std::string text = std::to_string(i + 1);
        picture::Text(dc, static_cast<int>(p.x) - picture::TextSize(dc, text, small).cx / 2,
                      plot.bottom + 8, text, small, picture::kMuted);
    }

    Polyline(cr, chart, values, kLessonLine, kLessonLineWidth);
    Polyline(cr, chart, MovingAverage(values), kAverageLine, kAverageLineWidth);
    SetColor(cr, kDotColor);
    for (size_t i = 0; i < n; ++i) {
        const Point p = PointOf(chart, i, n, values[i]);
        cairo_new_sub_path(cr);
        cairo_arc(cr, p.x + 0.5, p.y + 0.5, kDotRadius, 0, 2 * kPi);
    }
    cairo_fill(cr);
}

void ProgressPicture::DrawKeyboard(CairoDC& dc) const {
    picture::Text(dc, kMargin, kKeyboardTitleY,
                  "Keys: the colour says how accurate, the bar at the foot how fast",
                  picture::Font(kLabelEm, FW_BOLD), picture::kInk);

    // Speeds are coloured between the learner's own fastest and slowest key.
    int fastest = 0;
    int slowest = 0;
    ForEachKey([&](const KeyCap&, const std::string& bytes, double, double, double, double) {
        const CCharTrack t = KeyTrack(m_sum, bytes);
        if (t.m_nKeys > 0) {
            const int ms = t.m_nTime / t.m_nKeys;
            fastest = fastest == 0 ? ms : std::min(fastest, ms);
            slowest = std::max(slowest, ms);
        }
    });

    CairoPtr cairo = CairoOn(dc);
    cairo_t* cr = cairo.get();
    const LOGFONTA keyFont = picture::Font(kKeyEm, FW_BOLD);
    const LOGFONTA small = picture::Font(kSmallEm);
    ForEachKey([&](const KeyCap& key, const std::string& bytes, double x, double top, double w,
                   double h) {
        const CCharTrack t = KeyTrack(m_sum, bytes);
        const bool known = t.m_nKeys > 0;
        const int accuracy =
            known ? static_cast<int>(100.0 * (t.m_nKeys - t.m_nErrors) / t.m_nKeys + 0.5) : 0;
        const int ms = known ? t.m_nTime / t.m_nKeys : 0;

        cairo_save(cr);
        RoundedRect(cr, x, top, w, h, kKeyCorner);
        cairo_clip_preserve(cr);
        SetColor(cr, known ? Heat((100.0 - accuracy) / (100.0 - kWorstAccuracy)) : kNoData);
        cairo_fill(cr);
        if (known) {
            const double speed =
                slowest > fastest ? static_cast<double>(ms - fastest) / (slowest - fastest) : 0;
            cairo_rectangle(cr, x, top + h - kSpeedBar, w, kSpeedBar);
            SetColor(cr, Heat(speed));
            cairo_fill(cr);
        }
        cairo_restore(cr);
        RoundedRect(cr, x + 0.5, top + 0.5, w - 1, h - 1, kKeyCorner);
        SetColor(cr, kKeyEdge);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);

        // The weakest keys: framed in red for accuracy, inside that in blue for speed.
        auto weak = [&bytes](const std::vector<CharRow>& rows) {
            return std::any_of(rows.begin(), rows.end(), [&bytes](const CharRow& r) {
                const char c = ByteOf(r.character);
                return c != '\0' && bytes.find(c) != std::string::npos;
            });
        };
        double inset = kWeakFrame / 2.0;
        for (const auto& [isWeak, color] : {std::pair{weak(m_leastAccurate), kWeakAccuracy},
                                            std::pair{weak(m_slowest), kWeakSpeed}}) {
            if (isWeak) {
                RoundedRect(cr, x + inset, top + inset, w - 2 * inset, h - 2 * inset, kKeyCorner);
                SetColor(cr, color);
                cairo_set_line_width(cr, kWeakFrame);
                cairo_stroke(cr);
                inset += kWeakFrame;
            }
        }

        const std::string label = CapLabel(key);
        const int labelWidth = picture::TextSize(dc, label, keyFont).cx;
        picture::Text(dc, static_cast<int>(x + (w - labelWidth) / 2), static_cast<int>(top) + 8,
                      label, keyFont, picture::kInk);
        if (known) {
            const std::string figures = std::to_string(accuracy) + "% " + std::to_string(ms);
            const int figuresWidth = picture::TextSize(dc, figures, small).cx;
            picture::Text(dc, static_cast<int>(x + (w - figuresWidth) / 2),
                          static_cast<int>(top) + 30, figures, small, picture::kInk);
        }
    });

    // The scales and the weakest keys by name.
    const LOGFONTA label = picture::Font(kLabelEm);
    int y = kKeyboardTop + kKeyRows * kRowPitch + 10;
    // A strip of the heat colours from good to bad, or from bad to good; returns its width.
    auto strip = [&dc, y](int x, bool goodFirst) {
        constexpr int kCells = 21;
        constexpr int kCell = 6;
        for (int i = 0; i < kCells; ++i) {
            const double badness = static_cast<double>(i) / (kCells - 1);
            RECT cell;
            SetRect(&cell, x + i * kCell, y + 1, x + (i + 1) * kCell, y + 13);
            dc.FillRect(cell, Heat(goodFirst ? badness : 1.0 - badness));
        }
        return kCells * kCell;
    };
    int x = kMargin;
    x += picture::Text(dc, x, y, "accuracy " + Number(kWorstAccuracy) + "% or less", small,
                       picture::kMuted) +
         8;
    x += strip(x, false) + 8;
    x += picture::Text(dc, x, y, "100%", small, picture::kMuted) + 40;
    x += picture::Text(dc, x, y, "speed " + std::to_string(fastest) + " ms", small,
                       picture::kMuted) +
         8;
    x += strip(x, true) + 8;
    picture::Text(dc, x, y, std::to_string(slowest) + " ms per key", small, picture::kMuted);

    y += 28;
    x = kMargin + picture::Text(dc, kMargin, y,
                                "Least accurate:  ", picture::Font(kLabelEm, FW_BOLD),
                                kWeakAccuracy);
    picture::Text(dc, x, y, WeakList(m_leastAccurate, false), label, picture::kInk);
    y += 24;
    x = kMargin +
        picture::Text(dc, kMargin, y, "Slowest:  ", picture::Font(kLabelEm, FW_BOLD), kWeakSpeed);
    picture::Text(dc, x, y, WeakList(m_slowest, true), label, picture::kInk);
    if (!m_slowPairs.empty()) {
        y += 24;
        std::string pairs;
        for (const PairRow& p : m_slowPairs) {
            pairs += (pairs.empty() ? "" : "   \xC2\xB7   ") + p.pair + "  " +
                     std::to_string(p.ms) + " ms";
        }
        x = kMargin + picture::Text(dc, kMargin, y,
                                    "Slowest pairs:  ", picture::Font(kLabelEm, FW_BOLD),
                                    kWeakSpeed);
        picture::Text(dc, x, y, pairs, label, picture::kInk);
    }
    if (!m_keyChanges.empty()) {
        y += 24;
        std::string changes;
        for (const KeyChangeRow& k : m_keyChanges) {
            changes += (changes.empty() ? "" : "   \xC2\xB7   ") + k.key + "  " +
                       std::to_string(k.accuracy) + "% " + std::to_string(k.msPerKey) + " ms" +
                       (k.hasBefore ? " (was " + std::to_string(k.accuracyBefore) + "% " +
                                          std::to_string(k.msPerKeyBefore) + " ms)"
                                    : " (new)");
        }
        x = kMargin + picture::Text(dc, kMargin, y, "Weakest keys against a week ago:  ",
                                    picture::Font(kLabelEm, FW_BOLD), kWeakAccuracy);
        picture::Text(dc, x, y, changes, label, picture::kInk);
    }
}

bool ProgressPicture::KeyRect(char c, RECT* rc) const {
    bool found = false;
    ForEachKey(
        [&](const KeyCap&, const std::string& bytes, double x, double top, double w, double h) {
            if (!found && c != '\0' && bytes.find(c) != std::string::npos) {
                SetRect(rc, static_cast<int>(x), static_cast<int>(top), static_cast<int>(x + w),
                        static_cast<int>(top + h));
                found = true;
            }
        });
    return found;
}

int RunReport(const Options& options, std::ostream& out, std::ostream& err) {
    History history(options.dataDir);
    if (!OpenHistory(history, err)) {
        return kExitFailed;
    }
    Keyboard keyboard = Keyboard::UsQwerty();
    std::string error;
    if (!options.layout.empty() && !ReadKeyboardLayout(options.layout, &keyboard, &error)) {
        err << "typetutor: " << error << "\n";
        return kExitFailed;
    }
    KeyLog keyLog;
    if (!history.LoadKeys(&keyLog, &error)) {
        err << "typetutor: " << error << "\n";
        return kExitFailed;
    }
    ProgressPicture progress(history.Lessons(), history.LessonNames(), keyboard, &keyLog);
    progress.SetBooks(LoadBookProgress(options.dataDir));
    if (progress.IsEmpty()) {
        err << "typetutor: no lessons yet, so no progress to draw. Type one with: typetutor "
               "LESSON\n";
        return kExitFailed;
    }
    CairoDC dc(ProgressPicture::kWidth, ProgressPicture::kHeight, picture::kDesk);
    dc.SetCodePage(CurrentCodePage().Characters());
    progress.Draw(dc);
    if (!dc.WritePng(options.outFile)) {
        err << "typetutor: " << options.outFile << ": cannot be written\n";
        return kExitFailed;
    }
    out << options.outFile << ": " << history.Lessons().GetLessonCount() << " lessons\n";
    return 0;
}
