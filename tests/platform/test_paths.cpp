#include "platform/paths.h"

#include <gtest/gtest.h>

namespace zandrel {
namespace {

TEST(JoinPath, OneSeparatorOfTheFoldersOwnKind)
{
    const struct {
        const char *folder, *expected;
    } cases[] = {
        {"/opt/zandrel", "/opt/zandrel/bracket.html"},
        {"/", "/bracket.html"},
        {R"(C:\Brackets)", R"(C:\Brackets\bracket.html)"},
        {R"(C:\)", R"(C:\bracket.html)"},
        {"C:/Brackets", "C:/Brackets/bracket.html"},
        {"relative", "relative/bracket.html"},
        {"", "bracket.html"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(joinPath(c.folder, "bracket.html"), c.expected) << c.folder;
}

}  // namespace
}  // namespace zandrel
