#pragma once
// A page made from the command line, without the window: what a script asks
// for, and the page that is made of it. The page is the window's for the same
// title, size, kind, seeding, names and draw, byte for byte.

#include "bracket/tournament_choices.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zandrel {

class BuiltInItems;
class Files;
class Places;
class RandomGenerator;

// The names file that stands for standard input.
inline constexpr const char *StandardInputName = "-";

struct BracketRequest {
    std::string title;
    // None: as many entrants as the names file holds names, up to 32.
    std::optional<int> size;
    TournamentKind kind = TournamentKind::SingleElimination;
    Seeding seeding = Seeding::Seeded;
    // A file in the encodings players.txt may have, or StandardInputName.
    // Slots it has no name for show "Player k", as the window's boxes do.
    std::optional<std::string> namesFile;
    // A full path. None: bracket.html where the window writes it.
    std::optional<std::string> outputFile;
};

struct MadePage {
    std::string path;  // where the page now is
    std::vector<std::string> warnings;
};

struct RequestServices {
    Places &places;
    Files &files;
    BuiltInItems &items;
    RandomGenerator &random;
};

// At most `maxBytes` bytes of standard input, to its end.
using InputReader = std::function<std::vector<unsigned char>(std::size_t maxBytes)>;

// Makes the page and puts it in place in one step. Throws Failure, naming
// the file and the problem, when the names cannot be read, when they are too
// few to give the size, or when the page cannot go where it was asked to; an
// output file that was there before is then as it was.
MadePage makeRequestedPage(const RequestServices &services, const BracketRequest &request,
                           const InputReader &readStandardInput);

}  // namespace zandrel
