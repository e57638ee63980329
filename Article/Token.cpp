#include "Article/Token.h"

#include <cstring>
#include <string_view>

#include "diagnostics/Report.h"

namespace {

constexpr const char* kModule = "Article/Token";

// The character classes, as membership in two constant strings.
constexpr std::string_view kWhiteSpace = " \t\n";
constexpr std::string_view kDelimiters = ",.;?!:\"'()$%&*=+<>[]{}@#`~^_/\\|";
static_assert(kDelimiters.size() == 31);

void ReleaseString(std::string& s) {
    s.clear();
    s.shrink_to_fit();
}

}  // namespace

Token::Token() : m_bEmpty(TRUE), m_bLineEnd(FALSE), m_bNewLine(FALSE), m_nLine(-1), m_rcToken{} {
    ResetToken();
}

Token::~Token() = default;

BOOL Token::IsWhiteSpace(char c) {
    return kWhiteSpace.find(c) != std::string_view::npos ? TRUE : FALSE;
}

BOOL Token::IsDelimiter(char c) {
    return kDelimiters.find(c) != std::string_view::npos ? TRUE : FALSE;
}

void Token::ResetToken() {
    m_bEmpty = TRUE;
    m_bLineEnd = FALSE;
    m_bNewLine = FALSE;
    m_nLine = -1;
    SetRectEmpty(&m_rcToken);
    ReleaseString(m_strWord);
    ReleaseString(m_strLead);
    ReleaseString(m_strTrail);
}

void Token::Reset() { ResetToken(); }

BOOL Token::SetString(const char* text) {
    if (!text) {
        text = "";
    }
    const size_t n = std::strlen(text);
    if (n > static_cast<size_t>(kMaxTokenLength)) {
        TW_REPORT(kModule, "Encounter too-long token");
        return FALSE;
    }
    Reset();

    bool inLead = false;
    bool inWord = false;
    bool trailPending = false;
    for (size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (IsDelimiter(c)) {
            if (i == 0) {
                inLead = true;
                m_strLead += c;
            } else {
                if (inWord) {
                    inWord = false;
                    trailPending = true;
                }
                if (inLead) {
                    m_strLead += c;
                } else if (trailPending) {
                    m_strTrail += c;
                }
                // Otherwise only line feeds came before: the delimiter is dropped.
            }
        } else if (c == '\n') {
            m_bNewLine = TRUE;
            m_bLineEnd = TRUE;
            if (i != n - 1) {
                TW_REPORT(kModule, "Next line appear inside a token");
            }
        } else {
            if (inLead) {
                inLead = false;
            } else if (trailPending) {
                // The delimiters stood inside the word (an apostrophe, an abbreviation's stop).
                m_strWord += m_strTrail;
                m_strTrail.clear();
                trailPending = false;
            }
            inWord = true;
            if (!IsWhiteSpace(c)) {
                m_strWord += c;
            }
        }
    }
    m_bEmpty = FALSE;
    return TRUE;
}

std::string& Token::GetTokenString(std::string& out) const {
    out.clear();
    out.reserve(m_strLead.size() + m_strWord.size() + m_strTrail.size());
    out += m_strLead;
    out += m_strWord;
    out += m_strTrail;
    return out;
}

int Token::GetTokenLength() const {
    return static_cast<int>(m_strLead.size() + m_strWord.size() + m_strTrail.size());
}

std::string& Token::GetString(std::string& out) const { return GetTokenString(out); }

int Token::GetLength() const { return GetTokenLength(); }

BOOL Token::Draw(CDC* dc, int x, int y) {
    if (dc) {
        std::string text;
        dc->TextOut(x, y, GetString(text));
    }
    return TRUE;
}

BOOL Token::AddChar(char /*c*/) { return FALSE; }

BOOL Token::RemoveLastChar() {
    if (!m_strTrail.empty()) {
        m_strTrail.pop_back();
    } else if (!m_strWord.empty()) {
        m_strWord.pop_back();
    } else if (!m_strLead.empty()) {
        m_strLead.pop_back();
    } else {
        TW_REPORT(kModule, "Try to RemoveLastChar of empty token");
        return FALSE;
    }
    return TRUE;
}

Token* Token::GetReference() const { return nullptr; }

void Token::CompareByLetter() {}

void Token::MarkAllCorrect() {}

void Token::CompareByMatching(BOOL /*finished*/) {}

std::string& Token::GetWord(std::string& out) const {
    out = m_strWord;
    return out;
}

std::string& Token::GetMaskedString(std::string& out) const {
    const int n = GetLength();
    out.assign(n > 0 ? static_cast<size_t>(n) : 0, '*');
    return out;
}

BOOL Token::DrawMasked(CDC* dc, int x, int y) {
    if (dc) {
        std::string masked;
        dc->TextOut(x, y, GetMaskedString(masked));
    }
    return TRUE;
}
