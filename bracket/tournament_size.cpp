#include "bracket/tournament_size.h"

#include "platform/failure.h"
#include "platform/tournament.h"

#include <string>

namespace zandrel {

void checkTournamentSize(int size)
{
    if (size < 0 || size > MaxEntrants)
        throw Failure(FailureNumber::TypeMismatch,
                      "The tournament size \"" + std::to_string(size) + "\" is not a whole number from 0 to "
                          + std::to_string(MaxEntrants) + ".");
}

}  // namespace zandrel
