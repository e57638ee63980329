#include "TerminalDC.h"

#include <curses.h>
#include <clocale>
#include <string>

#include "Lesson.h"

namespace {

enum ColourPair : short {
    kPairNormal = 0,
    kPairBlue = 1,
    kPairRed = 2,
    kPairGreen = 3,
    kPairGrey = 4,
};

// Library colours (0x00BBGGRR).
constexpr COLORREF kBlue = 0x00FF0000;
constexpr COLORREF kRed = 0x000000FF;
constexpr COLORREF kGreen = 0x0000FF00;
constexpr COLORREF kGrey = 0x00606060;

bool g_bColours = false;

attr_t AttributesOf(COLORREF colour) {
    if (!g_bColours) {
        return colour == kRed ? A_UNDERLINE | A_BOLD : colour == kBlue ? A_BOLD : A_NORMAL;
    }
    switch (colour) {
        case kBlue:
            return COLOR_PAIR(kPairBlue) | A_BOLD;
        case kRed:
            return COLOR_PAIR(kPairRed) | A_BOLD;
        case kGreen:
            return COLOR_PAIR(kPairGreen) | A_BOLD;
        case kGrey:
            return COLOR_PAIR(kPairGrey);
        default:
            return A_NORMAL;
    }
}

// Windows-1252 bytes that no UTF-8 terminal shows sensibly are drawn as '?'.
std::string CellText(const char* text, int nLength) {
    std::string bytes(text, static_cast<size_t>(nLength));
    for (char& c : bytes) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (b < 0x20) {
            c = b == 3 ? '_' : ' ';
        }
    }
    return SingleByteToUtf8(bytes);
}

}  // namespace

DCFont TerminalDC::SelectFont(const DCFont& font) {
    DCFont previous = m_font;
    m_font = font;
    return previous;
}

SIZE TerminalDC::GetTextExtent(const char* /*text*/, int nLength) {
    return SIZE{nLength > 0 ? nLength : 0, 1};
}

BOOL TerminalDC::TextOut(int x, int y, const char* text, int nLength) {
    if (!text || nLength <= 0 || y < 0 || y >= LINES || x >= COLS) {
        return TRUE;
    }
    int skip = x < 0 ? -x : 0;
    if (skip >= nLength) {
        return TRUE;
    }
    const int room = COLS - (x + skip);
    const int n = nLength - skip < room ? nLength - skip : room;
    attr_t attrs = AttributesOf(m_crText);
    attron(attrs);
    mvaddstr(y, x + skip, CellText(text + skip, n).c_str());
    attroff(attrs);
    return TRUE;
}

COLORREF TerminalDC::SetTextColor(COLORREF color) {
    COLORREF previous = m_crText;
    m_crText = color;
    return previous;
}

int TerminalDC::SetBkMode(int mode) {
    int previous = m_nBkMode;
    m_nBkMode = mode;
    return previous;
}

int TerminalDC::GetClipBox(RECT* rc) const {
    if (rc) {
        SetRect(rc, 0, 0, COLS, LINES);
    }
    return 1;
}

void StartTerminal() {
    std::setlocale(LC_ALL, "");
    initscr();
    raw();
    noecho();
    keypad(stdscr, TRUE);
    set_escdelay(25);
    if (has_colors()) {
        start_color();
        use_default_colors();
        init_pair(kPairBlue, COLOR_BLUE, -1);
        init_pair(kPairRed, COLOR_RED, -1);
        init_pair(kPairGreen, COLOR_GREEN, -1);
        init_pair(kPairGrey, COLORS >= 16 ? 8 : COLOR_WHITE, -1);
        g_bColours = true;
    }
}

void StopTerminal() {
    endwin();
}

void ScreenSize(int* cols, int* rows) {
    *cols = COLS;
    *rows = LINES;
}

void ClearScreen() {
    erase();
}

void ClearCells(int x, int y, int width) {
    if (y < 0 || y >= LINES) {
        return;
    }
    for (int i = x < 0 ? 0 : x; i < x + width && i < COLS; ++i) {
        mvaddch(y, i, ' ');
    }
}

void WriteAt(int x, int y, const char* utf8, bool bold, bool reverse) {
    attr_t attrs = (bold ? A_BOLD : A_NORMAL) | (reverse ? A_REVERSE : A_NORMAL);
    attron(attrs);
    mvaddnstr(y, x, utf8, -1);
    attroff(attrs);
}

void PlaceCursor(int x, int y) {
    if (x >= 0 && y >= 0 && x < COLS && y < LINES) {
        move(y, x);
    }
}

void ShowScreen() {
    refresh();
}

Key ReadKey(int timeoutMs) {
    timeout(timeoutMs);
    wint_t wc = 0;
    const int kind = get_wch(&wc);
    Key key;
    if (kind == ERR) {
        return key;
    }
    if (kind == KEY_CODE_YES) {
        switch (wc) {
            case KEY_ENTER:
                key.kind = KeyKind::kEnter;
                break;
            case KEY_BACKSPACE:
                key.kind = KeyKind::kBackspace;
                break;
            case KEY_RESIZE:
                key.kind = KeyKind::kResize;
                break;
            default:
                break;
        }
        return key;
    }
    switch (wc) {
        case '\n':
        case '\r':
            key.kind = KeyKind::kEnter;
            return key;
        case 127:
        case 8:
            key.kind = KeyKind::kBackspace;
            return key;
        case 27:
            key.kind = KeyKind::kEscape;
            return key;
        case 3:   // Ctrl-C
        case 17:  // Ctrl-Q
            key.kind = KeyKind::kQuit;
            return key;
        default:
            break;
    }
    if (wc < 0x20) {
        return key;
    }
    const int b = CodePointToSingleByte(static_cast<char32_t>(wc));
    key.kind = KeyKind::kChar;
    key.ch = b > 0 ? static_cast<char>(b) : 0;
    return key;
}
