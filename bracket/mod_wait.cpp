#include "bracket/mod_wait.h"

#include "platform/runtime.h"

namespace zandrel::ModWait {

// The runtime owns the event loop, so it owns the responsive wait too.
void WaitSeconds(Runtime &runtime, int seconds)
{
    runtime.waitSeconds(seconds);
}

}  // namespace zandrel::ModWait
