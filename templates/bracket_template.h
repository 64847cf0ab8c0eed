#pragma once
// A bracket page for the make-bracket command: the built-in item of a template
// number goes to a temporary file, is expanded beside it as "<name>.htm", and
// the page's path is what the caller gets. Reading and deleting the page is
// the caller's; everything else made on the way is removed again.

#include <string>

namespace zandrel {

class BuiltInItems;
class Files;

// The path of the expanded page for `templateNumber`. Throws Failure when no
// temporary file can be had or the item cannot be saved (told as the store's
// own messages), or when the item is corrupt or a file cannot be read or
// written; in every case the compressed copy is gone afterwards.
std::string extractBracketTemplate(Files &files, BuiltInItems &items, int templateNumber);

// Expands the item held in the file `itemFile` into a new file of the
// same name followed by ".htm" and returns that name. Throws Failure when the
// item is corrupt, a file cannot be read or written, or the ".htm" name is
// already taken.
std::string decompressTemplate(Files &files, const std::string &itemFile);

}  // namespace zandrel
