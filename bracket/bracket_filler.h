#pragma once
// Turns a decompressed bracket page into the finished one: reads it, puts the
// title and the names in, and writes bracket.html. Page text is the page's
// Windows-1252 bytes, held unchanged in a std::string; titles and names come
// in as UTF-8 and are converted on the way in.

#include "bracket/player_order.h"
#include "bracket/tournament_choices.h"

#include <functional>
#include <string>
#include <string_view>

namespace zandrel {

class Files;

// The UTF-8 text of name box `box`, 1 to 32, as typed.
using PlayerNameSource = std::function<std::string(int box)>;

// Where the finished page goes: `outputFolder` joined with "bracket.html".
std::string bracketFilePath(std::string_view outputFolder);

// Reads the whole page file, then deletes it. A failure to read propagates
// as Failure and leaves the file where it was.
std::string readTemplateText(Files &files, const std::string &templateFile);

// Fills the page in one left-to-right scan: every "<title></title>" takes the
// title, and every "PLAYER k<" with k from 1 to the size takes a name and
// keeps its "<". Seeded, slot k shows box k; otherwise the draw decides,
// taking one value from `nextRandom` per slot. Inserted text is never scanned
// again, so a name that reads "PLAYER 5" stays as typed. Boxes above the size
// are never asked for. Throws Failure when `size` is outside 0 to 32.
std::string fillBracketText(std::string_view pageText, std::string_view title, int size, Seeding seeding,
                            const PlayerNameSource &playerName, const RandomSource &nextRandom);

// Replaces `outputFile` with the page in one step. When writing fails the old
// file stays as it was and the Failure propagates.
void writeBracketFile(Files &files, const std::string &outputFile, std::string_view pageText);

}  // namespace zandrel
