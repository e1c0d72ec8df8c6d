#include "install/RunPlan.h"

PlannedRun PlanRun(const InstallDecision& decision, RunMode mode, bool uninstallMode) {
    // Without a user the uninstall removes what it finds, even an unfinished
    // installation, and has nothing to do when nothing is recorded.
    if (mode == RunMode::Silent && uninstallMode)
        return PlannedRun::Uninstall;
    switch (decision.state) {
    case InstallState::Fresh:
        return PlannedRun::Install;
    case InstallState::Replace:
        return PlannedRun::Upgrade;
    case InstallState::Done:
        return PlannedRun::NewerInstalled;
    case InstallState::Uninstall:
        // The window offers the removal; without a user the offered version
        // being there is all there is to it.
        return mode == RunMode::Window ? PlannedRun::Uninstall : PlannedRun::NothingToDo;
    case InstallState::Cancelled:
        break;
    }
    return PlannedRun::NothingToDo;
}

std::wstring PlannedRunName(PlannedRun run) {
    switch (run) {
    case PlannedRun::Install:
        return L"install";
    case PlannedRun::Upgrade:
        return L"replace the installation found once the new version is ready";
    case PlannedRun::Uninstall:
        return L"uninstall";
    case PlannedRun::NothingToDo:
        return L"nothing to do, the offered version is installed";
    case PlannedRun::NewerInstalled:
        return L"nothing to do, a newer version is installed";
    }
    return std::wstring();
}

namespace {

const wchar_t* ScreenName(InstallerScreen screen) {
    switch (screen) {
    case InstallerScreen::Welcome:
        return L"nothing installed";
    case InstallerScreen::UninstallWelcome:
        return L"uninstall offered";
    case InstallerScreen::IncompleteInstall:
        return L"incomplete installation";
    case InstallerScreen::OldVersionInstalled:
        return L"older installation";
    case InstallerScreen::NewerVersionInstalled:
        return L"newer version installed";
    }
    return L"";
}

} // namespace

std::wstring DescribeDecision(const InstallDecision& decision, const std::wstring& offered,
                              const std::wstring& installed) {
    const auto shown = [](const std::wstring& version) { return version.empty() ? L"none" : version; };
    return ScreenName(decision.screen) + std::wstring(L" (offered ") + shown(offered) + L", installed " +
           shown(installed) + L")";
}
