// The reference article on arbitrary input: text intake, layout, line justification, paging,
// scrolling, geometry and drawing, with the article's invariants checked after each stage.
//
// Input: a header of settings (flags, paper, font, spacing, clip box, current token, scroll
// steps), then the lesson text. A zero byte ends the first text; what follows it is laid out
// again in the same article as a second text.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <string>

#include "Article/Art.h"
#include "FuzzSupport.h"
#include "platform/FixedPitchDC.h"

namespace {

// A few line spacings beyond what a byte scales to: the edges of double and int.
double SpacingFor(std::uint8_t code) {
    const double edges[] = {NAN, INFINITY, -INFINITY, 1e300, static_cast<double>(INT_MAX)};
    return code >= 0xF0 && code <= 0xF4 ? edges[code - 0xF0]
                                        : static_cast<std::int8_t>(code) / 16.0;
}

bool WellFormed(const RECT& rc) {
    return rc.left <= rc.right && rc.top <= rc.bottom;
}

// The text without its white space: what the tokens must hold between them.
std::string Squeezed(const std::string& text) {
    std::string s;
    for (char c : text) {
        if (!Token::IsWhiteSpace(c)) {
            s += c;
        }
    }
    return s;
}

// The longest token text the scanner cuts: a run of non-white bytes, and when a line feed
// follows in the white space behind it, everything up to that line feed.
int LongestSpan(const std::string& text) {
    const size_t n = text.size();
    size_t longest = 0;
    size_t i = 0;
    while (i < n) {
        if (Token::IsWhiteSpace(text[i])) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end + 1 < n && !Token::IsWhiteSpace(text[end + 1])) {
            ++end;
        }
        size_t spanEnd = end;
        for (size_t k = end + 1; k < n && Token::IsWhiteSpace(text[k]); ++k) {
            if (text[k] == '\n') {
                spanEnd = k;
                break;
            }
        }
        longest = std::max(longest, spanEnd - i + 1);
        i = end + 1;
    }
    return longest > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(longest);
}

// Maximal runs of bytes that are not white space.
int CountRuns(const std::string& text) {
    int n = 0;
    bool inRun = false;
    for (char c : text) {
        const bool white = Token::IsWhiteSpace(c) != FALSE;
        if (!white && !inRun) {
            ++n;
        }
        inRun = !white;
    }
    return n;
}

// Intake: the tokens hold the text's non-white bytes, in order, none lost or doubled.
void CheckIntake(Art& art, const std::string& text) {
    const int nTokens = art.GetTokenCount();
    FUZZ_CHECK(nTokens == CountRuns(text));
    std::string joined;
    std::string piece;
    for (int i = 0; i < nTokens; ++i) {
        const Token* token = art.GetTokens()[i];
        FUZZ_CHECK(token != nullptr);
        token->GetString(piece);
        FUZZ_CHECK(!piece.empty() && piece.size() <= static_cast<size_t>(kMaxTokenLength));
        FUZZ_CHECK(static_cast<int>(piece.size()) == token->GetLength());
        joined += piece;
    }
    FUZZ_CHECK(joined == Squeezed(text));
    if (nTokens > 0) {
        long long chars = nTokens - 1LL + static_cast<long long>(joined.size());
        FUZZ_CHECK(art.GetCharCount() == chars);
    }
}

// Layout: lines run from 0 without gaps, each token's rectangle is well formed and sits on
// its line's row, and the line counted from the flags is the line the layout gave.
void CheckLayout(Art& art) {
    const int nLines = art.GetLineCount();
    const int nTokens = art.GetTokenCount();
    FUZZ_CHECK(nLines >= 1);
    FUZZ_CHECK(art.GetLineHeight() >= 0);
    int previousLine = 0;
    for (int i = 0; i < nTokens; ++i) {
        const Token* token = art.GetTokens()[i];
        const int line = token->GetLine();
        FUZZ_CHECK(line >= 0 && line < nLines);
        FUZZ_CHECK(line == previousLine || line == previousLine + 1);
        FUZZ_CHECK(art.GetTokenLine(i) == line);
        previousLine = line;
        // Held rectangles end on the token's last pixel: an empty token's is one pixel short.
        RECT rc;
        token->GetRect(&rc);
        FUZZ_CHECK(static_cast<long long>(rc.left) <= static_cast<long long>(rc.right) + 1);
        FUZZ_CHECK(rc.top <= rc.bottom);
        RECT out;
        art.GetTokenRect(&out, i);
        FUZZ_CHECK(WellFormed(out));
        art.GetTokenDrawRect(&out, i);
        FUZZ_CHECK(WellFormed(out));
        art.GetTokenSpanRect(&out, i);
        (void)art.GetLineRight(line);
    }
    RECT none;
    art.GetTokenRect(&none, nTokens);
    FUZZ_CHECK(IsRectEmpty(&none));
    art.GetTokenRect(&none, -1);
    FUZZ_CHECK(IsRectEmpty(&none));
}

// Drawing: only token texts are written, at most one output per token, and the device
// context gets its font, colour and mode back.
void CheckDraw(Art& art, FixedPitchDC& dc, const RECT& rcPaper, bool bMasked) {
    dc.ClearOutputs();
    const DCFont before = dc.GetFont();
    const COLORREF crBefore = dc.GetTextColor();
    const int nModeBefore = dc.GetBkMode();
    const BOOL drawn = art.Draw(&dc, &rcPaper);
    FUZZ_CHECK(dc.GetTextColor() == crBefore);
    FUZZ_CHECK(dc.GetBkMode() == nModeBefore);
    FUZZ_CHECK(dc.GetFont().bStock == before.bStock);
    const int nTokens = art.GetTokenCount();
    FUZZ_CHECK(static_cast<long long>(dc.Outputs().size()) <= (nTokens > 0 ? nTokens : 0));
    if (!drawn) {
        FUZZ_CHECK(dc.Outputs().empty());
    }
    for (const TextOutput& out : dc.Outputs()) {
        FUZZ_CHECK(out.text.size() <= static_cast<size_t>(kMaxTokenLength));
        if (bMasked) {
            FUZZ_CHECK(out.text.find_first_not_of('*') == std::string::npos);
        }
    }
}

void RunText(Art& art, FuzzInput& in, const std::string& text) {
    const std::uint8_t flags = in.Byte();
    RECT paper;
    paper.left = in.I16();
    paper.top = in.I16();
    paper.right = paper.left + in.I16();
    paper.bottom = paper.top + in.I16();
    if (in.Flag(flags, 6)) {
        // Extreme papers, far beyond any screen.
        paper.right = INT_MAX;
        paper.bottom = INT_MAX;
        paper.left = in.Flag(flags, 7) ? INT_MIN : paper.left;
    }
    LOGFONTA lf{};
    lf.lfHeight = static_cast<std::int8_t>(in.Byte());
    lf.lfWidth = in.Byte();
    const double spacing = SpacingFor(in.Byte());
    const int current = static_cast<std::int8_t>(in.Byte());
    const int scroll1 = static_cast<std::int8_t>(in.Byte());
    const int scroll2 = static_cast<std::int8_t>(in.Byte());
    const std::int16_t clipTop = in.I16();
    const std::uint16_t clipHeight = in.U16();

    const bool bJustify = in.Flag(flags, 0);
    const bool bMasked = in.Flag(flags, 2);

    // Intake. A refused text leaves a half-filled article, which must still lay out and draw.
    const BOOL accepted = art.SetText(text.c_str());
    FUZZ_CHECK(accepted == (LongestSpan(text) <= kMaxTokenLength ? TRUE : FALSE));
    if (accepted) {
        CheckIntake(art, text);
    }

    // Settings.
    art.SetJustify(bJustify ? TRUE : FALSE);
    art.SetHighlightCurrent(in.Flag(flags, 1) ? TRUE : FALSE);
    art.SetMasked(bMasked ? TRUE : FALSE);
    art.SetVisible(in.Flag(flags, 3) ? FALSE : TRUE);  // bit 3 hides the article
    if (in.Flag(flags, 4)) {
        art.SetFont(&lf);
    }
    art.SetLineSpacing(spacing);
    art.SetCurrentToken(current);

    // Layout: at once on the desktop's device context, then on the caller's.
    if (in.Flag(flags, 5)) {
        art.SetPaperRect(&paper);
    }
    FixedPitchDC dc;
    const BOOL calculated = art.Recalculate(&dc);
    if (in.Flag(flags, 5)) {
        FUZZ_CHECK(calculated == (IsRectEmpty(&paper) ? FALSE : TRUE));
    }
    if (calculated) {
        CheckLayout(art);
        // Justifying each line again keeps the layout well formed.
        const int nLines = art.GetLineCount();
        for (int line = 0; line < nLines && line < 64; ++line) {
            BOOL overflow = TRUE;
            art.RecalculateLine(&dc, line, &overflow);
        }
        BOOL overflow = FALSE;
        FUZZ_CHECK(!art.RecalculateLine(&dc, nLines + 1, &overflow));
        FUZZ_CHECK(!art.RecalculateLine(&dc, -1, &overflow));
        CheckLayout(art);
    }

    // Paging and scrolling.
    (void)art.GetPageLineCount();
    (void)art.GetPageCount();
    (void)art.GetScrollBottomLine();
    art.Scroll(scroll1);
    art.Scroll(scroll2);
    if (calculated) {
        FUZZ_CHECK(art.GetScrollTopLine() >= 0);
    }

    // Drawing, first unclipped, then into a band of the output. A visible article lays itself
    // out on a paper it has not seen before.
    const bool bVisible = !in.Flag(flags, 3);
    RECT had;
    art.GetPaperRect(&had);
    CheckDraw(art, dc, paper, bMasked);
    if (bVisible && !IsRectEmpty(&paper) && !EqualRect(&had, &paper)) {
        CheckLayout(art);
    }
    RECT clip{INT_MIN / 4, clipTop, INT_MAX / 4, clipTop + clipHeight};
    dc.SetClipBox(clip);
    CheckDraw(art, dc, paper, bMasked);
}

CountingReportSink g_reports;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    std::string header = in.Take(16);
    const std::string rest = in.Rest();
    const size_t zero = rest.find('\0');
    const std::string first = rest.substr(0, zero);
    const std::string second = zero == std::string::npos ? std::string() : rest.substr(zero + 1);

    Art art;
    FUZZ_CHECK(art.GetTokenCount() == -1);
    FUZZ_CHECK(art.GetLineCount() == -1);
    FuzzInput settings(reinterpret_cast<const std::uint8_t*>(header.data()), header.size());
    RunText(art, settings, first);
    if (zero != std::string::npos) {
        // The same article takes a second text; the settings are read again from the start.
        FuzzInput again(reinterpret_cast<const std::uint8_t*>(header.data()), header.size());
        RunText(art, again, second.substr(0, second.find('\0')));
    }
    return 0;
}
