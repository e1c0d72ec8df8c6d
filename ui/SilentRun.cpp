#include "ui/SilentRun.h"

#include "install/InstallSession.h"
#include "install/Installer.h"
#include "install/Uninstaller.h"
#include "platform/RunLog.h"
#include "ui/InstallFolder.h"
#include "ui/OutcomeReport.h"
#include "ui/ProcessExit.h"
#include "ui/Screens.h"
#include "ui/SilentAction.h"

namespace {

void Uninstall() {
    InstallSession session;
    Uninstaller(session).RemoveInstallation();
}

void Install(const WindowInputs& inputs) {
    EnsureInstallFolder();
    // Nobody can cancel: the session's cancel request is never made.
    InstallSession session;
    const RunResult result = Installer(inputs.offeredVersion, session, inputs.packageSha256).Install();
    // The run has put back what was there before a failure or a cancel.
    if (result.status == RunStatus::Cancelled)
        EndProcess(RunEnd::Cancelled);
    EndUnlessSucceeded(result.outcome);
    // As after the window's install: a failed copy is logged, and the
    // installation itself stands.
    CopySelfToInstallFolder();
    if (result.restartNeeded)
        EndProcess(RunEnd::RestartNeeded);
}

} // namespace

void RunSilently(const WindowInputs& inputs) {
    const InstallDecision decision = DecisionForRecords(inputs);
    const SilentAction action = SilentActionFor(decision, inputs.uninstallMode);
    LogEvent(L"decision: " +
             DescribeDecision(decision, inputs.offeredVersion.Get(), inputs.installedVersion.Get()) +
             L"; silent: " + SilentActionName(action));
    switch (action) {
    case SilentAction::Uninstall:
        Uninstall();
        break;
    case SilentAction::ReplaceThenInstall:
        Install(inputs);
        break;
    case SilentAction::Install:
        Install(inputs);
        break;
    case SilentAction::NothingToDo:
    case SilentAction::NewerInstalled:
        break;
    }
    EndProcess(SilentEndWithoutRun(action));
}
