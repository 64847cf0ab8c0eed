#include "bracket/tournament_choices.h"

#include "platform/tournament.h"

namespace zandrel {

std::vector<Choice<int>> sizeChoices()
{
    std::vector<Choice<int>> choices;
    for (int size = MinEntrants; size <= MaxEntrants; ++size)
        choices.push_back({size, std::to_string(size)});
    return choices;
}

std::vector<Choice<TournamentKind>> kindChoices()
{
    return {{TournamentKind::SingleElimination, "Single Elimination"},
            {TournamentKind::DoubleElimination, "Double Elimination"}};
}

std::vector<Choice<Seeding>> seedingChoices()
{
    return {{Seeding::Drawn, "Unseeded (random matches)"}, {Seeding::Seeded, "Seeded (according to order below)"}};
}

}  // namespace zandrel
