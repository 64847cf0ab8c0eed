#pragma once
// Built-in items reach the rest of the program as files, never from memory.
// These routines make the temporary file an item goes to and write the item
// there; the template extraction and the help file share them.

#include <string>
#include <string_view>

namespace zandrel {
class Runtime;
}

namespace zandrel::extraction {

// Every temporary name the program makes begins with this.
inline constexpr const char *TempPrefix = "~rs";

// What the user is told, in a Stop box, when an item cannot be written out.
inline constexpr const char *NoTempNameMessage = "Unable to get temp file name!";
inline constexpr const char *CannotSaveMessage = "Unable to save resource item to disk!";

// Creates a new, empty, owner-only file in the system's temporary folder whose
// name begins with `prefix`, puts its path in `name` and returns true. Returns
// false, with `name` untouched and `reason` saying where and why, when no
// such file could be made.
bool createTempFileName(Runtime &runtime, const std::string &prefix, std::string &name, std::string &reason);

// Writes built-in item `itemNumber` of type `typeName` into the file at `path`,
// replacing what it held. Returns 0, or the number of the failure that stopped
// it (a missing item, or the file could not be written) with its description
// in `reason` when one is given.
int saveItemToDisk(Runtime &runtime, int itemNumber, const std::string &typeName, const std::string &path,
                   std::string *reason = nullptr);

// What the Stop box says: one of the messages above as its first line, then
// where and why, so the user can do something about it.
std::string failureMessage(const char *message, const std::string &reason);

// `text` up to its first NUL character, or all of it when it has none.
std::string trimAtNull(std::string_view text);

}  // namespace zandrel::extraction
