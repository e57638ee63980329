// Single-byte text of the library (Windows-1252) to Unicode, for font renderers that take UTF-8.
#pragma once

#include <string>

// The Unicode code point of one Windows-1252 byte. The five positions the code page leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control codes of the same value.
char32_t Windows1252ToUnicode(unsigned char byte);

// Appends the UTF-8 encoding of code point cp to out; returns out.
std::string& AppendUtf8(char32_t cp, std::string& out);

// out = the UTF-8 form of the first nLength bytes of text (none when text is null or nLength is
// not positive); returns out.
std::string& Windows1252ToUtf8(const char* text, int nLength, std::string& out);
std::string& Windows1252ToUtf8(const std::string& text, std::string& out);
