#include "pages/page_grid.h"

#include <stdexcept>

namespace zandrel {

PageGrid::PageGrid(int rows, int columns)
    : m_rows(rows), m_columns(columns), m_cells(static_cast<size_t>(rows * columns)),
      m_columnWidths(static_cast<size_t>(columns), 0.0)
{
    if (rows <= 0 || columns <= 0)
        throw std::logic_error("a bracket table needs rows and columns");
}

const PageCell &PageGrid::at(int row, int column) const
{
    if (row < 0 || row >= m_rows || column < 0 || column >= m_columns)
        throw std::logic_error("cell " + std::to_string(row) + "," + std::to_string(column)
                               + " is off the grid");
    return m_cells[static_cast<size_t>(row * m_columns + column)];
}

PageCell &PageGrid::cell(int row, int column)
{
    return const_cast<PageCell &>(static_cast<const PageGrid &>(*this).at(row, column));
}

void PageGrid::setText(int row, int column, std::string text, CellText kind)
{
    PageCell &target = cell(row, column);
    if (target.kind != CellText::None)
        throw std::logic_error("cell " + std::to_string(row) + "," + std::to_string(column)
                               + " already holds \"" + target.text + "\", cannot take \"" + text
                               + "\"");
    target.text = std::move(text);
    target.kind = kind;
}

void PageGrid::drawLineBelow(int row, int column)
{
    cell(row, column).lineBelow = true;
}

void PageGrid::drawLineRight(int row, int column)
{
    cell(row, column).lineRight = true;
}

void PageGrid::setColumnWidths(std::vector<double> points)
{
    if (points.size() != static_cast<size_t>(m_columns))
        throw std::logic_error("one width per column is needed");
    m_columnWidths = std::move(points);
}

}  // namespace zandrel
