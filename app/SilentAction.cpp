#include "app/SilentAction.h"

RunEnd SilentEnd(PlannedRun run, const RunResult& result) {
    switch (result.status) {
    case RunStatus::Failed:
        return RunEnd::Failed;
    case RunStatus::Cancelled:
        return RunEnd::Cancelled;
    case RunStatus::Completed:
        break;
    }
    if (result.restartNeeded)
        return RunEnd::RestartNeeded;
    return run == PlannedRun::NewerInstalled ? RunEnd::NewerInstalled : RunEnd::Success;
}
