// The generated bracket pages as files: the text contract the filler relies
// on, the page setup, the grid of each layout family, the seed order with its
// byes, and the lines that join each match.

#include "test_page_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

using namespace pagetest;

namespace {

int entrantsOf(int item)
{
    if (item <= 103)
        return 3;
    return item <= 132 ? item - 100 : item - 130;
}

bool isDoubleItem(int item)
{
    return item >= 133;
}

size_t count(const std::string &text, const std::string &what)
{
    size_t hits = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++hits;
    return hits;
}

std::vector<int> allItems()
{
    std::vector<int> items;
    for (int item = 101; item <= 162; ++item)
        items.push_back(item);
    return items;
}

// Seed orders, top to bottom, as the bracket sizes define them.
const std::map<int, std::vector<int>> seedOrders = {
    {4, {1, 4, 3, 2}},
    {8, {1, 8, 5, 4, 3, 6, 7, 2}},
    {16, {1, 16, 9, 8, 5, 12, 13, 4, 3, 14, 11, 6, 7, 10, 15, 2}},
    {32, {1, 32, 17, 16, 9, 24, 25, 8, 5, 28, 21, 12, 13, 20, 29, 4,
          3, 30, 19, 14, 11, 22, 27, 6, 7, 26, 23, 10, 15, 18, 31, 2}},
};

int bracketSizeFor(int entrants)
{
    int size = 4;
    while (size < entrants)
        size *= 2;
    return size;
}

// Rows of the first-round slots: first row and distance, per family.
struct FirstRound {
    int first;
    int step;
};

FirstRound firstRoundRows(int item)
{
    const int size = bracketSizeFor(entrantsOf(item));
    if (size == 4)
        return {3, 8};
    if (size == 8)
        return isDoubleItem(item) ? FirstRound{1, 4} : FirstRound{0, 4};
    return {0, 2};
}

struct Found {
    int table = -1;
    int row = -1;
    int column = -1;
};

Found findText(const Page &page, const std::string &text)
{
    for (size_t t = 0; t < page.tables.size(); ++t)
        for (size_t r = 0; r < page.tables[t].rows.size(); ++r)
            for (size_t c = 0; c < page.tables[t].rows[r].size(); ++c)
                if (page.tables[t].rows[r][c].text == text)
                    return {static_cast<int>(t), static_cast<int>(r), static_cast<int>(c)};
    return {};
}

std::string placeholder(int seed)
{
    return "PLAYER " + std::to_string(seed);
}

}  // namespace

TEST(BracketPages, KeepTheTextContractTheFillerReliesOn)
{
    for (int item : allItems()) {
        SCOPED_TRACE("item " + std::to_string(item));
        const std::string bytes = readBytes(item);
        const int entrants = entrantsOf(item);

        const auto foreign = std::find_if(bytes.begin(), bytes.end(), [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return byte > 0x7F && byte != 0xA0;
        });
        EXPECT_EQ(foreign, bytes.end()) << "a byte outside ASCII and A0";
        EXPECT_EQ(bytes.find('\0'), std::string::npos);
        for (size_t at = 0; at < bytes.size(); ++at) {
            if (bytes[at] == '\n') {
                ASSERT_TRUE(at > 0 && bytes[at - 1] == '\r') << "bare LF at byte " << at;
            } else if (bytes[at] == '\r') {
                ASSERT_TRUE(at + 1 < bytes.size() && bytes[at + 1] == '\n')
                    << "bare CR at byte " << at;
            }
        }
        EXPECT_EQ(bytes.compare(bytes.size() - 2, 2, "\r\n"), 0);

        EXPECT_THAT(bytes, testing::ContainsRegex("<meta [^>]*charset=windows-1252"));
        EXPECT_EQ(count(bytes, "<title></title>"), 1u);
        EXPECT_EQ(count(bytes, "<title"), 1u);

        for (int n = 1; n <= 40; ++n)
            EXPECT_EQ(count(bytes, "PLAYER " + std::to_string(n) + "<"), n <= entrants ? 1u : 0u)
                << "placeholder " << n;
        EXPECT_EQ(count(bytes, "PLAYER"), static_cast<size_t>(entrants))
            << "the word PLAYER outside a placeholder";
    }
}

TEST(BracketPages, UnofferedItemsAreCopiesOfTheThreeEntrantPage)
{
    const std::string three = readBytes(103);
    EXPECT_EQ(readBytes(101), three);
    EXPECT_EQ(readBytes(102), three);
}

TEST(BracketPages, SetUpLetterPortraitWithTheFamilyMarginsAndFonts)
{
    struct Row {
        int firstItem, lastItem;
        std::vector<double> margins;  // inches: top, right, bottom, left
        double tablePoints;
    };
    const std::vector<Row> rows = {
        {101, 116, {.2, .7, .65, .7}, 10},
        {117, 132, {.25, 1.0, .25, 1.0}, 9},
        {133, 146, {.2, .7, .65, .7}, 10},
        {147, 162, {.25, 1.0, .25, 1.0}, 9},
    };
    const std::regex pageRule(R"(size:\s*8\.5in\s+11in;\s*margin:\s*([0-9.]+)in\s+([0-9.]+)in\s+([0-9.]+)in\s+([0-9.]+)in)");
    for (const Row &row : rows) {
        for (int item = row.firstItem; item <= row.lastItem; ++item) {
            SCOPED_TRACE("item " + std::to_string(item));
            const Page page = readPage(item);
            std::smatch m;
            const std::string setup = page.rule("@page");
            ASSERT_TRUE(std::regex_search(setup, m, pageRule)) << setup;
            for (int side = 0; side < 4; ++side)
                EXPECT_DOUBLE_EQ(std::stod(m[side + 1]), row.margins[static_cast<size_t>(side)]);
            EXPECT_THAT(page.rule("body"), testing::HasSubstr("\"Times New Roman\""));
            EXPECT_THAT(page.rule("body"), testing::HasSubstr("font-size:10pt"));
            const std::string table = page.rule("table");
            EXPECT_THAT(table, testing::HasSubstr("font-size:" + std::to_string(int(row.tablePoints)) + "pt"));
            EXPECT_THAT(table, testing::HasSubstr("table-layout:fixed"));
            EXPECT_THAT(table, testing::HasSubstr("border-collapse:collapse"));
            EXPECT_THAT(page.rule(".b"), testing::HasSubstr("1pt solid black"));
            EXPECT_THAT(page.rule(".r"), testing::HasSubstr("1pt solid black"));
        }
    }
}

TEST(BracketPages, ShrinkLongNamesInsteadOfWrappingThem)
{
    for (int item : allItems()) {
        SCOPED_TRACE("item " + std::to_string(item));
        const Page page = readPage(item);
        const std::string name = page.rule("td b");
        EXPECT_THAT(name, testing::HasSubstr("white-space:nowrap"));
        EXPECT_THAT(name, testing::HasSubstr("overflow:hidden"));
        EXPECT_THAT(page.rule("td"), testing::HasSubstr("white-space:nowrap"));
        // The script measures the name elements and lowers their font size.
        EXPECT_THAT(page.bytes, testing::HasSubstr("querySelectorAll('b[dir]')"));
        EXPECT_THAT(page.bytes, testing::HasSubstr("scrollWidth"));
        EXPECT_THAT(page.bytes, testing::HasSubstr("style.fontSize"));
        EXPECT_EQ(page.bytes.find("ellipsis"), std::string::npos);
        for (const Table &table : page.tables) {
            EXPECT_EQ(count(table.openTag, "style=\"width:"), 1u) << "a fixed table width";
            for (const auto &row : table.rows)
                for (const Cell &cell : row)
                    if (isPlaceholder(cell.text)) {
                        EXPECT_TRUE(cell.bold) << cell.text;
                        EXPECT_TRUE(cell.nameHasDir) << cell.text;
                        EXPECT_THAT(cell.inner, testing::EndsWith(cell.text + "</b>"))
                            << "the placeholder must be the element's own text";
                    }
        }
    }
}

TEST(BracketPages, DrawEachFamilyOnItsGrid)
{
    struct Shape {
        int rows;
        int columns;
    };
    struct Row {
        int firstItem, lastItem;
        std::vector<Shape> tables;
    };
    const std::vector<Row> rows = {
        {101, 104, {{28, 4}}},   {105, 108, {{29, 6}}},   {109, 116, {{31, 9}}},
        {117, 131, {{63, 9}}},   {132, 132, {{63, 8}}},   {133, 134, {{60, 7}}},
        {135, 138, {{60, 8}}},   {139, 146, {{58, 9}}},   {147, 162, {{63, 8}, {50, 13}}},
    };
    for (const Row &row : rows) {
        for (int item = row.firstItem; item <= row.lastItem; ++item) {
            SCOPED_TRACE("item " + std::to_string(item));
            const Page page = readPage(item);
            ASSERT_EQ(page.tables.size(), row.tables.size());
            for (size_t t = 0; t < page.tables.size(); ++t) {
                const Table &table = page.tables[t];
                EXPECT_EQ(static_cast<int>(table.rows.size()), row.tables[t].rows);
                for (const auto &cells : table.rows) {
                    EXPECT_EQ(static_cast<int>(cells.size()), row.tables[t].columns);
                    for (const Cell &cell : cells) {
                        EXPECT_FALSE(cell.spans);
                        if (cell.text.empty()) {
                            EXPECT_TRUE(cell.inner == "\xA0" || cell.inner == "&nbsp;")
                                << "an empty cell holds a no-break space, not " << cell.inner;
                        }
                    }
                }
            }
            if (page.tables.size() == 2) {
                // Winners on one sheet, losers on the next, rows never split.
                EXPECT_EQ(page.tables[1].gapParagraphsBefore, 4);
                EXPECT_THAT(page.bytes, testing::HasSubstr("<p class=\"g\">\xA0</p>"));
                EXPECT_THAT(page.rule("p.g"), testing::HasSubstr("font-size:9pt"));
                EXPECT_THAT(page.rule("table.t1 tr"), testing::HasSubstr("page-break-inside:avoid"));
                EXPECT_THAT(page.rule("table.t1 tr"), testing::HasSubstr("break-inside:avoid"));
                EXPECT_THAT(page.tables[1].openTag, testing::HasSubstr("class=\"t1\""));
            }
        }
    }
}

TEST(BracketPages, PlaceSeedsInSeedOrderWithByesInTheSecondRound)
{
    for (int item = 103; item <= 162; ++item) {
        SCOPED_TRACE("item " + std::to_string(item));
        const Page page = readPage(item);
        const int entrants = entrantsOf(item);
        const std::vector<int> &order = seedOrders.at(bracketSizeFor(entrants));
        const FirstRound rows = firstRoundRows(item);

        int firstColumn = 1000;
        for (int seed = 1; seed <= entrants; ++seed)
            firstColumn = std::min(firstColumn, findText(page, placeholder(seed)).column);

        for (size_t position = 0; position < order.size(); ++position) {
            const int seed = order[position];
            if (seed > entrants)
                continue;
            const int partner = order[position ^ 1];
            const Found found = findText(page, placeholder(seed));
            SCOPED_TRACE("seed " + std::to_string(seed));
            ASSERT_GE(found.row, 0);
            EXPECT_EQ(found.table, 0);
            const int row = rows.first + rows.step * static_cast<int>(position);
            if (partner <= entrants) {
                EXPECT_EQ(found.row, row);
                EXPECT_EQ(found.column, firstColumn);
            } else {
                // A bye: on the pair's midway row, one round further on.
                const int pairTop = rows.first + rows.step * static_cast<int>(position & ~size_t{1});
                EXPECT_EQ(found.row, pairTop + rows.step / 2);
                EXPECT_EQ(found.column, firstColumn + 1);
            }
        }
    }
}

namespace {

// The matches a winners bracket must draw: each pair of present sides.
void expectedMatches(const std::vector<int> &order, int entrants, size_t from, size_t length,
                     std::set<std::set<std::string>> &leaves,
                     std::set<std::pair<std::set<std::string>, std::set<std::string>>> &matches)
{
    if (length == 1) {
        if (order[from] <= entrants)
            leaves.insert({placeholder(order[from])});
        return;
    }
    std::set<std::set<std::string>> upper, lower;
    expectedMatches(order, entrants, from, length / 2, upper, matches);
    expectedMatches(order, entrants, from + length / 2, length / 2, lower, matches);
    const auto merge = [](const std::set<std::set<std::string>> &sides) {
        std::set<std::string> all;
        for (const auto &side : sides)
            all.insert(side.begin(), side.end());
        return all;
    };
    const std::set<std::string> a = merge(upper), b = merge(lower);
    if (!a.empty() && !b.empty())
        matches.insert({a, b});
    std::set<std::string> both = a;
    both.insert(b.begin(), b.end());
    if (!both.empty())
        leaves.insert(both);
}

}  // namespace

TEST(BracketPages, JoinEveryMatchWithLinesToItsWinnersSlot)
{
    for (int item = 103; item <= 162; ++item) {
        SCOPED_TRACE("item " + std::to_string(item));
        const Page page = readPage(item);
        const Drawing drawing = traceLines(page);
        EXPECT_THAT(drawing.problems, testing::IsEmpty());
        const int entrants = entrantsOf(item);

        std::set<std::set<std::string>> leaves;
        std::set<std::pair<std::set<std::string>, std::set<std::string>>> expected;
        expectedMatches(seedOrders.at(bracketSizeFor(entrants)), entrants, 0,
                        static_cast<size_t>(bracketSizeFor(entrants)), leaves, expected);

        std::set<std::pair<std::set<std::string>, std::set<std::string>>> drawn;
        int championSegment = -1;
        for (const Match &match : drawing.matches) {
            const auto upper = drawing.leaves(match.upper), lower = drawing.leaves(match.lower);
            const auto placeholders = [](const std::set<std::string> &side) {
                return std::all_of(side.begin(), side.end(), isPlaceholder);
            };
            if (!placeholders(upper) || !placeholders(lower))
                continue;
            drawn.insert({upper, lower});
            if (static_cast<int>(upper.size() + lower.size()) == entrants)
                championSegment = match.result;
        }
        EXPECT_EQ(drawn, expected);

        // The single-elimination champion's line carries "Winner" beneath.
        ASSERT_GE(championSegment, 0);
        if (!isDoubleItem(item)) {
            const Segment &champion = drawing.segments[static_cast<size_t>(championSegment)];
            const auto &rows = page.tables[0].rows;
            ASSERT_LT(champion.row + 1, static_cast<int>(rows.size()));
            EXPECT_EQ(rows[static_cast<size_t>(champion.row + 1)]
                          [static_cast<size_t>(champion.firstColumn)].text,
                      "Winner");
            EXPECT_EQ(count(page.bytes, ">Winner<"), 1u);
        }
    }
}
