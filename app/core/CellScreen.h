// A screen of character cells, the surface the typing tutor draws on: the terminal in the
// program (CursesScreen), a grid in memory in tests and replays (GridScreen).
#pragma once

#include <string>
#include <vector>

// How a cell is shown. The lesson text is the terminal's normal colour; the other styles are
// the colours the articles draw in and the program's own headings and status line.
enum class CellStyle : unsigned char {
    kNormal,   // lesson text
    kCurrent,  // blue: the word to type now
    kTyped,    // grey: typed characters judged right
    kTypo,     // red: typed characters judged wrong
    kMissing,  // green: placeholders for skipped characters
    kHeading,  // bold
    kStatus,   // reverse video: the status line
};

class CellScreen {
public:
    virtual ~CellScreen() = default;

    virtual int Cols() const = 0;
    virtual int Rows() const = 0;
    // Writes UTF-8 text from cell (x, y), one cell per character; cells outside are dropped.
    virtual void Put(int x, int y, const std::string& utf8, CellStyle style) = 0;
    // Blanks nCells cells of row y from x on (to the end of the row when nCells is negative).
    virtual void ClearCells(int x, int y, int nCells) = 0;
    virtual void Clear() = 0;
    // Places the cursor, where the learner's caret is.
    virtual void SetCursor(int x, int y) = 0;
    // Makes what was written visible.
    virtual void Show() = 0;
};

// A screen in memory.
class GridScreen : public CellScreen {
public:
    GridScreen(int cols, int rows);

    // A new size; the content is cleared.
    void Resize(int cols, int rows);

    int Cols() const override { return m_nCols; }
    int Rows() const override { return m_nRows; }
    void Put(int x, int y, const std::string& utf8, CellStyle style) override;
    void ClearCells(int x, int y, int nCells) override;
    void Clear() override;
    void SetCursor(int x, int y) override;
    void Show() override {}

    // Row y as UTF-8 text, blanks at its end dropped.
    std::string Row(int y) const;
    // Every row, each ended by a line feed, blank rows at the end dropped.
    std::string Text() const;
    // Row y with its styles: every change of style is marked as {n} normal, {c} current,
    // {t} typed, {x} typo, {m} missing, {h} heading, {s} status; starts in normal.
    std::string StyledRow(int y) const;
    CellStyle StyleAt(int x, int y) const;
    int CursorX() const { return m_nCursorX; }
    int CursorY() const { return m_nCursorY; }

private:
    struct Cell {
        std::string glyph = " ";
        CellStyle style = CellStyle::kNormal;
    };
    // The cell's index, or -1 outside the grid.
    int Index(int x, int y) const;
    const Cell* At(int x, int y) const;
    Cell* At(int x, int y);

    int m_nCols = 0;
    int m_nRows = 0;
    int m_nCursorX = 0;
    int m_nCursorY = 0;
    std::vector<Cell> m_cells;
};
