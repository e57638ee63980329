// Keystroke handling of the typing article: the character expected next, one keystroke with its
// judgement and result code, backspace, and moving on to the next token.
#include <string>

#include "Article/TypeArt.h"
#include "diagnostics/Report.h"

namespace {

constexpr const char* kModule = "Article/Article";

// Result codes of TypeChar.
constexpr int kAccepted = 1;      // accepted (and, by letter, right)
constexpr int kWrong = 2;         // wrong, past the end of the word, or a space before its end
constexpr int kTextFinished = 6;  // the last token is complete
constexpr int kEnterRefused = 7;  // Enter away from a complete line end
constexpr int kOnlyEnter = 9;     // the token ends a line and is complete

constexpr char kSpace = ' ';
constexpr char kLineFeed = '\n';
// The expected character once the text is finished.
constexpr char kEndOfText = static_cast<char>(0xFF);

BOOL HasLineFlag(const Token* token) {
    return token && (token->IsLineEnd() || token->IsNewLine()) ? TRUE : FALSE;
}

int LengthOf(const Token* token) {
    return token ? token->GetLength() : 0;
}

}  // namespace

void TypeArt::AdvanceToken() {
    // 1.
    if (m_nTokenCount < m_nAllocatedTokens) {
        m_nTokenCount += 1;
        if (TypeToken* current = GetCurrentTypeToken()) {
            current->StartTiming();
        }
        if (m_pRefArt) {
            m_pRefArt->SetCurrentToken(m_nTokenCount - 1);
        }
    }
    // 2. Otherwise the session stays where it is.
}

char TypeArt::GetCaretChar() {
    // 1.
    const TypeToken* token = GetTypeToken(m_nTokenCount > 0 ? m_nTokenCount - 1 : 0);
    if (!token) {
        return 0;
    }
    // 2.
    if (m_nTypoDetection != tdByLetter) {
        TW_REPORT(kModule, "GetCaretChar called when TypoDection is not tdByLetter");
    }
    // 3.
    const Token* ref = token->GetReference();
    std::string t;
    token->GetString(t);
    std::string r;
    if (ref) {
        ref->GetString(r);
    }
    // 4.
    if (t.size() < r.size()) {
        return r[t.size()];
    }
    // 5.
    if (HasLineFlag(ref)) {
        return kLineFeed;
    }
    // 6.
    if (m_nTokenCount < GetRefCount()) {
        return kSpace;
    }
    // 7.
    return kEndOfText;
}

char FreeTypeArt::GetCaretChar() {
    return kSpace;
}

int TypeArt::TypeChar(char c) {
    // Before the first Recalculate, or in a lesson without tokens, nothing is typed into.
    TypeToken* cur = GetCurrentTypeToken();
    if (!cur) {
        return kTextFinished;
    }
    // 1. Every keystroke counts, with what was expected before anything changes.
    m_stopwatch.RecordKeystroke(c, GetCaretChar());

    const Token* ref = GetRefToken(m_nTokenCount - 1);
    if (!ref) {
        return kTextFinished;  // a token past the reference (after SetText): nothing to match
    }
    const int refCount = GetRefCount();
    const int refLength = ref->GetLength();
    const int typedLength = cur->GetLength();
    const BOOL lineFlag = HasLineFlag(ref);

    // 2. Line end.
    if (lineFlag && typedLength >= refLength && c != kLineFeed) {
        return kOnlyEnter;
    }
    // 3. End of text.
    if (m_nTokenCount == refCount && typedLength >= refLength) {
        return kTextFinished;
    }
    // 4. The first token's word timer; later tokens start theirs in AdvanceToken.
    if (m_nTokenCount == 1 && typedLength == 0) {
        cur->StartTiming();
    }
    // 5.
    const int k0 = m_nTokenCount;
    int result = kAccepted;
    BOOL added = FALSE;
    if (c == kSpace) {
        if (typedLength < refLength) {
            // A space before the end of the word.
            result = kWrong;
            if (!AddTypedCharByLetter(kCodeEarlySpace)) {
                return kWrong;
            }
        } else {
            AdvanceToken();
        }
    } else if (c == kLineFeed) {
        if (m_nTokenCount == refCount || !lineFlag || typedLength < refLength) {
            return kEnterRefused;
        }
        AdvanceToken();
    } else {
        cur->AddChar(c);
        added = TRUE;
    }
    // 6. Judge the token of entry, also when the key moved on.
    switch (m_nTypoDetection) {
        case tdByLetter:
            cur->CompareByLetter();
            break;
        case tdByWord:
            if (m_nTokenCount != k0) {
                cur->CompareByMatching(TRUE);
            }
            break;
        default:
            cur->CompareByMatching(FALSE);
            break;
    }
    // 7. The verdict on an added character, by letter.
    if (added && m_nTypoDetection == tdByLetter) {
        if (cur->GetLength() > refLength) {
            // Past the end of the word: the extra character stays in it, the session moves on.
            // The last word is left to no token: typed by letter from its start it can never
            // overflow, and one judged otherwise before (a method changed in mid-word, a
            // typed text set) keeps the extra character, so checked typing stays within the
            // reference.
            result = kWrong;
            if (m_nTokenCount < refCount) {
                AdvanceToken();
            }
        } else if (const TypedChar* last = cur->GetLastChar()) {
            result = last->m_nState;
        }
    }
    // 8. The word timer of the token in which the text is completed; with word times on, also
    // of every word the key left.
    if ((m_nTokenCount == refCount && cur->GetLength() >= refLength) ||
        (m_bTimeEveryWord && m_nTokenCount != k0)) {
        cur->StopTiming();
    }
    // 9.
    return result;
}

BOOL TypeArt::AddTypedChar(char c) {
    TypeToken* cur = GetCurrentTypeToken();
    if (!cur) {
        return FALSE;
    }
    const BOOL added = cur->AddChar(c);
    cur->CompareByLetter();
    return added;
}

BOOL TypeArt::AddTypedCharByLetter(char c) {
    if (m_nTypoDetection == tdByLetter) {
        return AddTypedChar(c);
    }
    TW_REPORT(kModule, "Danger! Infinite loop");
    return AddEarlySpaceByMatching(c);
}

// A space before the end of a word under a method that judges by matching. The judged length
// that TypeChar checks must grow with every such space, or the learner could never leave the
// word:
// - tdByWord judges a word only once it is left, so its current token never looks complete;
//   the space leaves the word instead (TypeChar then judges it, finished). At the last token
//   it judges the word finished in place, which completes the text. An empty token is not
//   left, so a second space does not skip a word. TRUE when the session moved on or the word
//   was judged.
// - Every other method judges after every keystroke: c takes the place of the expected
//   character, as by letter, and the comparison that follows counts it. TRUE.
BOOL TypeArt::AddEarlySpaceByMatching(char c) {
    TypeToken* cur = GetCurrentTypeToken();
    if (!cur) {
        return FALSE;
    }
    if (m_nTypoDetection == tdByWord) {
        std::string typed;
        if (cur->GetTypedText(typed).empty()) {
            return FALSE;
        }
        if (m_nTokenCount < GetRefCount()) {
            AdvanceToken();
        } else {
            cur->CompareByMatching(TRUE);
        }
        return TRUE;
    }
    return cur->AddChar(c);
}

int FreeTypeArt::TypeChar(char c) {
    TypeToken* cur = GetCurrentTypeToken();
    if (!cur) {
        return kAccepted;  // nothing to type into yet
    }
    // 1.
    if (m_nTokenCount == 1 && cur->GetLength() == 0) {
        cur->StartTiming();
    }
    if (c == kSpace) {
        // 2. A space ends a begun token and stays inside an empty one.
        if (cur->GetLength() > 0) {
            AdvanceToken();
        } else {
            cur->AddChar(kCodeFreeSpace);
        }
    } else if (c == kLineFeed) {
        // 3. The typed line break is kept for the next Recalculate.
        AdvanceToken();
        if (!HasLineFlag(cur)) {
            cur->SetNewLine(TRUE);
        }
    } else {
        // 4.
        cur->AddChar(c);
    }
    // 5.
    cur->MarkAllCorrect();
    // With word times on, a word left stops its timer.
    if (m_bTimeEveryWord && GetCurrentTypeToken() != cur) {
        cur->StopTiming();
    }
    return kAccepted;
}

BOOL TypeArt::BackSpace() {
    // 1.
    if (m_nTokenCount <= 0) {
        return FALSE;
    }
    // 2.
    TypeToken* cur = GetCurrentTypeToken();
    std::string judged;
    if (cur && !cur->GetString(judged).empty()) {
        return cur->RemoveLastChar();
    }
    // 3. The first token cannot be left backwards.
    if (m_nTokenCount <= 1) {
        return FALSE;
    }
    // 4.
    m_nTokenCount -= 1;
    if (m_pRefArt) {
        m_pRefArt->SetCurrentToken(m_nTokenCount - 1);
    }
    // 5. A token left by typing past its end gives the extra character back with the step.
    TypeToken* previous = GetCurrentTypeToken();
    const Token* ref = GetRefToken(m_nTokenCount - 1);
    if (m_nTypoDetection == tdByLetter && previous && ref &&
        previous->GetLength() > LengthOf(ref)) {
        return previous->RemoveLastChar();
    }
    // 6.
    return TRUE;
}

BOOL FreeTypeArt::BackSpace() {
    // 1.
    if (m_nTokenCount <= 0) {
        return FALSE;
    }
    // 2.
    TypeToken* cur = GetCurrentTypeToken();
    std::string judged;
    if (cur && !cur->GetString(judged).empty()) {
        return cur->RemoveLastChar();
    }
    // 3.
    if (m_nTokenCount <= 1) {
        return FALSE;
    }
    // 4.
    m_nTokenCount -= 1;
    if (m_pRefArt) {
        m_pRefArt->SetCurrentToken(m_nTokenCount - 1);
    }
    // The typed line break after the previous token is taken back.
    TypeToken* previous = GetCurrentTypeToken();
    if (previous && previous->IsNewLine()) {
        previous->SetNewLine(FALSE);
    }
    return TRUE;
}
