// Where the main window first stands, on numbers alone; the layout rule's own
// numbers are checked on the window itself, at its size limits.

#include "app/layout.h"

#include <gtest/gtest.h>

namespace zandrel::layout {
namespace {

TEST(Geometry, TheWindowIsCentredButItsTopLeftCornerNeverLeavesTheScreen)
{
    const struct {
        const char *name;
        double left, top, width, height;  // the screen's free area
        Point expected;                   // for a window of 560 x 480
    } cases[] = {
        {"wide_screen", 0, 0, 1920, 1040, {680, 280}},
        {"second_screen_to_the_right", 1920, 30, 1280, 994, {2280, 287}},
        {"smaller_than_the_window", 0, 0, 320, 216, {0, 0}},
        {"narrower_only", 100, 0, 400, 1000, {100, 260}},
    };
    for (const auto &c : cases) {
        const Point place = centreWithin(c.left, c.top, c.width, c.height, 560, 480);
        EXPECT_DOUBLE_EQ(place.x, c.expected.x) << c.name;
        EXPECT_DOUBLE_EQ(place.y, c.expected.y) << c.name;
    }
}

}  // namespace
}  // namespace zandrel::layout
