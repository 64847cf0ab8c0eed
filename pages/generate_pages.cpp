// zandrel_pagegen: draws the built-in bracket pages, items 101 to 162, into
// the folder named on the command line as NNN.htm. Run by the build; the
// pages are never edited by hand.

#include "pages/page_html.h"
#include "pages/page_layout.h"
#include "platform/tournament.h"
#include "templates/tool_files.h"

#include <exception>
#include <filesystem>
#include <iostream>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: zandrel_pagegen OUTPUT-FOLDER\n";
        return 2;
    }
    try {
        const std::filesystem::path folder = argv[1];
        std::filesystem::create_directories(folder);
        for (int item = zandrel::FirstPageItem; item <= zandrel::LastPageItem; ++item) {
            const std::string bytes = zandrel::PageHtml::render(zandrel::PageLayout::forItem(item));
            const auto path = folder / (std::to_string(item) + ".htm");
            zandrel::tools::writeAll(path.string(), bytes);
        }
    } catch (const std::exception &error) {
        std::cerr << "zandrel_pagegen: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
