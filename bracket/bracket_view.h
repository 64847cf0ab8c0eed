#pragma once
// What the make-bracket command reads from the main window and does to it.
// The window implements this; tests use a plain struct.

#include <string>

namespace zandrel {

enum class ChoiceList { TournamentSize, TournamentType, TournamentSeeding };

class BracketView {
public:
    virtual ~BracketView() = default;

    // Current texts of the three pick-only lists: empty while nothing is picked.
    virtual std::string sizeText() const = 0;
    virtual std::string typeText() const = 0;
    virtual std::string seedingText() const = 0;
    virtual std::string titleText() const = 0;
    // Text of name box `box`, 1 to 32.
    virtual std::string playerName(int box) const = 0;
    virtual void focusList(ChoiceList list) = 0;
    // False once the window has been closed; a command still running then
    // must not open anything new.
    virtual bool isOpen() const = 0;
};

}  // namespace zandrel
