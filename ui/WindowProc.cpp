#include "ui/WindowProc.h"

#include "common/UniqueHandle.h"
#include "install/InstallFolder.h"
#include "install/RecordedDecision.h"
#include "install/RunExecutor.h"
#include "platform/RunLog.h"
#include "profile/ProductProfile.h"
#include "report/OutcomeReport.h"
#include "report/ProcessExit.h"
#include "ui/Keyboard.h"
#include "ui/ScreenTexts.h"
#include "ui/Screens.h"
#include "ui/WebAddress.h"

#include <commctrl.h>
#include <shellapi.h>

namespace {

constexpr UINT_PTR kBarTimer = 1;
constexpr UINT_PTR kPauseTimer = 2;
// The pause between a Cancel and the clean-up of what the install left.
constexpr UINT kCancelPauseMilliseconds = 2000;

void Show(HWND control, bool visible) {
    ::ShowWindow(control, visible ? SW_SHOW : SW_HIDE);
}

// The install run's worker posts its end, so a failure is told at once; the
// uninstall's is only logged, and its end is seen by the bar's timer. The
// window keeps the sessions, so they outlive the runs whatever happens.
void StartRun(InstallerWindow& w, PlannedRun run) {
    const bool uninstall = run == PlannedRun::Uninstall;
    InstallSession& session = uninstall ? w.uninstallRun.emplace() : w.installRun.emplace();
    const Offer offer = uninstall ? Offer{} : Offer{w.inputs.offeredVersion, w.inputs.packageSha256};
    const ProductProfile& profile = w.profile;
    w.worker = WorkerRun::Start(
        [&profile, &session, run, offer] { session.SetResult(ExecutePlan(profile, run, offer, session)); },
        uninstall ? nullptr : w.objects.mainWindow, kInstallRunReturned);
}

WindowEvent TickEvent(const InstallerWindow& w) {
    WindowEvent tick{WindowEventKind::Tick};
    const bool uninstalling = w.state.flow.phase == WindowPhase::Uninstalling;
    const std::optional<InstallSession>& session = uninstalling ? w.uninstallRun : w.installRun;
    if (!session || !w.worker)
        return tick;
    // Read the finish first: a run that has returned has set its last value.
    tick.returned = w.worker->Finished();
    tick.progress = session->GetProgress();
    // An uninstall's failure has been logged; its finish screen follows as ever.
    tick.failed = tick.returned && !uninstalling && session->GetResult().status == RunStatus::Failed;
    return tick;
}

void Carry(InstallerWindow& w, WindowEffect effect) {
    const InstallerWindowObjects& o = w.objects;
    const WindowFlowState& flow = w.state.flow;
    switch (effect) {
    case WindowEffect::ShowOpeningScreen:
        ShowOpeningScreen(w, flow.openingScreen);
        break;
    case WindowEffect::EnsureInstallFolder:
        EndUnlessSucceeded(EnsureInstallFolder(w.profile));
        break;
    case WindowEffect::ShowInstallingScreen:
        ShowInstallingScreen(w);
        break;
    case WindowEffect::StartInstallRun:
        StartRun(w, PlannedRun::Install);
        break;
    case WindowEffect::StartUpgradeRun:
        StartRun(w, PlannedRun::Upgrade);
        break;
    case WindowEffect::HideReleaseNotesLink:
        Show(o.releaseNotesLink, false);
        break;
    case WindowEffect::ShowUninstallingScreen:
        ShowUninstallingScreen(w);
        break;
    case WindowEffect::StartUninstallRun:
        StartRun(w, PlannedRun::Uninstall);
        break;
    case WindowEffect::StartTicking:
        ::SetTimer(o.mainWindow, kBarTimer, kBarPassMilliseconds, nullptr);
        break;
    case WindowEffect::StopTicking:
        ::KillTimer(o.mainWindow, kBarTimer);
        break;
    case WindowEffect::AskRunToStop:
        // Refused once the run has begun its last step: it completes.
        if (w.installRun && w.installRun->Cancel())
            HandleWindowEvent(w, WindowEvent{WindowEventKind::CancelTaken});
        break;
    case WindowEffect::StartPause:
        ::SetTimer(o.mainWindow, kPauseTimer, kCancelPauseMilliseconds, nullptr);
        break;
    case WindowEffect::DisableCancel:
        ::EnableWindow(o.cancelButton, FALSE);
        break;
    case WindowEffect::SetBar:
        ::SendMessageW(o.progressBar, PBM_SETPOS, flow.bar, 0);
        break;
    case WindowEffect::ShowInstalledFinish:
        ShowFinishScreen(w, InstallFinishedMessage(w.profile.productName(), w.inputs.offeredVersion), true);
        break;
    case WindowEffect::CopySelfToInstallFolder:
        // The installation stands without it; only the uninstaller is missing.
        Tell(CopySelfToInstallFolder(w.profile));
        break;
    case WindowEffect::ShowUninstalledFinish:
        ShowFinishScreen(w, UninstallFinishedMessage(w.profile.productName()), false);
        break;
    case WindowEffect::ShowCancelledFinish:
        ShowFinishScreen(w, CancelledFinishedMessage(), false);
        break;
    case WindowEffect::ReadRecords:
        ReadRecords(w);
        break;
    case WindowEffect::LaunchApplication:
        LaunchApplication(w.profile);
        break;
    case WindowEffect::TellFailure:
        // The run has put back what was there before it: only the telling is left.
        if (w.installRun)
            Tell(w.installRun->GetResult().outcome);
        break;
    case WindowEffect::EndProgram:
        EndProcess();
    case WindowEffect::EndProgramFailed:
        EndProcess(RunEnd::Failed);
    case WindowEffect::CloseAndEndProgram:
        ::DestroyWindow(o.mainWindow);
        EndProcess();
    }
}

void Command(InstallerWindow& w, HWND source, WORD notification) {
    const InstallerWindowObjects& o = w.objects;
    if (source == o.installButton) {
        WindowEvent pressed{WindowEventKind::MainButton};
        pressed.launchTicked = ::SendMessageW(o.launchCheckBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
        HandleWindowEvent(w, pressed);
    } else if (source == o.cancelButton) {
        HandleWindowEvent(w, WindowEvent{WindowEventKind::CancelButton});
    } else if (source == o.releaseNotesLink) {
        OpenReleaseNotes(w.profile);
    } else if (source == o.languageCombo && notification == CBN_SELCHANGE) {
        ApplyLanguageChoice(w);
    }
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
        const unique_paint paint(window);
        PaintInstallerWindow(w.objects, paint.get());
        return 0;
    }
    case WM_TIMER:
        if (wParam == kPauseTimer) {
            ::KillTimer(window, kPauseTimer);
            HandleWindowEvent(w, WindowEvent{WindowEventKind::PauseOver});
        } else if (wParam == kBarTimer) {
            HandleWindowEvent(w, TickEvent(w));
        }
        return 0;
    case kInstallRunReturned:
        // A failure is told at once; any other end waits for the bar.
        if (w.installRun && w.installRun->GetResult().status == RunStatus::Failed)
            HandleWindowEvent(w, WindowEvent{WindowEventKind::RunFailed});
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
        HandleWindowEvent(w, WindowEvent{WindowEventKind::CloseRequest});
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

void HandleWindowEvent(InstallerWindow& w, const WindowEvent& event) {
    WindowStep step = NextWindowStep(w.state.flow, event);
    // The state first: an effect may dispatch messages (a message box does),
    // and what they bring must meet the new state.
    w.state.flow = step.state;
    for (const WindowEffect effect : step.effects)
        Carry(w, effect);
}

void ReadRecords(InstallerWindow& w) {
    const InstallDecision decision = DecisionForRecords(w.profile, w.inputs.uninstallMode,
                                                        w.inputs.installedVersion, w.inputs.offeredVersion);
    LogDecisionForRecords(w, decision);
    WindowEvent read{WindowEventKind::RecordsRead};
    read.decision = decision;
    HandleWindowEvent(w, read);
}

void OpenReleaseNotes(const ProductProfile& profile) {
    const std::wstring url = profile.serverFolderUrl() + profile.releaseNotesFile();
    // -test may name anything; the shell would open a folder or run a
    // program named here with the installer's rights.
    if (!IsWebAddress(url))
        return;
    ::ShellExecuteW(::GetDesktopWindow(), L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void LaunchApplication(const ProductProfile& profile) {
    const std::wstring path = ApplicationToLaunch(profile);
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"runas", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    // Above 32 is success; below, the error.
    LogEvent(L"process: \"" + path + L"\": " +
             (result > 32 ? std::wstring(L"started") : L"not started, error " + std::to_wstring(result)));
}
