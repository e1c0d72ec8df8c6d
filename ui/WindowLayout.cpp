#include "ui/WindowLayout.h"

#include <cstdint>

namespace {

// value * numerator / denominator (denominator > 0), rounded as MulDiv
// rounds: to the nearest integer, halves away from zero.
int MulDivRounded(int value, int numerator, int denominator) {
    const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    const std::int64_t half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

// Points to pixels at dpi: 72 points to the inch.
int FontHeight(int points, int dpi) {
    return MulDivRounded(points, dpi, 72);
}

} // namespace

int ScaleToDpi(int length, int dpi) {
    return MulDivRounded(length, dpi, kDesignDpi);
}

Box ScaleToDpi(const Box& design, int dpi) {
    const int left = ScaleToDpi(design.left, dpi);
    const int top = ScaleToDpi(design.top, dpi);
    return {left, top, ScaleToDpi(design.right(), dpi) - left, ScaleToDpi(design.bottom(), dpi) - top};
}

WindowLayout LayoutAtDpi(int dpi, const Box& logo) {
    const auto at = [dpi](const Box& design) { return ScaleToDpi(design, dpi); };
    WindowLayout l;
    l.window = at({0, 0, 490, 357});
    l.installButton = at({354, 262, 105, 29});
    l.cancelButton = at({245, 262, 105, 29});
    l.launchCheckBox = at({50, 150, 150, 45});
    l.languageCombo = at({15, 167, 244, 450});
    l.progressBar = at({15, 167, 445, 25});
    l.bodyText = at({15, 40, 444, 90});
    l.languageLabel = at({15, 145, 250, 20});
    l.installerVersionLine = at({10, 300, 200, 20});
    l.versionLine = at({15, 220, 300, 20});
    l.releaseNotesLink = at({200, 220, 260, 20});
    l.textSlack = ScaleToDpi(2, dpi);
    // One pixel high at 96 DPI, across to x 475.
    l.separator = at({0, 240, 475, 1});
    l.logo = at(logo);
    l.smallFontHeight = FontHeight(10, dpi);
    l.largeFontHeight = FontHeight(12, dpi);
    return l;
}
