#pragma once
// What a bracket page promises its filler: one empty title element, and for
// every entrant k exactly one "PLAYER k" followed at once by "<". The page
// generator writes these texts and the filler looks for them, from here.

#include <string>
#include <string_view>

namespace zandrel::PageContract {

inline constexpr std::string_view EmptyTitle = "<title></title>";
inline constexpr std::string_view PlaceholderWord = "PLAYER ";

// The placeholder of slot `slot` as the page shows it, without its "<".
inline std::string placeholder(int slot)
{
    return std::string(PlaceholderWord) + std::to_string(slot);
}

}  // namespace zandrel::PageContract
