#pragma once
// Draws the bracket of one built-in page into grids: which cell holds which
// name or label and which borders make up the lines. Every size of a layout
// family shares the family's grid, so pages differ only in what is drawn.

#include "pages/page_grid.h"

#include <vector>

namespace zandrel {

struct PageTable {
    PageGrid grid;
    bool keepRowsWhole = false;   // a row never breaks across sheets
    bool startsNewSheet = false;  // printed from the top of a fresh sheet
    int gapParagraphs = 0;        // empty paragraphs printed before the table
};

struct BracketPage {
    int entrants = 0;
    bool isDouble = false;
    // Page margins in inches: top, right, bottom, left.
    double margins[4] = {0, 0, 0, 0};
    double tableFontPoints = 10.0;
    std::vector<PageTable> tables;
};

class PageLayout {
public:
    // Items 101 to 162; 101 and 102 are drawn as 103.
    static BracketPage forItem(int item);
    static BracketPage singleElimination(int entrants);
    static BracketPage doubleElimination(int entrants);
};

}  // namespace zandrel
