#include "app/WindowProc.h"

#include "app/InstallFolder.h"
#include "app/InstallerWindow.h"
#include "app/ProcessState.h"
#include "app/RunLoops.h"
#include "app/ScreenTexts.h"
#include "app/Screens.h"
#include "app/WindowState.h"
#include "common/ProcessExit.h"
#include "install/Installer.h"
#include "profile/ProductProfile.h"
#include "settings/SettingsStore.h"

#include <shellapi.h>

#include <optional>

namespace {

// Created on the first install and kept until the process ends: a cancelled
// run may still be using it.
std::optional<Installer>& InstallerObject() {
    static std::optional<Installer> installer;
    return installer;
}

void Show(HWND control, bool visible) {
    ::ShowWindow(control, visible ? SW_SHOW : SW_HIDE);
}

void DecideAndShowOpeningScreen() {
    const ProcessState& p = Process();
    const ProductProfile& profile = Profile();
    const InstallDecision decision = DecideInstallState(
        [](const std::wstring& maker) { return Settings().GetIsInstalled(maker); }, profile.brandName(),
        profile.otherBrand().brandName, p.options.uninstallMode, p.installedVersion, p.offeredVersion);
    State().installState = decision.state;
    ShowOpeningScreen(decision.screen);
}

void Install() {
    WindowState& state = State();
    std::optional<Installer>& installer = InstallerObject();
    if (!installer)
        installer.emplace(Process().offeredVersion);
    state.canClose = false;
    RunInstall(*installer);
    if (state.installState != InstallState::Fresh) {
        // Cancelled: the clean-up inside RunInstall has shown its finish screen.
        state.canClose = true;
        return;
    }
    ShowFinishScreen(InstallFinishedMessage());
    // A failure has been reported; the installation itself stands.
    CopySelfToInstallFolder();
    state.canClose = true;
}

void Uninstall() {
    WindowState& state = State();
    state.canClose = false;
    Show(Window().releaseNotesLink, false);
    RunUninstall();
    ShowFinishScreen(state.installState == InstallState::Uninstall ? UninstallFinishedMessage()
                                                                   : CancelledFinishedMessage());
    state.canClose = true;
}

void Command(HWND source, WORD notification) {
    const InstallerWindowObjects& w = Window();
    if (source == w.installButton)
        InstallButtonPressed();
    else if (source == w.cancelButton)
        CancelPressed();
    else if (source == w.releaseNotesLink)
        OpenReleaseNotes();
    else if (source == w.languageCombo && notification == CBN_SELCHANGE)
        ApplyLanguageChoice();
}

bool IsOwnControl(HWND source) {
    const InstallerWindowObjects& w = Window();
    return source && (source == w.installButton || source == w.cancelButton || source == w.releaseNotesLink ||
                      source == w.languageCombo);
}

LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        InstallerWindowObjects& w = Window();
        w.mainWindow = window;
        w.smallFont = CreateUiFont(window, 10);
        w.largeFont = CreateUiFont(window, 12);
        return 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = ::BeginPaint(window, &paint);
        PaintInstallerWindow(dc);
        // Until the first run starts, every paint shows what the records say now.
        if (State().activityMode == ActivityMode::Idle)
            DecideAndShowOpeningScreen();
        ::EndPaint(window, &paint);
        return 0;
    }
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(
            ColorStaticControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_COMMAND: {
        const auto source = reinterpret_cast<HWND>(lParam);
        if (!IsOwnControl(source))
            break;
        Command(source, HIWORD(wParam));
        return 0;
    }
    case WM_CLOSE:
        if (State().canClose) {
            ::DestroyWindow(window);
            EndProcess();
        }
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

LRESULT CALLBACK InstallerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Nothing may unwind through the system's code; running out of memory in
    // the window is not something the installer can go on from.
    try {
        return HandleMessage(window, message, wParam, lParam);
    } catch (...) {
        EndProcess();
    }
}

void InstallButtonPressed() {
    EnsureInstallFolder();
    WindowState& state = State();
    switch (state.installState) {
    case InstallState::Replace:
        state.canClose = false;
        RunUninstall();
        state.installState = InstallState::Fresh;
        Install();
        break;
    case InstallState::Fresh:
        Install();
        break;
    case InstallState::Uninstall:
    case InstallState::Cancelled:
        Uninstall();
        break;
    case InstallState::Done:
        if (state.activityMode == ActivityMode::Installing &&
            ::SendMessageW(Window().launchCheckBox, BM_GETCHECK, 0, 0) == BST_CHECKED)
            LaunchApplication();
        EndProcess();
    }
}

void CancelPressed() {
    WindowState& state = State();
    std::optional<Installer>& installer = InstallerObject();
    // Nothing is running: an opening screen, or the pause after a Cancel.
    if (state.installState != InstallState::Fresh || !installer)
        EndProcess();
    installer->Cancel();
    state.installState = InstallState::Cancelled;
}

void OpenReleaseNotes() {
    const std::wstring url = Profile().serverFolderUrl() + Profile().releaseNotesFile();
    ::ShellExecuteW(::GetDesktopWindow(), L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void LaunchApplication() {
    const std::wstring path = ApplicationToLaunch();
    ::ShellExecuteW(nullptr, L"runas", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
