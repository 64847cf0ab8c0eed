#pragma once

#include <string>

namespace zandrel {

// What the player-list reader changes in the main window.
class PlayerListView {
public:
    virtual ~PlayerListView() = default;

    // Name box `box`, 1 to 32, takes `name` (UTF-8) as its text.
    virtual void setPlayerName(int box, std::string name) = 0;
    // Selects `size` in the size list and lets the name grid follow it at once.
    virtual void selectSize(int size) = 0;
};

}  // namespace zandrel
