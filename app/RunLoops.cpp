#include "app/RunLoops.h"

#include "app/InstallerWindow.h"
#include "app/Screens.h"
#include "app/WindowState.h"
#include "install/Installer.h"
#include "install/Uninstaller.h"

#include <commctrl.h>

#include <memory>

namespace {

// One pass of the bar: at most one point, and at least this long.
constexpr DWORD kPassMilliseconds = 50;
// The pause between a Cancel and the clean-up of what the install left.
constexpr DWORD kCancelPauseMilliseconds = 2000;
constexpr int kComplete = 100;

void SetBar(int position) {
    ::SendMessageW(Window().progressBar, PBM_SETPOS, position, 0);
}

// Sleeps until a message arrives, the event (if any) is signalled, or the
// time is up; whatever comes first.
void SleepUntilMessage(HANDLE event, DWORD milliseconds) {
    const DWORD count = event ? 1 : 0;
    ::MsgWaitForMultipleObjectsEx(count, event ? &event : nullptr, milliseconds, QS_ALLINPUT,
                                  MWMO_INPUTAVAILABLE);
}

bool Cancelled() {
    return State().installState == InstallState::Cancelled;
}

} // namespace

int AnimateProgressBar(const WorkerRun& worker, const std::function<int()>& progress,
                       const std::function<bool()>& stop) {
    int bar = 0;
    do {
        if (stop())
            return bar;
        PumpMessages();
        // Read the finish first: a run that has returned has set its last value.
        const bool returned = worker.Finished();
        const int reported = progress();
        if (bar < reported)
            ++bar;
        SetBar(bar);
        WaitPumping(kPassMilliseconds);
        if (returned && bar >= reported)
            return bar;
    } while (bar < kComplete);
    return bar;
}

void PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void WaitPumping(DWORD milliseconds) {
    PumpMessages();
    const ULONGLONG start = ::GetTickCount64();
    for (;;) {
        const ULONGLONG elapsed = ::GetTickCount64() - start;
        if (elapsed >= milliseconds)
            return;
        SleepUntilMessage(nullptr, static_cast<DWORD>(milliseconds - elapsed));
        PumpMessages();
    }
}

void WaitPumpingUntilFinished(const WorkerRun& worker) {
    PumpMessages();
    while (!worker.Finished()) {
        // Without an event, look again now and then.
        SleepUntilMessage(worker.FinishedEvent(), worker.FinishedEvent() ? INFINITE : kPassMilliseconds);
        PumpMessages();
    }
}

void RunInstall(Installer& installer) {
    ShowInstallingScreen();
    const WorkerRun worker = WorkerRun::Start([&installer] { installer.Install(); });
    AnimateProgressBar(
        worker, [&installer] { return installer.GetProgress(); }, Cancelled);

    if (!Cancelled()) {
        // The sequence reports 100 as its last step begins: let it finish
        // writing its records before the finish screen.
        WaitPumpingUntilFinished(worker);
        SetBar(kComplete);
        return;
    }
    SetBar(0);
    WaitPumping(kCancelPauseMilliseconds);
    // The install looks at the cancel request only between its steps. The
    // clean-up must not start while the cancelled run is still inside one,
    // or the two would work on the same folder and records at once.
    WaitPumpingUntilFinished(worker);
    const InstallerWindowObjects& w = Window();
    ::SendMessageW(w.mainWindow, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                   reinterpret_cast<LPARAM>(w.installButton));
}

void RunUninstall() {
    ShowUninstallingScreen();
    // Shared with the worker, so the object outlives the run whatever happens.
    const auto uninstaller = std::make_shared<Uninstaller>();
    const WorkerRun worker = WorkerRun::Start([uninstaller] { uninstaller->RemoveInstallation(); });
    AnimateProgressBar(
        worker, [&uninstaller] { return uninstaller->GetProgress(); }, [] { return false; });
    WaitPumpingUntilFinished(worker);
}
