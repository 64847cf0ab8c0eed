#pragma once
// The items the program carries inside itself: the compressed bracket pages
// and the help document.

#include "platform/files.h"

#include <string>

namespace zandrel {

class BuiltInItems {
public:
    virtual ~BuiltInItems() = default;
    // The bytes of item `number` of type `typeName`; throws Failure when there is none.
    virtual Bytes builtInItem(int number, const std::string &typeName) = 0;
};

}  // namespace zandrel
