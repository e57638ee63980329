// The typed token's judgement on arbitrary typed and reference pairs: matching (finished or
// not), letter by letter and all correct, then drawing and taking characters back.
//
// Input: a flags byte, the reference length, the reference bytes, then the typed bytes.
#include <cstdint>
#include <string>

#include "Article/TypeToken.h"
#include "FuzzSupport.h"
#include "platform/FixedPitchDC.h"

namespace {

CountingReportSink g_reports;

struct Judged {
    std::string typed;  // the typed bytes the list holds, placeholders left out
    int nPlaceholders = 0;
    int nNodes = 0;
    bool bError = false;
};

Judged Walk(const TypeToken& token) {
    Judged j;
    for (const TypedChar* p = token.GetFirstChar(); p; p = p->m_pNext) {
        FUZZ_CHECK(p->m_nState == csCorrect || p->m_nState == csWrong || p->m_nState == csMissing);
        ++j.nNodes;
        FUZZ_CHECK(j.nNodes <= 2 * 64 + 1);
        if (p->m_nState == csMissing) {
            ++j.nPlaceholders;
        } else {
            j.typed += p->m_ch;
            j.bError = j.bError || p->m_nState == csWrong;
        }
    }
    return j;
}

// What every judgement must keep: the list holds the typed bytes in order, each once, and the
// token's own text and length agree with it.
void CheckJudged(const TypeToken& token, const std::string& typed, int nRefLength) {
    const Judged j = Walk(token);
    FUZZ_CHECK(j.typed == typed);
    FUZZ_CHECK(j.nPlaceholders <= nRefLength);
    FUZZ_CHECK(token.GetLength() == j.nNodes);
    std::string shown;
    token.GetString(shown);
    FUZZ_CHECK(static_cast<int>(shown.size()) == j.nNodes);
    if (j.bError || j.nPlaceholders > 0) {
        FUZZ_CHECK(token.HasError());
    }
    if (j.nNodes > 0) {
        FUZZ_CHECK(token.GetLastChar() != nullptr);
    } else {
        FUZZ_CHECK(token.GetLastChar() == nullptr);
    }
}

// Drawing writes one glyph per judged character, or the typed text in one piece when it
// equals the reference; the caller's colour comes back.
void CheckDraw(TypeToken& token, const std::string& typed, const std::string& ref) {
    FixedPitchDC dc;
    dc.SetTextColor(0x123456);
    token.Draw(&dc, 0, 0);
    FUZZ_CHECK(dc.GetTextColor() == 0x123456);
    if (typed == ref) {
        FUZZ_CHECK(dc.Outputs().size() == 1);
    } else {
        FUZZ_CHECK(static_cast<int>(dc.Outputs().size()) == token.GetLength());
        for (const TextOutput& out : dc.Outputs()) {
            FUZZ_CHECK(out.text.size() == 1);
            FUZZ_CHECK(out.color == kTypedGrey || out.color == kTypedRed ||
                       out.color == kTypedGreen);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::uint8_t flags = in.Byte();
    const std::string refText = in.Take(in.Byte() % 72);
    const std::string keys = in.Rest();

    // The reference: cut as the article cuts a token's text; 64 bytes or more are refused.
    Token ref;
    const std::string refZ = refText.substr(0, refText.find('\0'));
    FUZZ_CHECK(ref.SetString(refZ.c_str()) == (refZ.size() <= kMaxTokenLength ? TRUE : FALSE));
    std::string r;
    ref.GetString(r);
    const int m = static_cast<int>(r.size());

    TypeToken token;
    token.SetMarkTypos(in.Flag(flags, 2) ? TRUE : FALSE);
    token.SetReference(&ref);

    // The typed text: each key appended the way the typing article adds characters. The text
    // is cut again at every key, so white space and a zero byte leave it as it was, and so does
    // a key that would make it 64 bytes long.
    std::string typed;
    for (char c : keys.substr(0, 200)) {
        token.AddChar(c);
        if (c != '\0' && !Token::IsWhiteSpace(c) && typed.size() < kMaxTokenLength) {
            typed += c;
        }
        std::string held;
        FUZZ_CHECK(token.GetTypedText(held) == typed);
    }

    const bool bFinished = in.Flag(flags, 0);
    switch (flags >> 4 & 3) {
        case 0:
        case 3:
            token.CompareByMatching(bFinished ? TRUE : FALSE);
            break;
        case 1:
            token.CompareByLetter();
            break;
        case 2:
            token.MarkAllCorrect();
            break;
    }
    CheckJudged(token, typed, m);
    const Judged j = Walk(token);
    if (!typed.empty() && (flags >> 4 & 3) != 1 && (flags >> 4 & 3) != 2 && bFinished) {
        // A finished word owes a placeholder for every reference byte it never reached.
        FUZZ_CHECK(j.nNodes >= m);
    }
    if (typed == r && (flags >> 4 & 3) != 2 && !typed.empty()) {
        FUZZ_CHECK(!token.HasError());  // typed exactly: nothing wrong, nothing missing
    }

    CheckDraw(token, typed, r);

    // Judging again gives the same list.
    if (in.Flag(flags, 1)) {
        token.CompareByMatching(bFinished ? TRUE : FALSE);
        token.CompareByMatching(bFinished ? TRUE : FALSE);
        CheckJudged(token, typed, m);
    }

    // Taking everything back: each call drops one node, and a typed byte unless the node was a
    // placeholder; the end is an empty token that refuses further calls.
    int nNodes = token.GetLength();
    while (nNodes > 0) {
        token.RemoveLastChar();
        const int now = token.GetLength();
        FUZZ_CHECK(now == nNodes - 1);
        nNodes = now;
    }
    FUZZ_CHECK(!token.RemoveLastChar());
    return 0;
}
