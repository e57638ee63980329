// The typing article's object model: construction on a reference article, the typed tokens, the
// method and marking settings, and the clock and counters forwarded to the stopwatch.
#include "Article/TypeArt.h"

#include <climits>
#include <new>

#include "diagnostics/Report.h"

namespace {

constexpr const char* kModule = "Article/Article";

// The typing article holds this many typed tokens per reference token: the second half is room
// for free typing past the reference.
constexpr int kTokensPerReferenceToken = 2;

}  // namespace

// ---- Construction -------------------------------------------------------------------------

TypeArt::TypeArt(Art* pRef)
    // 1. and 2.
    : m_pRefArt(nullptr), m_nTypoDetection(tdByLetter), m_stopwatch(), m_bMarkTypos(TRUE) {
    // 3. After step 2, because NewToken hands m_bMarkTypos to every new token.
    AttachReference(pRef);
}

TypeArt::~TypeArt() {
    FreeTokens();  // the reference article is not ours
}

void TypeArt::AttachReference(Art* pRef) {
    FreeTokens();
    ResetArt();
    m_pRefArt = pRef;
    const int refCount = GetRefCount();
    const int n = refCount <= INT_MAX / kTokensPerReferenceToken
                      ? refCount * kTokensPerReferenceToken
                      : INT_MAX;
    if (!AllocateTokens(n)) {
        return;
    }
    BindReferences();  // the second half stays unbound
}

FreeTypeArt::FreeTypeArt(Art* pRef) : TypeArt(pRef) {
    m_nTypoDetection = tdNone;
    m_bJustify = FALSE;
}

Token* TypeArt::NewToken() {
    TypeToken* token = new (std::nothrow) TypeToken();
    if (!token) {
        TW_REPORT(kModule, "TypeArt::NewToken failed");
        return nullptr;
    }
    token->SetMarkTypos(m_bMarkTypos);
    return token;
}

// ---- Tokens of both articles --------------------------------------------------------------

TypeToken* TypeArt::GetTypeToken(int i) const {
    // Every token of the array comes from NewToken above.
    return static_cast<TypeToken*>(TokenAt(i));
}

int TypeArt::GetRefCount() const {
    if (!m_pRefArt || !m_pRefArt->GetTokens()) {
        return 0;
    }
    const int n = m_pRefArt->GetTokenCount();
    return n > 0 ? n : 0;
}

Token* TypeArt::GetRefToken(int i) const {
    if (i < 0 || i >= GetRefCount()) {
        return nullptr;
    }
    return m_pRefArt->GetTokens()[i];
}

void TypeArt::BindReferences() {
    const int refCount = GetRefCount();
    for (int i = 0; i < m_nAllocatedTokens && i < refCount; ++i) {
        TypeToken* typed = GetTypeToken(i);
        Token* ref = GetRefToken(i);
        if (typed && ref) {
            typed->SetReference(ref);
        }
    }
}

// ---- Settings -----------------------------------------------------------------------------

TypoDetection TypeArt::GetTypoDetection() {
    return m_nTypoDetection;
}

void TypeArt::SetTypoDetection(TypoDetection td) {
    m_nTypoDetection = td;
}

BOOL TypeArt::GetMarkTypos() {
    return m_bMarkTypos;
}

void TypeArt::SetMarkTypos(BOOL b) {
    for (int i = 0; i < m_nAllocatedTokens; ++i) {
        if (TypeToken* token = GetTypeToken(i)) {
            token->SetMarkTypos(b);
        }
    }
    m_bMarkTypos = b;
}

void TypeArt::SetTimeEveryWord(BOOL on) {
    m_bTimeEveryWord = on;
}

BOOL TypeArt::GetTimeEveryWord() {
    return m_bTimeEveryWord;
}

// ---- Clock and counters -------------------------------------------------------------------

void TypeArt::StartTyping() {
    m_stopwatch.Start();
}

void TypeArt::ContinueTyping() {
    m_stopwatch.Continue();
}

void TypeArt::PauseTyping() {
    m_stopwatch.Pause();
}

void TypeArt::ResumeTyping() {
    m_stopwatch.Resume();
}

int TypeArt::GetPausedSeconds() {
    return m_stopwatch.GetPausedSeconds();
}

int TypeArt::GetActiveSeconds() {
    return m_stopwatch.GetActiveSeconds();
}

int TypeArt::GetKeyCount() {
    return m_stopwatch.GetKeys();
}

int TypeArt::GetErrorCount() {
    return m_stopwatch.GetErrors();
}

int TypeArt::GetTopSpeed() {
    return m_stopwatch.GetTopSpeed();
}

int TypeArt::GetSpeed() {
    return m_stopwatch.GetSpeed();
}

int TypeArt::GetCurSpeed() {
    return m_stopwatch.GetCurSpeed();
}

int TypeArt::GetAccuracy() {
    return m_stopwatch.GetAccuracy();
}

int TypeArt::GetTypedWordCount() {
    return m_nTokenCount;
}
