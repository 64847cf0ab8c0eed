#pragma once
// Writes a drawn bracket page as the bytes of its HTML file: Windows-1252
// (in fact ASCII plus the no-break space A0), CR LF line ends, one empty
// title element for the filler, and each placeholder as plain text right
// before the "<" of its closing tag.

#include "pages/page_layout.h"

#include <string>

namespace zandrel {

class PageHtml {
public:
    static std::string render(const BracketPage &page);
};

}  // namespace zandrel
