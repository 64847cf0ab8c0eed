#include "pages/page_html.h"

#include "templates/page_contract.h"

#include <cstdio>
#include <numeric>

namespace zandrel {

namespace {

constexpr const char *lineEnd = "\r\n";
constexpr char noBreakSpace = '\xA0';

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// Names are shrunk, never wrapped: a long name must not grow its row or the
// drawing would no longer fit its sheet. Clipping is left for names that
// would have to become unreadably small.
constexpr const char *fitScript =
    "<script>\r\n"
    "function fitNames() {\r\n"
    "  var names = document.querySelectorAll('b[dir]');\r\n"
    "  for (var i = 0; i < names.length; i++) {\r\n"
    "    var name = names[i];\r\n"
    "    name.style.fontSize = '';\r\n"
    "    var size = parseFloat(getComputedStyle(name).fontSize);\r\n"
    "    for (var k = 0; k < 20 && name.scrollWidth > name.clientWidth && size > 5; k++) {\r\n"
    "      size = Math.max(5, size * name.clientWidth / name.scrollWidth - 0.25);\r\n"
    "      name.style.fontSize = size + 'px';\r\n"
    "    }\r\n"
    "  }\r\n"
    "}\r\n"
    "window.addEventListener('load', fitNames);\r\n"
    "window.addEventListener('beforeprint', fitNames);\r\n"
    "</script>\r\n";

void appendStyle(std::string &out, const BracketPage &page)
{
    const auto &m = page.margins;
    out += "<style>\r\n";
    out += "@page{size:8.5in 11in;margin:" + number(m[0]) + "in " + number(m[1]) + "in "
           + number(m[2]) + "in " + number(m[3]) + "in}\r\n";
    out += "html,body{margin:0;padding:0}\r\n";
    out += "body{font-family:\"Times New Roman\",Times,serif;font-size:10pt}\r\n";
    out += "table{border-collapse:collapse;border-spacing:0;table-layout:fixed;font-size:"
           + number(page.tableFontPoints) + "pt}\r\n";
    out += "td{padding:0;white-space:nowrap;overflow:hidden;vertical-align:bottom;"
           "line-height:1.1}\r\n";
    out += "td b{display:block;overflow:hidden;white-space:nowrap;padding-left:2pt}\r\n";
    out += ".b{border-bottom:1pt solid black}\r\n";
    out += ".r{border-right:1pt solid black}\r\n";
    out += ".e{padding-left:2pt}\r\n";
    out += ".m{text-align:right;padding-right:3pt}\r\n";
    out += ".c{vertical-align:top;padding-left:2pt;overflow:visible}\r\n";
    out += ".h{font-weight:bold;overflow:visible}\r\n";
    out += ".k{font-weight:bold;text-align:right;overflow:visible}\r\n";
    out += "p.g{margin:0;font-size:9pt;line-height:1.1}\r\n";
    for (size_t i = 0; i < page.tables.size(); ++i) {
        const PageTable &table = page.tables[i];
        const std::string name = "table.t" + std::to_string(i);
        out += name + " tr{height:" + number(table.grid.rowHeight()) + "pt}\r\n";
        if (table.keepRowsWhole)
            out += name + " tr{page-break-inside:avoid;break-inside:avoid}\r\n";
        if (table.startsNewSheet)
            out += name + "{page-break-before:always;break-before:page}\r\n";
    }
    out += "</style>\r\n";
}

const char *cellClass(CellText kind)
{
    switch (kind) {
    case CellText::Label:
        return "e";
    case CellText::MatchLabel:
        return "m";
    case CellText::Caption:
        return "c";
    case CellText::Heading:
        return "h";
    case CellText::HeadingRight:
        return "k";
    case CellText::Name:
    case CellText::None:
        break;
    }
    return nullptr;
}

void appendCell(std::string &out, const PageCell &cell)
{
    std::string classes;
    const auto add = [&](const char *name) {
        if (!name)
            return;
        if (!classes.empty())
            classes += ' ';
        classes += name;
    };
    if (cell.lineBelow)
        add("b");
    if (cell.lineRight)
        add("r");
    add(cellClass(cell.kind));
    out += classes.empty() ? "<td>" : "<td class=\"" + classes + "\">";
    if (cell.kind == CellText::Name)
        out += "<b dir=\"auto\">" + cell.text + "</b>";
    else if (cell.kind == CellText::None)
        out += noBreakSpace;
    else
        out += cell.text;
    out += "</td>";
}

void appendTable(std::string &out, const PageTable &table, size_t index)
{
    const PageGrid &grid = table.grid;
    for (int gap = 0; gap < table.gapParagraphs; ++gap)
        out += std::string("<p class=\"g\">") + noBreakSpace + "</p>" + lineEnd;
    const double width =
        std::accumulate(grid.columnWidths().begin(), grid.columnWidths().end(), 0.0);
    out += "<table class=\"t" + std::to_string(index) + "\" cellspacing=\"0\" cellpadding=\"0\""
           " style=\"width:" + number(width) + "pt\">" + lineEnd;
    for (double columnWidth : grid.columnWidths())
        out += "<col style=\"width:" + number(columnWidth) + "pt\">";
    out += lineEnd;
    for (int row = 0; row < grid.rows(); ++row) {
        out += "<tr>";
        for (int column = 0; column < grid.columns(); ++column)
            appendCell(out, grid.at(row, column));
        out += "</tr>";
        out += lineEnd;
    }
    out += "</table>";
    out += lineEnd;
}

}  // namespace

std::string PageHtml::render(const BracketPage &page)
{
    std::string out;
    out += "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n";
    out += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n";
    out += PageContract::EmptyTitle;
    out += "\r\n";
    appendStyle(out, page);
    out += fitScript;
    out += "</head>\r\n<body>\r\n";
    for (size_t i = 0; i < page.tables.size(); ++i)
        appendTable(out, page.tables[i], i);
    out += "</body>\r\n</html>\r\n";
    return out;
}

}  // namespace zandrel
