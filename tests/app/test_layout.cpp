// The window's geometry rules, on numbers alone.

#include "app/layout.h"

#include <gtest/gtest.h>

namespace zandrel::layout {
namespace {

TEST(FormLayout, WorkedExampleNineThousandByEightThousand)
{
    const FormLayout l = formLayout(9000, 8000);
    EXPECT_DOUBLE_EQ(l.command1Left, 3892.5);
    EXPECT_DOUBLE_EQ(l.command1Top, 3012.5);
    EXPECT_DOUBLE_EQ(l.frame1Left, 1022.5);
    EXPECT_DOUBLE_EQ(l.frame1Top, 3397.5);
    EXPECT_DOUBLE_EQ(l.frame2Left, 1022.5);
    EXPECT_DOUBLE_EQ(l.frame2Top, 877.5);
    EXPECT_DOUBLE_EQ(l.label5Left, 8325);
    EXPECT_DOUBLE_EQ(l.label5Top, 0);
    EXPECT_DOUBLE_EQ(l.privacyLeft, 3952.5);
    EXPECT_DOUBLE_EQ(l.privacyTop, 6702.5);
    EXPECT_DOUBLE_EQ(l.topLineWidth, 9120);
}

TEST(FormLayout, KeepsTheBlockTogetherAtEverySize)
{
    // Whatever the size: Frame2 ends 80 twips above the button, Frame1 starts
    // 10 below it, the link sits 50 below Frame1, both frames 50 left of centre.
    for (double w : {0.0, 7050.0, 8400.0, 15000.0}) {
        for (double h : {0.0, 6375.0, 15000.0}) {
            SCOPED_TRACE(testing::Message() << w << " x " << h);
            const FormLayout l = formLayout(w, h);
            EXPECT_DOUBLE_EQ(l.frame2Top + 2055, l.command1Top - 80);
            EXPECT_DOUBLE_EQ(l.frame1Top, l.command1Top + 375 + 10);
            EXPECT_DOUBLE_EQ(l.privacyTop, l.frame1Top + 3255 + 50);
            EXPECT_DOUBLE_EQ(l.frame1Left + 6855 / 2.0, w / 2 - 50);
            EXPECT_DOUBLE_EQ(l.frame2Left, l.frame1Left);
            EXPECT_DOUBLE_EQ(l.label5Left + 615 + 60, w);
        }
    }
}

TEST(FormLayout, Extremes)
{
    // The smallest outer size, 470 x 425 pixels.
    const FormLayout smallest = formLayout(470 * 15, 425 * 15);
    EXPECT_DOUBLE_EQ(smallest.frame2Top, 65);
    EXPECT_DOUBLE_EQ(smallest.frame1Left, 47.5);
    EXPECT_DOUBLE_EQ(smallest.frame2Left, 47.5);
    // Near the design size.
    EXPECT_DOUBLE_EQ(formLayout(8400, 7000).frame1Left, 722.5);
    // A minimised window is tiny: positions go negative and nothing fails.
    const FormLayout minimised = formLayout(160 * 15, 30 * 15);
    EXPECT_LT(minimised.frame2Top, 0);
    EXPECT_LT(minimised.frame1Left, 0);
}

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

TEST(Geometry, TwipsBecomePixelsOnlyWhenRounded)
{
    EXPECT_EQ(twipsToPixels(613.33), 41);
    EXPECT_EQ(twipsToPixels(7.4), 0);
    EXPECT_EQ(twipsToPixels(7.5), 1);
    EXPECT_EQ(twipsToPixels(-120), -8);
    EXPECT_EQ(twipsToPixels(8280), 552);
}

}  // namespace
}  // namespace zandrel::layout
