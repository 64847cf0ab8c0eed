#pragma once
// What the make-bracket command reads from the main window and does to it.
// The window implements this; tests use a plain struct.

#include "bracket/tournament_choices.h"

#include <optional>
#include <string>

namespace zandrel {

enum class ChoiceList { Size, Kind, Seeding };

class BracketView {
public:
    virtual ~BracketView() = default;

    // What the three pick-only lists hold: nothing while no entry is picked.
    virtual std::optional<int> chosenSize() const = 0;
    virtual std::optional<TournamentKind> chosenKind() const = 0;
    virtual std::optional<Seeding> chosenSeeding() const = 0;
    virtual std::string titleText() const = 0;
    // Text of name box `box`, 1 to 32.
    virtual std::string playerName(int box) const = 0;
    virtual void focusList(ChoiceList list) = 0;
    // False once the window has been closed; a command still running then
    // must not open anything new.
    virtual bool isOpen() const = 0;
};

}  // namespace zandrel
