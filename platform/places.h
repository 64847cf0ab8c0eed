#pragma once
// The folders the system names: the program's own and the user's documents.

#include <string>

namespace zandrel {

class Places {
public:
    virtual ~Places() = default;
    // Folder of the executable, without a trailing separator (except a bare
    // root); empty when the system cannot name it as text.
    virtual std::string programFolder() const = 0;
    // The user's documents folder, whether or not it exists yet. Throws
    // Failure, saying why, when the system names none, or names it wrongly:
    // a relative path would mean the current folder, and a name that is not
    // UTF-8 a folder that is not there.
    virtual std::string documentsFolder() const = 0;
};

}  // namespace zandrel
