// Double-elimination pages as files: the match labels, where the losers drop
// in, who meets whom in the losers bracket, and the finals.

#include "test_page_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

using namespace pagetest;
using testing::ElementsAreArray;

namespace {

bool allOf(const std::set<std::string> &leaves, bool (*test)(const std::string &))
{
    return std::all_of(leaves.begin(), leaves.end(), test);
}

bool labelOrder(const std::string &a, const std::string &b)
{
    // "Z" before "aa"; within one length, the alphabet.
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// What a double page draws, sorted out from its lines.
struct DoublePage {
    Page page;
    Drawing drawing;
    std::vector<std::vector<const Match *>> winnersRounds;  // top to bottom
    std::vector<const Match *> losers;
    const Match *final = nullptr;
    const Match *secondFinal = nullptr;
};

DoublePage readDouble(int entrants)
{
    DoublePage d;
    d.page = readPage(130 + entrants);
    d.drawing = traceLines(d.page);
    std::vector<const Match *> winners, finals;
    for (const Match &match : d.drawing.matches) {
        const auto upper = d.drawing.leaves(match.upper), lower = d.drawing.leaves(match.lower);
        if (allOf(upper, isPlaceholder) && allOf(lower, isPlaceholder))
            winners.push_back(&match);
        else if (allOf(upper, isLabel) && allOf(lower, isLabel))
            d.losers.push_back(&match);
        else
            finals.push_back(&match);
    }
    // The second final is the one that the other's winner goes on to.
    for (const Match *a : finals)
        for (const Match *b : finals)
            if (a->result == b->upper) {
                d.final = a;
                d.secondFinal = b;
            }
    if (finals.size() != 2)
        d.final = d.secondFinal = nullptr;
    if (winners.empty())
        return d;
    int firstColumn = winners.front()->column;
    for (const Match *match : winners)
        firstColumn = std::min(firstColumn, match->column);
    for (const Match *match : winners) {
        const size_t round = static_cast<size_t>(match->column - firstColumn);
        if (d.winnersRounds.size() <= round)
            d.winnersRounds.resize(round + 1);
        d.winnersRounds[round].push_back(match);
    }
    for (auto &round : d.winnersRounds)
        std::sort(round.begin(), round.end(),
                  [](const Match *a, const Match *b) { return a->midRow < b->midRow; });
    return d;
}

const Cell &cellAt(const Page &page, int table, int row, int column)
{
    return page.tables.at(static_cast<size_t>(table))
        .rows.at(static_cast<size_t>(row))
        .at(static_cast<size_t>(column));
}

const Cell &under(const DoublePage &d, int segment)
{
    const Segment &s = d.drawing.segments.at(static_cast<size_t>(segment));
    return cellAt(d.page, s.table, s.row + 1, s.firstColumn);
}

std::vector<std::string> labelsOf(const std::vector<const Match *> &round)
{
    std::vector<std::string> labels;
    for (const Match *match : round)
        labels.push_back(match->label);
    return labels;
}

}  // namespace

TEST(DoublePages, CarryEachOfTheirLabelsExactlyTwice)
{
    for (int entrants = 3; entrants <= 32; ++entrants) {
        SCOPED_TRACE(std::to_string(entrants) + " entrants");
        const Page page = readPage(130 + entrants);
        std::map<std::string, int> seen;
        for (const Table &table : page.tables)
            for (const auto &row : table.rows)
                for (const Cell &cell : row)
                    if (isLabel(cell.text))
                        ++seen[cell.text];
        std::map<std::string, int> expected;
        for (int n = 0; n < entrants; ++n)
            expected[labelName(n)] = 2;
        EXPECT_EQ(seen, expected);
    }
}

TEST(DoublePages, LabelEachWinnersMatchBesideItsJoinRoundByRound)
{
    // Labels of each winners round, top to bottom; the last is the final's.
    struct Row {
        int entrants;
        std::vector<std::vector<std::string>> rounds;
        std::string final;
    };
    const std::vector<Row> rows = {
        {32,
         {{"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O", "P"},
          {"U", "V", "W", "X", "Q", "R", "S", "T"},
          {"Z", "Y", "bb", "aa"},
          {"dd", "cc"},
          {"ee"}},
         "ff"},
        {16,
         {{"A", "B", "C", "D", "E", "F", "G", "H"}, {"L", "K", "J", "I"}, {"M", "N"}, {"O"}},
         "P"},
        {9, {{"A"}, {"E", "D", "C", "B"}, {"F", "G"}, {"H"}}, "I"},
        {8, {{"A", "B", "C", "D"}, {"F", "E"}, {"G"}}, "H"},
        {4, {{"A", "B"}, {"C"}}, "D"},
        {3, {{"A"}, {"B"}}, "C"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::to_string(row.entrants) + " entrants");
        const DoublePage d = readDouble(row.entrants);
        EXPECT_THAT(d.drawing.problems, testing::IsEmpty());
        ASSERT_EQ(d.winnersRounds.size(), row.rounds.size());
        for (size_t round = 0; round < row.rounds.size(); ++round)
            EXPECT_THAT(labelsOf(d.winnersRounds[round]), ElementsAreArray(row.rounds[round]))
                << "round " << round + 1;
        ASSERT_NE(d.final, nullptr);
        EXPECT_EQ(d.final->label, row.final);
    }
}

TEST(DoublePages, DropLosersInAlphabeticallyTopToBottomForEveryRound)
{
    for (int entrants = 3; entrants <= 32; ++entrants) {
        SCOPED_TRACE(std::to_string(entrants) + " entrants");
        const DoublePage d = readDouble(entrants);
        ASSERT_FALSE(d.winnersRounds.empty());
        for (size_t round = 0; round < d.winnersRounds.size(); ++round) {
            std::vector<std::pair<std::pair<int, int>, std::string>> places;
            for (const Match *match : d.winnersRounds[round]) {
                // The label's other occurrence is a losers-bracket line.
                int found = 0;
                for (const Segment &seg : d.drawing.segments)
                    if (seg.text == match->label) {
                        places.push_back({{seg.table, seg.row}, seg.text});
                        ++found;
                    }
                EXPECT_EQ(found, 1) << "drop-in place of " << match->label;
            }
            std::sort(places.begin(), places.end());
            std::vector<std::string> topToBottom;
            for (const auto &place : places)
                topToBottom.push_back(place.second);
            EXPECT_TRUE(std::is_sorted(topToBottom.begin(), topToBottom.end(), labelOrder))
                << "round " << round + 1 << ": " << testing::PrintToString(topToBottom);
            // Each drop-in stands below the whole winners bracket.
            for (const auto &place : places)
                for (const Match *match : d.winnersRounds.front())
                    EXPECT_TRUE(place.first.first > 0
                                || place.first.second > d.drawing.segments[static_cast<size_t>(match->lower)].row);
        }
        // N - 1 losers meet in N - 2 matches.
        EXPECT_EQ(static_cast<int>(d.losers.size()), entrants - 2);
    }
}

TEST(DoublePages, PairLosersAsTheWorkedExamplesSay)
{
    struct Row {
        int entrants;
        std::set<std::string> meetings;
    };
    const std::vector<Row> rows = {
        {8,
         {"A|B", "C|D", "A,B|E", "C,D|F", "A,B,E|C,D,F", "A,B,C,D,E,F|G"}},
        {9,
         {"A|B", "A,B|C", "D|E", "A,B,C|F", "D,E|G", "A,B,C,F|D,E,G", "A,B,C,D,E,F,G|H"}},
        {12,
         {"A|E", "B|F", "C|G", "D|H", "A,E|B,F", "C,G|D,H", "A,B,E,F|I", "C,D,G,H|J",
          "A,B,E,F,I|C,D,G,H,J", "A,B,C,D,E,F,G,H,I,J|K"}},
        {25,
         {"B|C",
          "A|J", "B,C|K", "D|L", "E|M", "F|N", "G|O", "H|P", "I|Q",
          "A,J|B,C,K", "D,L|E,M", "F,N|G,O", "H,P|I,Q",
          "A,B,C,J,K|R", "D,E,L,M|S", "F,G,N,O|T", "H,I,P,Q|U",
          "A,B,C,J,K,R|D,E,L,M,S", "F,G,N,O,T|H,I,P,Q,U",
          "A,B,C,D,E,J,K,L,M,R,S|V", "F,G,H,I,N,O,P,Q,T,U|W",
          "A,B,C,D,E,J,K,L,M,R,S,V|F,G,H,I,N,O,P,Q,T,U,W",
          "A,B,C,D,E,F,G,H,I,J,K,L,M,N,O,P,Q,R,S,T,U,V,W|X"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::to_string(row.entrants) + " entrants");
        const DoublePage d = readDouble(row.entrants);
        std::set<std::string> drawn;
        for (const Match *match : d.losers)
            drawn.insert(d.drawing.meeting(*match));
        EXPECT_EQ(drawn, row.meetings);
    }
}

TEST(DoublePages, OpenAFullLosersBracketWithTheFirstRoundLosersInLabelOrder)
{
    for (int entrants : {4, 8, 16, 32}) {
        SCOPED_TRACE(std::to_string(entrants) + " entrants");
        const DoublePage d = readDouble(entrants);
        std::set<std::string> drawn;
        for (const Match *match : d.losers)
            drawn.insert(d.drawing.meeting(*match));
        for (int pair = 0; pair < entrants / 4; ++pair)
            EXPECT_EQ(drawn.count(labelName(2 * pair) + "|" + labelName(2 * pair + 1)), 1u);
    }
}

TEST(DoublePages, EndWithTheFinalAndASecondFinalIfNecessary)
{
    for (int entrants = 3; entrants <= 32; ++entrants) {
        SCOPED_TRACE(std::to_string(entrants) + " entrants");
        const DoublePage d = readDouble(entrants);
        const std::string last = labelName(entrants - 1);
        ASSERT_NE(d.final, nullptr);
        ASSERT_NE(d.secondFinal, nullptr);

        // The final joins the winners champion's line (above) with the losers
        // champion's, whose leaves are every other label.
        const auto upper = d.drawing.leaves(d.final->upper);
        const auto lower = d.drawing.leaves(d.final->lower);
        if (entrants <= 16)
            EXPECT_EQ(upper.size(), static_cast<size_t>(entrants));
        else
            EXPECT_EQ(upper, std::set<std::string>{"?"}) << "a bare line on the losers sheet";
        EXPECT_TRUE(allOf(upper, isPlaceholder) || entrants > 16);
        std::set<std::string> others;
        for (int n = 0; n + 1 < entrants; ++n)
            others.insert(labelName(n));
        EXPECT_EQ(lower, others);
        EXPECT_EQ(d.final->label, last);
        EXPECT_EQ(under(d, d.final->result).text, "Winner");

        // The second final: the final's winner against the final's label.
        EXPECT_EQ(d.secondFinal->upper, d.final->result);
        const Segment &rematch = d.drawing.segments[static_cast<size_t>(d.secondFinal->lower)];
        EXPECT_EQ(rematch.text, last);
        EXPECT_EQ(under(d, d.secondFinal->lower).text, "(if necessary)");
        EXPECT_EQ(under(d, d.secondFinal->result).text, "Winner");
        EXPECT_EQ(d.secondFinal->table, static_cast<int>(d.page.tables.size()) - 1);
    }
}

TEST(DoublePages, HeadTheWinnersAtTheTopRightAndTheLosersBeside)
{
    for (int entrants = 3; entrants <= 32; ++entrants) {
        SCOPED_TRACE(std::to_string(entrants) + " entrants");
        const DoublePage d = readDouble(entrants);
        std::vector<std::tuple<std::string, int, int, int>> headings;
        for (size_t t = 0; t < d.page.tables.size(); ++t)
            for (size_t r = 0; r + 1 < d.page.tables[t].rows.size(); ++r)
                for (size_t c = 0; c < d.page.tables[t].rows[r].size(); ++c) {
                    const std::string &text = d.page.tables[t].rows[r][c].text;
                    if (text == "Winners" || text == "Losers") {
                        EXPECT_EQ(d.page.tables[t].rows[r + 1][c].text, "Bracket");
                        headings.emplace_back(text, static_cast<int>(t), static_cast<int>(r),
                                              static_cast<int>(c));
                    }
                }
        ASSERT_EQ(headings.size(), 2u);
        const auto &[winners, wTable, wRow, wColumn] = headings[0];
        const auto &[losers, lTable, lRow, lColumn] = headings[1];
        EXPECT_EQ(winners, "Winners");
        EXPECT_EQ(losers, "Losers");
        EXPECT_EQ(wTable, 0);
        EXPECT_EQ(wRow, 0);
        EXPECT_GE(wColumn, static_cast<int>(d.page.tables[0].rows[0].size()) / 2);

        int losersBottom = 0, losersLeft = 1000;
        for (const Match *match : d.losers) {
            losersBottom = std::max(losersBottom, d.drawing.segments[static_cast<size_t>(match->lower)].row);
            losersLeft = std::min(losersLeft, d.drawing.segments[static_cast<size_t>(match->lower)].firstColumn);
        }
        if (entrants <= 16) {
            EXPECT_EQ(lTable, 0);
            EXPECT_GT(lRow, losersBottom) << "at the losers bracket's lower end";
        } else {
            EXPECT_EQ(lTable, 1);
            EXPECT_EQ(lRow, 0) << "at the top left of the losers sheet";
            EXPECT_LE(lColumn, losersLeft);
        }
    }
}
