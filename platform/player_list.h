#pragma once
// players.txt beside the program: one name per line, read once at start-up to
// fill the name boxes and the size. The program never writes it.

#include "platform/tournament.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zandrel {

class Files;
class Places;
class PlayerListView;

// Longer lines are cut here (in characters, not bytes): a name box holds no more.
inline constexpr std::size_t MaxPlayerNameLength = 32767;
// Enough bytes for 32 full-length lines of four-byte characters with their
// line ends and a byte-order mark; a larger file is only read this far.
inline constexpr std::size_t PlayerListReadLimit = 3 + MaxEntrants * (MaxPlayerNameLength * 4 + 2);

// What name box `box` holds until a name is put in it: "Player <box>".
std::string defaultPlayerName(int box);

// `folder` joined with "players.txt", with exactly one separator between.
std::string playerListPath(std::string_view folder);

// The file's bytes as at most 32 UTF-8 names, one per line. Lines end at
// CR LF, a lone CR or a lone LF; a line end after the last line makes no
// extra line; nothing is trimmed and empty lines count. A file that begins
// with a UTF-16 byte-order mark (either order) is UTF-16. Otherwise it is
// read as UTF-8 (a byte-order mark is dropped) when the part of it used is
// valid UTF-8, and as Windows-1252 otherwise, so names saved by older
// editors keep their accents.
std::vector<std::string> parsePlayerList(std::string_view bytes);

// How many lines the same bytes hold, counted as parsePlayerList counts them
// but past the 32 it keeps.
std::size_t playerListLineCount(std::string_view bytes);

// Fills name boxes 1 to n from players.txt (beside the program, or else in
// the user's folder: playerListFolder) and, from the third name on, selects
// the size that many names make (each name before its size). A missing or
// empty file (or a missing folder) changes nothing and says nothing; any
// other failure to read it throws, to be told in a box titled "Error
// <number> Program Error" that shows its description.
void loadPlayerNames(const Places &places, Files &files, PlayerListView &view);

}  // namespace zandrel
