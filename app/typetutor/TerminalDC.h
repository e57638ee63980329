// A device context over the terminal: one character cell is one pixel, so the library's
// layout, line pitch, pages, caret and redraw work on the grid unchanged. The library's colours
// become terminal colours: black is the terminal's normal text, blue the current token, grey,
// red and green the judged typed characters. Curses stays inside TerminalDC.cpp.
#pragma once

#include "platform/DeviceContext.h"

class TerminalDC : public CDC {
public:
    // Curses must be started (StartTerminal) before one is used.
    TerminalDC() = default;

    DCFont SelectFont(const DCFont& font) override;
    SIZE GetTextExtent(const char* text, int nLength) override;
    BOOL TextOut(int x, int y, const char* text, int nLength) override;
    COLORREF SetTextColor(COLORREF color) override;
    COLORREF GetTextColor() const override { return m_crText; }
    int SetBkMode(int mode) override;
    int GetBkMode() const override { return m_nBkMode; }
    int GetClipBox(RECT* rc) const override;

    using CDC::GetTextExtent;
    using CDC::TextOut;

private:
    DCFont m_font;
    COLORREF m_crText = 0;
    int m_nBkMode = 2;
};

// Terminal set-up and the few screen operations the interactive session needs.
void StartTerminal();
void StopTerminal();
void ScreenSize(int* cols, int* rows);
void ClearScreen();
void ClearCells(int x, int y, int width);
// Writes UTF-8 text at a cell; bold for headings, reverse for the status line.
void WriteAt(int x, int y, const char* utf8, bool bold = false, bool reverse = false);
void PlaceCursor(int x, int y);
void ShowScreen();

// Keys as the session sees them.
enum class KeyKind { kNone, kChar, kEnter, kBackspace, kEscape, kQuit, kResize };
struct Key {
    KeyKind kind = KeyKind::kNone;
    char ch = 0;  // kChar: the Windows-1252 byte; 0 when the character has none
};
// Waits up to timeoutMs for a key.
Key ReadKey(int timeoutMs);
