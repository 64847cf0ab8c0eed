// Double-elimination pages as files: the match labels, where the losers drop
// in, who meets whom in the losers bracket, and the finals.

#include "test_page_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

using namespace pagetest;

namespace {

bool allOf(const std::set<std::string> &leaves, bool (*test)(const std::string &))
{
    return std::all_of(leaves.begin(), leaves.end(), test);
}

// What a double page draws, sorted out by what its matches lead from.
struct DoublePage {
    Page page;
    Drawing drawing;
    std::vector<std::vector<std::string>> winnersLabels;  // round by round, each top to bottom
    int winnersBottom = 0;                                // the row of the lowest winners slot
    std::vector<const Match *> losers, finals;            // the final first when there are two
};

DoublePage readDouble(int entrants)
{
    DoublePage d;
    d.page = readPage(130 + entrants);
    d.drawing = traceLines(d.page);
    int firstColumn = 0;  // matches come column by column: the first winners match is in round 1
    for (const Match &m : d.drawing.matches) {
        const auto &upper = d.drawing.segments[m.upper].leaves, &lower = d.drawing.segments[m.lower].leaves;
        if (allOf(upper, isPlaceholder) && allOf(lower, isPlaceholder)) {
            firstColumn = d.winnersLabels.empty() ? m.column : firstColumn;
            d.winnersLabels.resize(std::max(d.winnersLabels.size(), size_t(m.column - firstColumn + 1)));
            d.winnersLabels[m.column - firstColumn].push_back(m.label);
            d.winnersBottom = std::max(d.winnersBottom, d.drawing.segments[m.lower].row);
        } else {
            (allOf(upper, isLabel) && allOf(lower, isLabel) ? d.losers : d.finals).push_back(&m);
        }
    }
    if (d.finals.size() == 2 && d.finals[1]->result == d.finals[0]->upper)
        std::swap(d.finals[0], d.finals[1]);
    return d;
}

// The text of the cell under a segment's first cell.
std::string under(const DoublePage &d, int segment)
{
    const Segment &s = d.drawing.segments.at(segment);
    return d.page.at(s.table, s.row + 1, s.first).text;
}

}  // namespace

TEST(DoublePages, DropEachWinnersLoserInOnceInLabelOrderBelowTheWinnersBracket)
{
    for (int entrants = 3; entrants <= 32; ++entrants) {
        SCOPED_TRACE(std::to_string(entrants) + " entrants");
        const DoublePage d = readDouble(entrants);
        // Each label twice: beside its winners match and where its loser drops in.
        for (int n = 0; n < 32; ++n)
            EXPECT_EQ(count(d.page.bytes, ">" + labelName(n) + "<"), n < entrants ? 2u : 0u) << labelName(n);

        ASSERT_FALSE(d.winnersLabels.empty());
        for (std::vector<std::string> labels : d.winnersLabels) {
            std::vector<std::string> topToBottom;
            for (const Segment &s : d.drawing.segments)
                if (std::find(labels.begin(), labels.end(), s.text) != labels.end()) {
                    topToBottom.push_back(s.text);
                    EXPECT_TRUE(s.table > 0 || s.row > d.winnersBottom) << s.text << " drops in beside the winners";
                }
            // "Z" before "aa"; within one length, the alphabet.
            std::sort(labels.begin(), labels.end(), [](const std::string &a, const std::string &b) {
                return a.size() != b.size() ? a.size() < b.size() : a < b;
            });
            EXPECT_EQ(topToBottom, labels);
        }
        EXPECT_EQ(int(d.losers.size()), entrants - 2) << "N - 1 losers meet in N - 2 matches";
    }
}

TEST(DoublePages, LabelAndPairTheWorkedExamplesAsTheySay)
{
    // The labels beside each winners round, top to bottom, and the final's;
    // who meets whom in the losers bracket. Empty: not checked.
    const struct {
        int entrants;
        std::vector<std::vector<std::string>> rounds;
        std::string final;
        std::set<std::string> meetings;
    } rows[] = {
        {3, {{"A"}, {"B"}}, "C", {}},
        {4, {{"A", "B"}, {"C"}}, "D", {}},
        {8, {{"A", "B", "C", "D"}, {"F", "E"}, {"G"}}, "H",
         {"A|B", "C|D", "A,B|E", "C,D|F", "A,B,E|C,D,F", "A,B,C,D,E,F|G"}},
        {9, {{"A"}, {"E", "D", "C", "B"}, {"F", "G"}, {"H"}}, "I",
         {"A|B", "A,B|C", "D|E", "A,B,C|F", "D,E|G", "A,B,C,F|D,E,G", "A,B,C,D,E,F,G|H"}},
        {12, {}, "",
         {"A|E", "B|F", "C|G", "D|H", "A,E|B,F", "C,G|D,H", "A,B,E,F|I", "C,D,G,H|J",
          "A,B,E,F,I|C,D,G,H,J", "A,B,C,D,E,F,G,H,I,J|K"}},
        {16, {{"A", "B", "C", "D", "E", "F", "G", "H"}, {"L", "K", "J", "I"}, {"M", "N"}, {"O"}}, "P", {}},
        {25, {}, "",
         {"B|C",
          "A|J", "B,C|K", "D|L", "E|M", "F|N", "G|O", "H|P", "I|Q",
          "A,J|B,C,K", "D,L|E,M", "F,N|G,O", "H,P|I,Q",
          "A,B,C,J,K|R", "D,E,L,M|S", "F,G,N,O|T", "H,I,P,Q|U",
          "A,B,C,J,K,R|D,E,L,M,S", "F,G,N,O,T|H,I,P,Q,U",
          "A,B,C,D,E,J,K,L,M,R,S|V", "F,G,H,I,N,O,P,Q,T,U|W",
          "A,B,C,D,E,J,K,L,M,R,S,V|F,G,H,I,N,O,P,Q,T,U,W",
          "A,B,C,D,E,F,G,H,I,J,K,L,M,N,O,P,Q,R,S,T,U,V,W|X"}},
        {32,
         {{"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O", "P"},
          {"U", "V", "W", "X", "Q", "R", "S", "T"},
          {"Z", "Y", "bb", "aa"},
          {"dd", "cc"},
          {"ee"}},
         "ff", {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::to_string(row.entrants) + " entrants");
        const DoublePage d = readDouble(row.entrants);
        std::set<std::string> meetings;
        for (const Match *match : d.losers)
            meetings.insert(d.drawing.meeting(*match));
        if (!row.rounds.empty()) {
            EXPECT_EQ(d.winnersLabels, row.rounds);
            ASSERT_FALSE(d.finals.empty());
            EXPECT_EQ(d.finals[0]->label, row.final);
        }
        if (!row.meetings.empty()) {
            EXPECT_EQ(meetings, row.meetings);
        }
        // A full losers bracket opens with the first-round losers paired in label order.
        const bool full = (row.entrants & (row.entrants - 1)) == 0;
        for (int pair = 0; pair < (full ? row.entrants / 4 : 0); ++pair)
            EXPECT_EQ(meetings.count(labelName(2 * pair) + "|" + labelName(2 * pair + 1)), 1u) << "pair " << pair;
    }
}

TEST(DoublePages, EndWithTheFinalASecondFinalIfNecessaryAndTheirHeadings)
{
    for (int entrants = 3; entrants <= 32; ++entrants) {
        SCOPED_TRACE(std::to_string(entrants) + " entrants");
        const DoublePage d = readDouble(entrants);
        const std::string last = labelName(entrants - 1);
        ASSERT_EQ(d.finals.size(), 2u);
        const Match &final = *d.finals[0], &second = *d.finals[1];

        // The final joins the winners champion's line (on the losers sheet, a
        // bare line) with the losers champion's, whose leaves are every other label.
        std::set<std::string> players, others;
        for (int n = 0; n < entrants; ++n) {
            players.insert(placeholder(n + 1));
            if (n + 1 < entrants)
                others.insert(labelName(n));
        }
        EXPECT_EQ(d.drawing.segments[final.upper].leaves, entrants <= 16 ? players : std::set<std::string>{"?"});
        EXPECT_EQ(d.drawing.segments[final.lower].leaves, others);
        EXPECT_EQ(final.label, last);
        EXPECT_EQ(under(d, final.result), "Winner");

        // The second final: the final's winner against the final's label.
        EXPECT_EQ(second.upper, final.result);
        EXPECT_EQ(d.drawing.segments[second.lower].text, last);
        EXPECT_EQ(under(d, second.lower), "(if necessary)");
        EXPECT_EQ(under(d, second.result), "Winner");
        EXPECT_EQ(second.table, int(d.page.tables.size()) - 1);

        // "Winners Bracket" at the top right; "Losers Bracket" below the losers
        // bracket, or at the top left of the losers sheet.
        const auto winners = d.page.find("Winners"), losers = d.page.find("Losers");
        EXPECT_EQ(count(d.page.bytes, ">Winners<"), 1u);
        EXPECT_EQ(count(d.page.bytes, ">Losers<"), 1u);
        for (const auto &[table, row, column] : {winners, losers})
            EXPECT_EQ(d.page.at(table, row + 1, column).text, "Bracket");
        EXPECT_EQ(winners[0], 0);
        EXPECT_EQ(winners[1], 0);
        EXPECT_GE(winners[2], int(d.page.tables[0][0].size()) / 2);
        int losersBottom = 0, losersLeft = 1000;
        for (const Match *match : d.losers) {
            const Segment &s = d.drawing.segments[match->lower];
            losersBottom = std::max(losersBottom, s.row);
            losersLeft = std::min(losersLeft, s.first);
        }
        if (entrants <= 16) {
            EXPECT_EQ(losers[0], 0);
            EXPECT_GT(losers[1], losersBottom);
        } else {
            EXPECT_EQ(losers[0], 1);
            EXPECT_EQ(losers[1], 0);
            EXPECT_LE(losers[2], losersLeft);
        }
    }
}
