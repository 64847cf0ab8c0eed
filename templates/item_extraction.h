#pragma once
// Built-in items reach the rest of the program as files, never from memory:
// the template extraction and the help file both write theirs out here.

#include <string>

namespace zandrel {

class BuiltInItems;
class Files;

namespace extraction {

// Every temporary name the program makes begins with this.
inline constexpr const char *TempPrefix = "~rs";

// What the user is told, in a Stop box, when an item cannot be written out;
// where and why follow on the next line.
inline constexpr const char *NoTempNameMessage = "Unable to get temp file name!";
inline constexpr const char *CannotSaveMessage = "Unable to save resource item to disk!";

// Writes built-in item `number` out to a new owner-only file in the
// temporary folder: a name beginning "~rs" followed by `extension`. Returns
// its path. When no temporary name can be had, or the item cannot be written
// there, throws a Failure told as one of the messages above, and leaves
// nothing behind.
std::string writeItemToTemporaryFile(Files &files, BuiltInItems &items, int number, const std::string &extension);

}  // namespace extraction
}  // namespace zandrel
