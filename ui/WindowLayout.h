#pragma once
// Where everything of the installer window goes. The window is designed in
// pixels at 96 DPI; at any other DPI every place is the design's scaled by
// dpi / 96, so the window keeps its proportions and draws sharply instead of
// being stretched as a bitmap. Pure: no Windows calls, so one table covers it.

// A rectangle as left, top, width and height.
struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool operator==(const Box& other) const {
        return left == other.left && top == other.top && width == other.width && height == other.height;
    }
};

constexpr int kDesignDpi = 96;

// A length of the design at dpi, rounded to the nearest pixel, halves away
// from zero (as MulDiv rounds).
int ScaleToDpi(int length, int dpi);

// A design rectangle at dpi. Its edges are scaled, not its size: rectangles
// that touch at 96 DPI still touch, and ones apart never overlap.
Box ScaleToDpi(const Box& design, int dpi);

// Every place of the window at one DPI.
struct WindowLayout {
    // The outer size, frame and caption included (left and top 0).
    Box window;
    Box installButton;
    Box cancelButton;
    Box launchCheckBox;
    // Covers the closed field and the dropped-down list.
    Box languageCombo;
    Box progressBar;
    Box bodyText;
    Box languageLabel;
    Box installerVersionLine;
    // The row the version line and the release-notes link share: each is
    // narrowed to its text, the version line keeping the row's left edge and
    // the link its right edge, each at most as wide as its own box here.
    Box versionLine;
    Box releaseNotesLink;
    // Room left for the last glyph's overhang when a text row is narrowed.
    int textSlack = 0;
    // The separator between the texts and the buttons, filled black.
    Box separator;
    Box logo;
    // Character heights of Segoe UI in pixels: 10 and 12 points.
    int smallFontHeight = 0;
    int largeFontHeight = 0;
};

// The layout at dpi; logo is the logo's place in the design, which the
// product profile gives.
WindowLayout LayoutAtDpi(int dpi, const Box& logo);
