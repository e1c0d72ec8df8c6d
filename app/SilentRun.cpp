#include "app/SilentRun.h"

#include "app/SilentAction.h"
#include "install/InstallFolder.h"
#include "install/InstallSession.h"
#include "install/RecordedDecision.h"
#include "install/RunExecutor.h"
#include "platform/RunLog.h"
#include "report/OutcomeReport.h"
#include "report/ProcessExit.h"

void RunSilently(const ProductProfile& profile, const WindowInputs& inputs) {
    const InstallDecision decision =
        DecisionForRecords(profile, inputs.uninstallMode, inputs.installedVersion, inputs.offeredVersion);
    const PlannedRun run = PlanRun(decision, RunMode::Silent, inputs.uninstallMode);
    LogEvent(
        L"decision: " +
        DescribeDecision(decision, LoggedText(inputs.offeredVersion.Get()), inputs.installedVersion.Get()) +
        L"; silent: " + PlannedRunName(run));
    const bool installs = run == PlannedRun::Install || run == PlannedRun::Upgrade;
    if (installs)
        EndUnlessSucceeded(EnsureInstallFolder(profile));
    // Nobody can cancel: the session's cancel request is never made.
    InstallSession session;
    const RunResult result =
        ExecutePlan(profile, run, {inputs.offeredVersion, inputs.packageSha256}, session);
    // The run has put back what was there before a failure: only the telling
    // is left. As after the window's install, a failed copy of the installer
    // is logged, and the installation itself stands.
    if (result.status == RunStatus::Failed)
        Tell(result.outcome);
    else if (installs && result.status == RunStatus::Completed)
        Tell(CopySelfToInstallFolder(profile));
    EndProcess(SilentEnd(run, result));
}
