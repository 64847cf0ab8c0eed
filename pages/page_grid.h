#pragma once
// One bracket table as a plain grid: every row has the same number of cells,
// no cell spans another, and every line of the drawing is a border of one
// cell. The layout fills it; the HTML writer only reads it. Keeping the
// drawing as data lets the build refuse a layout whose texts collide instead
// of shipping a page that prints wrong.

#include <string>
#include <vector>

namespace zandrel {

// What a cell's text is, which decides how it is printed.
enum class CellText {
    None,        // empty: prints a no-break space
    Name,        // an entrant's placeholder, bold, standing on its line
    Label,       // a match label or a drop-in place, standing on its line
    MatchLabel,  // a winners-bracket match label beside the joining line
    Caption,     // "Winner", "(if necessary)": hangs under a line
    Heading,     // "Winners" / "Losers" / "Bracket", left-aligned
    HeadingRight // the same, right-aligned
};

struct PageCell {
    std::string text;
    CellText kind = CellText::None;
    bool lineBelow = false;  // bottom border: a slot's line
    bool lineRight = false;  // right border: part of a match's joining line
};

class PageGrid {
public:
    PageGrid(int rows, int columns);

    int rows() const { return m_rows; }
    int columns() const { return m_columns; }

    const PageCell &at(int row, int column) const;

    // Puts text into an empty cell. A second text for the same cell is a
    // layout fault and throws std::logic_error, as does a cell off the grid.
    void setText(int row, int column, std::string text, CellText kind);
    void drawLineBelow(int row, int column);
    void drawLineRight(int row, int column);

    // Print geometry: fixed column widths and one height for every row.
    void setColumnWidths(std::vector<double> points);
    const std::vector<double> &columnWidths() const { return m_columnWidths; }
    void setRowHeight(double points) { m_rowHeight = points; }
    double rowHeight() const { return m_rowHeight; }

private:
    PageCell &cell(int row, int column);

    int m_rows;
    int m_columns;
    std::vector<PageCell> m_cells;      // row by row
    std::vector<double> m_columnWidths; // points, one per column
    double m_rowHeight = 0.0;           // points
};

}  // namespace zandrel
