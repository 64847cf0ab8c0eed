#pragma once
// The bracket behind one page, before any geometry: how big the bracket is,
// which seed stands where, which first-round matches are byes, and for a
// double-elimination page which label each match carries and at which
// losers-bracket place each loser drops in.
//
// Labels are handed out round by round. First round: the played matches top
// to bottom. Each later winners round: in the top-to-bottom order of the
// losers-bracket places its losers drop into, which is the round's own order
// rearranged (see dropPlace). Then the winners final, then the final. So the
// places fed by one round always read alphabetically top to bottom.

#include <string>
#include <vector>

namespace zandrel {

class PagePlan {
public:
    PagePlan(int entrants, bool doubleElimination);

    int entrants() const { return m_entrants; }
    bool isDouble() const { return m_double; }
    int bracketSize() const { return m_size; }        // 4, 8, 16 or 32
    int winnersRounds() const { return m_rounds; }    // log2 of the bracket size

    // Seed standing at first-round position i (0 = top).
    int seedAt(int position) const { return m_seeds[static_cast<size_t>(position)]; }
    bool seedPresent(int position) const { return seedAt(position) <= m_entrants; }
    // A first-round match is played only when both its seeds are present.
    bool firstRoundPlayed(int match) const;

    // Label of winners-bracket match `index` (0 = top) of `round` (1-based);
    // empty for a first-round bye. Empty on single-elimination pages.
    std::string winnersLabel(int round, int index) const;
    // Label of the winners-bracket match of `round` whose loser drops in at
    // losers-bracket place `place` (0 = top). For round 1 the places are the
    // first-round positions of the matches, so a bye leaves an empty label.
    std::string dropLabel(int round, int place) const;
    std::string finalLabel() const;

    // Seed order of a bracket by doubling from 1, 2.
    static std::vector<int> seedOrder(int bracketSize);
    // Where the loser of winners match `index` of `round` drops in, for the
    // rounds after the first and before the winners final.
    static int dropPlace(int bracketSize, int round, int index);
    // "A".."Z", then "aa", "bb", ...
    static std::string labelName(int number);

private:
    int m_entrants;
    bool m_double;
    int m_size;
    int m_rounds;
    std::vector<int> m_seeds;
    std::vector<std::vector<std::string>> m_winnersLabels;  // [round - 1][index]
    std::vector<std::vector<std::string>> m_dropLabels;     // [round - 1][place]
    std::string m_finalLabel;
};

}  // namespace zandrel
