#include "Article/TypeToken.h"

#include <cstdint>
#include <vector>

#include "diagnostics/Report.h"
#include "platform/Clock.h"

namespace {

constexpr const char* kModule = "Article/Token";

constexpr const char* kMsgGetStringUnbound = "GetString called before reference token is set";
constexpr const char* kMsgGetLengthUnbound = "GetLength called before reference token is set";
constexpr const char* kMsgDrawUnbound = "Draw called before reference token is set";

// The glyph of a skipped reference character, and how the control codes are shown and reported.
constexpr char kPlaceholder = '_';
constexpr char kEarlySpaceGlyph = '_';
constexpr char kFreeSpaceGlyph = ' ';
constexpr char kControlCodeText = ' ';

// Typing one token longer than this is taken as a pause, and counted as this instead.
constexpr std::int64_t kMaxTokenTimeMs = 60000;
constexpr std::int64_t kPausedTokenTimeMs = 10000;

// A typed text this far ahead of the reference position still matches a reference window
// starting at s: p - s <= s / kDriftDivisor + kDriftSlack.
constexpr int kDriftDivisor = 5;
constexpr int kDriftSlack = 2;
// Unmatched typed bytes in a row after which skipped reference bytes are no longer filled in.
constexpr int kMaxRunBeforePlaceholders = 3;

void ReleaseString(std::string& s) {
    s.clear();
    s.shrink_to_fit();
}

// Index of the first occurrence of needle in hay, or -1.
int FindFirst(const std::string& hay, const std::string& needle) {
    const size_t p = hay.find(needle);
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

int FindFirst(const std::string& hay, char c) {
    const size_t p = hay.find(c);
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

int TextWidth(CDC* dc, const char* text, int nLength) {
    return nLength > 0 ? static_cast<int>(dc->GetTextExtent(text, nLength).cx) : 0;
}

}  // namespace

TypeToken::TypeToken()
    : m_stStart{},
      m_nTypingTime(0),
      m_pReference(nullptr),
      m_pFirstChar(nullptr),
      m_bHasError(FALSE),
      m_bMarkTypos(TRUE) {}

TypeToken::~TypeToken() {
    ClearChars();
}

void TypeToken::Reset() {
    ReleaseString(m_strLead);
    ReleaseString(m_strWord);
    ReleaseString(m_strTrail);
    m_bEmpty = TRUE;
    m_bHasError = FALSE;
    m_nTypingTime = 0;
}

std::string& TypeToken::GetString(std::string& out) const {
    if (!m_pReference) {
        TW_REPORT(kModule, kMsgGetStringUnbound);
        return GetTokenString(out);
    }
    out.clear();
    for (const TypedChar* p = m_pFirstChar; p; p = p->m_pNext) {
        const bool control = p->m_ch == kCodeEarlySpace || p->m_ch == kCodeFreeSpace;
        out += control ? kControlCodeText : p->m_ch;
    }
    return out;
}

int TypeToken::GetLength() const {
    if (!m_pReference) {
        TW_REPORT(kModule, kMsgGetLengthUnbound);
        return GetTokenLength();
    }
    int n = 0;
    for (const TypedChar* p = m_pFirstChar; p; p = p->m_pNext) {
        ++n;
    }
    return n;
}

BOOL TypeToken::Draw(CDC* dc, int x, int y) {
    // 1. Unbound: drawn as a reference token draws itself.
    if (!m_pReference) {
        TW_REPORT(kModule, kMsgDrawUnbound);
        return Token::Draw(dc, x, y);
    }
    if (!dc) {
        return TRUE;
    }
    // 2. Grey, keeping the caller's colour.
    const COLORREF crPrevious = dc->SetTextColor(kTypedGrey);

    // 3. Typed text equal to the reference: one piece in grey.
    std::string r;
    m_pReference->GetString(r);
    std::string t;
    GetTokenString(t);
    if (t == r) {
        dc->TextOut(x, y, t);
    } else {
        // 4. Each judged character where its reference character begins.
        if (!m_pFirstChar) {
            CompareByMatching(TRUE);
        }
        const int m = static_cast<int>(r.size());
        const int nRefWidth = TextWidth(dc, r.data(), m);
        // Glyphs drawn past the end of the reference text follow one another from its end.
        std::string beyond;
        int i = 0;
        for (const TypedChar* p = m_pFirstChar; p; p = p->m_pNext, ++i) {
            // 4.1 Horizontal offset.
            int offset = 0;
            if (i > 0 && i <= m) {
                offset = TextWidth(dc, r.data(), i);
            } else if (i > m) {
                offset = nRefWidth + TextWidth(dc, beyond.data(), static_cast<int>(beyond.size()));
            }
            // 4.2 Colour.
            COLORREF color = kTypedGrey;
            if (m_bMarkTypos) {
                if (p->m_nState == csWrong) {
                    color = kTypedRed;
                } else if (p->m_nState == csMissing) {
                    color = kTypedGreen;
                }
            }
            dc->SetTextColor(color);
            // 4.3 Glyph.
            char glyph = p->m_ch;
            if (p->m_nState == csMissing || p->m_ch == kCodeEarlySpace) {
                glyph = kEarlySpaceGlyph;
            } else if (p->m_ch == kCodeFreeSpace) {
                glyph = kFreeSpaceGlyph;
            }
            if (i >= m) {
                beyond += glyph;
            }
            // 4.4 Write it.
            dc->TextOut(x + offset, y, &glyph, 1);
        }
    }
    // 5. Only the text colour was changed.
    dc->SetTextColor(crPrevious);
    return TRUE;
}

BOOL TypeToken::AddChar(char c) {
    std::string s;
    GetTokenString(s);
    s += c;
    SetString(s.c_str());  // refuses (and reports) 64 bytes or more; the typed text stays
    return TRUE;
}

BOOL TypeToken::RemoveLastChar() {
    // 1. Nothing judged: nothing to remove.
    if (!m_pFirstChar) {
        return FALSE;
    }
    // 2. A placeholder stands for no typed byte.
    TypedChar* pPrevious = nullptr;
    TypedChar* pLast = m_pFirstChar;
    while (pLast->m_pNext) {
        pPrevious = pLast;
        pLast = pLast->m_pNext;
    }
    BOOL result = TRUE;
    if (pLast->m_nState != csMissing) {
        result = Token::RemoveLastChar();
    }
    // 3. Drop the node.
    delete pLast;
    if (pPrevious) {
        pPrevious->m_pNext = nullptr;
    } else {
        m_pFirstChar = nullptr;
    }
    return result;
}

void TypeToken::CompareByLetter() {
    // 1.
    if (!m_pReference) {
        return;
    }
    // 2.
    std::string t;
    GetTokenString(t);
    const int n = static_cast<int>(t.size());
    if (n == 0) {
        return;
    }
    // 3.
    ClearChars();
    std::string r;
    m_pReference->GetString(r);
    const int m = static_cast<int>(r.size());
    // 4.
    for (int i = 0; i < n; ++i) {
        const bool same = i < m && t[i] == r[i];
        AppendChar(t[i], same ? csCorrect : csWrong);
    }
}

void TypeToken::MarkAllCorrect() {
    std::string t;
    GetTokenString(t);
    if (t.empty()) {
        return;
    }
    ClearChars();
    for (char c : t) {
        AppendChar(c, csCorrect);
    }
}

void TypeToken::CompareByMatching(BOOL finished) {
    // 1.
    if (!m_pReference) {
        return;
    }
    std::string t;
    GetTokenString(t);
    const int n = static_cast<int>(t.size());
    if (n == 0) {
        return;
    }
    ClearChars();
    std::string r;
    m_pReference->GetString(r);
    const int m = static_cast<int>(r.size());

    // 2. Work flags, released when the function returns.
    std::vector<bool> taken(static_cast<size_t>(m), false);
    std::vector<bool> matched(static_cast<size_t>(n), false);

    // 3. Substring pass, longest first.
    for (int L = m; L >= 2; --L) {
        for (int s = 0; s <= m - L; ++s) {
            bool free = true;
            for (int k = s; k < s + L; ++k) {
                if (taken[static_cast<size_t>(k)]) {
                    free = false;
                    break;
                }
            }
            if (!free) {
                continue;
            }
            const int p = FindFirst(t, r.substr(static_cast<size_t>(s), static_cast<size_t>(L)));
            if (p >= 0 && p - s <= s / kDriftDivisor + kDriftSlack) {
                for (int k = 0; k < L; ++k) {
                    taken[static_cast<size_t>(s) + static_cast<size_t>(k)] = true;
                    matched[static_cast<size_t>(p) + static_cast<size_t>(k)] = true;
                }
            }
        }
    }

    // 4. Single-byte pass. The middle test compares the typed index with the reference's last
    // index (not with k); judgements already recorded depend on it staying so.
    for (int k = 0; k < m; ++k) {
        if (taken[static_cast<size_t>(k)]) {
            continue;
        }
        const int p = FindFirst(t, r[static_cast<size_t>(k)]);
        if (p >= 0 && (p == 0 || p == m - 1 || p == k)) {
            taken[static_cast<size_t>(k)] = true;
            matched[static_cast<size_t>(p)] = true;
        }
    }

    // 5. Building pass.
    int j = 0;
    int run = 0;
    for (int i = 0; i < n; ++i) {
        if (matched[static_cast<size_t>(i)]) {
            if (run < kMaxRunBeforePlaceholders) {
                while (j < m && !taken[static_cast<size_t>(j)]) {
                    AppendChar(kPlaceholder, csMissing);
                    ++j;
                }
            }
            AppendChar(t[static_cast<size_t>(i)], csCorrect);
            run = 0;
        } else {
            AppendChar(t[static_cast<size_t>(i)], csWrong);
            ++run;
        }
        ++j;
    }

    // 6. A finished word owes every reference byte not yet reached.
    if (finished) {
        for (; j < m; ++j) {
            AppendChar(kPlaceholder, csMissing);
        }
    }
}

TypedChar* TypeToken::GetLastChar() const {
    TypedChar* p = m_pFirstChar;
    while (p && p->m_pNext) {
        p = p->m_pNext;
    }
    return p;
}

void TypeToken::StartTiming() {
    GetSystemTime(&m_stStart);
    m_nTypingTime = 0;
}

void TypeToken::StopTiming() {
    SYSTEMTIME now{};
    GetSystemTime(&now);
    // Only within one UTC day; across midnight the time keeps its value.
    if (now.wYear != m_stStart.wYear || now.wMonth != m_stStart.wMonth ||
        now.wDay != m_stStart.wDay) {
        return;
    }
    const std::int64_t dHour = std::int64_t{now.wHour} - m_stStart.wHour;
    const std::int64_t dMinute = std::int64_t{now.wMinute} - m_stStart.wMinute;
    const std::int64_t dSecond = std::int64_t{now.wSecond} - m_stStart.wSecond;
    const std::int64_t dMs = std::int64_t{now.wMilliseconds} - m_stStart.wMilliseconds;
    std::int64_t ms = ((dHour * 60 + dMinute) * 60 + dSecond) * 1000 + dMs;
    if (ms > kMaxTokenTimeMs) {
        ms = kPausedTokenTimeMs;
    }
    // Within one day |ms| stays below 24 h, well inside int.
    m_nTypingTime = static_cast<int>(ms);
}

void TypeToken::AppendChar(char c, int nState) {
    TypedChar* node = new TypedChar{c, nState, nullptr};
    if (nState != csCorrect) {
        m_bHasError = TRUE;
    }
    if (!m_pFirstChar) {
        m_pFirstChar = node;
        return;
    }
    TypedChar* p = m_pFirstChar;
    while (p->m_pNext) {
        p = p->m_pNext;
    }
    p->m_pNext = node;
}

void TypeToken::ClearChars() {
    while (m_pFirstChar) {
        TypedChar* next = m_pFirstChar->m_pNext;
        delete m_pFirstChar;
        m_pFirstChar = next;
    }
}
