#pragma once
// The make-bracket command.

namespace zandrel {

class BracketView;
class BuiltInItems;
class Desktop;
class EventLoop;
class Files;
class Messages;
class Places;
class RandomGenerator;

// What Make Bracket asks of the system: everything but the one-copy rule.
struct BracketServices {
    Messages &messages;
    Places &places;
    Files &files;
    BuiltInItems &items;
    RandomGenerator &random;
    Desktop &desktop;
    EventLoop &events;
};

// The program's one productive action: check the three lists, make the page
// for the chosen size and kind, fill it, write bracket.html (beside the
// program, or in the user's folder when the program's cannot be written:
// outputFolder), say so, and open it. A failure on the way throws, told in
// the box it carries.
void makeBracket(const BracketServices &services, BracketView &view);

}  // namespace zandrel
