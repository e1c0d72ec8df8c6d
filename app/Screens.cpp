#include "app/Screens.h"

#include "app/InstallerWindow.h"
#include "app/ScreenTexts.h"
#include "app/WindowState.h"
#include "i18n/LanguageSelection.h"
#include "i18n/TranslationCatalog.h"
#include "profile/ProductProfile.h"

#include <windows.h>

#include <array>

namespace {

std::wstring T(const std::wstring& key, const std::vector<std::wstring>& values = {}) {
    return Catalog().Translate(key, values);
}

void SetText(HWND control, const std::wstring& text) {
    ::SetWindowTextW(control, text.c_str());
}

void Show(HWND control, bool visible) {
    ::ShowWindow(control, visible ? SW_SHOW : SW_HIDE);
}

// The progress bar takes the place of the language chooser while a run is under way.
void ShowRunningControls(bool cancelVisible) {
    const InstallerWindowObjects& w = Window();
    Show(w.installButton, false);
    Show(w.cancelButton, cancelVisible);
    Show(w.languageLabel, false);
    Show(w.languageCombo, false);
    Show(w.progressBar, true);
    ::InvalidateRect(w.mainWindow, nullptr, TRUE);
}

} // namespace

void ShowWelcomeScreen() {
    SetText(Window().installButton, T(L"IDS_INSTALL"));
    SetText(Window().bodyText, OpeningScreenBody(InstallerScreen::Welcome));
}

void ShowUninstallWelcomeScreen() {
    SetText(Window().installButton, T(L"IDS_UNINSTALL"));
    SetText(Window().bodyText, OpeningScreenBody(InstallerScreen::UninstallWelcome));
}

void ShowIncompleteInstallScreen() {
    SetText(Window().bodyText, OpeningScreenBody(InstallerScreen::IncompleteInstall));
}

void ShowOldVersionScreen() {
    SetText(Window().bodyText, OpeningScreenBody(InstallerScreen::OldVersionInstalled));
}

void ShowNewerVersionScreen() {
    SetText(Window().installButton, T(L"IDS_OK"));
    SetText(Window().bodyText, OpeningScreenBody(InstallerScreen::NewerVersionInstalled));
    Show(Window().cancelButton, false);
}

void ShowOpeningScreen(InstallerScreen screen) {
    State().openingScreen = screen;
    switch (screen) {
    case InstallerScreen::Welcome:
        ShowWelcomeScreen();
        break;
    case InstallerScreen::UninstallWelcome:
        ShowUninstallWelcomeScreen();
        break;
    case InstallerScreen::IncompleteInstall:
        ShowIncompleteInstallScreen();
        break;
    case InstallerScreen::OldVersionInstalled:
        ShowOldVersionScreen();
        break;
    case InstallerScreen::NewerVersionInstalled:
        ShowNewerVersionScreen();
        break;
    }
}

void ShowInstallingScreen() {
    State().activityMode = ActivityMode::Installing;
    ShowRunningControls(true);
    SetText(Window().bodyText, T(L"IDS_INSTALLING_TEXT", {Profile().productName()}));
}

void ShowUninstallingScreen() {
    State().activityMode = ActivityMode::Uninstalling;
    ShowRunningControls(false);
    SetText(Window().bodyText, T(L"IDS_UNINSTALLING_TEXT", {Profile().productName()}));
}

void ShowFinishScreen(const std::wstring& message) {
    const InstallerWindowObjects& w = Window();
    // Still ticked from creation: it has been hidden until now.
    if (State().installState == InstallState::Fresh)
        Show(w.launchCheckBox, true);
    State().installState = InstallState::Done;
    SetText(w.bodyText, message);
    Show(w.installButton, true);
    // Hiding and showing the whole window repaints it in one go, without the
    // bar's last picture.
    ::ShowWindow(w.mainWindow, SW_HIDE);
    Show(w.progressBar, false);
    ::ShowWindow(w.mainWindow, SW_SHOW);
    Show(w.cancelButton, false);
    SetText(w.installButton, T(L"IDS_FINISH"));
}

void ApplyLanguageChoice() {
    const InstallerWindowObjects& w = Window();
    const LRESULT index = ::SendMessageW(w.languageCombo, CB_GETCURSEL, 0, 0);
    std::array<wchar_t, 512> chosen = {};
    // An entry longer than the buffer could not be read safely; the carried
    // names are far shorter.
    const LRESULT length = ::SendMessageW(w.languageCombo, CB_GETLBTEXTLEN, index, 0);
    if (index != CB_ERR && length != CB_ERR && length < static_cast<LRESULT>(chosen.size()))
        ::SendMessageW(w.languageCombo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(chosen.data()));
    OnLanguagePicked(chosen.data());

    const std::wstring product = Profile().productName();
    SetText(w.cancelButton, T(L"IDS_CANCEL"));
    SetText(w.releaseNotesLink, T(L"IDS_VIEW_RELEASE_NOTES"));
    switch (State().installState) {
    case InstallState::Fresh:
        SetText(w.installButton, T(L"IDS_INSTALL"));
        ShowWelcomeScreen();
        break;
    case InstallState::Uninstall:
        SetText(w.installButton, T(L"IDS_UNINSTALL"));
        ShowUninstallWelcomeScreen();
        break;
    case InstallState::Replace:
        SetText(w.installButton, T(L"IDS_INSTALL"));
        if (State().openingScreen == InstallerScreen::IncompleteInstall)
            ShowIncompleteInstallScreen();
        else
            ShowOldVersionScreen();
        break;
    default:
        ShowNewerVersionScreen();
        break;
    }
    SetText(w.languageLabel, T(L"options_select_language"));
    SetText(w.versionLine, VersionLineText(ShownVersion()));
    SetText(w.launchCheckBox, T(L"IDS_LAUNCH_HELMVIEW", {product}));
    SetText(w.installerVersionLine, InstallerVersionLineText());
    FitVersionLineAndLink();
}
