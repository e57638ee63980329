#include "Encoding.h"

namespace {

// Code points of the Windows-1252 bytes 0x80..0x9F; 0 where the byte is undefined.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

constexpr char32_t kUndefinedByte = U'?';

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

int CodePointToSingleByte(char32_t cp) {
    if (cp == '\t' || cp == '\n') {
        return static_cast<int>(cp);
    }
    if (cp < 0x20 || cp == 0x7F) {
        return -1;
    }
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<int>(cp);
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] != 0 && kHighControls[i] == cp) {
            return 0x80 + i;
        }
    }
    return -1;
}

std::string SingleByteToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const unsigned char b = static_cast<unsigned char>(c);
        char32_t cp = b;
        if (b >= 0x80 && b < 0xA0) {
            cp = kHighControls[b - 0x80] ? kHighControls[b - 0x80] : kUndefinedByte;
        }
        AppendUtf8(out, cp);
    }
    return out;
}
