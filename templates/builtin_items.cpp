#include "templates/builtin_items.h"

#include "platform/failure.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace zandrel {

namespace {

bool sameTypeName(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}

}  // namespace

std::span<const unsigned char> builtInItemBytes(int number, std::string_view typeName)
{
    const auto items = builtInItems();
    const auto it = std::ranges::lower_bound(items, number, {}, &EmbeddedItem::number);
    if (!sameTypeName(typeName, BuiltInItemType) || it == items.end() || it->number != number)
        throw Failure(FailureNumber::MissingItem, "There is no built-in item " + std::to_string(number)
                                                      + " of type \"" + std::string(typeName) + "\"");
    return it->bytes;
}

Bytes EmbeddedItems::builtInItem(int number, const std::string &typeName)
{
    const auto bytes = builtInItemBytes(number, typeName);
    return Bytes(bytes.begin(), bytes.end());
}

}  // namespace zandrel
