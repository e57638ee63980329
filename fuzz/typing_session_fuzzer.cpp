// A whole typing session on arbitrary input: a lesson text, then a stream of keys, backspaces,
// method changes, pauses, resumes, clock steps and re-layouts, with the session's invariants
// checked after every step (among them what the typed token's judgement keeps) and the figures
// handed to both record files at the end.
//
// Input: a flags byte, a paper-width byte (in 8-pixel cells; 0 leaves the reference without a
// layout), the lesson text up to a zero byte, then the steps. A step is one byte:
//   0x08         BackSpace
//   0xF1 m       SetTypoDetection(m % 5)
//   0xF2..0xF5   PauseTyping, ResumeTyping, ContinueTyping, StartTyping
//   0xF6 n       the clock moves on n * 250 ms
//   0xF7         both articles are laid out again (the reference first)
//   0xF8 f       SetMarkTypos(f & 1), SetMasked(f & 2)
//   0xF9         the figures go into a lesson record and word records, mid-session
//   0xFA k       TypeChar(k), for the bytes that name steps
//   any other    TypeChar(that byte); the clock moves on 150 ms
// Flags: bits 0-1 the method Create is given (0 free typing), bit 2 masked, bit 3 typos not
// marked, bit 4 keys come before the typing article is laid out (until a 0xF7), bit 5 the
// reference is justified, bit 6 every word's time is taken.
#include <algorithm>
#include <cstdint>
#include <string>

#include "Article/Art.h"
#include "Article/Article.h"
#include "Article/LessonTrackFile.h"
#include "Article/TypeArt.h"
#include "Article/TypeToken.h"
#include "Article/WordTrackFile.h"
#include "FuzzSupport.h"
#include "diagnostics/ReportCapture.h"
#include "platform/Clock.h"
#include "platform/FixedPitchDC.h"

namespace {

constexpr std::uint8_t kBackSpace = 0x08;
constexpr std::uint8_t kSetMethod = 0xF1;
constexpr std::uint8_t kPause = 0xF2;
constexpr std::uint8_t kResume = 0xF3;
constexpr std::uint8_t kContinue = 0xF4;
constexpr std::uint8_t kStart = 0xF5;
constexpr std::uint8_t kWait = 0xF6;
constexpr std::uint8_t kLayout = 0xF7;
constexpr std::uint8_t kDrawFlags = 0xF8;
constexpr std::uint8_t kHandOver = 0xF9;
constexpr std::uint8_t kRawKey = 0xFA;

constexpr int kKeyGapMs = 150;
constexpr int kWaitUnitMs = 250;

// Stock font cell of the fixed-pitch device context.
constexpr int kCellWidth = 8;

constexpr int kAccepted = 1;
constexpr int kWrong = 2;

// What a typed token holds: its typed bytes, and its judged list as bytes and states.
struct TokenState {
    std::string typed;
    std::string judged;  // every node's byte, placeholders included
    std::string states;  // every node's state, as a byte each
    bool operator==(const TokenState&) const = default;
};

TokenState StateOf(const TypeToken* token) {
    TokenState s;
    if (!token) {
        return s;
    }
    token->GetTypedText(s.typed);
    for (const TypedChar* p = token->GetFirstChar(); p; p = p->m_pNext) {
        s.judged += p->m_ch;
        s.states += static_cast<char>(p->m_nState);
    }
    return s;
}

// The judged bytes without the placeholders of skipped reference bytes.
std::string WithoutPlaceholders(const TokenState& s) {
    std::string out;
    for (size_t i = 0; i < s.judged.size(); ++i) {
        if (s.states[i] != csMissing) {
            out += s.judged[i];
        }
    }
    return out;
}

bool AllCorrect(const TokenState& s) {
    return s.states.find_first_not_of(static_cast<char>(csCorrect)) == std::string::npos;
}

class Session {
public:
    Session(ScopedFakeClock& clock, ArticleFile& file, std::uint8_t flags, int paperCells)
        : m_clock(clock),
          m_ref(dynamic_cast<Art*>(file.GetArt())),
          m_typing(file.GetTypeArt()),
          m_typingArt(dynamic_cast<Art*>(file.GetTypeArt())),
          m_bFree((flags & 3) == 0) {
        FUZZ_CHECK(m_ref && m_typing && m_typingArt);
        m_nRefCount = m_ref->GetTokenCount();
        FUZZ_CHECK(m_nRefCount >= 0);
        m_ref->SetJustify((flags & 0x20) ? TRUE : FALSE);
        m_rcRefPaper = RECT{0, 0, paperCells * kCellWidth, 400};
        m_rcTypePaper = RECT{0, 500, paperCells * kCellWidth + 40, 900};
        if (flags & 0x08) {
            m_typing->SetMarkTypos(FALSE);
        }
        m_bMasked = (flags & 0x04) != 0;
        m_typing->SetMasked(m_bMasked ? TRUE : FALSE);
        m_typing->SetTypoDetection(static_cast<TypoDetection>(flags & 3));
        m_typing->SetTimeEveryWord((flags & 0x40) ? TRUE : FALSE);
        if (!(flags & 0x10)) {
            Layout();
        }
        m_typing->StartTyping();
    }

    void Step(FuzzInput& in) {
        const std::uint8_t op = in.Byte();
        switch (op) {
            case kBackSpace:
                BackSpace();
                break;
            case kSetMethod:
                m_typing->SetTypoDetection(static_cast<TypoDetection>(in.Byte() % 5));
                break;
            case kPause:
                m_typing->PauseTyping();
                m_bPaused = true;
                break;
            case kResume:
                // Resuming counts the time since the last pause began as paused, whether or not
                // the clock is paused: a host resumes only a paused session.
                m_bResumedUnpaused = m_bResumedUnpaused || !m_bPaused;
                m_typing->ResumeTyping();
                m_bPaused = false;
                break;
            case kContinue:
                m_typing->ContinueTyping();
                m_bPaused = false;
                break;
            case kStart:
                m_typing->StartTyping();
                m_bPaused = false;
                m_bResumedUnpaused = false;
                break;
            case kWait:
                m_clock.Advance(static_cast<std::int64_t>(in.Byte()) * kWaitUnitMs);
                break;
            case kLayout:
                Layout();
                break;
            case kDrawFlags: {
                const std::uint8_t f = in.Byte();
                m_typing->SetMarkTypos((f & 1) ? TRUE : FALSE);
                m_bMasked = (f & 2) != 0;
                m_typing->SetMasked(m_bMasked ? TRUE : FALSE);
                break;
            }
            case kHandOver:
                HandOver();
                break;
            case kRawKey:
                Key(static_cast<char>(in.Byte()));
                break;
            default:
                Key(static_cast<char>(op));
                break;
        }
        CheckSession();
    }

    // The figures of the session go into fresh record files as a host hands them over: a lesson
    // record only once there is one, at most one word record per begun token.
    void HandOver() {
        CLessonTrackFile lessons;
        FUZZ_CHECK(!m_typing->FillLessonTrack(&lessons) && lessons.AddNewTrack(1, 2, 3) == 1);
        FUZZ_CHECK(m_typing->FillLessonTrack(&lessons));
        FUZZ_CHECK(lessons.GetLastTrack()->m_nKeys == m_typing->GetKeyCount());
        CWordTrackFile words;
        const BOOL added = m_typing->AddWordTracks(&words);
        FUZZ_CHECK(!m_typing->AddWordTracks(nullptr));
        FUZZ_CHECK(words.GetWordCount() <= Begun() && (Begun() > 0 || !added));
        for (int i = 0; i < words.GetWordCount(); ++i) {
            const WordTrack* w = words.GetWordTrack(i);
            FUZZ_CHECK(w && w->m_nCount == 1 && w->m_bMistyped <= 1 && w->m_wErrors <= 1);
            // The clock only moves on, and a word's time is at most a minute.
            FUZZ_CHECK(w->m_nTime >= 0 && w->m_nTime <= 60000);
        }
    }

private:
    int Begun() { return m_typing->GetTypedWordCount(); }
    TypeToken* Typed(int i) const {
        return i >= 0 && i < 2 * m_nRefCount ? dynamic_cast<TypeToken*>(m_typingArt->GetTokens()[i])
                                             : nullptr;
    }
    std::string RefText(int i) const {
        std::string r;
        if (i >= 0 && i < m_nRefCount) {
            m_ref->GetTokens()[i]->GetString(r);
        }
        return r;
    }

    void Layout() {
        // Setting a paper lays the article out at once; only an empty paper is refused.
        FUZZ_CHECK(m_ref->SetPaperRect(&m_rcRefPaper));
        m_bRefLaidOut = !IsRectEmpty(&m_rcRefPaper);
        FUZZ_CHECK(m_typing->SetPaperRect(&m_rcTypePaper));
        m_bTypingLaidOut = true;
    }

    void Key(char c) {
        m_clock.Advance(kKeyGapMs);
        const int k0 = Begun();
        const int keys0 = m_typing->GetKeyCount();
        const TypoDetection td = m_typing->GetTypoDetection();
        TypeToken* entry = Typed(k0 - 1);
        const TokenState before = StateOf(entry);

        const int result = m_typing->TypeChar(c);

        const int k1 = Begun();
        FUZZ_CHECK(k1 == k0 || k1 == k0 + 1);
        const TokenState after = StateOf(entry);
        if (m_bFree) {
            // Free typing takes every key, counts none, and takes every byte as right.
            FUZZ_CHECK(result == kAccepted && m_typing->GetKeyCount() == 0);
            FUZZ_CHECK(!entry || (after.judged == after.typed && AllCorrect(after)));
            return;
        }
        FUZZ_CHECK(result == 1 || result == 2 || result == 6 || result == 7 || result == 9);
        // Every keystroke into a token is counted, also a refused one.
        FUZZ_CHECK(m_typing->GetKeyCount() == keys0 + (entry ? 1 : 0));
        if (result != kAccepted && result != kWrong) {
            // A refused key changes nothing but the stopwatch.
            FUZZ_CHECK(k1 == k0 && after == before);
            return;
        }
        if (!entry || (td == tdByWord && k1 == k0)) {
            return;  // by word, a token is judged once it is left
        }
        // The judgement holds the typed bytes in order, each once, with placeholders between
        // them; a word left by word owes a placeholder for every reference byte it never
        // reached; a word typed exactly is right throughout.
        const std::string ref = RefText(k0 - 1);
        FUZZ_CHECK(WithoutPlaceholders(after) == after.typed);
        FUZZ_CHECK(td != tdByWord || after.typed.empty() || after.judged.size() >= ref.size());
        FUZZ_CHECK(after.typed != ref || AllCorrect(after));
        // By letter, a key adds its byte (a token's text holds no white space and, being
        // zero-terminated, no zero byte) and is wrong when the byte is, or runs past the word.
        const bool added = !Token::IsWhiteSpace(c) && c != '\0';
        if (td == tdByLetter && added &&
            before.typed.size() < static_cast<size_t>(kMaxTokenLength)) {
            FUZZ_CHECK(after.typed == before.typed + c);
            const bool past = after.typed.size() > ref.size();
            FUZZ_CHECK(result == (past || after.states.back() == csWrong ? kWrong : kAccepted));
        }
    }

    void BackSpace() {
        const int k0 = Begun();
        const int keys0 = m_typing->GetKeyCount();
        const TokenState before = StateOf(Typed(k0 - 1));
        const BOOL result = m_typing->BackSpace();
        const int k1 = Begun();
        FUZZ_CHECK(m_typing->GetKeyCount() == keys0);
        FUZZ_CHECK(k1 == k0 || (k1 == k0 - 1 && k1 >= 1));
        if (!result) {
            FUZZ_CHECK(k1 == k0);
            FUZZ_CHECK(StateOf(Typed(k0 - 1)) == before);
        }
        if (k0 == 0) {
            FUZZ_CHECK(!result);
        }
    }

    // What holds after every step.
    void CheckSession() {
        // The session stays within the lesson, and the reference highlights the token typed.
        const int begun = Begun();
        const int upper = std::max(1, m_bFree ? 2 * m_nRefCount : m_nRefCount);
        FUZZ_CHECK(m_bTypingLaidOut ? begun >= 1 && begun <= upper : begun == 0);
        FUZZ_CHECK(!m_bTypingLaidOut || m_nRefCount == 0 || m_ref->GetCurrentToken() == begun - 1);

        // The tokens around the current one: judged bytes never run ahead of the typed ones.
        for (int i = std::max(0, begun - 2); i <= begun && i < 2 * m_nRefCount; ++i) {
            const TokenState s = StateOf(Typed(i));
            const std::string own = WithoutPlaceholders(s);
            FUZZ_CHECK(s.typed.size() <= static_cast<size_t>(kMaxTokenLength));
            FUZZ_CHECK(s.typed.compare(0, own.size(), own) == 0);
            for (size_t k = 0; k < s.states.size(); ++k) {
                FUZZ_CHECK(s.states[k] == csCorrect || s.states[k] == csWrong ||
                           (s.states[k] == csMissing && s.judged[k] == '_'));
            }
        }

        // The caret: one character wide and one line high, on the current token's row.
        RECT caret{};
        FUZZ_CHECK(m_typing->GetCaretRect(&m_dc, &caret));
        if (m_bRefLaidOut && begun >= 1 && m_nRefCount > 0) {
            RECT token{};
            m_typing->GetTokenDrawRect(&token, begun - 1);
            FUZZ_CHECK(caret.right - caret.left == kCellWidth && caret.top == token.top);
            FUZZ_CHECK(caret.bottom - caret.top == m_ref->GetLineHeight() &&
                       caret.bottom > caret.top);
            FUZZ_CHECK(caret.left >= token.left);
        }

        // The last words drawn again: only what the tokens hold, masked when asked.
        m_dc.ClearOutputs();
        FUZZ_CHECK(m_typing->RedrawLastWord(&m_dc, std::min(begun, 3)) ==
                   (begun > 0 ? TRUE : FALSE));
        for (const TextOutput& out : m_dc.Outputs()) {
            FUZZ_CHECK(out.text.size() <= 2 * static_cast<size_t>(kMaxTokenLength));
            FUZZ_CHECK(!m_bMasked || out.text.find_first_not_of('*') == std::string::npos);
        }

        // The figures stay within their ranges.
        const int errors = m_typing->GetErrorCount();
        FUZZ_CHECK(errors >= 0 && errors <= m_typing->GetKeyCount());
        FUZZ_CHECK(m_typing->GetAccuracy() >= 0 && m_typing->GetAccuracy() <= 100);
        FUZZ_CHECK(m_typing->GetSpeed() >= 0 && m_typing->GetTopSpeed() >= 0 &&
                   m_typing->GetCurSpeed() >= 0 && m_typing->GetPausedSeconds() >= 0);
        FUZZ_CHECK(m_bResumedUnpaused || m_typing->GetActiveSeconds() >= 0);
        const int wrong = m_typing->GetWrongWordCount();
        FUZZ_CHECK(wrong >= 0 && wrong <= begun);
        FUZZ_CHECK(begun == 0 ||
                   (m_typing->GetWordAccuracy() >= 0 && m_typing->GetWordAccuracy() <= 100));
    }

    ScopedFakeClock& m_clock;
    FixedPitchDC m_dc;
    Art* m_ref;
    TypeArticle* m_typing;
    Art* m_typingArt;
    bool m_bFree;
    bool m_bMasked = false;
    bool m_bPaused = false;
    bool m_bResumedUnpaused = false;
    bool m_bRefLaidOut = false;
    bool m_bTypingLaidOut = false;
    int m_nRefCount = 0;
    RECT m_rcRefPaper{};
    RECT m_rcTypePaper{};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ScopedReportCapture reports;
    FuzzInput in(AsString(data, size));
    const std::uint8_t flags = in.Byte();
    const int paperCells = in.Byte();
    const std::string rest = in.Take(size);
    const size_t zero = rest.find('\0');
    const std::string text = rest.substr(0, zero);
    const std::string steps = zero == std::string::npos ? std::string() : rest.substr(zero + 1);

    // The clock runs only when the steps say so, from before the articles exist.
    ScopedFakeClock clock(2026, 12, 6, 9, 30, 0);
    ArticleFile file;
    const auto td = static_cast<TypoDetection>(flags & 3);
    if (!file.Create(text.c_str(), TRUE, td)) {
        // Only an over-long token is refused, and then nothing is left behind.
        FUZZ_CHECK(file.GetArt() == nullptr && file.GetTypeArt() == nullptr);
        return 0;
    }
    Session session(clock, file, flags, paperCells);
    FuzzInput stepInput(steps);
    while (!stepInput.Empty()) {
        session.Step(stepInput);
    }
    session.HandOver();
    return 0;
}
