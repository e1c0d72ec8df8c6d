#include "ui/WindowProc.h"

#include "platform/RunLog.h"
#include "profile/ProductProfile.h"
#include "ui/InstallFolder.h"
#include "ui/Keyboard.h"
#include "ui/ProcessExit.h"
#include "ui/RunLoops.h"
#include "ui/ScreenTexts.h"
#include "ui/Screens.h"
#include "ui/WebAddress.h"

#include <shellapi.h>

namespace {

void Show(HWND control, bool visible) {
    ::ShowWindow(control, visible ? SW_SHOW : SW_HIDE);
}

void Install(InstallerWindow& w, PlannedRun run) {
    WindowState& state = w.state;
    state.canClose = false;
    if (RunInstall(w, run)) {
        // Cancelled: the run has removed what it staged.
        Show(w.objects.releaseNotesLink, false);
        ShowFinishScreen(w, CancelledFinishedMessage());
        state.canClose = true;
        return;
    }
    ShowFinishScreen(w, InstallFinishedMessage(w.inputs.offeredVersion));
    // A failure has been reported; the installation itself stands.
    CopySelfToInstallFolder();
    state.canClose = true;
}

void Uninstall(InstallerWindow& w) {
    WindowState& state = w.state;
    state.canClose = false;
    Show(w.objects.releaseNotesLink, false);
    RunUninstall(w);
    ShowFinishScreen(w, state.installState == InstallState::Uninstall ? UninstallFinishedMessage()
                                                                      : CancelledFinishedMessage());
    state.canClose = true;
}

void Command(InstallerWindow& w, HWND source, WORD notification) {
    const InstallerWindowObjects& o = w.objects;
    if (source == o.installButton)
        InstallButtonPressed(w);
    else if (source == o.cancelButton)
        CancelPressed(w);
    else if (source == o.releaseNotesLink)
        OpenReleaseNotes();
    else if (source == o.languageCombo && notification == CBN_SELCHANGE)
        ApplyLanguageChoice(w);
}

bool IsOwnControl(const InstallerWindowObjects& o, HWND source) {
    return source && (source == o.installButton || source == o.cancelButton || source == o.releaseNotesLink ||
                      source == o.languageCombo);
}

LRESULT HandleMessage(InstallerWindow& w, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        w.objects.mainWindow = window;
        return 0;
    case WM_DPICHANGED: {
        // Moved to a display of another scale, or the scale changed: Windows
        // suggests the place and size that keep the window where it was.
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        ::SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                       suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
        LayOutForDpi(w.objects, HIWORD(wParam));
        return 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = ::BeginPaint(window, &paint);
        PaintInstallerWindow(w.objects, dc);
        ::EndPaint(window, &paint);
        // Until the first run starts, the window shows what the records say
        // now: each paint has them read again, once the paint is over.
        if (w.state.activityMode == ActivityMode::Idle && !w.state.decisionPending)
            w.state.decisionPending = ::PostMessageW(window, kLookAtRecords, 0, 0) != FALSE;
        return 0;
    }
    case kLookAtRecords:
        w.state.decisionPending = false;
        if (w.state.activityMode == ActivityMode::Idle)
            ShowOpeningScreenForRecords(w);
        return 0;
    case kInstallRunReturned:
        // A failed install leaves nothing to go on with; a successful or
        // cancelled one is finished by the run loop that waits for it.
        EndIfInstallRunFailed(w);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            SaveFocus(w);
        // The default handling gives the window itself the focus on
        // activation, and WM_SETFOCUS passes it on.
        break;
    case WM_SETFOCUS:
        RestoreFocus(w);
        return 0;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(
            ColorStaticControl(w.objects, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_COMMAND: {
        const auto source = reinterpret_cast<HWND>(lParam);
        if (!IsOwnControl(w.objects, source))
            break;
        Command(w, source, HIWORD(wParam));
        return 0;
    }
    case WM_CLOSE:
        if (w.state.canClose) {
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
    if (message == WM_NCCREATE)
        AttachInstallerWindow(window, *reinterpret_cast<const CREATESTRUCTW*>(lParam));
    InstallerWindow* const installer = InstallerWindowOf(window);
    if (!installer)
        return ::DefWindowProcW(window, message, wParam, lParam);
    // Nothing may unwind through the system's code; running out of memory in
    // the window is not something the installer can go on from.
    try {
        return HandleMessage(*installer, window, message, wParam, lParam);
    } catch (...) {
        EndProcess();
    }
}

void InstallButtonPressed(InstallerWindow& w) {
    WindowState& state = w.state;
    if (state.installState == InstallState::Done) {
        if (state.activityMode == ActivityMode::Installing &&
            ::SendMessageW(w.objects.launchCheckBox, BM_GETCHECK, 0, 0) == BST_CHECKED)
            LaunchApplication();
        EndProcess();
    }
    const PlannedRun run =
        PlanRun({state.installState, state.openingScreen}, RunMode::Window, w.inputs.uninstallMode);
    switch (run) {
    case PlannedRun::Install:
    case PlannedRun::Upgrade:
        EnsureInstallFolder();
        // The installed version stays until the new one is ready; from the
        // run on the window treats an upgrade as any install.
        state.installState = InstallState::Fresh;
        Install(w, run);
        break;
    case PlannedRun::Uninstall:
        Uninstall(w);
        break;
    case PlannedRun::NothingToDo:
    case PlannedRun::NewerInstalled:
        EndProcess();
    }
}

void CancelPressed(InstallerWindow& w) {
    // Nothing is running: an opening screen, or the pause after a Cancel.
    if (w.state.installState != InstallState::Fresh || !w.installRun)
        EndProcess();
    // Refused once the run has begun its last step: it completes, and its
    // run loop shows the finish screen.
    if (!w.installRun->Cancel())
        return;
    w.state.installState = InstallState::Cancelled;
}

void OpenReleaseNotes() {
    const std::wstring url = Profile().serverFolderUrl() + Profile().releaseNotesFile();
    // -test may name anything; the shell would open a folder or run a
    // program named here with the installer's rights.
    if (!IsWebAddress(url))
        return;
    ::ShellExecuteW(::GetDesktopWindow(), L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void LaunchApplication() {
    const std::wstring path = ApplicationToLaunch();
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"runas", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    // Above 32 is success; below, the error.
    LogEvent(L"process: \"" + path + L"\": " +
             (result > 32 ? std::wstring(L"started") : L"not started, error " + std::to_wstring(result)));
}
