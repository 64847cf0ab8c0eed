#pragma once

namespace zandrel {

class Runtime;

namespace ModWait {

// Returns no earlier than `seconds` from now. The window keeps handling its
// events meanwhile, so the user can go on typing, close the window or make
// another bracket inside the wait.
void WaitSeconds(Runtime &runtime, int seconds);

}  // namespace ModWait
}  // namespace zandrel
