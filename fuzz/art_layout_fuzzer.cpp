// The reference article on arbitrary input: text intake, layout, line justification, paging,
// scrolling, geometry and drawing, with the article's invariants checked after each stage.
//
// Input: 16 bytes of settings (flags, paper, font, spacing, current token, scroll steps, clip
// band), then the lesson text. A zero byte ends the first text; what follows it is laid out
// again in the same article as a second text, with the same settings.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <string>

#include "Article/Art.h"
#include "FuzzSupport.h"
#include "diagnostics/ReportCapture.h"
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

// Intake: the tokens hold the text's bytes other than white space, in order, none lost or
// doubled, each token at most the longest a token may be.
void CheckIntake(Art& art, const std::string& text) {
    std::string joined;
    std::string piece;
    for (int i = 0; i < art.GetTokenCount(); ++i) {
        art.GetTokens()[i]->GetString(piece);
        FUZZ_CHECK(!piece.empty() && piece.size() <= static_cast<size_t>(kMaxTokenLength));
        joined += piece;
    }
    std::string squeezed;
    for (char c : text) {
        if (!Token::IsWhiteSpace(c)) {
            squeezed += c;
        }
    }
    FUZZ_CHECK(joined == squeezed);
}

// Layout: lines run from 0 without gaps, and each token's rectangles are well formed.
void CheckLayout(Art& art) {
    const int nLines = art.GetLineCount();
    const int nTokens = art.GetTokenCount();
    FUZZ_CHECK(nLines >= 1 && art.GetLineHeight() >= 0);
    int previousLine = 0;
    for (int i = 0; i < nTokens; ++i) {
        const int line = art.GetTokens()[i]->GetLine();
        FUZZ_CHECK(line >= 0 && line < nLines && art.GetTokenLine(i) == line);
        FUZZ_CHECK(line == previousLine || line == previousLine + 1);
        previousLine = line;
        RECT rc;
        art.GetTokenRect(&rc, i);
        FUZZ_CHECK(WellFormed(rc));
        art.GetTokenDrawRect(&rc, i);
        FUZZ_CHECK(WellFormed(rc));
        art.GetTokenSpanRect(&rc, i);
        (void)art.GetLineRight(line);
    }
    RECT none;
    art.GetTokenRect(&none, nTokens);
    FUZZ_CHECK(IsRectEmpty(&none));
}

// Drawing: only token texts are written, at most one output per token, and the device context
// gets its colour and mode back.
void CheckDraw(Art& art, FixedPitchDC& dc, const RECT& rcPaper, bool bMasked) {
    dc.ClearOutputs();
    const COLORREF crBefore = dc.GetTextColor();
    const int nModeBefore = dc.GetBkMode();
    const BOOL drawn = art.Draw(&dc, &rcPaper);
    FUZZ_CHECK(dc.GetTextColor() == crBefore && dc.GetBkMode() == nModeBefore);
    FUZZ_CHECK(static_cast<long long>(dc.Outputs().size()) <= std::max(art.GetTokenCount(), 0));
    FUZZ_CHECK(drawn || dc.Outputs().empty());
    for (const TextOutput& out : dc.Outputs()) {
        FUZZ_CHECK(out.text.size() <= static_cast<size_t>(kMaxTokenLength));
        FUZZ_CHECK(!bMasked || out.text.find_first_not_of('*') == std::string::npos);
    }
}

void RunText(Art& art, FuzzInput in, const std::string& text) {
    const std::uint8_t flags = in.Byte();
    RECT paper;
    paper.left = in.I16();
    paper.top = in.I16();
    paper.right = paper.left + in.I16();
    paper.bottom = paper.top + in.I16();
    if (flags & 0x40) {
        // Extreme papers, far beyond any screen.
        paper.right = INT_MAX;
        paper.bottom = INT_MAX;
        paper.left = (flags & 0x80) ? INT_MIN : paper.left;
    }
    LOGFONTA lf{};
    lf.lfHeight = static_cast<std::int8_t>(in.Byte());
    lf.lfWidth = in.Byte();
    const double spacing = SpacingFor(in.Byte());
    const int current = static_cast<std::int8_t>(in.Byte());
    const int scroll1 = static_cast<std::int8_t>(in.Byte());
    const int scroll2 = static_cast<std::int8_t>(in.Byte());
    const int clipTop = in.I16();
    const int clipHeight = static_cast<std::uint16_t>(in.I16());
    const bool bMasked = (flags & 0x04) != 0;
    const bool bVisible = (flags & 0x08) == 0;

    // Intake. A refused text leaves a half-filled article, which must still lay out and draw.
    if (art.SetText(text.c_str())) {
        CheckIntake(art, text);
    }
    art.SetJustify((flags & 0x01) ? TRUE : FALSE);
    art.SetHighlightCurrent((flags & 0x02) ? TRUE : FALSE);
    art.SetMasked(bMasked ? TRUE : FALSE);
    art.SetVisible(bVisible ? TRUE : FALSE);
    if (flags & 0x10) {
        art.SetFont(&lf);
    }
    art.SetLineSpacing(spacing);
    art.SetCurrentToken(current);

    // Layout: at once on the desktop's device context, then on the caller's.
    if (flags & 0x20) {
        art.SetPaperRect(&paper);
    }
    FixedPitchDC dc;
    const BOOL calculated = art.Recalculate(&dc);
    FUZZ_CHECK(!(flags & 0x20) || calculated == (IsRectEmpty(&paper) ? FALSE : TRUE));
    if (calculated) {
        CheckLayout(art);
        // Justifying each line again keeps the layout well formed.
        const int nLines = art.GetLineCount();
        BOOL overflow = TRUE;
        for (int line = 0; line < nLines && line < 64; ++line) {
            art.RecalculateLine(&dc, line, &overflow);
        }
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
    FUZZ_CHECK(!calculated || art.GetScrollTopLine() >= 0);

    // Drawing, first unclipped, then into a band of the output. A visible article lays itself
    // out on a paper it has not seen before.
    RECT had;
    art.GetPaperRect(&had);
    CheckDraw(art, dc, paper, bMasked);
    if (bVisible && !IsRectEmpty(&paper) && !EqualRect(&had, &paper)) {
        CheckLayout(art);
    }
    dc.SetClipBox(RECT{INT_MIN / 4, clipTop, INT_MAX / 4, clipTop + clipHeight});
    CheckDraw(art, dc, paper, bMasked);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ScopedReportCapture reports;
    FuzzInput in(AsString(data, size));
    const FuzzInput settings(in.Take(16));
    const std::string rest = in.Take(size);
    const size_t zero = rest.find('\0');
    Art art;
    RunText(art, settings, rest.substr(0, zero));
    if (zero != std::string::npos) {
        const std::string second = rest.substr(zero + 1);
        RunText(art, settings, second.substr(0, second.find('\0')));
    }
    return 0;
}
