// The 62 drawn pages as files, read back as grids of cells and the bracket their lines draw. How
// they print (row heights, column widths, sheets, long names) is for print_pages.sh to check.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace {

using Leaves = std::set<std::string>;
using Where = std::array<int, 3>;  // table, row, column

// A cell's text without tags and no-break spaces; class "b" draws a line under it, "r" one on its right.
struct Cell { std::string text; bool below, right; };
// A horizontal line, and the texts at the start of the lines leading to it ("?": a bare line).
struct Slot { int table, row, first; std::string text; Leaves leaves; };
// A vertical line joining the slots that end in its column at its top and bottom; the winner's
// slot starts one column to the right, midway, and the match's label stands beside the join there.
struct Match { int table, column, upper, lower, result; std::string label; };

struct Page {
    std::string bytes;
    std::vector<std::vector<std::vector<Cell>>> tables;
    std::map<std::string, Where> where;  // of the last cell holding each text
    std::vector<Slot> slots;             // row by row
    std::vector<Match> matches;          // column by column, each top to bottom

    const Cell &at(int t, int r, int c) const  // an empty one off the grid
    {
        static const Cell none{};
        const bool on = size_t(t) < tables.size() && size_t(r) < tables[t].size() && size_t(c) < tables[t][r].size();
        return on ? tables[t][r][c] : none;
    }
    Where find(const std::string &text) const { return where.contains(text) ? where.at(text) : Where{-1, -1, -1}; }
    std::string under(int slot) const { return at(slots[slot].table, slots[slot].row + 1, slots[slot].first).text; }
    const Leaves &leaves(int slot) const { return slots[slot].leaves; }
};

// Our pages are regular (one <tr> per line, plain cells), so a line-by-line
// scan reads them; a cell of any other form is not read at all.
Page readPage(int item)
{
    static const std::regex cell(R"x(<td(?: class="([^"]*)")?>(.*?)</td>)x"), noText("<[^>]*>|\xA0");
    std::ifstream file(ZANDREL_PAGES_DIR "/" + std::to_string(item) + ".htm", std::ios::binary);
    Page p{{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()}, {}, {}, {}, {}};
    std::istringstream lines(p.bytes);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("<table"))
            p.tables.emplace_back();
        if (!line.starts_with("<tr") || p.tables.empty())
            continue;
        auto &row = p.tables.back().emplace_back();
        for (std::sregex_iterator m(line.begin(), line.end(), cell), end; m != end; ++m) {
            const std::string classes = " " + (*m)[1].str() + " ";
            row.push_back({std::regex_replace((*m)[2].str(), noText, ""), classes.find(" b ") != std::string::npos,
                           classes.find(" r ") != std::string::npos});
            p.where[row.back().text] = {int(p.tables.size()) - 1, int(p.tables.back().size()) - 1, int(row.size()) - 1};
        }
    }
    std::map<Where, int> ending, starting;  // slot + 1, so that a missing one reads -1
    for (int t = 0; t < int(p.tables.size()); ++t)
        for (int r = 0; r < int(p.tables[t].size()); ++r)
            for (int c = 0; c < int(p.tables[t][r].size()); ++c) {
                if (!p.at(t, r, c).below)
                    continue;
                Slot s{t, r, c, p.at(t, r, c).text, {}};
                for (; p.at(t, r, c + 1).below; ++c)
                    s.text += p.at(t, r, c + 1).text;  // two texts on one line stay glued, and match nothing
                s.leaves = {s.text.empty() ? "?" : s.text};
                starting[{t, r, s.first}] = ending[{t, r, c}] = int(p.slots.size()) + 1;
                p.slots.push_back(s);
            }
    // Column by column, so that the lines leading to a slot are traced before it.
    for (int t = 0; t < int(p.tables.size()); ++t)
        for (int c = 0; c < int(p.tables[t].at(0).size()); ++c)
            for (int r = 0; r < int(p.tables[t].size()); ++r) {
                const int top = r - 1;
                for (; p.at(t, r, c).right && p.at(t, r + 1, c).right; ++r) {}
                if (!p.at(t, r, c).right)
                    continue;
                const Match m{t, c, ending[{t, top, c}] - 1, ending[{t, r, c}] - 1,
                              (top + r) % 2 ? -1 : starting[{t, (top + r) / 2, c + 1}] - 1,
                              p.at(t, (top + r) / 2, c).text};
                EXPECT_TRUE(m.upper >= 0 && m.lower >= 0 && m.result >= 0) << "a join leads nowhere: column " << c;
                if (m.upper < 0 || m.lower < 0 || m.result < 0)
                    continue;
                Slot &winner = p.slots[m.result];
                EXPECT_EQ(winner.text, "") << "a winner's line holds a text";
                winner.leaves = p.leaves(m.upper);
                winner.leaves.insert(p.leaves(m.lower).begin(), p.leaves(m.lower).end());
                p.matches.push_back(m);
            }
    return p;
}

size_t count(const std::string &text, const std::string &what, size_t from = 0)
{
    const size_t at = text.find(what, from);
    return at == std::string::npos ? 0 : 1 + count(text, what, at + 1);
}

std::string placeholder(int seed) { return "PLAYER " + std::to_string(seed); }
bool isPlaceholder(const std::string &text) { return text.starts_with("PLAYER "); }
bool isLabel(const std::string &text) { return text != "?" && !isPlaceholder(text); }
bool allOf(const Leaves &leaves, bool (*test)(const std::string &)) { return std::ranges::all_of(leaves, test); }
std::string labelName(int n) { return std::string(n < 26 ? 1 : 2, char(n < 26 ? 'A' + n : 'a' + n - 26)); }

// The layout families, each up to its last item: margins and the tables' type size, each
// table's rows and cells per row, and the rows of the first-round slots: the top one, and apart.
struct Family { int last; std::string margins; int points; std::vector<std::pair<int, int>> grids; int top, step; };
const std::string narrow = "0.2in 0.7in 0.65in 0.7in", wide = "0.25in 1in 0.25in 1in";
const Family families[] = {
    {104, narrow, 10, {{28, 4}}, 3, 8}, {108, narrow, 10, {{29, 6}}, 0, 4}, {116, narrow, 10, {{31, 9}}, 0, 2},
    {131, wide, 9, {{63, 9}}, 0, 2},    {132, wide, 9, {{63, 8}}, 0, 2},    {134, narrow, 10, {{60, 7}}, 3, 8},
    {138, narrow, 10, {{60, 8}}, 1, 4}, {146, narrow, 10, {{58, 9}}, 0, 2}, {162, wide, 9, {{63, 8}, {50, 13}}, 0, 2},
};

// Double-elimination worked examples: the labels beside each winners round, top to bottom,
// and who meets whom in the losers bracket ("X|Y", the labels leading to each side).
const std::map<int, std::pair<std::vector<std::vector<std::string>>, std::set<std::string>>> worked = {
    {8, {{{"A", "B", "C", "D"}, {"F", "E"}, {"G"}}, {"A|B", "C|D", "A,B|E", "C,D|F", "A,B,E|C,D,F", "A,B,C,D,E,F|G"}}},
    {9, {{{"A"}, {"E", "D", "C", "B"}, {"F", "G"}, {"H"}},
         {"A|B", "A,B|C", "D|E", "A,B,C|F", "D,E|G", "A,B,C,F|D,E,G", "A,B,C,D,E,F,G|H"}}},
    {12, {{{"A", "B", "C", "D"}, {"H", "G", "F", "E"}, {"I", "J"}, {"K"}},
          {"A|E", "B|F", "C|G", "D|H", "A,E|B,F", "C,G|D,H", "A,B,E,F|I", "C,D,G,H|J", "A,B,E,F,I|C,D,G,H,J",
           "A,B,C,D,E,F,G,H,I,J|K"}}},
    {25, {{{"A", "B", "C", "D", "E", "F", "G", "H", "I"}, {"N", "O", "P", "Q", "J", "K", "L", "M"},
           {"S", "R", "U", "T"}, {"W", "V"}, {"X"}},
          {"B|C", "A|J", "B,C|K", "D|L", "E|M", "F|N", "G|O", "H|P", "I|Q", "A,J|B,C,K", "D,L|E,M", "F,N|G,O",
           "H,P|I,Q", "A,B,C,J,K|R", "D,E,L,M|S", "F,G,N,O|T", "H,I,P,Q|U", "A,B,C,J,K,R|D,E,L,M,S",
           "F,G,N,O,T|H,I,P,Q,U", "A,B,C,D,E,J,K,L,M,R,S|V", "F,G,H,I,N,O,P,Q,T,U|W",
           "A,B,C,D,E,J,K,L,M,R,S,V|F,G,H,I,N,O,P,Q,T,U,W", "A,B,C,D,E,F,G,H,I,J,K,L,M,N,O,P,Q,R,S,T,U,V,W|X"}}},
};

// A page and what its lines draw: the seed order of its first round, and its matches by what they lead
// from (the winners bracket round by round, the losers bracket, the finals).
struct Drawn {
    int item = 0, entrants = 0;
    const Family *family = nullptr;
    Page page;
    std::vector<int> order;  // the seeds of the first round, top to bottom, byes' places included
    int firstColumn = 0;
    std::set<std::pair<Leaves, Leaves>> pairs;  // who meets whom in the winners bracket
    std::vector<std::vector<std::string>> rounds;  // the winners rounds' labels, top to bottom
    std::set<std::string> meetings;                // the losers bracket's, as "X|Y" of labels
    std::vector<Match> finals;
    int champion = -1, winnersBottom = 0, losersBottom = 0, losersLeft = 1000;
};

Drawn draw(int item)
{
    Drawn d;
    d.item = item;
    d.entrants = item <= 103 ? 3 : item <= 132 ? item - 100 : item - 130;
    d.page = readPage(item);
    d.family = &*std::find_if(std::begin(families), std::end(families), [&](const Family &f) { return item <= f.last; });
    for (int seed : {1, 32, 17, 16, 9, 24, 25, 8, 5, 28, 21, 12, 13, 20, 29, 4,
                     3, 30, 19, 14, 11, 22, 27, 6, 7, 26, 23, 10, 15, 18, 31, 2})
        if (seed <= std::max(4, int(std::bit_ceil(unsigned(d.entrants)))))
            d.order.push_back(seed);
    d.firstColumn = d.page.find(placeholder(d.entrants))[2];  // the last seed never has a bye
    for (const Match &m : d.page.matches) {
        const Leaves &upper = d.page.leaves(m.upper), &lower = d.page.leaves(m.lower);
        if (allOf(upper, isPlaceholder) && allOf(lower, isPlaceholder)) {
            d.pairs.insert({upper, lower});
            d.champion = int(upper.size() + lower.size()) == d.entrants ? m.result : d.champion;
            d.rounds.resize(std::max(d.rounds.size(), size_t(m.column - d.firstColumn + 1)));
            d.rounds[m.column - d.firstColumn].push_back(m.label);
            d.winnersBottom = std::max(d.winnersBottom, d.page.slots[m.lower].row);
        } else if (allOf(upper, isLabel) && allOf(lower, isLabel)) {
            std::string sides[2];
            for (int i = 0; i < 2; ++i)
                for (const std::string &leaf : i ? lower : upper)
                    sides[i] += (sides[i].empty() ? "" : ",") + leaf;
            d.meetings.insert(std::min(sides[0], sides[1]) + "|" + std::max(sides[0], sides[1]));
            d.losersBottom = std::max(d.losersBottom, d.page.slots[m.lower].row);
            d.losersLeft = std::min(d.losersLeft, d.page.slots[m.lower].first);
        } else {
            d.finals.push_back(m);
        }
    }
    return d;
}

// Every page, read once per run, and the double-elimination ones among them.
const std::vector<Drawn> &pages()
{
    static const std::vector<Drawn> all = [] {
        std::vector<Drawn> drawn;
        for (int item = 101; item <= 162; ++item)
            drawn.push_back(draw(item));
        return drawn;
    }();
    return all;
}
std::vector<const Drawn *> doubleElimination()
{
    std::vector<const Drawn *> some;
    for (const Drawn &d : pages())
        if (d.item > 132)
            some.push_back(&d);
    return some;
}

}  // namespace

// ASCII and A0 only, CR LF lines, one empty title, each placeholder once and right before a "<".
TEST(BracketPages, AreWindows1252TextWithAnEmptyTitleAndEachEntrantsPlaceholderOnce)
{
    for (const Drawn &d : pages()) {
        SCOPED_TRACE("item " + std::to_string(d.item));
        const std::string &bytes = d.page.bytes;
        EXPECT_TRUE(d.item >= 103 || bytes == pages()[2].page.bytes) << "an unoffered item copies the three-entrant page";
        EXPECT_TRUE(std::ranges::all_of(bytes, [](unsigned char c) { return (c && c < 0x80) || c == 0xA0; }));
        EXPECT_EQ(count(bytes, "\n") + count(bytes, "\r"), 2 * count(bytes, "\r\n")) << "a bare CR or LF";
        EXPECT_EQ(count(bytes, "<title></title>") + count(bytes, "<title"), 2u);
        for (int n = 1; n <= 32; ++n)
            EXPECT_EQ(count(bytes, placeholder(n) + "<"), n <= d.entrants ? 1u : 0u) << "placeholder " << n;
        EXPECT_EQ(count(bytes, "PLAYER"), size_t(d.entrants)) << "PLAYER outside a placeholder";
    }
}

// Letter paper with the family's margins and type sizes, black lines; every cell whole and plain, an empty
// one holding a no-break space, in the family's grid.
TEST(BracketPages, PrintOnLetterPaperInTheirFamilysGrid)
{
    for (const Drawn &d : pages()) {
        SCOPED_TRACE("item " + std::to_string(d.item));
        const std::string &bytes = d.page.bytes;
        for (const std::string &rule : std::vector<std::string>{
                 "charset=windows-1252\"", "\n@page\\{size:8.5in 11in;margin:" + d.family->margins + "\\}",
                 "\nbody\\{[^}]*font-family:\"Times New Roman\"", "\nbody\\{[^}]*font-size:10pt",
                 "\ntable\\{[^}]*font-size:" + std::to_string(d.family->points) + "pt",
                 "\n\\.b\\{[^}]*border-bottom:1pt solid black", "\n\\.r\\{[^}]*border-right:1pt solid black"})
            EXPECT_TRUE(std::regex_search(bytes, std::regex(rule))) << rule;
        EXPECT_EQ(count(bytes, "<td></td>") + count(bytes, "\"></td>"), 0u) << "an empty cell without a no-break space";
        ASSERT_EQ(d.page.tables.size(), d.family->grids.size());
        for (size_t t = 0; t < d.page.tables.size(); ++t)
            for (const auto &row : d.page.tables[t])
                EXPECT_EQ(std::pair(int(d.page.tables[t].size()), int(row.size())), d.family->grids[t]) << "table " << t;
    }
}

// First-round slots on the family's rows; a seed with a bye one round on, midway between its pair's.
TEST(BracketPages, SeatTheFirstRoundInSeedOrderWithByesOneRoundOn)
{
    for (const Drawn &d : pages()) {
        SCOPED_TRACE("item " + std::to_string(d.item));
        for (int at = 0; at < int(d.order.size()); ++at) {
            const bool bye = d.order[at ^ 1] > d.entrants;
            const int row = d.family->top + d.family->step * (bye ? (at & ~1) : at) + (bye ? d.family->step / 2 : 0);
            const Where expected{0, row, d.firstColumn + bye};
            EXPECT_TRUE(d.order[at] > d.entrants || d.page.find(placeholder(d.order[at])) == expected)
                << "seed " << d.order[at];
        }
    }
}

// Who meets in the winners bracket: the present seeds of two neighbouring blocks of the seed order, up to
// one champion, named "Winner" below on a single-elimination page.
TEST(BracketPages, MeetNeighbouringBlocksOfTheSeedOrderUpToOneChampion)
{
    for (const Drawn &d : pages()) {
        SCOPED_TRACE("item " + std::to_string(d.item));
        std::set<std::pair<Leaves, Leaves>> expected;
        for (size_t half = 1; half < d.order.size(); half *= 2)
            for (size_t from = 0; from < d.order.size(); from += 2 * half) {
                Leaves sides[2];
                for (size_t at = from; at < from + 2 * half; ++at)
                    if (d.order[at] <= d.entrants)
                        sides[at >= from + half].insert(placeholder(d.order[at]));
                if (!sides[0].empty() && !sides[1].empty())
                    expected.insert({sides[0], sides[1]});
            }
        EXPECT_EQ(d.pairs, expected);
        ASSERT_GE(d.champion, 0);
        EXPECT_TRUE(d.item > 132 || (d.page.under(d.champion) == "Winner" && count(d.page.bytes, ">Winner<") == 1))
            << "no Winner";
    }
}

// Each label twice (beside its match, where its loser drops in); a round's losers below, in label order;
// N - 1 losers meet in N - 2 matches, as the worked examples have them.
TEST(BracketPages, DropEachWinnersMatchsLoserIntoTheLosersBracketByItsLabel)
{
    for (const Drawn *d : doubleElimination()) {
        SCOPED_TRACE("item " + std::to_string(d->item));
        for (int n = 0; n < 32; ++n)
            EXPECT_EQ(count(d->page.bytes, std::string(">").append(labelName(n)).append("<")), n < d->entrants ? 2u : 0u)
                << labelName(n);
        for (std::vector<std::string> round : d->rounds) {
            std::ranges::sort(round, {}, [](const std::string &label) { return std::pair(label.size(), label); });
            for (size_t i = 0; i < round.size(); ++i)
                EXPECT_TRUE((d->page.find(round[i])[0] > 0 || d->page.find(round[i])[1] > d->winnersBottom)
                            && (i == 0 || d->page.find(round[i]) > d->page.find(round[i - 1]))) << round[i];
        }
        EXPECT_EQ(int(d->meetings.size()), d->entrants - 2);
        if (worked.contains(d->entrants)) {
            EXPECT_EQ(std::pair(d->rounds, d->meetings), worked.at(d->entrants));
        }
    }
}

// The final joins the winners champion's line (a bare one on the losers sheet) with the losers champion's,
// which every other label leads to; the second final, its winner with the final's label, "(if necessary)".
TEST(BracketPages, EndDoubleEliminationInAFinalAndASecondOneIfNecessary)
{
    for (const Drawn *d : doubleElimination()) {
        SCOPED_TRACE("item " + std::to_string(d->item));
        ASSERT_EQ(d->finals.size(), 2u);
        const Page &page = d->page;
        const Match &final = d->finals[0], &second = d->finals[1];
        const std::string last = labelName(d->entrants - 1);
        EXPECT_TRUE(d->entrants > 16 ? page.leaves(final.upper) == Leaves{"?"} : final.upper == d->champion);
        const Leaves &others = page.leaves(final.lower);
        EXPECT_TRUE(allOf(others, isLabel) && int(others.size()) == d->entrants - 1 && !others.contains(last));
        EXPECT_EQ(std::tuple(final.label, page.under(final.result), second.upper, page.slots[second.lower].text,
                             page.under(second.lower), page.under(second.result), second.table + 1),
                  std::tuple(last, "Winner", final.result, last, "(if necessary)", "Winner", int(page.tables.size())));
    }
}

// "Winners Bracket" top right; "Losers Bracket" below its bracket, or top left of the losers sheet.
TEST(BracketPages, HeadBothBracketsOfADoubleElimination)
{
    for (const Drawn *d : doubleElimination()) {
        SCOPED_TRACE("item " + std::to_string(d->item));
        const Page &page = d->page;
        const Where winners = page.find("Winners"), losersHeading = page.find("Losers");
        EXPECT_EQ(count(page.bytes, ">Winners<") + count(page.bytes, ">Losers<") + count(page.bytes, ">Bracket<"), 4u);
        for (const auto &[table, row, column] : {winners, losersHeading})
            EXPECT_EQ(page.at(table, row + 1, column).text, "Bracket");
        EXPECT_TRUE(winners[0] == 0 && winners[1] == 0 && 2 * winners[2] >= int(page.tables[0][0].size())) << "Winners";
        EXPECT_TRUE(d->entrants > 16 ? losersHeading[0] == 1 && losersHeading[1] == 0 && losersHeading[2] <= d->losersLeft
                                     : losersHeading[0] == 0 && losersHeading[1] > d->losersBottom) << "Losers misplaced";
    }
}
