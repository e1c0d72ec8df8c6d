// The window as created in this process: what the black-box tests cannot see
// from outside (fonts, class cursors, the combo's drop-down height).
#include "i18n/TranslationCatalog.h"
#include "profile/ProductProfile.h"
#include "ui/InstallerWindow.h"

#include <gtest/gtest.h>

#include "MessageCapture.h"

#include <windows.h>

#include <string>

namespace {

class InstallerWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        Profile().InitProductProfile(L"https://x/");
        helmtest::UseEnglishTexts();
        const HINSTANCE instance = ::GetModuleHandleW(nullptr);
        RegisterInstallerWindowClass(instance);
        created = CreateInstallerWindow(TheWindow(), instance, SW_SHOWNORMAL);
    }
    // Kept until the program ends, like the installer's own.
    static ::InstallerWindow& TheWindow() {
        static ::InstallerWindow window(WindowInputs{false, ProductVersion(L"2.2.0.1"), ProductVersion()});
        return window;
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

} // namespace
