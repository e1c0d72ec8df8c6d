// The window's places at every display scale, against the 96-DPI design.
#include "ui/WindowLayout.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowLayout, EveryPlaceIsTheDesignScaledToTheNearestPixel) {
    // Halves away from zero, as MulDiv rounds; edges are scaled, not sizes.
    EXPECT_EQ(ScaleToDpi(-3, 144), -5);
    EXPECT_EQ(ScaleToDpi(Box{1, 1, 1, 1}, 144), (Box{2, 2, 1, 1}));

    const Box logo{15, 270, 146, 22};
    struct Row {
        int dpi;
        Box window, installButton, separator;
        int smallFont, largeFont, slack;
    };
    // At 96 DPI the window is what it always was.
    const Row rows[] = {{96, {0, 0, 490, 357}, {354, 262, 105, 29}, {0, 240, 475, 1}, 13, 16, 2},
                        {120, {0, 0, 613, 446}, {443, 328, 131, 36}, {0, 300, 594, 1}, 17, 20, 3},
                        {144, {0, 0, 735, 536}, {531, 393, 158, 44}, {0, 360, 713, 2}, 20, 24, 3},
                        {192, {0, 0, 980, 714}, {708, 524, 210, 58}, {0, 480, 950, 2}, 27, 32, 4}};
    for (const Row& row : rows) {
        const WindowLayout l = LayoutAtDpi(row.dpi, logo);
        EXPECT_EQ(l.window, row.window) << row.dpi;
        EXPECT_EQ(l.installButton, row.installButton) << row.dpi;
        EXPECT_EQ(l.separator, row.separator) << row.dpi;
        EXPECT_EQ(l.logo, ScaleToDpi(logo, row.dpi)) << row.dpi;
        EXPECT_EQ(l.smallFontHeight, row.smallFont) << row.dpi;
        EXPECT_EQ(l.largeFontHeight, row.largeFont) << row.dpi;
        EXPECT_EQ(l.textSlack, row.slack) << row.dpi;
    }
}

} // namespace
