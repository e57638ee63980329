#include "TerminalScreen.h"

#include <curses.h>
#include <clocale>

#include "Encoding.h"

namespace {

enum ColourPair : short {
    kPairBlue = 1,
    kPairRed = 2,
    kPairGreen = 3,
    kPairGrey = 4,
};

// The bright black of 16-colour terminals: grey.
constexpr short kColourGrey = 8;

constexpr int kKeyCtrlC = 3;
constexpr int kKeyCtrlH = 8;
constexpr int kKeyCtrlQ = 17;
constexpr int kKeyEscape = 27;
constexpr int kKeyDelete = 127;
constexpr int kEscapeDelayMs = 25;

bool g_bColours = false;

attr_t AttributesOf(CellStyle style) {
    if (!g_bColours) {
        // Without colours: typos underlined, the current word bold.
        switch (style) {
            case CellStyle::kCurrent:
            case CellStyle::kHeading:
                return A_BOLD;
            case CellStyle::kTypo:
            case CellStyle::kMissing:
                return A_UNDERLINE | A_BOLD;
            case CellStyle::kStatus:
                return A_REVERSE;
            default:
                return A_NORMAL;
        }
    }
    switch (style) {
        case CellStyle::kCurrent:
            return COLOR_PAIR(kPairBlue) | A_BOLD;
        case CellStyle::kTyped:
            return COLOR_PAIR(kPairGrey);
        case CellStyle::kTypo:
            return COLOR_PAIR(kPairRed) | A_BOLD;
        case CellStyle::kMissing:
            return COLOR_PAIR(kPairGreen) | A_BOLD;
        case CellStyle::kHeading:
            return A_BOLD;
        case CellStyle::kStatus:
            return A_REVERSE;
        case CellStyle::kNormal:
        default:
            return A_NORMAL;
    }
}

}  // namespace

void StartTerminal() {
    std::setlocale(LC_ALL, "");
    initscr();
    raw();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    set_escdelay(kEscapeDelayMs);
    if (has_colors()) {
        start_color();
        use_default_colors();
        init_pair(kPairBlue, COLOR_BLUE, -1);
        init_pair(kPairRed, COLOR_RED, -1);
        init_pair(kPairGreen, COLOR_GREEN, -1);
        init_pair(kPairGrey, COLORS >= 16 ? kColourGrey : COLOR_WHITE, -1);
        g_bColours = true;
    }
}

void StopTerminal() {
    endwin();
}

int TerminalScreen::Cols() const {
    return COLS;
}

int TerminalScreen::Rows() const {
    return LINES;
}

void TerminalScreen::Put(int x, int y, const std::string& utf8, CellStyle style) {
    if (y < 0 || y >= LINES) {
        return;
    }
    const attr_t attrs = AttributesOf(style);
    attron(attrs);
    size_t i = 0;
    for (int cx = x; i < utf8.size() && cx < COLS; ++cx) {
        const size_t start = i;
        DecodeUtf8(utf8, i);
        if (cx >= 0) {
            mvaddnstr(y, cx, utf8.c_str() + start, static_cast<int>(i - start));
        }
    }
    attroff(attrs);
}

void TerminalScreen::ClearCells(int x, int y, int nCells) {
    if (y < 0 || y >= LINES) {
        return;
    }
    const int end = nCells < 0 || x + nCells > COLS ? COLS : x + nCells;
    for (int cx = x < 0 ? 0 : x; cx < end; ++cx) {
        mvaddch(y, cx, ' ');
    }
}

void TerminalScreen::Clear() {
    erase();
}

void TerminalScreen::SetCursor(int x, int y) {
    if (x >= 0 && y >= 0 && x < COLS && y < LINES) {
        move(y, x);
    }
}

void TerminalScreen::Show() {
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
        case kKeyDelete:
        case kKeyCtrlH:
            key.kind = KeyKind::kBackspace;
            return key;
        case kKeyEscape:
            key.kind = KeyKind::kEscape;
            return key;
        case kKeyCtrlC:
        case kKeyCtrlQ:
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
