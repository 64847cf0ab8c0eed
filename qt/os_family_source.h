#pragma once
// The operating-system family as the make-bracket command asks for it.

#include "platform/os_family.h"

namespace zandrel {

// On Windows, the family read from the registry each time it is asked for;
// elsewhere unset: there is no family to read, and documents open the
// desktop's way.
OsFamilySource systemOsFamily();

}  // namespace zandrel
