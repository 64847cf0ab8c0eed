#include "bracket/tournament_size.h"

#include "bracket/player_order.h"
#include "platform/failure.h"

#include <charconv>
#include <string>

namespace zandrel {

namespace {

[[noreturn]] void throwInvalidSize(std::string_view shown)
{
    throw Failure(FailureNumber::TypeMismatch,
                  "The tournament size \"" + std::string(shown) + "\" is not a whole number from 0 to "
                      + std::to_string(MaxEntrants) + ".");
}

}  // namespace

int parseTournamentSize(std::string_view sizeText)
{
    int size = -1;
    const char *first = sizeText.data();
    const char *last = first + sizeText.size();
    // from_chars takes no blank, "+" or "0x", so " 3" or "+3" fail here; a
    // minus sign is read and then fails the range.
    const auto [end, error] = std::from_chars(first, last, size);
    if (error != std::errc() || end != last || size < 0 || size > MaxEntrants)
        throwInvalidSize(sizeText);
    return size;
}

void checkTournamentSize(int size)
{
    if (size < 0 || size > MaxEntrants)
        throwInvalidSize(std::to_string(size));
}

}  // namespace zandrel
