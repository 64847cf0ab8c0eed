#pragma once
// Reads a generated bracket page back: its bytes, its style rules, its tables
// as grids of cells, and the bracket that its lines draw. The pages are our
// own regular output (one row per line, plain <td> cells), so a small scanner
// is enough; it refuses anything it does not expect rather than guess.

#include <map>
#include <set>
#include <string>
#include <vector>

namespace pagetest {

struct Cell {
    std::string text;        // with tags stripped and no-break spaces removed
    std::string inner;       // the raw content between <td ...> and </td>
    bool bold = false;       // the text stands inside <b>
    bool nameHasDir = false; // that <b> carries dir="auto"
    bool lineBelow = false;
    bool lineRight = false;
    bool spans = false;      // a colspan or rowspan attribute
};

struct Table {
    std::vector<std::vector<Cell>> rows;
    std::string openTag;
    int gapParagraphsBefore = 0;
};

struct Page {
    int item = 0;
    std::string bytes;
    std::map<std::string, std::string> rules;  // selector -> declarations
    std::vector<Table> tables;

    // The declarations of one selector's rules, empty when it has none.
    std::string rule(const std::string &selector) const
    {
        const auto found = rules.find(selector);
        return found == rules.end() ? std::string() : found->second;
    }
};

std::string pagePath(int item);
std::string readBytes(int item);
Page readPage(int item);

// A horizontal line: consecutive cells of one row with a bottom border.
struct Segment {
    int table = 0;
    int row = 0;
    int firstColumn = 0;
    int lastColumn = 0;
    std::string text;       // the text standing on it, if any
    int fedBy = -1;         // the match whose winner stands on it
};

// A vertical line in one column joining the segments that end there at its
// top and bottom; the winner's segment starts one column to the right.
struct Match {
    int table = 0;
    int column = 0;
    int upper = -1;  // segment indices
    int lower = -1;
    int result = -1;
    int midRow = 0;
    std::string label;  // text of the cell on the midway row of the join
};

struct Drawing {
    std::vector<Segment> segments;
    std::vector<Match> matches;
    std::vector<std::string> problems;  // lines that do not form a match

    // Texts standing at the start of the lines that lead to segment `s`;
    // "?" for a bare line that nothing feeds.
    std::set<std::string> leaves(int segment) const;
    // "X|Y" with X and Y the comma-joined sorted leaves of both slots, X < Y.
    std::string meeting(const Match &match) const;
};

Drawing traceLines(const Page &page);

// "A".."Z", then "aa".."ff"
std::string labelName(int number);
bool isLabel(const std::string &text);
bool isPlaceholder(const std::string &text);

}  // namespace pagetest
