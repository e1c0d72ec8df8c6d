#include "ui/Screens.h"

#include "i18n/LanguageSelection.h"
#include "i18n/TranslationCatalog.h"
#include "platform/RunLog.h"
#include "profile/ProductProfile.h"
#include "settings/SettingsStore.h"
#include "ui/ScreenTexts.h"
#include "install/RunPlan.h"

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
void ShowRunningControls(const InstallerWindowObjects& w, bool cancelVisible) {
    Show(w.installButton, false);
    Show(w.cancelButton, cancelVisible);
    Show(w.languageLabel, false);
    Show(w.languageCombo, false);
    Show(w.progressBar, true);
    ::InvalidateRect(w.mainWindow, nullptr, TRUE);
}

void ShowBody(InstallerWindow& w, InstallerScreen screen) {
    SetText(w.objects.bodyText, OpeningScreenBody(screen, w.profile.productName(), w.inputs));
}

} // namespace

void ShowWelcomeScreen(InstallerWindow& w) {
    SetText(w.objects.installButton, T(L"IDS_INSTALL"));
    ShowBody(w, InstallerScreen::Welcome);
}

void ShowUninstallWelcomeScreen(InstallerWindow& w) {
    SetText(w.objects.installButton, T(L"IDS_UNINSTALL"));
    ShowBody(w, InstallerScreen::UninstallWelcome);
}

void ShowIncompleteInstallScreen(InstallerWindow& w) {
    ShowBody(w, InstallerScreen::IncompleteInstall);
}

void ShowOldVersionScreen(InstallerWindow& w) {
    ShowBody(w, InstallerScreen::OldVersionInstalled);
}

void ShowNewerVersionScreen(InstallerWindow& w) {
    SetText(w.objects.installButton, T(L"IDS_OK"));
    ShowBody(w, InstallerScreen::NewerVersionInstalled);
    Show(w.objects.cancelButton, false);
}

void ShowOpeningScreen(InstallerWindow& w, InstallerScreen screen) {
    switch (screen) {
    case InstallerScreen::Welcome:
        ShowWelcomeScreen(w);
        break;
    case InstallerScreen::UninstallWelcome:
        ShowUninstallWelcomeScreen(w);
        break;
    case InstallerScreen::IncompleteInstall:
        ShowIncompleteInstallScreen(w);
        break;
    case InstallerScreen::OldVersionInstalled:
        ShowOldVersionScreen(w);
        break;
    case InstallerScreen::NewerVersionInstalled:
        ShowNewerVersionScreen(w);
        break;
    }
}

void LogDecisionForRecords(InstallerWindow& w, const InstallDecision& decision) {
    // Read before the first screen and after a run: only a change is worth a line.
    if (w.state.loggedDecision == decision)
        return;
    w.state.loggedDecision = decision;
    LogEvent(L"decision: " + DescribeDecision(decision, LoggedText(w.inputs.offeredVersion.Get()),
                                              w.inputs.installedVersion.Get()));
}

void ShowInstallingScreen(InstallerWindow& w) {
    ShowRunningControls(w.objects, true);
    SetText(w.objects.bodyText, T(L"IDS_INSTALLING_TEXT", {w.profile.productName()}));
}

void ShowUninstallingScreen(InstallerWindow& w) {
    ShowRunningControls(w.objects, false);
    SetText(w.objects.bodyText, T(L"IDS_UNINSTALLING_TEXT", {w.profile.productName()}));
}

void ShowFinishScreen(InstallerWindow& w, const std::wstring& message, bool launchBox) {
    const InstallerWindowObjects& o = w.objects;
    // Still ticked from creation: it has been hidden until now.
    if (launchBox)
        Show(o.launchCheckBox, true);
    SetText(o.bodyText, message);
    Show(o.installButton, true);
    // Hiding and showing the whole window repaints it in one go, without the
    // bar's last picture.
    ::ShowWindow(o.mainWindow, SW_HIDE);
    Show(o.progressBar, false);
    ::ShowWindow(o.mainWindow, SW_SHOW);
    Show(o.cancelButton, false);
    SetText(o.installButton, T(L"IDS_FINISH"));
}

void ApplyLanguageChoice(InstallerWindow& w) {
    const InstallerWindowObjects& o = w.objects;
    const LRESULT index = ::SendMessageW(o.languageCombo, CB_GETCURSEL, 0, 0);
    std::array<wchar_t, 512> chosen = {};
    // An entry longer than the buffer could not be read safely; the carried
    // names are far shorter.
    const LRESULT length = ::SendMessageW(o.languageCombo, CB_GETLBTEXTLEN, index, 0);
    if (index != CB_ERR && length != CB_ERR && length < static_cast<LRESULT>(chosen.size()))
        ::SendMessageW(o.languageCombo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(chosen.data()));
    OnLanguagePicked(chosen.data(), SettingsStore(w.profile));

    const std::wstring product = w.profile.productName();
    SetText(o.cancelButton, T(L"IDS_CANCEL"));
    SetText(o.releaseNotesLink, T(L"IDS_VIEW_RELEASE_NOTES"));
    switch (w.state.flow.installState) {
    case InstallState::Fresh:
        SetText(o.installButton, T(L"IDS_INSTALL"));
        ShowWelcomeScreen(w);
        break;
    case InstallState::Uninstall:
        SetText(o.installButton, T(L"IDS_UNINSTALL"));
        ShowUninstallWelcomeScreen(w);
        break;
    case InstallState::Replace:
        SetText(o.installButton, T(L"IDS_INSTALL"));
        if (w.state.flow.openingScreen == InstallerScreen::IncompleteInstall)
            ShowIncompleteInstallScreen(w);
        else
            ShowOldVersionScreen(w);
        break;
    default:
        ShowNewerVersionScreen(w);
        break;
    }
    SetText(o.languageLabel, T(L"options_select_language"));
    SetText(o.versionLine, VersionLineText(product, ShownVersion(w.inputs)));
    SetText(o.launchCheckBox, T(L"IDS_LAUNCH_HELMVIEW", {product}));
    SetText(o.installerVersionLine, InstallerVersionLineText());
    FitVersionLineAndLink(o);
}
