// The window as created in this process: what the black-box tests cannot see
// from outside (fonts, class cursors, the combo's drop-down height).
#include "i18n/TranslationCatalog.h"
#include "profile/ProductProfile.h"
#include "ui/InstallerWindow.h"
#include "ui/ScreenTexts.h"

#include <gtest/gtest.h>

#include "MessageCapture.h"

#include <windows.h>

#include <string>

namespace {

class InstallerWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        helmtest::UseEnglishTexts();
        const HINSTANCE instance = ::GetModuleHandleW(nullptr);
        RegisterInstallerWindowClass(instance);
        created = CreateInstallerWindow(TheWindow(), instance, SW_SHOWNORMAL);
    }
    // Kept until the program ends, like the installer's own.
    static ::InstallerWindow& TheWindow() {
        static ::InstallerWindow window(TheProfile(),
                                        WindowInputs{false, ProductVersion(L"2.2.0.1"), ProductVersion()});
        return window;
    }
    static const ProductProfile& TheProfile() {
        static const ProductProfile profile = [] {
            ProductProfile running;
            running.InitProductProfile(L"https://x/");
            return running;
        }();
        return profile;
    }
    static const InstallerWindowObjects& Window() { return TheWindow().objects; }
    static bool created;
};
bool InstallerWindow::created = false;

LOGFONTW FontOf(HWND control) {
    LOGFONTW font = {};
    const auto handle = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    if (handle)
        ::GetObjectW(handle, sizeof(font), &font);
    return font;
}

int PointsToHeight(int points) {
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return -::MulDiv(points, dpi, 72);
}

TEST_F(InstallerWindow, ControlsCarrySegoeUiInTwoSizesAndTheCheckBoxTheSystemFont) {
    ASSERT_TRUE(created);
    const InstallerWindowObjects& w = Window();
    for (HWND large : {w.installButton, w.cancelButton, w.bodyText, w.versionLine}) {
        const LOGFONTW font = FontOf(large);
        EXPECT_EQ(std::wstring(font.lfFaceName), L"Segoe UI");
        EXPECT_EQ(font.lfHeight, PointsToHeight(12));
        EXPECT_EQ(font.lfWeight, FW_NORMAL);
    }
    for (HWND small : {w.languageCombo, w.languageLabel, w.installerVersionLine, w.releaseNotesLink}) {
        const LOGFONTW font = FontOf(small);
        EXPECT_EQ(std::wstring(font.lfFaceName), L"Segoe UI");
        EXPECT_EQ(font.lfHeight, PointsToHeight(10));
    }
    EXPECT_EQ(::SendMessageW(w.launchCheckBox, WM_GETFONT, 0, 0), 0);
    EXPECT_EQ(::SendMessageW(w.progressBar, WM_GETFONT, 0, 0), 0);
}

TEST_F(InstallerWindow, ButtonsAndStaticTextsShowTheHand) {
    ASSERT_TRUE(created);
    const auto hand = reinterpret_cast<ULONG_PTR>(::LoadCursorW(nullptr, IDC_HAND));
    const InstallerWindowObjects& w = Window();
    // The cursor belongs to the classes: also the check box, the body text and the version line.
    for (HWND control : {w.installButton, w.launchCheckBox, w.releaseNotesLink, w.bodyText, w.versionLine})
        EXPECT_EQ(::GetClassLongPtrW(control, GCLP_HCURSOR), hand);
    EXPECT_EQ(::GetClassLongPtrW(w.mainWindow, GCLP_HCURSOR),
              reinterpret_cast<ULONG_PTR>(::LoadCursorW(nullptr, IDC_ARROW)));
}

TEST_F(InstallerWindow, ComboDropsDownToItsFullHeight) {
    ASSERT_TRUE(created);
    RECT dropped = {};
    ::SendMessageW(Window().languageCombo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    RECT field = {};
    ::GetWindowRect(Window().languageCombo, &field);
    // Windows counts the closed field in; Wine gives the list alone, less its own border.
    const int list = dropped.bottom - dropped.top;
    const int closed = field.bottom - field.top;
    EXPECT_TRUE(list == 450 || (list + closed >= 445 && list + closed <= 450)) << list << " + " << closed;
    EXPECT_EQ(::SendMessageW(Window().languageCombo, CB_GETCOUNT, 0, 0), 17);
}

// A control's place in its parent's client area.
Box PlaceOf(HWND control) {
    RECT r = {};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// The room a text takes in the control's font: one line, or wrapped at width.
SIZE TextExtent(HWND control, const std::wstring& text, int wrapWidth = 0) {
    const HDC dc = ::GetDC(control);
    const HGDIOBJ previous =
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT extent{0, 0, wrapWidth, 0};
    ::DrawTextW(dc, text.c_str(), -1, &extent, DT_CALCRECT | (wrapWidth ? DT_WORDBREAK : DT_SINGLELINE));
    ::SelectObject(dc, previous);
    ::ReleaseDC(control, dc);
    return {extent.right, extent.bottom};
}

std::wstring TextOf(HWND control) {
    wchar_t text[512] = {};
    ::GetWindowTextW(control, text, 512);
    return text;
}

TEST_F(InstallerWindow, TakesTheSuggestedRectangleOnADpiChangeAndLaysOutAgainWithTextsThatFit) {
    ASSERT_TRUE(created);
    const InstallerWindowObjects& w = Window();
    RECT original = {};
    ::GetWindowRect(w.mainWindow, &original);
    const ProductProfile& p = TheProfile();
    // Back to 96 DPI last, where the window must be as it was created.
    for (const int dpi : {144, 192, 96}) {
        const WindowLayout l = LayoutAtDpi(dpi, {p.logoX(), p.logoY(), p.logoWidth(), p.logoHeight()});
        const RECT suggested = dpi == 96 ? original : RECT{30, 20, 37 + l.window.width, 20 + l.window.height};
        ::SendMessageW(w.mainWindow, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                       reinterpret_cast<LPARAM>(&suggested));
        RECT now = {};
        ::GetWindowRect(w.mainWindow, &now);
        EXPECT_TRUE(::EqualRect(&now, &suggested)) << dpi;
        EXPECT_EQ(PlaceOf(w.installButton), l.installButton) << dpi;
        EXPECT_EQ(PlaceOf(w.bodyText), l.bodyText) << dpi;
        EXPECT_EQ(FontOf(w.cancelButton).lfHeight, -l.largeFontHeight) << dpi;

        // Every text fits whole: the buttons' inside their borders, and
        // every opening screen's body wrapped in the body's width.
        for (HWND c : {w.installButton, w.cancelButton, w.languageLabel, w.versionLine, w.releaseNotesLink,
                       w.installerVersionLine}) {
            const int inset = c == w.installButton || c == w.cancelButton ? 2 * ScaleToDpi(3, dpi) : 0;
            const SIZE text = TextExtent(c, TextOf(c));
            EXPECT_LE(text.cx + inset, PlaceOf(c).width) << dpi << ": " << PlaceOf(c).left;
            EXPECT_LE(text.cy + inset, PlaceOf(c).height) << dpi << ": " << PlaceOf(c).left;
        }
        for (const InstallerScreen screen :
             {InstallerScreen::Welcome, InstallerScreen::UninstallWelcome, InstallerScreen::IncompleteInstall,
              InstallerScreen::OldVersionInstalled, InstallerScreen::NewerVersionInstalled}) {
            const SIZE text = TextExtent(
                w.bodyText, OpeningScreenBody(screen, p.productName(), TheWindow().inputs), l.bodyText.width);
            EXPECT_LE(text.cy, l.bodyText.height) << dpi << ": screen " << static_cast<int>(screen);
        }
    }
}

} // namespace
