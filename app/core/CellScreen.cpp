#include "CellScreen.h"

#include <algorithm>

#include "Encoding.h"

namespace {

char StyleMark(CellStyle style) {
    switch (style) {
        case CellStyle::kNormal:
            return 'n';
        case CellStyle::kCurrent:
            return 'c';
        case CellStyle::kTyped:
            return 't';
        case CellStyle::kTypo:
            return 'x';
        case CellStyle::kMissing:
            return 'm';
        case CellStyle::kHeading:
            return 'h';
        case CellStyle::kStatus:
            return 's';
    }
    return '?';
}

}  // namespace

GridScreen::GridScreen(int cols, int rows) {
    Resize(cols, rows);
}

void GridScreen::Resize(int cols, int rows) {
    m_nCols = std::max(cols, 0);
    m_nRows = std::max(rows, 0);
    m_cells.assign(static_cast<size_t>(m_nCols) * static_cast<size_t>(m_nRows), Cell{});
}

int GridScreen::Index(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_nCols || y >= m_nRows) {
        return -1;
    }
    return y * m_nCols + x;
}

const GridScreen::Cell* GridScreen::At(int x, int y) const {
    const int i = Index(x, y);
    return i < 0 ? nullptr : &m_cells[static_cast<size_t>(i)];
}

GridScreen::Cell* GridScreen::At(int x, int y) {
    const int i = Index(x, y);
    return i < 0 ? nullptr : &m_cells[static_cast<size_t>(i)];
}

void GridScreen::Put(int x, int y, const std::string& utf8, CellStyle style) {
    size_t i = 0;
    for (int cx = x; i < utf8.size(); ++cx) {
        const size_t start = i;
        DecodeUtf8(utf8, i);
        if (Cell* cell = At(cx, y)) {
            cell->glyph = utf8.substr(start, i - start);
            cell->style = style;
        }
    }
}

void GridScreen::ClearCells(int x, int y, int nCells) {
    const int end = nCells < 0 ? m_nCols : std::min(m_nCols, x + nCells);
    for (int cx = std::max(x, 0); cx < end; ++cx) {
        if (Cell* cell = At(cx, y)) {
            *cell = Cell{};
        }
    }
}

void GridScreen::Clear() {
    std::fill(m_cells.begin(), m_cells.end(), Cell{});
}

void GridScreen::SetCursor(int x, int y) {
    m_nCursorX = x;
    m_nCursorY = y;
}

std::string GridScreen::Row(int y) const {
    std::string row;
    for (int x = 0; x < m_nCols; ++x) {
        if (const Cell* cell = At(x, y)) {
            row += cell->glyph;
        }
    }
    row.erase(row.find_last_not_of(' ') + 1);
    return row;
}

std::string GridScreen::Text() const {
    int last = m_nRows - 1;
    while (last >= 0 && Row(last).empty()) {
        --last;
    }
    std::string text;
    for (int y = 0; y <= last; ++y) {
        text += Row(y) + "\n";
    }
    return text;
}

std::string GridScreen::StyledRow(int y) const {
    std::string row;
    std::string pending;  // blanks kept back until something follows them
    CellStyle current = CellStyle::kNormal;
    for (int x = 0; x < m_nCols; ++x) {
        const Cell* cell = At(x, y);
        if (!cell) {
            break;
        }
        if (cell->glyph == " " && cell->style == CellStyle::kNormal) {
            pending += ' ';
            continue;
        }
        row += pending;
        pending.clear();
        if (cell->style != current) {
            current = cell->style;
            row += std::string("{") + StyleMark(current) + "}";
        }
        row += cell->glyph;
    }
    return row;
}

CellStyle GridScreen::StyleAt(int x, int y) const {
    const Cell* cell = At(x, y);
    return cell ? cell->style : CellStyle::kNormal;
}
