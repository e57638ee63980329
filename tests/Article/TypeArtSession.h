// A lesson as a host sets it up: the facade, both articles on their papers, a fixed-pitch device
// context, and short ways to type keys and look at the typed tokens and what was drawn.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "Article/Art.h"
#include "Article/Article.h"
#include "Article/TypeArt.h"
#include "Article/TypeToken.h"
#include "platform/FixedPitchDC.h"

namespace typeart_test {

// Backspace in a key string.
inline constexpr char kBack = '\b';

// Stock font cells: 8 x 16; line gap 16 * 0.25 = 4, so lines are 20 apart.
inline constexpr int kCell = 8;
inline constexpr int kLineHeight = 16;

// What a device context was asked to draw: where, what, in which colour.
struct Drawn {
    int x;
    int y;
    std::string text;
    COLORREF color;
    bool operator==(const Drawn&) const = default;
};

inline void PrintTo(const Drawn& d, std::ostream* os) {
    *os << "(" << d.x << "," << d.y << " \"" << d.text << "\" " << std::hex << d.color << ")";
}

inline std::vector<Drawn> Outputs(const FixedPitchDC& dc) {
    std::vector<Drawn> drawn;
    for (const TextOutput& o : dc.Outputs()) {
        drawn.push_back(Drawn{o.x, o.y, o.text, o.color});
    }
    return drawn;
}

inline bool SameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

inline constexpr RECT kRefPaper{0, 0, 400, 200};
inline constexpr RECT kTypePaper{10, 300, 410, 500};

// A typed token bound to a reference token of the given text.
struct BoundToken {
    explicit BoundToken(const char* reference) {
        ref.SetString(reference);
        typed.SetReference(&ref);
    }
    void Type(const std::string& keys) {
        for (char c : keys) {
            typed.AddChar(c);
        }
    }
    Token ref;
    TypeToken typed;
};

struct Lesson {
    ArticleFile file;
    Article* ref = nullptr;
    TypeArticle* typing = nullptr;
    FixedPitchDC dc;

    // A lesson typed under td: free typing for tdNone, checked typing switched to td otherwise.
    explicit Lesson(const char* text, TypoDetection td = tdByLetter, bool layout = true) {
        file.Create(text, TRUE, td);
        ref = file.GetArt();
        typing = file.GetTypeArt();
        if (typing && td != tdNone) {
            typing->SetTypoDetection(td);
        }
        if (layout && ref && typing) {
            ref->SetPaperRect(&kRefPaper);
            typing->SetPaperRect(&kTypePaper);
        }
    }

    Art* RefArt() const { return dynamic_cast<Art*>(ref); }
    Art* TypingArt() const { return dynamic_cast<Art*>(typing); }
    const CTypingStopwatch& Stopwatch() const {
        return dynamic_cast<TypeArt*>(typing)->GetStopwatch();
    }
    // Typed token i; the caller keeps i below the allocated count.
    TypeToken* Typed(int i) const { return dynamic_cast<TypeToken*>(TypingArt()->GetTokens()[i]); }
    Token* RefToken(int i) const { return RefArt()->GetTokens()[i]; }
    int Current() const { return typing->GetTypedWordCount() - 1; }
    int RefCurrent() const { return RefArt()->GetCurrentToken(); }

    // The judged characters of typed token i, as it reports them.
    std::string Judged(int i) const {
        std::string s;
        return Typed(i)->GetString(s);
    }
    // The typed bytes of typed token i.
    std::string TypedText(int i) const {
        std::string s;
        return Typed(i)->GetTypedText(s);
    }
    // Types keys one by one; kBack is a backspace. Each key's answer: TypeChar's result code,
    // or BackSpace's BOOL.
    std::vector<int> Type(const std::string& keys) {
        std::vector<int> results;
        for (char c : keys) {
            results.push_back(c == kBack ? typing->BackSpace() : typing->TypeChar(c));
        }
        return results;
    }
};

}  // namespace typeart_test
