#include "pages/page_plan.h"

#include "platform/tournament.h"

#include <stdexcept>
#include <string>

namespace zandrel {

PagePlan::PagePlan(int entrants, bool doubleElimination)
    : m_entrants(entrants), m_double(doubleElimination), m_size(4), m_rounds(2)
{
    if (entrants < MinEntrants || entrants > MaxEntrants)
        throw std::invalid_argument("a bracket page holds " + std::to_string(MinEntrants) + " to "
                                    + std::to_string(MaxEntrants) + " entrants");
    while (m_size < entrants) {
        m_size *= 2;
        ++m_rounds;
    }
    m_seeds = seedOrder(m_size);
    if (!m_double)
        return;

    int next = 0;
    m_winnersLabels.resize(static_cast<size_t>(m_rounds));
    m_dropLabels.resize(static_cast<size_t>(m_rounds));
    for (int round = 1; round <= m_rounds; ++round) {
        const int matches = m_size >> round;
        auto &byMatch = m_winnersLabels[static_cast<size_t>(round - 1)];
        auto &byPlace = m_dropLabels[static_cast<size_t>(round - 1)];
        byMatch.assign(static_cast<size_t>(matches), std::string());
        byPlace.assign(static_cast<size_t>(matches), std::string());
        if (round == 1) {
            for (int match = 0; match < matches; ++match) {
                if (!firstRoundPlayed(match))
                    continue;
                byMatch[static_cast<size_t>(match)] = labelName(next++);
                byPlace[static_cast<size_t>(match)] = byMatch[static_cast<size_t>(match)];
            }
            continue;
        }
        // Hand the labels out in place order, then read them back per match.
        for (int place = 0; place < matches; ++place)
            byPlace[static_cast<size_t>(place)] = labelName(next + place);
        for (int match = 0; match < matches; ++match)
            byMatch[static_cast<size_t>(match)] =
                byPlace[static_cast<size_t>(dropPlace(m_size, round, match))];
        next += matches;
    }
    m_finalLabel = labelName(next);
}

bool PagePlan::firstRoundPlayed(int match) const
{
    return seedPresent(2 * match) && seedPresent(2 * match + 1);
}

std::string PagePlan::winnersLabel(int round, int index) const
{
    if (!m_double)
        return {};
    return m_winnersLabels.at(static_cast<size_t>(round - 1)).at(static_cast<size_t>(index));
}

std::string PagePlan::dropLabel(int round, int place) const
{
    return m_dropLabels.at(static_cast<size_t>(round - 1)).at(static_cast<size_t>(place));
}

std::string PagePlan::finalLabel() const
{
    return m_finalLabel;
}

std::vector<int> PagePlan::seedOrder(int bracketSize)
{
    std::vector<int> order{1, 2};
    while (static_cast<int>(order.size()) < bracketSize) {
        const int doubled = 2 * static_cast<int>(order.size());
        std::vector<int> longer;
        longer.reserve(static_cast<size_t>(doubled));
        for (size_t i = 0; i < order.size(); ++i) {
            const int seed = order[i];
            const int partner = doubled + 1 - seed;
            if (i % 2 == 0) {
                longer.push_back(seed);
                longer.push_back(partner);
            } else {
                longer.push_back(partner);
                longer.push_back(seed);
            }
        }
        order = std::move(longer);
    }
    return order;
}

int PagePlan::dropPlace(int bracketSize, int round, int index)
{
    // Spreading the drop-ins keeps two players who met in the winners bracket
    // apart for as long as possible in the losers bracket.
    const int matches = bracketSize >> round;
    const auto reversed = [&] { return matches - 1 - index; };
    switch (bracketSize) {
    case 8:
        if (round == 2)
            return reversed();
        break;
    case 16:
        if (round == 2)
            return reversed();
        if (round == 3)
            return index;
        break;
    case 32:
        if (round == 2)
            return (index + matches / 2) % matches;
        if (round == 3)
            return index ^ 1;
        if (round == 4)
            return reversed();
        break;
    default:
        break;
    }
    if (matches == 1)
        return 0;  // the winners final
    throw std::logic_error("no drop-in order for this round");
}

std::string PagePlan::labelName(int number)
{
    if (number < 26)
        return std::string(1, static_cast<char>('A' + number));
    return std::string(2, static_cast<char>('a' + (number - 26)));
}

}  // namespace zandrel
