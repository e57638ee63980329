// The single-byte text of the library (Windows-1252) and the UTF-8 of files and terminals.
#pragma once

#include <string>
#include <string_view>

// Code point of a byte sequence that is not UTF-8.
inline constexpr char32_t kNotUtf8 = 0xFFFFFFFF;

// Decodes the UTF-8 sequence at text[i] and moves i past it; kNotUtf8 (i moved past the bad
// bytes) for a malformed one.
char32_t DecodeUtf8(std::string_view text, size_t& i);
void AppendUtf8(std::string& out, char32_t cp);

// The Windows-1252 byte of a code point, or -1 when it has none. Tab and line feed map to
// themselves; other control characters have no byte.
int CodePointToSingleByte(char32_t cp);
// Windows-1252 text to UTF-8; the five bytes that Windows-1252 leaves undefined become '?'.
std::string SingleByteToUtf8(const std::string& text);
