// The terminal under curses: a CellScreen over it and its keys. Curses itself stays inside
// TerminalScreen.cpp, away from every header the library's headers meet.
#pragma once

#include "CellScreen.h"
#include "Tutor.h"

// Takes the terminal over (raw keys, no echo, colours when it has them); StopTerminal gives it
// back. Only one at a time.
void StartTerminal();
void StopTerminal();

class TerminalScreen : public CellScreen {
public:
    int Cols() const override;
    int Rows() const override;
    void Put(int x, int y, const std::string& utf8, CellStyle style) override;
    void ClearCells(int x, int y, int nCells) override;
    void Clear() override;
    void SetCursor(int x, int y) override;
    void Show() override;
};

// Waits up to timeoutMs (forever when negative) for a key; KeyKind::kNone when none came.
// Ctrl-C and Ctrl-Q are kQuit; a terminal resize is kResize.
Key ReadKey(int timeoutMs);
