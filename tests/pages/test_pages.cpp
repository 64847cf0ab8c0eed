// The generated bracket pages as files: the text contract the filler relies
// on, the page setup and grid of each layout family, the seed order with its
// byes, and the lines that join each match.

#include "test_page_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

using namespace pagetest;
using testing::HasSubstr;

namespace {

int entrantsOf(int item)
{
    return item <= 103 ? 3 : item <= 132 ? item - 100 : item - 130;
}

// The declarations of the style rule that starts a line with `selector`.
std::string rule(const std::string &bytes, const std::string &selector)
{
    const size_t at = bytes.find("\n" + selector + "{");
    return at == std::string::npos ? "" : bytes.substr(at, bytes.find('}', at) - at);
}

// Seed orders, top to bottom, as the bracket sizes define them.
const std::map<int, std::vector<int>> seedOrders = {
    {4, {1, 4, 3, 2}},
    {8, {1, 8, 5, 4, 3, 6, 7, 2}},
    {16, {1, 16, 9, 8, 5, 12, 13, 4, 3, 14, 11, 6, 7, 10, 15, 2}},
    {32, {1, 32, 17, 16, 9, 24, 25, 8, 5, 28, 21, 12, 13, 20, 29, 4,
          3, 30, 19, 14, 11, 22, 27, 6, 7, 26, 23, 10, 15, 18, 31, 2}},
};

// The layout families, each up to its last item: page setup, the grid of each
// table, and the rows of the first-round slots.
struct Family {
    int lastItem;
    std::array<double, 4> margins;  // inches: top, right, bottom, left
    int tablePoints;
    std::vector<std::pair<int, int>> grids;  // rows, and cells in each row
    int firstRow, rowStep;
};
const std::array<double, 4> narrow{.2, .7, .65, .7}, wide{.25, 1.0, .25, 1.0};
const Family families[] = {
    {104, narrow, 10, {{28, 4}}, 3, 8},  {108, narrow, 10, {{29, 6}}, 0, 4},
    {116, narrow, 10, {{31, 9}}, 0, 2},  {131, wide, 9, {{63, 9}}, 0, 2},
    {132, wide, 9, {{63, 8}}, 0, 2},     {134, narrow, 10, {{60, 7}}, 3, 8},
    {138, narrow, 10, {{60, 8}}, 1, 4},  {146, narrow, 10, {{58, 9}}, 0, 2},
    {162, wide, 9, {{63, 8}, {50, 13}}, 0, 2},
};

const Family &familyOf(int item)
{
    return *std::find_if(std::begin(families), std::end(families), [&](const Family &f) { return item <= f.lastItem; });
}

}  // namespace

TEST(BracketPages, KeepTheTextContractAndTheSetupAndGridOfTheirFamily)
{
    const std::regex pageRule(R"(@page\{size:8\.5in 11in;margin:([0-9.]+)in ([0-9.]+)in ([0-9.]+)in ([0-9.]+)in\})");
    for (int item = 101; item <= 162; ++item) {
        SCOPED_TRACE("item " + std::to_string(item));
        const Page page = readPage(item);
        const std::string &bytes = page.bytes;
        const int entrants = entrantsOf(item);
        const Family &family = familyOf(item);
        EXPECT_TRUE(item >= 103 || bytes == readBytes(103)) << "an unoffered item is a copy of the three-entrant page";

        // Text: ASCII and A0 only, CR LF lines, one empty title, each placeholder once.
        EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(),
                                [](unsigned char c) { return (c > 0 && c < 0x80) || c == 0xA0; }))
            << "a byte outside ASCII and A0";
        EXPECT_EQ(count(bytes, "\n"), count(bytes, "\r\n")) << "a bare LF";
        EXPECT_EQ(count(bytes, "\r"), count(bytes, "\r\n")) << "a bare CR";
        EXPECT_TRUE(bytes.ends_with("\r\n"));
        EXPECT_THAT(bytes, testing::HasSubstr("content=\"text/html; charset=windows-1252\""));
        EXPECT_EQ(count(bytes, "<title></title>"), 1u);
        EXPECT_EQ(count(bytes, "<title"), 1u);
        for (int n = 1; n <= 40; ++n) {
            EXPECT_EQ(count(bytes, placeholder(n) + "<"), n <= entrants ? 1u : 0u) << "placeholder " << n;
            // The whole text of its own element, which the page's script shrinks to fit.
            EXPECT_EQ(count(bytes, "<b dir=\"auto\">" + placeholder(n) + "</b>"), n <= entrants ? 1u : 0u);
        }
        EXPECT_EQ(count(bytes, "PLAYER"), size_t(entrants)) << "PLAYER outside a placeholder";
        EXPECT_THAT(bytes, HasSubstr("querySelectorAll('b[dir]')"));
        EXPECT_THAT(bytes, HasSubstr("style.fontSize"));

        // Letter paper with the family's margins and type sizes; the lines are black.
        std::smatch m;
        ASSERT_TRUE(std::regex_search(bytes, m, pageRule));
        for (size_t side = 0; side < 4; ++side)
            EXPECT_DOUBLE_EQ(std::stod(m[side + 1]), family.margins[side]) << "margin " << side;
        EXPECT_THAT(rule(bytes, "body"), HasSubstr("\"Times New Roman\""));
        EXPECT_THAT(rule(bytes, "body"), HasSubstr("font-size:10pt"));
        EXPECT_THAT(rule(bytes, "table"), HasSubstr("font-size:" + std::to_string(family.tablePoints) + "pt"));
        EXPECT_THAT(rule(bytes, ".b"), HasSubstr("border-bottom:1pt solid black"));
        EXPECT_THAT(rule(bytes, ".r"), HasSubstr("border-right:1pt solid black"));

        // The grid: whole cells only, an empty one holding a no-break space.
        ASSERT_EQ(page.tables.size(), family.grids.size());
        for (size_t t = 0; t < page.tables.size(); ++t) {
            EXPECT_EQ(int(page.tables[t].size()), family.grids[t].first) << "rows of table " << t;
            for (const auto &row : page.tables[t]) {
                EXPECT_EQ(int(row.size()), family.grids[t].second) << "cells in a row of table " << t;
                for (const Cell &cell : row) {
                    EXPECT_FALSE(cell.spans);
                    EXPECT_TRUE(!cell.text.empty() || cell.inner == "\xA0" || cell.inner == "&nbsp;") << cell.inner;
                }
            }
        }
    }
}

namespace {

using Side = std::set<std::string>;

// The placeholders of positions [from, from + length) of a seed order, and,
// into `matches`, each pair of present sides that meet within them.
Side expectedMatches(const std::vector<int> &order, int entrants, size_t from, size_t length,
                     std::set<std::pair<Side, Side>> &matches)
{
    if (length == 1)
        return order[from] <= entrants ? Side{placeholder(order[from])} : Side{};
    const Side upper = expectedMatches(order, entrants, from, length / 2, matches);
    Side lower = expectedMatches(order, entrants, from + length / 2, length / 2, matches);
    if (!upper.empty() && !lower.empty())
        matches.insert({upper, lower});
    lower.insert(upper.begin(), upper.end());
    return lower;
}

}  // namespace

TEST(BracketPages, PlaceSeedsInSeedOrderWithByesAndJoinEachMatchToItsWinnersLine)
{
    for (int item = 103; item <= 162; ++item) {
        SCOPED_TRACE("item " + std::to_string(item));
        const Page page = readPage(item);
        const int entrants = entrantsOf(item);
        const std::vector<int> &order = seedOrders.lower_bound(entrants)->second;
        const Family &family = familyOf(item);

        // First-round slots on the family's rows; a seed with a bye stands on
        // its pair's midway row, one round further on.
        int firstColumn = 1000;
        for (int seed = 1; seed <= entrants; ++seed)
            firstColumn = std::min(firstColumn, page.find(placeholder(seed))[2]);
        for (int position = 0; position < int(order.size()); ++position) {
            if (order[position] > entrants)
                continue;
            const bool bye = order[position ^ 1] > entrants;
            const int row = bye ? family.firstRow + family.rowStep * (position & ~1) + family.rowStep / 2
                                : family.firstRow + family.rowStep * position;
            EXPECT_EQ(page.find(placeholder(order[position])), (std::array{0, row, firstColumn + (bye ? 1 : 0)}))
                << "seed " << order[position];
        }

        // The lines draw exactly the matches of the seed order.
        const Drawing drawing = traceLines(page);
        EXPECT_THAT(drawing.problems, testing::IsEmpty());
        std::set<std::pair<Side, Side>> expected, drawn;
        expectedMatches(order, entrants, 0, order.size(), expected);
        int champion = -1;
        for (const Match &match : drawing.matches) {
            const Side upper = drawing.segments[match.upper].leaves, lower = drawing.segments[match.lower].leaves;
            if (!std::all_of(upper.begin(), upper.end(), isPlaceholder)
                || !std::all_of(lower.begin(), lower.end(), isPlaceholder))
                continue;
            drawn.insert({upper, lower});
            if (int(upper.size() + lower.size()) == entrants)
                champion = match.result;
        }
        EXPECT_EQ(drawn, expected);

        // A single-elimination champion's line has "Winner" beneath it.
        ASSERT_GE(champion, 0);
        if (item <= 132) {
            const Segment &line = drawing.segments[champion];
            EXPECT_EQ(page.at(0, line.row + 1, line.first).text, "Winner");
            EXPECT_EQ(count(page.bytes, ">Winner<"), 1u);
        }
    }
}
