#pragma once
// A bracket page for the make-bracket command: the built-in item of a template
// number goes to a temporary file, is expanded beside it as "<name>.htm", and
// the page's path is what the caller gets. Reading and deleting the page is
// the caller's; everything else made on the way is removed again.

#include <string>

namespace zandrel {

class Runtime;

// The path of the expanded page for `templateNumber`, or empty text after
// telling the user, in a box with the Stop icon, that no temporary file could
// be had or the item could not be saved. Other failures (a corrupt item, a
// file that cannot be read or written) are thrown as Failure; in every case
// the compressed copy is gone afterwards.
std::string extractBracketTemplate(Runtime &runtime, int templateNumber);

// Expands the item held in the file `itemFile` into a new file of the
// same name followed by ".htm" and returns that name. Throws Failure when the
// item is corrupt, a file cannot be read or written, or the ".htm" name is
// already taken.
std::string decompressTemplate(Runtime &runtime, const std::string &itemFile);

}  // namespace zandrel
