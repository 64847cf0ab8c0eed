// The shipped catalogue: which item serves which template number, and that
// every stored item is a well-formed stream of exactly its page.

#include "platform/failure.h"
#include "templates/builtin_items.h"
#include "templates/comp_lzss3.h"
#include "tests/templates/test_lzss_layout.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using zandrel::BuiltInItem;

Bytes expanded(int number)
{
    return zandrel::Comp_LZSS3::decompressed(BuiltInItem(number, "Custom"));
}

Bytes pageFile(int number)
{
    std::ifstream in(std::string(ZANDREL_PAGES_DIR) + "/" + std::to_string(number) + ".htm", std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool contains(const Bytes &page, const std::string &text)
{
    return std::search(page.begin(), page.end(), text.begin(), text.end()) != page.end();
}

TEST(Catalogue, EveryStoredItemIsAWellFormedStreamOfItsPage)
{
    for (int number = 101; number <= 162; ++number) {
        SCOPED_TRACE(number);
        const auto item = BuiltInItem(number, "Custom");
        zandrel::testing::checkLayout(Bytes(item.begin(), item.end()));
        const Bytes page = pageFile(number);
        ASSERT_FALSE(page.empty());
        EXPECT_EQ(zandrel::Comp_LZSS3::decompressed(item), page);
    }
}

TEST(Catalogue, TemplateNumbersGiveThePageForTheirEntrants)
{
    EXPECT_EQ(expanded(101), expanded(103));
    EXPECT_EQ(expanded(102), expanded(103));
    for (int entrants = 3; entrants <= 32; ++entrants) {
        SCOPED_TRACE(entrants);
        const Bytes single = expanded(100 + entrants);
        const Bytes twice = expanded(130 + entrants);
        for (const Bytes &page : {single, twice}) {
            EXPECT_TRUE(contains(page, "PLAYER " + std::to_string(entrants) + "<"));
            EXPECT_FALSE(contains(page, "PLAYER " + std::to_string(entrants + 1) + "<"));
        }
        EXPECT_NE(single, twice);
    }
}

TEST(Catalogue, FindsItemsByNumberAndTypeNameInAnyCase)
{
#ifdef ZANDREL_CARRIES_HELP
    constexpr bool carriesHelp = true;
#else
    constexpr bool carriesHelp = false;
#endif
    const struct {
        const char *name;
        int number;
        const char *typeName;
        bool found;
    } rows[] = {
        {"type as filed", 103, "Custom", true},
        {"type in capitals", 162, "CUSTOM", true},
        {"type in small letters", 133, "custom", true},
        {"other type", 103, "Bitmap", false},
        {"type with a trailing space", 103, "Custom ", false},
        {"help file, only once the build carries it", 163, "Custom", carriesHelp},
        {"below the catalogue", 100, "Custom", false},
        {"negative number", -103, "Custom", false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        try {
            EXPECT_FALSE(BuiltInItem(row.number, row.typeName).empty());
            EXPECT_TRUE(row.found) << "found an item";
        } catch (const zandrel::Failure &failure) {
            EXPECT_FALSE(row.found) << failure.description();
            EXPECT_EQ(failure.number(), zandrel::FailureNumber::MissingItem);
            EXPECT_THAT(failure.description(), ::testing::HasSubstr(std::to_string(row.number)));
        }
    }
}

}  // namespace
