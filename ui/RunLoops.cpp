#include "ui/RunLoops.h"

#include "install/RunExecutor.h"
#include "ui/Keyboard.h"
#include "ui/OutcomeReport.h"
#include "ui/ProcessExit.h"
#include "ui/Screens.h"
#include "ui/WindowProc.h"

#include <commctrl.h>

namespace {

// One pass of the bar: at most one point, and at least this long.
constexpr DWORD kPassMilliseconds = 50;
// The pause between a Cancel and the clean-up of what the install left.
constexpr DWORD kCancelPauseMilliseconds = 2000;
constexpr int kComplete = 100;

void SetBar(HWND bar, int position) {
    if (bar)
        ::SendMessageW(bar, PBM_SETPOS, position, 0);
}

// Sleeps until a message arrives, the event (if any) is signalled, or the
// time is up; whatever comes first.
void SleepUntilMessage(HANDLE event, DWORD milliseconds) {
    const DWORD count = event ? 1 : 0;
    ::MsgWaitForMultipleObjectsEx(count, event ? &event : nullptr, milliseconds, QS_ALLINPUT,
                                  MWMO_INPUTAVAILABLE);
}

} // namespace

int AnimateProgressBar(const WorkerRun& worker, const std::function<int()>& progress,
                       const std::function<bool()>& stop, HWND bar) {
    int position = 0;
    do {
        if (stop())
            return position;
        PumpMessages();
        // Read the finish first: a run that has returned has set its last value.
        const bool returned = worker.Finished();
        const int reported = progress();
        if (position < reported)
            ++position;
        SetBar(bar, position);
        WaitPumping(kPassMilliseconds);
        if (returned && position >= reported)
            return position;
    } while (position < kComplete);
    return position;
}

void PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchLoopMessage(msg);
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

bool RunInstall(InstallerWindow& w, PlannedRun run) {
    ShowInstallingScreen(w);
    InstallSession& session = w.installRun.emplace();
    const HWND bar = w.objects.progressBar;
    const WorkerRun worker = WorkerRun::Start(
        [&session, run, offer = Offer{w.inputs.offeredVersion, w.inputs.packageSha256}] {
            session.SetResult(ExecutePlan(run, offer, session));
        },
        w.objects.mainWindow, kInstallRunReturned);
    const auto cancelled = [&w] { return w.state.installState == InstallState::Cancelled; };
    AnimateProgressBar(
        worker, [&session] { return session.GetProgress(); }, cancelled, bar);

    if (!cancelled()) {
        // The sequence reports 100 as its last step begins: let it finish
        // writing its records before the finish screen.
        WaitPumpingUntilFinished(worker);
        // Its posted message may not have been dispatched yet.
        EndIfInstallRunFailed(w);
        SetBar(bar, kComplete);
        return false;
    }
    SetBar(bar, 0);
    WaitPumping(kCancelPauseMilliseconds);
    // The cancelled run removes what it staged itself; the user sees that
    // clean-up as the removal it is, until the run has returned.
    ShowUninstallingScreen(w);
    AnimateProgressBar(
        worker, [&worker] { return worker.Finished() ? kComplete : 0; }, [] { return false; }, bar);
    WaitPumpingUntilFinished(worker);
    EndIfInstallRunFailed(w);
    return true;
}

void EndIfInstallRunFailed(InstallerWindow& w) {
    // Once only: the message box dispatches messages, among them the
    // worker's own notice of the same failure.
    if (!w.installRun || w.state.failureTold)
        return;
    const RunResult result = w.installRun->GetResult();
    if (result.status != RunStatus::Failed)
        return;
    w.state.failureTold = true;
    // The run has put back what was there before it: only the telling is left.
    Tell(result.outcome);
    EndProcess(RunEnd::Failed);
}

void RunUninstall(InstallerWindow& w) {
    ShowUninstallingScreen(w);
    // The window keeps the session, so it outlives the run whatever happens.
    InstallSession& session = w.uninstallRun.emplace();
    const WorkerRun worker = WorkerRun::Start(
        [&session] { session.SetResult(ExecutePlan(PlannedRun::Uninstall, Offer{}, session)); });
    AnimateProgressBar(
        worker, [&session] { return session.GetProgress(); }, [] { return false; }, w.objects.progressBar);
    WaitPumpingUntilFinished(worker);
}
