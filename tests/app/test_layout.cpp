// Where the main window first stands, on numbers alone (the layout rule's are checked on the window).

#include "app/layout.h"

#include <gtest/gtest.h>

#include <tuple>

namespace zandrel::layout {
namespace {

TEST(Geometry, TheWindowIsCentredButItsTopLeftCornerNeverLeavesTheScreen)
{
    // The screen's free area (left, top, width, height), and where a window of 560 x 480 goes on it.
    const std::tuple<const char *, double, double, double, double, Point> cases[] = {
        {"wide_screen", 0, 0, 1920, 1040, {680, 280}},
        {"second_screen_to_the_right", 1920, 30, 1280, 994, {2280, 287}},
        {"smaller_than_the_window", 0, 0, 320, 216, {0, 0}},
        {"narrower_only", 100, 0, 400, 1000, {100, 260}},
    };
    for (const auto &[name, left, top, width, height, expected] : cases) {
        const Point place = centreWithin(left, top, width, height, 560, 480);
        EXPECT_TRUE(place.x == expected.x && place.y == expected.y) << name << ": " << place.x << ", " << place.y;
    }
}

}  // namespace
}  // namespace zandrel::layout
