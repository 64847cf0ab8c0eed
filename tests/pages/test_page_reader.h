#pragma once
// Reads a generated bracket page back: its bytes, its tables as grids of cells,
// and the bracket its lines draw. The pages are our own regular output (one
// <tr> per line, plain <td> cells, class "b" for a line under a cell and "r"
// for one on its right), so a line-by-line scan is enough.

#include <array>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace pagetest {

struct Cell {
    std::string text;   // without tags and no-break spaces
    std::string inner;  // what stands between <td ...> and </td>
    bool lineBelow = false, lineRight = false, spans = false;
};
using Grid = std::vector<std::vector<Cell>>;

struct Page {
    std::string bytes;
    std::vector<Grid> tables;

    // The cell at {table, row, column}; an empty one outside the grid.
    const Cell &at(int t, int r, int c) const
    {
        static const Cell none;
        const bool inside = t >= 0 && t < int(tables.size()) && r >= 0 && r < int(tables[t].size()) && c >= 0
                            && c < int(tables[t][r].size());
        return inside ? tables[t][r][c] : none;
    }
    // Where the first cell holding exactly `text` stands: {table, row, column}, or all -1.
    std::array<int, 3> find(const std::string &text) const
    {
        for (int t = 0; t < int(tables.size()); ++t)
            for (int r = 0; r < int(tables[t].size()); ++r)
                for (int c = 0; c < int(tables[t][r].size()); ++c)
                    if (tables[t][r][c].text == text)
                        return {t, r, c};
        return {-1, -1, -1};
    }
};

inline std::string readBytes(int item)
{
    const std::string path = std::string(ZANDREL_PAGES_DIR) + "/" + std::to_string(item) + ".htm";
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot open " + path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline Page readPage(int item)
{
    static const std::regex cell(R"(<td([^>]*)>(.*?)</td>)"), classes(R"x(class="([^"]*)")x"),
        noText("<[^>]*>|&nbsp;|\xA0");
    Page page{readBytes(item), {}};
    std::istringstream lines(page.bytes);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("<table"))
            page.tables.emplace_back();
        if (!line.starts_with("<tr"))
            continue;
        if (page.tables.empty())
            throw std::runtime_error("a row outside a table");
        auto &row = page.tables.back().emplace_back();
        for (std::sregex_iterator m(line.begin(), line.end(), cell), end; m != end; ++m) {
            const std::string attributes = (*m)[1], inner = (*m)[2];
            std::smatch names;
            const std::string spaced = std::regex_search(attributes, names, classes) ? " " + names[1].str() + " " : "";
            row.push_back({std::regex_replace(inner, noText, ""), inner, spaced.find(" b ") != std::string::npos,
                           spaced.find(" r ") != std::string::npos, attributes.find("span") != std::string::npos});
        }
    }
    return page;
}

// A horizontal line: consecutive cells of one row with a line under them.
struct Segment {
    int table, row, first, last;
    std::string text;               // the text standing on it, if any
    std::set<std::string> leaves;   // the texts at the start of the lines leading to it; "?" for a bare line
};

// A vertical line joining the segments that end in its column at its top and
// bottom; the winner's segment starts one column to the right, midway.
struct Match {
    int table, column, upper, lower, result;
    std::string label;  // the text beside the join, on its midway row
};

struct Drawing {
    std::vector<Segment> segments;      // row by row
    std::vector<Match> matches;         // column by column, each top to bottom
    std::vector<std::string> problems;  // lines that do not form a match

    // "X|Y": the comma-joined leaves of both slots, X < Y.
    std::string meeting(const Match &m) const
    {
        std::string sides[2];
        for (int i = 0; i < 2; ++i)
            for (const std::string &leaf : segments[i ? m.lower : m.upper].leaves)
                sides[i] += (sides[i].empty() ? "" : ",") + leaf;
        return std::min(sides[0], sides[1]) + "|" + std::max(sides[0], sides[1]);
    }
};

inline Drawing traceLines(const Page &page)
{
    Drawing d;
    std::map<std::array<int, 3>, int> ending, starting;  // {table, row, column} -> segment
    const auto segment = [](const auto &where, int t, int r, int c) {
        const auto found = where.find({t, r, c});
        return found == where.end() ? -1 : found->second;
    };
    const auto problem = [&](int t, int r, int c, const std::string &what) {
        d.problems.push_back("table " + std::to_string(t) + " row " + std::to_string(r) + " column "
                             + std::to_string(c) + ": " + what);
    };
    for (int t = 0; t < int(page.tables.size()); ++t)
        for (int r = 0; r < int(page.tables[t].size()); ++r)
            for (int c = 0; c < int(page.tables[t][r].size()); ++c) {
                if (!page.at(t, r, c).lineBelow)
                    continue;
                Segment s{t, r, c, c, {}, {}};
                for (; page.at(t, r, s.last).lineBelow; ++s.last)
                    if (const std::string &text = page.at(t, r, s.last).text; !text.empty()) {
                        if (!s.text.empty())
                            problem(t, r, s.last, "two texts on one line");
                        s.text = text;
                    }
                c = --s.last;
                s.leaves = {s.text.empty() ? "?" : s.text};
                starting[{t, r, s.first}] = ending[{t, r, s.last}] = int(d.segments.size());
                d.segments.push_back(s);
            }
    // Column by column, so that the lines leading to a slot are traced before it.
    for (int t = 0; t < int(page.tables.size()); ++t)
        for (int c = 0; c < int(page.tables[t].at(0).size()); ++c)
            for (int r = 0; r < int(page.tables[t].size()); ++r) {
                if (!page.at(t, r, c).lineRight)
                    continue;
                int last = r;
                while (page.at(t, last + 1, c).lineRight)
                    ++last;
                const int mid = (r - 1 + last) / 2;
                const Match m{t, c, segment(ending, t, r - 1, c), segment(ending, t, last, c),
                              (r - 1 + last) % 2 ? -1 : segment(starting, t, mid, c + 1), page.at(t, mid, c).text};
                if (m.upper < 0 || m.lower < 0 || m.result < 0) {
                    problem(t, r, c, "a joining line that does not lead two slots midway to a winner's line");
                } else {
                    Segment &winner = d.segments[m.result];
                    if (!winner.text.empty())
                        problem(t, mid, c + 1, "a winner's line already holds a text");
                    winner.leaves = d.segments[m.upper].leaves;
                    winner.leaves.insert(d.segments[m.lower].leaves.begin(), d.segments[m.lower].leaves.end());
                    d.matches.push_back(m);
                }
                r = last;
            }
    return d;
}

inline size_t count(const std::string &text, const std::string &what)
{
    size_t hits = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++hits;
    return hits;
}

inline std::string placeholder(int seed)
{
    return "PLAYER " + std::to_string(seed);
}

inline bool isPlaceholder(const std::string &text)
{
    return text.starts_with("PLAYER ");
}

// Match labels: "A".."Z", then "aa".."ff".
inline std::string labelName(int number)
{
    return std::string(number < 26 ? 1 : 2, char(number < 26 ? 'A' + number : 'a' + number - 26));
}

inline bool isLabel(const std::string &text)
{
    return (text.size() == 1 && text[0] >= 'A' && text[0] <= 'Z')
           || (text.size() == 2 && text[0] == text[1] && text[0] >= 'a' && text[0] <= 'f');
}

}  // namespace pagetest
