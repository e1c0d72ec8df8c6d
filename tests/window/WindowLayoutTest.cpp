// The window's places at every display scale, against the 96-DPI design.
#include "ui/WindowLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace {

const Box kLogo{15, 270, 146, 22};

TEST(WindowLayout, EveryPlaceIsTheDesignScaledToTheNearestPixel) {
    // Halves away from zero, as MulDiv rounds.
    EXPECT_EQ(ScaleToDpi(1, 144), 2);
    EXPECT_EQ(ScaleToDpi(-3, 144), -5);
    EXPECT_EQ(ScaleToDpi(3, 120), 4);
    EXPECT_EQ(ScaleToDpi(Box{1, 1, 1, 1}, 144), (Box{2, 2, 1, 1})) << "edges are scaled, not the size";

    const Box WindowLayout::*const places[] = {&WindowLayout::window,
                                               &WindowLayout::installButton,
                                               &WindowLayout::cancelButton,
                                               &WindowLayout::launchCheckBox,
                                               &WindowLayout::languageCombo,
                                               &WindowLayout::progressBar,
                                               &WindowLayout::bodyText,
                                               &WindowLayout::languageLabel,
                                               &WindowLayout::installerVersionLine,
                                               &WindowLayout::versionLine,
                                               &WindowLayout::releaseNotesLink,
                                               &WindowLayout::separator,
                                               &WindowLayout::logo};
    const WindowLayout design = LayoutAtDpi(96, kLogo);
    // At 96 DPI the window is what it always was.
    EXPECT_EQ(design.window, (Box{0, 0, 490, 357}));
    EXPECT_EQ(design.cancelButton, (Box{245, 262, 105, 29}));
    EXPECT_EQ(design.logo, kLogo);
    EXPECT_EQ(design.separator, (Box{0, 240, 475, 1}));

    struct Row {
        int dpi;
        Box installButton;
        int smallFont, largeFont, slack;
    };
    const Row rows[] = {{96, {354, 262, 105, 29}, 13, 16, 2},
                        {120, {443, 328, 131, 36}, 17, 20, 3},
                        {144, {531, 393, 158, 44}, 20, 24, 3},
                        {192, {708, 524, 210, 58}, 27, 32, 4}};
    for (const Row& row : rows) {
        const WindowLayout l = LayoutAtDpi(row.dpi, kLogo);
        EXPECT_EQ(l.installButton, row.installButton) << row.dpi;
        EXPECT_EQ(l.smallFontHeight, row.smallFont) << row.dpi;
        EXPECT_EQ(l.largeFontHeight, row.largeFont) << row.dpi;
        EXPECT_EQ(l.textSlack, row.slack) << row.dpi;
        const double scale = row.dpi / 96.0;
        for (const auto place : places) {
            const Box& at = l.*place;
            const Box& was = design.*place;
            for (const auto& [edge, designed] :
                 {std::pair{at.left, was.left}, std::pair{at.top, was.top},
                  std::pair{at.right(), was.right()}, std::pair{at.bottom(), was.bottom()}})
                EXPECT_LE(std::abs(edge - designed * scale), 0.5) << row.dpi << ": " << designed;
        }
    }
}

} // namespace
