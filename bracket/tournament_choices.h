#pragma once
// What the main window's three lists offer, and what each entry means. The
// texts are shown as they stand here and nowhere else; the window hands the
// command the values, so no text is ever compared to decide what is made.

#include <string>
#include <vector>

namespace zandrel {

enum class TournamentKind { SingleElimination, DoubleElimination };
enum class Seeding { Drawn, Seeded };

// One entry of a list: what it means and what it shows.
template <typename Value>
struct Choice {
    Value value;
    std::string text;
};

// Each list's entries in the order it shows them. The sizes run from
// MinEntrants to MaxEntrants, each shown as its number.
std::vector<Choice<int>> sizeChoices();
std::vector<Choice<TournamentKind>> kindChoices();
std::vector<Choice<Seeding>> seedingChoices();

}  // namespace zandrel
