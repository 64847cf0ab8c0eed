#pragma once
// The catalogue of built-in items compiled into the program: the compressed
// bracket pages 101 to 162, each a stream for the LZSS decoder, and the help
// file 163. The build generates the item data (templates/store.cmake); this
// header is how the rest of the program finds it.

#include "platform/builtin_items.h"

#include <span>
#include <string_view>

namespace zandrel {

// The type name every built-in item is filed under; matched without regard to case.
inline constexpr const char *BuiltInItemType = "Custom";

struct EmbeddedItem {
    int number;
    std::span<const unsigned char> bytes;
};

// The bytes of item `number` of type `typeName`. Throws Failure
// (FailureNumber::MissingItem) when there is none: no item has that number, or
// the type is not "Custom".
std::span<const unsigned char> builtInItemBytes(int number, std::string_view typeName);

// Every built-in item, in ascending order of number. Defined by the generated source.
std::span<const EmbeddedItem> builtInItems();

// The built-in items as the program carries them.
class EmbeddedItems : public BuiltInItems {
public:
    Bytes builtInItem(int number, const std::string &typeName) override;
};

}  // namespace zandrel
