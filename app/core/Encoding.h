// The single-byte text of the library and the UTF-8 of files and terminals. The library works on
// bytes; what character a byte stands for is the code page of the learner's profile.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Code point of a byte sequence that is not UTF-8.
inline constexpr char32_t kNotUtf8 = 0xFFFFFFFF;
// What a byte the code page leaves unassigned stands for.
inline constexpr char32_t kNoCharacter = 0xFFFFFFFE;

// Decodes the UTF-8 sequence at text[i] and moves i past it; kNotUtf8 (i moved past the bad
// bytes) for a malformed one.
char32_t DecodeUtf8(std::string_view text, size_t& i);
void AppendUtf8(std::string& out, char32_t cp);
// The characters of UTF-8 text (its bytes that begin one), as a screen of cells lays them out.
size_t Utf8Length(std::string_view utf8);
// The character as the learner reads it in a message: "'П' (U+041F)".
std::string DescribeCodePoint(char32_t cp);

// A single-byte code page, its bytes read from iconv once when first used.
class CodePage {
public:
    // The pages a history may be kept in: the Windows pages first, then ISO-8859 and KOI8.
    static const std::vector<const CodePage*>& All();
    // A page by its name, or by the name iconv gives it ("cp1251", "iso8859-5"), in any case;
    // null when no page has the name.
    static const CodePage* Find(const std::string& name);
    // Windows-1252: the page of every history made before profiles had one.
    static const CodePage& Western();

    // The name as the learner sees it: "Windows-1251", "ISO-8859-5", "KOI8-R".
    const std::string& Name() const { return m_strName; }
    // The name iconv knows the page by.
    const std::string& IconvName() const { return m_strIconvName; }
    // The code point of a byte; kNoCharacter where the page has none.
    char32_t ToUnicode(unsigned char byte) const { return m_unicode[byte]; }
    // The byte of a code point, or -1 when the page has none. Tab and line feed map to
    // themselves; other control characters have no byte.
    int ToByte(char32_t cp) const;
    // Text of this page as UTF-8; an unassigned byte becomes '?'.
    std::string ToUtf8(const std::string& bytes) const;
    // The character of every byte, for renderers that take code points: an unassigned byte
    // stands for the control code of its own value.
    std::array<char32_t, 256> Characters() const;

    CodePage(std::string name, std::string iconvName);

private:
    std::string m_strName;
    std::string m_strIconvName;
    std::array<char32_t, 256> m_unicode{};
    std::unordered_map<char32_t, unsigned char> m_bytes;
};

// The code page of the history this run works in; Windows-1252 until one is chosen. Every byte
// the program shows or reads goes through it, so that one run never mixes two pages.
const CodePage& CurrentCodePage();
void SetCurrentCodePage(const CodePage& page);

// The byte of a code point in the current page, or -1 (as CodePage::ToByte).
int CodePointToSingleByte(char32_t cp);
// Text of the current page to UTF-8; an unassigned byte becomes '?'.
std::string SingleByteToUtf8(const std::string& text);

// The result of a conversion from UTF-8.
struct SingleByteText {
    bool ok = false;
    std::string bytes;
    std::string error;  // "line 3: 'Π' (U+03A0) is not in Windows-1252; ..."
};

// Normalises UTF-8 text to composed characters (NFC: "e" and a combining acute become "é") and
// converts it strictly to page with iconv. Refuses bytes that are not UTF-8, control characters
// other than tab, line feed and carriage return, and characters the page does not hold, naming
// the line and the pages that would hold the character.
SingleByteText ConvertToCodePage(const std::string& utf8, const CodePage& page);
// The pages of All() that hold every character of the UTF-8 text (composed, as above), in the
// order of All().
std::vector<const CodePage*> PagesHolding(const std::string& utf8);
