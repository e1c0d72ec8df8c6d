#include "install/RunExecutor.h"

#include "install/Installer.h"
#include "install/Uninstaller.h"

RunResult ExecutePlan(const ProductProfile& profile, PlannedRun run, const Offer& offer,
                      InstallSession& session) {
    switch (run) {
    case PlannedRun::Install:
    case PlannedRun::Upgrade:
        return Installer(profile, offer.version, session, offer.packageSha256).Install();
    case PlannedRun::Uninstall:
        Uninstaller(profile, session).RemoveInstallation();
        return RunResult::Done();
    case PlannedRun::NothingToDo:
    case PlannedRun::NewerInstalled:
        break;
    }
    session.SetProgress(100);
    return RunResult::Done();
}
