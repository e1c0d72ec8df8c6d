#include "app/StartupChecks.h"

#include "app/Elevation.h"
#include "report/OutcomeReport.h"
#include "report/ProcessExit.h"

void CheckStartupRights(bool languageRemembered) {
    if (!languageRemembered) {
        // Without rights the rights message says it all; with them, the
        // registry itself refused.
        if (IsRunningAsAdmin())
            EndWith({Failure::RegistryNotWritable});
        EndProcess(RunEnd::Failed);
    }
    if (!IsRunningAsAdmin())
        EndProcess(RunEnd::Failed);
}
