#include "test_page_reader.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

#ifndef ZANDREL_PAGES_DIR
#error "ZANDREL_PAGES_DIR must name the folder of the generated pages"
#endif

namespace pagetest {

namespace {

std::string between(const std::string &text, size_t from, const std::string &open,
                    const std::string &close, size_t *end)
{
    const size_t start = text.find(open, from);
    if (start == std::string::npos)
        return {};
    const size_t stop = text.find(close, start + open.size());
    if (stop == std::string::npos)
        throw std::runtime_error("unclosed " + open);
    *end = stop + close.size();
    return text.substr(start + open.size(), stop - start - open.size());
}

std::string stripTags(const std::string &html)
{
    std::string out;
    bool inTag = false;
    for (char c : html) {
        if (c == '<')
            inTag = true;
        else if (c == '>')
            inTag = false;
        else if (!inTag)
            out += c;
    }
    std::string cleaned;
    for (size_t i = 0; i < out.size(); ++i) {
        if (out.compare(i, 6, "&nbsp;") == 0) {
            i += 5;
            continue;
        }
        if (out[i] == '\xA0' || out[i] == '\r' || out[i] == '\n')
            continue;
        cleaned += out[i];
    }
    const size_t first = cleaned.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return cleaned.substr(first, cleaned.find_last_not_of(' ') - first + 1);
}

std::string attribute(const std::string &tag, const std::string &name)
{
    const std::string key = name + "=\"";
    const size_t at = tag.find(key);
    if (at == std::string::npos)
        return {};
    const size_t end = tag.find('"', at + key.size());
    return tag.substr(at + key.size(), end - at - key.size());
}

// Classes whose rule draws a bottom or a right border.
std::set<std::string> classesWith(const Page &page, const std::string &property)
{
    std::set<std::string> classes;
    for (const auto &[selector, body] : page.rules)
        if (selector.size() > 1 && selector[0] == '.' && body.find(property) != std::string::npos)
            classes.insert(selector.substr(1));
    return classes;
}

Cell readCell(const std::string &openTag, const std::string &inner,
              const std::set<std::string> &below, const std::set<std::string> &right)
{
    Cell cell;
    cell.inner = inner;
    cell.text = stripTags(inner);
    cell.spans = openTag.find("colspan") != std::string::npos
                 || openTag.find("rowspan") != std::string::npos;
    const size_t bold = inner.find("<b");
    cell.bold = bold != std::string::npos;
    if (cell.bold)
        cell.nameHasDir =
            attribute(inner.substr(bold, inner.find('>', bold) - bold), "dir") == "auto";
    std::istringstream classes(attribute(openTag, "class"));
    for (std::string name; classes >> name;) {
        cell.lineBelow = cell.lineBelow || below.count(name) > 0;
        cell.lineRight = cell.lineRight || right.count(name) > 0;
    }
    return cell;
}

}  // namespace

std::string pagePath(int item)
{
    return std::string(ZANDREL_PAGES_DIR) + "/" + std::to_string(item) + ".htm";
}

std::string readBytes(int item)
{
    std::ifstream file(pagePath(item), std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot open " + pagePath(item));
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

Page readPage(int item)
{
    Page page;
    page.item = item;
    page.bytes = readBytes(item);
    size_t end = 0;
    const std::string style = between(page.bytes, 0, "<style>", "</style>", &end);
    std::istringstream lines(style);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t open = line.find('{');
        if (open == std::string::npos || line.back() != '}')
            continue;
        page.rules[line.substr(0, open)] += line.substr(open + 1, line.size() - open - 2) + ";";
    }
    const auto below = classesWith(page, "border-bottom");
    const auto right = classesWith(page, "border-right");

    const std::string body = between(page.bytes, 0, "<body>", "</body>", &end);
    size_t at = 0;
    for (;;) {
        const size_t tableStart = body.find("<table", at);
        if (tableStart == std::string::npos)
            break;
        Table table;
        for (size_t p = body.find("<p", at); p < tableStart; p = body.find("<p", p + 1))
            ++table.gapParagraphsBefore;
        const size_t tableEnd = body.find("</table>", tableStart);
        table.openTag = body.substr(tableStart, body.find('>', tableStart) - tableStart + 1);
        const std::string content = body.substr(tableStart, tableEnd - tableStart);
        size_t rowAt = 0;
        for (;;) {
            size_t rowEnd = 0;
            const size_t rowStart = content.find("<tr", rowAt);
            if (rowStart == std::string::npos)
                break;
            const std::string row = between(content, rowStart, ">", "</tr>", &rowEnd);
            std::vector<Cell> cells;
            size_t cellAt = 0;
            for (;;) {
                const size_t cellStart = row.find("<td", cellAt);
                if (cellStart == std::string::npos)
                    break;
                const size_t tagEnd = row.find('>', cellStart);
                const size_t cellEnd = row.find("</td>", tagEnd);
                cells.push_back(readCell(row.substr(cellStart, tagEnd - cellStart + 1),
                                         row.substr(tagEnd + 1, cellEnd - tagEnd - 1), below,
                                         right));
                cellAt = cellEnd + 5;
            }
            table.rows.push_back(std::move(cells));
            rowAt = rowEnd;
        }
        page.tables.push_back(std::move(table));
        at = tableEnd + 8;
    }
    return page;
}

Drawing traceLines(const Page &page)
{
    Drawing drawing;
    const auto problem = [&](int table, int row, int column, const std::string &what) {
        drawing.problems.push_back("table " + std::to_string(table) + " row " + std::to_string(row)
                                   + " column " + std::to_string(column) + ": " + what);
    };
    for (int t = 0; t < static_cast<int>(page.tables.size()); ++t) {
        const auto &rows = page.tables[static_cast<size_t>(t)].rows;
        const auto cell = [&](int r, int c) -> const Cell & {
            return rows[static_cast<size_t>(r)][static_cast<size_t>(c)];
        };
        const int height = static_cast<int>(rows.size());
        const auto segmentAt = [&](int r, int column, bool endingThere) {
            for (size_t s = 0; s < drawing.segments.size(); ++s) {
                const Segment &seg = drawing.segments[s];
                if (seg.table == t && seg.row == r
                    && (endingThere ? seg.lastColumn : seg.firstColumn) == column)
                    return static_cast<int>(s);
            }
            return -1;
        };
        for (int r = 0; r < height; ++r) {
            const int width = static_cast<int>(rows[static_cast<size_t>(r)].size());
            for (int c = 0; c < width;) {
                if (!cell(r, c).lineBelow) {
                    ++c;
                    continue;
                }
                Segment seg{t, r, c, c, {}, -1};
                while (seg.lastColumn + 1 < width && cell(r, seg.lastColumn + 1).lineBelow)
                    ++seg.lastColumn;
                for (int k = seg.firstColumn; k <= seg.lastColumn; ++k) {
                    if (cell(r, k).text.empty())
                        continue;
                    if (!seg.text.empty())
                        problem(t, r, k, "two texts on one line");
                    seg.text = cell(r, k).text;
                }
                drawing.segments.push_back(seg);
                c = seg.lastColumn + 1;
            }
        }
        const int width = height ? static_cast<int>(rows[0].size()) : 0;
        for (int c = 0; c < width; ++c) {
            for (int r = 0; r < height;) {
                if (!cell(r, c).lineRight) {
                    ++r;
                    continue;
                }
                int last = r;
                while (last + 1 < height && cell(last + 1, c).lineRight)
                    ++last;
                Match match;
                match.table = t;
                match.column = c;
                match.upper = r > 0 ? segmentAt(r - 1, c, true) : -1;
                match.lower = segmentAt(last, c, true);
                if ((r - 1 + last) % 2 != 0) {
                    problem(t, r, c, "joining line without a midway row");
                } else {
                    match.midRow = (r - 1 + last) / 2;
                    match.result = c + 1 < width ? segmentAt(match.midRow, c + 1, false) : -1;
                    match.label = cell(match.midRow, c).text;
                }
                if (match.upper < 0 || match.lower < 0 || match.result < 0) {
                    problem(t, r, c, "joining line that does not join two slots to a winner's line");
                } else {
                    drawing.segments[static_cast<size_t>(match.result)].fedBy =
                        static_cast<int>(drawing.matches.size());
                    drawing.matches.push_back(match);
                }
                r = last + 1;
            }
        }
    }
    for (const Segment &seg : drawing.segments) {
        if (!seg.text.empty() && seg.fedBy >= 0)
            problem(seg.table, seg.row, seg.firstColumn, "a winner's line already holds a text");
    }
    return drawing;
}

std::set<std::string> Drawing::leaves(int segment) const
{
    const Segment &seg = segments.at(static_cast<size_t>(segment));
    if (!seg.text.empty())
        return {seg.text};
    if (seg.fedBy < 0)
        return {"?"};
    const Match &match = matches.at(static_cast<size_t>(seg.fedBy));
    std::set<std::string> all = leaves(match.upper);
    const std::set<std::string> lower = leaves(match.lower);
    all.insert(lower.begin(), lower.end());
    return all;
}

std::string Drawing::meeting(const Match &match) const
{
    const auto joined = [&](int segment) {
        std::string out;
        for (const std::string &leaf : leaves(segment))
            out += (out.empty() ? "" : ",") + leaf;
        return out;
    };
    std::string a = joined(match.upper);
    std::string b = joined(match.lower);
    if (b < a)
        std::swap(a, b);
    return a + "|" + b;
}

std::string labelName(int number)
{
    if (number < 26)
        return std::string(1, static_cast<char>('A' + number));
    return std::string(2, static_cast<char>('a' + number - 26));
}

bool isLabel(const std::string &text)
{
    if (text.size() == 1)
        return text[0] >= 'A' && text[0] <= 'Z';
    return text.size() == 2 && text[0] == text[1] && text[0] >= 'a' && text[0] <= 'f';
}

bool isPlaceholder(const std::string &text)
{
    return text.rfind("PLAYER ", 0) == 0;
}

}  // namespace pagetest
