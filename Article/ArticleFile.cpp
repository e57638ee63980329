// The library's entry: builds the reference article and the typing article from a lesson text.
#include <new>

#include "Article/Art.h"
#include "Article/Article.h"
#include "Article/TypeArt.h"

namespace {

// Raised inside Create when the reference article refuses the text; ends in Create's handler.
struct TextRefused {};

}  // namespace

ArticleFile::~ArticleFile() {
    delete m_pArt;
    delete m_pTypeArt;
}

BOOL ArticleFile::Create(const char* pszText, int bTypeArt, TypoDetection td) {
    try {
        // 1. Every Create begins with no articles.
        if (m_pTypeArt) {
            delete m_pTypeArt;
            m_pTypeArt = nullptr;
        }
        if (m_pArt) {
            delete m_pArt;
            m_pArt = nullptr;
        }
        // 2.
        Art* art = new Art();
        m_pArt = art;
        // 3. The article reports why it refuses the text.
        if (!art->SetText(pszText)) {
            throw TextRefused{};
        }
        // 4.
        if (!bTypeArt) {
            return TRUE;
        }
        // 5. Checked typing always starts by letter; a typing article that cannot be had
        // leaves the reference article alone.
        if (td == tdNone) {
            m_pTypeArt = new (std::nothrow) FreeTypeArt(art);
        } else {
            m_pTypeArt = new (std::nothrow) TypeArt(art);
        }
        return TRUE;
    } catch (...) {
        // 6. The refusal and every failure on the way: nothing survives.
        delete m_pArt;
        m_pArt = nullptr;
        delete m_pTypeArt;
        m_pTypeArt = nullptr;
        return FALSE;
    }
}
