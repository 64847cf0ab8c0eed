#pragma once
// The tournaments Zandrel makes and the built-in items that serve them. The
// window, the player list, the draw, the command and the page generator all
// count with these numbers, so they live here and nowhere else.

namespace zandrel {

// Entrants a tournament may have; the size list offers every number between.
// There are as many name boxes, and as many names are read from players.txt.
inline constexpr int MinEntrants = 3;
inline constexpr int MaxEntrants = 32;

// The page for a size and kind is its base plus the size: 103 to 132 for
// single elimination, 133 to 162 for double. Items 101 and 102 repeat 103.
inline constexpr int SingleEliminationItemBase = 100;
inline constexpr int DoubleEliminationItemBase = 130;
inline constexpr int FirstPageItem = SingleEliminationItemBase + 1;
inline constexpr int LastPageItem = DoubleEliminationItemBase + MaxEntrants;
// The help document follows the pages.
inline constexpr int HelpItemNumber = LastPageItem + 1;

}  // namespace zandrel
