#include "Encoding.h"

#include <iconv.h>
#include <uninorm.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unordered_set>

namespace {

const char* const kNotUtf8Description = "a byte that is not UTF-8";

bool IsControl(char32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
}

// A name with case, hyphens, underscores and blanks left out: "Windows-1251" and "windows1251"
// are one name.
std::string Folded(const std::string& name) {
    std::string folded;
    for (char c : name) {
        if (c != '-' && c != '_' && c != ' ') {
            folded += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    return folded;
}

std::string AtLine(int line) {
    return "line " + std::to_string(line) + ": ";
}

// "Windows-1251, ISO-8859-5 and KOI8-R".
std::string NamesOf(const std::vector<const CodePage*>& pages) {
    std::string names;
    for (size_t i = 0; i < pages.size(); ++i) {
        names += (i == 0 ? "" : i + 1 == pages.size() ? " and " : ", ") + pages[i]->Name();
    }
    return names;
}

const CodePage* g_pCurrent = nullptr;

struct IconvCloser {
    void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using IconvPtr = std::unique_ptr<void, IconvCloser>;

IconvPtr OpenIconv(const std::string& to, const std::string& from) {
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    // iconv_open answers (iconv_t)-1 for a conversion it does not know.
    return IconvPtr(cd == reinterpret_cast<iconv_t>(-1)  // NOLINT(performance-no-int-to-ptr)
                        ? nullptr
                        : cd);
}

// The text in composed characters (NFC); as it is when it cannot be normalised (when it is not
// UTF-8, or memory runs out).
std::string Composed(const std::string& utf8) {
    size_t length = 0;
    const std::unique_ptr<uint8_t, decltype(&std::free)> nfc(
        u8_normalize(UNINORM_NFC, reinterpret_cast<const uint8_t*>(utf8.data()), utf8.size(),
                     nullptr, &length),
        &std::free);
    return nfc ? std::string(reinterpret_cast<const char*>(nfc.get()), length) : utf8;
}

}  // namespace

char32_t DecodeUtf8(std::string_view text, size_t& i) {
    const unsigned char b0 = static_cast<unsigned char>(text[i]);
    size_t extra = 0;
    char32_t cp = 0;
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        cp = b0 & 0x07;
    } else {
        ++i;
        return kNotUtf8;
    }
    for (size_t k = 1; k <= extra; ++k) {
        if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
            i += k;
            return kNotUtf8;
        }
        cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    }
    i += extra + 1;
    // Overlong forms and surrogates are not UTF-8 either.
    static constexpr char32_t kSmallest[4] = {0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[extra] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
        return kNotUtf8;
    }
    return cp;
}

size_t Utf8Length(std::string_view utf8) {
    return static_cast<size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string DescribeCodePoint(char32_t cp) {
    if (cp == kNotUtf8) {
        return kNotUtf8Description;
    }
    std::string glyph;
    if (!IsControl(cp)) {
        AppendUtf8(glyph, cp);
    }
    char code[16];
    (void)std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
    return (glyph.empty() ? "" : "'" + glyph + "' ") + "(" + code + ")";
}

CodePage::CodePage(std::string name, std::string iconvName)
    : m_strName(std::move(name)), m_strIconvName(std::move(iconvName)) {
    // Every page here keeps ASCII as it is; the upper half is read from iconv a byte at a time.
    const IconvPtr cd = OpenIconv("UTF-32LE", m_strIconvName);
    for (int b = 0; b < 256; ++b) {
        char32_t cp = kNoCharacter;
        if (b < 0x80) {
            cp = static_cast<char32_t>(b);
        } else if (cd) {
            char in = static_cast<char>(b);
            unsigned char out[4] = {};
            char* pIn = &in;
            char* pOut = reinterpret_cast<char*>(out);
            size_t inLeft = 1;
            size_t outLeft = sizeof out;
            (void)iconv(static_cast<iconv_t>(cd.get()), nullptr, nullptr, nullptr, nullptr);
            if (iconv(static_cast<iconv_t>(cd.get()), &pIn, &inLeft, &pOut, &outLeft) !=
                    static_cast<size_t>(-1) &&
                outLeft == 0) {
                cp =
                    out[0] | (out[1] << 8) | (out[2] << 16) | (static_cast<char32_t>(out[3]) << 24);
            }
            if (IsControl(cp)) {
                cp = kNoCharacter;
            }
        }
        m_unicode[static_cast<size_t>(b)] = cp;
        if (cp != kNoCharacter) {
            m_bytes.emplace(cp, static_cast<unsigned char>(b));
        }
    }
}

const std::vector<const CodePage*>& CodePage::All() {
    static const std::vector<CodePage> pages = {
        {"Windows-1252", "CP1252"},     {"Windows-1250", "CP1250"},
        {"Windows-1251", "CP1251"},     {"Windows-1253", "CP1253"},
        {"Windows-1254", "CP1254"},     {"Windows-1257", "CP1257"},
        {"ISO-8859-1", "ISO-8859-1"},   {"ISO-8859-2", "ISO-8859-2"},
        {"ISO-8859-3", "ISO-8859-3"},   {"ISO-8859-4", "ISO-8859-4"},
        {"ISO-8859-5", "ISO-8859-5"},   {"ISO-8859-7", "ISO-8859-7"},
        {"ISO-8859-9", "ISO-8859-9"},   {"ISO-8859-10", "ISO-8859-10"},
        {"ISO-8859-13", "ISO-8859-13"}, {"ISO-8859-14", "ISO-8859-14"},
        {"ISO-8859-15", "ISO-8859-15"}, {"ISO-8859-16", "ISO-8859-16"},
        {"KOI8-R", "KOI8-R"},           {"KOI8-U", "KOI8-U"},
    };
    static const std::vector<const CodePage*> all = [] {
        std::vector<const CodePage*> list;
        list.reserve(pages.size());
        for (const CodePage& page : pages) {
            list.push_back(&page);
        }
        return list;
    }();
    return all;
}

const CodePage* CodePage::Find(const std::string& name) {
    const std::string folded = Folded(name);
    for (const CodePage* page : All()) {
        if (Folded(page->m_strName) == folded || Folded(page->m_strIconvName) == folded) {
            return page;
        }
    }
    return nullptr;
}

const CodePage& CodePage::Western() {
    return *All().front();
}

int CodePage::ToByte(char32_t cp) const {
    if (cp == '\t' || cp == '\n') {
        return static_cast<int>(cp);
    }
    if (IsControl(cp)) {
        return -1;
    }
    const auto it = m_bytes.find(cp);
    return it == m_bytes.end() ? -1 : it->second;
}

std::string CodePage::ToUtf8(const std::string& bytes) const {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const char32_t cp = m_unicode[static_cast<unsigned char>(c)];
        AppendUtf8(out, cp == kNoCharacter ? U'?' : cp);
    }
    return out;
}

std::array<char32_t, 256> CodePage::Characters() const {
    std::array<char32_t, 256> characters = m_unicode;
    for (size_t b = 0; b < characters.size(); ++b) {
        if (characters[b] == kNoCharacter) {
            characters[b] = static_cast<char32_t>(b);
        }
    }
    return characters;
}

const CodePage& CurrentCodePage() {
    return g_pCurrent ? *g_pCurrent : CodePage::Western();
}

void SetCurrentCodePage(const CodePage& page) {
    g_pCurrent = &page;
}

int CodePointToSingleByte(char32_t cp) {
    return CurrentCodePage().ToByte(cp);
}

std::string SingleByteToUtf8(const std::string& text) {
    return CurrentCodePage().ToUtf8(text);
}

SingleByteText ConvertToCodePage(const std::string& utf8, const CodePage& page) {
    SingleByteText result;
    // 1. Every character is UTF-8, and none is a control character but tab and line ends.
    int line = 1;
    for (size_t i = 0; i < utf8.size();) {
        const char32_t cp = DecodeUtf8(utf8, i);
        if (cp == kNotUtf8 || (IsControl(cp) && cp != '\t' && cp != '\n' && cp != '\r')) {
            result.error =
                AtLine(line) + (cp == kNotUtf8 ? std::string("a byte is not UTF-8")
                                               : DescribeCodePoint(cp) + " is a control character");
            return result;
        }
        line += cp == '\n' ? 1 : 0;
    }
    // 2. Composed characters, as a code page holds them.
    const std::string composed = Composed(utf8);
    // 3. Strict conversion: a character the page lacks stops it.
    const IconvPtr cd = OpenIconv(page.IconvName(), "UTF-8");
    if (!cd) {
        result.error = "iconv does not know " + page.Name();
        return result;
    }
    std::string out(composed.size(), '\0');  // never more bytes than UTF-8 has
    char* pIn = const_cast<char*>(composed.data());
    char* pOut = out.data();
    size_t inLeft = composed.size();
    size_t outLeft = out.size();
    if (iconv(static_cast<iconv_t>(cd.get()), &pIn, &inLeft, &pOut, &outLeft) ==
        static_cast<size_t>(-1)) {
        const size_t at = static_cast<size_t>(pIn - composed.data());
        size_t next = at;
        const char32_t cp = DecodeUtf8(composed, next);
        const std::vector<const CodePage*> holders = PagesHolding(composed.substr(at, next - at));
        const int where =
            1 + static_cast<int>(
                    std::count(composed.begin(), composed.begin() + static_cast<long>(at), '\n'));
        result.error = AtLine(where) + DescribeCodePoint(cp) +
                       (holders.empty() ? " is in no single-byte code page"
                                        : " is not in " + page.Name() + " (" + NamesOf(holders) +
                                              (holders.size() == 1 ? " holds" : " hold") + " it)");
        return result;
    }
    out.resize(out.size() - outLeft);
    result.ok = true;
    result.bytes = std::move(out);
    return result;
}

std::vector<const CodePage*> PagesHolding(const std::string& utf8) {
    // Each character once: a long text has few distinct ones.
    std::unordered_set<char32_t> characters;
    const std::string composed = Composed(utf8);
    for (size_t i = 0; i < composed.size();) {
        characters.insert(DecodeUtf8(composed, i));
    }
    characters.erase('\r');
    std::vector<const CodePage*> pages = CodePage::All();
    for (char32_t cp : characters) {
        std::erase_if(pages, [cp](const CodePage* page) { return page->ToByte(cp) < 0; });
    }
    return pages;
}
